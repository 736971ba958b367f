// Find and replace from the main window: the dialogs answered through their
// controls, the confirmation through its buttons' results.
#include <QAction>
#include <QMenuBar>
#include <algorithm>

#include "app/MainWindowTestSupport.h"
#include "app/dlgReplaceText.h"

using namespace ludra;

namespace {

struct TChoices {
  std::string search{};
  std::string replace{};
  bool matchCase = false, wholeWords = false, fromCaret = false, selectedOnly = false,
       regex = false, backward = false;
};

// Fills the Find (or Replace) dialog with the choices and presses OK.
std::function<TModalResult(QDialog&)> Confirm(const TChoices& c) {
  return [c](QDialog& d) {
    auto& dialog = dynamic_cast<TTextSearchDialog&>(d);
    SetComboText(dialog.cbSearchText, c.search);
    if (auto* r = dynamic_cast<TTextReplaceDialog*>(&d)) SetComboText(r->cbReplaceText, c.replace);
    dialog.cbSearchCaseSensitive->setChecked(c.matchCase);
    dialog.cbSearchWholeWords->setChecked(c.wholeWords);
    dialog.cbSearchFromCursor->setChecked(c.fromCaret);
    dialog.cbSearchSelectedOnly->setChecked(c.selectedOnly);
    dialog.cbRegularExpression->setChecked(c.regex);
    dialog.SetSearchDirection(c.backward ? 1 : 0);
    return mrOk;
  };
}

std::function<TModalResult(QDialog&)> Answer(TModalResult result) {
  return [result](QDialog&) { return result; };
}

}  // namespace

class SearchReplaceMainTest : public MainWindowTest {
 protected:
  TfmMain& Open(const std::string& text) {
    WriteFile(root_ + "/s.pwn", text);
    return Start({root_ + "/s.pwn"});
  }
  std::string Selected() { return window_->moCode->SelectedText(); }
  TBufferCoord Caret() { return window_->moCode->CaretPos(); }
};

TEST_F(SearchReplaceMainTest, FindSearchesTheWholeDocumentThenF3AndF4GoOnFromTheCaret) {
  TfmMain& w = Open("abc x abc\nabc\n");
  w.moCode->SetCaretPos({1, 2});
  dialogs_->ModalAnswers.push_back(Confirm({.search = "abc"}));
  w.tbFind->trigger();
  EXPECT_EQ(dialogs_->ModalDialogs, std::vector<std::string>{"Search Text"});
  EXPECT_EQ(w.moCode->SelFirst(), (TBufferCoord{1, 1}));
  EXPECT_EQ(Selected(), "abc");
  EXPECT_EQ(w.StatusText(0), "");

  PressKey(Qt::Key_F3, Qt::NoModifier);
  EXPECT_EQ(w.moCode->SelFirst(), (TBufferCoord{7, 1}));
  w.miFindNext->trigger();
  EXPECT_EQ(w.moCode->SelFirst(), (TBufferCoord{1, 2}));
  EXPECT_EQ(dialogs_->Beeps, 0);
  // No wrap-around: the caret stays at the end of the last occurrence.
  PressKey(Qt::Key_F3, Qt::NoModifier);
  EXPECT_EQ(dialogs_->Beeps, 1);
  EXPECT_EQ(w.StatusText(0), "Text not found.");
  EXPECT_FALSE(w.moCode->HasSelection());
  EXPECT_EQ(Caret(), (TBufferCoord{4, 2}));

  PressKey(Qt::Key_F4, Qt::NoModifier);
  EXPECT_EQ(w.StatusText(0), "");
  EXPECT_EQ(w.moCode->SelFirst(), (TBufferCoord{1, 2}));
  w.tbFindPrev->trigger();
  EXPECT_EQ(w.moCode->SelFirst(), (TBufferCoord{7, 1}));
  w.tbFindPrev->trigger();
  w.tbFindPrev->trigger();
  EXPECT_EQ(w.StatusText(0), "Text not found.");
  EXPECT_EQ(Caret(), (TBufferCoord{1, 1}));
  EXPECT_FALSE(w.moCode->HasSelection());
  EXPECT_TRUE(dialogs_->AllAnswered());
}

TEST_F(SearchReplaceMainTest, LongSearchAndReplaceTextsAreTakenWhole) {
  // Longer than a text box usually takes; the texts differ only past that.
  const std::string longText = std::string(40000, 'a') + "b";
  TfmMain& w = Open("x" + longText + "\n" + std::string(40000, 'a') + "\n");
  dialogs_->ModalAnswers = {Confirm({.search = longText, .replace = longText + "c"}),
                            Answer(mrYesToAll)};
  w.tbReplace->trigger();
  EXPECT_EQ(w.moCode->Text(), "x" + longText + "c\r\n" + std::string(40000, 'a'));
}

TEST_F(SearchReplaceMainTest, FindNextBeforeAnyFindAndAnEmptySearchFindNothing) {
  TfmMain& w = Open("abc\n");
  w.tbFindNext->trigger();
  EXPECT_EQ(dialogs_->Beeps, 1);
  EXPECT_EQ(w.StatusText(0), "Text not found.");
  // An empty text in the dialog stores the choices but searches nothing.
  dialogs_->ModalAnswers.push_back(Confirm({.search = "", .matchCase = true}));
  w.tbFind->trigger();
  EXPECT_EQ(dialogs_->Beeps, 1);
  EXPECT_EQ(w.StatusText(0), "");
  EXPECT_TRUE(w.SearchOptions.OptMatchCase);
  EXPECT_TRUE(dialogs_->Errors.empty());
}

TEST_F(SearchReplaceMainTest, ReopenedDialogShowsTheLastChoicesButNotTheRegexBox) {
  TfmMain& w = Open("Alpha beta\n");
  TChoices all{.search = "beta",
               .replace = "gamma",
               .matchCase = true,
               .wholeWords = true,
               .fromCaret = true,
               .selectedOnly = true,
               .regex = true,
               .backward = true};
  dialogs_->ModalAnswers.push_back(Confirm(all));
  w.tbFind->trigger();
  // A cancelled dialog stores nothing.
  dialogs_->ModalAnswers.push_back([](QDialog& d) {
    auto& dialog = dynamic_cast<TTextSearchDialog&>(d);
    SetComboText(dialog.cbSearchText, "other");
    dialog.cbSearchWholeWords->setChecked(false);
    return mrCancel;
  });
  w.tbFind->trigger();
  TChoices shown;
  dialogs_->ModalAnswers.push_back([&](QDialog& d) {
    auto& dialog = dynamic_cast<TTextSearchDialog&>(d);
    shown = {ComboText(dialog.cbSearchText),
             ComboText(dynamic_cast<TTextReplaceDialog&>(d).cbReplaceText),
             dialog.cbSearchCaseSensitive->isChecked(),
             dialog.cbSearchWholeWords->isChecked(),
             dialog.cbSearchFromCursor->isChecked(),
             dialog.cbSearchSelectedOnly->isChecked(),
             dialog.cbRegularExpression->isChecked(),
             dialog.SearchDirection() == 1};
    return mrCancel;
  });
  w.tbReplace->trigger();
  EXPECT_EQ(dialogs_->ModalDialogs,
            (std::vector<std::string>{"Search Text", "Search Text", "Replace text"}));
  EXPECT_EQ(shown.search, "beta");
  EXPECT_EQ(shown.replace, "");  // the Find dialog has no replacement to remember
  EXPECT_TRUE(shown.matchCase && shown.wholeWords && shown.fromCaret && shown.selectedOnly &&
              shown.backward);
  EXPECT_FALSE(shown.regex);
}

TEST_F(SearchReplaceMainTest, HistoryPutsTheLatestTextOnTopSpelledAsTypedAndKeepsTen) {
  TfmMain& w = Open("x\n");
  for (const char* text : {"Alpha", "beta", "ALPHA"}) {
    dialogs_->ModalAnswers.push_back(Confirm({.search = text, .replace = "r"}));
    w.tbReplace->trigger();
  }
  auto offered = [&](bool replace) {
    std::vector<std::string> items;
    dialogs_->ModalAnswers.push_back([&](QDialog& d) {
      auto& dialog = dynamic_cast<TTextSearchDialog&>(d);
      items = ComboItems(replace ? dynamic_cast<TTextReplaceDialog&>(d).cbReplaceText
                                 : dialog.cbSearchText);
      return mrCancel;
    });
    (replace ? w.tbReplace : w.tbFind)->trigger();
    return items;
  };
  EXPECT_EQ(offered(false), (std::vector<std::string>{"ALPHA", "beta"}));
  EXPECT_EQ(offered(true), std::vector<std::string>{"r"});
  for (int i = 1; i <= 12; ++i) {
    dialogs_->ModalAnswers.push_back(Confirm({.search = "t" + std::to_string(i)}));
    w.tbFind->trigger();
  }
  std::vector<std::string> items = offered(false);
  ASSERT_EQ(items.size(), 10u);
  EXPECT_EQ(items.front(), "t12");
  EXPECT_EQ(items.back(), "t3");
}

TEST_F(SearchReplaceMainTest, ReplaceAnswersMapToReplacementsAndUndoSteps) {
  const std::string text = "a a a a\n";
  struct Case {
    const char* what;
    std::vector<TModalResult> answers;
    std::string after;
    int undos;  // steps that take the text back
  } cases[] = {
      {"yes, no, yes to all", {mrYes, mrNo, mrYesToAll}, "b a b b\r\n", 2},
      {"cancel keeps the earlier replacements", {mrYes, mrYes, mrCancel}, "b b a a\r\n", 2},
      {"escape or the close box cancels", {mrNone}, "a a a a\r\n", 0},
      {"no to each", {mrNo, mrNo, mrNo, mrNo}, "a a a a\r\n", 0},
      {"yes to all at once", {mrYesToAll}, "b b b b\r\n", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TfmMain& w = Open(text);
    dialogs_->ModalAnswers.push_back(Confirm({.search = "a", .replace = "b"}));
    for (TModalResult r : c.answers) dialogs_->ModalAnswers.push_back(Answer(r));
    w.tbReplace->trigger();
    EXPECT_TRUE(dialogs_->AllAnswered());
    ASSERT_EQ(dialogs_->ModalDialogs.size(), c.answers.size() + 1);
    for (size_t i = 1; i < dialogs_->ModalDialogs.size(); ++i)
      EXPECT_EQ(dialogs_->ModalDialogs[i], "Confirm replace");
    EXPECT_EQ(w.moCode->Lines().Text(), c.after);
    // The status bar counts what was replaced.
    const auto replaced = std::count(c.after.begin(), c.after.end(), 'b');
    EXPECT_EQ(w.StatusText(0), "Replaced " + std::to_string(replaced) + " occurrences.");
    // Released after the run.
    EXPECT_EQ(w.ReplaceConfirmDialog, nullptr);
    for (int i = 0; i < c.undos; ++i) w.miUndo->trigger();
    EXPECT_EQ(w.moCode->Lines().Text(), "a a a a\r\n");
    EXPECT_EQ(w.moCode->CanUndo(), false);
  }
}

TEST_F(SearchReplaceMainTest, EqualSearchAndReplacementTextsAskNothing) {
  TfmMain& w = Open("abc abc\n");
  dialogs_->ModalAnswers.push_back(Confirm({.search = "abc", .replace = "abc"}));
  w.tbReplace->trigger();
  EXPECT_EQ(dialogs_->ModalDialogs, std::vector<std::string>{"Replace text"});
  EXPECT_EQ(w.moCode->Lines().Text(), "abc abc\r\n");
  EXPECT_FALSE(w.DocumentModified);
}

TEST_F(SearchReplaceMainTest, ConfirmationSitsBesideTheOccurrence) {
  std::string text;
  for (int i = 1; i <= 40; ++i) text += "line " + std::to_string(i) + " word\n";
  TfmMain& w = Open(text);
  QApplication::processEvents();
  struct TSeen {
    QRect dialog, line;
    QString question;
  };
  auto replaceAt = [&](int line) {
    TSeen seen;
    w.moCode->SetTopRow(1);
    w.moCode->SetCaretPos({1, line});
    dialogs_->ModalAnswers.push_back(
        Confirm({.search = "word", .replace = "w", .fromCaret = true}));
    dialogs_->ModalAnswers.push_back([&](QDialog& d) {
      auto& dialog = dynamic_cast<TConfirmReplaceDialog&>(d);
      TPoint p = w.moCode->RowColumnToPixels(w.moCode->BufferToDisplay(w.moCode->SelFirst()));
      QPoint at = w.moCode->viewport()->mapToGlobal(QPoint(p.X, p.Y));
      seen = {dialog.frameGeometry(), QRect(at, QSize(1, w.moCode->RowHeight())),
              dialog.lblConfirmation->text()};
      return mrCancel;
    });
    w.tbReplace->trigger();
    return seen;
  };
  QPoint client = w.mapToGlobal(QPoint(0, w.height() - w.ClientHeight()));
  QRect area(client, QSize(w.ClientWidth(), w.ClientHeight()));

  TSeen upper = replaceAt(2);
  EXPECT_EQ(upper.question, "Replace this occurence of \"word\"?");
  EXPECT_EQ(upper.dialog.top(), upper.line.top() + upper.line.height() + 4);
  EXPECT_EQ(upper.dialog.left(), upper.line.left());
  EXPECT_EQ(upper.dialog.size(), QSize(328, 98));

  // The first line that ends in the lower third of the client area.
  auto lineBottom = [&](int line) {
    TPoint p = w.moCode->RowColumnToPixels(w.moCode->BufferToDisplay({1, line}));
    return w.moCode->viewport()->mapToGlobal(QPoint(p.X, p.Y)).y() + w.moCode->RowHeight();
  };
  int lowRow = 1;
  while (lineBottom(lowRow) <= area.top() + (area.height() * 2 + 1) / 3) ++lowRow;
  ASSERT_LT(lowRow, w.moCode->VisibleRows());
  TSeen lower = replaceAt(lowRow);
  EXPECT_GT(lower.line.bottom(), area.top() + area.height() * 2 / 3);
  EXPECT_EQ(lower.dialog.bottom() + 1, lower.line.top() - 4);

  // A window narrower than the dialog: centred over the window.
  w.setMinimumSize(0, 0);
  w.SetClientSize(200, 432);
  QApplication::processEvents();
  client = w.mapToGlobal(QPoint(0, w.height() - w.ClientHeight()));
  TSeen narrow = replaceAt(2);
  EXPECT_EQ(narrow.dialog.left(), client.x() - (328 - w.ClientWidth()) / 2);
  EXPECT_EQ(narrow.dialog.top(), narrow.line.bottom() + 1 + 4);
}

TEST_F(SearchReplaceMainTest, BadRegularExpressionsAreReportedAndChangeNothing) {
  TfmMain& w = Open("aaaaaaaaaaaaaaaaaaaacb\nab [x]\n");
  struct Case {
    const char* pattern;
    std::string report;
  } cases[] = {
      {"[x", "TRegExpr(comp): Unmatched [] (pos 2)"},
      {"a{2,1}", "TRegExpr(comp): BRACE Min Param Greater then Max (pos 6)"},
      {"(a+)+\\1b",
       "TRegExpr(exec): Search Abandoned, The Pattern Backtracks Too Much; Matches May Have "
       "Been Missed."},
  };
  // A small budget, so that the runaway pattern gives up at once (every span
  // the group can capture is a state of its own).
  w.SynEditRegexSearch->SetRunStepBudget(1000, 1000000);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pattern);
    dialogs_->Errors.clear();
    dialogs_->ModalAnswers.push_back(Confirm({.search = c.pattern, .replace = "z", .regex = true}));
    w.tbReplace->trigger();
    EXPECT_EQ(dialogs_->Errors, std::vector<std::string>{c.report});
    EXPECT_EQ(w.moCode->Lines().Text(), "aaaaaaaaaaaaaaaaaaaacb\r\nab [x]\r\n");
    EXPECT_EQ(w.ReplaceConfirmDialog, nullptr);
    EXPECT_EQ(dialogs_->ModalDialogs.back(), "Replace text");
  }
  // The same pattern as plain text finds the brackets; a good expression
  // replaces through the confirmation.
  dialogs_->ModalAnswers.push_back(Confirm({.search = "[x", .replace = "(y"}));
  dialogs_->ModalAnswers.push_back(Answer(mrYesToAll));
  w.tbReplace->trigger();
  dialogs_->ModalAnswers.push_back(Confirm({.search = "a(b)", .replace = "<$1>", .regex = true}));
  dialogs_->ModalAnswers.push_back(Answer(mrYes));
  w.tbReplace->trigger();
  EXPECT_EQ(w.moCode->Lines().Text(), "aaaaaaaaaaaaaaaaaaaacb\r\n<b> (y]\r\n");
  EXPECT_TRUE(dialogs_->AllAnswered());
}

// Nested quantifiers over long lines that hold no match but every
// character the pattern needs: the search goes on to the real match.
TEST_F(SearchReplaceMainTest, NestedQuantifiersOverLongLinesFindTheMatchBelow) {
  std::string text;
  for (int i = 0; i < 40; ++i) text += std::string(10000, 'a') + "cb\n";
  TfmMain& w = Open(text + "xaab\n");
  dialogs_->ModalAnswers.push_back(Confirm({.search = "(a+)+b", .regex = true}));
  w.tbFind->trigger();
  EXPECT_TRUE(dialogs_->Errors.empty());
  EXPECT_EQ(w.moCode->SelFirst(), (TBufferCoord{2, 41}));
  EXPECT_EQ(Selected(), "aab");
}

TEST_F(SearchReplaceMainTest, F3InSelectedTextOnlyWalksTheUsersSelection) {
  TfmMain& w = Open("ab ab\nab ab ab\n");
  w.moCode->SetCaretAndSelection({6, 2}, {4, 1}, {6, 2});
  dialogs_->ModalAnswers.push_back(Confirm({.search = "ab", .selectedOnly = true}));
  w.tbFind->trigger();
  for (TBufferCoord hit : {TBufferCoord{4, 1}, {1, 2}, {4, 2}}) {
    EXPECT_EQ(w.moCode->SelFirst(), hit);
    PressKey(Qt::Key_F3, Qt::NoModifier);
  }
  EXPECT_EQ(w.StatusText(0), "Text not found.");
}

TEST_F(SearchReplaceMainTest, EveryAltKeyOfTheDialogsActsOnOneControl) {
  TTextReplaceDialog d(nullptr);
  std::map<QKeySequence, int> uses;
  for (QWidget* c : d.findChildren<QWidget*>()) {
    auto* b = qobject_cast<QAbstractButton*>(c);
    auto* l = qobject_cast<QLabel*>(c);
    if (b || l) ++uses[QKeySequence::mnemonic(b ? b->text() : l->text())];
  }
  uses.erase(QKeySequence());
  for (auto [key, n] : uses) EXPECT_EQ(n, 1) << key.toString().toStdString();
}

TEST_F(SearchReplaceMainTest, ConfirmationTakesBareLetters) {
  TConfirmReplaceDialog d(nullptr);
  for (auto [key, result] :
       {std::pair{Qt::Key_Y, mrYes}, {Qt::Key_N, mrNo}, {Qt::Key_A, mrYesToAll}}) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QChar(key).toLower());
    QApplication::sendEvent(&d, &press);
    EXPECT_EQ(d.result(), result);
  }
}
