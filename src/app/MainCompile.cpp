// Compiling, Compile/Run and the run options of the main window.
#include <QApplication>
#include <QTimer>

#include "app/Main.h"
#include "app/unitOutput.h"
#include "app/unitRunOpts.h"

namespace ludra {

void TfmMain::miCompileClick(QObject* sender) {
  (void)sender;
  if (CurrentFileName.empty()) return;
  if (CurrentFileName == "Untitled") {
    miSaveAsClick(this);
    if (CurrentFileName == "Untitled") return;  // Save As cancelled or overwrite refused
  }
  if (DocumentModified) miSaveClick(this);

  TCompileJob job;
  job.ProgramDir = ProgramDir();
  job.Compiler = FindCompiler(ProgramDir(), ProgramSearchPath());
  job.FileName = DocumentPath();
  job.IncludeFolders = includeFolders_;
  job.RunAfterCompile = RunAfterCompile;
  job.CopyDir = CopyDir;
  job.ExeFile = ExeFile;
  job.Params = Params;
  // The last compile's messages go with it, also when this one cannot run.
  CompilerMessages->Clear();
  SetStatusText(CompileStartStatus(job));
  TfmOutput fmOutput(this, job);
  fmOutput.Confirm = [this](const std::string& text) {
    return dialogs_->MessageDlg(QApplication::activeModalWidget(), text, mtConfirmation, mbYesNo) ==
           mrYes;
  };
  // The result is applied once: when the window closes, or before a message
  // chosen in it is shown, since that needs the messages in place.
  bool applied = false;
  auto apply = [&] {
    if (applied || !fmOutput.CompileDone()) return;
    applied = true;
    ApplyCompileResult(job, fmOutput.Result());
  };
  fmOutput.OnMessageChosen = [&](int index) {
    bool close = false;
    Guarded([&] {
      apply();
      close = CompilerMessageChosen(index);
    });
    return close;
  };
  fmOutput_ = &fmOutput;
  struct Forget {
    TfmOutput*& form;
    ~Forget() { form = nullptr; }
  } forget{fmOutput_};
  fmOutput.exec();
  apply();
  RunAfterCompile = false;
  if (fmOutput.ChosenMessage() >= 0) {
    // The main window comes forward with the caret on the message's line.
    raise();
    activateWindow();
    moCode->setFocus();
  }
  // The main window was closed during the compile: close it now that the
  // compiler is gone.
  if (closeAfterCompile_) {
    closeAfterCompile_ = false;
    QTimer::singleShot(0, this, [this] { close(); });
  }
}

void TfmMain::ApplyCompileResult(const TCompileJob& job, const TCompileResult& result) {
  if (!result.Error.empty()) ShowError(result.Error);
  SetStatusText(CompileEndStatus(job, result));
  if (result.Output) CompilerMessagesArrived(result.Messages, result.ScriptPath);
}

void TfmMain::miCompileRunClick(QObject* sender) {
  (void)sender;
  if (ExeFile.empty()) miRunOptionsClick(this);
  if (ExeFile.empty()) return;
  RunAfterCompile = true;
  // However the compile ends (stopped before the output window, or by an
  // error), the request never carries over to a later plain Compile.
  struct ClearRequest {
    bool& flag;
    ~ClearRequest() { flag = false; }
  } clearRequest{RunAfterCompile};
  miCompileClick(this);
}

void TfmMain::miRunOptionsClick(QObject* sender) {
  (void)sender;
  TfmRunOptions fmRunOptions(this, CopyDir, ExeFile, Params, Settings());
  fmRunOptions.OnSaveError = [this](const std::string& message) { ReportException(message); };
  fmRunOptions.exec();
}

}  // namespace ludra
