// The Qt side of the mouse: press, move, release, double-click, wheel and
// drag-and-drop events go to the control's entry points in viewport pixels.
#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QPointer>
#include <QUrl>
#include <QWheelEvent>

#include "base/SynCodePage.h"
#include "qt/SynEditWidget.h"
#include "qt/SynQtTimer.h"

namespace ludra {

namespace {

// The text of a drag, with the editor it came from. Drags inside this
// program hand the same object to the drop target, so the source is found
// without any registry; the pointer clears itself when the source dies.
class TSynDragData : public QMimeData {
 public:
  explicit TSynDragData(TSynEdit* source) : source_(source) {}
  TSynEdit* Source() const { return source_.data(); }

 private:
  QPointer<TSynEdit> source_;
};

TMouseButton ButtonOf(Qt::MouseButton button) {
  switch (button) {
    case Qt::RightButton:
      return mbRight;
    case Qt::MiddleButton:
      return mbMiddle;
    default:
      return mbLeft;
  }
}

Qt::CursorShape ShapeOf(TCursor cursor) {
  switch (cursor) {
    case crIBeam:
      return Qt::IBeamCursor;
    case crDrag:
      return Qt::DragMoveCursor;
    case crMultiDrag:
      return Qt::DragCopyCursor;
    default:
      return Qt::ArrowCursor;
  }
}

}  // namespace

void TSynEdit::SetupMouse() {
  viewport()->setMouseTracking(true);  // the cursor follows the selection
  setAcceptDrops(true);
  viewport()->setAcceptDrops(true);
}

TShiftState TSynEdit::KeyboardShiftState() const {
  return ShiftStateOf(QGuiApplication::keyboardModifiers());
}

int TSynEdit::DragThreshold() const { return QApplication::startDragDistance(); }

int TSynEdit::WheelScrollLines() const { return QApplication::wheelScrollLines(); }

std::unique_ptr<TSynTimer> TSynEdit::CreateTimer() { return std::make_unique<TSynQtTimer>(); }

TShiftState TSynEdit::MouseShiftState(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons) {
  TShiftState shift = ShiftStateOf(modifiers);
  if (buttons.testFlag(Qt::LeftButton)) shift += TShiftState{ssLeft};
  if (buttons.testFlag(Qt::RightButton)) shift += TShiftState{ssRight};
  if (buttons.testFlag(Qt::MiddleButton)) shift += TShiftState{ssMiddle};
  return shift;
}

TSynEdit* TSynEdit::DragSourceOf(const QMimeData* data) {
  auto* d = dynamic_cast<const TSynDragData*>(data);
  return d ? d->Source() : nullptr;
}

void TSynEdit::ShowCursorAt(const QPoint& pos) {
  viewport()->setCursor(ShapeOf(MouseCursorAt(pos.x(), pos.y())));
}

void TSynEdit::mousePressEvent(QMouseEvent* event) {
  QPoint p = event->position().toPoint();
  MouseDown(ButtonOf(event->button()), MouseShiftState(event->modifiers(), event->buttons()), p.x(),
            p.y());
  event->accept();
}

void TSynEdit::mouseDoubleClickEvent(QMouseEvent* event) {
  // The second press of a double-click, then the double-click itself.
  QPoint p = event->position().toPoint();
  TShiftState shift = MouseShiftState(event->modifiers(), event->buttons()) + TShiftState{ssDouble};
  MouseDown(ButtonOf(event->button()), shift, p.x(), p.y());
  if (event->button() == Qt::LeftButton) DblClick();
  event->accept();
}

void TSynEdit::mouseMoveEvent(QMouseEvent* event) {
  QPoint p = event->position().toPoint();
  MouseMove(MouseShiftState(event->modifiers(), event->buttons()), p.x(), p.y());
  ShowCursorAt(p);
  event->accept();
}

void TSynEdit::mouseReleaseEvent(QMouseEvent* event) {
  QPoint p = event->position().toPoint();
  // The released button still counts, as in the release message's key state.
  MouseUp(ButtonOf(event->button()),
          MouseShiftState(event->modifiers(), event->buttons() | event->button()), p.x(), p.y());
  ShowCursorAt(p);
  event->accept();
}

void TSynEdit::wheelEvent(QWheelEvent* event) {
  int delta = event->angleDelta().y();
  if (delta == 0) {
    event->ignore();
    return;
  }
  MouseWheel(ShiftStateOf(event->modifiers()), delta);
  if (OnScroll) OnScroll(this, sbVertical);
  event->accept();
}

void TSynEdit::BeginDrag() {
  auto* data = new TSynDragData(this);
  data->setText(QString::fromStdString(CodePage().ToUtf8(SelectedText())));
  QDrag drag(this);
  drag.setMimeData(data);
  // The drop target does the moving itself; the action only picks the cursor.
  drag.exec(Qt::MoveAction | Qt::CopyAction, Qt::MoveAction);
  EndDrag();
}

void TSynEdit::DragOverAt(QDropEvent* event, TDragState state) {
  QPoint p = event->position().toPoint();
  TSynEdit* source = DragSourceOf(event->mimeData());
  if (!source) {
    if (event->mimeData()->hasUrls() && Options().Contains(eoDropFiles))
      event->acceptProposedAction();
    else
      event->ignore();
    return;
  }
  bool accept = false;
  TCursor cursor = crDrag;
  TShiftState shift = ShiftStateOf(event->modifiers());
  DragOver(source, p.x(), p.y(), state, shift, accept, cursor);
  if (!accept) {
    event->ignore();
    return;
  }
  event->setDropAction(cursor == crMultiDrag ? Qt::CopyAction : Qt::MoveAction);
  event->accept();
}

void TSynEdit::dragEnterEvent(QDragEnterEvent* event) { DragOverAt(event, dsDragEnter); }

void TSynEdit::dragMoveEvent(QDragMoveEvent* event) { DragOverAt(event, dsDragMove); }

void TSynEdit::dragLeaveEvent(QDragLeaveEvent* event) {
  if (Dragging()) {
    bool accept = false;
    TCursor cursor = crDrag;
    DragOver(this, 0, 0, dsDragLeave, {}, accept, cursor);
  }
  event->accept();
}

void TSynEdit::dropEvent(QDropEvent* event) {
  QPoint p = event->position().toPoint();
  TSynEdit* source = DragSourceOf(event->mimeData());
  if (!source) {
    std::vector<std::string> files;
    for (const QUrl& url : event->mimeData()->urls())
      if (url.isLocalFile()) files.push_back(url.toLocalFile().toStdString());
    if (!files.empty()) DropFiles(p.x(), p.y(), files);
    event->acceptProposedAction();
    return;
  }
  DragDrop(source, p.x(), p.y(), ShiftStateOf(event->modifiers()));
  event->setDropAction(Qt::CopyAction);  // the text is already where it belongs
  event->accept();
}

}  // namespace ludra
