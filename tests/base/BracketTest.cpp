#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "base/SynBracket.h"

using namespace ludra;

namespace {

// A begin/end pair whose end can be told to fail, like an end that delivers
// notices to a failing handler.
struct TPair {
  int depth = 0;
  int ends = 0;
  bool endThrows = false;
  std::string log;
  auto Open(const char* name) {
    return Bracket([this] { ++depth; },
                   [this, name] {
                     --depth;
                     ++ends;
                     log += name;
                     if (endThrows) throw std::runtime_error(std::string("end ") + name);
                   });
  }
};

}  // namespace

TEST(Bracket, ClosesOnEveryPathAndOnlyTheFirstErrorLeaves) {
  struct TCase {
    const char* name;
    bool bodyThrows;
    bool endThrows;
    const char* expectedError;  // nullptr: none
  };
  const TCase cases[] = {
      {"normal path", false, false, nullptr},
      {"body fails", true, false, "body"},
      // The end's error leaves on the normal path; the outer end still runs.
      {"end fails", false, true, "end inner"},
      // While the body's error unwinds, the ends' errors are dropped.
      {"body and end fail", true, true, "body"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    TPair pair;
    pair.endThrows = c.endThrows;
    std::string error;
    try {
      auto outer = pair.Open("outer");
      auto inner = pair.Open("inner");
      EXPECT_EQ(pair.depth, 2);
      if (c.bodyThrows) throw std::runtime_error("body");
    } catch (const std::exception& e) {
      error = e.what();
    }
    EXPECT_EQ(pair.depth, 0);
    EXPECT_EQ(pair.ends, 2);
    EXPECT_EQ(pair.log, "innerouter");  // innermost first
    EXPECT_EQ(error, c.expectedError ? c.expectedError : "");
  }
}

TEST(Bracket, OpenedInsideACatchHandlerClosesLoudly) {
  TPair pair;
  std::string error;
  try {
    throw std::runtime_error("first");
  } catch (const std::exception&) {
    try {
      pair.endThrows = true;
      auto b = pair.Open("late");
    } catch (const std::exception& e) {
      error = e.what();
    }
  }
  EXPECT_EQ(error, "end late");
  EXPECT_EQ(pair.depth, 0);
}

TEST(Bracket, PreserveRestoresTheValueOnEveryPath) {
  for (bool fail : {false, true}) {
    int mode = 1;
    std::string text = "kept";
    try {
      auto keepMode = Preserve(mode);
      auto keepText = Preserve(text);
      mode = 7;
      text = "changed";
      if (fail) throw std::runtime_error("x");
    } catch (const std::exception&) {
    }
    EXPECT_EQ(mode, 1);
    EXPECT_EQ(text, "kept");
  }
}
