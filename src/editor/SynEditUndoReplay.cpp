// Undo and redo: one replay routine takes the records of a step from one
// history, replays each on the editor by the rule of its change kind, and
// records the reversal in the other history.
#include <algorithm>
#include <array>

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

// The rules of the change kinds, one for each direction. Each replays the
// record it = on the editor and records in opposite what reverses it again.
struct TCustomSynEdit::TReplay {
  using TRule = void (*)(TCustomSynEdit& e, TSynEditUndoList& opposite, const TSynEditUndoItem& it);
  struct TRules {
    TRule Undo;
    TRule Redo;
  };

  static void PlaceCaret(TCustomSynEdit& e, const TBufferCoord& p) {
    e.SetCaretAndSelection(p, p, p);
  }
  static void Record(TSynEditUndoList& list, const TSynEditUndoItem& it, std::string text) {
    list.RecordChange(it.ChangeKind, it.StartPos, it.EndPos, std::move(text), it.SelectionMode);
  }

  // Insertions: undo selects and removes the inserted text, keeping it for redo.
  static void UndoInsert(TCustomSynEdit& e, TSynEditUndoList& opposite,
                         const TSynEditUndoItem& it) {
    e.SetCaretAndSelection(it.StartPos, it.StartPos, it.EndPos);
    Record(opposite, it, e.GetSelectedText(false));
    e.SetSelTextPrimitive(e.caret_.Mode, it.ChangeText);
    PlaceCaret(e, it.StartPos);
  }
  static void RedoInsert(TCustomSynEdit& e, TSynEditUndoList& opposite,
                         const TSynEditUndoItem& it) {
    PlaceCaret(e, it.StartPos);
    e.SetSelTextPrimitive(e.caret_.Mode, it.ChangeText);
    PlaceCaret(e, it.EndPos);
    Record(opposite, it, e.GetSelectedText(false));
    if (it.ChangeKind == ckDropInsert) e.SetCaretAndSelection(it.EndPos, it.StartPos, it.EndPos);
  }

  // Deletions: undo puts the text back; the caret goes where the deletion
  // left it, with the text selected for the loud kinds.
  static void UndoDelete(TCustomSynEdit& e, TSynEditUndoList& opposite,
                         const TSynEditUndoItem& it) {
    TBufferCoord p = std::min(it.StartPos, it.EndPos);
    if (it.SelectionMode == smColumn)
      p = {std::min(it.StartPos.Char, it.EndPos.Char), std::min(it.StartPos.Line, it.EndPos.Line)};
    if (IsAfterCaretKind(it.ChangeKind) && p.Line > e.lines_->Count()) {
      e.InternalSetCaretPos({1, e.lines_->Count()});
      e.lines_->Add(std::string());
    }
    PlaceCaret(e, p);
    e.SetSelTextPrimitive(e.caret_.Mode, it.ChangeText);
    TBufferCoord caret = IsAfterCaretKind(it.ChangeKind) ? it.StartPos : it.EndPos;
    if (it.ChangeKind == ckDeleteAfterCaret || it.ChangeKind == ckDelete)
      e.SetCaretAndSelection(caret, it.StartPos, it.EndPos);
    else
      PlaceCaret(e, caret);
    Record(opposite, it, std::string());
    e.EnsureCaretVisible();
  }
  static void RedoDelete(TCustomSynEdit& e, TSynEditUndoList& opposite,
                         const TSynEditUndoItem& it) {
    e.SetCaretAndSelection(it.StartPos, it.StartPos, it.EndPos);
    Record(opposite, it, e.GetSelectedText(false));
    e.SetSelTextPrimitive(e.caret_.Mode, std::string_view());
    PlaceCaret(e, it.StartPos);
  }

  // Line breaks: undo joins the line with the next, redo breaks it again.
  static void UndoLineBreak(TCustomSynEdit& e, TSynEditUndoList& opposite,
                            const TSynEditUndoItem& it) {
    PlaceCaret(e, it.StartPos);
    Record(opposite, it, std::string());
    int y = e.caret_.CaretLine;
    if (y < 1 || y > e.lines_->Count()) return;
    std::string s = e.lines_->Get(y - 1);
    // Padding only places moved text; with nothing moved it would leave
    // blanks that were never there.
    if (!it.ChangeText.empty() && static_cast<int>(s.size()) < e.caret_.CaretChar - 1 &&
        e.LeadingWhitespaceCount(it.ChangeText, false) == 0)
      s.append(e.caret_.CaretChar - 1 - s.size(), ' ');
    s += it.ChangeText;
    auto update = e.lines_->Updating();
    // The joined line's marks stay on it.
    e.JoinLines(y - 1, y < e.lines_->Count() ? 1 : 0, s, true);
  }
  static void RedoLineBreak(TCustomSynEdit& e, TSynEditUndoList& opposite,
                            const TSynEditUndoItem& it) {
    (void)opposite;  // the command records itself
    PlaceCaret(e, it.StartPos);
    // An end apart from the start marks an inserted line (caret stays).
    e.DoLineBreak(it.EndPos != it.StartPos);
  }

  // Indent records only frame the pieces of the block: they restore its selection.
  static void ReplayIndent(TCustomSynEdit& e, TSynEditUndoList& opposite,
                           const TSynEditUndoItem& it) {
    Record(opposite, it, it.ChangeText);
    e.SetCaretAndSelection(it.EndPos, it.StartPos, it.EndPos);
  }

  // Unindent: undo puts the removed blanks back as a column, redo takes
  // them off each line again.
  static void UndoUnindent(TCustomSynEdit& e, TSynEditUndoList& opposite,
                           const TSynEditUndoItem& it) {
    Record(opposite, it, it.ChangeText);
    int col = it.SelectionMode == smColumn ? std::min(it.StartPos.Char, it.EndPos.Char) : 1;
    PlaceCaret(e, {col, it.StartPos.Line});
    e.SetSelTextPrimitive(smColumn, it.ChangeText);
    e.SetCaretAndSelection(it.StartPos, it.StartPos, it.EndPos);
  }
  static void RedoUnindent(TCustomSynEdit& e, TSynEditUndoList& opposite,
                           const TSynEditUndoItem& it) {
    Record(opposite, it, it.ChangeText);
    int col = it.SelectionMode == smColumn ? std::min(it.StartPos.Char, it.EndPos.Char) : 1;
    std::vector<std::string> segments = SplitSegments(it.ChangeText);
    {
      auto update = e.lines_->Updating();
      for (size_t i = 0; i < segments.size(); ++i) {
        int line = it.StartPos.Line + static_cast<int>(i);
        if (line > e.lines_->Count()) break;
        std::string s = e.lines_->Get(line - 1);
        if (static_cast<size_t>(col - 1) >= s.size() || segments[i].empty()) continue;
        s.erase(col - 1, segments[i].size());
        e.lines_->Put(line - 1, s);
      }
    }
    if (it.SelectionMode == smColumn) {
      e.SetCaretAndSelection(it.StartPos, it.StartPos, it.EndPos);
    } else {
      // The ends move left by what came off their own lines.
      TBufferCoord from{it.StartPos.Char - static_cast<int>(segments.front().size()),
                        it.StartPos.Line};
      TBufferCoord to{it.EndPos.Char - static_cast<int>(segments.back().size()), it.EndPos.Line};
      e.SetCaretAndSelection(from, from, to);
    }
  }

  // A caret or selection mark: the current one goes to the opposite history,
  // the recorded one is restored, the same both ways.
  static void ReplayPositionMark(TCustomSynEdit& e, TSynEditUndoList& opposite,
                                 const TSynEditUndoItem& it) {
    if (it.ChangeKind == ckCaret) {
      opposite.RecordChange(it.ChangeKind, e.CaretPos(), e.CaretPos(), std::string(),
                            e.caret_.Mode);
      PlaceCaret(e, it.StartPos);
    } else {
      opposite.RecordChange(it.ChangeKind, e.SelFirst(), e.SelLast(), std::string(), e.caret_.Mode);
      e.SetCaretAndSelection(e.CaretPos(), it.StartPos, it.EndPos);
    }
  }

  // Blanks added before typed text: undo removes them, redo puts them back
  // where they were taken from.
  static void UndoWhiteSpaceAdd(TCustomSynEdit& e, TSynEditUndoList& opposite,
                                const TSynEditUndoItem& it) {
    e.SetCaretAndSelection(it.StartPos, it.StartPos, it.EndPos);
    Record(opposite, it, e.GetSelectedText(false));
    e.SetSelTextPrimitive(it.SelectionMode, it.ChangeText);
    PlaceCaret(e, it.StartPos);
  }
  static void RedoWhiteSpaceAdd(TCustomSynEdit& e, TSynEditUndoList& opposite,
                                const TSynEditUndoItem& it) {
    Record(opposite, it, std::string());
    PlaceCaret(e, it.StartPos);
    e.SetSelTextPrimitive(it.SelectionMode, it.ChangeText);
    PlaceCaret(e, it.StartPos);
  }

  // Markers and breaks are only taken off the history.
  static void Remove(TCustomSynEdit&, TSynEditUndoList&, const TSynEditUndoItem&) {}

  static constexpr std::array<TRules, ckWhiteSpaceAdd + 1> Table() {
    std::array<TRules, ckWhiteSpaceAdd + 1> t{};
    for (TRules& r : t) r = {Remove, Remove};
    for (TSynChangeKind k : {ckInsert, ckPaste, ckDropInsert}) t[k] = {UndoInsert, RedoInsert};
    for (TSynChangeKind k : {ckDeleteAfterCaret, ckDelete, ckDeleteQuiet, ckDeleteAfterCaretQuiet})
      t[k] = {UndoDelete, RedoDelete};
    t[ckLineBreak] = {UndoLineBreak, RedoLineBreak};
    t[ckIndent] = {ReplayIndent, ReplayIndent};
    t[ckUnindent] = {UndoUnindent, RedoUnindent};
    t[ckCaret] = t[ckSelection] = {ReplayPositionMark, ReplayPositionMark};
    t[ckWhiteSpaceAdd] = {UndoWhiteSpaceAdd, RedoWhiteSpaceAdd};
    return t;
  }

  // Takes the top record of from and replays it. While it is replayed its
  // selection mode is in force, the caret may stand past line ends, lines
  // are stored exactly as recorded and screen updates wait; afterwards the
  // caret and the selection are brought within the limits of the options.
  static void Item(TCustomSynEdit& e, TSynEditUndoList& from, TSynEditUndoList& to, bool redo) {
    static constexpr std::array<TRules, ckWhiteSpaceAdd + 1> rules = Table();
    std::unique_ptr<TSynEditUndoItem> item = from.TakeTopItem();
    if (!item) return;
    auto lock = e.LockPaint();
    {
      auto keepMode = Preserve(e.caret_.Mode);
      auto pastEol = AllowPastEol(e.options_);
      auto replaying = Bracket([&] { ++e.replaying_; }, [&] { --e.replaying_; });
      e.caret_.Mode = item->SelectionMode;
      if (item->ChangeKind < rules.size()) {
        const TRules& rule = rules[item->ChangeKind];
        (redo ? rule.Redo : rule.Undo)(e, to, *item);
      }
    }
    e.LimitCaretAndSelection();
  }
};

void TCustomSynEdit::Undo() { Replay(false); }

void TCustomSynEdit::Redo() { Replay(true); }

void TCustomSynEdit::Replay(bool redo) {
  if (ReadOnly()) return;
  TSynEditUndoList& from = redo ? *redoList_ : *undoList_;
  TSynEditUndoList& to = redo ? *undoList_ : *redoList_;
  auto lock = LockPaint();
  const uint32_t oldBlock = to.BlockChangeNumber();
  auto keepBlock = TBracket([&] { to.SetBlockChangeNumber(oldBlock); });
  // Records redone go to the undo history without emptying the redo one.
  const bool wasInsideRedo = state_.Contains(sfInsideRedo);
  if (redo) state_ += TSynStateFlags{sfInsideRedo};
  auto insideRedo = TBracket([&] {
    if (!wasInsideRedo) state_ -= TSynStateFlags{sfInsideRedo};
  });
  // A group break on top goes over to the other history, with its number.
  auto moveBreak = [&] {
    const TSynEditUndoItem* top = from.TopItem();
    if (!top || top->ChangeKind != ckGroupBreak) return false;
    std::unique_ptr<TSynEditUndoItem> brk = from.TakeTopItem();
    to.SetBlockChangeNumber(brk->ChangeNumber);
    to.AddBreak();
    to.SetBlockChangeNumber(oldBlock);
    return true;
  };
  moveBreak();
  const TSynEditUndoItem* top = from.TopItem();
  if (!top) return;
  const TSynChangeKind firstKind = top->ChangeKind;
  uint32_t groupNumber = top->ChangeNumber;
  to.SetBlockChangeNumber(top->ChangeNumber);
  const bool groupUndo = options_.Contains(eoGroupUndo);
  for (;;) {
    TSynChangeKind lastKind = from.TopItem()->ChangeKind;
    TReplay::Item(*this, from, to, redo);
    top = from.TopItem();
    if (!top || !ContinuesGroup(*top, firstKind, groupNumber, lastKind, groupUndo)) break;
  }
  if (redo) {
    // Redoing up to a break passes it, so the next undo stops there again.
    to.SetBlockChangeNumber(oldBlock);
    if (moveBreak()) SetContentModified(!undoList_->AtSavedPoint());
  } else if (IsEndMarker(firstKind) && top && top->ChangeKind == BeginMarkerOf(firstKind)) {
    // A marked step (a paste) ends at its begin marker.
    TReplay::Item(*this, from, to, redo);
    SetContentModified(!undoList_->AtSavedPoint());
  }
}

}  // namespace ludra
