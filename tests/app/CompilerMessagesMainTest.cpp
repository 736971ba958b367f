#include <gtest/gtest.h>

#include <QAction>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScreen>
#include <QStatusBar>
#include <QTextBlock>
#include <QTextDocumentFragment>
#include <QToolTip>

#include "app/CompileTestSupport.h"
#include "app/LudraDialogs.h"
#include "app/Main.h"
#include "app/ScriptedDialogs.h"
#include "app/unitOutput.h"
#include "editor/SynEditMarks.h"

using namespace ludra;
using namespace ludra::test;

namespace {

// The compiler's own text: CR LF line ends, a range, an include file, a
// relative path, a fatal error, a line with a lone CR in it, plain lines.
const char* kMessagesCompiler =
    "printf 'Pawn compiler 3.2.3664\\r\\n\\r\\n'\n"
    "printf '%s(6) : error 001: expected token: \";\", but found \"new\"\\r\\n' \"$3\"\n"
    "printf 'progress\\rdone\\n'\n"
    "printf '%s(9 -- 11) : warning 215: expression has no effect\\r\\n' \"$3\"\n"
    "printf '%s/inc/console.inc(26) : warning 219: local variable \"x\" shadows\\n' "
    "\"$(dirname \"$0\")\" >&2\n"
    "printf 'bad.pwn(3) : fatal error 100: cannot read from file: \"missing\"\\n'\n"
    "printf '\\n1 Error.\\n'\n";

class CompilerMessagesMainTest : public QtAppFixture {
 protected:
  void SetUp() override {
    QtAppFixture::SetUp();
    cwd_ = std::filesystem::current_path();
    std::string text;
    for (int i = 1; i <= 40; ++i) text += (i == 9 ? "\t  line" : "line") + std::to_string(i) + "\n";
    WriteFile(script, text);
    WriteFile(programDir + "/inc/console.inc", "a\nb\nc\n");
    InstallCompiler(programDir, kMessagesCompiler);
    auto d = std::make_unique<TScriptedDialogs>();
    dialogs = d.get();
    main = std::make_unique<TfmMain>(programDir, std::vector<std::string>{script}, std::move(d));
    main->show();
    main->FinishStart();
  }
  void TearDown() override {
    main.reset();
    std::filesystem::current_path(cwd_);
    QtAppFixture::TearDown();
  }

  // F5; once the compile has ended, `inWindow` acts in the output window
  // (and closes it, or the window is closed after it).
  void Compile(const std::function<void(TfmOutput&)>& inWindow = {}) {
    DriveModal([&] { main->miCompileClick(nullptr); },
               [&](QWidget* modal) {
                 auto* out = qobject_cast<TfmOutput*>(modal);
                 if (!out || !out->CompileDone()) return;
                 if (inWindow) inWindow(*out);
                 if (out->isVisible()) out->close();
               });
  }

  std::vector<std::pair<int, int>> MessageMarks() {
    std::vector<std::pair<int, int>> marks;
    for (int i = 0; i < main->moCode->Marks().Count(); ++i) {
      const TSynEditMark* m = main->moCode->Marks().Items(i);
      if (!m->IsBookmark()) marks.emplace_back(m->Line(), m->ImageIndex());
    }
    std::sort(marks.begin(), marks.end());
    return marks;
  }

  TempDir dir;
  std::string programDir = dir / "program";
  std::string script = dir / "my (2) scripts/bad.pwn";
  TScriptedDialogs* dialogs = nullptr;
  std::unique_ptr<TfmMain> main;

 private:
  std::filesystem::path cwd_;
};

constexpr int E = TCompilerMessageList::kErrorImage;
constexpr int W = TCompilerMessageList::kWarningImage;

}  // namespace

TEST_F(CompilerMessagesMainTest, EachLineOfTheWindowKnowsItsMessage) {
  std::vector<int> blocks;
  std::vector<std::string> texts;
  Compile([&](TfmOutput& out) {
    QTextDocument* doc = out.moOutput->document();
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
      blocks.push_back(out.MessageAtBlock(b.blockNumber()));
      texts.push_back(b.text().toStdString());
    }
  });
  // "progress\rdone" shows as two blocks; the messages below keep their lines.
  std::vector<int> want = {-1, -1, 0, -1, -1, 1, 2, 3, -1, -1, -1};
  EXPECT_EQ(blocks, want);
  ASSERT_EQ(texts.size(), want.size());
  EXPECT_EQ(texts[5], script + "(9 -- 11) : warning 215: expression has no effect");

  ASSERT_EQ(main->CompilerMessages->Count(), 4);
  EXPECT_EQ(main->CompilerMessages->DocumentCount(), 3);
  EXPECT_EQ(main->CompilerMessages->PathOf(2), programDir + "/inc/console.inc");
  std::vector<std::pair<int, int>> marks = {{3, E}, {6, E}, {9, W}};
  EXPECT_EQ(MessageMarks(), marks);
}

// The caret goes to the start of the line's text and the line is marked,
// with nothing selected: the next key types there and replaces nothing. A
// caret move or an edit takes the mark away.
TEST_F(CompilerMessagesMainTest, DoubleClickOrEnterOnAMessageGoesToItsLineAndClosesTheWindow) {
  struct Case {
    bool enter;
    int block, line, column;
    const char* status;
  } cases[] = {
      {false, 2, 6, 1, "error 001: expected token: \";\", but found \"new\""},
      {true, 5, 9, 4, "warning 215: expression has no effect"},
      {false, 7, 3, 1, "fatal error 100: cannot read from file: \"missing\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.block);
    main->moCode->SetCaretPos({3, 30});
    bool closed = false;
    Compile([&](TfmOutput& out) {
      QPlainTextEdit* text = out.moOutput;
      QTextCursor cursor(text->document()->findBlockByNumber(c.block));
      if (c.enter) {
        text->setTextCursor(cursor);
        QKeyEvent key(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(text, &key);
      } else {
        QPointF at = text->cursorRect(cursor).center() + QPointF(8, 0);
        QMouseEvent press(QEvent::MouseButtonDblClick, at, text->viewport()->mapToGlobal(at),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(text->viewport(), &press);
      }
      closed = !out.isVisible();
    });
    EXPECT_TRUE(closed);
    const TBufferCoord at{c.column, c.line};
    EXPECT_EQ(main->moCode->CaretPos(), at);
    EXPECT_FALSE(main->moCode->HasSelection());
    EXPECT_EQ(main->moCode->ActiveLineColor(), TCompilerMessageList::kMarkColor);
    EXPECT_EQ(main->StatusText(1),
              "Ln: " + std::to_string(c.line) + "   Col: " + std::to_string(c.column));
    EXPECT_EQ(main->StatusText(0), c.status);
  }
  // F8 marks again; a caret move or typing ends the mark, typing at the caret.
  for (bool type : {false, true}) {
    main->miNextMessageClick(nullptr);
    EXPECT_EQ(main->moCode->ActiveLineColor(), TCompilerMessageList::kMarkColor);
    char key = 'x';
    if (type)
      main->moCode->KeyPress(key);
    else
      main->moCode->SetCaretPos({2, 1});
    EXPECT_EQ(main->moCode->ActiveLineColor(), clNone);
  }
  EXPECT_EQ(main->moCode->Lines()[8], "\t  xline9");
}

TEST_F(CompilerMessagesMainTest, PlainLinesDoNothingAndShowNoPointingHand) {
  bool open = false;
  std::vector<Qt::CursorShape> shapes;
  Compile([&](TfmOutput& out) {
    EXPECT_FALSE(out.ChooseMessage(0));
    EXPECT_FALSE(out.ChooseMessage(99));
    open = out.isVisible();
    QPlainTextEdit* text = out.moOutput;
    for (int block : {0, 2, 3, 5}) {
      QPointF at =
          text->cursorRect(QTextCursor(text->document()->findBlockByNumber(block))).center();
      QMouseEvent move(QEvent::MouseMove, at, text->viewport()->mapToGlobal(at), Qt::NoButton,
                       Qt::NoButton, Qt::NoModifier);
      QApplication::sendEvent(text->viewport(), &move);
      shapes.push_back(text->viewport()->cursor().shape());
    }
  });
  EXPECT_TRUE(open);
  EXPECT_EQ(main->CompilerMessages->Current(), -1);
  std::vector<Qt::CursorShape> want = {Qt::IBeamCursor, Qt::PointingHandCursor, Qt::IBeamCursor,
                                       Qt::PointingHandCursor};
  EXPECT_EQ(shapes, want);
}

TEST_F(CompilerMessagesMainTest, AMessageAboutAFileThatIsNotThereIsOnlyNamed) {
  InstallCompiler(programDir, "printf 'C:\\\\pawn\\\\a.inc(7) : error 010: invalid function\\n'\n");
  bool open = false;
  Compile([&](TfmOutput& out) {
    EXPECT_TRUE(out.ChooseMessage(0));
    open = out.isVisible();
  });
  EXPECT_TRUE(open);
  EXPECT_TRUE(dialogs->Messages.empty());
  EXPECT_EQ(main->StatusText(0), "'C:\\pawn\\a.inc', line 7: error 010: invalid function");
  EXPECT_EQ(main->CurrentFileName, script);
}

TEST_F(CompilerMessagesMainTest, AnIncludeFilesMessageOpensItOnlyWhenTheUserAgrees) {
  main->moCode->SetCaretPos({1, 2});
  main->moCode->SetSelectedText("x");  // the document is modified
  const std::string include = programDir + "/inc/console.inc";
  // No: the window stays open, the document stays.
  dialogs->MessageAnswers = {mrNo};
  bool open = false;
  Compile([&](TfmOutput& out) {
    EXPECT_TRUE(out.ChooseMessage(6));
    open = out.isVisible();
  });
  EXPECT_TRUE(open);
  ASSERT_EQ(dialogs->Messages.size(), 1u);
  EXPECT_EQ(dialogs->Messages[0].Text,
            "The message is about '" + include + "'. Open it at line 26?");
  EXPECT_EQ(main->StatusText(0),
            "'" + include + "', line 26: warning 219: local variable \"x\" shadows");
  EXPECT_EQ(main->CurrentFileName, script);

  // Yes, then Cancel at the modified-document prompt (the compile saved the
  // script, so it is changed here): nothing opens.
  dialogs->Messages.clear();
  dialogs->MessageAnswers = {mrYes, mrCancel};
  Compile([&](TfmOutput& out) {
    main->moCode->SetSelectedText("y");
    out.ChooseMessage(6);
  });
  ASSERT_EQ(dialogs->Messages.size(), 2u);
  EXPECT_EQ(dialogs->Messages[1].Text, "File modified. Save changes?");
  EXPECT_EQ(main->CurrentFileName, script);

  // Yes and No (do not save): the include file opens at its line (past its
  // end: the last line), its own marks none, the messages gone.
  dialogs->MessageAnswers = {mrYes, mrNo};
  bool closed = false;
  Compile([&](TfmOutput& out) {
    main->moCode->SetSelectedText("z");
    out.ChooseMessage(6);
    closed = !out.isVisible();
  });
  EXPECT_TRUE(closed);
  EXPECT_EQ(main->CurrentFileName, include);
  EXPECT_EQ(main->moCode->CaretPos(), (TBufferCoord{1, 3}));
  EXPECT_EQ(main->CompilerMessages->Count(), 0);
  EXPECT_TRUE(MessageMarks().empty());
  EXPECT_EQ(main->StatusText(0), "File 'console.inc' opened.");
}

TEST_F(CompilerMessagesMainTest, F8AndShiftF8GoRoundTheScriptsMessagesWhenThereAreAny) {
  main->miBuildClick(main->miBuild);
  EXPECT_FALSE(main->miNextMessage->isEnabled());
  EXPECT_FALSE(main->miPrevMessage->isEnabled());
  EXPECT_EQ(main->miNextMessage->shortcut(), QKeySequence(Qt::Key_F8));
  EXPECT_EQ(main->miPrevMessage->shortcut(), QKeySequence(Qt::SHIFT | Qt::Key_F8));
  Compile();
  main->miBuildClick(main->miBuild);
  EXPECT_TRUE(main->miNextMessage->isEnabled());
  EXPECT_TRUE(main->miPrevMessage->isEnabled());
  // The include file's message is passed over.
  struct Step {
    bool next;
    int line;
    const char* status;
  } steps[] = {{true, 6, "error 001"}, {true, 9, "warning 215"},      {true, 3, "fatal error 100"},
               {true, 6, "error 001"}, {false, 3, "fatal error 100"}, {false, 9, "warning 215"}};
  for (const Step& s : steps) {
    (s.next ? main->miNextMessage : main->miPrevMessage)->trigger();
    EXPECT_EQ(main->moCode->CaretLine(), s.line);
    EXPECT_EQ(main->StatusText(0).rfind(s.status, 0), 0u) << main->StatusText(0);
  }
  // A line typed above the messages moves them down.
  main->moCode->SetCaretPos({1, 1});
  main->moCode->SetSelectedText("new\n");
  main->miNextMessage->trigger();
  EXPECT_EQ(main->moCode->CaretLine(), 4);
  main->miNextMessage->trigger();
  EXPECT_EQ(main->moCode->CaretLine(), 7);
}

TEST_F(CompilerMessagesMainTest, MarksGoWithTheNextCompileAndWithAnotherDocument) {
  Compile();
  EXPECT_EQ(MessageMarks().size(), 3u);
  TBufferCoord bookmarkAt{1, 20};
  main->moCode->RunCommand(ecSetMarker1, 0, &bookmarkAt);
  // The next compile's messages replace the marks.
  InstallCompiler(programDir, "printf '%s(12) : warning 203: symbol is never used\\n' \"$3\"\n");
  Compile();
  std::vector<std::pair<int, int>> marks = {{12, W}};
  EXPECT_EQ(MessageMarks(), marks);
  // A compile without messages leaves none.
  InstallCompiler(programDir, kCompilerSucceeds);
  Compile();
  EXPECT_TRUE(MessageMarks().empty());
  EXPECT_EQ(main->CompilerMessages->Count(), 0);
  // Opening another document clears them.
  InstallCompiler(programDir, kMessagesCompiler);
  Compile();
  EXPECT_FALSE(MessageMarks().empty());
  main->LoadScript(programDir + "/inc/console.inc");
  EXPECT_TRUE(MessageMarks().empty());
  main->miBuildClick(main->miBuild);
  EXPECT_FALSE(main->miNextMessage->isEnabled());
}

TEST_F(CompilerMessagesMainTest, HoveringAMarkedGutterLineShowsItsMessages) {
  Compile();
  TSynEdit* editor = main->moCode;
  QApplication::processEvents();
  auto at = [&](int line, int x) {
    return QPoint(x, (line - editor->TopRow()) * editor->RowHeight() + editor->RowHeight() / 2);
  };
  auto hover = [&](int line) {
    QHelpEvent help(QEvent::ToolTip, at(line, 5), editor->viewport()->mapToGlobal(at(line, 5)));
    QApplication::sendEvent(editor->viewport(), &help);
    // The tip goes in escaped; what it shows is the plain text.
    return QToolTip::isVisible()
               ? QTextDocumentFragment::fromHtml(QToolTip::text()).toPlainText().toStdString()
               : std::string();
  };
  EXPECT_EQ(hover(6), "error 001: expected token: \";\", but found \"new\"");
  EXPECT_EQ(hover(9), "warning 215: expression has no effect");
  // As wide as its line needs, within the screen: one row of text each.
  auto tip = [] {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w->objectName() == "qtooltip_label" && w->isVisible()) return qobject_cast<QLabel*>(w);
    return static_cast<QLabel*>(nullptr);
  };
  for (int line : {6, 9}) {
    const QString text = main->GutterHint(at(line, 5));
    hover(line);
    QLabel* label = tip();
    ASSERT_NE(label, nullptr);
    EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(text));
    EXPECT_LT(label->height(), 2 * label->fontMetrics().lineSpacing() + 8);
  }
  QToolTip::hideText();
  // A line without marks, or the text beside a marked line: no tool tip.
  EXPECT_TRUE(main->GutterHint(at(7, 5)).isEmpty());
  EXPECT_TRUE(main->GutterHint(at(6, editor->GutterPixels() + 20)).isEmpty());
  EXPECT_FALSE(main->GutterHint(at(6, editor->GutterPixels() - 1)).isEmpty());
  // Two messages on one line show one below the other.
  InstallCompiler(programDir,
                  "printf '%s(4) : warning 1: a\\n%s(4) : error 2: b\\n' \"$3\" \"$3\"\n");
  Compile();
  EXPECT_EQ(main->GutterHint(at(4, 5)).toStdString(), "warning 001: a\nerror 002: b");
  // A message wider than the screen is broken into rows that fit it.
  const std::string word(300, 'w');
  InstallCompiler(programDir, "printf '%s(4) : error 3: " + word + " " + word + "\\n' \"$3\"\n");
  Compile();
  hover(4);
  ASSERT_NE(tip(), nullptr);
  EXPECT_LE(tip()->width(), tip()->screen()->availableGeometry().width());
  EXPECT_GE(tip()->height(), 3 * tip()->fontMetrics().lineSpacing());
  QToolTip::hideText();
}

// Text from scripts, include files, the compiler and file names is shown as
// given: an image tag must never make Qt open the file it names (a FIFO
// would block the window for good), nor a bold tag change what is shown.
TEST_F(CompilerMessagesMainTest, OutsideTextIsShownAsPlainTextEverywhere) {
  const std::string hostile = "<img src=\"" + (dir / "fifo") + "\"><b>x</b>";
  InstallCompiler(programDir, "printf '%s(6) : error 001: " + hostile + "\\n' \"$3\"\n");
  Compile();
  main->miBuildClick(main->miBuild);
  main->miNextMessage->trigger();
  EXPECT_EQ(main->StatusText(0), "error 001: " + hostile);
  for (QLabel* label : main->sbMain->findChildren<QLabel*>())
    EXPECT_EQ(label->textFormat(), Qt::PlainText);

  // The gutter's tool tip goes in escaped: it shows the text itself.
  TSynEdit* editor = main->moCode;
  QPoint at(5, (6 - editor->TopRow()) * editor->RowHeight() + editor->RowHeight() / 2);
  QHelpEvent help(QEvent::ToolTip, at, editor->viewport()->mapToGlobal(at));
  QApplication::sendEvent(editor->viewport(), &help);
  EXPECT_EQ(QTextDocumentFragment::fromHtml(QToolTip::text()).toPlainText().toStdString(),
            "error 001: " + hostile);
  QToolTip::hideText();

  // Message boxes, with a path far wider than the screen that wraps.
  const std::string text = hostile + "/" + std::string(2046, 'p');
  TQtDialogs real;
  int seen = 0;
  auto inspect = [&](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    if (!box || !box->isVisible()) return;
    EXPECT_EQ(box->text().remove(QChar(0x200B)).toStdString(), text);
    EXPECT_EQ(box->textFormat(), Qt::PlainText);
    EXPECT_LE(box->width(), box->screen()->availableGeometry().width());
    box->close();
    ++seen;
  };
  DriveModal([&] { real.MessageDlg(main.get(), text, mtError, mbOK); }, inspect);
  DriveModal([&] { real.ReportError(main.get(), text); }, inspect);
  DriveModal([&] { real.AboutBox(main.get(), "About", text); }, inspect);
  EXPECT_EQ(seen, 3);
}
