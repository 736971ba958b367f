#pragma once
// Word wrap: every buffer line is shown as one or more rows no wider than the
// visible text, broken after blanks or break characters. The wrap table keeps
// the row count of each line and each row's length, converts between
// line positions and rows, and follows the buffer's line notices. Both tables
// are kept in blocks like the buffer's lines, the rows per line with their
// sums indexed, so a line break costs work in one block and a walk down the
// block index, wherever it happens and wherever the last change was.
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "base/SynCharSet.h"
#include "base/SynColor.h"
#include "base/SynEditTypes.h"
#include "buffer/SynEditLineArray.h"
#include "platform/SynCanvas.h"

namespace ludra {

class TSynEditView;

inline constexpr char SWordWrapNoOwner[] = "TSynWordWrapPlugin must be owned by TCustomSynEdit";

class TSynWordWrapPlugin {
 public:
  // Rows hold at most this many characters (lengths are stored in a byte).
  static constexpr int MaxRowWidth = 255;

  // Reads the text, the tab width, the visible columns and the identifier
  // characters through the control's view.
  explicit TSynWordWrapPlugin(const TSynEditView* view);

  // Positions here count expanded columns: (column, line) of the unwrapped
  // line to (column, row) on screen and back.
  TDisplayCoord BufferToDisplayPos(const TBufferCoord& pos) const;
  TBufferCoord DisplayToBufferPos(const TDisplayCoord& pos) const;
  int RowCount() const { return rowLengths_.Count(); }
  // Length of row (1-based); 0 beyond the rows.
  int GetRowLength(int row) const;
  // Line notices (0-based index); each answers the change in rows.
  int LinesInserted(int index, int count);
  int LinesDeleted(int index, int count);
  int LinesPutted(int index, int count);
  // The visible width may have changed: reflow when it did.
  void DisplayChanged();
  void Reset();

  // First row of a line and the line of a row (both 1-based).
  int LineToRow(int line) const;
  int RowToLine(int row) const;
  int WrappedLineCount() const { return lineRows_.Count(); }
  int MaxRowLength() const { return maxRowLength_; }
  int MinRowLength() const { return minRowLength_; }

  // The wrapping rule on one expanded line: the row lengths it gives.
  static void WrapLine(std::string_view text, int maxRow, int minRow, const TSynCharSet& breaks,
                       std::vector<uint8_t>& rows);

  // Verifies the tables against a fresh wrap of every line; throws
  // std::logic_error when they disagree.
  void Check() const;

 private:
  // The rows of the lines before index (0-based).
  int RowsBefore(int index) const {
    return index <= 0 ? 0 : static_cast<int>(lineRows_.WeightBefore(index));
  }
  // The row count up to and with line index (0-based).
  int LineEnd(int index) const { return RowsBefore(index) + lineRows_[index]; }
  void WrapBufferLine(int index, std::vector<uint8_t>& rows) const;
  void WrapText(std::string_view text, std::vector<uint8_t>& rows) const;
  void ReadSettings();
  // Replaces the rows of lines [index, index + oldLines) by those of the
  // buffer lines [index, index + newLines).
  int Rewrap(int index, int oldLines, int newLines);

  const TSynEditView* view_;
  struct TRowsWeight {
    static int64_t Of(int32_t rows) { return rows; }
  };
  // The rows of each line, and the length of each row.
  TLineArray<int32_t, 512, TRowsWeight> lineRows_;
  TLineArray<uint8_t, 4096> rowLengths_;
  int maxRowLength_ = 0;
  int minRowLength_ = 1;
  TSynCharSet breakChars_;
};

// The glyph the gutter shows on continuation rows. Without a bitmap of the
// application's the built-in one is used; MaskColor pixels are transparent.
class TSynWrapGlyph {
 public:
  const TSynGlyph& Glyph() const { return glyph_; }
  void SetGlyph(const TSynGlyph& value);
  TColor MaskColor() const { return maskColor_; }
  void SetMaskColor(TColor value);
  bool Visible() const { return visible_; }
  void SetVisible(bool value);
  void Assign(const TSynWrapGlyph& source);
  // The bitmap in use with its mask applied (built-in when Glyph is empty).
  const TSynGlyph& DrawnGlyph() const;
  int Width() const { return DrawnGlyph().Width; }

  std::function<void(TSynWrapGlyph* sender)> OnChange;

 private:
  void Changed();
  TSynGlyph glyph_;
  TColor maskColor_ = clNone;
  bool visible_ = true;
  mutable TSynGlyph drawn_;
  mutable bool drawnValid_ = false;
};

// The built-in continuation glyph, 15 x 14, on its mask colour 0x00FF00.
const TSynGlyph& InternalWrapGlyph();
inline constexpr TColor WrapGlyphMaskColor = 0x00FF00;

}  // namespace ludra
