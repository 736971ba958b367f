#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "search/SynRegExpr.h"

using namespace ludra;

namespace {

// Runs f and returns the ERegExpr it raised (code -1 when none).
template <typename F>
ERegExpr Raised(F f) {
  try {
    f();
  } catch (const ERegExpr& e) {
    return e;
  }
  return ERegExpr("none", -1, -1);
}

}  // namespace

TEST(RegexErrors, CompileErrorsCarryCodeTextAndPosition) {
  struct Case {
    const char* pattern;
    int code;
    int pos;
    const char* text;
  } cases[] = {
      {"(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)(l)(m)(n)(o)", 102, 43, "ParseReg Too Many ()"},
      {"(a", 103, 2, "ParseReg Unmatched ()"},
      {"(a|b", 103, 4, "ParseReg Unmatched ()"},
      {"a)", 104, 1, "ParseReg Unmatched ()"},
      {"(a*)*", 106, 4, "*+ Operand Could Be Empty"},
      {"(a?)+", 106, 4, "*+ Operand Could Be Empty"},
      {"(a|)*", 106, 4, "*+ Operand Could Be Empty"},
      {"(\\b){2}", 106, 4, "*+ Operand Could Be Empty"},
      {"^*", 106, 1, "*+ Operand Could Be Empty"},
      {"a**", 107, 2, "Nested *?+"},
      {"a+?+", 107, 3, "Nested *?+"},
      {"a{2}{3}", 107, 4, "Nested *?+"},
      {"(ab)*?*", 107, 6, "Nested *?+"},
      {"\\xZ1", 108, 2, "Bad Hex Digit"},
      {"\\x4G", 108, 3, "Bad Hex Digit"},
      {"\\x{4G}", 108, 4, "Bad Hex Digit"},
      {"[z-a]", 109, 4, "Invalid [] Range"},
      {"[\\x42-\\x41]", 109, 10, "Invalid [] Range"},
      {"[a\\", 110, 3, "Parse Atom Trailing \\"},
      {"[a-\\", 110, 4, "Parse Atom Trailing \\"},
      {"\\x", 111, 2, "No Hex Code After \\x"},
      {"\\x4", 111, 3, "No Hex Code After \\x"},
      {"\\x{41", 111, 5, "No Hex Code After \\x"},
      {"\\x{100}", 112, 7, "Hex Code After \\x Is Too Big"},
      {"\\x{FFFFFFFFFFFF}", 112, 16, "Hex Code After \\x Is Too Big"},
      {"[abc", 113, 4, "Unmatched []"},
      {"[]", 113, 2, "Unmatched []"},
      {"*a", 115, 1, "?+*{ Follows Nothing"},
      {"a|+", 115, 3, "?+*{ Follows Nothing"},
      {"(?)", -1, 0, ""},
      {"a\\", 116, 2, "Trailing \\"},
      {"a{123456789}", 122, 2, "BRACES Argument Too Big"},
      {"a{1,123456789}", 122, 4, "BRACES Argument Too Big"},
      {"a{2,1}", 124, 6, "BRACE Min Param Greater then Max"},
      {"(?#abc", 125, 6, "Unclosed (?#Comment)"},
      {"(?:a)", 127, 2, "Urecognized Modifier"},
      {"(?=a)", 127, 2, "Urecognized Modifier"},
      {"(?i", 127, 3, "Urecognized Modifier"},
      {"(?i-q)", 127, 4, "Urecognized Modifier"},
  };
  for (const auto& c : cases) {
    TRegExpr re;
    re.SetExpression(c.pattern);
    ERegExpr e = Raised([&] { re.Exec("abc"); });
    EXPECT_EQ(e.ErrorCode(), c.code) << c.pattern;
    if (c.code < 0) continue;
    EXPECT_EQ(e.CompilerErrorPos(), c.pos) << c.pattern;
    EXPECT_EQ(re.CompilerErrorPos(), c.pos) << c.pattern;
    EXPECT_EQ(std::string(e.what()),
              "TRegExpr(comp): " + std::string(c.text) + " (pos " + std::to_string(c.pos) + ")")
        << c.pattern;
  }
}

TEST(RegexErrors, FourteenGroupsCompileAndTheFifteenthFails) {
  TRegExpr re;
  re.SetExpression("(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)(l)(m)(n)");
  ASSERT_TRUE(re.Exec("abcdefghijklmn"));
  EXPECT_EQ(re.GroupStart(14), 14);
  EXPECT_EQ(re.Group(14), "n");
  // Sixteen pairs of parentheses.
  std::string sixteen;
  for (int i = 0; i < 16; ++i) sixteen += "(x)";
  re.SetExpression(sixteen);
  EXPECT_EQ(Raised([&] { re.Exec("x"); }).ErrorCode(), 102);
}

TEST(RegexErrors, AFailedCompileIsRetriedAndFailsAgain) {
  TRegExpr re;
  re.SetExpression("a{2,1}");
  EXPECT_EQ(Raised([&] { re.Exec("aa"); }).ErrorCode(), 124);
  EXPECT_EQ(Raised([&] { re.Exec("aa"); }).ErrorCode(), 124);
  re.SetExpression("a{1,2}");
  EXPECT_TRUE(re.Exec("aa"));
}

TEST(RegexErrors, ExecErrorsHaveNoPosition) {
  struct Case {
    int code;
    const char* text;
    std::function<void(TRegExpr&)> run;
  } cases[] = {
      {100, "TRegExpr(comp): Null Argument (pos 0)", [](TRegExpr& re) { re.Compile(); }},
      {1003, "TRegExpr(exec): Not Assigned Expression Property",
       [](TRegExpr& re) { re.Exec("a"); }},
      {1005, "TRegExpr(exec): No Inpit String Specified",
       [](TRegExpr& re) {
         re.SetExpression("a");
         re.ExecPos(1);
       }},
      {1005, "TRegExpr(exec): No Inpit String Specified",
       [](TRegExpr& re) {
         re.SetExpression("a");
         re.ExpandTemplate("$0");
       }},
      {1006, "TRegExpr(exec): Offset Must Be Greater Then 0",
       [](TRegExpr& re) {
         re.SetExpression("a");
         re.Exec("a");
         re.ExecPos(0);
       }},
      {1007, "TRegExpr(exec): ExecNext Without Exec[Pos]",
       [](TRegExpr& re) {
         re.SetExpression("a");
         re.ExecNext();
       }},
      {1007, "TRegExpr(exec): ExecNext Without Exec[Pos]",
       [](TRegExpr& re) {
         re.SetExpression("a");
         re.Exec("b");
         re.ExecNext();
       }},
      {1013, "Unknown error", [](TRegExpr& re) { re.SetModifier(7, true); }},
      {1013, "Unknown error", [](TRegExpr& re) { re.Modifier(0); }},
      {128,
       "TRegExpr(comp): LinePairedSeparator must countain two different chars or no chars at "
       "all (pos 0)",
       [](TRegExpr& re) { re.SetLinePairedSeparator("\n\n"); }},
      {128,
       "TRegExpr(comp): LinePairedSeparator must countain two different chars or no chars at "
       "all (pos 0)",
       [](TRegExpr& re) { re.SetLinePairedSeparator("\r"); }},
      {1014, "TRegExpr(exec): Loop Stack Exceeded",
       [](TRegExpr& re) {
         // Eleven nested counted loops.
         std::string p = "a";
         for (int i = 0; i < 11; ++i) p = "(" + p + "){1,2}";
         re.SetExpression(p);
         re.Exec("a");
       }},
  };
  for (auto& c : cases) {
    TRegExpr re;
    ERegExpr e = Raised([&] { c.run(re); });
    EXPECT_EQ(e.ErrorCode(), c.code) << c.text;
    EXPECT_EQ(std::string(e.what()), c.text);
  }
}

TEST(RegexErrors, TenNestedCountedLoopsAreAllowed) {
  TRegExpr re;
  std::string p = "a";
  for (int i = 0; i < 10; ++i) p = "(" + p + "){1,2}";
  re.SetExpression(p);
  EXPECT_TRUE(re.Exec("xaay"));
  EXPECT_EQ(re.GroupStart(0), 2);
  EXPECT_EQ(re.GroupLength(0), 2);
}

TEST(RegexErrors, ErrorTextCoversEveryCode) {
  TRegExpr re;
  EXPECT_EQ(re.ErrorText(0), "No errors");
  EXPECT_EQ(re.ErrorText(101), "TRegExpr(comp): Regexp Too Big");
  EXPECT_EQ(re.ErrorText(105), "TRegExpr(comp): ParseReg Junk On End");
  EXPECT_EQ(re.ErrorText(114), "TRegExpr(comp): Internal Urp");
  EXPECT_EQ(re.ErrorText(119), "TRegExpr(comp): RarseAtom Internal Disaster");
  EXPECT_EQ(re.ErrorText(1000), "TRegExpr(exec): RegRepeat Called Inappropriately");
  EXPECT_EQ(re.ErrorText(1001), "TRegExpr(exec): MatchPrim Memory Corruption");
  EXPECT_EQ(re.ErrorText(1002), "TRegExpr(exec): MatchPrim Corrupted Pointers");
  EXPECT_EQ(re.ErrorText(1004), "TRegExpr(exec): Corrupted Program");
  EXPECT_EQ(re.ErrorText(1008), "TRegExpr(exec): GetInputString Without InputString");
  EXPECT_EQ(re.ErrorText(1011), "TRegExpr(dump): Corrupted Opcode");
  EXPECT_EQ(re.ErrorText(1015), "TRegExpr(exec): Loop Without LoopEntry !");
  EXPECT_EQ(re.ErrorText(1012), "Unknown error");
  EXPECT_EQ(re.ErrorText(-5), "Unknown error");
}

TEST(RegexErrors, ADerivedClassCanRewordErrors) {
  struct TQuiet : TRegExpr {
    std::string ErrorText(int code) const override { return "code " + std::to_string(code); }
  } re;
  re.SetExpression("(");
  ERegExpr e = Raised([&] { re.Exec("x"); });
  EXPECT_EQ(std::string(e.what()), "code 103 (pos 1)");
}

TEST(RegexSafety, CatastrophicBacktrackingStopsWithAnError) {
  TRegExpr re;
  // Every span the group can capture is a state of its own: quadratic work,
  // beyond this budget.
  re.SetStepBudget(200000);
  re.SetExpression("(a+)+\\1b");
  ERegExpr e = Raised([&] { re.Exec(std::string(3000, 'a') + "cb"); });
  EXPECT_EQ(e.ErrorCode(), reeStepBudgetExceeded);
  EXPECT_EQ(std::string(e.what()),
            "TRegExpr(exec): Search Abandoned, The Pattern Backtracks Too Much; Matches May Have "
            "Been Missed");
  // The matcher is usable afterwards.
  EXPECT_TRUE(re.Exec("aaab"));
  EXPECT_EQ(re.GroupLength(0), 4);
}

// Nested quantifiers answer through the failure memo, well within a budget
// that trying every way would exceed many times.
// Each subject holds the literal the pattern requires, so that the search
// cannot rule it out before trying.
TEST(RegexSafety, NestedQuantifiersAnswerThroughTheFailureMemo) {
  const std::string a30(30, 'a'), x30(30, 'x');
  struct {
    const char* pattern;
    std::string subject;
    const char* want;  // "position:length" of group 0 and group 1, or "-"
  } cases[] = {
      {"(a|aa)*b", std::string(200, 'a') + "cb", "202:1 -1:-1"},
      {"(a+)+b", "b" + a30, "-"},
      {"(a+)+b", a30 + "b", "1:31 1:30"},
      {"(a+)+b", "xaaab", "2:4 2:3"},
      {"(a+?)+b", "b" + a30, "-"},
      {"(a+)*b\\d", a30 + "b!", "-"},
      {"(a|a)+b", "b" + a30, "-"},
      {"((a+)+)+c", "c" + a30 + "b", "-"},
      {"(.+)+X\\d", std::string(30, 'y') + "Xa", "-"},
      {"(.+)+X", "yyyXyy", "1:4 1:3"},
      {"(x+x+)+y", "y" + x30, "-"},
      {"(x+x+)+y", x30 + "y", "1:31 1:30"},
      {"(a+|b+)*c\\d", a30 + "c!", "-"},
      {"(a|ab|b)*c\\d", "abababababababababababababababc!", "-"},
      {"^(\\w+\\s?)+$", "an arbitrary line of words!!!!", "-"},
      {"([a-z]+)*=\\d", "abcdefghijklmnopqrstuvwxyzabcd=!", "-"},
      {"(\\d+)*x\\d", "123456789012345678901234567890x!", "-"},
      {"(\\s*\\w+)*;\\d", "aaaa bbbb cccc dddd eeee ffff g;!", "-"},
      {"(a+)+$", a30 + "!", "-"},
      // Counted loops: lazy, and braces once the minimum is reached.
      {"(a|aa)*?b", std::string(200, 'a') + "cb", "202:1 -1:-1"},
      {"(a+)+?b", "b" + a30, "-"},
      {"(a+)+?b", "aab", "1:3 1:2"},
      {"(a+){2,}b", "b" + a30, "-"},
      {"(a+){2,}b", "aaab", "1:4 3:1"},
  };
  for (const auto& c : cases) {
    TRegExpr re;
    re.SetStepBudget(200000);
    re.SetExpression(c.pattern);
    std::string got = "-";
    try {
      if (re.Exec(c.subject))
        got = std::to_string(re.GroupStart(0)) + ":" + std::to_string(re.GroupLength(0)) + " " +
              std::to_string(re.GroupStart(1)) + ":" + std::to_string(re.GroupLength(1));
    } catch (const ERegExpr& e) {
      got = "error " + std::to_string(e.ErrorCode());
    }
    EXPECT_EQ(got, c.want) << c.pattern << " on " << c.subject;
  }
}

TEST(RegexSafety, LongLinesAndDeepPatternsDoNotExhaustTheStack) {
  TRegExpr re;
  // A branch loop with one iteration per two characters of a 5 MB line.
  std::string line;
  for (int i = 0; i < 5 * 1024 * 1024 / 2; ++i) line += (i % 3 ? "ab" : "cd");
  re.SetExpression("(ab|cd)*");
  ASSERT_TRUE(re.Exec(line));
  EXPECT_EQ(re.GroupLength(0), static_cast<int>(line.size()));
  EXPECT_EQ(re.GroupStart(1), static_cast<int>(line.size()) - 1);

  // Thousands of alternatives.
  std::string alternatives;
  for (int i = 0; i < 5000; ++i) alternatives += (i ? "|w" : "w") + std::to_string(i) + ";";
  re.SetExpression(alternatives);
  ASSERT_TRUE(re.Exec("x w4999; y"));
  EXPECT_EQ(re.GroupStart(0), 3);
  EXPECT_EQ(re.GroupLength(0), 6);

  // Counted loops over a long subject.
  re.SetExpression("(a|b){1,2000000}c");
  ASSERT_TRUE(re.Exec(std::string(1000000, 'a') + "c"));
  EXPECT_EQ(re.GroupLength(0), 1000001);
}
