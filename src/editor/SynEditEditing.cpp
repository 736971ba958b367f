#include "editor/SynEditEditing.h"

#include <algorithm>
#include <stdexcept>

#include "buffer/SynEditTextBuffer.h"

namespace ludra {

namespace {

// Splits at CR LF, CR or LF; a line end at the very end gives a final empty
// piece.
std::vector<std::string_view> SplitPieces(std::string_view text) {
  std::vector<std::string_view> pieces;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c != '\r' && c != '\n') continue;
    pieces.push_back(text.substr(start, i - start));
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  pieces.push_back(text.substr(start));
  return pieces;
}

}  // namespace

TSynEditing::TSynEditing(TSynEditStringList& lines, TSynCaretSelection& caret,
                         TSynEditorOptions& options, const int& tabWidth, THost& host)
    : lines_(lines), caret_(caret), options_(options), tabWidth_(tabWidth), host_(host) {}

TSynEditing::~TSynEditing() = default;

int TSynEditing::LineLength(int line) const {
  if (line < 1 || line > lines_.Count()) return 0;
  return static_cast<int>(lines_.GetView(line - 1).size());
}

int TSynEditing::LeadingWhitespaceCount(std::string_view line, bool expandTabs) const {
  if (!options_.Contains(eoAutoIndent)) return 0;
  int count = 0;
  for (char c : line) {
    auto b = static_cast<unsigned char>(c);
    if (b < 1 || b > 32) break;
    count += c == '\t' && expandTabs ? tabWidth_ : 1;
  }
  return count;
}

std::string TSynEditing::IndentationString(int width) const {
  width = std::max(width, 0);
  if (options_.Contains(eoTabsToSpaces) || width < tabWidth_) return std::string(width, ' ');
  return std::string(width / tabWidth_, '\t') + std::string(width % tabWidth_, ' ');
}

void TSynEditing::StoreLine(int index, const std::string& text) {
  if (options_.Contains(eoTrimTrailingSpaces) && replaying_ == 0 && !keepBlanks_) {
    size_t n = text.size();
    while (n > 0 && (text[n - 1] == ' ' || text[n - 1] == '\t')) --n;
    if (n < text.size()) {
      // Trimmed blanks are recorded as their own deletion, so undo can put
      // back blanks that were in the line before the edit.
      if (undoBlockDepth_ > 0 && !undoList_->IsLocked())
        pendingTrims_.push_back({{static_cast<int>(n) + 1, index + 1},
                                 {static_cast<int>(text.size()) + 1, index + 1},
                                 text.substr(n)});
      lines_.Put(index, text.substr(0, n));
      return;
    }
  }
  lines_.Put(index, text);
}

void TSynEditing::JoinLines(int index, int count, const std::string& text, bool store) {
  if (count > 0) lines_.DeleteLines(index, count);
  if (store)
    StoreLine(index, text);
  else
    lines_.Put(index, text);
}

std::string TSynEditing::SelectedText(bool withPadding) const {
  if (!caret_.HasSelection()) return {};
  return TextOf(caret_.SelFrom, caret_.SelTo, caret_.Mode, withPadding);
}

std::string TSynEditing::TextOf(const TBufferCoord& from, const TBufferCoord& to,
                                TSynSelectionMode mode, bool withPadding) const {
  TBufferCoord first = std::min(from, to);
  TBufferCoord last = std::max(from, to);
  auto line = [this](int l) { return lines_.GetView(l - 1); };
  std::string result;
  switch (mode) {
    case smNormal: {
      std::string_view s = line(first.Line);
      size_t start = std::min<size_t>(first.Char - 1, s.size());
      if (first.Line == last.Line) {
        size_t end = std::min<size_t>(last.Char - 1, s.size());
        if (end > start) result = s.substr(start, end - start);
        break;
      }
      result = s.substr(start);
      for (int l = first.Line + 1; l < last.Line; ++l) {
        result += "\r\n";
        result += line(l);
      }
      std::string_view e = line(last.Line);
      result += "\r\n";
      result += e.substr(0, std::min<size_t>(last.Char - 1, e.size()));
      break;
    }
    case smLine:
      for (int l = first.Line; l <= last.Line; ++l) {
        result += line(l);
        if (l < lines_.Count()) result += "\r\n";
      }
      break;
    case smColumn: {
      int c1 = std::min(from.Char, to.Char);
      int c2 = std::max(from.Char, to.Char);
      for (int l = first.Line; l <= last.Line; ++l) {
        std::string_view s = line(l);
        size_t start = c1 - 1;
        size_t taken = 0;
        if (start < s.size()) {
          taken = std::min<size_t>(c2 - 1, s.size()) - start;
          result += s.substr(start, taken);
        }
        if (withPadding) result.append(c2 - c1 - taken, ' ');
        if (l < last.Line) result += "\r\n";
      }
      break;
    }
  }
  return result;
}

void TSynEditing::DeleteText(const TBufferCoord& from, const TBufferCoord& to,
                             TSynSelectionMode mode, bool storeJoined) {
  TBufferCoord first = std::min(from, to);
  TBufferCoord last = std::max(from, to);
  if (lines_.Count() == 0) return;
  switch (mode) {
    case smNormal: {
      std::string s1 = lines_.Get(first.Line - 1);
      std::string_view s2 = lines_.GetView(last.Line - 1);
      std::string joined = s1.substr(0, std::min<size_t>(first.Char - 1, s1.size()));
      joined += s2.substr(std::min<size_t>(last.Char - 1, s2.size()));
      JoinLines(first.Line - 1, last.Line - first.Line, joined, storeJoined);
      MoveCaret(first);
      break;
    }
    case smLine:
      if (last.Line >= lines_.Count()) {
        // The last line of the buffer stays, emptied.
        lines_.DeleteLines(first.Line - 1, last.Line - first.Line);
        lines_.Put(first.Line - 1, std::string());
      } else {
        lines_.DeleteLines(first.Line - 1, last.Line - first.Line + 1);
      }
      MoveCaret({1, first.Line});
      break;
    case smColumn: {
      int c1 = std::min(from.Char, to.Char);
      int c2 = std::max(from.Char, to.Char);
      for (int l = first.Line; l <= last.Line && l <= lines_.Count(); ++l) {
        std::string s = lines_.Get(l - 1);
        size_t start = c1 - 1;
        if (start >= s.size()) continue;
        s.erase(start, std::min<size_t>(c2 - 1, s.size()) - start);
        StoreLine(l - 1, s);
      }
      // The caret keeps the row of the moving end, at the block's left edge.
      MoveCaret({c1, to.Line});
      break;
    }
  }
  caret_.Collapse();
  // Blanks trimmed by the deletion are recorded before anything is inserted.
  FlushTrimRecords();
}

TSynEditing::TInsertedRange TSynEditing::InsertNormal(const TBufferCoord& at,
                                                      std::string_view value) {
  if (lines_.Count() == 0) lines_.Add(std::string());
  int x = at.Char;
  int y = std::max(1, std::min(at.Line, lines_.Count()));
  if (value.find_first_of("\r\n") == std::string_view::npos) {
    // Within one line (typing): the line is stored once, without pieces.
    std::string s = lines_.Get(y - 1);
    int len = static_cast<int>(s.size());
    if (x - 1 > len) s.append(x - 1 - len, ' ');
    s.insert(static_cast<size_t>(x - 1), value);
    TBufferCoord end{x + static_cast<int>(value.size()), y};
    StoreLine(y - 1, s);
    MoveCaret(end);
    return {{std::min(x, len + 1), y}, end};
  }
  std::vector<std::string_view> pieces = SplitPieces(value);
  std::string s = lines_.Get(y - 1);
  int len = static_cast<int>(s.size());
  std::string head = s.substr(0, std::min(x - 1, len));
  head.append(std::max(0, x - 1 - len), ' ');
  std::string tail = s.substr(std::min(x - 1, len));
  TBufferCoord start{std::min(x, len + 1), y};
  TBufferCoord end;
  int n = static_cast<int>(pieces.size());
  if (n == 1) {
    std::string text = head;
    text += pieces[0];
    end = {static_cast<int>(text.size()) + 1, y};
    StoreLine(y - 1, text + tail);
  } else {
    // At character 1 the caret line's text, and its marks, move down to the
    // last line written; elsewhere the new lines follow the caret line.
    int firstNew = x == 1 ? y - 1 : y;
    lines_.InsertLines(firstNew, n - 1);
    for (int i = 0; i < n; ++i) {
      // Lines made by InsertLines claim a scanned range; these are not scanned.
      if (y - 1 + i >= firstNew && y - 1 + i < firstNew + n - 1)
        lines_.SetLineRange(y - 1 + i, NullRange);
      std::string text = i == 0 ? head : std::string();
      text += pieces[i];
      if (i == n - 1) text += tail;
      StoreLine(y - 1 + i, text);
    }
    end = {static_cast<int>(pieces[n - 1].size()) + 1, y + n - 1};
  }
  // The caret ends after the inserted text even where trimming took the
  // typed blanks away.
  MoveCaret(end);
  return {start, end};
}

TSynEditing::TInsertedRange TSynEditing::InsertByLines(const TBufferCoord& at,
                                                       std::string_view value) {
  std::vector<std::string_view> pieces = SplitPieces(value);
  int y = std::max(1, std::min(at.Line, lines_.Count() + 1));
  TBufferCoord start{1, y};
  int complete = static_cast<int>(pieces.size()) - 1;
  if (complete > 0) {
    lines_.InsertLines(y - 1, complete);
    for (int i = 0; i < complete; ++i) {
      lines_.SetLineRange(y - 1 + i, NullRange);
      lines_.Put(y - 1 + i, std::string(pieces[i]));
    }
    y += complete;
  }
  std::string final(pieces.back());
  int finalLength = static_cast<int>(final.size());
  if (y > lines_.Count())
    StoreLine(lines_.Count(), final);
  else
    StoreLine(y - 1, final + lines_.Get(y - 1));
  TBufferCoord end{finalLength + 1, y};
  MoveCaret(end);
  return {start, end};
}

TSynEditing::TInsertedRange TSynEditing::InsertColumn(const TBufferCoord& at,
                                                      std::string_view value,
                                                      TSynChangeKind pieceKind) {
  std::vector<std::string_view> pieces = SplitPieces(value);
  int index = at.Char;
  int y = at.Line;
  int n = static_cast<int>(pieces.size());
  for (int i = 0; i < n; ++i) {
    int line = y + i;
    std::string_view piece = pieces[i];
    TBufferCoord start;
    TBufferCoord end;
    if (line > lines_.Count()) {
      // A new last line; recorded as the insertion of a line end and the
      // line's text, so redo does not depend on auto-indent.
      int count = lines_.Count();
      start = count > 0 ? TBufferCoord{LineLength(count) + 1, count} : TBufferCoord{1, 1};
      std::string text(index - 1, ' ');
      text += piece;
      end = {static_cast<int>(text.size()) + 1, count + 1};
      StoreLine(count, text);
    } else {
      if (piece.empty()) continue;
      std::string s = lines_.Get(line - 1);
      int len = static_cast<int>(s.size());
      if (len < index - 1) {
        start = {len + 1, line};
        s.append(index - 1 - len, ' ');
        s += piece;
      } else {
        start = {index, line};
        s.insert(index - 1, piece);
      }
      end = {index + static_cast<int>(piece.size()), line};
      StoreLine(line - 1, s);
    }
    if (pieceKind != ckNothing) {
      Record(pieceKind, start, end, std::string(), smNormal);
      FlushTrimRecords();
    }
  }
  TBufferCoord end{index + static_cast<int>(pieces.back().size()), y + n - 1};
  MoveCaret(end);
  return {{index, y}, end};
}

TSynEditing::TInsertedRange TSynEditing::Change(const TBufferCoord& from, const TBufferCoord& to,
                                                TSynSelectionMode mode, std::string_view text,
                                                TSynSelectionMode insertMode,
                                                TSynChangeKind deleteKind,
                                                TSynChangeKind insertKind) {
  auto lock = LockPaint();
  // The selection collapses onto the caret once the buffer has caught up.
  auto collapse = TBracket([this] { caret_.Collapse(); });
  auto update = lines_.Updating();
  TBufferCoord at = from;
  TSynCaretSelection range{.SelFrom = from, .SelTo = to, .Mode = mode};
  if (range.HasSelection()) {
    if (deleteKind != ckNothing)
      Record(deleteKind, range.First(), range.Last(), TextOf(from, to, mode, false), mode);
    // A joined line goes through the trimming rule where the caret can
    // have left blanks past the line end, and when Backspace joins lines.
    bool store = options_.Contains(eoTrimTrailingSpaces) &&
                 (options_.Contains(eoScrollPastEol) ||
                  (deleteKind == ckDeleteQuiet && from.Line != to.Line));
    DeleteText(from, to, mode, store);
    // A replacement goes into the block's top-left corner.
    if (mode == smColumn && !text.empty())
      MoveCaret({std::min(from.Char, to.Char), range.First().Line});
    at = caret_.CaretPos();
  }
  TInsertedRange inserted{at, at};
  if (!text.empty()) {
    auto keep = Preserve(keepBlanks_);
    keepBlanks_ = insertKind == ckWhiteSpaceAdd;
    switch (insertMode) {
      case smNormal:
        inserted = InsertNormal(at, text);
        break;
      case smLine:
        inserted = InsertByLines(at, text);
        break;
      case smColumn:
        inserted = InsertColumn(at, text, insertKind);
        break;
    }
    // Column insertions record their pieces themselves.
    if (insertMode != smColumn && insertKind != ckNothing)
      Record(insertKind, inserted.Start, inserted.End, std::string(), smNormal);
    FlushTrimRecords();
  }
  if (caret_.CaretLine < 1) MoveCaret({caret_.CaretChar, 1});
  return inserted;
}

TSynEditing::TInsertedRange TSynEditing::Insert(const TBufferCoord& at, std::string_view text,
                                                TSynChangeKind kind, TSynSelectionMode mode) {
  return ReplaceRange(at, at, smNormal, text, mode, kind, ckNothing);
}

void TSynEditing::DeleteRange(const TBufferCoord& from, const TBufferCoord& to, TSynChangeKind kind,
                              TSynSelectionMode mode) {
  ReplaceRange(from, to, mode, std::string_view(), smNormal, ckNothing, kind);
}

TSynEditing::TInsertedRange TSynEditing::ReplaceRange(
    const TBufferCoord& from, const TBufferCoord& to, TSynSelectionMode mode, std::string_view text,
    TSynSelectionMode insertMode, TSynChangeKind insertKind, TSynChangeKind deleteKind) {
  // Each change is an undo step of its own unless a larger one is open.
  if (undoBlockDepth_ > 0) return Change(from, to, mode, text, insertMode, deleteKind, insertKind);
  auto block = OpenUndoBlock();
  return Change(from, to, mode, text, insertMode, deleteKind, insertKind);
}

TSynEditing::TInsertedRange TSynEditing::ReplaceSelection(std::string_view text,
                                                          TSynSelectionMode insertMode,
                                                          TSynChangeKind insertKind) {
  bool any = caret_.HasSelection();
  return ReplaceRange(any ? caret_.SelFrom : caret_.CaretPos(),
                      any ? caret_.SelTo : caret_.CaretPos(), caret_.Mode, text, insertMode,
                      insertKind);
}

void TSynEditing::SetSelectedText(std::string_view text) {
  bool any = caret_.HasSelection();
  if (!any && text.empty()) return;
  auto step = EditStep();
  TBufferCoord from = any ? caret_.First() : caret_.CaretPos();
  TBufferCoord to = any ? caret_.Last() : caret_.CaretPos();
  ReplaceRange(from, to, caret_.Mode, text, caret_.Mode, ckInsert);
}

TSynEditing::TInsertedRange TSynEditing::ReplaceSelectionUnrecorded(TSynSelectionMode insertMode,
                                                                    std::string_view text) {
  bool any = caret_.HasSelection();
  return Change(any ? caret_.SelFrom : caret_.CaretPos(), any ? caret_.SelTo : caret_.CaretPos(),
                caret_.Mode, text, insertMode, ckNothing, ckNothing);
}

void TSynEditing::BreakLine(bool insertLine) {
  auto step = EditStep();
  // The selection collapses onto the caret however the break ends.
  auto collapse = TBracket([this] { caret_.Collapse(); });
  auto update = lines_.Updating();
  if (caret_.HasSelection())
    Change(caret_.SelFrom, caret_.SelTo, caret_.Mode, std::string_view(), smNormal, ckDelete,
           ckNothing);
  if (lines_.Count() == 0) lines_.Add(std::string());
  const TBufferCoord pos = caret_.CaretPos();
  const int x = pos.Char;
  const int y = pos.Line;
  const std::string s = lines_.Get(y - 1);
  const int len = static_cast<int>(s.size());
  TBufferCoord caret = pos;
  std::string moved;  // what the new line takes from the old one
  if (len == 0) {
    lines_.Insert(y - 1, std::string());
    if (!insertLine) {
      int width = 0;
      for (int l = y; l >= 1; --l) {
        std::string_view above = lines_.GetView(l - 1);
        if (!above.empty()) {
          width = LeadingWhitespaceCount(above, true);
          break;
        }
      }
      caret = {width + 1, y + 1};
    }
  } else if (x > len) {
    std::string indent;
    if (!insertLine && options_.Contains(eoAutoIndent)) {
      size_t n = 0;
      while (n < s.size() && static_cast<unsigned char>(s[n]) >= 1 &&
             static_cast<unsigned char>(s[n]) <= 32)
        ++n;
      indent = s.substr(0, n);
    }
    // Not through the trimming store: the indentation is the point.
    lines_.Insert(y, indent);
    if (!insertLine) caret = {static_cast<int>(indent.size()) + 1, y + 1};
  } else if (x == 1) {
    lines_.Insert(y - 1, std::string());
    moved = s;
    if (!insertLine) caret = {1, y + 1};
  } else {
    std::string left = s.substr(0, x - 1);
    moved = s.substr(x - 1);
    std::string indent = IndentationString(LeadingWhitespaceCount(left, true));
    StoreLine(y - 1, left);
    lines_.Insert(y, indent + moved);
    if (!insertLine) caret = {static_cast<int>(indent.size()) + 1, y + 1};
  }
  // Undo only needs the break position; an inserted line (the caret
  // stays) is told apart by an end on the next line, so redo repeats the
  // same break.
  TBufferCoord end = insertLine ? TBufferCoord{1, y + 1} : pos;
  Record(ckLineBreak, pos, end, moved, smNormal);
  FlushTrimRecords();
  MoveCaret(caret);
}

std::vector<int> TSynEditing::Unindent(const TBufferCoord& first, const TBufferCoord& last,
                                       TSynSelectionMode mode, int column, int endLine) {
  std::vector<int> removed(endLine - first.Line + 1, 0);
  std::vector<std::string> segments;
  std::string text;
  bool any = false;
  for (int l = first.Line; l <= endLine; ++l) {
    std::string_view s = lines_.GetView(l - 1);
    std::string_view rest =
        s.size() >= static_cast<size_t>(column - 1) ? s.substr(column - 1) : std::string_view();
    int n = 0;
    if (!rest.empty() && rest[0] == '\t') {
      n = 1;
    } else {
      while (n < tabWidth_ && n < static_cast<int>(rest.size()) && rest[n] == ' ') ++n;
      if (n < tabWidth_ && n < static_cast<int>(rest.size()) && rest[n] == '\t') ++n;
    }
    removed[l - first.Line] = n;
    segments.emplace_back(rest.substr(0, n));
    if (l > first.Line) text += "\r\n";
    text += rest.substr(0, n);
    any = any || n > 0;
  }
  if (!any) return {};
  auto step = EditStep();
  RemoveSegments(first.Line, column, segments);
  Record(ckUnindent, first, last, text, mode);
  return removed;
}

void TSynEditing::RemoveSegments(int firstLine, int column,
                                 const std::vector<std::string>& segments) {
  auto update = lines_.Updating();
  for (size_t i = 0; i < segments.size(); ++i) {
    int line = firstLine + static_cast<int>(i);
    if (line > lines_.Count()) break;
    std::string s = lines_.Get(line - 1);
    if (static_cast<size_t>(column - 1) >= s.size() || segments[i].empty()) continue;
    s.erase(column - 1, segments[i].size());
    lines_.Put(line - 1, s);  // stored as it is: no trimming
  }
}

void TSynEditing::MarkStep(TSynChangeKind kind, const TBufferCoord& first, const TBufferCoord& last,
                           TSynSelectionMode mode) {
  Record(kind, first, last, std::string(), mode);
}

void TSynEditing::Record(TSynChangeKind kind, const TBufferCoord& start, const TBufferCoord& end,
                         const std::string& text, TSynSelectionMode mode) {
  undoList_->RecordChange(kind, start, end, text, mode);
}

void TSynEditing::BeginUndoBlock() {
  ++undoBlockDepth_;
  undoList_->OpenBlock();
}

void TSynEditing::EndUndoBlock() {
  if (undoBlockDepth_ <= 0) return;
  if (undoBlockDepth_ == 1) FlushTrimRecords();
  --undoBlockDepth_;
  undoList_->CloseBlock();
}

void TSynEditing::FlushTrimRecords() {
  std::vector<TTrimRecord> trims;
  trims.swap(pendingTrims_);
  for (const TTrimRecord& t : trims)
    Record(ckDeleteAfterCaretQuiet, t.Start, t.End, t.Text, smNormal);
}

void TSynEditing::Check() const {
  auto fail = [](const char* what) { throw std::logic_error(what); };
  if (undoBlockDepth_ < 0 || replaying_ < 0) fail("negative nesting");
  if (undoBlockDepth_ == 0 && !pendingTrims_.empty()) fail("trim records left unrecorded");
  undoList_->Check();
  redoList_->Check();
}

}  // namespace ludra
