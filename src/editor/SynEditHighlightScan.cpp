// The highlighter's end-of-line range states, kept per line in the buffer.
#include "SynEdit.h"
#include "SynEditHighlighter.h"
#include "SynEditTextBuffer.h"

namespace ludra {

namespace {

// One change bracket for a whole scan rather than one per stored state.
class TBufferUpdate {
 public:
  explicit TBufferUpdate(TSynEditStringList& lines) : lines_(lines) { lines_.BeginUpdate(); }
  ~TBufferUpdate() { lines_.EndUpdate(); }
  TBufferUpdate(const TBufferUpdate&) = delete;
  TBufferUpdate& operator=(const TBufferUpdate&) = delete;

 private:
  TSynEditStringList& lines_;
};

}  // namespace

int TCustomSynEdit::ScanFrom(int index) {
  TSynEditStringList& lines = *lines_;
  if (!highlighter_ || index < 0 || index >= lines.Count()) return index - 1;
  if (index == 0)
    highlighter_->ResetRangeState();
  else
    highlighter_->SetRangeState(lines.LineRange(index - 1));
  int last = lines.Count() - 1;
  TBufferUpdate update(lines);
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
  if (!highlighter_ || lines.Count() == 0) return;
  TBufferUpdate update(lines);
  highlighter_->ResetRangeState();
  for (int i = 0; i < lines.Count(); ++i) {
    highlighter_->StartLine(lines.GetView(i), i);
    highlighter_->ScanToLineEnd();
    lines.SetLineRange(i, highlighter_->GetRangeState());
  }
}

}  // namespace ludra
