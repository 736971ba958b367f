// Marks and bookmarks: placing with its events and veto, going to a mark
// with the centring rule, marks following their lines through edits and
// undo, gutter repaints and glyphs side by side.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "editor/HeadlessSynEdit.h"
#include "editor/MouseEditor.h"
#include "platform/SynCanvas.h"
#include "platform/SynMemoryClipboard.h"

namespace ludra::test {
namespace {

using B = TBufferCoord;

TEST(MarksTest, ReplacingABookmarkClearsTheOldOne) {
  THeadlessSynEdit e;
  e.SetText(NumberedLines(20));
  e.PlaceBookmark(3, 1, 4);
  e.PlaceBookmark(3, 2, 10);
  ASSERT_NE(e.Bookmark(3), nullptr);
  EXPECT_EQ(e.Bookmark(3)->Line(), 10);
  EXPECT_EQ(e.Marks().Count(), 1);
  EXPECT_EQ(e.Bookmark(3)->Owner(), &e);
}

TEST(MarksTest, OutOfRangeNumbersAndLinesAreIgnored) {
  THeadlessSynEdit e;
  e.SetText(NumberedLines(5));
  for (auto [n, line] : {std::pair{-1, 1}, {10, 1}, {0, 0}, {0, 6}}) e.PlaceBookmark(n, 1, line);
  EXPECT_EQ(e.Marks().Count(), 0);
  e.DropBookmark(10);
  e.JumpToBookmark(-1);
  // An empty buffer still has its first line.
  THeadlessSynEdit empty;
  empty.PlaceBookmark(0, 1, 1);
  EXPECT_NE(empty.Bookmark(0), nullptr);
}

TEST(MarksTest, GoToCentresTheMarkAndCollapsesTheSelection) {
  THeadlessSynEdit e;
  e.SetText(NumberedLines(200));
  e.PlaceBookmark(5, 4, 150);
  e.SetCaretAndSelection({3, 2}, {1, 1}, {3, 2});
  e.JumpToBookmark(5);
  EXPECT_EQ(e.CaretPos(), (B{4, 150}));
  EXPECT_FALSE(e.HasSelection());
  EXPECT_EQ(e.TopRow(), 150 - (e.VisibleRows() - e.VisibleRows() / 2) + 1);
  // A visible mark needs no scrolling.
  e.PlaceBookmark(6, 1, 145);
  int top = e.TopRow();
  e.JumpToBookmark(6);
  EXPECT_EQ(e.TopRow(), top);
  EXPECT_EQ(e.CaretLine(), 145);
  // With the keys switched off the commands do nothing.
  e.BookMarkOptions().EnableKeys = false;
  e.RunCommand(ecGotoMarker5, '\0', nullptr);
  EXPECT_EQ(e.CaretLine(), 145);
}

TEST(MarksTest, MarksFollowTheirLinesThroughEdits) {
  struct Case {
    const char* name;
    int markLine;
    std::function<void(TCustomSynEdit&)> edit;
    int lineAfter;
  } cases[] = {
      {"enter at the start of the line", 3,
       [](TCustomSynEdit& e) {
         e.SetCaretPos({1, 3});
         e.RunCommand(ecLineBreak, '\0', nullptr);
       },
       4},
      {"enter in the middle stays", 3,
       [](TCustomSynEdit& e) {
         e.SetCaretPos({3, 3});
         e.RunCommand(ecLineBreak, '\0', nullptr);
       },
       3},
      {"line deleted above", 3,
       [](TCustomSynEdit& e) {
         e.SetCaretPos({1, 1});
         e.RunCommand(ecDeleteLine, '\0', nullptr);
       },
       2},
      {"own line deleted", 3,
       [](TCustomSynEdit& e) {
         e.SetCaretPos({1, 3});
         e.RunCommand(ecDeleteLine, '\0', nullptr);
       },
       3},
      // A joined line's mark goes with its text to the line it joined.
      {"joined by backspace", 3,
       [](TCustomSynEdit& e) {
         e.SetCaretPos({1, 3});
         e.RunCommand(ecDeleteLastChar, '\0', nullptr);
       },
       2},
      {"joined by backspace, mark below", 5,
       [](TCustomSynEdit& e) {
         e.SetCaretPos({1, 3});
         e.RunCommand(ecDeleteLastChar, '\0', nullptr);
       },
       4},
      {"joined by delete at the line above's end", 4,
       [](TCustomSynEdit& e) {
         e.SetCaretPos({7, 2});
         e.RunCommand(ecDeleteChar, '\0', nullptr);
       },
       3},
      {"selection over several lines removed", 5,
       [](TCustomSynEdit& e) {
         e.SetCaretAndSelection({2, 4}, {2, 2}, {2, 4});
         e.SetSelectedText("");
       },
       3},
      {"mark inside a removed selection", 3,
       [](TCustomSynEdit& e) {
         e.SetCaretAndSelection({2, 4}, {2, 2}, {2, 4});
         e.SetSelectedText("");
       },
       2},
      {"mark on the last line of a removed selection", 4,
       [](TCustomSynEdit& e) {
         e.SetCaretAndSelection({2, 4}, {2, 2}, {2, 4});
         e.SetSelectedText("");
       },
       2},
      {"selection typed over", 4,
       [](TCustomSynEdit& e) {
         e.SetCaretAndSelection({3, 4}, {1, 3}, {3, 4});
         e.RunCommand(ecChar, 'x', nullptr);
       },
       3},
      {"joined by delete, mark on the joined line", 3,
       [](TCustomSynEdit& e) {
         e.SetCaretPos({7, 2});
         e.RunCommand(ecDeleteChar, '\0', nullptr);
       },
       2},
      {"lines pasted at character 1 take the line down", 2,
       [](TCustomSynEdit& e) {
         e.SetCaretPos({1, 2});
         e.SetSelectedText("a\r\nb");
       },
       3},
      {"lines pasted inside the line leave it", 2,
       [](TCustomSynEdit& e) {
         e.SetCaretPos({3, 2});
         e.SetSelectedText("a\r\nb");
       },
       2},
      {"enter at character 1 undone", 3,
       [](TCustomSynEdit& e) {
         e.SetCaretPos({1, 3});
         e.RunCommand(ecLineBreak, '\0', nullptr);
         e.Undo();
       },
       3},
      {"paste at character 1 undone", 2,
       [](TCustomSynEdit& e) {
         e.SetCaretPos({1, 2});
         e.SetSelectedText("a\r\nb");
         e.Undo();
       },
       2},
      {"lines pasted above", 4,
       [](TCustomSynEdit& e) {
         e.SetCaretPos({1, 2});
         e.SetSelectedText("a\r\nb\r\n");
       },
       6},
      {"edit below leaves it", 2,
       [](TCustomSynEdit& e) {
         e.SetCaretPos({1, 4});
         e.RunCommand(ecDeleteLine, '\0', nullptr);
       },
       2},
  };
  for (const Case& c : cases) {
    THeadlessSynEdit e;
    e.SetText(NumberedLines(6));
    e.PlaceBookmark(1, 1, c.markLine);
    c.edit(e);
    ASSERT_NE(e.Bookmark(1), nullptr) << c.name;
    EXPECT_EQ(e.Bookmark(1)->Line(), c.lineAfter) << c.name;
  }
}

TEST(MarksTest, RandomLineEditsKeepMarksOnTheirText) {
  // Each line carries a unique tag; a mark keeps pointing at its tagged line
  // as long as that line exists, and never leaves the buffer.
  std::mt19937 rng(77);
  THeadlessSynEdit e;
  e.SetText(NumberedLines(40, "tag"));
  for (int n = 0; n < 10; ++n) e.PlaceBookmark(n, 1, 1 + n * 4);
  std::vector<std::string> tags(10);
  for (int n = 0; n < 10; ++n) tags[n] = e.Lines().Get(e.Bookmark(n)->Line() - 1);
  int next = 100;
  for (int step = 0; step < 300; ++step) {
    int count = e.Lines().Count();
    int line = std::uniform_int_distribution<int>(1, std::max(count, 1))(rng);
    if (step % 3 != 0 || count < 5) {
      e.Lines().Insert(line - 1, "tag" + std::to_string(next++));
    } else {
      e.SetCaretPos({1, line});
      e.RunCommand(ecDeleteLine, '\0', nullptr);
      for (int n = 0; n < 10; ++n)
        if (e.Lines().IndexOf(tags[n]) < 0) tags[n].clear();  // its line is gone
    }
    for (int n = 0; n < 10; ++n) {
      TSynEditMark* m = e.Bookmark(n);
      ASSERT_GE(m->Line(), 1);
      ASSERT_LE(m->Line(), std::max(e.Lines().Count(), 1));
      if (!tags[n].empty()) {
        ASSERT_EQ(e.Lines().Get(m->Line() - 1), tags[n]) << step;
      }
    }
  }
}

TEST(MarksTest, RandomJoinsAndPastesKeepMarksOnTheirText) {
  // Every line starts with a unique tag; while a bookmarked tag is in the
  // buffer exactly once, the bookmark is on the line holding it.
  std::mt19937 rng(15);
  TSynMemoryClipboard clipboard;
  THeadlessSynEdit e(&clipboard);
  UseMainWindowSettings(e);
  // Each undo takes back exactly the step before it.
  e.SetOptions(e.Options() - TSynEditorOptions{eoGroupUndo});
  std::string text;
  for (int i = 1; i <= 60; ++i) text += "<" + std::to_string(i) + "> line\r\n";
  e.SetText(text);
  std::vector<std::string> tags(10);
  for (int n = 0; n < 10; ++n) {
    e.PlaceBookmark(n, 1, 3 + n * 5);
    tags[n] = "<" + std::to_string(3 + n * 5) + ">";
  }
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  auto lineEnd = [&](int line) { return static_cast<int>(e.Lines().Get(line - 1).size()) + 1; };
  for (int step = 0; step < 400; ++step) {
    int count = e.Lines().Count();
    int y = pick(1, count);
    int kind = pick(0, 6);
    std::string what;
    if (kind == 0 && y > 1) {
      what = "backspace at character 1";
      e.SetCaretPos({1, y});
      e.RunCommand(ecDeleteLastChar, '\0', nullptr);
    } else if (kind == 1 && y < count) {
      what = "delete at the line end";
      e.SetCaretPos({lineEnd(y), y});
      e.RunCommand(ecDeleteChar, '\0', nullptr);
    } else if (kind == 2 && y < count) {
      int y2 = std::min(count, y + pick(1, 3));
      TBufferCoord from{pick(1, lineEnd(y)), y}, to{pick(1, lineEnd(y2)), y2};
      e.SetCaretAndSelection(to, from, to);
      TSynEditorCommand commands[] = {ecDeleteChar, ecCut, ecChar};
      TSynEditorCommand c = commands[pick(0, 2)];
      what = "selection removed by command " + std::to_string(c);
      e.RunCommand(c, 'x', nullptr);
    } else if (kind == 3 || kind == 4) {
      // Inside a line the split moves the text after the caret without its
      // marks; at the end nothing moves.
      int x = kind == 3 ? 1 : lineEnd(y);
      what = "paste at " + std::to_string(x);
      e.SetCaretPos({x, y});
      e.SetSelectedText(pick(0, 1) ? "p\r\nq" : "p\r\nq\r\n");
    } else if (kind == 5) {
      what = "enter at character 1, undone";
      e.SetCaretPos({1, y});
      e.RunCommand(ecLineBreak, '\0', nullptr);
      e.Undo();
    } else {
      what = "paste at character 1, undone";
      e.SetCaretPos({1, y});
      e.SetSelectedText("p\r\nq\r\nr");
      e.Undo();
    }
    SCOPED_TRACE("step " + std::to_string(step) + ": " + what);
    std::string all = e.Text();
    for (int n = 0; n < 10; ++n) {
      TSynEditMark* m = e.Bookmark(n);
      ASSERT_GE(m->Line(), 1);
      ASSERT_LE(m->Line(), std::max(e.Lines().Count(), 1));
      if (tags[n].empty()) continue;
      size_t at = all.find(tags[n]);
      if (at == std::string::npos || all.find(tags[n], at + 1) != std::string::npos) {
        tags[n].clear();  // lost or made up by a join: no longer the mark's text
        continue;
      }
      ASSERT_NE(e.Lines().Get(m->Line() - 1).find(tags[n]), std::string::npos)
          << tags[n] << " on line " << m->Line() << " of\n"
          << all;
    }
  }
}

TEST(MarksTest, AddingOrRemovingAMarkRepaintsTheGutter) {
  THeadlessSynEdit e;
  e.SetText(NumberedLines(5));
  e.invalidated.clear();
  e.PlaceBookmark(0, 1, 2);
  TRect gutter{0, 0, e.GutterPixels(), e.ClientHeight()};
  EXPECT_NE(std::find(e.invalidated.begin(), e.invalidated.end(), gutter), e.invalidated.end());
  e.invalidated.clear();
  e.DropBookmark(0);
  EXPECT_NE(std::find(e.invalidated.begin(), e.invalidated.end(), gutter), e.invalidated.end());
}

std::vector<TSynRecordingCanvas::TOp> GlyphsOnRow(THeadlessSynEdit& e, int row) {
  TSynRecordingCanvas canvas;
  e.Paint(canvas, {0, 0, e.ClientWidth(), e.ClientHeight()});
  std::vector<TSynRecordingCanvas::TOp> result;
  for (const auto& op : canvas.Ops)
    if (op.Kind == TSynRecordingCanvas::opGlyph && op.Y / e.RowHeight() == row - 1)
      result.push_back(op);
  return result;
}

TEST(MarksTest, MarksWithImagesStandSideBySide) {
  THeadlessSynEdit e;
  e.SetText(NumberedLines(5));
  e.Gutter().SetWidth(60);
  std::vector<TSynGlyph> images(10);
  for (size_t i = 0; i < images.size(); ++i)
    images[i] = {8, 8, std::vector<TColor>(64, static_cast<TColor>(i))};
  e.SetBookmarkImages(&images);
  e.PlaceBookmark(1, 1, 2);
  e.PlaceBookmark(4, 1, 2);
  auto ops = GlyphsOnRow(e, 2);
  ASSERT_EQ(ops.size(), 2u);
  int margin = e.BookMarkOptions().LeftMargin, xo = e.BookMarkOptions().Xoffset;
  EXPECT_EQ(ops[0].X, margin);
  EXPECT_EQ(ops[0].Glyph, &images[1]);
  EXPECT_EQ(ops[1].X, margin + xo);
  EXPECT_EQ(ops[1].Glyph, &images[4]);
  // Without images the built-in glyph is drawn once per row.
  THeadlessSynEdit plain;
  plain.SetText(NumberedLines(5));
  plain.PlaceBookmark(1, 1, 2);
  plain.PlaceBookmark(4, 1, 2);
  EXPECT_EQ(GlyphsOnRow(plain, 2).size(), 1u);
}

}  // namespace
}  // namespace ludra::test
