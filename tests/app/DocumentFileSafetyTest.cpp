// The document commands never lose text: a load that fails leaves the
// document as it was, a script keeps the path it was opened by, and special
// files are refused without blocking the window.
#include <sys/stat.h>

#include "app/MainWindowTestSupport.h"
#include "platform/ProgramDirectory.h"

using namespace ludra;

class DocumentFileSafetyTest : public MainWindowTest {
 protected:
  // x.pwn loaded and then changed by typing.
  TfmMain& StartModified() {
    file_ = root_ + "/x.pwn";
    WriteFile(file_, "old\n");
    TfmMain& w = Start({file_});
    Type("A");
    return w;
  }
  // The window shows the modified x.pwn exactly as StartModified left it.
  void ExpectUnchanged(TfmMain& w) {
    EXPECT_EQ(w.CurrentFileName, file_);
    EXPECT_EQ(Caption(), "x.pwn - Ludra");
    EXPECT_EQ(w.moCode->Lines().Text(), "Aold\r\n");
    EXPECT_TRUE(w.DocumentModified);
    EXPECT_TRUE(w.tbSave->isEnabled());
    ASSERT_TRUE(w.moCode->CanUndo());
    w.moCode->Undo();
    EXPECT_EQ(w.moCode->Lines().Text(), "old\r\n");
  }
  std::string file_;
};

TEST_F(DocumentFileSafetyTest, AFileBeyondTheLoadLimitsLeavesTheDocumentAndItsUndo) {
  WriteFile(root_ + "/big.pwn", "1\n2\n3\n");
  TfmMain& w = StartModified();
  w.moCode->Lines().SetLoadLimits({2, SIZE_MAX});
  dialogs_->MessageAnswers = {mrNo};
  dialogs_->FileAnswers = {root_ + "/big.pwn"};
  w.miOpen->trigger();
  ASSERT_EQ(dialogs_->Errors.size(), 1u);
  EXPECT_EQ(dialogs_->Errors[0],
            "Cannot read file \"" + root_ + "/big.pwn\". Too many lines to load.");
  ExpectUnchanged(w);
}

TEST_F(DocumentFileSafetyTest, ARelativeNameKeepsItsFileWhenTheCurrentDirectoryChanges) {
  std::filesystem::create_directories(root_ + "/a");
  std::filesystem::create_directories(root_ + "/b");
  WriteFile(root_ + "/a/a.pwn", "one\n");
  WriteFile(root_ + "/b/a.pwn", "other\n");
  QDir::setCurrent(QString::fromStdString(root_ + "/a"));
  TfmMain& w = Start({"a.pwn"});
  Type("X");
  // Save As onto an existing file elsewhere, answered No: nothing moves.
  dialogs_->FileAnswers = {root_ + "/b/a.pwn"};
  dialogs_->MessageAnswers = {mrNo};
  w.miSaveAs->trigger();
  EXPECT_EQ(std::filesystem::canonical(QDir::currentPath().toStdString()),
            std::filesystem::canonical(root_ + "/a"));
  // Even with the current directory moved on, Save writes the file opened.
  QDir::setCurrent(QString::fromStdString(root_ + "/b"));
  w.miSave->trigger();
  EXPECT_TRUE(dialogs_->Errors.empty());
  EXPECT_EQ(ReadFile(root_ + "/a/a.pwn"), "Xone\n");
  EXPECT_EQ(ReadFile(root_ + "/b/a.pwn"), "other\n");
  EXPECT_EQ(w.CurrentFileName, "a.pwn");
  EXPECT_EQ(Caption(), "a.pwn - Ludra");
  EXPECT_EQ(w.DocumentPath(), root_ + "/a/a.pwn");
}

TEST_F(DocumentFileSafetyTest, OpenAndSaveAsMoveTheCurrentDirectoryOnlyWhenTheySucceed) {
  std::filesystem::create_directories(root_ + "/elsewhere");
  std::filesystem::create_directories(root_ + "/done");
  std::filesystem::create_directories(root_ + "/elsewhere/dir.pwn");
  TfmMain& w = StartModified();
  QDir::setCurrent(QString::fromStdString(root_));
  auto cwd = [] { return std::filesystem::canonical(QDir::currentPath().toStdString()); };
  // An Open that fails.
  dialogs_->MessageAnswers = {mrNo};
  dialogs_->FileAnswers = {root_ + "/elsewhere/dir.pwn"};
  w.miOpen->trigger();
  EXPECT_EQ(dialogs_->Errors.size(), 1u);
  EXPECT_EQ(cwd(), std::filesystem::canonical(root_));
  // A Save As that fails.
  dialogs_->FileAnswers = {root_ + "/elsewhere/dir.pwn"};
  dialogs_->MessageAnswers = {mrYes};
  w.miSaveAs->trigger();
  EXPECT_EQ(dialogs_->Errors.size(), 2u);
  EXPECT_EQ(cwd(), std::filesystem::canonical(root_));
  ExpectUnchanged(w);
  // A Save As that succeeds.
  dialogs_->FileAnswers = {root_ + "/done/y.pwn"};
  w.miSaveAs->trigger();
  EXPECT_EQ(ReadFile(root_ + "/done/y.pwn"), "old\n");
  EXPECT_EQ(cwd(), std::filesystem::canonical(root_ + "/done"));
}

TEST_F(DocumentFileSafetyTest, SpecialFilesNeverBlockTheWindow) {
  std::string fifo = root_ + "/pipe.pwn";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  // Chosen in the Open dialog: refused, the document stays.
  TfmMain& w = StartModified();
  dialogs_->MessageAnswers = {mrNo};
  dialogs_->FileAnswers = {fifo};
  w.miOpen->trigger();
  ASSERT_EQ(dialogs_->Errors.size(), 1u);
  EXPECT_EQ(dialogs_->Errors[0], "Cannot open file \"" + fifo + "\". Not a regular file.");
  ExpectUnchanged(w);
  // Named on the command line, as the settings file and as the template.
  window_.reset();
  std::filesystem::remove(programDir_ + "/settings.ini");
  ASSERT_EQ(mkfifo((programDir_ + "/settings.ini").c_str(), 0600), 0);
  ASSERT_EQ(mkfifo((programDir_ + "/new.pwn").c_str(), 0600), 0);
  TfmMain& again = Start({fifo});
  EXPECT_EQ(again.CurrentFileName, "");
  EXPECT_EQ(again.StatusText(0), "Ludra is ready.");
  again.miNew->trigger();
  EXPECT_EQ(again.CurrentFileName, "Untitled");
  EXPECT_EQ(again.moCode->Lines().Count(), 0);
}
