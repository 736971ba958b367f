#pragma once
// Child processes of the program: the compiler, run to its end with its
// output collected while the windows stay responsive, and the program that
// Compile/Run launches and forgets.
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/SynProcess.h"

namespace ludra {

// Lets the window that started a program end it while it runs.
class TSynProcessControl {
 public:
  // Kills the running program; nothing when none runs.
  void Stop() {
    if (stop_) stop_();
  }
  bool Running() const { return static_cast<bool>(stop_); }

 private:
  friend std::optional<TSynProcessOutput> RunCollectingOutput(const TSynProcessRun&,
                                                              TSynProcessControl*, size_t);
  std::function<void()> stop_;
};

// Runs the program to its end with standard output and error merged and
// standard input empty, processing window events meanwhile. Returns the
// last `maxOutput` bytes it wrote (cut at a line start when one is near)
// with NUL bytes left out (what follows them is kept), or nothing when the
// program could not be started. `control`, when given, can stop it.
std::optional<TSynProcessOutput> RunCollectingOutput(const TSynProcessRun& run,
                                                     TSynProcessControl* control = nullptr,
                                                     size_t maxOutput = kMaxProcessOutput);

// The words of a parameter text as a POSIX shell splits them: blanks, tabs
// and line ends separate; single quotes keep everything literally; double
// quotes keep blanks and let a backslash escape $ ` " \ and a line end; a
// backslash outside quotes escapes the next character. Nothing is expanded.
std::vector<std::string> SplitShellWords(const std::string& text);

// Starts the program detached, with the parameter text split as above, in
// the given directory (empty: the current one); a bare name is looked up in
// the absolute folders of PATH. False when it did not start.
bool LaunchDetached(const std::string& program, const std::string& params,
                    const std::string& workingDirectory);

}  // namespace ludra
