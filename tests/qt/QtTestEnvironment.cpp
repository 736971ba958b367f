// One QApplication for the whole test binary: widgets, fonts and the
// clipboard all need it, and Qt allows only one per process.
#include <gtest/gtest.h>

#include <QApplication>

namespace {

class QtApplicationEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    if (!QApplication::instance()) app_ = new QApplication(argc_, argv_);
  }
  void TearDown() override {
    delete app_;
    app_ = nullptr;
  }

 private:
  // QApplication keeps references to both for its lifetime.
  static inline int argc_ = 1;
  static inline char arg0_[] = "qt_tests";
  static inline char* argv_[] = {arg0_, nullptr};
  QApplication* app_ = nullptr;
};

[[maybe_unused]] ::testing::Environment* const kQtEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);

}  // namespace
