#include "platform/SynCanvas.h"

namespace ludra {

int TSynCanvas::TextWidth(std::string_view text, TFontStyles style) {
  return MeasureCell(style).Width * static_cast<int>(text.size());
}

void TSynCanvas::DrawText(int x, int y, const TRect& clip, std::string_view text, TFontStyles style,
                          TColor fg) {
  // A surface without proportional text lays the run out in its cells.
  TRect run = IntersectRect(clip, {x, y, x + TextWidth(text, style), clip.Bottom});
  if (run.IsEmpty()) return;
  TextOut(x, y, run, text, MeasureCell(style).Width, style, fg, clNone);
}

TSynCellSize TSynRecordingCanvas::MeasureCell(TFontStyles style) {
  ++Measurements;
  TSynCellSize size;
  size.Width = style.Contains(fsBold) ? BoldCellWidth : CellWidth;
  size.Height = CellHeight;
  size.Overhang = style.Contains(fsItalic) ? ItalicOverhang : 0;
  return size;
}

void TSynRecordingCanvas::FillRect(const TRect& rect, TColor color) {
  TOp op;
  op.Kind = opFill;
  op.Rect = rect;
  op.Bg = color;
  Ops.push_back(std::move(op));
}

void TSynRecordingCanvas::TextOut(int x, int y, const TRect& clip, std::string_view text,
                                  int cellWidth, TFontStyles style, TColor fg, TColor bg) {
  TOp op;
  op.Kind = opText;
  op.Rect = clip;
  op.X = x;
  op.Y = y;
  op.Text = std::string(text);
  op.CellWidth = cellWidth;
  op.Style = style;
  op.Fg = fg;
  op.Bg = bg;
  op.FontName = font_.Name;
  Ops.push_back(std::move(op));
}

void TSynRecordingCanvas::DrawLine(int x1, int y1, int x2, int y2, TColor color) {
  TOp op;
  op.Kind = opLine;
  op.Rect = {x1, y1, x2, y2};
  op.Bg = color;
  Ops.push_back(std::move(op));
}

void TSynRecordingCanvas::DrawGlyph(int x, int y, const TSynGlyph& glyph, const TRect& clip) {
  TOp op;
  op.Kind = opGlyph;
  op.X = x;
  op.Y = y;
  op.Rect = clip;
  op.Glyph = &glyph;
  Ops.push_back(std::move(op));
}

int TSynRecordingCanvas::TextWidth(std::string_view text, TFontStyles style) {
  return (style.Contains(fsBold) ? BoldCellWidth : CellWidth) * static_cast<int>(text.size());
}

void TSynRecordingCanvas::DrawText(int x, int y, const TRect& clip, std::string_view text,
                                   TFontStyles style, TColor fg) {
  TOp op;
  op.Kind = opText;
  op.Rect = clip;
  op.X = x;
  op.Y = y;
  op.Text = std::string(text);
  op.Style = style;
  op.Fg = fg;
  op.FontName = font_.Name;
  Ops.push_back(std::move(op));
}

std::vector<TSynRecordingCanvas::TOp> TSynRecordingCanvas::Texts() const {
  std::vector<TOp> result;
  for (const TOp& op : Ops)
    if (op.Kind == opText) result.push_back(op);
  return result;
}

}  // namespace ludra
