#include "appcore/DocComment.h"

#include <cstring>

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

// The first position of a lower-case ASCII word in s at or after from,
// letter case ignored.
size_t FindNoCase(std::string_view s, std::string_view word, size_t from) {
  for (size_t i = from; i + word.size() <= s.size(); ++i) {
    size_t k = 0;
    while (k < word.size() && Lower(s[i + k]) == word[k]) ++k;
    if (k == word.size()) return i;
  }
  return std::string_view::npos;
}

// The comment's text without its marks: "///", "/**", "*/" and the stars
// that begin the lines of a block.
std::string StripCommentMarks(std::string_view raw) {
  std::string text;
  text.reserve(raw.size());
  for (size_t p = 0; p <= raw.size();) {
    size_t e = raw.find_first_of("\r\n", p);
    if (e == std::string_view::npos) e = raw.size();
    std::string_view line = Trim(raw.substr(p, e - p));
    if (line.starts_with("///"))
      line.remove_prefix(3);
    else if (line.starts_with("/**"))
      line.remove_prefix(3);
    else if (line.starts_with("*") && !line.starts_with("*/"))
      line.remove_prefix(1);
    if (line.ends_with("*/")) line.remove_suffix(2);
    text.append(line).push_back('\n');
    p = e + 1;
  }
  return text;
}

// Blanks and line ends folded to one blank, entities decoded.
std::string Clean(std::string_view text) {
  std::string folded;
  folded.reserve(text.size());
  for (char c : Trim(text)) {
    if (IsBlank(c)) {
      if (!folded.empty() && folded.back() != ' ') folded += ' ';
    } else {
      folded += c;
    }
  }
  return DecodeEntities(folded);
}

// The text between <tag ...> at open and </tag> (or the end); returns the
// position after the closing tag.
size_t TagContent(std::string_view text, size_t open, std::string_view tag, std::string& attrs,
                  std::string& content) {
  size_t gt = text.find('>', open);
  if (gt == std::string_view::npos) gt = text.size();
  attrs = std::string(text.substr(open + 1 + tag.size(), gt - open - 1 - tag.size()));
  size_t start = std::min(gt + 1, text.size());
  std::string closing = "</" + std::string(tag) + ">";
  size_t close = FindNoCase(text, closing, start);
  if (close == std::string_view::npos) {
    content = std::string(text.substr(start));
    return text.size();
  }
  content = std::string(text.substr(start, close - start));
  return close + closing.size();
}

// The value of name="..." (or '...') in a tag's attributes.
std::string AttributeName(std::string_view attrs) {
  size_t at = FindNoCase(attrs, "name", 0);
  if (at == std::string_view::npos) return {};
  size_t q = attrs.find_first_of("\"'", at);
  if (q == std::string_view::npos) return {};
  size_t end = attrs.find(attrs[q], q + 1);
  if (end == std::string_view::npos) end = attrs.size();
  return Clean(attrs.substr(q + 1, end - q - 1));
}

}  // namespace

std::string TDocComment::Param(std::string_view name) const {
  for (const auto& [n, text] : Params)
    if (n == name) return text;
  return {};
}

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
  std::string text = StripCommentMarks(raw);
  TDocComment doc;
  std::string rest;  // text outside the known tags
  bool tagged = false;
  for (size_t p = 0; p < text.size();) {
    size_t lt = text.find('<', p);
    if (lt == std::string::npos) {
      rest.append(text, p);
      break;
    }
    rest.append(text, p, lt - p);
    std::string attrs, content;
    std::string_view at = std::string_view(text).substr(lt);
    auto opens = [&](std::string_view tag) {
      return FindNoCase(at.substr(0, tag.size() + 2), std::string("<") + std::string(tag), 0) ==
                 0 &&
             at.size() > tag.size() + 1 &&
             (at[tag.size() + 1] == '>' || IsBlank(at[tag.size() + 1]));
    };
    if (opens("summary")) {
      p = TagContent(text, lt, "summary", attrs, content);
      doc.Summary += (doc.Summary.empty() ? "" : " ") + Clean(content);
    } else if (opens("returns")) {
      p = TagContent(text, lt, "returns", attrs, content);
      doc.Returns = Clean(content);
    } else if (opens("remarks")) {
      p = TagContent(text, lt, "remarks", attrs, content);
      doc.Remarks = Clean(content);
    } else if (opens("param")) {
      p = TagContent(text, lt, "param", attrs, content);
      doc.Params.emplace_back(AttributeName(attrs), Clean(content));
    } else {
      rest += '<';
      p = lt + 1;
      continue;
    }
    tagged = true;
  }
  // A comment without the tags is a summary as it stands.
  if (!tagged || doc.Summary.empty()) {
    std::string plain = Clean(rest);
    if (!plain.empty()) doc.Summary = plain;
  }
  return doc;
}

TDocTracker::TSpan TDocTracker::Next(std::string_view trimmed, size_t begin, size_t end) {
  if (inBlock_) {
    if (trimmed.find("*/") != std::string_view::npos) {
      inBlock_ = false;
      doc_ = {blockBegin_, end};
      triple_ = false;
    }
    return {};
  }
  // "////..." rules off a section; it documents nothing.
  if (trimmed.starts_with("///") && !trimmed.starts_with("////")) {
    if (!triple_ || doc_.Empty()) doc_.Begin = begin;
    doc_.End = end;
    triple_ = true;
    return {};
  }
  if (trimmed.starts_with("/**") && !trimmed.starts_with("/**/")) {
    triple_ = false;
    if (trimmed.find("*/", 3) != std::string_view::npos) {
      doc_ = {begin, end};
    } else {
      inBlock_ = true;
      blockBegin_ = begin;
      doc_ = {};
    }
    return {};
  }
  TSpan above = trimmed.empty() ? TSpan{} : doc_;
  doc_ = {};
  triple_ = false;
  return above;
}

}  // namespace ludra
