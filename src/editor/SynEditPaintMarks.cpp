// Mark glyphs in the gutter: bookmarks first, then the other marks of a row,
// each further right by the glyph offset.
#include <algorithm>

#include "editor/SynEdit.h"

namespace ludra {

void TCustomSynEdit::PaintGutterMarks(TSynCanvas& canvas, const TRect& clip, int firstRow,
                                      int lastRow, std::vector<int>& rowOffsets) {
  const TSynBookMarkOpt& opt = BookMarkOptions();
  if (!opt.GlyphsVisible || Marks().Count() == 0 || lastRow < firstRow) return;
  constexpr bool drawBookmarksFirst = true;
  const std::vector<TSynGlyph>* images = BookmarkImages();
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
      int top = (mark.Line() - view_.TopRow) * view_.RowHeight;
      // Centred in the row; a low row shows the glyph's middle.
      TRect row = IntersectRect({0, top, view_.GutterPixels, top + view_.RowHeight}, clip);
      if (!row.IsEmpty())
        canvas.DrawGlyph(opt.LeftMargin + offset, top + (view_.RowHeight - glyph->Height) / 2,
                         *glyph, row);
    }
    offset += opt.Xoffset;
  };
  for (bool bookmarks : {drawBookmarksFirst, !drawBookmarksFirst})
    for (int i = 0; i < Marks().Count(); ++i) {
      const TSynEditMark& mark = *Marks().Items(i);
      if (mark.Visible() && mark.IsBookmark() == bookmarks && mark.Line() >= firstRow &&
          mark.Line() <= lastRow)
        drawMark(mark);
    }
}

}  // namespace ludra
