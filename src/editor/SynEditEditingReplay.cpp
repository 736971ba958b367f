// Undo and redo: one replay routine takes the records of a step from one
// history, replays each through the editing component's changes by the rule
// of its change kind, and records the reversal in the other history.
#include <algorithm>
#include <array>

#include "buffer/SynEditTextBuffer.h"
#include "editor/SynEditEditing.h"
#include "platform/SynProgress.h"

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

// How many records the replay loop would still take from the top of from,
// the top one included, number and the kinds going on as it goes.
long long RecordsLeftInStep(const TSynEditUndoList& from, TSynChangeKind firstKind, uint32_t number,
                            bool groupUndo) {
  long long count = 0;
  for (int i = from.ItemCount() - 1; i >= 0; --i) {
    ++count;
    if (i == 0 ||
        !ContinuesGroup(from.Items(i - 1), firstKind, number, from.Items(i).ChangeKind, groupUndo))
      break;
  }
  return count;
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

// The rules of the change kinds, one for each direction. Each replays the
// record it = through the command context and records in opposite what
// reverses it again.
}  // namespace

struct TSynEditing::TReplay {
  using TRule = void (*)(TSynEditing& c, TSynEditUndoList& opposite, const TSynEditUndoItem& it);
  struct TRules {
    TRule Undo;
    TRule Redo;
  };

  static void PlaceCaret(TSynEditing& c, const TBufferCoord& p) {
    c.host_.SetCaretAndSelection(p, p, p);
  }
  static void Record(TSynEditUndoList& list, const TSynEditUndoItem& it, std::string text) {
    list.RecordChange(it.ChangeKind, it.StartPos, it.EndPos, std::move(text), it.SelectionMode);
  }

  // Insertions: undo selects and removes the inserted text, keeping it for redo.
  static void UndoInsert(TSynEditing& c, TSynEditUndoList& opposite, const TSynEditUndoItem& it) {
    c.host_.SetCaretAndSelection(it.StartPos, it.StartPos, it.EndPos);
    Record(opposite, it, c.SelectedText(false));
    c.ReplaceSelectionUnrecorded(c.caret_.Mode, it.ChangeText);
    PlaceCaret(c, it.StartPos);
  }
  static void RedoInsert(TSynEditing& c, TSynEditUndoList& opposite, const TSynEditUndoItem& it) {
    PlaceCaret(c, it.StartPos);
    c.ReplaceSelectionUnrecorded(c.caret_.Mode, it.ChangeText);
    PlaceCaret(c, it.EndPos);
    Record(opposite, it, c.SelectedText(false));
    if (it.ChangeKind == ckDropInsert)
      c.host_.SetCaretAndSelection(it.EndPos, it.StartPos, it.EndPos);
  }

  // Deletions: undo puts the text back; the caret goes where the deletion
  // left it, with the text selected for the loud kinds.
  static void UndoDelete(TSynEditing& c, TSynEditUndoList& opposite, const TSynEditUndoItem& it) {
    TBufferCoord p = std::min(it.StartPos, it.EndPos);
    if (it.SelectionMode == smColumn)
      p = {std::min(it.StartPos.Char, it.EndPos.Char), std::min(it.StartPos.Line, it.EndPos.Line)};
    if (IsAfterCaretKind(it.ChangeKind) && p.Line > c.lines_.Count()) {
      c.MoveCaret({1, c.lines_.Count()});
      c.lines_.Add(std::string());
    }
    PlaceCaret(c, p);
    c.ReplaceSelectionUnrecorded(c.caret_.Mode, it.ChangeText);
    TBufferCoord caret = IsAfterCaretKind(it.ChangeKind) ? it.StartPos : it.EndPos;
    if (it.ChangeKind == ckDeleteAfterCaret || it.ChangeKind == ckDelete)
      c.host_.SetCaretAndSelection(caret, it.StartPos, it.EndPos);
    else
      PlaceCaret(c, caret);
    Record(opposite, it, std::string());
    c.host_.EnsureCaretVisible();
  }
  static void RedoDelete(TSynEditing& c, TSynEditUndoList& opposite, const TSynEditUndoItem& it) {
    c.host_.SetCaretAndSelection(it.StartPos, it.StartPos, it.EndPos);
    Record(opposite, it, c.SelectedText(false));
    c.ReplaceSelectionUnrecorded(c.caret_.Mode, std::string_view());
    PlaceCaret(c, it.StartPos);
  }

  // Line breaks: undo joins the line with the next, redo breaks it again.
  static void UndoLineBreak(TSynEditing& c, TSynEditUndoList& opposite,
                            const TSynEditUndoItem& it) {
    PlaceCaret(c, it.StartPos);
    Record(opposite, it, std::string());
    int y = c.caret_.CaretLine;
    if (y < 1 || y > c.lines_.Count()) return;
    std::string s = c.lines_.Get(y - 1);
    // Padding only places moved text; with nothing moved it would leave
    // blanks that were never there.
    if (!it.ChangeText.empty() && static_cast<int>(s.size()) < c.caret_.CaretChar - 1 &&
        c.LeadingWhitespaceCount(it.ChangeText, false) == 0)
      s.append(c.caret_.CaretChar - 1 - s.size(), ' ');
    s += it.ChangeText;
    auto update = c.lines_.Updating();
    // The joined line's marks stay on it.
    c.JoinLines(y - 1, y < c.lines_.Count() ? 1 : 0, s, true);
  }
  static void RedoLineBreak(TSynEditing& c, TSynEditUndoList& opposite,
                            const TSynEditUndoItem& it) {
    (void)opposite;  // the command records itself
    PlaceCaret(c, it.StartPos);
    // An end apart from the start marks an inserted line (caret stays).
    c.BreakLine(it.EndPos != it.StartPos);
    c.host_.EnsureCaretVisible();
  }

  // Indent records only frame the pieces of the block: they restore its selection.
  static void ReplayIndent(TSynEditing& c, TSynEditUndoList& opposite, const TSynEditUndoItem& it) {
    Record(opposite, it, it.ChangeText);
    c.host_.SetCaretAndSelection(it.EndPos, it.StartPos, it.EndPos);
  }

  // Unindent: undo puts the removed blanks back as a column, redo takes
  // them off each line again.
  static void UndoUnindent(TSynEditing& c, TSynEditUndoList& opposite, const TSynEditUndoItem& it) {
    Record(opposite, it, it.ChangeText);
    int col = it.SelectionMode == smColumn ? std::min(it.StartPos.Char, it.EndPos.Char) : 1;
    PlaceCaret(c, {col, it.StartPos.Line});
    c.ReplaceSelectionUnrecorded(smColumn, it.ChangeText);
    c.host_.SetCaretAndSelection(it.StartPos, it.StartPos, it.EndPos);
  }
  static void RedoUnindent(TSynEditing& c, TSynEditUndoList& opposite, const TSynEditUndoItem& it) {
    Record(opposite, it, it.ChangeText);
    int col = it.SelectionMode == smColumn ? std::min(it.StartPos.Char, it.EndPos.Char) : 1;
    std::vector<std::string> segments = SplitSegments(it.ChangeText);
    c.RemoveSegments(it.StartPos.Line, col, segments);
    if (it.SelectionMode == smColumn) {
      c.host_.SetCaretAndSelection(it.StartPos, it.StartPos, it.EndPos);
    } else {
      // The ends move left by what came off their own lines.
      TBufferCoord from{it.StartPos.Char - static_cast<int>(segments.front().size()),
                        it.StartPos.Line};
      TBufferCoord to{it.EndPos.Char - static_cast<int>(segments.back().size()), it.EndPos.Line};
      c.host_.SetCaretAndSelection(from, from, to);
    }
  }

  // A caret or selection mark: the current one goes to the opposite history,
  // the recorded one is restored, the same both ways.
  static void ReplayPositionMark(TSynEditing& c, TSynEditUndoList& opposite,
                                 const TSynEditUndoItem& it) {
    const TSynCaretSelection& now = c.caret_;
    if (it.ChangeKind == ckCaret) {
      opposite.RecordChange(it.ChangeKind, now.CaretPos(), now.CaretPos(), std::string(), now.Mode);
      PlaceCaret(c, it.StartPos);
    } else {
      opposite.RecordChange(it.ChangeKind, now.First(), now.Last(), std::string(), now.Mode);
      c.host_.SetCaretAndSelection(now.CaretPos(), it.StartPos, it.EndPos);
    }
  }

  // Blanks added before typed text: undo removes them, redo puts them back
  // where they were taken from.
  static void UndoWhiteSpaceAdd(TSynEditing& c, TSynEditUndoList& opposite,
                                const TSynEditUndoItem& it) {
    c.host_.SetCaretAndSelection(it.StartPos, it.StartPos, it.EndPos);
    Record(opposite, it, c.SelectedText(false));
    c.ReplaceSelectionUnrecorded(it.SelectionMode, it.ChangeText);
    PlaceCaret(c, it.StartPos);
  }
  static void RedoWhiteSpaceAdd(TSynEditing& c, TSynEditUndoList& opposite,
                                const TSynEditUndoItem& it) {
    Record(opposite, it, std::string());
    PlaceCaret(c, it.StartPos);
    c.ReplaceSelectionUnrecorded(it.SelectionMode, it.ChangeText);
    PlaceCaret(c, it.StartPos);
  }

  // Markers and breaks are only taken off the history.
  static void Remove(TSynEditing&, TSynEditUndoList&, const TSynEditUndoItem&) {}

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
  static void Item(TSynEditing& c, TSynEditUndoList& from, TSynEditUndoList& to, bool redo) {
    static constexpr std::array<TRules, ckWhiteSpaceAdd + 1> rules = Table();
    std::unique_ptr<TSynEditUndoItem> item = from.TakeTopItem();
    if (!item) return;
    auto lock = c.LockPaint();
    {
      auto mode = Preserve(c.caret_.Mode);
      c.caret_.Mode = item->SelectionMode;
      auto pastEol = AllowPastEol(c.options_);
      auto replaying = c.Replaying();
      if (item->ChangeKind < rules.size()) {
        const TRules& rule = rules[item->ChangeKind];
        (redo ? rule.Redo : rule.Undo)(c, to, *item);
      }
    }
    c.host_.LimitCaretAndSelection();
  }
};

TSynEditing::TReplayEnd TSynEditing::Replay(bool redo, TSynProgressGate& progress) {
  TSynEditUndoList& from = redo ? *redoList_ : *undoList_;
  TSynEditUndoList& to = redo ? *undoList_ : *redoList_;
  constexpr long long kRecordsPerLook = 25;
  auto lock = LockPaint();
  const uint32_t oldBlock = to.BlockChangeNumber();
  auto keepBlock = TBracket([&] { to.SetBlockChangeNumber(oldBlock); });
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
  if (!top) return TReplayEnd::Plain;
  const TSynChangeKind firstKind = top->ChangeKind;
  uint32_t groupNumber = top->ChangeNumber;
  to.SetBlockChangeNumber(top->ChangeNumber);
  const bool groupUndo = options_.Contains(eoGroupUndo);
  long long done = 0, nextLook = kRecordsPerLook, total = 0;
  for (;;) {
    const TSynChangeKind lastKind = from.TopItem()->ChangeKind;
    const TBufferCoord lastStart = from.TopItem()->StartPos;
    const uint32_t lastNumber = from.TopItem()->ChangeNumber;
    TReplay::Item(*this, from, to, redo);
    top = from.TopItem();
    if (!top || !ContinuesGroup(*top, firstKind, groupNumber, lastKind, groupUndo)) break;
    if (++done < nextLook) continue;
    // Never between the removal and the insertion of one replacement (the
    // records share a start), so a stop leaves only whole replacements.
    if (top->StartPos == lastStart && top->ChangeNumber == lastNumber) continue;
    nextLook = done + kRecordsPerLook;
    if (!progress.Due()) continue;
    if (total == 0) total = done + RecordsLeftInStep(from, firstKind, groupNumber, groupUndo);
    if (progress.Step(done, total)) return TReplayEnd::Stopped;
  }
  if (redo) {
    // Redoing up to a break passes it, so the next undo stops there again.
    to.SetBlockChangeNumber(oldBlock);
    if (moveBreak()) return TReplayEnd::Resync;
  } else if (IsEndMarker(firstKind) && top && top->ChangeKind == BeginMarkerOf(firstKind)) {
    // A marked step (a paste) ends at its begin marker.
    TReplay::Item(*this, from, to, redo);
    return TReplayEnd::Resync;
  }
  return TReplayEnd::Plain;
}

}  // namespace ludra
