#include "base/SynCodePage.h"

#include <algorithm>
#include <atomic>
#include <memory>

namespace ludra {

namespace {

// The tables of every page on offer, generated at build time from the C
// library's converters (tools/GenCodePages.cpp).
struct TPageTables {
  int number;
  const char* name;
  uint32_t toUnicode[256];
  uint8_t flags[256];
  uint8_t upper[256];
  uint8_t lower[256];
};

const TPageTables kTables[] = {
#include "SynCodePageTables.inc"
};

class TGeneratedCodePage : public TCodePage {
 public:
  explicit TGeneratedCodePage(const TPageTables& t) {
    number_ = t.number;
    name_ = t.name;
    for (int c = 0; c < 256; ++c) {
      toUnicode_[c] = t.toUnicode[c];
      class_[c] = t.flags[c];
      upper_[c] = t.upper[c];
      lower_[c] = t.lower[c];
    }
    Finish();
  }
};

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

const std::vector<const TCodePage*>& Pages() {
  static const std::vector<std::unique_ptr<TGeneratedCodePage>> owned = [] {
    std::vector<std::unique_ptr<TGeneratedCodePage>> v;
    for (const TPageTables& t : kTables) v.push_back(std::make_unique<TGeneratedCodePage>(t));
    return v;
  }();
  static const std::vector<const TCodePage*> pages = [] {
    std::vector<const TCodePage*> v;
    for (const auto& p : owned) v.push_back(p.get());
    return v;
  }();
  return pages;
}

// Read by threads that scan include files while the window switches pages.
std::atomic<const TCodePage*> gPage{nullptr};

}  // namespace

void TCodePage::Finish() {
  identChars_.Clear();
  fromUnicode_.clear();
  for (int c = 0; c < 256; ++c) {
    bool ascii =
        (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
    if (ascii || (c >= 0x80 && IsAlpha(static_cast<unsigned char>(c)))) identChars_.Include(c);
    if (c >= 0x80) fromUnicode_.emplace_back(toUnicode_[c], static_cast<unsigned char>(c));
  }
  std::sort(fromUnicode_.begin(), fromUnicode_.end());
}

int TCodePage::FromUnicode(char32_t u) const {
  if (u < 0x80) return static_cast<int>(u);
  auto it = std::lower_bound(fromUnicode_.begin(), fromUnicode_.end(),
                             std::pair<char32_t, unsigned char>(u, 0));
  if (it != fromUnicode_.end() && it->first == u) return it->second;
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
      if ((cb & 0xC0) != 0x80)
        ok = false;
      else
        u = (u << 6) | (cb & 0x3F);
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
  const TCodePage& generated = *Pages().front();
  number_ = generated.Number();
  name_ = generated.Name();
  for (int c = 0; c < 256; ++c) {
    auto b = static_cast<unsigned char>(c);
    toUnicode_[c] = generated.ToUnicode(b);
    class_[c] = static_cast<uint8_t>((generated.IsAlpha(b) ? kAlpha : 0) |
                                     (generated.IsUpper(b) ? kUpper : 0) |
                                     (generated.IsLower(b) ? kLower : 0));
    upper_[c] = generated.UpperCase(b);
    lower_[c] = generated.LowerCase(b);
  }
  Finish();
}

const std::vector<const TCodePage*>& CodePages() { return Pages(); }

const TCodePage* FindCodePage(int number) {
  for (const TCodePage* page : Pages())
    if (page->Number() == number) return page;
  return nullptr;
}

const TCodePage& CodePage() {
  const TCodePage* page = gPage.load(std::memory_order_acquire);
  return page ? *page : *Pages().front();
}
void SetCodePage(const TCodePage* page) { gPage.store(page, std::memory_order_release); }

}  // namespace ludra
