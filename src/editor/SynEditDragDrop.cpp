// Dragging the selection within one editor or between editors, and files
// dropped from the desktop.
#include <algorithm>

#include "editor/SynEditCommandsInternal.h"
#include "editor/SynEditComponentHost.h"

namespace ludra {

void TCustomSynEdit::DragOver(TCustomSynEdit* source, int x, int y, TDragState state,
                              TShiftState shift, bool& accept, TCursor& dragCursor) {
  mouse_->Last = {x, y};
  if (source == nullptr || ReadOnly()) return;
  accept = true;
  dragCursor = shift.Contains(ssCtrl) ? crMultiDrag : crDrag;
  if (!mouse_->Dragging || source != this) {
    ComputeCaretAt(x, y);
    return;
  }
  if (state == dsDragLeave) {
    ComputeCaretAt(mouse_->Down.X, mouse_->Down.Y);
    StopAutoScroll();
    return;
  }
  TDisplayCoord cell = PixelsToRowColumn(x, y);
  cell.Column =
      std::max(view_.FirstVisibleColumn,
               std::min(cell.Column, view_.FirstVisibleColumn + view_.VisibleColumns - 1));
  cell.Row =
      std::max(view_.TopRow, std::min(cell.Row, view_.TopRow + std::max(view_.VisibleRows, 1) - 1));
  InternalSetCaretPos(DisplayToBuffer(cell), false);
  ComputeAutoScroll(x, y);
}

void TCustomSynEdit::EndDrag() {
  mouse_->Dragging = false;
  StopAutoScroll();
}

void TCustomSynEdit::DragDrop(TCustomSynEdit* source, int x, int y, TShiftState shift) {
  mouse_->Last = {x, y};
  if (source == nullptr || !source->HasSelection() || ReadOnly()) return;
  auto lock = LockPaint();
  ComputeCaretAt(x, y);
  TBufferCoord p = CaretPos();
  bool sameEditor = source == this;
  bool move, allowed, behind = false;
  TBufferCoord first = SelFirst(), last = SelLast();
  if (sameEditor) {
    move = !shift.Contains(ssCtrl);
    behind = p > last || (!move && p == last);
    allowed = behind || p < first || (!move && p == first);
  } else {
    move = shift.Contains(ssShift);
    allowed = true;
  }
  if (!allowed) return;
  std::string text = source->SelectedText();
  auto block = editing_->OpenUndoBlock();
  if (move && sameEditor) {
    // The block goes first; p is corrected so it points at the same text.
    editing_->DeleteRange(first, last, ckDelete, caret_.Mode);
    if (behind) {
      if (p.Line == last.Line) p.Char = first.Char + (p.Char - last.Char);
      p.Line -= last.Line - first.Line;
    }
  } else if (move) {
    source->SetSelectedText(std::string());
  }
  auto keepOptions = Preserve(options_);
  options_ += TSynEditorOptions{eoScrollPastEol};
  InternalSetCaretPos(p);
  SetSelFrom(p);
  TSynEditing::TInsertedRange r =
      editing_->Insert(CaretPos(), text, sameEditor ? ckDropInsert : ckInsert);
  SetSelFrom(r.End);
  SetSelTo(r.End);
  TBufferCoord target = r.Start;
  // Caret to the start with the dropped text selected.
  RunCommand(ecSelGotoXY, '\0', &target);
}

void TCustomSynEdit::DropFiles(int x, int y, const std::vector<std::string>& files) {
  if (!options_.Contains(eoDropFiles) || !OnDropFiles) return;
  TStringList names;
  // Names are passed whole: a cut path would name another file.
  for (const std::string& f : files) names.Add(f);
  OnDropFiles(this, x, y, names);
}

}  // namespace ludra
