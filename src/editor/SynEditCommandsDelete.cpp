// Deletions: Backspace with smart tab delete, Delete, word and line
// deletions.
#include <algorithm>

#include "base/SynStrUtils.h"
#include "editor/SynEditCommandsInternal.h"

namespace ludra {

void FillGapToCaret(TSynCommandContext& c, bool emptyLineIndent) {
  int y = c.Caret().CaretLine;
  int len = c.Edit().LineLength(y);
  int gap = c.Caret().CaretChar - 1 - len;
  if (gap <= 0) return;
  // On an empty line the gap is indentation (tabs where they fit).
  std::string fill =
      emptyLineIndent && len == 0 ? c.Edit().IndentationString(gap) : std::string(gap, ' ');
  // Kept untrimmed: the text typed next follows the blanks.
  auto still = c.Edit().WithoutScrolling();
  c.Edit().Insert({len + 1, y}, fill, ckWhiteSpaceAdd);
}

namespace {

// Backspace on a caret without selection.
void DeleteLastChar(TSynCommandContext& c) {
  int y = c.Caret().CaretLine;
  int x = c.Caret().CaretChar;
  if (y > c.Edit().Lines().Count()) return;
  std::string s = c.Edit().Lines().Get(y - 1);
  int len = static_cast<int>(s.size());
  TSynEditorOptions options = c.Options();
  if (x > len + 1) {
    // In virtual space only the caret moves.
    int target = x - 1;
    if (options.Contains(eoSmartTabDelete)) {
      if (len == 0) {
        target = 1;
        for (int l = y - 1; l >= 1; --l) {
          int n = c.Edit().LeadingWhitespaceCount(c.Edit().Lines().GetView(l - 1), true);
          if (n < x - 1) {
            target = n + 1;
            break;
          }
        }
      } else {
        target = len + 1;
      }
    }
    c.SetCaretPos({target, y});
    return;
  }
  if (x == 1) {
    if (y == 1) return;
    int prevLen = static_cast<int>(c.Edit().Lines().GetView(y - 2).size());
    // The joined line goes through the trimming rule.
    c.Edit().DeleteRange({prevLen + 1, y - 1}, {1, y}, ckDeleteQuiet);
    c.SetCaretPos({prevLen + 1, y - 1});
    return;
  }
  int lead = 0;
  while (lead < len && IsBlank(s[lead])) ++lead;
  int n = c.Edit().LeadingWhitespaceCount(s, false);
  bool afterLeading = x - 1 == lead && n > 0 && IsBlank(s[x - 2]);
  int from = x - 1;
  if (afterLeading) {
    if (options.Contains(eoSmartTabDelete)) {
      // Back to the indentation of the nearest line above with less of it.
      int keep = 0;
      for (int l = y - 1; l >= 1; --l) {
        int m = c.Edit().LeadingWhitespaceCount(c.Edit().Lines().GetView(l - 1), false);
        if (m < n) {
          keep = m;
          break;
        }
      }
      from = keep + 1;
    } else {
      // Back to the previous tab stop, at most one tab.
      int column = c.BufferToDisplay({x, y}).Column - 1;
      int stop = std::max(0, (column - 1) / c.TabWidth() * c.TabWidth());
      from = x;
      if (s[from - 2] == '\t') {
        --from;
      } else {
        while (from > 1 && s[from - 2] == ' ' &&
               c.BufferToDisplay({from - 1, y}).Column - 1 >= stop)
          --from;
      }
    }
  }
  c.Edit().DeleteRange({from, y}, {x, y}, ckDeleteQuiet);
  c.SetCaretPos({from, y});
}

void DeleteChar(TSynCommandContext& c) {
  int y = c.Caret().CaretLine;
  int x = c.Caret().CaretChar;
  if (y > c.Edit().Lines().Count()) return;
  int len = c.Edit().LineLength(y);
  if (x <= len) {
    c.Edit().DeleteRange({x, y}, {x + 1, y}, ckDeleteAfterCaretQuiet);
    c.SetCaretPos({x, y});
    return;
  }
  if (y >= c.Edit().Lines().Count()) return;
  // Joining the next line: it starts where the caret stands.
  FillGapToCaret(c, false);
  c.Edit().DeleteRange({x, y}, {1, y + 1}, ckDeleteAfterCaretQuiet);
  c.SetCaretPos({x, y});
}

// The deletion commands inside their undo step.
void DeleteInStep(TSynCommandContext& c, TSynEditorCommand command) {
  if (c.Caret().HasSelection() && (command == ecDeleteLastChar || command == ecDeleteChar)) {
    c.Edit().DeleteRange(c.Caret().SelFrom, c.Caret().SelTo, ckDelete, c.Caret().Mode);
    return;
  }
  if (c.Edit().Lines().Count() == 0) return;
  const TBufferCoord caret = c.Caret().CaretPos();
  const int y = caret.Line;
  const int len = c.Edit().LineLength(y);
  switch (command) {
    case ecDeleteLastChar:
      DeleteLastChar(c);
      break;
    case ecDeleteChar:
      DeleteChar(c);
      break;
    case ecDeleteWord:
    case ecDeleteEOL: {
      TBufferCoord start{std::min(caret.Char, len + 1), y};
      TBufferCoord end{len + 1, y};
      if (command == ecDeleteWord) {
        std::string_view s = c.Edit().Lines().GetView(y - 1);
        end = c.WordEnd(start);
        if (end.Char == start.Char) {
          if (start.Char > len) {
            if (y < c.Edit().Lines().Count()) end = {1, y + 1};
          } else if (s[start.Char - 1] != ' ') {
            ++end.Char;
          }
        }
        std::string_view t = c.Edit().Lines().GetView(end.Line - 1);
        while (end.Char <= static_cast<int>(t.size()) && t[end.Char - 1] == ' ') ++end.Char;
      }
      if (!(start < end)) break;
      // A caret past the line end keeps the following text at its column.
      if (caret.Char > start.Char) {
        FillGapToCaret(c, false);
        int shift = caret.Char - start.Char;
        start.Char += shift;
        if (end.Line == y) end.Char += shift;
      }
      c.Edit().DeleteRange(start, end, ckDeleteAfterCaretQuiet);
      c.SetCaretPos(caret);
      break;
    }
    case ecDeleteLastWord:
    case ecDeleteBOL: {
      TBufferCoord start = command == ecDeleteBOL ? TBufferCoord{1, y} : c.PrevWordPos(caret);
      TBufferCoord end{std::min(caret.Char, len + 1), y};
      if (!(start < end)) {
        if (start < caret) c.SetCaretPos(start);
        break;
      }
      c.Edit().DeleteRange(start, end, ckDeleteQuiet);
      c.SetCaretPos(start);
      break;
    }
    case ecDeleteLine: {
      int count = c.Edit().Lines().Count();
      if (count == 1 && len == 0) break;
      c.SetCaretPos(caret);  // a selection collapses first
      auto still = c.Edit().WithoutScrolling();
      if (count == 1) {
        c.Edit().DeleteRange({1, 1}, {len + 1, 1}, ckDeleteAfterCaret);
      } else if (y < count) {
        c.Edit().DeleteRange({1, y}, {1, y + 1}, ckDeleteAfterCaret);
      } else {
        // The last line goes with the line end before it, so redo leaves
        // no empty line behind.
        c.Edit().DeleteRange({c.Edit().LineLength(y - 1) + 1, y - 1}, {len + 1, y},
                             ckDeleteAfterCaret);
      }
      c.SetCaretPos({1, std::min(y, c.Edit().Lines().Count())});
      break;
    }
    default:
      break;
  }
}

}  // namespace

bool DeleteCommand(TSynCommandContext& c, TSynEditorCommand command, char aChar, void* data) {
  (void)aChar;
  (void)data;
  switch (command) {
    case ecDeleteLastChar:
    case ecDeleteChar:
    case ecDeleteWord:
    case ecDeleteLastWord:
    case ecDeleteBOL:
    case ecDeleteEOL:
    case ecDeleteLine:
      break;
    default:
      return false;
  }
  if (c.ReadOnly()) return true;
  bool transient = command == ecDeleteLastChar || command == ecDeleteChar;
  if (transient) c.DoOnPaintTransient(ttBefore);
  {
    auto step = c.Edit().EditStep();
    DeleteInStep(c, command);
  }
  c.EnsureCaretVisible();
  if (transient) c.DoOnPaintTransient(ttAfter);
  return true;
}

}  // namespace ludra
