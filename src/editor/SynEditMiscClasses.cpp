#include "editor/SynEditMiscClasses.h"

#include <algorithm>
#include <array>

namespace ludra {

void TSynSelectedColor::SetBackground(TColor value) {
  if (value == background_) return;
  background_ = value;
  if (OnChange) OnChange(this);
}

void TSynSelectedColor::SetForeground(TColor value) {
  if (value == foreground_) return;
  foreground_ = value;
  if (OnChange) OnChange(this);
}

TSynGutter::TSynGutter() { font_.Size = 8; }

void TSynGutter::Changed() {
  if (OnChange) OnChange(this);
}

// Every setter stores, and tells the editor only about a real change.
#define LUDRA_GUTTER_SETTER(Name, field, Type) \
  void TSynGutter::Set##Name(Type value) {     \
    if (value == field) return;                \
    field = value;                             \
    Changed();                                 \
  }
LUDRA_GUTTER_SETTER(AutoSize, autoSize_, bool)
LUDRA_GUTTER_SETTER(BorderStyle, borderStyle_, TSynGutterBorderStyle)
LUDRA_GUTTER_SETTER(Color, color_, TColor)
LUDRA_GUTTER_SETTER(DigitCount, digitCount_, int)
LUDRA_GUTTER_SETTER(Font, font_, const TSynFont&)
LUDRA_GUTTER_SETTER(LeadingZeros, leadingZeros_, bool)
LUDRA_GUTTER_SETTER(LeftOffset, leftOffset_, int)
LUDRA_GUTTER_SETTER(RightOffset, rightOffset_, int)
LUDRA_GUTTER_SETTER(ShowLineNumbers, showLineNumbers_, bool)
LUDRA_GUTTER_SETTER(UseFontStyle, useFontStyle_, bool)
LUDRA_GUTTER_SETTER(Visible, visible_, bool)
LUDRA_GUTTER_SETTER(Width, width_, int)
LUDRA_GUTTER_SETTER(ZeroStart, zeroStart_, bool)
#undef LUDRA_GUTTER_SETTER

void TSynGutter::UpdateDigitCount(int lineCount) {
  int digits = digitCount_;
  if (visible_ && autoSize_ && showLineNumbers_) {
    int n = zeroStart_ ? lineCount - 1 : lineCount;
    int d = 1;
    for (; n >= 10; n /= 10) ++d;
    digits = std::max(d, digitCount_);
  }
  if (digits == autoSizeDigitCount_) return;
  autoSizeDigitCount_ = digits;
  Changed();
}

int TSynGutter::RealGutterWidth(int cellWidth) const {
  if (!visible_) return 0;
  if (showLineNumbers_) return leftOffset_ + rightOffset_ + cellWidth * autoSizeDigitCount_ + 2;
  return width_;
}

std::string TSynGutter::FormatLineNumber(int line) const {
  std::string number = std::to_string(zeroStart_ ? line - 1 : line);
  int pad = autoSizeDigitCount_ - static_cast<int>(number.size());
  if (pad <= 0) return number;
  return std::string(static_cast<size_t>(pad), leadingZeros_ ? '0' : ' ') + number;
}

// --- Built-in bookmark glyphs ------------------------------------------------

namespace {

// 5 x 7 digits, one row per entry, bit 4 the leftmost pixel.
constexpr std::array<std::array<uint8_t, 7>, 10> kDigits = {{
    {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E},
    {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E},
    {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F},
    {0x1E, 0x01, 0x01, 0x0E, 0x01, 0x01, 0x1E},
    {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02},
    {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E},
    {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E},
    {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08},
    {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E},
    {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C},
}};

// A yellow tag with a dark frame, a grey shadow and the number in navy.
std::array<TSynGlyph, 10> MakeBookmarkGlyphs() {
  std::array<TSynGlyph, 10> glyphs;
  const int w = kInternalGlyphWidth, h = kInternalGlyphHeight;
  for (int n = 0; n < 10; ++n) {
    TSynGlyph& g = glyphs[n];
    g.Width = w;
    g.Height = h;
    g.Pixels.assign(static_cast<size_t>(w) * h, clNone);
    auto set = [&](int x, int y, TColor c) { g.Pixels[static_cast<size_t>(y) * w + x] = c; };
    for (int y = 0; y < 13; ++y)
      for (int x = 0; x < 10; ++x) {
        bool frame = x == 0 || x == 9 || y == 0 || y == 12;
        set(x, y, frame ? clBlack : clYellow);
      }
    for (int y = 1; y < h; ++y) set(10, y, clGray);
    for (int x = 1; x < w; ++x) set(x, 13, clGray);
    for (int row = 0; row < 7; ++row)
      for (int col = 0; col < 5; ++col)
        if (kDigits[n][row] & (0x10 >> col)) set(3 + col, 3 + row, clNavy);
  }
  return glyphs;
}

}  // namespace

const TSynGlyph* InternalBookmarkGlyph(int index) {
  static const std::array<TSynGlyph, 10> glyphs = MakeBookmarkGlyphs();
  if (index < 0 || index > 9) return nullptr;
  return &glyphs[index];
}

}  // namespace ludra
