#pragma once
// One compile of the main window's script, without a window: which compiler
// runs where, and what follows from its end (the status texts, and for
// Compile/Run the copy of the compiled file and the launch of the program).
// The output window supplies the running and shows the text.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "appcore/CompilerMessages.h"
#include "platform/ProgramFiles.h"
#include "platform/SynProcess.h"

namespace ludra {

// What one compile needs from the main window.
struct TCompileJob {
  std::string ProgramDir;
  // Where pawncc was looked for (FindCompiler); when nothing was looked up,
  // the program folder's pawncc runs.
  TCompilerSearch Compiler;
  std::string FileName;  // the saved script (CurrentFileName)
  bool RunAfterCompile = false;
  std::string CopyDir;
  std::string ExeFile;
  std::string Params;
  std::function<void(const std::string&)> SetStatusText;
  std::function<void(const std::string&)> ShowError;
  // A Yes/No question; true for Yes. Without it, a close asked for while
  // the compiler runs simply waits for the compile step.
  std::function<bool(const std::string&)> Confirm;
  // The compile's messages, once the compiler has ended, with the script
  // path the compiler was given.
  std::function<void(std::vector<TCompilerMessage>, const std::string&)> OnMessages;
  // A message (its index in those) chosen in the output window by a double
  // click or Enter; true when the window is to close.
  std::function<bool(int)> OnMessageChosen;
};

// The programs a compile starts.
class TCompilePrograms {
 public:
  virtual ~TCompilePrograms() = default;
  // Runs the compiler to its end; nothing when it could not be started.
  virtual std::optional<TSynProcessOutput> RunCompiler(const TSynProcessRun& run) = 0;
  // Starts the program of Compile/Run and forgets it; a failure is silent.
  virtual void Launch(const std::string& program, const std::string& params,
                      const std::string& workingDirectory) = 0;
};

// The compiled file of a script: its extension (from the last dot of the
// name part on) replaced by ".amx", or ".amx" appended when it has none.
std::string CompilerOutputPath(const std::string& fileName);

// The compiler run for a script: the pawncc found (else the program
// directory's) with "-;+", "-(+" and the script's absolute path, in the
// script's folder, the compiler's folder on the library path.
TSynProcessRun CompilerRun(const TCompileJob& job);

// The compile: "Compiling '<name>'..." in the status bar, the compiler run,
// "Unable to execute compiler..." when it did not start (naming the folders
// looked in when no compiler was found), then the status
// by whether the compiled file is there (a stopped compiler counts as
// failed), and with RunAfterCompile the copy to CopyDir and the launch of
// ExeFile in its folder. Returns what the compiler wrote.
std::optional<TSynProcessOutput> RunCompileJob(const TCompileJob& job, TCompilePrograms& programs);

}  // namespace ludra
