#pragma once
// Shared pieces of the compile and run-options tests: an application object,
// temporary program directories with a test compiler of our own, and a
// driver for the modal windows a command opens.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>

#include "app/LudraApplication.h"

namespace ludra::test {

// A Qt application for the test's lifetime, unless one already runs.
class QtAppFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!QApplication::instance()) {
      static int argc = 1;
      static char name[] = "ludra_tests";
      static char* argv[] = {name, nullptr};
      app_ = std::make_unique<TLudraApplication>(argc, argv);
    }
  }
  void TearDown() override { app_.reset(); }

 private:
  std::unique_ptr<TLudraApplication> app_;
};

// A directory removed with everything in it at the end of the test. The
// name carries a blank, so paths with blanks are always exercised.
class TempDir {
 public:
  TempDir() {
    char pattern[] = "/tmp/ludra cc XXXXXX";
    const char* made = mkdtemp(pattern);
    if (!made) throw std::runtime_error("mkdtemp failed");
    path_ = made;
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  const std::string& Path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

inline void WriteFile(const std::string& path, const std::string& bytes) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

inline bool Exists(const std::string& path) { return std::filesystem::exists(path); }

inline void WriteScript(const std::string& path, const std::string& body) {
  WriteFile(path, "#!/bin/sh\n" + body);
  chmod(path.c_str(), 0755);
}

// The test compiler: records its working directory, its arguments and its
// library search path (one per line) in "<program dir>/compiler.log", then
// runs `body` with the script path (the last argument) in $3 and the .amx
// path in $AMX.
inline void InstallCompiler(const std::string& programDir, const std::string& body) {
  WriteScript(programDir + "/pawncc",
              "log=\"$(dirname \"$0\")/compiler.log\"\n"
              "printf '%s\\n' \"$PWD\" \"$#\" \"$@\" \"$LD_LIBRARY_PATH\" > \"$log\"\n"
              "for last; do :; done; set -- \"$1\" \"$2\" \"$last\"\n"
              "AMX=\"${3%.*}.amx\"\n" +
                  body);
}

// Compiler bodies.
inline const char* kCompilerSucceeds =
    "printf 'Pawn compiler\\n'\n"
    "printf '1 Warning.\\n' >&2\n"
    ": > \"$AMX\"\n";
inline const char* kCompilerFails =
    "printf 'a.pwn(3) : error 017: undefined symbol \"x\"\\n'\n"
    "exit 1\n";

// Runs `command`, which opens modal windows; while it runs, `onModal` is
// called from the event loop with the topmost modal window, again and again
// until the command returns (it closes the window when it has seen enough).
inline void DriveModal(const std::function<void()>& command,
                       const std::function<void(QWidget*)>& onModal) {
  QTimer timer;
  timer.setInterval(0);
  QObject::connect(&timer, &QTimer::timeout, [&] {
    if (QWidget* modal = QApplication::activeModalWidget()) onModal(modal);
  });
  timer.start();
  command();
  timer.stop();
}

}  // namespace ludra::test
