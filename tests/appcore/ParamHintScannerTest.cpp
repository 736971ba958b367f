#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "appcore/ParamHintScanner.h"

using namespace ludra;

namespace {

const TStringList& Names() {
  static const TStringList names{"SetTimer", "beep", "Text:make", " spaced", "\xC9T\xC9", "BEEP"};
  return names;
}

}  // namespace

TEST(ParamHintScan, FindsTheCalledNativeAndTheParameterBeingTyped) {
  struct Case {
    const char* line;
    int caret;      // 0: at the end of the line
    int nameIndex;  // -1: nothing found
    int param;
  } cases[] = {
      {"beep(", 0, 1, 0},
      {"beep(440, ", 0, 1, 1},
      {"x = beep(min(a, b), ", 0, 1, 1},  // the group and its comma are skipped
      {"beep((a), ", 0, 1, 1},
      {"beep(1, other(2, ", 0, 1, 1},  // commas of an unknown call do not count
      {"beep (", 0, 1, 0},
      {"  beep\t(", 0, 1, 0},
      {"beep(\"a,b\", ", 0, 1, 1},  // nor those in strings, literals and comments
      {"beep('\\,', ',', \"\\\",\", ", 0, 1, 3},
      {"beep(1, /* , */ 2, ", 0, 1, 2},
      {"beep(a[1], {1, 2}, ", 0, 1, 2},
      {"beep(1, \"a, b", 0, 1, 1},  // the caret inside a string of the call
      {"beep(1, 2) // beep(", 0, -1, 0},
      {"beep(x]", 0, 1, 0},
      {"x(", 0, -1, 0},
      {"beep(", 1, -1, 0},  // nothing before the caret
      {"BEEP(", 0, 1, 0},   // the first entry equal without case wins
      {"Beep(1,", 0, 1, 1},
      {"settimer(a, b, ", 0, 0, 2},
      {"beep(1, 2) + z", 7, 1, 0},
      {"beep(1, 2) + z", 9, 1, 1},
      {"beep(1, 2) + z", 0, -1, 0},  // after the closed call: nothing open
      {"beep(1,", 40, 1, 1},         // a caret past the end scans from the last character
      {"make(", 0, -1, 0},           // tags are part of the listed name
      {"a, (", 0, -1, 0},
      {"\xE9t\xE9(1, ", 0, 4, 1},  // 8-bit letters compare without case
      {"beep\xD7(", 0, 1, 0},      // the multiplication sign is no identifier character
      {"f(beep(2), 3, ", 0, -1, 0},
      {"))),,((", 0, -1, 0},
      {"", 1, -1, 0},
      {"", 0, -1, 0},
  };
  for (const Case& c : cases) {
    std::string line = c.line;
    int caret = c.caret ? c.caret : static_cast<int>(line.size()) + 1;
    SCOPED_TRACE(line + " @" + std::to_string(caret));
    TParamHint hint = ScanParamHint(line, caret, Names());
    EXPECT_EQ(hint.Found, c.nameIndex >= 0);
    EXPECT_EQ(hint.NameIndex, c.nameIndex);
    if (hint.Found) {
      EXPECT_EQ(hint.ParamIndex, c.param);
    }
  }
}

TEST(ParamHintScan, IdentifierIsUpperCasedInAsciiLettersOnly) {
  EXPECT_EQ(ScanParamHint("x = beep(", 10, Names()).Identifier, "BEEP");
  EXPECT_EQ(ScanParamHint("\xE9t\xE9(", 5, Names()).Identifier, "\xE9T\xE9");
}

TEST(ParamHintScan, IdentifierCharacters) {
  std::string ident;
  for (int c = 0; c < 256; ++c)
    if (IsHintIdentifierChar(static_cast<unsigned char>(c))) ident += static_cast<char>(c);
  // The letters of the page in use: on the Western page the ordinal signs
  // and micro, then 192..255 without times and divide.
  std::string want = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ_abcdefghijklmnopqrstuvwxyz\xAA\xB5\xBA";
  for (int c = 192; c < 256; ++c)
    if (c != 215 && c != 247) want += static_cast<char>(c);
  EXPECT_EQ(ident, want);
}

TEST(ParamHintScan, RandomLinesGiveConsistentAnswers) {
  std::mt19937 rng(18);
  const std::string alphabet = "(),  beptx_\"\xE9";
  for (int round = 0; round < 20000; ++round) {
    std::string line;
    int length = static_cast<int>(rng() % 24);
    for (int i = 0; i < length; ++i) line += alphabet[rng() % alphabet.size()];
    int caret = static_cast<int>(rng() % (length + 4));
    TParamHint hint = ScanParamHint(line, caret, Names());
    if (!hint.Found) continue;
    ASSERT_GE(hint.NameIndex, 0);
    ASSERT_LT(hint.NameIndex, Names().Count());
    ASSERT_EQ(hint.Identifier.size(), Names()[hint.NameIndex].size()) << line;
    // The parameter index never exceeds the commas before the caret.
    int limit = std::min(caret - 1, length);
    int commas = static_cast<int>(std::count(line.begin(), line.begin() + std::max(limit, 0), ','));
    ASSERT_LE(hint.ParamIndex, commas) << line;
  }
}
