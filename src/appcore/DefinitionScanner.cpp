#include "appcore/DefinitionScanner.h"

#include <algorithm>
#include <array>

#include "appcore/PawnDeclarations.h"
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

// Parameter lists longer than this many lines are taken for no header.
constexpr int kMaxHeaderLines = 64;

void TDefinitionScanner::AddLine(std::string_view line) {
  ++lineNo_;
  bool startsInComment = inComment_;
  std::string doc = DocAbove(Trim(line), startsInComment || inString_);
  // A header waiting for its body is settled by the next code; a line that
  // shows it had none may start a header itself.
  // A list goes on over indented lines; code at character 1 means it was
  // never closed (a call being typed), and that line is read afresh.
  if (pending_ && pending_->Depth > 0 && !startsInComment && !line.empty() && !IsBlank(line[0]) &&
      line[0] != ')' && line[0] != '/')
    pending_.reset();
  bool consumed = pending_ && (pending_->Depth > 0 || startsInComment);
  if (pending_) ContinuePending(line, 0, startsInComment, false);
  if (!consumed && !pending_ && !startsInComment && !inString_) {
    TakeDefinition(line, std::move(doc));
  }
  UpdateState(line);
}

std::string TDefinitionScanner::DocAbove(std::string_view trimmed, bool inComment) {
  TDocTracker::TSpan span =
      docs_.Next(trimmed, static_cast<size_t>(lineNo_), static_cast<size_t>(lineNo_) + 1);
  if (inComment || trimmed.empty() || trimmed.starts_with("//") || trimmed.starts_with("/*")) {
    commentLines_.emplace_back(trimmed);
    return {};
  }
  std::string doc;
  size_t count = span.End - span.Begin;
  for (size_t k = commentLines_.size() - std::min(count, commentLines_.size());
       k < commentLines_.size(); ++k)
    doc.append(commentLines_[k]).push_back('\n');
  commentLines_.clear();
  return doc;
}

void TDefinitionScanner::TakeDefinition(std::string_view line, std::string doc) {
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
  pending_.emplace();
  pending_->Function = {std::string(name), lineNo_,       std::string(Trim(line)), {},
                        forward,           std::move(doc)};
  ContinuePending(line, p, false, true);
}

void TDefinitionScanner::ContinuePending(std::string_view line, size_t start, bool inComment,
                                         bool header) {
  TPending& h = *pending_;
  std::string& params = h.Function.ParamText;
  size_t i = start, n = line.size();
  auto skipComment = [&]() {
    size_t end = line.find("*/", i);
    inComment = end == std::string_view::npos;
    i = inComment ? n : end + 2;
  };
  if (h.Depth > 0 || header) {
    if (!header) params += ' ';
    // The rest of the parameter list on this line.
    while (i < n && (h.Depth > 0 || (header && i == start))) {
      char c = line[i];
      if (inComment) {
        skipComment();
      } else if (c == '"' || c == '\'') {
        size_t end = SkipLiteral(line, i);
        params.append(line.substr(i, end - i));
        i = end;
      } else if (c == '/' && i + 1 < n && line[i + 1] == '/') {
        i = n;
      } else if (c == '/' && i + 1 < n && line[i + 1] == '*') {
        i += 2;
        skipComment();
      } else {
        if (c == '(') ++h.Depth;
        if (c == ')') --h.Depth;
        if (h.Depth > 0 && !(header && i == start)) params += c;
        ++i;
      }
    }
  }
  // A forward line declares without a body.
  bool done = h.Function.Forward;
  if (!done && h.Depth == 0) {
    // What follows the list decides: "{" is a body, any other code is none.
    while (i < n) {
      if (inComment) {
        skipComment();
      } else if (IsBlank(line[i])) {
        ++i;
      } else if (line[i] == '/' && i + 1 < n && line[i + 1] == '/') {
        i = n;
      } else if (line[i] == '/' && i + 1 < n && line[i + 1] == '*') {
        i += 2;
        skipComment();
      } else {
        if (line[i] == '{') Accept(std::move(h.Function));
        pending_.reset();
        return;
      }
    }
  }
  if (done) {
    Accept(std::move(h.Function));
    pending_.reset();
  } else if (++h.Lines > kMaxHeaderLines) {
    pending_.reset();
  }
}

void TDefinitionScanner::Accept(TScriptFunction f) {
  // Blanks of a list over several lines folded to one.
  std::string folded;
  for (char c : Trim(f.ParamText))
    if (!(IsBlank(c) && !folded.empty() && folded.back() == ' ')) folded += IsBlank(c) ? ' ' : c;
  f.ParamText = std::move(folded);
  auto found = byName_.find(f.Name);
  if (found != byName_.end()) {
    TScriptFunction& kept = functions_[found->second];
    // The definition, not its forward line, is where a double click leads.
    if (kept.Forward && !f.Forward) {
      if (f.Doc.empty()) f.Doc = std::move(kept.Doc);
      kept = std::move(f);
    }
    return;
  }
  byName_.emplace(f.Name, functions_.size());
  functions_.push_back(std::move(f));
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

std::string ScriptFunctionItem(const TScriptFunction& f) {
  std::string word;
  for (std::string_view w : {"public", "stock", "static", "forward"})
    if (f.Text.size() > w.size() && f.Text.starts_with(w) && IsBlank(f.Text[w.size()])) {
      word = w;
      break;
    }
  return word + " \\column{}\\style{+B}" + f.Name + "\\style{-B}(" + f.ParamText + ")";
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
