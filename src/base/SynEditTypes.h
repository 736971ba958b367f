#pragma once
// Positions shared by the buffer, the editor and the search code.
#include <compare>
#include <cstdint>

namespace ludra {

// A position in the document: character and line, both 1-based. Character
// Length+1 is the end of a line; a tab counts as one character.
struct TBufferCoord {
  int Char = 1;
  int Line = 1;
  friend constexpr bool operator==(const TBufferCoord&, const TBufferCoord&) = default;
  // Ordered by line first, then character.
  friend constexpr std::strong_ordering operator<=>(const TBufferCoord& a, const TBufferCoord& b) {
    if (auto c = a.Line <=> b.Line; c != 0) return c;
    return a.Char <=> b.Char;
  }
};

// A position on screen: column (after tab expansion) and row, both 1-based.
// A distinct type so that buffer and display positions never mix.
struct TDisplayCoord {
  int Column = 1;
  int Row = 1;
  friend constexpr bool operator==(const TDisplayCoord&, const TDisplayCoord&) = default;
  friend constexpr std::strong_ordering operator<=>(const TDisplayCoord& a, const TDisplayCoord& b) {
    if (auto c = a.Row <=> b.Row; c != 0) return c;
    return a.Column <=> b.Column;
  }
};

constexpr TBufferCoord BufferCoord(int aChar, int aLine) { return {aChar, aLine}; }
constexpr TDisplayCoord DisplayCoord(int aColumn, int aRow) { return {aColumn, aRow}; }

enum TSynSelectionMode : uint8_t { smNormal = 0, smLine = 1, smColumn = 2 };

using TSynEditorCommand = uint16_t;

// The highlighter's opaque per-line state; NullRange marks a line never scanned.
using TSynRange = int32_t;
constexpr TSynRange NullRange = -1;

}  // namespace ludra
