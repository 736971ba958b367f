// Selection text: replacing and reading it in the three modes, the clipboard
// with its private block, and read-only editors.
#include <gtest/gtest.h>

#include <string>

#include "base/SynExceptions.h"
#include "editor/HeadlessSynEdit.h"

namespace ludra::test {
namespace {

struct TReplaceCase {
  const char* name;
  const char* text;
  TSynSelectionMode mode;
  TBufferCoord from, to;  // from == to: no selection, caret there
  const char* value;
  const char* expected;
  TBufferCoord caret;
  bool trim = true;  // eoTrimTrailingSpaces (default options otherwise)
};

class ReplaceSelectionTest : public ::testing::TestWithParam<TReplaceCase> {};

TEST_P(ReplaceSelectionTest, ReplacesAndPlacesTheCaret) {
  const TReplaceCase& c = GetParam();
  THeadlessSynEdit e;
  if (!c.trim) e.SetOptions(e.Options() - TSynEditorOptions{eoTrimTrailingSpaces});
  e.SetText(c.text);
  e.SetSelectionMode(c.mode);
  e.SetCaretAndSelection(c.to, c.from, c.to);
  e.SetSelectedText(c.value);
  EXPECT_EQ(e.Text(), c.expected);
  EXPECT_EQ(e.CaretPos(), c.caret);
  EXPECT_FALSE(e.HasSelection());
  ASSERT_NO_THROW(e.Check());
  // One undo step gives the text back.
  e.Undo();
  EXPECT_EQ(e.Text(), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, ReplaceSelectionTest,
    ::testing::Values(
        TReplaceCase{"NormalAcrossLines",
                     "abc\r\ndef\r\nghi",
                     smNormal,
                     {2, 1},
                     {2, 3},
                     "X",
                     "aXhi",
                     {3, 1}},
        TReplaceCase{"NormalMultiLineInsert",
                     "abcd",
                     smNormal,
                     {3, 1},
                     {3, 1},
                     "1\r\n2\n3",
                     "ab1\r\n2\r\n3cd",
                     {2, 3}},
        TReplaceCase{
            "NormalPastLineEndPads", "ab", smNormal, {6, 1}, {6, 1}, "x", "ab   x", {7, 1}},
        TReplaceCase{
            "NormalTrailingLineEnd", "ab", smNormal, {2, 1}, {2, 1}, "x\r\n", "ax\r\nb", {1, 2}},
        TReplaceCase{"NormalTypedBlankIsTrimmedButAdvances",
                     "ab",
                     smNormal,
                     {3, 1},
                     {3, 1},
                     " ",
                     "ab",
                     {4, 1}},
        TReplaceCase{"NormalBlankKeptWithoutTrimming",
                     "ab",
                     smNormal,
                     {3, 1},
                     {3, 1},
                     " ",
                     "ab ",
                     {4, 1},
                     false},
        TReplaceCase{
            "LineInnerLines", "a\r\nb\r\nc\r\nd", smLine, {1, 2}, {1, 3}, "", "a\r\nd", {1, 2}},
        TReplaceCase{
            "LineLastLineStaysEmpty", "a\r\nb\r\nc", smLine, {1, 2}, {1, 3}, "", "a\r\n", {1, 2}},
        TReplaceCase{"LineInsertsBeforeCaretLine",
                     "a\r\nb",
                     smLine,
                     {1, 2},
                     {1, 2},
                     "x\r\ny\r\n",
                     "a\r\nx\r\ny\r\nb",
                     {1, 4}},
        TReplaceCase{"LineFinalPieceGoesInFront",
                     "a\r\nb",
                     smLine,
                     {1, 2},
                     {1, 2},
                     "x\r\ny",
                     "a\r\nx\r\nyb",
                     {2, 3}},
        TReplaceCase{"ColumnDeleteAcrossShortLines",
                     "abcdef\r\nab\r\nabcdefgh",
                     smColumn,
                     {3, 1},
                     {5, 3},
                     "",
                     "abef\r\nab\r\nabefgh",
                     {3, 3}},

        TReplaceCase{"ColumnInsertPadsShortLines",
                     "abcdef\r\na",
                     smColumn,
                     {4, 1},
                     {4, 1},
                     "XY\r\nZ",
                     "abcXYdef\r\na  Z",
                     {5, 2}},
        TReplaceCase{"ColumnBlockBelowLastLine",
                     "abc",
                     smColumn,
                     {3, 1},
                     {3, 1},
                     "1\r\n2\r\n3",
                     "ab1c\r\n  2\r\n  3",
                     {4, 3}},
        TReplaceCase{"ColumnReplaceTopLeft",
                     "abcd\r\nefgh",
                     smColumn,
                     {4, 2},
                     {2, 1},
                     "xy",
                     "axyd\r\neh",
                     {4, 1}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SelectedTextTest, DeletedColumnBlockLeavesTheCaretOnTheRowOfSelTo) {
  // Delete, Backspace and Cut, with the block selected downwards and upwards.
  for (TSynEditorCommand command : {ecDeleteChar, ecDeleteLastChar, ecCut})
    for (bool upwards : {false, true}) {
      SCOPED_TRACE(std::to_string(command) + (upwards ? " upwards" : " downwards"));
      TSynMemoryClipboard clipboard;
      THeadlessSynEdit e(&clipboard);
      e.SetText("abcdef\r\nab\r\nabcdefgh");
      e.SetSelectionMode(smColumn);
      TBufferCoord from{5, 1}, to{3, 3};
      if (upwards) std::swap(from, to);
      e.SetCaretAndSelection(to, from, to);
      e.RunCommand(command, '\0', nullptr);
      EXPECT_EQ(e.Text(), "abef\r\nab\r\nabefgh");
      EXPECT_EQ(e.CaretPos(), (TBufferCoord{3, to.Line}));
      ASSERT_NO_THROW(e.Check());
    }
}

TEST(SelectedTextTest, ReadsEachMode) {
  THeadlessSynEdit e;
  e.SetText("abc\r\nd\r\nefgh");
  struct TCase {
    TSynSelectionMode mode;
    TBufferCoord from, to;
    bool trim;
    const char* expected;
  } cases[] = {
      {smNormal, {2, 1}, {3, 3}, true, "bc\r\nd\r\nef"},
      {smLine, {2, 1}, {1, 2}, true, "abc\r\nd\r\n"},  // an inner last line keeps its CR LF
      {smLine, {2, 2}, {1, 3}, true, "d\r\nefgh"},     // the buffer's last line has none
      {smColumn, {2, 1}, {4, 3}, true, "bc\r\n\r\nfg"},
      {smColumn, {2, 1}, {4, 3}, false, "bc\r\n  \r\nfg"},
  };
  for (const auto& c : cases) {
    TSynEditorOptions o = e.Options();
    c.trim ? o.Include(eoTrimTrailingSpaces) : o.Exclude(eoTrimTrailingSpaces);
    e.SetOptions(o);
    e.SetSelectionMode(c.mode);
    e.SetCaretAndSelection(c.to, c.from, c.to);
    EXPECT_EQ(e.SelectedText(), c.expected) << int(c.mode);
  }
}

class ClipboardTest : public ::testing::Test {
 protected:
  TSynMemoryClipboard clipboard;
  THeadlessSynEdit e{&clipboard};
};

TEST_F(ClipboardTest, CopyPutsPlainTextAndTheModeBlock) {
  e.SetText("ab  \r\nc\r\nlast");
  e.SetSelectionMode(smLine);
  e.SetCaretAndSelection({1, 3}, {1, 3}, {2, 3});
  e.CopySelection();
  EXPECT_EQ(clipboard.PlainText(), "last");
  EXPECT_EQ(clipboard.BlockData(), std::string("\x01last\0", 6));
  // A column copy keeps its padding even though stored lines are trimmed.
  e.SetSelectionMode(smColumn);
  e.SetCaretAndSelection({4, 2}, {2, 1}, {4, 2});
  e.CopySelection();
  EXPECT_EQ(clipboard.PlainText(), "b \r\n  ");
  EXPECT_EQ(clipboard.BlockData(), std::string("\x02"
                                               "b \r\n  \0",
                                               8));
}

TEST_F(ClipboardTest, PasteUsesTheCopiedMode) {
  e.SetText("one\r\ntwo\r\nthree");
  e.SetSelectionMode(smLine);
  e.SetCaretAndSelection({1, 1}, {1, 1}, {1, 1});
  e.SetSelTo({2, 1});
  e.CopySelection();
  e.SetSelectionMode(smNormal);
  e.SetCaretPos({3, 3});
  e.PasteClipboard();
  EXPECT_EQ(e.Text(), "one\r\ntwo\r\none\r\nthree");
  EXPECT_EQ(e.CaretPos(), (TBufferCoord{1, 4}));

  clipboard.SetPlainText("X\r\nY");  // from another program: the current mode
  e.SetSelectionMode(smColumn);
  e.SetCaretPos({2, 1});
  e.PasteClipboard();
  EXPECT_EQ(e.Text(), "oXne\r\ntYwo\r\none\r\nthree");
}

TEST_F(ClipboardTest, CutAndPasteUndoInOneStepEach) {
  e.SetOptions(e.Options() - TSynEditorOptions{eoGroupUndo});
  e.SetText("abc\r\ndef");
  e.SetCaretAndSelection({2, 2}, {2, 1}, {2, 2});
  e.CutSelection();
  EXPECT_EQ(e.Text(), "aef");
  EXPECT_EQ(clipboard.PlainText(), "bc\r\nd");
  e.SetCaretAndSelection({3, 1}, {2, 1}, {3, 1});
  e.PasteClipboard();
  EXPECT_EQ(e.Text(), "abc\r\ndf");
  // The markers stay in the undo history; the redo history gets none.
  e.Undo();
  EXPECT_EQ(e.Text(), "aef");
  for (int i = 0; i < e.Editing().RedoList().ItemCount(); ++i) {
    TSynChangeKind k = e.Editing().RedoList().Items(i).ChangeKind;
    EXPECT_NE(k, ckPasteBegin);
    EXPECT_NE(k, ckPasteEnd);
  }
  e.Undo();
  EXPECT_EQ(e.Text(), "abc\r\ndef");
  e.Redo();
  EXPECT_EQ(e.Text(), "aef");
  e.Redo();
  EXPECT_EQ(e.Text(), "abc\r\ndf");
  EXPECT_FALSE(e.CanRedo());

  // Grouping by kind joins the cut with the paste's deletion; the paste then
  // comes along whole rather than half redone.
  e.SetOptions(e.Options() + TSynEditorOptions{eoGroupUndo});
  e.Undo();
  e.Undo();
  ASSERT_EQ(e.Text(), "abc\r\ndef");
  e.Redo();
  EXPECT_EQ(e.Text(), "abc\r\ndf");
}

TEST_F(ClipboardTest, ClipboardFailuresLeaveTheEditorUsable) {
  e.SetText("abc");
  e.SetCaretAndSelection({3, 1}, {1, 1}, {3, 1});
  clipboard.SetFailing(true);
  EXPECT_THROW(e.CopySelection(), ESynEditError);
  EXPECT_THROW(e.CutSelection(), ESynEditError);
  EXPECT_EQ(e.Text(), "abc");
  clipboard.SetFailing(false);
  clipboard.SetBlockData(std::string("\x00xyz\0", 5));
  clipboard.SetFailing(true);
  EXPECT_THROW(e.PasteClipboard(), ESynEditError);
  EXPECT_EQ(e.PaintLockCount(), 0);
  EXPECT_EQ(e.Editing().UndoList().BlockCount(), 0);
  EXPECT_EQ(e.Text(), "abc");
  ASSERT_NO_THROW(e.Check());
}

TEST_F(ClipboardTest, ReadOnlyEditorChangesNothingButCopies) {
  e.SetText("abc\r\ndef");
  e.SetCaretAndSelection({2, 2}, {2, 1}, {2, 2});
  e.SetReadOnly(true);
  clipboard.SetPlainText("zzz");
  e.SetSelectedText("x");
  e.DeleteSelection();
  e.CutSelection();
  e.PasteClipboard();
  e.RunCommand(ecLineBreak, 0, nullptr);
  e.RunCommand(ecPaste, 0, nullptr);
  EXPECT_EQ(e.Text(), "abc\r\ndef");
  EXPECT_EQ(clipboard.PlainText(), "zzz");
  e.RunCommand(ecCopy, 0, nullptr);
  EXPECT_EQ(clipboard.PlainText(), "bc\r\nd");
  e.SetReadOnly(false);
  EXPECT_FALSE(e.CanUndo());
  e.SetSelectedText("x");
  e.SetReadOnly(true);
  e.Undo();
  EXPECT_EQ(e.Text(), "axef");
}

}  // namespace
}  // namespace ludra::test
