#include "appcore/PawnDeclarations.h"

#include "base/SynCodePage.h"

namespace ludra {

namespace {

bool IsBlankChar(char c) { return c != '\0' && static_cast<unsigned char>(c) <= ' '; }

bool IsTagChar(char c) {
  auto b = static_cast<unsigned char>(c);
  return b == '@' || CodePage().IsIdentChar(b);
}

// The position past a comment starting at s[i] ("//" or "/*"), or i when
// none starts there.
size_t SkipComment(std::string_view s, size_t i) {
  if (s[i] != '/' || i + 1 >= s.size()) return i;
  if (s[i + 1] == '/') return s.size();
  if (s[i + 1] != '*') return i;
  size_t end = s.find("*/", i + 2);
  return end == std::string_view::npos ? s.size() : end + 2;
}

}  // namespace

size_t SkipLiteral(std::string_view s, size_t i) {
  char quote = s[i];
  for (++i; i < s.size(); ++i) {
    if (s[i] == '\\')
      ++i;
    else if (s[i] == quote)
      return i + 1;
  }
  return s.size();
}

std::string_view DropLeadingTag(std::string_view name) {
  size_t p = 0;
  if (p < name.size() && IsTagChar(name[p]) && !(name[p] >= '0' && name[p] <= '9'))
    while (p < name.size() && IsTagChar(name[p])) ++p;
  if (p == 0 || p >= name.size() || name[p] != ':') return name;
  ++p;
  while (p < name.size() && (name[p] == ' ' || name[p] == '\t')) ++p;
  return name.substr(p);
}

size_t MatchingParenthesis(std::string_view s, size_t open) {
  int depth = 0;
  for (size_t i = open; i < s.size();) {
    char c = s[i];
    if (c == '"' || c == '\'') {
      i = SkipLiteral(s, i);
      continue;
    }
    if (size_t past = SkipComment(s, i); past != i) {
      i = past;
      continue;
    }
    if (c == '(') ++depth;
    if (c == ')' && --depth == 0) return i;
    ++i;
  }
  return std::string_view::npos;
}

std::vector<std::string> SplitParameters(std::string_view paramText) {
  std::vector<std::string> params;
  std::string piece;
  bool blank = false;  // a blank is due before the next character
  auto put = [&](std::string_view text) {
    if (blank && !piece.empty()) piece += ' ';
    blank = false;
    piece += text;
  };
  int depth = 0;
  for (size_t i = 0; i < paramText.size();) {
    char c = paramText[i];
    if (c == '"' || c == '\'') {
      size_t end = SkipLiteral(paramText, i);
      put(paramText.substr(i, end - i));
      i = end;
      continue;
    }
    if (size_t past = SkipComment(paramText, i); past != i) {
      blank = true;
      i = past;
      continue;
    }
    ++i;
    if (IsBlankChar(c)) {
      blank = true;
    } else if (c == ',' && depth == 0) {
      if (piece.empty()) return params;
      params.push_back(std::move(piece));
      piece.clear();
      blank = false;
    } else {
      if (c == '(' || c == '[' || c == '{') ++depth;
      if ((c == ')' || c == ']' || c == '}') && depth > 0) --depth;
      put(std::string_view(&c, 1));
    }
  }
  if (!piece.empty()) params.push_back(std::move(piece));
  return params;
}

std::string ParamHintString(std::string_view paramText) {
  bool onlyBlanks = true;
  for (char c : paramText) onlyBlanks = onlyBlanks && (IsBlankChar(c) || c == '\0');
  if (paramText.empty() || onlyBlanks) return "\"/* No parameters expected */\"";
  std::vector<std::string> params = SplitParameters(paramText);
  std::string hint;
  for (size_t n = 0; n < params.size(); ++n) {
    hint += n == 0 ? "\"" : ",\"";
    for (char c : params[n]) {
      if (c == '"' || c == '\\') hint += c;
      hint += c;
    }
    if (n + 1 < params.size()) hint += ',';
    hint += '"';
  }
  return hint;
}

}  // namespace ludra
