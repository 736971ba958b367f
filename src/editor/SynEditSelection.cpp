// Selection text: reading it, the replace primitive in the three selection
// modes, and the clipboard operations.
#include <algorithm>

#include "editor/SynEdit.h"
#include "platform/SynClipboard.h"

namespace ludra {

namespace {

// Splits at CR LF, CR or LF; a line end at the very end gives a final empty
// piece.
std::vector<std::string_view> SplitPieces(std::string_view text) {
  std::vector<std::string_view> pieces;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c != '\r' && c != '\n') continue;
    pieces.push_back(text.substr(start, i - start));
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  pieces.push_back(text.substr(start));
  return pieces;
}

}  // namespace

std::string TCustomSynEdit::SelectedText() const {
  return GetSelectedText(!options_.Contains(eoTrimTrailingSpaces));
}

std::string TCustomSynEdit::GetSelectedText(bool withPadding) const {
  if (!HasSelection()) return {};
  TBufferCoord first = SelFirst();
  TBufferCoord last = SelLast();
  auto line = [this](int l) { return lines_->GetView(l - 1); };
  std::string result;
  switch (caret_.Mode) {
    case smNormal: {
      std::string_view s = line(first.Line);
      size_t from = std::min<size_t>(first.Char - 1, s.size());
      if (first.Line == last.Line) {
        size_t to = std::min<size_t>(last.Char - 1, s.size());
        if (to > from) result = s.substr(from, to - from);
        break;
      }
      result = s.substr(from);
      for (int l = first.Line + 1; l < last.Line; ++l) {
        result += "\r\n";
        result += line(l);
      }
      std::string_view e = line(last.Line);
      result += "\r\n";
      result += e.substr(0, std::min<size_t>(last.Char - 1, e.size()));
      break;
    }
    case smLine:
      for (int l = first.Line; l <= last.Line; ++l) {
        result += line(l);
        if (l < lines_->Count()) result += "\r\n";
      }
      break;
    case smColumn: {
      int c1 = std::min(caret_.SelFrom.Char, caret_.SelTo.Char);
      int c2 = std::max(caret_.SelFrom.Char, caret_.SelTo.Char);
      for (int l = first.Line; l <= last.Line; ++l) {
        std::string_view s = line(l);
        size_t start = c1 - 1;
        size_t taken = 0;
        if (start < s.size()) {
          taken = std::min<size_t>(c2 - 1, s.size()) - start;
          result += s.substr(start, taken);
        }
        if (withPadding) result.append(c2 - c1 - taken, ' ');
        if (l < last.Line) result += "\r\n";
      }
      break;
    }
  }
  return result;
}

void TCustomSynEdit::DeleteSelectionPrimitive() {
  TBufferCoord first = SelFirst();
  TBufferCoord last = SelLast();
  if (lines_->Count() == 0) return;
  switch (caret_.Mode) {
    case smNormal: {
      std::string s1 = lines_->Get(first.Line - 1);
      std::string_view s2 = lines_->GetView(last.Line - 1);
      std::string joined = s1.substr(0, std::min<size_t>(first.Char - 1, s1.size()));
      joined += s2.substr(std::min<size_t>(last.Char - 1, s2.size()));
      JoinLines(first.Line - 1, last.Line - first.Line, joined,
                options_.Contains(eoScrollPastEol) && options_.Contains(eoTrimTrailingSpaces));
      InternalSetCaretPos(first);
      break;
    }
    case smLine:
      if (last.Line >= lines_->Count()) {
        // The last line of the buffer stays, emptied.
        lines_->DeleteLines(first.Line - 1, last.Line - first.Line);
        lines_->Put(first.Line - 1, std::string());
      } else {
        lines_->DeleteLines(first.Line - 1, last.Line - first.Line + 1);
      }
      InternalSetCaretPos({1, first.Line});
      break;
    case smColumn: {
      int c1 = std::min(caret_.SelFrom.Char, caret_.SelTo.Char);
      int c2 = std::max(caret_.SelFrom.Char, caret_.SelTo.Char);
      for (int l = first.Line; l <= last.Line && l <= lines_->Count(); ++l) {
        std::string s = lines_->Get(l - 1);
        size_t start = c1 - 1;
        if (start >= s.size()) continue;
        s.erase(start, std::min<size_t>(c2 - 1, s.size()) - start);
        StoreLine(l - 1, s);
      }
      // The caret keeps the row of the moving end, at the block's left edge.
      InternalSetCaretPos({c1, caret_.SelTo.Line});
      break;
    }
  }
  caret_.Collapse();
  // Blanks trimmed by the deletion are recorded before anything is inserted.
  FlushTrimRecords();
}

TCustomSynEdit::TInsertedRange TCustomSynEdit::InsertNormal(std::string_view value) {
  std::vector<std::string_view> pieces = SplitPieces(value);
  if (lines_->Count() == 0) lines_->Add(std::string());
  int x = caret_.CaretChar;
  int y = std::min(caret_.CaretLine, lines_->Count());
  std::string s = lines_->Get(y - 1);
  int len = static_cast<int>(s.size());
  std::string head = s.substr(0, std::min(x - 1, len));
  head.append(std::max(0, x - 1 - len), ' ');
  std::string tail = s.substr(std::min(x - 1, len));
  TBufferCoord start{std::min(x, len + 1), y};
  TBufferCoord end;
  int n = static_cast<int>(pieces.size());
  if (n == 1) {
    std::string text = head;
    text += pieces[0];
    end = {static_cast<int>(text.size()) + 1, y};
    StoreLine(y - 1, text + tail);
  } else {
    // At character 1 the caret line's text, and its marks, move down to the
    // last line written; elsewhere the new lines follow the caret line.
    int firstNew = x == 1 ? y - 1 : y;
    lines_->InsertLines(firstNew, n - 1);
    for (int i = 0; i < n; ++i) {
      // Lines made by InsertLines claim a scanned range; these are not scanned.
      if (y - 1 + i >= firstNew && y - 1 + i < firstNew + n - 1)
        lines_->SetLineRange(y - 1 + i, NullRange);
      std::string text = i == 0 ? head : std::string();
      text += pieces[i];
      if (i == n - 1) text += tail;
      StoreLine(y - 1 + i, text);
    }
    end = {static_cast<int>(pieces[n - 1].size()) + 1, y + n - 1};
  }
  // The caret ends after the inserted text even where trimming took the
  // typed blanks away.
  InternalSetCaretPos(end);
  return {start, end};
}

TCustomSynEdit::TInsertedRange TCustomSynEdit::InsertByLines(std::string_view value) {
  std::vector<std::string_view> pieces = SplitPieces(value);
  int y = std::min(caret_.CaretLine, lines_->Count() + 1);
  TBufferCoord start{1, y};
  int complete = static_cast<int>(pieces.size()) - 1;
  if (complete > 0) {
    lines_->InsertLines(y - 1, complete);
    for (int i = 0; i < complete; ++i) {
      lines_->SetLineRange(y - 1 + i, NullRange);
      lines_->Put(y - 1 + i, std::string(pieces[i]));
    }
    y += complete;
  }
  std::string final(pieces.back());
  int finalLength = static_cast<int>(final.size());
  if (y > lines_->Count())
    StoreLine(lines_->Count(), final);
  else
    StoreLine(y - 1, final + lines_->Get(y - 1));
  TBufferCoord end{finalLength + 1, y};
  InternalSetCaretPos(end);
  return {start, end};
}

TCustomSynEdit::TInsertedRange TCustomSynEdit::InsertColumn(std::string_view value,
                                                            bool addToUndoList,
                                                            TSynChangeKind pieceKind) {
  std::vector<std::string_view> pieces = SplitPieces(value);
  int index = caret_.CaretChar;
  int y = caret_.CaretLine;
  int n = static_cast<int>(pieces.size());
  for (int i = 0; i < n; ++i) {
    int line = y + i;
    std::string_view piece = pieces[i];
    TBufferCoord start;
    TBufferCoord end;
    if (line > lines_->Count()) {
      // A new last line; recorded as the insertion of a line end and the
      // line's text, so redo does not depend on auto-indent.
      int count = lines_->Count();
      start = count > 0 ? TBufferCoord{LineLength(count) + 1, count} : TBufferCoord{1, 1};
      std::string text(index - 1, ' ');
      text += piece;
      end = {static_cast<int>(text.size()) + 1, count + 1};
      StoreLine(count, text);
    } else {
      if (piece.empty()) continue;
      std::string s = lines_->Get(line - 1);
      int len = static_cast<int>(s.size());
      if (len < index - 1) {
        start = {len + 1, line};
        s.append(index - 1 - len, ' ');
        s += piece;
      } else {
        start = {index, line};
        s.insert(index - 1, piece);
      }
      end = {index + static_cast<int>(piece.size()), line};
      StoreLine(line - 1, s);
    }
    if (addToUndoList) {
      undoList_->RecordChange(pieceKind, start, end, std::string(), smNormal);
      FlushTrimRecords();
    }
  }
  TBufferCoord end{index + static_cast<int>(pieces.back().size()), y + n - 1};
  InternalSetCaretPos(end);
  return {{index, y}, end};
}

TCustomSynEdit::TInsertedRange TCustomSynEdit::SetSelTextPrimitive(TSynSelectionMode mode,
                                                                   std::string_view value,
                                                                   bool addToUndoList,
                                                                   TSynChangeKind pieceKind) {
  auto lock = LockPaint();
  // The selection collapses onto the caret once the buffer has caught up.
  auto collapse = TBracket([this] { caret_.Collapse(); });
  auto update = lines_->Updating();
  if (HasSelection()) {
    bool column = caret_.Mode == smColumn;
    TBufferCoord corner{std::min(caret_.SelFrom.Char, caret_.SelTo.Char), SelFirst().Line};
    DeleteSelectionPrimitive();
    // A replacement goes into the block's top-left corner.
    if (column && !value.empty()) InternalSetCaretPos(corner);
  }
  TInsertedRange range{CaretPos(), CaretPos()};
  if (!value.empty()) {
    switch (mode) {
      case smNormal:
        range = InsertNormal(value);
        break;
      case smLine:
        range = InsertByLines(value);
        break;
      case smColumn:
        range = InsertColumn(value, addToUndoList, pieceKind);
        break;
    }
  }
  if (caret_.CaretLine < 1) InternalSetCaretPos({caret_.CaretChar, 1});
  return range;
}

void TCustomSynEdit::RecordSelectionDeletion() {
  // The removed text without column padding, so undo puts back exactly it.
  undoList_->RecordChange(ckDelete, SelFirst(), SelLast(), GetSelectedText(false), caret_.Mode);
}

void TCustomSynEdit::SetSelectedText(const std::string& value) {
  if (ReadOnly()) return;
  if (!HasSelection() && value.empty()) return;
  auto step = EditStep();
  if (HasSelection()) {
    RecordSelectionDeletion();
    TBufferCoord first = SelFirst(), last = SelLast();
    caret_.SelFrom = first;
    caret_.SelTo = last;
  }
  TInsertedRange r = SetSelTextPrimitive(caret_.Mode, value, true, ckInsert);
  // Column insertions record their pieces themselves.
  if (caret_.Mode != smColumn && !value.empty())
    undoList_->RecordChange(ckInsert, r.Start, r.End, std::string(), smNormal);
  FlushTrimRecords();
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
  clipboard_->SetText(GetSelectedText(true), caret_.Mode);
}

void TCustomSynEdit::CutSelection() {
  if (ReadOnly() || !HasSelection()) return;
  CopySelection();
  auto step = EditStep();
  RecordSelectionDeletion();
  SetSelTextPrimitive(caret_.Mode, std::string_view());
}

void TCustomSynEdit::PasteClipboard() {
  if (ReadOnly() || clipboard_ == nullptr) return;
  DoOnPaintTransient(ttBefore);
  {
    auto lock = LockPaint();
    {
      // Blanks trimmed from the end of the pasted text still advance the
      // caret: what is typed next follows them.
      auto pastEol = AllowPastEol(options_);
      auto block = OpenUndoBlock();
      std::optional<TSynClipboardContent> content = clipboard_->PasteContent();
      if (content) {
        TSynSelectionMode mode = content->FromBlock ? content->Mode : caret_.Mode;
        undoList_->RecordChange(ckPasteBegin, SelFirst(), SelLast(), std::string(), smNormal);
        if (HasSelection()) RecordSelectionDeletion();
        TInsertedRange r = SetSelTextPrimitive(mode, content->Text, true, ckPaste);
        if (mode != smColumn && !content->Text.empty())
          undoList_->RecordChange(ckPaste, r.Start, r.End, std::string(), smNormal);
        // Trimmed blanks belong inside the markers.
        FlushTrimRecords();
        undoList_->RecordChange(ckPasteEnd, CaretPos(), CaretPos(), std::string(), smNormal);
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
