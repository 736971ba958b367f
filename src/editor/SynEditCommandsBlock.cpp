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
  if (c.ReadOnly() || !c.Caret().HasSelection()) return;
  const TBufferCoord oldFrom = c.Caret().SelFrom, oldTo = c.Caret().SelTo;
  const TBufferCoord first = c.Caret().First(), last = c.Caret().Last();
  const TBufferCoord caret = c.Caret().CaretPos();
  const TSynSelectionMode mode = c.Caret().Mode;
  const int endLine = BlockEndLine(first, last);
  const bool spaces = c.Options().Contains(eoTabsToSpaces);
  const std::string unit = spaces ? std::string(c.TabWidth(), ' ') : std::string("\t");
  const int unitLen = static_cast<int>(unit.size());
  const int column = mode == smColumn ? std::min(oldFrom.Char, oldTo.Char) : 1;
  std::string block;
  block.reserve(static_cast<size_t>(endLine - first.Line + 1) * (unit.size() + 2));
  for (int l = first.Line; l <= endLine; ++l) {
    if (l > first.Line) block += "\r\n";
    block += unit;
  }
  auto step = c.Edit().EditStep();
  c.Edit().MarkStep(ckIndent, first, last, mode);
  c.InternalSetCaretPos({column, first.Line}, false);
  c.Edit().Insert(c.Caret().CaretPos(), block, ckInsert, smColumn);
  auto shifted = [&](TBufferCoord p, bool isLast) {
    if (!isLast || p.Char > 1) p.Char += unitLen;
    return p;
  };
  TBufferCoord newFirst = shifted(first, false), newLast = shifted(last, true);
  bool fromIsFirst = oldFrom == first;
  TBufferCoord newCaret{last.Char == 1 ? 1 : caret.Char + unitLen, caret.Line};
  c.SetCaretAndSelection(newCaret, fromIsFirst ? newFirst : newLast,
                         fromIsFirst ? newLast : newFirst);
  c.Edit().MarkStep(ckIndent, c.Caret().First(), c.Caret().Last(), mode);
}

void DoBlockUnindent(TSynCommandContext& c) {
  if (c.ReadOnly() || !c.Caret().HasSelection()) return;
  const TBufferCoord oldFrom = c.Caret().SelFrom, oldTo = c.Caret().SelTo;
  const TBufferCoord first = c.Caret().First(), last = c.Caret().Last();
  const TBufferCoord caret = c.Caret().CaretPos();
  const TSynSelectionMode mode = c.Caret().Mode;
  const int endLine = BlockEndLine(first, last);
  const int column = mode == smColumn ? std::min(oldFrom.Char, oldTo.Char) : 1;
  std::vector<int> removed = c.Edit().Unindent(first, last, mode, column, endLine);
  if (removed.empty()) return;
  TBufferCoord newFirst = first, newLast = last;
  if (mode != smColumn) {
    newFirst.Char = std::max(1, first.Char - removed.front());
    if (last.Line <= endLine) newLast.Char = std::max(1, last.Char - removed.back());
  }
  TBufferCoord newCaret = caret;
  if (caret.Line >= first.Line && caret.Line <= endLine && caret.Char > 1)
    newCaret.Char = std::max(1, caret.Char - removed[caret.Line - first.Line]);
  bool fromIsFirst = oldFrom == first;
  c.SetCaretAndSelection(newCaret, fromIsFirst ? newFirst : newLast,
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
  std::string text = c.Edit().SelectedText(!c.Options().Contains(eoTrimTrailingSpaces));
  std::string converted = ConvertCase(command, text);
  if (converted == text) return;
  c.Edit().MarkStep(ckSelection, oldFirst, oldLast, c.Caret().Mode);
  c.Edit().MarkStep(ckCaret, caret, caret, c.Caret().Mode);
  c.Edit().SetSelectedText(converted);
}

void DoCaseChange(TSynCommandContext& c, TSynEditorCommand command) {
  const TBufferCoord caret = c.Caret().CaretPos();
  const TBufferCoord oldFrom = c.Caret().SelFrom, oldTo = c.Caret().SelTo;
  const TBufferCoord oldFirst = c.Caret().First(), oldLast = c.Caret().Last();
  const bool block = command >= ecUpperCaseBlock;
  const bool hadSelection = c.Caret().HasSelection();
  if (!block) {
    // The word at the caret, else the word before it, tried twice.
    TBufferCoord p = caret;
    TBufferCoord a = c.WordStart(p), b = c.WordEnd(p);
    for (int attempt = 0; attempt < 2 && !(a < b); ++attempt) {
      p = c.PrevWordPos(p);
      a = c.WordStart(p);
      b = c.WordEnd(p);
    }
    if (!(a < b)) return;
    TSynSelectionMode mode = c.Caret().Mode;
    c.SetSelectionMode(smNormal);
    c.SetCaretAndSelection(caret, a, b);
    ReplaceConverted(c, command, caret, oldFirst, oldLast);
    c.SetSelectionMode(mode);
    c.SetCaretPos(caret);
    return;
  }
  if (!hadSelection) {
    int len = c.Edit().LineLength(caret.Line);
    if (caret.Char > len) {
      if (caret.Line < c.Edit().Lines().Count()) c.SetCaretPos({1, caret.Line + 1});
      return;
    }
    TSynSelectionMode mode = c.Caret().Mode;
    c.SetSelectionMode(smNormal);
    c.SetCaretAndSelection(caret, caret, {caret.Char + 1, caret.Line});
    ReplaceConverted(c, command, caret, oldFirst, oldLast);
    c.SetCaretPos({caret.Char + 1, caret.Line});
    c.SetSelectionMode(mode);
    return;
  }
  ReplaceConverted(c, command, caret, oldFirst, oldLast);
  c.SetCaretAndSelection(caret, oldFrom, oldTo);
}

}  // namespace

bool BlockCommand(TSynCommandContext& c, TSynEditorCommand command, char aChar, void* data) {
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
      if (!c.ReadOnly()) {
        auto step = c.Edit().EditStep();
        DoCaseChange(c, command);
      }
      return true;
    default:
      return false;
  }
}

}  // namespace ludra
