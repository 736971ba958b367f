#pragma once
// The Replace dialog: the Find dialog with a replacement text and its history.
#include "app/dlgSearchText.h"

namespace ludra {

class TTextReplaceDialog : public TTextSearchDialog {
  Q_OBJECT
 public:
  explicit TTextReplaceDialog(QWidget* owner);

  QLabel* Label2 = nullptr;
  QComboBox* cbReplaceText = nullptr;

 protected:
  void FormCloseQuery() override;
};

}  // namespace ludra
