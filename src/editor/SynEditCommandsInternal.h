#pragma once
// The command families that ApplyCommand dispatches to, and the narrow
// context through which they reach the control: the document through the
// editing component (Edit()), the caret, the view and the modes through the
// queries and moves listed here, never the whole control.
#include <string>
#include <string_view>

#include "buffer/SynEditTextBuffer.h"
#include "buffer/SynEditUndo.h"
#include "editor/SynEdit.h"
#include "editor/SynEditEditing.h"

namespace ludra {

class TCustomSynEdit::TCommandContext {
 public:
  explicit TCommandContext(TCustomSynEdit& editor) : e_(editor) {}

  // The document: its lines, histories and every change of the text.
  TSynEditing& Edit() { return *e_.editing_; }

  // What the families read: the caret and the selection, the view, the
  // modes and settings, display positions, words.
  const TSynCaretSelection& Caret() const { return e_.caret_; }
  const TSynViewport& View() const { return e_.view_; }
  TSynEditorOptions Options() const { return e_.options_; }
  int TabWidth() const { return e_.tabWidth_; }
  bool ReadOnly() const { return e_.ReadOnly(); }
  bool InsertMode() const { return e_.insertMode_; }
  bool WordWrap() const { return e_.WordWrap(); }
  int MaxScrollWidth() const { return e_.maxScrollWidth_; }
  TDisplayCoord DisplayCaretPos() const { return e_.DisplayCaretPos(); }
  TDisplayCoord BufferToDisplay(const TBufferCoord& p) const { return e_.BufferToDisplay(p); }
  TBufferCoord DisplayToBuffer(const TDisplayCoord& p) const { return e_.DisplayToBuffer(p); }
  int DisplayRowCount() const { return e_.DisplayRowCount(); }
  // A line (0-based) with its tabs expanded.
  std::string ExpandedLine(int index) { return e_.lines_->ExpandedLine(index); }
  TBufferCoord WordStart(const TBufferCoord& p) const { return e_.WordStart(p); }
  TBufferCoord WordEnd(const TBufferCoord& p) const { return e_.WordEnd(p); }
  TBufferCoord NextWordPos(const TBufferCoord& p) const { return e_.NextWordPos(p); }
  TBufferCoord PrevWordPos(const TBufferCoord& p) const { return e_.PrevWordPos(p); }

  // What they move, by the control's rules (limits, repaint, notices,
  // scrolling).
  void SetCaretPos(const TBufferCoord& p) { e_.SetCaretPos(p); }
  void InternalSetCaretPos(const TBufferCoord& p, bool ensureVisible = true) {
    e_.InternalSetCaretPos(p, ensureVisible);
  }
  // The display column vertical moves keep.
  void KeepCaretColumn(int column) { e_.KeepCaretColumn(column); }
  void SetSelFrom(const TBufferCoord& p) { e_.SetSelFrom(p); }
  void SetSelTo(const TBufferCoord& p) { e_.SetSelTo(p); }
  void SetCaretAndSelection(const TBufferCoord& caret, const TBufferCoord& from,
                            const TBufferCoord& to) {
    e_.SetCaretAndSelection(caret, from, to);
  }
  void SetSelectionMode(TSynSelectionMode mode) { e_.SetSelectionMode(mode); }
  void EnsureCaretVisible(bool centre = false) { e_.EnsureCaretVisible(centre); }
  void SetTopRow(int value) { e_.SetTopRow(value); }
  void SetFirstVisibleColumn(int value) { e_.SetFirstVisibleColumn(value); }
  void FindMatchingBracket() { e_.FindMatchingBracket(); }
  // Word wrap: the caret at a row end, Home and End by rows.
  bool WrapCaretStep(int dx) { return e_.WrapCaretStep(dx); }
  void WrapCaretMoved(int dx) { e_.WrapCaretMoved(dx); }
  bool WrappedLineStartEnd(bool toEnd, bool select) {
    return e_.WrappedLineStartEnd(toEnd, select);
  }
  // The caret may stand past the line end until the returned bracket goes.
  [[nodiscard]] auto AllowPastEol() { return e_.AllowPastEol(); }
  [[nodiscard]] auto LockPaint() { return e_.LockPaint(); }
  void DoOnPaintTransient(TTransientType type) { e_.DoOnPaintTransient(type); }
  void InvalidateGutterLines(int first, int last) { e_.InvalidateGutterLines(first, last); }

 private:
  TCustomSynEdit& e_;
};

using TSynCommandContext = TCustomSynEdit::TCommandContext;
using TInsertedRange = TSynEditing::TInsertedRange;

// A family answers true when it knew the command.
using TSynCommandFamily = bool (*)(TSynCommandContext& c, TSynEditorCommand command, char aChar,
                                   void* data);
bool CaretCommand(TSynCommandContext& c, TSynEditorCommand command, char aChar, void* data);
bool ViewCommand(TSynCommandContext& c, TSynEditorCommand command, char aChar, void* data);
bool DeleteCommand(TSynCommandContext& c, TSynEditorCommand command, char aChar, void* data);
bool TypingCommand(TSynCommandContext& c, TSynEditorCommand command, char aChar, void* data);
bool BlockCommand(TSynCommandContext& c, TSynEditorCommand command, char aChar, void* data);

// Moves the caret; with select the selection runs from the anchor (the
// position before the move when there was no selection) to the new caret.
void MoveCaretAndSelection(TSynCommandContext& c, const TBufferCoord& before,
                           const TBufferCoord& after, bool select);
void MoveCaretHorz(TSynCommandContext& c, int dx, bool select);
void MoveCaretVert(TSynCommandContext& c, int dy, bool select);

// Breaks the line at the caret (with auto-indent) as one undo step; with
// insertLine the caret stays where it was.
void DoLineBreak(TSynCommandContext& c, bool insertLine);
// Fills a caret past the line end with blanks up to (not including) the
// caret, recorded as added white space.
void FillGapToCaret(TSynCommandContext& c, bool emptyLineIndent);
void DoBlockIndent(TSynCommandContext& c);
void DoBlockUnindent(TSynCommandContext& c);
bool TabActsOnBlock(TSynCommandContext& c);
void ScrollRightAfterTyping(TSynCommandContext& c);

}  // namespace ludra
