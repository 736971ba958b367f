#pragma once
// Where the running window of a user and display waits for the files a later
// start hands over, and the checks that keep everyone else out: the socket
// lies in a folder only its user can enter, a path that is not this user's
// socket is never used nor removed, and both ends ask the kernel who the
// peer is. The message carries the file names as bytes, whatever they are.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ludra {

// A folder that only this user can reach: a real folder (no link), owned by
// the user, with no rights for group or others.
bool PrivateFolder(const std::string& dir);

// The socket of this user and display: in $XDG_RUNTIME_DIR when that is a
// private folder, else in /tmp/ludra-<uid> (made private when missing); the
// display ($DISPLAY, else $WAYLAND_DISPLAY) is part of the name. Empty when
// no private folder can be had.
std::string InstanceSocketPath();
// The socket's file name for a display: "ludra-" + the display with every
// character but letters, digits, '.', '-' and '_' written as '_' +
// ".socket".
std::string InstanceSocketName(std::string_view display);

enum TSocketPathState {
  spFree,     // nothing there
  spOurs,     // a socket of this user: a window's, or a stale one
  spForeign,  // anything else: never used, never removed
};
TSocketPathState CheckSocketPath(const std::string& path);
// Removes a stale socket of this user; anything else stays. True when the
// path is free afterwards.
bool RemoveStaleSocket(const std::string& path);

// The user id of the process at the other end of a connected local socket;
// nothing when the kernel does not say.
std::optional<uint32_t> PeerUid(int fd);
// Whether the peer is this user.
bool PeerIsSelf(int fd);

// The hand-over: a second start sends the files named on its command line
// (absolute), the window answers kHandOverTaken, the sender confirms with
// kHandOverDone and ends; a window that never hears the confirmation drops
// the files, since the sender started a window of its own.
inline constexpr std::string_view kHandOverTaken = "TAKEN\n";
inline constexpr std::string_view kHandOverDone = "DONE\n";
std::string EncodeHandOver(const std::vector<std::string>& files);

// Reads a hand-over as its bytes arrive.
class THandOverReader {
 public:
  // Limits a message must keep: whatever the sender, a window never holds
  // more than this.
  static constexpr uint32_t kMaxFiles = 100000;
  static constexpr uint32_t kMaxNameBytes = 65536;
  static constexpr size_t kMaxBytes = size_t{64} << 20;

  // Takes the next bytes; true once the message is complete.
  bool Feed(std::string_view bytes);
  // The message broke a rule (wrong start, a limit): nothing more is read.
  bool Failed() const { return failed_; }
  bool Complete() const { return complete_; }
  const std::vector<std::string>& Files() const { return files_; }

 private:
  std::string pending_;
  size_t total_ = 0;
  std::optional<uint32_t> count_;
  std::vector<std::string> files_;
  bool failed_ = false, complete_ = false;
};

}  // namespace ludra
