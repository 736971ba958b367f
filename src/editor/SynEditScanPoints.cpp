#include "editor/SynEditScanPoints.h"

#include <algorithm>
#include <cstring>

namespace ludra {

TSynScanPoints::TLine& TSynScanPoints::Build(TSynCustomHighlighter& hl, std::string_view text,
                                             int index, TSynRange state) {
  if (lines_.size() >= kMaxLines) lines_.clear();
  TLine& line = lines_[index];
  line = TLine{&hl, state, text.size(), {}};
  line.Points.reserve(text.size() / kSpacing + 1);
  hl.SetRangeState(state);
  hl.StartLine(text, index);
  // A point every kSpacing bytes, also inside a long token (a comment to
  // the line end), so that no resumed scan starts far before its column.
  int next = kSpacing;
  TSynScanPoint point;
  while (!hl.AtLineEnd()) {
    next = std::max(next, hl.TokenStart());
    while (hl.GetScanPoint(next, point)) {
      line.Points.push_back(point);
      next += kSpacing;
    }
    hl.NextToken();
  }
  return line;
}

void TSynScanPoints::StartLine(TSynCustomHighlighter& hl, std::string_view text, int index,
                               TSynRange state, int column) {
  if (text.size() < static_cast<size_t>(kMinLineLength) || column < kSpacing) {
    hl.SetRangeState(state);
    hl.StartLine(text, index);
    return;
  }
  auto found = lines_.find(index);
  TLine* line = found == lines_.end() ? nullptr : &found->second;
  if (!line || line->Highlighter != &hl || line->State != state || line->Length != text.size())
    line = &Build(hl, text, index, state);
  auto after = std::upper_bound(line->Points.begin(), line->Points.end(), column,
                                [](int c, const TSynScanPoint& p) { return c < p.Position; });
  hl.SetRangeState(state);
  if (after == line->Points.begin()) {
    hl.StartLine(text, index);
    return;
  }
  hl.StartLineAt(text, index, *std::prev(after));
}

namespace {

// Adds the display columns of `text` to `column`.
int CountColumns(std::string_view text, int tabWidth, int column) {
  for (size_t i = 0; i < text.size();) {
    const void* tab = std::memchr(text.data() + i, '\t', text.size() - i);
    size_t next =
        tab ? static_cast<size_t>(static_cast<const char*>(tab) - text.data()) : text.size();
    column += static_cast<int>(next - i);
    if (next == text.size()) break;
    column += tabWidth - column % tabWidth;
    i = next + 1;
  }
  return column;
}

}  // namespace

int TSynScanPoints::DisplayColumn(std::string_view raw, int index, int tabWidth, int ch) {
  ch = std::clamp(ch, 0, static_cast<int>(raw.size()));
  if (raw.size() < static_cast<size_t>(kMinLineLength) || ch < kSpacing)
    return CountColumns(raw.substr(0, static_cast<size_t>(ch)), tabWidth, 0);
  auto found = columns_.find(index);
  if (found == columns_.end() || found->second.RawLength != raw.size() ||
      found->second.TabWidth != tabWidth) {
    if (columns_.size() >= kMaxLines) columns_.clear();
    TColumns& c = columns_[index];
    c = TColumns{raw.size(), tabWidth, {0}};
    for (size_t at = kSpacing; at <= raw.size(); at += kSpacing)
      c.Columns.push_back(
          CountColumns(raw.substr(at - kSpacing, kSpacing), tabWidth, c.Columns.back()));
    found = columns_.find(index);
  }
  const size_t point = static_cast<size_t>(ch / kSpacing);
  const size_t from = point * kSpacing;
  return CountColumns(raw.substr(from, static_cast<size_t>(ch) - from), tabWidth,
                      found->second.Columns[point]);
}

void TSynScanPoints::LinesChanged(int index, int count) {
  if (lines_.empty() && expanded_.empty() && columns_.empty()) return;
  for (int i = index; i < index + count; ++i) {
    lines_.erase(i);
    if (auto e = expanded_.find(i); e != expanded_.end()) {
      expandedBytes_ -= e->second.Text.size();
      expanded_.erase(e);
    }
    columns_.erase(i);
  }
}

}  // namespace ludra
