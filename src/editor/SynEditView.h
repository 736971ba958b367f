#pragma once
// The const view of the control that the painter and word wrap read: the
// text, the caret and selection, the viewport, the options, the marks and
// the wrap table, with the events the painter raises while it draws. The
// caches are the one thing a reader changes: the scan points (highlighter
// states and tab columns of long lines) and the buffer's tab expansion.
#include <string>
#include <vector>

#include "base/SynColor.h"
#include "editor/SynEditCaret.h"
#include "editor/SynEditOptions.h"
#include "editor/SynEditViewport.h"

namespace ludra {

class TSynCustomHighlighter;
class TSynEditMarkList;
class TSynEditStringList;
class TSynScanPoints;
class TSynWordWrapPlugin;
class TSynWrapGlyph;
struct TSynBookMarkOpt;
struct TSynGlyph;

class TSynEditView {
 public:
  virtual const TSynEditStringList& Lines() const = 0;
  virtual const TSynCaretSelection& Caret() const = 0;
  virtual const TSynViewport& View() const = 0;
  virtual TSynEditorOptions Options() const = 0;
  virtual int TabWidth() const = 0;
  virtual bool IsIdentChar(char c) const = 0;
  virtual TColor ActiveLineColor() const = 0;
  virtual TSynCustomHighlighter* Highlighter() const = 0;
  virtual const TSynEditMarkList& Marks() const = 0;
  virtual const TSynBookMarkOpt& BookMarkOptions() const = 0;
  // The application's mark images, or nullptr.
  virtual const std::vector<TSynGlyph>* BookmarkImages() const = 0;
  // The wrap table, or nullptr without word wrap.
  virtual const TSynWordWrapPlugin* WordWrap() const = 0;
  virtual const TSynWrapGlyph& WordWrapGlyph() const = 0;
  virtual TSynScanPoints& ScanPoints() const = 0;
  // A line with its tabs expanded, and its length so (which also finds out
  // whether the line has tabs); the buffer caches both.
  virtual std::string ExpandedLine(int index) const = 0;
  virtual int ExpandedLineLength(int index) const = 0;
  // The display position of a buffer position on its line, unwrapped.
  virtual TDisplayCoord BufferToColumns(const TBufferCoord& pos) const = 0;
  virtual bool Focused() const = 0;

  // The events of painting: colours of a special line, a gutter row's text,
  // a gutter row painted (x after the row's mark images).
  virtual void SpecialLineColors(int line, bool& special, TColor& fg, TColor& bg) const = 0;

 protected:
  ~TSynEditView() = default;
};

}  // namespace ludra
