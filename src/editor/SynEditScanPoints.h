#pragma once
// Scan points along long lines. Painting a row scans its line with the
// highlighter up to the visible columns; at the far end of a line of
// megabytes that scan, repeated for every caret blink and key, would cost
// more than everything else. The points let the scan resume close to the
// visible columns instead of at the line start.
#include <string_view>
#include <unordered_map>
#include <vector>

#include "highlight/SynEditHighlighter.h"

namespace ludra {

class TSynScanPoints {
 public:
  // Bytes between two points, and the shortest line that gets points:
  // shorter lines are scanned whole, which costs less than keeping points.
  static constexpr int kSpacing = 8192;
  static constexpr int kMinLineLength = 4 * kSpacing;
  // Lines whose points are kept at a time.
  static constexpr size_t kMaxLines = 64;

  // Starts `hl` on line `index` (0-based, `text` as painted, scanned from
  // `state`) at the last token that starts at or before `column` (0-based)
  // or earlier: the tokens from there on are those of a scan from the start.
  void StartLine(TSynCustomHighlighter& hl, std::string_view text, int index, TSynRange state,
                 int column);

  // The text of these lines changed.
  void LinesChanged(int index, int count);
  // Lines were inserted or deleted, the highlighter or the tab width changed.
  void Clear() { lines_.clear(); }
  size_t LineCount() const { return lines_.size(); }

 private:
  struct TLine {
    const TSynCustomHighlighter* Highlighter = nullptr;
    TSynRange State = 0;
    size_t Length = 0;
    std::vector<TSynScanPoint> Points;  // in line order
  };
  TLine& Build(TSynCustomHighlighter& hl, std::string_view text, int index, TSynRange state);

  std::unordered_map<int, TLine> lines_;
};

}  // namespace ludra
