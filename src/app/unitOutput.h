#pragma once
// The compiler output window: opened modally for one compile, it runs the
// compiler when it first becomes active, shows what the compiler wrote and
// stays open until the user closes it.
#include <QDialog>
#include <QPlainTextEdit>
#include <functional>
#include <string>
#include <vector>

#include "appcore/CompileJob.h"
#include "qt/SynCompilerProcess.h"

namespace ludra {

// The compiler's bytes as display text: CR LF as one line end; each line
// that is valid UTF-8 (file names on this system) is shown as such, any
// other through the document code page (quoted script text).
QString CompilerOutputText(const std::string& bytes);
// One line of the compiler's bytes as the output window shows it.
QString CompilerLineText(std::string_view line);
// For each block (line) of CompilerOutputText(bytes) in a text box, the
// 0-based line of the compiler's output it shows: a CR inside a line or a
// paragraph separator starts a block of its own there.
std::vector<int> CompilerOutputBlockLines(const std::string& bytes);

class TfmOutput : public QDialog {
  Q_OBJECT
 public:
  TfmOutput(QWidget* owner, TCompileJob job);

  QPlainTextEdit* moOutput = nullptr;

  // A Yes/No question; true for Yes. Without it, a close asked for while
  // the compiler runs simply waits for the compile step.
  std::function<bool(const std::string&)> Confirm;
  // A message (its index in the result's messages) chosen by a double click
  // or Enter; true when the window is to close.
  std::function<bool(int)> OnMessageChosen;

  // What the compile brought, once CompileDone().
  const TCompileResult& Result() const { return result_; }

  // True while the compiler runs.
  bool Busy() const { return busy_; }
  // True once the compile step has finished (its text shown, status set).
  bool CompileDone() const { return activated_ && !busy_; }

  // The compile: runs once, when the window is first shown.
  void FormActivate();
  // Keys reach the window before its text box; Escape closes it.
  bool FormKeyDown(int key, Qt::KeyboardModifiers shift);

  // The message a block of moOutput shows, or -1 for plain text.
  int MessageAtBlock(int block) const;
  // Hands the message of a block to the main window; closes the window
  // when that asks for it. False when the block shows no message.
  bool ChooseMessage(int block);
  // The message chosen last that closed the window, or -1.
  int ChosenMessage() const { return chosen_; }

  // Ends a running compiler (the compile then counts as failed); nothing
  // when none runs.
  void StopCompiler();

  // A close asked for while the compiler runs asks "Stop the compiler?":
  // Yes ends it and closes the window, No keeps both. Without a Confirm
  // the close waits for the compile step.
  void reject() override;
  void setVisible(bool visible) override;

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void PlaceOverOwner();
  // Maps the text box's blocks to the messages they show.
  void MapMessageBlocks();

  TCompileJob job_;
  TCompileResult result_;
  bool placed_ = false;
  bool activated_ = false;
  bool busy_ = false;
  bool closeRequested_ = false;
  bool asking_ = false;
  std::vector<int> blockMessages_;
  int chosen_ = -1;
  TSynProcessControl compiler_;
};

// The first line of the output window when the compiler wrote more than is kept.
extern const char* const kOutputCutNotice;

}  // namespace ludra
