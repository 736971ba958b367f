#include "app/LudraDialogs.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFontDialog>
#include <QFontInfo>
#include <QGroupBox>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

#include "platform/FileAssociation.h"

namespace ludra {

namespace {

const char* const kFilter = "PAWN Scripts (*.pwn);;All Files (*)";

std::optional<std::string> RunFileDialog(QFileDialog& dialog, const std::string& initialName) {
  dialog.setNameFilters(QString::fromLatin1(kFilter).split(";;"));
  dialog.selectNameFilter("PAWN Scripts (*.pwn)");
  dialog.setDirectory(QDir::current());
  if (!initialName.empty()) dialog.selectFile(QString::fromStdString(initialName));
  dialog.setSizeGripEnabled(true);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().first().toStdString();
}

}  // namespace

QString MessageText(const std::string& text) { return QString::fromUtf8(text.data(), text.size()); }

void SetMessageBoxText(QMessageBox& box, const QString& text) {
  // A zero-width space is a place to break a line that shows nothing.
  constexpr int kLongRun = 60;
  QString wrappable;
  wrappable.reserve(text.size() + text.size() / (kLongRun / 2));
  int run = 0;
  for (QChar c : text) {
    wrappable += c;
    if (c.isSpace()) {
      run = 0;
    } else if (++run >= kLongRun || (c == u'/' && run >= kLongRun / 2)) {
      wrappable += QChar(0x200B);
      run = 0;
    }
  }
  box.setTextFormat(Qt::PlainText);
  box.setText(wrappable);
}

TModalResult TQtDialogs::MessageDlg(QWidget* parent, const std::string& text, TMsgDlgType type,
                                    TMsgDlgButtons buttons) {
  static const char* const captions[] = {"Confirm", "Information", "Error"};
  static const QMessageBox::Icon icons[] = {QMessageBox::Question, QMessageBox::Information,
                                            QMessageBox::Critical};
  QMessageBox box(icons[type], captions[type], QString(), QMessageBox::NoButton, parent);
  SetMessageBoxText(box, MessageText(text));
  QPushButton* ok = nullptr;
  QPushButton* yes = nullptr;
  QPushButton* no = nullptr;
  QPushButton* cancel = nullptr;
  if (buttons == mbOK) {
    ok = box.addButton("OK", QMessageBox::AcceptRole);
  } else {
    yes = box.addButton("&Yes", QMessageBox::YesRole);
    no = box.addButton("&No", QMessageBox::NoRole);
    if (buttons == mbYesNoCancel) cancel = box.addButton("Cancel", QMessageBox::RejectRole);
  }
  box.setDefaultButton(ok ? ok : yes);
  box.setEscapeButton(cancel ? cancel : no ? no : ok);
  box.exec();
  QAbstractButton* clicked = box.clickedButton();
  if (clicked == ok && ok) return mrOk;
  if (clicked == yes && yes) return mrYes;
  if (clicked == no && no) return mrNo;
  return buttons == mbOK ? mrOk : buttons == mbYesNo ? mrNo : mrCancel;
}

std::optional<std::string> TQtDialogs::OpenFileName(QWidget* parent,
                                                    const std::string& initialName) {
  QFileDialog dialog(parent);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  // The chosen file need not exist; loading it reports what is wrong.
  dialog.setFileMode(QFileDialog::AnyFile);
  return RunFileDialog(dialog, initialName);
}

std::optional<std::string> TQtDialogs::SaveFileName(QWidget* parent, const std::string& initialName,
                                                    const std::string& defaultExt) {
  QFileDialog dialog(parent);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  // The caller asks its own question about an existing file.
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  dialog.setDefaultSuffix(QString::fromStdString(defaultExt));
  return RunFileDialog(dialog, initialName);
}

std::optional<TSynFont> TQtDialogs::ChooseFont(QWidget* parent, const TSynFont& initial) {
  QFont requested(QString::fromStdString(initial.Name));
  if (initial.Size > 0) requested.setPointSize(initial.Size);
  // The list shows real faces: start on the one the requested name maps to.
  QFont font(QFontInfo(requested).family(), requested.pointSize());
  font.setBold(initial.Style.Contains(fsBold));
  font.setItalic(initial.Style.Contains(fsItalic));
  QFontDialog dialog(font, parent);
  dialog.setOption(QFontDialog::DontUseNativeDialog);
  // Colour, underline and strike-out are not the editor's to choose.
  for (QGroupBox* group : dialog.findChildren<QGroupBox*>())
    if (group->title().remove('&').compare("Effects", Qt::CaseInsensitive) == 0) group->hide();
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  TSynFont result = initial;
  result.Name = dialog.selectedFont().family().toStdString();
  result.Size = dialog.selectedFont().pointSize();
  // Bold and italic are the only effects the dialog offers.
  result.Style -= TFontStyles{fsBold, fsItalic};
  if (dialog.selectedFont().bold()) result.Style += TFontStyles{fsBold};
  if (dialog.selectedFont().italic()) result.Style += TFontStyles{fsItalic};
  return result;
}

std::optional<std::string> TQtDialogs::InputQuery(QWidget* parent, const std::string& caption,
                                                  const std::string& prompt,
                                                  const std::string& initial) {
  bool ok = false;
  QString text =
      QInputDialog::getText(parent, QString::fromStdString(caption), QString::fromStdString(prompt),
                            QLineEdit::Normal, QString::fromStdString(initial), &ok);
  if (!ok) return std::nullopt;
  return text.toStdString();
}

void TQtDialogs::AboutBox(QWidget* parent, const std::string& caption, const std::string& text) {
  QMessageBox box(QMessageBox::Information, QString::fromStdString(caption), QString(),
                  QMessageBox::NoButton, parent);
  SetMessageBoxText(box, MessageText(text));
  if (!QApplication::windowIcon().isNull())
    box.setIconPixmap(QApplication::windowIcon().pixmap(48, 48));
  box.addButton("OK", QMessageBox::AcceptRole);
  box.exec();
}

void TQtDialogs::ReportError(QWidget* parent, const std::string& text) {
  QMessageBox box(QMessageBox::Critical, QApplication::applicationName(), QString(),
                  QMessageBox::NoButton, parent);
  SetMessageBoxText(box, MessageText(text));
  box.addButton("OK", QMessageBox::AcceptRole);
  box.exec();
}

TModalResult TLudraDialogs::ShowModal(QDialog& dialog) {
  int result = dialog.exec();
  return result == QDialog::Rejected ? mrCancel : static_cast<TModalResult>(result);
}

void TLudraDialogs::Beep() { QApplication::beep(); }

void TQtDialogs::OpenDocument(const std::string& fileName, const std::string& directory) {
  QDesktopServices::openUrl(QUrl::fromLocalFile(
      QDir(QString::fromStdString(directory)).filePath(QString::fromStdString(fileName))));
}

void TLudraDialogs::RunDetached(const std::vector<std::string>& argv) { StartDetached(argv); }

}  // namespace ludra
