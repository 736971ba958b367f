#pragma once
// TCustomSynEdit: the platform-free editing control, and its contract: what
// the application, its logic, the completion engine, the Qt widget and the
// benchmarks call. The work is done by components with their own state and rules
// (editing, caret and selection, viewport, mouse, painter, marks, word wrap);
// a derived control implements the window services (protected hooks) and
// may reach the rest of the control's face; plumbing stays private.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/SynColor.h"
#include "base/SynEditTypes.h"
#include "base/SynHandlerList.h"
#include "buffer/SynEditTextBuffer.h"
#include "editor/SynEditCaret.h"
#include "editor/SynEditKbdHandler.h"
#include "editor/SynEditKeyCmds.h"
#include "editor/SynEditOptions.h"
#include "editor/SynEditViewport.h"
#include "search/SynEditSearchCustom.h"

namespace ludra {

class TCustomSynEdit;
class TSynCanvas;
class TSynClipboard;
class TSynCustomHighlighter;
class TSynEditing;
class TSynEditMark;
class TSynEditMarkList;
class TSynEditUndoList;
class TSynGutter;
class TSynPainter;
class TSynProgressSink;
class TSynScanPoints;
class TSynSelectedColor;
class TSynTimer;
class TSynWordWrapPlugin;
class TSynWrapGlyph;
class TheTextDrawer;
struct TSynBookMarkOpt;
struct TSynFont;
struct TSynGlyph;
struct TSynMouseState;
enum TSynScrollHintFormat : uint8_t;

using TNotifyEvent = std::function<void(TCustomSynEdit* sender)>;
using TStatusChangeEvent = std::function<void(TCustomSynEdit* sender, TSynStatusChanges changes)>;
using TReplaceTextEvent = std::function<void(TCustomSynEdit* sender, const std::string& aSearch,
                                             const std::string& aReplace, int line, int column,
                                             TSynReplaceAction& action)>;

inline constexpr char SNoSearchEngine[] = "No search engine has been assigned";

class TCustomSynEdit {
 public:
  enum TDragState : uint8_t { dsDragEnter, dsDragLeave, dsDragMove };
  using TSpecialLineColorsEvent =
      std::function<void(TCustomSynEdit* sender, int line, bool& special, TColor& fg, TColor& bg)>;
  using TDropFilesEvent =
      std::function<void(TCustomSynEdit* sender, int x, int y, const TStrings& aFiles)>;
  // A window that takes the keyboard focus in the editor's place.
  class TFocusTarget {
   public:
    virtual ~TFocusTarget() = default;
    virtual void SetFocus() = 0;
  };

  // --- Life: the clipboard is not owned; without one, copy and paste do nothing.
  explicit TCustomSynEdit(TSynClipboard* clipboard = nullptr);
  virtual ~TCustomSynEdit();
  TCustomSynEdit(const TCustomSynEdit&) = delete;
  TCustomSynEdit& operator=(const TCustomSynEdit&) = delete;
  // Components attached by reference (the completion engines) follow the
  // editor through one listener each (SynEditKbdHandler.h): keys, commands
  // and the editor going. Not owned; adding one twice adds it once.
  void AddListener(TSynEditListener* listener);
  void RemoveListener(TSynEditListener* listener);
  // Verifies the invariants of the control and its components; throws
  // std::logic_error when one is broken.
  void Check() const;

  // --- Text: the line buffer, and the whole text as lines joined by CR LF.
  TSynEditStringList& Lines() { return *lines_; }
  const TSynEditStringList& Lines() const { return *lines_; }
  std::string Text() const;
  void SetText(std::string_view value);
  std::string LineAtCaret() const;
  // The length of line (1-based) in bytes; 0 for a line that is not there.
  int LineLength(int line) const;

  // --- Caret and selection: the public setters collapse the selection onto
  // the caret; InternalSetCaretPos moves it within its limits and leaves the
  // selection alone. SetSelFrom starts a new, empty selection, SetSelTo
  // extends it (nothing with eoNoSelection).
  TBufferCoord CaretPos() const { return caret_.CaretPos(); }
  int CaretChar() const { return caret_.CaretChar; }
  int CaretLine() const { return caret_.CaretLine; }
  void SetCaretPos(const TBufferCoord& value);
  void SetCaretChar(int value) { SetCaretPos({value, caret_.CaretLine}); }
  void SetCaretLine(int value) { SetCaretPos({caret_.CaretChar, value}); }
  void InternalSetCaretPos(const TBufferCoord& value, bool ensureVisible = true);
  // With word wrap, a caret at a row end shows there rather than on the next row.
  TDisplayCoord DisplayCaretPos() const;
  TBufferCoord SelFrom() const { return caret_.SelFrom; }
  TBufferCoord SelTo() const { return caret_.SelTo; }
  void SetSelFrom(const TBufferCoord& value);
  void SetSelTo(const TBufferCoord& value);
  TBufferCoord SelFirst() const { return caret_.First(); }
  TBufferCoord SelLast() const { return caret_.Last(); }
  bool HasSelection() const { return caret_.HasSelection(); }
  void SetCaretAndSelection(const TBufferCoord& caret, const TBufferCoord& selFrom,
                            const TBufferCoord& selTo);
  TSynSelectionMode SelectionMode() const { return caret_.Mode; }
  void SetSelectionMode(TSynSelectionMode value);

  // --- Selection text and the clipboard: SetSelectedText replaces the
  // selection (or inserts at the caret) in the current mode as one undo step.
  std::string SelectedText() const;
  void SetSelectedText(const std::string& value);
  void SelectWholeText();
  void CopySelection();
  void CutSelection();
  void PasteClipboard();
  void DeleteSelection();

  // --- Coordinates: buffer positions, display cells and client pixels
  // (roundColumn: the nearest cell border, for caret placement).
  TDisplayCoord BufferToDisplay(const TBufferCoord& pos) const;
  TBufferCoord DisplayToBuffer(const TDisplayCoord& pos) const;
  TPoint RowColumnToPixels(const TDisplayCoord& pos) const;
  TDisplayCoord PixelsToRowColumn(int x, int y, bool roundColumn = false) const;

  // --- View: what the client area shows. FontChanged and SizeChanged read
  // the font metrics and the client size again.
  int TopRow() const { return view_.TopRow; }
  void SetTopRow(int value);
  int FirstVisibleColumn() const { return view_.FirstVisibleColumn; }
  void SetFirstVisibleColumn(int value);
  int VisibleRows() const { return view_.VisibleRows; }
  int VisibleColumns() const { return view_.VisibleColumns; }
  int CellWidth() const { return view_.CellWidth; }
  int RowHeight() const { return view_.RowHeight; }
  int GutterPixels() const { return view_.GutterPixels; }
  void FontChanged();
  void SizeChanged();
  void EnsureCaretVisible(bool centre = false);
  TScrollStyle ScrollBars() const { return scrollBars_; }
  void SetScrollBars(TScrollStyle value);
  void UpdateScrollBars();
  void InvalidateSelection();
  void InvalidateAll();
  // The caret line's background, clNone for the editor's own: the program
  // marks a line it took the caret to.
  TColor ActiveLineColor() const { return activeLineColor_; }
  void SetActiveLineColor(TColor value);

  // --- Modes and settings.
  TSynEditorOptions Options() const { return options_; }
  void SetOptions(TSynEditorOptions value);
  int TabWidth() const { return tabWidth_; }
  void SetTabWidth(int value);
  bool WantTabs() const { return wantTabs_; }
  void SetWantTabs(bool value) { wantTabs_ = value; }
  int MaxScrollWidth() const { return maxScrollWidth_; }
  bool InsertMode() const { return insertMode_; }
  virtual bool ReadOnly() const { return readOnly_; }
  bool ContentModified() const { return contentModified_; }
  void SetContentModified(bool value);
  TSynEditCaretType InsertCaret() const { return insertCaret_; }
  TSynEditCaretType OverwriteCaret() const { return overwriteCaret_; }
  TSynCustomHighlighter* Highlighter() const { return highlighter_; }
  void SetHighlighter(TSynCustomHighlighter* value);

  // --- Brackets: screen updates wait under the paint lock; an undo block
  // makes one undo step of several changes (and ends pending trim records).
  void BeginPaintLock();
  void EndPaintLock();
  void BeginUndoBlock();
  void EndUndoBlock();

  // --- Undo and redo.
  bool CanUndo() const;
  bool CanRedo() const;
  void Undo();
  void Redo();
  // Ends the current undo step: the next change starts one of its own.
  void BreakUndoStep();
  void ClearUndo();
  void SetMaxUndo(int value);

  // --- Commands and keys: the window's key messages and the command entry
  // point (built-in commands run inside one paint lock).
  virtual void RunCommand(TSynEditorCommand command, char aChar, void* data);
  void KeyDown(uint16_t& key, TShiftState shift);
  void KeyPress(char& key);
  // Identifier characters from the highlighter, or the defaults.
  bool IsIdentChar(char c) const;
  // The character at pos lies in a comment or a literal by the highlighter
  // (false without one, or past the line's end).
  bool InFreeText(const TBufferCoord& pos) const;
  TBufferCoord WordEnd(const TBufferCoord& pos) const;

  // --- Mouse and drag-and-drop: the window's mouse messages in client
  // pixels (a double-click arrives as a press with ssDouble, then DblClick),
  // the cursor for a point, and text dragged between editors (source is the
  // dragging editor); EndDrag when the platform ended this editor's drag.
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  void MouseMove(TShiftState shift, int x, int y);
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  void DblClick();
  // wheelDelta in wheel units (120 a notch, positive away from the user).
  void MouseWheel(TShiftState shift, int wheelDelta);
  TCursor MouseCursorAt(int x, int y);
  bool Dragging() const;
  void DragOver(TCustomSynEdit* source, int x, int y, TDragState state, TShiftState shift,
                bool& accept, TCursor& dragCursor);
  void DragDrop(TCustomSynEdit* source, int x, int y, TShiftState shift);
  void EndDrag();
  // Files dropped from the desktop, in drop order.
  void DropFiles(int x, int y, const std::vector<std::string>& files);

  // --- Focus: pop-up windows that take the focus in the editor's place;
  // TakeFocus gives it to the newest of them, else to the editor.
  virtual bool Focused() const { return false; }
  virtual void SetFocus() {}
  void AddFocusControl(TFocusTarget* target);
  void RemoveFocusControl(TFocusTarget* target);
  void TakeFocus();
  bool KeepCaretShown() const { return keepCaretShown_; }
  void SetKeepCaretShown(bool value);

  // --- Painting: the settings that only change what is shown, and the paint
  // of the part of the client area inside clip. MeasureCellSize gives the
  // cell over the bold and italic variants the highlighter uses; with
  // deferStyles, variants not measured yet wait until text is first painted.
  const TSynFont& Font() const;
  void SetFont(const TSynFont& value);
  TColor Color() const;
  void SetColor(TColor value);
  TSynGutter& Gutter();
  TSynSelectedColor& SelectedColor();
  int RightEdge() const;
  bool HideSelection() const;
  TColor ScrollHintColor() const;
  // "Top Line: %d" or "%d - %d" for the current top row.
  std::string ScrollHintText() const;
  void Paint(TSynCanvas& canvas, const TRect& clip);
  void MeasureCellSize(TSynCanvas& canvas, int& cellWidth, int& cellHeight,
                       bool deferStyles = false);

  // --- Marks: the mark list, and the application's mark images (not owned;
  // without them every mark shows a built-in glyph and only one per row).
  TSynEditMarkList& Marks() { return *marks_; }
  void SetBookmarkImages(const std::vector<TSynGlyph>* value);

  // --- Word wrap: rows no wider than the visible text and no horizontal
  // scrolling; the first row of a line and the line of a row are equal
  // without it.
  bool WordWrap() const { return wordWrap_ != nullptr; }
  void SetWordWrap(bool value);
  TSynWordWrapPlugin* WordWrapPlugin() const { return wordWrap_.get(); }
  int RowToLine(int row) const;

  // --- Search and replace: the engine is not owned (the editor forgets it
  // when it is destroyed). Finds, replaces or replaces all occurrences in the
  // scope the flags give; returns the number of occurrences visited.
  void SetSearchEngine(TSynEditSearchCustom* value);
  int SearchAndReplace(const std::string& aSearch, const std::string& aReplace,
                       TSynSearchFlags options);
  // A replace-all without prompts reports to it after a moment and stops
  // when it says so; the replacements made by then stay, as one undo step.
  // An undo or redo of a large step does the same between its records; the
  // rest of the step stays to be undone or redone. Not owned; none: they
  // run to the end.
  void SetProgressSink(TSynProgressSink* value) { progressSink_ = value; }

  // --- Events.
  TNotifyEvent OnChange;
  TStatusChangeEvent OnStatusChange;
  // Asked before each replacement when sfPrompt is set; Action starts as raCancel.
  TReplaceTextEvent OnReplaceText;
  TDropFilesEvent OnDropFiles;
  TSpecialLineColorsEvent OnSpecialLineColors;

 protected:
  // --- Window services: the platform layer implements these; the defaults
  // stand for a window-less editor.
  virtual bool HandleAllocated() const { return true; }
  virtual int ClientWidth() const { return 200; }
  virtual int ClientHeight() const { return 150; }
  virtual void InvalidateRect(const TRect& rect) { (void)rect; }
  // Moves the text area's pixels by dx, dy; the uncovered strip is repainted.
  virtual void ScrollWindow(int dx, int dy) { (void)dx, (void)dy; }
  virtual void SetScrollBar(TSynScrollBarKind bar, const TSynScrollBarInfo& info) {
    (void)bar, (void)info;
  }
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
  // The pointer in client pixels now; Shift, Ctrl and Alt as held now.
  virtual TPoint MousePosition() const;
  virtual TShiftState KeyboardShiftState() const { return {}; }
  virtual int DragThreshold() const { return 4; }
  // Lines per wheel notch; -1 is a page.
  virtual int WheelScrollLines() const { return 3; }
  virtual bool HasPopupMenu() const { return false; }
  // Starts the platform's drag of the selection; EndDrag() follows.
  virtual void BeginDrag() {}
  virtual std::unique_ptr<TSynTimer> CreateTimer();
  virtual void SetCaptureHook(bool captured) { (void)captured; }

  // --- Overridable steps: commands, paints and the events' dispatch.
  virtual void ApplyCommand(TSynEditorCommand command, char aChar, void* data);
  virtual void NotifyHookedCommandHandlers(bool afterProcessing, TSynEditorCommand& command,
                                           char& aChar, void* data);
  virtual TSynReplaceAction DoOnReplaceText(const std::string& aSearch, const std::string& aReplace,
                                            int line, int column);
  virtual void PaintGutter(TSynCanvas& canvas, const TRect& clip, int firstRow, int lastRow);
  virtual void PaintTextLines(TSynCanvas& canvas, const TRect& clip, int firstRow, int lastRow,
                              int firstColumn, int lastColumn);
  virtual void DoOnSpecialLineColors(int line, bool& special, TColor& fg, TColor& bg);
  virtual void SetReadOnly(bool value);
  virtual void ResetKeystrokes();

  // --- The rest of the control's face, for a derived control (and the test
  // editor); the application does not need it.
  // The components.
  TSynEditing& Editing() { return *editing_; }
  const TSynEditing& Editing() const { return *editing_; }
  TSynClipboard* Clipboard() const { return clipboard_; }
  // Text and caret details.
  void SetLines(const TStrings& value);
  int LastCaretColumn() const { return caret_.LastCaretColumn; }
  int CharOffsetOf(const TBufferCoord& pos) const;
  int SelectionLength() const;
  bool IsPointInSelection(const TBufferCoord& value) const;
  // Selects the word at pos as a double-click does.
  void SetWordBlock(const TBufferCoord& pos);
  // Word queries, and the bracket matching the one after pos ({0, 0}: none).
  TBufferCoord WordStart(const TBufferCoord& pos) const;
  TBufferCoord NextWordPos(const TBufferCoord& pos) const;
  TBufferCoord PrevWordPos(const TBufferCoord& pos) const;
  std::string WordAt(const TBufferCoord& pos) const;
  TBufferCoord GetMatchingBracket(const TBufferCoord& pos) const;
  void FindMatchingBracket();
  // Settings nobody outside the control changes today.
  void SetMaxScrollWidth(int value);
  void SetInsertMode(bool value);
  void SetWantReturns(bool value) { wantReturns_ = value; }
  bool WantReturns() const { return wantReturns_; }
  void SetInsertCaret(TSynEditCaretType value);
  void SetOverwriteCaret(TSynEditCaretType value);
  int MaxUndo() const { return maxUndo_; }
  int TextOrigin() const { return view_.TextOrigin(); }
  void SetGutterPixels(int value);
  int ExtraLineSpacing() const { return view_.ExtraLineSpacing; }
  void SetExtraLineSpacing(int value);
  TSynEditSearchCustom* SearchEngine() const { return searchEngine_; }
  TheTextDrawer& TextDrawer();
  void SetRightEdge(int value);
  TColor RightEdgeColor() const;
  void SetRightEdgeColor(TColor value);
  void SetHideSelection(bool value);
  void SetScrollHintColor(TColor value);
  TSynScrollHintFormat ScrollHintFormat() const;
  void SetScrollHintFormat(TSynScrollHintFormat value);
  // Whether a style variant still waits for its measurement.
  bool CellMeasurePending() const;
  // Key bindings: the table (reset to the defaults on creation; assigning
  // copies), the first key of a two-key binding, and the input method's
  // characters the next key presses skip.
  TSynEditKeyStrokes& Keystrokes() { return *keystrokes_; }
  void SetKeystrokes(const TSynEditKeyStrokes& value) { keystrokes_->Assign(value); }
  TSynEditorCommand TranslateKeyCode(uint16_t key, TShiftState shift);
  uint16_t PendingKey() const { return pendingKey_; }
  TShiftState PendingShift() const { return pendingShift_; }
  int ImeCharsToSkip() const { return imeCharsToSkip_; }
  void SetImeCharsToSkip(int value) { imeCharsToSkip_ = value > 0 ? value : 0; }
  // The mouse's state.
  // The window lost the mouse capture (another window took it).
  void MouseCaptureLost();
  bool MouseCapture() const;
  TCursor Cursor() const;
  void SetCursor(TCursor value);
  TCursor GutterCursor() const;
  void SetGutterCursor(TCursor value);
  int ScrollDeltaX() const;
  int ScrollDeltaY() const;
  bool AutoScrollActive() const;
  bool WaitingForDrag() const;
  // Bookmarks in slots 0 to 9.
  TSynBookMarkOpt& BookMarkOptions() { return *bookMarkOptions_; }
  void PlaceBookmark(int number, int aChar, int line);
  void DropBookmark(int number);
  void JumpToBookmark(int number);
  // The bookmark in slot number, or nullptr.
  TSynEditMark* Bookmark(int number) const;
  const std::vector<TSynGlyph>* BookmarkImages() const { return bookmarkImages_; }
  // Word wrap details: the continuation glyph, rows of lines.
  TSynWrapGlyph& WordWrapGlyph() { return *wordWrapGlyph_; }
  void SetWordWrapGlyph(const TSynWrapGlyph& value);
  int LineToRow(int line) const;
  // Rows of the whole text (at least 1).
  int DisplayRowCount() const;
  // The caret stands at the end of a row, not at the start of the next.
  bool CaretAfterWrap() const { return wordWrap_ && caretAfterWrapAt_ == CaretPos(); }
  // The state of the brackets and notices.
  int PaintLockCount() const { return paintLock_; }
  int UndoBlockDepth() const;
  TSynStatusChanges PendingStatus() const { return pendingStatus_; }
  TSynStateFlags EditorState() const { return state_; }
  // Invalidation of lines a..b (1-based; -1, -1 is the whole text area), and
  // the system caret placed again.
  void InvalidateLines(int first, int last);
  void InvalidateGutterLines(int first, int last);
  void InvalidateLine(int line);
  void UpdateCaret();
  // Highlighter range states: ScanFrom scans the end-of-line states from line
  // index (0-based) on until a line's new state equals the stored one;
  // returns the last line scanned (index - 1 without a highlighter).
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

  // Steps of the mouse for a derived control.
  void AutoScrollTick();
  void ComputeAutoScroll(int x, int y);
  void StopAutoScroll();
  void ComputeCaretAt(int x, int y);
  void SetMouseCapture(bool value);
  void DoChange();
  // Home and End by rows; false when wrapping is off.
  bool WrappedLineStartEnd(bool toEnd, bool select);
  void SetCaretAfterWrap(bool value);
  // Left and Right at a row end first only move the caret's shown place:
  // true when that was the whole step.
  bool WrapCaretStep(int dx);
  void WrapCaretMoved(int dx);
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

 public:
  // The narrow way into the control that the command families and the undo
  // replay take (SynEditCommandsInternal.h).
  class TCommandContext;

 private:
  // What the components ask of the control (SynEditComponentHost.cpp): the editing component's
  // host, the painter's and word wrap's const view, the marks' host.
  class TComponentHost;

  [[nodiscard]] auto LockPaint() {
    return Bracket([this] { BeginPaintLock(); }, [this] { EndPaintLock(); });
  }
  [[nodiscard]] auto AllowPastEol() { return ludra::AllowPastEol(options_); }
  void KeepCaretColumn(int column) { caret_.LastCaretColumn = column; }
  // The commands the control carries out itself: modes, bookmarks, the
  // clipboard, undo and redo, line breaks, clearing, help.
  bool ControlCommand(TSynEditorCommand command, void* data);
  void StatusChanged(TSynStatusChanges changes);
  void DeliverStatus();
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
  // A rectangle to repaint; collected while the buffer changes.
  void AddInvalid(const TRect& r);
  void GutterChanged();
  // The view takes a newly measured cell: sizes, caret and a full repaint.
  void CellChanged(int cellWidth, int cellHeight);
  void MeasurePendingStyles(TSynCanvas& canvas);
  // Buffer line notices for the wrap table; answer the change in rows.
  void WrapLinesInserted(int index, int count);
  void WrapLinesDeleted(int index, int count);
  void WrapLinesChanged(int index, int count);
  // Lines first..last to their rows, count to the row count.
  void WrapLinesToRows(int& first, int& last, int& count) const;
  // The display position of a buffer position without word wrap.
  TDisplayCoord BufferToColumns(const TBufferCoord& pos) const;
  static std::unique_ptr<TSynEditKeyStrokes> DefaultKeystrokes();
  std::unique_ptr<TSynWrapGlyph> MakeWrapGlyph();

  std::unique_ptr<TSynEditStringList> lines_;
  TSynEditListeners listeners_;
  TSynClipboard* clipboard_ = nullptr;
  TSynCustomHighlighter* highlighter_ = nullptr;
  TSynEditSearchCustom* searchEngine_ = nullptr;
  TSynProgressSink* progressSink_ = nullptr;

  // The components with their own state and rules.
  TSynCaretSelection caret_;
  TSynViewport view_;
  std::unique_ptr<TComponentHost> host_;
  std::unique_ptr<TSynEditing> editing_;
  std::unique_ptr<TSynPainter> painter_;
  std::unique_ptr<TSynMouseState> mouse_;
  // Also consulted by const position conversions.
  std::unique_ptr<TSynScanPoints> scanPoints_;
  std::unique_ptr<TSynEditMarkList> marks_;
  std::unique_ptr<TSynBookMarkOpt> bookMarkOptions_;
  std::unique_ptr<TSynWordWrapPlugin> wordWrap_;
  std::unique_ptr<TSynWrapGlyph> wordWrapGlyph_;

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

  // Lines [begin, end) whose end states wait for a scan; outside them every
  // stored state follows from the line before it.
  // Set while waiting lines are scanned, whose buffer bracket changes no text.
  bool scanningPending_ = false;
  int pendingScanBegin_ = 0;
  int pendingScanEnd_ = 0;

  // Key bindings and handler chains.
  std::unique_ptr<TSynEditKeyStrokes> keystrokes_ = DefaultKeystrokes();
  uint16_t pendingKey_ = 0;
  TShiftState pendingShift_;
  int imeCharsToSkip_ = 0;
  // Set while the listeners see a key, so a key sent from inside one is not
  // shown to them again.
  bool keyDownHooked_ = false;
  bool keyPressHooked_ = false;

  // Bookmarks, the application's mark images, focus targets.
  TSynEditMark* bookmarks_[10] = {};
  const std::vector<TSynGlyph>* bookmarkImages_ = nullptr;
  bool keepCaretShown_ = false;
  std::vector<TFocusTarget*> focusList_;
  TBufferCoord caretAfterWrapAt_{0, 0};
};

}  // namespace ludra
