// Caret moves with and without selection, word positions, scrolling and
// bracket matching.
#include <algorithm>
#include <cstring>
#include <vector>

#include "base/SynCodePage.h"
#include "editor/SynEditCommandsInternal.h"
#include "editor/SynEditComponentHost.h"
#include "highlight/SynEditHighlighter.h"

namespace ludra {

namespace {

// Digits, letters and the underscore of the code page in use.
TSynCharSet DefaultIdentChars() {
  static const TSynCharSet breaks = SynCharSet("!\"'()*+,-./:;=?[\\]^{|}");
  return CodePage().IdentChars() & ~breaks;
}

}  // namespace

// --- Word positions ---------------------------------------------------------------

bool TCustomSynEdit::IsIdentChar(char c) const {
  auto b = static_cast<unsigned char>(c);
  if (highlighter_) return highlighter_->IdentifierChars()[b] && !highlighter_->WordBreakChars()[b];
  return DefaultIdentChars()[b];
}

TBufferCoord TCustomSynEdit::WordStart(const TBufferCoord& pos) const {
  if (pos.Line < 1 || pos.Line > lines_->Count()) return pos;
  std::string_view s = lines_->GetView(pos.Line - 1);
  int x = std::max(1, std::min(pos.Char, static_cast<int>(s.size()) + 1));
  if (x > 1 && IsIdentChar(s[x - 2]))
    while (x > 1 && IsIdentChar(s[x - 2])) --x;
  return {x, pos.Line};
}

TBufferCoord TCustomSynEdit::WordEnd(const TBufferCoord& pos) const {
  if (pos.Line < 1 || pos.Line > lines_->Count()) return pos;
  std::string_view s = lines_->GetView(pos.Line - 1);
  int len = static_cast<int>(s.size());
  int x = std::max(1, std::min(pos.Char, len + 1));
  while (x <= len && IsIdentChar(s[x - 1])) ++x;
  return {x, pos.Line};
}

TBufferCoord TCustomSynEdit::NextWordPos(const TBufferCoord& pos) const {
  int y = pos.Line;
  if (y < 1 || y > lines_->Count()) return pos;
  std::string_view s = lines_->GetView(y - 1);
  int len = static_cast<int>(s.size());
  int x = pos.Char;
  if (x < len) {
    if (IsIdentChar(s[x - 1]))
      while (x <= len && IsIdentChar(s[x - 1])) ++x;
    while (x <= len && !IsIdentChar(s[x - 1])) ++x;
    return {x, y};
  }
  if (y >= lines_->Count()) return pos;
  std::string_view next = lines_->GetView(y);
  int n = static_cast<int>(next.size());
  int i = 1;
  while (i <= n && !IsIdentChar(next[i - 1])) ++i;
  return {i > n ? 1 : i, y + 1};
}

TBufferCoord TCustomSynEdit::PrevWordPos(const TBufferCoord& pos) const {
  int y = pos.Line;
  if (y < 1 || y > lines_->Count()) return pos;
  std::string_view s = lines_->GetView(y - 1);
  int x = std::max(1, std::min(pos.Char, static_cast<int>(s.size()) + 1));
  auto endOfPrevious = [&]() -> TBufferCoord {
    if (y == 1) return {1, 1};
    return {static_cast<int>(lines_->GetView(y - 2).size()) + 1, y - 1};
  };
  if (x == 1) return y == 1 ? TBufferCoord{1, 1} : endOfPrevious();
  int i = x - 1;  // the character before the caret, 1-based
  if (!IsIdentChar(s[i - 1])) {
    while (i >= 1 && !IsIdentChar(s[i - 1])) --i;
    if (i == 0) return endOfPrevious();
  }
  while (i >= 1 && IsIdentChar(s[i - 1])) --i;
  return {i + 1, y};
}

std::string TCustomSynEdit::WordAt(const TBufferCoord& pos) const {
  if (pos.Line < 1 || pos.Line > lines_->Count()) return {};
  TBufferCoord a = WordStart(pos);
  TBufferCoord b = WordEnd(pos);
  if (b.Char <= a.Char) return {};
  return std::string(lines_->GetView(pos.Line - 1).substr(a.Char - 1, b.Char - a.Char));
}

// --- Bracket matching ------------------------------------------------------------------

TBufferCoord TCustomSynEdit::GetMatchingBracket(const TBufferCoord& pos) const {
  static constexpr char pairs[] = "()[]{}<>";
  const TBufferCoord none{0, 0};
  int y = pos.Line;
  if (y < 1 || y > lines_->Count()) return none;
  std::string_view line = lines_->GetView(y - 1);
  if (pos.Char < 1 || pos.Char > static_cast<int>(line.size())) return none;
  char bracket = line[pos.Char - 1];
  const char* p = std::strchr(pairs, bracket);
  if (bracket == '\0' || p == nullptr) return none;
  int index = static_cast<int>(p - pairs);
  bool forward = index % 2 == 0;
  char partner = forward ? pairs[index + 1] : pairs[index - 1];

  // Brackets inside strings and comments do not count. Each line is scanned
  // from the end state stored for the line before it.
  TSynCustomHighlighter* hl = highlighter_;
  TSynHighlighterAttributes* stringAttr = hl ? hl->DefaultAttribute(3) : nullptr;
  TSynHighlighterAttributes* commentAttr = hl ? hl->DefaultAttribute(0) : nullptr;
  // Marks the bytes of line i (0-based) that lie in strings or comments.
  std::vector<char> skip;
  auto scanLine = [&](int i) {
    std::string_view text = lines_->GetView(i);
    skip.assign(text.size(), 0);
    if (!hl) return;
    hl->SetRangeState(LineStartState(i));
    hl->StartLine(text, i);
    while (!hl->AtLineEnd()) {
      TSynHighlighterAttributes* a = hl->TokenAttribute();
      if (a != nullptr && (a == stringAttr || a == commentAttr)) {
        int start = hl->TokenStart();
        int n = static_cast<int>(hl->TokenText().size());
        for (int k = start; k < start + n && k < static_cast<int>(skip.size()); ++k) skip[k] = 1;
      }
      hl->NextToken();
    }
  };

  int depth = 1;
  if (forward) {
    int from = pos.Char;  // 0-based index just after the bracket
    for (int i = y - 1; i < lines_->Count(); ++i) {
      scanLine(i);
      std::string_view text = lines_->GetView(i);
      for (int k = from; k < static_cast<int>(text.size()); ++k) {
        if (skip[k]) continue;
        if (text[k] == bracket)
          ++depth;
        else if (text[k] == partner && --depth == 0)
          return {k + 1, i + 1};
      }
      from = 0;
    }
  } else {
    int from = pos.Char - 2;  // 0-based index just before the bracket
    for (int i = y - 1; i >= 0; --i) {
      scanLine(i);
      std::string_view text = lines_->GetView(i);
      if (i < y - 1) from = static_cast<int>(text.size()) - 1;
      for (int k = from; k >= 0; --k) {
        if (skip[k]) continue;
        if (text[k] == bracket)
          ++depth;
        else if (text[k] == partner && --depth == 0)
          return {k + 1, i + 1};
      }
    }
  }
  return none;
}

void TCustomSynEdit::FindMatchingBracket() {
  TBufferCoord p = GetMatchingBracket(CaretPos());
  if (p.Char > 0) InternalSetCaretPos(p);
}

// --- Caret moves -------------------------------------------------------------------------

void MoveCaretAndSelection(TSynCommandContext& c, const TBufferCoord& before,
                           const TBufferCoord& after, bool select) {
  // Typing after a move starts a new undo group.
  if (c.Options().Contains(eoGroupUndo) && c.Edit().UndoList().HasItems()) c.Edit().BreakGroup();
  auto lock = c.LockPaint();
  if (select) {
    if (!c.Caret().HasSelection()) c.SetSelFrom(before);
    c.InternalSetCaretPos(after);
    TBufferCoord to = c.Caret().CaretPos();
    if (c.Caret().Mode == smColumn && to.Char == c.Caret().SelFrom.Char &&
        to.Line != c.Caret().SelFrom.Line)
      ++to.Char;  // a zero-width column block is shown one column wide
    c.SetSelTo(to);
  } else {
    c.InternalSetCaretPos(after);
    c.SetSelFrom(c.Caret().CaretPos());
  }
}

void MoveCaretHorz(TSynCommandContext& c, int dx, bool select) {
  if (c.WrapCaretStep(dx)) return;
  TBufferCoord from = c.Caret().CaretPos();
  TBufferCoord to = from;
  int len = c.Edit().LineLength(from.Line);
  bool wrapLines = !c.Options().Contains(eoScrollPastEol);
  if (wrapLines && dx == -1 && from.Char == 1 && from.Line > 1) {
    to = {c.Edit().LineLength(from.Line - 1) + 1, from.Line - 1};
  } else if (wrapLines && dx == 1 && from.Char > len && from.Line < c.Edit().Lines().Count()) {
    to = {1, from.Line + 1};
  } else {
    to.Char = std::max(1, from.Char + dx);
    if (dx > 0 && wrapLines) to.Char = std::min(to.Char, len + 1);
  }
  MoveCaretAndSelection(c, from, to, select);
  c.WrapCaretMoved(dx);
}

void MoveCaretVert(TSynCommandContext& c, int dy, bool select) {
  TDisplayCoord from = c.DisplayCaretPos();
  TDisplayCoord to = from;
  to.Row = std::max(1, std::min(to.Row + dy, c.DisplayRowCount()));  // rows when wrapping
  if (to.Row != from.Row && c.Options().Contains(eoKeepCaretX))
    to.Column = c.Caret().LastCaretColumn;
  // The column to keep survives the move.
  int keep = c.Caret().LastCaretColumn;
  MoveCaretAndSelection(c, c.Caret().CaretPos(), c.DisplayToBuffer(to), select);
  c.KeepCaretColumn(keep);
}

bool CaretCommand(TSynCommandContext& c, TSynEditorCommand command, char aChar, void* data) {
  (void)aChar;
  bool select = command >= ecSelLeft && command <= ecSelGotoXY;
  TSynEditorCommand move = select ? command - ecSelection : command;
  if (move < ecLeft || move > ecGotoXY) return false;
  const TBufferCoord caret = c.Caret().CaretPos();
  auto moveTo = [&](const TBufferCoord& p) { MoveCaretAndSelection(c, caret, p, select); };
  int page = c.View().VisibleRows;
  if (c.Options().Contains(eoHalfPageScroll)) page /= 2;
  if (c.Options().Contains(eoScrollByOneLess)) --page;
  switch (move) {
    case ecLeft:
      MoveCaretHorz(c, -1, select);
      break;
    case ecRight:
      MoveCaretHorz(c, 1, select);
      break;
    case ecUp:
      MoveCaretVert(c, -1, select);
      break;
    case ecDown:
      MoveCaretVert(c, 1, select);
      break;
    case ecWordLeft:
      moveTo(c.PrevWordPos(caret));
      break;
    case ecWordRight:
      moveTo(c.NextWordPos(caret));
      break;
    case ecLineStart: {
      if (c.WrappedLineStartEnd(false, select)) break;
      int target = 1;
      if (c.Options().Contains(eoEnhanceHomeKey)) {
        std::string_view s = caret.Line <= c.Edit().Lines().Count()
                                 ? c.Edit().Lines().GetView(caret.Line - 1)
                                 : std::string_view();
        int f = 1;
        while (f <= static_cast<int>(s.size()) && (s[f - 1] == ' ' || s[f - 1] == '\t')) ++f;
        // Home alternates between the first non-blank character and 1.
        target = caret.Char > 1 && caret.Char <= f ? 1 : f;
      }
      moveTo({target, caret.Line});
      break;
    }
    case ecLineEnd:
      if (c.WrappedLineStartEnd(true, select)) break;
      moveTo({c.Edit().LineLength(caret.Line) + 1, caret.Line});
      break;
    case ecPageUp:
    case ecPageDown: {
      int counter = move == ecPageUp ? -page : page;
      c.SetTopRow(c.View().TopRow + counter);
      MoveCaretVert(c, counter, select);
      break;
    }
    case ecPageLeft:
      MoveCaretHorz(c, -c.View().VisibleColumns, select);
      break;
    case ecPageRight:
      MoveCaretHorz(c, c.View().VisibleColumns, select);
      break;
    case ecPageTop:
    case ecPageBottom: {
      TDisplayCoord d = c.DisplayCaretPos();
      d.Row = move == ecPageTop ? c.View().TopRow : c.View().TopRow + c.View().VisibleRows + 1;
      d.Row = std::max(1, std::min(d.Row, c.DisplayRowCount()));
      moveTo(c.DisplayToBuffer(d));
      break;
    }
    case ecEditorTop:
      moveTo({1, 1});
      break;
    case ecEditorBottom: {
      int count = c.Edit().Lines().Count();
      moveTo(count == 0 ? TBufferCoord{1, 1} : TBufferCoord{c.Edit().LineLength(count) + 1, count});
      break;
    }
    case ecGotoXY:
      if (data) moveTo(*static_cast<const TBufferCoord*>(data));
      break;
    default:
      break;
  }
  return true;
}

bool ViewCommand(TSynCommandContext& c, TSynEditorCommand command, char aChar, void* data) {
  (void)aChar;
  (void)data;
  switch (command) {
    case ecScrollUp:
    case ecScrollDown: {
      int y = c.Caret().CaretLine;
      int last = c.View().TopRow + c.View().VisibleRows - 1;
      if (y < c.View().TopRow || y > last) {
        c.EnsureCaretVisible();
        return true;
      }
      c.SetTopRow(c.View().TopRow + (command == ecScrollUp ? -1 : 1));
      last = c.View().TopRow + c.View().VisibleRows - 1;
      if (y > last)
        MoveCaretVert(c, last - y, false);
      else if (y < c.View().TopRow)
        MoveCaretVert(c, c.View().TopRow - y, false);
      c.EnsureCaretVisible();
      return true;
    }
    case ecScrollLeft:
      c.SetFirstVisibleColumn(c.View().FirstVisibleColumn - 1);
      return true;
    case ecScrollRight:
      c.SetFirstVisibleColumn(c.View().FirstVisibleColumn + 1);
      return true;
    case ecMatchBracket:
      c.FindMatchingBracket();
      return true;
    default:
      return false;
  }
}

}  // namespace ludra
