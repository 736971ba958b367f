// Painting: the paint request, the gutter, the font cell and the settings
// that only change what is shown.
#include <algorithm>

#include "editor/SynEdit.h"
#include "highlight/SynEditHighlighter.h"

namespace ludra {

std::unique_ptr<TSynGutter> TCustomSynEdit::MakeGutter() {
  auto gutter = std::make_unique<TSynGutter>();
  gutter->OnChange = [this](TSynGutter*) { GutterChanged(); };
  return gutter;
}

std::unique_ptr<TSynSelectedColor> TCustomSynEdit::MakeSelectedColor() {
  auto colors = std::make_unique<TSynSelectedColor>();
  colors->OnChange = [this](TSynSelectedColor*) { InvalidateSelection(); };
  return colors;
}

void TCustomSynEdit::SetFont(const TSynFont& value) {
  if (value == font_) return;
  font_ = value;
  FontChanged();
  // Line numbers are sized by the editor's cell.
  if (gutter_->ShowLineNumbers()) GutterChanged();
}

void TCustomSynEdit::SetColor(TColor value) {
  if (value == color_) return;
  color_ = value;
  InvalidateAll();
}

void TCustomSynEdit::SetRightEdge(int value) {
  if (value == rightEdge_) return;
  rightEdge_ = value;
  InvalidateAll();
}

void TCustomSynEdit::SetRightEdgeColor(TColor value) {
  if (value == rightEdgeColor_) return;
  rightEdgeColor_ = value;
  if (!HandleAllocated()) return;
  int x = rightEdge_ * view_.CellWidth + TextOrigin();
  InvalidateRect({x - 1, 0, x + 1, ClientHeight()});
}

void TCustomSynEdit::SetHideSelection(bool value) {
  if (value == hideSelection_) return;
  hideSelection_ = value;
  InvalidateSelection();
}

std::string TCustomSynEdit::ScrollHintText() const {
  if (scrollHintFormat_ == shfTopLineOnly) return Format("Top Line: %d", view_.TopRow);
  int bottom = view_.TopRow + std::min(view_.VisibleRows, lines_->Count() - view_.TopRow);
  return std::to_string(view_.TopRow) + " - " + std::to_string(bottom);
}

void TCustomSynEdit::GutterChanged() {
  gutter_->UpdateDigitCount(lines_->Count());
  int width = gutter_->RealGutterWidth(view_.CellWidth);
  if (width == view_.GutterPixels)
    InvalidateGutterLines(-1, -1);
  else
    SetGutterPixels(width);
}

void TCustomSynEdit::MeasureCellSize(TSynCanvas& canvas, int& cellWidth, int& cellHeight) {
  textDrawer_->SetBaseFont(&font_);
  const TFontStyles shape{fsBold, fsItalic};
  // Every token is drawn with the font's own style added to its attribute's.
  std::vector<TFontStyles> styles{font_.Style * shape};
  if (highlighter_)
    for (int i = 0; i < highlighter_->AttributeCount(); ++i) {
      TFontStyles s = (highlighter_->AttributeAt(i)->Style() + font_.Style) * shape;
      if (std::find(styles.begin(), styles.end(), s) == styles.end()) styles.push_back(s);
    }
  cellWidth = cellHeight = 0;
  TFontStyles widest = styles.front();
  for (TFontStyles s : styles) {
    TSynCellSize cell = textDrawer_->Measure(canvas, s);
    if (cell.Width > cellWidth) {
      cellWidth = cell.Width;
      widest = s;
    }
    cellHeight = std::max(cellHeight, cell.Height);
  }
  textDrawer_->SetBaseStyle(widest);
}

void TCustomSynEdit::DoOnSpecialLineColors(int line, bool& special, TColor& fg, TColor& bg) {
  if (OnSpecialLineColors) OnSpecialLineColors(this, line, special, fg, bg);
}

void TCustomSynEdit::DoOnPaint(TSynCanvas& canvas) {
  if (!OnPaint) return;
  canvas.SetFont(font_);
  OnPaint(this, canvas);
}

void TCustomSynEdit::Paint(TSynCanvas& canvas, const TRect& clip) {
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
    auto drawing =
        Bracket([&] { textDrawer_->BeginDrawing(&canvas); }, [this] { textDrawer_->EndDrawing(); });
    if (wordWrap_) {
      PaintWrapped(canvas, clip);
    } else {
      if (clip.Left < view_.GutterPixels) PaintGutter(canvas, clip, firstRow, lastRow);
      if (clip.Right > view_.GutterPixels)
        PaintTextLines(canvas, clip, firstRow, lastRow, firstColumn, lastColumn);
    }
    DoOnPaint(canvas);
    if (OnPaintTransient) {
      canvas.SetFont(font_);
      OnPaintTransient(this, canvas, ttAfter);
    }
  }
  UpdateCaret();
}

void TCustomSynEdit::PaintGutter(TSynCanvas& canvas, const TRect& clip, int firstRow, int lastRow) {
  const TSynGutter& g = *gutter_;
  const int rh = view_.RowHeight;
  // The border lines own the last pixels of the gutter.
  const int rowRight = view_.GutterPixels - (g.BorderStyle() == gbsMiddle  ? 2
                                             : g.BorderStyle() == gbsRight ? 1
                                                                           : 0);
  const int lastLine = std::min(lastRow, std::max(lines_->Count(), 1));
  if (g.ShowLineNumbers()) {
    TSynFont f = g.Font();
    if (!g.UseFontStyle()) {
      f = font_;
      f.Style = {};
    }
    TheTextDrawer& d = *textDrawer_;
    TFontStyles editorBaseStyle = d.BaseStyle();
    d.SetBaseFont(&f);
    d.SetBaseStyle(f.Style);
    d.SetStyle(f.Style);
    d.SetCharExtra(0);
    d.SetForeColor(g.UseFontStyle() ? g.Font().Color : font_.Color);
    d.SetBackColor(g.Color());
    for (int row = firstRow; row <= lastLine; ++row) {
      int y = (row - view_.TopRow) * rh;
      TRect rc{clip.Left, y, std::max(rowRight, clip.Left), y + rh};
      std::string text = g.FormatLineNumber(row);
      if (OnGutterGetText) OnGutterGetText(this, row, text);
      int width = static_cast<int>(text.size()) * d.CellWidth();
      int x = view_.GutterPixels - g.RightOffset() - width - 2;
      d.ExtTextOut(x, y + (rh - d.CellHeight()) / 2, rc, text);
    }
    int below = (std::max(lastLine, firstRow - 1) + 1 - view_.TopRow) * rh;
    if (below < clip.Bottom) canvas.FillRect({clip.Left, below, rowRight, clip.Bottom}, g.Color());
    d.SetBaseFont(&font_);
    d.SetBaseStyle(editorBaseStyle);
  } else {
    canvas.FillRect({clip.Left, clip.Top, std::min(clip.Right, rowRight), clip.Bottom}, g.Color());
  }
  if (g.BorderStyle() != gbsNone && clip.Right >= view_.GutterPixels - 2) {
    if (g.BorderStyle() == gbsMiddle) {
      canvas.DrawLine(view_.GutterPixels - 2, clip.Top, view_.GutterPixels - 2, clip.Bottom,
                      color_);
      canvas.DrawLine(view_.GutterPixels - 1, clip.Top, view_.GutterPixels - 1, clip.Bottom,
                      g.Color());
    } else {
      canvas.DrawLine(view_.GutterPixels - 1, clip.Top, view_.GutterPixels - 1, clip.Bottom,
                      color_);
    }
  }
  std::vector<int> rowOffsets(static_cast<size_t>(std::max(lastLine - firstRow + 1, 0)), 0);
  PaintGutterMarks(canvas, clip, firstRow, lastLine, rowOffsets);
  if (OnGutterPaint)
    for (int row = firstRow; row <= lastLine; ++row)
      OnGutterPaint(this, row, rowOffsets[row - firstRow], (row - view_.TopRow) * rh);
}

}  // namespace ludra
