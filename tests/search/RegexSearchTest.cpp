#include <gtest/gtest.h>

#include <string>

#include "search/SynEditRegexSearch.h"

using namespace ludra;

namespace {

std::string Found(TSynEditSearchCustom& engine, const std::string& line) {
  int n = engine.FindAllInLine(line);
  EXPECT_EQ(n, engine.MatchCount());
  std::string out;
  for (int i = 0; i < n; ++i) {
    if (i) out += ' ';
    out += std::to_string(engine.MatchPosition(i)) + ":" + std::to_string(engine.MatchLength(i));
  }
  return out;
}

}  // namespace

TEST(RegexSearch, FindsEveryOccurrenceWithoutOverlap) {
  struct {
    const char* pattern;
    TSynSearchFlags flags;
    const char* line;
    const char* want;
  } cases[] = {
      {"aa", {sfMatchCase}, "aaaa", "1:2 3:2"},
      {"name", {}, "Name NAME nAmE", "1:4 6:4 11:4"},
      {"name", {sfMatchCase}, "Name NAME name", "11:4"},
      {"Name", {sfMatchCase, sfWholeWord}, "Names Name", "1:4 7:4"},  // whole word is ignored
      {"\\d+", {}, "a1 22 333", "2:1 4:2 7:3"},
      {"x*", {}, "axb", "1:0 2:1 3:0 4:0"},
      {"q", {}, "", ""},
      {"^", {}, "", "1:0"},
      {"[a-c]", {}, "ABCD", "1:1 2:1 3:1"},
      {"[a-c]", {sfMatchCase}, "ABCD", ""},
  };
  for (const auto& c : cases) {
    TSynEditRegexSearch engine;
    engine.SetSearchOptions(c.flags);
    engine.SetPattern(c.pattern);
    EXPECT_EQ(engine.Pattern(), c.pattern);
    EXPECT_EQ(Found(engine, c.line), c.want) << c.pattern << " on " << c.line;
  }
}

TEST(RegexSearch, ResultsOutOfRangeAreZero) {
  TSynEditRegexSearch engine;
  engine.SetPattern("b");
  ASSERT_EQ(engine.FindAllInLine("abc"), 1);
  EXPECT_EQ(engine.MatchPosition(1), 0);
  EXPECT_EQ(engine.MatchLength(-1), 0);
  EXPECT_EQ(engine.FindAllInLine("xyz"), 0);
  EXPECT_EQ(engine.MatchPosition(0), 0);
}

TEST(RegexSearch, ABadPatternRaisesFromTheSearch) {
  TSynEditRegexSearch engine;
  engine.SetPattern("a{2,1}");
  try {
    engine.FindAllInLine("aa");
    FAIL() << "no error";
  } catch (const ERegExpr& e) {
    EXPECT_EQ(e.ErrorCode(), 124);
  }
}

// A search over many lines has one budget: ordinary lines stay within the
// allowance of their bytes, while a pattern that backtracks on line after
// line runs the budget down and is abandoned long before the last line.
TEST(RegexSearch, OneSearchOverManyLinesHasABoundedBudget) {
  struct {
    const char* pattern;
    std::string line;
    bool abandoned;
  } cases[] = {
      {"\\w+", "\tnew value = GetPlayerScore(playerid); // score", false},
      {".*d", "abcabcabcabcabcabcabcabcabcabcabcabcd", false},
      {"(a|aa)*\\1b", std::string(10, 'a') + "c", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.pattern);
    TSynEditRegexSearch engine;
    engine.SetRunStepBudget(20000, 1000000);
    engine.SetSearchOptions({});
    engine.SetPattern(c.pattern);
    int lines = 0;
    int code = 0;
    try {
      for (; lines < 5000; ++lines) engine.FindAllInLine(c.line);
    } catch (const ERegExpr& e) {
      code = e.ErrorCode();
    }
    if (c.abandoned) {
      EXPECT_EQ(code, reeStepBudgetExceeded);
      // Not the first line (each is well within the per-line limit), and far
      // from the last.
      EXPECT_GT(lines, 1);
      EXPECT_LT(lines, 100);
    } else {
      EXPECT_EQ(code, 0);
      EXPECT_EQ(lines, 5000);
    }
    // A new search starts with a fresh budget.
    engine.SetPattern("x");
    EXPECT_EQ(engine.FindAllInLine("axb"), 1);
  }
}

TEST(RegexSearch, ReplacementTextExpandsGroupsOfEachOccurrence) {
  struct {
    const char* pattern;
    const char* line;
    const char* replace;
    const char* want;  // replacement of each occurrence, '/'-separated
  } cases[] = {
      {"a(b)c", "xabcx", "[$1]", "[b]"},
      {"a(b)c", "xabcx", "$0|$&|${0}", "abc|abc|abc"},
      {"a(b)c", "xabcx", "$15", ""},
      {"a(b)c", "xabcx", "\\$1", "$1"},
      {"(\\w)(\\d)", "a1 b2", "$2$1", "1a/2b"},
      // Context around the occurrence counts as it did in the line.
      {"\\Bb", "ab", "X", "X"},
      {"(^|,)(\\w)", "a,b", "$1<$2>", "<a>/,<b>"},
      {"\\b", "ab cd", "|", "|/|/|/|"},
  };
  for (const auto& c : cases) {
    TSynEditRegexSearch engine;
    engine.SetPattern(c.pattern);
    int n = engine.FindAllInLine(c.line);
    std::string got;
    for (int i = 0; i < n; ++i) {
      if (i) got += '/';
      std::string matched =
          std::string(c.line).substr(engine.MatchPosition(i) - 1, engine.MatchLength(i));
      got += engine.ReplacementText(matched, c.replace);
    }
    EXPECT_EQ(got, c.want) << c.pattern << " on " << c.line;
  }
}

TEST(RegexSearch, BackwardReplacementsAndSkippedOccurrences) {
  TSynEditRegexSearch engine;
  engine.SetSearchOptions({sfMatchCase, sfBackwards});
  engine.SetPattern("(\\w)=(\\d)");
  ASSERT_EQ(engine.FindAllInLine("a=1 b=2 c=3"), 3);
  // Right to left, the middle one skipped.
  EXPECT_EQ(engine.ReplacementText("c=3", "$2$1"), "3c");
  EXPECT_EQ(engine.ReplacementText("a=1", "$2$1"), "1a");
  // Text that is no occurrence of the line is matched on its own.
  EXPECT_EQ(engine.ReplacementText("z=9", "$2$1"), "9z");
  EXPECT_EQ(engine.ReplacementText("none", "$2$1"), "none");
}
