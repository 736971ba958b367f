// The script's own includes in the function list, completion and the hints,
// doc comments where they are shown, and the filter box.
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

#include "app/DocPanel.h"
#include "app/MainWindowTestSupport.h"
#include "platform/SynTimer.h"

using namespace ludra;

namespace {

std::vector<std::string> Items(const TStrings& list) {
  std::vector<std::string> out;
  for (int i = 0; i < list.Count(); ++i) out.push_back(list[i]);
  return out;
}

}  // namespace

class IncludedFilesMainTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    triggerClock_ = &clock_;
    std::filesystem::create_directories(programDir_ + "/include");
    std::filesystem::create_directories(root_ + "/work");
    WriteFile(programDir_ + "/include/core.inc",
              "/// <summary>Prints <c>s</c> &lt;as is&gt;.</summary>\n"
              "/// <seealso name=\"printf\"/>\nnative print(const s[]);\n");
    WriteFile(root_ + "/work/lib.inc",
              "#include \"lib\"\n#include <core>\n#include \"nope\"\nnative print(const s[]);\n"
              "/// <summary><b>Moves</b> the <a href=\"x\">thing</a>.</summary>\n"
              "/// <param name=\"x\">Where to, in metres.</param>\n"
              "native Text:MoveThing(id, Float:x, const name[] = \"a, b\");\n"
              "stock Helper(a)\n{\n}\n");
    script_ = root_ + "/work/s.pwn";
    WriteFile(script_, "#include \"lib\"\n\nmain()\n{\n\t\n}\n");
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
  std::vector<std::string> ShownRows() const {
    std::vector<std::string> shown;
    std::vector<std::string> rows = Rows();
    for (size_t r = 0; r < rows.size(); ++r)
      if (!window_->lbFunctions->isRowHidden(static_cast<int>(r))) shown.push_back(rows[r]);
    return shown;
  }
  void Key(int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(window_->edFunctionFilter, &press);
  }
  TSynManualClock clock_;
  std::string script_;
};

TEST_F(IncludedFilesMainTest, IncludedDeclarationsAreListedOfferedAndDocumented) {
  TfmMain& w = Start({script_});
  EXPECT_EQ(Rows(), (std::vector<std::string>{" ", " // core.inc", " ", "print", " ", " ",
                                              " // lib.inc", " ", "print", "MoveThing", "Helper",
                                              " ", " ", " // this script", " ", "main"}));
  ASSERT_NE(w.lblIncludeNote, nullptr);
  EXPECT_EQ(w.lblIncludeNote->text().toStdString(), "Include file \"nope\" not found");
  // One entry for print, declared twice.
  EXPECT_EQ(Items(w.scpCode->InsertList()),
            (std::vector<std::string>{"print", "MoveThing", "Helper", "main"}));
  // A click shows the declaration and its summary.
  SelectRow(*w.lbFunctions, RowOf("MoveThing"));
  EXPECT_EQ(w.StatusText(0),
            "[lib.inc]  native Text:MoveThing(id, Float:x, const name[] = \"a, "
            "b\");  \u2014  Moves the thing.");
  SelectRow(*w.lbFunctions, 3);
  EXPECT_EQ(w.StatusText(0), "[core.inc]  native print(const s[]);  \u2014  Prints s <as is>.");

  // The hint: the bold parameter, the summary and that parameter's text.
  w.moCode->SetCaretPos({2, 5});
  Type("MoveThing(");
  clock_.Advance(1200);
  ASSERT_TRUE(w.scpParams->Visible());
  Type("1, ");
  ASSERT_EQ(w.scpParams->ItemList().Count(), 3);
  EXPECT_EQ(w.scpParams->ItemList()[0], R"("id,","Float:x,","const name[] = ""a, b""")");
  EXPECT_EQ(w.scpParams->CurrentIndex(), 1);
  EXPECT_EQ(w.scpParams->ItemList()[1], "\\style{+B}Moves\\style{-B} the thing.");
  EXPECT_EQ(w.scpParams->ItemList()[2], "\\style{+B}x: \\style{-B}Where to, in metres.");
  // The call goes on on the next line; a name in another letter case is
  // another function.
  uint16_t enter = VK_RETURN, space = VK_SPACE;
  w.moCode->KeyDown(enter, {});
  Type("\r2, ");
  ASSERT_TRUE(w.scpParams->Visible());
  EXPECT_EQ(w.scpParams->CurrentIndex(), 2);
  Type("0); movething(");
  clock_.Advance(1200);
  EXPECT_FALSE(w.scpParams->Visible());
  // The completion list's panel shows the doc rendered.
  w.moCode->SetCaretPos({1, 2});
  Type("pri");
  w.activateWindow();
  QApplication::processEvents();
  w.moCode->KeyDown(space, {ssCtrl});
  ASSERT_TRUE(w.scpCode->Visible());
  w.ShowCompletionDoc();
  EXPECT_EQ(
      w.pnCompletionDoc->Lines(),
      (std::vector<std::string>{"Prints \\font{Courier New}s\\font{} <as is>.",
                                "\\style{+B}See also: \\style{-B}\\font{Courier New}printf"}));
  w.scpCode->CancelProposal();

  // A double click on an included native inserts its call.
  w.moCode->SetCaretPos({1, 5});
  SelectRow(*w.lbFunctions, RowOf("Helper"));
  DoubleClickCurrentRow(*w.lbFunctions);
  EXPECT_EQ(w.moCode->Lines()[4].substr(0, 8), "Helper()");
}

TEST_F(IncludedFilesMainTest, FilterNarrowsTheListAndEnterInsertsTheSelectedName) {
  TfmMain& w = Start({script_});
  w.moCode->SetCaretPos({2, 5});
  w.edFunctionFilter->setText("THING");
  EXPECT_EQ(ShownRows(), (std::vector<std::string>{" // lib.inc", "MoveThing"}));
  w.edFunctionFilter->setText("r");
  EXPECT_EQ(ShownRows(),
            (std::vector<std::string>{" // core.inc", "print", " // lib.inc", "print", "Helper"}));
  for (int key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Return}) Key(key);
  EXPECT_EQ(w.moCode->Lines()[4], "\tHelper()");
  Key(Qt::Key_Escape);
  EXPECT_TRUE(w.edFunctionFilter->text().isEmpty());
  EXPECT_EQ(ShownRows(), Rows());
}
