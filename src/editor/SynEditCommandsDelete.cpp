// Deletions: Backspace with smart tab delete, Delete, word and line
// deletions.
#include <algorithm>

#include "base/SynStrUtils.h"
#include "editor/SynEditCommandsInternal.h"

namespace ludra {

TCustomSynEdit::TInsertedRange ReplaceRange(TSynCommandContext& c, const TBufferCoord& from,
                                            const TBufferCoord& to, std::string_view text) {
  TCustomSynEdit& e = c.Editor();
  auto normal = c.UseSelectionMode(smNormal);
  c.SetSelectionBounds(from, to);
  return e.SetSelTextPrimitive(smNormal, text);
}

void FillGapToCaret(TSynCommandContext& c, bool emptyLineIndent) {
  TCustomSynEdit& e = c.Editor();
  int y = e.CaretLine();
  if (e.Lines().Count() == 0) e.Lines().Add(std::string());
  std::string s = e.Lines().Get(y - 1);
  int len = static_cast<int>(s.size());
  int gap = e.CaretChar() - 1 - len;
  if (gap <= 0) return;
  // On an empty line the gap is indentation (tabs where they fit).
  std::string fill = emptyLineIndent && len == 0 ? e.IndentationString(gap) : std::string(gap, ' ');
  // Stored untrimmed: the text typed next follows the blanks.
  e.Lines().Put(y - 1, s + fill);
  TBufferCoord start{len + 1, y};
  TBufferCoord end{len + 1 + static_cast<int>(fill.size()), y};
  e.UndoList().RecordChange(ckWhiteSpaceAdd, start, end, std::string(), smNormal);
  e.InternalSetCaretPos(end, false);
}

void DeleteRange(TSynCommandContext& c, const TBufferCoord& from, const TBufferCoord& to,
                 TSynChangeKind kind) {
  TCustomSynEdit& e = c.Editor();
  if (!(from < to)) return;
  std::string text;
  {
    auto normal = c.UseSelectionMode(smNormal);
    c.SetSelectionBounds(from, to);
    text = c.GetSelectedText(false);
  }
  // Recorded first: trims made by the deletion go after it.
  e.UndoList().RecordChange(kind, from, to, text, smNormal);
  ReplaceRange(c, from, to, std::string_view());
}

namespace {

// Backspace on a caret without selection.
void DeleteLastChar(TSynCommandContext& c) {
  TCustomSynEdit& e = c.Editor();
  int y = e.CaretLine();
  int x = e.CaretChar();
  if (y > e.Lines().Count()) return;
  std::string s = e.Lines().Get(y - 1);
  int len = static_cast<int>(s.size());
  TSynEditorOptions options = e.Options();
  if (x > len + 1) {
    // In virtual space only the caret moves.
    int target = x - 1;
    if (options.Contains(eoSmartTabDelete)) {
      if (len == 0) {
        target = 1;
        for (int l = y - 1; l >= 1; --l) {
          int n = e.LeadingWhitespaceCount(e.Lines().GetView(l - 1), true);
          if (n < x - 1) {
            target = n + 1;
            break;
          }
        }
      } else {
        target = len + 1;
      }
    }
    e.SetCaretPos({target, y});
    return;
  }
  if (x == 1) {
    if (y == 1) return;
    int prevLen = static_cast<int>(e.Lines().GetView(y - 2).size());
    DeleteRange(c, {prevLen + 1, y - 1}, {1, y}, ckDeleteQuiet);
    if (options.Contains(eoTrimTrailingSpaces)) e.StoreLine(y - 2, e.Lines().Get(y - 2));
    e.SetCaretPos({prevLen + 1, y - 1});
    return;
  }
  int lead = 0;
  while (lead < len && IsBlank(s[lead])) ++lead;
  int n = e.LeadingWhitespaceCount(s, false);
  bool afterLeading = x - 1 == lead && n > 0 && IsBlank(s[x - 2]);
  int from = x - 1;
  if (afterLeading) {
    if (options.Contains(eoSmartTabDelete)) {
      // Back to the indentation of the nearest line above with less of it.
      int keep = 0;
      for (int l = y - 1; l >= 1; --l) {
        int m = e.LeadingWhitespaceCount(e.Lines().GetView(l - 1), false);
        if (m < n) {
          keep = m;
          break;
        }
      }
      from = keep + 1;
    } else {
      // Back to the previous tab stop, at most one tab.
      int column = e.BufferToDisplay({x, y}).Column - 1;
      int stop = std::max(0, (column - 1) / e.TabWidth() * e.TabWidth());
      from = x;
      if (s[from - 2] == '\t') {
        --from;
      } else {
        while (from > 1 && s[from - 2] == ' ' &&
               e.BufferToDisplay({from - 1, y}).Column - 1 >= stop)
          --from;
      }
    }
  }
  DeleteRange(c, {from, y}, {x, y}, ckDeleteQuiet);
  e.SetCaretPos({from, y});
}

void DeleteChar(TSynCommandContext& c) {
  TCustomSynEdit& e = c.Editor();
  int y = e.CaretLine();
  int x = e.CaretChar();
  if (y > e.Lines().Count()) return;
  int len = e.LineLength(y);
  if (x <= len) {
    DeleteRange(c, {x, y}, {x + 1, y}, ckDeleteAfterCaretQuiet);
    e.SetCaretPos({x, y});
    return;
  }
  if (y >= e.Lines().Count()) return;
  // Joining the next line: it starts where the caret stands.
  FillGapToCaret(c, false);
  DeleteRange(c, {x, y}, {1, y + 1}, ckDeleteAfterCaretQuiet);
  e.SetCaretPos({x, y});
}

// The deletion commands inside their undo step.
void DeleteInStep(TSynCommandContext& c, TSynEditorCommand command) {
  TCustomSynEdit& e = c.Editor();
  if (e.HasSelection() && (command == ecDeleteLastChar || command == ecDeleteChar)) {
    c.RecordSelectionDeletion();
    e.SetSelTextPrimitive(e.SelectionMode(), std::string_view());
    return;
  }
  if (e.Lines().Count() == 0) return;
  const TBufferCoord caret = e.CaretPos();
  const int y = caret.Line;
  const int len = e.LineLength(y);
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
        std::string_view s = e.Lines().GetView(y - 1);
        end = e.WordEnd(start);
        if (end.Char == start.Char) {
          if (start.Char > len) {
            if (y < e.Lines().Count()) end = {1, y + 1};
          } else if (s[start.Char - 1] != ' ') {
            ++end.Char;
          }
        }
        std::string_view t = e.Lines().GetView(end.Line - 1);
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
      DeleteRange(c, start, end, ckDeleteAfterCaretQuiet);
      e.SetCaretPos(caret);
      break;
    }
    case ecDeleteLastWord:
    case ecDeleteBOL: {
      TBufferCoord start = command == ecDeleteBOL ? TBufferCoord{1, y} : e.PrevWordPos(caret);
      TBufferCoord end{std::min(caret.Char, len + 1), y};
      if (!(start < end)) {
        if (start < caret) e.SetCaretPos(start);
        break;
      }
      DeleteRange(c, start, end, ckDeleteQuiet);
      e.SetCaretPos(start);
      break;
    }
    case ecDeleteLine: {
      int count = e.Lines().Count();
      if (count == 1 && len == 0) break;
      e.SetCaretPos(caret);  // a selection collapses first
      std::string s = e.Lines().Get(y - 1);
      if (count == 1) {
        e.UndoList().RecordChange(ckDeleteAfterCaret, {1, 1}, {len + 1, 1}, s, smNormal);
        e.Lines().Put(0, std::string());
      } else if (y < count) {
        e.UndoList().RecordChange(ckDeleteAfterCaret, {1, y}, {1, y + 1}, s + "\r\n", smNormal);
        e.Lines().Delete(y - 1);
      } else {
        // The last line goes with the line end before it, so redo leaves
        // no empty line behind.
        int prevLen = e.LineLength(y - 1);
        e.UndoList().RecordChange(ckDeleteAfterCaret, {prevLen + 1, y - 1}, {len + 1, y},
                                  "\r\n" + s, smNormal);
        e.Lines().Delete(y - 1);
      }
      e.SetCaretPos({1, std::min(y, e.Lines().Count())});
      break;
    }
    default:
      break;
  }
}

}  // namespace

bool DeleteCommand(TSynCommandContext& c, TSynEditorCommand command, char aChar, void* data) {
  TCustomSynEdit& e = c.Editor();
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
  if (e.ReadOnly()) return true;
  bool transient = command == ecDeleteLastChar || command == ecDeleteChar;
  if (transient) e.DoOnPaintTransient(ttBefore);
  {
    auto step = e.EditStep();
    DeleteInStep(c, command);
  }
  e.EnsureCaretVisible();
  if (transient) e.DoOnPaintTransient(ttAfter);
  return true;
}

}  // namespace ludra
