// The gutter: line numbers (or the fill), its border, and the mark glyphs:
// bookmarks first, then the other marks of a row, each further right by the
// glyph offset.
#include <algorithm>

#include "buffer/SynEditTextBuffer.h"
#include "editor/SynEditMarks.h"
#include "editor/SynEditPainter.h"
#include "editor/SynTextDrawer.h"

namespace ludra {

void TSynPainter::PaintGutter(TSynCanvas& canvas, const TRect& clip, int firstRow, int lastRow,
                              const TSynViewport& v) {
  const TSynGutter& g = *Gutter;
  const int rh = v.RowHeight;
  // The border lines own the last pixels of the gutter.
  const int rowRight = v.GutterPixels - (g.BorderStyle() == gbsMiddle  ? 2
                                         : g.BorderStyle() == gbsRight ? 1
                                                                       : 0);
  const int lastLine = std::min(lastRow, std::max(src_.Lines().Count(), 1));
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
      int y = (row - v.TopRow) * rh;
      TRect rc{clip.Left, y, std::max(rowRight, clip.Left), y + rh};
      std::string text = g.FormatLineNumber(row);
      int width = static_cast<int>(text.size()) * d.CellWidth();
      int x = v.GutterPixels - g.RightOffset() - width - 2;
      d.ExtTextOut(x, y + (rh - d.CellHeight()) / 2, rc, text);
    }
    int below = (std::max(lastLine, firstRow - 1) + 1 - v.TopRow) * rh;
    if (below < clip.Bottom) canvas.FillRect({clip.Left, below, rowRight, clip.Bottom}, g.Color());
    d.SetBaseFont(&Font);
    d.SetBaseStyle(editorBaseStyle);
  } else {
    canvas.FillRect({clip.Left, clip.Top, std::min(clip.Right, rowRight), clip.Bottom}, g.Color());
  }
  if (g.BorderStyle() != gbsNone && clip.Right >= v.GutterPixels - 2) {
    if (g.BorderStyle() == gbsMiddle) {
      canvas.DrawLine(v.GutterPixels - 2, clip.Top, v.GutterPixels - 2, clip.Bottom, Color);
      canvas.DrawLine(v.GutterPixels - 1, clip.Top, v.GutterPixels - 1, clip.Bottom, g.Color());
    } else {
      canvas.DrawLine(v.GutterPixels - 1, clip.Top, v.GutterPixels - 1, clip.Bottom, Color);
    }
  }
  std::vector<int> rowOffsets(static_cast<size_t>(std::max(lastLine - firstRow + 1, 0)), 0);
  PaintGutterMarks(canvas, clip, firstRow, lastLine, rowOffsets, v);
}

void TSynPainter::PaintGutterMarks(TSynCanvas& canvas, const TRect& clip, int firstRow, int lastRow,
                                   std::vector<int>& rowOffsets, const TSynViewport& v) {
  const TSynBookMarkOpt& opt = src_.BookMarkOptions();
  if (!opt.GlyphsVisible || src_.Marks().Count() == 0 || lastRow < firstRow) return;
  constexpr bool drawBookmarksFirst = true;
  const std::vector<TSynGlyph>* images = src_.BookmarkImages();
  auto drawMark = [&](const TSynEditMark& mark) {
    int& offset = rowOffsets[mark.Line() - firstRow];
    // Marks with an image of the application's stand side by side; the
    // built-in glyphs only fill an empty place.
    bool own = !mark.InternalImage() && images;
    const TSynGlyph* glyph =
        !own ? InternalBookmarkGlyph(mark.ImageIndex())
        : mark.ImageIndex() >= 0 && mark.ImageIndex() < static_cast<int>(images->size())
            ? &(*images)[mark.ImageIndex()]
            : nullptr;
    if (glyph && (own || offset == 0)) {
      int top = (mark.Line() - v.TopRow) * v.RowHeight;
      // Centred in the row; a low row shows the glyph's middle.
      TRect row = IntersectRect({0, top, v.GutterPixels, top + v.RowHeight}, clip);
      if (!row.IsEmpty())
        canvas.DrawGlyph(opt.LeftMargin + offset, top + (v.RowHeight - glyph->Height) / 2, *glyph,
                         row);
    }
    offset += opt.Xoffset;
  };
  for (bool bookmarks : {drawBookmarksFirst, !drawBookmarksFirst})
    for (int i = 0; i < src_.Marks().Count(); ++i) {
      const TSynEditMark& mark = *src_.Marks().Items(i);
      if (mark.Visible() && mark.IsBookmark() == bookmarks && mark.Line() >= firstRow &&
          mark.Line() <= lastRow)
        drawMark(mark);
    }
}

}  // namespace ludra
