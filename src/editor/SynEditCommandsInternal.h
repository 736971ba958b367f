#pragma once
// The command families that ApplyCommand dispatches to, the undo replay, and
// the narrow context through which they reach the control: the document
// through the editing component (Edit()), and the caret, the view, the modes, the
// histories and the marks through the operations listed here, never the
// whole control.
#include <string>
#include <string_view>

#include "buffer/SynEditTextBuffer.h"
#include "buffer/SynEditUndo.h"
#include "editor/SynEdit.h"
#include "editor/SynEditEditing.h"
#include "editor/SynEditMarks.h"

namespace ludra {

class TCustomSynEdit::TCommandContext {
 public:
  explicit TCommandContext(TCustomSynEdit& editor) : e_(editor) {}

  // The document: lines, histories and the editing primitives.
  TSynEditing& Edit() { return *e_.editing_; }

  // The caret and the selection, moved by the control's rules (limits,
  // repaint, notices, scrolling).
  TBufferCoord CaretPos() const { return e_.CaretPos(); }
  int CaretChar() const { return e_.CaretChar(); }
  int CaretLine() const { return e_.CaretLine(); }
  void SetCaretPos(const TBufferCoord& p) { e_.SetCaretPos(p); }
  void InternalSetCaretPos(const TBufferCoord& p, bool ensureVisible = true) {
    e_.InternalSetCaretPos(p, ensureVisible);
  }
  TBufferCoord SelFrom() const { return e_.SelFrom(); }
  TBufferCoord SelTo() const { return e_.SelTo(); }
  TBufferCoord SelFirst() const { return e_.SelFirst(); }
  TBufferCoord SelLast() const { return e_.SelLast(); }
  bool HasSelection() const { return e_.HasSelection(); }
  TSynSelectionMode SelectionMode() const { return e_.SelectionMode(); }
  void SetSelectionMode(TSynSelectionMode mode) { e_.SetSelectionMode(mode); }
  void SetSelFrom(const TBufferCoord& p) { e_.SetSelFrom(p); }
  void SetSelTo(const TBufferCoord& p) { e_.SetSelTo(p); }
  void SetCaretAndSelection(const TBufferCoord& caret, const TBufferCoord& from,
                            const TBufferCoord& to) {
    e_.SetCaretAndSelection(caret, from, to);
  }
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
  // Applies the caret's and the selection's limits again after a replay.
  void LimitCaretAndSelection() { e_.LimitCaretAndSelection(); }
  // A selection mode (without repaint) until the returned bracket goes.
  [[nodiscard]] auto UseSelectionMode(TSynSelectionMode mode) {
    TSynSelectionMode& current = e_.caret_.Mode;
    return Bracket([&current, mode] { current = mode; },
                   [&current, saved = current] { current = saved; });
  }
  // The caret may stand past the line end until the returned bracket goes.
  [[nodiscard]] auto AllowPastEol() { return ludra::AllowPastEol(e_.options_); }
  // The display column vertical moves keep.
  int LastCaretColumn() const { return e_.LastCaretColumn(); }
  void SetLastCaretColumn(int value) { e_.caret_.LastCaretColumn = value; }
  TDisplayCoord DisplayCaretPos() const { return e_.DisplayCaretPos(); }
  void EnsureCaretVisible(bool centre = false) { e_.EnsureCaretVisible(centre); }
  // Word wrap: the caret at a row end, Home and End by rows.
  bool WordWrap() const { return e_.WordWrap(); }
  bool WrapCaretStep(int dx) { return e_.WrapCaretStep(dx); }
  void WrapCaretMoved(int dx) { e_.WrapCaretMoved(dx); }
  bool WrappedLineStartEnd(bool toEnd, bool select) {
    return e_.WrappedLineStartEnd(toEnd, select);
  }
  // A line (0-based) with its tabs expanded.
  std::string ExpandedLine(int index) { return e_.lines_->ExpandedLine(index); }
  // Words and brackets.
  TBufferCoord WordStart(const TBufferCoord& p) const { return e_.WordStart(p); }
  TBufferCoord WordEnd(const TBufferCoord& p) const { return e_.WordEnd(p); }
  TBufferCoord NextWordPos(const TBufferCoord& p) const { return e_.NextWordPos(p); }
  TBufferCoord PrevWordPos(const TBufferCoord& p) const { return e_.PrevWordPos(p); }
  void FindMatchingBracket() { e_.FindMatchingBracket(); }

  // Whole-selection operations of the control (each its own undo step).
  std::string LineAtCaret() const { return e_.LineAtCaret(); }
  std::string SelectedText() const { return e_.SelectedText(); }
  void SetSelectedText(const std::string& value) { e_.SetSelectedText(value); }
  void DeleteSelection() { e_.DeleteSelection(); }
  void SelectWholeText() { e_.SelectWholeText(); }
  void CopySelection() { e_.CopySelection(); }
  void CutSelection() { e_.CutSelection(); }
  void PasteClipboard() { e_.PasteClipboard(); }

  // The view.
  int TopRow() const { return e_.TopRow(); }
  void SetTopRow(int value) { e_.SetTopRow(value); }
  int VisibleRows() const { return e_.VisibleRows(); }
  int VisibleColumns() const { return e_.VisibleColumns(); }
  int FirstVisibleColumn() const { return e_.FirstVisibleColumn(); }
  void SetFirstVisibleColumn(int value) { e_.SetFirstVisibleColumn(value); }
  int DisplayRowCount() const { return e_.DisplayRowCount(); }
  TBufferCoord DisplayToBuffer(const TDisplayCoord& p) const { return e_.DisplayToBuffer(p); }
  TDisplayCoord BufferToDisplay(const TBufferCoord& p) const { return e_.BufferToDisplay(p); }
  int MaxScrollWidth() const { return e_.MaxScrollWidth(); }
  [[nodiscard]] auto LockPaint() { return e_.LockPaint(); }
  void DoOnPaintTransient(TTransientType type) { e_.DoOnPaintTransient(type); }
  void InvalidateGutterLines(int first, int last) { e_.InvalidateGutterLines(first, last); }

  // Modes, settings and the histories.
  TSynEditorOptions Options() const { return e_.Options(); }
  int TabWidth() const { return e_.TabWidth(); }
  bool ReadOnly() const { return e_.ReadOnly(); }
  bool InsertMode() const { return e_.InsertMode(); }
  void SetInsertMode(bool value) { e_.SetInsertMode(value); }
  void SetContentModified(bool value) { e_.SetContentModified(value); }
  bool CanUndo() const { return e_.CanUndo(); }
  void Undo() { e_.Undo(); }
  void Redo() { e_.Redo(); }
  void ContextHelp() {
    if (e_.OnContextHelp) e_.OnContextHelp(&e_, e_.WordAt(e_.CaretPos()));
  }

  // Marks and bookmarks.
  const TSynBookMarkOpt& BookMarkOptions() const { return *e_.bookMarkOptions_; }
  TSynEditMark* Bookmark(int number) const { return e_.Bookmark(number); }
  void PlaceBookmark(int number, int aChar, int line) { e_.PlaceBookmark(number, aChar, line); }
  void DropBookmark(int number) { e_.DropBookmark(number); }
  void JumpToBookmark(int number) { e_.JumpToBookmark(number); }
  // Removes every mark and bookmark and every line (not undoable).
  void ClearMarksAndLines() {
    for (TSynEditMark*& b : e_.bookmarks_) b = nullptr;
    e_.marks_->Clear();
    e_.lines_->Clear();
  }

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
bool OtherCommand(TSynCommandContext& c, TSynEditorCommand command, char aChar, void* data);

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
