#pragma once
// A doc comment as it is shown: its XML-like mark-up read into sections of
// styled text. <summary>, <param name="x">, <returns> and <remarks> are the
// sections and <seealso> names go to a list of their own; <b>, <i>, <c> and
// <code> style the text, <br/>, <p>, <ul> and <li> break it into paragraphs,
// <a> and any other tag give just their text, and entities are decoded. A
// comment without sections is a summary as it stands.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/SynSet.h"

namespace ludra {

enum TDocStyle : uint8_t { dsBold, dsItalic, dsCode };
using TDocStyles = TSet<TDocStyle>;

struct TDocRun {
  std::string Text;
  TDocStyles Style;
  friend bool operator==(const TDocRun&, const TDocRun&) = default;
};

// One paragraph (or list item): its runs, blanks folded, wrapped as a whole.
struct TDocParagraph {
  std::vector<TDocRun> Runs;
  bool Bullet = false;
};
using TDocText = std::vector<TDocParagraph>;

struct TDocParam {
  std::string Name;  // empty for the variadic part
  TDocText Text;
};

struct TDocComment {
  TDocText Summary, Returns, Remarks;
  std::vector<TDocParam> Params;
  std::vector<std::string> SeeAlso;
  bool Truncated = false;  // only the first DocTextCap bytes were read
  // The <param> of a parameter name as a declaration writes it: "..." finds
  // the one with an empty name. Null when there is none.
  const TDocParam* Param(std::string_view name) const;
  bool Empty() const {
    return Summary.empty() && Returns.empty() && Remarks.empty() && Params.empty() &&
           SeeAlso.empty();
  }
};

// How much of a doc comment is read: a huge one costs no more than this.
inline constexpr size_t DocTextCap = 64 * 1024;

// Reads a raw doc comment (its comment marks included).
TDocComment ParseDocComment(std::string_view raw);

// The text of paragraphs on one line, as the status bar shows it.
std::string PlainText(const TDocText& text);

// The summary of a raw doc comment on one line, at most about maxLength
// characters ("…" ends a longer one).
std::string DocSummary(std::string_view raw, size_t maxLength = 300);

// &lt; &gt; &amp; &quot; &apos; &nbsp; and numeric references as the code
// page's characters ("?" for one it lacks); anything else is kept as written.
std::string DecodeEntities(std::string_view text);

// The code page's ellipsis and bullet characters, or "..." and "-" where
// it has none (the page in use now, which the user may change).
std::string Ellipsis();
std::string DocBullet();

}  // namespace ludra
