// One application object for the whole test binary: Qt allows only one per
// process, and the main window needs it for widgets, fonts and the clipboard.
// Every main window associates *.pwn files at start-up: the desktop
// directories are a temporary folder, never the user's own.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "app/LudraApplication.h"

namespace {

class LudraApplicationEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    char pattern[] = "/tmp/ludra-desktop-XXXXXX";
    if (mkdtemp(pattern)) desktop_ = pattern;
    setenv("XDG_DATA_HOME", (desktop_ + "/data").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (desktop_ + "/config").c_str(), 1);
    if (!QApplication::instance()) app_ = new ludra::TLudraApplication(argc_, argv_);
  }
  void TearDown() override {
    delete app_;
    app_ = nullptr;
    std::error_code ec;
    if (!desktop_.empty()) std::filesystem::remove_all(desktop_, ec);
  }

 private:
  static inline int argc_ = 1;
  static inline char arg0_[] = "app_tests";
  static inline char* argv_[] = {arg0_, nullptr};
  ludra::TLudraApplication* app_ = nullptr;
  std::string desktop_;
};

[[maybe_unused]] ::testing::Environment* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new LudraApplicationEnvironment);

}  // namespace
