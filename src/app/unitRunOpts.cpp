#include "app/unitRunOpts.h"

#include <QKeyEvent>

#include "app/LudraApplication.h"
#include "base/SynExceptions.h"
#include "platform/SynProfileFile.h"

namespace ludra {

namespace {

QString Text(const std::string& s) { return QString::fromStdString(s); }
std::string Text(const QLineEdit* edit) { return edit->text().toStdString(); }

}  // namespace

std::string RunOptionsCopyDir(const std::string& text) {
  if (!text.empty() && text.back() == '/') return text;
  return text + "/";
}

TfmRunOptions::TfmRunOptions(QWidget* owner, std::string& copyDir, std::string& exeFile,
                             std::string& params, TProfileFile settings)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint),
      copyDir_(copyDir),
      exeFile_(exeFile),
      params_(params),
      settings_(std::move(settings)) {
  setObjectName("fmRunOptions");
  setWindowTitle("Run Options");
  setFont(FormFont());
  setFixedSize(376, 202);

  auto label = [this](const char* name, const char* text, int top) {
    auto* l = new QLabel(text, this);
    l->setObjectName(name);
    l->setGeometry(20, top, 337, 16);
    return l;
  };
  auto edit = [this](const char* name, int top) {
    auto* e = new QLineEdit(this);
    e->setObjectName(name);
    e->setGeometry(20, top, 337, 22);
    return e;
  };
  auto button = [this](const char* name, const char* text, int left) {
    auto* b = new QPushButton(text, this);
    b->setObjectName(name);
    b->setGeometry(left, 162, 75, 25);
    b->setAutoDefault(false);
    b->setDefault(false);
    return b;
  };
  lblCopyDir = label("lblCopyDir", "Copy script to directory:", 12);
  edCopyDir = edit("edCopyDir", 30);
  lblExeFile = label("lblExeFile", "Execute this file:", 62);
  edExeFile = edit("edExeFile", 80);
  lblParams = label("lblParams", "With these parameters:", 112);
  edParams = edit("edParams", 130);
  bnSave = button("bnSave", "Save", 201);
  bnCancel = button("bnCancel", "Cancel", 282);
  lblCopyDir->setBuddy(edCopyDir);
  lblExeFile->setBuddy(edExeFile);
  lblParams->setBuddy(edParams);

  // The form's own tab order: the parameters come last, after the buttons.
  setTabOrder(edCopyDir, edExeFile);
  setTabOrder(edExeFile, bnSave);
  setTabOrder(bnSave, bnCancel);
  setTabOrder(bnCancel, edParams);
  edCopyDir->setFocus();

  connect(bnSave, &QPushButton::clicked, this, [this] {
    try {
      bnSaveClick();
    } catch (const Exception& e) {
      if (!OnSaveError) throw;
      OnSaveError(e.what());
    }
  });
  connect(bnCancel, &QPushButton::clicked, this, [this] { bnCancelClick(); });
  FormCreate();
}

void TfmRunOptions::FormCreate() {
  edCopyDir->setText(Text(copyDir_));
  edExeFile->setText(Text(exeFile_));
  edParams->setText(Text(params_));
}

void TfmRunOptions::bnSaveClick() {
  edCopyDir->setText(Text(RunOptionsCopyDir(Text(edCopyDir))));
  copyDir_ = Text(edCopyDir);
  exeFile_ = Text(edExeFile);
  params_ = Text(edParams);
  TProfileFile settings = settings_;
  settings.WriteString("RunOpts", "CopyDir", Text(edCopyDir));
  settings.WriteString("RunOpts", "ExeFile", Text(edExeFile));
  settings.WriteString("RunOpts", "Params", Text(edParams));
  settings.UpdateFile();
  accept();
}

void TfmRunOptions::bnCancelClick() { reject(); }

void TfmRunOptions::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Escape:
      // As Cancel does, like every dialog of the program.
      bnCancelClick();
      return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      event->ignore();
      return;
    default:
      QDialog::keyPressEvent(event);
  }
}

}  // namespace ludra
