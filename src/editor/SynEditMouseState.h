#pragma once
// What the mouse is doing to the editor: where it was pressed and where it
// is, whether the editor holds the capture, waits for a drag or drags, the
// automatic scrolling while selecting past the text area, the wheel's
// remainder, and the cursors. The rules that need only these live here.
#include <cstdlib>
#include <memory>
#include <stdexcept>

#include "base/SynGeometry.h"
#include "editor/SynEditKbdHandler.h"
#include "platform/SynTimer.h"

namespace ludra {

struct TSynMouseState {
  static constexpr int WheelNotch = 120;

  TPoint Down;
  TPoint Last;
  int ScrollDeltaX = 0;
  int ScrollDeltaY = 0;
  std::unique_ptr<TSynTimer> ScrollTimer;
  int WheelRemainder = 0;
  bool Capture = false;
  bool WaitForDrag = false;
  bool DblClicked = false;
  bool PossibleGutterClick = false;
  bool Dragging = false;
  TCursor Cursor = crIBeam;
  TCursor GutterCursor = crDefault;

  bool AutoScrolling() const { return ScrollTimer && ScrollTimer->Enabled(); }
  // Whether the pointer moved far enough from the press to start a drag.
  bool PastDragThreshold(int x, int y, int threshold) const {
    return std::abs(x - Down.X) >= threshold || std::abs(y - Down.Y) >= threshold;
  }
  // The whole notches of a wheel turn; the rest waits for the next one.
  int TakeNotches(int wheelDelta) {
    WheelRemainder += wheelDelta;
    int notches = WheelRemainder / WheelNotch;
    WheelRemainder -= notches * WheelNotch;
    return notches;
  }
  // The scroll step for a pointer at x, y against the text area: a cell
  // per cell outside it, and one already within a cell of its edge.
  // Answers whether the pointer is outside.
  bool ComputeScrollDeltas(const TRect& textArea, int cellWidth, int rowHeight, int x, int y) {
    // The step along one axis for a pointer at v against the span [low, high).
    auto step = [](int v, int low, int high, int cell) {
      if (v < low) return (v - low) / cell - 1;
      if (v >= high) return (v - high) / cell + 1;
      return 0;
    };
    ScrollDeltaX = step(x, textArea.Left, textArea.Right, cellWidth);
    ScrollDeltaY = step(y, textArea.Top, textArea.Bottom, rowHeight);
    return ScrollDeltaX != 0 || ScrollDeltaY != 0;
  }
  void StopScrolling() {
    ScrollDeltaX = ScrollDeltaY = 0;
    if (ScrollTimer) ScrollTimer->SetEnabled(false);
  }
  // Throws std::logic_error when the state contradicts itself.
  void Check() const {
    auto fail = [](const char* what) { throw std::logic_error(what); };
    if (WheelRemainder <= -WheelNotch || WheelRemainder >= WheelNotch)
      fail("a whole wheel notch left over");
    if (ScrollTimer && ScrollTimer->Enabled() != (ScrollDeltaX != 0 || ScrollDeltaY != 0))
      fail("auto-scroll timer disagrees with its step");
  }
};

}  // namespace ludra
