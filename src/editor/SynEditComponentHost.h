#pragma once
// The control's side of its components' interfaces (SynEditComponentHost.cpp), and the
// components' headers; only the control's own files include this.
#include "buffer/SynEditUndo.h"
#include "editor/SynEdit.h"
#include "editor/SynEditEditing.h"
#include "editor/SynEditMarks.h"
#include "editor/SynEditMiscClasses.h"
#include "editor/SynEditMouseState.h"
#include "editor/SynEditPainter.h"
#include "editor/SynEditScanPoints.h"
#include "editor/SynEditSearchReplace.h"
#include "editor/SynEditView.h"
#include "editor/SynEditWordWrap.h"
#include "editor/SynTextDrawer.h"

namespace ludra {

class TCustomSynEdit::TComponentHost final : public TSynEditing::THost,
                                             public TSynEditView,
                                             public TSynMarkHost,
                                             public TSynSearchReplace::THost {
 public:
  explicit TComponentHost(TCustomSynEdit& editor);

  // The editing component's host.
  void MoveCaret(const TBufferCoord& pos, bool show) override;
  void SetCaretAndSelection(const TBufferCoord& caret, const TBufferCoord& from,
                            const TBufferCoord& to) override;
  void LimitCaretAndSelection() override;
  void EnsureCaretVisible() override;
  void BeginPaintLock() override;
  void EndPaintLock() override;

  // Search and replace's host.
  bool ReadOnly() const override;
  void ShowOccurrence(const TBufferCoord& start, const TBufferCoord& end, bool backwards) override;
  void SetSelTo(const TBufferCoord& pos) override;
  TSynReplaceAction AskReplace(const std::string& aSearch, const std::string& aReplace, int line,
                               int column) override;
  void PaintTransient(TTransientType type) override;

  // The view.
  const TSynEditStringList& Lines() const override;
  const TSynCaretSelection& Caret() const override;
  const TSynViewport& View() const override;
  TSynEditorOptions Options() const override;
  int TabWidth() const override;
  bool IsIdentChar(char c) const override;
  TColor ActiveLineColor() const override;
  TSynCustomHighlighter* Highlighter() const override;
  const TSynEditMarkList& Marks() const override;
  const TSynBookMarkOpt& BookMarkOptions() const override;
  const std::vector<TSynGlyph>* BookmarkImages() const override;
  const TSynWordWrapPlugin* WordWrap() const override;
  const TSynWrapGlyph& WordWrapGlyph() const override;
  TSynScanPoints& ScanPoints() const override;
  std::string ExpandedLine(int index) const override;
  int ExpandedLineLength(int index) const override;
  TDisplayCoord BufferToColumns(const TBufferCoord& pos) const override;
  bool Focused() const override;
  void SpecialLineColors(int line, bool& special, TColor& fg, TColor& bg) const override;

  // The marks' host.
  void InvalidateGutterLines(int first, int last) override;
  int LineCount() const override;

 private:
  TCustomSynEdit& e_;
};

}  // namespace ludra
