// The painter's own pieces: its construction, its check, and the measure of
// the font cell over the styles the highlighter uses.
#include "editor/SynEditPainter.h"

#include <algorithm>
#include <stdexcept>

#include "highlight/SynEditHighlighter.h"

namespace ludra {

TSynPainter::TSynPainter(const TSynEditView& view) : src_(view) {}

void TSynPainter::Check() const {
  auto fail = [](const char* what) { throw std::logic_error(what); };
  if (!TextDrawer || !Gutter || !SelectedColor) fail("painter part missing");
  if (TextDrawer->Canvas() != nullptr) fail("text drawer left drawing after a paint");
}

void TSynPainter::MeasureCellSize(TSynCanvas& canvas, int& cellWidth, int& cellHeight,
                                  bool deferStyles) {
  TextDrawer->SetBaseFont(&Font);
  const TFontStyles shape{fsBold, fsItalic};
  // Every token is drawn with the font's own style added to its attribute's.
  std::vector<TFontStyles> styles{Font.Style * shape};
  if (src_.Highlighter())
    for (int i = 0; i < src_.Highlighter()->AttributeCount(); ++i) {
      TFontStyles s = (src_.Highlighter()->AttributeAt(i)->Style() + Font.Style) * shape;
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

}  // namespace ludra
