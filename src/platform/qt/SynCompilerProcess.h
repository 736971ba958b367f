#pragma once
// Child processes of the program: the compiler, run to its end with its
// output collected while the windows stay responsive, and the program that
// Compile/Run launches and forgets.
#include <optional>
#include <string>
#include <vector>

namespace ludra {

struct TSynProcessRun {
  std::string Program;  // a path: never looked up through a shell
  std::vector<std::string> Arguments;
  std::string WorkingDirectory;  // empty: the current directory
  // Put in front of the child's library search path: the compiler loads a
  // shared library that lies beside it.
  std::string LibraryDirectory;
};

// Runs the program to its end with standard output and error merged and
// standard input empty, processing window events meanwhile. Returns the
// bytes it wrote with NUL bytes left out (what follows them is kept), or
// nothing when the program could not be started.
std::optional<std::string> RunCollectingOutput(const TSynProcessRun& run);

// The words of a parameter text as a POSIX shell splits them: blanks, tabs
// and line ends separate; single quotes keep everything literally; double
// quotes keep blanks and let a backslash escape $ ` " \ and a line end; a
// backslash outside quotes escapes the next character. Nothing is expanded.
std::vector<std::string> SplitShellWords(const std::string& text);

// Starts the program detached, with the parameter text split as above, in
// the given directory (empty: the current one). False when it did not start.
bool LaunchDetached(const std::string& program, const std::string& params,
                    const std::string& workingDirectory);

}  // namespace ludra
