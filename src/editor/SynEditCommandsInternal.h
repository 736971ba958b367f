#pragma once
// The command families that ApplyCommand dispatches to, and the narrow
// context through which they reach the editor: its public face, plus the
// few inner operations a command needs (raw selection ends, a selection
// mode for one step, the undo record of a deletion, the line break).
#include <string>
#include <string_view>

#include "editor/SynEdit.h"

namespace ludra {

class TCustomSynEdit::TCommandContext {
 public:
  explicit TCommandContext(TCustomSynEdit& editor) : e_(editor) {}
  TCustomSynEdit& Editor() { return e_; }

  // Sets the selection ends without repainting or notices; the caller's
  // step repaints.
  void SetSelectionBounds(const TBufferCoord& from, const TBufferCoord& to) {
    e_.caret_.SelFrom = from;
    e_.caret_.SelTo = to;
  }
  // Brings the selection ends within the limits of the current mode.
  void LimitSelection() {
    e_.caret_.SelFrom = e_.LimitSelectionPoint(e_.caret_.SelFrom);
    e_.caret_.SelTo = e_.LimitSelectionPoint(e_.caret_.SelTo);
  }
  // A selection mode (without repaint) until the returned bracket goes.
  [[nodiscard]] auto UseSelectionMode(TSynSelectionMode mode) {
    TSynSelectionMode& current = e_.caret_.Mode;
    return Bracket([&current, mode] { current = mode; },
                   [&current, saved = current] { current = saved; });
  }
  // The caret may stand past the line end until the returned bracket goes.
  [[nodiscard]] auto AllowPastEol() { return ludra::AllowPastEol(e_.options_); }
  // The display column vertical moves keep.
  void SetLastCaretColumn(int value) { e_.caret_.LastCaretColumn = value; }

  std::string GetSelectedText(bool withPadding) const { return e_.GetSelectedText(withPadding); }
  void RecordSelectionDeletion() { e_.RecordSelectionDeletion(); }
  void DoLineBreak(bool insertLine) { e_.DoLineBreak(insertLine); }
  int LineLength(int line) const { return e_.LineLength(line); }
  // Removes every mark and bookmark and every line (not undoable).
  void ClearMarksAndLines() {
    for (TSynEditMark*& b : e_.bookmarks_) b = nullptr;
    e_.marks_->Clear();
    e_.lines_->Clear();
  }

  // Word wrap: the caret at a row end, Home and End by rows.
  bool WrapCaretStep(int dx) { return e_.WrapCaretStep(dx); }
  void WrapCaretMoved(int dx) { e_.WrapCaretMoved(dx); }
  bool WrappedLineStartEnd(bool toEnd, bool select) {
    return e_.WrappedLineStartEnd(toEnd, select);
  }

 private:
  TCustomSynEdit& e_;
};

using TSynCommandContext = TCustomSynEdit::TCommandContext;

// A family answers true when it knew the command.
using TSynCommandFamily = bool (*)(TSynCommandContext& c, TSynEditorCommand command, char aChar,
                                   void* data);
bool CaretCommand(TSynCommandContext& c, TSynEditorCommand command, char aChar, void* data);
bool ViewCommand(TSynCommandContext& c, TSynEditorCommand command, char aChar, void* data);
bool DeleteCommand(TSynCommandContext& c, TSynEditorCommand command, char aChar, void* data);
bool TypingCommand(TSynCommandContext& c, TSynEditorCommand command, char aChar, void* data);
bool BlockCommand(TSynCommandContext& c, TSynEditorCommand command, char aChar, void* data);
bool OtherCommand(TSynCommandContext& c, TSynEditorCommand command, char aChar, void* data);

// Moves the caret; with select the selection runs from the anchor (the
// position before the move when there was no selection) to the new caret.
void MoveCaretAndSelection(TSynCommandContext& c, const TBufferCoord& before,
                           const TBufferCoord& after, bool select);
void MoveCaretHorz(TSynCommandContext& c, int dx, bool select);
void MoveCaretVert(TSynCommandContext& c, int dy, bool select);

// Replaces [from, to) with text as a normal-mode selection, recording
// nothing; the selection mode is kept.
TCustomSynEdit::TInsertedRange ReplaceRange(TSynCommandContext& c, const TBufferCoord& from,
                                            const TBufferCoord& to, std::string_view text);
// Fills a caret past the line end with blanks up to (not including) the
// caret, recorded as added white space.
void FillGapToCaret(TSynCommandContext& c, bool emptyLineIndent);
// Deletes [from, to), recorded as kind; the caret stays.
void DeleteRange(TSynCommandContext& c, const TBufferCoord& from, const TBufferCoord& to,
                 TSynChangeKind kind);
void DoBlockIndent(TSynCommandContext& c);
void DoBlockUnindent(TSynCommandContext& c);
bool TabActsOnBlock(TSynCommandContext& c);
void ScrollRightAfterTyping(TSynCommandContext& c);

}  // namespace ludra
