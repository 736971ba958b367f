// The editor model: status and change notices, caret and selection limits,
// coordinate conversions and scrolling the caret into view.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "editor/HeadlessSynEdit.h"

namespace ludra::test {
namespace {

// Records the notices in the order they arrive.
struct TNoticeLog {
  explicit TNoticeLog(TCustomSynEdit& e) : editor(e) {
    e.OnChange = [this](TCustomSynEdit*) { events.push_back("change"); };
    e.OnStatusChange = [this](TCustomSynEdit*, TSynStatusChanges c) {
      events.push_back("status");
      statuses.push_back(c);
    };
  }
  ~TNoticeLog() {
    editor.OnChange = nullptr;
    editor.OnStatusChange = nullptr;
  }
  TCustomSynEdit& editor;
  std::vector<std::string> events;
  std::vector<TSynStatusChanges> statuses;
};

TEST(EditorNoticesTest, StatusFlagsWaitForTheFirstHandler) {
  THeadlessSynEdit e;
  e.SetText("hello\r\nworld");
  e.SetCaretPos({3, 2});
  e.SetInsertMode(false);
  EXPECT_TRUE(e.PendingStatus().Includes({scCaretX, scCaretY, scSelection, scInsertMode}));
  TNoticeLog log(e);
  e.SetReadOnly(true);
  ASSERT_EQ(log.statuses.size(), 1u);
  EXPECT_EQ(log.statuses[0],
            (TSynStatusChanges{scCaretX, scCaretY, scSelection, scInsertMode, scReadOnly}));
  EXPECT_TRUE(e.PendingStatus().Empty());
}

TEST(EditorNoticesTest, OneStatusNoticePerOutermostPaintLock) {
  THeadlessSynEdit e;
  e.SetText("one\r\ntwo\r\nthree");
  TNoticeLog log(e);
  e.BeginPaintLock();
  e.BeginPaintLock();
  e.SetCaretPos({2, 3});
  e.SetInsertMode(false);
  e.EndPaintLock();
  EXPECT_TRUE(log.statuses.empty());
  e.SetReadOnly(true);
  e.EndPaintLock();
  ASSERT_EQ(log.statuses.size(), 1u);
  EXPECT_EQ(log.statuses[0],
            (TSynStatusChanges{scCaretX, scCaretY, scSelection, scInsertMode, scReadOnly}));
  e.EndPaintLock();  // unbalanced: ignored
  EXPECT_EQ(e.PaintLockCount(), 0);
}

TEST(EditorNoticesTest, PublicCaretSetterDropsSelectionInOneNotice) {
  THeadlessSynEdit e;
  e.SetText("abcdef\r\nghijkl");
  e.SetCaretAndSelection({4, 1}, {2, 1}, {4, 1});
  ASSERT_TRUE(e.HasSelection());
  TNoticeLog log(e);
  e.SetCaretPos({5, 2});
  EXPECT_FALSE(e.HasSelection());
  EXPECT_EQ(e.SelFrom(), (TBufferCoord{5, 2}));
  ASSERT_EQ(log.statuses.size(), 1u);
  EXPECT_EQ(log.statuses[0], (TSynStatusChanges{scCaretX, scCaretY, scSelection}));
}

TEST(EditorNoticesTest, CommandGivesChangeBeforeTheModifiedStatus) {
  THeadlessSynEdit e;
  e.SetText("abc");
  e.SetCaretPos({2, 1});
  TNoticeLog log(e);
  e.RunCommand(ecLineBreak, 0, nullptr);
  ASSERT_EQ(log.events, (std::vector<std::string>{"change", "status"}));
  EXPECT_TRUE(log.statuses[0].Includes({scCaretX, scCaretY, scModified}));
  EXPECT_TRUE(e.ContentModified());
}

TEST(EditorNoticesTest, RecordingOutsideAPaintLockReportsModifiedFirst) {
  THeadlessSynEdit e;
  e.SetText("abc");
  TNoticeLog log(e);
  e.Editing().UndoList().RecordChange(ckInsert, {1, 1}, {2, 1}, "", smNormal);
  EXPECT_EQ(log.events, (std::vector<std::string>{"status", "change"}));
  EXPECT_EQ(log.statuses[0], (TSynStatusChanges{scModified}));
}

TEST(EditorNoticesTest, OneChangeNoticePerUndoStep) {
  TSynMemoryClipboard clipboard;
  THeadlessSynEdit e(&clipboard);
  e.SetText("abc\r\ndef");
  struct TCase {
    const char* name;
    std::function<void()> act;
  } cases[] = {
      {"replace selection", [&] { e.SetSelectedText("x\r\ny\r\nz"); }},
      {"paste over selection", [&] { e.PasteClipboard(); }},
      {"cut", [&] { e.CutSelection(); }},
      {"line break over selection", [&] { e.RunCommand(ecLineBreak, 0, nullptr); }},
  };
  clipboard.SetPlainText("p\r\nq");
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    e.SetCaretAndSelection({2, 2}, {2, 1}, {2, 2});
    TNoticeLog log(e);
    c.act();
    EXPECT_EQ(std::count(log.events.begin(), log.events.end(), "change"), 1);
  }
}

TEST(EditorNoticesTest, LoadingClearsHistoriesQuietly) {
  THeadlessSynEdit e;
  e.SetText("abc");
  e.SetCaretPos({4, 1});
  e.SetSelectedText("d");
  e.Undo();
  ASSERT_TRUE(e.CanRedo());
  e.SetSelectedText("e");
  ASSERT_TRUE(e.ContentModified());
  TNoticeLog log(e);
  e.SetCaretPos({1, 1});
  log.statuses.clear();
  log.events.clear();
  e.Lines().LoadFromBytes("new\r\ntext\r\n");
  EXPECT_FALSE(e.CanUndo());
  EXPECT_FALSE(e.CanRedo());
  EXPECT_TRUE(e.ContentModified());
  EXPECT_EQ(std::count(log.events.begin(), log.events.end(), "change"), 0);
  EXPECT_TRUE(e.PendingStatus().Contains(scAll));
  e.SetInsertMode(false);
  ASSERT_FALSE(log.statuses.empty());
  EXPECT_TRUE(log.statuses.back().Includes({scAll, scInsertMode}));
}

TEST(EditorCaretTest, CaretLimits) {
  struct TCase {
    bool pastEol;
    TBufferCoord asked;
    TBufferCoord expected;
  } cases[] = {
      {false, {50, 1}, {11, 1}},     // one past the end of the 10-character line
      {true, {50, 1}, {50, 1}},      // virtual space
      {true, {5000, 1}, {1025, 1}},  // MaxScrollWidth + 1
      {false, {0, 0}, {1, 1}},      {false, {3, 99}, {1, 2}},  // the last line is empty
  };
  for (const TCase& c : cases) {
    THeadlessSynEdit e;
    e.SetText("0123456789\r\n");
    e.Lines().Add("");
    TSynEditorOptions o = e.Options();
    c.pastEol ? o.Include(eoScrollPastEol) : o.Exclude(eoScrollPastEol);
    e.SetOptions(o);
    e.SetCaretPos(c.asked);
    EXPECT_EQ(e.CaretPos(), c.expected) << c.asked.Char << "," << c.asked.Line;
  }
}

TEST(EditorCaretTest, EndOfALineLongerThanMaxScrollWidthStaysReachable) {
  THeadlessSynEdit e;
  e.SetText(std::string(2000, 'x'));
  e.SetCaretPos({2001, 1});
  EXPECT_EQ(e.CaretChar(), 2001);
}

TEST(EditorCaretTest, EmptyBuffer) {
  THeadlessSynEdit e;
  EXPECT_EQ(e.CaretPos(), (TBufferCoord{1, 1}));
  EXPECT_EQ(e.LineAtCaret(), "");
  e.SelectWholeText();
  EXPECT_FALSE(e.HasSelection());
  EXPECT_EQ(e.SelFrom(), (TBufferCoord{1, 1}));
  EXPECT_EQ(e.SelTo(), (TBufferCoord{1, 1}));
  EXPECT_EQ(e.SelectedText(), "");
}

TEST(EditorCaretTest, HasSelectionDependsOnMode) {
  THeadlessSynEdit e;
  e.SetText("abc\r\ndef");
  e.SetSelectionMode(smColumn);
  e.SetCaretAndSelection({2, 2}, {2, 1}, {2, 2});
  EXPECT_FALSE(e.HasSelection());
  e.SetSelectionMode(smNormal);
  EXPECT_TRUE(e.HasSelection());
  EXPECT_EQ(e.SelectionLength(), 5);  // "bc", CR LF, "d"
}

TEST(EditorCaretTest, NormalSelectionEndsStayOnTheirLines) {
  THeadlessSynEdit e;
  e.SetText("ab\r\ncdef");
  e.SetCaretAndSelection({9, 1}, {9, 1}, {9, 2});
  EXPECT_EQ(e.SelFrom(), (TBufferCoord{3, 1}));
  EXPECT_EQ(e.SelTo(), (TBufferCoord{5, 2}));
  e.SetOptions(e.Options() + TSynEditorOptions{eoNoSelection});
  e.SetSelTo({1, 1});
  EXPECT_EQ(e.SelTo(), (TBufferCoord{5, 2}));
}

TEST(EditorCoordinatesTest, TabsExpandToStops) {
  THeadlessSynEdit e;
  e.SetTabWidth(4);
  e.SetText("\tab\tc");
  struct TCase {
    int aChar;
    int column;
  } toDisplay[] = {{1, 1}, {2, 5}, {3, 6}, {4, 7}, {5, 9}, {6, 10}, {8, 12}};
  for (const TCase& c : toDisplay) {
    EXPECT_EQ(e.BufferToDisplay({c.aChar, 1}), (TDisplayCoord{c.column, 1})) << c.aChar;
    EXPECT_EQ(e.DisplayToBuffer({c.column, 1}), (TBufferCoord{c.aChar, 1})) << c.aChar;
  }
  // A column inside a tab's span maps to the position before the tab.
  EXPECT_EQ(e.DisplayToBuffer({3, 1}), (TBufferCoord{1, 1}));
  EXPECT_EQ(e.DisplayToBuffer({8, 1}), (TBufferCoord{4, 1}));
  for (int tabWidth : {1, 3, 8}) {
    e.SetTabWidth(tabWidth);
    for (int ch = 1; ch <= 9; ++ch)
      EXPECT_EQ(e.DisplayToBuffer(e.BufferToDisplay({ch, 1})), (TBufferCoord{ch, 1}))
          << tabWidth << " " << ch;
  }
}

TEST(EditorCoordinatesTest, PixelsRoundTrip) {
  THeadlessSynEdit e;  // cells 10 x 20, gutter 30
  e.SetText(std::string(300, 'x'));
  e.SetFirstVisibleColumn(3);
  EXPECT_EQ(e.TextOrigin(), 30 + 2 - 2 * 10);
  TPoint p = e.RowColumnToPixels({5, 1});
  EXPECT_EQ(p, (TPoint{40 + e.TextOrigin(), 0}));
  EXPECT_EQ(e.PixelsToRowColumn(p.X, p.Y), (TDisplayCoord{5, 1}));
  EXPECT_EQ(e.PixelsToRowColumn(p.X + 6, 19, false), (TDisplayCoord{5, 1}));
  EXPECT_EQ(e.PixelsToRowColumn(p.X + 6, 19, true), (TDisplayCoord{6, 1}));
  EXPECT_EQ(e.PixelsToRowColumn(-50, -50, true), (TDisplayCoord{1, 1}));
}

TEST(EditorViewTest, EnsureCaretVisibleScrollsBothWays) {
  THeadlessSynEdit e;  // 25 rows, 80 columns
  std::string text;
  for (int i = 0; i < 100; ++i) text += std::string(200, 'x') + "\r\n";
  e.SetText(text);
  e.SetCaretPos({150, 60});
  EXPECT_EQ(e.TopRow(), 60 - 25 + 1);
  EXPECT_EQ(e.FirstVisibleColumn(), 150 - 80 + 1);
  e.SetCaretPos({1, 10});
  EXPECT_EQ(e.TopRow(), 10);
  EXPECT_EQ(e.FirstVisibleColumn(), 1);
  e.InternalSetCaretPos({1, 60}, false);
  e.EnsureCaretVisible(true);
  EXPECT_EQ(e.TopRow(), 60 - (25 - 12) + 1);
  e.InternalSetCaretPos({1, 20}, false);
  e.EnsureCaretVisible(true);
  EXPECT_EQ(e.TopRow(), 20 - 12 + 1);
  e.SetTopRow(1000);
  EXPECT_EQ(e.TopRow(), e.Lines().Count() - 25 + 1);
}

TEST(EditorViewTest, InvalidationsDuringABufferChangeAreMerged) {
  THeadlessSynEdit e;
  e.SetText("a\r\nb\r\nc\r\nd");
  e.invalidated.clear();
  e.Lines().BeginUpdate();
  e.Lines().Put(1, "x");
  e.Lines().Put(2, "y");
  EXPECT_TRUE(e.invalidated.empty());
  e.Lines().EndUpdate();
  ASSERT_EQ(e.invalidated.size(), 1u);
  EXPECT_EQ(e.invalidated[0], (TRect{30, 20, e.clientWidth, 60}));
}

TEST(EditorViewTest, ScrollBarsAreScaledForLongDocuments) {
  THeadlessSynEdit e;
  e.SetOptions(e.Options() - TSynEditorOptions{eoScrollPastEol});
  e.Lines().InsertLines(0, 100000);
  e.UpdateScrollBars();
  EXPECT_EQ(e.vScroll.Max, 32767);
  EXPECT_EQ(e.vScroll.Page, 25 * 32767 / 100000);
  e.SetTopRow(100000);
  EXPECT_EQ(e.vScroll.Position, (100000 - 24) * 32767LL / 100000);
  EXPECT_EQ(e.hScroll.Max, 1);
  EXPECT_TRUE(e.hScroll.DisableBackArrow && e.hScroll.DisableForwardArrow);
}

TEST(EditorViewTest, CaretIsPlacedOnlyWithFocusAndOutsideLocks) {
  THeadlessSynEdit e;
  e.SetText("abc");
  e.SetCaretPos({3, 1});
  EXPECT_EQ(e.caretPlacements, 0);
  EXPECT_TRUE(e.EditorState().Contains(sfCaretChanged));
  e.focused = true;
  e.UpdateCaret();
  EXPECT_EQ(e.caretPixel, (TPoint{32 + 2 * 10 - 1, 1}));
  EXPECT_TRUE(e.caretVisible);
  e.SetOptions(e.Options() + TSynEditorOptions{eoNoCaret});
  e.UpdateCaret();
  EXPECT_FALSE(e.caretVisible);
}

TEST(EditorLifetimeTest, ListenersAreToldOnceWhenTheEditorGoes) {
  std::vector<std::string> told;
  struct TTold : TSynEditListener {
    std::vector<std::string>* told;
    std::string name;
    TSynEditListener* other = nullptr;
    TTold(std::vector<std::string>* told, std::string name) : told(told), name(std::move(name)) {}
    void EditorDestroyed(TCustomSynEdit* sender) override {
      told->push_back(name);
      // Removing a listener while being told (as the engines do) changes nothing.
      if (other) sender->RemoveListener(other);
    }
  };
  TTold a(&told, "a"), b(&told, "b"), c(&told, "c");
  {
    THeadlessSynEdit e;
    e.AddListener(&a);
    e.AddListener(&b);
    e.AddListener(&c);
    e.RemoveListener(&a);
    e.AddListener(&a);
    e.AddListener(&b);  // already there
    b.other = &c;
  }
  EXPECT_EQ(told, (std::vector<std::string>{"b", "c", "a"}));
}

}  // namespace
}  // namespace ludra::test
