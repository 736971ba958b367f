// Undo and redo: replaying the change records of one history on the editor
// and recording the reversal in the other.
#include <algorithm>

#include "editor/SynEdit.h"

namespace ludra {

namespace {

bool IsAfterCaretKind(TSynChangeKind k) {
  return k == ckDeleteAfterCaret || k == ckDeleteAfterCaretQuiet;
}

// Whether the replay loop takes the next record into the same step. A record
// taken for its kind brings its whole step along (number follows it), so a
// replay never stops inside a step that another one was grouped with.
bool ContinuesGroup(const TSynEditUndoItem& next, TSynChangeKind firstKind, uint32_t& number,
                    TSynChangeKind lastKind, bool groupUndo) {
  if (IsEndMarker(firstKind)) return next.ChangeKind != BeginMarkerOf(firstKind);
  if (next.ChangeNumber == number) return true;
  if (groupUndo && next.ChangeKind == lastKind && lastKind != ckIndent && lastKind != ckUnindent) {
    number = next.ChangeNumber;
    return true;
  }
  return false;
}

// The segments of an unindent record: one per line, CR LF (or a lone CR or
// LF) between them.
std::vector<std::string> SplitSegments(const std::string& text) {
  std::vector<std::string> segments;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    segments.push_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  segments.push_back(text.substr(start));
  return segments;
}

}  // namespace

// While one record is replayed: its selection mode is in force, the caret may
// stand past line ends, lines are stored exactly as recorded, screen updates
// wait. Everything is put back on every path.
class TSynReplayScope {
 public:
  TSynReplayScope(TCustomSynEdit& e, TSynSelectionMode mode)
      : e_(e), oldMode_(e.selectionMode_), hadPastEol_(e.options_.Contains(eoScrollPastEol)) {
    e_.selectionMode_ = mode;
    e_.BeginPaintLock();
    e_.options_.Include(eoScrollPastEol);
    ++e_.replaying_;
  }
  ~TSynReplayScope() {
    if (finished_) return;
    Restore();
    --e_.paintLock_;
  }
  // Puts everything back and brings caret and selection within the limits
  // of the restored options; the paint lock is released here rather than in
  // the destructor, where a notice handler's exception could not pass.
  void Finish() {
    finished_ = true;
    Restore();
    e_.InternalSetCaretPos(e_.CaretPos(), false);
    e_.selFrom_ = e_.LimitSelectionPoint(e_.selFrom_);
    e_.selTo_ = e_.LimitSelectionPoint(e_.selTo_);
    e_.EndPaintLock();
  }

 private:
  void Restore() {
    --e_.replaying_;
    if (!hadPastEol_) e_.options_.Exclude(eoScrollPastEol);
    e_.selectionMode_ = oldMode_;
  }
  TCustomSynEdit& e_;
  TSynSelectionMode oldMode_;
  bool hadPastEol_;
  bool finished_ = false;
};

// A caret or selection mark: the current one goes to the opposite history,
// the recorded one is restored. Undo and redo replay it alike.
void TCustomSynEdit::ReplayPositionMark(const TSynEditUndoItem& it, TSynEditUndoList& opposite) {
  if (it.ChangeKind == ckCaret) {
    opposite.RecordChange(it.ChangeKind, CaretPos(), CaretPos(), std::string(), selectionMode_);
    SetCaretAndSelection(it.StartPos, it.StartPos, it.StartPos);
  } else {
    opposite.RecordChange(it.ChangeKind, SelFirst(), SelLast(), std::string(), selectionMode_);
    SetCaretAndSelection(CaretPos(), it.StartPos, it.EndPos);
  }
}

void TCustomSynEdit::UndoItem() {
  std::unique_ptr<TSynEditUndoItem> item = undoList_->TakeTopItem();
  if (!item) return;
  const TSynEditUndoItem& it = *item;
  auto placeCaret = [this](const TBufferCoord& p) { SetCaretAndSelection(p, p, p); };
  {
    TSynReplayScope scope(*this, it.SelectionMode);
    {
      switch (it.ChangeKind) {
        case ckInsert:
        case ckPaste:
        case ckDropInsert: {
          SetCaretAndSelection(it.StartPos, it.StartPos, it.EndPos);
          redoList_->RecordChange(it.ChangeKind, it.StartPos, it.EndPos, GetSelectedText(false),
                                  it.SelectionMode);
          SetSelTextPrimitive(selectionMode_, it.ChangeText);
          placeCaret(it.StartPos);
          break;
        }
        case ckDeleteAfterCaret:
        case ckDelete:
        case ckDeleteQuiet:
        case ckDeleteAfterCaretQuiet: {
          TBufferCoord p = std::min(it.StartPos, it.EndPos);
          if (it.SelectionMode == smColumn)
            p = {std::min(it.StartPos.Char, it.EndPos.Char),
                 std::min(it.StartPos.Line, it.EndPos.Line)};
          if (IsAfterCaretKind(it.ChangeKind) && p.Line > lines_->Count()) {
            InternalSetCaretPos({1, lines_->Count()});
            lines_->Add(std::string());
          }
          placeCaret(p);
          SetSelTextPrimitive(selectionMode_, it.ChangeText);
          TBufferCoord caret = IsAfterCaretKind(it.ChangeKind) ? it.StartPos : it.EndPos;
          if (it.ChangeKind == ckDeleteAfterCaret || it.ChangeKind == ckDelete)
            SetCaretAndSelection(caret, it.StartPos, it.EndPos);
          else
            placeCaret(caret);
          redoList_->RecordChange(it.ChangeKind, it.StartPos, it.EndPos, std::string(),
                                  it.SelectionMode);
          EnsureCaretVisible();
          break;
        }
        case ckLineBreak: {
          placeCaret(it.StartPos);
          redoList_->RecordChange(it.ChangeKind, it.StartPos, it.EndPos, std::string(),
                                  it.SelectionMode);
          int y = caretLine_;
          if (y >= 1 && y <= lines_->Count()) {
            std::string s = lines_->Get(y - 1);
            // Padding only places moved text; with nothing moved it would
            // leave blanks that were never there.
            if (!it.ChangeText.empty() && static_cast<int>(s.size()) < caretChar_ - 1 &&
                LeadingWhitespaceCount(it.ChangeText, false) == 0)
              s.append(caretChar_ - 1 - s.size(), ' ');
            s += it.ChangeText;
            lines_->BeginUpdate();
            try {
              // The joined line's marks stay on it.
              JoinLines(y - 1, y < lines_->Count() ? 1 : 0, s, true);
            } catch (...) {
              lines_->EndUpdate();
              throw;
            }
            lines_->EndUpdate();
          }
          break;
        }
        case ckIndent:
          redoList_->RecordChange(it.ChangeKind, it.StartPos, it.EndPos, it.ChangeText,
                                  it.SelectionMode);
          SetCaretAndSelection(it.EndPos, it.StartPos, it.EndPos);
          break;
        case ckUnindent: {
          redoList_->RecordChange(it.ChangeKind, it.StartPos, it.EndPos, it.ChangeText,
                                  it.SelectionMode);
          int col = it.SelectionMode == smColumn ? std::min(it.StartPos.Char, it.EndPos.Char) : 1;
          placeCaret({col, it.StartPos.Line});
          SetSelTextPrimitive(smColumn, it.ChangeText);
          SetCaretAndSelection(it.StartPos, it.StartPos, it.EndPos);
          break;
        }
        case ckCaret:
        case ckSelection:
          ReplayPositionMark(it, *redoList_);
          break;
        case ckWhiteSpaceAdd:
          SetCaretAndSelection(it.StartPos, it.StartPos, it.EndPos);
          redoList_->RecordChange(it.ChangeKind, it.StartPos, it.EndPos, GetSelectedText(false),
                                  it.SelectionMode);
          SetSelTextPrimitive(it.SelectionMode, it.ChangeText);
          placeCaret(it.StartPos);
          break;
        default:  // markers and breaks are only removed
          break;
      }
    }
    scope.Finish();
  }
}

void TCustomSynEdit::RedoItem() {
  std::unique_ptr<TSynEditUndoItem> item = redoList_->TakeTopItem();
  if (!item) return;
  const TSynEditUndoItem& it = *item;
  auto placeCaret = [this](const TBufferCoord& p) { SetCaretAndSelection(p, p, p); };
  TSynReplayScope scope(*this, it.SelectionMode);
  {
    switch (it.ChangeKind) {
      case ckInsert:
      case ckPaste:
      case ckDropInsert:
        placeCaret(it.StartPos);
        SetSelTextPrimitive(selectionMode_, it.ChangeText);
        placeCaret(it.EndPos);
        undoList_->RecordChange(it.ChangeKind, it.StartPos, it.EndPos, GetSelectedText(false),
                                it.SelectionMode);
        if (it.ChangeKind == ckDropInsert) SetCaretAndSelection(it.EndPos, it.StartPos, it.EndPos);
        break;
      case ckDeleteAfterCaret:
      case ckDelete:
      case ckDeleteQuiet:
      case ckDeleteAfterCaretQuiet:
        SetCaretAndSelection(it.StartPos, it.StartPos, it.EndPos);
        undoList_->RecordChange(it.ChangeKind, it.StartPos, it.EndPos, GetSelectedText(false),
                                it.SelectionMode);
        SetSelTextPrimitive(selectionMode_, std::string_view());
        placeCaret(it.StartPos);
        break;
      case ckLineBreak:
        placeCaret(it.StartPos);
        // An end apart from the start marks an inserted line (caret stays).
        DoLineBreak(it.EndPos != it.StartPos);
        break;
      case ckIndent:
        undoList_->RecordChange(it.ChangeKind, it.StartPos, it.EndPos, it.ChangeText,
                                it.SelectionMode);
        SetCaretAndSelection(it.EndPos, it.StartPos, it.EndPos);
        break;
      case ckUnindent: {
        undoList_->RecordChange(it.ChangeKind, it.StartPos, it.EndPos, it.ChangeText,
                                it.SelectionMode);
        int col = it.SelectionMode == smColumn ? std::min(it.StartPos.Char, it.EndPos.Char) : 1;
        std::vector<std::string> segments = SplitSegments(it.ChangeText);
        lines_->BeginUpdate();
        try {
          for (size_t i = 0; i < segments.size(); ++i) {
            int line = it.StartPos.Line + static_cast<int>(i);
            if (line > lines_->Count()) break;
            std::string s = lines_->Get(line - 1);
            if (static_cast<size_t>(col - 1) >= s.size() || segments[i].empty()) continue;
            s.erase(col - 1, segments[i].size());
            lines_->Put(line - 1, s);
          }
        } catch (...) {
          lines_->EndUpdate();
          throw;
        }
        lines_->EndUpdate();
        if (it.SelectionMode == smColumn) {
          SetCaretAndSelection(it.StartPos, it.StartPos, it.EndPos);
        } else {
          // The ends move left by what came off their own lines.
          TBufferCoord from{it.StartPos.Char - static_cast<int>(segments.front().size()),
                            it.StartPos.Line};
          TBufferCoord to{it.EndPos.Char - static_cast<int>(segments.back().size()),
                          it.EndPos.Line};
          SetCaretAndSelection(from, from, to);
        }
        break;
      }
      case ckCaret:
      case ckSelection:
        ReplayPositionMark(it, *undoList_);
        break;
      case ckWhiteSpaceAdd:
        undoList_->RecordChange(it.ChangeKind, it.StartPos, it.EndPos, std::string(),
                                it.SelectionMode);
        // The blanks go back where they were taken from.
        placeCaret(it.StartPos);
        SetSelTextPrimitive(it.SelectionMode, it.ChangeText);
        placeCaret(it.StartPos);
        break;
      default:
        break;
    }
  }
  scope.Finish();
}

void TCustomSynEdit::Undo() {
  if (ReadOnly()) return;
  BeginPaintLock();
  uint32_t oldBlock = redoList_->BlockChangeNumber();
  try {
    const TSynEditUndoItem* top = undoList_->TopItem();
    if (top && top->ChangeKind == ckGroupBreak) {
      std::unique_ptr<TSynEditUndoItem> brk = undoList_->TakeTopItem();
      redoList_->SetBlockChangeNumber(brk->ChangeNumber);
      redoList_->AddBreak();
      redoList_->SetBlockChangeNumber(oldBlock);
      top = undoList_->TopItem();
    }
    if (top) {
      TSynChangeKind firstKind = top->ChangeKind;
      uint32_t number = top->ChangeNumber;
      uint32_t groupNumber = number;
      redoList_->SetBlockChangeNumber(number);
      bool groupUndo = options_.Contains(eoGroupUndo);
      for (;;) {
        TSynChangeKind lastKind = undoList_->TopItem()->ChangeKind;
        UndoItem();
        top = undoList_->TopItem();
        if (!top || !ContinuesGroup(*top, firstKind, groupNumber, lastKind, groupUndo)) break;
      }
      if (IsEndMarker(firstKind) && top && top->ChangeKind == BeginMarkerOf(firstKind)) {
        UndoItem();
        SetContentModified(!undoList_->AtSavedPoint());
      }
    }
  } catch (...) {
    redoList_->SetBlockChangeNumber(oldBlock);
    EndPaintLock();
    throw;
  }
  redoList_->SetBlockChangeNumber(oldBlock);
  EndPaintLock();
}

void TCustomSynEdit::Redo() {
  if (ReadOnly()) return;
  BeginPaintLock();
  uint32_t oldBlock = undoList_->BlockChangeNumber();
  bool wasInsideRedo = state_.Contains(sfInsideRedo);
  state_ += TSynStateFlags{sfInsideRedo};
  auto moveBreak = [&] {
    const TSynEditUndoItem* top = redoList_->TopItem();
    if (!top || top->ChangeKind != ckGroupBreak) return false;
    std::unique_ptr<TSynEditUndoItem> brk = redoList_->TakeTopItem();
    undoList_->SetBlockChangeNumber(brk->ChangeNumber);
    undoList_->AddBreak();
    undoList_->SetBlockChangeNumber(oldBlock);
    return true;
  };
  try {
    moveBreak();
    const TSynEditUndoItem* top = redoList_->TopItem();
    if (top) {
      TSynChangeKind firstKind = top->ChangeKind;
      uint32_t number = top->ChangeNumber;
      uint32_t groupNumber = number;
      undoList_->SetBlockChangeNumber(number);
      bool groupUndo = options_.Contains(eoGroupUndo);
      for (;;) {
        TSynChangeKind lastKind = redoList_->TopItem()->ChangeKind;
        RedoItem();
        top = redoList_->TopItem();
        if (!top || !ContinuesGroup(*top, firstKind, groupNumber, lastKind, groupUndo)) break;
      }
      undoList_->SetBlockChangeNumber(oldBlock);
      if (moveBreak()) SetContentModified(!undoList_->AtSavedPoint());
    }
  } catch (...) {
    undoList_->SetBlockChangeNumber(oldBlock);
    if (!wasInsideRedo) state_ -= TSynStateFlags{sfInsideRedo};
    EndPaintLock();
    throw;
  }
  undoList_->SetBlockChangeNumber(oldBlock);
  if (!wasInsideRedo) state_ -= TSynStateFlags{sfInsideRedo};
  EndPaintLock();
}

}  // namespace ludra
