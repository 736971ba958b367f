// Painting with word wrap: each row is painted as its line seen through a
// window of that row's columns, and continuation rows show the wrap glyph
// in the gutter instead of a line number.
#include <algorithm>
#include <climits>

#include "buffer/SynEditTextBuffer.h"
#include "editor/SynEditPainter.h"
#include "editor/SynEditWordWrap.h"

namespace ludra {

void TSynPainter::PaintWrapped(TSynCanvas& canvas, const TRect& clip) {
  const TSynWordWrapPlugin& wrap = *src_.WordWrap();
  const TSynViewport& view = src_.View();
  const int rh = std::max(view.RowHeight, 1);
  const int textLeft = view.GutterPixels + 2;
  const int count = src_.Lines().Count();
  const int rows = wrap.RowCount();
  const int firstRow = std::max(clip.Top / rh + view.TopRow, view.TopRow);
  const int lastRow = std::min((clip.Bottom + rh - 1) / rh + view.TopRow, rows);
  const int savedTop = view.TopRow, savedEdge = RightEdge;
  // The line painters see the unwrapped line through a viewport of their
  // own, moved so that the line lands on the row's pixels.
  TSynViewport v = view;
  auto restore = TBracket([&] { RightEdge = savedEdge; });
  int line = firstRow <= lastRow ? wrap.RowToLine(firstRow) : count + 1;
  int lineFirstRow = wrap.LineToRow(line);
  int startColumn = 1;
  for (int r = lineFirstRow; r < firstRow; ++r) startColumn += wrap.GetRowLength(r);
  for (int r = firstRow; r <= lastRow; ++r) {
    if (wrap.RowToLine(r) != line) {
      line = wrap.RowToLine(r);
      lineFirstRow = r;
      startColumn = 1;
    }
    const int y = (r - savedTop) * rh;
    const TRect rowClip = IntersectRect(clip, {clip.Left, y, clip.Right, y + rh});
    const int length = wrap.GetRowLength(r);
    const bool lastOfLine = r == rows || wrap.RowToLine(r + 1) != line;
    if (!rowClip.IsEmpty()) {
      if (rowClip.Left < v.GutterPixels) {
        if (r == lineFirstRow) {
          v.TopRow = line - (r - savedTop);
          PaintGutter(canvas, rowClip, line, line, v);
        } else {
          // No line to number: the gutter's fill and borders, then the glyph.
          v.TopRow = line + 1 - (r - savedTop);
          PaintGutter(canvas, rowClip, line + 1, line, v);
          const TSynWrapGlyph& glyph = src_.WordWrapGlyph();
          const TSynGlyph& g = glyph.DrawnGlyph();
          if (glyph.Visible() && g.Width > 0) {
            int gx = v.GutterPixels - Gutter->RightOffset() - g.Width - 2;
            canvas.DrawGlyph(gx, y + (rh - g.Height) / 2, g, rowClip);
          }
        }
      }
      if (rowClip.Right > v.GutterPixels) {
        v.TopRow = line - (r - savedTop);
        v.FirstVisibleColumn = startColumn;
        RightEdge = savedEdge + startColumn - 1;  // the edge stays where it was
        int lastColumn = lastOfLine ? startColumn + v.VisibleColumns + 1 : startColumn + length - 1;
        PaintTextLines(canvas, rowClip, line, line, startColumn, lastColumn, v);
        if (!lastOfLine) {
          int tail = std::max(textLeft + length * v.CellWidth, rowClip.Left);
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
    v.TopRow = count + 1 - (below / rh);
    v.FirstVisibleColumn = view.FirstVisibleColumn;
    RightEdge = savedEdge;
    if (rest.Left < v.GutterPixels) PaintGutter(canvas, rest, count + 1, count, v);
    if (rest.Right > v.GutterPixels)
      PaintTextLines(canvas, rest, count + 1, count, 1, v.VisibleColumns + 1, v);
  }
}

}  // namespace ludra
