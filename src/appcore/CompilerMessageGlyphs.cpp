#include "appcore/CompilerMessageGlyphs.h"

#include <cstdlib>

namespace ludra {

namespace {

constexpr int kSize = 11;  // fits the gutter's glyph step beside a bookmark
constexpr int kMiddle = kSize / 2;

TSynGlyph EmptyGlyph() {
  TSynGlyph g;
  g.Width = kSize;
  g.Height = kSize;
  g.Pixels.assign(static_cast<size_t>(kSize) * kSize, clNone);
  return g;
}

void Set(TSynGlyph& g, int x, int y, TColor c) {
  g.Pixels[static_cast<size_t>(y) * g.Width + x] = c;
}

TSynGlyph MakeErrorGlyph() {
  TSynGlyph g = EmptyGlyph();
  // Distances are measured between pixel centres, doubled to stay in integers.
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x) {
      int dx = 2 * x - 2 * kMiddle, dy = 2 * y - 2 * kMiddle;
      int d2 = dx * dx + dy * dy;
      if (d2 > 11 * 11) continue;
      Set(g, x, y, d2 > 9 * 9 ? RGB(140, 0, 0) : RGB(215, 35, 35));
    }
  for (int i = -2; i <= 2; ++i) {
    Set(g, kMiddle + i, kMiddle + i, clWhite);
    Set(g, kMiddle + i, kMiddle - i, clWhite);
  }
  return g;
}

TSynGlyph MakeWarningGlyph() {
  TSynGlyph g = EmptyGlyph();
  // Apex at the top middle, base on the last row.
  for (int y = 0; y < kSize; ++y) {
    int half = y / 2;
    for (int x = kMiddle - half; x <= kMiddle + half; ++x) {
      bool edge = std::abs(x - kMiddle) == half || y == kSize - 1;
      Set(g, x, y, edge ? RGB(120, 70, 0) : RGB(255, 165, 0));
    }
  }
  for (int y = 3; y <= 7; ++y) Set(g, kMiddle, y, clBlack);
  Set(g, kMiddle, 9, clBlack);
  return g;
}

}  // namespace

const TSynGlyph& CompilerMessageGlyph(TCompilerMessageKind kind) {
  static const TSynGlyph error = MakeErrorGlyph();
  static const TSynGlyph warning = MakeWarningGlyph();
  return kind == cmWarning ? warning : error;
}

}  // namespace ludra
