// The completion engine on a headless editor: opening by short-cut and
// timer, filtering, accepting, re-opening, cancelling and parameter hints.
#include <gtest/gtest.h>

#include "completion/ProposalTestSupport.h"
#include "highlight/SynHighlighterCpp.h"

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

// Text stays as typed unless the user chose an item. Keys: characters are
// typed, "~" is a pause of a second, {Name} a key: Enter, Tab, Down, Esc,
// ^Space, ^V (pastes "a.b(c"), Click (the third row); {Dialog}: the editor
// loses the focus to a dialog (and has it back for the next key); {Early}:
// the next character reaches the editor, not the shown list.
TEST(TypedTextTest, ListsTheUserDidNotChooseFromNeverChangeTheText) {
  struct Case {
    const char* before;  // the line, the caret at its end
    const char* keys;
    const char* text;  // the whole text after
    bool listShown;
  } cases[] = {
      // No list in strings, character literals, comments, directives, numbers.
      {"SendMessage(playerid, -1, \"Welcome to the server", ".~ Have fun\");",
       "SendMessage(playerid, -1, \"Welcome to the server. Have fun\");", false},
      {"// Spawn the player", ".~{Enter}", "// Spawn the player.\n", false},
      {"/* a", ".~ b */", "/* a. b */", false},
      {"c = '", ".~';", "c = '.';", false},
      {"#include <a_samp", ".~inc>", "#include <a_samp.inc>", false},
      {"x = 1", ".~5;", "x = 1.5;", false},
      {"s = \"a\" + b", ".~ x", "s = \"a\" + b. x", true},
      // A list opened by the pause: Space, Enter, Tab, punctuation and
      // chords close it and act in the editor.
      {"player", ".~ x", "player. x", true},
      {"player", ".~{Enter}", "player.\n", true},
      {"player", ".~{Tab}x", "player. x", true},  // Tab to the next stop
      {"player", ".~(;", "player.(;", true},
      {"player", ".~.~{Esc}x", "player..x", true},
      {"player", ".~{^V}", "player.a.b(c", true},
      {"x = a", ".b.c(d", "x = a.b.c(d", false},
      // A dialog took the focus before the pause ended: nothing opens. A key
      // the editor got before the list had the focus closes the list.
      {"player", ".{Dialog}x", "player.x", false},
      {"player", ".~{Early}x", "player.x", true},
      // Chosen by an arrow key, a click or narrowing: the item goes in.
      {"player", ".~{Down}{Enter}", "player.print", true},
      {"player", ".~{Click}{Enter}", "player.printf", true},
      {"player", ".~pri{Enter}", "player.print", true},
      {"player", ".~pri x", "player.print x", true},
      // Narrowed to nothing it closes; a prefix nothing matches opens none.
      {"player", ".~z x", "player.z x", true},
      {"x = COLOR_G", "{^Space}{Enter}", "x = COLOR_G\n", false},
      // Asked for with Ctrl+Space, the first item is chosen; "." then opens
      // a list of its own that was not asked for.
      {"pr", "{^Space} x", "print x", true},
      {"pr", "{^Space}.~ x", "print. x", true},
  };
  for (const Case& c : cases) {
    TProposalFixture f;
    TSynCppSyn highlighter;
    f.editor.SetHighlighter(&highlighter);
    for (const char* name : {"argcount", "print", "printf", "strlen"}) f.AddNative(name, "");
    int shows = 0;
    f.engine->OnShow = [&](TSynBaseCompletionProposalForm*) { ++shows; };
    f.editor.SetText(c.before);
    f.editor.SetCaretPos({static_cast<int>(std::string(c.before).size()) + 1, 1});
    std::string_view keys = c.keys;
    for (size_t i = 0; i < keys.size(); ++i) {
      if (keys[i] == '~') {
        f.host.clock.Advance(1000);
      } else if (keys[i] != '{') {
        f.TypeText(std::string(1, keys[i]));
      } else {
        size_t end = keys.find('}', i);
        std::string_view name = keys.substr(i + 1, end - i - 1);
        i = end;
        if (name == "Dialog") {
          f.editor.focused = false;
          f.host.clock.Advance(1000);
          f.editor.focused = true;
        } else if (name == "Early") {
          Type(f.editor, std::string(1, keys[++i]));
        } else if (name == "Click") {
          f.form().MouseDown(mbLeft, {}, 5, 2 * f.form().RowHeight() + 1);
        } else if (name == "^V") {
          f.editor.Clipboard()->SetText("a.b(c", smNormal);
          f.Key('V', {ssCtrl}, '\x16');
        } else {
          struct Named {
            std::string_view name;
            uint16_t key;
            TShiftState shift;
            char ch;
          } named[] = {{"Enter", VK_RETURN, {}, '\r'},
                       {"Tab", VK_TAB, {}, '\t'},
                       {"Down", VK_DOWN, {}, 0},
                       {"Esc", VK_ESCAPE, {}, '\x1b'},
                       {"^Space", VK_SPACE, {ssCtrl}, ' '}};
          for (const Named& k : named)
            if (k.name == name) f.Key(k.key, k.shift, k.ch);
        }
      }
    }
    std::string text;
    for (int i = 0; i < f.editor.Lines().Count(); ++i)
      text += (i ? "\n" : "") + f.editor.Lines()[i];
    EXPECT_EQ(text, c.text) << c.before << " | " << c.keys;
    EXPECT_EQ(shows > 0, c.listShown) << c.before << " | " << c.keys;
    EXPECT_FALSE(f.ListOpen()) << c.before << " | " << c.keys;
    f.editor.SetHighlighter(nullptr);
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
  // The editor works on without the engine: it removed itself (the
  // sanitizer would catch a call into the gone engine).
  Type(e3, "a");
  EXPECT_EQ(e3.Text(), "a");
  // (Destroying e3 now must not reach the gone engine: the sanitizer checks.)
}

}  // namespace
}  // namespace ludra::test
