#pragma once
// The drawing surface the editor paints on. Few operations: the editor lays
// out every character in a fixed cell itself, so a surface only fills, draws
// runs of cells, lines and small glyphs, and measures a font's cell.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/SynColor.h"
#include "base/SynGeometry.h"

namespace ludra {

// A font description. Height in pixels wins over Size in points when set.
struct TSynFont {
  std::string Name = "Courier New";
  int Size = 10;
  int Height = 0;
  TFontStyles Style;
  TColor Color = clWindowText;
  friend bool operator==(const TSynFont&, const TSynFont&) = default;
};

// The same face, size and style: every cell measured in one holds for the
// other (the colour changes no metric).
inline bool SameFace(const TSynFont& a, const TSynFont& b) {
  return a.Name == b.Name && a.Size == b.Size && a.Height == b.Height && a.Style == b.Style;
}

// The cell of one font style: the advance of 'M' and the line height, plus
// how far a glyph may reach past its cell (italic) and whether the face has
// a fixed pitch.
struct TSynCellSize {
  int Width = 0;
  int Height = 0;
  int Overhang = 0;
  bool FixedPitch = true;
  friend bool operator==(const TSynCellSize&, const TSynCellSize&) = default;
};

// A small bitmap; clNone pixels are transparent. Row-major, Width x Height.
struct TSynGlyph {
  int Width = 0;
  int Height = 0;
  std::vector<TColor> Pixels;
  TColor At(int x, int y) const { return Pixels[static_cast<size_t>(y) * Width + x]; }
};

class TSynCanvas {
 public:
  virtual ~TSynCanvas() = default;

  // The font that text runs and measurements use; the style is per call.
  virtual void SetFont(const TSynFont& font) = 0;
  virtual TSynCellSize MeasureCell(TFontStyles style) = 0;

  virtual void FillRect(const TRect& rect, TColor color) = 0;
  // Fills clip with bg, then draws the code-page bytes of text one per cell
  // of cellWidth pixels from (x, y), clipped to clip.
  virtual void TextOut(int x, int y, const TRect& clip, std::string_view text, int cellWidth,
                       TFontStyles style, TColor fg, TColor bg) = 0;
  // A one-pixel line from (x1, y1) up to, not including, (x2, y2); only
  // horizontal and vertical lines are asked for.
  virtual void DrawLine(int x1, int y1, int x2, int y2, TColor color) = 0;
  virtual void DrawGlyph(int x, int y, const TSynGlyph& glyph, const TRect& clip) = 0;

  // Proportional text, for pop-up windows whose fonts are not laid out in
  // cells: the advance of text in the font with a style, and text drawn at
  // the face's own advances from (x, y) on a transparent background, clipped
  // to clip. By default a surface lays the text out in its cells.
  virtual int TextWidth(std::string_view text, TFontStyles style);
  virtual int TextHeight(TFontStyles style) { return MeasureCell(style).Height; }
  virtual void DrawText(int x, int y, const TRect& clip, std::string_view text, TFontStyles style,
                        TColor fg);
};

// Remembers what a frame drew, for tests and measurements. Cells measure
// CellWidth x CellHeight; bold cells may be set wider to test the largest cell.
class TSynRecordingCanvas : public TSynCanvas {
 public:
  enum TOpKind : uint8_t { opFill, opText, opLine, opGlyph };
  struct TOp {
    TOpKind Kind = opFill;
    TRect Rect;  // fill area, text clip, line ends (Left,Top)-(Right,Bottom), glyph box
    int X = 0;
    int Y = 0;
    std::string Text;
    int CellWidth = 0;
    TFontStyles Style;
    TColor Fg = clNone;
    TColor Bg = clNone;  // the fill, line or text background colour
    std::string FontName;
    const TSynGlyph* Glyph = nullptr;
  };

  void SetFont(const TSynFont& font) override { font_ = font; }
  TSynCellSize MeasureCell(TFontStyles style) override;
  void FillRect(const TRect& rect, TColor color) override;
  void TextOut(int x, int y, const TRect& clip, std::string_view text, int cellWidth,
               TFontStyles style, TColor fg, TColor bg) override;
  void DrawLine(int x1, int y1, int x2, int y2, TColor color) override;
  void DrawGlyph(int x, int y, const TSynGlyph& glyph, const TRect& clip) override;
  // Every character advances CellWidth (BoldCellWidth when bold); a
  // proportional run is recorded as text with CellWidth 0 and no background.
  int TextWidth(std::string_view text, TFontStyles style) override;
  void DrawText(int x, int y, const TRect& clip, std::string_view text, TFontStyles style,
                TColor fg) override;

  const TSynFont& Font() const { return font_; }
  std::vector<TOp> Ops;
  // Text runs only, in drawing order.
  std::vector<TOp> Texts() const;
  void Clear() { Ops.clear(); }

  int CellWidth = 10;
  int CellHeight = 20;
  int BoldCellWidth = 10;
  int ItalicOverhang = 0;
  int Measurements = 0;

 private:
  TSynFont font_;
};

}  // namespace ludra
