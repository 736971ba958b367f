#include "editor/SynEditWordWrap.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>
#include <stdexcept>
#include <string>

#include "base/SynExceptions.h"
#include "base/SynStrUtils.h"
#include "buffer/SynEditTextBuffer.h"
#include "editor/SynEditView.h"

namespace ludra {

TSynWordWrapPlugin::TSynWordWrapPlugin(const TSynEditView* view) : view_(view) {
  if (!view) throw ESynEditError(SWordWrapNoOwner);
  Reset();
}

void TSynWordWrapPlugin::ReadSettings() {
  int visible = std::max(view_->View().VisibleColumns, 0);
  maxRowLength_ = std::min(visible, MaxRowWidth);
  minRowLength_ = std::min(std::max(visible - visible / 3, 1), std::max(maxRowLength_, 1));
  breakChars_.Clear();
  for (int b = 32; b < 256; ++b)
    if (b != 127 && !view_->IsIdentChar(static_cast<char>(b))) breakChars_.Include(b);
}

void TSynWordWrapPlugin::WrapLine(std::string_view text, int maxRow, int minRow,
                                  const TSynCharSet& breaks, std::vector<uint8_t>& rows) {
  int len = static_cast<int>(text.size());
  int start = 0;
  while (start + maxRow < len) {
    int pos = start + maxRow;  // the first character that no longer fits
    int row;
    if (IsBlank(text[pos])) {
      // Blanks hang at the end of the row.
      int end = pos;
      while (end < len && IsBlank(text[end])) ++end;
      row = end - start;
    } else {
      int p = pos;
      while (p >= start + minRow && !breaks[static_cast<unsigned char>(text[p - 1])]) --p;
      row = p >= start + minRow ? p - start : maxRow;  // no break: the word is cut
    }
    row = std::min(row, MaxRowWidth);
    rows.push_back(static_cast<uint8_t>(row));
    start += row;
  }
  rows.push_back(static_cast<uint8_t>(len - start));
}

void TSynWordWrapPlugin::WrapBufferLine(int index, std::vector<uint8_t>& rows) const {
  WrapText(view_->Lines().GetView(index), rows);
}

void TSynWordWrapPlugin::WrapText(std::string_view s, std::vector<uint8_t>& rows) const {
  // Most lines fit and have no tabs: one row, no scan.
  bool tabs = !s.empty() && std::memchr(s.data(), '\t', s.size()) != nullptr;
  if (!tabs) {
    if (static_cast<int>(s.size()) <= maxRowLength_)
      rows.push_back(static_cast<uint8_t>(s.size()));
    else
      WrapLine(s, maxRowLength_, minRowLength_, breakChars_, rows);
    return;
  }
  // Tabs count as the blanks they expand to.
  int tabWidth = view_->TabWidth();
  std::string expanded;
  for (char c : s) {
    if (c == '\t')
      expanded.append(tabWidth - static_cast<int>(expanded.size()) % tabWidth, ' ');
    else
      expanded.push_back(c);
  }
  WrapLine(expanded, maxRowLength_, minRowLength_, breakChars_, rows);
}

void TSynWordWrapPlugin::Reset() {
  ReadSettings();
  lineRows_.Clear();
  rowLengths_.Clear();
  int count = view_->Lines().Count();
  if (count == 0 || maxRowLength_ == 0) return;
  // Built in plain vectors, then taken over in one copy each.
  std::vector<int32_t> counts;
  std::vector<uint8_t> rows;
  counts.reserve(static_cast<size_t>(count));
  rows.reserve(static_cast<size_t>(count) + static_cast<size_t>(count) / 8);
  view_->Lines().ForEachView([&](std::string_view s) {
    size_t before = rows.size();
    WrapText(s, rows);
    counts.push_back(static_cast<int32_t>(rows.size() - before));
  });
  if (rows.size() > static_cast<size_t>(INT32_MAX)) throw std::bad_alloc();
  rowLengths_.Insert(0, rows.data(), static_cast<int>(rows.size()));
  try {
    lineRows_.Insert(0, counts.data(), count);
  } catch (...) {
    rowLengths_.Clear();
    throw;
  }
}

void TSynWordWrapPlugin::DisplayChanged() {
  if (std::min(std::max(view_->View().VisibleColumns, 0), MaxRowWidth) != maxRowLength_) Reset();
}

int TSynWordWrapPlugin::Rewrap(int index, int oldLines, int newLines) {
  if (maxRowLength_ == 0) return 0;
  int wrapped = WrappedLineCount();
  index = std::max(0, std::min(index, wrapped));
  oldLines = std::max(0, std::min(oldLines, wrapped - index));
  int rowStart = RowsBefore(index);
  int rowEnd = RowsBefore(index + oldLines);
  std::vector<uint8_t> rows;
  std::vector<int32_t> counts;
  counts.reserve(static_cast<size_t>(std::max(newLines, 0)));
  int bufferCount = view_->Lines().Count();
  for (int i = index; i < index + newLines && i < bufferCount; ++i) {
    size_t before = rows.size();
    WrapBufferLine(i, rows);
    counts.push_back(static_cast<int32_t>(rows.size() - before));
  }
  int newRows = static_cast<int>(rows.size());
  int newCount = static_cast<int>(counts.size());
  int delta = newRows - (rowEnd - rowStart);
  if (newCount == oldLines && delta == 0) {
    // Typing inside lines: the same rows with other lengths, mostly.
    for (int r = 0; r < newRows; ++r) rowLengths_[rowStart + r] = rows[static_cast<size_t>(r)];
    for (int k = 0; k < newCount; ++k)
      if (lineRows_[index + k] != counts[static_cast<size_t>(k)])
        lineRows_.Set(index + k, counts[static_cast<size_t>(k)]);
    return 0;
  }
  // Only the insertions can run out of memory, and the first is taken back
  // when the second fails; the erasures never fail.
  rowLengths_.Insert(rowEnd, rows.data(), newRows);
  try {
    lineRows_.Insert(index + oldLines, counts.data(), newCount);
  } catch (...) {
    rowLengths_.Erase(rowEnd, newRows);
    throw;
  }
  rowLengths_.Erase(rowStart, rowEnd - rowStart);
  lineRows_.Erase(index, oldLines);
  return delta;
}

int TSynWordWrapPlugin::LinesInserted(int index, int count) { return Rewrap(index, 0, count); }

int TSynWordWrapPlugin::LinesDeleted(int index, int count) { return -Rewrap(index, count, 0); }

int TSynWordWrapPlugin::LinesPutted(int index, int count) { return Rewrap(index, count, count); }

int TSynWordWrapPlugin::GetRowLength(int row) const {
  if (row < 1 || row > RowCount()) return 0;
  return rowLengths_[row - 1];
}

int TSynWordWrapPlugin::LineToRow(int line) const {
  if (line > WrappedLineCount()) return RowCount() + (line - WrappedLineCount());
  return RowsBefore(line - 1) + 1;
}

int TSynWordWrapPlugin::RowToLine(int row) const {
  if (row > RowCount()) return WrappedLineCount() + (row - RowCount());
  if (row < 1) return row;
  return lineRows_.IndexOfWeight(row - 1) + 1;
}

TDisplayCoord TSynWordWrapPlugin::BufferToDisplayPos(const TBufferCoord& pos) const {
  if (pos.Line > WrappedLineCount() || pos.Line < 1)
    return {pos.Char, RowCount() + (pos.Line - WrappedLineCount())};
  int first = RowsBefore(pos.Line - 1);
  int last = LineEnd(pos.Line - 1);
  int sum = 0;
  for (int r = first; r < last; ++r) {
    int len = rowLengths_[r];
    sum += len;
    if (sum >= pos.Char) return {pos.Char - (sum - len), r + 1};
  }
  // Beyond the text: the last row, past its end.
  return {pos.Char - (sum - rowLengths_[last - 1]), last};
}

TBufferCoord TSynWordWrapPlugin::DisplayToBufferPos(const TDisplayCoord& pos) const {
  if (pos.Row > RowCount() || pos.Row < 1)
    return {pos.Column, WrappedLineCount() + (pos.Row - RowCount())};
  int line = RowToLine(pos.Row);
  int first = RowsBefore(line - 1);
  int last = LineEnd(line - 1);
  int before = 0;
  for (int r = first; r < pos.Row - 1; ++r) before += rowLengths_[r];
  // A row that goes on below ends where the next one starts; past the end
  // of a line's last row, as past an unwrapped line, one column is one
  // character (the caret setter applies its own limit).
  int column = pos.Row < last ? std::min(pos.Column, rowLengths_[pos.Row - 1] + 1) : pos.Column;
  return {before + column, line};
}

void TSynWordWrapPlugin::Check() const {
  auto fail = [](const std::string& what) { throw std::logic_error("word wrap: " + what); };
  int count = view_->Lines().Count();
  if (maxRowLength_ == 0 || count == 0) {
    if (lineRows_.Count() || rowLengths_.Count()) fail("tables kept while wrapping is off");
    return;
  }
  lineRows_.Check();
  rowLengths_.Check();
  if (WrappedLineCount() != count) fail("line count differs from the buffer");
  if (lineRows_.TotalWeight() != RowCount()) fail("row table size differs");
  std::vector<uint8_t> rows;
  for (int i = 0; i < count; ++i) {
    rows.clear();
    WrapBufferLine(i, rows);
    int first = RowsBefore(i);
    if (LineEnd(i) - first != static_cast<int>(rows.size()))
      fail("row count of line " + std::to_string(i + 1));
    for (size_t r = 0; r < rows.size(); ++r)
      if (rows[r] != rowLengths_[first + static_cast<int>(r)])
        fail("row lengths of line " + std::to_string(i + 1));
  }
}

// --- The continuation glyph -----------------------------------------------------

const TSynGlyph& InternalWrapGlyph() {
  // A hooked arrow pointing down and left: the line goes on below.
  static const TSynGlyph glyph = [] {
    static const char* const art[14] = {
        "...............",  //
        "..........##...",  //
        "..........##...",  //
        "..........##...",  //
        "..........##...",  //
        "..........##...",  //
        "...#......##...",  //
        "..##......##...",  //
        ".###########...",  //
        "############...",  //
        ".###########...",  //
        "..##...........",  //
        "...#...........",  //
        "...............",
    };
    TSynGlyph g;
    g.Width = 15;
    g.Height = 14;
    for (const char* row : art)
      for (int x = 0; x < 15; ++x)
        g.Pixels.push_back(row[x] == '#' ? RGB(0, 0, 128) : WrapGlyphMaskColor);
    return g;
  }();
  return glyph;
}

void TSynWrapGlyph::Changed() {
  drawnValid_ = false;
  if (OnChange) OnChange(this);
}

void TSynWrapGlyph::SetGlyph(const TSynGlyph& value) {
  glyph_ = value;
  Changed();
}

void TSynWrapGlyph::SetMaskColor(TColor value) {
  if (value == maskColor_) return;
  maskColor_ = value;
  Changed();
}

void TSynWrapGlyph::SetVisible(bool value) {
  if (value == visible_) return;
  visible_ = value;
  Changed();
}

void TSynWrapGlyph::Assign(const TSynWrapGlyph& source) {
  glyph_ = source.glyph_;
  maskColor_ = source.maskColor_;
  visible_ = source.visible_;
  Changed();
}

const TSynGlyph& TSynWrapGlyph::DrawnGlyph() const {
  if (!drawnValid_) {
    bool own = glyph_.Width > 0 && glyph_.Height > 0;
    drawn_ = own ? glyph_ : InternalWrapGlyph();
    TColor mask = own ? maskColor_ : WrapGlyphMaskColor;
    if (mask != clNone)
      for (TColor& c : drawn_.Pixels)
        if (c == mask) c = clNone;
    drawnValid_ = true;
  }
  return drawn_;
}

}  // namespace ludra
