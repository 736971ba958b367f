#include <gtest/gtest.h>

#include "buffer/SynEditTextBuffer.h"
#include "editor/HeadlessSynEdit.h"
#include "search/SynEditSearch.h"

using namespace ludra;
using namespace ludra::test;

// A step bigger than the undo limit is undone whole, never in part.
TEST(UndoLimit, AReplaceAllLargerThanTheLimitIsUndoneWhole) {
  THeadlessSynEdit e;
  UseMainWindowSettings(e);
  std::string text;
  for (int i = 0; i < 3000; ++i) text += "foo bar foo\n";
  e.Lines().SetText(text);
  std::string before = e.Lines().Text();
  TSynEditSearch engine;
  e.SetSearchEngine(&engine);
  e.SetCaretPos({1, 1});
  int n =
      e.SearchAndReplace("foo", "quux", TSynSearchFlags{sfReplace, sfReplaceAll, sfEntireScope});
  EXPECT_EQ(n, 6000);
  EXPECT_EQ(e.Lines().Get(2999), "quux bar quux");
  e.Undo();
  EXPECT_EQ(e.Lines().Text(), before);
  e.Redo();
  EXPECT_EQ(e.Lines().Get(0), "quux bar quux");
  EXPECT_EQ(e.Lines().Get(2999), "quux bar quux");
  e.Check();
}
