#include "appcore/DeclarationReader.h"

#include <array>
#include <deque>
#include <optional>
#include <span>
#include <unordered_set>

#include "appcore/PreprocessorExpression.h"
#include "base/SynCodePage.h"

namespace ludra {

namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// The doc comments read and not yet attached, as the compiler keeps them: a
// queue of pieces (one per comment line) in which a variable or constant
// declaration, or the body of a function without braces, puts a separator
// so that later comments go to the next declaration.
class TDocQueue {
 public:
  bool Empty() const { return items_.empty(); }
  void Add(std::string_view piece) {
    piece = TrimBlanks(piece);
    if (piece.empty() || bytes_ >= kMaxDocBytes) return;
    piece = piece.substr(0, kMaxDocBytes - bytes_);
    bytes_ += piece.size();
    items_.push_back({std::string(piece), false});
  }
  void Separator() { items_.push_back({{}, true}); }
  // The pieces before the first separator joined by blanks, taken out of
  // the queue with that separator.
  std::string Attach() {
    std::string doc = Peek();
    while (!items_.empty()) {
      bool sep = items_.front().Sep;
      bytes_ -= items_.front().Text.size();
      items_.pop_front();
      if (sep) break;
    }
    return doc;
  }
  std::string Peek() const {
    std::string doc;
    for (const TItem& item : items_) {
      if (item.Sep) break;
      if (!doc.empty()) doc += ' ';
      doc += item.Text;
    }
    return doc;
  }

 private:
  struct TItem {
    std::string Text;
    bool Sep;
  };
  std::deque<TItem> items_;
  size_t bytes_ = 0;
};

enum TTokenKind : uint8_t { tkEnd, tkIdent, tkNumber, tkString, tkPunct };

struct TToken {
  TTokenKind Kind = tkEnd;
  std::string_view Text;  // in the reader's kept lines
  int Line = 0;
  bool LineStart = false;    // the first token of its line
  bool Column1 = false;      // and at the line's very first character
  bool SpaceBefore = false;  // blanks, a comment or a line end before it
  bool Is(std::string_view s) const { return Kind != tkEnd && Text == s; }
  bool IsPunct(char c) const { return Kind == tkPunct && Text[0] == c; }
};

// Words a declaration cannot hold: a line starting with one of them starts
// a declaration of its own ("const" does start parameters, too).
bool IsDeclarationWord(const TToken& t, bool inParams = false) {
  static constexpr std::array<std::string_view, 8> kWords = {
      "native", "forward", "public", "stock", "static", "new", "enum", "const"};
  if (t.Kind != tkIdent) return false;
  for (std::string_view w : kWords)
    if (t.Text == w) return !(inParams && w == "const");
  return false;
}

bool IsClassWord(std::string_view w) {
  return w == "new" || w == "public" || w == "static" || w == "stock" || w == "const";
}

bool IsReserved(std::string_view w) {
  static constexpr std::array<std::string_view, 29> kWords = {
      "assert", "break", "case",   "char",     "const",  "continue", "default", "defined",
      "do",     "else",  "enum",   "exit",     "for",    "forward",  "goto",    "if",
      "native", "new",   "public", "operator", "return", "sizeof",   "sleep",   "state",
      "static", "stock", "switch", "tagof",    "while"};
  for (std::string_view k : kWords)
    if (w == k) return true;
  return false;
}

// #if states of one level.
enum TCondition : uint8_t {
  cnTaking,     // known true: read
  cnSeeking,    // known false so far: skipped until a branch is true
  cnDone,       // a branch was taken: the rest is skipped
  cnUnknown,    // not known here: every branch is read
  cnOuterSkip,  // inside a skipped part
};

class TReader {
 public:
  explicit TReader(std::string_view text) : text_(text) {
    // Lines are kept, comments blanked, in one buffer that never moves:
    // tokens point into it.
    stripped_.reserve(text.size() + 1);
    const TCodePage& page = CodePage();
    for (int c = 0; c < 256; ++c)
      ident_[c] = c == '@' || page.IsIdentChar(static_cast<unsigned char>(c));
  }

  TFileDeclarations Run() {
    for (TToken t = Next(); t.Kind != tkEnd; t = Next()) TopLevel(t);
    return std::move(out_);
  }

 private:
  // --- Lines ---------------------------------------------------------------
  // The next line, with lines ending in "\" joined to it; false at the end.
  bool ReadLine() {
    if (ended_ || pos_ >= text_.size()) return false;
    const size_t start = stripped_.size();
    lineNo_ = nextLineNo_;
    joins_.clear();
    bool more = true, first = true;
    while (more && pos_ < text_.size()) {
      size_t end = pos_;
      while (end < text_.size() && text_[end] != '\n' && text_[end] != '\r') ++end;
      std::string_view physical = text_.substr(pos_, end - pos_);
      pos_ = end + (end + 1 < text_.size() && text_[end] == '\r' && text_[end + 1] == '\n' ? 2 : 1);
      if (!first) {
        while (!physical.empty() && IsBlank(physical.front())) physical.remove_prefix(1);
        joins_.push_back({stripped_.size() - start, nextLineNo_});
      }
      ++nextLineNo_;
      first = false;
      size_t last = physical.size();
      while (last > 0 && IsBlank(physical[last - 1])) --last;
      more = last > 0 && physical[last - 1] == '\\';
      stripped_.append(physical.substr(0, more ? last - 1 : physical.size()));
    }
    line_ = std::span<char>(stripped_.data() + start, stripped_.size() - start);
    return true;
  }

  int LineAt(size_t offset) const {
    int line = lineNo_;
    for (const auto& [at, no] : joins_)
      if (offset >= at) line = no;
    return line;
  }

  // Comments become blanks; doc comments go to the queue, as the compiler's
  // comment stripping puts them.
  void StripComments() {
    bool singleline = prevSingleline_;
    prevSingleline_ = false;
    std::string piece;
    bool skipStar = true;
    const size_t n = line_.size();
    auto at = [&](size_t k) { return k < n ? line_[k] : '\0'; };
    for (size_t i = 0; i < n;) {
      if (inComment_) {
        if (line_[i] == '*' && at(i + 1) == '/') {
          if (docComment_) docs_.Add(piece);
          piece.clear();
          inComment_ = false;
          line_[i] = line_[i + 1] = ' ';
          i += 2;
          continue;
        }
        char c = line_[i];
        if (docComment_ && !(skipStar && (IsBlank(c) || c == '*'))) {
          if (piece.size() < kMaxDocBytes) piece += c;
          skipStar = false;
        }
        line_[i++] = ' ';
      } else if (line_[i] == '/' && at(i + 1) == '*') {
        inComment_ = true;
        // "/**" and a blank (or the line's end) open a doc comment; one
        // outside a function ends the comment collected before it.
        docComment_ = at(i + 2) == '*' && IsBlank(at(i + 3));
        if (docComment_ && !inFunction_ && !docs_.Empty()) docs_.Attach();
        piece.clear();
        skipStar = true;
        line_[i] = line_[i + 1] = ' ';
        i += 2;
        if (docComment_) line_[i++] = ' ';
      } else if (line_[i] == '/' && at(i + 1) == '/') {
        if (at(i + 2) == '/' && IsBlank(at(i + 3))) {
          // A run of "///" lines is one comment.
          if (!singleline && !inFunction_ && !docs_.Empty()) docs_.Attach();
          docs_.Add(Line().substr(std::min(i + 3, n)));
          prevSingleline_ = true;
        }
        for (size_t k = i; k < n; ++k) line_[k] = ' ';
        break;
      } else if (line_[i] == '"' || line_[i] == '\'') {
        i = SkipLiteral(i);
      } else {
        ++i;
      }
    }
    if (inComment_ && docComment_) docs_.Add(piece);
  }

  size_t SkipLiteral(size_t i) const {
    char quote = line_[i];
    for (++i; i < line_.size(); ++i) {
      if (line_[i] == '\\')
        ++i;
      else if (line_[i] == quote)
        return i + 1;
    }
    return line_.size();
  }

  // --- Directives ------------------------------------------------------------
  bool Reading() const {
    for (TCondition c : conditions_)
      if (c != cnTaking && c != cnUnknown) return false;
    return true;
  }
  bool Certain() const {
    for (TCondition c : conditions_)
      if (c != cnTaking) return false;
    return true;
  }

  void Directive(std::string_view d) {
    size_t p = 0;
    while (p < d.size() && IsBlank(d[p])) ++p;
    size_t w = p;
    while (p < d.size() && ident_[static_cast<unsigned char>(d[p])]) ++p;
    std::string_view word = d.substr(w, p - w);
    std::string_view rest = d.substr(p);
    if (word == "if") {
      conditions_.push_back(!Reading() ? cnOuterSkip : Evaluate(rest));
    } else if (word == "elseif" || word == "else") {
      if (conditions_.empty()) return;
      TCondition& c = conditions_.back();
      if (c == cnTaking || c == cnDone)
        c = cnDone;
      else if (c == cnSeeking)
        c = word == "else" ? cnTaking : Evaluate(rest);
    } else if (word == "endif") {
      if (!conditions_.empty()) conditions_.pop_back();
    } else if (!Reading()) {
      return;
    } else if (word == "endinput") {
      if (Certain()) ended_ = true;
    } else if (word == "include" || word == "tryinclude") {
      Include(rest, word == "tryinclude");
    } else if (word == "define") {
      Define(rest);
    } else if (word == "undef") {
      defined_.erase(std::string(TrimBlanks(rest)));
    }
  }

  TCondition Evaluate(std::string_view expr) const {
    std::optional<long long> v =
        EvaluatePreprocessorExpression(expr, [this](std::string_view name) -> std::optional<bool> {
          if (defined_.count(std::string(name))) return true;
          return std::nullopt;
        });
    return !v ? cnUnknown : *v ? cnTaking : cnSeeking;
  }

  void Include(std::string_view rest, bool tryInclude) {
    rest = TrimBlanks(rest);
    if (rest.empty()) return;
    TIncludeDirective d;
    d.Try = tryInclude;
    d.Line = lineNo_;
    char end = 0;
    if (rest[0] == '<' || rest[0] == '"') {
      d.Angle = rest[0] == '<';
      end = d.Angle ? '>' : '"';
      rest.remove_prefix(1);
      size_t close = rest.find(end);
      if (close == std::string_view::npos) return;
      rest = rest.substr(0, close);
    }
    d.Name = std::string(TrimBlanks(rest));
    if (!d.Name.empty()) out_.Includes.push_back(std::move(d));
  }

  void Define(std::string_view rest) {
    size_t p = 0;
    while (p < rest.size() && IsBlank(rest[p])) ++p;
    size_t start = p;
    while (p < rest.size() && !IsBlank(rest[p])) ++p;
    std::string_view pattern = rest.substr(start, p - start);
    std::string_view value = TrimBlanks(rest.substr(p));
    size_t nameEnd = 0;
    while (nameEnd < pattern.size() && ident_[static_cast<unsigned char>(pattern[nameEnd])])
      ++nameEnd;
    std::string_view name = pattern.substr(0, nameEnd);
    if (name.empty() || (name[0] >= '0' && name[0] <= '9')) return;
    defined_.insert(std::string(name));
    TDeclaration d;
    d.Name = std::string(name);
    d.Line = lineNo_;
    d.Text = "#define " + std::string(pattern) + (value.empty() ? "" : " ") +
             std::string(value.substr(0, 200));
    // A macro is no symbol of the compiler, which gives its doc comment to
    // the next declaration; it shows it too.
    d.Doc = docs_.Peek();
    if (nameEnd == pattern.size()) {
      d.Kind = TEntryKind::Define;
      d.Detail = std::string(value.substr(0, 200));
    } else if (pattern[nameEnd] == '(') {
      size_t close = pattern.rfind(')');
      if (close == std::string_view::npos || close < nameEnd) return;
      d.Kind = TEntryKind::Macro;
      d.Params = std::string(pattern.substr(nameEnd + 1, close - nameEnd - 1));
    } else if (pattern[nameEnd] == ':') {
      Prefix(name, pattern.substr(nameEnd + 1), value);
      return;
    } else {
      return;
    }
    out_.Entries.push_back(std::move(d));
  }

  // "CMD:%1(%2)" with a body naming "cmd_%1(": the slot's word in the body.
  void Prefix(std::string_view prefix, std::string_view after, std::string_view body) {
    if (after.size() < 2 || after[0] != '%') return;
    std::string_view slot = after.substr(0, 2);
    for (size_t at = body.find(slot); at != std::string_view::npos; at = body.find(slot, at + 1)) {
      size_t b = at, e = at + 2;
      auto wordChar = [&](char c) { return c == '%' || ident_[static_cast<unsigned char>(c)]; };
      while (b > 0 && wordChar(body[b - 1])) --b;
      while (e < body.size() && wordChar(body[e])) ++e;
      size_t paren = e;
      while (paren < body.size() && IsBlank(body[paren])) ++paren;
      if (paren < body.size() && body[paren] == '(') {
        out_.Prefixes.push_back(
            {std::string(prefix), std::string(body.substr(b, e - b)), std::string(slot)});
        return;
      }
    }
  }

  // --- Tokens -------------------------------------------------------------------
  void Tokenize() {
    const std::string_view kept = Line();
    const size_t n = line_.size();
    bool space = true;
    for (size_t i = 0; i < n;) {
      char c = line_[i];
      if (IsBlank(c)) {
        space = true;
        ++i;
        continue;
      }
      TToken t;
      t.Line = LineAt(i);
      t.LineStart = tokens_.size() == tokenAt_;
      t.Column1 = i == 0;
      t.SpaceBefore = space;
      size_t start = i;
      auto uc = [](char x) { return static_cast<unsigned char>(x); };
      if (ident_[uc(c)] && !(c >= '0' && c <= '9')) {
        while (i < n && ident_[uc(line_[i])]) ++i;
        t.Kind = tkIdent;
      } else if (c >= '0' && c <= '9') {
        while (i < n && (ident_[uc(line_[i])] || line_[i] == '.')) ++i;
        t.Kind = tkNumber;
      } else if (c == '"' || c == '\'') {
        i = SkipLiteral(i);
        t.Kind = tkString;
      } else {
        ++i;
        t.Kind = tkPunct;
      }
      t.Text = kept.substr(start, i - start);
      tokens_.push_back(std::move(t));
      space = false;
    }
  }

  // The next token, reading lines as needed; tkEnd at the end.
  TToken Next() {
    if (!pushed_.empty()) {
      TToken t = std::move(pushed_.back());
      pushed_.pop_back();
      return t;
    }
    while (tokenAt_ == tokens_.size()) {
      tokens_.clear();
      tokenAt_ = 0;
      if (!ReadLine()) return {};
      StripComments();
      size_t first = 0;
      while (first < line_.size() && IsBlank(line_[first])) ++first;
      if (first < line_.size() && line_[first] == '#') {
        Directive(Line().substr(first + 1));
      } else if (Reading()) {
        Tokenize();
      }
    }
    return tokens_[tokenAt_++];
  }
  void Push(TToken t) { pushed_.push_back(std::move(t)); }
  TToken Peek() {
    TToken t = Next();
    pushed_.push_back(t);
    return t;
  }
  // The rest of the current line is dropped, as the compiler drops it after
  // a declaration it cannot read.
  void DropLine(int line) {
    for (TToken t = Next();; t = Next())
      if (t.Kind == tkEnd || t.Line != line || t.LineStart) {
        Push(std::move(t));
        return;
      }
  }

  static void Append(std::string& text, const TToken& t) {
    if (text.size() >= kMaxDeclarationBytes) return;
    if (t.SpaceBefore && !text.empty()) text += ' ';
    text += t.Text;
  }

  // --- Declarations -------------------------------------------------------------
  void TopLevel(TToken t) {
    if (t.Kind == tkPunct) {
      // A stray "{" opens a body whose end must still be found.
      if (t.IsPunct('{')) SkipBody();
      return;
    }
    if (t.Kind != tkIdent) return;
    if (t.Text == "native" || t.Text == "forward") return FuncStub(t);
    if (t.Text == "enum") return Enum(t);
    if (t.Text == "const" && !Peek().Is("new")) return Constants(t);
    if (t.Text == "static" && Peek().Is("enum")) return Enum(Next());
    if (IsClassWord(t.Text)) return DeclFuncVar(t);
    Definition(t);
  }

  // An optional "Tag:" or "{Tag1, Tag2}:" before a name.
  std::string OptionalTag(std::string& text) {
    TToken t = Next();
    if (t.Kind == tkIdent) {
      TToken colon = Next();
      if (colon.IsPunct(':')) {
        Append(text, t);
        Append(text, colon);
        return std::string(t.Text);
      }
      Push(std::move(colon));
    } else if (t.IsPunct('{')) {
      std::string group(t.Text);
      for (TToken g = Next();; g = Next()) {
        if (g.Kind == tkEnd || g.LineStart || group.size() > 256) {
          Push(std::move(g));
          return {};
        }
        Append(group, g);
        if (g.IsPunct('}')) break;
      }
      TToken colon = Next();
      if (colon.IsPunct(':')) {
        Append(text, t);
        text += group.substr(1);
        text += ':';
        return {};
      }
      Push(std::move(colon));
      // Not a tag group: nothing of it is taken.
      return {};
    }
    Push(std::move(t));
    return {};
  }

  // native and forward declarations; the doc goes with them at their ")".
  void FuncStub(const TToken& word) {
    TDeclaration d;
    d.Kind = word.Text == "native" ? TEntryKind::Native : TEntryKind::Function;
    d.Word = std::string(word.Text);
    d.Prototype = d.Kind == TEntryKind::Function;
    Append(d.Text, word);
    if (d.Prototype) {
      TToken w = Next();
      if (w.Is("public") || w.Is("stock") || w.Is("static"))
        Append(d.Text, w);
      else
        Push(std::move(w));
    }
    d.Tag = OptionalTag(d.Text);
    if (!ReadName(d)) return DropLine(word.Line);
    TToken open = Next();
    if (!open.IsPunct('(')) {
      Push(std::move(open));
      return DropLine(word.Line);
    }
    Append(d.Text, open);
    if (!ReadParams(d, word.Line)) return;
    d.Doc = docs_.Attach();
    SkipStates();
    if (d.Kind == TEntryKind::Native) {
      // native name(...) = other;
      TToken eq = Next();
      if (eq.IsPunct('=') && !Peek().LineStart)
        Next();
      else
        Push(std::move(eq));
    }
    TToken semi = Next();
    if (semi.IsPunct(';') && !semi.LineStart)
      Append(d.Text, semi);
    else
      Push(std::move(semi));
    out_.Entries.push_back(std::move(d));
  }

  // The name after a tag: an identifier, or an operator's.
  bool ReadName(TDeclaration& d) {
    TToken t = Next();
    if (t.Kind != tkIdent || (IsReserved(t.Text) && t.Text != "operator")) {
      Push(std::move(t));
      return false;
    }
    d.Line = t.Line;
    Append(d.Text, t);
    d.Name = std::string(t.Text);
    if (t.Text == "operator") {
      for (TToken op = Next(); op.Kind == tkPunct && !op.IsPunct('('); op = Next()) {
        d.Name += op.Text;
        d.Text += op.Text;
        if (Peek().IsPunct('(')) break;
      }
    }
    return true;
  }

  // From after "(" to the ")" that closes it: false, with nothing taken,
  // when a line that starts another declaration, a ";" or the bounds come
  // first (that token is read afresh).
  bool ReadParams(TDeclaration& d, int firstLine) {
    int depth = 1, nested = 0;
    for (TToken t = Next();; t = Next()) {
      bool stop =
          t.Kind == tkEnd || t.IsPunct(';') ||
          (t.LineStart &&
           (IsDeclarationWord(t, true) || (t.Column1 && (t.IsPunct('{') || t.IsPunct('}'))))) ||
          t.Line - firstLine >= kMaxDeclarationLines || d.Params.size() >= kMaxDeclarationBytes;
      if (stop) {
        Push(std::move(t));
        return false;
      }
      if (t.IsPunct('(')) ++depth;
      if (t.IsPunct('[') || t.IsPunct('{')) ++nested;
      if ((t.IsPunct(']') || t.IsPunct('}')) && nested > 0) --nested;
      if (t.IsPunct(')') && --depth == 0) {
        Append(d.Text, t);
        return true;
      }
      Append(d.Params, t);
      Append(d.Text, t);
    }
  }

  // A state specifier: "<name>" or "<automaton:a, b>".
  void SkipStates() {
    TToken t = Next();
    if (!t.IsPunct('<')) return Push(std::move(t));
    for (TToken s = Next();; s = Next()) {
      if (s.Kind == tkEnd || s.LineStart) return Push(std::move(s));
      if (s.IsPunct('>')) return;
    }
  }

  // public, stock, static and new: a function when "(" follows the name,
  // else variables.
  void DeclFuncVar(const TToken& first) {
    std::string text;
    Append(text, first);
    std::string word(first.Text);
    bool isNew = first.Text == "new";
    for (TToken w = Next();; w = Next()) {
      if (w.Kind != tkIdent || !IsClassWord(w.Text)) {
        Push(std::move(w));
        break;
      }
      Append(text, w);
      isNew = isNew || w.Text == "new";
    }
    TDeclaration d;
    d.Text = text;
    d.Tag = OptionalTag(d.Text);
    if (!ReadName(d)) return DropLine(first.Line);
    TToken open = Peek();
    if (!isNew && open.IsPunct('(')) {
      d.Word = word;
      return Function(std::move(d), first.Line);
    }
    d.Word = word;
    Variables(std::move(d));
  }

  // A plain function, a macro word's ("hook OnX(", "timer T[100](") or a
  // prefix macro's ("CMD:name("); a prototype without "forward" gives
  // nothing, as the compiler keeps no doc for it.
  void Definition(const TToken& first) {
    if (IsReserved(first.Text) && first.Text != "operator") return DropLine(first.Line);
    TDeclaration d;
    Push(first);
    d.Tag = OptionalTag(d.Text);
    if (!ReadName(d)) return DropLine(first.Line);
    TToken next = Peek();
    if (next.Kind == tkIdent && d.Tag.empty() && !IsReserved(next.Text)) {
      d.Word = d.Name;
      if (!ReadName(d)) return DropLine(first.Line);
      // timer Name[1000](...)
      if (Peek().IsPunct('[')) {
        for (TToken t = Next(); t.Kind != tkEnd && !t.IsPunct(']'); t = Next())
          if (t.LineStart) return Push(std::move(t));
      }
      next = Peek();
    }
    if (!next.IsPunct('(')) return DropLine(first.Line);
    Function(std::move(d), first.Line);
  }

  void Function(TDeclaration d, int firstLine) {
    d.Kind = TEntryKind::Function;
    Append(d.Text, Next());  // "("
    if (!ReadParams(d, firstLine)) return;
    SkipStates();
    TToken t = Next();
    if (t.IsPunct(';') || t.Kind == tkEnd) return;  // a prototype
    // A header with nothing after it, followed by a line at the first
    // character: a call being typed, or a function without a body.
    if (!t.IsPunct('{') && t.LineStart && (t.Column1 || IsDeclarationWord(t)))
      return Push(std::move(t));
    size_t index = out_.Entries.size();
    out_.Entries.push_back(std::move(d));
    inFunction_ = true;
    if (t.IsPunct('{')) {
      SkipBody();
    } else {
      // A body of one statement: comments after it are for the next
      // declaration.
      docs_.Separator();
      Push(std::move(t));
      SkipStatement();
    }
    inFunction_ = false;
    out_.Entries[index].Doc = docs_.Attach();
  }

  // Up to the "}" that closes the body. A line starting at its first
  // character with a declaration word ends a body whose "}" is missing.
  void SkipBody() {
    int depth = 1;
    for (TToken t = Next(); t.Kind != tkEnd; t = Next()) {
      if (t.Column1 && t.LineStart &&
          (t.Is("native") || t.Is("forward") || t.Is("public") || t.Is("stock")))
        return Push(std::move(t));
      if (t.IsPunct('{')) ++depth;
      if (t.IsPunct('}') && --depth == 0) return;
    }
  }

  // A body of one statement. Only an "if" makes the compiler look past its
  // end (for an "else"), and so read the comments after it.
  void SkipStatement() {
    int depth = 0;
    bool isIf = false;
    for (TToken t = Next(); t.Kind != tkEnd; t = Next()) {
      if (t.Column1 && t.LineStart && IsDeclarationWord(t)) return Push(std::move(t));
      if (depth == 0 && (t.Is("if") || t.Is("else"))) isIf = t.Is("if");
      bool closed = false;
      if (t.IsPunct('(') || t.IsPunct('[') || t.IsPunct('{')) ++depth;
      if ((t.IsPunct(')') || t.IsPunct(']') || t.IsPunct('}')) && depth > 0)
        closed = --depth == 0 && t.IsPunct('}');
      if (depth == 0 && (closed || t.IsPunct(';')) && !(isIf && Peek().Is("else"))) return;
    }
  }

  // An initializer or a constant's value: up to "," or ";" outside
  // brackets, or a line that starts another declaration.
  void SkipValue(int firstLine) {
    int depth = 0;
    for (TToken t = Next();; t = Next()) {
      if (t.Kind == tkEnd || (t.LineStart && IsDeclarationWord(t)) ||
          t.Line - firstLine >= kMaxDeclarationLines)
        return Push(std::move(t));
      if (t.IsPunct('(') || t.IsPunct('[') || t.IsPunct('{')) ++depth;
      if ((t.IsPunct(')') || t.IsPunct(']') || t.IsPunct('}')) && depth > 0) --depth;
      if (depth == 0 && (t.IsPunct(',') || t.IsPunct(';'))) return Push(std::move(t));
    }
  }

  // After a name: its dimensions and initializer; then "," for the next
  // name, or the declaration's end.
  bool NextOfList(const TDeclaration& d) {
    while (Peek().IsPunct('[')) {
      for (TToken t = Next(); t.Kind != tkEnd && !t.IsPunct(']'); t = Next())
        if (t.LineStart && t.Line != d.Line) return Push(std::move(t)), false;
    }
    TToken t = Next();
    if (t.IsPunct('=')) {
      SkipValue(d.Line);
      t = Next();
    }
    if (t.IsPunct(',')) return true;
    if (!t.IsPunct(';')) Push(std::move(t));
    return false;
  }

  // Global variables, the first one already named in d.
  void Variables(TDeclaration d) {
    d.Kind = TEntryKind::Variable;
    docs_.Separator();
    for (;;) {
      d.Doc = docs_.Attach();
      d.Text = d.Word + " " + (d.Tag.empty() ? "" : d.Tag + ":") + d.Name;
      TDeclaration entry = d;
      bool more = NextOfList(entry);
      out_.Entries.push_back(std::move(entry));
      if (!more) return;
      std::string ignored;
      d.Tag = OptionalTag(ignored);
      if (!ReadName(d)) return;
    }
  }

  void Constants(const TToken& word) {
    docs_.Separator();
    for (;;) {
      TDeclaration d;
      d.Kind = TEntryKind::Constant;
      d.Word = "const";
      d.Tag = OptionalTag(d.Text);
      if (!ReadName(d)) return DropLine(word.Line);
      d.Doc = docs_.Attach();
      d.Text = "const " + (d.Tag.empty() ? "" : d.Tag + ":") + d.Name;
      bool more = NextOfList(d);
      out_.Entries.push_back(std::move(d));
      if (!more) return;
    }
  }

  void Enum(const TToken& word) {
    TDeclaration e;
    e.Kind = TEntryKind::Enum;
    e.Word = "enum";
    e.Line = word.Line;
    std::string ignored;
    e.Tag = OptionalTag(ignored);
    TToken t = Next();
    if (t.Kind == tkIdent && !IsReserved(t.Text)) {
      e.Name = std::string(t.Text);
      e.Line = t.Line;
      t = Next();
    }
    if (t.IsPunct('(')) {  // the increment: (+= 2), (<<= 1)
      for (t = Next(); t.Kind != tkEnd && !t.IsPunct(')') && !t.LineStart; t = Next()) {
      }
      t = Next();
    }
    if (!t.IsPunct('{')) return Push(std::move(t));
    e.Text = "enum " + e.Name;
    size_t index = out_.Entries.size();
    if (!e.Name.empty()) out_.Entries.push_back(e);
    for (t = Next(); t.Kind != tkEnd && !t.IsPunct('}'); t = Next()) {
      if (t.LineStart && IsDeclarationWord(t)) return Push(std::move(t));
      Push(std::move(t));
      TDeclaration m;
      m.Kind = TEntryKind::EnumMember;
      m.Detail = e.Name;
      m.Tag = OptionalTag(m.Text);
      if (!ReadName(m)) {
        Next();
        continue;
      }
      m.Text = m.Name;
      out_.Entries.push_back(m);
      while (Peek().IsPunct('[')) {
        for (t = Next(); t.Kind != tkEnd && !t.IsPunct(']'); t = Next()) {
        }
      }
      if (Peek().IsPunct('=')) {
        Next();
        for (t = Next(); t.Kind != tkEnd && !t.IsPunct(',') && !t.IsPunct('}'); t = Next()) {
        }
        Push(std::move(t));
      }
      t = Next();
      if (t.IsPunct('}')) break;
      if (!t.IsPunct(',')) Push(std::move(t));
    }
    // The compiler looks for the optional ";" before it attaches the doc,
    // so the comments up to the next token's line are the enumeration's.
    t = Next();
    if (!t.IsPunct(';')) Push(std::move(t));
    if (!e.Name.empty()) out_.Entries[index].Doc = docs_.Attach();
  }

  std::string_view text_;
  size_t pos_ = 0;
  int nextLineNo_ = 1, lineNo_ = 0;
  bool ended_ = false;
  std::string stripped_;
  std::span<char> line_;  // the current line, in stripped_
  std::string_view Line() const { return {line_.data(), line_.size()}; }
  std::vector<std::pair<size_t, int>> joins_;  // where a continued line starts, and its number
  bool inComment_ = false, docComment_ = false, prevSingleline_ = false;
  bool inFunction_ = false;
  std::vector<TToken> tokens_;  // of the current line
  size_t tokenAt_ = 0;
  std::vector<TToken> pushed_;
  std::vector<TCondition> conditions_;
  std::unordered_set<std::string> defined_;
  TDocQueue docs_;
  std::array<bool, 256> ident_{};
  TFileDeclarations out_;
};

}  // namespace

TFileDeclarations ReadDeclarations(std::string_view text) { return TReader(text).Run(); }

std::string PrefixedName(const std::vector<TPrefixMacro>& macros, std::string_view prefix,
                         std::string_view name) {
  for (const TPrefixMacro& m : macros) {
    if (m.Prefix != prefix) continue;
    std::string out = m.Target;
    size_t at = out.find(m.Slot);
    if (at != std::string::npos) out.replace(at, m.Slot.size(), name);
    return out;
  }
  return {};
}

}  // namespace ludra
