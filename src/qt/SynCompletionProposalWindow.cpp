#include "qt/SynCompletionProposalWindow.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QWheelEvent>

#include "base/SynCodePage.h"
#include "qt/SynQtTimer.h"

namespace ludra {

namespace {

// A key the list leaves alone, as the editor's window would have had it
// without the list: the window's shortcuts first (its menu rules run on the
// override, a menu opens on its mnemonic), then the editor itself.
void PassKeyOn(TSynEdit& editor, const QKeyEvent& event) {
  QKeyEvent override(QEvent::ShortcutOverride, event.key(), event.modifiers(), event.text(),
                     event.isAutoRepeat(), event.count());
  QCoreApplication::sendEvent(&editor, &override);
  if (!override.isAccepted()) {
    const QKeySequence pressed(event.keyCombination());
    QWidget* window = editor.window();
    for (QAction* action : window->findChildren<QAction*>()) {
      if (action->isEnabled() && action->shortcuts().contains(pressed)) {
        action->trigger();
        return;
      }
    }
    if (auto* bar = window->findChild<QMenuBar*>(); bar && event.modifiers() == Qt::AltModifier) {
      for (QAction* menu : bar->actions()) {
        if (menu->isEnabled() && QKeySequence::mnemonic(menu->text()) == pressed) {
          bar->setActiveAction(menu);
          return;
        }
      }
    }
  }
  QKeyEvent press(QEvent::KeyPress, event.key(), event.modifiers(), event.nativeScanCode(),
                  event.nativeVirtualKey(), event.nativeModifiers(), event.text(),
                  event.isAutoRepeat(), event.count());
  QCoreApplication::sendEvent(&editor, &press);
}

}  // namespace

TSynQtProposalWindow::TSynQtProposalWindow(TSynBaseCompletionProposalForm& form)
    : QWidget(nullptr), form_(form), scrollBar_(new QScrollBar(Qt::Vertical, this)) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
  scrollBar_->setFocusPolicy(Qt::NoFocus);
  scrollBar_->hide();
  connect(scrollBar_, &QScrollBar::valueChanged, this, [this](int value) {
    if (updatingBar_ == 0) form_.ScrollBarScrolled(value);
  });
  RecreateWindow();
}

TSynQtProposalWindow::~TSynQtProposalWindow() = default;

void TSynQtProposalWindow::RecreateWindow() {
  bool list = form_.ShownKind() == ctCode;
  // A hint is a tool-tip window: the desktop never activates one, so the
  // editor keeps the focus (and its focus notices do not close the hint).
  Qt::WindowFlags flags =
      (list ? Qt::Tool : Qt::ToolTip) | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint;
  if (!list) flags |= Qt::WindowDoesNotAcceptFocus;
  setWindowFlags(flags);
  // A hint never takes the activation from the editor's window.
  setAttribute(Qt::WA_ShowWithoutActivating, !list);
  setFocusPolicy(list ? Qt::StrongFocus : Qt::NoFocus);
  // Text an input method composes while the list has the focus goes on to
  // the editor.
  setAttribute(Qt::WA_InputMethodEnabled, list);
}

void TSynQtProposalWindow::SetBounds(const TRect& bounds) {
  setGeometry(bounds.Left, bounds.Top, bounds.Right - bounds.Left, bounds.Bottom - bounds.Top);
  LayoutScrollBar();
}

void TSynQtProposalWindow::ShowWindow(bool activate) {
  show();
  if (activate) FocusWindow();
  update();
}

void TSynQtProposalWindow::HideWindow() {
  resizing_ = {};
  hide();
}

void TSynQtProposalWindow::FocusWindow() {
  if (!isVisible() || form_.ShownKind() != ctCode) return;
  activateWindow();
  setFocus(Qt::ActiveWindowFocusReason);
}

void TSynQtProposalWindow::ScrollBarChanged() {
  const TProposalScrollBar& bar = form_.ScrollBar();
  ++updatingBar_;
  scrollBar_->setVisible(bar.Visible);
  scrollBar_->setRange(0, bar.Max);
  scrollBar_->setPageStep(bar.LargeChange);
  scrollBar_->setSingleStep(1);
  scrollBar_->setValue(bar.Position);
  scrollBar_->setEnabled(bar.Enabled);
  --updatingBar_;
  LayoutScrollBar();
}

void TSynQtProposalWindow::LayoutScrollBar() {
  int frame = Frame();
  int title = form_.TitleHeight();
  int w = ScrollBarWidth();
  scrollBar_->setGeometry(width() - frame - w, frame + title, w,
                          std::max(height() - 2 * frame - title, 0));
}

TRect TSynQtProposalWindow::WorkArea() const {
  QScreen* screen = QGuiApplication::screenAt(geometry().center());
  if (!screen) screen = QGuiApplication::screenAt(QCursor::pos());
  if (!screen) screen = QGuiApplication::primaryScreen();
  if (!screen) return {0, 0, 1 << 20, 1 << 20};
  QRect r = screen->availableGeometry();
  return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

int TSynQtProposalWindow::ScrollBarWidth() const {
  return style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, scrollBar_);
}

int TSynQtProposalWindow::WheelScrollLines() const { return QApplication::wheelScrollLines(); }

void TSynQtProposalWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  int frame = Frame();
  if (frame > 0) {
    // A raised frame around the list, in the button colours.
    QRect r = rect();
    painter.fillRect(r, palette().color(QPalette::Button));
    painter.setPen(palette().color(QPalette::Light));
    painter.drawLine(r.topLeft(), r.topRight());
    painter.drawLine(r.topLeft(), r.bottomLeft());
    painter.setPen(palette().color(QPalette::Shadow));
    painter.drawLine(r.bottomLeft(), r.bottomRight());
    painter.drawLine(r.topRight(), r.bottomRight());
  }
  painter.translate(frame, frame);
  painter.setClipRect(0, 0, width() - 2 * frame, height() - 2 * frame);
  canvas_.SetPainter(&painter, palette());
  form_.Paint(canvas_);
  canvas_.SetPainter(nullptr, palette());
}

void TSynQtProposalWindow::keyPressEvent(QKeyEvent* event) {
  event->accept();
  uint16_t key = TSynEdit::VirtualKeyOf(*event);
  const TShiftState shift = TSynEdit::ShiftStateOf(event->modifiers());
  std::string bytes = CodePage().FromUtf8(event->text().toStdString());
  if (form_.PassesToEditor(key, shift, bytes.empty() ? '\0' : bytes[0])) {
    auto* editor = dynamic_cast<TSynEdit*>(form_.CurrentEditor());
    form_.Cancel();
    if (editor) PassKeyOn(*editor, *event);
    return;
  }
  form_.KeyDown(key, shift);
  // The characters of the key follow, while the list is still there to
  // take them (a key that accepted or closed it has its whole effect).
  for (char c : bytes) {
    if (!form_.Visible()) break;
    form_.KeyPress(c);
  }
}

void TSynQtProposalWindow::inputMethodEvent(QInputMethodEvent* event) {
  auto* editor = dynamic_cast<TSynEdit*>(form_.CurrentEditor());
  if (event->commitString().isEmpty() || !editor) {
    event->ignore();
    return;
  }
  form_.Cancel();
  QInputMethodEvent commit(QString(), {});
  commit.setCommitString(event->commitString());
  QCoreApplication::sendEvent(editor, &commit);
  event->accept();
}

Qt::Edges TSynQtProposalWindow::ResizeEdgesAt(QPoint p) const {
  int frame = Frame();
  if (frame == 0 || !form_.Resizeable()) return {};
  Qt::Edges edges;
  // The corner reaches a little further than the frame, so it can be found.
  int grip = frame + 8;
  if (p.x() >= width() - frame || (p.x() >= width() - grip && p.y() >= height() - grip))
    edges |= Qt::RightEdge;
  if (p.y() >= height() - frame || (p.x() >= width() - grip && p.y() >= height() - grip))
    edges |= Qt::BottomEdge;
  return edges;
}

void TSynQtProposalWindow::mousePressEvent(QMouseEvent* event) {
  QPoint p = event->position().toPoint();
  Qt::Edges edges = ResizeEdgesAt(p);
  if (edges && event->button() == Qt::LeftButton) {
    resizing_ = edges;
    resizeStart_ = event->globalPosition().toPoint();
    resizeGeometry_ = geometry();
    return;
  }
  TMouseButton button = event->button() == Qt::RightButton    ? mbRight
                        : event->button() == Qt::MiddleButton ? mbMiddle
                                                              : mbLeft;
  form_.MouseDown(button, TSynEdit::MouseShiftState(event->modifiers(), event->buttons()),
                  p.x() - Frame(), p.y() - Frame());
}

void TSynQtProposalWindow::mouseMoveEvent(QMouseEvent* event) {
  if (!resizing_) {
    Qt::Edges edges = ResizeEdgesAt(event->position().toPoint());
    setCursor(edges == (Qt::RightEdge | Qt::BottomEdge) ? Qt::SizeFDiagCursor
              : edges == Qt::RightEdge                  ? Qt::SizeHorCursor
              : edges == Qt::BottomEdge                 ? Qt::SizeVerCursor
                                                        : Qt::ArrowCursor);
    return;
  }
  QPoint delta = event->globalPosition().toPoint() - resizeStart_;
  int w = resizeGeometry_.width() + (resizing_ & Qt::RightEdge ? delta.x() : 0);
  int h = resizeGeometry_.height() + (resizing_ & Qt::BottomEdge ? delta.y() : 0);
  form_.CanResize(w, h);
  if (w != width() || h != height()) resize(w, h);
}

void TSynQtProposalWindow::mouseReleaseEvent(QMouseEvent*) { resizing_ = {}; }

void TSynQtProposalWindow::mouseDoubleClickEvent(QMouseEvent* event) {
  if (ResizeEdgesAt(event->position().toPoint())) return;
  form_.DblClick();
}

void TSynQtProposalWindow::wheelEvent(QWheelEvent* event) {
  form_.MouseWheel(event->angleDelta().y(), TSynEdit::ShiftStateOf(event->modifiers()));
  event->accept();
}

void TSynQtProposalWindow::resizeEvent(QResizeEvent*) {
  QRect g = geometry();
  form_.Resized({g.left(), g.top(), g.left() + g.width(), g.top() + g.height()});
  LayoutScrollBar();
}

void TSynQtProposalWindow::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ActivationChange && form_.ShownKind() == ctCode) {
    if (isActiveWindow())
      form_.Activated();
    else
      form_.Deactivated();
  }
  QWidget::changeEvent(event);
}

// --- The host ------------------------------------------------------------------

std::unique_ptr<TSynProposalWindow> TSynQtProposalHost::CreateProposalWindow(
    TSynBaseCompletionProposalForm& form) {
  return std::make_unique<TSynQtProposalWindow>(form);
}

std::unique_ptr<TSynTimer> TSynQtProposalHost::CreateTimer() {
  return std::make_unique<TSynQtTimer>();
}

TPoint TSynQtProposalHost::ClientToScreen(TCustomSynEdit& editor, TPoint point) {
  auto* widget = dynamic_cast<TSynEdit*>(&editor);
  if (!widget) return point;
  QPoint p = widget->viewport()->mapToGlobal(QPoint(point.X, point.Y));
  return {p.x(), p.y()};
}

TPoint TSynQtProposalHost::MouseScreenPosition() {
  QPoint p = QCursor::pos();
  return {p.x(), p.y()};
}

bool TSynQtProposalHost::ApplicationActive() {
  return QGuiApplication::applicationState() == Qt::ApplicationActive;
}

void TSynQtProposalHost::ProcessMessages() {
  // Window events only: a key typed meanwhile waits for its turn.
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TSynQtProposalHost::FocusOwnerWindow(TCustomSynEdit& editor) {
  auto* widget = dynamic_cast<TSynEdit*>(&editor);
  if (widget && widget->window()->isVisible()) widget->window()->activateWindow();
}

}  // namespace ludra
