// The document commands never lose text: a load that fails leaves the
// document as it was, a script keeps the path it was opened by, and special
// files are refused without blocking the window.
#include <sys/stat.h>

#include "MainWindowTestSupport.h"
#include "ProgramDirectory.h"

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
