#pragma once
// Child programs as plain data: how one is started and what it wrote. The
// Qt shell runs them; the compile job describes and judges them.
#include <cstddef>
#include <string>
#include <vector>

namespace ludra {

struct TSynProcessRun {
  std::string Program;  // a path: never looked up through a shell
  std::vector<std::string> Arguments;
  std::string WorkingDirectory;  // empty: the current directory
  // Put in front of the child's library search path (folders separated by
  // ':'): the compiler loads a shared library that lies beside it.
  std::string LibraryDirectory;
};

// What a program wrote, as far as it was kept.
struct TSynProcessOutput {
  std::string Text;
  bool Cut = false;      // the beginning was dropped to stay within the limit
  bool Stopped = false;  // ended by a stop request, not by itself
};

// A compiler that never stops writing must not fill the memory: at most
// this much of its output is kept, the end of it.
constexpr size_t kMaxProcessOutput = 8u << 20;

}  // namespace ludra
