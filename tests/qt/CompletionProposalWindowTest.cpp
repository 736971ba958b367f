// The proposal pop-up on the offscreen platform: a code list takes the focus
// and types back into the editor, a parameter hint leaves the focus where it
// is, and both paint what the form draws.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QScreen>
#include <cstdlib>

#include "editor/SynEditKeyConst.h"
#include "platform/SynMemoryClipboard.h"
#include "qt/SynCompletionProposalWindow.h"

namespace ludra {
namespace {

void Settle() {
  for (int i = 0; i < 5; ++i) QApplication::processEvents();
}

void SendKey(QWidget& w, int key, Qt::KeyboardModifiers mods = Qt::NoModifier,
             const QString& text = QString()) {
  QKeyEvent press(QEvent::KeyPress, key, mods, text);
  QApplication::sendEvent(&w, &press);
  QKeyEvent release(QEvent::KeyRelease, key, mods, text);
  QApplication::sendEvent(&w, &release);
}

struct TQtProposalTest : ::testing::Test {
  TQtProposalTest() : editor(nullptr, &clipboard) {
    editor.resize(500, 300);
    editor.show();
    editor.activateWindow();
    editor.setFocus();
    Settle();
  }
  void AddNative(TSynCompletionProposal& e, const std::string& name) {
    e.ItemList().Add("native \\column{}\\style{+B}" + name + "\\style{-B}(a, b)");
    e.InsertList().Add(name);
  }
  TSynMemoryClipboard clipboard;
  TSynEdit editor;
};

TEST_F(TQtProposalTest, CodeListTakesTheFocusFiltersAndInsertsIntoTheEditor) {
  TSynQtCompletionProposal scp;
  scp.SetOptions({scoLimitToMatchedText, scoUseInsertList, scoUsePrettyText, scoUseBuiltInTimer,
                  scoEndCharCompletion, scoCompleteWithTab, scoCompleteWithEnter});
  scp.Columns().Add().BiggestWord = "native";
  for (const char* n : {"print", "printf", "strlen"}) AddNative(scp, n);
  scp.SetEditor(&editor);
  editor.SetText("x = pr");
  editor.SetCaretPos({7, 1});

  SendKey(editor, Qt::Key_Space, Qt::ControlModifier, " ");
  Settle();
  TSynQtProposalWindow& window = scp.Window();
  ASSERT_TRUE(window.isVisible());
  EXPECT_EQ(editor.Text(), "x = pr");
  EXPECT_TRUE(window.windowFlags().testFlag(Qt::Tool));
  EXPECT_TRUE(window.windowFlags().testFlag(Qt::FramelessWindowHint));
  EXPECT_TRUE(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_TRUE(window.isActiveWindow());
  EXPECT_TRUE(scp.Form().Active());
  EXPECT_TRUE(editor.KeepCaretShown());
  // Below the caret line, in screen pixels.
  TPoint caret = editor.RowColumnToPixels(editor.BufferToDisplay({7, 1}));
  QPoint below = editor.viewport()->mapToGlobal(QPoint(caret.X, caret.Y + editor.RowHeight()));
  EXPECT_EQ(window.geometry().topLeft(), below);
  EXPECT_EQ(scp.Form().MatchedCount(), 2);

  SendKey(window, Qt::Key_I, Qt::NoModifier, "i");
  SendKey(window, Qt::Key_Down);
  EXPECT_EQ(editor.Text(), "x = pri");
  SendKey(window, Qt::Key_Return, Qt::NoModifier, "\r");
  Settle();
  EXPECT_FALSE(window.isVisible());
  EXPECT_EQ(editor.Text(), "x = printf");
  EXPECT_FALSE(editor.KeepCaretShown());
}

// A key the list leaves alone reaches the editor's window as if the list
// had not been there: a shortcut of the window, the editor's own binding,
// an input method's text.
TEST_F(TQtProposalTest, KeysTheListLeavesAloneGoToTheEditorsWindow) {
  TSynQtCompletionProposal scp;
  scp.SetOptions({scoLimitToMatchedText, scoUseInsertList, scoUsePrettyText});
  AddNative(scp, "print");
  scp.SetEditor(&editor);
  QAction save("Save", &editor);
  save.setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
  int saved = 0;
  QObject::connect(&save, &QAction::triggered, [&] { ++saved; });
  clipboard.SetText("a.b(", smNormal);
  editor.SetText("p");
  editor.SetCaretPos({2, 1});
  TSynQtProposalWindow& window = scp.Window();
  auto open = [&] {
    SendKey(editor, Qt::Key_Space, Qt::ControlModifier, " ");
    Settle();
    return window.isVisible();
  };
  ASSERT_TRUE(open());
  SendKey(window, Qt::Key_S, Qt::ControlModifier, "\x13");
  EXPECT_EQ(saved, 1);
  EXPECT_FALSE(window.isVisible());
  ASSERT_TRUE(open());
  SendKey(window, Qt::Key_V, Qt::ControlModifier, "\x16");
  EXPECT_FALSE(window.isVisible());
  EXPECT_EQ(editor.Text(), "pa.b(");
  ASSERT_TRUE(open());
  QInputMethodEvent commit;
  commit.setCommitString(QString::fromUtf8("x.\u00e9"));
  QApplication::sendEvent(&window, &commit);
  EXPECT_FALSE(window.isVisible());
  EXPECT_EQ(editor.Text(), "pa.b(x.\xe9");
}

TEST_F(TQtProposalTest, ParameterHintNeverTakesTheFocusAndShowsTheBoldParameter) {
  TSynQtCompletionProposal scp;
  scp.SetDefaultType(ctParams);
  scp.SetOptions({scoLimitToMatchedText, scoUsePrettyText, scoUseBuiltInTimer});
  scp.SetClBackground(clInfoBk);
  scp.SetTriggerChars("(");
  scp.SetShortCut(0);
  scp.SetEditor(&editor);
  scp.OnExecute = [](SynCompletionType, TSynBaseCompletionProposal* sender, std::string&, int&,
                     int&, bool& canExecute) {
    sender->ItemList().Clear();
    sender->ItemList().Add("\"freq,\",\"ms\"");
    sender->SetCurrentIndex(0);
    canExecute = true;
  };
  editor.SetText("beep(");
  editor.SetCaretPos({6, 1});
  int cancels = 0;
  scp.OnCancelled = [&](TSynBaseCompletionProposal*) { ++cancels; };
  scp.ActivateFor(&editor);
  Settle();
  TSynQtProposalWindow& window = scp.Window();
  ASSERT_TRUE(window.isVisible());
  EXPECT_EQ(cancels, 0);
  EXPECT_TRUE(window.windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus));
  EXPECT_TRUE(editor.hasFocus());
  EXPECT_FALSE(scp.Form().Active());

  // The bold part is wider in pixels than the same text plain, and the
  // hint is wide enough for the widest placement.
  QImage image = window.grab().toImage();
  QColor background = window.palette().color(QPalette::Active, QPalette::ToolTipBase);
  int inked = 0;
  for (int x = 3; x < image.width() - 3; ++x)
    for (int y = 3; y < image.height() - 3; ++y)
      if (image.pixelColor(x, y) != background) ++inked;
  EXPECT_GT(inked, 20);
  EXPECT_EQ(image.pixelColor(image.width() / 2, 1), background);

  // Escape typed in the editor removes the hint; the editor keeps the focus.
  SendKey(editor, Qt::Key_Escape, Qt::NoModifier, "\x1b");
  Settle();
  EXPECT_FALSE(window.isVisible());
  EXPECT_TRUE(editor.hasFocus());
}

TEST_F(TQtProposalTest, ListPaintsTheSelectedRowAndAScrollBarForLongLists) {
  TSynQtCompletionProposal scp;
  scp.SetOptions({scoLimitToMatchedText, scoUseInsertList, scoUsePrettyText, scoCompleteWithEnter});
  for (int i = 0; i < 20; ++i) AddNative(scp, "name" + std::to_string(i));
  scp.SetEditor(&editor);
  scp.ActivateFor(&editor);
  Settle();
  TSynQtProposalWindow& window = scp.Window();
  ASSERT_TRUE(window.isVisible());
  ASSERT_TRUE(window.ScrollBarWidget()->isVisible());
  EXPECT_TRUE(window.ScrollBarWidget()->isEnabled());
  EXPECT_EQ(window.ScrollBarWidget()->maximum(), 12);
  // Scrolling with the bar moves the view and keeps the selection shown.
  window.ScrollBarWidget()->setValue(5);
  EXPECT_EQ(scp.Form().Position(), 5);
  EXPECT_EQ(scp.Form().SelectedIndex(), 5);
  QImage image = window.grab().toImage();
  QColor highlight = window.palette().color(QPalette::Active, QPalette::Highlight);
  int frame = scp.Form().FrameWidth();
  // The first visible row is the selected one.
  EXPECT_EQ(image.pixelColor(frame + 1, frame + 1), highlight);
  EXPECT_NE(image.pixelColor(frame + 1, frame + scp.Form().RowHeight() + 2), highlight);
  scp.CancelProposal();
  EXPECT_FALSE(window.isVisible());
}

}  // namespace
}  // namespace ludra

namespace ludra {
namespace {

// Not a check: with LUDRA_PROPOSAL_PREVIEW set to a folder (and a real
// display), shows a code list and a parameter hint over an editor and saves
// screen shots of both there, for a person to look at.
TEST(QtProposalPreview, ScreenShots) {
  const char* folder = std::getenv("LUDRA_PROPOSAL_PREVIEW");
  if (!folder) GTEST_SKIP() << "set LUDRA_PROPOSAL_PREVIEW to a folder";
  TSynMemoryClipboard clipboard;
  TSynEdit editor(nullptr, &clipboard);
  editor.setGeometry(40, 40, 640, 360);
  editor.SetText("main()\n{\n    new len = str\n}\n");
  editor.show();
  editor.activateWindow();
  editor.setFocus();
  Settle();

  TSynQtCompletionProposal scpCode;
  scpCode.SetOptions({scoLimitToMatchedText, scoUseInsertList, scoUsePrettyText, scoUseBuiltInTimer,
                      scoEndCharCompletion, scoCompleteWithTab, scoCompleteWithEnter});
  scpCode.SetWidth(262);
  scpCode.Columns().Add().BiggestWord = "native";
  const char* natives[][2] = {
      {"strlen", "const string[]"},
      {"strmid", "dest[], const source[], start, end, maxlength=sizeof dest"},
      {"strcmp", "const string1[], const string2[], bool:ignorecase=false"},
      {"strcat", "dest[], const source[], maxlength=sizeof dest"},
      {"strfind", "const string[], const sub[], bool:ignorecase=false"},
      {"strval", "const string[]"},
      {"print", "const string[]"},
      {"printf", "const format[], {Float,_}:..."}};
  for (auto& n : natives) {
    scpCode.ItemList().Add(std::string("native \\column{}\\style{+B}") + n[0] + "\\style{-B}(" +
                           n[1] + ")");
    scpCode.InsertList().Add(n[0]);
  }
  scpCode.SetEditor(&editor);
  editor.SetCaretPos({18, 3});
  SendKey(editor, Qt::Key_Space, Qt::ControlModifier, " ");
  for (int i = 0; i < 20; ++i) Settle();
  QScreen* screen = QGuiApplication::primaryScreen();
  screen->grabWindow(0).save(QString(folder) + "/list.png");
  scpCode.CancelProposal();

  TSynQtCompletionProposal scpParams;
  scpParams.SetDefaultType(ctParams);
  scpParams.SetOptions({scoLimitToMatchedText, scoUsePrettyText, scoUseBuiltInTimer});
  scpParams.SetClBackground(clInfoBk);
  scpParams.SetEditor(&editor);
  scpParams.OnExecute = [](SynCompletionType, TSynBaseCompletionProposal* sender, std::string&,
                           int&, int&, bool& canExecute) {
    sender->ItemList().Clear();
    sender->ItemList().Add(
        "\"dest[],\",\"const source[],\",\"start,\",\"end,\",\"maxlength=sizeof dest\"");
    sender->SetCurrentIndex(1);
    canExecute = true;
  };
  editor.SetText("main()\n{\n    strmid(buf, \n}\n");
  editor.SetCaretPos({17, 3});
  scpParams.ActivateFor(&editor);
  for (int i = 0; i < 20; ++i) Settle();
  screen->grabWindow(0).save(QString(folder) + "/hint.png");
}

}  // namespace
}  // namespace ludra
