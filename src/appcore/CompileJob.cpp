#include "appcore/CompileJob.h"

#include <filesystem>
#include <system_error>

#include "platform/ProgramDirectory.h"

namespace ludra {

namespace {

// The directory part of a path ending in '/', or empty when it has none.
std::string DirectoryPart(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string JoinPath(const std::string& dir, const std::string& name) {
  if (dir.empty()) return name;
  return dir.back() == '/' ? dir + name : dir + "/" + name;
}

// A relative script path is made absolute: the compiler runs in the
// script's folder, where the relative path would name another file.
std::string AbsoluteScriptPath(const std::string& fileName) {
  std::filesystem::path path(fileName);
  if (path.is_absolute()) return fileName;
  std::error_code ec;
  std::filesystem::path absolute = std::filesystem::absolute(path, ec);
  return ec ? fileName : absolute.lexically_normal().string();
}

}  // namespace

std::string CompilerOutputPath(const std::string& fileName) {
  size_t nameStart = fileName.rfind('/');
  nameStart = nameStart == std::string::npos ? 0 : nameStart + 1;
  size_t dot = fileName.rfind('.');
  if (dot == std::string::npos || dot < nameStart) return fileName + ".amx";
  return fileName.substr(0, dot) + ".amx";
}

TSynProcessRun CompilerRun(const TCompileJob& job) {
  const std::string script = AbsoluteScriptPath(job.FileName);
  TSynProcessRun run;
  const bool found = !job.Compiler.Compiler.empty();
  run.Program = found ? job.Compiler.Compiler : JoinPath(job.ProgramDir, "pawncc");
  run.Arguments = {"-;+", "-(+"};
  for (const std::string& folder : job.IncludeFolders)
    if (!folder.empty()) run.Arguments.push_back("-i" + folder);
  run.Arguments.push_back(script);
  run.WorkingDirectory = DirectoryPart(script);
  run.LibraryDirectory = found ? job.Compiler.LibraryPath : job.ProgramDir;
  return run;
}

std::string CompileStartStatus(const TCompileJob& job) {
  return "Compiling '" + ExtractFileName(job.FileName) + "'...";
}

std::string CompileEndStatus(const TCompileJob& job, const TCompileResult& result) {
  const std::string name = ExtractFileName(job.FileName);
  if (!result.Compiled) return "Unable to compile '" + name + "'.";
  return "File '" + name + "' has been compiled to '" +
         ExtractFileName(CompilerOutputPath(result.ScriptPath)) + "'.";
}

TCompileResult RunCompileJob(const TCompileJob& job, TCompilePrograms& programs) {
  const TSynProcessRun run = CompilerRun(job);
  TCompileResult result;
  result.ScriptPath = run.Arguments.back();
  const std::string outputPath = CompilerOutputPath(result.ScriptPath);
  if (job.Compiler.Compiler.empty() && !job.Compiler.Looked.empty()) {
    result.Error = CompilerNotFoundText(job.Compiler);
  } else {
    result.Output = programs.RunCompiler(run);
    if (result.Output)
      result.Messages = ParseCompilerOutput(result.Output->Text);
    else
      result.Error = SUnableToExecuteCompiler;
  }

  // A stopped compiler may have left a file half written, or an old one:
  // neither counts as compiled, and nothing is copied or launched.
  const bool stopped = result.Output && result.Output->Stopped;
  std::error_code ec;
  result.Compiled = !stopped && std::filesystem::is_regular_file(outputPath, ec);
  if (result.Compiled && job.RunAfterCompile) {
    // Neither the copy nor the launch is checked: both fail silently.
    std::filesystem::copy_file(outputPath, job.CopyDir + ExtractFileName(outputPath),
                               std::filesystem::copy_options::overwrite_existing, ec);
    programs.Launch(job.ExeFile, job.Params, DirectoryPart(job.ExeFile));
  }
  return result;
}

}  // namespace ludra
