// Painting with word wrap: each row is painted as its line seen through a
// window of that row's columns, and continuation rows show the wrap glyph
// in the gutter instead of a line number.
#include <algorithm>
#include <climits>

#include "editor/SynEditPainter.h"

namespace ludra {

void TCustomSynEdit::TPainter::PaintWrapped(TSynCanvas& canvas, const TRect& clip) {
  const int rh = std::max(e_.view_.RowHeight, 1);
  const int textLeft = e_.view_.GutterPixels + 2;
  const int count = e_.lines_->Count();
  const int rows = e_.wordWrap_->RowCount();
  const int firstRow = std::max(clip.Top / rh + e_.view_.TopRow, e_.view_.TopRow);
  const int lastRow = std::min((clip.Bottom + rh - 1) / rh + e_.view_.TopRow, rows);
  const int savedTop = e_.view_.TopRow, savedFirstColumn = e_.view_.FirstVisibleColumn,
            savedEdge = RightEdge;
  // The line painters see the unwrapped line; the view fields are moved so
  // that line lands on the row's pixels.
  std::unique_ptr<TSynWordWrapPlugin> wrap = std::move(e_.wordWrap_);
  auto restore = TBracket([&] {
    e_.view_.TopRow = savedTop;
    e_.view_.FirstVisibleColumn = savedFirstColumn;
    RightEdge = savedEdge;
    e_.wordWrap_ = std::move(wrap);
  });
  int line = firstRow <= lastRow ? wrap->RowToLine(firstRow) : count + 1;
  int lineFirstRow = wrap->LineToRow(line);
  int startColumn = 1;
  for (int r = lineFirstRow; r < firstRow; ++r) startColumn += wrap->GetRowLength(r);
  for (int r = firstRow; r <= lastRow; ++r) {
    if (wrap->RowToLine(r) != line) {
      line = wrap->RowToLine(r);
      lineFirstRow = r;
      startColumn = 1;
    }
    const int y = (r - savedTop) * rh;
    const TRect rowClip = IntersectRect(clip, {clip.Left, y, clip.Right, y + rh});
    const int length = wrap->GetRowLength(r);
    const bool lastOfLine = r == rows || wrap->RowToLine(r + 1) != line;
    if (!rowClip.IsEmpty()) {
      if (rowClip.Left < e_.view_.GutterPixels) {
        if (r == lineFirstRow) {
          e_.view_.TopRow = line - (r - savedTop);
          e_.PaintGutter(canvas, rowClip, line, line);
        } else {
          // No line to number: the gutter's fill and borders, then the glyph.
          e_.view_.TopRow = line + 1 - (r - savedTop);
          e_.PaintGutter(canvas, rowClip, line + 1, line);
          const TSynGlyph& g = e_.wordWrapGlyph_->DrawnGlyph();
          if (e_.wordWrapGlyph_->Visible() && g.Width > 0) {
            int gx = e_.view_.GutterPixels - Gutter->RightOffset() - g.Width - 2;
            canvas.DrawGlyph(gx, y + (rh - g.Height) / 2, g, rowClip);
          }
        }
      }
      if (rowClip.Right > e_.view_.GutterPixels) {
        e_.view_.TopRow = line - (r - savedTop);
        e_.view_.FirstVisibleColumn = startColumn;
        RightEdge = savedEdge + startColumn - 1;  // the edge stays where it was
        int lastColumn =
            lastOfLine ? startColumn + e_.view_.VisibleColumns + 1 : startColumn + length - 1;
        e_.PaintTextLines(canvas, rowClip, line, line, startColumn, lastColumn);
        if (!lastOfLine) {
          int tail = std::max(textLeft + length * e_.view_.CellWidth, rowClip.Left);
          if (tail < rowClip.Right) canvas.FillRect({tail, y, rowClip.Right, y + rh}, Color);
        }
      }
    }
    startColumn += length;
  }
  // Below the last row: the painters' own fill after their last line.
  int below = (std::max(lastRow, firstRow - 1) + 1 - savedTop) * rh;
  if (below < clip.Bottom) {
    TRect rest{clip.Left, std::max(below, clip.Top), clip.Right, clip.Bottom};
    e_.view_.TopRow = count + 1 - (below / rh);
    e_.view_.FirstVisibleColumn = savedFirstColumn;
    RightEdge = savedEdge;
    if (rest.Left < e_.view_.GutterPixels) e_.PaintGutter(canvas, rest, count + 1, count);
    if (rest.Right > e_.view_.GutterPixels)
      e_.PaintTextLines(canvas, rest, count + 1, count, 1, e_.view_.VisibleColumns + 1);
  }
}

}  // namespace ludra
