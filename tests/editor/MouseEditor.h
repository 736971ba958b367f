#pragma once
// A headless editor that also answers the mouse's window services: a manual
// clock for the auto-scroll timer, the pointer, the held keys and the drag
// start. Helpers give the client pixels of a cell.
#include <memory>
#include <string>

#include "editor/EditorKeys.h"
#include "platform/SynTimer.h"

namespace ludra::test {

class TMouseSynEdit : public THeadlessSynEdit {
 public:
  explicit TMouseSynEdit(TSynManualClock* clock = nullptr, TSynClipboard* clipboard = nullptr)
      : THeadlessSynEdit(clipboard), clock_(clock) {}

  TPoint MousePosition() const override { return pointer; }
  TShiftState KeyboardShiftState() const override { return keys; }
  int WheelScrollLines() const override { return wheelLines; }
  bool HasPopupMenu() const override { return popupMenu; }
  void BeginDrag() override { ++dragStarts; }
  std::unique_ptr<TSynTimer> CreateTimer() override {
    return clock_ ? clock_->CreateTimer() : nullptr;
  }
  void SetFocus() override { ++focusTaken; }

  // Left edge of character column c (the caret's cell border) and the middle
  // of row r, for the default font cell of 10 x 20 and a 30-pixel gutter.
  static int X(int column) { return 32 + (column - 1) * 10; }
  static int Y(int row) { return (row - 1) * 20 + 10; }

  void Click(int column, int row, TShiftState shift = {}) {
    pointer = {X(column), Y(row)};
    MouseDown(mbLeft, shift, X(column), Y(row));
    MouseUp(mbLeft, shift, X(column), Y(row));
  }
  void Press(int x, int y, TShiftState shift = {}) {
    pointer = {x, y};
    MouseDown(mbLeft, shift, x, y);
  }
  void Move(int x, int y) {
    pointer = {x, y};
    MouseMove({ssLeft}, x, y);
  }
  void Release(int x, int y, TShiftState shift = {}) {
    pointer = {x, y};
    MouseUp(mbLeft, shift, x, y);
  }
  void DoubleClick(int column, int row) {
    Click(column, row);
    pointer = {X(column), Y(row)};
    MouseDown(mbLeft, {ssDouble}, X(column), Y(row));
    DblClick();
    MouseUp(mbLeft, {}, X(column), Y(row));
  }

  TPoint pointer;
  TShiftState keys;
  int wheelLines = 3;
  bool popupMenu = false;
  int dragStarts = 0;
  int focusTaken = 0;

 private:
  TSynManualClock* clock_;
};

inline std::string NumberedLines(int count, const std::string& prefix = "line ") {
  std::string text;
  for (int i = 1; i <= count; ++i) text += prefix + std::to_string(i) + "\r\n";
  return text;
}

}  // namespace ludra::test
