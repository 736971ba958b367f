#include "app/MainWindowTestSupport.h"

using namespace ludra;

class FunctionListTest : public MainWindowTest {
 protected:
  void WriteInclude(const std::string& name, const std::string& text) {
    std::filesystem::create_directories(programDir_ + "/include");
    WriteFile(programDir_ + "/include/" + name, text);
  }
  // A script holding text, opened from the command line.
  TfmMain& StartWithScript(const std::string& text) {
    script_ = root_ + "/x.pwn";
    WriteFile(script_, text);
    return Start({script_});
  }
  void Select(int row) { SelectRow(*window_->lbFunctions, row); }
  std::string script_;
};

TEST_F(FunctionListTest, ListNamesAndStatusTextsOfOneFile) {
  WriteInclude("x.inc",
               "/* sounds */\r\nnative Beep(freq, ms);\r\nnative Float:operator*(Float:a);\r\n"
               "native Float:halve(Float:value);\r\nnative Caf\xE9(x);\r\n");
  TfmMain& w = Start();
  EXPECT_TRUE(dialogs_->Errors.empty());
  EXPECT_EQ(ListRows(*w.lbFunctions),
            (std::vector<std::string>{" ", " // x.inc", " ", "Beep", "halve", "Caf\u00e9"}));
  // Completion offers the operator too, which the list leaves out.
  EXPECT_EQ(w.scpCode->InsertList().Count(), 4);
  EXPECT_EQ(w.scpCode->InsertList()[2], "halve");
  EXPECT_EQ(w.StatusText(0), "Ludra is ready.");

  // Clicking needs no document; the list is only disabled for the mouse.
  Select(3);
  EXPECT_EQ(w.StatusText(0), "[x.inc]  native Beep(freq, ms);");
  Select(1);
  EXPECT_EQ(w.StatusText(0), "Functions from file: x.inc");
  Select(2);
  EXPECT_EQ(w.StatusText(0), "");
  Select(5);
  EXPECT_EQ(w.StatusText(0), "[x.inc]  native Caf\u00e9(x);");
}

// The first frame comes before the include folder's scan and the script
// named on the command line; a script opened before they run keeps its
// place, after the natives.
TEST_F(FunctionListTest, IncludesAndTheCommandLineScriptComeAfterTheFirstFrame) {
  WriteInclude("x.inc", "native Beep(freq, ms);\n");
  const std::string named = root_ + "/named.pwn", opened = root_ + "/opened.pwn";
  WriteFile(named, "named()\n{\n}\n");
  WriteFile(opened, "opened()\n{\n}\n");
  const std::vector<std::string> natives = {" ", " // x.inc", " ", "Beep"};
  for (bool openFirst : {false, true}) {
    SCOPED_TRACE(openFirst ? "a script opened first" : "left to the idle moment");
    window_ = std::make_unique<TfmMain>(programDir_, std::vector<std::string>{named},
                                        std::make_unique<TScriptedDialogs>());
    TfmMain& w = *window_;
    EXPECT_TRUE(w.StartPending());
    EXPECT_TRUE(ListRows(*w.lbFunctions).empty());
    EXPECT_EQ(w.CurrentFileName, "");
    if (openFirst) w.LoadScript(opened);
    w.show();
    QDeadlineTimer deadline(5000);
    while (w.StartPending() && !deadline.hasExpired())
      QApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_FALSE(w.StartPending());
    EXPECT_EQ(w.CurrentFileName, openFirst ? opened : named);
    std::vector<std::string> rows = ListRows(*w.lbFunctions);
    ASSERT_GE(rows.size(), natives.size());
    EXPECT_EQ(std::vector<std::string>(rows.begin(), rows.begin() + 4), natives);
    EXPECT_EQ(rows.back(), openFirst ? "opened" : "named");
  }
}

TEST_F(FunctionListTest, DoubleClickInsertsTheCallAsOneUndoableEdit) {
  WriteInclude("x.inc", "native Beep(freq, ms);\n");
  TfmMain& w = StartWithScript("ab\nsecond\n");
  w.moCode->SetCaretPos(TBufferCoord{3, 1});
  Select(3);
  ASSERT_EQ(w.lbFunctions->currentIndex().data().toString().toStdString(), "Beep");
  DoubleClickCurrentRow(*w.lbFunctions);
  EXPECT_EQ(w.moCode->Lines()[0], "abBeep()");
  EXPECT_EQ(w.moCode->CaretChar(), 8);
  EXPECT_EQ(w.moCode->CaretLine(), 1);
  EXPECT_TRUE(w.DocumentModified);
  EXPECT_TRUE(w.tbSave->isEnabled());

  // Headings and blank rows insert nothing.
  for (int row : {0, 1, 2}) {
    Select(row);
    w.lbFunctionsDblClick(w.lbFunctions);
  }
  EXPECT_EQ(w.moCode->Lines()[0], "abBeep()");
  w.miUndoClick(w.miUndo);
  EXPECT_EQ(w.moCode->Lines()[0], "ab");
}

TEST_F(FunctionListTest, DoubleClickWithoutADocumentDoesNothing) {
  WriteInclude("x.inc", "native Beep(freq, ms);\n");
  TfmMain& w = Start();
  Select(3);
  w.lbFunctionsDblClick(w.lbFunctions);
  EXPECT_EQ(w.moCode->Lines().Count(), 0);
}

TEST_F(FunctionListTest, MissingIncludeFolderGivesAnEmptyListAndStartUpGoesOn) {
  // A script that defines no function of its own.
  TfmMain& w = StartWithScript("new x;\n");
  EXPECT_EQ(w.lbFunctions->model()->rowCount(), 0);
  EXPECT_EQ(w.scpCode->ItemList().Count(), 1);  // the script's global
  EXPECT_TRUE(dialogs_->Errors.empty());
  EXPECT_EQ(w.CurrentFileName, script_);
}

TEST_F(FunctionListTest, UnreadableIncludeFilesAreReportedOnceAndSkipped) {
  WriteInclude("a.inc", "native A();\n");
  std::filesystem::create_directories(programDir_ + "/include/x.inc");
  std::filesystem::create_directories(programDir_ + "/include/y.inc");
  TfmMain& w = StartWithScript("new x;\n");
  ASSERT_EQ(dialogs_->Errors.size(), 1u);
  const std::string& report = dialogs_->Errors[0];
  EXPECT_NE(report.find("Cannot open file \"" + programDir_ + "/include/x.inc\". Is a directory."),
            std::string::npos);
  EXPECT_NE(report.find("Cannot open file \"" + programDir_ + "/include/y.inc\". Is a directory."),
            std::string::npos);
  EXPECT_EQ(ListRows(*w.lbFunctions), (std::vector<std::string>{" ", " // a.inc", " ", "A"}));
  // The script named on the command line still opens.
  EXPECT_EQ(w.CurrentFileName, script_);
  EXPECT_TRUE(w.moCode->isEnabled());
}
