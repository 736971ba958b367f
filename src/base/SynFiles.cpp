#include "base/SynFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace ludra {

const char* const kNotARegularFile = "Not a regular file";

int OpenRegularFile(const std::string& path, std::string& reason) {
  struct stat st;
  // Looked at before it is opened: opening a device can have effects of its
  // own, and a FIFO opened for reading would wait for a writer.
  if (::stat(path.c_str(), &st) != 0) {
    reason = std::strerror(errno);
    return -1;
  }
  if (!S_ISREG(st.st_mode)) {
    reason = S_ISDIR(st.st_mode) ? std::strerror(EISDIR) : kNotARegularFile;
    errno = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    return -1;
  }
  // Non-blocking, in case the name was replaced by a FIFO since the check.
  int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    reason = std::strerror(errno);
    return -1;
  }
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    reason = kNotARegularFile;
    ::close(fd);
    errno = EINVAL;
    return -1;
  }
  int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  return fd;
}

bool IsRegularFile(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool ReadRegularFile(const std::string& path, std::string& bytes, std::string& reason,
                     bool* missing) {
  if (missing) *missing = false;
  int fd = OpenRegularFile(path, reason);
  if (fd < 0) {
    if (missing) *missing = errno == ENOENT;
    return false;
  }
  bytes.clear();
  char buf[65536];
  for (;;) {
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      reason = std::strerror(errno);
      ::close(fd);
      return false;
    }
    if (n == 0) break;
    bytes.append(buf, static_cast<size_t>(n));
  }
  ::close(fd);
  return true;
}

}  // namespace ludra
