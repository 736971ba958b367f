#include <gtest/gtest.h>

#include <random>

#include "appcore/SearchOptions.h"

using namespace ludra;

TEST(SearchHistory, ConfirmedTextMovesToTheTopSpelledAsTyped) {
  struct Case {
    std::vector<std::string> before;
    std::string text;
    std::vector<std::string> after;
  } cases[] = {
      {{}, "abc", {"abc"}},
      {{"x", "y"}, "abc", {"abc", "x", "y"}},
      {{"x", "ABC", "y"}, "abc", {"abc", "x", "y"}},
      {{"abc", "x"}, "abc", {"abc", "x"}},
      {{"x", "\xC4rger"}, "\xE4RGER", {"\xE4RGER", "x"}},  // letters beyond ASCII fold too
      {{"x", "y"}, "", {"x", "y"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    std::vector<std::string> items = c.before;
    AddToHistory(items, c.text);
    EXPECT_EQ(items, c.after);
  }
}

TEST(SearchHistory, TwelveSearchesKeepTheLastTen) {
  std::string stored;
  for (int i = 1; i <= 12; ++i) {
    std::vector<std::string> items = SplitHistory(stored);
    AddToHistory(items, "text" + std::to_string(i));
    stored = JoinHistory(items);
  }
  std::vector<std::string> items = SplitHistory(stored);
  ASSERT_EQ(items.size(), 10u);
  EXPECT_EQ(items.front(), "text12");
  EXPECT_EQ(items.back(), "text3");
  EXPECT_EQ(stored.substr(0, 14), "text12\r\ntext11");
  EXPECT_NE(stored.substr(stored.size() - 2), "\r\n");
}

TEST(SearchHistory, JoinAndSplitRoundTrip) {
  std::mt19937 rng(19);
  for (int round = 0; round < 200; ++round) {
    std::vector<std::string> items(rng() % 12);
    for (auto& item : items) {
      int n = 1 + rng() % 6;
      for (int k = 0; k < n; ++k) item += static_cast<char>("aB x\t\xE9"[rng() % 6]);
    }
    std::vector<std::string> expected(items.begin(),
                                      items.begin() + std::min<size_t>(items.size(), 10));
    EXPECT_EQ(SplitHistory(JoinHistory(items)), expected);
  }
  EXPECT_EQ(SplitHistory("a\nb\rc"), (std::vector<std::string>{"a", "b", "c"}));
}

TEST(SearchRunFlags, ChoicesMapToEditorFlags) {
  TSearchOptions none;
  TSearchOptions all;
  all.OptMatchCase = all.OptSelectionOnly = all.OptWholeWords = true;
  all.OptBackward = all.OptFromCaret = all.OptRegex = true;  // read by the caller, not here
  struct Case {
    bool replace, backward, fromCaret;
    const TSearchOptions& options;
    TSynSearchFlags expected;
  } cases[] = {
      {false, false, false, none, {sfEntireScope}},
      {false, false, true, none, {}},
      {false, true, true, none, {sfBackwards}},
      {true, false, true, none, {sfReplace, sfReplaceAll, sfPrompt}},
      {true,
       true,
       false,
       all,
       {sfReplace, sfReplaceAll, sfPrompt, sfBackwards, sfEntireScope, sfMatchCase, sfSelectedOnly,
        sfWholeWord}},
      {false, false, true, all, {sfMatchCase, sfSelectedOnly, sfWholeWord}},
  };
  int i = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(i++);
    EXPECT_EQ(SearchRunFlags(c.replace, c.backward, c.fromCaret, c.options).Bits(),
              c.expected.Bits());
  }
}

TEST(ConfirmReplace, QuestionNamesTheSearchText) {
  EXPECT_EQ(ConfirmReplaceText("player"), "Replace this occurence of \"player\"?");
}

TEST(ConfirmReplace, DialogGoesBesideTheOccurrence) {
  // A 744 x 432 client area at (100, 50); the dialog is 334 x 124; a line 16
  // pixels high. Two thirds of 432 is 288, so the lower third starts at 338.
  const TRect area{100, 50, 844, 482};
  struct Case {
    const char* what;
    TRect area;
    int x, y1;
    TRect expected;
  } cases[] = {
      {"upper part: 4 pixels below the line", area, 200, 100, {200, 120, 534, 244}},
      {"line ending on the two-thirds mark stays below", area, 200, 322, {200, 342, 534, 466}},
      {"lower third: above the line", area, 200, 323, {200, 195, 534, 319}},
      {"near the right edge: kept inside", area, 700, 100, {510, 120, 844, 244}},
      {"narrow window: centred over it", {100, 50, 300, 482}, 150, 100, {33, 120, 367, 244}},
      {"as wide as the dialog: centred, so in place",
       {100, 50, 434, 482},
       400,
       100,
       {100, 120, 434, 244}},
      {"odd difference: halving truncates", {100, 50, 299, 482}, 150, 100, {33, 120, 367, 244}},
      {"rounded two thirds: h = 100 gives 67", {0, 0, 800, 100}, 10, 51, {10, 71, 344, 195}},
      {"rounded two thirds: just below", {0, 0, 800, 100}, 10, 52, {10, -76, 344, 48}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TRect r = ConfirmDialogBounds(c.area, c.x, c.y1, c.y1 + 16, 334, 124);
    EXPECT_EQ(r.Left, c.expected.Left);
    EXPECT_EQ(r.Top, c.expected.Top);
    EXPECT_EQ(r.Right, c.expected.Right);
    EXPECT_EQ(r.Bottom, c.expected.Bottom);
  }
}
