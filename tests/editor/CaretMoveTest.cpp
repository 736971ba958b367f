// Caret moves through their keys: lines ends, words, Home, pages, selection
// anchors, the undo group break, bracket matching and bookmarks.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/EditorKeys.h"
#include "highlight/SynHighlighterCpp.h"

namespace ludra::test {
namespace {

struct TKey {
  uint16_t key;
  TShiftState shift;
};

struct TMoveCase {
  const char* name;
  bool mainWindow;
  const char* text;
  TBufferCoord start;
  std::vector<TKey> keys;
  TBufferCoord caret;
  TBufferCoord selFirst, selLast;  // equal: no selection expected
  TSynEditorOptions extra = {};
};

class CaretMoveTest : public ::testing::TestWithParam<TMoveCase> {};

TEST_P(CaretMoveTest, LandsWhereExpected) {
  const TMoveCase& c = GetParam();
  THeadlessSynEdit e;
  if (c.mainWindow) UseMainWindowSettings(e);
  e.SetOptions(e.Options() + c.extra);
  e.SetText(c.text);
  e.SetCaretPos(c.start);
  for (const TKey& k : c.keys) Press(e, k.key, k.shift);
  EXPECT_EQ(e.CaretPos(), c.caret);
  if (c.selFirst == c.selLast) {
    EXPECT_FALSE(e.HasSelection());
  } else {
    EXPECT_EQ(e.SelFirst(), c.selFirst);
    EXPECT_EQ(e.SelLast(), c.selLast);
  }
  ASSERT_NO_THROW(e.Check());
}

const TShiftState none{}, shift{ssShift}, ctrl{ssCtrl}, ctrlShift{ssCtrl, ssShift};
const char* const kCode = "int a = foo(b, c);\n  x+=1;\n\n  return(y)";

INSTANTIATE_TEST_SUITE_P(
    Moves, CaretMoveTest,
    ::testing::Values(
        // Without eoScrollPastEol left and right cross line ends.
        TMoveCase{"LeftAtLineStartGoesToPreviousEnd",
                  true,
                  "ab\ncd",
                  {1, 2},
                  {{VK_LEFT, none}},
                  {3, 1},
                  {},
                  {}},
        TMoveCase{"RightAtLineEndGoesToNextStart",
                  true,
                  "ab\ncd",
                  {3, 1},
                  {{VK_RIGHT, none}},
                  {1, 2},
                  {},
                  {}},
        TMoveCase{
            "RightAtLastLineEndStays", true, "ab", {3, 1}, {{VK_RIGHT, none}}, {3, 1}, {}, {}},
        TMoveCase{"LeftOnLineOneStays", true, "ab", {1, 1}, {{VK_LEFT, none}}, {1, 1}, {}, {}},
        // With it, right goes on past the end.
        TMoveCase{"RightPastEndWithScrollPastEol",
                  false,
                  "ab",
                  {3, 1},
                  {{VK_RIGHT, none}, {VK_RIGHT, none}},
                  {5, 1},
                  {},
                  {}},
        TMoveCase{"DownKeepsDisplayColumnOverTabs",
                  true,
                  "\tx\nabcdefg",
                  {2, 1},
                  {{VK_DOWN, none}},
                  {5, 2},
                  {},
                  {}},
        TMoveCase{"DownToAShortLineClamps",
                  true,
                  "abcdef\nab\nabcdef",
                  {6, 1},
                  {{VK_DOWN, none}, {VK_DOWN, none}},
                  {3, 3},
                  {},
                  {},
                  TSynEditorOptions{}},
        TMoveCase{"KeepCaretXRemembersTheColumn",
                  true,
                  "abcdef\nab\nabcdef",
                  {6, 1},
                  {{VK_DOWN, none}, {VK_DOWN, none}},
                  {6, 3},
                  {},
                  {},
                  TSynEditorOptions{eoKeepCaretX}},
        // Word moves over punctuation and across lines.
        TMoveCase{
            "WordRightSkipsPunctuation", true, kCode, {9, 1}, {{VK_RIGHT, ctrl}}, {13, 1}, {}, {}},
        TMoveCase{"WordRightTwice",
                  true,
                  kCode,
                  {1, 1},
                  {{VK_RIGHT, ctrl}, {VK_RIGHT, ctrl}},
                  {9, 1},
                  {},
                  {}},
        TMoveCase{"WordRightAtLineEndGoesToNextLinesWord",
                  true,
                  kCode,
                  {18, 1},
                  {{VK_RIGHT, ctrl}},
                  {3, 2},
                  {},
                  {}},
        TMoveCase{"WordRightOnEmptyNextLineGoesToItsStart",
                  true,
                  kCode,
                  {7, 2},
                  {{VK_RIGHT, ctrl}},
                  {1, 3},
                  {},
                  {}},
        TMoveCase{"WordRightOnLastLineEndStays",
                  true,
                  kCode,
                  {12, 4},
                  {{VK_RIGHT, ctrl}},
                  {12, 4},
                  {},
                  {}},
        TMoveCase{
            "WordLeftSkipsPunctuation", true, kCode, {13, 1}, {{VK_LEFT, ctrl}}, {9, 1}, {}, {}},
        TMoveCase{
            "WordLeftFromInsideAWord", true, kCode, {11, 1}, {{VK_LEFT, ctrl}}, {9, 1}, {}, {}},
        TMoveCase{"WordLeftAtLineStartGoesToPreviousEnd",
                  true,
                  kCode,
                  {1, 2},
                  {{VK_LEFT, ctrl}},
                  {19, 1},
                  {},
                  {}},
        TMoveCase{"WordLeftOverOnlyPunctuationGoesUp",
                  true,
                  "ab\n  ;;",
                  {5, 2},
                  {{VK_LEFT, ctrl}},
                  {3, 1},
                  {},
                  {}},
        // Home.
        TMoveCase{
            "HomeGoesToCharacterOne", true, "    abc", {6, 1}, {{VK_HOME, none}}, {1, 1}, {}, {}},
        TMoveCase{"EnhancedHomeGoesToFirstNonBlank",
                  true,
                  "    abc",
                  {7, 1},
                  {{VK_HOME, none}},
                  {5, 1},
                  {},
                  {},
                  TSynEditorOptions{eoEnhanceHomeKey}},
        TMoveCase{"EnhancedHomeAlternates",
                  true,
                  "    abc",
                  {7, 1},
                  {{VK_HOME, none}, {VK_HOME, none}},
                  {1, 1},
                  {},
                  {},
                  TSynEditorOptions{eoEnhanceHomeKey}},
        TMoveCase{"EnhancedHomeInsideIndentGoesToOne",
                  true,
                  "    abc",
                  {3, 1},
                  {{VK_HOME, none}},
                  {1, 1},
                  {},
                  {},
                  TSynEditorOptions{eoEnhanceHomeKey}},
        TMoveCase{"EnhancedHomeFromOneGoesToText",
                  true,
                  "    abc",
                  {1, 1},
                  {{VK_HOME, none}},
                  {5, 1},
                  {},
                  {},
                  TSynEditorOptions{eoEnhanceHomeKey}},
        TMoveCase{"EndAndCtrlEnd", true, "ab\nxyz", {1, 1}, {{VK_END, none}}, {3, 1}, {}, {}},
        TMoveCase{"CtrlEndGoesToTheLastLineEnd",
                  true,
                  "ab\nxyz",
                  {1, 1},
                  {{VK_END, ctrl}},
                  {4, 2},
                  {},
                  {}},
        // Selecting moves keep their anchor; a plain move collapses.
        TMoveCase{"ShiftRightSelects",
                  true,
                  "abcd",
                  {2, 1},
                  {{VK_RIGHT, shift}, {VK_RIGHT, shift}},
                  {4, 1},
                  {2, 1},
                  {4, 1}},
        TMoveCase{"ShiftLeftBackOverTheAnchor",
                  true,
                  "abcd",
                  {2, 1},
                  {{VK_RIGHT, shift}, {VK_LEFT, shift}, {VK_LEFT, shift}},
                  {1, 1},
                  {1, 1},
                  {2, 1}},
        TMoveCase{"PlainMoveCollapses",
                  true,
                  "abcd",
                  {2, 1},
                  {{VK_RIGHT, shift}, {VK_RIGHT, none}},
                  {4, 1},
                  {},
                  {}},
        TMoveCase{"CtrlShiftHomeSelectsToTop",
                  true,
                  "ab\ncd",
                  {2, 2},
                  {{VK_HOME, ctrlShift}},
                  {1, 1},
                  {1, 1},
                  {2, 2}},
        TMoveCase{"ShiftDownSelectsALine",
                  true,
                  "ab\ncd\nef",
                  {1, 1},
                  {{VK_DOWN, shift}},
                  {1, 2},
                  {1, 1},
                  {1, 2}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CaretMovePageTest, PageDownMovesViewAndCaretByAPage) {
  THeadlessSynEdit e;  // 25 visible rows
  std::string text;
  for (int i = 1; i <= 100; ++i) text += "line " + std::to_string(i) + "\n";
  e.SetText(text);
  e.SetCaretPos({3, 5});
  Press(e, VK_NEXT);
  EXPECT_EQ(e.TopRow(), 26);
  EXPECT_EQ(e.CaretPos(), (TBufferCoord{3, 30}));
  Press(e, VK_PRIOR);
  EXPECT_EQ(e.TopRow(), 1);
  EXPECT_EQ(e.CaretLine(), 5);
  e.SetOptions(e.Options() + TSynEditorOptions{eoHalfPageScroll});
  Press(e, VK_NEXT);
  EXPECT_EQ(e.CaretLine(), 17);
  // Ctrl+Up scrolls the view; a caret falling off the bottom comes along.
  e.SetCaretPos({1, 25 + e.TopRow() - 1});
  int top = e.TopRow();
  Press(e, VK_UP, {ssCtrl});
  EXPECT_EQ(e.TopRow(), top - 1);
  EXPECT_EQ(e.CaretLine(), top + 23);
  // Ctrl+PgUp: the top visible row.
  Press(e, VK_PRIOR, {ssCtrl});
  EXPECT_EQ(e.CaretLine(), e.TopRow());
}

TEST(CaretMoveUndoTest, AMoveStartsANewUndoGroup) {
  THeadlessSynEdit e;
  UseMainWindowSettings(e);
  Type(e, "ab");
  Press(e, VK_LEFT);
  Press(e, VK_RIGHT);
  Type(e, "cd");
  EXPECT_EQ(e.Text(), "abcd");
  Press(e, 'Z', {ssCtrl});
  EXPECT_EQ(e.Text(), "ab");
  Press(e, 'Z', {ssCtrl});
  EXPECT_EQ(e.Text(), "");
  Press(e, 'Z', {ssCtrl, ssShift});
  EXPECT_EQ(e.Text(), "ab");
}

struct TBracketCase {
  const char* name;
  const char* text;
  TBufferCoord caret;
  TBufferCoord match;  // where the caret ends
  bool highlighter;
};

class MatchBracketTest : public ::testing::TestWithParam<TBracketCase> {};

TEST_P(MatchBracketTest, FindsThePartner) {
  const TBracketCase& c = GetParam();
  TSynCppSyn cpp;
  THeadlessSynEdit e;
  if (c.highlighter) e.SetHighlighter(&cpp);
  e.SetText(c.text);
  e.SetCaretAndSelection(c.caret, {1, 1}, {2, 1});
  Press(e, 'B', {ssCtrl, ssShift});
  EXPECT_EQ(e.CaretPos(), c.match);
  // The selection is left alone.
  EXPECT_EQ(e.SelFirst(), (TBufferCoord{1, 1}));
  EXPECT_EQ(e.SelLast(), (TBufferCoord{2, 1}));
}

INSTANTIATE_TEST_SUITE_P(
    Brackets, MatchBracketTest,
    ::testing::Values(
        TBracketCase{"ForwardAcrossLines", "f(a,\n  (b),\n  c)", {2, 1}, {4, 3}, false},
        TBracketCase{"BackwardAcrossLines", "f(a,\n  (b),\n  c)", {4, 3}, {2, 1}, false},
        TBracketCase{"NestedKinds", "{ [ ( ] ) }", {1, 1}, {11, 1}, false},
        TBracketCase{"NoPartnerStays", "((a)", {1, 1}, {1, 1}, false},
        TBracketCase{"NotABracketStays", "abc", {2, 1}, {2, 1}, false},
        // A closer inside a string on a later line is skipped when highlighted.
        TBracketCase{"SkipsStringPartner", "f(a,\n \")\",\n b)", {2, 1}, {3, 3}, true},
        TBracketCase{"WithoutHighlighterStringCounts", "f(a,\n \")\",\n b)", {2, 1}, {3, 2}, false},
        TBracketCase{"SkipsCommentBackward", "(x /* ( */\n)", {1, 2}, {1, 1}, true},
        TBracketCase{"SkipsMultiLineComment", "( /*\n ) \n*/ )", {1, 1}, {4, 3}, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BookmarkKeysTest, SetOnOwnLineRemovesElsewhereMoves) {
  THeadlessSynEdit e;
  e.SetText("a\nb\nc\nd");
  e.SetCaretPos({1, 2});
  Press(e, '3', {ssCtrl, ssShift});
  ASSERT_NE(e.Bookmark(3), nullptr);
  EXPECT_EQ(e.Bookmark(3)->Line(), 2);
  e.SetCaretPos({1, 4});
  Press(e, '3', {ssCtrl, ssShift});  // another line: moved
  EXPECT_EQ(e.Bookmark(3)->Line(), 4);
  EXPECT_EQ(e.Marks().Count(), 1);
  e.SetCaretPos({1, 1});
  Press(e, '3', {ssCtrl});  // go to it
  EXPECT_EQ(e.CaretPos(), (TBufferCoord{1, 4}));
  Press(e, '3', {ssCtrl, ssShift});  // its own line: removed
  EXPECT_EQ(e.Bookmark(3), nullptr);
  EXPECT_EQ(e.Marks().Count(), 0);
}

TEST(BookmarkKeysTest, KeysDisabledAndOutOfRange) {
  THeadlessSynEdit e;
  e.SetText("a\nb");
  e.BookMarkOptions().EnableKeys = false;
  Press(e, '1', {ssCtrl, ssShift});
  EXPECT_EQ(e.Bookmark(1), nullptr);
  e.BookMarkOptions().EnableKeys = true;
  // Out-of-range numbers and lines are ignored.
  e.PlaceBookmark(10, 1, 1);
  e.PlaceBookmark(2, 1, 5);
  EXPECT_EQ(e.Marks().Count(), 0);
}

TEST(BookmarkKeysTest, BookmarksFollowTheirLines) {
  THeadlessSynEdit e;
  UseMainWindowSettings(e);
  e.SetText("a\nb\nc\nd");
  e.PlaceBookmark(1, 1, 3);
  e.SetCaretPos({1, 3});
  Enter(e);  // at character 1: the line moves down with the mark
  EXPECT_EQ(e.Bookmark(1)->Line(), 4);
  e.SetCaretPos({1, 1});
  Press(e, 'Y', {ssCtrl});  // a line above goes
  EXPECT_EQ(e.Bookmark(1)->Line(), 3);
  e.SetCaretPos({1, 3});
  Press(e, 'Y', {ssCtrl});  // its own line goes: it stays on the line that took its place
  EXPECT_EQ(e.Bookmark(1)->Line(), 3);
  e.RunCommand(ecClearAll, 0, nullptr);
  EXPECT_EQ(e.Marks().Count(), 0);
  EXPECT_EQ(e.Bookmark(1), nullptr);
}

}  // namespace
}  // namespace ludra::test
