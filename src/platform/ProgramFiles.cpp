#include "platform/ProgramFiles.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "platform/ProgramDirectory.h"

namespace ludra {

namespace {

constexpr const char* kCompilerName = "pawncc";

std::string Join(const std::string& dir, const std::string& name) {
  return !dir.empty() && dir.back() == '/' ? dir + name : dir + "/" + name;
}

// Why the file at path cannot serve as the compiler; empty when it can. A
// folder that cannot be searched gives the system's reason.
std::string CompilerNote(const std::string& path, bool& found) {
  found = false;
  struct stat st;
  if (stat(path.c_str(), &st) != 0)
    return errno == ENOENT || errno == ENOTDIR ? std::string() : std::strerror(errno);
  if (!S_ISREG(st.st_mode)) return kCompilerName + std::string(" is not a file");
  if (access(path.c_str(), X_OK) != 0) return kCompilerName + std::string(" is not executable");
  found = true;
  return {};
}

bool HoldsIncludeFile(const std::string& dir) {
  DIR* d = opendir(dir.c_str());
  if (!d) return false;
  bool found = false;
  while (const dirent* e = readdir(d)) {
    std::string_view name = e->d_name;
    if (name.size() > 4 && name.ends_with(".inc")) {
      found = true;
      break;
    }
  }
  closedir(d);
  return found;
}

// The folder of the file a link finally names; empty when it is no link.
std::string LinkedFolder(const std::string& path) {
  char resolved[PATH_MAX];
  if (!realpath(path.c_str(), resolved)) return {};
  std::string folder = ExtractFileDir(resolved);
  return folder == ExtractFileDir(path) ? std::string() : folder;
}

}  // namespace

TSettingsLocation SettingsLocation(const std::string& programDir, const std::string& configHome) {
  const std::string local = Join(programDir, "settings.ini");
  struct stat st;
  if (lstat(local.c_str(), &st) == 0 || access(programDir.c_str(), W_OK) == 0)
    return {local, false};
  return {Join(configHome, "ludra/settings.ini"), true};
}

TCompilerSearch FindCompiler(const std::string& programDir, const std::string& searchPath) {
  TCompilerSearch search;
  std::vector<std::string> folders{programDir};
  // A relative entry would be taken from whatever the current folder is,
  // such as the folder of the script being compiled: only absolute ones count.
  std::istringstream entries(searchPath);
  for (std::string dir; std::getline(entries, dir, ':');)
    if (!dir.empty() && dir[0] == '/') folders.push_back(dir);
  for (const std::string& dir : folders) {
    bool seen = false;
    for (const TLookedFolder& looked : search.Looked) seen = seen || looked.Folder == dir;
    if (seen) continue;
    const std::string path = Join(dir, kCompilerName);
    bool found = false;
    search.Looked.push_back({dir, CompilerNote(path, found)});
    if (!found) continue;
    search.Compiler = path;
    // The library lies beside the compiler's real file; a ':' would split
    // the path list.
    search.LibraryPath = dir;
    std::string linked = LinkedFolder(path);
    if (!linked.empty() && linked.find(':') == std::string::npos)
      search.LibraryPath += ":" + linked;
    break;
  }
  return search;
}

std::string AbsoluteSearchPath(const char* path) {
  std::string absolute;
  std::istringstream entries(path ? path : "");
  for (std::string dir; std::getline(entries, dir, ':');)
    if (!dir.empty() && dir[0] == '/') absolute += (absolute.empty() ? "" : ":") + dir;
  return absolute.empty() ? "/usr/local/bin:/usr/bin:/bin" : absolute;
}

std::string ProgramSearchPath() { return AbsoluteSearchPath(std::getenv("PATH")); }

std::string FindProgram(const std::string& name, const std::string& searchPath) {
  if (name.empty()) return {};
  if (name.find('/') != std::string::npos) return access(name.c_str(), X_OK) == 0 ? name : "";
  std::istringstream entries(searchPath);
  for (std::string dir; std::getline(entries, dir, ':');) {
    if (dir.empty() || dir[0] != '/') continue;
    const std::string candidate = Join(dir, name);
    struct stat st;
    if (stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
        access(candidate.c_str(), X_OK) == 0)
      return candidate;
  }
  return {};
}

std::string CompilerNotFoundText(const TCompilerSearch& search) {
  std::string text = "Unable to execute compiler: no pawncc found in ";
  for (size_t i = 0; i < search.Looked.size(); ++i) {
    const TLookedFolder& looked = search.Looked[i];
    if (i > 0) text += ", ";
    text += looked.Folder;
    if (!looked.Note.empty()) text += " (" + looked.Note + ")";
  }
  return text + ".";
}

std::string IncludeFolder(const std::string& programDir, const TCompilerSearch& search) {
  std::vector<std::string> candidates;
  if (!search.Compiler.empty()) {
    for (const std::string& dir :
         {ExtractFileDir(search.Compiler), LinkedFolder(search.Compiler)}) {
      if (dir.empty()) continue;
      candidates.push_back(Join(dir, "include"));
      candidates.push_back(Join(ExtractFileDir(dir), "include"));
    }
  }
  const std::string own = Join(programDir, "include");
  candidates.push_back(own);
  for (const std::string& dir : candidates)
    if (HoldsIncludeFile(dir)) return dir;
  return own;
}

}  // namespace ludra
