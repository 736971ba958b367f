// One application object for the whole test binary: Qt allows only one per
// process, and the main window needs it for widgets, fonts and the clipboard.
#include <gtest/gtest.h>

#include "LudraApplication.h"

namespace {

class LudraApplicationEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    if (!QApplication::instance()) app_ = new ludra::TLudraApplication(argc_, argv_);
  }
  void TearDown() override {
    delete app_;
    app_ = nullptr;
  }

 private:
  static inline int argc_ = 1;
  static inline char arg0_[] = "app_tests";
  static inline char* argv_[] = {arg0_, nullptr};
  ludra::TLudraApplication* app_ = nullptr;
};

[[maybe_unused]] ::testing::Environment* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new LudraApplicationEnvironment);

}  // namespace
