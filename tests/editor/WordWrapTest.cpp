// Word wrap: the wrapping rule, the table under edits (checked against a
// fresh wrap after every step), conversions both ways, the caret at a row
// end, Home and End by rows, scrolling by rows and painting of rows.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "editor/EditorKeys.h"
#include "platform/SynCanvas.h"

namespace ludra::test {
namespace {

using B = TBufferCoord;
using D = TDisplayCoord;

// An editor showing `columns` text columns (10-pixel cells after a 32-pixel margin).
class TWrapEditor : public THeadlessSynEdit {
 public:
  explicit TWrapEditor(int columns = 40) { SetColumns(columns); }
  void SetColumns(int columns) {
    clientWidth = 32 + columns * 10;
    SizeChanged();
  }
};

std::vector<int> Rows(std::string_view text, int width) {
  TSynCharSet breaks;
  for (int b = 32; b < 127; ++b)
    if (!std::isalnum(b) && b != '_') breaks.Include(b);
  std::vector<uint8_t> rows;
  TSynWordWrapPlugin::WrapLine(text, std::min(width, 255), std::max(width - width / 3, 1), breaks,
                               rows);
  return std::vector<int>(rows.begin(), rows.end());
}

TEST(WordWrapTest, WrappingRule) {
  struct Case {
    std::string text;
    int width;
    std::vector<int> rows;
  } cases[] = {
      {std::string(100, 'a'), 40, {40, 40, 20}},  // no break characters: hard cuts
      {"abc def", 5, {4, 3}},                     // the blank hangs at the row end
      {"", 10, {0}},
      {"abcdefghij", 10, {10}},
      {"foo(bar,baz)", 8, {8, 4}},      // after the comma
      {"aaaa      bbbb", 5, {10, 4}},   // a run of blanks all hangs
      {"ab cdefghijkl", 6, {6, 6, 1}},  // the break is too far back: cut
      {std::string(600, 'x'), 300, {255, 255, 90}},
  };
  for (const Case& c : cases) EXPECT_EQ(Rows(c.text, c.width), c.rows) << c.text << " " << c.width;
}

TEST(WordWrapTest, PluginNeedsItsEditor) {
  try {
    TSynWordWrapPlugin plugin(nullptr);
    FAIL();
  } catch (const ESynEditError& e) {
    EXPECT_STREQ(e.what(), "TSynWordWrapPlugin must be owned by TCustomSynEdit");
  }
}

TEST(WordWrapTest, ConversionsOfAWrappedLine) {
  TWrapEditor e(40);
  e.SetText(std::string(100, 'a') + "\r\nshort\r\n" + std::string(45, 'b'));
  e.SetWordWrap(true);
  ASSERT_NE(e.WordWrapPlugin(), nullptr);
  EXPECT_EQ(e.WordWrapPlugin()->RowCount(), 6);
  struct Case {
    B buffer;
    D display;
  } cases[] = {
      {{1, 1}, {1, 1}},    {{40, 1}, {40, 1}},  {{41, 1}, {1, 2}},
      {{100, 1}, {20, 3}}, {{101, 1}, {21, 3}}, {{1, 2}, {1, 4}},
      {{6, 2}, {6, 4}},    {{41, 3}, {1, 6}},   {{46, 3}, {6, 6}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(e.BufferToDisplay(c.buffer), c.display) << c.buffer.Char << "," << c.buffer.Line;
    EXPECT_EQ(e.DisplayToBuffer(c.display), c.buffer) << c.buffer.Char << "," << c.buffer.Line;
  }
  // Past a row's end: the end of that row, which is the next row's start.
  EXPECT_EQ(e.DisplayToBuffer({60, 1}), (B{41, 1}));
  EXPECT_EQ(e.LineToRow(3), 5);
  EXPECT_EQ(e.RowToLine(3), 1);
  EXPECT_EQ(e.RowToLine(7), 4);  // beyond the text: one row per line
  e.SetWordWrap(false);
  EXPECT_EQ(e.BufferToDisplay({41, 1}), (D{41, 1}));
}

TEST(WordWrapTest, PastTheTextTheCaretStopsAtTheWrapWidth) {
  TWrapEditor e(20);
  e.SetOptions(e.Options() + TSynEditorOptions{eoScrollPastEol});
  e.SetText(std::string(30, 'a') + "\r\nshort\r\nx");
  e.SetWordWrap(true);
  ASSERT_EQ(e.WordWrapPlugin()->RowCount(), 4);
  // Past the end of a line's last row one column is one character, both
  // ways, as past an unwrapped line.
  for (int column = 1; column <= 60; ++column) {
    SCOPED_TRACE(column);
    B b = e.DisplayToBuffer({column, 2});
    EXPECT_EQ(b, (B{20 + column, 1}));
    EXPECT_EQ(e.BufferToDisplay(b), (D{column, 2}));
  }
  // The caret (and a selection end) goes as far as the row's width allows,
  // where it can be seen, and keeps its place when the paint lock ends.
  struct Case {
    B asked, caret;
    D shown;
  } cases[] = {
      {{500, 1}, {41, 1}, {21, 2}},
      {{500, 2}, {21, 2}, {21, 3}},
      {{15, 3}, {15, 3}, {15, 4}},
  };
  for (const Case& c : cases) {
    e.BeginPaintLock();
    e.SetCaretPos(c.asked);
    e.EndPaintLock();
    EXPECT_EQ(e.CaretPos(), c.caret);
    EXPECT_EQ(e.DisplayCaretPos(), c.shown);
    EXPECT_NO_THROW(e.Check());
  }
  e.SetSelectionMode(smColumn);
  e.SetSelTo({300, 2});
  EXPECT_EQ(e.SelTo(), (B{21, 2}));
  // Switching wrap off gives the caret the scrolling width again.
  e.SetWordWrap(false);
  e.SetCaretPos({500, 1});
  EXPECT_EQ(e.CaretPos(), (B{500, 1}));
}

TEST(WordWrapTest, TabsWrapAsTheirExpansion) {
  TWrapEditor e(10);
  e.SetTabWidth(4);
  e.SetText("\tab\tcdefghijk");  // expands to 4 + 2 + 2 + 9 = 17 columns
  e.SetWordWrap(true);
  // The second tab's blanks end the first row.
  EXPECT_EQ(e.WordWrapPlugin()->GetRowLength(1), 8);
  EXPECT_EQ(e.WordWrapPlugin()->RowCount(), 2);
  EXPECT_EQ(e.BufferToDisplay({5, 1}), (D{1, 2}));  // 'c'
  EXPECT_EQ(e.DisplayToBuffer({1, 2}), (B{5, 1}));
  EXPECT_EQ(e.DisplayToBuffer({7, 1}), (B{4, 1}));  // inside the tab: before it
  e.Check();
}

TEST(WordWrapTest, WidthChangesReflowAndHorizontalScrollingStops) {
  TWrapEditor e(40);
  e.SetText(std::string(100, 'a'));
  e.SetFirstVisibleColumn(30);
  e.SetWordWrap(true);
  EXPECT_EQ(e.FirstVisibleColumn(), 1);
  EXPECT_FALSE(e.hScroll.Visible);
  e.SetFirstVisibleColumn(5);
  EXPECT_EQ(e.FirstVisibleColumn(), 1);
  e.SetColumns(25);
  EXPECT_EQ(e.WordWrapPlugin()->RowCount(), 4);
  e.SetColumns(300);  // wider than a row may be
  EXPECT_EQ(e.WordWrapPlugin()->MaxRowLength(), 255);
  e.Check();
  e.SetWordWrap(false);
  EXPECT_EQ(e.WordWrapPlugin(), nullptr);
}

TEST(WordWrapTest, ScrollingCountsRows) {
  TWrapEditor e(40);
  std::string text;
  for (int i = 0; i < 20; ++i) text += std::string(100, 'a') + "\r\n";
  e.SetText(text);
  e.SetWordWrap(true);
  EXPECT_EQ(e.vScroll.Max, 60);  // 20 lines of 3 rows
  e.SetCaretPos({90, 15});
  EXPECT_EQ(e.DisplayCaretPos(), (D{10, 45}));
  EXPECT_LE(e.TopRow(), 45);
  EXPECT_GE(e.TopRow() + e.VisibleRows() - 1, 45);
  e.SetTopRow(1000);
  EXPECT_EQ(e.TopRow(), 60 - e.VisibleRows() + 1);
}

TEST(WordWrapTest, EndAndHomeWorkOnRowsAndTheCaretStaysAtTheRowEnd) {
  TWrapEditor e(40);
  e.SetText(std::string(100, 'a'));
  e.SetWordWrap(true);
  e.SetCaretPos({45, 1});  // row 2, column 5
  e.RunCommand(ecLineEnd, '\0', nullptr);
  EXPECT_EQ(e.CaretPos(), (B{81, 1}));
  EXPECT_TRUE(e.CaretAfterWrap());
  EXPECT_EQ(e.DisplayCaretPos(), (D{41, 2}));  // shown at the row's end
  e.RunCommand(ecLineStart, '\0', nullptr);
  EXPECT_EQ(e.CaretPos(), (B{41, 1}));
  EXPECT_FALSE(e.CaretAfterWrap());
  e.RunCommand(ecSelLineEnd, '\0', nullptr);
  EXPECT_EQ(e.SelectedText(), std::string(40, 'a'));
  // On the last row End goes to the line's end without the flag.
  e.SetCaretPos({85, 1});
  e.RunCommand(ecLineEnd, '\0', nullptr);
  EXPECT_EQ(e.CaretPos(), (B{101, 1}));
  EXPECT_FALSE(e.CaretAfterWrap());
  // Moving on clears the flag.
  e.SetCaretPos({45, 1});
  e.RunCommand(ecLineEnd, '\0', nullptr);
  e.RunCommand(ecLeft, '\0', nullptr);
  EXPECT_FALSE(e.CaretAfterWrap());
}

TEST(WordWrapTest, UpAndDownMoveByRows) {
  TWrapEditor e(40);
  e.SetText(std::string(100, 'a') + "\r\nbb");
  e.SetWordWrap(true);
  e.SetCaretPos({5, 1});
  std::vector<B> seen;
  for (int i = 0; i < 4; ++i) {
    e.RunCommand(ecDown, '\0', nullptr);
    seen.push_back(e.CaretPos());
  }
  EXPECT_EQ(seen,
            (std::vector<B>{{45, 1}, {85, 1}, {5, 2}, {5, 2}}));  // past the end: eoScrollPastEol
  e.RunCommand(ecUp, '\0', nullptr);
  EXPECT_EQ(e.CaretLine(), 1);
  EXPECT_EQ(e.DisplayCaretPos().Row, 3);
}

TEST(WordWrapTest, LeftAndRightStopAtTheRowEndOnce) {
  TWrapEditor e(40);
  e.SetText(std::string(100, 'a'));
  e.SetWordWrap(true);
  e.SetCaretPos({40, 1});
  struct Step {
    TSynEditorCommand command;
    B caret;
    D shown;
  } steps[] = {
      {ecRight, {41, 1}, {41, 1}},  // onto the row end
      {ecRight, {41, 1}, {1, 2}},   // then to the next row's start
      {ecRight, {42, 1}, {2, 2}},  {ecLeft, {41, 1}, {1, 2}},
      {ecLeft, {41, 1}, {41, 1}},  // back to the row end without moving
      {ecLeft, {40, 1}, {40, 1}},
  };
  for (const Step& s : steps) {
    e.RunCommand(s.command, '\0', nullptr);
    EXPECT_EQ(e.CaretPos(), s.caret) << EditorCommandToIdent(s.command);
    EXPECT_EQ(e.DisplayCaretPos(), s.shown) << EditorCommandToIdent(s.command);
  }
}

TEST(WordWrapTest, ClickBeyondARowEndPutsTheCaretThere) {
  TWrapEditor e(40);
  e.SetText("aaaa bbbb cccc dddd eeee ffff gggg hhhhhhhhhh");
  e.SetWordWrap(true);
  int len = e.WordWrapPlugin()->GetRowLength(1);
  ASSERT_LT(len, 40);
  e.MouseDown(mbLeft, {}, 32 + 39 * 10, 10);
  e.MouseUp(mbLeft, {}, 32 + 39 * 10, 10);
  EXPECT_EQ(e.CaretPos(), (B{len + 1, 1}));
  EXPECT_TRUE(e.CaretAfterWrap());
  EXPECT_EQ(e.DisplayCaretPos(), (D{len + 1, 1}));
  // A click on row 2 is an ordinary caret placement.
  e.MouseDown(mbLeft, {}, 32, 30);
  EXPECT_EQ(e.CaretPos(), (B{len + 1, 1}));
  EXPECT_FALSE(e.CaretAfterWrap());
  EXPECT_EQ(e.DisplayCaretPos(), (D{1, 2}));
}

TEST(WordWrapTest, PaintingDrawsEachRowAndTheGlyphOnContinuationRows) {
  TWrapEditor e(10);
  e.SetText("abcdefghijklmnopqrstuvwxy\r\nz");
  e.SetWordWrap(true);
  TSynRecordingCanvas canvas;
  e.Paint(canvas, {0, 0, e.clientWidth, e.clientHeight});
  std::vector<std::string> rows(5);
  int glyphs = 0;
  for (const auto& op : canvas.Ops) {
    if (op.Kind == TSynRecordingCanvas::opText && op.X >= e.GutterPixels() && op.Y / 20 < 5)
      rows[op.Y / 20] += op.Text;
    if (op.Kind == TSynRecordingCanvas::opGlyph) {
      ++glyphs;
      EXPECT_TRUE(op.Y == 20 + 3 || op.Y == 40 + 3) << op.Y;  // rows 2 and 3, centred
      EXPECT_EQ(op.X, e.GutterPixels() - e.Gutter().RightOffset() - 15 - 2);
    }
  }
  EXPECT_EQ(rows[0], "abcdefghij");
  EXPECT_EQ(rows[1], "klmnopqrst");
  EXPECT_EQ(rows[2], "uvwxy");
  EXPECT_EQ(rows[3], "z");
  EXPECT_EQ(glyphs, 2);
  e.WordWrapGlyph().SetVisible(false);
  canvas.Clear();
  e.Paint(canvas, {0, 0, e.clientWidth, e.clientHeight});
  for (const auto& op : canvas.Ops) EXPECT_NE(op.Kind, TSynRecordingCanvas::opGlyph);
}

// Random text of words, blanks, tabs and punctuation.
std::string RandomLine(std::mt19937& rng) {
  static const std::string pieces[] = {
      "word", "x", "identifier_long_name", " ", "  ", "\t", ",", "(", "a+b", "0123456789"};
  std::uniform_int_distribution<int> count(0, 30), pick(0, 9);
  std::string s;
  for (int n = count(rng); n > 0; --n) s += pieces[pick(rng)];
  return s;
}

TEST(WordWrapTest, RandomEditsKeepTheTableAndRoundTripEveryPosition) {
  std::mt19937 rng(20261207);
  for (int round = 0; round < 6; ++round) {
    TWrapEditor e(std::uniform_int_distribution<int>(3, 60)(rng));
    e.SetOptions(e.Options() - TSynEditorOptions{eoTrimTrailingSpaces});
    e.SetTabWidth(round % 2 ? 4 : 8);
    std::string text;
    for (int i = 0; i < 30; ++i) text += RandomLine(rng) + "\r\n";
    e.SetText(text);
    e.SetWordWrap(true);
    for (int step = 0; step < 60; ++step) {
      int count = e.Lines().Count();
      std::uniform_int_distribution<int> lineOf(1, std::max(count, 1));
      switch (std::uniform_int_distribution<int>(0, 5)(rng)) {
        case 0:
          e.Lines().Insert(lineOf(rng) - 1, RandomLine(rng));
          break;
        case 1:
          if (count > 0) e.Lines().Delete(lineOf(rng) - 1);
          break;
        case 2:
          if (count > 0) e.Lines().Put(lineOf(rng) - 1, RandomLine(rng));
          break;
        case 3: {
          int line = lineOf(rng);
          e.SetCaretPos({std::uniform_int_distribution<int>(1, 20)(rng), line});
          e.SetSelectedText(RandomLine(rng) + (step % 3 ? "" : "\r\n" + RandomLine(rng)));
          break;
        }
        case 4:
          e.SetColumns(std::uniform_int_distribution<int>(1, 70)(rng));
          break;
        default:
          e.SetCaretAndSelection({1, 1}, {2, lineOf(rng)}, {1, lineOf(rng)});
          e.SetSelectedText("");
          break;
      }
      ASSERT_NO_THROW(e.Check()) << round << "/" << step;
    }
    e.SetCaretPos({1, 1});
    ASSERT_NO_THROW(e.Check());
    for (int line = 1; line <= e.Lines().Count(); ++line) {
      int len = static_cast<int>(e.Lines().Get(line - 1).size());
      for (int c = 1; c <= len + 1; ++c) {
        B p{c, line};
        D d = e.BufferToDisplay(p);
        ASSERT_GE(d.Column, 1);
        ASSERT_EQ(e.DisplayToBuffer(d), p)
            << "round " << round << " line " << line << " char " << c;
        ASSERT_EQ(e.RowToLine(d.Row), line);
      }
    }
  }
}

}  // namespace
}  // namespace ludra::test
