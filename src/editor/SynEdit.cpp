// The editor model: caret, selection, scroll position, options, coordinate
// conversions, buffer notices and the status and change notices.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <stdexcept>

#include "editor/SynEditComponentHost.h"
#include "highlight/SynEditHighlighter.h"
#include "platform/SynClipboard.h"
#include "platform/SynProgress.h"

namespace ludra {

TCustomSynEdit::TCustomSynEdit(TSynClipboard* clipboard)
    : lines_(std::make_unique<TSynEditStringList>()),
      clipboard_(clipboard),
      host_(std::make_unique<TComponentHost>(*this)),
      editing_(std::make_unique<TSynEditing>(*lines_, caret_, options_, tabWidth_, *host_)),
      painter_(std::make_unique<TSynPainter>(*host_)),
      mouse_(std::make_unique<TSynMouseState>()),
      scanPoints_(std::make_unique<TSynScanPoints>()),
      marks_(std::make_unique<TSynEditMarkList>(this, host_.get())),
      bookMarkOptions_(std::make_unique<TSynBookMarkOpt>()),
      wordWrapGlyph_(MakeWrapGlyph()) {
  painter_->Gutter->OnChange = [this](TSynGutter*) { GutterChanged(); };
  painter_->SelectedColor->OnChange = [this](TSynSelectedColor*) { InvalidateSelection(); };
  lines_->SetTabWidth(tabWidth_);
  lines_->OnChanging = [this](TSynEditStringList*) { BufferChanging(); };
  lines_->OnChange = [this](TSynEditStringList*) { LinesChanged(); };
  lines_->OnCleared = [this](TSynEditStringList*) { BufferCleared(); };
  lines_->OnLinesDeleted = [this](TSynEditStringList*, int i, int n) { BufferLinesDeleted(i, n); };
  lines_->OnLinesInserted = [this](TSynEditStringList*, int i, int n) {
    BufferLinesInserted(i, n);
  };
  lines_->OnLineChanged = [this](TSynEditStringList*, int i, int n) { BufferLineChanged(i, n); };
  editing_->UndoList().OnItemAdded = [this](TSynEditUndoList* sender) { UndoRedoAdded(sender); };
  editing_->RedoList().OnItemAdded = [this](TSynEditUndoList* sender) { UndoRedoAdded(sender); };
  // Base metrics until the window calls FontChanged() with its own.
  view_.Resize(ClientWidth(), ClientHeight());
}

TCustomSynEdit::~TCustomSynEdit() {
  // Each listener is told once, after it has been removed.
  TSynEditListeners listeners = std::move(listeners_);
  listeners_ = {};
  listeners.Call([this](TSynEditListener* l) { l->EditorDestroyed(this); });
  lines_->OnChanging = nullptr;
  lines_->OnChange = nullptr;
  lines_->OnCleared = nullptr;
  lines_->OnLinesDeleted = nullptr;
  lines_->OnLinesInserted = nullptr;
  lines_->OnLineChanged = nullptr;
  editing_->UndoList().OnItemAdded = nullptr;
  editing_->RedoList().OnItemAdded = nullptr;
  if (highlighter_) {
    highlighter_->RemoveFreeNotification(this);
    highlighter_->UnhookAttrChangeEvent(this);
  }
  if (searchEngine_) searchEngine_->RemoveFreeNotification(this);
}

void TCustomSynEdit::AddListener(TSynEditListener* listener) {
  if (listener) listeners_.Add(listener);
}

void TCustomSynEdit::RemoveListener(TSynEditListener* listener) { listeners_.Remove(listener); }

TPoint TCustomSynEdit::MousePosition() const { return mouse_->Last; }

void TCustomSynEdit::ResetKeystrokes() { keystrokes_->ResetDefaults(); }

// --- Text -------------------------------------------------------------------

void TCustomSynEdit::SetLines(const TStrings& value) {
  auto update = lines_->Updating();
  lines_->Clear();
  for (int i = 0; i < value.Count(); ++i) lines_->Add(value.Get(i));
}

std::string TCustomSynEdit::Text() const {
  std::string result;
  for (int i = 0; i < lines_->Count(); ++i) {
    if (i > 0) result += "\r\n";
    result += lines_->GetView(i);
  }
  return result;
}

void TCustomSynEdit::SetText(std::string_view value) { lines_->SetText(value); }

std::string TCustomSynEdit::LineAtCaret() const { return lines_->Get(caret_.CaretLine - 1); }

int TCustomSynEdit::LineLength(int line) const {
  if (line < 1 || line > lines_->Count()) return 0;
  return static_cast<int>(lines_->GetView(line - 1).size());
}

// --- Caret and selection ------------------------------------------------------

int TCustomSynEdit::MaxCaretChar(int line, bool pastEol) const {
  int lineEnd = LineLength(line) + 1;
  if (!pastEol) return lineEnd;
  if (wordWrap_) {
    // Nothing scrolls sideways under wrap: past the text the caret goes as
    // far as the wrap width allows on the line's last row.
    int width = wordWrap_->MaxRowLength();
    if (width == 0 || line < 1 || line > wordWrap_->WrappedLineCount()) return lineEnd;
    int lastRow = wordWrap_->LineToRow(line + 1) - 1;
    return std::max(lineEnd, DisplayToBuffer({width + 1, lastRow}).Char);
  }
  // The end of a line longer than MaxScrollWidth stays reachable: undo puts
  // the caret there to reinsert text.
  return std::max(maxScrollWidth_ + 1, lineEnd);
}

void TCustomSynEdit::InternalSetCaretPos(const TBufferCoord& value, bool ensureVisible) {
  DoOnPaintTransient(ttBefore);
  int line = std::max(1, std::min(value.Line, lines_->Count()));
  int aChar = value.Char;
  int maxChar = MaxCaretChar(line);
  if (aChar > maxChar && !(options_.Contains(eoScrollPastEol) &&
                           options_.Contains(eoAutoSizeMaxScrollWidth) && !wordWrap_))
    aChar = maxChar;
  aChar = std::max(aChar, 1);
  if (aChar == caret_.CaretChar && line == caret_.CaretLine) {
    caret_.LastCaretColumn = DisplayCaretPos().Column;
  } else {
    auto lock = LockPaint();
    if (aChar != caret_.CaretChar) {
      caret_.CaretChar = aChar;
      StatusChanged({scCaretX});
    }
    if (line != caret_.CaretLine) {
      if (activeLineColor_ != clNone) {
        InvalidateLine(line);
        InvalidateLine(caret_.CaretLine);
      }
      caret_.CaretLine = line;
      StatusChanged({scCaretY});
    }
    caret_.LastCaretColumn = DisplayCaretPos().Column;
    if (ensureVisible) EnsureCaretVisible();
    state_ += TSynStateFlags{sfCaretChanged, sfScrollBarsChanged};
  }
  DoOnPaintTransient(ttAfter);
}

void TCustomSynEdit::SetCaretPos(const TBufferCoord& value) {
  auto lock = LockPaint();
  StatusChanged({scSelection});
  InternalSetCaretPos(value, true);
  if (HasSelection()) InvalidateSelection();
  caret_.Collapse();
}

TBufferCoord TCustomSynEdit::LimitSelectionPoint(const TBufferCoord& value) const {
  TBufferCoord p = value;
  p.Char = std::max(p.Char, 1);
  p.Line = std::max(1, std::min(p.Line, lines_->Count()));
  if (options_.Contains(eoScrollPastEol)) p.Char = std::min(p.Char, MaxCaretChar(p.Line));
  if (caret_.Mode == smNormal) p.Char = std::min(p.Char, LineLength(p.Line) + 1);
  return p;
}

void TCustomSynEdit::SetSelFrom(const TBufferCoord& value) {
  TBufferCoord p = LimitSelectionPoint(value);
  bool changed = p != caret_.SelFrom || p != caret_.SelTo;
  if (HasSelection())
    InvalidateLines(std::min(p.Line, SelFirst().Line), std::max(p.Line, SelLast().Line));
  caret_.SelFrom = caret_.SelTo = p;
  if (changed) StatusChanged({scSelection});
}

void TCustomSynEdit::SetSelTo(const TBufferCoord& value) {
  if (options_.Contains(eoNoSelection)) return;
  TBufferCoord p = LimitSelectionPoint(value);
  if (p == caret_.SelTo) return;
  if (caret_.Mode != smColumn || p.Char == caret_.SelTo.Char)
    InvalidateLines(std::min(p.Line, caret_.SelTo.Line), std::max(p.Line, caret_.SelTo.Line));
  else
    InvalidateLines(std::min({p.Line, caret_.SelTo.Line, caret_.SelFrom.Line}),
                    std::max({p.Line, caret_.SelTo.Line, caret_.SelFrom.Line}));
  caret_.SelTo = p;
  StatusChanged({scSelection});
}

void TCustomSynEdit::SetCaretAndSelection(const TBufferCoord& caret, const TBufferCoord& selFrom,
                                          const TBufferCoord& selTo) {
  auto lock = LockPaint();
  InternalSetCaretPos(caret, true);
  SetSelFrom(selFrom);
  SetSelTo(selTo);
}

void TCustomSynEdit::SetSelectionMode(TSynSelectionMode value) {
  if (value == caret_.Mode) return;
  InvalidateSelection();
  caret_.Mode = value;
  InvalidateSelection();
  StatusChanged({scSelection});
}

int TCustomSynEdit::CharOffsetOf(const TBufferCoord& pos) const {
  int lines = std::min(pos.Line - 1, lines_->Count());
  long long offset = 0;
  for (int i = 0; i < lines; ++i) offset += static_cast<long long>(lines_->GetView(i).size()) + 2;
  offset += pos.Char - 1;
  return static_cast<int>(std::min<long long>(offset, INT_MAX));
}

int TCustomSynEdit::SelectionLength() const {
  if (!HasSelection()) return 0;
  return CharOffsetOf(SelLast()) - CharOffsetOf(SelFirst());
}

// --- Coordinates ----------------------------------------------------------------

TDisplayCoord TCustomSynEdit::BufferToDisplay(const TBufferCoord& pos) const {
  TDisplayCoord columns = BufferToColumns(pos);
  if (wordWrap_) return wordWrap_->BufferToDisplayPos({columns.Column, pos.Line});
  return columns;
}

TDisplayCoord TCustomSynEdit::BufferToColumns(const TBufferCoord& pos) const {
  std::string_view s;
  if (pos.Line >= 1 && pos.Line <= lines_->Count()) s = lines_->GetView(pos.Line - 1);
  int n = pos.Char - 1;
  int inLine = std::clamp<int>(n, 0, static_cast<int>(s.size()));
  // A long line counts its tabs from a kept column near the character.
  int column = scanPoints_->DisplayColumn(s, pos.Line - 1, tabWidth_, inLine);
  if (n > inLine) column += n - inLine;  // past the end: one column per character
  return {column + 1, pos.Line};
}

TBufferCoord TCustomSynEdit::DisplayToBuffer(const TDisplayCoord& displayPos) const {
  TDisplayCoord pos = displayPos;
  if (wordWrap_) {
    TBufferCoord unwrapped = wordWrap_->DisplayToBufferPos(displayPos);
    pos = {unwrapped.Char, unwrapped.Line};
  }
  std::string_view s;
  if (pos.Row >= 1 && pos.Row <= lines_->Count()) s = lines_->GetView(pos.Row - 1);
  int target = pos.Column - 1;
  int column = 0;
  int i = 0;
  int len = static_cast<int>(s.size());
  for (; i < len; ++i) {
    int w = s[i] == '\t' ? tabWidth_ - column % tabWidth_ : 1;
    if (column + w > target) return {i + 1, pos.Row};  // inside a tab: before it
    column += w;
  }
  return {len + 1 + std::max(0, target - column), pos.Row};
}

TPoint TCustomSynEdit::RowColumnToPixels(const TDisplayCoord& pos) const {
  return view_.CellToPixels(pos);
}

TDisplayCoord TCustomSynEdit::PixelsToRowColumn(int x, int y, bool roundColumn) const {
  return view_.PixelsToCell(x, y, roundColumn);
}

// --- View --------------------------------------------------------------------------

int TCustomSynEdit::MaxTopRow() const {
  int count = wordWrap_ ? wordWrap_->RowCount() : lines_->Count();
  if (options_.Contains(eoScrollPastEof)) return std::max(1, count);
  return std::max(1, count - view_.VisibleRows + 1);
}

void TCustomSynEdit::SetTopRow(int value) {
  value = std::max(1, std::min(value, MaxTopRow()));
  if (value == view_.TopRow) return;
  int delta = view_.TopRow - value;
  view_.TopRow = value;
  if (std::abs(delta) < view_.VisibleRows)
    ScrollWindow(0, view_.RowHeight * delta);
  else
    InvalidateAll();
  UpdateScrollBars();
  StatusChanged({scTopLine});
}

int TCustomSynEdit::MaxFirstVisibleColumn() {
  if (options_.Contains(eoScrollPastEol)) {
    if (options_.Contains(eoAutoSizeMaxScrollWidth)) return INT_MAX - view_.VisibleColumns;
    return maxScrollWidth_ - view_.VisibleColumns + 1;
  }
  int longest = lines_->LongestLineLength();
  return longest > view_.VisibleColumns ? longest - view_.VisibleColumns + 1 : longest;
}

void TCustomSynEdit::SetFirstVisibleColumn(int value) {
  value = WordWrap() ? 1 : std::max(1, std::min(value, MaxFirstVisibleColumn()));
  if (value == view_.FirstVisibleColumn) return;
  int delta = view_.FirstVisibleColumn - value;
  view_.FirstVisibleColumn = value;
  if (std::abs(delta) < view_.VisibleColumns)
    ScrollWindow(delta * view_.CellWidth, 0);
  else
    InvalidateLines(-1, -1);
  if (options_.Contains(eoAutoSizeMaxScrollWidth) && options_.Contains(eoScrollPastEol) &&
      maxScrollWidth_ < view_.FirstVisibleColumn + view_.VisibleColumns)
    maxScrollWidth_ = view_.FirstVisibleColumn + view_.VisibleColumns;
  else
    UpdateScrollBars();
  StatusChanged({scLeftChar});
}

void TCustomSynEdit::SetGutterPixels(int value) {
  value = std::max(value, 0);
  if (value == view_.GutterPixels) return;
  view_.GutterPixels = value;
  SizeChanged();
  InvalidateAll();
}

void TCustomSynEdit::SetExtraLineSpacing(int value) {
  if (value == view_.ExtraLineSpacing) return;
  view_.ExtraLineSpacing = value;
  FontChanged();
}

void TCustomSynEdit::FontChanged() {
  int w = 8, h = 16;
  FontMetrics(w, h);
  CellChanged(w, h);
}

void TCustomSynEdit::CellChanged(int cellWidth, int cellHeight) {
  view_.SetCell(cellWidth, cellHeight);
  SizeChanged();
  if (Focused()) {
    DestroySystemCaret();
    TSynEditCaretType type = insertMode_ ? insertCaret_ : overwriteCaret_;
    int cw = type == ctVerticalLine ? 2 : view_.CellWidth;
    int ch = type == ctVerticalLine || type == ctBlock ? view_.RowHeight - 2
             : type == ctHalfBlock                     ? (view_.RowHeight - 2) / 2
                                                       : 2;
    CreateSystemCaret(cw, ch);
    UpdateCaret();
  }
  InvalidateAll();
}

void TCustomSynEdit::SizeChanged() {
  view_.Resize(ClientWidth(), ClientHeight());
  if (wordWrap_ && wordWrap_->MaxRowLength() != std::min(view_.VisibleColumns, 255)) {
    wordWrap_->DisplayChanged();
    InvalidateAll();
    if (!options_.Contains(eoScrollPastEof)) SetTopRow(view_.TopRow);  // fewer rows now
    // Past the text the caret was allowed as far as the old width.
    if (options_.Contains(eoScrollPastEol)) LimitCaretAndSelection();
  }
  UpdateScrollBars();
}

void TCustomSynEdit::EnsureCaretVisible(bool centre) {
  auto lock = LockPaint();
  int x = DisplayCaretPos().Column;
  if (x < view_.FirstVisibleColumn)
    SetFirstVisibleColumn(x);
  else if (x >= view_.FirstVisibleColumn + view_.VisibleColumns)
    SetFirstVisibleColumn(x - view_.VisibleColumns + 1);
  else
    SetFirstVisibleColumn(view_.FirstVisibleColumn);
  int y = DisplayCaretPos().Row;
  if (!centre) {
    if (y < view_.TopRow)
      SetTopRow(y);
    else if (y > view_.TopRow + std::max(1, view_.VisibleRows) - 1)
      SetTopRow(y - view_.VisibleRows + 1);
    else
      SetTopRow(view_.TopRow);
  } else {
    int half = view_.VisibleRows / 2;
    if (y < view_.TopRow - 1)
      SetTopRow(y - half < 0 ? 1 : y - half + 1);
    else if (y > view_.TopRow + view_.VisibleRows - 2)
      SetTopRow(y - (view_.VisibleRows - half) + 1);
  }
}

void TCustomSynEdit::SetScrollBars(TScrollStyle value) {
  if (value == scrollBars_) return;
  scrollBars_ = value;
  UpdateScrollBars();
  InvalidateAll();
}

void TCustomSynEdit::UpdateScrollBars() {
  if (!HandleAllocated() || paintLock_ > 0) {
    state_ += TSynStateFlags{sfScrollBarsChanged};
    return;
  }
  state_ -= TSynStateFlags{sfScrollBarsChanged};
  auto ScrollBarInfo = [this](int maximum, int page, int position) {
    return TSynViewport::ScrollBar(maximum, page, position, options_.Contains(eoHideShowScrollbars),
                                   options_.Contains(eoDisableScrollArrows));
  };
  if ((scrollBars_ == ssHorizontal || scrollBars_ == ssBoth) && !WordWrap()) {
    int maximum = options_.Contains(eoScrollPastEol) ? maxScrollWidth_
                                                     : std::max(lines_->LongestLineLength(), 1);
    SetScrollBar(sbHorizontal,
                 ScrollBarInfo(maximum, view_.VisibleColumns, view_.FirstVisibleColumn));
  } else {
    SetScrollBar(sbHorizontal, TSynScrollBarInfo{});
  }
  if (scrollBars_ == ssVertical || scrollBars_ == ssBoth) {
    int maximum = DisplayRowCount();
    if (options_.Contains(eoScrollPastEof)) maximum += view_.VisibleRows - 1;
    SetScrollBar(sbVertical, ScrollBarInfo(maximum, view_.VisibleRows, view_.TopRow));
  } else {
    SetScrollBar(sbVertical, TSynScrollBarInfo{});
  }
}

// --- Modes and settings -------------------------------------------------------------

void TCustomSynEdit::SetOptions(TSynEditorOptions value) {
  if (value == options_) return;
  TSynEditorOptions changed = TSynEditorOptions::FromBits(value.Bits() ^ options_.Bits());
  if (!options_.Contains(eoScrollPastEol)) SetFirstVisibleColumn(view_.FirstVisibleColumn);
  if (!options_.Contains(eoScrollPastEof)) SetTopRow(view_.TopRow);
  options_ = value;
  InternalSetCaretPos(CaretPos(), true);
  if (changed.Contains(eoDropFiles)) SetDropFilesAccepted(options_.Contains(eoDropFiles));
  if (changed.Contains(eoShowSpecialChars)) InvalidateAll();
  if (!(changed * TSynEditorOptions{eoDisableScrollArrows, eoHideShowScrollbars, eoScrollPastEof,
                                    eoScrollPastEol})
           .Empty())
    UpdateScrollBars();
}

void TCustomSynEdit::SetTabWidth(int value) {
  value = std::max(1, std::min(value, 256));
  if (value == tabWidth_) return;
  tabWidth_ = value;
  lines_->SetTabWidth(value);
  scanPoints_->Clear();  // the painted text of lines with tabs changes
  InvalidateAll();
}

void TCustomSynEdit::SetMaxScrollWidth(int value) {
  value = std::max(1, std::min(value, 2147483646));
  if (value == maxScrollWidth_) return;
  maxScrollWidth_ = value;
  if (options_.Contains(eoScrollPastEol)) UpdateScrollBars();
}

void TCustomSynEdit::SetInsertMode(bool value) {
  if (value == insertMode_) return;
  insertMode_ = value;
  if (Focused()) FontChanged();  // the caret's shape follows the mode
  StatusChanged({scInsertMode});
}

void TCustomSynEdit::SetReadOnly(bool value) {
  if (value == readOnly_) return;
  readOnly_ = value;
  StatusChanged({scReadOnly});
}

void TCustomSynEdit::SetActiveLineColor(TColor value) {
  if (value == activeLineColor_) return;
  activeLineColor_ = value;
  InvalidateLine(caret_.CaretLine);
}

void TCustomSynEdit::SetInsertCaret(TSynEditCaretType value) {
  if (value == insertCaret_) return;
  insertCaret_ = value;
  if (Focused() && insertMode_) FontChanged();
}

void TCustomSynEdit::SetOverwriteCaret(TSynEditCaretType value) {
  if (value == overwriteCaret_) return;
  overwriteCaret_ = value;
  if (Focused() && !insertMode_) FontChanged();
}

void TCustomSynEdit::SetHighlighter(TSynCustomHighlighter* value) {
  if (value == highlighter_) return;
  if (highlighter_) highlighter_->RemoveFreeNotification(this);
  if (highlighter_) highlighter_->UnhookAttrChangeEvent(this);
  highlighter_ = value;
  pendingScanBegin_ = pendingScanEnd_ = 0;
  if (highlighter_) {
    highlighter_->FreeNotification(this,
                                   [this](TSynCustomHighlighter*) { highlighter_ = nullptr; });
    highlighter_->HookAttrChangeEvent(this, [this](TSynPersistent* sender) {
      // The highlighter itself as sender means its rules changed: rescan.
      if (sender == highlighter_) ScanRanges();
      FontChanged();  // the cell covers the styles the attributes use
      InvalidateAll();
    });
    ScanRanges();
  }
  FontChanged();
  InvalidateAll();
}

// --- Update bracket and notices ---------------------------------------------------------

void TCustomSynEdit::BeginPaintLock() { ++paintLock_; }

void TCustomSynEdit::EndPaintLock() {
  if (paintLock_ <= 0) return;
  if (--paintLock_ > 0) return;
  FlushPendingScan();
  if (!HandleAllocated()) return;
  if (state_.Contains(sfScrollBarsChanged)) UpdateScrollBars();
  if (state_.Contains(sfCaretChanged)) UpdateCaret();
  if (!pendingStatus_.Empty()) DeliverStatus();
}

void TCustomSynEdit::StatusChanged(TSynStatusChanges changes) {
  pendingStatus_ += changes;
  if (paintLock_ == 0) DeliverStatus();
}

void TCustomSynEdit::DeliverStatus() {
  // Without a handler the flags wait for the first one assigned.
  if (!OnStatusChange || pendingStatus_.Empty()) return;
  TSynStatusChanges changes = pendingStatus_;
  pendingStatus_ = {};
  OnStatusChange(this, changes);
}

void TCustomSynEdit::DoChange() {
  if (OnChange) OnChange(this);
}

void TCustomSynEdit::SetContentModified(bool value) {
  if (value == contentModified_) return;
  contentModified_ = value;
  if (!value && options_.Contains(eoGroupUndo) && editing_->UndoList().HasItems())
    editing_->UndoList().AddBreak();
  editing_->UndoList().SetSavedPoint(!value);
  StatusChanged({scModified});
}

void TCustomSynEdit::UndoRedoAdded(TSynEditUndoList* sender) {
  SetContentModified(!editing_->UndoList().AtSavedPoint());
  if (sender == &editing_->UndoList() && !state_.Contains(sfInsideRedo) &&
      editing_->UndoList().LastChangeKind() != ckGroupBreak)
    editing_->RedoList().Clear();
  if (sender->BlockCount() == 0) DoChange();
}

void TCustomSynEdit::SetMaxUndo(int value) {
  if (value < 0) return;
  maxUndo_ = value;
  editing_->UndoList().SetMaxEntries(value);
  editing_->RedoList().SetMaxEntries(value);
}

void TCustomSynEdit::BreakUndoStep() {
  if (editing_->UndoList().HasItems()) editing_->UndoList().AddBreak();
}

void TCustomSynEdit::ClearUndo() {
  editing_->UndoList().Clear();
  editing_->RedoList().Clear();
}

void TCustomSynEdit::BeginUndoBlock() { editing_->BeginUndoBlock(); }

void TCustomSynEdit::EndUndoBlock() { editing_->EndUndoBlock(); }

int TCustomSynEdit::UndoBlockDepth() const { return editing_->UndoBlockDepth(); }

void TCustomSynEdit::Undo() { Replay(false); }

void TCustomSynEdit::Redo() { Replay(true); }

void TCustomSynEdit::Replay(bool redo) {
  if (ReadOnly()) return;
  // A large step shows how far it is after a moment and can be stopped
  // between two records. Declared before the paint lock, so the progress
  // goes after the repaint.
  TSynProgressGate progress(progressSink_, redo ? pkRedo : pkUndo);
  auto lock = LockPaint();
  // Records redone go to the undo history without emptying the redo one.
  const bool wasInsideRedo = state_.Contains(sfInsideRedo);
  if (redo) state_ += TSynStateFlags{sfInsideRedo};
  auto insideRedo = TBracket([&] {
    if (!wasInsideRedo) state_ -= TSynStateFlags{sfInsideRedo};
  });
  switch (editing_->Replay(redo, progress)) {
    case TSynEditing::TReplayEnd::Stopped:
      // Part of a step never matches the saved text.
      if (editing_->UndoList().AtSavedPoint()) SetContentModified(true);
      break;
    case TSynEditing::TReplayEnd::Resync:
      SetContentModified(!editing_->UndoList().AtSavedPoint());
      break;
    case TSynEditing::TReplayEnd::Plain:
      break;
  }
}

bool TCustomSynEdit::CanUndo() const { return !ReadOnly() && editing_->UndoList().HasItems(); }

bool TCustomSynEdit::CanRedo() const { return !ReadOnly() && editing_->RedoList().HasItems(); }

// --- Buffer notices --------------------------------------------------------------------------

void TCustomSynEdit::BufferChanging() { state_ += TSynStateFlags{sfLinesChanging}; }

void TCustomSynEdit::LinesChanged() {
  // The scan of waiting lines brackets the buffer itself and so ends here
  // again. It changes no text: only its repaint is sent, and the caret keeps
  // its place, also past a line end where a command put it on purpose.
  if (scanningPending_) {
    state_ -= TSynStateFlags{sfLinesChanging};
    if (!pendingInvalid_.IsEmpty()) {
      TRect r = pendingInvalid_;
      pendingInvalid_ = {};
      InvalidateRect(r);
    }
    return;
  }
  if (paintLock_ == 0) FlushPendingScan();
  state_ -= TSynStateFlags{sfLinesChanging};
  UpdateScrollBars();
  LimitCaretAndSelection();
  if (!pendingInvalid_.IsEmpty()) {
    TRect r = pendingInvalid_;
    pendingInvalid_ = {};
    InvalidateRect(r);
  }
  if (!options_.Contains(eoScrollPastEof)) SetTopRow(view_.TopRow);
  painter_->Gutter->UpdateDigitCount(lines_->Count());  // a new digit count widens the gutter
}

void TCustomSynEdit::BufferCleared() {
  pendingScanBegin_ = pendingScanEnd_ = 0;
  scanPoints_->Clear();
  if (wordWrap_) wordWrap_->Reset();
  editing_->UndoList().Clear();
  editing_->RedoList().Clear();
  pendingInvalid_ = {};
  InvalidateAll();
  SetCaretPos({1, 1});
  SetTopRow(1);
  SetFirstVisibleColumn(1);
  pendingStatus_ += TSynStatusChanges{scAll};  // goes out with the next notice
}

void TCustomSynEdit::LimitCaretAndSelection() {
  InternalSetCaretPos(CaretPos(), false);
  caret_.SelFrom = LimitSelectionPoint(caret_.SelFrom);
  caret_.SelTo = LimitSelectionPoint(caret_.SelTo);
}

void TCustomSynEdit::BufferLinesDeleted(int index, int count) {
  scanPoints_->Clear();
  WrapLinesDeleted(index, count);
  marks_->LinesDeleted(index + 1, count);
  // Lines removed at the end of the buffer outside an update bracket bring
  // no change notice: the caret and the selection must not stay on them.
  int last = std::max(1, lines_->Count());
  if (caret_.CaretLine > last) InternalSetCaretPos({caret_.CaretChar, last}, false);
  caret_.SelFrom = LimitSelectionPoint(caret_.SelFrom);
  caret_.SelTo = LimitSelectionPoint(caret_.SelTo);
  if (ScanPending()) {
    // The waiting lines close up over the deleted ones.
    auto shift = [&](int p) { return p >= index + count ? p - count : std::min(p, index); };
    pendingScanBegin_ = shift(pendingScanBegin_);
    pendingScanEnd_ = shift(pendingScanEnd_);
  }
  // The line after the cut follows a different line now.
  if (index < lines_->Count()) MarkForScan(index, index + 1);
  InvalidateLines(index + 1, INT_MAX);
  InvalidateGutterLines(index + 1, INT_MAX);
}

void TCustomSynEdit::BufferLinesInserted(int index, int count) {
  scanPoints_->Clear();
  WrapLinesInserted(index, count);
  marks_->LinesInserted(index + 1, count);
  // Every inserted line gets its state, then the scan runs on until the
  // stored states agree again.
  if (ScanPending()) {
    if (pendingScanBegin_ >= index) pendingScanBegin_ += count;
    if (pendingScanEnd_ > index) pendingScanEnd_ += count;
  }
  MarkForScan(index, index + count);
  InvalidateLines(index + 1, INT_MAX);
  InvalidateGutterLines(index + 1, INT_MAX);
  WidenMaxScrollWidth(index);
}

void TCustomSynEdit::BufferLineChanged(int index, int count) {
  scanPoints_->LinesChanged(index, count);
  WrapLinesChanged(index, count);
  // Lines after the changed ones whose state changed are repainted after
  // their scan.
  InvalidateLines(index + 1, index + std::max(count, 1));
  MarkForScan(index, index + count);
  WidenMaxScrollWidth(index);
}

void TCustomSynEdit::WidenMaxScrollWidth(int index) {
  if (!options_.Contains(eoAutoSizeMaxScrollWidth)) return;
  int len = lines_->ExpandedLineLength(index);
  if (len > maxScrollWidth_) {
    maxScrollWidth_ = len;
    UpdateScrollBars();
  }
}

// --- Invalidation ------------------------------------------------------------------------------

void TCustomSynEdit::AddInvalid(const TRect& r) {
  if (r.IsEmpty()) return;
  // While the buffer changes, the rectangles are collected and sent at its end.
  if (state_.Contains(sfLinesChanging))
    pendingInvalid_ = UnionRect(pendingInvalid_, r);
  else
    InvalidateRect(r);
}

void TCustomSynEdit::InvalidateLines(int first, int last) {
  if (!HandleAllocated()) return;
  TRect r;
  if (first == -1 && last == -1) {
    r = {view_.GutterPixels, 0, ClientWidth(), ClientHeight()};
  } else {
    if (last < first) std::swap(first, last);
    int count = lines_->Count();
    if (wordWrap_) WrapLinesToRows(first, last, count);
    int lastVisible = view_.TopRow + view_.VisibleRows;  // a partly visible row counts
    first = std::max(first, view_.TopRow);
    if (first > lastVisible) return;
    int bottom = last > count ? ClientHeight()
                              : (std::min(last, lastVisible) - view_.TopRow + 1) * view_.RowHeight;
    r = {view_.GutterPixels, (first - view_.TopRow) * view_.RowHeight, ClientWidth(), bottom};
  }
  AddInvalid(r);
}

void TCustomSynEdit::InvalidateGutterLines(int first, int last) {
  if (!HandleAllocated()) return;
  TRect r;
  if (first == -1 && last == -1) {
    r = {0, 0, view_.GutterPixels, ClientHeight()};
  } else {
    if (last < first) std::swap(first, last);
    int count = lines_->Count();
    if (wordWrap_) WrapLinesToRows(first, last, count);
    int lastVisible = view_.TopRow + view_.VisibleRows;
    first = std::max(first, view_.TopRow);
    if (first > lastVisible) return;
    int bottom = last > count ? ClientHeight()
                              : (std::min(last, lastVisible) - view_.TopRow + 1) * view_.RowHeight;
    r = {0, (first - view_.TopRow) * view_.RowHeight, view_.GutterPixels, bottom};
  }
  AddInvalid(r);
}

void TCustomSynEdit::InvalidateLine(int line) {
  if (line < 1 || line > lines_->Count()) return;
  if (!wordWrap_ && (line < view_.TopRow || line > view_.TopRow + view_.VisibleRows)) return;
  InvalidateLines(line, line);
}

void TCustomSynEdit::InvalidateSelection() { InvalidateLines(SelFirst().Line, SelLast().Line); }

void TCustomSynEdit::InvalidateAll() {
  if (!HandleAllocated()) return;
  AddInvalid({0, 0, ClientWidth(), ClientHeight()});
}

void TCustomSynEdit::UpdateCaret() {
  if (paintLock_ > 0 || !(Focused() || keepCaretShown_)) {
    state_ += TSynStateFlags{sfCaretChanged};
    return;
  }
  state_ -= TSynStateFlags{sfCaretChanged};
  TPoint p = RowColumnToPixels(DisplayCaretPos());
  TSynEditCaretType type = insertMode_ ? insertCaret_ : overwriteCaret_;
  switch (type) {
    case ctVerticalLine:
      p.X -= 1;
      break;
    case ctHorizontalLine:
      p.Y += view_.RowHeight - 2;
      break;
    case ctHalfBlock:
      p.Y += (view_.RowHeight - 2) / 2;
      break;
    case ctBlock:
      break;
  }
  p.Y += 1;
  bool inside =
      p.X >= view_.GutterPixels && p.X < ClientWidth() && p.Y >= 0 && p.Y < ClientHeight();
  bool visible = inside && !options_.Contains(eoNoCaret);
  if (visible)
    state_ += TSynStateFlags{sfCaretVisible};
  else
    state_ -= TSynStateFlags{sfCaretVisible};
  SetSystemCaret(p.X, p.Y, visible);
}

std::unique_ptr<TSynTimer> TCustomSynEdit::CreateTimer() { return nullptr; }

// --- Invariants -------------------------------------------------------------------------------

void TCustomSynEdit::Check() const {
  auto fail = [](const char* what) { throw std::logic_error(what); };
  int lastLine = std::max(1, lines_->Count());
  caret_.Check(lastLine);
  view_.Check();
  mouse_->Check();
  painter_->Check();
  for (TBufferCoord p : {caret_.SelFrom, caret_.SelTo}) {
    // An empty selection goes with the caret, also past the line end.
    if (caret_.Mode == smNormal && p.Char > LineLength(p.Line) + 1 &&
        !options_.Contains(eoScrollPastEol) && !(caret_.SelFrom == caret_.SelTo && p == CaretPos()))
      fail("selection end past the end of its line");
  }
  // Without eoScrollPastEol the caret still stands past its line end where a
  // command put it on purpose (Tab under trimming, an auto-indented empty
  // line, a trimmed blank): the next character fills the gap. It never goes
  // past the limit the option would set.
  if (caret_.CaretChar > MaxCaretChar(caret_.CaretLine, true) &&
      !(options_.Contains(eoAutoSizeMaxScrollWidth) && !wordWrap_))
    fail("caret past the end of its line");
  if (!options_.Contains(eoScrollPastEof) && view_.TopRow > MaxTopRow())
    fail("top row outside its range");
  if (paintLock_ < 0) fail("negative nesting");
  editing_->Check();
  if (contentModified_ == editing_->UndoList().AtSavedPoint() && editing_->UndoList().HasItems())
    fail("modified flag disagrees with the saved point");
  if (ScanPending() && paintLock_ == 0 && lines_->UpdateCount() == 0)
    fail("lines wait for their highlighter scan outside a paint lock");
  if (highlighter_ && !ScanPending()) {
    // Every stored end state is the one a scan from the top gives.
    highlighter_->ResetRangeState();
    for (int i = 0; i < lines_->Count(); ++i) {
      highlighter_->StartLine(lines_->GetView(i), i);
      highlighter_->ScanToLineEnd();
      if (highlighter_->GetRangeState() != lines_->LineRange(i))
        fail("stored highlighter state out of date");
    }
  }
  lines_->Check();
  if (wordWrap_) wordWrap_->Check();
}

}  // namespace ludra
