#pragma once
// Where the program's companion files are: the settings file (in the program
// folder, or per user when that folder cannot take it), and the compiler
// with its include folder (beside the program, else on the PATH).
#include <string>
#include <vector>

namespace ludra {

struct TSettingsLocation {
  std::string FileName;
  // In the user's configuration folder, which a write makes when missing.
  bool PerUser = false;
};

// settings.ini in programDir when that folder already holds one or the user
// may write to it (the program folder carried around with its settings);
// else configHome/ludra/settings.ini.
TSettingsLocation SettingsLocation(const std::string& programDir, const std::string& configHome);

// A folder looked in for the compiler, with why a pawncc there was passed
// over (empty when there was none).
struct TLookedFolder {
  std::string Folder;
  std::string Note;
};

struct TCompilerSearch {
  std::string Compiler;  // the pawncc found; empty when none was
  // The folders the compiler loads its library from: its own, and the one
  // it lies in when it is a link.
  std::string LibraryPath;
  std::vector<TLookedFolder> Looked;
};

// pawncc beside the program, then in each absolute folder of searchPath (a
// PATH value), the first that is an executable file.
TCompilerSearch FindCompiler(const std::string& programDir, const std::string& searchPath);
// The absolute folders of a PATH value, joined by ':'. An empty entry, "."
// or any other relative one (also "~/bin", which only a shell expands)
// names a folder below wherever the program happens to run, where anyone
// could leave a program of that name; they are left out. The system
// folders when nothing is left.
std::string AbsoluteSearchPath(const char* path);
// The absolute folders of the process's PATH, as above.
std::string ProgramSearchPath();
// The first executable regular file called name in the folders of
// searchPath (absolute ones only); a name holding '/' is taken as it is.
// Empty when there is none.
std::string FindProgram(const std::string& name, const std::string& searchPath);
// The message for a search that found nothing: every folder looked in.
std::string CompilerNotFoundText(const TCompilerSearch& search);

// The include folder: include/ then ../include/ beside the compiler (and
// beside the file it links to), then include/ beside the program; the first
// that holds a *.inc file, else the program's.
std::string IncludeFolder(const std::string& programDir, const TCompilerSearch& search);

}  // namespace ludra
