#pragma once
// A window-less editor for tests: fixed client size and font cell, and a
// record of what it asked of the window.
#include <string>
#include <vector>

#include "buffer/SynEditUndo.h"
#include "editor/SynEdit.h"
#include "editor/SynEditEditing.h"
#include "editor/SynEditMarks.h"
#include "editor/SynEditMiscClasses.h"
#include "editor/SynEditWordWrap.h"
#include "editor/SynTextDrawer.h"
#include "platform/SynMemoryClipboard.h"

namespace ludra::test {

class THeadlessSynEdit : public TCustomSynEdit {
 public:
  explicit THeadlessSynEdit(TSynClipboard* clipboard = nullptr) : TCustomSynEdit(clipboard) {
    FontChanged();
  }

  // The control's face beyond its contract, which the tests reach.
  using TCustomSynEdit::AutoScrollActive;
  using TCustomSynEdit::BeginDrag;
  using TCustomSynEdit::Bookmark;
  using TCustomSynEdit::BookMarkOptions;
  using TCustomSynEdit::CaretAfterWrap;
  using TCustomSynEdit::CellMeasurePending;
  using TCustomSynEdit::CreateTimer;
  using TCustomSynEdit::Cursor;
  using TCustomSynEdit::DisplayRowCount;
  using TCustomSynEdit::DoOnPaintTransient;
  using TCustomSynEdit::DropBookmark;
  using TCustomSynEdit::Editing;
  using TCustomSynEdit::EditorState;
  using TCustomSynEdit::GetMatchingBracket;
  using TCustomSynEdit::HasPopupMenu;
  using TCustomSynEdit::ImeCharsToSkip;
  using TCustomSynEdit::InvalidateRect;
  using TCustomSynEdit::IsPointInSelection;
  using TCustomSynEdit::JumpToBookmark;
  using TCustomSynEdit::KeyboardShiftState;
  using TCustomSynEdit::Keystrokes;
  using TCustomSynEdit::LineToRow;
  using TCustomSynEdit::MaxUndo;
  using TCustomSynEdit::MouseCapture;
  using TCustomSynEdit::MouseCaptureLost;
  using TCustomSynEdit::MousePosition;
  using TCustomSynEdit::PaintLockCount;
  using TCustomSynEdit::PendingKey;
  using TCustomSynEdit::PendingStatus;
  using TCustomSynEdit::PlaceBookmark;
  using TCustomSynEdit::ResetKeystrokes;
  using TCustomSynEdit::ScanFrom;
  using TCustomSynEdit::ScrollDeltaX;
  using TCustomSynEdit::ScrollDeltaY;
  using TCustomSynEdit::ScrollWindow;
  using TCustomSynEdit::SearchEngine;
  using TCustomSynEdit::SelectionLength;
  using TCustomSynEdit::SetHideSelection;
  using TCustomSynEdit::SetImeCharsToSkip;
  using TCustomSynEdit::SetInsertMode;
  using TCustomSynEdit::SetKeystrokes;
  using TCustomSynEdit::SetMaxScrollWidth;
  using TCustomSynEdit::SetReadOnly;
  using TCustomSynEdit::SetRightEdge;
  using TCustomSynEdit::SetRightEdgeColor;
  using TCustomSynEdit::SetScrollHintFormat;
  using TCustomSynEdit::TextDrawer;
  using TCustomSynEdit::TextOrigin;
  using TCustomSynEdit::UndoBlockDepth;
  using TCustomSynEdit::UpdateCaret;
  using TCustomSynEdit::WaitingForDrag;
  using TCustomSynEdit::WheelScrollLines;
  using TCustomSynEdit::WordWrapGlyph;

  bool HandleAllocated() const override { return true; }
  int ClientWidth() const override { return clientWidth; }
  int ClientHeight() const override { return clientHeight; }
  void InvalidateRect(const TRect& rect) override { invalidated.push_back(rect); }
  void ScrollWindow(int dx, int dy) override { scrolls.push_back({dx, dy}); }
  void SetScrollBar(TSynScrollBarKind bar, const TSynScrollBarInfo& info) override {
    (bar == sbHorizontal ? hScroll : vScroll) = info;
    ++scrollBarUpdates;
  }
  bool Focused() const override { return focused; }
  void FontMetrics(int& cellWidth, int& cellHeight) const override {
    cellWidth = 10;
    cellHeight = 20;
  }
  void SetSystemCaret(int x, int y, bool visible) override {
    caretPixel = {x, y};
    caretVisible = visible;
    ++caretPlacements;
  }

  int clientWidth = 32 + 80 * 10;  // gutter 30 + 2, then 80 cells
  int clientHeight = 25 * 20;      // 25 rows
  bool focused = false;
  std::vector<TRect> invalidated;
  std::vector<TPoint> scrolls;
  TSynScrollBarInfo hScroll, vScroll;
  int scrollBarUpdates = 0;
  TPoint caretPixel;
  bool caretVisible = false;
  int caretPlacements = 0;
};

// The main window's editor settings, kept here so the editor tests need no
// application code; the application's tests check that it applies the same.
inline constexpr TSynEditorOptions MainWindowOptions = {
    eoAutoIndent,     eoDragDropEditing, eoGroupUndo,         eoShowScrollHint,
    eoSmartTabDelete, eoTabIndent,       eoTrimTrailingSpaces};
inline void UseMainWindowSettings(TCustomSynEdit& e) {
  e.SetColor(clWhite);
  TSynFont font;
  font.Color = clBlack;
  e.SetFont(font);
  e.SetTabWidth(4);
  e.SetWantTabs(true);
  e.SetOptions(MainWindowOptions);
  e.SelectedColor().SetBackground(RGB(10, 36, 106));
  e.SelectedColor().SetForeground(clWhite);
  TSynGutter& gutter = e.Gutter();
  gutter.SetAutoSize(true);
  gutter.SetColor(RGB(212, 208, 200));
  TSynFont gutterFont;
  gutterFont.Size = 8;
  gutterFont.Color = clBlack;
  gutter.SetFont(gutterFont);
  gutter.SetLeftOffset(4);
  gutter.SetRightOffset(4);
  gutter.SetWidth(42);
  gutter.SetShowLineNumbers(false);
}

}  // namespace ludra::test
