#pragma once
// TCustomSynEdit: the platform-free editing control. It owns the line buffer
// and the undo and redo histories, keeps the caret, the selection and the
// scroll position, turns buffer and history notices into status and change
// notices, and reaches the window only through the virtual hooks below, so a
// headless editor can stand in for the window in tests.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/SynBracket.h"
#include "base/SynColor.h"
#include "base/SynEditTypes.h"
#include "base/SynHandlerList.h"
#include "buffer/SynEditTextBuffer.h"
#include "buffer/SynEditUndo.h"
#include "editor/SynEditCaret.h"
#include "editor/SynEditKbdHandler.h"
#include "editor/SynEditKeyCmds.h"
#include "editor/SynEditMarks.h"
#include "editor/SynEditMiscClasses.h"
#include "editor/SynEditMouseState.h"
#include "editor/SynEditOptions.h"
#include "editor/SynEditScanPoints.h"
#include "editor/SynEditViewport.h"
#include "editor/SynEditWordWrap.h"
#include "editor/SynTextDrawer.h"
#include "platform/SynProgress.h"
#include "platform/SynTimer.h"
#include "search/SynEditSearchCustom.h"

namespace ludra {

class TCustomSynEdit;
class TSynClipboard;
class TSynCustomHighlighter;

using TNotifyEvent = std::function<void(TCustomSynEdit* sender)>;
using TStatusChangeEvent = std::function<void(TCustomSynEdit* sender, TSynStatusChanges changes)>;
using TReplaceTextEvent = std::function<void(TCustomSynEdit* sender, const std::string& aSearch,
                                             const std::string& aReplace, int line, int column,
                                             TSynReplaceAction& action)>;

inline constexpr char SNoSearchEngine[] = "No search engine has been assigned";

class TCustomSynEdit {
 public:
  // The clipboard is not owned; without one, copy and paste do nothing.
  explicit TCustomSynEdit(TSynClipboard* clipboard = nullptr);
  virtual ~TCustomSynEdit();
  TCustomSynEdit(const TCustomSynEdit&) = delete;
  TCustomSynEdit& operator=(const TCustomSynEdit&) = delete;

  // --- Text --------------------------------------------------------------
  TSynEditStringList& Lines() { return *lines_; }
  const TSynEditStringList& Lines() const { return *lines_; }
  void SetLines(const TStrings& value);
  // Lines joined with CR LF, no line end after the last one.
  std::string Text() const;
  void SetText(std::string_view value);
  std::string LineAtCaret() const;
  void SetLineAtCaret(const std::string& value);
  // The length of line (1-based) in bytes; 0 for a line that is not there.
  int LineLength(int line) const;

  // --- Caret and selection -------------------------------------------------
  TBufferCoord CaretPos() const { return caret_.CaretPos(); }
  int CaretChar() const { return caret_.CaretChar; }
  int CaretLine() const { return caret_.CaretLine; }
  // The public setters collapse the selection onto the new caret.
  void SetCaretPos(const TBufferCoord& value);
  void SetCaretChar(int value) { SetCaretPos({value, caret_.CaretLine}); }
  void SetCaretLine(int value) { SetCaretPos({caret_.CaretChar, value}); }
  // Moves the caret within its limits and leaves the selection alone.
  void InternalSetCaretPos(const TBufferCoord& value, bool ensureVisible = true);
  // With word wrap, a caret at a row end shows there rather than on the next row.
  TDisplayCoord DisplayCaretPos() const;
  int LastCaretColumn() const { return caret_.LastCaretColumn; }

  TBufferCoord SelFrom() const { return caret_.SelFrom; }
  TBufferCoord SelTo() const { return caret_.SelTo; }
  // Starts a new, empty selection at a point.
  void SetSelFrom(const TBufferCoord& value);
  // Extends the selection to a point (nothing with eoNoSelection).
  void SetSelTo(const TBufferCoord& value);
  TBufferCoord SelFirst() const { return caret_.First(); }
  TBufferCoord SelLast() const { return caret_.Last(); }
  bool HasSelection() const { return caret_.HasSelection(); }
  void SetCaretAndSelection(const TBufferCoord& caret, const TBufferCoord& selFrom,
                            const TBufferCoord& selTo);
  TSynSelectionMode SelectionMode() const { return caret_.Mode; }
  void SetSelectionMode(TSynSelectionMode value);

  std::string SelectedText() const;
  // Replaces the selection (or inserts at the caret) in the current mode, as
  // one undo step.
  void SetSelectedText(const std::string& value);
  // The replace primitive: deletes the selection in the current mode and
  // inserts value at the caret in the given mode. Records nothing itself
  // except, when addToUndoList is set, the pieces of a column insertion
  // (under pieceKind). Returns where the inserted text starts and ends.
  struct TInsertedRange {
    TBufferCoord Start;
    TBufferCoord End;
  };
  TInsertedRange SetSelTextPrimitive(TSynSelectionMode mode, std::string_view value,
                                     bool addToUndoList = false,
                                     TSynChangeKind pieceKind = ckInsert);
  void SelectWholeText();
  void CopySelection();
  void CutSelection();
  void PasteClipboard();
  void DeleteSelection();
  int CharOffsetOf(const TBufferCoord& pos) const;
  int SelectionLength() const;

  // --- Coordinates ---------------------------------------------------------
  TDisplayCoord BufferToDisplay(const TBufferCoord& pos) const;
  TBufferCoord DisplayToBuffer(const TDisplayCoord& pos) const;
  // Top-left client pixel of a display cell.
  TPoint RowColumnToPixels(const TDisplayCoord& pos) const;
  // roundColumn: nearest cell border (caret placement); else the cell hit.
  TDisplayCoord PixelsToRowColumn(int x, int y, bool roundColumn = false) const;

  // --- View ----------------------------------------------------------------
  int TopRow() const { return view_.TopRow; }
  void SetTopRow(int value);
  int FirstVisibleColumn() const { return view_.FirstVisibleColumn; }
  void SetFirstVisibleColumn(int value);
  int VisibleRows() const { return view_.VisibleRows; }
  int VisibleColumns() const { return view_.VisibleColumns; }
  int CellWidth() const { return view_.CellWidth; }
  int RowHeight() const { return view_.RowHeight; }
  int GutterPixels() const { return view_.GutterPixels; }
  void SetGutterPixels(int value);
  int TextOrigin() const { return view_.TextOrigin(); }
  int ExtraLineSpacing() const { return view_.ExtraLineSpacing; }
  void SetExtraLineSpacing(int value);
  // Reads the font metrics and the client size again.
  void FontChanged();
  void SizeChanged();
  void EnsureCaretVisible(bool centre = false);
  TScrollStyle ScrollBars() const { return scrollBars_; }
  void SetScrollBars(TScrollStyle value);
  void UpdateScrollBars();

  // --- Modes and settings ----------------------------------------------------
  TSynEditorOptions Options() const { return options_; }
  void SetOptions(TSynEditorOptions value);
  int TabWidth() const { return tabWidth_; }
  void SetTabWidth(int value);
  bool WantTabs() const { return wantTabs_; }
  void SetWantTabs(bool value) { wantTabs_ = value; }
  bool WantReturns() const { return wantReturns_; }
  void SetWantReturns(bool value) { wantReturns_ = value; }
  int MaxScrollWidth() const { return maxScrollWidth_; }
  void SetMaxScrollWidth(int value);
  bool InsertMode() const { return insertMode_; }
  void SetInsertMode(bool value);
  virtual bool ReadOnly() const { return readOnly_; }
  virtual void SetReadOnly(bool value);
  bool ContentModified() const { return contentModified_; }
  void SetContentModified(bool value);
  TColor ActiveLineColor() const { return activeLineColor_; }
  void SetActiveLineColor(TColor value);
  TSynEditCaretType InsertCaret() const { return insertCaret_; }
  void SetInsertCaret(TSynEditCaretType value);
  TSynEditCaretType OverwriteCaret() const { return overwriteCaret_; }
  void SetOverwriteCaret(TSynEditCaretType value);
  TSynCustomHighlighter* Highlighter() const { return highlighter_; }
  void SetHighlighter(TSynCustomHighlighter* value);

  // Leading characters 1..32 of a line (a tab counting TabWidth when
  // expandTabs); 0 without eoAutoIndent.
  int LeadingWhitespaceCount(std::string_view line, bool expandTabs) const;
  // Blanks (and tabs unless eoTabsToSpaces) reaching width columns.
  std::string IndentationString(int width) const;
  // Stores a line through the trimming rule of eoTrimTrailingSpaces.
  void StoreLine(int index, const std::string& text);
  // Lines index .. index + count (0-based) become one line holding text,
  // stored through the storing rule when store is set. The lines before the
  // last one are the ones removed, so the marks of every joined line end on
  // the joined line.
  void JoinLines(int index, int count, const std::string& text, bool store);

  // --- Update bracket and notices ----------------------------------------------
  void BeginPaintLock();
  void EndPaintLock();
  // The paint lock (and the undo block) as brackets: open now, closed when
  // the returned object goes, on every path.
  [[nodiscard]] auto LockPaint() {
    return Bracket([this] { BeginPaintLock(); }, [this] { EndPaintLock(); });
  }
  [[nodiscard]] auto OpenUndoBlock() {
    return Bracket([this] { BeginUndoBlock(); }, [this] { EndUndoBlock(); });
  }
  // One undo step under one paint lock; the lock is released even when
  // closing the block fails.
  [[nodiscard]] auto EditStep() {
    return Bracket(
        [this] {
          BeginPaintLock();
          BeginUndoBlock();
        },
        [this] {
          auto lock = TBracket([this] { EndPaintLock(); });
          EndUndoBlock();
        });
  }
  int PaintLockCount() const { return paintLock_; }
  int UndoBlockDepth() const { return undoBlockDepth_; }
  TSynStatusChanges PendingStatus() const { return pendingStatus_; }
  void StatusChanged(TSynStatusChanges changes);
  TSynStateFlags EditorState() const { return state_; }

  // --- Undo and redo -----------------------------------------------------------
  TSynEditUndoList& UndoList() { return *undoList_; }
  TSynEditUndoList& RedoList() { return *redoList_; }
  bool CanUndo() const { return !ReadOnly() && undoList_->HasItems(); }
  bool CanRedo() const { return !ReadOnly() && redoList_->HasItems(); }
  void Undo();
  void Redo();
  void ClearUndo();
  int MaxUndo() const { return maxUndo_; }
  void SetMaxUndo(int value);
  // One undo step around several recordings; also ends pending trim records.
  void BeginUndoBlock();
  void EndUndoBlock();

  // --- Commands ----------------------------------------------------------------
  // The narrow way into the editor that the command families take
  // (SynEditCommandsInternal.h).
  class TCommandContext;
  // The command entry point: built-in commands below ecUserFirst run through
  // ApplyCommand inside one paint lock.
  virtual void RunCommand(TSynEditorCommand command, char aChar, void* data);
  virtual void ApplyCommand(TSynEditorCommand command, char aChar, void* data);

  // --- Events --------------------------------------------------------------------
  TNotifyEvent OnChange;
  TStatusChangeEvent OnStatusChange;

  // Components attached by reference (the completion engines) are told when
  // the editor goes, so they drop their hooks and references. One handler per
  // owner; removed again with RemoveFreeNotification.
  void FreeNotification(const void* owner, std::function<void(TCustomSynEdit*)> handler);
  void RemoveFreeNotification(const void* owner);

  // --- Window services (the platform layer overrides these) ------------------------
  virtual bool HandleAllocated() const { return true; }
  virtual int ClientWidth() const { return 200; }
  virtual int ClientHeight() const { return 150; }
  virtual void InvalidateRect(const TRect& rect) { (void)rect; }
  // Moves the text area's pixels by dx, dy; the uncovered strip is repainted.
  virtual void ScrollWindow(int dx, int dy) { (void)dx, (void)dy; }
  virtual void SetScrollBar(TSynScrollBarKind bar, const TSynScrollBarInfo& info) {
    (void)bar, (void)info;
  }
  virtual bool Focused() const { return false; }
  virtual void SetFocus() {}
  // Cell width and height of the editor font (without extra line spacing).
  virtual void FontMetrics(int& cellWidth, int& cellHeight) const {
    cellWidth = 8;
    cellHeight = 16;
  }
  virtual void CreateSystemCaret(int width, int height) { (void)width, (void)height; }
  virtual void DestroySystemCaret() {}
  // Puts the system caret at client pixels; hidden when !visible.
  virtual void SetSystemCaret(int x, int y, bool visible) { (void)x, (void)y, (void)visible; }
  virtual void SetDropFilesAccepted(bool value) { (void)value; }
  virtual void DoOnPaintTransient(TTransientType type) { (void)type; }
  // The end of a buffer change; the line notices come before it.
  virtual void LinesChanged();

  // --- Invalidation ------------------------------------------------------------------
  // Lines a..b (1-based); -1, -1 is the whole text area.
  void InvalidateLines(int first, int last);
  void InvalidateGutterLines(int first, int last);
  void InvalidateLine(int line);
  void InvalidateSelection();
  void InvalidateAll();
  void UpdateCaret();

  // --- Search and replace (SynEditSearchReplace.cpp) ----------------------------------
  // The engine is not owned; the editor forgets it when it is destroyed.
  TSynEditSearchCustom* SearchEngine() const { return searchEngine_; }
  void SetSearchEngine(TSynEditSearchCustom* value);
  // Finds, replaces or replaces all occurrences of aSearch in the scope the
  // flags give; returns the number of occurrences visited (0: none).
  int SearchAndReplace(const std::string& aSearch, const std::string& aReplace,
                       TSynSearchFlags options);
  // A replace-all without prompts reports to it after a moment and stops
  // when it says so; the replacements made by then stay, as one undo step.
  // Not owned; none: it runs to the end.
  void SetProgressSink(TSynProgressSink* value) { progressSink_ = value; }
  // Asked before each replacement when sfPrompt is set; Action starts as raCancel.
  TReplaceTextEvent OnReplaceText;
  virtual TSynReplaceAction DoOnReplaceText(const std::string& aSearch, const std::string& aReplace,
                                            int line, int column);
  // --- End of search and replace ------------------------------------------------------

  // --- Painting and the window side (SynEditPaint*.cpp) ------------------------------
  using TPaintEvent = std::function<void(TCustomSynEdit* sender, TSynCanvas& canvas)>;
  using TPaintTransientEvent =
      std::function<void(TCustomSynEdit* sender, TSynCanvas& canvas, TTransientType type)>;
  using TSpecialLineColorsEvent =
      std::function<void(TCustomSynEdit* sender, int line, bool& special, TColor& fg, TColor& bg)>;
  using TGutterGetTextEvent =
      std::function<void(TCustomSynEdit* sender, int line, std::string& text)>;
  using TGutterPaintEvent = std::function<void(TCustomSynEdit* sender, int line, int x, int y)>;

  const TSynFont& Font() const;
  // Measures the cell again and refreshes the gutter.
  void SetFont(const TSynFont& value);
  TColor Color() const;
  void SetColor(TColor value);
  TSynGutter& Gutter();
  TSynSelectedColor& SelectedColor();
  TheTextDrawer& TextDrawer();
  int RightEdge() const;
  void SetRightEdge(int value);
  TColor RightEdgeColor() const;
  void SetRightEdgeColor(TColor value);
  bool HideSelection() const;
  void SetHideSelection(bool value);
  TColor ScrollHintColor() const;
  void SetScrollHintColor(TColor value);
  TSynScrollHintFormat ScrollHintFormat() const;
  void SetScrollHintFormat(TSynScrollHintFormat value);
  // "Top Line: %d" or "%d - %d" for the current top row.
  std::string ScrollHintText() const;

  // Paints the part of the client area inside clip.
  void Paint(TSynCanvas& canvas, const TRect& clip);
  virtual void PaintGutter(TSynCanvas& canvas, const TRect& clip, int firstRow, int lastRow);
  virtual void PaintTextLines(TSynCanvas& canvas, const TRect& clip, int firstRow, int lastRow,
                              int firstColumn, int lastColumn);
  // The cell over the bold and italic variants the highlighter uses (the
  // font's own style without one); the window's FontMetrics calls it. With
  // deferStyles, variants not measured yet wait until text is first painted:
  // the paint measures them and, when one of them is larger, the cell grows
  // before anything is drawn.
  void MeasureCellSize(TSynCanvas& canvas, int& cellWidth, int& cellHeight,
                       bool deferStyles = false);
  // Whether a style variant still waits for its measurement.
  bool CellMeasurePending() const;
  // Digit count, width and repaint after a gutter setting or the line count changed.
  void GutterChanged();
  virtual void DoOnSpecialLineColors(int line, bool& special, TColor& fg, TColor& bg);
  virtual void DoOnPaint(TSynCanvas& canvas);

  TPaintEvent OnPaint;
  TPaintTransientEvent OnPaintTransient;
  TSpecialLineColorsEvent OnSpecialLineColors;
  TGutterGetTextEvent OnGutterGetText;
  TGutterPaintEvent OnGutterPaint;

 private:
  // The painter (SynEditPainter.h): its settings and the drawing.
  class TPainter;
  std::unique_ptr<TPainter> painter_;
  // The view takes a newly measured cell: sizes, caret and a full repaint.
  void CellChanged(int cellWidth, int cellHeight);
  void MeasurePendingStyles(TSynCanvas& canvas);

 public:
  // --- End of painting -----------------------------------------------------------------

  // Verifies the editor's invariants; throws std::logic_error when broken.
  void Check() const;

  // --- Highlighter range states ------------------------------------------------------
  // Scans the highlighter's end-of-line states from line index (0-based) on,
  // storing each in the buffer, until a line's new state equals the stored
  // one or the last line is reached. Returns the last line scanned; without
  // a highlighter nothing is scanned and index - 1 is returned.
  int ScanFrom(int index);
  // Scans every line (a highlighter was attached or changed its rules).
  void ScanRanges();
  // Edited lines wait for their scan while the paint lock is held, so that a
  // paste or a replay scans the rest of the text once rather than once per
  // stored line. Scans the waiting lines now; true when there were any.
  bool FlushPendingScan();
  bool ScanPending() const { return pendingScanEnd_ > pendingScanBegin_; }
  // The highlighter's state at the start of line index (0-based), from the
  // stored end states (scanning only lines still waiting for their scan).
  TSynRange LineStartState(int index) const;
  // --- End of highlighter range states ---------------------------------------------

 protected:
  TSynClipboard* Clipboard() const { return clipboard_; }
  // The selected text; withPadding pads column lines to the block width.
  std::string GetSelectedText(bool withPadding) const;
  void DoChange();
  void DoLineBreak(bool insertLine);
  void DeleteSelectionPrimitive();
  TInsertedRange InsertNormal(std::string_view value);
  TInsertedRange InsertByLines(std::string_view value);
  TInsertedRange InsertColumn(std::string_view value, bool addToUndoList, TSynChangeKind pieceKind);
  void RecordSelectionDeletion();
  void FlushTrimRecords();
  int MaxCaretChar(int line) const {
    return MaxCaretChar(line, options_.Contains(eoScrollPastEol));
  }
  // The highest caret character on a line, with or without eoScrollPastEol.
  int MaxCaretChar(int line, bool pastEol) const;
  TBufferCoord LimitSelectionPoint(const TBufferCoord& value) const;
  // Applies the limits again after the text or the wrap width changed.
  void LimitCaretAndSelection();
  int MaxTopRow() const;
  int MaxFirstVisibleColumn();

 private:
  // Undo and redo: the rules of the change kinds, and the one routine that
  // replays a step of either history.
  struct TReplay;
  void Replay(bool redo);
  void UndoRedoAdded(TSynEditUndoList* sender);
  void BufferChanging();
  void BufferCleared();
  void BufferLinesDeleted(int index, int count);
  void BufferLinesInserted(int index, int count);
  void BufferLineChanged(int index, int count);
  // Lines [first, last) (0-based) need their end states scanned again.
  void MarkForScan(int first, int last);
  // Scans lines [first, last) and on until the stored states agree; returns
  // the last line scanned.
  int ScanSpan(int first, int last);
  void WidenMaxScrollWidth(int index);
  void DeliverStatus();

  std::unique_ptr<TSynEditStringList> lines_;
  TSynFreeNotifications<TCustomSynEdit> freeHooks_;
  std::unique_ptr<TSynEditUndoList> undoList_;
  std::unique_ptr<TSynEditUndoList> redoList_;
  TSynClipboard* clipboard_ = nullptr;
  TSynCustomHighlighter* highlighter_ = nullptr;
  mutable TSynScanPoints scanPoints_;  // also consulted by const position conversions

  // The parts with their own state and rules.
  TSynCaretSelection caret_;
  TSynViewport view_;
  bool insertMode_ = true;
  bool readOnly_ = false;
  bool contentModified_ = false;
  TSynEditorOptions options_ = SYNEDIT_DEFAULT_OPTIONS;
  int tabWidth_ = 8;
  bool wantTabs_ = false;
  bool wantReturns_ = true;
  int maxScrollWidth_ = 1024;
  int maxUndo_ = 1024;
  TColor activeLineColor_ = clNone;
  TSynEditCaretType insertCaret_ = ctVerticalLine;
  TSynEditCaretType overwriteCaret_ = ctBlock;
  TScrollStyle scrollBars_ = ssBoth;

  int paintLock_ = 0;
  TSynStateFlags state_;
  TSynStatusChanges pendingStatus_;
  TRect pendingInvalid_;

  // Undo replay: lines are stored as recorded, never trimmed.
  int replaying_ = 0;
  // Trailing blanks a store trimmed away, to be recorded as their own
  // deletion right after the change that stored the line.
  struct TTrimRecord {
    TBufferCoord Start;
    TBufferCoord End;
    std::string Text;
  };
  std::vector<TTrimRecord> pendingTrims_;
  int undoBlockDepth_ = 0;

  // Lines [begin, end) whose end states wait for a scan; outside them every
  // stored state follows from the line before it.
  // Set while waiting lines are scanned, whose buffer bracket changes no text.
  bool scanningPending_ = false;
  int pendingScanBegin_ = 0;
  int pendingScanEnd_ = 0;

  // Search and replace.
  TSynEditSearchCustom* searchEngine_ = nullptr;
  TSynProgressSink* progressSink_ = nullptr;

  // --- Key bindings, command pipeline and editing commands (SynEditCommands*.cpp) ---
 public:
  using TKeyEvent = std::function<void(TCustomSynEdit* sender, uint16_t& key, TShiftState shift)>;
  using TKeyPressEvent = std::function<void(TCustomSynEdit* sender, char& key)>;
  using TProcessCommandEvent = std::function<void(
      TCustomSynEdit* sender, TSynEditorCommand& command, char& aChar, void* data)>;
  using TContextHelpEvent = std::function<void(TCustomSynEdit* sender, const std::string& word)>;
  using TPlaceMarkEvent = std::function<void(TCustomSynEdit* sender, TSynEditMark*& mark)>;

  // The key-binding table, reset to the defaults on creation; assigning copies.
  TSynEditKeyStrokes& Keystrokes() { return *keystrokes_; }
  void SetKeystrokes(const TSynEditKeyStrokes& value) { keystrokes_->Assign(value); }
  virtual void ResetKeystrokes() { keystrokes_->ResetDefaults(); }
  uint16_t PendingKey() const { return pendingKey_; }
  TShiftState PendingShift() const { return pendingShift_; }
  int ImeCharsToSkip() const { return imeCharsToSkip_; }
  void SetImeCharsToSkip(int value) { imeCharsToSkip_ = value > 0 ? value : 0; }
  // The window's key-down, character and key-up messages.
  void KeyDown(uint16_t& key, TShiftState shift);
  void KeyPress(char& key);
  void KeyUp(uint16_t& key, TShiftState shift);
  // The command of a key (or of the pending first key and this one).
  TSynEditorCommand TranslateKeyCode(uint16_t key, TShiftState shift);
  // Key handler chains: run newest first before the editor translates a key.
  void HookKeyDown(TKeyDownProc handler, void* object);
  void UnhookKeyDown(TKeyDownProc handler, void* object);
  void HookKeyUp(TKeyDownProc handler, void* object);
  void UnhookKeyUp(TKeyDownProc handler, void* object);
  void HookKeyPress(TKeyPressProc handler, void* object);
  void UnhookKeyPress(TKeyPressProc handler, void* object);
  // Hooked command handlers, called before and after every command.
  void RegisterCommandHandler(THookedCommandProc handler, void* object, void* handlerData);
  void UnregisterCommandHandler(THookedCommandProc handler, void* object);
  int CommandHandlerCount() const { return commandHandlers_.Count(); }

  // Word queries (identifier characters from the highlighter, or the defaults).
  bool IsIdentChar(char c) const;
  TBufferCoord WordStart(const TBufferCoord& pos) const;
  TBufferCoord WordEnd(const TBufferCoord& pos) const;
  TBufferCoord NextWordPos(const TBufferCoord& pos) const;
  TBufferCoord PrevWordPos(const TBufferCoord& pos) const;
  std::string WordAt(const TBufferCoord& pos) const;
  // The bracket matching the one after pos, or {0, 0} when there is none.
  TBufferCoord GetMatchingBracket(const TBufferCoord& pos) const;
  void FindMatchingBracket();

  // Marks and bookmarks.
  TSynEditMarkList& Marks() { return *marks_; }
  TSynBookMarkOpt& BookMarkOptions() { return bookMarkOptions_; }
  void PlaceBookmark(int number, int aChar, int line);
  void DropBookmark(int number);
  void JumpToBookmark(int number);
  // The bookmark in slot number, or nullptr.
  TSynEditMark* Bookmark(int number) const;

  TKeyEvent OnKeyDown;
  TKeyPressEvent OnKeyPress;
  TKeyEvent OnKeyUp;
  TProcessCommandEvent OnProcessCommand;
  TProcessCommandEvent OnProcessUserCommand;
  TProcessCommandEvent OnCommandProcessed;
  TContextHelpEvent OnContextHelp;
  TPlaceMarkEvent OnPlaceBookmark;
  TPlaceMarkEvent OnClearBookmark;

 protected:
  virtual void DoOnProcessCommand(TSynEditorCommand& command, char& aChar, void* data);
  virtual void DoOnCommandProcessed(TSynEditorCommand& command, char& aChar, void* data);
  virtual void NotifyHookedCommandHandlers(bool afterProcessing, TSynEditorCommand& command,
                                           char& aChar, void* data);

 private:
  static std::unique_ptr<TSynEditKeyStrokes> DefaultKeystrokes();
  std::unique_ptr<TSynEditKeyStrokes> keystrokes_ = DefaultKeystrokes();
  uint16_t pendingKey_ = 0;
  TShiftState pendingShift_;
  int imeCharsToSkip_ = 0;
  TSynEditKbdHandler kbdHandler_;
  THookedCommandHandlerList commandHandlers_;
  std::unique_ptr<TSynEditMarkList> marks_ = std::make_unique<TSynEditMarkList>(this);
  TSynEditMark* bookmarks_[10] = {};
  TSynBookMarkOpt bookMarkOptions_;
  // --- End of key bindings, command pipeline and editing commands ---

  // --- Mouse, drag-and-drop, handler chains and focus (SynEditMouse.cpp, SynEditDragDrop.cpp) ---
 public:
  enum TDragState : uint8_t { dsDragEnter, dsDragLeave, dsDragMove };
  using TMouseEvent = std::function<void(TCustomSynEdit* sender, TMouseButton button,
                                         TShiftState shift, int x, int y)>;
  using TMouseMoveEvent =
      std::function<void(TCustomSynEdit* sender, TShiftState shift, int x, int y)>;
  using TGutterClickEvent = std::function<void(TCustomSynEdit* sender, TMouseButton button, int x,
                                               int y, int line, TSynEditMark* mark)>;
  using TMouseCursorEvent = std::function<void(TCustomSynEdit* sender,
                                               const TBufferCoord& aLineCharPos, TCursor& aCursor)>;
  using TDropFilesEvent =
      std::function<void(TCustomSynEdit* sender, int x, int y, const TStrings& aFiles)>;
  using TDragOverEvent = std::function<void(TCustomSynEdit* sender, TCustomSynEdit* source, int x,
                                            int y, TDragState state, bool& accept)>;
  using TDragDropEvent =
      std::function<void(TCustomSynEdit* sender, TCustomSynEdit* source, int x, int y)>;
  using TScrollEvent = std::function<void(TCustomSynEdit* sender, TSynScrollBarKind bar)>;
  // A window that takes the keyboard focus in the editor's place.
  class TFocusTarget {
   public:
    virtual ~TFocusTarget() = default;
    virtual void SetFocus() = 0;
  };

  // The window's mouse messages, in client pixels. A double-click arrives as
  // a press with ssDouble followed by DblClick().
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  void MouseMove(TShiftState shift, int x, int y);
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  void DblClick();
  // wheelDelta in wheel units (120 a notch, positive away from the user).
  void MouseWheel(TShiftState shift, int wheelDelta);
  // The cursor for the pointer at x, y.
  TCursor MouseCursorAt(int x, int y);
  // The window lost the mouse capture (another window took it).
  void MouseCaptureLost();
  bool MouseCapture() const { return mouse_.Capture; }
  bool IsPointInSelection(const TBufferCoord& value) const;
  // Selects the word at pos as a double-click does.
  void SetWordBlock(const TBufferCoord& pos);
  TCursor Cursor() const { return mouse_.Cursor; }
  void SetCursor(TCursor value) { mouse_.Cursor = value; }
  TCursor GutterCursor() const { return mouse_.GutterCursor; }
  void SetGutterCursor(TCursor value) { mouse_.GutterCursor = value; }
  int ScrollDeltaX() const { return mouse_.ScrollDeltaX; }
  int ScrollDeltaY() const { return mouse_.ScrollDeltaY; }
  bool AutoScrollActive() const { return mouse_.AutoScrolling(); }
  bool WaitingForDrag() const { return mouse_.WaitForDrag; }
  // This editor is the source of a running drag.
  bool Dragging() const { return mouse_.Dragging; }

  // Drag and drop of text between editors. source is the dragging editor.
  void DragOver(TCustomSynEdit* source, int x, int y, TDragState state, TShiftState shift,
                bool& accept, TCursor& dragCursor);
  void DragDrop(TCustomSynEdit* source, int x, int y, TShiftState shift);
  // The platform ended this editor's drag (dropped anywhere or cancelled).
  void EndDrag();
  // Files dropped from the desktop, in drop order.
  void DropFiles(int x, int y, const std::vector<std::string>& files);

  // Mouse handler chains: newest first, every handler runs.
  void HookMouseDown(TMouseProc handler, void* object);
  void UnhookMouseDown(TMouseProc handler, void* object);
  void HookMouseUp(TMouseProc handler, void* object);
  void UnhookMouseUp(TMouseProc handler, void* object);
  void HookMouseCursor(TMouseCursorProc handler, void* object);
  void UnhookMouseCursor(TMouseCursorProc handler, void* object);

  // Focus: pop-up windows that take the focus in the editor's place.
  void AddFocusControl(TFocusTarget* target);
  void RemoveFocusControl(TFocusTarget* target);
  // Gives the focus to the newest redirect window, else to the editor.
  void TakeFocus();
  bool KeepCaretShown() const { return keepCaretShown_; }
  void SetKeepCaretShown(bool value);

  TMouseEvent OnMouseDown;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseUp;
  TNotifyEvent OnDblClick;
  TDragOverEvent OnDragOver;
  TDragDropEvent OnDragDrop;
  TGutterClickEvent OnGutterClick;
  TMouseCursorEvent OnMouseCursor;
  TDropFilesEvent OnDropFiles;
  TScrollEvent OnScrolled;

  // Window services of the mouse (the platform layer overrides these).
  // The pointer in client pixels now.
  virtual TPoint MousePosition() const { return mouse_.Last; }
  // Shift, Ctrl and Alt as held now.
  virtual TShiftState KeyboardShiftState() const { return {}; }
  virtual int DragThreshold() const { return 4; }
  // Lines per wheel notch; -1 is a page.
  virtual int WheelScrollLines() const { return 3; }
  virtual bool HasPopupMenu() const { return false; }
  // Starts the platform's drag of the selection; EndDrag() follows.
  virtual void BeginDrag() {}
  virtual std::unique_ptr<TSynTimer> CreateTimer() { return nullptr; }
  virtual void SetCaptureHook(bool captured) { (void)captured; }

 protected:
  void AutoScrollTick();
  void ComputeAutoScroll(int x, int y);
  void StopAutoScroll();
  void ComputeCaretAt(int x, int y);
  void DoOnGutterClick(TMouseButton button, int x, int y);
  void SetMouseCapture(bool value);

 private:
  TSynMouseState mouse_;
  bool keepCaretShown_ = false;
  std::vector<TFocusTarget*> focusList_;
  // --- End of mouse, drag-and-drop, handler chains and focus ---

  // --- Bookmark images (SynEditMarks.cpp) ---
 public:
  // The application's mark images, not owned; without them every mark shows
  // a built-in glyph and only one per row.
  const std::vector<TSynGlyph>* BookmarkImages() const { return bookmarkImages_; }
  void SetBookmarkImages(const std::vector<TSynGlyph>* value);

 private:
  const std::vector<TSynGlyph>* bookmarkImages_ = nullptr;
  // --- End of bookmark images ---

  // --- Word wrap (SynEditWordWrap*.cpp) ---
 public:
  bool WordWrap() const { return wordWrap_ != nullptr; }
  // On: rows no wider than the visible text and no horizontal scrolling.
  void SetWordWrap(bool value);
  TSynWrapGlyph& WordWrapGlyph() { return *wordWrapGlyph_; }
  void SetWordWrapGlyph(const TSynWrapGlyph& value) { wordWrapGlyph_->Assign(value); }
  TSynWordWrapPlugin* WordWrapPlugin() const { return wordWrap_.get(); }
  // First row of a line, line of a row (1-based; equal without wrap).
  int LineToRow(int line) const;
  int RowToLine(int row) const;
  // Rows of the whole text (at least 1).
  int DisplayRowCount() const;
  // The caret stands at the end of a row, not at the start of the next.
  bool CaretAfterWrap() const { return wordWrap_ && caretAfterWrapAt_ == CaretPos(); }

 protected:
  // Home and End by rows; false when wrapping is off.
  bool WrappedLineStartEnd(bool toEnd, bool select);
  void SetCaretAfterWrap(bool value);
  // Left and Right at a row end first only move the caret's shown place:
  // true when that was the whole step.
  bool WrapCaretStep(int dx);
  void WrapCaretMoved(int dx);
  // Buffer line notices for the wrap table; answer the change in rows.
  void WrapLinesInserted(int index, int count);
  void WrapLinesDeleted(int index, int count);
  void WrapLinesChanged(int index, int count);
  // Lines first..last to their rows, count to the row count.
  void WrapLinesToRows(int& first, int& last, int& count) const;

 private:
  std::unique_ptr<TSynWrapGlyph> MakeWrapGlyph();
  std::unique_ptr<TSynWordWrapPlugin> wordWrap_;
  std::unique_ptr<TSynWrapGlyph> wordWrapGlyph_ = MakeWrapGlyph();
  TBufferCoord caretAfterWrapAt_{0, 0};
  // --- End of word wrap ---
};

}  // namespace ludra
