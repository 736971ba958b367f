// The proposal window: rows, scroll bar, selection, wheel, resizing,
// placement and painting through the recording canvas; parameter hints.
#include <gtest/gtest.h>

#include "completion/ProposalTestSupport.h"

namespace ludra::test {
namespace {

// Row height 20 (the recording canvas's cell), no title.
struct TListFormTest : ::testing::Test {
  void Open(int items, const std::string& line = "") {
    for (int i = 0; i < items; ++i) f.AddNative("fn" + std::to_string(i), "a, b");
    f.editor.SetText(line);
    f.editor.SetCaretPos({static_cast<int>(line.size()) + 1, 1});
    f.Key(VK_SPACE, {ssCtrl}, ' ');
    ASSERT_TRUE(f.ListOpen());
  }
  TProposalFixture f;
};

TEST_F(TListFormTest, ThreeItemsInEightRowsHaveADisabledBarAndPageDownGoesToTheLast) {
  Open(3);
  const TProposalScrollBar& bar = f.form().ScrollBar();
  EXPECT_TRUE(bar.Visible);
  EXPECT_FALSE(bar.Enabled);
  EXPECT_EQ(bar.Max, 0);
  f.Key(VK_NEXT);
  EXPECT_EQ(f.form().SelectedIndex(), 2);
  f.Key(VK_PRIOR);
  EXPECT_EQ(f.form().SelectedIndex(), 0);
  // Height: eight rows and the frame.
  EXPECT_EQ(f.window().bounds.Bottom - f.window().bounds.Top,
            8 * 20 + 2 * f.window().SizingFrameHeight());
}

TEST_F(TListFormTest, SelectionKeysScrollTheBarAndReportTheItemIndex) {
  Open(20);
  EXPECT_TRUE(f.form().ScrollBar().Enabled);
  EXPECT_EQ(f.form().ScrollBar().Max, 12);
  EXPECT_EQ(f.form().ScrollBar().LargeChange, 8);
  std::vector<int> changes;
  f.engine->OnChange = [&](TSynBaseCompletionProposal*, int index) { changes.push_back(index); };
  struct Step {
    uint16_t key;
    TShiftState shift;
    int selected;
    int position;
  } steps[] = {
      {VK_DOWN, {}, 1, 0},   {VK_NEXT, {}, 9, 2},     {VK_DOWN, {ssCtrl}, 19, 12},
      {VK_DOWN, {}, 19, 12}, {VK_HOME, {}, 0, 0},     {VK_UP, {}, 0, 0},
      {VK_END, {}, 19, 12},  {VK_UP, {ssCtrl}, 0, 0}, {VK_PRIOR, {}, 0, 0},
  };
  for (const Step& s : steps) {
    f.Key(s.key, s.shift);
    EXPECT_EQ(f.form().SelectedIndex(), s.selected) << s.key;
    EXPECT_EQ(f.form().Position(), s.position) << s.key;
  }
  EXPECT_EQ(changes, (std::vector<int>{1, 9, 19, 0, 19, 0}));
  // Moving the bar keeps the selection in the view.
  f.form().ScrollBarScrolled(10);
  EXPECT_EQ(f.form().SelectedIndex(), 10);
  f.form().ScrollBarScrolled(0);
  EXPECT_EQ(f.form().SelectedIndex(), 7);
}

TEST_F(TListFormTest, WheelKeepsItsRemainderAndStopsAtTheEnds) {
  Open(20);
  f.form().SetSelectedIndex(10);
  f.form().MouseWheel(-60, {});
  EXPECT_EQ(f.form().SelectedIndex(), 10);
  f.form().MouseWheel(-60, {});
  EXPECT_EQ(f.form().SelectedIndex(), 13);
  f.form().MouseWheel(120, {ssCtrl});
  EXPECT_EQ(f.form().SelectedIndex(), 5);
  f.form().MouseWheel(3 * 120, {});
  EXPECT_EQ(f.form().SelectedIndex(), 0);
  f.form().MouseWheel(-100 * 120, {});
  EXPECT_EQ(f.form().SelectedIndex(), 19);
  f.window().wheelLines = -1;  // a page a notch
  f.form().MouseWheel(120, {});
  EXPECT_EQ(f.form().SelectedIndex(), 11);
}

TEST_F(TListFormTest, MousePicksTheRowUnderThePointerAndDoubleClickAccepts) {
  Open(20, "x = ");
  f.form().SetPosition(5);
  f.form().MouseDown(mbLeft, {}, 10, 3 * 20 + 5);
  EXPECT_EQ(f.form().SelectedIndex(), 8);
  f.form().MouseDown(mbLeft, {}, 10, 50 * 20);  // beyond the last row: nothing
  EXPECT_EQ(f.form().SelectedIndex(), 8);
  f.form().DblClick();
  EXPECT_EQ(f.editor.Text(), "x = fn8");
  EXPECT_FALSE(f.ListOpen());
}

TEST_F(TListFormTest, ResizingSnapsToRowsAndIsKeptForTheNextList) {
  Open(20);
  int frame = f.window().SizingFrameHeight();
  int w = 300, h = 5 * 20 + 7 + 2 * frame;
  f.form().CanResize(w, h);
  EXPECT_EQ(h, 5 * 20 + 2 * frame);
  EXPECT_EQ(w, 300);
  int narrow = 1, tiny = 3;
  f.form().CanResize(narrow, tiny);
  EXPECT_EQ(tiny, 20 + 2 * frame);
  EXPECT_EQ(narrow, f.window().ScrollBarWidth() + 2 * frame);
  TRect b = f.window().bounds;
  f.form().Resized({b.Left, b.Top, b.Left + w, b.Top + h});
  EXPECT_EQ(f.form().NbLinesInWindow(), 5);
  EXPECT_EQ(f.form().ScrollBar().Max, 15);
  f.Key(VK_ESCAPE);
  EXPECT_EQ(f.engine->Width(), 300);
  EXPECT_EQ(f.engine->NbLinesInWindow(), 5);
  f.Key(VK_SPACE, {ssCtrl}, ' ');
  EXPECT_EQ(f.window().bounds.Right - f.window().bounds.Left, 300);
  EXPECT_EQ(f.window().bounds.Bottom - f.window().bounds.Top, 5 * 20 + 2 * frame);
}

TEST_F(TListFormTest, PlacementStaysInsideTheWorkArea) {
  f.host.editorOrigin = {1000, 740};
  Open(3);
  TRect b = f.window().bounds;
  EXPECT_EQ(b.Right, 1024 - 5);
  // Above the caret line: top = line top + row height - height - row height - 2.
  TPoint caret = f.editor.RowColumnToPixels(f.editor.BufferToDisplay({1, 1}));
  EXPECT_EQ(b.Bottom, 740 + caret.Y - 2);
}

TEST_F(TListFormTest, PaintingDrawsVisibleRowsWithColumnsSelectionAndTitle) {
  f.engine->SetTitle("Natives");
  f.engine->SetOptions(f.engine->Options() + TSynCompletionOptions{scoTitleIsCentered});
  Open(12);
  f.form().SetSelectedIndex(1);
  TSynRecordingCanvas canvas;
  f.form().Paint(canvas);
  int title = f.form().TitleHeight();
  EXPECT_EQ(title, 20 + 4);
  std::vector<std::string> rows;
  for (const auto& op : canvas.Texts()) rows.push_back(op.Text);
  // Eight rows of three runs ("native ", the bold name, the parameters), then the title.
  ASSERT_EQ(rows.size(), 8u * 3 + 1);
  EXPECT_EQ(rows[0], "native ");
  EXPECT_EQ(rows[1], "fn0");
  EXPECT_EQ(rows[2], "(a, b)");
  EXPECT_EQ(rows.back(), "Natives");
  auto texts = canvas.Texts();
  // The name sits in the second column: margin + "native " in cells.
  EXPECT_EQ(texts[1].X, 2 + 7 * 10);
  EXPECT_TRUE(texts[1].Style.Contains(fsBold));
  EXPECT_EQ(texts[1].Y, title);
  EXPECT_EQ(texts[0].Fg, clWindowText);
  // The selected row: highlight behind, highlight text on it.
  EXPECT_EQ(texts[3].Fg, clHighlightText);
  EXPECT_EQ(texts[4].Y, title + 20);
  bool selectionFilled = false, titleFilled = false;
  for (const auto& op : canvas.Ops) {
    if (op.Kind == TSynRecordingCanvas::opFill && op.Bg == clHighlight &&
        op.Rect.Top == title + 20 && op.Rect.Bottom == title + 40)
      selectionFilled = true;
    if (op.Kind == TSynRecordingCanvas::opFill && op.Bg == clBtnFace && op.Rect.Top == 0 &&
        op.Rect.Bottom == title)
      titleFilled = true;
  }
  EXPECT_TRUE(selectionFilled);
  EXPECT_TRUE(titleFilled);
  // Centred title in the title font.
  EXPECT_EQ(texts.back().X, (f.form().ClientWidth() - 7 * 10) / 2);
  EXPECT_TRUE(texts.back().Style.Contains(fsBold));
}

TEST_F(TListFormTest, CustomDrawnRowsSkipTheBuiltInDrawing) {
  Open(3);
  std::vector<int> painted;
  f.engine->OnPaintItem = [&](TSynBaseCompletionProposalForm*, int index, bool& customDraw,
                              const TRect&, TSynCanvas&) {
    painted.push_back(index);
    customDraw = index == 1;
  };
  TSynRecordingCanvas canvas;
  f.form().Paint(canvas);
  EXPECT_EQ(painted, (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(canvas.Texts().size(), 2u * 3);
}

TEST(ProposalLargeListTest, AHundredThousandItemsFilterAndPaintOnlyTheVisibleRows) {
  TProposalFixture f;
  for (int i = 0; i < 100000; ++i) f.AddNative("name" + std::to_string(i), "x");
  f.editor.SetText("name9999");
  f.editor.SetCaretPos({9, 1});
  f.Key(VK_SPACE, {ssCtrl}, ' ');
  EXPECT_EQ(f.form().MatchedCount(), 11);  // name9999 and name99990..name99999
  f.Key(VK_BACK, {}, '\b');
  EXPECT_EQ(f.form().MatchedCount(), 111);
  TSynRecordingCanvas canvas;
  f.form().Paint(canvas);
  EXPECT_EQ(canvas.Texts().size(), 8u * 3);
}

// --- Hints ---------------------------------------------------------------------

struct TParamsHintTest : ::testing::Test {
  TParamsHintTest() : f(ctParams) {
    f.engine->SetClBackground(clInfoBk);
    f.engine->OnExecute = [this](SynCompletionType, TSynBaseCompletionProposal* sender,
                                 std::string&, int&, int&, bool& canExecute) {
      ++executions;
      canExecute = answer >= 0;
      sender->ItemList().Clear();
      if (canExecute) {
        sender->ItemList().Add("\"freq,\",\"ms\"");
        sender->SetCurrentIndex(answer);
      }
    };
  }
  TProposalFixture f;
  int answer = 0;
  int executions = 0;
};

TEST_F(TParamsHintTest, OpensAfterTheTriggerFollowsTypingAndGoesWhenRefused) {
  f.editor.SetText("");
  f.TypeText("beep(");
  f.host.clock.Advance(1199);
  EXPECT_FALSE(f.form().Visible());
  f.host.clock.Advance(1);
  ASSERT_TRUE(f.form().Visible());
  // A hint never takes the focus.
  EXPECT_FALSE(f.form().Active());
  EXPECT_TRUE(f.editor.focused);
  EXPECT_EQ(f.form().ScrollBar().Visible, false);
  int before = executions;
  answer = 1;
  f.TypeText("440,");
  EXPECT_EQ(executions, before + 4);
  EXPECT_EQ(f.editor.Text(), "beep(440,");
  EXPECT_EQ(f.engine->CurrentIndex(), 1);
  EXPECT_TRUE(f.form().Visible());
  answer = -1;
  f.TypeText(" ");
  EXPECT_FALSE(f.form().Visible());
  // Shown again after every key, the hint still gives back the caret flag
  // it found.
  EXPECT_FALSE(f.editor.KeepCaretShown());
}

TEST_F(TParamsHintTest, EscapeAndFocusChangesCloseIt) {
  struct Case {
    TSynEditorCommand command;
    char ch;
  } cases[] = {{ecChar, '\x1b'}, {ecFocusLost, '\0'}, {ecFocusGained, '\0'}};
  for (const Case& c : cases) {
    f.engine->ActivateFor(&f.editor);
    ASSERT_TRUE(f.form().Visible());
    f.editor.RunCommand(c.command, c.ch, nullptr);
    EXPECT_FALSE(f.form().Visible()) << c.command;
  }
}

TEST_F(TParamsHintTest, PaintsTheCurrentParameterBoldInARaisedFrame) {
  f.engine->ActivateFor(&f.editor);
  TSynRecordingCanvas canvas;
  f.form().Paint(canvas);
  auto texts = canvas.Texts();
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0].Text, "freq,");
  EXPECT_TRUE(texts[0].Style.Contains(fsBold));
  EXPECT_EQ(texts[1].Text, " ms");
  EXPECT_FALSE(texts[1].Style.Contains(fsBold));
  EXPECT_EQ(texts[0].X, 2 + 1);
  EXPECT_EQ(canvas.Ops[0].Bg, clInfoBk);
  int light = 0, dark = 0;
  for (const auto& op : canvas.Ops)
    if (op.Kind == TSynRecordingCanvas::opLine) (op.Bg == clBtnHighlight ? light : dark)++;
  EXPECT_EQ(light, 2);
  EXPECT_EQ(dark, 2);
}

TEST_F(TParamsHintTest, WidthCoversEveryBoldPositionAndTheMeasureEvent) {
  f.host.window->canvas.BoldCellWidth = 15;
  f.engine->ActivateFor(&f.editor);
  // "freq, ms" is 8 cells; the widest bold part is "freq," (5 cells bold).
  int widest = 3 * 10 + 5 * 15;
  TRect b = f.window().bounds;
  EXPECT_EQ(b.Right - b.Left, widest + 2 * 2 + 2);
  EXPECT_EQ(b.Bottom - b.Top, 20 + 2 + 2 * 2);
  f.engine->OnMeasureItem = [](TSynBaseCompletionProposal*, int index, TSynCanvas&, int& width) {
    EXPECT_EQ(index, 0);
    width += 50;
  };
  f.engine->ActivateFor(&f.editor);
  b = f.window().bounds;
  EXPECT_EQ(b.Right - b.Left, widest + 50 + 2 * 2 + 2);
  // Escaped backslashes are measured as they are painted: the item shows
  // as 7 cells, two backslashes among them, and its first part (4 cells) is
  // the widest in bold.
  f.engine->OnMeasureItem = nullptr;
  f.engine->OnExecute = [](SynCompletionType, TSynBaseCompletionProposal* sender, std::string&,
                           int&, int&, bool& canExecute) {
    canExecute = true;
    sender->ItemList().Clear();
    sender->ItemList().Add(R"(a\\\\b, ms)");
  };
  f.engine->ActivateFor(&f.editor);
  b = f.window().bounds;
  EXPECT_EQ(b.Right - b.Left, 3 * 10 + 4 * 15 + 2 * 2 + 2);
}

TEST_F(TParamsHintTest, HugeDeclarationsAreMeasuredInLinearWorkAndCapped) {
  auto show = [&](const std::string& item) {
    f.engine->OnExecute = [item](SynCompletionType, TSynBaseCompletionProposal* sender,
                                 std::string&, int&, int&, bool& canExecute) {
      canExecute = true;
      sender->ItemList().Clear();
      sender->ItemList().Add(item);
    };
    f.host.window->canvas.measured = 0;
    f.engine->ActivateFor(&f.editor);
    return f.host.window->canvas.measured;
  };
  std::string item;
  for (int i = 0; i < 5000; ++i) item += (i ? "," : "") + std::to_string(i);
  f.host.window->canvas.BoldCellWidth = 15;
  EXPECT_LE(show(item), 3 * item.size());
  // Every part as wide as "4999" bold: four extra five-pixel cells.
  EXPECT_EQ(f.window().bounds.Right - f.window().bounds.Left,
            10 * static_cast<int>(item.size()) + 4 * 5 + 2 * 2 + 2);
  // A megabyte-long declaration shows its first parts and "...".
  EXPECT_LE(show("a," + std::string(1 << 20, 'x')), 3 * HintTextCap + 100);
  TSynRecordingCanvas painted;
  f.form().Paint(painted);
  std::string shown;
  for (const auto& t : painted.Texts()) shown += t.Text;
  EXPECT_LE(shown.size(), HintTextCap + 8);
  EXPECT_TRUE(shown.ends_with(" ..."));
}

TEST_F(TParamsHintTest, NearTheBottomOfTheScreenItOpensAboveTheLine) {
  f.host.editorOrigin = {100, 750};
  f.engine->ActivateFor(&f.editor);
  TRect b = f.window().bounds;
  TPoint caret = f.editor.RowColumnToPixels(f.editor.BufferToDisplay(f.editor.CaretPos()));
  int lineTop = 750 + caret.Y;
  EXPECT_EQ(b.Bottom, lineTop - 2);
  EXPECT_LT(b.Bottom, 768);
}

TEST(ProposalHintTest, AHintOpensAtTheMouseAndAnyCommandClosesIt) {
  TProposalFixture f(ctHint);
  f.engine->ItemList().Add("\\style{+B}one\\style{-B} two");
  f.engine->ItemList().Add("three");
  f.engine->ActivateFor(&f.editor);
  ASSERT_TRUE(f.form().Visible());
  EXPECT_EQ(f.window().bounds.Left, 300);
  EXPECT_EQ(f.window().bounds.Top, 200);
  EXPECT_EQ(f.window().bounds.Right - 300, 7 * 10 + 2 * 2 + 2);
  f.editor.RunCommand(ecRight, '\0', nullptr);
  EXPECT_FALSE(f.form().Visible());
}

TEST(ParameterMarkupTest, CommaTextPartsAndTheBoldOne) {
  struct Case {
    const char* item;
    int index;
    const char* line;
  } cases[] = {
      {R"("freq,","ms")", 0, R"(\style{~B}freq,\style{~B} ms)"},
      {R"("freq,","ms")", 1, R"(freq, \style{~B}ms\style{~B})"},
      {R"("freq,","ms")", 2, "freq, ms"},
      {R"("freq,","ms")", -1, "freq, ms"},
      {R"(a b,c)", 1, R"(a \style{~B}b\style{~B} c)"},
      {R"("say ""hi""",x)", 0, R"(\style{~B}say "hi"\style{~B} x)"},
      {R"("/* No parameters expected */")", 0,
       R"(\style{~B}/* No parameters expected */\style{~B})"},
      {"a,", 1, R"(a \style{~B}\style{~B})"},
      {"", 0, ""},
      {R"("unterminated)", 0, R"(\style{~B}unterminated\style{~B})"},
  };
  for (const Case& c : cases) EXPECT_EQ(MarkCurrentParameter(c.item, c.index), c.line) << c.item;
}

}  // namespace
}  // namespace ludra::test
