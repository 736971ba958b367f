// Painting on the control's side: the paint request, the font cell and the
// settings that only change what is shown; the painter draws.
#include <algorithm>
#include <stdexcept>

#include "editor/SynEditComponentHost.h"
#include "editor/SynEditPainter.h"
#include "editor/SynEditWordWrap.h"

namespace ludra {

// --- Settings that only change what is shown ----------------------------------------

const TSynFont& TCustomSynEdit::Font() const { return painter_->Font; }
TColor TCustomSynEdit::Color() const { return painter_->Color; }
TSynGutter& TCustomSynEdit::Gutter() { return *painter_->Gutter; }
TSynSelectedColor& TCustomSynEdit::SelectedColor() { return *painter_->SelectedColor; }
TheTextDrawer& TCustomSynEdit::TextDrawer() { return *painter_->TextDrawer; }
int TCustomSynEdit::RightEdge() const { return painter_->RightEdge; }
TColor TCustomSynEdit::RightEdgeColor() const { return painter_->RightEdgeColor; }
bool TCustomSynEdit::HideSelection() const { return painter_->HideSelection; }
TColor TCustomSynEdit::ScrollHintColor() const { return painter_->ScrollHintColor; }
void TCustomSynEdit::SetScrollHintColor(TColor value) { painter_->ScrollHintColor = value; }
TSynScrollHintFormat TCustomSynEdit::ScrollHintFormat() const { return painter_->ScrollHintFormat; }
void TCustomSynEdit::SetScrollHintFormat(TSynScrollHintFormat value) {
  painter_->ScrollHintFormat = value;
}

void TCustomSynEdit::SetFont(const TSynFont& value) {
  if (value == painter_->Font) return;
  painter_->Font = value;
  FontChanged();
  // Line numbers are sized by the editor's cell.
  if (painter_->Gutter->ShowLineNumbers()) GutterChanged();
}

void TCustomSynEdit::SetColor(TColor value) {
  if (value == painter_->Color) return;
  painter_->Color = value;
  InvalidateAll();
}

void TCustomSynEdit::SetRightEdge(int value) {
  if (value == painter_->RightEdge) return;
  painter_->RightEdge = value;
  InvalidateAll();
}

void TCustomSynEdit::SetRightEdgeColor(TColor value) {
  if (value == painter_->RightEdgeColor) return;
  painter_->RightEdgeColor = value;
  if (!HandleAllocated()) return;
  int x = painter_->RightEdge * view_.CellWidth + TextOrigin();
  InvalidateRect({x - 1, 0, x + 1, ClientHeight()});
}

void TCustomSynEdit::SetHideSelection(bool value) {
  if (value == painter_->HideSelection) return;
  painter_->HideSelection = value;
  InvalidateSelection();
}

std::string TCustomSynEdit::ScrollHintText() const {
  if (painter_->ScrollHintFormat == shfTopLineOnly) return Format("Top Line: %d", view_.TopRow);
  int bottom = view_.TopRow + std::min(view_.VisibleRows, lines_->Count() - view_.TopRow);
  return std::to_string(view_.TopRow) + " - " + std::to_string(bottom);
}

void TCustomSynEdit::GutterChanged() {
  painter_->Gutter->UpdateDigitCount(lines_->Count());
  int width = painter_->Gutter->RealGutterWidth(view_.CellWidth);
  if (width == view_.GutterPixels)
    InvalidateGutterLines(-1, -1);
  else
    SetGutterPixels(width);
}

void TCustomSynEdit::MeasureCellSize(TSynCanvas& canvas, int& cellWidth, int& cellHeight,
                                     bool deferStyles) {
  painter_->MeasureCellSize(canvas, cellWidth, cellHeight, deferStyles);
}

bool TCustomSynEdit::CellMeasurePending() const { return !painter_->PendingStyles.empty(); }

void TCustomSynEdit::MeasurePendingStyles(TSynCanvas& canvas) {
  int w = 0, h = 0;
  painter_->MeasureCellSize(canvas, w, h);
  // The view's own rule decides whether the cell moved.
  const int oldWidth = view_.CellWidth, oldHeight = view_.RowHeight;
  view_.SetCell(w, h);
  if (view_.CellWidth != oldWidth || view_.RowHeight != oldHeight) CellChanged(w, h);
}

void TCustomSynEdit::PaintGutter(TSynCanvas& canvas, const TRect& clip, int firstRow, int lastRow) {
  painter_->PaintGutter(canvas, clip, firstRow, lastRow, view_);
}

void TCustomSynEdit::PaintTextLines(TSynCanvas& canvas, const TRect& clip, int firstRow,
                                    int lastRow, int firstColumn, int lastColumn) {
  painter_->PaintTextLines(canvas, clip, firstRow, lastRow, firstColumn, lastColumn, view_);
}

void TCustomSynEdit::DoOnSpecialLineColors(int line, bool& special, TColor& fg, TColor& bg) {
  if (OnSpecialLineColors) OnSpecialLineColors(this, line, special, fg, bg);
}

void TCustomSynEdit::Paint(TSynCanvas& canvas, const TRect& clip) {
  // The bold and italic cells are needed once there is text to draw; an
  // empty editor paints without loading those faces.
  if (CellMeasurePending() &&
      (lines_->Count() > 1 || (lines_->Count() == 1 && !lines_->GetView(0).empty())))
    MeasurePendingStyles(canvas);
  FlushPendingScan();  // the painter starts each line from its stored state
  const int cw = std::max(view_.CellWidth, 1), rh = std::max(view_.RowHeight, 1);
  const int textLeft = view_.GutterPixels + 2;
  int firstColumn = clip.Left > textLeft ? view_.FirstVisibleColumn + (clip.Left - textLeft) / cw
                                         : view_.FirstVisibleColumn;
  int lastColumn =
      view_.FirstVisibleColumn + std::max(clip.Right + cw - view_.GutterPixels - 3, 0) / cw;
  int rowCount = std::max(lines_->Count(), 1);
  int firstRow = std::max(clip.Top / rh + view_.TopRow, view_.TopRow);
  int lastRow = std::min(std::max((clip.Bottom + rh - 1) / rh + view_.TopRow, 1), rowCount);
  {
    auto drawing = Bracket([&] { painter_->TextDrawer->BeginDrawing(&canvas); },
                           [this] { painter_->TextDrawer->EndDrawing(); });
    if (wordWrap_) {
      painter_->PaintWrapped(canvas, clip);
    } else {
      if (clip.Left < view_.GutterPixels) PaintGutter(canvas, clip, firstRow, lastRow);
      if (clip.Right > view_.GutterPixels)
        PaintTextLines(canvas, clip, firstRow, lastRow, firstColumn, lastColumn);
    }
  }
  UpdateCaret();
}

void TCustomSynEdit::SetBookmarkImages(const std::vector<TSynGlyph>* value) {
  if (value == bookmarkImages_) return;
  bookmarkImages_ = value;
  InvalidateGutterLines(-1, -1);
}

}  // namespace ludra
