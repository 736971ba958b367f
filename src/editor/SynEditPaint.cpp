// Painting: the paint request, the gutter, the font cell and the settings
// that only change what is shown.
#include <algorithm>
#include <stdexcept>

#include "editor/SynEditPainter.h"
#include "highlight/SynEditHighlighter.h"

namespace ludra {

TCustomSynEdit::TPainter::TPainter(TCustomSynEdit& editor) : e_(editor) {
  Gutter->OnChange = [this](TSynGutter*) { e_.GutterChanged(); };
  SelectedColor->OnChange = [this](TSynSelectedColor*) { e_.InvalidateSelection(); };
}

void TCustomSynEdit::TPainter::Check() const {
  auto fail = [](const char* what) { throw std::logic_error(what); };
  if (!TextDrawer || !Gutter || !SelectedColor) fail("painter part missing");
  if (TextDrawer->Canvas() != nullptr) fail("text drawer left drawing after a paint");
}

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

void TCustomSynEdit::TPainter::MeasureCellSize(TSynCanvas& canvas, int& cellWidth, int& cellHeight,
                                               bool deferStyles) {
  TextDrawer->SetBaseFont(&Font);
  const TFontStyles shape{fsBold, fsItalic};
  // Every token is drawn with the font's own style added to its attribute's.
  std::vector<TFontStyles> styles{Font.Style * shape};
  if (e_.highlighter_)
    for (int i = 0; i < e_.highlighter_->AttributeCount(); ++i) {
      TFontStyles s = (e_.highlighter_->AttributeAt(i)->Style() + Font.Style) * shape;
      if (std::find(styles.begin(), styles.end(), s) == styles.end()) styles.push_back(s);
    }
  PendingStyles.clear();
  if (deferStyles) {
    // The font's own style is always measured; the others when their cells are known.
    auto known = std::stable_partition(styles.begin() + 1, styles.end(),
                                       [this](TFontStyles s) { return TextDrawer->Measured(s); });
    PendingStyles.assign(known, styles.end());
    styles.erase(known, styles.end());
  }
  cellWidth = cellHeight = 0;
  TFontStyles widest = styles.front();
  for (TFontStyles s : styles) {
    TSynCellSize cell = TextDrawer->Measure(canvas, s);
    if (cell.Width > cellWidth) {
      cellWidth = cell.Width;
      widest = s;
    }
    cellHeight = std::max(cellHeight, cell.Height);
  }
  TextDrawer->SetBaseStyle(widest);
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
  painter_->PaintGutter(canvas, clip, firstRow, lastRow);
}

void TCustomSynEdit::PaintTextLines(TSynCanvas& canvas, const TRect& clip, int firstRow,
                                    int lastRow, int firstColumn, int lastColumn) {
  painter_->PaintTextLines(canvas, clip, firstRow, lastRow, firstColumn, lastColumn);
}

void TCustomSynEdit::DoOnSpecialLineColors(int line, bool& special, TColor& fg, TColor& bg) {
  if (OnSpecialLineColors) OnSpecialLineColors(this, line, special, fg, bg);
}

void TCustomSynEdit::DoOnPaint(TSynCanvas& canvas) {
  if (!OnPaint) return;
  canvas.SetFont(painter_->Font);
  OnPaint(this, canvas);
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
    DoOnPaint(canvas);
    if (OnPaintTransient) {
      canvas.SetFont(painter_->Font);
      OnPaintTransient(this, canvas, ttAfter);
    }
  }
  UpdateCaret();
}

void TCustomSynEdit::TPainter::PaintGutter(TSynCanvas& canvas, const TRect& clip, int firstRow,
                                           int lastRow) {
  const TSynGutter& g = *Gutter;
  const int rh = e_.view_.RowHeight;
  // The border lines own the last pixels of the gutter.
  const int rowRight = e_.view_.GutterPixels - (g.BorderStyle() == gbsMiddle  ? 2
                                                : g.BorderStyle() == gbsRight ? 1
                                                                              : 0);
  const int lastLine = std::min(lastRow, std::max(e_.lines_->Count(), 1));
  if (g.ShowLineNumbers()) {
    TSynFont f = g.Font();
    if (!g.UseFontStyle()) {
      f = Font;
      f.Style = {};
    }
    TheTextDrawer& d = *TextDrawer;
    TFontStyles editorBaseStyle = d.BaseStyle();
    d.SetBaseFont(&f);
    d.SetBaseStyle(f.Style);
    d.SetStyle(f.Style);
    d.SetCharExtra(0);
    d.SetForeColor(g.UseFontStyle() ? g.Font().Color : Font.Color);
    d.SetBackColor(g.Color());
    for (int row = firstRow; row <= lastLine; ++row) {
      int y = (row - e_.view_.TopRow) * rh;
      TRect rc{clip.Left, y, std::max(rowRight, clip.Left), y + rh};
      std::string text = g.FormatLineNumber(row);
      if (e_.OnGutterGetText) e_.OnGutterGetText(&e_, row, text);
      int width = static_cast<int>(text.size()) * d.CellWidth();
      int x = e_.view_.GutterPixels - g.RightOffset() - width - 2;
      d.ExtTextOut(x, y + (rh - d.CellHeight()) / 2, rc, text);
    }
    int below = (std::max(lastLine, firstRow - 1) + 1 - e_.view_.TopRow) * rh;
    if (below < clip.Bottom) canvas.FillRect({clip.Left, below, rowRight, clip.Bottom}, g.Color());
    d.SetBaseFont(&Font);
    d.SetBaseStyle(editorBaseStyle);
  } else {
    canvas.FillRect({clip.Left, clip.Top, std::min(clip.Right, rowRight), clip.Bottom}, g.Color());
  }
  if (g.BorderStyle() != gbsNone && clip.Right >= e_.view_.GutterPixels - 2) {
    if (g.BorderStyle() == gbsMiddle) {
      canvas.DrawLine(e_.view_.GutterPixels - 2, clip.Top, e_.view_.GutterPixels - 2, clip.Bottom,
                      Color);
      canvas.DrawLine(e_.view_.GutterPixels - 1, clip.Top, e_.view_.GutterPixels - 1, clip.Bottom,
                      g.Color());
    } else {
      canvas.DrawLine(e_.view_.GutterPixels - 1, clip.Top, e_.view_.GutterPixels - 1, clip.Bottom,
                      Color);
    }
  }
  std::vector<int> rowOffsets(static_cast<size_t>(std::max(lastLine - firstRow + 1, 0)), 0);
  PaintGutterMarks(canvas, clip, firstRow, lastLine, rowOffsets);
  if (e_.OnGutterPaint)
    for (int row = firstRow; row <= lastLine; ++row)
      e_.OnGutterPaint(&e_, row, rowOffsets[row - firstRow], (row - e_.view_.TopRow) * rh);
}

}  // namespace ludra
