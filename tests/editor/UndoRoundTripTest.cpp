// Randomized editing sessions: undoing everything must give back the
// original text byte for byte, and redoing everything the edited text.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "editor/HeadlessSynEdit.h"

namespace ludra::test {
namespace {

struct TOptionSet {
  const char* name;
  bool mainWindow;
};

class UndoRoundTripTest : public ::testing::TestWithParam<TOptionSet> {};

std::string RandomLine(std::mt19937& rng) {
  static const char alphabet[] = "ab  \t{};x";
  std::string s;
  int len = std::uniform_int_distribution<int>(0, 12)(rng);
  for (int i = 0; i < len; ++i) s += alphabet[rng() % (sizeof alphabet - 1)];
  return s;
}

std::string RandomText(std::mt19937& rng, int maxLines) {
  std::string s;
  int n = std::uniform_int_distribution<int>(1, maxLines)(rng);
  static const char* ends[] = {"\r\n", "\n", "\r"};
  for (int i = 0; i < n; ++i) {
    if (i > 0) s += ends[rng() % 3];
    s += RandomLine(rng);
  }
  if (rng() % 4 == 0) s += "\r\n";
  return s;
}

TBufferCoord RandomPos(std::mt19937& rng, const TCustomSynEdit& e) {
  int count = std::max(1, e.Lines().Count());
  int line = std::uniform_int_distribution<int>(1, count + 1)(rng);
  int len = static_cast<int>(e.Lines().Get(line - 1).size());
  return {std::uniform_int_distribution<int>(1, len + 4)(rng), line};
}

void RandomSelection(std::mt19937& rng, TCustomSynEdit& e) {
  e.SetSelectionMode(static_cast<TSynSelectionMode>(rng() % 3));
  TBufferCoord a = RandomPos(rng, e);
  if (rng() % 3 == 0) {
    e.SetCaretPos(a);
    return;
  }
  e.SetCaretAndSelection(a, a, RandomPos(rng, e));
}

TEST_P(UndoRoundTripTest, UndoAllGivesOriginalAndRedoAllGivesEdited) {
  for (unsigned seed = 1; seed <= 4; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 rng(seed);
    TSynMemoryClipboard clipboard;
    THeadlessSynEdit e(&clipboard);
    if (GetParam().mainWindow) UseMainWindowSettings(e);
    e.SetMaxUndo(100000);
    e.SetText(RandomText(rng, 30));
    const std::string original = e.Text();
    ASSERT_FALSE(e.ContentModified());

    for (int step = 0; step < 1500; ++step) {
      int op = rng() % 9;
      switch (op) {
        case 0:
        case 1: {  // typing
          e.SetSelectionMode(rng() % 5 == 0 ? smColumn : smNormal);
          e.SetCaretPos(RandomPos(rng, e));
          static const char typed[] = "ab \t(x";
          int n = 1 + rng() % 3;
          for (int i = 0; i < n; ++i) e.SetSelectedText(std::string(1, typed[rng() % 6]));
          break;
        }
        case 2:  // deleting a selection
          RandomSelection(rng, e);
          e.DeleteSelection();
          break;
        case 3:
          RandomSelection(rng, e);
          e.CutSelection();
          break;
        case 4:  // line breaks, over a selection too
          RandomSelection(rng, e);
          e.RunCommand(ecLineBreak, 0, nullptr);
          break;
        case 5: {  // copy somewhere, paste elsewhere, in the copy's mode
          RandomSelection(rng, e);
          e.CopySelection();
          RandomSelection(rng, e);
          e.PasteClipboard();
          break;
        }
        case 6:  // plain text from another program, pasted in the current mode
          clipboard.SetPlainText(RandomText(rng, 3));
          RandomSelection(rng, e);
          e.PasteClipboard();
          break;
        case 7:
          RandomSelection(rng, e);
          e.SetSelectedText(RandomText(rng, 3));
          break;
        case 8:  // an undo (and sometimes its redo) in the middle
          e.Undo();
          if (rng() % 2) e.Redo();
          break;
      }
      ASSERT_NO_THROW(e.Check()) << "step " << step;
    }
    // A last edit empties the redo history, so redoing everything ends here.
    e.SetSelectionMode(smNormal);
    e.SetCaretPos({1, 1});
    e.SetSelectedText("z");
    ASSERT_FALSE(e.CanRedo());
    const std::string edited = e.Text();

    int guard = 0;
    while (e.CanUndo() && ++guard < 100000) {
      e.Undo();
      ASSERT_NO_THROW(e.Check());
    }
    ASSERT_EQ(e.Text(), original);
    EXPECT_FALSE(e.ContentModified());

    while (e.CanRedo() && ++guard < 200000) {
      e.Redo();
      ASSERT_NO_THROW(e.Check());
    }
    ASSERT_EQ(e.Text(), edited);
    EXPECT_EQ(e.ContentModified(), edited != original);
  }
}

INSTANTIATE_TEST_SUITE_P(OptionSets, UndoRoundTripTest,
                         ::testing::Values(TOptionSet{"Default", false},
                                           TOptionSet{"MainWindow", true}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace ludra::test
