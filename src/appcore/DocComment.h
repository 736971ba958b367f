#pragma once
// Doc comments: the "///" lines or the "/** ... */" block directly above a
// native or a script function. Scanning only remembers where they lie; the
// text is taken apart when it is shown: <summary>, <param name="x">,
// <returns> and <remarks> are read, any other markup stays as plain text,
// and entities (&lt; &amp; &#65; ...) are decoded.
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ludra {

struct TDocComment {
  std::string Summary, Returns, Remarks;
  std::vector<std::pair<std::string, std::string>> Params;  // name, text
  // The text of a parameter's <param>; empty when it has none.
  std::string Param(std::string_view name) const;
  bool Empty() const {
    return Summary.empty() && Returns.empty() && Remarks.empty() && Params.empty();
  }
};

// Takes a raw doc comment apart (its comment marks included). Without any
// of the four tags the whole text is the summary. Texts have their blanks
// and line ends folded to single blanks.
TDocComment ParseDocComment(std::string_view raw);

// &lt; &gt; &amp; &quot; &apos; and numeric references as the code page's
// characters ("?" for one it lacks); anything else is kept as written.
std::string DecodeEntities(std::string_view text);

// Follows a text line by line and tells, for each line that is not part of
// a doc comment, where the doc comment directly above it lies. Positions
// are the caller's: byte offsets of lines in a file, or line numbers.
class TDocTracker {
 public:
  struct TSpan {
    size_t Begin = 0, End = 0;  // End == Begin: none
    bool Empty() const { return End == Begin; }
  };
  // trimmed is the line without its leading and trailing blanks; begin and
  // end its position. Returns the doc comment that ends right above a line
  // of code, an empty span for comment and blank lines.
  TSpan Next(std::string_view trimmed, size_t begin, size_t end);

 private:
  TSpan doc_;            // the comment that ended on the previous line
  bool triple_ = false;  // doc_ is a run of "///" lines, which may go on
  bool inBlock_ = false;
  size_t blockBegin_ = 0;
};

}  // namespace ludra
