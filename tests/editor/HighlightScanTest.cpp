#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "buffer/SynEditTextBuffer.h"
#include "editor/HeadlessSynEdit.h"
#include "highlight/SynHighlighterCpp.h"

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

namespace {

// A block of n lines in which every tenth line opens or closes a comment.
std::string BlockWithComments(int n) {
  std::string s;
  for (int i = 0; i < n; ++i)
    s += i % 20 == 5    ? "/* opens\n"
         : i % 20 == 15 ? "closes */\n"
                        : "y = " + std::to_string(i) + ";\n";
  return s;
}

}  // namespace

TEST(HighlightScan, PastingCommentBoundariesScansTheBlockOnce) {
  TSynMemoryClipboard clipboard;
  THeadlessSynEdit e(&clipboard);
  e.Lines().SetText(ManyLines(1000));
  TCountingCppSyn h;
  e.SetHighlighter(&h);
  clipboard.SetPlainText(BlockWithComments(200));
  h.linesScanned = 0;
  e.SetCaretPos({1, 10});
  e.PasteClipboard();
  // The 200 pasted lines, the caret line's rest and the line where the
  // states agree again; not the rest of the text once per boundary.
  EXPECT_LE(h.linesScanned, 202);
  EXPECT_EQ(StoredStates(e.Lines()), FreshStates(e.Lines()));
  h.linesScanned = 0;
  e.Undo();
  EXPECT_LE(h.linesScanned, 2);
  EXPECT_EQ(StoredStates(e.Lines()), FreshStates(e.Lines()));
  h.linesScanned = 0;
  e.Redo();
  EXPECT_LE(h.linesScanned, 202);
  EXPECT_EQ(StoredStates(e.Lines()), FreshStates(e.Lines()));
  e.Check();
}

TEST(HighlightScan, BracketMatchingStartsFromTheStoredState) {
  THeadlessSynEdit e;
  // Line 3002 starts inside the comment that line 3001 opens.
  e.Lines().SetText(ManyLines(3000) + "/* start\n( ) */ ( x ) )\n");
  TCountingCppSyn h;
  e.SetHighlighter(&h);
  h.linesScanned = 0;
  EXPECT_EQ(e.GetMatchingBracket({1, 3002}), (TBufferCoord{14, 3002}));
  EXPECT_EQ(e.GetMatchingBracket({12, 3002}), (TBufferCoord{8, 3002}));
  EXPECT_EQ(h.linesScanned, 2);  // the bracket's own line, once per search
}

// Several edits inside one paint lock, as commands, replays and scripts make
// them: the waiting lines follow inserted and deleted lines, and one scan at
// the end leaves the states a fresh scan gives.
TEST(HighlightScan, EditsInsideAPaintLockScanOnceAtItsEnd) {
  std::mt19937 rng(1234);
  const char* pieces[] = {"/*", "*/", "\"", "x", "\n", "a\nb /*\nc", "*/\n\n", "//", "#if x \\\n"};
  THeadlessSynEdit e;
  e.Lines().SetText(ManyLines(60) + "/* a\nb */\n" + ManyLines(60));
  TSynCppSyn h;
  e.SetHighlighter(&h);
  for (int round = 0; round < 300; ++round) {
    e.BeginPaintLock();
    int edits = 1 + static_cast<int>(rng() % 5);
    for (int k = 0; k < edits; ++k) {
      int count = e.Lines().Count();
      int line = 1 + static_cast<int>(rng() % std::max(1, count));
      int len = static_cast<int>(e.Lines().GetView(line - 1).size());
      switch (rng() % 5) {
        case 0:  // straight through the buffer
          if (count > 1) e.Lines().DeleteLines(line - 1, 1 + static_cast<int>(rng() % 3));
          break;
        case 1:
          e.Lines().InsertLines(line - 1, 1 + static_cast<int>(rng() % 3));
          break;
        case 2:
          e.Lines().Put(line - 1, pieces[rng() % 4]);
          break;
        default: {
          TBufferCoord at{1 + static_cast<int>(rng() % (len + 1)), line};
          e.SetCaretAndSelection(at, at,
                                 {std::min(len + 1, at.Char + static_cast<int>(rng() % 3)), line});
          e.SetSelectedText(pieces[rng() % (sizeof pieces / sizeof *pieces)]);
        }
      }
    }
    e.EndPaintLock();
    ASSERT_EQ(StoredStates(e.Lines()), FreshStates(e.Lines())) << "round " << round;
    ASSERT_NO_THROW(e.Check()) << "round " << round;
    if (rng() % 4 == 0) {
      e.Undo();
      ASSERT_EQ(StoredStates(e.Lines()), FreshStates(e.Lines())) << "undo, round " << round;
    }
  }
}
