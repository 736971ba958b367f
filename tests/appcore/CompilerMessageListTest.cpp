#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "appcore/CompilerMessageGlyphs.h"
#include "appcore/CompilerMessageList.h"
#include "editor/HeadlessSynEdit.h"
#include "editor/SynEditMiscClasses.h"

using namespace ludra;
using ludra::test::THeadlessSynEdit;

namespace {

const char* const kScript = "/gm/sieve.pwn";

std::string Numbered(int count) {
  std::string text;
  for (int i = 1; i <= count; ++i) text += "line " + std::to_string(i) + (i < count ? "\n" : "");
  return text;
}

TCompilerMessage Msg(const std::string& file, int line, TCompilerMessageKind kind,
                     int lastLine = 0) {
  TCompilerMessage m;
  m.FileName = file;
  m.Line = line;
  m.LastLine = lastLine ? lastLine : line;
  m.Kind = kind;
  m.Number = 1;
  m.Text = file + "@" + std::to_string(line);
  return m;
}

// Our marks in the editor's list: (line, image), in line order.
std::vector<std::pair<int, int>> MessageMarks(TCustomSynEdit& e) {
  std::vector<std::pair<int, int>> marks;
  for (int i = 0; i < e.Marks().Count(); ++i) {
    const TSynEditMark* m = e.Marks().Items(i);
    if (!m->IsBookmark()) marks.emplace_back(m->Line(), m->ImageIndex());
  }
  std::sort(marks.begin(), marks.end());
  return marks;
}

constexpr int E = TCompilerMessageList::kErrorImage;
constexpr int W = TCompilerMessageList::kWarningImage;

}  // namespace

TEST(CompilerMessageList, MarksTheDocumentsLinesOncePerLineWithTheWorstKind) {
  THeadlessSynEdit e;
  e.SetText(Numbered(20));
  TCompilerMessageList list(e);
  list.Assign(
      {Msg("/gm/sieve.pwn", 3, cmWarning), Msg("sieve.pwn", 3, cmError),
       Msg("/gm/./sieve.pwn", 7, cmWarning, 9), Msg("/pawn/include/console.inc", 26, cmWarning),
       Msg("other.pwn", 4, cmError), Msg("/gm/sieve.pwn", 0, cmFatalError),
       Msg("/gm/sieve.pwn", 99, cmWarning), Msg("/gm/../gm/sieve.pwn", 12, cmWarning)},
      kScript);
  list.Check();
  EXPECT_EQ(list.Count(), 8);
  EXPECT_EQ(list.DocumentCount(), 6);
  EXPECT_FALSE(list.InDocument(3));
  EXPECT_FALSE(list.InDocument(4));
  EXPECT_EQ(list.PathOf(3), "/pawn/include/console.inc");
  EXPECT_EQ(list.PathOf(4), "/gm/other.pwn");
  // Line 0 shows on the first line, a line past the end on the last.
  std::vector<std::pair<int, int>> want = {{1, E}, {3, E}, {7, W}, {12, W}, {20, W}};
  EXPECT_EQ(MessageMarks(e), want);
  EXPECT_EQ(list.MessagesOnLine(3), (std::vector<int>{0, 1}));
  EXPECT_EQ(list.MessagesOnLine(20), (std::vector<int>{6}));
  EXPECT_TRUE(list.MessagesOnLine(4).empty());
  EXPECT_EQ(list.LinesOf(2).First, 7);
  EXPECT_EQ(list.LinesOf(2).Last, 9);

  // The next compile replaces the marks; bookmarks stay.
  e.PlaceBookmark(2, 1, 5);
  list.Assign({Msg("sieve.pwn", 5, cmWarning)}, kScript);
  list.Check();
  want = {{5, W}};
  EXPECT_EQ(MessageMarks(e), want);
  ASSERT_NE(e.Bookmark(2), nullptr);
  list.Clear();
  EXPECT_TRUE(MessageMarks(e).empty());
  EXPECT_EQ(e.Marks().Count(), 1);
  EXPECT_EQ(list.Next(), -1);
}

TEST(CompilerMessageList, MarksFollowInsertedAndDeletedLines) {
  // Random line insertions and deletions; every mark must stand where the
  // bookmark rules put it: moved down by insertions at or above it, up by
  // deletions above it, onto the first removed line when its own goes.
  std::mt19937 rng(2121);
  for (int round = 0; round < 20; ++round) {
    THeadlessSynEdit e;
    e.SetText(Numbered(60));
    TCompilerMessageList list(e);
    std::vector<TCompilerMessage> messages;
    std::vector<int> model;
    for (int i = 0; i < 12; ++i) {
      int line = 1 + static_cast<int>(rng() % 60);
      messages.push_back(Msg(kScript, line, rng() % 2 ? cmError : cmWarning, line + rng() % 3));
      model.push_back(line);
    }
    list.Assign(messages, kScript);
    for (int step = 0; step < 40; ++step) {
      int count = e.Lines().Count();
      if (rng() % 2 || count < 5) {
        int at = 1 + static_cast<int>(rng() % (count + 1)), n = 1 + static_cast<int>(rng() % 3);
        e.Lines().InsertLines(at - 1, n);
        for (int& line : model)
          if (line >= at) line += n;
      } else {
        int at = 1 + static_cast<int>(rng() % count);
        int n = 1 + static_cast<int>(rng() % std::min(3, count - at + 1));
        e.Lines().DeleteLines(at - 1, n);
        for (int& line : model)
          if (line >= at + n)
            line -= n;
          else if (line >= at)
            line = at;
      }
      list.Check();
      for (int i = 0; i < list.Count(); ++i) {
        int expected = std::clamp(model[i], 1, std::max(1, e.Lines().Count()));
        ASSERT_EQ(list.LinesOf(i).First, expected) << "round " << round << " step " << step;
        int last = list.LinesOf(i).Last;
        ASSERT_GE(last, expected);
        ASSERT_LE(last, std::max(1, e.Lines().Count()));
        std::vector<int> on = list.MessagesOnLine(expected);
        ASSERT_NE(std::find(on.begin(), on.end(), i), on.end());
      }
    }
  }
}

TEST(CompilerMessageList, NextAndPreviousVisitTheDocumentsMessagesGoingRound) {
  THeadlessSynEdit e;
  e.SetText(Numbered(30));
  TCompilerMessageList list(e);
  EXPECT_EQ(list.Next(), -1);
  EXPECT_EQ(list.Previous(), -1);
  list.Assign(
      {Msg("/inc/a.inc", 1, cmWarning), Msg(kScript, 8, cmError), Msg("/inc/a.inc", 2, cmWarning),
       Msg(kScript, 4, cmWarning), Msg(kScript, 20, cmError)},
      kScript);
  struct Step {
    bool next;
    int want;
  } steps[] = {{true, 1},  {true, 3},  {true, 4},  {true, 1}, {false, 4},
               {false, 3}, {false, 1}, {false, 4}, {true, 1}};
  for (const Step& s : steps) {
    EXPECT_EQ(s.next ? list.Next() : list.Previous(), s.want);
    EXPECT_EQ(list.Current(), s.want);
  }
  // Previous first goes to the last message; showing one makes it current.
  list.Assign({Msg(kScript, 8, cmError), Msg(kScript, 4, cmWarning), Msg("/x.inc", 2, cmError)},
              kScript);
  EXPECT_EQ(list.Previous(), 1);
  EXPECT_FALSE(list.Show(2));
  EXPECT_EQ(list.Current(), 1);
  EXPECT_TRUE(list.Show(0));
  EXPECT_EQ(list.Next(), 1);
  // Only other files' messages: nothing to visit.
  list.Assign({Msg("/x.inc", 2, cmError)}, kScript);
  EXPECT_EQ(list.Next(), -1);
  EXPECT_EQ(list.Previous(), -1);
}

TEST(CompilerMessageList, ShowPutsTheCaretAtTheFirstLinesTextInViewAndSelectsNothing) {
  THeadlessSynEdit e;
  e.SetText(Numbered(200));
  TCompilerMessageList list(e);
  list.Assign({Msg(kScript, 150, cmError), Msg(kScript, 40, cmWarning, 42),
               Msg(kScript, 200, cmError, 210)},
              kScript);
  e.SetCaretPos({3, 1});
  struct Case {
    int index, first, last;
  } cases[] = {{0, 150, 150}, {1, 40, 42}, {2, 200, 200}};
  e.Lines().Put(39, "  \tline40");
  for (const Case& c : cases) {
    e.SetCaretAndSelection({1, 1}, {1, 1}, {3, 1});
    ASSERT_TRUE(list.Show(c.index));
    EXPECT_EQ(e.CaretPos(), (TBufferCoord{c.first == 40 ? 4 : 1, c.first}));
    EXPECT_FALSE(e.HasSelection());
    EXPECT_TRUE(list.Marked());
    EXPECT_LE(e.TopRow(), c.first);
    EXPECT_LT(c.first, e.TopRow() + e.VisibleRows());
  }
  // After the text above the message grew, the message's lines moved with it.
  e.Lines().InsertLines(0, 5);
  ASSERT_TRUE(list.Show(1));
  EXPECT_EQ(e.CaretPos(), (TBufferCoord{4, 45}));
}

TEST(CompilerMessageList, SurvivesTheEditorDroppingItsMarks) {
  THeadlessSynEdit e;
  e.SetText(Numbered(10));
  TCompilerMessageList list(e);
  list.Assign({Msg(kScript, 6, cmError)}, kScript);
  e.Marks().Clear();
  e.PlaceBookmark(1, 1, 2);  // may reuse the freed mark's memory
  list.Check();
  EXPECT_TRUE(list.MessagesOnLine(2).empty());
  EXPECT_EQ(list.LinesOf(0).First, 6);  // the compiler's line, as nothing follows it now
  list.Clear();
  ASSERT_NE(e.Bookmark(1), nullptr);
  EXPECT_EQ(e.Marks().Count(), 1);
}

TEST(CompilerMessageList, GlyphsAreDrawnInTheGutterBesideBookmarks) {
  const std::vector<TSynGlyph>& images = TCompilerMessageList::MarkImages();
  ASSERT_EQ(images.size(), 12u);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(images[i].Pixels, InternalBookmarkGlyph(i)->Pixels);
  const TSynGlyph& error = images[E];
  const TSynGlyph& warning = images[W];
  EXPECT_EQ(error.Pixels, CompilerMessageGlyph(cmError).Pixels);
  EXPECT_EQ(CompilerMessageGlyph(cmFatalError).Pixels, error.Pixels);
  EXPECT_EQ(warning.Pixels, CompilerMessageGlyph(cmWarning).Pixels);
  EXPECT_NE(error.Pixels, warning.Pixels);
  for (const TSynGlyph* g : {&error, &warning}) {
    EXPECT_LT(g->Width, TSynBookMarkOpt().Xoffset);  // a bookmark beside it stays clear
    EXPECT_EQ(g->Pixels.size(), static_cast<size_t>(g->Width) * g->Height);
    for (int i = 0; i < 10; ++i) EXPECT_NE(g->Pixels, images[i].Pixels);
  }

  THeadlessSynEdit e;
  e.SetText(Numbered(10));
  TCompilerMessageList list(e);
  e.PlaceBookmark(0, 1, 4);
  list.Assign({Msg(kScript, 4, cmWarning), Msg(kScript, 2, cmError)}, kScript);
  TSynRecordingCanvas canvas;
  e.Paint(canvas, {0, 0, e.ClientWidth(), e.ClientHeight()});
  struct Drawn {
    int row, x;
    const TSynGlyph* glyph;
    bool operator==(const Drawn&) const = default;
    bool operator<(const Drawn& o) const { return row != o.row ? row < o.row : x < o.x; }
  };
  std::vector<Drawn> drawn;
  for (const auto& op : canvas.Ops)
    if (op.Kind == TSynRecordingCanvas::opGlyph)
      drawn.push_back({op.Y / e.RowHeight() + 1, op.X, op.Glyph});
  std::sort(drawn.begin(), drawn.end());
  // Row 2: the error; row 4: the bookmark, then the warning one step right.
  const int left = e.BookMarkOptions().LeftMargin, step = e.BookMarkOptions().Xoffset;
  std::vector<Drawn> want = {
      {2, left, &images[E]}, {4, left, &images[0]}, {4, left + step, &images[W]}};
  EXPECT_EQ(drawn, want);
}
