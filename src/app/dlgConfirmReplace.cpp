#include "app/dlgConfirmReplace.h"

#include <QKeyEvent>
#include <QKeySequence>
#include <QStyle>

#include "app/LudraApplication.h"
#include "app/LudraDialogs.h"
#include "appcore/SearchOptions.h"
#include "base/SynCodePage.h"

namespace ludra {

TConfirmReplaceDialog::TConfirmReplaceDialog(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint) {
  setObjectName("ConfirmReplaceDialog");
  setWindowTitle("Confirm replace");
  setFont(FormFont());
  setFixedSize(328, 98);

  Image1 = new QLabel(this);
  Image1->setObjectName("Image1");
  Image1->setGeometry(16, 16, 32, 32);
  Image1->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(32, 32));
  lblConfirmation = new QLabel(this);
  lblConfirmation->setObjectName("lblConfirmation");
  lblConfirmation->setGeometry(60, 12, 261, 44);
  lblConfirmation->setWordWrap(true);
  lblConfirmation->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  // The searched text is shown as typed, never as mark-up.
  lblConfirmation->setTextFormat(Qt::PlainText);

  auto button = [this](const char* name, const char* caption, int left, TModalResult result) {
    auto* b = new QPushButton(caption, this);
    b->setObjectName(name);
    b->setGeometry(left, 67, 75, 23);
    connect(b, &QPushButton::clicked, this, [this, result] { done(result); });
    return b;
  };
  btnReplace = button("btnReplace", "&Yes", 8, mrYes);
  btnSkip = button("btnSkip", "&No", 87, mrNo);
  // Escape and the close box answer as Cancel does.
  btnCancel = button("btnCancel", "Cancel", 166, mrCancel);
  btnReplaceAll = button("btnReplaceAll", "Yes to &all", 245, mrYesToAll);
  btnReplace->setDefault(true);
  btnReplace->setFocus();
}

void TConfirmReplaceDialog::PositionNear(const TRect& area, int x, int y1, int y2,
                                         const std::string& text) {
  lblConfirmation->setText(QString::fromStdString(CodePage().ToUtf8(ConfirmReplaceText(text))));
  QSize size = frameGeometry().size();
  TRect bounds = ConfirmDialogBounds(area, x, y1, y2, size.width(), size.height());
  move(bounds.Left, bounds.Top);
}

void TConfirmReplaceDialog::keyPressEvent(QKeyEvent* event) {
  if ((event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
    for (QPushButton* b : {btnReplace, btnSkip, btnReplaceAll}) {
      if (QKeySequence::mnemonic(b->text()) ==
          QKeySequence(QKeyCombination(Qt::AltModifier, Qt::Key(event->key())))) {
        b->click();
        return;
      }
    }
  }
  QDialog::keyPressEvent(event);
}

}  // namespace ludra
