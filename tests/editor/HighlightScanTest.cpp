#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "HeadlessSynEdit.h"
#include "SynEditTextBuffer.h"
#include "SynHighlighterCpp.h"

using namespace ludra;
using namespace ludra::test;

namespace {

// Counts the lines the editor asks the highlighter to scan.
class TCountingCppSyn : public TSynCppSyn {
 public:
  void StartLine(std::string_view text, int lineIndex) override {
    ++linesScanned;
    TSynCppSyn::StartLine(text, lineIndex);
  }
  int linesScanned = 0;
};

// The end states a fresh highlighter gives the whole text, line by line.
std::vector<TSynRange> FreshStates(const TSynEditStringList& lines) {
  TSynCppSyn h;
  std::vector<TSynRange> states;
  h.ResetRangeState();
  for (int i = 0; i < lines.Count(); ++i) {
    h.StartLine(lines.GetView(i), i);
    h.ScanToLineEnd();
    states.push_back(h.GetRangeState());
  }
  return states;
}

std::vector<TSynRange> StoredStates(const TSynEditStringList& lines) {
  std::vector<TSynRange> states;
  for (int i = 0; i < lines.Count(); ++i) states.push_back(lines.LineRange(i));
  return states;
}

void Type(TCustomSynEdit& e, TBufferCoord at, const std::string& text) {
  e.SetCaretPos(at);
  e.SetSelectedText(text);
}

std::string ManyLines(int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s += "x = " + std::to_string(i) + "; // note\n";
  return s;
}

}  // namespace

TEST(HighlightScan, AttachingScansEveryLine) {
  THeadlessSynEdit e;
  e.Lines().SetText("a /* open\nstill\nclosed */ b\n#define X \\\n  1\n\"str\\\nmore\"\n");
  TCountingCppSyn h;
  e.SetHighlighter(&h);
  EXPECT_EQ(h.linesScanned, e.Lines().Count());
  EXPECT_EQ(StoredStates(e.Lines()), FreshStates(e.Lines()));
}

TEST(HighlightScan, OpeningABlockCommentRescansToTheEnd) {
  THeadlessSynEdit e;
  e.Lines().SetText(ManyLines(1000));
  TCountingCppSyn h;
  e.SetHighlighter(&h);
  h.linesScanned = 0;
  Type(e, {1, 10}, "/*");
  EXPECT_EQ(h.linesScanned, 991);  // line 10 to line 1000
  EXPECT_EQ(StoredStates(e.Lines()), FreshStates(e.Lines()));
  h.linesScanned = 0;
  Type(e, {3, 10}, "");  // no change, no scan beyond what changed
  h.linesScanned = 0;
  Type(e, {1, 500}, "*/");
  EXPECT_EQ(h.linesScanned, 501);  // the comment now ends here: the rest changes back
  EXPECT_EQ(StoredStates(e.Lines()), FreshStates(e.Lines()));
}

TEST(HighlightScan, TypingInsideALineCommentRescansOneLine) {
  THeadlessSynEdit e;
  e.Lines().SetText(ManyLines(1000));
  TCountingCppSyn h;
  e.SetHighlighter(&h);
  h.linesScanned = 0;
  Type(e, {12, 10}, "more words");
  EXPECT_EQ(h.linesScanned, 1);
}

TEST(HighlightScan, InsertedAndDeletedLinesKeepTheStatesRight) {
  THeadlessSynEdit e;
  e.Lines().SetText("a\n/* x\ny */\nb\n");
  TSynCppSyn h;
  e.SetHighlighter(&h);
  Type(e, {1, 2}, "one\ntwo\n");
  EXPECT_EQ(StoredStates(e.Lines()), FreshStates(e.Lines()));
  e.Lines().InsertLines(3, 2);  // empty lines inside the comment
  EXPECT_EQ(StoredStates(e.Lines()), FreshStates(e.Lines()));
  e.Lines().DeleteLines(1, 3);
  EXPECT_EQ(StoredStates(e.Lines()), FreshStates(e.Lines()));
  e.Lines().Delete(0);
  EXPECT_EQ(StoredStates(e.Lines()), FreshStates(e.Lines()));
}

TEST(HighlightScan, RandomEditsLeaveTheSameStatesAsAFreshScan) {
  std::mt19937 rng(99);
  const char* pieces[] = {"/*", "*/", "\"", "\\", "\n", "#if", "'", "//", "x", " ", "\t", "\r\n"};
  THeadlessSynEdit e;
  e.Lines().SetText("int a;\n/* c */\n\"s\"\n#define Y 2\n");
  TSynCppSyn h;
  e.SetHighlighter(&h);
  for (int step = 0; step < 1500; ++step) {
    int line = 1 + static_cast<int>(rng() % std::max(1, e.Lines().Count()));
    int len = static_cast<int>(e.Lines().GetView(line - 1).size());
    TBufferCoord at{1 + static_cast<int>(rng() % (len + 1)), line};
    if (rng() % 3 == 0 && len > 0) {
      e.SetCaretPos(at);
      e.SetSelFrom(at);
      e.SetSelTo({std::min(len + 1, at.Char + 1 + static_cast<int>(rng() % 4)), line});
      e.SetSelectedText("");
    } else {
      Type(e, at, pieces[rng() % (sizeof pieces / sizeof *pieces)]);
    }
    ASSERT_EQ(StoredStates(e.Lines()), FreshStates(e.Lines())) << "step " << step;
  }
}

TEST(HighlightScan, AttributeChangesRepaintWithoutRescanning) {
  THeadlessSynEdit e;
  e.Lines().SetText(ManyLines(50));
  TCountingCppSyn h;
  e.SetHighlighter(&h);
  h.linesScanned = 0;
  e.invalidated.clear();
  h.AttributeAt(0)->SetForeground(clRed);
  EXPECT_EQ(h.linesScanned, 0);
  EXPECT_FALSE(e.invalidated.empty());
}

TEST(HighlightScan, TheEditorLetsGoOfADestroyedHighlighter) {
  THeadlessSynEdit e;
  e.Lines().SetText("a\n");
  {
    auto h = std::make_unique<TSynCppSyn>();
    e.SetHighlighter(h.get());
  }
  EXPECT_EQ(e.Highlighter(), nullptr);
  Type(e, {1, 1}, "/* still editable\n");
  EXPECT_EQ(e.Lines().Get(0), "/* still editable");
}
