#include "platform/InstanceSocket.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace ludra {

namespace {

constexpr std::string_view kMagic("LUDRA-OPEN-1\n", 13);

void PutUint32(std::string& out, uint32_t value) {
  for (int i = 0; i < 4; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

uint32_t GetUint32(std::string_view bytes) {
  uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(bytes[i]);
  return value;
}

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

}  // namespace

bool PrivateFolder(const std::string& dir) {
  struct stat st {};
  return !dir.empty() && ::lstat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
         st.st_uid == ::getuid() && (st.st_mode & 077) == 0;
}

std::string InstanceSocketName(std::string_view display) {
  std::string name = "ludra-";
  for (char c : display) {
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       c == '.' || c == '-' || c == '_';
    name += plain ? c : '_';
  }
  return name + ".socket";
}

std::string InstanceSocketPath() {
  std::string display = Env("DISPLAY");
  if (display.empty()) display = Env("WAYLAND_DISPLAY");
  std::string folder = Env("XDG_RUNTIME_DIR");
  if (!PrivateFolder(folder)) {
    folder = "/tmp/ludra-" + std::to_string(::getuid());
    // A folder someone else made first under that name is not used.
    ::mkdir(folder.c_str(), 0700);
    if (!PrivateFolder(folder)) return "";
  }
  return folder + "/" + InstanceSocketName(display);
}

TSocketPathState CheckSocketPath(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return errno == ENOENT ? spFree : spForeign;
  return S_ISSOCK(st.st_mode) && st.st_uid == ::getuid() ? spOurs : spForeign;
}

bool RemoveStaleSocket(const std::string& path) {
  switch (CheckSocketPath(path)) {
    case spFree:
      return true;
    case spOurs:
      return ::unlink(path.c_str()) == 0 || errno == ENOENT;
    default:
      return false;
  }
}

std::optional<uint32_t> PeerUid(int fd) {
  struct ucred cred {};
  socklen_t size = sizeof cred;
  if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &size) != 0 || size != sizeof cred)
    return std::nullopt;
  return cred.uid;
}

bool PeerIsSelf(int fd) { return PeerUid(fd) == ::getuid(); }

std::string EncodeHandOver(const std::vector<std::string>& files) {
  std::string out(kMagic);
  PutUint32(out, static_cast<uint32_t>(files.size()));
  for (const std::string& file : files) {
    PutUint32(out, static_cast<uint32_t>(file.size()));
    out += file;
  }
  return out;
}

bool THandOverReader::Feed(std::string_view bytes) {
  if (failed_ || complete_) return complete_;
  total_ += bytes.size();
  if (total_ > kMaxBytes) {
    failed_ = true;
    return false;
  }
  pending_.append(bytes);
  size_t used = 0;
  auto take = [&](size_t n) -> std::optional<std::string_view> {
    if (pending_.size() - used < n) return std::nullopt;
    std::string_view part(pending_.data() + used, n);
    used += n;
    return part;
  };
  if (!count_) {
    std::optional<std::string_view> head = take(kMagic.size() + 4);
    if (!head) return false;
    if (head->substr(0, kMagic.size()) != kMagic ||
        GetUint32(head->substr(kMagic.size())) > kMaxFiles) {
      failed_ = true;
      return false;
    }
    count_ = GetUint32(head->substr(kMagic.size()));
  }
  while (files_.size() < *count_) {
    const size_t start = used;
    std::optional<std::string_view> size = take(4);
    if (!size) break;
    const uint32_t length = GetUint32(*size);
    if (length > kMaxNameBytes) {
      failed_ = true;
      return false;
    }
    std::optional<std::string_view> name = take(length);
    if (!name) {
      used = start;
      break;
    }
    files_.emplace_back(*name);
  }
  pending_.erase(0, used);
  complete_ = files_.size() == *count_;
  // Bytes after the last name break the message.
  if (complete_ && !pending_.empty()) {
    failed_ = true;
    complete_ = false;
  }
  return complete_;
}

}  // namespace ludra
