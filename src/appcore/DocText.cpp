#include "appcore/DocText.h"

#include <algorithm>

#include "base/SynCodePage.h"

namespace ludra {

namespace {

bool IsBlank(char c) { return c != '\0' && static_cast<unsigned char>(c) <= ' '; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

std::string LowerAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = Lower(c);
  return out;
}

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

bool IsTagNameChar(char c) {
  return IsAsciiLetter(c) || (c >= '0' && c <= '9') || c == '_' || c == ':' || c == '-' || c == '.';
}

// The comment's text without its marks: "///", "/**" (after any "/*...*/"
// rules before it), "*/" and the stars that begin the lines of a block.
std::string StripCommentMarks(std::string_view raw) {
  std::string text;
  text.reserve(raw.size());
  for (size_t p = 0; p <= raw.size();) {
    size_t e = raw.find_first_of("\r\n", p);
    if (e == std::string_view::npos) e = raw.size();
    std::string_view line = Trim(raw.substr(p, e - p));
    while (line.starts_with("/*") && !line.starts_with("/**")) {
      size_t close = line.find("*/", 2);
      if (close == std::string_view::npos || !line.substr(close + 2).starts_with("/*")) break;
      line.remove_prefix(close + 2);
    }
    if (line.starts_with("///") || line.starts_with("/**"))
      line.remove_prefix(3);
    else if (line.starts_with("*") && !line.starts_with("*/"))
      line.remove_prefix(1);
    if (line.ends_with("*/")) line.remove_suffix(2);
    text.append(line).push_back('\n');
    p = e + 1;
  }
  return text;
}

// One tag: <name attrs>, </name> or <name attrs/>.
struct TTag {
  std::string Name;  // lower case
  bool Closing = false;
  bool SelfClosing = false;
  std::string_view Attrs;
};

// Reads the tag text[lt..gt] ('<' to '>'); false when it is no tag, so the
// '<' is text.
bool ReadTag(std::string_view text, size_t lt, size_t gt, TTag& tag) {
  std::string_view inner = text.substr(lt + 1, gt - lt - 1);
  tag = TTag();
  if (inner.starts_with("/")) {
    tag.Closing = true;
    inner.remove_prefix(1);
  }
  if (inner.empty() || !IsAsciiLetter(inner[0])) return false;
  size_t n = 0;
  while (n < inner.size() && IsTagNameChar(inner[n])) ++n;
  if (n < inner.size() && !IsBlank(inner[n]) && inner[n] != '/') return false;
  tag.Name = LowerAscii(inner.substr(0, n));
  std::string_view rest = inner.substr(n);
  if (rest.ends_with("/")) {
    tag.SelfClosing = true;
    rest.remove_suffix(1);
  }
  tag.Attrs = rest;
  return true;
}

// The value of an attribute (key="v", key='v' or key=v), or empty.
std::string Attribute(std::string_view attrs, std::string_view key) {
  size_t i = 0;
  while (i < attrs.size()) {
    while (i < attrs.size() && IsBlank(attrs[i])) ++i;
    size_t k = i;
    while (i < attrs.size() && attrs[i] != '=' && !IsBlank(attrs[i])) ++i;
    std::string_view name = attrs.substr(k, i - k);
    while (i < attrs.size() && IsBlank(attrs[i])) ++i;
    std::string_view value;
    if (i < attrs.size() && attrs[i] == '=') {
      ++i;
      while (i < attrs.size() && IsBlank(attrs[i])) ++i;
      if (i < attrs.size() && (attrs[i] == '"' || attrs[i] == '\'')) {
        size_t end = attrs.find(attrs[i], i + 1);
        if (end == std::string_view::npos) end = attrs.size();
        value = attrs.substr(i + 1, end - i - 1);
        i = end + 1;
      } else {
        size_t v = i;
        while (i < attrs.size() && !IsBlank(attrs[i])) ++i;
        value = attrs.substr(v, i - v);
      }
    }
    if (name.empty()) ++i;
    if (LowerAscii(name) == key) return std::string(Trim(std::string_view(DecodeEntities(value))));
  }
  return {};
}

// A referenced name: cref's "M:" kind prefix goes.
std::string ReferencedName(std::string_view attrs) {
  std::string name = Attribute(attrs, "name");
  if (name.empty()) name = Attribute(attrs, "cref");
  if (name.size() > 2 && name[1] == ':') name.erase(0, 2);
  return name;
}

// Collects text into the section being read: blanks folded (kept inside
// code, whose line ends break it), styles counted as tags open and close.
class TDocBuilder {
 public:
  TDocComment Doc;

  void Text(std::string_view raw) {
    if (seeAlso_) {
      seeAlsoText_ += raw;
      return;
    }
    std::string text = DecodeEntities(raw);
    for (size_t i = 0; i < text.size();) {
      char c = text[i];
      if (c == '\n' && code_ > 0) {
        Break();
        ++i;
      } else if (IsBlank(c)) {
        if (code_ > 0 && !para_.Runs.empty()) Append(" ", Style());
        space_ = !para_.Runs.empty() && code_ == 0;
        ++i;
      } else {
        size_t end = i;
        while (end < text.size() && !IsBlank(text[end])) ++end;
        Space(Style());
        Append(std::string_view(text).substr(i, end - i), Style());
        i = end;
      }
    }
  }

  void Tag(const TTag& tag) {
    const std::string& n = tag.Name;
    if (n == "summary" || n == "returns" || n == "remarks" || n == "param") {
      Section(tag);
    } else if (n == "seealso") {
      SeeAlso(tag);
    } else if (n == "b" || n == "strong") {
      Count(bold_, tag);
    } else if (n == "i" || n == "em") {
      Count(italic_, tag);
    } else if (n == "c" || n == "code" || n == "tt") {
      Count(code_, tag);
    } else if (n == "br" || n == "p" || n == "para" || n == "ul" || n == "ol" || n == "list") {
      Break();
    } else if (n == "li" || n == "item") {
      Break();
      if (!tag.Closing) para_.Bullet = true;
    } else if ((n == "see" || n == "paramref" || n == "typeparamref") && tag.SelfClosing) {
      std::string name = ReferencedName(tag.Attrs);
      if (name.empty()) return;
      Space(Style() + TDocStyles{dsCode});
      Append(name, Style() + TDocStyles{dsCode});
    }
    // Any other tag (<a>, <library>, ...) is dropped; its text stays.
  }

  TDocComment Finish() {
    Break();
    if (seeAlso_) EndSeeAlso();
    // Without sections the text is the summary; with them, text outside
    // them (a <library> line) belongs to none.
    if (!sectioned_) Doc.Summary = std::move(loose_);
    return std::move(Doc);
  }

 private:
  enum TTarget { tLoose, tSummary, tParam, tReturns, tRemarks };

  TDocStyles Style() const {
    TDocStyles s;
    if (bold_ > 0) s.Include(dsBold);
    if (italic_ > 0) s.Include(dsItalic);
    if (code_ > 0) s.Include(dsCode);
    return s;
  }

  void Append(std::string_view text, TDocStyles style) {
    if (!para_.Runs.empty() && para_.Runs.back().Style == style)
      para_.Runs.back().Text += text;
    else
      para_.Runs.push_back({std::string(text), style});
  }
  // A folded blank before text of a style: in the styles both sides share.
  void Space(TDocStyles next) {
    if (space_ && !para_.Runs.empty()) Append(" ", para_.Runs.back().Style * next);
    space_ = false;
  }

  static void Count(int& depth, const TTag& tag) {
    if (tag.SelfClosing) return;
    if (tag.Closing)
      depth = std::max(depth - 1, 0);
    else
      ++depth;
  }

  TDocText& Target() {
    switch (target_) {
      case tSummary:
        return Doc.Summary;
      case tParam:
        return Doc.Params.back().Text;
      case tReturns:
        return Doc.Returns;
      case tRemarks:
        return Doc.Remarks;
      case tLoose:
        break;
    }
    return loose_;
  }

  void Break() {
    if (!para_.Runs.empty()) {
      // Trailing blanks of code.
      std::string& last = para_.Runs.back().Text;
      while (!last.empty() && last.back() == ' ') last.pop_back();
      Target().push_back(std::move(para_));
    }
    para_ = TDocParagraph();
    space_ = false;
  }

  void Section(const TTag& tag) {
    Break();
    bold_ = italic_ = code_ = 0;
    target_ = tLoose;
    if (tag.Closing) return;
    sectioned_ = true;
    if (tag.SelfClosing) return;
    const std::string& n = tag.Name;
    if (n == "summary") {
      target_ = tSummary;
    } else if (n == "returns") {
      target_ = tReturns;
    } else if (n == "remarks") {
      target_ = tRemarks;
    } else {
      Doc.Params.push_back({Attribute(tag.Attrs, "name"), {}});
      target_ = tParam;
    }
  }

  void SeeAlso(const TTag& tag) {
    if (tag.Closing) {
      if (seeAlso_) EndSeeAlso();
      return;
    }
    std::string name = ReferencedName(tag.Attrs);
    // <seealso name="x">text</seealso> names x; the text is read only
    // when there is no name.
    seeAlsoNamed_ = !name.empty();
    if (seeAlsoNamed_) Doc.SeeAlso.push_back(std::move(name));
    seeAlso_ = !tag.SelfClosing;
  }

  void EndSeeAlso() {
    seeAlso_ = false;
    std::string decoded = DecodeEntities(seeAlsoText_), folded;
    for (char c : Trim(decoded)) {
      if (!IsBlank(c))
        folded += c;
      else if (folded.back() != ' ')
        folded += ' ';
    }
    if (!folded.empty() && !seeAlsoNamed_) Doc.SeeAlso.push_back(std::move(folded));
    seeAlsoText_.clear();
  }

  TDocText loose_;
  TDocParagraph para_;
  TTarget target_ = tLoose;
  bool sectioned_ = false;
  bool space_ = false;
  bool seeAlso_ = false;
  bool seeAlsoNamed_ = false;
  std::string seeAlsoText_;
  int bold_ = 0, italic_ = 0, code_ = 0;
};

}  // namespace

const TDocParam* TDocComment::Param(std::string_view name) const {
  std::string_view wanted = name == "..." ? std::string_view() : name;
  for (const TDocParam& p : Params)
    if (p.Name == wanted || (name == "..." && p.Name == "...")) return &p;
  return nullptr;
}

namespace {

// The code page's one character for a Unicode one, else the fallback.
std::string OneCharacter(std::string_view utf8, std::string fallback) {
  std::string c = CodePage().FromUtf8(utf8, '\0');
  return c.size() == 1 && c[0] != '\0' ? c : fallback;
}

}  // namespace

std::string Ellipsis() { return OneCharacter("\xE2\x80\xA6", "..."); }

std::string DocBullet() { return OneCharacter("\xE2\x80\xA2", "-"); }

std::string DecodeEntities(std::string_view text) {
  static constexpr std::pair<std::string_view, char> kNamed[] = {
      {"lt", '<'}, {"gt", '>'}, {"amp", '&'}, {"quot", '"'}, {"apos", '\''}, {"nbsp", ' '}};
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    size_t semi = text[i] == '&' ? text.find(';', i + 1) : std::string_view::npos;
    if (semi == std::string_view::npos || semi - i > 10) {
      out += text[i];
      continue;
    }
    std::string_view name = text.substr(i + 1, semi - i - 1);
    bool done = false;
    for (const auto& [entity, c] : kNamed)
      if (name == entity) {
        out += c;
        done = true;
      }
    if (!done && name.size() > 1 && name[0] == '#') {
      bool hex = name[1] == 'x' || name[1] == 'X';
      std::string_view digits = name.substr(hex ? 2 : 1);
      unsigned long code = 0;
      bool ok = !digits.empty();
      for (char d : digits) {
        int v = d >= '0' && d <= '9'                        ? d - '0'
                : hex && Lower(d) >= 'a' && Lower(d) <= 'f' ? Lower(d) - 'a' + 10
                                                            : -1;
        if (v < 0 || code > 0x10FFFF) ok = false;
        code = code * (hex ? 16 : 10) + static_cast<unsigned>(v < 0 ? 0 : v);
      }
      if (ok) {
        std::string bytes = CodePage().FromUtf8(
            code < 0x80      ? std::string(1, static_cast<char>(code))
            : code < 0x800   ? std::string{static_cast<char>(0xC0 | (code >> 6)),
                                         static_cast<char>(0x80 | (code & 0x3F))}
            : code < 0x10000 ? std::string{static_cast<char>(0xE0 | (code >> 12)),
                                           static_cast<char>(0x80 | ((code >> 6) & 0x3F)),
                                           static_cast<char>(0x80 | (code & 0x3F))}
                             : std::string("?"));
        out += bytes.size() == 1 && code != 0 ? bytes : "?";
        done = true;
      }
    }
    if (!done) {
      out += text[i];
      continue;
    }
    i = semi;
  }
  return out;
}

TDocComment ParseDocComment(std::string_view raw) {
  bool truncated = raw.size() > DocTextCap;
  std::string text = StripCommentMarks(raw.substr(0, DocTextCap));
  std::string_view all = text;
  TDocBuilder builder;
  size_t gt = 0;  // the next '>' from where the last search began
  bool gtFound = true;
  for (size_t p = 0; p < all.size();) {
    size_t lt = all.find('<', p);
    if (lt == std::string_view::npos) lt = all.size();
    size_t nextLt = lt < all.size() ? all.find('<', lt + 1) : std::string_view::npos;
    if (gtFound && gt <= lt) {
      gt = all.find('>', lt);
      gtFound = gt != std::string_view::npos;
    }
    TTag tag;
    // A tag ends at its '>' before any further '<'; otherwise '<' is text.
    if (lt < all.size() && gtFound && gt < nextLt && ReadTag(all, lt, gt, tag)) {
      builder.Text(all.substr(p, lt - p));
      builder.Tag(tag);
      p = gt + 1;
    } else {
      size_t end = std::min(nextLt, all.size());
      builder.Text(all.substr(p, end - p));
      p = end;
    }
  }
  TDocComment doc = builder.Finish();
  doc.Truncated = truncated;
  return doc;
}

std::string PlainText(const TDocText& text) {
  std::string out;
  for (const TDocParagraph& p : text) {
    if (!out.empty()) out += ' ';
    if (p.Bullet) out += DocBullet() + " ";
    for (const TDocRun& run : p.Runs) out += run.Text;
  }
  return out;
}

std::string DocSummary(std::string_view raw, size_t maxLength) {
  TDocComment doc = ParseDocComment(raw);
  std::string text = PlainText(doc.Summary);
  if (text.size() <= maxLength) return doc.Truncated ? text + Ellipsis() : text;
  size_t cut = std::min(text.size(), maxLength);
  size_t blank = text.rfind(' ', cut);
  if (blank != std::string::npos && blank > maxLength / 2) cut = blank;
  return text.substr(0, cut) + Ellipsis();
}

}  // namespace ludra
