#include "app/DocPanel.h"

#include <QPainter>

#include "completion/SynCompletionProposalMarkup.h"
#include "qt/SynEditWidget.h"

namespace ludra {

TDocPanel::TDocPanel(QWidget* parent) : QWidget(parent, Qt::ToolTip) {
  setObjectName("pnCompletionDoc");
  setAttribute(Qt::WA_ShowWithoutActivating);
}

int TDocPanel::LineHeight() const {
  TSynQtCanvas canvas;
  canvas.SetFont(font_);
  int height = canvas.TextHeight({});
  TSynFont code = font_;
  code.Name = codeFont_;
  canvas.SetFont(code);
  return std::max(height, canvas.TextHeight({}));
}

void TDocPanel::SetLines(std::vector<std::string> lines, const TSynFont& font,
                         const std::string& codeFont) {
  lines_ = std::move(lines);
  font_ = font;
  codeFont_ = codeFont;
  int width = 0;
  TSynQtCanvas canvas;
  for (const std::string& line : lines_)
    width = std::max(width, MeasureFormattedText(canvas, font_, line, nullptr, nullptr));
  setFixedSize(width + 2 * kMargin + 2,
               LineHeight() * static_cast<int>(lines_.size()) + 2 * kMargin + 2);
  update();
}

void TDocPanel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QRect r = rect();
  painter.fillRect(r, palette().color(QPalette::ToolTipBase));
  painter.setPen(palette().color(QPalette::Shadow));
  painter.drawRect(r.adjusted(0, 0, -1, -1));
  TSynQtCanvas canvas(&painter, palette());
  TSynFont font = font_;
  font.Color = clInfoText;
  int height = LineHeight();
  for (size_t i = 0; i < lines_.size(); ++i) {
    int top = kMargin + 1 + static_cast<int>(i) * height;
    DrawFormattedText(canvas, {kMargin + 1, top, width() - kMargin - 1, top + height}, font,
                      lines_[i], false, nullptr, nullptr);
  }
}

}  // namespace ludra
