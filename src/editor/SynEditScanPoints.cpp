#include "editor/SynEditScanPoints.h"

#include <algorithm>

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

void TSynScanPoints::LinesChanged(int index, int count) {
  if (lines_.empty()) return;
  for (int i = index; i < index + count; ++i) lines_.erase(i);
}

}  // namespace ludra
