#include "appcore/ParamHintScanner.h"

#include <algorithm>
#include <vector>

#include "appcore/PawnDeclarations.h"
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
  // The text before the caret (the whole line for a caret past its end).
  size_t length = caretChar > static_cast<int>(line.size())
                      ? line.size()
                      : static_cast<size_t>(std::max(caretChar - 1, 0));
  std::string_view before = line.substr(0, length);
  // The brackets still open at the caret, innermost last, each with the
  // commas met at its own depth; strings, character literals and comments
  // count for nothing.
  struct TOpen {
    size_t pos;
    char closer;
    int commas;
  };
  std::vector<TOpen> open;
  for (size_t i = 0; i < before.size();) {
    char c = before[i];
    if (c == '"' || c == '\'') {
      i = SkipLiteral(before, i);
      continue;
    }
    if (c == '/' && i + 1 < before.size() && before[i + 1] == '/') break;
    if (c == '/' && i + 1 < before.size() && before[i + 1] == '*') {
      size_t end = before.find("*/", i + 2);
      i = end == std::string_view::npos ? before.size() : end + 2;
      continue;
    }
    if (c == '(') open.push_back({i, ')', 0});
    if (c == '[') open.push_back({i, ']', 0});
    if (c == '{') open.push_back({i, '}', 0});
    if (c == ')' || c == ']' || c == '}') {
      // A stray closer closes nothing; a mismatched one closes up to its pair.
      for (size_t k = open.size(); k-- > 0;)
        if (open[k].closer == c) {
          open.resize(k);
          break;
        }
    }
    if (c == ',' && !open.empty()) ++open.back().commas;
    ++i;
  }
  // The innermost call of a known name: the identifier before its "(",
  // past any non-identifier characters.
  for (size_t k = open.size(); k-- > 0;) {
    if (open[k].closer != ')') continue;
    size_t i = open[k].pos;
    while (i > 0 && !IsHintIdentifierChar(static_cast<unsigned char>(line[i - 1]))) --i;
    size_t end = i;
    while (i > 0 && IsHintIdentifierChar(static_cast<unsigned char>(line[i - 1]))) --i;
    if (i == end) continue;
    std::string identifier = UpperAsciiLetters(line.substr(i, end - i));
    int index = IndexOfNoCase(names, identifier);
    if (index < 0) continue;
    hint.Found = true;
    hint.NameIndex = index;
    hint.ParamIndex = open[k].commas;
    hint.Identifier = std::move(identifier);
    break;
  }
  return hint;
}

}  // namespace ludra
