// The mouse: clicks, word selection, drag selection with automatic scrolling,
// the wheel, the mouse cursor, gutter clicks, the mouse chains and the focus.
#include <algorithm>
#include <climits>

#include "editor/SynEdit.h"

namespace ludra {

namespace {

constexpr int AutoScrollInterval = 100;
constexpr int WheelNotch = 120;

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
  TBufferCoord first = SelFirst(), last = SelLast();
  if (!HasSelection() || value.Line < first.Line || value.Line > last.Line) return false;
  switch (selectionMode_) {
    case smLine:
      return true;
    case smColumn: {
      int a = std::min(first.Char, last.Char), b = std::max(first.Char, last.Char);
      return value.Char >= a && value.Char < b;
    }
    default:
      return value >= first && value < last;
  }
}

void TCustomSynEdit::SetMouseCapture(bool value) {
  if (value == mouseCapture_) return;
  mouseCapture_ = value;
  SetCaptureHook(value);
}

// --- Press, move, release ----------------------------------------------------------

void TCustomSynEdit::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  lastMouse_ = {x, y};
  TBufferCoord oldSelFrom = selFrom_;
  bool hadSelection = HasSelection();
  bool doubleClick = shift.Contains(ssDouble);
  // A right or middle click on a selection leaves everything to the pop-up menu.
  if (button != mbLeft && hadSelection) return;
  if (button == mbLeft && !doubleClick && hadSelection) mouseDown_ = {x, y};
  if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
  kbdHandler_.ExecuteMouseDown(this, button, shift, x, y);

  if (button == mbLeft || (button == mbRight && options_.Contains(eoRightMouseMovesCursor))) {
    auto lock = LockPaint();
    ComputeCaretAt(x, y);
    bool dragStart = false;
    if (button == mbLeft) {
      SetMouseCapture(true);
      waitForDrag_ = false;
      if (hadSelection && options_.Contains(eoDragDropEditing) && x > gutterPixels_ + 2 &&
          selectionMode_ == smNormal && IsPointInSelection(CaretPos())) {
        waitForDrag_ = true;
        dragStart = true;
      }
    }
    if (!dragStart && !doubleClick) {
      if (shift.Contains(ssShift)) {
        SetSelFrom(oldSelFrom);
        SetSelTo(CaretPos());
      } else {
        if (options_.Contains(eoAltSetsColumnMode) && selectionMode_ != smLine)
          SetSelectionMode(shift.Contains(ssAlt) ? smColumn : smNormal);
        SetSelFrom(CaretPos());
      }
    }
  }
  if (x < gutterPixels_) {
    possibleGutterClick_ = true;
    if (button == mbRight) DoOnGutterClick(button, x, y);
  }
  TakeFocus();
}

void TCustomSynEdit::MouseMove(TShiftState shift, int x, int y) {
  lastMouse_ = {x, y};
  if (OnMouseMove) OnMouseMove(this, shift, x, y);
  if (mouseCapture_ && waitForDrag_) {
    if (std::abs(x - mouseDown_.X) >= DragThreshold() ||
        std::abs(y - mouseDown_.Y) >= DragThreshold()) {
      waitForDrag_ = false;
      SetMouseCapture(false);
      dragging_ = true;
      BeginDrag();
    }
    return;
  }
  if (!shift.Contains(ssLeft) || !mouseCapture_) return;
  ComputeAutoScroll(x, y);
  TDisplayCoord target = PixelsToRowColumn(x, y, true);
  TDisplayCoord caret = DisplayCaretPos();
  if (scrollDeltaX_ != 0) target.Column = caret.Column;
  if (scrollDeltaY_ != 0) target.Row = caret.Row;
  auto lock = LockPaint();
  InternalSetCaretPos(DisplayToBuffer(target));
  SetSelTo(CaretPos());
}

void TCustomSynEdit::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  lastMouse_ = {x, y};
  if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
  kbdHandler_.ExecuteMouseUp(this, button, shift, x, y);
  StopAutoScroll();
  if (button == mbRight && shift == TShiftState{ssRight} && HasPopupMenu()) return;
  SetMouseCapture(false);
  if (possibleGutterClick_ && x < gutterPixels_ && button != mbRight) {
    DoOnGutterClick(button, x, y);
  } else if (waitForDrag_ && !dblClicked_) {
    // A click inside the selection that never became a drag.
    {
      auto lock = LockPaint();
      ComputeCaretAt(x, y);
      if (shift.Contains(ssShift))
        SetSelTo(CaretPos());
      else
        SetSelFrom(CaretPos());
    }
    waitForDrag_ = false;
  }
  dblClicked_ = false;
  possibleGutterClick_ = false;
}

void TCustomSynEdit::MouseCaptureLost() {
  StopAutoScroll();
  mouseCapture_ = false;
}

// --- Automatic scrolling while selecting ---------------------------------------------

void TCustomSynEdit::StopAutoScroll() {
  scrollDeltaX_ = scrollDeltaY_ = 0;
  if (scrollTimer_) scrollTimer_->SetEnabled(false);
}

void TCustomSynEdit::ComputeAutoScroll(int x, int y) {
  if (!mouseCapture_ && !dragging_) {
    StopAutoScroll();
    return;
  }
  TRect bounds{gutterPixels_, 0, gutterPixels_ + visibleColumns_ * cellWidth_,
               visibleRows_ * rowHeight_};
  // Outside the text area by less than a cell still scrolls by one.
  if (x < bounds.Left)
    scrollDeltaX_ = (x - bounds.Left) / cellWidth_ - 1;
  else if (x >= bounds.Right)
    scrollDeltaX_ = (x - bounds.Right) / cellWidth_ + 1;
  else
    scrollDeltaX_ = 0;
  if (y < bounds.Top)
    scrollDeltaY_ = (y - bounds.Top) / rowHeight_ - 1;
  else if (y >= bounds.Bottom)
    scrollDeltaY_ = (y - bounds.Bottom) / rowHeight_ + 1;
  else
    scrollDeltaY_ = 0;
  bool run = scrollDeltaX_ != 0 || scrollDeltaY_ != 0;
  if (run && !scrollTimer_) {
    scrollTimer_ = CreateTimer();
    if (scrollTimer_) {
      scrollTimer_->SetInterval(AutoScrollInterval);
      scrollTimer_->OnTimer = [this] { AutoScrollTick(); };
    }
  }
  if (scrollTimer_) scrollTimer_->SetEnabled(run);
}

void TCustomSynEdit::AutoScrollTick() {
  TPoint p = MousePosition();
  TDisplayCoord pointer = PixelsToRowColumn(p.X, p.Y);
  TDisplayCoord target = pointer;
  if (scrollDeltaX_ != 0) {
    SetFirstVisibleColumn(firstVisibleColumn_ + scrollDeltaX_);
    target.Column = firstVisibleColumn_ + (scrollDeltaX_ > 0 ? visibleColumns_ : 0);
  }
  if (scrollDeltaY_ != 0) {
    int step =
        KeyboardShiftState().Contains(ssShift) ? scrollDeltaY_ * visibleRows_ : scrollDeltaY_;
    SetTopRow(topRow_ + step);
    target.Row = topRow_ + (scrollDeltaY_ > 0 ? visibleRows_ - 1 : 0);
  }
  target.Row = std::max(target.Row, 1);
  target.Column = std::max(target.Column, 1);
  if (target != DisplayCaretPos()) {
    auto lock = LockPaint();
    InternalSetCaretPos(DisplayToBuffer(target));
    if (mouseCapture_) SetSelTo(CaretPos());
  }
  ComputeAutoScroll(p.X, p.Y);
}

// --- Gutter clicks --------------------------------------------------------------------

void TCustomSynEdit::DoOnGutterClick(TMouseButton button, int x, int y) {
  if (!OnGutterClick) return;
  // The row under the click, taken as a line as it stands.
  int line = PixelsToRowColumn(x, y).Row;
  if (line > lines_->Count()) return;
  TSynEditMark* hit = nullptr;
  int offset = 0;
  for (TSynEditMark* m : marks_->GetMarksForLine(line)) {
    if (!m->Visible()) continue;
    offset += bookMarkOptions_.Xoffset;
    if (x < offset) {
      hit = m;
      break;
    }
  }
  OnGutterClick(this, button, x, y, line, hit);
}

// --- Double-click word selection -----------------------------------------------------

void TCustomSynEdit::DblClick() {
  TPoint p = lastMouse_;
  if (p.X >= gutterPixels_ + 2) {
    if (!options_.Contains(eoNoSelection)) SetWordBlock(CaretPos());
    if (OnDblClick) OnDblClick(this);
    dblClicked_ = true;
    SetMouseCapture(false);
  } else if (OnDblClick) {
    OnDblClick(this);
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
    lines = options_.Contains(eoHalfPageScroll) ? visibleRows_ / 2 : visibleRows_;
  } else {
    lines = WheelScrollLines();
    if (lines < 0 || lines > visibleRows_) lines = visibleRows_;
  }
  wheelRemainder_ += wheelDelta;
  int notches = wheelRemainder_ / WheelNotch;
  wheelRemainder_ -= notches * WheelNotch;
  if (notches != 0) SetTopRow(topRow_ - notches * std::max(lines, 1));
  InvalidateAll();
  if (OnScrolled) OnScrolled(this, sbVertical);
}

TCursor TCustomSynEdit::MouseCursorAt(int x, int y) {
  TBufferCoord pos = DisplayToBuffer(PixelsToRowColumn(x, y));
  TCursor cursor;
  if (x < gutterPixels_)
    cursor = gutterCursor_;
  else if (options_.Contains(eoDragDropEditing) && !mouseCapture_ && IsPointInSelection(pos))
    cursor = crArrow;
  else
    cursor = cursor_;
  if (OnMouseCursor) OnMouseCursor(this, pos, cursor);
  kbdHandler_.ExecuteMouseCursor(this, pos, cursor);
  return cursor;
}

// --- Chains ---------------------------------------------------------------------------

void TCustomSynEdit::HookMouseDown(TMouseProc handler, void* object) {
  kbdHandler_.MouseDownHandlers().Add(handler, object);
}
void TCustomSynEdit::UnhookMouseDown(TMouseProc handler, void* object) {
  kbdHandler_.MouseDownHandlers().Remove(handler, object);
}
void TCustomSynEdit::HookMouseUp(TMouseProc handler, void* object) {
  kbdHandler_.MouseUpHandlers().Add(handler, object);
}
void TCustomSynEdit::UnhookMouseUp(TMouseProc handler, void* object) {
  kbdHandler_.MouseUpHandlers().Remove(handler, object);
}
void TCustomSynEdit::HookMouseCursor(TMouseCursorProc handler, void* object) {
  kbdHandler_.MouseCursorHandlers().Add(handler, object);
}
void TCustomSynEdit::UnhookMouseCursor(TMouseCursorProc handler, void* object) {
  kbdHandler_.MouseCursorHandlers().Remove(handler, object);
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
    CreateSystemCaret(type == ctVerticalLine ? 2 : cellWidth_, rowHeight_ - 2);
    TPoint p = RowColumnToPixels(DisplayCaretPos());
    SetSystemCaret(p.X - 1, p.Y + 1, !options_.Contains(eoNoCaret));
  } else {
    SetSystemCaret(0, 0, false);
    DestroySystemCaret();
  }
}

}  // namespace ludra
