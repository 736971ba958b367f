#include <QAction>
#include <QListView>

#include "app/MainWindowTestSupport.h"
#include "editor/SynEditMiscClasses.h"
#include "platform/ProgramDirectory.h"

using namespace ludra;

namespace {

// The controls that follow the document: editor, line numbers, list and the
// search and compile buttons.
void ExpectDocumentControls(TfmMain& w, bool open) {
  EXPECT_EQ(w.moCode->isEnabled(), open);
  EXPECT_EQ(w.moCode->Gutter().ShowLineNumbers(), open);
  EXPECT_EQ(w.lbFunctions->isEnabled(), open);
  for (QAction* a :
       {w.tbFind, w.tbFindNext, w.tbFindPrev, w.tbReplace, w.tbCompile, w.tbCompileRun})
    EXPECT_EQ(a->isEnabled(), open) << a->objectName().toStdString();
}

}  // namespace

class DocumentCommandsTest : public MainWindowTest {
 protected:
  // A loaded file x.pwn, then one typed change.
  TfmMain& StartModified(const std::string& text = "old\n") {
    file_ = root_ + "/x.pwn";
    WriteFile(file_, text);
    TfmMain& w = Start({file_});
    Type("A");
    return w;
  }
  std::string file_;
};

TEST_F(DocumentCommandsTest, NewUsesTheTemplateAndSaveAsksForAName) {
  WriteFile(programDir_ + "/new.pwn", "#include <core>\r\nmain()\r\n");
  TfmMain& w = Start();
  w.tbNew->trigger();
  EXPECT_EQ(w.CurrentFileName, "Untitled");
  EXPECT_EQ(Caption(), "Untitled - Ludra");
  EXPECT_EQ(w.moCode->Lines().Text(), "#include <core>\r\nmain()\r\n");
  EXPECT_FALSE(w.DocumentModified);
  EXPECT_FALSE(w.tbSave->isEnabled());
  EXPECT_EQ(w.StatusText(0), "New file created.");
  ExpectDocumentControls(w, true);

  dialogs_->FileAnswers.push_back(std::nullopt);
  w.miSaveClick(w.miSave);
  ASSERT_EQ(dialogs_->FileDialogs.size(), 1u);
  EXPECT_EQ(dialogs_->FileDialogs[0], "save Untitled pwn");
  EXPECT_EQ(w.CurrentFileName, "Untitled");
}

TEST_F(DocumentCommandsTest, TypingMarksTheDocumentModified) {
  TfmMain& w = StartModified();
  EXPECT_TRUE(w.DocumentModified);
  EXPECT_TRUE(w.tbSave->isEnabled());
  EXPECT_EQ(w.moCode->Lines()[0], "Aold");
}

TEST_F(DocumentCommandsTest, ModifiedPromptAnswersBeforeNew) {
  WriteFile(programDir_ + "/new.pwn", "template\n");
  struct Case {
    std::vector<TModalResult> answers;
    std::vector<std::optional<std::string>> files;  // save dialog answers
    std::string name, firstLine, onDisk;
  } cases[] = {
      {{mrCancel}, {}, "x.pwn", "Aold", "old\n"},
      {{mrNo}, {}, "Untitled", "template", "old\n"},
      {{mrYes}, {}, "Untitled", "template", "Aold\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answers[0]);
    TfmMain& w = StartModified();
    dialogs_->MessageAnswers.assign(c.answers.begin(), c.answers.end());
    w.miNew->trigger();
    ASSERT_EQ(dialogs_->Messages.size(), 1u);
    EXPECT_EQ(dialogs_->Messages[0].Text, "File modified. Save changes?");
    EXPECT_EQ(dialogs_->Messages[0].Type, mtConfirmation);
    EXPECT_EQ(dialogs_->Messages[0].Buttons, mbYesNoCancel);
    EXPECT_EQ(ExtractFileName(w.CurrentFileName), c.name);
    EXPECT_EQ(w.moCode->Lines()[0], c.firstLine);
    EXPECT_EQ(ReadFile(file_), c.onDisk);
    EXPECT_TRUE(dialogs_->AllAnswered());
  }
}

TEST_F(DocumentCommandsTest, YesWithCancelledSaveAsStillGoesOn) {
  WriteFile(programDir_ + "/new.pwn", "template\n");
  TfmMain& w = Start();
  w.miNew->trigger();
  Type("changed");
  dialogs_->MessageAnswers = {mrYes};
  dialogs_->FileAnswers = {std::nullopt};
  w.miNew->trigger();
  EXPECT_EQ(w.moCode->Lines()[0], "template");
  EXPECT_FALSE(w.DocumentModified);
  EXPECT_TRUE(dialogs_->AllAnswered());
}

TEST_F(DocumentCommandsTest, OpenLoadsAndCancelChangesNothing) {
  WriteFile(root_ + "/sub/dummy", "");
  std::filesystem::create_directories(root_ + "/sub");
  WriteFile(root_ + "/sub/y.pwn", "new text\n");
  TfmMain& w = StartModified();
  dialogs_->MessageAnswers = {mrNo};
  dialogs_->FileAnswers = {std::nullopt};
  w.miOpen->trigger();
  EXPECT_EQ(dialogs_->FileDialogs.back(), "open x.pwn");
  EXPECT_EQ(Caption(), "x.pwn - Ludra");
  EXPECT_EQ(w.StatusText(0), "Ludra is ready.");
  EXPECT_EQ(w.moCode->Lines()[0], "Aold");
  EXPECT_TRUE(w.DocumentModified);

  dialogs_->MessageAnswers = {mrNo};
  dialogs_->FileAnswers = {root_ + "/sub/y.pwn"};
  w.tbOpen->trigger();
  EXPECT_EQ(w.CurrentFileName, root_ + "/sub/y.pwn");
  EXPECT_EQ(Caption(), "y.pwn - Ludra");
  EXPECT_EQ(w.StatusText(0), "File 'y.pwn' opened.");
  EXPECT_EQ(w.moCode->Lines()[0], "new text");
  EXPECT_FALSE(w.DocumentModified);
  EXPECT_FALSE(w.tbSave->isEnabled());
  EXPECT_EQ(std::filesystem::canonical(QDir::currentPath().toStdString()),
            std::filesystem::canonical(root_ + "/sub"));
  ExpectDocumentControls(w, true);
}

TEST_F(DocumentCommandsTest, AFileThatCannotBeReadLeavesTheDocument) {
  std::filesystem::create_directories(root_ + "/folder.pwn");
  for (const std::string& bad : {root_ + "/missing.pwn", root_ + "/folder.pwn"}) {
    SCOPED_TRACE(bad);
    TfmMain& w = StartModified();
    dialogs_->MessageAnswers = {mrNo};
    dialogs_->FileAnswers = {bad};
    w.miOpen->trigger();
    ASSERT_EQ(dialogs_->Errors.size(), 1u);
    EXPECT_NE(dialogs_->Errors[0].find(bad), std::string::npos);
    EXPECT_EQ(w.CurrentFileName, file_);
    EXPECT_EQ(Caption(), "x.pwn - Ludra");
    EXPECT_EQ(w.moCode->Lines()[0], "Aold");
    EXPECT_TRUE(w.DocumentModified);
  }
}

TEST_F(DocumentCommandsTest, SaveWritesTheFile) {
  TfmMain& w = StartModified();
  w.miSave->trigger();
  EXPECT_EQ(ReadFile(file_), "Aold\n");
  EXPECT_FALSE(w.DocumentModified);
  EXPECT_FALSE(w.tbSave->isEnabled());
  EXPECT_EQ(w.StatusText(0), "File 'x.pwn' saved.");
  EXPECT_EQ(Caption(), "x.pwn - Ludra");
}

TEST_F(DocumentCommandsTest, AFailedSaveKeepsTheDocumentModified) {
  TfmMain& w = StartModified();
  // The file's folder is gone.
  std::filesystem::path gone = root_ + "/gone";
  std::filesystem::create_directories(gone);
  WriteFile((gone / "x.pwn").string(), "");
  w.CurrentFileName = (gone / "x.pwn").string();
  std::filesystem::remove_all(gone);
  w.miSave->trigger();
  ASSERT_EQ(dialogs_->Errors.size(), 1u);
  EXPECT_TRUE(w.DocumentModified);
  EXPECT_TRUE(w.tbSave->isEnabled());

  // Asked for by the prompt: the asking command stops too.
  dialogs_->MessageAnswers = {mrYes};
  w.miClose->trigger();
  EXPECT_EQ(dialogs_->Errors.size(), 2u);
  EXPECT_EQ(w.moCode->Lines()[0], "Aold");
  EXPECT_EQ(Caption(), "x.pwn - Ludra");
}

TEST_F(DocumentCommandsTest, SaveAsOntoAnExistingFile) {
  WriteFile(root_ + "/other.pwn", "keep\n");
  TfmMain& w = StartModified();
  dialogs_->FileAnswers = {root_ + "/other.pwn"};
  dialogs_->MessageAnswers = {mrNo};
  w.miSaveAs->trigger();
  EXPECT_EQ(dialogs_->FileDialogs.back(), "save x.pwn pwn");
  ASSERT_EQ(dialogs_->Messages.size(), 1u);
  EXPECT_EQ(dialogs_->Messages[0].Text, "File exists. Overwrite?");
  EXPECT_EQ(dialogs_->Messages[0].Buttons, mbYesNo);
  EXPECT_EQ(ReadFile(root_ + "/other.pwn"), "keep\n");
  EXPECT_EQ(w.CurrentFileName, file_);
  EXPECT_EQ(Caption(), "x.pwn - Ludra");
  EXPECT_TRUE(w.DocumentModified);

  dialogs_->FileAnswers = {root_ + "/other.pwn"};
  dialogs_->MessageAnswers = {mrYes};
  w.miSaveAs->trigger();
  EXPECT_EQ(ReadFile(root_ + "/other.pwn"), "Aold\n");
  EXPECT_EQ(w.CurrentFileName, root_ + "/other.pwn");
  EXPECT_EQ(Caption(), "other.pwn - Ludra");
  EXPECT_EQ(w.StatusText(0), "File saved as 'other.pwn'.");
  EXPECT_FALSE(w.DocumentModified);

  // A new name is written without a question.
  dialogs_->FileAnswers = {root_ + "/third.pwn"};
  w.miSaveAs->trigger();
  EXPECT_EQ(ReadFile(root_ + "/third.pwn"), "Aold\n");
  EXPECT_EQ(dialogs_->Messages.size(), 2u);
}

TEST_F(DocumentCommandsTest, FailedSaveAsKeepsTheOldName) {
  TfmMain& w = StartModified();
  dialogs_->FileAnswers = {root_ + "/missing/dir/y.pwn"};
  w.miSaveAs->trigger();
  ASSERT_EQ(dialogs_->Errors.size(), 1u);
  EXPECT_EQ(w.CurrentFileName, file_);
  EXPECT_EQ(Caption(), "x.pwn - Ludra");
  EXPECT_TRUE(w.DocumentModified);
}

TEST_F(DocumentCommandsTest, CloseReturnsToNoDocument) {
  TfmMain& w = StartModified();
  w.moCode->SetCaretPos({2, 1});
  dialogs_->MessageAnswers = {mrNo};
  w.miClose->trigger();
  EXPECT_EQ(w.StatusText(0), "File 'x.pwn' closed.");
  EXPECT_EQ(w.StatusText(1), "");
  EXPECT_EQ(w.CurrentFileName, "");
  EXPECT_EQ(Caption(), "Ludra");
  EXPECT_EQ(w.moCode->Lines().Count(), 0);
  EXPECT_FALSE(w.moCode->CanUndo());
  EXPECT_FALSE(w.DocumentModified);
  EXPECT_FALSE(w.tbSave->isEnabled());
  ExpectDocumentControls(w, false);

  w.miNew->trigger();
  w.miClose->trigger();
  EXPECT_EQ(w.StatusText(0), "Ludra is ready.");
}

// Exit asks once: No ends the program; a Yes whose save stored nothing is
// asked again by the close, so the changes are not lost unasked.
TEST_F(DocumentCommandsTest, ExitAsksOnceUnlessTheSaveStoredNothing) {
  struct Case {
    std::vector<TModalResult> answers;
    size_t questions;
    bool closed;
  } cases[] = {{{mrNo}, 1, true},
               {{mrCancel}, 1, false},
               {{mrYes, mrNo}, 2, true},
               {{mrYes, mrCancel}, 2, false}};
  for (const Case& c : cases) {
    // A new document: the Save As dialog of a Yes is cancelled.
    TfmMain& w = Start();
    w.miNew->trigger();
    Type("A");
    dialogs_->MessageAnswers = {c.answers.begin(), c.answers.end()};
    if (c.answers[0] == mrYes) dialogs_->FileAnswers = {std::nullopt};
    w.miExit->trigger();
    QApplication::processEvents();
    EXPECT_EQ(dialogs_->Messages.size(), c.questions);
    EXPECT_EQ(w.isVisible(), !c.closed);
    EXPECT_TRUE(dialogs_->AllAnswered());
  }
}

TEST_F(DocumentCommandsTest, CloseQueryCancelKeepsTheWindowAndYesSaves) {
  StartModified();
  dialogs_->MessageAnswers = {mrCancel};
  EXPECT_FALSE(CloseWindow());
  EXPECT_TRUE(window_->isVisible());
  EXPECT_EQ(Ini("Display", "WindowW"), "<none>");
  dialogs_->MessageAnswers = {mrYes};
  EXPECT_TRUE(CloseWindow());
  EXPECT_EQ(ReadFile(file_), "Aold\n");
  EXPECT_EQ(Ini("Display", "WindowW"), "744");
}

TEST_F(DocumentCommandsTest, CommandLineFileKeepsItsRelativePath) {
  std::filesystem::create_directories(root_ + "/rel");
  WriteFile(root_ + "/rel/s.pwn", "main()\n");
  QDir::setCurrent(QString::fromStdString(root_));
  TfmMain& w = Start({"rel/s.pwn", "ignored"});
  EXPECT_EQ(w.CurrentFileName, "rel/s.pwn");
  EXPECT_EQ(Caption(), "s.pwn - Ludra");
  EXPECT_EQ(w.StatusText(0), "Ludra is ready.");
  EXPECT_EQ(w.moCode->Lines()[0], "main()");
  ExpectDocumentControls(w, true);

  // A missing file or a folder is ignored.
  for (const char* arg : {"rel/none.pwn", "rel"}) {
    TfmMain& again = Start({arg});
    EXPECT_EQ(again.CurrentFileName, "");
    EXPECT_TRUE(dialogs_->Errors.empty());
  }
}
