// The selection as the control's public face handles it: its text, replacing
// and deleting it as one undo step, selecting everything, and the clipboard.
// The primitives are the editing component's.
#include <algorithm>

#include "editor/SynEditComponentHost.h"
#include "platform/SynClipboard.h"

namespace ludra {

std::string TCustomSynEdit::SelectedText() const {
  return editing_->SelectedText(!options_.Contains(eoTrimTrailingSpaces));
}

void TCustomSynEdit::SetSelectedText(const std::string& value) {
  if (!ReadOnly()) editing_->SetSelectedText(value);
}

void TCustomSynEdit::DeleteSelection() {
  if (HasSelection()) SetSelectedText(std::string());
}

void TCustomSynEdit::SelectWholeText() {
  auto lock = LockPaint();
  int count = lines_->Count();
  TBufferCoord end = count == 0 ? TBufferCoord{1, 1} : TBufferCoord{LineLength(count) + 1, count};
  InternalSetCaretPos(end);
  SetSelFrom({1, 1});
  SetSelTo(end);
  StatusChanged({scSelection});
}

void TCustomSynEdit::CopySelection() {
  if (!HasSelection() || clipboard_ == nullptr) return;
  // Column blocks keep their padding on the clipboard whatever the trimming.
  clipboard_->SetText(editing_->SelectedText(true), caret_.Mode);
}

void TCustomSynEdit::CutSelection() {
  if (ReadOnly() || !HasSelection()) return;
  CopySelection();
  auto step = editing_->EditStep();
  editing_->DeleteRange(caret_.SelFrom, caret_.SelTo, ckDelete, caret_.Mode);
}

void TCustomSynEdit::PasteClipboard() {
  if (ReadOnly() || clipboard_ == nullptr) return;
  // Asked before anything changes: another program's clipboard may keep
  // the paste waiting while the window paints.
  std::optional<TSynClipboardContent> content = clipboard_->PasteContent();
  DoOnPaintTransient(ttBefore);
  {
    auto lock = LockPaint();
    {
      // Blanks trimmed from the end of the pasted text still advance the
      // caret: what is typed next follows them.
      auto pastEol = AllowPastEol();
      auto block = editing_->OpenUndoBlock();
      if (content) {
        TSynSelectionMode mode = content->FromBlock ? content->Mode : caret_.Mode;
        // Trimmed blanks belong inside the markers.
        editing_->MarkStep(ckPasteBegin, SelFirst(), SelLast(), smNormal);
        editing_->ReplaceSelection(content->Text, mode, ckPaste);
        editing_->MarkStep(ckPasteEnd, CaretPos(), CaretPos(), smNormal);
      }
    }
    if (options_.Contains(eoHideShowScrollbars)) {
      // Shown at once, even inside an outer update bracket.
      auto keepLock = Preserve(paintLock_);
      paintLock_ = 0;
      UpdateScrollBars();
    }
    EnsureCaretVisible();
    StatusChanged({scSelection});
  }
  DoOnPaintTransient(ttAfter);
}

}  // namespace ludra
