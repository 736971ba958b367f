#include <gtest/gtest.h>
#include <iconv.h>

#include <string>

#include "base/SynCodePage.h"

using namespace ludra;

namespace {

// What the C library's converter makes of one byte, or 0 when it has none.
char32_t Iconv(const char* page, unsigned char byte) {
  iconv_t cd = iconv_open("UTF-32LE", page);
  if (cd == reinterpret_cast<iconv_t>(-1)) return 0;
  char in = static_cast<char>(byte);
  unsigned char out[8] = {};
  char* inp = &in;
  char* outp = reinterpret_cast<char*>(out);
  size_t inLeft = 1, outLeft = sizeof out;
  size_t r = iconv(cd, &inp, &inLeft, &outp, &outLeft);
  iconv_close(cd);
  if (r == static_cast<size_t>(-1) || outLeft != 4) return 0;
  return static_cast<char32_t>(out[0] | out[1] << 8 | out[2] << 16 | out[3] << 24);
}

struct PageCase {
  int number;
  const char* name;
  const char* converter;
};
const PageCase kPages[] = {{1252, "Windows-1252", "WINDOWS-1252"},
                           {1251, "Windows-1251", "WINDOWS-1251"},
                           {1250, "Windows-1250", "WINDOWS-1250"},
                           {28591, "ISO-8859-1", "ISO-8859-1"}};

}  // namespace

TEST(CodePages, EachPageShowsWhatTheConverterShowsAndTypesEveryByteBack) {
  ASSERT_EQ(CodePages().size(), std::size(kPages));
  EXPECT_EQ(CodePages().front()->Number(), 1252);
  for (const PageCase& c : kPages) {
    const TCodePage* page = FindCodePage(c.number);
    ASSERT_NE(page, nullptr) << c.name;
    EXPECT_EQ(page->Name(), c.name);
    std::string all;
    for (int b = 0; b < 256; ++b) {
      auto byte = static_cast<unsigned char>(b);
      all += static_cast<char>(byte);
      char32_t want = Iconv(c.converter, byte);
      // Bytes the page leaves unassigned keep their own value.
      EXPECT_EQ(page->ToUnicode(byte), want ? want : static_cast<char32_t>(b))
          << c.name << " byte " << b;
      // Typing the shown character gives the byte back.
      EXPECT_EQ(page->FromUtf8(page->ToUtf8(std::string(1, static_cast<char>(byte)))),
                std::string(1, static_cast<char>(byte)))
          << c.name << " byte " << b;
    }
    EXPECT_EQ(page->FromUtf8(page->ToUtf8(all)), all) << c.name;
    // Case mapping stays inside the letters and goes both ways.
    for (int b = 0; b < 256; ++b) {
      auto byte = static_cast<unsigned char>(b);
      if (page->IsUpper(byte)) {
        EXPECT_EQ(page->UpperCase(page->LowerCase(byte)), byte) << c.name << " byte " << b;
      }
      if (!page->IsAlpha(byte)) {
        EXPECT_EQ(page->UpperCase(byte), byte) << c.name << " byte " << b;
        EXPECT_EQ(page->LowerCase(byte), byte) << c.name << " byte " << b;
      }
    }
  }
  EXPECT_EQ(FindCodePage(437), nullptr);
}

TEST(CodePages, CyrillicLettersAreLettersWithTheirCase) {
  const TCodePage& cp = *FindCodePage(1251);
  for (int b = 192; b < 256; ++b) {
    auto byte = static_cast<unsigned char>(b);
    EXPECT_TRUE(cp.IsAlpha(byte)) << b;
    EXPECT_TRUE(cp.IsIdentChar(byte)) << b;
    EXPECT_EQ(cp.IsUpper(byte), b < 224) << b;
    EXPECT_EQ(b < 224 ? cp.LowerCase(byte) : cp.UpperCase(byte), b < 224 ? b + 32 : b - 32) << b;
  }
  // Yo and yo, outside the block.
  EXPECT_EQ(cp.UpperCase(static_cast<unsigned char>(0xB8)), 0xA8);
  EXPECT_EQ(cp.LowerCase(static_cast<unsigned char>(0xA8)), 0xB8);
  EXPECT_EQ(cp.ToUtf8("\xCF\xF0\xE8\xE2\xE5\xF2"),
            "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82");
  EXPECT_EQ(cp.UpperCase("\xEF\xF0\xE8\xE2\xE5\xF2 x"), "\xCF\xD0\xC8\xC2\xC5\xD2 X");
  // Punctuation is not a word character on any page.
  for (const TCodePage* page : CodePages())
    for (unsigned char c : std::string("!\"'()*+,-./:;=?[\\]^{|} \t"))
      EXPECT_FALSE(page->IsIdentChar(c)) << page->Name() << " " << c;
  // The Western page: times and divide are no letters.
  const TCodePage& west = *FindCodePage(1252);
  EXPECT_FALSE(west.IsIdentChar(215));
  EXPECT_FALSE(west.IsIdentChar(247));
  EXPECT_TRUE(west.IsIdentChar(192));
  EXPECT_TRUE(west.IsIdentChar('_'));
}

TEST(CodePages, ThePageInUseCanBeSwitchedAndReset) {
  SetCodePage(FindCodePage(1251));
  EXPECT_EQ(CodePage().Number(), 1251);
  EXPECT_EQ(CodePage().ToUnicode(0xC0), 0x0410u);
  SetCodePage(nullptr);
  EXPECT_EQ(CodePage().Number(), 1252);
  EXPECT_EQ(CodePage().ToUnicode(0xC0), 0x00C0u);
}
