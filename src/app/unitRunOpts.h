#pragma once
// The Run Options dialog: where Compile/Run copies the compiled script, and
// which program it then starts with which parameters.
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <functional>
#include <string>

#include "platform/SynProfileFile.h"

namespace ludra {

// The copy directory as stored: with a trailing '/' added when it lacks one
// (an empty text becomes "/").
std::string RunOptionsCopyDir(const std::string& text);

class TfmRunOptions : public QDialog {
  Q_OBJECT
 public:
  // Edits the main window's run options in place; Save also writes them to
  // the settings file.
  TfmRunOptions(QWidget* owner, std::string& copyDir, std::string& exeFile, std::string& params,
                TProfileFile settings);

  QLabel* lblCopyDir = nullptr;
  QLineEdit* edCopyDir = nullptr;
  QLabel* lblExeFile = nullptr;
  QLineEdit* edExeFile = nullptr;
  QLabel* lblParams = nullptr;
  QLineEdit* edParams = nullptr;
  QPushButton* bnSave = nullptr;
  QPushButton* bnCancel = nullptr;

  // Reports a refused settings write of the Save button; without it the
  // error goes on to the application's handler.
  std::function<void(const std::string& message)> OnSaveError;

  void FormCreate();
  // Stores the three values in memory, then in the settings file; a refused
  // write raises its error and leaves the dialog open.
  void bnSaveClick();
  void bnCancelClick();

 protected:
  // Escape cancels; Enter presses neither button.
  void keyPressEvent(QKeyEvent* event) override;

 private:
  std::string& copyDir_;
  std::string& exeFile_;
  std::string& params_;
  TProfileFile settings_;
};

}  // namespace ludra
