#include "appcore/ParamHintScanner.h"

#include "base/SynCodePage.h"

namespace ludra {

bool IsHintIdentifierChar(unsigned char c) { return CodePage().IsIdentChar(c); }

namespace {

std::string UpperAsciiLetters(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return out;
}

// The first entry equal to name when letter case is ignored, or -1.
int IndexOfNoCase(const TStrings& names, std::string_view name) {
  const TCodePage& page = CodePage();
  std::string key = page.UpperCase(name);
  for (int k = 0; k < names.Count(); ++k) {
    std::string entry = names.Get(k);
    if (entry.size() == key.size() && page.UpperCase(entry) == key) return k;
  }
  return -1;
}

}  // namespace

TParamHint ScanParamHint(std::string_view line, int caretChar, const TStrings& names) {
  TParamHint hint;
  // i is 1-based: the character before the caret, or the last of the line.
  int length = static_cast<int>(line.size());
  int i = caretChar > length ? length : caretChar - 1;
  auto at = [&line](int pos) { return static_cast<unsigned char>(line[pos - 1]); };
  int count = 0;
  while (i > 0 && !hint.Found) {
    unsigned char c = at(i);
    if (c == ',') {
      ++count;
      --i;
    } else if (c == ')') {
      int depth = 1;
      --i;
      while (i > 0 && depth > 0) {
        if (at(i) == ')')
          ++depth;
        else if (at(i) == '(')
          --depth;
        --i;
      }
    } else if (c == '(') {
      int open = i;
      while (i > 0 && !IsHintIdentifierChar(at(i))) --i;
      if (i == 0) break;
      int end = i;
      while (i > 0 && IsHintIdentifierChar(at(i))) --i;
      std::string identifier = UpperAsciiLetters(line.substr(i, end - i));
      int k = IndexOfNoCase(names, identifier);
      if (k >= 0) {
        hint.Found = true;
        hint.NameIndex = k;
        hint.ParamIndex = count;
        hint.Identifier = std::move(identifier);
      } else {
        i = open - 1;
      }
    } else {
      --i;
    }
  }
  return hint;
}

}  // namespace ludra
