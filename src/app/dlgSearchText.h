#pragma once
// The Find dialog: the search text with its history, the options and the
// direction. The Replace dialog derives from it.
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <string>
#include <vector>

namespace ludra {

// Makes combo an editable text box that takes a text of any length: a
// search text cut to the box's usual limit would find something else.
void MakeTextCombo(QComboBox* combo);
// A combo box's items and text as document bytes, and back.
std::vector<std::string> ComboItems(const QComboBox* combo);
void SetComboItems(QComboBox* combo, const std::vector<std::string>& items);
std::string ComboText(const QComboBox* combo);
void SetComboText(QComboBox* combo, const std::string& text);

class TTextSearchDialog : public QDialog {
  Q_OBJECT
 public:
  explicit TTextSearchDialog(QWidget* owner);

  QLabel* Label1 = nullptr;
  QComboBox* cbSearchText = nullptr;
  QGroupBox* gbSearchOptions = nullptr;
  QCheckBox* cbSearchCaseSensitive = nullptr;
  QCheckBox* cbSearchWholeWords = nullptr;
  QCheckBox* cbSearchFromCursor = nullptr;
  QCheckBox* cbSearchSelectedOnly = nullptr;
  QCheckBox* cbRegularExpression = nullptr;
  QGroupBox* rgSearchDirection = nullptr;
  QButtonGroup* rgSearchDirectionItems = nullptr;
  QPushButton* btnOK = nullptr;
  QPushButton* btnCancel = nullptr;

  // The direction group's item index: 0 forwards, 1 backwards.
  int SearchDirection() const;
  void SetSearchDirection(int index);

  // Closing with OK puts the typed texts at the top of their histories.
  void done(int result) override;

 protected:
  // The close query of an OK close; the Replace dialog adds its own combo.
  virtual void FormCloseQuery();
  // Moves the groups and buttons down by dy and sets the client height
  // (the Replace dialog makes room for its second combo).
  void MoveLowerPart(int dy, int clientHeight);
};

}  // namespace ludra
