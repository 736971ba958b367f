// The QPainter canvas: palette colours, font variants and text in fixed cells.
#include <QFontInfo>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QImage>
#include <QPainter>
#include <QRawFont>
#include <map>

#include "base/SynCodePage.h"
#include "qt/SynEditWidget.h"

namespace ludra {

TSynQtCanvas::TSynQtCanvas(QPainter* painter, const QPalette& palette)
    : painter_(painter), palette_(palette) {}

void TSynQtCanvas::SetPainter(QPainter* painter, const QPalette& palette) {
  painter_ = painter;
  palette_ = palette;
}

QColor TSynQtCanvas::ToQColor(TColor color) const {
  if (!IsSystemColor(color))
    return QColor(static_cast<int>(GetRValue(color)), static_cast<int>(GetGValue(color)),
                  static_cast<int>(GetBValue(color)));
  // The desktop colour indexes, mapped to the roles that play the same part.
  static constexpr QPalette::ColorRole roles[] = {
      QPalette::Button,           // scroll bar
      QPalette::Window,           // desktop
      QPalette::Highlight,        // active caption
      QPalette::Mid,              // inactive caption
      QPalette::Window,           // menu
      QPalette::Base,             // window
      QPalette::Shadow,           // window frame
      QPalette::WindowText,       // menu text
      QPalette::Text,             // window text
      QPalette::HighlightedText,  // caption text
      QPalette::Window,           // active border
      QPalette::Window,           // inactive border
      QPalette::Dark,             // application work space
      QPalette::Highlight,        // highlight
      QPalette::HighlightedText,  // highlighted text
      QPalette::Button,           // button face
      QPalette::Dark,             // button shadow
      QPalette::PlaceholderText,  // grey text
      QPalette::ButtonText,       // button text
      QPalette::Text,             // inactive caption text
      QPalette::Light,            // button highlight
      QPalette::Shadow,           // 3D dark shadow
      QPalette::Midlight,         // 3D light
      QPalette::ToolTipText,      // info text
      QPalette::ToolTipBase,      // info background
  };
  int index = SystemColorIndex(color);
  if (index >= static_cast<int>(std::size(roles))) return palette_.color(QPalette::Base);
  // The selection keeps its colours when the window is inactive.
  return palette_.color(QPalette::Active, roles[index]);
}

QFont TSynQtCanvas::ToQFont(const TSynFont& font, TFontStyles style) {
  QFont f(QString::fromStdString(font.Name));
  if (font.Height > 0)
    f.setPixelSize(font.Height);
  else
    f.setPointSize(std::max(font.Size, 1));
  f.setStyleHint(QFont::TypeWriter);
  f.setFixedPitch(true);
  f.setKerning(false);
  f.setBold(style.Contains(fsBold));
  f.setItalic(style.Contains(fsItalic));
  f.setUnderline(style.Contains(fsUnderline));
  f.setStrikeOut(style.Contains(fsStrikeOut));
  return f;
}

void TSynQtCanvas::SetFont(const TSynFont& font) {
  bool sameFace = SameFace(font, font_);
  font_ = font;
  if (sameFace) return;
  variants_ = {};
  proportional_ = {};
}

const TSynQtCanvas::TVariant& TSynQtCanvas::Variant(TFontStyles style) {
  auto& slot = variants_[style.Bits() & 15];
  if (!slot) {
    TVariant v;
    v.Font = ToQFont(font_, style);
    QFontMetrics fm(v.Font);
    v.Ascent = fm.ascent();
    v.Advance = fm.horizontalAdvance(QLatin1Char('M'));
    v.Raw = QRawFont::fromFont(v.Font);
    // The glyph of every code-page byte, looked up once (0: the face has none).
    const TCodePage& page = CodePage();
    for (int b = 0; b < 256; ++b) {
      QList<quint32> g = v.Raw.glyphIndexesForString(
          QString(QChar(static_cast<char16_t>(page.ToUnicode(static_cast<unsigned char>(b))))));
      v.Glyphs[b] = g.size() == 1 ? g[0] : 0;
    }
    slot = v;
  }
  return *slot;
}

TSynCellSize TSynQtCanvas::MeasureCell(TFontStyles style) {
  const TVariant& v = Variant(style);
  QFontMetrics fm(v.Font);
  TSynCellSize cell;
  cell.Width = std::max(v.Advance, 1);
  cell.Height = std::max(fm.height(), 1);
  // How far a slanted glyph reaches past its advance.
  cell.Overhang = std::max(0, -fm.rightBearing(QLatin1Char('M')));
  cell.FixedPitch = QFontInfo(v.Font).fixedPitch();
  return cell;
}

void TSynQtCanvas::FillRect(const TRect& rect, TColor color) {
  if (!painter_ || rect.IsEmpty()) return;
  painter_->fillRect(QRect(rect.Left, rect.Top, rect.Right - rect.Left, rect.Bottom - rect.Top),
                     ToQColor(color));
}

void TSynQtCanvas::TextOut(int x, int y, const TRect& clip, std::string_view text, int cellWidth,
                           TFontStyles style, TColor fg, TColor bg) {
  if (!painter_ || clip.IsEmpty()) return;
  QRect qclip(clip.Left, clip.Top, clip.Right - clip.Left, clip.Bottom - clip.Top);
  painter_->fillRect(qclip, ToQColor(bg));
  if (text.empty()) return;
  const TVariant& v = Variant(style);
  bool blank = true;
  glyphs_.resize(static_cast<qsizetype>(text.size()));
  bool complete = v.Raw.isValid();
  for (size_t i = 0; i < text.size(); ++i) {
    auto b = static_cast<unsigned char>(text[i]);
    glyphs_[static_cast<qsizetype>(i)] = v.Glyphs[b];
    complete = complete && v.Glyphs[b] != 0;
    blank = blank && b == ' ';
  }
  if (blank && !style.Contains(fsUnderline) && !style.Contains(fsStrikeOut)) return;
  int right = x + cellWidth * static_cast<int>(text.size());
  bool clipped = x < clip.Left || right > clip.Right || y < clip.Top;
  if (clipped) {
    painter_->save();
    painter_->setClipRect(qclip, Qt::IntersectClip);
  }
  painter_->setPen(ToQColor(fg));
  int baseline = y + v.Ascent;
  if (complete) {
    // Glyphs placed at exact cell positions: the face's own (fractional)
    // advances would drift away from the grid over a long run.
    if (positions_.size() < glyphs_.size() || cellWidth != positionsCell_) {
      positions_.resize(std::max(glyphs_.size(), positions_.size()));
      for (qsizetype i = 0; i < positions_.size(); ++i)
        positions_[i] = QPointF(static_cast<qreal>(cellWidth) * static_cast<qreal>(i), 0);
      positionsCell_ = cellWidth;
    }
    QGlyphRun run;
    run.setRawFont(v.Raw);
    run.setRawData(glyphs_.constData(), positions_.constData(), glyphs_.size());
    run.setUnderline(style.Contains(fsUnderline));
    run.setStrikeOut(style.Contains(fsStrikeOut));
    painter_->drawGlyphRun(QPointF(x, baseline), run);
  } else {
    // A character the face lacks: let the font machinery find a substitute.
    const TCodePage& page = CodePage();
    painter_->setFont(v.Font);
    for (size_t i = 0; i < text.size(); ++i)
      painter_->drawText(QPoint(x + cellWidth * static_cast<int>(i), baseline),
                         QString(QChar(static_cast<char16_t>(
                             page.ToUnicode(static_cast<unsigned char>(text[i]))))));
  }
  if (clipped) painter_->restore();
}

const QFont& TSynQtCanvas::ProportionalFont(TFontStyles style) {
  auto& slot = proportional_[style.Bits() & 15];
  if (!slot) {
    QFont f = ToQFont(font_, style);
    f.setStyleHint(QFont::AnyStyle);
    f.setFixedPitch(false);
    f.setKerning(true);
    slot = f;
  }
  return *slot;
}

static QString CodePageText(std::string_view text) {
  const TCodePage& page = CodePage();
  QString s;
  s.reserve(static_cast<qsizetype>(text.size()));
  for (char c : text)
    s.append(QChar(static_cast<char16_t>(page.ToUnicode(static_cast<unsigned char>(c)))));
  return s;
}

int TSynQtCanvas::TextWidth(std::string_view text, TFontStyles style) {
  if (text.empty()) return 0;
  return QFontMetrics(ProportionalFont(style)).horizontalAdvance(CodePageText(text));
}

int TSynQtCanvas::TextHeight(TFontStyles style) {
  return std::max(QFontMetrics(ProportionalFont(style)).height(), 1);
}

void TSynQtCanvas::DrawText(int x, int y, const TRect& clip, std::string_view text,
                            TFontStyles style, TColor fg) {
  if (!painter_ || clip.IsEmpty() || text.empty()) return;
  const QFont& font = ProportionalFont(style);
  painter_->save();
  painter_->setClipRect(QRect(clip.Left, clip.Top, clip.Right - clip.Left, clip.Bottom - clip.Top),
                        Qt::IntersectClip);
  painter_->setFont(font);
  painter_->setPen(ToQColor(fg));
  painter_->drawText(QPoint(x, y + QFontMetrics(font).ascent()), CodePageText(text));
  painter_->restore();
}

void TSynQtCanvas::DrawLine(int x1, int y1, int x2, int y2, TColor color) {
  if (!painter_) return;
  painter_->fillRect(QRect(x1, y1, std::max(x2 - x1, 1), std::max(y2 - y1, 1)), ToQColor(color));
}

void TSynQtCanvas::DrawGlyph(int x, int y, const TSynGlyph& glyph, const TRect& clip) {
  if (!painter_ || clip.IsEmpty()) return;
  // Glyphs live as long as the program; each becomes an image once.
  static std::map<const TSynGlyph*, QImage> images;
  auto it = images.find(&glyph);
  if (it == images.end()) {
    QImage image(glyph.Width, glyph.Height, QImage::Format_ARGB32);
    for (int gy = 0; gy < glyph.Height; ++gy)
      for (int gx = 0; gx < glyph.Width; ++gx) {
        TColor c = glyph.At(gx, gy);
        image.setPixel(gx, gy, c == clNone ? 0u : ToQColor(c).rgba());
      }
    it = images.emplace(&glyph, image).first;
  }
  painter_->save();
  painter_->setClipRect(QRect(clip.Left, clip.Top, clip.Right - clip.Left, clip.Bottom - clip.Top),
                        Qt::IntersectClip);
  painter_->drawImage(QPoint(x, y), it->second);
  painter_->restore();
}

}  // namespace ludra
