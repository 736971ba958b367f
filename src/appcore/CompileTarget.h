#pragma once
// Which script F5 and Compile/Run compile: the active document, unless it is
// a file another open script reaches through its include tree (a module or
// an include file), which compiling alone would not build; then that script.
#include <string>
#include <vector>

#include "appcore/IncludeTree.h"

namespace ludra {

// An open script and the files its include tree reaches (paths as the walk
// opened them).
struct TOpenScript {
  std::string Path;
  std::vector<std::string> Reached;
};

// The paths of a walk's files.
std::vector<std::string> ReachedFiles(const TIncludeTree::TWalk& walk);

struct TCompileTarget {
  std::string Path;      // the script to compile
  std::string Included;  // the active file when another script includes it, else empty
};

// scripts are the other open documents, the one to prefer first (the most
// recently active). Among those that reach the active file, one that no
// other of them reaches wins: the main script, not a module between it and
// the file. Paths compare in their lexically normal form.
TCompileTarget ChooseCompileTarget(const std::string& activePath,
                                   const std::vector<TOpenScript>& scripts);

// The status text while the compiler runs on a script chosen for an
// included file: "Compiling 'main.pwn' (includes 'part.pwn')...".
std::string CompileTargetStatus(const TCompileTarget& target);

}  // namespace ludra
