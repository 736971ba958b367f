#include "platform/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <random>
#include <vector>

#include "platform/ProgramDirectory.h"

namespace ludra {

namespace {

// The file a write must replace: symbolic links are followed (also to a
// target that does not exist yet), so that the link itself stays in place.
bool ResolveTarget(const std::string& path, std::string& target) {
  target = path;
  for (int depth = 0; depth < 40; ++depth) {
    struct stat st;
    if (lstat(target.c_str(), &st) != 0) return errno == ENOENT;
    if (!S_ISLNK(st.st_mode)) return true;
    std::vector<char> buf(static_cast<size_t>(st.st_size > 0 ? st.st_size : PATH_MAX) + 1);
    ssize_t n = readlink(target.c_str(), buf.data(), buf.size());
    if (n < 0 || static_cast<size_t>(n) >= buf.size()) return false;
    std::string link(buf.data(), static_cast<size_t>(n));
    target = !link.empty() && link[0] == '/' ? link : ExtractFileDir(target) + "/" + link;
  }
  return false;  // a loop of links
}

bool WriteAll(int fd, const std::string& data) {
  size_t done = 0;
  while (done < data.size()) {
    ssize_t n = write(fd, data.data() + done, data.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

bool ReplaceFileAtomically(const std::string& fileName, const std::string& data) {
  std::string target;
  if (!ResolveTarget(fileName, target)) return false;
  struct stat st;
  bool exists = stat(target.c_str(), &st) == 0;
  if (exists && (!S_ISREG(st.st_mode) || access(target.c_str(), W_OK) != 0)) return false;

  static std::mt19937 generator{std::random_device{}()};
  std::string dir = ExtractFileDir(target);
  std::string temp;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temp = dir + "/." + ExtractFileName(target) + "." + std::to_string(getpid()) + "." +
           std::to_string(generator() % 1000000) + ".tmp";
    // 0666 lets the umask decide the permissions of a new file.
    fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) return false;

  bool ok = WriteAll(fd, data);
  if (ok && exists) {
    // Only a privileged process may hand the file back to its owner; for
    // others the attempt fails harmlessly. Before fchmod, which it may undo.
    if (st.st_uid != geteuid() || st.st_gid != getegid()) {
      if (fchown(fd, st.st_uid, st.st_gid) != 0) {
      }
    }
    ok = fchmod(fd, st.st_mode & 07777) == 0;
  }
  ok = ok && fsync(fd) == 0;
  ok = close(fd) == 0 && ok;
  ok = ok && rename(temp.c_str(), target.c_str()) == 0;
  if (!ok) {
    unlink(temp.c_str());
    return false;
  }
  // Make the rename itself durable.
  int dirFd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd >= 0) {
    fsync(dirFd);
    close(dirFd);
  }
  return true;
}

bool MakeFolders(const std::string& dir) {
  struct stat st;
  if (stat(dir.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
  std::string parent = ExtractFileDir(dir);
  if (parent != dir && parent != "." && !MakeFolders(parent)) return false;
  return mkdir(dir.c_str(), 0700) == 0 || errno == EEXIST;
}

}  // namespace ludra
