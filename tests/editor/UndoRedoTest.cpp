// Undo and redo: every change kind's replay, grouping, the modified state
// and the line break with auto-indent.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

#include "editor/HeadlessSynEdit.h"
#include "platform/SynProgress.h"
#include "search/SynEditSearch.h"

namespace ludra::test {
namespace {

struct TKindCase {
  const char* name;
  const char* text;
  // Makes the change the way an editing command does.
  std::function<void(THeadlessSynEdit&, TSynMemoryClipboard&)> change;
  const char* changed;
  TBufferCoord caretAfterUndo;
  TBufferCoord selFromAfterUndo, selToAfterUndo;  // equal to the caret: no selection
  TSynSelectionMode mode = smNormal;
};

class ChangeKindReplayTest : public ::testing::TestWithParam<TKindCase> {};

TEST_P(ChangeKindReplayTest, UndoRestoresAndRedoRepeats) {
  const TKindCase& c = GetParam();
  TSynMemoryClipboard clipboard;
  THeadlessSynEdit e(&clipboard);
  e.SetOptions(e.Options() - TSynEditorOptions{eoGroupUndo});
  e.SetText(c.text);
  e.SetSelectionMode(c.mode);
  c.change(e, clipboard);
  ASSERT_EQ(e.Text(), c.changed);
  e.Undo();
  EXPECT_EQ(e.Text(), c.text);
  EXPECT_EQ(e.CaretPos(), c.caretAfterUndo);
  EXPECT_EQ(e.SelFirst(), c.selFromAfterUndo);
  EXPECT_EQ(e.SelLast(), c.selToAfterUndo);
  EXPECT_FALSE(e.CanUndo());
  EXPECT_FALSE(e.ContentModified());
  ASSERT_NO_THROW(e.Check());
  e.Redo();
  EXPECT_EQ(e.Text(), c.changed);
  EXPECT_FALSE(e.CanRedo());
  EXPECT_TRUE(e.ContentModified());
  ASSERT_NO_THROW(e.Check());
  e.Undo();
  EXPECT_EQ(e.Text(), c.text);
}

void Select(TCustomSynEdit& e, TBufferCoord from, TBufferCoord to) {
  e.SetCaretAndSelection(to, from, to);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, ChangeKindReplayTest,
    ::testing::Values(
        TKindCase{"Insert",
                  "abc",
                  [](auto& e, auto&) {
                    e.SetCaretPos({2, 1});
                    e.SetSelectedText("XY");
                  },
                  "aXYbc",
                  {2, 1},
                  {2, 1},
                  {2, 1}},
        TKindCase{"InsertOverSelection",
                  "abc\r\ndef",
                  [](auto& e, auto&) {
                    Select(e, {2, 1}, {2, 2});
                    e.SetSelectedText("X");
                  },
                  "aXef",
                  {2, 2},
                  {2, 1},
                  {2, 2}},
        TKindCase{"Paste",
                  "abc",
                  [](auto& e, auto& clipboard) {
                    clipboard.SetPlainText("P\r\nQ");
                    e.SetCaretPos({2, 1});
                    e.PasteClipboard();
                  },
                  "aP\r\nQbc",
                  {2, 1},
                  {2, 1},
                  {2, 1}},
        TKindCase{"ColumnPasteBelowTheEnd",
                  "abc",
                  [](auto& e, auto& clipboard) {
                    clipboard.SetText("1\r\n2", smColumn);
                    e.SetCaretPos({3, 1});
                    e.PasteClipboard();
                  },
                  "ab1c\r\n  2",
                  {3, 1},
                  {3, 1},
                  {3, 1}},
        TKindCase{"DeleteNormal",
                  "abc\r\ndef",
                  [](auto& e, auto&) {
                    Select(e, {2, 1}, {2, 2});
                    e.DeleteSelection();
                  },
                  "aef",
                  {2, 2},
                  {2, 1},
                  {2, 2}},
        TKindCase{"DeleteLines",
                  "a\r\nb\r\nc\r\nd",
                  [](auto& e, auto&) {
                    Select(e, {1, 2}, {1, 3});
                    e.DeleteSelection();
                  },
                  "a\r\nd",
                  {1, 3},
                  {1, 2},
                  {1, 3},
                  smLine},
        TKindCase{"DeleteColumn",
                  "abcd\r\nef\r\nghij",
                  [](auto& e, auto&) {
                    Select(e, {2, 1}, {4, 3});
                    e.CutSelection();
                  },
                  "ad\r\ne\r\ngj",
                  {4, 3},
                  {2, 1},
                  {4, 3},
                  smColumn},
        TKindCase{"LineBreak",
                  "abc",
                  [](auto& e, auto&) {
                    e.SetCaretPos({2, 1});
                    e.RunCommand(ecLineBreak, 0, nullptr);
                  },
                  "a\r\nbc",
                  {2, 1},
                  {2, 1},
                  {2, 1}},
        TKindCase{
            "DeleteQuiet",
            "abc",  // Backspace after b
            [](auto& e, auto&) {
              e.Lines().Put(0, "ac");
              e.Editing().UndoList().RecordChange(ckDeleteQuiet, {2, 1}, {3, 1}, "b", smNormal);
              e.SetCaretPos({2, 1});
            },
            "ac",
            {3, 1},
            {3, 1},
            {3, 1}},
        TKindCase{"DeleteAfterCaretQuiet",
                  "abc",  // Delete before b
                  [](auto& e, auto&) {
                    e.Lines().Put(0, "ac");
                    e.Editing().UndoList().RecordChange(ckDeleteAfterCaretQuiet, {2, 1}, {3, 1},
                                                        "b", smNormal);
                    e.SetCaretPos({2, 1});
                  },
                  "ac",
                  {2, 1},
                  {2, 1},
                  {2, 1}},
        TKindCase{"DeleteAfterCaret",
                  "a\r\nb\r\nc",  // a deleted line
                  [](auto& e, auto&) {
                    e.Lines().Delete(1);
                    e.Editing().UndoList().RecordChange(ckDeleteAfterCaret, {1, 2}, {1, 3}, "b\r\n",
                                                        smNormal);
                  },
                  "a\r\nc",
                  {1, 2},
                  {1, 2},
                  {1, 3}},
        TKindCase{"BlockIndent",
                  "a\r\nb",
                  [](auto& e, auto&) {
                    e.BeginUndoBlock();
                    e.Editing().UndoList().RecordChange(ckIndent, {1, 1}, {2, 2}, "", smNormal);
                    e.SetCaretPos({1, 1});
                    e.Editing().Insert({1, 1}, "  \r\n  ", ckInsert, smColumn);
                    e.Editing().UndoList().RecordChange(ckIndent, {3, 1}, {4, 2}, "", smNormal);
                    e.EndUndoBlock();
                    Select(e, {3, 1}, {4, 2});
                  },
                  "  a\r\n  b",
                  {2, 2},
                  {1, 1},
                  {2, 2}},
        TKindCase{
            "BlockUnindent",
            "  a\r\n\tb",
            [](auto& e, auto&) {
              e.Lines().Put(0, "a");
              e.Lines().Put(1, "b");
              e.Editing().UndoList().RecordChange(ckUnindent, {3, 1}, {3, 2}, "  \r\n\t", smNormal);
              Select(e, {1, 1}, {2, 2});
            },
            "a\r\nb",
            {3, 1},
            {3, 1},
            {3, 2}},
        TKindCase{
            "WhiteSpaceAdd",
            "ab",  // a character typed in virtual space
            [](auto& e, auto&) {
              e.BeginUndoBlock();
              e.Lines().Put(0, "ab  x");
              e.Editing().UndoList().RecordChange(ckWhiteSpaceAdd, {3, 1}, {5, 1}, "", smNormal);
              e.Editing().UndoList().RecordChange(ckInsert, {5, 1}, {6, 1}, "", smNormal);
              e.EndUndoBlock();
              e.SetCaretPos({6, 1});
            },
            "ab  x",
            {3, 1},
            {3, 1},
            {3, 1}},
        TKindCase{"DropInsert",
                  "abc",
                  [](auto& e, auto&) {
                    e.Lines().Put(0, "aDDbc");
                    e.Editing().UndoList().RecordChange(ckDropInsert, {2, 1}, {4, 1}, "", smNormal);
                  },
                  "aDDbc",
                  {2, 1},
                  {2, 1},
                  {2, 1}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(UndoReplayTest, UndoingADeletedLastLineAppendsItAgain) {
  THeadlessSynEdit e;
  e.SetText("a\r\nb");
  e.Lines().Delete(1);
  e.Editing().UndoList().RecordChange(ckDeleteAfterCaret, {1, 2}, {2, 2}, "b", smNormal);
  e.Undo();
  EXPECT_EQ(e.Text(), "a\r\nb");
  EXPECT_EQ(e.CaretPos(), (TBufferCoord{1, 2}));
}

TEST(UndoReplayTest, CaretAndSelectionRecordsMoveOnlyThem) {
  THeadlessSynEdit e;
  e.SetText("abcdef");
  e.SetCaretPos({3, 1});
  e.Editing().UndoList().RecordChange(ckCaret, {3, 1}, {3, 1}, "", smNormal);
  e.SetCaretPos({6, 1});
  e.Undo();
  EXPECT_EQ(e.CaretPos(), (TBufferCoord{3, 1}));
  e.Redo();
  EXPECT_EQ(e.CaretPos(), (TBufferCoord{6, 1}));

  e.SetCaretAndSelection({4, 1}, {2, 1}, {4, 1});
  e.Editing().UndoList().RecordChange(ckSelection, {2, 1}, {4, 1}, "", smNormal);
  e.SetCaretAndSelection({7, 1}, {5, 1}, {7, 1});
  e.Undo();
  EXPECT_EQ(e.SelFirst(), (TBufferCoord{2, 1}));
  EXPECT_EQ(e.SelLast(), (TBufferCoord{4, 1}));
  EXPECT_EQ(e.CaretPos(), (TBufferCoord{7, 1}));
  e.Redo();
  EXPECT_EQ(e.SelFirst(), (TBufferCoord{5, 1}));
  EXPECT_EQ(e.Text(), "abcdef");
}

void Type(TCustomSynEdit& e, const std::string& s) {
  for (char c : s) e.SetSelectedText(std::string(1, c));
}

TEST(UndoGroupingTest, TypedRunsUndoTogetherUntilABreak) {
  struct TCase {
    bool groupUndo;
    bool breakBetween;
    const char* afterOneUndo;
  } cases[] = {
      {true, false, "x"},
      {true, true, "xab"},
      {false, false, "xabc"},
  };
  for (const TCase& c : cases) {
    THeadlessSynEdit e;
    TSynEditorOptions o = e.Options();
    c.groupUndo ? o.Include(eoGroupUndo) : o.Exclude(eoGroupUndo);
    e.SetOptions(o);
    e.SetText("x");
    e.SetCaretPos({2, 1});
    Type(e, "ab");
    if (c.breakBetween) e.BreakUndoStep();
    Type(e, "cd");
    e.Undo();
    EXPECT_EQ(e.Text(), c.afterOneUndo) << c.groupUndo << c.breakBetween;
  }
}

TEST(UndoGroupingTest, EmptyHistoriesChangeNothing) {
  THeadlessSynEdit e;
  e.SetText("abc");
  e.Undo();
  e.Redo();
  EXPECT_EQ(e.Text(), "abc");
  EXPECT_FALSE(e.ContentModified());
}

TEST(UndoGroupingTest, ANewChangeEmptiesTheRedoHistory) {
  THeadlessSynEdit e;
  e.SetText("abc");
  e.SetCaretPos({4, 1});
  Type(e, "d");
  e.BreakUndoStep();
  Type(e, "x");
  e.Undo();
  ASSERT_TRUE(e.CanUndo() && e.CanRedo());
  e.BreakUndoStep();  // a break is not a change
  EXPECT_TRUE(e.CanRedo());
  Type(e, "e");
  EXPECT_FALSE(e.CanRedo());
}

TEST(UndoGroupingTest, MaxUndoKeepsTheNewestSteps) {
  THeadlessSynEdit e;
  e.SetOptions(e.Options() - TSynEditorOptions{eoGroupUndo});
  e.SetMaxUndo(2);
  e.SetText("");
  Type(e, "abc");
  for (int i = 0; i < 5; ++i) e.Undo();
  EXPECT_EQ(e.Text(), "a");
  EXPECT_TRUE(e.Editing().UndoList().Truncated());
  e.SetMaxUndo(-1);
  EXPECT_EQ(e.MaxUndo(), 2);
}

TEST(ModifiedStateTest, FollowsTheSavedPoint) {
  THeadlessSynEdit e;
  e.SetText("x");
  e.SetCaretPos({2, 1});
  Type(e, "ab");
  ASSERT_TRUE(e.ContentModified());
  e.SetContentModified(false);  // saved
  EXPECT_EQ(e.Editing().UndoList().LastChangeKind(), ckGroupBreak);
  Type(e, "cd");
  EXPECT_TRUE(e.ContentModified());
  e.Undo();  // only the run typed after saving
  EXPECT_EQ(e.Text(), "xab");
  EXPECT_FALSE(e.ContentModified());
  e.Undo();  // past the saved point
  EXPECT_EQ(e.Text(), "x");
  EXPECT_TRUE(e.ContentModified());
  e.Redo();
  EXPECT_EQ(e.Text(), "xab");
  EXPECT_FALSE(e.ContentModified());
  e.Undo();
  Type(e, "z");  // a different change: no point matches the saved text any more
  EXPECT_TRUE(e.ContentModified());
  e.Undo();
  EXPECT_EQ(e.Text(), "x");
  EXPECT_TRUE(e.ContentModified());
  e.SetContentModified(false);
  EXPECT_FALSE(e.ContentModified());
}

TEST(ModifiedStateTest, SettingModifiedAtTheSavedPointDropsIt) {
  THeadlessSynEdit e;
  e.SetText("x");
  e.SetCaretPos({2, 1});
  Type(e, "a");
  e.SetContentModified(false);
  e.SetContentModified(true);
  Type(e, "b");
  e.Undo();
  EXPECT_TRUE(e.ContentModified());
}

struct TBreakCase {
  const char* name;
  bool mainWindow;
  const char* text;
  TBufferCoord caret;
  const char* expected;
  TBufferCoord caretAfter;
};

class LineBreakTest : public ::testing::TestWithParam<TBreakCase> {};

TEST_P(LineBreakTest, SplitsAndIndents) {
  const TBreakCase& c = GetParam();
  THeadlessSynEdit e;
  if (c.mainWindow) UseMainWindowSettings(e);
  e.SetText(c.text);
  e.SetCaretPos(c.caret);
  e.RunCommand(ecLineBreak, 0, nullptr);
  EXPECT_EQ(e.Text(), c.expected);
  EXPECT_EQ(e.CaretPos(), c.caretAfter);
  e.Undo();
  EXPECT_EQ(e.Text(), c.text);
  EXPECT_EQ(e.CaretPos(), c.caret);
  e.Redo();
  EXPECT_EQ(e.Text(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LineBreakTest,
    ::testing::Values(
        TBreakCase{"EndOfTabIndentedLine", true, "\t\tfoo", {6, 1}, "\t\tfoo\r\n\t\t", {3, 2}},
        TBreakCase{
            "SplitKeepsIndentWidthAsTabs", true, "\t  ab cd", {7, 1}, "\t  ab\r\n\t  cd", {4, 2}},
        TBreakCase{"SplitWithTabsToSpaces", false, "\tab cd", {5, 1}, "\tab\r\n        cd", {9, 2}},
        TBreakCase{"SplitTrimsTheLeftPart", true, "ab   cd", {5, 1}, "ab\r\n cd", {1, 2}},
        TBreakCase{"AtLineStart", true, "  ab", {1, 1}, "\r\n  ab", {1, 2}},
        TBreakCase{"OnEmptyLineGoesToIndentColumn",
                   false,
                   "    a\r\n\r\nb",
                   {1, 2},
                   "    a\r\n\r\n\r\nb",
                   {5, 3}},
        TBreakCase{"PastLineEnd", false, "  ab", {9, 1}, "  ab\r\n  ", {3, 2}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LineBreakTest, ReplacesTheSelectionInOneStep) {
  THeadlessSynEdit e;
  e.SetText("abc\r\ndef");
  e.SetCaretAndSelection({2, 2}, {2, 1}, {2, 2});
  e.RunCommand(ecLineBreak, 0, nullptr);
  EXPECT_EQ(e.Text(), "a\r\nef");
  EXPECT_FALSE(e.HasSelection());
  e.Undo();
  EXPECT_EQ(e.Text(), "abc\r\ndef");
}

// A clock that moves by 250 ms at every look; stops the run at report
// stopAt (0: never).
struct TProgressClock : TSynProgressSink {
  long long now = 0;
  size_t stopAt = 0;
  std::vector<std::pair<TSynProgressKind, int>> reports;
  int hidden = 0;
  long long Now() override { return now += 250; }
  bool Progress(TSynProgressKind kind, int percent) override {
    reports.push_back({kind, percent});
    return reports.size() == stopAt;
  }
  void Done() override { ++hidden; }
};

TEST(UndoProgressTest, LargeStepsShowProgressAndStopBetweenWholeReplacements) {
  // 3,000 replacements: one undo step of 6,000 records.
  const int n = 3000;
  std::string before, after;
  for (int i = 0; i < n; ++i)
    before += i ? "\r\nab cd" : "ab cd", after += i ? "\r\nxyz cd" : "xyz cd";
  for (auto [stopAt, groupUndo] : {std::pair{1u, true}, {2u, true}, {4u, true}, {2u, false}}) {
    SCOPED_TRACE(stopAt);
    TSynEditSearch engine;
    THeadlessSynEdit e;
    TProgressClock clock;
    e.SetSearchEngine(&engine);
    if (!groupUndo) e.SetOptions(e.Options() - TSynEditorOptions{eoGroupUndo});
    e.SetMaxUndo(2 * n);  // a longer step would lose the saved point
    e.SetText(before);
    ASSERT_EQ(e.SearchAndReplace("ab", "xyz", {sfReplaceAll, sfEntireScope}), n);
    // Saved here (without grouping, no break marks the point): part of
    // the step must not pass for it.
    if (!groupUndo) e.SetContentModified(false);
    e.SetProgressSink(&clock);
    int shown = 0;
    auto run = [&](TSynProgressKind kind) {
      clock.reports.clear();
      kind == pkUndo ? e.Undo() : e.Redo();
      shown += !clock.reports.empty();
      for (auto [k, percent] : clock.reports) EXPECT_EQ(k, kind);
      EXPECT_TRUE(std::is_sorted(clock.reports.begin(), clock.reports.end()));
    };
    // Stopped, an undo leaves the last lines restored and a redo the first
    // of those replaced again: whole lines either way.
    for (TSynProgressKind kind : {pkUndo, pkRedo}) {
      clock.stopAt = kind == pkUndo ? 2 * stopAt : stopAt;
      run(kind);
      ASSERT_EQ(clock.reports.size(), clock.stopAt);
      int restored = n;
      while (restored > 0 && e.Lines().Get(restored - 1) == "ab cd") --restored;
      EXPECT_TRUE(restored > 0 && restored < n);
      for (int i = 0; i < restored; ++i) ASSERT_EQ(e.Lines().Get(i), "xyz cd") << i;
      EXPECT_TRUE(e.ContentModified());
      EXPECT_NO_THROW(e.Check());
    }
    // Not stopped, the rest is redone, then the whole step undone.
    clock.stopAt = 0;
    run(pkRedo);
    EXPECT_EQ(e.Text(), after);
    run(pkUndo);
    EXPECT_EQ(e.Text(), before);
    EXPECT_FALSE(e.CanUndo());
    EXPECT_EQ(e.ContentModified(), !groupUndo);
    EXPECT_EQ(clock.hidden, shown);
  }
}

}  // namespace
}  // namespace ludra::test
