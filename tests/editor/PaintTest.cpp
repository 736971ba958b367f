// Painting through the recording canvas: runs and their colours, selection
// pieces in the three modes, whitespace glyphs, the fill after the text, the
// right edge, the gutter and what each setting invalidates.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/HeadlessSynEdit.h"
#include "highlight/SynHighlighterCpp.h"
#include "platform/SynCanvas.h"

namespace ludra::test {
namespace {

using TOp = TSynRecordingCanvas::TOp;

// 10 x 20 cells, 80 columns after a 30-pixel gutter.
class TPaintEditor : public THeadlessSynEdit {
 public:
  TPaintEditor() {
    clientWidth = 32 + 100 * 10;
    focused = true;
  }
  std::vector<TOp> PaintAll() {
    canvas.Clear();
    Paint(canvas, {0, 0, clientWidth, clientHeight});
    return canvas.Ops;
  }
  // Text runs drawn on one row (1-based, relative to the top row).
  std::vector<TOp> RowTexts(int row) {
    std::vector<TOp> result;
    for (const TOp& op : canvas.Texts())
      if (op.Y == (row - 1) * 20 && op.X >= GutterPixels()) result.push_back(op);
    return result;
  }
  // Texts drawn in the selection colours on a row, joined.
  std::string SelectedOnRow(int row) {
    std::string s;
    for (const TOp& op : RowTexts(row))
      if (op.Bg == SelectedColor().Background()) s += op.Text;
    return s;
  }
  TSynRecordingCanvas canvas;
};

int ColumnX(const THeadlessSynEdit& e, int column) {
  return (column - 1) * e.CellWidth() + e.TextOrigin();
}

struct TCppEditor : TPaintEditor {
  TCppEditor() {
    cpp.KeyAttri()->SetForeground(clBlue);
    cpp.KeyAttri()->SetStyle({});
    cpp.CommentAttri()->SetForeground(clGreen);
    SetHighlighter(&cpp);
  }
  TSynCppSyn cpp;
};

TEST(PaintRunsTest, HighlightedLineIsDrawnTokenByTokenInRuns) {
  TCppEditor e;
  e.SetText("if (x) // c");
  e.PaintAll();
  std::vector<TOp> runs = e.RowTexts(1);
  // Blanks join the run before them; the comment keeps its italic style.
  ASSERT_EQ(runs.size(), 3u);
  EXPECT_EQ(runs[0].Text, "if ");
  EXPECT_EQ(runs[0].Fg, clBlue);
  EXPECT_EQ(runs[1].Text, "(x) ");
  EXPECT_EQ(runs[1].Fg, clWindowText);
  EXPECT_EQ(runs[2].Text, "// c");
  EXPECT_EQ(runs[2].Fg, clGreen);
  EXPECT_EQ(runs[2].Style, TFontStyles{fsItalic});
  for (const TOp& r : runs) {
    EXPECT_EQ(r.Bg, clWindow);
    EXPECT_EQ(r.CellWidth, 10);
  }
  EXPECT_EQ(runs[0].X, e.TextOrigin());
  EXPECT_EQ(runs[1].X, ColumnX(e, 4));
  EXPECT_EQ(runs[2].X, ColumnX(e, 8));
  EXPECT_EQ(runs[2].Rect, (TRect{ColumnX(e, 8), 0, ColumnX(e, 12), 20}));
}

TEST(PaintRunsTest, ScrolledRowStartsAtTheFirstVisibleColumnAndCutsTokens) {
  TCppEditor e;
  e.SetText("return value;");
  e.SetFirstVisibleColumn(4);
  e.PaintAll();
  std::vector<TOp> runs = e.RowTexts(1);
  ASSERT_FALSE(runs.empty());
  EXPECT_EQ(runs[0].Text.substr(0, 3), "urn");
  EXPECT_EQ(runs[0].X, e.GutterPixels() + 2);
}

TEST(PaintRunsTest, WithoutHighlighterTheLineIsOneRunInTheFontColour) {
  TPaintEditor e;
  e.SetText("int x;\n\tb");
  e.SetTabWidth(4);
  e.PaintAll();
  ASSERT_EQ(e.RowTexts(1).size(), 1u);
  EXPECT_EQ(e.RowTexts(1)[0].Text, "int x;");
  EXPECT_EQ(e.RowTexts(1)[0].Fg, clWindowText);
  // The tab's filler is drawn as blanks.
  EXPECT_EQ(e.RowTexts(2)[0].Text, "    b");
}

TEST(PaintRunsTest, TheFontStyleGoesWithEveryToken) {
  TCppEditor e;
  e.SetText("if (x) // c");
  TSynFont font = e.Font();
  font.Style = {fsBold};
  e.SetFont(font);
  e.PaintAll();
  std::vector<TOp> runs = e.RowTexts(1);
  ASSERT_EQ(runs.size(), 3u);
  EXPECT_EQ(runs[0].Style, TFontStyles{fsBold});
  EXPECT_EQ(runs[1].Style, TFontStyles{fsBold});
  EXPECT_EQ((runs[2].Style), (TFontStyles{fsBold, fsItalic}));
  TPaintEditor plain;
  plain.SetText("int x;");
  font.Style = {fsItalic};
  plain.SetFont(font);
  plain.PaintAll();
  ASSERT_EQ(plain.RowTexts(1).size(), 1u);
  EXPECT_EQ(plain.RowTexts(1)[0].Style, TFontStyles{fsItalic});
}

struct TSelectionCase {
  const char* name;
  TSynSelectionMode mode;
  TBufferCoord from, to;
  std::vector<std::string> selected;  // per row
};

TEST(PaintSelectionTest, SelectedPiecesInEveryMode) {
  const std::vector<TSelectionCase> cases = {
      {"normal across tokens", smNormal, {2, 1}, {6, 1}, {"f (x", "", ""}},
      {"normal over lines", smNormal, {4, 1}, {3, 2}, {"(x) // c", "ab", ""}},
      {"normal ending at char 1", smNormal, {4, 1}, {1, 2}, {"(x) // c", "", ""}},
      {"line", smLine, {4, 1}, {2, 2}, {"if (x) // c", "ab  cd;", ""}},
      // Column blocks use display columns: on the tab line they cover the filler.
      {"column by display columns", smColumn, {2, 1}, {3, 3}, {"f (x", "b  c", "   q"}},
  };
  for (const TSelectionCase& c : cases) {
    SCOPED_TRACE(c.name);
    TCppEditor e;
    e.SetTabWidth(4);
    e.SetText("if (x) // c\nab\tcd;\n\tq");
    e.SetSelectionMode(c.mode);
    e.SetSelFrom(c.from);
    e.SetSelTo(c.to);
    e.PaintAll();
    for (size_t row = 0; row < c.selected.size(); ++row)
      EXPECT_EQ(e.SelectedOnRow(static_cast<int>(row) + 1), c.selected[row]) << "row " << row + 1;
    for (const TOp& op : e.canvas.Texts())
      if (op.Bg == e.SelectedColor().Background()) {
        EXPECT_EQ(op.Fg, e.SelectedColor().Foreground());
      }
  }
}

TEST(PaintSelectionTest, NormalSelectionFillsPastTheLineEndToTheWindowEdge) {
  TPaintEditor e;
  e.SetText("ab\ncd\nef");
  e.SetSelFrom({2, 1});
  e.SetSelTo({2, 2});
  e.PaintAll();
  auto fillsOnRow = [&](int row, TColor color) {
    std::vector<TRect> result;
    for (const TOp& op : e.canvas.Ops)
      if (op.Kind == TSynRecordingCanvas::opFill && op.Rect.Top == (row - 1) * 20 &&
          op.Rect.Bottom == row * 20 && op.Bg == color)
        result.push_back(op.Rect);
    return result;
  };
  ASSERT_EQ(fillsOnRow(1, clHighlight).size(), 1u);
  EXPECT_EQ(fillsOnRow(1, clHighlight)[0], (TRect{ColumnX(e, 3), 0, e.clientWidth, 20}));
  // The last line's part after its end is not selected.
  EXPECT_TRUE(fillsOnRow(2, clHighlight).empty());
  ASSERT_EQ(fillsOnRow(2, clWindow).size(), 1u);
  EXPECT_EQ(fillsOnRow(2, clWindow)[0].Left, ColumnX(e, 3));
}

TEST(PaintSelectionTest, HiddenSelectionShowsOnlyWithFocus) {
  TPaintEditor e;
  e.SetText("abcdef");
  e.SetSelFrom({1, 1});
  e.SetSelTo({4, 1});
  e.SetHideSelection(true);
  e.focused = false;
  e.PaintAll();
  EXPECT_EQ(e.SelectedOnRow(1), "");
  e.focused = true;
  e.PaintAll();
  EXPECT_EQ(e.SelectedOnRow(1), "abc");
}

TEST(PaintSelectionTest, SpecialLineShowsItsSelectionWithItsColoursExchanged) {
  TPaintEditor e;
  e.SetText("abcdef\nxyz");
  e.OnSpecialLineColors = [](TCustomSynEdit*, int line, bool& special, TColor& fg, TColor& bg) {
    if (line != 1) return;
    special = true;
    fg = clYellow;
    bg = clMaroon;
  };
  e.SetSelFrom({3, 1});
  e.SetSelTo({5, 1});
  e.PaintAll();
  std::vector<TOp> runs = e.RowTexts(1);
  ASSERT_EQ(runs.size(), 3u);
  EXPECT_EQ(runs[0].Text, "ab");
  EXPECT_EQ(runs[0].Fg, clYellow);
  EXPECT_EQ(runs[0].Bg, clMaroon);
  EXPECT_EQ(runs[1].Text, "cd");
  EXPECT_EQ(runs[1].Fg, clMaroon);
  EXPECT_EQ(runs[1].Bg, clYellow);
  EXPECT_EQ(e.RowTexts(2)[0].Bg, clWindow);
}

TEST(PaintSelectionTest, SpecialLineDefaultFgKeepsTheTokenColours) {
  TCppEditor e;
  e.SetText("if x");
  e.SetOptions(e.Options() + TSynEditorOptions{eoSpecialLineDefaultFg});
  e.OnSpecialLineColors = [](TCustomSynEdit*, int, bool& special, TColor& fg, TColor& bg) {
    special = true;
    fg = clRed;
    bg = clAqua;
  };
  e.PaintAll();
  std::vector<TOp> runs = e.RowTexts(1);
  ASSERT_GE(runs.size(), 1u);
  EXPECT_EQ(runs[0].Text, "if ");
  EXPECT_EQ(runs[0].Fg, clBlue);
  EXPECT_EQ(runs[0].Bg, clAqua);
}

TEST(PaintRunsTest, ActiveLineUsesItsColourUnderEveryToken) {
  TCppEditor e;
  e.cpp.StringAttri()->SetBackground(clYellow);
  e.SetText("\"s\"\n\"t\"");
  e.SetActiveLineColor(clLime);
  e.PaintAll();
  EXPECT_EQ(e.RowTexts(1)[0].Bg, clLime);
  EXPECT_EQ(e.RowTexts(2)[0].Bg, clYellow);
}

TEST(PaintSpecialCharsTest, BlanksTabsAndLineEndBecomeGlyphs) {
  struct TCase {
    int tabWidth;
    const char* line;
    std::string cells;  // what the row's runs show
    int halfCellTabs;   // tab glyphs drawn half a cell right
  };
  const std::vector<TCase> cases = {
      {3, "\tx y", " \xBB x\xB7y\xB6", 0},
      {4, "a\tb", "a \xBB b\xB6", 0},
      {4, "\tx", "    x\xBB\xB6", 1},
      {2, " \t", "\xB7\xBB\xB6", 0},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.line);
    TPaintEditor e;
    e.SetTabWidth(c.tabWidth);
    e.SetOptions(e.Options() + TSynEditorOptions{eoShowSpecialChars});
    e.SetText(c.line);
    e.PaintAll();
    std::string cells;
    int halfCell = 0;
    for (const TOp& op : e.RowTexts(1)) {
      cells += op.Text;
      if ((op.X - e.TextOrigin()) % 10 == 5) ++halfCell;
    }
    EXPECT_EQ(cells, c.cells);
    EXPECT_EQ(halfCell, c.halfCellTabs);
  }
}

TEST(PaintSpecialCharsTest, LineEndGlyphTakesTheCommentColours) {
  TCppEditor e;
  e.SetOptions(e.Options() + TSynEditorOptions{eoShowSpecialChars});
  e.SetText("x // c\nx");
  e.PaintAll();
  std::vector<TOp> row1 = e.RowTexts(1), row2 = e.RowTexts(2);
  ASSERT_FALSE(row1.empty());
  EXPECT_EQ(row1.back().Text, "\xB6");
  EXPECT_EQ(row1.back().Fg, clGreen);
  EXPECT_EQ(row2.back().Text, "\xB6");
  EXPECT_EQ(row2.back().Fg, e.cpp.SpaceAttri()->Foreground());
}

TEST(PaintRightEdgeTest, EdgeLineFollowsTheHorizontalScroll) {
  TPaintEditor e;
  e.SetText("x");
  auto edgeLines = [&]() {
    std::vector<int> xs;
    for (const TOp& op : e.PaintAll())
      if (op.Kind == TSynRecordingCanvas::opLine && op.Bg == clSilver) xs.push_back(op.Rect.Left);
    return xs;
  };
  std::vector<int> xs = edgeLines();
  ASSERT_FALSE(xs.empty());
  EXPECT_EQ(xs[0], 80 * 10 + e.GutterPixels() + 2);
  e.SetMaxScrollWidth(200);
  e.SetFirstVisibleColumn(11);
  xs = edgeLines();
  ASSERT_FALSE(xs.empty());
  EXPECT_EQ(xs[0], 80 * 10 + e.GutterPixels() + 2 - 100);
  // Through the text row and the area below the text.
  EXPECT_EQ(xs.size(), 2u);
  e.SetRightEdge(0);
  EXPECT_TRUE(edgeLines().empty());
}

TEST(PaintGutterTest, NumberWidthFollowsTheLineCount) {
  struct TCase {
    int lines;
    int digits;
  };
  for (TCase c : {TCase{9, 4}, TCase{10, 4}, TCase{9999, 4}, TCase{10000, 5}, TCase{99999, 5}}) {
    SCOPED_TRACE(c.lines);
    TPaintEditor e;
    e.Gutter().SetLeftOffset(4);
    e.Gutter().SetRightOffset(4);
    e.Gutter().SetAutoSize(true);
    e.Gutter().SetShowLineNumbers(true);
    std::string text;
    for (int i = 1; i < c.lines; ++i) text += "\n";
    e.SetText(text + "x");
    EXPECT_EQ(e.Gutter().AutoSizeDigitCount(), c.digits);
    EXPECT_EQ(e.GutterPixels(), 4 + 4 + 10 * c.digits + 2);
    e.PaintAll();
    std::vector<TOp> numbers;
    for (const TOp& op : e.canvas.Texts())
      if (op.X < e.GutterPixels()) numbers.push_back(op);
    ASSERT_FALSE(numbers.empty());
    EXPECT_EQ(numbers[0].Text, std::string(c.digits - 1, ' ') + "1");
    EXPECT_EQ(numbers[0].X, e.GutterPixels() - 4 - 10 * c.digits - 2);
    EXPECT_EQ(numbers[0].Bg, clBtnFace);
    EXPECT_EQ(numbers[0].FontName, "Courier New");
  }
}

TEST(PaintGutterTest, NumberTextOptions) {
  TSynGutter g;
  g.SetShowLineNumbers(true);
  g.UpdateDigitCount(12);
  EXPECT_EQ(g.FormatLineNumber(7), "   7");
  g.SetLeadingZeros(true);
  EXPECT_EQ(g.FormatLineNumber(7), "0007");
  g.SetZeroStart(true);
  EXPECT_EQ(g.FormatLineNumber(1), "0000");
  g.SetAutoSize(true);
  g.SetDigitCount(1);
  g.UpdateDigitCount(10);  // numbers 0..9
  EXPECT_EQ(g.AutoSizeDigitCount(), 1);
  g.SetZeroStart(false);
  g.UpdateDigitCount(10);
  EXPECT_EQ(g.AutoSizeDigitCount(), 2);
}

TEST(PaintGutterTest, EachLineShowsItsNumberOnItsRow) {
  TPaintEditor e;
  e.Gutter().SetShowLineNumbers(true);
  e.SetText("a\nb\nc");
  e.PaintAll();
  std::vector<std::pair<std::string, int>> numbers;
  for (const TOp& op : e.canvas.Texts())
    if (op.Rect.Left < e.GutterPixels()) numbers.push_back({op.Text, op.Y / 20});
  EXPECT_EQ(numbers,
            (std::vector<std::pair<std::string, int>>{{"   1", 0}, {"   2", 1}, {"   3", 2}}));
}

TEST(PaintGutterTest, BorderStyles) {
  struct TCase {
    TSynGutterBorderStyle style;
    std::vector<std::pair<int, TColor>> lines;  // x and colour
  };
  const std::vector<TCase> cases = {
      {gbsNone, {}},
      {gbsMiddle, {{28, clWindow}, {29, clBtnFace}}},
      {gbsRight, {{29, clWindow}}},
  };
  for (const TCase& c : cases) {
    TPaintEditor e;
    e.Gutter().SetBorderStyle(c.style);
    std::vector<std::pair<int, TColor>> lines;
    for (const TOp& op : e.PaintAll())
      if (op.Kind == TSynRecordingCanvas::opLine && op.Rect.Left < e.GutterPixels())
        lines.push_back({op.Rect.Left, op.Bg});
    EXPECT_EQ(lines, c.lines) << int(c.style);
  }
}

TEST(PaintGutterTest, BookmarkGlyphsAreCentredAndOnePerRow) {
  TPaintEditor e;
  e.SetText("a\nb\nc");
  auto addMark = [&](int line, int image, int bookmark) {
    auto m = std::make_unique<TSynEditMark>(&e);
    m->SetLine(line);
    m->SetImageIndex(image);
    m->SetBookmarkNumber(bookmark);
    m->SetVisible(true);
    e.Marks().Add(std::move(m));
  };
  addMark(2, 3, 3);
  addMark(2, 5, -1);   // a second glyph on the row is not drawn
  addMark(3, 12, 12);  // no built-in glyph above 9
  std::vector<TOp> glyphs;
  for (const TOp& op : e.PaintAll())
    if (op.Kind == TSynRecordingCanvas::opGlyph) glyphs.push_back(op);
  ASSERT_EQ(glyphs.size(), 1u);
  EXPECT_EQ(glyphs[0].Glyph, InternalBookmarkGlyph(3));
  EXPECT_EQ(glyphs[0].X, 2);
  EXPECT_EQ(glyphs[0].Y, 20 + (20 - kInternalGlyphHeight) / 2);
  EXPECT_EQ(InternalBookmarkGlyph(10), nullptr);
}

TEST(PaintGutterTest, BuiltInGlyphsDifferByTheirNumber) {
  for (int i = 0; i < 10; ++i) {
    const TSynGlyph* g = InternalBookmarkGlyph(i);
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->Width, kInternalGlyphWidth);
    EXPECT_EQ(g->Height, kInternalGlyphHeight);
    for (int j = 0; j < i; ++j) EXPECT_NE(g->Pixels, InternalBookmarkGlyph(j)->Pixels);
  }
}

TEST(PaintClipTest, OnlyTheRowsAndAreasOfTheClipArePainted) {
  TPaintEditor e;
  e.SetText("one\ntwo\nthree\nfour");
  e.canvas.Clear();
  e.Paint(e.canvas, {e.GutterPixels() + 5, 25, 200, 45});
  std::vector<TOp> texts = e.canvas.Texts();
  ASSERT_GE(texts.size(), 2u);
  EXPECT_EQ(texts[0].Text, "two");
  EXPECT_EQ(texts[1].Text, "three");
  for (const TOp& op : e.canvas.Ops) EXPECT_GE(op.Rect.Left, e.GutterPixels());
}

TEST(PaintMetricsTest, CellIsTheLargestOfTheStylesInUse) {
  TCppEditor e;
  TSynRecordingCanvas canvas;
  canvas.BoldCellWidth = 12;
  canvas.CellHeight = 17;
  int w = 0, h = 0;
  e.MeasureCellSize(canvas, w, h);
  EXPECT_EQ(w, 10);  // no attribute is bold
  EXPECT_EQ(h, 17);
  e.cpp.AsmAttri()->SetStyle({fsBold});
  e.MeasureCellSize(canvas, w, h);
  EXPECT_EQ(w, 12);
  EXPECT_EQ(e.TextDrawer().BaseStyle(), TFontStyles{fsBold});
  // A bold editor font makes every token bold.
  e.cpp.AsmAttri()->SetStyle({});
  canvas.BoldCellWidth = 13;
  TSynFont font = e.Font();
  font.Style = {fsBold};
  e.SetFont(font);
  e.MeasureCellSize(canvas, w, h);
  EXPECT_EQ(w, 13);
  EXPECT_THROW(e.TextDrawer().SetBaseFont(nullptr), ESynEditError);
}

TEST(PaintInvalidationTest, SettingsRepaintWhatTheyChange) {
  TPaintEditor e;
  e.SetText("a\nb\nc\nd");
  e.SetCaretPos({1, 2});
  e.SetSelFrom({1, 2});
  e.SetSelTo({1, 4});
  const int w = e.clientWidth, h = e.clientHeight, gp = e.GutterPixels();
  struct TCase {
    const char* name;
    std::function<void()> change;
    std::vector<TRect> expected;
  };
  const int edge = 80 * 10 + gp + 2;
  const std::vector<TCase> cases = {
      {"right edge colour", [&] { e.SetRightEdgeColor(clRed); }, {{edge - 1, 0, edge + 1, h}}},
      {"right edge", [&] { e.SetRightEdge(60); }, {{0, 0, w, h}}},
      {"hide selection", [&] { e.SetHideSelection(true); }, {{gp, 20, w, 80}}},
      {"selection colour", [&] { e.SelectedColor().SetBackground(clRed); }, {{gp, 20, w, 80}}},
      {"active line colour", [&] { e.SetActiveLineColor(clAqua); }, {{gp, 20, w, 40}}},
      {"gutter colour", [&] { e.Gutter().SetColor(clRed); }, {{0, 0, gp, h}}},
      {"editor colour", [&] { e.SetColor(clRed); }, {{0, 0, w, h}}},
  };
  for (const TCase& c : cases) {
    e.invalidated.clear();
    c.change();
    EXPECT_EQ(e.invalidated, c.expected) << c.name;
  }
  // A wider gutter moves the text: everything is repainted.
  e.invalidated.clear();
  e.Gutter().SetWidth(40);
  EXPECT_EQ(e.GutterPixels(), 40);
  ASSERT_FALSE(e.invalidated.empty());
  EXPECT_EQ(e.invalidated.back(), (TRect{0, 0, w, h}));
}

TEST(PaintScrollHintTest, TextForBothFormats) {
  TPaintEditor e;
  std::string text;
  for (int i = 1; i < 100; ++i) text += "\n";
  e.SetText(text + "x");
  e.SetTopRow(10);
  EXPECT_EQ(e.ScrollHintText(), "Top Line: 10");
  e.SetScrollHintFormat(shfTopToBottom);
  EXPECT_EQ(e.ScrollHintText(), "10 - 35");
}

}  // namespace
}  // namespace ludra::test
