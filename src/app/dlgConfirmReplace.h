#pragma once
// The question asked before each replacement: Yes, No, Cancel or Yes to all,
// placed beside the occurrence it is about.
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <string>

#include "base/SynGeometry.h"

namespace ludra {

class TConfirmReplaceDialog : public QDialog {
  Q_OBJECT
 public:
  explicit TConfirmReplaceDialog(QWidget* owner);

  QLabel* Image1 = nullptr;
  QLabel* lblConfirmation = nullptr;
  QPushButton* btnReplace = nullptr;
  QPushButton* btnSkip = nullptr;
  QPushButton* btnCancel = nullptr;
  QPushButton* btnReplaceAll = nullptr;

  // Asks about `text` and moves next to the occurrence whose first character
  // has its top-left corner at (x, y1) and whose line ends at y2, within the
  // main window's client area `area` (all in screen pixels).
  void PositionNear(const TRect& area, int x, int y1, int y2, const std::string& text);

 protected:
  // Y, N and A answer without Alt, as in the other question boxes.
  void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace ludra
