#pragma once
#include <QMainWindow>
#include <memory>
#include <string>

#include "SynEditWidget.h"
#include "SynHighlighterCpp.h"

namespace ludra {

// The main window. It is given the program directory (settings.ini, the
// include folder and the compiler live there) so tests can use another one.
class TfmMain : public QMainWindow {
  Q_OBJECT
 public:
  explicit TfmMain(const std::string& programDir, QWidget* parent = nullptr);
  const std::string& ProgramDir() const { return programDir_; }

  // Shows a script in the editor, with line numbers.
  void LoadScript(const std::string& fileName);

  std::unique_ptr<TSynCppSyn> shCpp;
  TSynEdit* moCode = nullptr;

 private:
  std::string programDir_;
};

}  // namespace ludra
