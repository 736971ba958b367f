#pragma once
// The single-byte code page of document text: how bytes map to Unicode for
// display and input, and how letters are classified and case-mapped. One
// replaceable object: the pages on offer are built from generated tables, and
// the one in use can be switched while the program runs.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/SynCharSet.h"

namespace ludra {

class TCodePage {
 public:
  virtual ~TCodePage() = default;

  // The page's number (1252, 1251, 1250, 28591 for ISO-8859-1) and caption.
  int Number() const { return number_; }
  const std::string& Name() const { return name_; }

  char32_t ToUnicode(unsigned char c) const { return toUnicode_[c]; }
  // The byte for a Unicode character, or -1 when the page has none.
  int FromUnicode(char32_t u) const;

  bool IsAlpha(unsigned char c) const { return (class_[c] & kAlpha) != 0; }
  bool IsUpper(unsigned char c) const { return (class_[c] & kUpper) != 0; }
  bool IsLower(unsigned char c) const { return (class_[c] & kLower) != 0; }
  bool IsDigit(unsigned char c) const { return c >= '0' && c <= '9'; }
  bool IsAlnum(unsigned char c) const { return IsAlpha(c) || IsDigit(c); }
  // Identifier and word characters: digits, A-Z, a-z, the underscore and
  // every letter of the page above 127.
  bool IsIdentChar(unsigned char c) const { return identChars_.Contains(c); }
  const TSynCharSet& IdentChars() const { return identChars_; }
  unsigned char UpperCase(unsigned char c) const { return upper_[c]; }
  unsigned char LowerCase(unsigned char c) const { return lower_[c]; }
  std::string UpperCase(std::string_view s) const;
  std::string LowerCase(std::string_view s) const;

  // Document bytes to UTF-8 for display, and UTF-8 input back to bytes;
  // characters the page lacks become `replacement`.
  std::string ToUtf8(std::string_view bytes) const;
  std::string FromUtf8(std::string_view utf8, char replacement = '?') const;

 protected:
  enum : uint8_t { kAlpha = 1, kUpper = 2, kLower = 4 };
  TCodePage() = default;
  // Fills the identifier set and the reverse map from the tables.
  void Finish();
  int number_ = 0;
  std::string name_;
  std::array<char32_t, 256> toUnicode_{};
  std::array<uint8_t, 256> class_{};
  std::array<unsigned char, 256> upper_{};
  std::array<unsigned char, 256> lower_{};
  TSynCharSet identChars_;
  // (Unicode, byte) for the bytes above 127, sorted by Unicode.
  std::vector<std::pair<char32_t, unsigned char>> fromUnicode_;
};

// Windows-1252 display mapping with Latin-1 letter classification and case.
class TWindows1252CodePage : public TCodePage {
 public:
  TWindows1252CodePage();
};

// The pages on offer, Windows-1252 first.
const std::vector<const TCodePage*>& CodePages();
// The page with this number, or nullptr.
const TCodePage* FindCodePage(int number);

// The page in use for document text (Windows-1252 unless changed).
const TCodePage& CodePage();
void SetCodePage(const TCodePage* page);

}  // namespace ludra
