#include "appcore/HintText.h"

#include "appcore/PawnDeclarations.h"
#include "base/SynCodePage.h"
#include "completion/SynCompletionProposalForm.h"

namespace ludra {

namespace {

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// The line the hint window shows for these parameters.
std::string Shown(const std::vector<std::string>& parts, size_t first, size_t last) {
  std::string line;
  for (size_t i = first; i < last; ++i) line += (i > first ? " " : "") + parts[i];
  return line;
}

std::string Quoted(const std::vector<std::string>& parts) {
  std::string hint;
  for (size_t i = 0; i < parts.size(); ++i) {
    hint += i > 0 ? ",\"" : "\"";
    for (char c : parts[i]) {
      if (c == '"') hint += '"';
      hint += c;
    }
    hint += '"';
  }
  return hint;
}

}  // namespace

std::string ParamName(std::string_view param) {
  std::string_view s = TrimBlanks(param);
  if (s.starts_with("const ") || s.starts_with("const\t")) s = TrimBlanks(s.substr(6));
  if (s.starts_with("&")) s = TrimBlanks(s.substr(1));
  if (s.starts_with("{")) {
    size_t close = s.find("}:");
    if (close != std::string_view::npos) s = TrimBlanks(s.substr(close + 2));
  }
  s = DropLeadingTag(s);
  if (s.starts_with("...")) return "...";
  size_t end = 0;
  while (end < s.size() &&
         (CodePage().IsIdentChar(static_cast<unsigned char>(s[end])) || s[end] == '@'))
    ++end;
  return std::string(s.substr(0, end));
}

std::vector<std::string> HintParameters(std::string_view hint) {
  return SplitCommaText(std::string(hint));
}

THintLine FitHint(std::string_view hint, int index,
                  const std::function<int(std::string_view)>& width, int maxWidth) {
  std::vector<std::string> parts = HintParameters(hint);
  if (parts.empty() || width(Shown(parts, 0, parts.size())) <= maxWidth)
    return {std::string(hint), index};
  const std::string ellipsis = [] {
    std::string e = CodePage().FromUtf8("\xE2\x80\xA6", '\0');
    return e.size() == 1 && e[0] != '\0' ? e : std::string("...");
  }();
  size_t n = parts.size();
  size_t current = index < 0 ? 0 : std::min(static_cast<size_t>(index), n - 1);
  size_t first = current, last = current + 1;
  auto fits = [&](size_t a, size_t b) {
    std::string line =
        (a > 0 ? ellipsis + " " : "") + Shown(parts, a, b) + (b < n ? " " + ellipsis : "");
    return width(line) <= maxWidth;
  };
  // Widen to the right, then to the left, while the line still fits.
  for (bool grew = true; grew;) {
    grew = false;
    if (last < n && fits(first, last + 1)) ++last, grew = true;
    if (first > 0 && fits(first - 1, last)) --first, grew = true;
  }
  std::vector<std::string> shown;
  if (first > 0) shown.push_back(ellipsis);
  shown.insert(shown.end(), parts.begin() + static_cast<long>(first),
               parts.begin() + static_cast<long>(last));
  if (last < n) shown.push_back(ellipsis);
  int shownIndex = index < 0 || index >= static_cast<int>(n)
                       ? index
                       : index - static_cast<int>(first) + (first > 0 ? 1 : 0);
  return {Quoted(shown), shownIndex};
}

std::vector<std::string> WrapText(std::string_view text,
                                  const std::function<int(std::string_view)>& width, int maxWidth) {
  std::vector<std::string> lines;
  std::string line;
  for (size_t p = 0; p < text.size();) {
    size_t end = text.find(' ', p);
    if (end == std::string_view::npos) end = text.size();
    std::string_view word = text.substr(p, end - p);
    p = end + 1;
    if (word.empty()) continue;
    std::string longer = line.empty() ? std::string(word) : line + " " + std::string(word);
    if (!line.empty() && width(longer) > maxWidth) {
      lines.push_back(std::move(line));
      line = std::string(word);
    } else {
      line = std::move(longer);
    }
  }
  if (!line.empty()) lines.push_back(std::move(line));
  return lines;
}

std::vector<std::string> HintDocLines(const TDocComment& doc, std::string_view currentParam) {
  std::vector<std::string> lines;
  if (!doc.Summary.empty()) lines.push_back(doc.Summary);
  std::string name = ParamName(currentParam);
  std::string text = name.empty() ? std::string() : doc.Param(name);
  if (!text.empty()) lines.push_back(name + ": " + text);
  return lines;
}

}  // namespace ludra
