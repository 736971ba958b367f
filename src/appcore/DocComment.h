#pragma once
// Doc comments: the "///" lines or the "/** ... */" block directly above a
// native or a script function. Scanning only remembers where they lie; the
// text is read when it is shown (DocText.h).
#include <cstddef>
#include <string_view>

#include "appcore/DocText.h"

namespace ludra {

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
