#include "appcore/ParamHintScanner.h"

#include <algorithm>
#include <vector>

#include "appcore/PawnDeclarations.h"
#include "base/SynCodePage.h"

namespace ludra {

bool IsHintIdentifierChar(unsigned char c) { return CodePage().IsIdentChar(c); }

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsIdent(char c) { return IsHintIdentifierChar(static_cast<unsigned char>(c)); }

// A bracket still open, with the name directly before it (for "(") and the
// commas met at its own depth.
struct TOpen {
  char Closer;
  int Commas = 0;
  std::string_view Name;
};

// Reads the text before the caret line by line, keeping the brackets open
// at its end.
class TCallReader {
 public:
  void Line(std::string_view line, bool last) {
    size_t i = 0;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    const bool directive = !inComment_ && i < line.size() && line[i] == '#';
    const size_t depth = open_.size();
    while (i < line.size()) {
      if (inComment_) {
        size_t end = line.find("*/", i);
        if (end == std::string_view::npos) break;
        inComment_ = false;
        i = end + 2;
        continue;
      }
      char c = line[i];
      char next = i + 1 < line.size() ? line[i + 1] : '\0';
      if (c == '/' && next == '/') break;
      if (c == '/' && next == '*') {
        inComment_ = true;
        i += 2;
        continue;
      }
      if (c == '*' && next == '/') {
        // The text read began inside a comment: what came before was part of it.
        open_.clear();
        name_ = {};
        i += 2;
        continue;
      }
      if (IsIdent(c)) {
        size_t end = i;
        while (end < line.size() && IsIdent(line[end])) ++end;
        name_ = IsDigit(c) ? std::string_view() : line.substr(i, end - i);
        i = end;
        continue;
      }
      if (c == ' ' || c == '\t') {
        ++i;
        continue;
      }
      if (c == '"' || c == '\'') {
        i = SkipLiteral(line, i);
      } else {
        Punctuation(c);
        ++i;
      }
      name_ = {};
    }
    // A directive's brackets end with its line, unless it goes on.
    if (directive && !last && !line.ends_with("\\")) {
      open_.resize(std::min(open_.size(), depth));
      name_ = {};
    }
  }

  const std::vector<TOpen>& Open() const { return open_; }

 private:
  void Punctuation(char c) {
    switch (c) {
      case '(':
        open_.push_back({')', 0, name_});
        break;
      case '[':
        open_.push_back({']', 0, {}});
        break;
      case '{':
        open_.push_back({'}', 0, {}});
        break;
      case ')':
      case ']':
      case '}':
        // A mismatched closer closes up to its pair; one without a pair
        // closes nothing, so the depth never goes below the first line's.
        for (size_t k = open_.size(); k-- > 0;)
          if (open_[k].Closer == c) {
            open_.resize(k);
            break;
          }
        break;
      case ',':
        if (!open_.empty()) ++open_.back().Commas;
        break;
      default:
        break;
    }
  }

  std::vector<TOpen> open_;
  std::string_view name_;  // the identifier just read, until something else comes
  bool inComment_ = false;
};

}  // namespace

TParamHint ScanParamHint(std::span<const std::string_view> lines, int caretChar,
                         const TNameLookup& find) {
  TParamHint hint;
  if (lines.empty()) return hint;
  // The caret's line up to the character before the caret (the whole line
  // for a caret past its end), then as many whole lines above as the byte
  // bound allows.
  std::string_view caretLine = lines.back();
  size_t length = caretChar > static_cast<int>(caretLine.size())
                      ? caretLine.size()
                      : static_cast<size_t>(std::max(caretChar - 1, 0));
  std::string_view before = caretLine.substr(0, length);
  if (before.size() > HintBytesBack) before.remove_prefix(before.size() - HintBytesBack);
  size_t first = lines.size() - 1;
  size_t bytes = before.size();
  size_t above = std::min(lines.size() - 1, static_cast<size_t>(HintLinesBack));
  while (above-- > 0 && bytes + lines[first - 1].size() <= HintBytesBack)
    bytes += lines[--first].size();
  TCallReader reader;
  for (size_t k = first; k + 1 < lines.size(); ++k) reader.Line(lines[k], false);
  reader.Line(before, true);
  const std::vector<TOpen>& open = reader.Open();
  for (size_t k = open.size(); k-- > 0;) {
    if (open[k].Closer != ')' || open[k].Name.empty()) continue;
    int index = find(open[k].Name);
    if (index < 0) continue;
    hint.Found = true;
    hint.NameIndex = index;
    hint.ParamIndex = open[k].Commas;
    hint.Identifier = std::string(open[k].Name);
    break;
  }
  return hint;
}

TParamHint ScanParamHint(std::string_view line, int caretChar, const TStrings& names) {
  const std::string_view lines[] = {line};
  return ScanParamHint(lines, caretChar, [&names](std::string_view name) {
    return names.IndexOf(std::string(name));
  });
}

}  // namespace ludra
