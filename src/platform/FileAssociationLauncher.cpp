// The launcher: a link whose path an opener can run without quoting, for a
// program whose own path holds a blank, a quote or another reserved
// character.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "base/SynExceptions.h"
#include "platform/AtomicFile.h"
#include "platform/FileAssociation.h"
#include "platform/ProgramDirectory.h"

namespace ludra {

namespace {

// Names the link that could not be made or removed and why.
[[noreturn]] void RaiseLauncherError(const std::string& path) {
  std::string reason = errno ? std::string(std::strerror(errno)) : std::string("Access denied");
  throw ERegistryException(Format("Failed to set data for '%s'", path) + ". " + reason);
}

bool NeedsQuoting(const std::string& path) { return DesktopExecValue(path) != path + " %f"; }

}  // namespace

std::string LinkTarget(const std::string& path) {
  std::string target(4096, '\0');
  ssize_t n = readlink(path.c_str(), target.data(), target.size());
  if (n < 0 || static_cast<size_t>(n) >= target.size()) return {};
  target.resize(static_cast<size_t>(n));
  return target;
}

std::string TFileAssociation::LauncherPath() const { return dirs_.DataHome + "/ludra/ludra"; }

bool TFileAssociation::LauncherPlaceTaken() const {
  struct stat st;
  return lstat(LauncherPath().c_str(), &st) == 0 && !S_ISLNK(st.st_mode);
}

std::string TFileAssociation::ExecProgram() const {
  if (!NeedsQuoting(program_)) return program_;
  const std::string launcher = LauncherPath();
  return NeedsQuoting(launcher) || LauncherPlaceTaken() ? program_ : launcher;
}

std::string TFileAssociation::KeptLauncherNote() const {
  if (!NeedsQuoting(program_) || NeedsQuoting(LauncherPath()) || !LauncherPlaceTaken()) return {};
  return LauncherPath() +
         " was kept: it is not a link to Ludra. The desktop entry names the program itself, "
         "which some openers cannot start.";
}

void TFileAssociation::WriteLauncher() const {
  const std::string launcher = LauncherPath();
  if (ExecProgram() != launcher || LinkTarget(launcher) == program_) return;
  errno = 0;
  if (!MakeFolders(ExtractFileDir(launcher))) RaiseLauncherError(launcher);
  // Made aside and renamed into place, so an opener never finds it missing.
  const std::string temp = launcher + "." + std::to_string(getpid()) + ".new";
  unlink(temp.c_str());
  if (symlink(program_.c_str(), temp.c_str()) != 0) RaiseLauncherError(launcher);
  if (rename(temp.c_str(), launcher.c_str()) != 0) {
    int error = errno;
    unlink(temp.c_str());
    errno = error;
    RaiseLauncherError(launcher);
  }
}

void TFileAssociation::RemoveLauncher() const {
  const std::string launcher = LauncherPath();
  if (LinkTarget(launcher) != program_) return;
  if (unlink(launcher.c_str()) != 0 && errno != ENOENT) RaiseLauncherError(launcher);
  // The folder goes too when nothing else lies in it.
  rmdir(ExtractFileDir(launcher).c_str());
}

}  // namespace ludra
