#pragma once
// TSynEdit: the editor on screen. A Qt scroll area that hands its window
// services to the platform-free control: paint requests become Paint() on a
// QPainter canvas, keys become virtual-key codes for the key-binding table,
// text and input-method commits become code-page bytes, and the scroll bars
// and caret follow what the control asks for.
#include <QAbstractScrollArea>
#include <QFont>
#include <QPalette>
#include <QRawFont>
#include <QTimer>
#include <array>
#include <functional>
#include <optional>

#include "editor/SynEdit.h"
#include "platform/SynCanvas.h"

class QLabel;
class QMimeData;
class QPainter;

class QKeyEvent;

namespace ludra {

// The canvas on a QPainter (or, without one, for measuring only). System
// colours come from the palette; fonts are requested by name and fontconfig
// picks the face ("Courier New" becomes Liberation Mono).
class TSynQtCanvas : public TSynCanvas {
 public:
  explicit TSynQtCanvas(QPainter* painter = nullptr, const QPalette& palette = QPalette());
  // The canvas keeps its font variants from one frame to the next.
  void SetPainter(QPainter* painter, const QPalette& palette);

  void SetFont(const TSynFont& font) override;
  TSynCellSize MeasureCell(TFontStyles style) override;
  void FillRect(const TRect& rect, TColor color) override;
  void TextOut(int x, int y, const TRect& clip, std::string_view text, int cellWidth,
               TFontStyles style, TColor fg, TColor bg) override;
  void DrawLine(int x1, int y1, int x2, int y2, TColor color) override;
  void DrawGlyph(int x, int y, const TSynGlyph& glyph, const TRect& clip) override;
  int TextWidth(std::string_view text, TFontStyles style) override;
  int TextHeight(TFontStyles style) override;
  void DrawText(int x, int y, const TRect& clip, std::string_view text, TFontStyles style,
                TColor fg) override;

  QColor ToQColor(TColor color) const;
  // The font of a style variant; a face without fixed pitch is asked for
  // with the fixed-pitch hint, so the cells stay even.
  static QFont ToQFont(const TSynFont& font, TFontStyles style);

 private:
  struct TVariant {
    QFont Font;
    QRawFont Raw;
    std::array<quint32, 256> Glyphs{};
    int Ascent = 0;
    int Advance = 0;
  };
  const TVariant& Variant(TFontStyles style);
  // The face as asked for, without the fixed-pitch hint, for proportional text.
  const QFont& ProportionalFont(TFontStyles style);
  std::array<std::optional<QFont>, 16> proportional_;

  QPainter* painter_;
  QPalette palette_;
  TSynFont font_;
  std::array<std::optional<TVariant>, 16> variants_;
  QList<quint32> glyphs_;
  QList<QPointF> positions_;
  int positionsCell_ = 0;
};

class TSynEdit : public QAbstractScrollArea, public TCustomSynEdit {
  Q_OBJECT
 public:
  // Without a clipboard the system clipboard is used.
  explicit TSynEdit(QWidget* parent = nullptr, TSynClipboard* clipboard = nullptr);
  ~TSynEdit() override;

  // Raised after a scroll-bar message moved the view.
  std::function<void(TCustomSynEdit* sender, TSynScrollBarKind bar)> OnScroll;

  // Window services.
  bool HandleAllocated() const override { return true; }
  int ClientWidth() const override;
  int ClientHeight() const override;
  void InvalidateRect(const TRect& rect) override;
  void ScrollWindow(int dx, int dy) override;
  void SetScrollBar(TSynScrollBarKind bar, const TSynScrollBarInfo& info) override;
  bool Focused() const override { return hasFocus(); }
  void SetFocus() override { setFocus(Qt::OtherFocusReason); }
  void FontMetrics(int& cellWidth, int& cellHeight) const override;
  void CreateSystemCaret(int width, int height) override;
  void DestroySystemCaret() override;
  void SetSystemCaret(int x, int y, bool visible) override;
  // Drops stay accepted for text dragged between editors; files are
  // filtered by eoDropFiles when they arrive.
  void SetDropFilesAccepted(bool value) override { (void)value; }

  // The caret rectangle as last placed (empty when hidden), for tests.
  QRect CaretRect() const;
  bool ScrollHintVisible() const;
  // Virtual-key code and shift state of a Qt key event (0 when the key has none).
  static uint16_t VirtualKeyOf(int qtKey, Qt::KeyboardModifiers modifiers);
  // The key of an event, with the main keyboard's digit keys as digits also
  // when Shift turned them into symbols.
  static uint16_t VirtualKeyOf(const QKeyEvent& event);
  static TShiftState ShiftStateOf(Qt::KeyboardModifiers modifiers);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  bool focusNextPrevChild(bool next) override;
  void scrollContentsBy(int dx, int dy) override;
  void changeEvent(QEvent* event) override;

 private:
  void ScrollAction(TSynScrollBarKind bar, int action);
  void ShowScrollHint(int trackPosition);
  void HideScrollHint();
  void BlinkCaret();
  void RestartBlink();

  TSynQtCanvas canvas_;
  QTimer caretTimer_;
  QPoint caretPos_;
  bool caretPlaced_ = false;
  bool caretOn_ = true;
  int settingScrollBars_ = 0;
  bool sizePending_ = false;
  bool scrolledSincePaint_ = false;
  bool thumbDragging_ = false;
  static QLabel* scrollHint_;

  // --- Mouse, wheel, drag-and-drop and timers (SynEditWidgetMouse.cpp) ---
 public:
  TShiftState KeyboardShiftState() const override;
  int DragThreshold() const override;
  int WheelScrollLines() const override;
  bool HasPopupMenu() const override { return contextMenuPolicy() != Qt::NoContextMenu; }
  void BeginDrag() override;
  std::unique_ptr<TSynTimer> CreateTimer() override;
  // Shift state of a mouse event: keys and held buttons.
  static TShiftState MouseShiftState(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons);
  // The editor a drag's data came from, while it is alive; else nullptr.
  static TSynEdit* DragSourceOf(const QMimeData* data);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dragLeaveEvent(QDragLeaveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void SetupMouse();
  void ShowCursorAt(const QPoint& pos);
  void DragOverAt(QDropEvent* event, TDragState state);
  // --- End of mouse ---
};

}  // namespace ludra
