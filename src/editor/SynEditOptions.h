#pragma once
// The editor's option set, status-change flags, internal state flags and the
// small geometry types its window services use.
#include <cstdint>

#include "base/SynBracket.h"
#include "base/SynGeometry.h"
#include "base/SynSet.h"

namespace ludra {

// Bit n of the set is the n-th member; stored settings rely on the order.
enum TSynEditorOption : uint8_t {
  eoAltSetsColumnMode,
  eoAutoIndent,
  eoAutoSizeMaxScrollWidth,
  eoDisableScrollArrows,
  eoDragDropEditing,
  eoDropFiles,
  eoEnhanceHomeKey,
  eoGroupUndo,
  eoHalfPageScroll,
  eoHideShowScrollbars,
  eoKeepCaretX,
  eoNoCaret,
  eoNoSelection,
  eoRightMouseMovesCursor,
  eoScrollByOneLess,
  eoScrollHintFollows,
  eoScrollPastEof,
  eoScrollPastEol,
  eoShowScrollHint,
  eoShowSpecialChars,
  eoSmartTabDelete,
  eoSmartTabs,
  eoSpecialLineDefaultFg,
  eoTabIndent,
  eoTabsToSpaces,
  eoTrimTrailingSpaces,
};
using TSynEditorOptions = TSet<TSynEditorOption>;

inline constexpr TSynEditorOptions SYNEDIT_DEFAULT_OPTIONS = {
    eoAutoIndent,     eoDragDropEditing, eoGroupUndo,    eoScrollPastEol,      eoShowScrollHint,
    eoSmartTabDelete, eoSmartTabs,       eoTabsToSpaces, eoTrimTrailingSpaces,
};
static_assert(SYNEDIT_DEFAULT_OPTIONS.Bits() == 0x3360092);

// Switches eoScrollPastEol on for a step that places the caret past the
// line end (a command, an undo record), and back off afterwards.
[[nodiscard]] inline auto AllowPastEol(TSynEditorOptions& options) {
  bool had = options.Contains(eoScrollPastEol);
  options.Include(eoScrollPastEol);
  return TBracket([&options, had] {
    if (!had) options.Exclude(eoScrollPastEol);
  });
}

enum TSynStatusChange : uint8_t {
  scAll,
  scCaretX,
  scCaretY,
  scLeftChar,
  scTopLine,
  scInsertMode,
  scModified,
  scSelection,
  scReadOnly,
};
using TSynStatusChanges = TSet<TSynStatusChange>;

// Internal flags of the control.
enum TSynStateFlag : uint8_t {
  sfCaretChanged,       // the caret must be placed again
  sfScrollBarsChanged,  // the scroll bars must be recomputed
  sfLinesChanging,      // invalidations are collected into one rectangle
  sfIgnoreNextChar,     // the last key-down became a command
  sfCaretVisible,       // the system caret is shown
  sfInsideRedo,         // a redo is being replayed
};
using TSynStateFlags = TSet<TSynStateFlag>;

enum TSynEditCaretType : uint8_t { ctVerticalLine, ctHorizontalLine, ctHalfBlock, ctBlock };

enum TScrollStyle : uint8_t { ssNone, ssHorizontal, ssVertical, ssBoth };
enum TSynScrollBarKind : uint8_t { sbHorizontal, sbVertical };

// What the window shows of one scroll bar.
struct TSynScrollBarInfo {
  bool Visible = false;
  int Max = 0;  // range, 1-based positions up to Max
  int Page = 0;
  int Position = 1;
  bool DisableBackArrow = false;     // left or up
  bool DisableForwardArrow = false;  // right or down
  friend constexpr bool operator==(const TSynScrollBarInfo&, const TSynScrollBarInfo&) = default;
};

enum TTransientType : uint8_t { ttBefore, ttAfter };

}  // namespace ludra
