#include "appcore/DefinitionScanner.h"

#include <algorithm>
#include <array>

#include "base/SynCodePage.h"
#include "base/SynStrUtils.h"

namespace ludra {

namespace {

bool IsNameChar(char c) {
  auto b = static_cast<unsigned char>(c);
  return b == '@' || CodePage().IsIdentChar(b);
}

bool IsNameStart(char c) { return IsNameChar(c) && !(c >= '0' && c <= '9'); }

// Words that may stand at a line's start before "(" without naming a function.
bool IsReserved(std::string_view w) {
  static constexpr std::array<std::string_view, 29> kWords = {
      "assert", "break", "case",     "char",   "const",  "continue", "default", "defined",
      "do",     "else",  "enum",     "exit",   "for",    "forward",  "goto",    "if",
      "native", "new",   "operator", "public", "return", "sizeof",   "sleep",   "state",
      "static", "stock", "switch",   "tagof",  "while"};
  return std::find(kWords.begin(), kWords.end(), w) != kWords.end();
}

std::string_view Trim(std::string_view s) {
  size_t first = 0, last = s.size();
  while (first < last && static_cast<unsigned char>(s[first]) <= 32) ++first;
  while (last > first && static_cast<unsigned char>(s[last - 1]) <= 32) --last;
  return s.substr(first, last - first);
}

}  // namespace

void TDefinitionScanner::AddLine(std::string_view line) {
  ++lineNo_;
  if (!inComment_ && !inString_) TakeDefinition(line);
  UpdateState(line);
}

void TDefinitionScanner::TakeDefinition(std::string_view line) {
  size_t p = 0, n = line.size();
  auto word = [&]() {
    size_t start = p;
    if (p < n && IsNameStart(line[p]))
      while (p < n && IsNameChar(line[p])) ++p;
    return line.substr(start, p - start);
  };
  bool forward = false;
  std::string_view name = word();
  // Storage-class words, each followed by blanks.
  while ((name == "public" || name == "stock" || name == "static" || name == "forward") && p < n &&
         IsBlank(line[p])) {
    forward = forward || name == "forward";
    while (p < n && IsBlank(line[p])) ++p;
    name = word();
  }
  if (p < n && line[p] == ':' && !name.empty()) {  // a tag
    ++p;
    while (p < n && IsBlank(line[p])) ++p;
    name = word();
  }
  if (name.empty() || IsReserved(name)) return;
  while (p < n && IsBlank(line[p])) ++p;
  if (p >= n || line[p] != '(') return;
  size_t close = line.find(')', p + 1);
  std::string_view params =
      line.substr(p + 1, (close == std::string_view::npos ? n : close) - (p + 1));

  auto found = byName_.find(std::string(name));
  if (found != byName_.end()) {
    TScriptFunction& f = functions_[found->second];
    // The definition, not its forward line, is where a double click leads.
    if (f.Forward && !forward) {
      f.Line = lineNo_;
      f.Text = std::string(Trim(line));
      f.ParamText = std::string(params);
      f.Forward = false;
    }
    return;
  }
  byName_.emplace(std::string(name), functions_.size());
  functions_.push_back(
      {std::string(name), lineNo_, std::string(Trim(line)), std::string(params), forward});
}

void TDefinitionScanner::UpdateState(std::string_view line) {
  size_t n = line.size();
  for (size_t i = 0; i < n; ++i) {
    char c = line[i];
    if (inComment_) {
      if (c == '*' && i + 1 < n && line[i + 1] == '/') {
        inComment_ = false;
        ++i;
      }
    } else if (inString_) {
      if (c == '\\') {
        if (i + 1 == n) return;  // continued on the next line
        ++i;
      } else if (c == quote_) {
        inString_ = false;
      }
    } else if (c == '"' || c == '\'') {
      inString_ = true;
      quote_ = c;
    } else if (c == '/' && i + 1 < n && line[i + 1] == '/') {
      break;
    } else if (c == '/' && i + 1 < n && line[i + 1] == '*') {
      inComment_ = true;
      ++i;
    }
  }
  // A string without its closing quote ends with the line.
  inString_ = false;
}

std::vector<TScriptFunction> ScanDefinitions(std::string_view text) {
  TDefinitionScanner scanner;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      if (start < text.size()) scanner.AddLine(text.substr(start));
      break;
    }
    scanner.AddLine(text.substr(start, end - start));
    start = end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
  }
  return scanner.Functions();
}

}  // namespace ludra
