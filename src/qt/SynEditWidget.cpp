// The Qt side of the editor: window services, keys, focus, scroll bars,
// the scroll hint and the caret.
#include "qt/SynEditWidget.h"

#include <QApplication>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QInputMethod>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>

#include "base/SynCodePage.h"
#include "editor/SynEditKeyConst.h"
#include "qt/SynQtClipboard.h"

namespace ludra {

QLabel* TSynEdit::scrollHint_ = nullptr;

namespace {

TSynClipboard* SystemClipboard() {
  static TSynQtClipboard clipboard;
  return &clipboard;
}

}  // namespace

TSynEdit::TSynEdit(QWidget* parent, TSynClipboard* clipboard)
    : QAbstractScrollArea(parent), TCustomSynEdit(clipboard ? clipboard : SystemClipboard()) {
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_InputMethodEnabled);
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
  viewport()->setAutoFillBackground(false);
  viewport()->setCursor(Qt::IBeamCursor);
  resize(200, 150);
  caretTimer_.setSingleShot(false);
  connect(&caretTimer_, &QTimer::timeout, this, [this] { BlinkCaret(); });
  for (TSynScrollBarKind bar : {sbHorizontal, sbVertical}) {
    QScrollBar* sb = bar == sbHorizontal ? horizontalScrollBar() : verticalScrollBar();
    connect(sb, &QAbstractSlider::actionTriggered, this,
            [this, bar](int action) { ScrollAction(bar, action); });
    connect(sb, &QAbstractSlider::sliderReleased, this, [this, bar] {
      thumbDragging_ = false;
      HideScrollHint();
      if (OnScroll) OnScroll(this, bar);
    });
  }
  SetupMouse();
  FontChanged();
}

TSynEdit::~TSynEdit() {
  caretTimer_.stop();
  if (scrollHint_) scrollHint_->hide();
}

int TSynEdit::ClientWidth() const { return viewport()->width(); }
int TSynEdit::ClientHeight() const { return viewport()->height(); }

void TSynEdit::InvalidateRect(const TRect& rect) {
  if (rect.IsEmpty()) return;
  viewport()->update(QRect(rect.Left, rect.Top, rect.Right - rect.Left, rect.Bottom - rect.Top));
}

void TSynEdit::ScrollWindow(int dx, int dy) {
  // Pixels already moved once since the last paint are not worth moving
  // again: a run of scrolls (an undo replaying thousands of changes over the
  // document) repaints the view once instead of copying it each time.
  if (scrolledSincePaint_) {
    viewport()->update();
    return;
  }
  scrolledSincePaint_ = true;
  // The caret moves with the pixels; its old place is painted again.
  QRect caret = CaretRect();
  if (dy != 0) viewport()->scroll(0, dy);
  if (dx != 0) {
    int left = GutterPixels() + 2;
    viewport()->scroll(dx, 0, QRect(left, 0, std::max(ClientWidth() - left, 0), ClientHeight()));
  }
  if (!caret.isEmpty()) viewport()->update(caret.translated(dx, dy));
}

void TSynEdit::SetScrollBar(TSynScrollBarKind bar, const TSynScrollBarInfo& info) {
  QScrollBar* sb = bar == sbHorizontal ? horizontalScrollBar() : verticalScrollBar();
  ++settingScrollBars_;
  Qt::ScrollBarPolicy policy = info.Visible ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff;
  if (bar == sbHorizontal && horizontalScrollBarPolicy() != policy)
    setHorizontalScrollBarPolicy(policy);
  if (bar == sbVertical && verticalScrollBarPolicy() != policy) setVerticalScrollBarPolicy(policy);
  // Positions are 1-based; the last one shows the end of the range.
  sb->setRange(1, std::max(1, info.Max - info.Page + 1));
  sb->setPageStep(std::max(info.Page, 1));
  sb->setSingleStep(1);
  sb->setValue(info.Position);
  // A bar cannot disable one arrow alone: it is disabled when neither end can move.
  sb->setEnabled(!(info.DisableBackArrow && info.DisableForwardArrow));
  --settingScrollBars_;
  if (settingScrollBars_ == 0 && sizePending_) {
    sizePending_ = false;
    QMetaObject::invokeMethod(
        this, [this] { SizeChanged(); }, Qt::QueuedConnection);
  }
}

void TSynEdit::FontMetrics(int& cellWidth, int& cellHeight) const {
  TSynQtCanvas canvas(nullptr, palette());
  // Bold and italic faces load when text is first painted.
  const_cast<TSynEdit*>(this)->MeasureCellSize(canvas, cellWidth, cellHeight, true);
}

// The caret is drawn by the widget itself: its shape comes from the mode,
// its place from the control.
void TSynEdit::CreateSystemCaret(int, int) { RestartBlink(); }

void TSynEdit::DestroySystemCaret() {
  QRect old = CaretRect();
  caretPlaced_ = false;
  caretTimer_.stop();
  if (!old.isEmpty()) viewport()->update(old);
}

void TSynEdit::SetSystemCaret(int x, int y, bool visible) {
  QPoint p(x, y);
  if (p == caretPos_ && visible == caretPlaced_) return;
  QRect old = CaretRect();
  caretPos_ = p;
  caretPlaced_ = visible;
  if (!old.isEmpty()) viewport()->update(old);
  RestartBlink();
  // The input method's composition window follows the caret.
  if (hasFocus()) QGuiApplication::inputMethod()->update(Qt::ImCursorRectangle);
}

QRect TSynEdit::CaretRect() const {
  if (!caretPlaced_ || !hasFocus()) return {};
  int cw = CellWidth(), rh = RowHeight();
  switch (InsertMode() ? InsertCaret() : OverwriteCaret()) {
    case ctVerticalLine:
      return QRect(caretPos_, QSize(2, rh - 2));
    case ctHorizontalLine:
      return QRect(caretPos_, QSize(cw, 2));
    case ctHalfBlock:
      return QRect(caretPos_, QSize(cw, (rh - 2) / 2));
    case ctBlock:
      break;
  }
  return QRect(caretPos_, QSize(cw, rh - 2));
}

void TSynEdit::RestartBlink() {
  caretOn_ = true;
  int flash = QApplication::cursorFlashTime();
  if (flash > 0 && hasFocus())
    caretTimer_.start(flash / 2);
  else
    caretTimer_.stop();
  QRect r = CaretRect();
  if (!r.isEmpty()) viewport()->update(r);
}

void TSynEdit::BlinkCaret() {
  caretOn_ = !caretOn_;
  QRect r = CaretRect();
  if (!r.isEmpty()) viewport()->update(r);
}

void TSynEdit::paintEvent(QPaintEvent* event) {
  scrolledSincePaint_ = false;
  QPainter painter(viewport());
  canvas_.SetPainter(&painter, palette());
  // Each rectangle is painted inside its own bounds: rows are drawn whole,
  // and a row reaching into the next rectangle must not cover what that
  // rectangle's pass drew there (a bookmark glyph, say).
  for (const QRect& r : event->region()) {
    painter.setClipRect(r);
    Paint(canvas_, {r.left(), r.top(), r.right() + 1, r.bottom() + 1});
  }
  painter.setClipping(false);
  canvas_.SetPainter(nullptr, palette());
  QRect caret = CaretRect();
  if (caretOn_ && !caret.isEmpty() && event->region().intersects(caret)) {
    // Inverted, so a block caret keeps the character under it readable.
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter.fillRect(caret, Qt::white);
  }
}

void TSynEdit::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  if (settingScrollBars_ > 0) {
    // A bar shown or hidden while the bars are set; measured once they are done.
    sizePending_ = true;
    return;
  }
  SizeChanged();
}

void TSynEdit::scrollContentsBy(int, int) {
  // The control scrolls the pixels itself when its view moves.
}

void TSynEdit::changeEvent(QEvent* event) {
  QAbstractScrollArea::changeEvent(event);
  if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange)
    viewport()->update();
}

// --- Keys ---------------------------------------------------------------------------

uint16_t TSynEdit::VirtualKeyOf(const QKeyEvent& event) {
  Qt::KeyboardModifiers modifiers = event.modifiers();
  if (!modifiers.testFlag(Qt::KeypadModifier)) {
    // Ctrl+Shift+1 sets bookmark 1: the binding wants the digit key, while
    // the toolkit reports the symbol Shift gives it. On X the key codes of
    // the main keyboard's digit row tell the key whatever the layout.
    quint32 scanCode = event.nativeScanCode();
    if (QGuiApplication::platformName() == "xcb" && scanCode >= 10 && scanCode <= 19)
      return static_cast<uint16_t>(scanCode == 19 ? '0' : '1' + (scanCode - 10));
    if (modifiers.testFlag(Qt::ShiftModifier)) {
      // Without key codes, the symbols of the usual layout.
      static const int kShiftedDigits[10] = {
          Qt::Key_ParenRight, Qt::Key_Exclam,   Qt::Key_At,          Qt::Key_NumberSign,
          Qt::Key_Dollar,     Qt::Key_Percent,  Qt::Key_AsciiCircum, Qt::Key_Ampersand,
          Qt::Key_Asterisk,   Qt::Key_ParenLeft};
      for (int d = 0; d < 10; ++d)
        if (event.key() == kShiftedDigits[d]) return static_cast<uint16_t>('0' + d);
    }
  }
  return VirtualKeyOf(event.key(), modifiers);
}

uint16_t TSynEdit::VirtualKeyOf(int qtKey, Qt::KeyboardModifiers modifiers) {
  const bool keypad = modifiers.testFlag(Qt::KeypadModifier);
  if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
    return static_cast<uint16_t>(keypad ? VK_NUMPAD0 + (qtKey - Qt::Key_0) : qtKey);
  if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return static_cast<uint16_t>(qtKey);
  if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12)
    return static_cast<uint16_t>(VK_F1 + (qtKey - Qt::Key_F1));
  switch (qtKey) {
    case Qt::Key_Backspace:
      return VK_BACK;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      return VK_TAB;
    case Qt::Key_Clear:
      return VK_CLEAR;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return VK_RETURN;
    case Qt::Key_Shift:
      return VK_SHIFT;
    case Qt::Key_Control:
      return VK_CONTROL;
    case Qt::Key_Alt:
      return VK_MENU;
    case Qt::Key_Pause:
      return VK_PAUSE;
    case Qt::Key_CapsLock:
      return VK_CAPITAL;
    case Qt::Key_Escape:
      return VK_ESCAPE;
    case Qt::Key_Space:
      return VK_SPACE;
    case Qt::Key_PageUp:
      return VK_PRIOR;
    case Qt::Key_PageDown:
      return VK_NEXT;
    case Qt::Key_End:
      return VK_END;
    case Qt::Key_Home:
      return VK_HOME;
    case Qt::Key_Left:
      return VK_LEFT;
    case Qt::Key_Up:
      return VK_UP;
    case Qt::Key_Right:
      return VK_RIGHT;
    case Qt::Key_Down:
      return VK_DOWN;
    case Qt::Key_Print:
      return VK_SNAPSHOT;
    case Qt::Key_Insert:
      return VK_INSERT;
    case Qt::Key_Delete:
      return VK_DELETE;
    case Qt::Key_Help:
      return VK_HELP;
    case Qt::Key_Menu:
      return VK_APPS;
    case Qt::Key_NumLock:
      return VK_NUMLOCK;
    case Qt::Key_ScrollLock:
      return VK_SCROLL;
    case Qt::Key_Asterisk:
      return keypad ? VK_MULTIPLY : 0;
    case Qt::Key_Plus:
      return keypad ? VK_ADD : 0xBB;
    case Qt::Key_Minus:
      return keypad ? VK_SUBTRACT : 0xBD;
    case Qt::Key_Period:
      return keypad ? VK_DECIMAL : 0xBE;
    case Qt::Key_Slash:
      return keypad ? VK_DIVIDE : 0xBF;
    // The punctuation keys of a US keyboard.
    case Qt::Key_Semicolon:
      return 0xBA;
    case Qt::Key_Equal:
      return 0xBB;
    case Qt::Key_Comma:
      return 0xBC;
    case Qt::Key_QuoteLeft:
      return 0xC0;
    case Qt::Key_BracketLeft:
      return 0xDB;
    case Qt::Key_Backslash:
      return 0xDC;
    case Qt::Key_BracketRight:
      return 0xDD;
    case Qt::Key_Apostrophe:
      return 0xDE;
    default:
      return 0;
  }
}

TShiftState TSynEdit::ShiftStateOf(Qt::KeyboardModifiers modifiers) {
  TShiftState shift;
  if (modifiers.testFlag(Qt::ShiftModifier)) shift += TShiftState{ssShift};
  if (modifiers.testFlag(Qt::ControlModifier)) shift += TShiftState{ssCtrl};
  if (modifiers.testFlag(Qt::AltModifier)) shift += TShiftState{ssAlt};
  return shift;
}

void TSynEdit::keyPressEvent(QKeyEvent* event) {
  // Every key goes down the key path, also one without a virtual-key code:
  // that clears the flag left by an earlier command key, which would
  // otherwise drop this key's character.
  uint16_t key = VirtualKeyOf(*event);
  KeyDown(key, ShiftStateOf(event->modifiers()));
  // The characters follow as the character messages would; one that belongs
  // to a key already turned into a command is dropped by the control.
  // A chord with Alt or Meta is a command or a menu key, never text: one
  // without a binding types nothing (AltGr characters come without Alt).
  if (!(event->modifiers() & (Qt::AltModifier | Qt::MetaModifier))) {
    std::string bytes = CodePage().FromUtf8(event->text().toStdString());
    for (char c : bytes) KeyPress(c);
  }
  RestartBlink();
  event->accept();
}

bool TSynEdit::focusNextPrevChild(bool next) {
  // With WantTabs, Tab and Shift+Tab are editing keys.
  if (WantTabs()) return false;
  return QAbstractScrollArea::focusNextPrevChild(next);
}

void TSynEdit::inputMethodEvent(QInputMethodEvent* event) {
  if (!event->commitString().isEmpty()) {
    std::string bytes = CodePage().FromUtf8(event->commitString().toStdString());
    RunCommand(ecImeStr, '\0', const_cast<char*>(bytes.c_str()));
  }
  event->accept();
}

QVariant TSynEdit::inputMethodQuery(Qt::InputMethodQuery query) const {
  switch (query) {
    case Qt::ImCursorRectangle: {
      // The composition window follows the caret.
      TPoint p = RowColumnToPixels(DisplayCaretPos());
      return QRect(p.X, p.Y, CellWidth(), RowHeight());
    }
    case Qt::ImFont:
      return TSynQtCanvas::ToQFont(Font(), {});
    case Qt::ImEnabled:
      return !ReadOnly();
    default:
      return QAbstractScrollArea::inputMethodQuery(query);
  }
}

void TSynEdit::focusInEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusInEvent(event);
  FontChanged();  // creates and places the caret for the current mode
  RunCommand(ecFocusGained, '\0', nullptr);
  if (HideSelection()) InvalidateSelection();
}

void TSynEdit::focusOutEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusOutEvent(event);
  RunCommand(ecFocusLost, '\0', nullptr);
  DestroySystemCaret();
  HideScrollHint();
  if (HideSelection()) InvalidateSelection();
}

// --- Scroll bars ---------------------------------------------------------------------

void TSynEdit::ScrollAction(TSynScrollBarKind bar, int action) {
  if (settingScrollBars_ > 0) return;
  QScrollBar* sb = bar == sbHorizontal ? horizontalScrollBar() : verticalScrollBar();
  const bool vertical = bar == sbVertical;
  const int page = vertical ? VisibleRows() : VisibleColumns();
  const int current = vertical ? TopRow() : FirstVisibleColumn();
  int maximum, last;
  if (vertical) {
    int rows = std::max(Lines().Count(), 1);
    maximum = rows + (Options().Contains(eoScrollPastEof) ? VisibleRows() - 1 : 0);
    last = rows;
  } else {
    int longest = Lines().LongestLineLength();
    maximum = Options().Contains(eoScrollPastEol) ? MaxScrollWidth() : std::max(longest, 1);
    last = Options().Contains(eoScrollPastEol) ? MaxScrollWidth() - VisibleColumns() + 1
           : longest > VisibleColumns()        ? longest - VisibleColumns() + 1
                                               : 1;
  }
  int target = current;
  switch (action) {
    case QAbstractSlider::SliderSingleStepAdd:
      target = current + 1;
      break;
    case QAbstractSlider::SliderSingleStepSub:
      target = current - 1;
      break;
    case QAbstractSlider::SliderPageStepAdd:
    case QAbstractSlider::SliderPageStepSub: {
      int step = vertical && Options().Contains(eoScrollByOneLess) ? page - 1 : page;
      target = action == QAbstractSlider::SliderPageStepAdd ? current + step : current - step;
      break;
    }
    case QAbstractSlider::SliderToMinimum:
      target = 1;
      break;
    case QAbstractSlider::SliderToMaximum:
      target = last;
      break;
    case QAbstractSlider::SliderMove: {
      int position = sb->sliderPosition();
      // A scaled bar maps its 0..32767 range back onto the rows (every row
      // plus a page, so the thumb reaches the last one) or the columns.
      long long span = maximum;
      if (vertical) span = std::max(Lines().Count(), 1) + VisibleRows() - 1;
      bool scaled = vertical ? Lines().Count() >= 32768 : maximum > 32767;
      target = scaled ? static_cast<int>(span * position / 32767) : position;
      if (sb->isSliderDown()) {
        thumbDragging_ = true;
        if (vertical && Options().Contains(eoShowScrollHint)) ShowScrollHint(position);
      }
      break;
    }
    default:
      return;
  }
  if (vertical)
    SetTopRow(target);
  else
    SetFirstVisibleColumn(target);
  // Qt applies the slider position after this handler: make it the real one.
  UpdateScrollBars();
  sb->setSliderPosition(sb->value());
  if (vertical && thumbDragging_ && scrollHint_ && scrollHint_->isVisible())
    ShowScrollHint(sb->sliderPosition());
  if (action != QAbstractSlider::SliderMove || !sb->isSliderDown())
    if (OnScroll) OnScroll(this, bar);
}

bool TSynEdit::ScrollHintVisible() const { return scrollHint_ && scrollHint_->isVisible(); }

void TSynEdit::ShowScrollHint(int trackPosition) {
  if (!scrollHint_) {
    // One hint window for all editors, kept until the program ends.
    scrollHint_ = new QLabel(nullptr, Qt::ToolTip | Qt::FramelessWindowHint);
    scrollHint_->setMargin(2);
    scrollHint_->setAutoFillBackground(true);
    scrollHint_->setFrameStyle(QFrame::Box | QFrame::Plain);
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, [] {
      delete scrollHint_;
      scrollHint_ = nullptr;
    });
  }
  TSynQtCanvas canvas(nullptr, palette());
  QPalette pal = scrollHint_->palette();
  pal.setColor(QPalette::Window, canvas.ToQColor(ScrollHintColor()));
  pal.setColor(QPalette::WindowText, canvas.ToQColor(clInfoText));
  scrollHint_->setPalette(pal);
  scrollHint_->setText(QString::fromStdString(ScrollHintText()));
  scrollHint_->setMaximumWidth(200);
  scrollHint_->adjustSize();
  int x = ClientWidth() - scrollHint_->width() - 4;
  int y = 10;
  if (Options().Contains(eoScrollHintFollows)) {
    QScrollBar* sb = verticalScrollBar();
    int arrow = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    int range = std::max(sb->maximum(), 1);
    y = arrow + static_cast<int>((ClientHeight() - 2.0 * arrow) * trackPosition / range + 0.5) +
        scrollHint_->height() / 2;
  }
  scrollHint_->move(viewport()->mapToGlobal(QPoint(x, y)));
  scrollHint_->show();
  scrollHint_->repaint();
}

void TSynEdit::HideScrollHint() {
  if (scrollHint_) scrollHint_->hide();
}

}  // namespace ludra
