#include <algorithm>

#include "app/MainWindowTestSupport.h"
#include "platform/SynTimer.h"

using namespace ludra;

class ScriptFunctionsTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    triggerClock_ = &clock_;
    std::filesystem::create_directories(programDir_ + "/include");
    WriteFile(programDir_ + "/include/a.inc", "native beep(freq, ms);\nnative Float:halve(v);\n");
  }
  // The rows once the catalog under way is shown.
  std::vector<std::string> Rows() const {
    window_->WaitForCatalog();
    return ListRows(*window_->lbFunctions);
  }
  int RowOf(const std::string& text) const {
    std::vector<std::string> rows = Rows();
    auto it = std::find(rows.begin(), rows.end(), text);
    return it == rows.end() ? -1 : static_cast<int>(it - rows.begin());
  }
  TSynManualClock clock_;
};

TEST_F(ScriptFunctionsTest, ListedAfterTheNativesWithTheirLines) {
  std::string file = root_ + "/s.pwn";
  WriteFile(file,
            "forward OnTick(id);\n\nmain()\n{\n}\n\npublic OnTick(id)\n{\n}\n"
            "/* old()\n*/\nstock Float:half(Float:v, n)\n{\n}\n");
  TfmMain& w = Start();
  const std::vector<std::string> natives = Rows();
  ASSERT_EQ(natives, (std::vector<std::string>{" ", " // a.inc", " ", "beep", "halve"}));
  dialogs_->FileAnswers.push_back(file);
  w.miOpen->trigger();
  std::vector<std::string> want = natives;
  for (const char* row : {" ", " ", " // this script", " ", "OnTick", "main", "half"})
    want.push_back(row);
  EXPECT_EQ(Rows(), want);

  // A click shows the definition's line, a double click goes there.
  SelectRow(*w.lbFunctions, RowOf("OnTick"));
  EXPECT_EQ(w.StatusText(0), "Line 7:  public OnTick(id)");
  SelectRow(*w.lbFunctions, RowOf(" // this script"));
  EXPECT_EQ(w.StatusText(0), "Functions of this script");
  SelectRow(*w.lbFunctions, RowOf("half"));
  DoubleClickCurrentRow(*w.lbFunctions);
  EXPECT_EQ(w.moCode->CaretPos(), (TBufferCoord{1, 12}));
  EXPECT_EQ(w.moCode->Lines()[11], "stock Float:half(Float:v, n)");  // no call inserted
  EXPECT_FALSE(w.DocumentModified);
  // A native's row still inserts its call.
  SelectRow(*w.lbFunctions, RowOf("beep"));
  DoubleClickCurrentRow(*w.lbFunctions);
  EXPECT_EQ(w.moCode->Lines()[11], "beep()stock Float:half(Float:v, n)");

  // Closing (the inserted call not saved) empties the script's part; the natives stay.
  dialogs_->MessageAnswers = {mrNo};
  w.miCloseClick(w.miClose);
  w.WaitForCatalog();
  EXPECT_EQ(Rows(), natives);
  EXPECT_EQ(w.scpCode->InsertList().Count(), 2);
}

TEST_F(ScriptFunctionsTest, RebuiltASecondAfterTheTypingStops) {
  std::string file = root_ + "/s.pwn";
  WriteFile(file, "main()\n{\n}\n\n");
  TfmMain& w = Start({file});
  ASSERT_EQ(Rows().back(), "main");
  w.moCode->SetCaretPos({1, 4});
  Type("helper(a,b){");
  // Not on every keystroke: nothing yet, and each key starts the wait anew.
  EXPECT_EQ(RowOf("helper"), -1);
  clock_.Advance(999);
  EXPECT_EQ(RowOf("helper"), -1);
  Type("x");
  clock_.Advance(999);
  EXPECT_EQ(RowOf("helper"), -1);
  clock_.Advance(1);
  // Built on a thread of its own, shown when it is ready.
  ASSERT_NE(RowOf("helper"), -1);
  EXPECT_EQ(RowOf("helper"), RowOf("main") + 1);
  // Once: the timer is stopped after the rebuild.
  size_t count = Rows().size();
  clock_.Advance(5000);
  EXPECT_EQ(Rows().size(), count);

  // Completion and the hints offer them after the natives.
  EXPECT_EQ(w.scpCode->InsertList()[3], "helper");
  EXPECT_EQ(w.scpCode->ItemList()[3], "function \\column{}\\style{+B}helper\\style{-B}(a,b)");
  EXPECT_EQ(w.scpCode->ItemList().Count(), 4);
  std::string input;
  int x = 0, y = 0;
  bool canExecute = false;
  w.moCode->SetCaretPos({1, 2});
  Type("helper(1, ");
  w.scpParamsExecute(ctParams, w.scpParams.get(), input, x, y, canExecute);
  EXPECT_TRUE(canExecute);
  ASSERT_EQ(w.scpParams->ItemList().Count(), 1);
  EXPECT_EQ(w.scpParams->ItemList()[0], "\"a,\",\"b\"");

  // Saving rebuilds at once; a second rebuild keeps the lists' lengths.
  w.moCode->SetCaretPos({1, 1});
  Type("public OnX() {}\n");
  w.miSaveClick(w.miSave);
  EXPECT_EQ(Rows()[Rows().size() - 2], "OnX");
  EXPECT_EQ(Rows().back(), "helper");
  EXPECT_EQ(w.scpCode->ItemList().Count(), 4);
  EXPECT_EQ(w.scpCode->ItemList()[2], "public \\column{}\\style{+B}OnX\\style{-B}()");
}

TEST_F(ScriptFunctionsTest, NewShowsTheTemplatesFunctions) {
  WriteFile(programDir_ + "/new.pwn", "main()\n{\n}\n");
  TfmMain& w = Start();
  w.miNewClick(w.miNew);
  w.WaitForCatalog();
  EXPECT_EQ(Rows().back(), "main");
}
