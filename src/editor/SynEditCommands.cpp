// Execution of the built-in editor commands.
#include <algorithm>

#include "SynEdit.h"

namespace ludra {

void TCustomSynEdit::ApplyCommand(TSynEditorCommand command, char aChar, void* data) {
  (void)aChar;
  (void)data;
  BeginPaintLock();
  try {
    switch (command) {
      case ecLineBreak:
        DoLineBreak(false);
        break;
      case ecInsertLine:
        DoLineBreak(true);
        break;
      case ecSelectAll:
        SelectWholeText();
        break;
      case ecCopy:
        CopySelection();
        break;
      case ecCut:
        CutSelection();
        break;
      case ecPaste:
        PasteClipboard();
        break;
      case ecUndo:
        Undo();
        break;
      case ecRedo:
        Redo();
        break;
      default:
        break;
    }
  } catch (...) {
    EndPaintLock();
    throw;
  }
  EndPaintLock();
}

void TCustomSynEdit::DoLineBreak(bool insertLine) {
  if (ReadOnly()) return;
  BeginPaintLock();
  BeginUndoBlock();
  lines_->BeginUpdate();
  try {
    if (HasSelection()) {
      RecordSelectionDeletion();
      SetSelTextPrimitive(selectionMode_, std::string_view());
    }
    if (lines_->Count() == 0) lines_->Add(std::string());
    const TBufferCoord pos = CaretPos();
    const int x = pos.Char;
    const int y = pos.Line;
    const std::string s = lines_->Get(y - 1);
    const int len = static_cast<int>(s.size());
    TBufferCoord caret = pos;
    std::string moved;  // what the new line takes from the old one
    if (len == 0) {
      lines_->Insert(y - 1, std::string());
      if (!insertLine) {
        int width = 0;
        for (int l = y; l >= 1; --l) {
          std::string_view above = lines_->GetView(l - 1);
          if (!above.empty()) {
            width = LeadingWhitespaceCount(above, true);
            break;
          }
        }
        caret = {width + 1, y + 1};
      }
    } else if (x > len) {
      std::string indent;
      if (!insertLine && options_.Contains(eoAutoIndent)) {
        size_t n = 0;
        while (n < s.size() && static_cast<unsigned char>(s[n]) >= 1 &&
               static_cast<unsigned char>(s[n]) <= 32)
          ++n;
        indent = s.substr(0, n);
      }
      // Not through the trimming store: the indentation is the point.
      lines_->Insert(y, indent);
      if (!insertLine) caret = {static_cast<int>(indent.size()) + 1, y + 1};
    } else if (x == 1) {
      lines_->Insert(y - 1, std::string());
      moved = s;
      if (!insertLine) caret = {1, y + 1};
    } else {
      std::string left = s.substr(0, x - 1);
      moved = s.substr(x - 1);
      std::string indent = IndentationString(LeadingWhitespaceCount(left, true));
      StoreLine(y - 1, left);
      lines_->Insert(y, indent + moved);
      if (!insertLine) caret = {static_cast<int>(indent.size()) + 1, y + 1};
    }
    undoList_->RecordChange(ckLineBreak, pos, pos, moved, smNormal);
    FlushTrimRecords();
    InternalSetCaretPos(caret);
  } catch (...) {
    lines_->EndUpdate();
    selFrom_ = selTo_ = CaretPos();
    EndUndoBlock();
    EndPaintLock();
    throw;
  }
  lines_->EndUpdate();
  selFrom_ = selTo_ = CaretPos();
  EnsureCaretVisible();
  EndUndoBlock();
  EndPaintLock();
}

}  // namespace ludra
