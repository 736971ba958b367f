#pragma once
// The painter: the settings that only change what is shown (font, colours,
// right edge, the gutter, the selection colours, the text drawer) and the
// drawing of the text area, the gutter and its marks against the canvas,
// with and without word wrap. It reads the control through a const view and
// paints through a viewport it is given, so a wrapped row is painted as its
// line seen through a viewport of that row's own; what it changes is its
// own, besides the view's scan points it paints from.
#include <memory>
#include <vector>

#include "editor/SynEditMiscClasses.h"
#include "editor/SynEditView.h"
#include "editor/SynTextDrawer.h"

namespace ludra {

class TSynPainter {
 public:
  explicit TSynPainter(const TSynEditView& view);

  TSynFont Font;
  TColor Color = clWindow;
  int RightEdge = 80;
  TColor RightEdgeColor = clSilver;
  bool HideSelection = false;
  TColor ScrollHintColor = clInfoBk;
  TSynScrollHintFormat ScrollHintFormat = shfTopLineOnly;
  std::unique_ptr<TheTextDrawer> TextDrawer = std::make_unique<TheTextDrawer>(TFontStyles{fsBold});
  std::unique_ptr<TSynGutter> Gutter = std::make_unique<TSynGutter>();
  std::unique_ptr<TSynSelectedColor> SelectedColor = std::make_unique<TSynSelectedColor>();

  // Rows firstRow..lastRow (lines without wrap) as the viewport v shows them.
  void PaintTextLines(TSynCanvas& canvas, const TRect& clip, int firstRow, int lastRow,
                      int firstColumn, int lastColumn, const TSynViewport& v);
  void PaintGutter(TSynCanvas& canvas, const TRect& clip, int firstRow, int lastRow,
                   const TSynViewport& v);
  // Each row as its line seen through a window of that row's columns.
  void PaintWrapped(TSynCanvas& canvas, const TRect& clip);
  // With deferStyles, the styles only attributes use are measured now when
  // their cells are already known, else left in PendingStyles: an editor
  // that shows no text never loads its bold or italic face.
  void MeasureCellSize(TSynCanvas& canvas, int& cellWidth, int& cellHeight,
                       bool deferStyles = false);
  std::vector<TFontStyles> PendingStyles;
  // Throws std::logic_error when a part is missing or a paint was left open.
  void Check() const;

 private:
  void PaintGutterMarks(TSynCanvas& canvas, const TRect& clip, int firstRow, int lastRow,
                        std::vector<int>& rowOffsets, const TSynViewport& v);
  const TSynEditView& src_;
};

}  // namespace ludra
