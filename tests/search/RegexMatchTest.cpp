#include <gtest/gtest.h>

#include <random>
#include <regex>
#include <string>

#include "base/SynCodePage.h"
#include "search/SynRegExpr.h"

using namespace ludra;

namespace {

// The first match as "position:length", or "-" when there is none.
std::string First(TRegExpr& re, const std::string& subject) {
  if (!re.Exec(subject)) return "-";
  return std::to_string(re.GroupStart(0)) + ":" + std::to_string(re.GroupLength(0));
}

std::string First(const std::string& pattern, const std::string& subject) {
  TRegExpr re;
  re.SetExpression(pattern);
  return First(re, subject);
}

// Every match found by Exec and ExecNext, as "position:length" items.
std::string All(TRegExpr& re, const std::string& subject) {
  std::string out;
  if (re.Exec(subject)) {
    do {
      if (!out.empty()) out += ' ';
      out += std::to_string(re.GroupStart(0)) + ":" + std::to_string(re.GroupLength(0));
    } while (re.ExecNext());
  }
  return out;
}

std::string All(const std::string& pattern, const std::string& subject) {
  TRegExpr re;
  re.SetExpression(pattern);
  return All(re, subject);
}

// The texts of groups 0..n of the first match, separated by '|'; a group that
// took no part shows as '~'.
std::string Groups(const std::string& pattern, const std::string& subject, int n) {
  TRegExpr re;
  re.SetExpression(pattern);
  if (!re.Exec(subject)) return "-";
  std::string out;
  for (int g = 0; g <= n; ++g) {
    if (g) out += '|';
    out += re.GroupStart(g) < 0 ? "~" : re.Group(g);
  }
  return out;
}

struct Case {
  const char* pattern;
  const char* subject;
  const char* want;
};

void Check(const Case* begin, const Case* end) {
  for (const Case* c = begin; c != end; ++c)
    EXPECT_EQ(First(c->pattern, c->subject), c->want) << c->pattern << " on " << c->subject;
}

#define CHECK_CASES(cases) Check(std::begin(cases), std::end(cases))

}  // namespace

TEST(RegexMatch, LiteralsAndBraces) {
  Case cases[] = {
      {"abc", "xxabcx", "3:3"},   {"abc", "ababc", "3:3"},
      {"abc", "ab", "-"},         {"{", "a{b", "2:1"},
      {"a{", "ba{", "2:2"},       {"a{x}", "a{x}", "1:4"},
      {"a{2}", "aaa", "1:2"},     {"a{2}", "aba", "-"},
      {"xa{2}", "xaaa", "1:3"},  // the brace repeats only the last character
      {"ab{2,}", "abbbb", "1:5"}, {"ab{1,2}c", "abbbc", "-"},
      {"a{,2}", "a{,2}", "1:5"},  {"a{2", "a{2", "1:3"},
      {"{2}", "x{2}", "2:3"},     {"ab*", "abbb", "1:4"},
      {"ab+c", "ac abbc", "4:4"}, {"colou?r", "color colour", "1:5"},
  };
  CHECK_CASES(cases);
}

TEST(RegexMatch, EscapesAndHexCodes) {
  Case cases[] = {
      {"\\x41", "zA", "2:1"},           {"\\x{41}", "zA", "2:1"},
      {"\\x{0041}", "zA", "2:1"},       {"\\x61\\x62", "ab", "1:2"},
      {"\\t", "a\tb", "2:1"},           {"\\n\\r", "a\n\rb", "2:2"},
      {"\\f\\a\\e", "\f\a\x1b", "1:3"}, {"\\.", "a.b", "2:1"},
      {"\\$1", "x$1", "2:2"},           {"\\q", "q", "1:1"},
      {"\\d+", "ab123c", "3:3"},        {"\\D+", "12ab3", "3:2"},
      {"\\s+", "a \t\r\n\fb", "2:5"},   {"\\S+", "  ab ", "3:2"},
      {"\\w+", "--a_1Z--", "3:4"},      {"\\W+", "ab+-cd", "3:2"},
  };
  CHECK_CASES(cases);
  // A NUL byte is an ordinary character of subject and pattern.
  EXPECT_EQ(First("\\x00b", std::string("a\0b", 3)), "2:2");
  EXPECT_EQ(First(std::string("a\0", 2) + "+", std::string("xa\0\0\0", 5)), "2:4");
}

TEST(RegexMatch, SetsRangesAndHyphens) {
  Case cases[] = {
      {"[abc]+", "xxbcaz", "3:3"},
      {"[a-c]+", "dcabd", "2:3"},
      {"[^a-c]+", "abxyc", "3:2"},
      {"[a-]+", "b-a-c", "2:3"},
      {"[-a]+", "b-a-c", "2:3"},
      {"[a-c-e]+", "xa-eb", "2:4"},
      {"[a-c-e]+", "d", "-"},
      {"[]a]+", "x]a]x", "2:3"},
      {"[^]a]+", "]]xy]", "3:2"},
      {"[\\]\\-]+", "a]-b", "2:2"},
      {"[\\d]+", "a42b", "2:2"},
      {"[\\d-z]+", "a4-zb", "2:3"},
      {"[a-\\d]+", "-a5b", "1:3"},
      {"[\\D]+", "DxD", "1:1"},  // \D in a set is the letter D
      {"[\\w.]+", "  a.b_ ", "3:4"},
      {"[\\s]", "a\tb", "2:1"},
      {"[\\x41-\\x43]+", "zABCD", "2:3"},
      {"[\\n]", "a\nb", "2:1"},
      {"[^\\n]+", "\nab\n", "2:2"},
      {"[ab]", "cc", "-"},
      {"[^a]", "aaa", "-"},
      {"[^abc]", "abcd", "4:1"},
      {"[a-z0-9_]+", "Hello_42!", "2:7"},
  };
  CHECK_CASES(cases);
}

TEST(RegexMatch, AlternationGroupsAndBackreferences) {
  Case cases[] = {
      {"cat|dog", "hotdog", "4:3"},
      {"a|ab|abc", "abc", "1:1"},
      {"(a|ab)(c|bcd)", "abcd", "1:4"},
      {"x(|a)y", "xy", "1:2"},
      {"(a)\\1", "aba aa", "5:2"},
      {"(\\w+) \\1", "hello hello", "1:11"},
      {"(\\w+) \\1\\b", "ab abc ab ab", "8:5"},
      {"(a)|\\1b", "b", "-"},  // a back-reference to a group that took no part fails
      {"(a*)b\\1", "aabaa", "1:5"},
      {"(a*)b\\1+", "baa", "1:1"},  // an empty group repeats without consuming
      {"(a)\\1*", "aaaa", "1:4"},
      {"(ab)\\1{2}", "abababab", "1:6"},
      {"(ab)\\1*?c", "ababc", "1:5"},
  };
  CHECK_CASES(cases);
  EXPECT_EQ(Groups("(a|ab)(c|bcd)(d*)", "abcd", 3), "abcd|a|bcd|");
  EXPECT_EQ(Groups("(a)|(b)", "b", 2), "b|~|b");
  EXPECT_EQ(Groups("((a)|b)+", "ab", 2), "ab|b|a");
  EXPECT_EQ(Groups("(a(b(c)))", "abc", 3), "abc|abc|bc|c");
  EXPECT_EQ(Groups("(\\d+)-(\\d+)", "tel 12-345", 2), "12-345|12|345");
}

TEST(RegexMatch, GreedyAndLazyQuantifiers) {
  Case cases[] = {
      {"a.*b", "aXbYb", "1:5"},
      {"a.*?b", "aXbYb", "1:3"},
      {"a.+?b", "abXb", "1:4"},
      {"a.??b", "ab", "1:2"},
      {"a.??b", "axb", "1:3"},
      {"a{2,4}", "aaaaa", "1:4"},
      {"a{2,4}?", "aaaaa", "1:2"},
      {"(ab)*c", "xababc", "2:5"},
      {"(ab)*?c", "ababc", "1:5"},
      {"(ab)+?", "ababab", "1:2"},
      {"(ab)+", "ababab", "1:6"},
      {"(ab)??c", "abc", "1:3"},
      {"(ab){2}", "abababab", "1:4"},
      {"(ab){2,}", "abababab", "1:8"},
      {"(ab){1,3}?", "ababab", "1:2"},
      {"(ab){1,3}?c", "ababc", "1:5"},
      {"(a|b)*?b", "aab", "1:3"},
      {"\".*?\"", "say \"hi\" and \"bye\"", "5:4"},
      {"\".*\"", "say \"hi\" and \"bye\"", "5:14"},
      {"\\d*5", "12345", "1:5"},
      {"x*", "aaa", "1:0"},
      {"[ab]*b[ab]", "aabab", "1:4"},
  };
  CHECK_CASES(cases);
  // Without the g modifier every quantifier is lazy.
  TRegExpr re;
  re.SetModifierG(false);
  re.SetExpression("a.*b");
  EXPECT_EQ(First(re, "aXbYb"), "1:3");
  re.SetExpression("(?g)a.*b");
  EXPECT_EQ(First(re, "aXbYb"), "1:5");
  re.SetExpression("(ab)+");
  EXPECT_EQ(First(re, "ababab"), "1:2");
}

TEST(RegexMatch, ModifiersApplyFromTheirPlaceToTheGroupEnd) {
  Case cases[] = {
      {"(?i)abc", "xABC", "2:3"},
      {"a(?i)b", "aB", "1:2"},
      {"a(?i)b", "Ab", "-"},
      {"(a(?i)b)c", "aBc", "1:3"},
      {"(a(?i)b)c", "aBC", "-"},
      {"(?i)a(?-i)b", "Ab", "1:2"},
      {"(?i)a(?-i)b", "AB", "-"},
      {"(?I)x", "X", "1:1"},
      {"(?x) a b # comment\n c", "abc", "1:3"},
      {"(?x)a b *", "abbb", "1:4"},
      {"(?x)[ ]", "a b", "2:1"},
      {"(?x)a\\ b", "a b", "1:3"},
      {"(?-s).+", "ab\ncd", "1:2"},
      {"(?s).+", "ab\ncd", "1:5"},
      {"(?m)^b", "a\nb", "3:1"},
      {"^b", "a\nb", "-"},
      {"a(?#note)b", "ab", "1:2"},
      {"(?i)[a-c]+", "xAbC", "2:3"},
      {"(?i)[^a]+", "aAbB", "3:2"},
  };
  CHECK_CASES(cases);
  TRegExpr re;
  re.SetModifierI(true);
  re.SetExpression("(?-i)abc");
  EXPECT_EQ(First(re, "ABC abc"), "5:3");
}

TEST(RegexMatch, ModifiersAreSetByNumberAndForceARecompile) {
  TRegExpr re;
  EXPECT_FALSE(re.Modifier(1));
  EXPECT_TRUE(re.Modifier(2));
  EXPECT_TRUE(re.Modifier(3));
  EXPECT_TRUE(re.Modifier(4));
  EXPECT_FALSE(re.Modifier(5));
  EXPECT_FALSE(re.Modifier(6));
  re.SetExpression("abc");
  EXPECT_EQ(First(re, "ABC"), "-");
  re.SetModifier(1, true);
  EXPECT_TRUE(re.ModifierI());
  EXPECT_EQ(First(re, "ABC"), "1:3");
  re.SetModifier(1, false);
  EXPECT_EQ(First(re, "ABC"), "-");
}

TEST(RegexMatch, CaseInsensitiveLatin1Letters) {
  // Latin-1: E9 é / C9 É, E4 ä / C4 Ä, F8 ø / D8 Ø, FE þ / DE Þ.
  TRegExpr re;
  re.SetModifierI(true);
  struct {
    const char* pattern;
    const char* subject;
    const char* want;
  } cases[] = {
      {"caf\xE9", "CAF\xC9", "1:4"},
      {"\xC4pfel", "\xE4PFEL", "1:5"},
      {"[\xE0-\xFE]+", "x\xC0\xD8\xDE\xE9", "2:4"},
      {"[\xF8]", "\xD8", "1:1"},
      {"(\xE4)\\1", "\xE4\xC4", "1:2"},
      {"(\\w+)-\\1", "Abc-aBC", "1:7"},
      {"\xDF", "\xDF", "1:1"},    // sharp s has no single-byte capital
      {"x\xD7", "X\xD7", "1:2"},  // the multiplication sign is no letter
  };
  for (const auto& c : cases) {
    re.SetExpression(c.pattern);
    EXPECT_EQ(First(re, c.subject), c.want) << c.pattern;
  }
  // Case matters for back-references without the modifier.
  re.SetModifierI(false);
  re.SetExpression("(\xE4)\\1");
  EXPECT_EQ(First(re, "\xE4\xC4"), "-");
  re.SetExpression("\xE9");
  EXPECT_EQ(First(re, "\xC9"), "-");
}

TEST(RegexMatch, AnchorsWithAndWithoutMultiLine) {
  struct {
    const char* pattern;
    bool multiLine;
    const char* subject;
    const char* want;  // every match
  } cases[] = {
      {"^a", false, "a\na", "1:1"},
      {"^a", true, "a\na", "1:1 3:1"},
      {"a$", false, "a\na", "3:1"},
      {"a$", true, "a\na", "1:1 3:1"},
      {"^a", true, "a\r\na", "1:1 4:1"},
      {"a$", true, "a\r\na", "1:1 4:1"},
      {"^b", true, "\r\rb", "3:1"},
      {"^", true, "x\r\ny", "1:0 4:0"},      // never between CR and LF
      {"$", true, "x\r\ny", "2:0 5:0"},      // never between CR and LF
      {"^", true, "x\n\ny", "1:0 3:0 4:0"},  // each LF starts a line
      {"^.", true, "a\rb\nc", "1:1 3:1 5:1"},
      {"(?-s)a.b", false, "a\rb a\nb a\tb", "9:3"},
      {"\\Aa", true, "a\na", "1:1"},
      {"a\\Z", true, "a\na", "3:1"},
      {"^$", true, "a\n\nb", "3:0"},
      {"^", false, "abc", "1:0"},
      {"$", false, "abc", "4:0"},
      {"^$", false, "", "1:0"},
  };
  for (const auto& c : cases) {
    TRegExpr re;
    re.SetModifierM(c.multiLine);
    re.SetExpression(c.pattern);
    EXPECT_EQ(All(re, c.subject), c.want) << c.pattern << (c.multiLine ? " (m)" : "");
  }
}

TEST(RegexMatch, PairedSeparatorCanBeChangedOrRemoved) {
  TRegExpr re;
  re.SetModifierM(true);
  re.SetExpression("^x");
  // Without the pair, CR and LF are two line breaks and a line starts between them.
  re.SetLinePairedSeparator("");
  EXPECT_EQ(All(re, "a\r\nx"), "4:1");
  re.SetExpression("^");
  EXPECT_EQ(All(re, "a\r\nb"), "1:0 3:0 4:0");
  // With LF CR as the pair, CR LF are two separate breaks.
  re.SetLinePairedSeparator("\n\r");
  EXPECT_EQ(All(re, "a\n\rb\r\nc"), "1:0 4:0 6:0 7:0");
  // With no line breaks at all, ^ and $ fall back to the input's ends.
  re.SetLinePairedSeparator("");
  re.SetLineBreakChars("");
  re.SetExpression("^a|a$");
  EXPECT_EQ(All(re, "a\na\na"), "1:1 5:1");
}

TEST(RegexMatch, WordBoundaries) {
  Case cases[] = {
      {"\\bis\\b", "this is it", "6:2"},
      {"\\Bis\\b", "this is it", "3:2"},
      {"\\b", "  ab", "3:0"},
      {"\\B", "ab", "2:0"},
      {"x\\b", "x", "1:1"},
      {"\\bword\\b", "a_word word", "8:4"},
  };
  CHECK_CASES(cases);
}

TEST(RegexMatch, EmptyMatchesAreFoundAtEveryPositionWithoutOverlap) {
  struct {
    const char* pattern;
    const char* subject;
    const char* want;
  } cases[] = {
      {"x*", "axb", "1:0 2:1 3:0 4:0"},
      {"x*", "", "1:0"},
      {"$", "ab", "3:0"},
      {"a*", "baaac", "1:0 2:3 5:0 6:0"},
      {"\\b", "ab cd", "1:0 3:0 4:0 6:0"},
      {"aa", "aaaa", "1:2 3:2"},
      {"aaa", "aaaa", "1:3"},
      {"a|b", "abba", "1:1 2:1 3:1 4:1"},
      {"(ab|cd)*", "abcdx", "1:4 5:0 6:0"},
      {"a{0}", "ab", "1:0 2:0 3:0"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(All(c.pattern, c.subject), c.want) << c.pattern << " on " << c.subject;
}

TEST(RegexMatch, ExecPosAndGroupsOutOfRange) {
  TRegExpr re;
  re.SetExpression("b(c)?");
  ASSERT_TRUE(re.Exec("abcab"));
  EXPECT_EQ(re.GroupStart(1), 3);
  EXPECT_EQ(re.GroupStart(15), -1);
  EXPECT_EQ(re.GroupLength(-1), -1);
  EXPECT_EQ(re.GroupStart(2), -1);
  ASSERT_TRUE(re.ExecPos(3));
  EXPECT_EQ(re.GroupStart(0), 5);
  EXPECT_EQ(re.GroupStart(1), -1);  // took no part this time
  EXPECT_FALSE(re.ExecPos(6));
  EXPECT_FALSE(re.ExecPos(7));  // beyond the end is no match, not an error
  EXPECT_EQ(re.GroupStart(0), -1);
  TRegExpr fresh;
  EXPECT_EQ(fresh.GroupStart(0), -1);
}

TEST(RegexMatch, ExpressionChangesAreNoticed) {
  TRegExpr re;
  re.SetExpression("a");
  EXPECT_EQ(First(re, "ba"), "2:1");
  re.SetExpression("b");
  EXPECT_EQ(First(re, "ba"), "1:1");
  re.SetWordCharacters("ab");
  re.SetExpression("\\w+");
  EXPECT_EQ(First(re, "xyzab"), "4:2");
  re.SetBlankChars("_");
  re.SetExpression("\\s");
  EXPECT_EQ(First(re, "a b_"), "4:1");
}

TEST(RegexTemplate, GroupReferencesAndEscapes) {
  TRegExpr re;
  re.SetExpression("a(b)(c)?(d)?");
  ASSERT_TRUE(re.Exec("xabdx"));
  struct {
    const char* templ;
    const char* want;
  } cases[] = {
      {"[$1]", "[b]"},  {"$0", "abd"},     {"$&", "abd"},
      {"${0}", "abd"},  {"${&}", "abd"},   {"$2", ""},  // took no part
      {"$3$1", "db"},   {"$15", ""},       {"$99999999999999999999", ""},
      {"${1}0", "b0"},  {"$10", ""},  // group ten, not group one and a zero
      {"\\$1", "$1"},   {"\\\\$1", "\\b"}, {"a\\", "a\\"},
      {"$", "$"},       {"$x", "$x"},      {"${1", "${1"},
      {"${x}", "${x}"}, {"$$1", "$b"},     {"cost: 5$", "cost: 5$"},
  };
  for (const auto& c : cases) EXPECT_EQ(re.ExpandTemplate(c.templ), c.want) << c.templ;
}

TEST(RegexTemplate, ReplaceAllMatches) {
  struct {
    const char* pattern;
    const char* input;
    const char* templ;
    bool expand;
    const char* want;
  } cases[] = {
      {"a(b)c", "xabcx", "[$1]", true, "x[b]x"},
      {"a(b)c", "xabcx", "[$1]", false, "x[$1]x"},
      {"(\\w+)=(\\w+)", "a=1, b=2", "$2=$1", true, "1=a, 2=b"},
      {"x*", "axb", "-", true, "-a--b-"},
      {"q", "abc", "-", true, "abc"},
      {"b", "bbb", "", true, ""},
      {"^", "abc", "> ", true, "> abc"},
  };
  for (const auto& c : cases) {
    TRegExpr re;
    re.SetExpression(c.pattern);
    EXPECT_EQ(re.ReplaceAllMatches(c.input, c.templ, c.expand), c.want) << c.pattern;
  }
}

// The matcher agrees with std::regex on the first match (position and
// length) of random patterns from the common subset of both dialects.
TEST(RegexMatch, AgreesWithStdRegexOnRandomPatterns) {
  std::mt19937 rng(12345);
  auto pick = [&](int n) { return static_cast<int>(rng() % n); };
  std::function<std::string(int)> gen = [&](int depth) -> std::string {
    std::string out;
    int pieces = 1 + pick(3);
    for (int i = 0; i < pieces; ++i) {
      std::string atom;
      switch (depth > 2 ? pick(4) : pick(6)) {
        case 0:
          atom = "a";
          break;
        case 1:
          atom = "b";
          break;
        case 2:
          atom = pick(2) ? "." : "[ab]";
          break;
        case 3:
          atom = pick(2) ? "c" : "[^a]";
          break;
        case 4:
          atom = "(" + gen(depth + 1) + ")";
          break;
        default:
          atom = "(" + gen(depth + 1) + "|" + gen(depth + 1) + ")";
          break;
      }
      static const char* quantifiers[] = {"",   "",   "*",   "+",     "?",      "*?",
                                          "+?", "??", "{2}", "{1,2}", "{0,2}?", "{2,}"};
      out += atom + quantifiers[pick(12)];
    }
    return out;
  };
  int compared = 0;
  for (int round = 0; round < 3000; ++round) {
    std::string pattern = gen(0);
    std::string subject;
    int n = pick(12);
    for (int i = 0; i < n; ++i) subject += "abc"[pick(3)];
    TRegExpr re;
    re.SetExpression(pattern);
    std::string mine;
    try {
      mine = First(re, subject);
    } catch (const ERegExpr& e) {
      // Quantified operands that could be empty are refused here only.
      ASSERT_EQ(e.ErrorCode(), rePlusStarOperandCouldBeEmpty) << pattern;
      continue;
    }
    // Remembering failed states from the first step changes no answer.
    re.SetMemoThreshold(0);
    EXPECT_EQ(First(re, subject), mine) << pattern << " on " << subject << " with the memo";
    std::smatch m;
    std::regex std_re(pattern, std::regex::ECMAScript);
    std::string theirs = "-";
    if (std::regex_search(subject, m, std_re))
      theirs = std::to_string(m.position(0) + 1) + ":" + std::to_string(m.length(0));
    EXPECT_EQ(mine, theirs) << pattern << " on " << subject;
    ++compared;
  }
  EXPECT_GT(compared, 1500);
}

TEST(RegexMatch, CyrillicRangesUnderTheRModifier) {
  // A stand-in for the Cyrillic page: only what the range rules look at.
  struct TCyrillicPage : TWindows1252CodePage {
    TCyrillicPage() { toUnicode_[0xE0] = 0x0430; }
  } cyrillic;
  SetCodePage(&cyrillic);
  struct {
    const char* pattern;
    const char* subject;
    const char* want;
  } cases[] = {
      {"[\\xE0-\\xFF]", "\xB8", "1:1"},               // yo joins the small letters
      {"[\\xC0-\\xDF]", "\xA8", "1:1"},               // and Yo the capitals
      {"[\\xE0-\\xDF]+", "\xA8\xC0\xFF\xB8", "1:4"},  // the reversed range is both alphabets
      {"(?-r)[\\xE0-\\xFF]", "\xB8", "-"},
  };
  for (const auto& c : cases) EXPECT_EQ(First(c.pattern, c.subject), c.want) << c.pattern;
  TRegExpr re;
  re.SetModifierR(false);
  re.SetExpression("[\\xE0-\\xDF]");
  EXPECT_THROW(re.Exec("x"), ERegExpr);
  SetCodePage(nullptr);
  // On the Western page the rule does not apply.
  EXPECT_EQ(First("[\\xE0-\\xFF]", "\xB8"), "-");
}
