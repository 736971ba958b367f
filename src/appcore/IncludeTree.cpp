#include "appcore/IncludeTree.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <set>

#include "base/SynCodePage.h"
#include "base/SynFiles.h"

namespace ludra {

namespace {

// Deeper nesting than this is taken for a runaway chain of generated files.
constexpr int kMaxDepth = 64;

std::string Folder(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

std::string Join(const std::string& folder, const std::string& name) {
  if (!name.empty() && name[0] == '/') return name;
  if (folder.empty()) return name;
  return folder.back() == '/' ? folder + name : folder + "/" + name;
}

unsigned char LowerAscii(char c) {
  auto b = static_cast<unsigned char>(c);
  return b >= 'A' && b <= 'Z' ? static_cast<unsigned char>(b + 32) : b;
}

// Name order with letter case ignored; byte order breaks ties.
bool NameBefore(std::string_view a, std::string_view b) {
  auto [i, j] = std::mismatch(a.begin(), a.end(), b.begin(), b.end(),
                              [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
  if (i != a.end() && j != b.end()) return LowerAscii(*i) < LowerAscii(*j);
  if (i != a.end() || j != b.end()) return i == a.end();
  return a < b;
}

bool EndsWithIncNoCase(std::string_view name) {
  if (name.size() < 4) return false;
  std::string_view end = name.substr(name.size() - 4);
  return end[0] == '.' && LowerAscii(end[1]) == 'i' && LowerAscii(end[2]) == 'n' &&
         LowerAscii(end[3]) == 'c';
}

}  // namespace

std::vector<std::string> ListIncludeFiles(const std::string& folder,
                                          std::vector<std::string>& errors) {
  std::vector<std::string> names;
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) {
    // No include folder is an empty function list, not an error.
    if (errno != ENOENT && errno != ENOTDIR)
      errors.push_back("Cannot read folder \"" + folder + "\". " + std::strerror(errno));
    return names;
  }
  while (const dirent* entry = ::readdir(dir))
    if (EndsWithIncNoCase(entry->d_name)) names.emplace_back(entry->d_name);
  ::closedir(dir);
  // The system's listing order is arbitrary here; users look for a file by
  // its name, so the files come in name order, letter case aside.
  std::sort(names.begin(), names.end(), NameBefore);
  return names;
}

std::vector<std::string> IncludeCandidates(const TIncludeDirective& d, const std::string& includer,
                                           const TIncludePaths& paths) {
  // Both separators part folders, as on the system the includes were written on.
  std::vector<std::string> out;
  if (d.Name.empty()) return out;
  std::string name = d.Name;
  std::replace(name.begin(), name.end(), '\\', '/');
  auto add = [&out](std::string path) {
    if (std::find(out.begin(), out.end(), path) == out.end()) out.push_back(std::move(path));
  };
  if (!d.Angle) {
    // The compiler opens the name from the folder it runs in, then from
    // the including file's.
    if (!paths.WorkingFolder.empty() || name[0] == '/') add(Join(paths.WorkingFolder, name));
    if (!includer.empty()) add(Join(Folder(includer), name));
  }
  if (name[0] != '/')
    for (const std::string& folder : paths.Folders)
      if (!folder.empty()) add(Join(folder, name));
  return out;
}

TIncludeTree::TFilePtr TIncludeTree::Load(const std::string& path, const std::string& heading,
                                          bool listed, std::string& error) {
  auto cached = cache_.find(path);
  // Looked at once per walk: a file handed out stays as it was read.
  if (cached != cache_.end() && cached->second.Walk == walk_) return cached->second.File;
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) {
    // Not there is the normal case of a name tried before the right one.
    if (errno != ENOENT && errno != ENOTDIR)
      error = "Cannot open file \"" + path + "\". " + std::strerror(errno);
    return nullptr;
  }
  // The compiler passes over a folder named like the file.
  if (S_ISDIR(st.st_mode) && !listed) return nullptr;
  // Only regular files are read: a FIFO or a device named like an include
  // file would hold the walk up.
  if (!S_ISREG(st.st_mode)) {
    error = "Cannot open file \"" + path + "\". " +
            (S_ISDIR(st.st_mode) ? std::strerror(EISDIR) : kNotARegularFile);
    return nullptr;
  }
  auto tooLarge = [&] {
    error = "Include file \"" + path + "\" skipped: it is larger than 16 MB";
    return nullptr;
  };
  if (st.st_size > kMaxFileBytes) return tooLarge();
  int64_t mtime = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  if (cached != cache_.end()) {
    const TTreeFile& c = *cached->second.File;
    if (c.Device == st.st_dev && c.Inode == st.st_ino && c.Size == st.st_size && c.MTime == mtime &&
        c.Listed == listed && c.Heading == heading) {
      cached->second.Walk = walk_;
      return cached->second.File;
    }
  }
  std::string text, reason;
  TFileRead read = ReadRegularFileAt(AT_FDCWD, path, text, reason);
  if (read != TFileRead::Ok) {
    error = (read == TFileRead::NotRead ? "Cannot read file \"" : "Cannot open file \"") + path +
            "\". " + reason;
    return nullptr;
  }
  // It may have grown since it was looked at.
  if (static_cast<int64_t>(text.size()) > kMaxFileBytes) return tooLarge();
  // The size and time seen before reading: a file changed while it was read
  // differs from them and is read again next time.
  auto file = std::make_shared<TTreeFile>();
  file->Path = path;
  file->Heading = heading;
  file->Listed = listed;
  file->Device = st.st_dev;
  file->Inode = st.st_ino;
  file->Size = st.st_size;
  file->MTime = mtime;
  file->Declarations = ReadDeclarations(text);
  // An earlier walk's list keeps the file this replaces.
  cache_[path] = {file, walk_};
  if (OnRead) OnRead(path);
  return file;
}

TIncludeTree::TWalk TIncludeTree::Walk(const std::vector<std::string>& listed,
                                       const std::vector<TIncludeDirective>* directives,
                                       const TIncludePaths& paths,
                                       const std::function<bool()>& stop) {
  TWalk walk;
  ++walk_;
  using TIdentity = std::pair<uint64_t, uint64_t>;  // device and inode
  std::set<TIdentity> taken, followed;
  std::string signature;
  // A file's heading: its path below an include folder or the script's.
  std::vector<std::string> bases = paths.Folders;
  bases.push_back(paths.WorkingFolder);
  auto heading = [&](const std::string& path) {
    for (const std::string& folder : bases)
      if (!folder.empty() && path.size() > folder.size() + 1 &&
          path.compare(0, folder.size(), folder) == 0 && path[folder.size()] == '/')
        return CodePage().FromUtf8(path.substr(folder.size() + 1));
    return CodePage().FromUtf8(path);
  };
  auto take = [&](TFilePtr file) {
    signature +=
        file->Path + '\0' + std::to_string(file->Size) + '\0' + std::to_string(file->MTime) + '\n';
    if (taken.insert({file->Device, file->Inode}).second) walk.Files.push_back(std::move(file));
  };
  for (const std::string& path : listed) {
    std::string error;
    std::string name = CodePage().FromUtf8(path.substr(path.rfind('/') + 1));
    if (TFilePtr file = Load(path, name, true, error)) {
      take(std::move(file));
    } else if (!error.empty()) {
      signature += error + '\n';
      walk.ListErrors.push_back(std::move(error));
    }
  }

  // Depth first, in the order the directives stand, as the compiler reads;
  // its implicit <default> first.
  struct TFrame {
    const std::vector<TIncludeDirective>* Includes;
    size_t Next;
    std::string Path;
  };
  const std::vector<TIncludeDirective> prefix{{"default", true, true, 0}};
  std::vector<TFrame> stack;
  if (directives) stack = {{directives, 0, {}}, {&prefix, 0, {}}};
  // The script itself lies in the folder the compiler runs in.
  const std::string scriptPath =
      paths.WorkingFolder.empty() ? std::string() : Join(paths.WorkingFolder, ".");
  while (!stack.empty() && !(stop && stop())) {
    TFrame& top = stack.back();
    if (top.Next >= top.Includes->size()) {
      stack.pop_back();
      continue;
    }
    const TIncludeDirective& d = (*top.Includes)[top.Next++];
    const std::string includer = top.Path.empty() ? scriptPath : top.Path;
    TFilePtr file;
    std::string error;
    if (!d.Name.empty()) {
      for (const std::string& base : IncludeCandidates(d, includer, paths)) {
        for (const char* ext : {"", ".inc", ".p", ".pawn"}) {
          std::string path = base + ext;
          file = Load(path, heading(path), false, error);
          if (file || !error.empty()) break;
        }
        if (file || !error.empty()) break;
      }
    }
    if (!file) {
      if (error.empty()) error = "Include file \"" + d.Name + "\" not found";
      // #tryinclude is silent, as the compiler is.
      if (!d.Try) {
        signature += error + '\n';
        walk.Errors.push_back(std::move(error));
      }
      continue;
    }
    // Each file is followed once; that ends cycles.
    if (!followed.insert({file->Device, file->Inode}).second) continue;
    const std::vector<TIncludeDirective>* includes = &file->Declarations.Includes;
    std::string path = file->Path;
    take(std::move(file));
    // The cache holds the file to the walk's end, so the frame's list stays.
    if (stack.size() < kMaxDepth) stack.push_back({includes, 0, std::move(path)});
  }
  if (stop && stop()) {
    // What was read is kept for the next walk, which starts afresh.
    lastSignature_.clear();
    walk.Changed = true;
    return walk;
  }
  // Files no longer read are forgotten.
  std::erase_if(cache_, [this](const auto& entry) { return entry.second.Walk != walk_; });
  walk.Changed = signature != lastSignature_;
  lastSignature_ = std::move(signature);
  return walk;
}

}  // namespace ludra
