// The mouse: clicks, word selection, drag selection with automatic scrolling,
// the wheel, the mouse cursor, gutter clicks and the focus.
#include <algorithm>
#include <climits>

#include "editor/SynEditComponentHost.h"

namespace ludra {

namespace {

constexpr int AutoScrollInterval = 100;

}  // namespace

// --- Caret from pixels -----------------------------------------------------------

void TCustomSynEdit::ComputeCaretAt(int x, int y) {
  TDisplayCoord cell = PixelsToRowColumn(x, y, true);
  InternalSetCaretPos(DisplayToBuffer(cell));
  // A click past the end of a wrapped row puts the caret at that row's end.
  if (TSynWordWrapPlugin* wrap = wordWrap_.get())
    SetCaretAfterWrap(cell.Row < wrap->RowCount() && cell.Column > wrap->GetRowLength(cell.Row) &&
                      wrap->RowToLine(cell.Row + 1) == wrap->RowToLine(cell.Row));
}

bool TCustomSynEdit::IsPointInSelection(const TBufferCoord& value) const {
  return caret_.Contains(value);
}

void TCustomSynEdit::SetMouseCapture(bool value) {
  if (value == mouse_->Capture) return;
  mouse_->Capture = value;
  SetCaptureHook(value);
}

// --- Press, move, release ----------------------------------------------------------

void TCustomSynEdit::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  mouse_->Last = {x, y};
  TBufferCoord oldSelFrom = caret_.SelFrom;
  bool hadSelection = HasSelection();
  bool doubleClick = shift.Contains(ssDouble);
  // A right or middle click on a selection leaves everything to the pop-up menu.
  if (button != mbLeft && hadSelection) return;
  if (button == mbLeft && !doubleClick && hadSelection) mouse_->Down = {x, y};

  if (button == mbLeft || (button == mbRight && options_.Contains(eoRightMouseMovesCursor))) {
    auto lock = LockPaint();
    ComputeCaretAt(x, y);
    bool dragStart = false;
    if (button == mbLeft) {
      SetMouseCapture(true);
      mouse_->WaitForDrag = false;
      if (hadSelection && options_.Contains(eoDragDropEditing) && x > view_.GutterPixels + 2 &&
          caret_.Mode == smNormal && IsPointInSelection(CaretPos())) {
        mouse_->WaitForDrag = true;
        dragStart = true;
      }
    }
    if (!dragStart && !doubleClick) {
      if (shift.Contains(ssShift)) {
        SetSelFrom(oldSelFrom);
        SetSelTo(CaretPos());
      } else {
        if (options_.Contains(eoAltSetsColumnMode) && caret_.Mode != smLine)
          SetSelectionMode(shift.Contains(ssAlt) ? smColumn : smNormal);
        SetSelFrom(CaretPos());
      }
    }
  }
  if (x < view_.GutterPixels) mouse_->PossibleGutterClick = true;
  TakeFocus();
}

void TCustomSynEdit::MouseMove(TShiftState shift, int x, int y) {
  mouse_->Last = {x, y};
  if (mouse_->Capture && mouse_->WaitForDrag) {
    if (mouse_->PastDragThreshold(x, y, DragThreshold())) {
      mouse_->WaitForDrag = false;
      SetMouseCapture(false);
      mouse_->Dragging = true;
      BeginDrag();
    }
    return;
  }
  if (!shift.Contains(ssLeft) || !mouse_->Capture) return;
  ComputeAutoScroll(x, y);
  TDisplayCoord target = PixelsToRowColumn(x, y, true);
  TDisplayCoord caret = DisplayCaretPos();
  if (mouse_->ScrollDeltaX != 0) target.Column = caret.Column;
  if (mouse_->ScrollDeltaY != 0) target.Row = caret.Row;
  auto lock = LockPaint();
  InternalSetCaretPos(DisplayToBuffer(target));
  SetSelTo(CaretPos());
}

void TCustomSynEdit::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  mouse_->Last = {x, y};
  StopAutoScroll();
  if (button == mbRight && shift == TShiftState{ssRight} && HasPopupMenu()) return;
  SetMouseCapture(false);
  if (mouse_->PossibleGutterClick && x < view_.GutterPixels && button != mbRight) {
    // A click in the gutter only ends the capture.
  } else if (mouse_->WaitForDrag && !mouse_->DblClicked) {
    // A click inside the selection that never became a drag.
    {
      auto lock = LockPaint();
      ComputeCaretAt(x, y);
      if (shift.Contains(ssShift))
        SetSelTo(CaretPos());
      else
        SetSelFrom(CaretPos());
    }
    mouse_->WaitForDrag = false;
  }
  mouse_->DblClicked = false;
  mouse_->PossibleGutterClick = false;
}

bool TCustomSynEdit::MouseCapture() const { return mouse_->Capture; }
TCursor TCustomSynEdit::Cursor() const { return mouse_->Cursor; }
void TCustomSynEdit::SetCursor(TCursor value) { mouse_->Cursor = value; }
TCursor TCustomSynEdit::GutterCursor() const { return mouse_->GutterCursor; }
void TCustomSynEdit::SetGutterCursor(TCursor value) { mouse_->GutterCursor = value; }
int TCustomSynEdit::ScrollDeltaX() const { return mouse_->ScrollDeltaX; }
int TCustomSynEdit::ScrollDeltaY() const { return mouse_->ScrollDeltaY; }
bool TCustomSynEdit::AutoScrollActive() const { return mouse_->AutoScrolling(); }
bool TCustomSynEdit::WaitingForDrag() const { return mouse_->WaitForDrag; }
bool TCustomSynEdit::Dragging() const { return mouse_->Dragging; }

void TCustomSynEdit::MouseCaptureLost() {
  StopAutoScroll();
  mouse_->Capture = false;
}

// --- Automatic scrolling while selecting ---------------------------------------------

void TCustomSynEdit::StopAutoScroll() { mouse_->StopScrolling(); }

void TCustomSynEdit::ComputeAutoScroll(int x, int y) {
  if (!mouse_->Capture && !mouse_->Dragging) {
    StopAutoScroll();
    return;
  }
  TRect bounds{view_.GutterPixels, 0, view_.GutterPixels + view_.VisibleColumns * view_.CellWidth,
               view_.VisibleRows * view_.RowHeight};
  bool run = mouse_->ComputeScrollDeltas(bounds, view_.CellWidth, view_.RowHeight, x, y);
  if (run && !mouse_->ScrollTimer) {
    mouse_->ScrollTimer = CreateTimer();
    if (mouse_->ScrollTimer) {
      mouse_->ScrollTimer->SetInterval(AutoScrollInterval);
      mouse_->ScrollTimer->OnTimer = [this] { AutoScrollTick(); };
    }
  }
  if (mouse_->ScrollTimer) mouse_->ScrollTimer->SetEnabled(run);
}

void TCustomSynEdit::AutoScrollTick() {
  TPoint p = MousePosition();
  TDisplayCoord pointer = PixelsToRowColumn(p.X, p.Y);
  TDisplayCoord target = pointer;
  if (mouse_->ScrollDeltaX != 0) {
    SetFirstVisibleColumn(view_.FirstVisibleColumn + mouse_->ScrollDeltaX);
    target.Column =
        view_.FirstVisibleColumn + (mouse_->ScrollDeltaX > 0 ? view_.VisibleColumns : 0);
  }
  if (mouse_->ScrollDeltaY != 0) {
    int step = KeyboardShiftState().Contains(ssShift) ? mouse_->ScrollDeltaY * view_.VisibleRows
                                                      : mouse_->ScrollDeltaY;
    SetTopRow(view_.TopRow + step);
    target.Row = view_.TopRow + (mouse_->ScrollDeltaY > 0 ? view_.VisibleRows - 1 : 0);
  }
  target.Row = std::max(target.Row, 1);
  target.Column = std::max(target.Column, 1);
  if (target != DisplayCaretPos()) {
    auto lock = LockPaint();
    InternalSetCaretPos(DisplayToBuffer(target));
    if (mouse_->Capture) SetSelTo(CaretPos());
  }
  ComputeAutoScroll(p.X, p.Y);
}

// --- Double-click word selection -----------------------------------------------------

void TCustomSynEdit::DblClick() {
  TPoint p = mouse_->Last;
  if (p.X >= view_.GutterPixels + 2) {
    if (!options_.Contains(eoNoSelection)) SetWordBlock(CaretPos());
    mouse_->DblClicked = true;
    SetMouseCapture(false);
  }
}

void TCustomSynEdit::SetWordBlock(const TBufferCoord& pos) {
  std::string_view s;
  if (pos.Line >= 1 && pos.Line <= lines_->Count()) s = lines_->GetView(pos.Line - 1);
  int len = static_cast<int>(s.size());
  if (pos.Char > len + 1) {
    SetCaretPos({len + 1, pos.Line});
    return;
  }
  // On a single-byte page the word classes come down to identifier
  // characters against all others.
  int right = pos.Char;  // first character after the word (1-based)
  while (right <= len && IsIdentChar(s[right - 1])) ++right;
  int left = pos.Char - 1;  // last character before the word
  while (left >= 1 && IsIdentChar(s[left - 1])) --left;
  TBufferCoord start{left + 1, pos.Line}, end{right, pos.Line};
  auto lock = LockPaint();
  InternalSetCaretPos(end);
  SetSelFrom(start);
  SetSelTo(end);
  InvalidateLine(pos.Line);
  StatusChanged({scSelection});
}

// --- Wheel and cursor -----------------------------------------------------------------

void TCustomSynEdit::MouseWheel(TShiftState shift, int wheelDelta) {
  int lines;
  if (shift.Contains(ssCtrl)) {
    lines = options_.Contains(eoHalfPageScroll) ? view_.VisibleRows / 2 : view_.VisibleRows;
  } else {
    lines = WheelScrollLines();
    if (lines < 0 || lines > view_.VisibleRows) lines = view_.VisibleRows;
  }
  int notches = mouse_->TakeNotches(wheelDelta);
  if (notches != 0) SetTopRow(view_.TopRow - notches * std::max(lines, 1));
  InvalidateAll();
}

TCursor TCustomSynEdit::MouseCursorAt(int x, int y) {
  TBufferCoord pos = DisplayToBuffer(PixelsToRowColumn(x, y));
  TCursor cursor;
  if (x < view_.GutterPixels)
    cursor = mouse_->GutterCursor;
  else if (options_.Contains(eoDragDropEditing) && !mouse_->Capture && IsPointInSelection(pos))
    cursor = crArrow;
  else
    cursor = mouse_->Cursor;
  return cursor;
}

// --- Focus ----------------------------------------------------------------------------

void TCustomSynEdit::AddFocusControl(TFocusTarget* target) {
  if (target) focusList_.push_back(target);
}

void TCustomSynEdit::RemoveFocusControl(TFocusTarget* target) {
  auto it = std::find(focusList_.rbegin(), focusList_.rend(), target);
  if (it != focusList_.rend()) focusList_.erase(std::next(it).base());
}

void TCustomSynEdit::TakeFocus() {
  if (!focusList_.empty())
    focusList_.back()->SetFocus();
  else
    SetFocus();
}

void TCustomSynEdit::SetKeepCaretShown(bool value) {
  if (value == keepCaretShown_) return;
  keepCaretShown_ = value;
  if (Focused()) return;
  if (value) {
    TSynEditCaretType type = insertMode_ ? insertCaret_ : overwriteCaret_;
    CreateSystemCaret(type == ctVerticalLine ? 2 : view_.CellWidth, view_.RowHeight - 2);
    TPoint p = RowColumnToPixels(DisplayCaretPos());
    SetSystemCaret(p.X - 1, p.Y + 1, !options_.Contains(eoNoCaret));
  } else {
    SetSystemCaret(0, 0, false);
    DestroySystemCaret();
  }
}

}  // namespace ludra
