#include "SynCodePage.h"

namespace ludra {

namespace {

// Bytes 0x80..0x9F as Windows-1252 shows them; the five unassigned bytes map
// to the C1 control of the same value so that they survive a round trip.
constexpr char32_t kHigh1252[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t u) {
  if (u < 0x80) {
    out += static_cast<char>(u);
  } else if (u < 0x800) {
    out += static_cast<char>(0xC0 | (u >> 6));
    out += static_cast<char>(0x80 | (u & 0x3F));
  } else if (u < 0x10000) {
    out += static_cast<char>(0xE0 | (u >> 12));
    out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (u & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (u >> 18));
    out += static_cast<char>(0x80 | ((u >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (u & 0x3F));
  }
}

const TWindows1252CodePage kDefaultPage;
const TCodePage* gPage = &kDefaultPage;

}  // namespace

int TCodePage::FromUnicode(char32_t u) const {
  if (u < 0x80) return static_cast<int>(u);
  for (int c = 0x80; c < 256; ++c)
    if (toUnicode_[c] == u) return c;
  return -1;
}

std::string TCodePage::UpperCase(std::string_view s) const {
  std::string r(s);
  for (char& c : r) c = static_cast<char>(upper_[static_cast<unsigned char>(c)]);
  return r;
}

std::string TCodePage::LowerCase(std::string_view s) const {
  std::string r(s);
  for (char& c : r) c = static_cast<char>(lower_[static_cast<unsigned char>(c)]);
  return r;
}

std::string TCodePage::ToUtf8(std::string_view bytes) const {
  std::string out;
  out.reserve(bytes.size());
  for (unsigned char c : bytes) AppendUtf8(out, toUnicode_[c]);
  return out;
}

std::string TCodePage::FromUtf8(std::string_view utf8, char replacement) const {
  std::string out;
  out.reserve(utf8.size());
  size_t i = 0;
  while (i < utf8.size()) {
    unsigned char b = static_cast<unsigned char>(utf8[i]);
    char32_t u;
    size_t n;
    if (b < 0x80) {
      u = b;
      n = 1;
    } else if ((b & 0xE0) == 0xC0) {
      u = b & 0x1F;
      n = 2;
    } else if ((b & 0xF0) == 0xE0) {
      u = b & 0x0F;
      n = 3;
    } else if ((b & 0xF8) == 0xF0) {
      u = b & 0x07;
      n = 4;
    } else {
      out += replacement;
      ++i;
      continue;
    }
    bool ok = i + n <= utf8.size();
    for (size_t k = 1; ok && k < n; ++k) {
      unsigned char cb = static_cast<unsigned char>(utf8[i + k]);
      if ((cb & 0xC0) != 0x80) ok = false;
      else u = (u << 6) | (cb & 0x3F);
    }
    if (!ok) {
      out += replacement;
      ++i;
      continue;
    }
    int c = FromUnicode(u);
    out += c < 0 ? replacement : static_cast<char>(c);
    i += n;
  }
  return out;
}

TWindows1252CodePage::TWindows1252CodePage() {
  for (int c = 0; c < 256; ++c) {
    toUnicode_[c] = (c >= 0x80 && c < 0xA0) ? kHigh1252[c - 0x80] : static_cast<char32_t>(c);
    upper_[c] = lower_[c] = static_cast<unsigned char>(c);
  }
  auto setUpperLower = [&](int up, int low) {
    class_[up] = kAlpha | kUpper;
    class_[low] = kAlpha | kLower;
    lower_[up] = static_cast<unsigned char>(low);
    upper_[low] = static_cast<unsigned char>(up);
  };
  for (int c = 'A'; c <= 'Z'; ++c) setUpperLower(c, c + 32);
  for (int c = 0xC0; c <= 0xDE; ++c)
    if (c != 0xD7) setUpperLower(c, c + 32);
  // Latin-1 lower-case letters without a single-byte capital.
  for (int c : {0xAA, 0xB5, 0xBA, 0xDF, 0xFF}) class_[c] = kAlpha | kLower;
}

const TCodePage& CodePage() { return *gPage; }
void SetCodePage(const TCodePage* page) { gPage = page ? page : &kDefaultPage; }

}  // namespace ludra
