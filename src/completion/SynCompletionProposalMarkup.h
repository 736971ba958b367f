#pragma once
// The item mark-up of the proposal window: plain characters with commands
// such as \style{+B}, \color{clRed}, \column{}, \hspace{4}, \image{2} and
// \font{Courier New} (\font{} goes back to the first face), and \\ for one
// backslash. Parsing is a pure function; drawing and measuring go
// through the canvas, so columns line up in whatever font the window uses.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/SynColor.h"
#include "base/SynGeometry.h"
#include "base/SynSet.h"
#include "platform/SynCanvas.h"

namespace ludra {

enum TFormatChunkKind : uint8_t { fkText, fkColor, fkStyle, fkColumn, fkHSpace, fkImage, fkFont };
using TFormatChunkKinds = TSet<TFormatChunkKind>;

// What a \style command does to its style bit.
enum TFormatStyleAction : int8_t { saOff = -1, saToggle = 0, saOn = 1 };

struct TFormatChunk {
  TFormatChunkKind Kind = fkText;
  std::string Text;           // fkText; fkFont: the face, empty for the first one
  TColor Color = clNone;      // fkColor
  TFontStyle Style = fsBold;  // fkStyle
  TFormatStyleAction Action = saToggle;
  int Value = 0;  // fkHSpace pixels, fkImage index
  friend bool operator==(const TFormatChunk&, const TFormatChunk&) = default;
};

using TFormatChunkList = std::vector<TFormatChunk>;

// Splits text into chunks. A command that is unknown or has an unfitting
// argument produces nothing (the rest is kept) and makes the result false;
// valid commands of a skipped kind produce nothing either. Text that ends
// inside a command ends the list there.
bool ParseFormatChunks(std::string_view text, TFormatChunkKinds skipped, TFormatChunkList& chunks);

// The text with every command removed (and \\ as one backslash).
std::string StripMarkup(std::string_view text);

// A colour as a \color argument gives it: a colour constant name ("clRed",
// "clWindow", any case) or a number (decimal, or hexadecimal after $ or 0x).
bool StringToColor(std::string_view text, TColor& color);

// A column of a proposal list: the next \column{} starts after the width of
// BiggestWord and one space, measured in the style the column was entered
// with, and switches to the next column's DefaultFontStyle.
struct TProposalColumn {
  std::string BiggestWord = "CONSTRUCTOR";
  TFontStyles DefaultFontStyle;
  friend bool operator==(const TProposalColumn&, const TProposalColumn&) = default;
};

class TProposalColumns {
 public:
  TProposalColumn& Add() { return items_.emplace_back(); }
  int Count() const { return static_cast<int>(items_.size()); }
  TProposalColumn& operator[](int index) { return items_.at(static_cast<size_t>(index)); }
  const TProposalColumn& operator[](int index) const {
    return items_.at(static_cast<size_t>(index));
  }
  void Clear() { items_.clear(); }
  friend bool operator==(const TProposalColumns&, const TProposalColumns&) = default;

 private:
  std::vector<TProposalColumn> items_;
};

// The images \image{n} draws: glyph n of the list (not owned).
using TProposalImages = std::vector<TSynGlyph>;

// Draws text with its mark-up into rect, starting at its top-left corner, in
// font (its Style and Color are the starting style and colour). On a selected
// row colour commands are ignored, so the row keeps the selection's text
// colour. Drawing stops once the pen passes the right edge. Returns the
// pen's final x.
int DrawFormattedText(TSynCanvas& canvas, const TRect& rect, const TSynFont& font,
                      std::string_view text, bool selected, const TProposalColumns* columns,
                      const TProposalImages* images);

// The pixel width the text would take when drawn from x = 0 without limit.
int MeasureFormattedText(TSynCanvas& canvas, const TSynFont& font, std::string_view text,
                         const TProposalColumns* columns, const TProposalImages* images);

}  // namespace ludra
