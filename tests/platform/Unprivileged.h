#pragma once
// File permissions do not apply to root: tests of refused writes run their
// part as an unprivileged user when the tests run as root.
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

namespace ludra {

// Runs fn as user and group 65534 when the tests run as root, so that file
// permissions apply to it; gives fn's answer.
inline bool RunUnprivileged(const std::function<bool()>& fn) {
  if (geteuid() != 0) return fn();
  pid_t pid = fork();
  if (pid == 0) {
    if (setgid(65534) != 0 || setuid(65534) != 0) _exit(2);
    _exit(fn() ? 0 : 1);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace ludra
