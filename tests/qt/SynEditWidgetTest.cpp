// The editor widget on the offscreen platform: pixels where only the real
// widget can show them, keys and text arriving as commands, scroll bars,
// pixel scrolling and the caret.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QScrollBar>
#include <utility>
#include <vector>

#include "editor/SynEditKeyConst.h"
#include "editor/SynEditMarks.h"
#include "editor/SynEditMiscClasses.h"
#include "highlight/SynHighlighterCpp.h"
#include "platform/SynMemoryClipboard.h"
#include "qt/SynEditWidget.h"

namespace ludra {
namespace {

// Remembers the regions it was asked to paint.
class TRecordingSynEdit : public TSynEdit {
 public:
  TRecordingSynEdit() : TSynEdit(nullptr, &clipboard) {}
  std::vector<QRegion> painted;
  using TCustomSynEdit::Bookmark;
  using TCustomSynEdit::CellMeasurePending;
  using TCustomSynEdit::PlaceBookmark;
  using TCustomSynEdit::TextOrigin;

 protected:
  void paintEvent(QPaintEvent* event) override {
    painted.push_back(event->region());
    TSynEdit::paintEvent(event);
  }

 private:
  TSynMemoryClipboard clipboard;
};

// The main window's look: white text area, grey gutter, navy selection.
void MainWindowLook(TSynEdit& e, TSynCppSyn& cpp) {
  e.SetColor(clWhite);
  e.SelectedColor().SetBackground(RGB(10, 36, 106));
  e.SelectedColor().SetForeground(clWhite);
  e.Gutter().SetColor(RGB(212, 208, 200));
  e.Gutter().SetWidth(42);
  cpp.KeyAttri()->SetForeground(clBlue);
  cpp.KeyAttri()->SetStyle({});
  e.SetHighlighter(&cpp);
  e.SetTabWidth(4);
  e.SetWantTabs(true);
}

void Settle() {
  for (int i = 0; i < 5; ++i) QApplication::processEvents();
}

void SendKey(QWidget& w, int key, Qt::KeyboardModifiers mods = Qt::NoModifier,
             const QString& text = QString()) {
  QKeyEvent press(QEvent::KeyPress, key, mods, text);
  QApplication::sendEvent(&w, &press);
  QKeyEvent release(QEvent::KeyRelease, key, mods, text);
  QApplication::sendEvent(&w, &release);
}

// Pixels of a text colour: anti-aliased glyphs have few exact ones, so
// blue text counts the clearly blue pixels.
int CountBluePixels(const QImage& image, const QRect& area) {
  int n = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) {
      QColor c = image.pixelColor(x, y);
      if (c.blue() > 160 && c.red() < 110 && c.green() < 110) ++n;
    }
  return n;
}

int CountPixels(const QImage& image, const QRect& area, QColor color) {
  int n = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      if (image.pixelColor(x, y) == color) ++n;
  return n;
}

TEST(SynEditWidgetTest, RendersGutterKeywordAndSelectionColours) {
  TRecordingSynEdit e;
  TSynCppSyn cpp;
  MainWindowLook(e, cpp);
  e.resize(400, 200);
  e.SetText("if (x)\nreturn 1;\nplain text");
  e.SetSelFrom({1, 3});
  e.SetSelTo({6, 3});
  QImage image = e.viewport()->grab().toImage();
  const int rh = e.RowHeight(), gp = e.GutterPixels();
  ASSERT_GT(rh, 8);
  EXPECT_EQ(gp, 42);
  EXPECT_EQ(image.pixelColor(5, 5), QColor(212, 208, 200));
  // "if" is drawn in blue on the first row; "return" too on the second.
  QRect row1(gp + 2, 0, 2 * e.CellWidth(), rh);
  EXPECT_GT(CountBluePixels(image, row1), 3);
  QRect row2(gp + 2, rh, 6 * e.CellWidth(), rh);
  EXPECT_GT(CountBluePixels(image, row2), 3);
  // Plain text is not blue.
  EXPECT_EQ(
      CountBluePixels(image, QRect(gp + 2 + 6 * e.CellWidth(), 2 * rh, 4 * e.CellWidth(), rh)), 0);
  // The selected "plain" has the selection background, the rest of the row not.
  QRect selected(gp + 2, 2 * rh, 5 * e.CellWidth(), rh);
  EXPECT_GT(CountPixels(image, selected, QColor(10, 36, 106)), selected.width() * rh / 2);
  QRect after(gp + 2 + 6 * e.CellWidth(), 2 * rh, 4 * e.CellWidth(), rh);
  EXPECT_EQ(CountPixels(image, after, QColor(10, 36, 106)), 0);
  // Below the text: the editor colour.
  EXPECT_EQ(image.pixelColor(gp + 20, 4 * rh + 2), QColor(255, 255, 255));
}

TEST(SynEditWidgetTest, CellComesFromTheFontAndTheGutterFollowsIt) {
  TSynEdit e(nullptr, nullptr);
  int w = e.CellWidth(), h = e.RowHeight();
  EXPECT_GT(w, 4);
  EXPECT_GT(h, w);
  TSynFont big = e.Font();
  big.Size = 20;
  e.Gutter().SetShowLineNumbers(true);
  e.SetFont(big);
  EXPECT_GT(e.CellWidth(), w);
  EXPECT_EQ(e.GutterPixels(), 16 + 2 + 4 * e.CellWidth() + 2);
  EXPECT_EQ(e.VisibleColumns(), (e.ClientWidth() - e.GutterPixels() - 2) / e.CellWidth());
}

TEST(SynEditWidgetTest, BoldAndItalicFacesLoadedAtTheFirstTextPaintTheSame) {
  TSynCppSyn cppLate, cppEarly;
  TRecordingSynEdit late, early;
  for (auto [e, cpp] : {std::pair{&late, &cppLate}, std::pair{&early, &cppEarly}}) {
    MainWindowLook(*e, *cpp);
    cpp->KeyAttri()->SetStyle({fsBold});
    cpp->CommentAttri()->SetStyle({fsItalic});
    cpp->CommentAttri()->SetForeground(clGreen);
    e->resize(400, 200);
  }
  // An empty editor paints without them.
  EXPECT_TRUE(late.CellMeasurePending());
  late.viewport()->grab();
  EXPECT_TRUE(late.CellMeasurePending());
  // The other one measures every variant before it paints.
  TSynQtCanvas canvas;
  int w = 0, h = 0;
  early.MeasureCellSize(canvas, w, h);
  early.FontChanged();
  EXPECT_FALSE(early.CellMeasurePending());
  const char* text = "int x; // comment\nif (x) return 1; /* block */";
  late.SetText(text);
  early.SetText(text);
  QImage lateImage = late.viewport()->grab().toImage();
  QImage earlyImage = early.viewport()->grab().toImage();
  EXPECT_FALSE(late.CellMeasurePending());
  EXPECT_EQ(late.CellWidth(), early.CellWidth());
  EXPECT_EQ(late.RowHeight(), early.RowHeight());
  EXPECT_EQ(lateImage, earlyImage);
  // The italic comment is drawn in green, the bold keywords in blue.
  const int cw = late.CellWidth(), x = late.GutterPixels() + 2, rh = late.RowHeight();
  int green = 0;
  for (int py = 0; py < rh; ++py)
    for (int px = x + 7 * cw; px < x + 17 * cw; ++px) {
      QColor c = lateImage.pixelColor(px, py);
      green += c.green() > 90 && c.red() < 80 && c.blue() < 80;
    }
  EXPECT_GT(green, 3);
  EXPECT_GT(CountBluePixels(lateImage, QRect(x, rh, 2 * cw, rh)), 3);
}

// The commands the editor ran, with their characters.
struct TCommandLog : TSynEditListener {
  explicit TCommandLog(TSynEdit& e) : editor(&e) { e.AddListener(this); }
  ~TCommandLog() {
    if (editor) editor->RemoveListener(this);
  }
  void EditorDestroyed(TCustomSynEdit*) override { editor = nullptr; }
  void CommandHook(TCustomSynEdit*, bool after, bool&, TSynEditorCommand& c, char& ch,
                   void*) override {
    if (!after) return;
    commands.push_back(c);
    chars.push_back(ch);
  }
  TSynEdit* editor;
  std::vector<TSynEditorCommand> commands;
  std::vector<char> chars;
};

TEST(SynEditWidgetTest, KeysArriveAsTheirCommands) {
  struct TCase {
    int key;
    Qt::KeyboardModifiers mods;
    QString text;
    TSynEditorCommand command;
  };
  const std::vector<TCase> cases = {
      {Qt::Key_Left, Qt::NoModifier, "", ecLeft},
      {Qt::Key_Right, Qt::ShiftModifier, "", ecSelRight},
      {Qt::Key_Left, Qt::ControlModifier, "", ecWordLeft},
      {Qt::Key_End, Qt::ControlModifier | Qt::ShiftModifier, "", ecSelEditorBottom},
      {Qt::Key_PageDown, Qt::NoModifier, "", ecPageDown},
      {Qt::Key_A, Qt::ControlModifier, "\x01", ecSelectAll},
      {Qt::Key_Z, Qt::ControlModifier, "\x1a", ecUndo},
      {Qt::Key_Backspace, Qt::AltModifier, "", ecUndo},
      {Qt::Key_Insert, Qt::NoModifier, "", ecToggleMode},
      {Qt::Key_3, Qt::ControlModifier | Qt::ShiftModifier, "", ecSetMarker3},
      {Qt::Key_Return, Qt::NoModifier, "\r", ecLineBreak},
      {Qt::Key_Tab, Qt::NoModifier, "\t", ecTab},
      {Qt::Key_Backtab, Qt::ShiftModifier, "", ecShiftTab},
      {Qt::Key_F1, Qt::NoModifier, "", ecContextHelp},
  };
  for (const TCase& c : cases) {
    TRecordingSynEdit e;
    e.SetWantTabs(true);
    e.SetText("one two\nthree");
    TCommandLog log(e);
    SendKey(e, c.key, c.mods, c.text);
    // Exactly one command: the character that came with the key is dropped.
    ASSERT_EQ(log.commands.size(), 1u) << c.key;
    EXPECT_EQ(log.commands[0], c.command) << c.key;
  }
}

TEST(SynEditWidgetTest, TypedTextBecomesCodePageCharacters) {
  TRecordingSynEdit e;
  TCommandLog log(e);
  SendKey(e, Qt::Key_A, Qt::NoModifier, "a");
  SendKey(e, Qt::Key_A, Qt::ShiftModifier, "A");
  SendKey(e, 0, Qt::NoModifier, QString::fromUtf8("\xC3\xA9"));  // é
  SendKey(e, Qt::Key_Left, Qt::NoModifier);
  SendKey(e, Qt::Key_Space, Qt::NoModifier, " ");
  EXPECT_EQ(e.Lines().Get(0), "aA \xE9");
  EXPECT_EQ(log.commands, (std::vector<TSynEditorCommand>{ecChar, ecChar, ecChar, ecLeft, ecChar}));
  EXPECT_EQ(log.chars[2], '\xE9');
}

TEST(SynEditWidgetTest, AltOrMetaChordsWithoutABindingTypeNothing) {
  TRecordingSynEdit e;
  const Qt::KeyboardModifiers chords[] = {Qt::AltModifier, Qt::MetaModifier,
                                          Qt::AltModifier | Qt::ShiftModifier};
  for (Qt::KeyboardModifiers mods : chords)
    for (int key : {Qt::Key_F, Qt::Key_Q, Qt::Key_A}) SendKey(e, key, mods, QChar(key).toLower());
  SendKey(e, Qt::Key_F, Qt::NoModifier, "f");
  EXPECT_EQ(e.Text(), "f");
}

TEST(SynEditWidgetTest, CtrlShiftDigitSetsABookmarkThoughShiftMakesASymbol) {
  TRecordingSynEdit e;
  e.Lines().SetText("one\ntwo\nthree\n");
  e.SetCaretPos({2, 2});
  SendKey(e, Qt::Key_Exclam, Qt::ControlModifier | Qt::ShiftModifier, "!");
  ASSERT_NE(e.Bookmark(1), nullptr);
  EXPECT_EQ(e.Lines().Get(1), "two");  // nothing typed
  e.SetCaretPos({1, 3});
  SendKey(e, Qt::Key_1, Qt::ControlModifier);
  EXPECT_EQ(e.CaretPos().Line, 2);
  SendKey(e, Qt::Key_ParenRight, Qt::ShiftModifier, ")");  // Shift alone still types
  EXPECT_EQ(e.Lines().Get(1), "t)wo");
}

TEST(SynEditWidgetTest, SettingABookmarkRepaintsItsGutterRow) {
  TRecordingSynEdit e;
  TSynCppSyn cpp;
  MainWindowLook(e, cpp);
  e.Gutter().SetShowLineNumbers(true);
  e.resize(400, 300);
  e.show();
  e.Lines().SetText("one\ntwo\nthree\n");
  Settle();
  e.SetCaretPos({1, 2});
  Settle();
  e.painted.clear();
  SendKey(e, Qt::Key_Exclam, Qt::ControlModifier | Qt::ShiftModifier, "!");
  Settle();
  QRect gutterRow(0, e.RowHeight(), e.GutterPixels(), e.RowHeight());
  bool repainted = false;
  for (const QRegion& r : e.painted) repainted = repainted || r.contains(gutterRow);
  EXPECT_TRUE(repainted);
}

TEST(SynEditWidgetTest, AGlyphSurvivesAPaintRegionSplitAcrossItsRow) {
  TRecordingSynEdit e;
  TSynCppSyn cpp;
  MainWindowLook(e, cpp);
  e.Gutter().SetShowLineNumbers(true);
  e.resize(400, 300);
  e.Lines().SetText("one\ntwo\nthree\n");
  e.PlaceBookmark(1, 1, 2);
  // The caret's rectangle often splits a gutter repaint into pieces like these.
  int top = e.RowHeight(), bottom = 2 * e.RowHeight();
  QRegion region(0, 0, e.GutterPixels(), 300);
  region += QRect(e.GutterPixels() + 5, top + 3, 2, 4);
  ASSERT_GE(region.rectCount(), 3);
  QImage image(e.viewport()->size(), QImage::Format_ARGB32);
  image.fill(Qt::black);
  e.viewport()->render(&image, QPoint(), region);
  QImage whole(e.viewport()->size(), QImage::Format_ARGB32);
  whole.fill(Qt::black);
  e.viewport()->render(&whole, QPoint(), QRegion(0, 0, e.GutterPixels(), 300));
  QRect row(0, top, e.GutterPixels(), bottom - top);
  EXPECT_EQ(image.copy(row), whole.copy(row));
}

TEST(SynEditWidgetTest, AKeyWithoutCodeAfterACommandKeyStillTypes) {
  TRecordingSynEdit e;
  SendKey(e, Qt::Key_A, Qt::NoModifier, "a");
  SendKey(e, Qt::Key_Left, Qt::ShiftModifier);  // a command: its character is to be dropped
  SendKey(e, 0, Qt::NoModifier, QString::fromUtf8("\xC3\xA9"));  // é has no key code
  EXPECT_EQ(e.Lines().Get(0), "\xE9");                           // typed over the selected "a"
}

TEST(SynEditWidgetTest, InputMethodCommitInsertsTheString) {
  TRecordingSynEdit e;
  e.SetText("x");
  TCommandLog log(e);
  QInputMethodEvent event;
  event.setCommitString(QString::fromUtf8("\xC3\xBC\xC3\x9F"));  // üß
  QApplication::sendEvent(&e, &event);
  EXPECT_EQ(e.Lines().Get(0), "\xFC\xDFx");
  EXPECT_EQ(log.commands, (std::vector<TSynEditorCommand>{ecImeStr}));
}

TEST(SynEditWidgetTest, TabMovesTheFocusUnlessTheEditorWantsTabs) {
  QWidget window;
  TSynEdit* e = new TSynEdit(&window, nullptr);
  QWidget* next = new QWidget(&window);
  next->setFocusPolicy(Qt::StrongFocus);
  window.show();
  QApplication::setActiveWindow(&window);
  e->setFocus();
  Settle();
  ASSERT_TRUE(e->hasFocus());
  e->SetWantTabs(true);
  TCommandLog log(*e);
  SendKey(*e, Qt::Key_Tab, Qt::NoModifier, "\t");
  EXPECT_TRUE(e->hasFocus());
  EXPECT_EQ(log.commands, (std::vector<TSynEditorCommand>{ecTab}));
  e->SetWantTabs(false);
  SendKey(*e, Qt::Key_Tab, Qt::NoModifier, "\t");
  EXPECT_TRUE(next->hasFocus());
}

TEST(SynEditWidgetTest, FocusChangesRunTheFocusCommandsAndTheCaretFollowsTheMode) {
  QWidget window;
  TSynEdit* e = new TSynEdit(&window, nullptr);
  QWidget* other = new QWidget(&window);
  other->setFocusPolicy(Qt::StrongFocus);
  e->resize(300, 200);
  e->SetText("abc");
  TCommandLog log(*e);
  window.show();
  QApplication::setActiveWindow(&window);
  e->setFocus();
  Settle();
  ASSERT_TRUE(e->hasFocus());
  QRect caret = e->CaretRect();
  EXPECT_EQ(caret.width(), 2);
  EXPECT_EQ(caret.height(), e->RowHeight() - 2);
  EXPECT_EQ(caret.left(), e->GutterPixels() + 2 - 1);
  e->RunCommand(ecOverwriteMode, 0, nullptr);
  EXPECT_EQ(e->CaretRect().width(), e->CellWidth());
  e->SetOptions(e->Options() + TSynEditorOptions{eoNoCaret});
  e->SetCaretPos({2, 1});
  EXPECT_TRUE(e->CaretRect().isEmpty());
  other->setFocus();
  Settle();
  // Between the focus commands, the mode change run above.
  EXPECT_EQ(log.commands,
            (std::vector<TSynEditorCommand>{ecFocusGained, ecOverwriteMode, ecFocusLost}));
}

TEST(SynEditWidgetTest, ScrollingByOneLineMovesPixelsAndPaintsOneRow) {
  TRecordingSynEdit e;
  e.resize(400, 300);
  std::string text;
  for (int i = 1; i <= 200; ++i) text += "line " + std::to_string(i) + "\n";
  e.SetText(text);
  e.show();
  Settle();
  ASSERT_FALSE(e.painted.empty());
  e.painted.clear();
  e.SetTopRow(2);
  Settle();
  ASSERT_FALSE(e.painted.empty());
  QRegion all;
  for (const QRegion& r : e.painted) all += r;
  // Only the strip uncovered at the bottom (and the caret's old place) is
  // painted, not the whole viewport.
  long long area = 0;
  for (const QRect& r : all) area += static_cast<long long>(r.width()) * r.height();
  const int strip = e.RowHeight() + e.ClientHeight() % e.RowHeight();
  EXPECT_LE(area, static_cast<long long>(e.ClientWidth()) * strip + 2 * e.RowHeight());
  EXPECT_TRUE(all.contains(QPoint(e.ClientWidth() / 2, e.ClientHeight() - 2)));
  // A page or more repaints everything.
  e.painted.clear();
  e.SetTopRow(2 + e.VisibleRows());
  Settle();
  all = QRegion();
  for (const QRegion& r : e.painted) all += r;
  EXPECT_EQ(all.boundingRect().height(), e.ClientHeight());
}

TEST(SynEditWidgetTest, LargeDocumentScrollBarIsScaledAndTheThumbReachesTheEnd) {
  TRecordingSynEdit e;
  e.resize(400, 300);
  std::string text;
  for (int i = 0; i < 100000; ++i) text += "x\n";
  e.SetText(text);
  QScrollBar* sb = e.verticalScrollBar();
  EXPECT_EQ(sb->maximum() + sb->pageStep() - 1, 32767);
  sb->triggerAction(QAbstractSlider::SliderToMaximum);
  EXPECT_EQ(e.TopRow() + e.VisibleRows() - 1, 100000);
  sb->setSliderPosition(sb->maximum());  // a thumb drag to the end
  EXPECT_GE(e.TopRow() + e.VisibleRows() - 1, 100000);
  sb->triggerAction(QAbstractSlider::SliderToMinimum);
  EXPECT_EQ(e.TopRow(), 1);
  sb->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(e.TopRow(), 2);
  sb->triggerAction(QAbstractSlider::SliderPageStepAdd);
  EXPECT_EQ(e.TopRow(), 2 + e.VisibleRows());
}

TEST(SynEditWidgetTest, ScrollBarsHideOrDisableWhenNothingCanScroll) {
  TRecordingSynEdit e;
  e.resize(400, 300);
  e.SetText("short");
  EXPECT_FALSE(e.verticalScrollBar()->isEnabled());
  EXPECT_EQ(e.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  e.SetOptions(e.Options() + TSynEditorOptions{eoHideShowScrollbars});
  EXPECT_EQ(e.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
  e.SetScrollBars(ssNone);
  EXPECT_EQ(e.horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
}

TEST(SynEditWidgetTest, ThumbDragShowsTheScrollHint) {
  TRecordingSynEdit e;
  e.resize(400, 300);
  std::string text;
  for (int i = 0; i < 500; ++i) text += "x\n";
  e.SetText(text);
  e.show();
  Settle();
  QScrollBar* sb = e.verticalScrollBar();
  sb->setSliderDown(true);
  sb->setSliderPosition(100);
  EXPECT_EQ(e.TopRow(), 100);
  EXPECT_TRUE(e.ScrollHintVisible());
  sb->setSliderDown(false);
  EXPECT_FALSE(e.ScrollHintVisible());
}

TEST(SynEditWidgetTest, VirtualKeyCodes) {
  struct TCase {
    int qtKey;
    Qt::KeyboardModifiers mods;
    uint16_t vk;
  };
  const std::vector<TCase> cases = {
      {Qt::Key_A, Qt::NoModifier, 'A'},
      {Qt::Key_7, Qt::NoModifier, '7'},
      {Qt::Key_7, Qt::KeypadModifier, 0x67},
      {Qt::Key_F5, Qt::NoModifier, VK_F5},
      {Qt::Key_Backtab, Qt::NoModifier, VK_TAB},
      {Qt::Key_Enter, Qt::KeypadModifier, VK_RETURN},
      {Qt::Key_PageUp, Qt::NoModifier, VK_PRIOR},
      {Qt::Key_Minus, Qt::KeypadModifier, VK_SUBTRACT},
      {Qt::Key_Control, Qt::NoModifier, VK_CONTROL},
      {Qt::Key_unknown, Qt::NoModifier, 0},
  };
  for (const TCase& c : cases) EXPECT_EQ(TSynEdit::VirtualKeyOf(c.qtKey, c.mods), c.vk) << c.qtKey;
  EXPECT_EQ(TSynEdit::ShiftStateOf(Qt::ShiftModifier | Qt::ControlModifier),
            (TShiftState{ssShift, ssCtrl}));
}

}  // namespace
}  // namespace ludra

namespace ludra {
namespace {

TEST(SynEditWidgetTest, SpecialCharactersMarkBlankCells) {
  TRecordingSynEdit e;
  e.SetColor(clWhite);
  e.resize(300, 100);
  e.SetTabWidth(4);
  e.SetText("a b\tc");
  auto inkInCell = [&](int column) {
    QImage image = e.viewport()->grab().toImage();
    QRect cell(e.TextOrigin() + (column - 1) * e.CellWidth(), 0, e.CellWidth(), e.RowHeight());
    return cell.width() * cell.height() - CountPixels(image, cell, QColor(255, 255, 255));
  };
  EXPECT_EQ(inkInCell(2), 0);
  EXPECT_EQ(inkInCell(6), 0);  // after the line's end
  e.SetOptions(e.Options() + TSynEditorOptions{eoShowSpecialChars});
  EXPECT_GT(inkInCell(2), 0);  // the blank's dot
  EXPECT_GT(inkInCell(6), 0);  // the line-end mark
  // "a b" ends at column 3: the tab takes the one cell up to the next stop.
  EXPECT_GT(inkInCell(4), 0);
}

}  // namespace
}  // namespace ludra
