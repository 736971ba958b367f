// The highlighter's end-of-line range states, kept per line in the buffer.
#include <algorithm>
#include <utility>

#include "buffer/SynEditTextBuffer.h"
#include "editor/SynEditComponentHost.h"
#include "highlight/SynEditHighlighter.h"

namespace ludra {

int TCustomSynEdit::ScanFrom(int index) {
  TSynEditStringList& lines = *lines_;
  if (!highlighter_ || index < 0 || index >= lines.Count()) return index - 1;
  if (index == 0)
    highlighter_->ResetRangeState();
  else
    highlighter_->SetRangeState(lines.LineRange(index - 1));
  int last = lines.Count() - 1;
  // One change bracket for a whole scan rather than one per stored state.
  auto update = lines.Updating();
  for (int i = index;; ++i) {
    highlighter_->StartLine(lines.GetView(i), i);
    highlighter_->ScanToLineEnd();
    TSynRange state = highlighter_->GetRangeState();
    if (lines.LineRange(i) == state) return i;
    lines.SetLineRange(i, state);
    if (i == last) return i;
  }
}

void TCustomSynEdit::ScanRanges() {
  TSynEditStringList& lines = *lines_;
  pendingScanBegin_ = pendingScanEnd_ = 0;
  scanPoints_->Clear();  // another highlighter, or other rules
  if (!highlighter_ || lines.Count() == 0) return;
  auto update = lines.Updating();
  highlighter_->ResetRangeState();
  for (int i = 0; i < lines.Count(); ++i) {
    highlighter_->StartLine(lines.GetView(i), i);
    highlighter_->ScanToLineEnd();
    lines.SetLineRange(i, highlighter_->GetRangeState());
  }
}

int TCustomSynEdit::ScanSpan(int first, int last) {
  last = std::min(last, lines_->Count());
  int scanned = first - 1;
  // Every line of the span is scanned, even where a stale stored state
  // happens to agree; after it the scan runs on until the states agree.
  for (int i = std::max(first, 0); i < last;) {
    scanned = std::max(scanned, ScanFrom(i));
    i = std::max(scanned, i) + 1;
  }
  return scanned;
}

void TCustomSynEdit::MarkForScan(int first, int last) {
  if (!highlighter_ || last <= first) return;
  if (!ScanPending()) {
    pendingScanBegin_ = first;
    pendingScanEnd_ = last;
  } else if (first <= pendingScanEnd_ && last >= pendingScanBegin_) {
    pendingScanBegin_ = std::min(pendingScanBegin_, first);
    pendingScanEnd_ = std::max(pendingScanEnd_, last);
  } else {
    // A change apart from the waiting lines: both are scanned now, the upper
    // one first, so that each scan starts from a state that is up to date.
    std::pair<int, int> upper{pendingScanBegin_, pendingScanEnd_}, lower{first, last};
    if (lower.first < upper.first) std::swap(upper, lower);
    pendingScanBegin_ = pendingScanEnd_ = 0;
    auto update = lines_->Updating();
    for (auto [b, e] : {upper, lower}) {
      int end = ScanSpan(b, e);
      if (end >= b) InvalidateLines(b + 1, end + 1);
    }
    return;
  }
  // Outside the paint lock and a buffer bracket nothing else ends the wait.
  if (paintLock_ == 0 && lines_->UpdateCount() == 0) FlushPendingScan();
}

bool TCustomSynEdit::FlushPendingScan() {
  if (!ScanPending()) return false;
  int first = pendingScanBegin_, last = pendingScanEnd_;
  pendingScanBegin_ = pendingScanEnd_ = 0;
  // One bracket for the whole scan: the buffer's change notice comes once,
  // after it, with the repaint of the lines whose state changed.
  auto keepScanning = Preserve(scanningPending_);
  scanningPending_ = true;
  auto update = lines_->Updating();
  int end = ScanSpan(first, last);
  if (end >= first) InvalidateLines(first + 1, end + 1);
  return true;
}

TSynRange TCustomSynEdit::LineStartState(int index) const {
  TSynCustomHighlighter* hl = highlighter_;
  if (!hl) return 0;
  int from = index;  // the first line whose start state is not stored
  if (ScanPending() && pendingScanBegin_ < index) from = std::max(pendingScanBegin_, 0);
  if (from == 0)
    hl->ResetRangeState();
  else
    hl->SetRangeState(lines_->LineRange(from - 1));
  if (from == index) return hl->GetRangeState();
  for (int i = from; i < index; ++i) {
    hl->StartLine(lines_->GetView(i), i);
    hl->ScanToLineEnd();
  }
  return hl->GetRangeState();
}

bool TCustomSynEdit::InFreeText(const TBufferCoord& pos) const {
  TSynCustomHighlighter* hl = highlighter_;
  if (!hl || pos.Line < 1 || pos.Line > lines_->Count()) return false;
  std::string_view text = lines_->GetView(pos.Line - 1);
  const int at = pos.Char - 1;
  if (at < 0 || at >= static_cast<int>(text.size())) return false;
  hl->SetRangeState(LineStartState(pos.Line - 1));
  hl->StartLine(text, pos.Line - 1);
  while (!hl->AtLineEnd()) {
    const int start = hl->TokenStart();
    const bool freeText = hl->TokenIsFreeText();
    hl->NextToken();
    const int end = hl->AtLineEnd() ? static_cast<int>(text.size()) : hl->TokenStart();
    if (at < end) return at >= start && freeText;
  }
  return false;
}

}  // namespace ludra
