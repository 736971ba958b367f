#include "app/dlgReplaceText.h"

#include "appcore/SearchOptions.h"

namespace ludra {

TTextReplaceDialog::TTextReplaceDialog(QWidget* owner) : TTextSearchDialog(owner) {
  setObjectName("TextReplaceDialog");
  setWindowTitle("Replace text");
  MoveLowerPart(30, 210);

  Label2 = new QLabel("&Replace with:", this);
  Label2->setObjectName("Label2");
  Label2->move(8, 41);
  Label2->adjustSize();
  cbReplaceText = new QComboBox(this);
  cbReplaceText->setObjectName("cbReplaceText");
  MakeTextCombo(cbReplaceText);
  cbReplaceText->setGeometry(96, 37, 228, 21);
  Label2->setBuddy(cbReplaceText);
  setTabOrder(cbSearchText, cbReplaceText);
  setTabOrder(cbReplaceText, cbSearchCaseSensitive);
}

void TTextReplaceDialog::FormCloseQuery() {
  TTextSearchDialog::FormCloseQuery();
  std::string text = ComboText(cbReplaceText);
  if (text.empty()) return;
  std::vector<std::string> items = ComboItems(cbReplaceText);
  AddToHistory(items, text);
  SetComboItems(cbReplaceText, items);
  SetComboText(cbReplaceText, text);
}

}  // namespace ludra
