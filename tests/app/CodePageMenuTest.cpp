#include <QAction>
#include <QKeyEvent>
#include <QMenu>

#include "app/MainWindowTestSupport.h"
#include "base/SynCodePage.h"

using namespace ludra;

class CodePageMenuTest : public MainWindowTest {
 protected:
  void TearDown() override {
    MainWindowTest::TearDown();
    SetCodePage(nullptr);
  }
  QAction* Item(int number) {
    for (QAction* a : window_->miCodePage->actions())
      if (a->data().toInt() == number) return a;
    return nullptr;
  }
  std::vector<std::string> Checked() {
    std::vector<std::string> names;
    for (QAction* a : window_->miCodePage->actions())
      if (a->isChecked()) names.push_back(a->iconText().toStdString());
    return names;
  }
};

TEST_F(CodePageMenuTest, OffersFourPagesAndRemembersTheChoice) {
  TfmMain& w = Start();
  std::vector<std::string> captions;
  for (QAction* a : w.miCodePage->actions()) captions.push_back(a->iconText().toStdString());
  EXPECT_EQ(captions, (std::vector<std::string>{"Windows-1252", "Windows-1251", "Windows-1250",
                                                "ISO-8859-1"}));
  EXPECT_EQ(w.miCodePage->title().toStdString(), "Code &Page");
  EXPECT_EQ(Checked(), std::vector<std::string>{"Windows-1252"});
  EXPECT_EQ(CodePage().Number(), 1252);

  Item(1251)->trigger();
  EXPECT_EQ(Checked(), std::vector<std::string>{"Windows-1251"});
  EXPECT_EQ(CodePage().Number(), 1251);
  EXPECT_EQ(Ini("Display", "CodePage"), "1251");

  SetCodePage(nullptr);
  Start();
  EXPECT_EQ(CodePage().Number(), 1251);
  EXPECT_EQ(Checked(), std::vector<std::string>{"Windows-1251"});

  // A value that names no page on offer gives the default.
  WriteIni("[Display]\nCodePage=866\n");
  Start();
  EXPECT_EQ(CodePage().Number(), 1252);
  EXPECT_EQ(Checked(), std::vector<std::string>{"Windows-1252"});
}

TEST_F(CodePageMenuTest, SwitchingLeavesTheBytesAndTypingUsesThePage) {
  // Every byte but the line ends, in lines of 32.
  std::string text;
  for (int b = 1; b < 256; ++b) {
    if (b == '\r' || b == '\n') continue;
    text += static_cast<char>(b);
    if (text.size() % 33 == 32) text += "\r\n";
  }
  text += "\r\n";
  std::string file = root_ + "/all.pwn";
  WriteFile(file, text);
  TfmMain& w = Start({file});
  for (int number : {1251, 1250, 28591, 1252, 1251}) Item(number)->trigger();
  EXPECT_FALSE(w.DocumentModified);
  EXPECT_EQ(w.moCode->Lines().Text(), text);

  // A Cyrillic letter typed on the keyboard becomes its 1251 byte.
  w.moCode->SetCaretPos({1, 1});
  QKeyEvent key(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString::fromUtf8("\xD0\x96"));
  QApplication::sendEvent(w.moCode, &key);
  EXPECT_EQ(w.moCode->Lines()[0].substr(0, 2), std::string("\xC6\x01"));
  w.miSaveClick(w.miSave);
  EXPECT_EQ(ReadFile(file), "\xC6" + text);
}

TEST_F(CodePageMenuTest, TheFunctionListIsShownInTheNewPage) {
  std::filesystem::create_directories(programDir_ + "/include");
  WriteFile(programDir_ + "/include/ru.inc", "native \xCF\xF0\xE8\xE2\xE5\xF2(a);\n");
  // The script defines a function of the same name.
  std::string file = root_ + "/s.pwn";
  WriteFile(file, "stock \xCF\xF0\xE8\xE2\xE5\xF2(a)\n{\n}\n");
  TfmMain& w = Start({file});
  // The native's row and the script function's row, both shown as names.
  auto nameRows = [&] {
    std::vector<std::string> names;
    for (const std::string& row : ListRows(*w.lbFunctions))
      if (!row.starts_with(' ')) names.push_back(row);
    return names;
  };
  const std::string latin1 = "\xC3\x8F\xC3\xB0\xC3\xA8\xC3\xA2\xC3\xA5\xC3\xB2";
  const std::string cyrillic = "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82";
  EXPECT_EQ(nameRows(), (std::vector<std::string>{latin1, latin1}));
  Item(1251)->trigger();
  EXPECT_EQ(nameRows(), (std::vector<std::string>{cyrillic, cyrillic}));
}
