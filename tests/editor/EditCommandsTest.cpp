// Editing commands driven through keys and characters: each case starts
// from a marked text ('|' the caret, '[' the selection anchor, '~' a column
// past the line end), checks the result, and that undo gives back the start
// and redo the result (']' marks a selection end away from the caret).
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "editor/EditorKeys.h"

namespace ludra::test {
namespace {

struct TMarked {
  std::string text;
  TBufferCoord caret{1, 1};
  bool hasAnchor = false;
  TBufferCoord anchor{1, 1};
};

TMarked Parse(const std::string& marked) {
  TMarked m;
  int line = 1, ch = 1;
  for (char c : marked) {
    switch (c) {
      case '|':
        m.caret = {ch, line};
        break;
      case '[':
        m.hasAnchor = true;
        m.anchor = {ch, line};
        break;
      case '~':
        ++ch;
        break;
      case '\n':
        m.text += c;
        ++line;
        ch = 1;
        break;
      default:
        m.text += c;
        ++ch;
    }
  }
  return m;
}

// The editor's text in the same notation.
std::string Render(const TCustomSynEdit& e) {
  std::string out;
  int count = std::max(1, e.Lines().Count());
  for (int l = 1; l <= count; ++l) {
    std::string s = l <= e.Lines().Count() ? e.Lines().Get(l - 1) : std::string();
    struct TMark {
      int ch;
      char c;
    };
    std::vector<TMark> marks;
    // Inserted from the right; at one position the caret comes first.
    if (e.HasSelection() && e.SelFrom().Line == l) marks.push_back({e.SelFrom().Char, '['});
    if (e.HasSelection() && e.SelTo() != e.CaretPos() && e.SelTo().Line == l)
      marks.push_back({e.SelTo().Char, ']'});
    if (e.CaretLine() == l) marks.push_back({e.CaretChar(), '|'});
    std::stable_sort(marks.begin(), marks.end(), [](auto a, auto b) { return a.ch > b.ch; });
    for (const TMark& m : marks) {
      if (m.ch - 1 > static_cast<int>(s.size())) s.append(m.ch - 1 - s.size(), '~');
      s.insert(m.ch - 1, 1, m.c);
    }
    if (l > 1) out += '\n';
    out += s;
  }
  return out;
}

void Load(TCustomSynEdit& e, const std::string& marked) {
  TMarked m = Parse(marked);
  e.SetText(m.text);
  if (m.hasAnchor)
    e.SetCaretAndSelection(m.caret, m.anchor, m.caret);
  else
    e.SetCaretPos(m.caret);
}

using TAction = std::function<void(TCustomSynEdit&)>;

TAction Keys(uint16_t key, TShiftState shift = {}, char ch = 0) {
  return [=](TCustomSynEdit& e) { Press(e, key, shift, ch); };
}
TAction Text(std::string s) {
  return [=](TCustomSynEdit& e) { Type(e, s); };
}
TAction Command(TSynEditorCommand c) {
  return [=](TCustomSynEdit& e) { e.RunCommand(c, 0, nullptr); };
}
TAction Steps(std::vector<TAction> steps) {
  return [=](TCustomSynEdit& e) {
    for (const TAction& a : steps) a(e);
  };
}

enum TOptionSet { MainWindow, Defaults };

struct TEditCase {
  const char* name;
  TOptionSet options;
  const char* before;
  TAction action;
  const char* after;
  TSynEditorOptions remove = {};
  TSynEditorOptions add = {};
  // The marked state after undo and after redo, where it is not the state
  // before and after the command (undo selects restored text, and so on).
  const char* afterUndo = nullptr;
  const char* afterRedo = nullptr;
};

TEditCase Replayed(TEditCase c, const char* afterUndo, const char* afterRedo = nullptr) {
  c.afterUndo = afterUndo;
  c.afterRedo = afterRedo;
  return c;
}

class EditCommandsTest : public ::testing::TestWithParam<TEditCase> {};

TEST_P(EditCommandsTest, ChangesAndRoundTrips) {
  const TEditCase& c = GetParam();
  TSynMemoryClipboard clipboard;
  THeadlessSynEdit e(&clipboard);
  if (c.options == MainWindow) UseMainWindowSettings(e);
  e.SetOptions(e.Options() - c.remove + c.add);
  Load(e, c.before);
  const std::string original = e.Text();
  c.action(e);
  EXPECT_EQ(Render(e), c.after);
  const std::string changed = e.Text();
  // Every step the command made goes back in one undo, and comes again.
  if (changed == original) {
    EXPECT_FALSE(e.CanUndo());
    return;
  }
  e.RunCommand(ecUndo, 0, nullptr);
  EXPECT_EQ(Render(e), c.afterUndo ? c.afterUndo : c.before) << "after undo";
  EXPECT_FALSE(e.CanUndo());
  e.RunCommand(ecRedo, 0, nullptr);
  EXPECT_EQ(Render(e), c.afterRedo ? c.afterRedo : c.after) << "after redo";
  EXPECT_FALSE(e.CanRedo());
}

const TShiftState kCtrl{ssCtrl}, kShift{ssShift}, kCtrlShift{ssCtrl, ssShift};

INSTANTIATE_TEST_SUITE_P(
    Backspace, EditCommandsTest,
    ::testing::Values(
        TEditCase{"AtStartOfTextDoesNothing", MainWindow, "|ab", Keys(VK_BACK), "|ab"},
        TEditCase{"AtLineStartJoins", MainWindow, "ab\n|cd", Keys(VK_BACK), "ab|cd"},
        TEditCase{"DeletesOneCharacter", MainWindow, "abc|d", Keys(VK_BACK), "ab|d"},
        TEditCase{"UnindentsToTheLineAbove", MainWindow, "\tif\n\t\tx\n\t\t|y", Keys(VK_BACK),
                  "\tif\n\t\tx\n\t|y"},
        TEditCase{"UnindentsFullyWithoutALessIndentedLine", MainWindow, "    a\n    |x",
                  Keys(VK_BACK), "    a\n|x"},
        TEditCase{"WithoutSmartDeleteBackToTheTabStop", MainWindow, "a\n      |x", Keys(VK_BACK),
                  "a\n    |x", TSynEditorOptions{eoSmartTabDelete}},
        TEditCase{"WithoutSmartDeleteOneTab", MainWindow, "a\n\t\t|x", Keys(VK_BACK), "a\n\t|x",
                  TSynEditorOptions{eoSmartTabDelete}},
        TEditCase{"InsideTextOnlyOneCharacter", MainWindow, "\tab |x", Keys(VK_BACK), "\tab|x"},
        TEditCase{"VirtualSpaceOnEmptyLineGoesToIndentAbove", Defaults, "    x\n~~~~~~|\ny",
                  Keys(VK_BACK), "    x\n~~~~|\ny"},
        TEditCase{"VirtualSpaceAfterTextGoesToLineEnd", Defaults, "ab~~~|", Keys(VK_BACK), "ab|"},
        TEditCase{"DeletesASelection", MainWindow, "a[bc|d", Keys(VK_BACK), "a|d"}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Deletes, EditCommandsTest,
    ::testing::Values(
        TEditCase{"DeleteCharacter", MainWindow, "a|bc", Keys(VK_DELETE), "a|c"},
        TEditCase{"DeleteJoinsNextLine", MainWindow, "ab|\ncd", Keys(VK_DELETE), "ab|cd"},
        TEditCase{"DeleteAtEndOfTextDoesNothing", MainWindow, "ab|", Keys(VK_DELETE), "ab|"},
        Replayed(TEditCase{"DeletePastEndPadsTheJoinedLine", Defaults, "ab~~|\ncd", Keys(VK_DELETE),
                           "ab  |cd"},
                 "ab|\ncd", "ab  |cd"),
        TEditCase{"DeleteWordToItsEndAndBlanks", MainWindow, "|foo  bar", Keys('T', kCtrl), "|bar"},
        TEditCase{"DeleteWordOnBlanks", MainWindow, "foo|  bar", Keys('T', kCtrl), "foo|bar"},
        TEditCase{"DeleteWordOnPunctuation", MainWindow, "a|;b", Keys('T', kCtrl), "a|b"},
        TEditCase{"DeleteWordAtLineEndJoins", MainWindow, "ab|\n  cd", Keys('T', kCtrl), "ab|cd"},
        TEditCase{"DeleteLastWord", MainWindow, "foo bar|", Keys(VK_BACK, kCtrl), "foo |"},
        TEditCase{"DeleteLastWordOverPunctuation", MainWindow, "x = foo(|", Keys(VK_BACK, kCtrl),
                  "x = |"},
        TEditCase{"DeleteToLineEnd", MainWindow, "ab|cd\nx", Keys('Y', kCtrlShift), "ab|\nx"},
        TEditCase{"DeleteToLineStart", MainWindow, "ab|cd", Command(ecDeleteBOL), "|cd"},
        Replayed(TEditCase{"DeleteLineInTheMiddle", MainWindow, "a|\nb\nc", Keys('Y', kCtrl),
                           "|b\nc"},
                 "|[a\n]b\nc"),
        Replayed(TEditCase{"DeleteLastLine", MainWindow, "a\nb|", Keys('Y', kCtrl), "|a"},
                 "a|[\nb]", "a|"),
        Replayed(TEditCase{"DeleteOnlyLine", MainWindow, "ab|", Keys('Y', kCtrl), "|"}, "|[ab]"),
        Replayed(TEditCase{"DeleteLineCollapsesSelection", MainWindow, "[a\nb|\nc",
                           Keys('Y', kCtrl), "a\n|c"},
                 "a\n|[b\n]c")),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    LineBreaks, EditCommandsTest,
    ::testing::Values(
        TEditCase{"EnterAfterTabIndentKeepsTheTabs", MainWindow, "\t\tfoo|", Keys(VK_RETURN),
                  "\t\tfoo\n\t\t|"},
        TEditCase{"EnterSplitsWithIndent", MainWindow, "\tab|cd", Keys(VK_RETURN), "\tab\n\t|cd"},
        TEditCase{"EnterAtLineStart", MainWindow, "|ab", Keys(VK_RETURN), "\n|ab"},
        TEditCase{"EnterReplacesSelection", MainWindow, "a[bc|d", Keys(VK_RETURN), "a\n|d"},
        TEditCase{"InsertLineAtLineEndKeepsCaret", MainWindow, "\tab|", Keys('N', kCtrl),
                  "\tab|\n"},
        TEditCase{"InsertLineInsideKeepsCaret", MainWindow, "a|b", Keys('N', kCtrl), "a|\nb"},
        TEditCase{"InsertLineAtStart", MainWindow, "|ab", Keys('N', kCtrl), "|\nab"}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Typing, EditCommandsTest,
    ::testing::Values(
        TEditCase{"InsertTyping", MainWindow, "a|c", Text("b"), "ab|c"},
        TEditCase{"OverwriteOverTheLineEnd", MainWindow, "ab|c",
                  Steps({Keys(VK_INSERT), Text("xyz")}), "abxyz|"},
        TEditCase{"TypingOverASelection", MainWindow, "a[bc|d", Text("x"), "ax|d"},
        TEditCase{"ControlCharactersAreIgnored", MainWindow, "a|",
                  [](TCustomSynEdit& e) {
                    e.RunCommand(ecChar, '\x01', nullptr);
                    e.RunCommand(ecChar, '\x7f', nullptr);
                  },
                  "a|"},
        Replayed(TEditCase{"TypingPastTheEndFillsWithBlanks", Defaults, "ab~~|", Text("x"),
                           "ab  x|"},
                 "ab|"),
        Replayed(TEditCase{"TypingOnEmptyLinePastTheEndIndents", Defaults, "~~~~~~~~~~|", Text("x"),
                           "          x|"},
                 "|"),
        TEditCase{"TabAtLineEndOnlyMovesTheCaret", MainWindow, "ab|", Keys(VK_TAB, {}, '\t'),
                  "ab~~|"},
        TEditCase{"TypedAfterTabAtLineEndGetsBlanks", MainWindow, "ab|", Steps({Tab, Text("x")}),
                  "ab  x|"},
        TEditCase{"TypedAfterTabsOnEmptyLineGetsTabs", MainWindow, "|",
                  Steps({Tab, Tab, Text("x")}), "\t\tx|"},
        TEditCase{"TabInsideTextInsertsATab", MainWindow, "a|b", Keys(VK_TAB, {}, '\t'), "a\t|b"},
        TEditCase{"TabsToSpacesFillsToTheTabStop", Defaults, "ab|c", Keys(VK_TAB, {}, '\t'),
                  "ab      |c", TSynEditorOptions{eoSmartTabs}},
        TEditCase{"SmartTabReachesTheWordAbove", Defaults, "foo    bar\n|x", Keys(VK_TAB, {}, '\t'),
                  "foo    bar\n       |x"},
        TEditCase{"SmartTabWithTabsReachesTheWordAbove",
                  MainWindow,
                  "foo     bar\n|x",
                  Keys(VK_TAB, {}, '\t'),
                  "foo     bar\n\t\t|x",
                  {},
                  TSynEditorOptions{eoSmartTabs}},
        TEditCase{"TabReplacesASelectionInsideALine", MainWindow, "a[bc|d", Keys(VK_TAB, {}, '\t'),
                  "a\t|d"},
        TEditCase{"ShiftTabRemovesBlanksToTheTabStop", MainWindow, "a      |x",
                  Keys(VK_TAB, kShift), "a   |x"},
        TEditCase{"ShiftTabAfterATab", MainWindow, "\t\t|x", Keys(VK_TAB, kShift), "\t|x"},
        TEditCase{"ShiftTabNeverTakesText", MainWindow, "abcdef|", Keys(VK_TAB, kShift), "abcdef|"},
        TEditCase{"ImeStringInserts", MainWindow, "ab|c",
                  [](TCustomSynEdit& e) {
                    std::string s = "\xe9\xe8";
                    e.RunCommand(ecImeStr, 0, s.data());
                  },
                  "ab\xe9\xe8|c"},
        TEditCase{"ImeStringOverwrites", MainWindow, "a|bcd",
                  [](TCustomSynEdit& e) {
                    e.RunCommand(ecOverwriteMode, 0, nullptr);
                    std::string s = "xy";
                    e.RunCommand(ecImeStr, 0, s.data());
                  },
                  "axy|d"}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Blocks, EditCommandsTest,
    ::testing::Values(
        TEditCase{"TabIndentsTwoSelectedLines", MainWindow, "[ab\ncd|", Keys(VK_TAB, {}, '\t'),
                  "\t[ab\n\tcd|"},
        TEditCase{"TabIndentLeavesALastLineAtCharacterOne", MainWindow, "[ab\ncd\n|ef",
                  Keys(VK_TAB, {}, '\t'), "\t[ab\n\tcd\n|ef"},
        Replayed(TEditCase{"ShiftTabUnindentsSelectedLines", MainWindow, "\t[ab\n\tcd|",
                           Keys(VK_TAB, kShift), "[ab\ncd|"},
                 "\t|[ab\n\tcd]", "|[ab\ncd]"),
        Replayed(TEditCase{"UnindentTakesBlanksAndATab", MainWindow, "[    a\n  \tb\n\t\tc|",
                           Keys('U', kCtrlShift), "[a\nb\n\tc|"},
                 "|[    a\n  \tb\n\t\tc]", "|[a\nb\n\tc]"),
        TEditCase{"BlockIndentWithSpaces", Defaults, "[ab\ncd|", Keys('I', kCtrlShift),
                  "        [ab\n        cd|"},
        TEditCase{"BlockIndentColumnMode", MainWindow, "ab[cd\nefg|h",
                  Steps({Keys('C', kCtrlShift), Keys('I', kCtrlShift)}), "ab\t[cd\nef\tg|h"},
        Replayed(TEditCase{"UpperCaseWord", MainWindow, "foo|bar baz", Command(ecUpperCase),
                           "FOO|BAR baz"},
                 nullptr, "FOOBAR| baz"),
        TEditCase{"TitleCaseWordBeforeBlanks", MainWindow, "abc  |", Command(ecTitleCase), "Abc|"},
        Replayed(TEditCase{"ToggleCaseBlock", MainWindow, "[aBc|d", Command(ecToggleCaseBlock),
                           "[AbC|d"},
                 nullptr, "AbC|d"),
        TEditCase{"LowerCaseBlockWithoutSelection", MainWindow, "|ABc", Command(ecLowerCaseBlock),
                  "a|Bc"},
        Replayed(TEditCase{"LatinLettersChangeCase", MainWindow, "|\xe9t\xe9", Command(ecUpperCase),
                           "|\xc9T\xc9"},
                 nullptr, "\xc9T\xc9|")),
    [](const auto& info) { return std::string(info.param.name); });

// Blanks that replace a selection up to the line end, typed, pasted or from
// the input method, stay for what is typed next; undo gives back the start.
TEST(EditCommandsLimitsTest, BlanksOverASelectionAtTheLineEndStay) {
  std::string ime = "x ";
  const std::tuple<const char*, TAction, const char*> cases[] = {
      {"abc def|", Steps({Keys(VK_LEFT, kCtrlShift), Text(" x")}), "abc  x|"},
      {"[    foo|\nbar", Text("    x"), "\tx|\nbar"},
      {"abc [def|", Steps({Keys('V', kCtrl), Text("y")}), "abc x  y|"},
      {"abc [def|", Steps({[&](auto& e) { e.RunCommand(ecImeStr, 0, ime.data()); }, Text("y")}),
       "abc x y|"}};
  for (const auto& [before, action, after] : cases) {
    TSynMemoryClipboard clipboard;
    clipboard.SetText("x  ", smNormal);
    THeadlessSynEdit e(&clipboard);
    UseMainWindowSettings(e);
    Load(e, before);
    const std::string original = e.Text();
    action(e);
    EXPECT_EQ(Render(e), after);
    while (e.CanUndo()) e.RunCommand(ecUndo, 0, nullptr);
    EXPECT_EQ(e.Text(), original);
  }
}

TEST(EditCommandsLimitsTest, TypingStopsBeyondMaxScrollWidth) {
  THeadlessSynEdit e;  // MaxScrollWidth 1024, eoScrollPastEol
  e.SetOptions(e.Options() - TSynEditorOptions{eoTrimTrailingSpaces});
  e.SetCaretPos({1000, 1});
  Type(e, "x");
  EXPECT_EQ(e.Lines().Get(0).size(), 1000u);
  EXPECT_EQ(e.CaretPos(), (TBufferCoord{1001, 1}));
  e.SetText("");
  e.SetCaretPos({1025, 1});
  Type(e, "x");
  EXPECT_EQ(e.Text(), "");
  // The view jumps right when typing reaches its edge.
  e.SetText("");
  e.SetFirstVisibleColumn(1);
  e.SetCaretPos({80, 1});
  int first = e.FirstVisibleColumn();
  Type(e, "x");
  EXPECT_GT(e.FirstVisibleColumn(), first + 1);
}

TEST(EditCommandsLimitsTest, ReadOnlyIgnoresChangesButMoves) {
  TSynMemoryClipboard clipboard;
  THeadlessSynEdit e(&clipboard);
  e.SetText("abc\ndef");
  e.SetReadOnly(true);
  for (TSynEditorCommand c :
       {ecDeleteLastChar, ecDeleteChar, ecDeleteWord, ecDeleteLine, ecLineBreak, ecInsertLine,
        ecTab, ecShiftTab, ecUpperCase, ecClearAll, ecPaste, ecBlockIndent}) {
    e.SetCaretAndSelection({2, 1}, {1, 1}, {2, 2});
    e.RunCommand(c, 0, nullptr);
  }
  Type(e, "x");
  EXPECT_EQ(e.Text(), "abc\r\ndef");
  e.RunCommand(ecCopy, 0, nullptr);
  EXPECT_EQ(clipboard.PasteContent()->Text, "abc\r\nd");
  Press(e, VK_END, {ssCtrl});
  EXPECT_EQ(e.CaretPos(), (TBufferCoord{4, 2}));
}

TEST(EditCommandsLimitsTest, BlockIndentUndoesInOneStep) {
  THeadlessSynEdit e;
  UseMainWindowSettings(e);
  Load(e, "[a\nb\nc|");
  Press(e, 'I', {ssCtrl, ssShift});
  Press(e, 'I', {ssCtrl, ssShift});
  EXPECT_EQ(e.Text(), "\t\ta\r\n\t\tb\r\n\t\tc");
  Press(e, 'Z', {ssCtrl});
  EXPECT_EQ(e.Text(), "\ta\r\n\tb\r\n\tc");
  EXPECT_EQ(Render(e), "\t[a\n\tb\n\tc|");
  Press(e, 'Z', {ssCtrl});
  EXPECT_EQ(Render(e), "[a\nb\nc|");
  Press(e, 'U', {ssCtrl, ssShift});
  EXPECT_EQ(e.Text(), "a\r\nb\r\nc");  // nothing to take: no change
  EXPECT_FALSE(e.ContentModified());
}

TEST(EditCommandsLimitsTest, ClearAllEmptiesTextAndHistory) {
  THeadlessSynEdit e;
  Type(e, "abc");
  e.RunCommand(ecClearAll, 0, nullptr);
  EXPECT_EQ(e.Text(), "");
  EXPECT_FALSE(e.CanUndo());
  EXPECT_FALSE(e.ContentModified());
}

}  // namespace
}  // namespace ludra::test
