// Randomized key sessions through the command pipeline: the editor's
// invariants hold after every key, undoing everything gives the original
// text and redoing everything the edited text.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "EditorKeys.h"

namespace ludra::test {
namespace {

class CommandRoundTripTest : public ::testing::TestWithParam<bool> {};

TEST_P(CommandRoundTripTest, UndoAllAndRedoAllAfterRandomKeys) {
  struct TKey {
    uint16_t key;
    TShiftState shift;
    char ch;
  };
  const TShiftState n{}, s{ssShift}, c{ssCtrl}, cs{ssCtrl, ssShift};
  static const TKey keys[] = {
      {VK_LEFT, n, 0},   {VK_RIGHT, n, 0},     {VK_UP, n, 0},     {VK_DOWN, n, 0},
      {VK_RIGHT, s, 0},  {VK_DOWN, s, 0},      {VK_LEFT, c, 0},   {VK_RIGHT, cs, 0},
      {VK_HOME, n, 0},   {VK_END, n, 0},       {VK_END, s, 0},    {VK_BACK, n, '\b'},
      {VK_DELETE, n, 0}, {VK_RETURN, n, '\r'}, {VK_TAB, n, '\t'}, {VK_TAB, s, 0},
      {'T', c, 0},       {'Y', c, 0},          {'Y', cs, 0},      {VK_BACK, c, 0},
      {'N', c, 0},       {'I', cs, 0},         {'U', cs, 0},      {VK_INSERT, n, 0},
      {'C', cs, 0},      {'N', cs, 0},         {'L', cs, 0},      {'B', cs, 0},
      {'X', c, 0},       {'V', c, 0},          {'C', c, 0},       {'Z', c, 0},
      {'Z', cs, 0},      {'A', n, 'a'},        {'B', n, 'b'},     {VK_SPACE, n, ' '},
      {0xDB, n, '{'},    {0xDD, n, '}'},       {'2', cs, 0},      {'2', c, 0},
  };
  for (unsigned seed = 1; seed <= 3; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 rng(seed);
    TSynMemoryClipboard clipboard;
    THeadlessSynEdit e(&clipboard);
    if (GetParam()) UseMainWindowSettings(e);
    e.SetMaxUndo(100000);
    e.SetText("int main()\n{\n\tif (a) {\n\t\tb = 1;\n\t}\n    x;\n\n}");
    const std::string original = e.Text();
    for (int step = 0; step < 3000; ++step) {
      const TKey& k = keys[rng() % (sizeof keys / sizeof keys[0])];
      Press(e, k.key, k.shift, k.ch);
      // Tab at a line end under trimming leaves the caret past the end on
      // purpose (the next character fills the gap); all else must hold.
      bool pastEnd = e.CaretChar() > static_cast<int>(e.LineAtCaret().size()) + 1;
      if (!pastEnd || e.Options().Contains(eoScrollPastEol)) try {
          e.Check();
        } catch (const std::exception& ex) {
          FAIL() << "step " << step << " key " << k.key << " shift " << k.shift.Bits() << ": "
                 << ex.what() << " caret " << e.CaretChar() << "," << e.CaretLine() << " sel "
                 << e.SelFrom().Char << "," << e.SelFrom().Line << "-" << e.SelTo().Char << ","
                 << e.SelTo().Line << " mode " << int(e.SelectionMode()) << "\n"
                 << e.Text();
        }
    }
    e.SetSelectionMode(smNormal);
    e.SetCaretPos({1, 1});
    Type(e, "z");
    const std::string edited = e.Text();
    int guard = 0;
    while (e.UndoList().HasItems() && ++guard < 100000) e.RunCommand(ecUndo, 0, nullptr);
    ASSERT_EQ(e.Text(), original);
    EXPECT_FALSE(e.ContentModified());
    while (e.RedoList().HasItems() && ++guard < 200000) e.RunCommand(ecRedo, 0, nullptr);
    ASSERT_EQ(e.Text(), edited);
  }
}

INSTANTIATE_TEST_SUITE_P(OptionSets, CommandRoundTripTest, ::testing::Bool(), [](const auto& info) {
  return std::string(info.param ? "MainWindow" : "Defaults");
});

}  // namespace
}  // namespace ludra::test
