#include "editor/SynEditViewport.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace ludra {

namespace {

int FloorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

}  // namespace

void TSynViewport::SetCell(int cellWidth, int cellHeight) {
  CellWidth = std::max(cellWidth, 1);
  RowHeight = std::max(cellHeight + ExtraLineSpacing, 1);
}

void TSynViewport::Resize(int clientWidth, int clientHeight) {
  VisibleRows = std::max(clientHeight, 0) / RowHeight;
  VisibleColumns = std::max(clientWidth - GutterPixels - 2, 0) / CellWidth;
}

TPoint TSynViewport::CellToPixels(const TDisplayCoord& pos) const {
  return {(pos.Column - 1) * CellWidth + TextOrigin(), (pos.Row - TopRow) * RowHeight};
}

TDisplayCoord TSynViewport::PixelsToCell(int x, int y, bool roundColumn) const {
  int column;
  if (roundColumn) {
    y = std::max(0, std::min(y, VisibleRows * RowHeight - 1));
    column = static_cast<int>(std::lround(static_cast<double>(x - TextLeft()) / CellWidth)) +
             FirstVisibleColumn;
  } else {
    column = FloorDiv(x - TextLeft(), CellWidth) + FirstVisibleColumn;
  }
  return {std::max(column, 1), std::max(1, FloorDiv(y, RowHeight) + TopRow)};
}

TSynScrollBarInfo TSynViewport::ScrollBar(int maximum, int page, int position, bool hideWhenAll,
                                          bool disableArrows) {
  TSynScrollBarInfo info;
  bool scaled = maximum > 32767;
  if (scaled) {
    info.Max = 32767;
    info.Page = static_cast<int>(static_cast<long long>(page) * 32767 / maximum);
    info.Position = static_cast<int>(static_cast<long long>(position) * 32767 / maximum);
  } else {
    info.Max = maximum;
    info.Page = page;
    info.Position = position;
  }
  info.Visible = !(hideWhenAll && !scaled && page >= maximum);
  if (disableArrows || page >= maximum) {
    info.DisableBackArrow = position <= 1;
    info.DisableForwardArrow = position + page > maximum;
  }
  return info;
}

void TSynViewport::Check() const {
  auto fail = [](const char* what) { throw std::logic_error(what); };
  if (TopRow < 1) fail("top row below 1");
  if (FirstVisibleColumn < 1) fail("first visible column below 1");
  if (CellWidth < 1 || RowHeight < 1) fail("empty cell");
  if (VisibleRows < 0 || VisibleColumns < 0) fail("negative visible rows or columns");
  if (GutterPixels < 0) fail("negative gutter width");
}

}  // namespace ludra
