#include <gtest/gtest.h>

#include "base/SynCodePage.h"
#include "base/SynColor.h"
#include "base/SynEditTypes.h"
#include "base/SynExceptions.h"
#include "base/SynSet.h"
#include "base/SynStrUtils.h"

using namespace ludra;

TEST(GetToken, PiecesAreSplitAtEveryDelimiterWithoutTrimming) {
  struct Case {
    const char* text;
    int n;
    const char* delim;
    const char* want;
  } cases[] = {
      {"a,b,c", 1, ",", "a"},   {"a,b,c", 3, ",", "c"},    {"a,b,c", 4, ",", ""},
      {"a,,c", 2, ",", ""},     {"a,,c", 3, ",", "c"},     {"", 1, ",", ""},
      {"a, b", 2, ",", " b"},   {",a", 1, ",", ""},        {"native f(x)", 2, " ", "f(x)"},
      {"a::b::c", 2, "::", "b"}, {"abc", 1, ",", "abc"},    {"abc", 2, ",", ""},
      {"a,b,", 3, ",", ""},     {"x", 0, ",", ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(GetToken(c.text, c.n, c.delim), c.want) << c.text << " #" << c.n;
  EXPECT_EQ(Tkn("native  printf(x)", 2), "");
  EXPECT_EQ(Tkn("native  printf(x)", 3), "printf(x)");
}

// Only spaces and tabs are blanks: not line ends, form feeds, NUL or the
// non-breaking space of the code page.
TEST(IsBlank, SpacesAndTabsOnly) {
  for (int c = 0; c < 256; ++c)
    EXPECT_EQ(IsBlank(static_cast<char>(c)), c == ' ' || c == '\t') << c;
  static_assert(IsBlank("") && IsBlank(" \t  ") && !IsBlank(" x ") && !IsBlank("\r\n"));
  EXPECT_FALSE(IsBlank(std::string_view("\0 ", 2)));
  EXPECT_FALSE(IsBlank("\xA0"));
}

TEST(CodePage, Windows1252RoundTripsEveryByte) {
  const TCodePage& cp = CodePage();
  std::string all;
  for (int c = 0; c < 256; ++c) all += static_cast<char>(c);
  std::string utf8 = cp.ToUtf8(all);
  EXPECT_EQ(cp.FromUtf8(utf8), all);
  EXPECT_EQ(cp.ToUtf8("\x80"), "\xE2\x82\xAC");  // euro sign
  EXPECT_EQ(cp.FromUtf8("\xE2\x82\xAC"), "\x80");
  EXPECT_EQ(cp.FromUtf8("\xE4\xB8\x80"), "?");  // not on the page
  EXPECT_EQ(cp.FromUtf8("a\xC3"), "a?");         // truncated sequence
}

TEST(CodePage, Latin1LettersAndCase) {
  const TCodePage& cp = CodePage();
  EXPECT_TRUE(cp.IsAlpha(0xC9));  // É
  EXPECT_TRUE(cp.IsUpper(0xC9));
  EXPECT_EQ(cp.LowerCase(static_cast<unsigned char>(0xC9)), 0xE9);
  EXPECT_EQ(cp.UpperCase(static_cast<unsigned char>(0xE9)), 0xC9);
  EXPECT_FALSE(cp.IsAlpha(0xD7));  // multiplication sign
  EXPECT_FALSE(cp.IsAlpha(0xF7));  // division sign
  EXPECT_EQ(cp.UpperCase(static_cast<unsigned char>(0xFF)), 0xFF);  // ÿ has no Latin-1 capital
  EXPECT_FALSE(cp.IsAlpha(0x8A));  // Windows-1252 Š is not a Latin-1 letter
  EXPECT_EQ(cp.UpperCase("abc\xE0z"), "ABC\xC0Z");
}

TEST(Coordinates, OrderByLineThenCharacter) {
  EXPECT_LT(BufferCoord(10, 1), BufferCoord(1, 2));
  EXPECT_LT(BufferCoord(1, 2), BufferCoord(2, 2));
  EXPECT_EQ(BufferCoord(3, 4), BufferCoord(3, 4));
  EXPECT_LT(DisplayCoord(9, 1), DisplayCoord(1, 2));
}

TEST(Sets, IncludeExcludeAndOperators) {
  enum E { a, b, c, d = 40 };
  TSet<E> s{a, d};
  EXPECT_TRUE(s.Contains(d));
  EXPECT_FALSE(s.Contains(b));
  s.Include(b).Exclude(a);
  EXPECT_EQ(s, (TSet<E>{b, d}));
  EXPECT_EQ((s * TSet<E>{d, c}), TSet<E>{d});
  EXPECT_TRUE((s + TSet<E>{a}).Includes(TSet<E>{a, b}));
  EXPECT_TRUE((s - s).Empty());
}

TEST(Colors, EncodingsOfRgbAndSystemColours) {
  EXPECT_EQ(RGB(212, 208, 200), 0xC8D0D4u);
  EXPECT_TRUE(IsSystemColor(clWindow));
  EXPECT_EQ(SystemColorIndex(clHighlight), 13);
  EXPECT_FALSE(IsSystemColor(clNone));
}

TEST(Format, SubstitutesTheArgument) {
  EXPECT_EQ(Format("Invalid stringlist index %d", -3), "Invalid stringlist index -3");
  EXPECT_EQ(Format("Unable to write to %s", std::string("/x/%d.ini")), "Unable to write to /x/%d.ini");
}
