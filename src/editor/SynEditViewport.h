#pragma once
// The view onto the text: the row at the top, the character column at the
// left, how many rows and columns the client area shows, the cell size and
// the gutter width, and the arithmetic between display cells, client pixels
// and scroll bars. The editor decides when they change; the view only knows
// how its numbers relate.
#include "base/SynEditTypes.h"
#include "base/SynGeometry.h"
#include "editor/SynEditOptions.h"

namespace ludra {

struct TSynViewport {
  int TopRow = 1;
  int FirstVisibleColumn = 1;
  int VisibleRows = 0;
  int VisibleColumns = 0;
  int CellWidth = 8;
  int RowHeight = 16;
  int GutterPixels = 30;
  int ExtraLineSpacing = 0;

  // The first pixel of the text area, right of the gutter and its margin.
  int TextLeft() const { return GutterPixels + 2; }
  // The pixel where column 1 would start, scrolled sideways.
  int TextOrigin() const { return TextLeft() - (FirstVisibleColumn - 1) * CellWidth; }
  int LastVisibleRow() const { return TopRow + VisibleRows - 1; }

  // A new font cell (extra line spacing added to its height).
  void SetCell(int cellWidth, int cellHeight);
  // The whole rows and columns a client area of this size shows.
  void Resize(int clientWidth, int clientHeight);

  // Top-left client pixel of a display cell.
  TPoint CellToPixels(const TDisplayCoord& pos) const;
  // roundColumn: nearest cell border (caret placement); else the cell hit.
  TDisplayCoord PixelsToCell(int x, int y, bool roundColumn) const;

  // A scroll bar over maximum units showing page of them from position.
  // Ranges beyond the bar's 32767 are scaled down; hideWhenAll hides a bar
  // whose page shows everything.
  static TSynScrollBarInfo ScrollBar(int maximum, int page, int position, bool hideWhenAll,
                                     bool disableArrows);

  // Throws std::logic_error when the numbers cannot describe a view.
  void Check() const;
};

}  // namespace ludra
