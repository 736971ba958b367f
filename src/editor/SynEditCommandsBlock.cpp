// Block indent and unindent, and the case commands.
#include <algorithm>

#include "base/SynCodePage.h"
#include "editor/SynEditCommandsInternal.h"

namespace ludra {

namespace {

// The last line of a block: a selection ending at character 1 leaves its
// last line out.
int BlockEndLine(const TBufferCoord& first, const TBufferCoord& last) {
  return last.Char == 1 && last.Line > first.Line ? last.Line - 1 : last.Line;
}

}  // namespace

void DoBlockIndent(TSynCommandContext& c) {
  TCustomSynEdit& e = c.Editor();
  if (e.ReadOnly() || !e.HasSelection()) return;
  const TBufferCoord oldFrom = e.SelFrom(), oldTo = e.SelTo();
  const TBufferCoord first = e.SelFirst(), last = e.SelLast();
  const TBufferCoord caret = e.CaretPos();
  const TSynSelectionMode mode = e.SelectionMode();
  const int endLine = BlockEndLine(first, last);
  const bool spaces = e.Options().Contains(eoTabsToSpaces);
  const std::string unit = spaces ? std::string(e.TabWidth(), ' ') : std::string("\t");
  const int unitLen = static_cast<int>(unit.size());
  const int column = mode == smColumn ? std::min(oldFrom.Char, oldTo.Char) : 1;
  std::string block;
  block.reserve(static_cast<size_t>(endLine - first.Line + 1) * (unit.size() + 2));
  for (int l = first.Line; l <= endLine; ++l) {
    if (l > first.Line) block += "\r\n";
    block += unit;
  }
  auto step = e.EditStep();
  e.UndoList().RecordChange(ckIndent, first, last, std::string(), mode);
  c.SetSelectionBounds({column, first.Line}, {column, first.Line});
  e.InternalSetCaretPos({column, first.Line}, false);
  e.SetSelTextPrimitive(smColumn, block, true, ckInsert);
  auto shifted = [&](TBufferCoord p, bool isLast) {
    if (!isLast || p.Char > 1) p.Char += unitLen;
    return p;
  };
  TBufferCoord newFirst = shifted(first, false), newLast = shifted(last, true);
  bool fromIsFirst = oldFrom == first;
  TBufferCoord newCaret{last.Char == 1 ? 1 : caret.Char + unitLen, caret.Line};
  e.SetCaretAndSelection(newCaret, fromIsFirst ? newFirst : newLast,
                         fromIsFirst ? newLast : newFirst);
  e.UndoList().RecordChange(ckIndent, e.SelFirst(), e.SelLast(), std::string(), mode);
}

void DoBlockUnindent(TSynCommandContext& c) {
  TCustomSynEdit& e = c.Editor();
  if (e.ReadOnly() || !e.HasSelection()) return;
  const TBufferCoord oldFrom = e.SelFrom(), oldTo = e.SelTo();
  const TBufferCoord first = e.SelFirst(), last = e.SelLast();
  const TBufferCoord caret = e.CaretPos();
  const TSynSelectionMode mode = e.SelectionMode();
  const int endLine = BlockEndLine(first, last);
  const int tabWidth = e.TabWidth();
  const int column = mode == smColumn ? std::min(oldFrom.Char, oldTo.Char) : 1;
  std::vector<int> removed(endLine - first.Line + 1, 0);
  std::string text;
  bool any = false;
  for (int l = first.Line; l <= endLine; ++l) {
    std::string_view s = e.Lines().GetView(l - 1);
    std::string_view rest =
        s.size() >= static_cast<size_t>(column - 1) ? s.substr(column - 1) : std::string_view();
    int n = 0;
    if (!rest.empty() && rest[0] == '\t') {
      n = 1;
    } else {
      while (n < tabWidth && n < static_cast<int>(rest.size()) && rest[n] == ' ') ++n;
      if (n < tabWidth && n < static_cast<int>(rest.size()) && rest[n] == '\t') ++n;
    }
    removed[l - first.Line] = n;
    if (l > first.Line) text += "\r\n";
    text += rest.substr(0, n);
    any = any || n > 0;
  }
  if (!any) return;
  auto step = e.EditStep();
  {
    auto update = e.Lines().Updating();
    for (int l = first.Line; l <= endLine; ++l) {
      int n = removed[l - first.Line];
      if (n == 0) continue;
      std::string s = e.Lines().Get(l - 1);
      s.erase(column - 1, n);
      e.Lines().Put(l - 1, s);  // stored as it is: no trimming
    }
  }
  e.UndoList().RecordChange(ckUnindent, first, last, text, mode);
  TBufferCoord newFirst = first, newLast = last;
  if (mode != smColumn) {
    newFirst.Char = std::max(1, first.Char - removed.front());
    if (last.Line <= endLine) newLast.Char = std::max(1, last.Char - removed.back());
  }
  TBufferCoord newCaret = caret;
  if (caret.Line >= first.Line && caret.Line <= endLine && caret.Char > 1)
    newCaret.Char = std::max(1, caret.Char - removed[caret.Line - first.Line]);
  bool fromIsFirst = oldFrom == first;
  e.SetCaretAndSelection(newCaret, fromIsFirst ? newFirst : newLast,
                         fromIsFirst ? newLast : newFirst);
}

namespace {

std::string ConvertCase(TSynEditorCommand command, std::string_view text) {
  const TCodePage& page = CodePage();
  std::string result(text);
  switch (command) {
    case ecUpperCase:
    case ecUpperCaseBlock:
      return page.UpperCase(text);
    case ecLowerCase:
    case ecLowerCaseBlock:
      return page.LowerCase(text);
    case ecToggleCase:
    case ecToggleCaseBlock:
      for (char& c : result) {
        auto b = static_cast<unsigned char>(c);
        c = static_cast<char>(page.IsUpper(b) ? page.LowerCase(b) : page.UpperCase(b));
      }
      return result;
    case ecTitleCase:
      result = page.LowerCase(text);
      if (!result.empty())
        result[0] = static_cast<char>(page.UpperCase(static_cast<unsigned char>(result[0])));
      return result;
    default:
      return result;
  }
}

// Replaces the selection with its converted text. The selection and the caret
// from before the command are recorded first, so undo ends on them.
void ReplaceConverted(TSynCommandContext& c, TSynEditorCommand command, const TBufferCoord& caret,
                      const TBufferCoord& oldFirst, const TBufferCoord& oldLast) {
  TCustomSynEdit& e = c.Editor();
  std::string text = e.SelectedText();
  std::string converted = ConvertCase(command, text);
  if (converted == text) return;
  e.UndoList().RecordChange(ckSelection, oldFirst, oldLast, std::string(), e.SelectionMode());
  e.UndoList().RecordChange(ckCaret, caret, caret, std::string(), e.SelectionMode());
  e.SetSelectedText(converted);
}

void DoCaseChange(TSynCommandContext& c, TSynEditorCommand command) {
  TCustomSynEdit& e = c.Editor();
  const TBufferCoord caret = e.CaretPos();
  const TBufferCoord oldFrom = e.SelFrom(), oldTo = e.SelTo();
  const TBufferCoord oldFirst = e.SelFirst(), oldLast = e.SelLast();
  const bool block = command >= ecUpperCaseBlock;
  const bool hadSelection = e.HasSelection();
  if (!block) {
    // The word at the caret, else the word before it, tried twice.
    TBufferCoord p = caret;
    TBufferCoord a = e.WordStart(p), b = e.WordEnd(p);
    for (int attempt = 0; attempt < 2 && !(a < b); ++attempt) {
      p = e.PrevWordPos(p);
      a = e.WordStart(p);
      b = e.WordEnd(p);
    }
    if (!(a < b)) return;
    TSynSelectionMode mode = e.SelectionMode();
    e.SetSelectionMode(smNormal);
    e.SetCaretAndSelection(caret, a, b);
    ReplaceConverted(c, command, caret, oldFirst, oldLast);
    e.SetSelectionMode(mode);
    e.SetCaretPos(caret);
    return;
  }
  if (!hadSelection) {
    int len = static_cast<int>(e.LineAtCaret().size());
    if (caret.Char > len) {
      if (caret.Line < e.Lines().Count()) e.SetCaretPos({1, caret.Line + 1});
      return;
    }
    TSynSelectionMode mode = e.SelectionMode();
    e.SetSelectionMode(smNormal);
    e.SetCaretAndSelection(caret, caret, {caret.Char + 1, caret.Line});
    ReplaceConverted(c, command, caret, oldFirst, oldLast);
    e.SetCaretPos({caret.Char + 1, caret.Line});
    e.SetSelectionMode(mode);
    return;
  }
  ReplaceConverted(c, command, caret, oldFirst, oldLast);
  e.SetCaretAndSelection(caret, oldFrom, oldTo);
}

}  // namespace

bool BlockCommand(TSynCommandContext& c, TSynEditorCommand command, char aChar, void* data) {
  TCustomSynEdit& e = c.Editor();
  (void)aChar;
  (void)data;
  switch (command) {
    case ecBlockIndent:
      DoBlockIndent(c);
      return true;
    case ecBlockUnindent:
      DoBlockUnindent(c);
      return true;
    case ecUpperCase:
    case ecLowerCase:
    case ecToggleCase:
    case ecTitleCase:
    case ecUpperCaseBlock:
    case ecLowerCaseBlock:
    case ecToggleCaseBlock:
      if (!e.ReadOnly()) {
        auto step = e.EditStep();
        DoCaseChange(c, command);
      }
      return true;
    default:
      return false;
  }
}

}  // namespace ludra
