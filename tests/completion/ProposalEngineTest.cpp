// The completion engine on a headless editor: opening by short-cut and
// timer, filtering, accepting, re-opening, cancelling and parameter hints.
#include <gtest/gtest.h>

#include "completion/ProposalTestSupport.h"

namespace ludra::test {
namespace {

struct TCodeListTest : ::testing::Test {
  TCodeListTest() {
    f.AddNative("print", "const string[]");
    f.AddNative("printf", "const format[], {Float,_}:...");
    f.AddNative("strlen", "const string[]");
    f.AddNative("Pricey", "");
  }
  TProposalFixture f;
};

TEST_F(TCodeListTest, CtrlSpaceOpensAtOnceWithoutTypingTheSpace) {
  f.editor.SetText("x ");
  f.editor.SetCaretPos({3, 1});
  f.Key(VK_SPACE, {ssCtrl}, ' ');
  EXPECT_TRUE(f.ListOpen());
  EXPECT_TRUE(f.form().Active());
  EXPECT_EQ(f.editor.Text(), "x ");
  EXPECT_EQ(f.form().MatchedCount(), 4);
  // The list opens under the caret cell: screen origin + caret pixels + a row.
  TPoint caret = f.editor.RowColumnToPixels(f.editor.BufferToDisplay({3, 1}));
  EXPECT_EQ(f.window().bounds.Left, 100 + caret.X);
  EXPECT_EQ(f.window().bounds.Top, 50 + caret.Y + f.editor.RowHeight());
  EXPECT_EQ(f.window().bounds.Right - f.window().bounds.Left, 262);
  // The editor's caret stays shown while the list has the focus.
  EXPECT_TRUE(f.editor.KeepCaretShown());
  f.Key(VK_ESCAPE);
  EXPECT_FALSE(f.ListOpen());
  EXPECT_FALSE(f.editor.KeepCaretShown());
  // The next character typed is typed.
  f.TypeText("y");
  EXPECT_EQ(f.editor.Text(), "x y");
}

TEST_F(TCodeListTest, AChordWithoutACharacterDoesNotCostTheNextKey) {
  f.editor.SetText("");
  f.Key(VK_SPACE, {ssCtrl});  // no character follows the chord
  ASSERT_TRUE(f.ListOpen());
  f.form().Deactivated();  // the user clicks back into the editor
  EXPECT_FALSE(f.ListOpen());
  f.TypeText("a");
  EXPECT_EQ(f.editor.Text(), "a");
}

TEST_F(TCodeListTest, TriggerCharacterOpensAfterTheIntervalUnlessTypingOrMovingIntervenes) {
  f.editor.SetText("");
  f.TypeText("a.");
  f.host.clock.Advance(999);
  EXPECT_FALSE(f.ListOpen());
  f.host.clock.Advance(1);
  EXPECT_TRUE(f.ListOpen());
  f.Key(VK_ESCAPE);

  // Another character within the interval cancels the opening.
  f.TypeText(".b");
  f.host.clock.Advance(5000);
  EXPECT_FALSE(f.ListOpen());
  // So does moving the caret.
  f.TypeText(".");
  f.Key(VK_LEFT);
  f.host.clock.Advance(5000);
  EXPECT_FALSE(f.ListOpen());
  // Not while another application is active: nothing opens.
  f.host.active = false;
  f.editor.SetCaretPos({6, 1});
  f.TypeText(".");
  f.host.clock.Advance(1000);
  EXPECT_FALSE(f.ListOpen());
  EXPECT_EQ(f.editor.Text(), "a..b..");
}

TEST_F(TCodeListTest, TypedLettersFilterAndEnterReplacesTheWholeIdentifierInOneUndoStep) {
  f.editor.SetText("x = priXYZ;");
  f.editor.ClearUndo();
  f.editor.SetCaretPos({8, 1});  // after "pri"
  f.Key(VK_SPACE, {ssCtrl}, ' ');
  ASSERT_TRUE(f.ListOpen());
  EXPECT_EQ(f.form().CurrentInput(), "pri");
  // Insert texts starting with "pri" in any case: print, printf, Pricey.
  ASSERT_EQ(f.form().MatchedCount(), 3);
  f.TypeText("n");
  ASSERT_EQ(f.form().MatchedCount(), 2);
  EXPECT_EQ(f.editor.Text(), "x = prinXYZ;");
  f.Key(VK_DOWN);
  EXPECT_EQ(f.form().SelectedIndex(), 1);
  int index = -1;
  std::string after;
  f.engine->OnAfterCodeCompletion = [&](TSynBaseCompletionProposal*, const std::string& value,
                                        TShiftState, int i, char endToken) {
    index = i;
    after = value;
    EXPECT_EQ(endToken, '\0');
  };
  f.Key(VK_RETURN, {}, '\r');
  EXPECT_FALSE(f.ListOpen());
  EXPECT_EQ(f.editor.Text(), "x = printf;");
  EXPECT_EQ(f.editor.CaretPos(), (TBufferCoord{11, 1}));
  EXPECT_FALSE(f.editor.HasSelection());
  EXPECT_EQ(index, 1);  // the ItemList index of printf
  EXPECT_EQ(after, "printf");
  f.editor.Undo();
  EXPECT_EQ(f.editor.Text(), "x = prinXYZ;");
}

TEST_F(TCodeListTest, EndTokenReplacesOnlyTheLeftPartWhileABlankReplacesTheWord) {
  struct Case {
    char typed;
    const char* result;
  } cases[] = {{'(', "strlen(Xen;"}, {' ', "strlen ;"}};
  for (const Case& c : cases) {
    f.editor.SetText("stXen;");
    f.editor.SetCaretPos({3, 1});
    f.Key(VK_SPACE, {ssCtrl}, ' ');
    ASSERT_TRUE(f.ListOpen());
    ASSERT_EQ(f.form().MatchedCount(), 1);
    f.TypeText(std::string(1, c.typed));
    EXPECT_FALSE(f.ListOpen());
    EXPECT_EQ(f.editor.Text(), c.result) << c.typed;
  }
  // Without end-character completion the typed word stays as it is.
  f.engine->SetOptions(f.engine->Options() - TSynCompletionOptions{scoEndCharCompletion});
  f.editor.SetText("st");
  f.editor.SetCaretPos({3, 1});
  f.Key(VK_SPACE, {ssCtrl}, ' ');
  f.TypeText("(");
  EXPECT_EQ(f.editor.Text(), "st(");
}

TEST_F(TCodeListTest, DotAcceptsTypesTheDotAndOpensAgainAtOnce) {
  f.editor.SetText("pr");
  f.editor.SetCaretPos({3, 1});
  f.Key(VK_SPACE, {ssCtrl}, ' ');
  int shows = 0;
  f.engine->OnShow = [&](TSynBaseCompletionProposalForm*) { ++shows; };
  f.TypeText(".");
  EXPECT_EQ(f.editor.Text(), "print.");
  EXPECT_TRUE(f.ListOpen());
  EXPECT_EQ(shows, 1);
  EXPECT_EQ(f.form().CurrentInput(), "");
  EXPECT_EQ(f.form().MatchedCount(), 4);
}

TEST_F(TCodeListTest, BackspaceLeftAndRightInTheList) {
  f.editor.SetText("st x");
  f.editor.SetCaretPos({3, 1});
  f.Key(VK_SPACE, {ssCtrl}, ' ');
  f.Key(VK_BACK, {}, '\b');
  EXPECT_EQ(f.form().CurrentInput(), "s");
  EXPECT_EQ(f.editor.Text(), "s x");
  EXPECT_EQ(f.form().MatchedCount(), 1);
  f.Key(VK_LEFT);
  EXPECT_EQ(f.form().CurrentInput(), "");
  EXPECT_EQ(f.editor.CaretPos(), (TBufferCoord{1, 1}));
  // Right takes the character right of the caret into the input.
  f.Key(VK_RIGHT);
  EXPECT_EQ(f.form().CurrentInput(), "s");
  // A blank right of the caret closes the list; the caret still moves.
  f.Key(VK_RIGHT);
  EXPECT_FALSE(f.ListOpen());
  EXPECT_EQ(f.editor.CaretPos(), (TBufferCoord{3, 1}));

  // Backspace with nothing typed deletes in the editor and closes the list.
  int cancelled = 0;
  f.engine->OnCancelled = [&](TSynBaseCompletionProposal*) { ++cancelled; };
  f.editor.SetCaretPos({2, 1});
  f.Key(VK_SPACE, {ssCtrl}, ' ');
  f.Key(VK_BACK, {}, '\b');
  f.Key(VK_BACK, {}, '\b');
  EXPECT_FALSE(f.ListOpen());
  EXPECT_EQ(f.editor.Text(), " x");
  EXPECT_EQ(cancelled, 1);
  EXPECT_GE(f.host.ownerFocused, 1);
  EXPECT_TRUE(f.editor.focused);
}

TEST_F(TCodeListTest, OtherCharactersGoToTheEditorAndClose) {
  f.editor.SetText("");
  f.Key(VK_SPACE, {ssCtrl}, ' ');
  f.Key(0, {}, '{');  // code 123, beyond the list's characters
  EXPECT_FALSE(f.ListOpen());
  EXPECT_EQ(f.editor.Text(), "{");
}

// A list that matches nothing lets Enter and Tab act in the editor; a "."
// after a number literal opens no list, after a name it does.
TEST_F(TCodeListTest, NoMatchLetsEnterAndTabThroughAndNumbersOpenNoList) {
  f.editor.SetOptions(f.editor.Options() - TSynEditorOptions{eoTrimTrailingSpaces});
  for (uint16_t key : {VK_RETURN, VK_TAB})
    for (std::string typed : {"1.", "x = 0x1F.", "zz", "x1."}) {
      f.editor.SetText("");
      f.TypeText(typed);
      f.host.clock.Advance(1000);
      EXPECT_EQ(f.ListOpen(), typed == "x1.") << typed;
      if (typed == "zz") f.Key(VK_SPACE, {ssCtrl}, ' ');
      f.TypeText("5");
      f.Key(key, {}, key == VK_TAB ? '\t' : '\r');
      EXPECT_FALSE(f.ListOpen());
      EXPECT_EQ(f.editor.Lines()[0].substr(0, typed.size() + 2),
                typed + (key == VK_TAB ? "5 " : "5"));
      EXPECT_EQ(f.editor.Lines().Count(), key == VK_TAB ? 1 : 2) << typed;
    }
}

TEST_F(TCodeListTest, ReadOnlyEditorsNeverOpenAList) {
  f.editor.SetReadOnly(true);
  f.Key(VK_SPACE, {ssCtrl}, ' ');
  f.engine->ActivateFor(&f.editor);
  EXPECT_FALSE(f.ListOpen());
}

TEST_F(TCodeListTest, OnExecuteSeesTheWordsAndMayRefuseOrEmpty) {
  std::vector<std::string> seen;
  bool allow = true;
  f.engine->OnExecute = [&](SynCompletionType kind, TSynBaseCompletionProposal* sender,
                            std::string& input, int&, int&, bool& canExecute) {
    EXPECT_EQ(kind, ctCode);
    seen.push_back(input + "|" + f.engine->PrecedingWord());
    (void)sender;
    canExecute = allow;
  };
  struct Case {
    const char* line;
    int caret;
    const char* seen;
  } cases[] = {
      {"abc", 1, "|"},            // column 1: both empty
      {"foo(bar", 8, "bar|bar"},  // the word from the break character on
      {"foo(", 5, "|foo"},        // one break character before the caret is skipped
      {"a.b", 4, "b|b"},          // "." ends a token
      {"x  ", 3, "|x"},           // after a blank
      {"ab", 9, "|"},             // caret past the end: nothing
  };
  allow = false;
  for (const Case& c : cases) {
    f.editor.SetText(c.line);
    f.editor.SetCaretPos({c.caret, 1});
    f.engine->ActivateFor(&f.editor);
    EXPECT_FALSE(f.ListOpen());
    EXPECT_FALSE(f.engine->SwallowNextKey());
  }
  ASSERT_EQ(seen.size(), std::size(cases));
  for (size_t i = 0; i < seen.size(); ++i) EXPECT_EQ(seen[i], cases[i].seen) << cases[i].line;

  // An emptied item list shows nothing either.
  allow = true;
  f.engine->ItemList().Clear();
  f.engine->ActivateFor(&f.editor);
  EXPECT_FALSE(f.ListOpen());
}

TEST_F(TCodeListTest, WordBreakCharactersOfTheEditorCountWhenAsked) {
  f.editor.SetText("a+bc");
  f.editor.SetCaretPos({5, 1});
  std::string input;
  f.engine->OnExecute = [&](SynCompletionType, TSynBaseCompletionProposal*, std::string& s, int&,
                            int&, bool& canExecute) {
    input = s;
    canExecute = false;
  };
  f.engine->ActivateFor(&f.editor);
  EXPECT_EQ(input, "a+bc");
  f.engine->SetOptions(f.engine->Options() + TSynCompletionOptions{scoConsiderWordBreakChars});
  f.engine->ActivateFor(&f.editor);
  EXPECT_EQ(input, "bc");
}

TEST_F(TCodeListTest, WithoutLimitTheWholeListShowsAndTheFirstMatchIsSelected) {
  f.engine->SetOptions(f.engine->Options() - TSynCompletionOptions{scoLimitToMatchedText});
  f.editor.SetText("str");
  f.editor.SetCaretPos({4, 1});
  f.Key(VK_SPACE, {ssCtrl}, ' ');
  EXPECT_EQ(f.form().MatchedCount(), 4);
  EXPECT_EQ(f.form().SelectedIndex(), 2);
  f.Key(VK_TAB, {}, '\t');
  EXPECT_EQ(f.editor.Text(), "strlen");
}

TEST_F(TCodeListTest, ItemsFromItemListAreInsertedWithTheirMarkup) {
  f.engine->SetOptions({scoLimitToMatchedText, scoUsePrettyText, scoCompleteWithEnter});
  f.editor.SetText("native str");
  f.editor.SetCaretPos({11, 1});
  f.Key(VK_SPACE, {ssCtrl}, ' ');
  // Matching is against the stripped display text.
  ASSERT_EQ(f.form().MatchedCount(), 0);
  f.editor.SetText("nat");
  f.editor.SetCaretPos({4, 1});
  f.Key(VK_ESCAPE);
  f.Key(VK_SPACE, {ssCtrl}, ' ');
  ASSERT_EQ(f.form().MatchedCount(), 4);
  std::string value;
  f.engine->OnCodeCompletion = [&](TSynBaseCompletionProposal*, std::string& v, TShiftState, int,
                                   char) {
    value = v;
    v = "changed";  // the handler may change what goes in
  };
  f.Key(VK_RETURN, {}, '\r');
  EXPECT_EQ(value, f.engine->ItemList()[0]);
  EXPECT_EQ(f.editor.Text(), "changed");
}

TEST_F(TCodeListTest, AFailingHandlerStillClosesTheUndoBlockAndPaintLock) {
  f.editor.SetText("pr");
  f.editor.SetCaretPos({3, 1});
  f.Key(VK_SPACE, {ssCtrl}, ' ');
  f.engine->OnCodeCompletion = [](TSynBaseCompletionProposal*, std::string&, TShiftState, int,
                                  char) { throw std::runtime_error("handler"); };
  EXPECT_THROW(f.engine->AcceptItem({}, '\0'), std::runtime_error);
  EXPECT_EQ(f.editor.PaintLockCount(), 0);
  f.engine->OnCodeCompletion = nullptr;
  f.editor.SetCaretPos({3, 1});
  f.TypeText("x");
  f.editor.Undo();
  EXPECT_EQ(f.editor.Text(), "pr");
}

TEST(ProposalLifetimeTest, EitherSideMayGoFirst) {
  TFakeProposalHost host;
  auto engine = std::make_unique<TSynCompletionProposal>(host);
  engine->ItemList().Add("a");
  {
    TFocusEditor e1;
    TFocusEditor e2;
    engine->SetEditor(&e1);
    engine->AddEditor(&e2);
    engine->AddEditor(&e2);
    EXPECT_EQ(engine->AttachedEditors().size(), 2u);
    EXPECT_EQ(e1.CommandHandlerCount(), 1);
    engine->ActivateFor(&e2);
    EXPECT_TRUE(engine->Visible());
  }
  // Both editors went; the shown list went with its editor.
  EXPECT_TRUE(engine->AttachedEditors().empty());
  EXPECT_EQ(engine->Editor(), nullptr);
  EXPECT_FALSE(engine->Visible());

  TFocusEditor e3;
  engine->SetEditor(&e3);
  engine->ActivateFor(&e3);
  engine.reset();
  EXPECT_EQ(e3.CommandHandlerCount(), 0);
  // The editor works on without the engine's hooks.
  Type(e3, "a");
  EXPECT_EQ(e3.Text(), "a");
  // (Destroying e3 now must not reach the gone engine: the sanitizer checks.)
}

}  // namespace
}  // namespace ludra::test
