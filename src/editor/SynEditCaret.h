#pragma once
// The caret and the selection: where the caret stands, the display column
// vertical moves keep, the two ends of the selection and its mode, and the
// rules that need nothing but them. Limits that depend on the text and the
// options are the editor's.
#include <stdexcept>

#include "base/SynEditTypes.h"

namespace ludra {

struct TSynCaretSelection {
  int CaretChar = 1;
  int CaretLine = 1;
  int LastCaretColumn = 1;
  TBufferCoord SelFrom;
  TBufferCoord SelTo;
  TSynSelectionMode Mode = smNormal;

  TBufferCoord CaretPos() const { return {CaretChar, CaretLine}; }
  TBufferCoord First() const { return SelTo < SelFrom ? SelTo : SelFrom; }
  TBufferCoord Last() const { return SelTo < SelFrom ? SelFrom : SelTo; }
  // A column block without width selects nothing, whatever its height.
  bool HasSelection() const {
    return SelFrom.Char != SelTo.Char || (SelFrom.Line != SelTo.Line && Mode != smColumn);
  }
  // An empty selection at the caret.
  void Collapse() { SelFrom = SelTo = CaretPos(); }
  // Whether a position lies inside the selection as the mode draws it.
  bool Contains(const TBufferCoord& p) const {
    TBufferCoord first = First(), last = Last();
    if (!HasSelection() || p.Line < first.Line || p.Line > last.Line) return false;
    switch (Mode) {
      case smLine:
        return true;
      case smColumn: {
        int a = first.Char < last.Char ? first.Char : last.Char;
        int b = first.Char < last.Char ? last.Char : first.Char;
        return p.Char >= a && p.Char < b;
      }
      default:
        return p >= first && p < last;
    }
  }
  // Within a text of lastLine lines (at least 1): throws std::logic_error.
  void Check(int lastLine) const {
    auto fail = [](const char* what) { throw std::logic_error(what); };
    if (CaretLine < 1 || CaretLine > lastLine) fail("caret line outside the buffer");
    if (CaretChar < 1) fail("caret character below 1");
    for (TBufferCoord p : {SelFrom, SelTo})
      if (p.Line < 1 || p.Line > lastLine || p.Char < 1) fail("selection end outside the buffer");
  }
};

}  // namespace ludra
