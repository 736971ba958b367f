#include "base/SynFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>

namespace ludra {

const char* const kNotARegularFile = "Not a regular file";
const char* const kFileTooLarge = "File too large";

namespace {

// Opens name in the folder dirFd for reading, only when it is a regular
// file, and without waiting; st is the opened file's. The descriptor keeps
// O_NONBLOCK, which changes nothing for a regular file's reads.
int OpenRegularAt(int dirFd, const std::string& name, std::string& reason, struct stat& st) {
  // Looked at before it is opened: opening a device can have effects of its
  // own, and a FIFO opened for reading would wait for a writer.
  if (::fstatat(dirFd, name.c_str(), &st, 0) != 0) {
    reason = std::strerror(errno);
    return -1;
  }
  if (!S_ISREG(st.st_mode)) {
    reason = S_ISDIR(st.st_mode) ? std::strerror(EISDIR) : kNotARegularFile;
    errno = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    return -1;
  }
  // Non-blocking, in case the name was replaced by a FIFO since the check.
  int fd = ::openat(dirFd, name.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
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
  return fd;
}

}  // namespace

int OpenRegularFileAt(int dirFd, const std::string& name, std::string& reason) {
  struct stat st;
  int fd = OpenRegularAt(dirFd, name, reason, st);
  if (fd < 0) return -1;
  int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  return fd;
}

int OpenRegularFile(const std::string& path, std::string& reason) {
  return OpenRegularFileAt(AT_FDCWD, path, reason);
}

bool IsRegularFile(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

TFileRead ReadRegularFileAt(int dirFd, const std::string& name, std::string& bytes,
                            std::string& reason) {
  struct stat st;
  int fd = OpenRegularAt(dirFd, name, reason, st);
  if (fd < 0) return errno == ENOENT ? TFileRead::Missing : TFileRead::NotOpened;
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};
  // One byte more than the size: a file that grew meanwhile fills the
  // buffer and is read on to its new end. One that holds exactly the bytes
  // it was said to hold needs no further read to find its end; anything else
  // (a file that shrank, a size of 0 as special files give) is read until a
  // read returns nothing.
  const size_t expected = st.st_size > 0 ? static_cast<size_t>(st.st_size) : 0;
  auto fail = [&](const char* why) {
    reason = why;
    bytes.clear();
    bytes.shrink_to_fit();
    return TFileRead::NotRead;
  };
  size_t size = 0;
  try {
    bytes.resize(expected > 0 ? expected + 1 : 4096);
  } catch (const std::bad_alloc&) {
    return fail(std::strerror(ENOMEM));
  }
  for (;;) {
    if (size == bytes.size()) {
      if (expected == 0 && size >= kMaxUnsizedFileBytes) return fail(kFileTooLarge);
      try {
        bytes.resize(bytes.size() * 2);
      } catch (const std::bad_alloc&) {
        return fail(std::strerror(ENOMEM));
      }
    }
    ssize_t n = ::read(fd, bytes.data() + size, bytes.size() - size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return fail(std::strerror(errno));
    }
    if (n == 0) break;
    size += static_cast<size_t>(n);
    if (size == expected) break;
  }
  bytes.resize(size);
  return TFileRead::Ok;
}

bool ReadRegularFile(const std::string& path, std::string& bytes, std::string& reason,
                     bool* missing) {
  TFileRead read = ReadRegularFileAt(AT_FDCWD, path, bytes, reason);
  if (missing) *missing = read == TFileRead::Missing;
  return read == TFileRead::Ok;
}

}  // namespace ludra
