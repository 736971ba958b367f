// Clicks, selection by dragging with automatic scrolling, double-click
// words, the wheel, the mouse cursor, gutter clicks and the mouse chains.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/MouseEditor.h"

namespace ludra::test {
namespace {

using B = TBufferCoord;

TEST(MouseTest, ClickPlacesCaretAtNearestCellBorderAndCollapsesSelection) {
  TMouseSynEdit e;
  e.SetText("hello world\r\nsecond");
  e.SetCaretAndSelection({3, 1}, {1, 1}, {3, 1});
  // 4 pixels into column 5: before character 5; 6 pixels in: before 6.
  e.Click(5, 2);
  EXPECT_EQ(e.CaretPos(), (B{5, 2}));
  EXPECT_FALSE(e.HasSelection());
  e.MouseDown(mbLeft, {}, TMouseSynEdit::X(5) + 6, TMouseSynEdit::Y(1));
  e.MouseUp(mbLeft, {}, TMouseSynEdit::X(5) + 6, TMouseSynEdit::Y(1));
  EXPECT_EQ(e.CaretPos(), (B{6, 1}));
  EXPECT_GE(e.focusTaken, 2);
}

TEST(MouseTest, ShiftClickExtendsFromTheOldSelectionStart) {
  TMouseSynEdit e;
  e.SetText("abcdefghij\r\nklmnopqrst");
  e.Click(3, 1);
  e.Click(5, 2, {ssShift});
  EXPECT_EQ(e.SelFrom(), (B{3, 1}));
  EXPECT_EQ(e.SelTo(), (B{5, 2}));
  EXPECT_EQ(e.SelectedText(), "cdefghij\r\nklmn");
}

TEST(MouseTest, AltClickSwitchesToColumnModeOnlyWithTheOption) {
  struct Case {
    bool option;
    TShiftState shift;
    TSynSelectionMode before, after;
  } cases[] = {
      {true, {ssAlt}, smNormal, smColumn},
      {true, {}, smColumn, smNormal},
      {false, {ssAlt}, smNormal, smNormal},
      {true, {ssAlt}, smLine, smLine},  // line mode is left alone
  };
  for (const Case& c : cases) {
    TMouseSynEdit e;
    e.SetText("abc\r\ndef");
    TSynEditorOptions o = e.Options();
    if (c.option) o += TSynEditorOptions{eoAltSetsColumnMode};
    e.SetOptions(o);
    e.SetSelectionMode(c.before);
    e.Click(2, 1, c.shift);
    EXPECT_EQ(e.SelectionMode(), c.after) << c.option << " " << int(c.before);
  }
}

TEST(MouseTest, RightAndMiddleClicks) {
  struct Case {
    TMouseButton button;
    bool selection;
    bool rightMovesCursor;
    B caretAfter;
    int downEvents;
  } cases[] = {
      {mbRight, true, true, {1, 1}, 0},  // a selection: nothing at all happens
      {mbMiddle, true, false, {1, 1}, 0}, {mbRight, false, false, {1, 1}, 1},
      {mbRight, false, true, {4, 2}, 1},  {mbMiddle, false, true, {1, 1}, 1},
  };
  for (const Case& c : cases) {
    TMouseSynEdit e;
    e.SetText("abcdef\r\nghijkl");
    if (c.rightMovesCursor) e.SetOptions(e.Options() + TSynEditorOptions{eoRightMouseMovesCursor});
    if (c.selection) e.SetCaretAndSelection({1, 1}, {3, 1}, {1, 1});
    e.MouseDown(c.button, {}, TMouseSynEdit::X(4), TMouseSynEdit::Y(2));
    e.MouseUp(c.button, {}, TMouseSynEdit::X(4), TMouseSynEdit::Y(2));
    EXPECT_EQ(e.CaretPos(), c.caretAfter) << int(c.button) << c.selection << c.rightMovesCursor;
    EXPECT_EQ(e.HasSelection(), c.selection);
    EXPECT_EQ(e.focusTaken, c.downEvents);
  }
}

TEST(MouseTest, PressInsideSelectionWithoutMovingClearsItOnRelease) {
  TMouseSynEdit e;
  e.SetText("one two three");
  e.SetCaretAndSelection({8, 1}, {5, 1}, {8, 1});
  e.Press(TMouseSynEdit::X(6), TMouseSynEdit::Y(1));
  EXPECT_TRUE(e.WaitingForDrag());
  EXPECT_TRUE(e.HasSelection());  // the press alone keeps it
  e.Release(TMouseSynEdit::X(7), TMouseSynEdit::Y(1));
  EXPECT_EQ(e.CaretPos(), (B{7, 1}));
  EXPECT_FALSE(e.HasSelection());
  EXPECT_FALSE(e.WaitingForDrag());
  EXPECT_EQ(e.dragStarts, 0);
}

TEST(MouseTest, DragStartsOnlyAfterTheDragDistance) {
  TMouseSynEdit e;
  e.SetText("one two three");
  e.SetCaretAndSelection({8, 1}, {5, 1}, {8, 1});
  int x = TMouseSynEdit::X(6), y = TMouseSynEdit::Y(1);
  e.Press(x, y);
  e.Move(x + 3, y);
  EXPECT_EQ(e.dragStarts, 0);
  EXPECT_EQ(e.SelTo(), (B{8, 1}));  // no selecting while waiting
  e.Move(x, y + 4);
  EXPECT_EQ(e.dragStarts, 1);
  EXPECT_TRUE(e.Dragging());
  EXPECT_FALSE(e.WaitingForDrag());
}

TEST(MouseTest, PressInsideSelectionWithoutDragEditingSelectsAnew) {
  TMouseSynEdit e;
  e.SetText("one two three");
  e.SetOptions(e.Options() - TSynEditorOptions{eoDragDropEditing});
  e.SetCaretAndSelection({8, 1}, {5, 1}, {8, 1});
  e.Press(TMouseSynEdit::X(6), TMouseSynEdit::Y(1));
  EXPECT_FALSE(e.WaitingForDrag());
  EXPECT_FALSE(e.HasSelection());
}

TEST(MouseTest, DraggingSelectsFromThePressToThePointer) {
  TMouseSynEdit e;
  e.SetText("abcdefgh\r\nijklmnop\r\nqrstuvwx");
  e.Press(TMouseSynEdit::X(3), TMouseSynEdit::Y(1));
  e.Move(TMouseSynEdit::X(5), TMouseSynEdit::Y(1));
  EXPECT_EQ(e.SelectedText(), "cd");
  e.Move(TMouseSynEdit::X(2), TMouseSynEdit::Y(3));
  EXPECT_EQ(e.SelectedText(), "cdefgh\r\nijklmnop\r\nq");
  e.Release(TMouseSynEdit::X(2), TMouseSynEdit::Y(3));
  EXPECT_EQ(e.CaretPos(), (B{2, 3}));
  // Moving after the release selects nothing more.
  e.MouseMove({}, TMouseSynEdit::X(1), TMouseSynEdit::Y(1));
  EXPECT_EQ(e.SelectedText(), "cdefgh\r\nijklmnop\r\nq");
}

TEST(MouseTest, AutoScrollStepsFollowTheDistanceOutsideTheTextArea) {
  TMouseSynEdit e;
  e.SetText(NumberedLines(100));
  e.Press(TMouseSynEdit::X(2), TMouseSynEdit::Y(3));
  struct Case {
    int x, y, dx, dy;
  } cases[] = {
      {TMouseSynEdit::X(5), TMouseSynEdit::Y(5), 0, 0},
      {TMouseSynEdit::X(5), 25 * 20, 0, 1},       // first pixel below: one row
      {TMouseSynEdit::X(5), 25 * 20 + 45, 0, 3},  // two rows further
      {TMouseSynEdit::X(5), -1, 0, -1},
      {TMouseSynEdit::X(5), -25, 0, -2},
      {10, TMouseSynEdit::Y(2), -3, 0},  // over the gutter, two cells left of it
      {30 + 80 * 10 + 15, TMouseSynEdit::Y(2), 2, 0},
  };
  for (const Case& c : cases) {
    e.Move(c.x, c.y);
    EXPECT_EQ(e.ScrollDeltaX(), c.dx) << c.x << "," << c.y;
    EXPECT_EQ(e.ScrollDeltaY(), c.dy) << c.x << "," << c.y;
  }
  e.Release(10, TMouseSynEdit::Y(2));
  EXPECT_EQ(e.ScrollDeltaX(), 0);
}

TEST(MouseTest, AutoScrollTimerScrollsEveryTickAndStopsOnRelease) {
  TSynManualClock clock;
  TMouseSynEdit e(&clock);
  e.SetText(NumberedLines(100));
  e.Press(TMouseSynEdit::X(1), TMouseSynEdit::Y(3));
  int below = 25 * 20 + 5;
  e.Move(TMouseSynEdit::X(3), below);
  EXPECT_TRUE(e.AutoScrollActive());
  EXPECT_EQ(e.TopRow(), 1);
  EXPECT_EQ(e.CaretLine(), 3);  // the row keeps the caret's while a step runs
  clock.Advance(99);
  EXPECT_EQ(e.TopRow(), 1);
  clock.Advance(1);
  EXPECT_EQ(e.TopRow(), 2);
  EXPECT_EQ(e.CaretPos(), (B{3, 26}));  // the last visible row
  EXPECT_EQ(e.SelFrom(), (B{1, 3}));
  EXPECT_EQ(e.SelTo(), (B{3, 26}));
  clock.Advance(300);
  EXPECT_EQ(e.TopRow(), 5);
  EXPECT_EQ(e.CaretLine(), 29);
  // Shift held: a page per tick.
  e.keys = {ssShift};
  clock.Advance(100);
  EXPECT_EQ(e.TopRow(), 30);
  e.keys = {};
  // Back inside: the timer stops.
  e.Move(TMouseSynEdit::X(3), TMouseSynEdit::Y(10));
  EXPECT_FALSE(e.AutoScrollActive());
  EXPECT_EQ(e.CaretLine(), 39);
  e.Move(TMouseSynEdit::X(3), -5);
  clock.Advance(100);
  EXPECT_EQ(e.TopRow(), 29);
  EXPECT_EQ(e.CaretLine(), 29);
  e.Release(TMouseSynEdit::X(3), -5);
  EXPECT_FALSE(e.AutoScrollActive());
  clock.Advance(1000);
  EXPECT_EQ(e.TopRow(), 29);
  e.Check();
}

TEST(MouseTest, AutoScrollSidewaysMovesTheFirstVisibleColumn) {
  TSynManualClock clock;
  TMouseSynEdit e(&clock);
  e.SetText(std::string(300, 'x'));
  e.Press(TMouseSynEdit::X(70), TMouseSynEdit::Y(1));
  e.Move(30 + 80 * 10 + 2, TMouseSynEdit::Y(1));
  EXPECT_EQ(e.ScrollDeltaX(), 1);
  clock.Advance(100);
  // The caret goes to the column after the view, which brings it into view.
  int first = e.FirstVisibleColumn();
  EXPECT_GE(first, 2);
  EXPECT_EQ(e.CaretChar(), first + e.VisibleColumns() - 1);
  EXPECT_EQ(e.SelectedText(), std::string(e.CaretChar() - 70, 'x'));
  clock.Advance(100);
  EXPECT_GT(e.FirstVisibleColumn(), first);
  e.MouseCaptureLost();
  EXPECT_FALSE(e.AutoScrollActive());
}

TEST(MouseTest, DoubleClickSelectsTheIdentifierAtTheClick) {
  struct Case {
    std::string line;
    int column;
    std::string selected;
    B caret;
  } cases[] = {
      {"new value_1 = foo;", 7, "value_1", {12, 1}},
      {"new value_1 = foo;", 5, "value_1", {12, 1}},   // at the word's start
      {"new value_1 = foo;", 12, "value_1", {12, 1}},  // right after it
      {"new value_1 = foo;", 13, "", {13, 1}},         // between blank and '='
      {"a+b", 2, "a", {2, 1}},
      {"\xe9t\xe9 x", 2, "\xe9t\xe9", {4, 1}},  // Latin-1 letters belong to words
      {"abc", 9, "", {4, 1}},                   // beyond the line end: to the end
  };
  for (const Case& c : cases) {
    TMouseSynEdit e;
    e.SetText(c.line);
    e.SetOptions(e.Options() + TSynEditorOptions{eoScrollPastEol});
    e.DoubleClick(c.column, 1);
    EXPECT_EQ(e.SelectedText(), c.selected) << c.line << " @" << c.column;
    EXPECT_EQ(e.CaretPos(), c.caret) << c.line << " @" << c.column;
    // The release after the double-click keeps the word.
    EXPECT_FALSE(e.MouseCapture());
  }
}

TEST(MouseTest, DoubleClickWithNoSelectionOptionSelectsNothing) {
  TMouseSynEdit e;
  e.SetText("word");
  e.SetOptions(e.Options() + TSynEditorOptions{eoNoSelection});
  e.DoubleClick(2, 1);
  EXPECT_FALSE(e.HasSelection());
}

TEST(MouseTest, WheelUsesLinesPerNotchAndKeepsTheRemainder) {
  struct Case {
    int lines;
    TShiftState shift;
    bool halfPage;
    std::vector<int> deltas;
    int topAfter;
  } cases[] = {
      {3, {}, false, {-120}, 4},        {3, {}, false, {-60, -60}, 4},  // two half notches make one
      {3, {}, false, {-60}, 1},         {3, {}, false, {-240, 120}, 4},
      {-1, {}, false, {-120}, 26},  // a page
      {99, {}, false, {-120}, 26},  // more than a page is a page
      {3, {ssCtrl}, false, {-120}, 26}, {3, {ssCtrl}, true, {-120}, 13},
  };
  for (const Case& c : cases) {
    TMouseSynEdit e;
    e.SetText(NumberedLines(200));
    e.wheelLines = c.lines;
    if (c.halfPage) e.SetOptions(e.Options() + TSynEditorOptions{eoHalfPageScroll});
    for (int d : c.deltas) e.MouseWheel(c.shift, d);
    EXPECT_EQ(e.TopRow(), c.topAfter) << c.lines << " " << c.deltas.size();
    EXPECT_EQ(e.CaretPos(), (B{1, 1}));  // the wheel never moves the caret
  }
}

TEST(MouseTest, CursorIsArrowOverSelectionForDraggingElseIBeam) {
  TMouseSynEdit e;
  e.SetText("one two three");
  e.SetCaretAndSelection({8, 1}, {5, 1}, {8, 1});
  int y = TMouseSynEdit::Y(1);
  EXPECT_EQ(e.MouseCursorAt(TMouseSynEdit::X(6) + 2, y), crArrow);
  EXPECT_EQ(e.MouseCursorAt(TMouseSynEdit::X(2) + 2, y), crIBeam);
  EXPECT_EQ(e.MouseCursorAt(TMouseSynEdit::X(8) + 2, y), crIBeam);  // the end is outside
  EXPECT_EQ(e.MouseCursorAt(5, y), crDefault);                      // gutter
  e.SetOptions(e.Options() - TSynEditorOptions{eoDragDropEditing});
  EXPECT_EQ(e.MouseCursorAt(TMouseSynEdit::X(6) + 2, y), crIBeam);
}

TEST(MouseTest, InsideSelectionTestPerMode) {
  TMouseSynEdit e;
  e.SetText("abcdef\r\nghijkl\r\nmnopqr");
  struct Case {
    TSynSelectionMode mode;
    B p;
    bool inside;
  } cases[] = {
      {smNormal, {3, 1}, true},  {smNormal, {2, 1}, false}, {smNormal, {6, 2}, true},
      {smNormal, {4, 3}, false}, {smNormal, {1, 3}, true},  {smLine, {1, 1}, true},
      {smLine, {7, 3}, true},    {smColumn, {2, 2}, false}, {smColumn, {3, 2}, true},
      {smColumn, {4, 3}, false},
  };
  for (const Case& c : cases) {
    e.SetSelectionMode(c.mode);
    e.SetCaretAndSelection({4, 3}, {3, 1}, {4, 3});
    EXPECT_EQ(e.IsPointInSelection(c.p), c.inside)
        << int(c.mode) << " " << c.p.Char << "," << c.p.Line;
  }
  e.SetCaretPos({1, 1});
  EXPECT_FALSE(e.IsPointInSelection({1, 1}));
}

TEST(MouseTest, RightReleaseWithPopupMenuKeepsTheCapture) {
  TMouseSynEdit e;
  e.popupMenu = true;
  e.SetText("abc");
  e.MouseDown(mbLeft, {}, TMouseSynEdit::X(2), 5);
  e.MouseUp(mbRight, {ssRight}, TMouseSynEdit::X(2), 5);
  EXPECT_TRUE(e.MouseCapture());
  e.MouseUp(mbLeft, {}, TMouseSynEdit::X(2), 5);
  EXPECT_FALSE(e.MouseCapture());
}

struct TFocusWindow : TCustomSynEdit::TFocusTarget {
  int focused = 0;
  void SetFocus() override { ++focused; }
};

TEST(MouseTest, FocusGoesToTheNewestRedirectWindow) {
  TMouseSynEdit e;
  TFocusWindow a, b;
  e.AddFocusControl(&a);
  e.AddFocusControl(&b);
  e.Click(1, 1);
  EXPECT_EQ(b.focused, 1);
  EXPECT_EQ(a.focused, 0);
  EXPECT_EQ(e.focusTaken, 0);
  e.RemoveFocusControl(&b);
  e.TakeFocus();
  EXPECT_EQ(a.focused, 1);
  e.RemoveFocusControl(&a);
  e.TakeFocus();
  EXPECT_EQ(e.focusTaken, 1);
}

TEST(MouseTest, KeepCaretShownPlacesTheCaretWithoutFocus) {
  TMouseSynEdit e;
  e.SetText("abc");
  e.SetKeepCaretShown(true);
  EXPECT_TRUE(e.caretVisible);
  // The caret keeps following the moves while a pop-up has the focus.
  TPoint before = e.caretPixel;
  e.SetCaretPos({3, 1});
  EXPECT_EQ(e.caretPixel.X, before.X + 2 * e.CellWidth());
  e.SetKeepCaretShown(false);
  EXPECT_FALSE(e.caretVisible);
  // With the focus the window's own caret handling stays in charge.
  e.focused = true;
  int placed = e.caretPlacements;
  e.SetKeepCaretShown(true);
  EXPECT_EQ(e.caretPlacements, placed);
}

}  // namespace
}  // namespace ludra::test
