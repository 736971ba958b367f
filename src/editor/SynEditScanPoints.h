#pragma once
// Scan points along long lines. Painting a row scans its line with the
// highlighter up to the visible columns; at the far end of a line of
// megabytes that scan, repeated for every caret blink and key, would cost
// more than everything else. The points let the scan resume close to the
// visible columns instead of at the line start. Such lines also keep their
// text with the tabs expanded and the display column every few kilobytes,
// so that a caret blink neither copies the line nor counts its tabs again.
#include <string>
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

  // The painted text of a long line with tabs (`raw` with its tabs expanded
  // as `expand` does it), made once and kept until the line changes.
  template <typename Expand>
  std::string_view ExpandedLine(std::string_view raw, int index, Expand expand) {
    auto found = expanded_.find(index);
    if (found != expanded_.end() && found->second.RawLength == raw.size())
      return found->second.Text;
    if (expandedBytes_ > kMaxExpandedBytes) ExpandedClear();
    TExpanded& e = expanded_[index];
    e = TExpanded{raw.size(), expand()};
    expandedBytes_ += e.Text.size();
    return e.Text;
  }
  // The display column (0-based) of character `ch` (0-based) of `raw`, line
  // `index`, with tabs `tabWidth` columns apart.
  int DisplayColumn(std::string_view raw, int index, int tabWidth, int ch);

  // The text of these lines changed.
  void LinesChanged(int index, int count);
  // Lines were inserted or deleted, the highlighter or the tab width changed.
  void Clear() {
    lines_.clear();
    ExpandedClear();
    columns_.clear();
  }
  size_t LineCount() const { return lines_.size(); }

 private:
  struct TLine {
    const TSynCustomHighlighter* Highlighter = nullptr;
    TSynRange State = 0;
    size_t Length = 0;
    std::vector<TSynScanPoint> Points;  // in line order
  };
  TLine& Build(TSynCustomHighlighter& hl, std::string_view text, int index, TSynRange state);

  struct TExpanded {
    size_t RawLength = 0;
    std::string Text;
  };
  // Expanded texts kept at a time, in bytes: past it they are made afresh.
  static constexpr size_t kMaxExpandedBytes = size_t{64} << 20;
  void ExpandedClear() {
    expanded_.clear();
    expandedBytes_ = 0;
  }

  struct TColumns {
    size_t RawLength = 0;
    int TabWidth = 0;
    std::vector<int> Columns;  // the display column of every kSpacing-th character
  };

  std::unordered_map<int, TLine> lines_;
  std::unordered_map<int, TExpanded> expanded_;
  size_t expandedBytes_ = 0;
  std::unordered_map<int, TColumns> columns_;
};

}  // namespace ludra
