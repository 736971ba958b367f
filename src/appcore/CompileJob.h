#pragma once
// One compile of the main window's script, without a window: which compiler
// runs where, and what follows from its end (for Compile/Run the copy of the
// compiled file and the launch of the program). The output window supplies
// the running and shows the text; the main window applies the result (status
// texts, messages) once the output window has closed.
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
  // The include folders the function list reads, in the order it reads
  // them: the compiler looks for <name> there too.
  std::vector<std::string> IncludeFolders;
  bool RunAfterCompile = false;
  std::string CopyDir;
  std::string ExeFile;
  std::string Params;
};

// What one compile brought.
struct TCompileResult {
  // What the compiler wrote; nothing when it could not be started.
  std::optional<TSynProcessOutput> Output;
  // The messages of that output, and the script path the compiler was given.
  std::vector<TCompilerMessage> Messages;
  std::string ScriptPath;
  // The compiled file is there after a compile that was not stopped.
  bool Compiled = false;
  // Why the compiler did not run (none found, or it could not be
  // started); empty when it ran.
  std::string Error;
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
// directory's) with "-;+", "-(+", "-i" and each include folder, and the
// script's absolute path, in the script's folder, the compiler's folder on
// the library path.
TSynProcessRun CompilerRun(const TCompileJob& job);

inline constexpr char SUnableToExecuteCompiler[] = "Unable to execute compiler...";

// The status text while the compiler runs: "Compiling '<name>'...".
std::string CompileStartStatus(const TCompileJob& job);
// The status text after it: by whether the compiled file is there.
std::string CompileEndStatus(const TCompileJob& job, const TCompileResult& result);

// The compile: the compiler run (or the error when none was found or it did
// not start, naming the folders looked in when none was found), its
// messages, whether the compiled file is there (a stopped compiler counts as
// failed), and with RunAfterCompile the copy to CopyDir and the launch of
// ExeFile in its folder.
TCompileResult RunCompileJob(const TCompileJob& job, TCompilePrograms& programs);

}  // namespace ludra
