// Mark glyphs in the gutter: bookmarks first, then the other marks of a row,
// each further right by the glyph offset.
#include <algorithm>

#include "editor/SynEditPainter.h"

namespace ludra {

void TCustomSynEdit::TPainter::PaintGutterMarks(TSynCanvas& canvas, const TRect& clip, int firstRow,
                                                int lastRow, std::vector<int>& rowOffsets) {
  const TSynBookMarkOpt& opt = e_.BookMarkOptions();
  if (!opt.GlyphsVisible || e_.Marks().Count() == 0 || lastRow < firstRow) return;
  constexpr bool drawBookmarksFirst = true;
  const std::vector<TSynGlyph>* images = e_.BookmarkImages();
  auto drawMark = [&](const TSynEditMark& mark) {
    int& offset = rowOffsets[mark.Line() - firstRow];
    // e_.Marks with an image of the application's stand side by side; the
    // built-in glyphs only fill an empty place.
    bool own = !mark.InternalImage() && images;
    const TSynGlyph* glyph =
        !own ? InternalBookmarkGlyph(mark.ImageIndex())
        : mark.ImageIndex() >= 0 && mark.ImageIndex() < static_cast<int>(images->size())
            ? &(*images)[mark.ImageIndex()]
            : nullptr;
    if (glyph && (own || offset == 0)) {
      int top = (mark.Line() - e_.view_.TopRow) * e_.view_.RowHeight;
      // Centred in the row; a low row shows the glyph's middle.
      TRect row = IntersectRect({0, top, e_.view_.GutterPixels, top + e_.view_.RowHeight}, clip);
      if (!row.IsEmpty())
        canvas.DrawGlyph(opt.LeftMargin + offset, top + (e_.view_.RowHeight - glyph->Height) / 2,
                         *glyph, row);
    }
    offset += opt.Xoffset;
  };
  for (bool bookmarks : {drawBookmarksFirst, !drawBookmarksFirst})
    for (int i = 0; i < e_.Marks().Count(); ++i) {
      const TSynEditMark& mark = *e_.Marks().Items(i);
      if (mark.Visible() && mark.IsBookmark() == bookmarks && mark.Line() >= firstRow &&
          mark.Line() <= lastRow)
        drawMark(mark);
    }
}

}  // namespace ludra
