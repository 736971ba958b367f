// What the components ask of the control, in one place: the editing component's host
// (caret moves and the paint lock), the const view the painter and word
// wrap read, and the host of the mark list.
#include "editor/SynEditComponentHost.h"

#include "editor/SynEditMarks.h"
#include "editor/SynEditWordWrap.h"

namespace ludra {

TCustomSynEdit::TComponentHost::TComponentHost(TCustomSynEdit& editor) : e_(editor) {}

void TCustomSynEdit::TComponentHost::MoveCaret(const TBufferCoord& pos, bool show) {
  e_.InternalSetCaretPos(pos, show);
}
void TCustomSynEdit::TComponentHost::SetCaretAndSelection(const TBufferCoord& caret,
                                                          const TBufferCoord& from,
                                                          const TBufferCoord& to) {
  e_.SetCaretAndSelection(caret, from, to);
}
void TCustomSynEdit::TComponentHost::LimitCaretAndSelection() { e_.LimitCaretAndSelection(); }
void TCustomSynEdit::TComponentHost::EnsureCaretVisible() { e_.EnsureCaretVisible(); }
void TCustomSynEdit::TComponentHost::BeginPaintLock() { e_.BeginPaintLock(); }
void TCustomSynEdit::TComponentHost::EndPaintLock() { e_.EndPaintLock(); }

bool TCustomSynEdit::TComponentHost::ReadOnly() const { return e_.ReadOnly(); }

void TCustomSynEdit::TComponentHost::ShowOccurrence(const TBufferCoord& start,
                                                    const TBufferCoord& end, bool backwards) {
  // One notice for the whole move; the detour over the line start scrolls
  // the occurrence into view from the left.
  auto lock = e_.LockPaint();
  e_.SetSelFrom(start);
  e_.InternalSetCaretPos({1, start.Line}, false);
  e_.EnsureCaretVisible(true);
  e_.SetSelTo(end);
  e_.InternalSetCaretPos(end);
  if (backwards) e_.InternalSetCaretPos(e_.SelFirst());
}

void TCustomSynEdit::TComponentHost::SetSelTo(const TBufferCoord& pos) { e_.SetSelTo(pos); }

TSynReplaceAction TCustomSynEdit::TComponentHost::AskReplace(const std::string& aSearch,
                                                             const std::string& aReplace, int line,
                                                             int column) {
  return e_.OnReplaceText ? e_.DoOnReplaceText(aSearch, aReplace, line, column) : raReplace;
}

void TCustomSynEdit::TComponentHost::PaintTransient(TTransientType type) {
  e_.DoOnPaintTransient(type);
}

const TSynEditStringList& TCustomSynEdit::TComponentHost::Lines() const { return *e_.lines_; }
const TSynCaretSelection& TCustomSynEdit::TComponentHost::Caret() const { return e_.caret_; }
const TSynViewport& TCustomSynEdit::TComponentHost::View() const { return e_.view_; }
TSynEditorOptions TCustomSynEdit::TComponentHost::Options() const { return e_.options_; }
int TCustomSynEdit::TComponentHost::TabWidth() const { return e_.tabWidth_; }
bool TCustomSynEdit::TComponentHost::IsIdentChar(char c) const { return e_.IsIdentChar(c); }
TColor TCustomSynEdit::TComponentHost::ActiveLineColor() const { return e_.activeLineColor_; }
TSynCustomHighlighter* TCustomSynEdit::TComponentHost::Highlighter() const {
  return e_.highlighter_;
}
const TSynEditMarkList& TCustomSynEdit::TComponentHost::Marks() const { return *e_.marks_; }
const TSynBookMarkOpt& TCustomSynEdit::TComponentHost::BookMarkOptions() const {
  return *e_.bookMarkOptions_;
}
const std::vector<TSynGlyph>* TCustomSynEdit::TComponentHost::BookmarkImages() const {
  return e_.bookmarkImages_;
}
const TSynWordWrapPlugin* TCustomSynEdit::TComponentHost::WordWrap() const {
  return e_.wordWrap_.get();
}
const TSynWrapGlyph& TCustomSynEdit::TComponentHost::WordWrapGlyph() const {
  return *e_.wordWrapGlyph_;
}
TSynScanPoints& TCustomSynEdit::TComponentHost::ScanPoints() const { return *e_.scanPoints_; }
std::string TCustomSynEdit::TComponentHost::ExpandedLine(int index) const {
  return e_.lines_->ExpandedLine(index);
}
int TCustomSynEdit::TComponentHost::ExpandedLineLength(int index) const {
  return e_.lines_->ExpandedLineLength(index);
}
TDisplayCoord TCustomSynEdit::TComponentHost::BufferToColumns(const TBufferCoord& pos) const {
  return e_.BufferToColumns(pos);
}
bool TCustomSynEdit::TComponentHost::Focused() const { return e_.Focused(); }

void TCustomSynEdit::TComponentHost::SpecialLineColors(int line, bool& special, TColor& fg,
                                                       TColor& bg) const {
  e_.DoOnSpecialLineColors(line, special, fg, bg);
}

void TCustomSynEdit::TComponentHost::InvalidateGutterLines(int first, int last) {
  e_.InvalidateGutterLines(first, last);
}
int TCustomSynEdit::TComponentHost::LineCount() const { return e_.lines_->Count(); }

}  // namespace ludra
