#include "buffer/SynEditFileSave.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "base/SynExceptions.h"
#include "base/SynFiles.h"

namespace ludra {

namespace {

std::string Reason(int err) { return std::strerror(err); }

[[noreturn]] void RaiseCreateError(const std::string& fileName, const std::string& reason) {
  throw EFCreateError("Cannot create file \"" + fileName + "\". " + reason);
}

[[noreturn]] void RaiseWriteError(const std::string& fileName, int err) {
  throw EWriteError("Cannot write file \"" + fileName + "\". " + Reason(err));
}

// Where a save really goes: the target of a symbolic link, followed to the
// end (also to a target that does not exist yet).
std::string ResolveSaveTarget(const std::string& fileName) {
  std::string target = fileName;
  for (int depth = 0; depth < 40; ++depth) {
    struct stat st;
    if (lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return target;
    std::string link(static_cast<size_t>(st.st_size > 0 ? st.st_size : 4096) + 1, '\0');
    ssize_t n = readlink(target.c_str(), link.data(), link.size());
    if (n < 0) return target;
    link.resize(static_cast<size_t>(n));
    if (!link.empty() && link[0] == '/') {
      target = link;
    } else {
      size_t slash = target.rfind('/');
      target = slash == std::string::npos ? link : target.substr(0, slash + 1) + link;
    }
  }
  return target;
}

std::string FolderOf(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
}

std::string NameOf(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string InFolder(const std::string& folder, const std::string& name) {
  return (folder == "/" ? "" : folder) + "/" + name;
}

bool WriteAllAt(int fd, const std::string& data) {
  size_t done = 0;
  while (done < data.size()) {
    ssize_t n = ::pwrite(fd, data.data() + done, data.size() - done, static_cast<off_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

void SyncFolder(const std::string& folder) {
  int dfd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    ::fsync(dfd);
    ::close(dfd);
  }
}

// A rename would give the name a new file: it must still be the same file
// to every other name, in a folder that takes new files, with the owner
// the old one had.
bool RenameKeepsTheFile(const struct stat& st, const std::string& folder) {
  if (st.st_nlink > 1) return false;
  if (::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) != 0) return false;
  // Not ours: the new file would be (a sticky folder refuses the rename).
  if (geteuid() != 0 && st.st_uid != geteuid()) return false;
  return true;
}

// Keeps the old contents in a file of their own, beside the target when
// its folder allows, else in the system's folder for temporary files.
std::string KeepCopy(const std::string& fileName, const std::string& target,
                     const std::string& old) {
  int err = 0;
  for (const std::string& folder : {FolderOf(target), std::string("/tmp")}) {
    std::string copy = InFolder(folder, "." + NameOf(target) + ".ludra-old-XXXXXX");
    int fd = mkstemp(copy.data());
    if (fd < 0) {
      err = errno;
      continue;
    }
    bool ok = WriteAllAt(fd, old) && ::fsync(fd) == 0;
    if (!ok) err = errno;
    ok = ::close(fd) == 0 && ok;
    if (ok) return copy;
    ::unlink(copy.c_str());
  }
  RaiseWriteError(fileName, err ? err : EIO);
}

void WriteInPlace(int fd, const std::string& fileName, const std::string& target,
                  const std::function<void(TSynEditFileWriter&)>& write) {
  std::string old, reason;
  if (!ReadRegularFile(target, old, reason)) {
    ::close(fd);
    RaiseCreateError(fileName, reason);
  }
  std::string copy;
  try {
    copy = KeepCopy(fileName, target, old);
  } catch (...) {
    ::close(fd);
    throw;
  }
  try {
    TSynEditFileWriter writer(fd, fileName);
    write(writer);
    writer.TruncateHere();
    writer.Close();
  } catch (const std::exception& e) {
    // Put the old contents back; only when that fails too is the copy kept.
    int back = ::open(target.c_str(), O_WRONLY | O_CLOEXEC);
    bool restored = back >= 0 && WriteAllAt(back, old) &&
                    ::ftruncate(back, static_cast<off_t>(old.size())) == 0 && ::fsync(back) == 0;
    if (back >= 0) restored = ::close(back) == 0 && restored;
    if (restored) {
      ::unlink(copy.c_str());
      throw;
    }
    throw EWriteError(std::string(e.what()) + ". Its old contents are kept in \"" + copy + "\".");
  }
  ::unlink(copy.c_str());
}

// Writes a temporary file beside the target and renames it over the target.
// False (with nothing changed) when the new file could not get the old
// one's group: the caller writes in place then.
bool WriteAndRename(const std::string& fileName, const std::string& target, const struct stat* old,
                    const std::function<void(TSynEditFileWriter&)>& write) {
  std::string folder = FolderOf(target);
  std::string tmp = InFolder(folder, "." + NameOf(target) + ".ludra-XXXXXX");
  int fd = mkstemp(tmp.data());
  if (fd < 0) RaiseCreateError(fileName, Reason(errno));
  ::close(fd);
  try {
    if (old) {
      // The owner and group of the file replaced (only root may give a file
      // away); a group we cannot give it means writing in place instead.
      if (::chown(tmp.c_str(), geteuid() == 0 ? old->st_uid : static_cast<uid_t>(-1),
                  old->st_gid) != 0) {
        ::unlink(tmp.c_str());
        return false;
      }
    }
    {
      TSynEditFileWriter writer(tmp, fileName);
      write(writer);
      writer.Close();
    }
    if (old) {
      ::chmod(tmp.c_str(), old->st_mode & 07777);
    } else {
      mode_t mask = umask(0);
      umask(mask);
      ::chmod(tmp.c_str(), 0666 & ~mask);
    }
    if (::rename(tmp.c_str(), target.c_str()) != 0) RaiseCreateError(fileName, Reason(errno));
  } catch (...) {
    ::unlink(tmp.c_str());
    throw;
  }
  SyncFolder(folder);
  return true;
}

}  // namespace

void SaveFileSafely(const std::string& fileName,
                    const std::function<void(TSynEditFileWriter&)>& write) {
  std::string target = ResolveSaveTarget(fileName);
  struct stat st;
  if (::stat(target.c_str(), &st) != 0) {
    WriteAndRename(fileName, target, nullptr, write);
    return;
  }
  if (S_ISDIR(st.st_mode)) RaiseCreateError(fileName, Reason(EISDIR));
  if (!S_ISREG(st.st_mode)) RaiseCreateError(fileName, kNotARegularFile);
  // Asked as a direct write would ask: a write-protected file is refused.
  int fd = ::open(target.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) RaiseCreateError(fileName, Reason(errno));
  int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  if (RenameKeepsTheFile(st, FolderOf(target))) {
    bool renamed;
    try {
      renamed = WriteAndRename(fileName, target, &st, write);
    } catch (...) {
      ::close(fd);
      throw;
    }
    if (renamed) {
      ::close(fd);
      return;
    }
  }
  WriteInPlace(fd, fileName, target, write);
}

}  // namespace ludra
