// Randomized key sessions through the command pipeline: the editor's
// invariants hold after every key, undoing everything gives the original
// text and redoing everything the edited text.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "editor/EditorKeys.h"
#include "highlight/SynHighlighterCpp.h"

namespace ludra::test {
namespace {

class CommandRoundTripTest : public ::testing::TestWithParam<bool> {};

struct TKey {
  uint16_t key;
  TShiftState shift;
  char ch;
};
const TShiftState n{}, s{ssShift}, c{ssCtrl}, cs{ssCtrl, ssShift};
const TKey keys[] = {
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

const TKey& RandomKey(std::mt19937& rng) { return keys[rng() % (sizeof keys / sizeof keys[0])]; }

// The state after a failed check, for the failure message.
std::string Describe(const TCustomSynEdit& e) {
  return " caret " + std::to_string(e.CaretChar()) + "," + std::to_string(e.CaretLine()) + " sel " +
         std::to_string(e.SelFrom().Char) + "," + std::to_string(e.SelFrom().Line) + "-" +
         std::to_string(e.SelTo().Char) + "," + std::to_string(e.SelTo().Line) + " mode " +
         std::to_string(int(e.SelectionMode())) + "\n" + e.Text();
}

TEST_P(CommandRoundTripTest, UndoAllAndRedoAllAfterRandomKeys) {
  for (unsigned seed = 1; seed <= 3; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 rng(seed);
    TSynMemoryClipboard clipboard;
    THeadlessSynEdit e(&clipboard);
    if (GetParam()) UseMainWindowSettings(e);
    e.SetMaxUndo(100000);
    e.SetText("int main()\n{\n\tif (a) {\n\t\tb = 1;\n\t}\n    x;\n\n}");
    const std::string original = e.Text();
    // One session of 10,000 keys, two shorter ones from other starts.
    const int steps = seed == 1 ? 10000 : 3000;
    for (int step = 0; step < steps; ++step) {
      const TKey& k = RandomKey(rng);
      Press(e, k.key, k.shift, k.ch);
      try {
        e.Check();
      } catch (const std::exception& ex) {
        FAIL() << "step " << step << " key " << k.key << " shift " << k.shift.Bits() << ": "
               << ex.what() << Describe(e);
      }
    }
    e.SetSelectionMode(smNormal);
    e.SetCaretPos({1, 1});
    Type(e, "z");
    const std::string edited = e.Text();
    int guard = 0;
    while (e.CanUndo() && ++guard < 100000) e.RunCommand(ecUndo, 0, nullptr);
    ASSERT_EQ(e.Text(), original);
    EXPECT_FALSE(e.ContentModified());
    while (e.CanRedo() && ++guard < 200000) e.RunCommand(ecRedo, 0, nullptr);
    ASSERT_EQ(e.Text(), edited);
  }
}

INSTANTIATE_TEST_SUITE_P(OptionSets, CommandRoundTripTest, ::testing::Bool(), [](const auto& info) {
  return std::string(info.param ? "MainWindow" : "Defaults");
});

TEST(CommandCheckTest, StatesReachedOnPurposePassTheCheck) {
  THeadlessSynEdit e;
  UseMainWindowSettings(e);
  e.SetText("ab\r\ncd\r\nef");
  // Tab at a line end under trimming only moves the caret, past the end.
  e.SetCaretPos({3, 1});
  e.RunCommand(ecTab, '\t', nullptr);
  EXPECT_EQ(e.CaretPos(), (TBufferCoord{5, 1}));
  EXPECT_NO_THROW(e.Check());
  // Lines deleted under the selection's end take the end back into the text.
  e.SelectWholeText();
  e.Lines().Delete(2);
  EXPECT_NO_THROW(e.Check());
  EXPECT_EQ(e.SelTo(), (TBufferCoord{3, 2}));
  e.Lines().Put(1, "c");
  EXPECT_NO_THROW(e.Check());
  EXPECT_EQ(e.SelTo(), (TBufferCoord{2, 2}));
}

TEST(CommandCheckTest, BlanksTypedAtALineEndSurviveTheHighlighterScan) {
  // The blank is trimmed from the stored line and the caret stays past the
  // end; the scan that runs when the command's paint lock ends must leave it
  // there, or the blank is lost.
  // With word wrap too, and under a block comment, whose range state makes
  // the scan go on past the typed line.
  for (bool wrap : {false, true}) {
    SCOPED_TRACE(wrap ? "wrap" : "no wrap");
    TSynCppSyn cpp;
    THeadlessSynEdit e;
    UseMainWindowSettings(e);
    e.SetHighlighter(&cpp);
    e.SetWordWrap(wrap);
    e.SetText("/* a */\r\n\tx");
    e.SetCaretPos({3, 2});
    for (char ch : std::string(" = beep(min(a, b), 3, ); z")) e.RunCommand(ecChar, ch, nullptr);
    EXPECT_EQ(e.Text(), "/* a */\r\n\tx = beep(min(a, b), 3, ); z");
    EXPECT_NO_THROW(e.Check());
  }
}

TEST(CommandCheckTest, KeysMixedWithEditsThroughLinesKeepTheInvariants) {
  // The application and tests also change the buffer straight through
  // Lines(): the caret and the selection must stay valid all the same.
  for (unsigned seed = 1; seed <= 3; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 rng(seed * 7919);
    TSynMemoryClipboard clipboard;
    THeadlessSynEdit e(&clipboard);
    UseMainWindowSettings(e);
    e.SetText("int main()\n{\n\tif (a) {\n\t\tb = 1;\n\t}\n    x;\n\n}");
    for (int step = 0; step < 2000; ++step) {
      int count = e.Lines().Count();
      std::string what;
      switch (rng() % 8) {
        case 0:
          what = "Lines().Delete";
          if (count > 0) e.Lines().Delete(static_cast<int>(rng() % count));
          break;
        case 1:
          what = "Lines().DeleteLines";
          if (count > 1) e.Lines().DeleteLines(static_cast<int>(rng() % (count - 1)), 2);
          break;
        case 2:
          what = "Lines().Put";
          if (count > 0) e.Lines().Put(static_cast<int>(rng() % count), "ab");
          break;
        case 3:
          what = "Lines().Insert";
          e.Lines().Insert(static_cast<int>(rng() % (count + 1)), "\tcd ef");
          break;
        default: {
          const TKey& k = RandomKey(rng);
          what = "key " + std::to_string(k.key) + " shift " + std::to_string(k.shift.Bits());
          Press(e, k.key, k.shift, k.ch);
          break;
        }
      }
      try {
        e.Check();
      } catch (const std::exception& ex) {
        FAIL() << "step " << step << " " << what << ": " << ex.what() << Describe(e);
      }
    }
  }
}

}  // namespace
}  // namespace ludra::test
