#pragma once
#include <string>

namespace ludra {

// The full path of the running executable.
std::string ProgramPath();

// The directory of the running executable, with no trailing '/'; settings,
// include files and the compiler are looked up there.
std::string ProgramDirectory();

// The directory part of a path (before the last '/'), or "." when none.
std::string ExtractFileDir(const std::string& path);
// The name part of a path: everything after the last '/'.
std::string ExtractFileName(const std::string& path);

}  // namespace ludra
