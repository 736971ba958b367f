#include "app/MainImages.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <array>

namespace ludra {

namespace {

// A sheet of paper with a folded corner.
void DrawPage(QPainter& p) {
  QPainterPath page;
  page.moveTo(3.5, 1.5);
  page.lineTo(9.5, 1.5);
  page.lineTo(12.5, 4.5);
  page.lineTo(12.5, 14.5);
  page.lineTo(3.5, 14.5);
  page.closeSubpath();
  p.setPen(QColor(64, 64, 64));
  p.setBrush(Qt::white);
  p.drawPath(page);
  p.drawLine(QPointF(9.5, 1.5), QPointF(9.5, 4.5));
  p.drawLine(QPointF(9.5, 4.5), QPointF(12.5, 4.5));
}

void DrawLens(QPainter& p) {
  p.setPen(QPen(QColor(40, 40, 40), 1.5));
  p.setBrush(QColor(200, 230, 255));
  p.drawEllipse(QRectF(1.5, 1.5, 8, 8));
  p.setPen(QPen(QColor(90, 60, 20), 2.5, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(8.5, 8.5), QPointF(11.5, 11.5));
}

void DrawArrow(QPainter& p, bool down) {
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0, 110, 0));
  QPolygonF arrow;
  if (down)
    arrow << QPointF(10, 9) << QPointF(16, 9) << QPointF(13, 15);
  else
    arrow << QPointF(10, 15) << QPointF(16, 15) << QPointF(13, 9);
  p.drawPolygon(arrow);
}

void DrawGear(QPainter& p) {
  p.setPen(QPen(QColor(60, 60, 60), 1));
  p.setBrush(QColor(160, 160, 170));
  p.drawEllipse(QRectF(2.5, 2.5, 11, 11));
  p.setBrush(Qt::white);
  p.drawEllipse(QRectF(6, 6, 4, 4));
}

QPixmap Draw(int index) {
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  switch (index) {
    case 0:  // New: a blank page with a star
      DrawPage(p);
      p.setPen(QPen(QColor(230, 170, 0), 1.5));
      p.drawLine(QPointF(12, 9), QPointF(16, 13));
      p.drawLine(QPointF(16, 9), QPointF(12, 13));
      break;
    case 1:  // Open: a folder
      p.setPen(QColor(120, 90, 20));
      p.setBrush(QColor(240, 200, 80));
      p.drawRect(QRectF(1.5, 4.5, 13, 9));
      p.drawRect(QRectF(1.5, 2.5, 5, 2));
      break;
    case 2:  // Save: a disk
      p.setPen(QColor(20, 20, 60));
      p.setBrush(QColor(50, 80, 160));
      p.drawRect(QRectF(1.5, 1.5, 13, 13));
      p.setBrush(Qt::white);
      p.drawRect(QRectF(4.5, 1.5, 7, 5));
      p.setBrush(QColor(200, 200, 200));
      p.drawRect(QRectF(4.5, 9.5, 7, 5));
      break;
    case 3:  // Find
      DrawLens(p);
      break;
    case 4:  // Find Next
      DrawLens(p);
      DrawArrow(p, true);
      break;
    case 5:  // Find Prev
      DrawLens(p);
      DrawArrow(p, false);
      break;
    case 6:  // Replace: a page with a lens
      DrawPage(p);
      p.scale(0.75, 0.75);
      p.translate(5, 5);
      DrawLens(p);
      break;
    case 7:  // Compile: a gear
      DrawGear(p);
      break;
    case 8:  // Compile/Run: a gear and a play triangle
      DrawGear(p);
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(0, 140, 0));
      p.drawPolygon(QPolygonF() << QPointF(8, 7) << QPointF(16, 11.5) << QPointF(8, 16));
      break;
    case 9:  // Help Topics: a question mark in a circle
      p.setPen(QColor(20, 60, 140));
      p.setBrush(QColor(60, 120, 220));
      p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
      // Drawn as strokes: a glyph would load a bold font only for this.
      p.setPen(QPen(Qt::white, 1.9, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
      p.setBrush(Qt::NoBrush);
      {
        QPainterPath hook;
        hook.moveTo(5.7, 6.2);
        hook.cubicTo(5.7, 3.4, 10.3, 3.4, 10.3, 6.0);
        hook.cubicTo(10.3, 7.7, 8.0, 7.8, 8.0, 9.6);
        p.drawPath(hook);
      }
      p.setPen(Qt::NoPen);
      p.setBrush(Qt::white);
      p.drawEllipse(QPointF(8.0, 12.0), 1.15, 1.15);
      break;
  }
  return pixmap;
}

}  // namespace

QIcon ToolbarImage(int index) {
  static const std::array<const char*, 10> themeNames = {
      "document-new",      "document-open", "document-save",
      "edit-find",         "go-down",       "go-up",
      "edit-find-replace", "run-build",     "media-playback-start",
      "help-contents"};
  if (index < 0 || index >= static_cast<int>(themeNames.size())) return QIcon();
  return QIcon::fromTheme(QString::fromLatin1(themeNames[index]), QIcon(Draw(index)));
}

}  // namespace ludra
