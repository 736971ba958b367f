// The editor's side of word wrap: switching it, rows and lines, the caret
// at a row end, Home and End by rows, and the line notices.
#include <algorithm>
#include <climits>

#include "editor/SynEditCommandsInternal.h"
#include "editor/SynEditComponentHost.h"

namespace ludra {

std::unique_ptr<TSynWrapGlyph> TCustomSynEdit::MakeWrapGlyph() {
  auto glyph = std::make_unique<TSynWrapGlyph>();
  glyph->OnChange = [this](TSynWrapGlyph*) { InvalidateGutterLines(-1, -1); };
  return glyph;
}

void TCustomSynEdit::SetWordWrapGlyph(const TSynWrapGlyph& value) { wordWrapGlyph_->Assign(value); }

void TCustomSynEdit::SetWordWrap(bool value) {
  if (value == WordWrap()) return;
  InvalidateAll();
  auto lock = LockPaint();
  if (value) {
    wordWrap_ = std::make_unique<TSynWordWrapPlugin>(host_.get());
    SetFirstVisibleColumn(1);  // no horizontal scrolling while wrapping
  } else {
    wordWrap_.reset();
    caretAfterWrapAt_ = {0, 0};
  }
  UpdateScrollBars();
  if (options_.Contains(eoScrollPastEol)) {
    // Positions past a row end were allowed before; apply the limits again.
    TBufferCoord from = caret_.SelFrom, to = caret_.SelTo;
    InternalSetCaretPos(CaretPos(), false);
    caret_.SelFrom = LimitSelectionPoint(from);
    caret_.SelTo = LimitSelectionPoint(to);
  }
  SetTopRow(view_.TopRow);
  EnsureCaretVisible();
}

int TCustomSynEdit::LineToRow(int line) const {
  return wordWrap_ ? wordWrap_->LineToRow(line) : line;
}

int TCustomSynEdit::RowToLine(int row) const { return wordWrap_ ? wordWrap_->RowToLine(row) : row; }

int TCustomSynEdit::DisplayRowCount() const {
  return std::max(wordWrap_ ? wordWrap_->RowCount() : lines_->Count(), 1);
}

void TCustomSynEdit::WrapLinesToRows(int& first, int& last, int& count) const {
  int lines = count;
  count = wordWrap_->RowCount();
  first = wordWrap_->LineToRow(first);
  // The last row of line last; everything below when last is past the text.
  last = last >= lines ? INT_MAX : wordWrap_->LineToRow(last + 1) - 1;
}

// --- Caret at a row end -------------------------------------------------------------

TDisplayCoord TCustomSynEdit::DisplayCaretPos() const {
  TDisplayCoord d = BufferToDisplay(CaretPos());
  if (CaretAfterWrap() && d.Column == 1 && d.Row > 1 && RowToLine(d.Row - 1) == caret_.CaretLine) {
    --d.Row;
    d.Column = wordWrap_->GetRowLength(d.Row) + 1;
  }
  return d;
}

void TCustomSynEdit::SetCaretAfterWrap(bool value) {
  TBufferCoord at = value && wordWrap_ ? CaretPos() : TBufferCoord{0, 0};
  if (at == caretAfterWrapAt_) return;
  caretAfterWrapAt_ = at;
  state_ += TSynStateFlags{sfCaretChanged};
  UpdateCaret();
}

// Column 1 of a row after the caret line's first row.
static bool AtContinuationStart(const TCustomSynEdit& e, const TDisplayCoord& d) {
  return d.Column == 1 && d.Row > 1 && e.RowToLine(d.Row - 1) == e.CaretLine();
}

bool TCustomSynEdit::WrapCaretStep(int dx) {
  if (!wordWrap_ || dx == 0) return false;
  bool after = CaretAfterWrap();
  if (dx > 0 && after) {
    SetCaretAfterWrap(false);  // from the row end to the next row's start
    return true;
  }
  if (dx < 0 && !after && AtContinuationStart(*this, BufferToDisplay(CaretPos()))) {
    SetCaretAfterWrap(true);  // to the end of the row above, same character
    return true;
  }
  return false;
}

void TCustomSynEdit::WrapCaretMoved(int dx) {
  if (!wordWrap_ || dx <= 0 || caret_.CaretChar > LineLength(caret_.CaretLine)) return;
  if (AtContinuationStart(*this, BufferToDisplay(CaretPos()))) SetCaretAfterWrap(true);
}

bool TCustomSynEdit::WrappedLineStartEnd(bool toEnd, bool select) {
  if (!wordWrap_) return false;
  TDisplayCoord d = DisplayCaretPos();
  int firstRow = wordWrap_->LineToRow(caret_.CaretLine);
  // On the line's first row the enhanced Home rule of unwrapped lines applies.
  if (!toEnd && d.Row == firstRow && options_.Contains(eoEnhanceHomeKey)) return false;
  bool lastRowOfLine =
      wordWrap_->RowToLine(d.Row + 1) != caret_.CaretLine || d.Row >= wordWrap_->RowCount();
  TDisplayCoord target{1, d.Row};
  if (toEnd) target.Column = std::min(wordWrap_->GetRowLength(d.Row) + 1, view_.VisibleColumns + 1);
  TBufferCoord before = CaretPos();
  TCommandContext context(*this);
  MoveCaretAndSelection(context, before, DisplayToBuffer(target), select);
  SetCaretAfterWrap(toEnd && !lastRowOfLine);
  return true;
}

// --- Line notices ---------------------------------------------------------------------

void TCustomSynEdit::WrapLinesInserted(int index, int count) {
  if (wordWrap_) wordWrap_->LinesInserted(index, count);
}

void TCustomSynEdit::WrapLinesDeleted(int index, int count) {
  if (wordWrap_) wordWrap_->LinesDeleted(index, count);
}

void TCustomSynEdit::WrapLinesChanged(int index, int count) {
  if (!wordWrap_) return;
  if (wordWrap_->LinesPutted(index, count) != 0) {
    // The rows below moved.
    InvalidateLines(index + 1, INT_MAX);
    InvalidateGutterLines(index + 1, INT_MAX);
    state_ += TSynStateFlags{sfScrollBarsChanged};
  }
}

}  // namespace ludra
