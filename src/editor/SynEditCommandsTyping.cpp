// Typed characters in insert and overwrite mode, input-method strings, Tab
// and Shift+Tab.
#include <algorithm>
#include <cstring>

#include "base/SynStrUtils.h"
#include "editor/SynEditCommandsInternal.h"

namespace ludra {

namespace {

// With smart tabs: from the nearest line above that reaches the display
// column, the width of the rest of the word there and the blanks after it.
int SmartTabWidth(TSynCommandContext& c, int line, int column) {
  for (int l = line - 1; l >= 1; --l) {
    std::string s = c.ExpandedLine(l - 1);
    int size = static_cast<int>(s.size());
    if (size < column) continue;
    int p = column - 1;
    while (p < size && !IsBlank(s[p])) ++p;
    while (p < size && IsBlank(s[p])) ++p;
    return p - (column - 1);
  }
  return 0;
}

}  // namespace

void ScrollRightAfterTyping(TSynCommandContext& c) {
  int columns = c.View().VisibleColumns;
  if (c.DisplayCaretPos().Column >= c.View().FirstVisibleColumn + columns)
    c.SetFirstVisibleColumn(c.View().FirstVisibleColumn + std::min(25, columns - 1));
}

bool TabActsOnBlock(TSynCommandContext& c) {
  if (!c.Caret().HasSelection() || !c.Options().Contains(eoTabIndent)) return false;
  TBufferCoord first = c.Caret().First(), last = c.Caret().Last();
  if (first.Line != last.Line && c.Caret().Mode != smColumn) return true;
  return first.Char == 1 && last.Char > c.Edit().LineLength(c.Caret().CaretLine);
}

namespace {

void TypeChar(TSynCommandContext& c, char ch) {
  const int y = std::max(1, c.Caret().CaretLine);
  if (c.InsertMode() && !c.WordWrap() && !c.Options().Contains(eoAutoSizeMaxScrollWidth) &&
      c.Caret().CaretChar > c.MaxScrollWidth())
    return;
  auto step = c.Edit().EditStep();
  // Typing scrolls by its own rule once the character is in.
  auto still = c.Edit().WithoutScrolling();
  bool wasEmpty = c.Edit().LineLength(y) == 0;
  FillGapToCaret(c, true);
  // Indentation with tabs is shorter in characters than the gap.
  const int len = c.Edit().LineLength(y);
  const int x = std::min(c.Caret().CaretChar, len + 1);
  const std::string_view typed(&ch, 1);
  TBufferCoord caret{x + 1, y};
  if (!c.InsertMode() && x <= len) {
    // Overwriting: the replaced character is recorded as removed.
    c.Edit().ReplaceRange({x, y}, {x + 1, y}, smNormal, typed, smNormal, ckInsert,
                          ckDeleteAfterCaretQuiet);
  } else {
    c.Edit().Insert({x, y}, typed, ckInsert);
    if (wasEmpty) {
      // A typed blank that trimming removed still advances the caret.
      if (c.Options().Contains(eoTrimTrailingSpaces) && IsBlank(ch))
        caret.Char = c.BufferToDisplay({len + 2, y}).Column;
      else
        caret.Char = c.Edit().LineLength(y) + 1;
    }
  }
  // The change left the caret there already, but for a blank trimming took.
  if (caret != c.Caret().CaretPos()) c.InternalSetCaretPos(caret, false);
  c.SetSelFrom(c.Caret().CaretPos());
  ScrollRightAfterTyping(c);
  c.EnsureCaretVisible();
}

void TypeString(TSynCommandContext& c, const std::string& text) {
  const int y = std::max(1, c.Caret().CaretLine);
  const int x = c.Caret().CaretChar;
  const int n = static_cast<int>(text.size());
  auto step = c.Edit().EditStep();
  auto still = c.Edit().WithoutScrolling();
  FillGapToCaret(c, false);
  int len = c.Edit().LineLength(y);
  if (!c.InsertMode() && x <= len) {
    int cut = std::min(n, len - (x - 1));
    c.Edit().ReplaceRange({x, y}, {x + cut, y}, smNormal, text, smNormal, ckInsert,
                          ckDeleteAfterCaretQuiet);
  } else {
    c.Edit().Insert({x, y}, text, ckInsert);
  }
  if (c.Caret().CaretPos() != TBufferCoord{x + n, y}) c.InternalSetCaretPos({x + n, y}, false);
  c.SetSelFrom(c.Caret().CaretPos());
  ScrollRightAfterTyping(c);
  c.EnsureCaretVisible();
}

void DoTab(TSynCommandContext& c) {
  c.Edit().SetSelectedText(std::string_view());
  const TBufferCoord caret = c.Caret().CaretPos();
  const int x = caret.Char, y = caret.Line;
  const int tabWidth = c.TabWidth();
  const TSynEditorOptions options = c.Options();
  std::string_view s =
      y <= c.Edit().Lines().Count() ? c.Edit().Lines().GetView(y - 1) : std::string_view();
  const int len = static_cast<int>(s.size());
  const int column = c.DisplayCaretPos().Column;
  int width = options.Contains(eoSmartTabs) ? SmartTabWidth(c, y, column) : 0;
  const bool smart = width > 0;
  if (!smart) {
    width = tabWidth;
    if (options.Contains(eoTabsToSpaces)) width = tabWidth - (x - 1) % tabWidth;
  }
  std::string text;
  if (options.Contains(eoTabsToSpaces)) {
    text.assign(width, ' ');
  } else if (options.Contains(eoTrimTrailingSpaces) && x > len) {
    // Blanks at the line end would be trimmed: only the caret moves.
    int target = smart ? column + width : ((column - 1) / tabWidth + 1) * tabWidth + 1;
    c.SetCaretPos({x + target - column, y});
    return;
  } else if (smart) {
    bool textBefore = false;
    for (int i = 0; i < std::min(x - 1, len); ++i)
      if (!IsBlank(s[i])) textBefore = true;
    if (textBefore) {
      text = "\t";
    } else {
      int c = column - 1;
      int target = c + width;
      while ((c / tabWidth + 1) * tabWidth <= target) {
        text += '\t';
        c = (c / tabWidth + 1) * tabWidth;
      }
      text.append(target - c, ' ');
    }
  } else {
    text = "\t";
  }
  TInsertedRange r = c.Edit().Insert(caret, text, ckInsert);
  c.SetCaretPos(r.End);
}

void DoShiftTab(TSynCommandContext& c) {
  if (c.Edit().Lines().Count() == 0) return;
  const int x = c.Caret().CaretChar, y = c.Caret().CaretLine;
  if (x <= 1) return;
  const int tabWidth = c.TabWidth();
  std::string s = c.Edit().Lines().Get(y - 1);
  const int len = static_cast<int>(s.size());
  int t = 0;
  if (c.Options().Contains(eoSmartTabs)) {
    for (int l = y - 1; l >= 1; --l) {
      std::string_view u = c.Edit().Lines().GetView(l - 1);
      if (static_cast<int>(u.size()) < x - 1) continue;
      int i = x - 2;
      while (i >= 0 && IsBlank(u[i])) --i;
      while (i >= 0 && !IsBlank(u[i])) --i;
      t = i + 2;
      break;
    }
    if (t >= x) t = 0;
  }
  if (t == 0) {
    int stop = tabWidth * ((x - 2) / tabWidth) + 1;
    if (x > len + 1) {
      t = stop;
    } else if (s[x - 2] == '\t') {
      t = x - 1;
    } else {
      t = x;
      while (t > stop && s[t - 2] == ' ') --t;
    }
  }
  // Only blanks are taken away: text before the caret is never lost.
  int realEnd = std::min(x, len + 1);
  int lo = realEnd;
  while (lo > t && IsBlank(s[lo - 2])) --lo;
  t = std::max(t, lo);
  if (t >= x) return;
  if (t < realEnd) c.Edit().DeleteRange({t, y}, {realEnd, y}, ckDeleteQuiet);
  c.SetCaretPos({t, y});
}

}  // namespace

bool TypingCommand(TSynCommandContext& c, TSynEditorCommand command, char aChar, void* data) {
  switch (command) {
    case ecChar: {
      auto b = static_cast<unsigned char>(aChar);
      if (b < 32 || b == 127 || c.ReadOnly()) return true;
      c.DoOnPaintTransient(ttBefore);
      // Also over a selection: a typed blank that trimming removed still
      // advances the caret, and the next character fills the gap.
      auto pastEol = c.AllowPastEol();
      if (c.Caret().HasSelection())
        c.Edit().SetSelectedText(std::string_view(&aChar, 1));
      else
        TypeChar(c, aChar);
      c.DoOnPaintTransient(ttAfter);
      return true;
    }
    case ecImeStr: {
      if (data == nullptr || c.ReadOnly()) return true;
      std::string text(static_cast<const char*>(data));
      if (text.empty()) return true;
      auto pastEol = c.AllowPastEol();
      if (c.Caret().HasSelection()) {
        c.Edit().SetSelectedText(text);
        c.InvalidateGutterLines(-1, -1);
      } else {
        TypeString(c, text);
      }
      return true;
    }
    case ecTab:
    case ecShiftTab: {
      if (c.ReadOnly()) return true;
      if (TabActsOnBlock(c)) {
        if (command == ecTab)
          DoBlockIndent(c);
        else
          DoBlockUnindent(c);
        return true;
      }
      auto pastEol = c.AllowPastEol();
      auto step = c.Edit().EditStep();
      if (command == ecTab)
        DoTab(c);
      else
        DoShiftTab(c);
      c.EnsureCaretVisible();
      return true;
    }
    default:
      return false;
  }
}

}  // namespace ludra
