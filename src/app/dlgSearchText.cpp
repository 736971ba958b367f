#include "app/dlgSearchText.h"

#include <QLineEdit>
#include <limits>

#include "app/LudraApplication.h"
#include "app/LudraDialogs.h"
#include "appcore/SearchOptions.h"
#include "base/SynCodePage.h"

namespace ludra {

namespace {

QString ToQt(const std::string& bytes) { return QString::fromStdString(CodePage().ToUtf8(bytes)); }
std::string FromQt(const QString& text) { return CodePage().FromUtf8(text.toStdString()); }

}  // namespace

std::vector<std::string> ComboItems(const QComboBox* combo) {
  std::vector<std::string> items;
  for (int i = 0; i < combo->count(); ++i) items.push_back(FromQt(combo->itemText(i)));
  return items;
}

void SetComboItems(QComboBox* combo, const std::vector<std::string>& items) {
  // Replacing the items must not replace the typed text.
  QString text = combo->currentText();
  combo->clear();
  for (const std::string& item : items) combo->addItem(ToQt(item));
  combo->setCurrentIndex(-1);
  combo->setEditText(text);
}

void MakeTextCombo(QComboBox* combo) {
  combo->setEditable(true);
  combo->lineEdit()->setMaxLength(std::numeric_limits<int>::max());
  // The history is kept by the close query, not by the combo's own insertion.
  combo->setInsertPolicy(QComboBox::NoInsert);
}

std::string ComboText(const QComboBox* combo) { return FromQt(combo->currentText()); }

void SetComboText(QComboBox* combo, const std::string& text) { combo->setEditText(ToQt(text)); }

TTextSearchDialog::TTextSearchDialog(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint) {
  setObjectName("TextSearchDialog");
  setWindowTitle("Search Text");
  setFont(FormFont());
  setFixedSize(332, 180);
  // The groups' captions sit on their frame line, so the first check box at
  // the top of a group lies inside the frame, not on it.
  setStyleSheet(
      "QGroupBox { border: 1px solid palette(mid); border-radius: 2px; margin-top: 6px; }"
      "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left;"
      " left: 7px; padding: 0 2px; }");

  Label1 = new QLabel("&Search for:", this);
  Label1->setObjectName("Label1");
  Label1->move(8, 12);
  Label1->adjustSize();
  cbSearchText = new QComboBox(this);
  cbSearchText->setObjectName("cbSearchText");
  MakeTextCombo(cbSearchText);
  cbSearchText->setGeometry(96, 8, 228, 21);
  Label1->setBuddy(cbSearchText);

  gbSearchOptions = new QGroupBox("Options", this);
  gbSearchOptions->setObjectName("gbSearchOptions");
  gbSearchOptions->setGeometry(8, 40, 154, 127);
  auto check = [this](const char* name, const char* caption, int top) {
    auto* box = new QCheckBox(caption, gbSearchOptions);
    box->setObjectName(name);
    box->setGeometry(8, top, 140, 17);
    return box;
  };
  cbSearchCaseSensitive = check("cbSearchCaseSensitive", "C&ase sensitivity", 17);
  cbSearchWholeWords = check("cbSearchWholeWords", "&Whole words only", 39);
  cbSearchFromCursor = check("cbSearchFromCursor", "Search from &caret", 61);
  cbSearchSelectedOnly = check("cbSearchSelectedOnly", "Se&lected text only", 83);
  cbRegularExpression = check("cbRegularExpression", "Regular e&xpression", 104);

  rgSearchDirection = new QGroupBox("Direction", this);
  rgSearchDirection->setObjectName("rgSearchDirection");
  rgSearchDirection->setGeometry(170, 40, 154, 65);
  rgSearchDirectionItems = new QButtonGroup(this);
  const char* const directions[] = {"&Forward", "&Backward"};
  for (int i = 0; i < 2; ++i) {
    auto* radio = new QRadioButton(directions[i], rgSearchDirection);
    radio->setObjectName(i == 0 ? "rbForward" : "rbBackward");
    radio->setGeometry(8, 17 + i * 22, 138, 17);
    rgSearchDirectionItems->addButton(radio, i);
  }
  SetSearchDirection(0);

  btnOK = new QPushButton("OK", this);
  btnOK->setObjectName("btnOK");
  btnOK->setGeometry(170, 149, 75, 23);
  btnOK->setDefault(true);
  btnCancel = new QPushButton("Cancel", this);
  btnCancel->setObjectName("btnCancel");
  btnCancel->setGeometry(249, 149, 75, 23);
  connect(btnOK, &QPushButton::clicked, this, [this] { done(mrOk); });
  // Escape closes through reject(), with the same answer as Cancel.
  connect(btnCancel, &QPushButton::clicked, this, [this] { done(mrCancel); });

  setTabOrder(cbSearchText, cbSearchCaseSensitive);
  setTabOrder(cbSearchCaseSensitive, cbSearchWholeWords);
  setTabOrder(cbSearchWholeWords, cbSearchFromCursor);
  setTabOrder(cbSearchFromCursor, cbSearchSelectedOnly);
  setTabOrder(cbSearchSelectedOnly, cbRegularExpression);
  setTabOrder(cbRegularExpression, rgSearchDirectionItems->button(0));
  setTabOrder(rgSearchDirectionItems->button(0), rgSearchDirectionItems->button(1));
  setTabOrder(rgSearchDirectionItems->button(1), btnOK);
  setTabOrder(btnOK, btnCancel);
  cbSearchText->setFocus();
}

int TTextSearchDialog::SearchDirection() const {
  return rgSearchDirectionItems->checkedId() == 1 ? 1 : 0;
}

void TTextSearchDialog::SetSearchDirection(int index) {
  rgSearchDirectionItems->button(index == 1 ? 1 : 0)->setChecked(true);
}

void TTextSearchDialog::done(int result) {
  if (result == mrOk) FormCloseQuery();
  QDialog::done(result);
}

void TTextSearchDialog::FormCloseQuery() {
  std::string text = ComboText(cbSearchText);
  if (text.empty()) return;
  std::vector<std::string> items = ComboItems(cbSearchText);
  AddToHistory(items, text);
  SetComboItems(cbSearchText, items);
  SetComboText(cbSearchText, text);
}

void TTextSearchDialog::MoveLowerPart(int dy, int clientHeight) {
  setFixedSize(width(), clientHeight);
  for (QWidget* w :
       std::initializer_list<QWidget*>{gbSearchOptions, rgSearchDirection, btnOK, btnCancel})
    w->move(w->x(), w->y() + dy);
}

}  // namespace ludra
