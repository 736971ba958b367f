// Painting with word wrap: each row is painted as its line seen through a
// window of that row's columns, and continuation rows show the wrap glyph
// in the gutter instead of a line number.
#include <algorithm>
#include <climits>

#include "editor/SynEdit.h"

namespace ludra {

void TCustomSynEdit::PaintWrapped(TSynCanvas& canvas, const TRect& clip) {
  const int rh = std::max(view_.RowHeight, 1);
  const int textLeft = view_.GutterPixels + 2;
  const int count = lines_->Count();
  const int rows = wordWrap_->RowCount();
  const int firstRow = std::max(clip.Top / rh + view_.TopRow, view_.TopRow);
  const int lastRow = std::min((clip.Bottom + rh - 1) / rh + view_.TopRow, rows);
  const int savedTop = view_.TopRow, savedFirstColumn = view_.FirstVisibleColumn,
            savedEdge = rightEdge_;
  // The line painters see the unwrapped line; the view fields are moved so
  // that line lands on the row's pixels.
  std::unique_ptr<TSynWordWrapPlugin> wrap = std::move(wordWrap_);
  auto restore = TBracket([&] {
    view_.TopRow = savedTop;
    view_.FirstVisibleColumn = savedFirstColumn;
    rightEdge_ = savedEdge;
    wordWrap_ = std::move(wrap);
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
      if (rowClip.Left < view_.GutterPixels) {
        if (r == lineFirstRow) {
          view_.TopRow = line - (r - savedTop);
          PaintGutter(canvas, rowClip, line, line);
        } else {
          // No line to number: the gutter's fill and borders, then the glyph.
          view_.TopRow = line + 1 - (r - savedTop);
          PaintGutter(canvas, rowClip, line + 1, line);
          const TSynGlyph& g = wordWrapGlyph_->DrawnGlyph();
          if (wordWrapGlyph_->Visible() && g.Width > 0) {
            int gx = view_.GutterPixels - gutter_->RightOffset() - g.Width - 2;
            canvas.DrawGlyph(gx, y + (rh - g.Height) / 2, g, rowClip);
          }
        }
      }
      if (rowClip.Right > view_.GutterPixels) {
        view_.TopRow = line - (r - savedTop);
        view_.FirstVisibleColumn = startColumn;
        rightEdge_ = savedEdge + startColumn - 1;  // the edge stays where it was
        int lastColumn =
            lastOfLine ? startColumn + view_.VisibleColumns + 1 : startColumn + length - 1;
        PaintTextLines(canvas, rowClip, line, line, startColumn, lastColumn);
        if (!lastOfLine) {
          int tail = std::max(textLeft + length * view_.CellWidth, rowClip.Left);
          if (tail < rowClip.Right) canvas.FillRect({tail, y, rowClip.Right, y + rh}, color_);
        }
      }
    }
    startColumn += length;
  }
  // Below the last row: the painters' own fill after their last line.
  int below = (std::max(lastRow, firstRow - 1) + 1 - savedTop) * rh;
  if (below < clip.Bottom) {
    TRect rest{clip.Left, std::max(below, clip.Top), clip.Right, clip.Bottom};
    view_.TopRow = count + 1 - (below / rh);
    view_.FirstVisibleColumn = savedFirstColumn;
    rightEdge_ = savedEdge;
    if (rest.Left < view_.GutterPixels) PaintGutter(canvas, rest, count + 1, count);
    if (rest.Right > view_.GutterPixels)
      PaintTextLines(canvas, rest, count + 1, count, 1, view_.VisibleColumns + 1);
  }
}

}  // namespace ludra
