#pragma once
// A small window of doc text beside the completion list: lines of the
// proposal window's mark-up (built by the program, its text escaped), drawn
// through the canvas like the hint's lines, in the tool-tip colours.
#include <QWidget>
#include <string>
#include <vector>

#include "platform/SynCanvas.h"

namespace ludra {

class TDocPanel : public QWidget {
 public:
  explicit TDocPanel(QWidget* parent);

  // Shows these lines in font (its face for text, its size for code too);
  // the panel takes their width and height.
  void SetLines(std::vector<std::string> lines, const TSynFont& font, const std::string& codeFont);
  const std::vector<std::string>& Lines() const { return lines_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int LineHeight() const;
  static constexpr int kMargin = 4;
  std::vector<std::string> lines_;
  TSynFont font_;
  std::string codeFont_;
};

}  // namespace ludra
