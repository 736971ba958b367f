// The matcher against PCRE2, the reference library: every match of a line
// and its groups on generated patterns, and nested quantifiers on long
// subjects with a bound on the work instead of a time.
#define PCRE2_CODE_UNIT_WIDTH 8
#include <gtest/gtest.h>
#include <pcre2.h>

#include <random>
#include <string>
#include <vector>

#include "search/SynRegExpr.h"

using namespace ludra;

namespace {

// Every match as "start:end" of groups 0..groups (0-based, "~" for a group
// that took no part) and "/", or "-". The next search starts at the end of
// a match, one further after an empty one.
std::string Ours(TRegExpr& re, const std::string& subject, int groups) {
  std::string out;
  for (bool found = re.Exec(subject); found; found = re.ExecNext()) {
    for (int g = 0, s; g <= groups; ++g)
      out += (s = re.GroupStart(g) - 1) < 0
                 ? "~ "
                 : std::to_string(s) + ":" + std::to_string(s + re.GroupLength(g)) + " ";
    out += "/";
  }
  return out.empty() ? "-" : out;
}

// The same from PCRE2, set up as this matcher is by default (a dot matches
// line breaks, $ only the end); "error" when it gives up.
std::string Reference(const std::string& pattern, const std::string& subject, int groups) {
  int code;
  PCRE2_SIZE at;
  pcre2_code* re = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()), pattern.size(),
                                 PCRE2_DOTALL | PCRE2_DOLLAR_ENDONLY, &code, &at, nullptr);
  pcre2_match_data* md = pcre2_match_data_create_from_pattern(re, nullptr);
  std::string out;
  for (size_t from = 0; from <= subject.size();) {
    const int rc = pcre2_match(re, reinterpret_cast<PCRE2_SPTR>(subject.data()), subject.size(),
                               from, 0, md, nullptr);
    if (rc < 0) {
      if (rc != PCRE2_ERROR_NOMATCH) out = "error";
      break;
    }
    const PCRE2_SIZE* ov = pcre2_get_ovector_pointer(md);
    for (int g = 0; g <= groups; ++g)
      out += g >= rc || ov[2 * g] == PCRE2_UNSET
                 ? "~ "
                 : std::to_string(ov[2 * g]) + ":" + std::to_string(ov[2 * g + 1]) + " ";
    out += "/";
    from = ov[1] > ov[0] ? ov[1] : ov[1] + 1;
  }
  pcre2_match_data_free(md);
  pcre2_code_free(re);
  return out.empty() ? "-" : out;
}

// Random patterns over a, b and c: sets, groups, alternatives, every
// quantifier form, and back-references (often) to groups already closed.
struct TPatternMaker {
  std::mt19937 rng{20240539};
  int groups = 0;
  std::vector<int> closed;
  int Pick(int n) { return static_cast<int>(rng() % n); }
  std::string Make(int depth = 0) {
    static const char* kAtoms[] = {"a", "b", ".", "[ab]", "c", "[^a]"};
    static const char* kQuantifiers[] = {"",   "",    "*",     "+",      "?",    "*?",   "+?",
                                         "??", "{2}", "{1,2}", "{0,2}?", "{2,}", "{1,}?"};
    if (depth == 0) groups = 0, closed.clear();
    std::string out;
    for (int pieces = 1 + Pick(3); pieces > 0; --pieces) {
      const int kind = Pick(depth > 2 ? 6 : 8);
      if (!closed.empty() && Pick(3) == 0) {
        out += "\\" + std::to_string(closed[Pick(closed.size())]);
      } else if (kind < 6 || groups >= 9) {
        out += kAtoms[kind % 6];
      } else {
        const int g = ++groups;
        out += "(" + Make(depth + 1);
        if (kind == 7) out += "|" + Make(depth + 1);
        out += ")";
        closed.push_back(g);
      }
      out += kQuantifiers[Pick(13)];
    }
    return out;
  }
};

TEST(RegexReference, AgreesWithPcre2OnGeneratedPatterns) {
  TPatternMaker maker;
  int compared = 0;
  for (int round = 0; round < 6000; ++round) {
    const std::string pattern = maker.Make();
    std::string subject;
    for (int n = maker.Pick(25); n > 0; --n) subject += "abc"[maker.Pick(3)];
    TRegExpr re;
    re.SetExpression(pattern);
    std::string mine;
    try {
      mine = Ours(re, subject, maker.groups);
    } catch (const ERegExpr& e) {  // quantified operands that could be empty
      ASSERT_EQ(e.ErrorCode(), rePlusStarOperandCouldBeEmpty) << pattern << " on " << subject;
      continue;
    }
    re.SetMemoThreshold(0);
    EXPECT_EQ(Ours(re, subject, maker.groups), mine) << pattern << " on " << subject << " (memo)";
    const std::string theirs = Reference(pattern, subject, maker.groups);
    if (theirs == "error") continue;
    EXPECT_EQ(mine, theirs) << pattern << " on " << subject;
    ++compared;
  }
  EXPECT_GT(compared, 4000);
}

// Nested quantifiers and repeats that can match nothing, on a prefix, n
// copies of one character and a suffix. The answer is checked on a long
// subject with a bound on the steps (quadratic work would take thousands
// per character) and against PCRE2 on short ones, where it gives up less.
TEST(RegexReference, NestedQuantifiersStayLinear) {
  constexpr int kNone = -1000;
  struct {
    const char* pattern;
    const char* prefix;
    char run;
    const char* suffix;
    int n;
    int start;       // of the match, which runs to the end (negative: from the end)
    int work = 120;  // steps allowed per character
  } rows[] = {
      // The required literal comes first: no start after it can match.
      {"(a+)+b", "b", 'a', "c", 10000, kNone},
      {"(x+x+)+y", "y", 'x', "z", 10000, kNone},
      {"(\\w+)+@", "@", 'a', "!", 10000, kNone},
      {"(a+b?)+c", "c", 'a', "d", 10000, kNone},
      {"(a{2,}){2,}b", "b", 'a', "c", 10000, kNone},
      {".*.*.*=", "", 'a', "=", 10000, 0},
      {"(a+)\\1+b", "b", 'a', "c", 10000, kNone},
      {"(.*a){12}x", "x", 'a', "c", 10000, kNone},
      {"(a+)+\\1b", "b", 'a', "c", 10000, kNone},
      // It comes last: every start is tried, and the memo answers.
      {"(a+)+b", "", 'a', "cb", 10000, kNone},
      {"(x+x+)+y", "", 'x', "zy", 10000, kNone},
      {"(\\w+)+@", "", 'a', "!@", 10000, kNone},
      {"(a+b?)+c", "", 'a', "dc", 10000, kNone},
      {"(a{2,}){2,}b", "", 'a', "cb", 10000, kNone},
      {"(?-s).*.*.*=", "", 'a', "\n=", 10000, -1},
      {"(.*a){12}x", "", 'a', "\nx", 10000, kNone},
      {"(.*a){12}x", "", 'a', "x", 10000, 0},
      // Spans of captured text are part of the state: quadratic, not exponential.
      {"(a+)+\\1b", "", 'a', "cb", 32, kNone, 1000},
      {"(a|aa)*\\1b", "", 'a', "cb", 200, kNone, 200},
      // Repeats whose iteration can match nothing end after such an iteration.
      {"(a?)(\\1)*z", "b", 'a', "z", 10000, 1},
      {"(a*)(\\1)+z", "b", 'a', "z", 10000, 1},
      {"(a?)(b|\\1)*z", "b", 'a', "z", 10000, 1},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.pattern);
    auto subject = [&](int n) { return row.prefix + std::string(n, row.run) + row.suffix; };
    TRegExpr re;
    re.SetExpression(row.pattern);
    const std::string line = subject(row.n);
    const int len = static_cast<int>(line.size());
    ASSERT_EQ(re.Exec(line), row.start != kNone);
    if (row.start != kNone) {
      const int start = row.start < 0 ? len + row.start : row.start;
      EXPECT_EQ(re.GroupStart(0) - 1, start);
      EXPECT_EQ(re.GroupLength(0), len - start);
    }
    EXPECT_LE(re.StepsUsed(), int64_t{row.work} * len);
    for (int n : {0, 1, 2, 3, 5, 8, 13}) {
      const std::string theirs = Reference(row.pattern, subject(n), re.SubExprCount());
      if (theirs != "error") {
        EXPECT_EQ(Ours(re, subject(n), re.SubExprCount()), theirs) << n;
      }
    }
  }
}

}  // namespace
