#pragma once
// TheTextDrawer puts runs of characters into fixed cells on a canvas: every
// character advances by the cell width plus the extra spacing, whatever the
// font's own advance, so the grid stays exact in every style.
#include <array>
#include <optional>
#include <string_view>

#include "base/SynExceptions.h"
#include "platform/SynCanvas.h"

namespace ludra {

// The style variants of one base font, each measured once on first use.
class TheFontStock {
 public:
  void SetBaseFont(const TSynFont& font);
  const TSynFont& BaseFont() const { return baseFont_; }
  // Measures on the canvas when the variant is not known yet.
  const TSynCellSize& Metrics(TSynCanvas& canvas, TFontStyles style);
  bool Measured(TFontStyles style) const { return variants_[style.Bits() & 15].has_value(); }

 private:
  TSynFont baseFont_;
  std::array<std::optional<TSynCellSize>, 16> variants_;
};

class TheTextDrawer {
 public:
  explicit TheTextDrawer(TFontStyles baseStyle = {fsBold}) : baseStyle_(baseStyle) {}

  // Nestable; the outermost call takes the canvas and selects the font.
  void BeginDrawing(TSynCanvas* canvas);
  void EndDrawing();
  TSynCanvas* Canvas() const { return canvas_; }

  // A null font raises ESynEditError.
  void SetBaseFont(const TSynFont* value);
  const TSynFont& BaseFont() const { return stock_.BaseFont(); }
  // The style whose cell gives the advance (the metrics style).
  void SetBaseStyle(TFontStyles value);
  TFontStyles BaseStyle() const { return baseStyle_; }
  void SetStyle(TFontStyles value) { style_ = value; }
  TFontStyles Style() const { return style_; }
  void SetForeColor(TColor value) { foreColor_ = value; }
  TColor ForeColor() const { return foreColor_; }
  void SetBackColor(TColor value) { backColor_ = value; }
  TColor BackColor() const { return backColor_; }
  void SetCharExtra(int value) { charExtra_ = value; }
  int CharExtra() const { return charExtra_; }

  // Cell of the base style on a canvas (also usable outside drawing).
  TSynCellSize Measure(TSynCanvas& canvas, TFontStyles style) {
    return stock_.Metrics(canvas, style);
  }
  // Whether the style's cell is known, so Measure needs no canvas work.
  bool Measured(TFontStyles style) const { return stock_.Measured(style); }
  int CellWidth() const { return cellWidth_ + charExtra_; }
  int CellHeight() const { return cellHeight_; }

  // Text from (x, y), with its cells only (no opaque area).
  void TextOut(int x, int y, std::string_view text);
  // Opaque over clip in the background colour, text clipped to it.
  void ExtTextOut(int x, int y, const TRect& clip, std::string_view text);

 private:
  void UpdateCell();

  TheFontStock stock_;
  TSynCanvas* canvas_ = nullptr;
  int drawingCount_ = 0;
  TFontStyles baseStyle_;
  TFontStyles style_;
  TColor foreColor_ = clWindowText;
  TColor backColor_ = clWindow;
  int charExtra_ = 0;
  int cellWidth_ = 0;
  int cellHeight_ = 0;
};

}  // namespace ludra
