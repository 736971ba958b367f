// Word characters and case commands follow the code page in use.
#include <gtest/gtest.h>

#include "base/SynCodePage.h"
#include "editor/HeadlessSynEdit.h"
#include "editor/MouseEditor.h"
#include "highlight/SynHighlighterCpp.h"

using namespace ludra;
using namespace ludra::test;

namespace {

// "\xD7\xE8\xF1\xEB\xEE" is a Cyrillic word with the letter 215 (Che) in it.
constexpr const char* kWord = "\xD7\xE8\xF1\xEB\xEE";

class CodePageWords : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    SetCodePage(FindCodePage(1251));
    if (GetParam()) e.SetHighlighter(&highlighter);
  }
  void TearDown() override {
    e.SetHighlighter(nullptr);
    SetCodePage(nullptr);
  }
  TSynCppSyn highlighter;
  TMouseSynEdit e;
};

}  // namespace

TEST_P(CodePageWords, DoubleClickSelectsACyrillicWordWholly) {
  e.SetText(std::string("x = ") + kWord + "(1);");
  e.DoubleClick(7, 1);
  EXPECT_EQ(e.SelectedText(), kWord);
  // Words with yo (outside the 192..255 block) too.
  e.SetText("a \xB8\xEB\xEA\xE0 b");
  e.DoubleClick(4, 1);
  EXPECT_EQ(e.SelectedText(), "\xB8\xEB\xEA\xE0");
}

TEST_P(CodePageWords, WordMovesStepOverCyrillicWords) {
  e.SetText(std::string(kWord) + " " + kWord + "2, x");
  e.SetCaretPos({1, 1});
  e.RunCommand(ecWordRight, 0, nullptr);
  EXPECT_EQ(e.CaretPos(), (TBufferCoord{7, 1}));
  e.RunCommand(ecWordRight, 0, nullptr);
  EXPECT_EQ(e.CaretPos(), (TBufferCoord{15, 1}));
  e.RunCommand(ecWordLeft, 0, nullptr);
  EXPECT_EQ(e.CaretPos(), (TBufferCoord{7, 1}));
}

TEST_P(CodePageWords, CaseCommandsMapCyrillicLetters) {
  e.SetText(std::string(kWord) + " \xB8\xEB\xEA\xE0");
  e.SelectWholeText();
  e.RunCommand(ecUpperCaseBlock, 0, nullptr);
  EXPECT_EQ(e.Lines()[0], "\xD7\xC8\xD1\xCB\xCE \xA8\xCB\xCA\xC0");
  e.SelectWholeText();
  e.RunCommand(ecLowerCaseBlock, 0, nullptr);
  EXPECT_EQ(e.Lines()[0], "\xF7\xE8\xF1\xEB\xEE \xB8\xEB\xEA\xE0");
  e.SelectWholeText();
  e.RunCommand(ecToggleCaseBlock, 0, nullptr);
  EXPECT_EQ(e.Lines()[0], "\xD7\xC8\xD1\xCB\xCE \xA8\xCB\xCA\xC0");
}

INSTANTIATE_TEST_SUITE_P(WithAndWithoutHighlighter, CodePageWords, ::testing::Bool());
