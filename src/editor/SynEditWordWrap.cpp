#include "editor/SynEditWordWrap.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <string>

#include "base/SynExceptions.h"
#include "base/SynStrUtils.h"
#include "editor/SynEdit.h"

namespace ludra {

TSynWordWrapPlugin::TSynWordWrapPlugin(TCustomSynEdit* owner) : editor_(owner) {
  if (!owner) throw ESynEditError(SWordWrapNoOwner);
  Reset();
}

void TSynWordWrapPlugin::ReadSettings() {
  int visible = std::max(editor_->VisibleColumns(), 0);
  maxRowLength_ = std::min(visible, MaxRowWidth);
  minRowLength_ = std::min(std::max(visible - visible / 3, 1), std::max(maxRowLength_, 1));
  breakChars_.Clear();
  for (int b = 32; b < 256; ++b)
    if (b != 127 && !editor_->IsIdentChar(static_cast<char>(b))) breakChars_.Include(b);
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
  std::string_view s = editor_->Lines().GetView(index);
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
  int tabWidth = editor_->TabWidth();
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
  lineOffsets_.Clear();
  rowLengths_.Clear();
  stepLine_ = 0;
  stepRows_ = 0;
  int count = editor_->Lines().Count();
  if (count == 0 || maxRowLength_ == 0) return;
  // Built in plain vectors, then taken over in one copy each.
  std::vector<int32_t> offsets;
  std::vector<uint8_t> rows;
  offsets.reserve(static_cast<size_t>(count));
  rows.reserve(static_cast<size_t>(count) + static_cast<size_t>(count) / 8);
  for (int i = 0; i < count; ++i) {
    WrapBufferLine(i, rows);
    offsets.push_back(static_cast<int32_t>(rows.size()));
  }
  rowLengths_.Assign(rows.data(), rows.size());
  lineOffsets_.Assign(offsets.data(), offsets.size());
}

void TSynWordWrapPlugin::ShiftFrom(int index, int delta) {
  if (stepRows_ != 0) {
    if (index > stepLine_)
      for (int i = stepLine_; i < index; ++i) lineOffsets_[static_cast<size_t>(i)] += stepRows_;
    else
      for (int i = index; i < stepLine_; ++i) lineOffsets_[static_cast<size_t>(i)] -= stepRows_;
  }
  stepLine_ = index;
  stepRows_ += delta;
}

void TSynWordWrapPlugin::DisplayChanged() {
  if (std::min(std::max(editor_->VisibleColumns(), 0), MaxRowWidth) != maxRowLength_) Reset();
}

int TSynWordWrapPlugin::Rewrap(int index, int oldLines, int newLines) {
  if (maxRowLength_ == 0) return 0;
  int wrapped = WrappedLineCount();
  index = std::max(0, std::min(index, wrapped));
  oldLines = std::max(0, std::min(oldLines, wrapped - index));
  int rowStart = RowsBefore(index);
  int rowEnd = RowsBefore(index + oldLines);
  std::vector<uint8_t> rows;
  std::vector<int32_t> offsets;
  offsets.reserve(newLines);
  int bufferCount = editor_->Lines().Count();
  for (int i = index; i < index + newLines && i < bufferCount; ++i) {
    WrapBufferLine(i, rows);
    offsets.push_back(static_cast<int32_t>(rowStart + rows.size()));
  }
  int delta = static_cast<int>(rows.size()) - (rowEnd - rowStart);
  // Only the two replacements can run out of memory: room for the second is
  // made before the first, so a failure leaves both tables as they were.
  lineOffsets_.Reserve(lineOffsets_.Size() - static_cast<size_t>(oldLines) + offsets.size());
  rowLengths_.Replace(static_cast<size_t>(rowStart), static_cast<size_t>(rowEnd - rowStart),
                      rows.data(), rows.size());
  // The lines after the change move by delta lazily; the replaced ones lie
  // before the step and hold their counts as they are.
  ShiftFrom(index + oldLines, delta);
  lineOffsets_.Replace(static_cast<size_t>(index), static_cast<size_t>(oldLines), offsets.data(),
                       offsets.size());
  stepLine_ = index + static_cast<int>(offsets.size());
  return delta;
}

int TSynWordWrapPlugin::LinesInserted(int index, int count) { return Rewrap(index, 0, count); }

int TSynWordWrapPlugin::LinesDeleted(int index, int count) { return -Rewrap(index, count, 0); }

int TSynWordWrapPlugin::LinesPutted(int index, int count) { return Rewrap(index, count, count); }

int TSynWordWrapPlugin::GetRowLength(int row) const {
  if (row < 1 || row > RowCount()) return 0;
  return rowLengths_[static_cast<size_t>(row - 1)];
}

int TSynWordWrapPlugin::LineToRow(int line) const {
  if (line > WrappedLineCount()) return RowCount() + (line - WrappedLineCount());
  return RowsBefore(line - 1) + 1;
}

int TSynWordWrapPlugin::RowToLine(int row) const {
  if (row > RowCount()) return WrappedLineCount() + (row - RowCount());
  if (row < 1) return row;
  // The first line whose cumulative row count reaches the row.
  int lo = 0, hi = WrappedLineCount() - 1;
  while (lo < hi) {
    int mid = lo + (hi - lo) / 2;
    if (LineEnd(mid) < row)
      lo = mid + 1;
    else
      hi = mid;
  }
  return lo + 1;
}

TDisplayCoord TSynWordWrapPlugin::BufferToDisplayPos(const TBufferCoord& pos) const {
  if (pos.Line > WrappedLineCount() || pos.Line < 1)
    return {pos.Char, RowCount() + (pos.Line - WrappedLineCount())};
  int first = RowsBefore(pos.Line - 1);
  int last = LineEnd(pos.Line - 1);
  int sum = 0;
  for (int r = first; r < last; ++r) {
    int len = rowLengths_[static_cast<size_t>(r)];
    sum += len;
    if (sum >= pos.Char) return {pos.Char - (sum - len), r + 1};
  }
  // Beyond the text: the last row, past its end.
  return {pos.Char - (sum - rowLengths_[static_cast<size_t>(last - 1)]), last};
}

TBufferCoord TSynWordWrapPlugin::DisplayToBufferPos(const TDisplayCoord& pos) const {
  if (pos.Row > RowCount() || pos.Row < 1)
    return {pos.Column, WrappedLineCount() + (pos.Row - RowCount())};
  int line = RowToLine(pos.Row);
  int first = RowsBefore(line - 1);
  int last = LineEnd(line - 1);
  int before = 0;
  for (int r = first; r < pos.Row - 1; ++r) before += rowLengths_[static_cast<size_t>(r)];
  // A row that goes on below ends where the next one starts; past the end
  // of a line's last row, as past an unwrapped line, one column is one
  // character (the caret setter applies its own limit).
  int column = pos.Row < last
                   ? std::min(pos.Column, rowLengths_[static_cast<size_t>(pos.Row - 1)] + 1)
                   : pos.Column;
  return {before + column, line};
}

void TSynWordWrapPlugin::Check() const {
  auto fail = [](const std::string& what) { throw std::logic_error("word wrap: " + what); };
  int count = editor_->Lines().Count();
  if (maxRowLength_ == 0 || count == 0) {
    if (!lineOffsets_.Empty() || !rowLengths_.Empty()) fail("tables kept while wrapping is off");
    return;
  }
  lineOffsets_.Check();
  rowLengths_.Check();
  if (WrappedLineCount() != count) fail("line count differs from the buffer");
  if (stepLine_ < 0 || stepLine_ > count) fail("row shift step outside the lines");
  if (LineEnd(count - 1) != RowCount()) fail("row table size differs");
  std::vector<uint8_t> rows;
  for (int i = 0; i < count; ++i) {
    rows.clear();
    WrapBufferLine(i, rows);
    int first = RowsBefore(i);
    if (LineEnd(i) - first != static_cast<int>(rows.size()))
      fail("row count of line " + std::to_string(i + 1));
    for (size_t r = 0; r < rows.size(); ++r)
      if (rows[r] != rowLengths_[static_cast<size_t>(first) + r])
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
