#include "editor/SynTextDrawer.h"

namespace ludra {

void TheFontStock::SetBaseFont(const TSynFont& font) {
  bool sameFace = SameFace(font, baseFont_);
  baseFont_ = font;
  if (!sameFace) variants_ = {};
}

const TSynCellSize& TheFontStock::Metrics(TSynCanvas& canvas, TFontStyles style) {
  auto& slot = variants_[style.Bits() & 15];
  if (!slot) {
    canvas.SetFont(baseFont_);
    slot = canvas.MeasureCell(style);
  }
  return *slot;
}

void TheTextDrawer::BeginDrawing(TSynCanvas* canvas) {
  if (drawingCount_++ == 0) {
    canvas_ = canvas;
    if (canvas_) {
      canvas_->SetFont(stock_.BaseFont());
      UpdateCell();
    }
  }
}

void TheTextDrawer::EndDrawing() {
  if (drawingCount_ > 0 && --drawingCount_ == 0) canvas_ = nullptr;
}

void TheTextDrawer::SetBaseFont(const TSynFont* value) {
  if (!value) throw ESynEditError("SetBaseFont: 'Value' must be specified.");
  stock_.SetBaseFont(*value);
  if (canvas_) {
    canvas_->SetFont(*value);
    UpdateCell();
  }
}

void TheTextDrawer::SetBaseStyle(TFontStyles value) {
  baseStyle_ = value;
  if (canvas_) UpdateCell();
}

void TheTextDrawer::UpdateCell() {
  const TSynCellSize& cell = stock_.Metrics(*canvas_, baseStyle_);
  cellWidth_ = cell.Width;
  cellHeight_ = cell.Height;
  canvas_->SetFont(stock_.BaseFont());
}

void TheTextDrawer::TextOut(int x, int y, std::string_view text) {
  if (!canvas_ || text.empty()) return;
  int w = CellWidth();
  TRect cells{x, y, x + w * static_cast<int>(text.size()), y + cellHeight_};
  canvas_->TextOut(x, y, cells, text, w, style_, foreColor_, backColor_);
}

void TheTextDrawer::ExtTextOut(int x, int y, const TRect& clip, std::string_view text) {
  if (!canvas_) return;
  canvas_->TextOut(x, y, clip, text, CellWidth(), style_, foreColor_, backColor_);
}

}  // namespace ludra
