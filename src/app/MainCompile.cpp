// Compiling, Compile/Run and the run options of the main window.
#include "Main.h"
#include "unitOutput.h"
#include "unitRunOpts.h"

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
  job.FileName = DocumentPath();
  job.RunAfterCompile = RunAfterCompile;
  job.CopyDir = CopyDir;
  job.ExeFile = ExeFile;
  job.Params = Params;
  job.SetStatusText = [this](const std::string& text) { SetStatusText(text); };
  job.ShowError = [this](const std::string& text) { ShowError(text); };
  TfmOutput fmOutput(this, std::move(job));
  fmOutput.exec();
  RunAfterCompile = false;
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
  TfmRunOptions fmRunOptions(this, CopyDir, ExeFile, Params, Settings().FileName());
  fmRunOptions.OnSaveError = [this](const std::string& message) { ReportException(message); };
  fmRunOptions.exec();
}

}  // namespace ludra
