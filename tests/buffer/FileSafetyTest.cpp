// Loading and saving never lose text: a failed load leaves the lines, a
// failed save leaves the old file (or its named copy), special files are
// refused without blocking, and a save keeps links, bytes and line ends.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "SynEditTextBuffer.h"
#include "SynExceptions.h"

using namespace ludra;
namespace fs = std::filesystem;

namespace {

std::vector<std::string> Lines(const TSynEditStringList& b) {
  std::vector<std::string> v;
  for (int i = 0; i < b.Count(); ++i) v.push_back(b.Get(i));
  return v;
}

}  // namespace

TEST(LoadAtomicity, ALoadBeyondTheLimitsChangesNothing) {
  struct Case {
    TSynLoadLimits limits;
    bool terminateLastLine;
    std::string data, message;
  } cases[] = {
      {{2, SIZE_MAX}, true, "a\nb\nc\n", "Too many lines to load"},
      {{2, SIZE_MAX}, true, "a\rb\rc", "Too many lines to load"},
      {{2, SIZE_MAX}, false, "a\nb\n", "Too many lines to load"},  // the empty last line counts
      {{SIZE_MAX, 3}, true, "abc\r\nabcd\r\n", "Line too long to load"},
      {{SIZE_MAX, 3}, true, "ab\rabcd", "Line too long to load"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.data);
    TSynEditStringList b;
    b.Add("kept one");
    b.Add("kept two");
    b.SetLineEndStyle(leCr);
    b.SetTerminateLastLine(c.terminateLastLine);
    b.SetLoadLimits(c.limits);
    int notices = 0;
    b.OnCleared = [&](TSynEditStringList*) { ++notices; };
    b.OnLinesInserted = [&](TSynEditStringList*, int, int) { ++notices; };
    try {
      b.LoadFromBytes(c.data);
      ADD_FAILURE() << "the load was not refused";
    } catch (const EReadError& e) {
      EXPECT_EQ(std::string(e.what()), c.message);
    }
    EXPECT_EQ(Lines(b), (std::vector<std::string>{"kept one", "kept two"}));
    EXPECT_EQ(b.LineEndStyle(), leCr);
    EXPECT_EQ(notices, 0);
    EXPECT_EQ(b.UpdateCount(), 0);
    b.Check();
    // Without the lowered limits the same load goes through.
    b.SetLoadLimits({});
    b.LoadFromBytes(c.data);
    EXPECT_GT(b.Count(), 0);
    b.Check();
  }
}
