#include <QAction>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <set>

#include "app/MainWindowTestSupport.h"
#include "editor/SynEditMiscClasses.h"

using namespace ludra;

namespace {

std::vector<QAction*> EnabledRuleItems(TfmMain& w) {
  return {w.miClose, w.miSave,      w.miSaveAs,  w.miUndo,      w.miCut,      w.miCopy,
          w.miPaste, w.miDelete,    w.miFind,    w.miFindNext,  w.miFindPrev, w.miReplace,
          w.miGoto,  w.miSelectAll, w.miCompile, w.miCompileRun};
}

}  // namespace

TEST_F(MainWindowTest, FirstStartWithoutSettings) {
  TfmMain& w = Start();
  EXPECT_EQ(Caption(), "Ludra");
  EXPECT_EQ(w.moCode->Font().Name, "Courier New");
  EXPECT_EQ(w.moCode->Font().Size, 10);
  EXPECT_TRUE(w.lbFunctions->font().bold());
  EXPECT_EQ(w.lbFunctions->font().pointSize(), 10);
  // Asked for like the editor's face, so one substitute lookup serves both.
  EXPECT_EQ(w.lbFunctions->font().styleHint(),
            TSynQtCanvas::ToQFont(w.moCode->Font(), {}).styleHint());
  EXPECT_TRUE(w.miShowFunctionList->isChecked());
  EXPECT_TRUE(w.lbFunctions->isVisible());
  EXPECT_TRUE(w.miAssoc->isChecked());
  EXPECT_EQ(Ini("General", "FileAssoc"), "1");
  EXPECT_EQ(w.ClientWidth(), 744);
  EXPECT_EQ(w.ClientHeight(), 432);
  EXPECT_EQ(w.FunctionListWidth(), 185);
  EXPECT_FALSE(w.isMaximized());
  QRect area = w.screen()->availableGeometry();
  EXPECT_LE(std::abs(w.frameGeometry().center().x() - area.center().x()), 1);
  EXPECT_LE(std::abs(w.frameGeometry().center().y() - area.center().y()), 1);
  EXPECT_EQ(w.StatusText(0), "Ludra is ready.");
  EXPECT_EQ(w.StatusText(1), "");
  // No document: editor and list off, no line numbers, only New, Open and Help buttons.
  EXPECT_FALSE(w.moCode->isEnabled());
  EXPECT_FALSE(w.lbFunctions->isEnabled());
  EXPECT_FALSE(w.moCode->Gutter().ShowLineNumbers());
  for (QAction* on : {w.tbNew, w.tbOpen, w.tbHelpTopics}) EXPECT_TRUE(on->isEnabled());
  for (QAction* off :
       {w.tbSave, w.tbFind, w.tbFindNext, w.tbFindPrev, w.tbReplace, w.tbCompile, w.tbCompileRun})
    EXPECT_FALSE(off->isEnabled()) << off->objectName().toStdString();
  EXPECT_EQ(w.tbFindPrev->toolTip().toStdString(), "Find Prev");
  EXPECT_TRUE(dialogs_->Errors.empty());
}

TEST_F(MainWindowTest, SettingsAreReadWithDefaultsForBadValues) {
  struct Case {
    const char* ini;
    std::string fontName;
    int fontSize;
    bool showList;
    bool assoc;
  } cases[] = {
      {"[Display]\nFont_Size=0x0C\n", "Courier New", 12, true, true},
      {"[DISPLAY]\nfont_name=Liberation Mono\nFONT_SIZE=14\nShowFuncList=0\n", "Liberation Mono",
       14, false, true},
      {"[Display]\nFont_Size=abc\nShowFuncList=7\n[General]\nFileAssoc=0\n", "Courier New", 10,
       true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.ini);
    WriteIni(c.ini);
    TfmMain& w = Start();
    EXPECT_EQ(w.moCode->Font().Name, c.fontName);
    EXPECT_EQ(w.moCode->Font().Size, c.fontSize);
    EXPECT_EQ(w.lbFunctions->font().pointSize(), c.fontSize);
    EXPECT_EQ(w.miShowFunctionList->isChecked(), c.showList);
    EXPECT_EQ(w.lbFunctions->isVisible(), c.showList);
    EXPECT_EQ(w.miAssoc->isChecked(), c.assoc);
    EXPECT_EQ(Ini("General", "FileAssoc"), c.assoc ? "1" : "0");
  }
}

TEST_F(MainWindowTest, RunOptionsAreReadAtStartUp) {
  WriteIni("[RunOpts]\nCopyDir=/srv/gm/\nExeFile=/srv/server\nParams=-port 7777\n");
  TfmMain& w = Start();
  EXPECT_EQ(w.CopyDir, "/srv/gm/");
  EXPECT_EQ(w.ExeFile, "/srv/server");
  EXPECT_EQ(w.Params, "-port 7777");
}

TEST_F(MainWindowTest, GeometryIsStoredOnCloseAndRestored) {
  TfmMain& w = Start();
  w.SetClientSize(600, 300);
  QApplication::processEvents();
  ASSERT_TRUE(CloseWindow());
  EXPECT_EQ(Ini("Display", "WindowMax"), "0");
  EXPECT_EQ(Ini("Display", "WindowW"), "600");
  EXPECT_EQ(Ini("Display", "WindowH"), "300");
  EXPECT_EQ(Ini("Display", "Splitter"), "185");
  EXPECT_NE(Ini("Display", "WindowX"), "<none>");
  EXPECT_NE(Ini("Display", "WindowY"), "<none>");

  TfmMain& again = Start();
  EXPECT_EQ(again.ClientWidth(), 600);
  EXPECT_EQ(again.ClientHeight(), 300);
  EXPECT_FALSE(again.isMaximized());
}

TEST_F(MainWindowTest, MaximizedWindowStoresTheRestoredGeometryAndOpensMaximized) {
  WriteIni("[Display]\nWindowW=640\nWindowH=320\nSplitter=150\n");
  TfmMain& w = Start();
  EXPECT_EQ(w.FunctionListWidth(), 150);
  w.setWindowState(Qt::WindowMaximized);
  QApplication::processEvents();
  ASSERT_TRUE(w.isMaximized());
  ASSERT_TRUE(CloseWindow());
  EXPECT_EQ(Ini("Display", "WindowMax"), "1");
  EXPECT_EQ(Ini("Display", "WindowW"), "640");
  EXPECT_EQ(Ini("Display", "WindowH"), "320");
  EXPECT_EQ(Ini("Display", "Splitter"), "150");

  TfmMain& again = Start();
  EXPECT_TRUE(again.isMaximized());
  again.setWindowState(Qt::WindowNoState);
  QApplication::processEvents();
  EXPECT_EQ(again.ClientWidth(), 640);
  EXPECT_EQ(again.ClientHeight(), 320);
}

TEST_F(MainWindowTest, OutOfRangeGeometryIsKeptToWhatTheScreenCanShow) {
  const char* cases[] = {
      "WindowX=2147483647\nWindowY=2147483647\n",
      "WindowX=-2147483648\nWindowY=-2147483648\nWindowW=-2147483648\nWindowH=-5\n",
      "WindowW=999999\nWindowH=999999\n",
      "WindowW=2147483647\nWindowH=2147483647\nSplitter=2147483647\n",
      "Splitter=-2147483648\n",
      "WindowX=0x7FFFFFFF\nWindowW=0x7FFFFFFF\nSplitter=999999\n",
  };
  for (const char* values : cases) {
    SCOPED_TRACE(values);
    WriteIni(std::string("[Display]\n") + values);
    for (int start = 0; start < 2; ++start) {  // the stored values, then those written back
      SCOPED_TRACE(start);
      TfmMain& w = Start();
      QRect area = w.screen()->availableGeometry();
      EXPECT_TRUE(area.intersects(w.frameGeometry()));
      EXPECT_LE(w.frameGeometry().width(), area.width());
      EXPECT_LE(w.frameGeometry().height(), area.height());
      EXPECT_GT(w.ClientWidth(), 0);
      EXPECT_GT(w.ClientHeight(), 0);
      EXPECT_GE(w.FunctionListWidth(), 0);
      EXPECT_LT(w.FunctionListWidth(), w.ClientWidth());
      EXPECT_GT(w.moCode->width(), 0);
      ASSERT_TRUE(CloseWindow());
      for (const char* key : {"WindowW", "Splitter"})
        EXPECT_LE(std::stoll(Ini("Display", key)), area.width()) << key;
      EXPECT_LE(std::stoll(Ini("Display", "WindowH")), area.height());
      EXPECT_LE(std::llabs(std::stoll(Ini("Display", "WindowX"))), 2 * area.width());
      EXPECT_LE(std::llabs(std::stoll(Ini("Display", "WindowY"))), 2 * area.height());
    }
  }
}

TEST_F(MainWindowTest, HostileSettingsStartFineAndEveryLineNotOwnedIsKept) {
  using namespace std::string_literals;
  // Lines the program does not own: garbage, NULs, comments, other sections,
  // unknown keys, an over-long value.
  const std::vector<std::string> foreign = {
      "garbage without an equals sign",
      "\x01\x02\xff\xfe binary \0 with a NUL"s,
      "; a comment",
      "[Other]",
      "Key=value with \0 NUL"s,
      "Long=" + std::string(100000, 'v'),
      "[Display]",
      "Unknown=1",
      "=no key",
      "[",
  };
  const std::vector<std::string> hostileValues = {
      "Font_Size=99999999999999999999",
      "Font_Name=" + std::string(5000, 'F'),
      "ShowFuncList=0x",
      "WindowMax=-0",
      "WindowW=\0"s,
      "Splitter=0x80000000",
  };
  struct Style {
    const char* name;
    std::string bom, eol;
  } styles[] = {{"LF", "", "\n"}, {"CRLF", "", "\r\n"}, {"BOM and CRLF", "\xEF\xBB\xBF", "\r\n"}};
  for (const Style& st : styles) {
    SCOPED_TRACE(st.name);
    std::string text = st.bom;
    for (const auto& line : foreign) text += line + st.eol;
    for (const auto& line : hostileValues) text += line + st.eol;
    WriteIni(text);
    TfmMain& w = Start();
    EXPECT_TRUE(dialogs_->Errors.empty());
    EXPECT_EQ(w.StatusText(0), "Ludra is ready.");
    EXPECT_GT(w.moCode->Font().Size, 0);
    EXPECT_TRUE(w.isVisible());
    ASSERT_TRUE(CloseWindow());

    std::string after = ReadFile(programDir_ + "/settings.ini");
    EXPECT_TRUE(after.starts_with(st.bom + foreign[0] + st.eol));
    // Every foreign line is still there, whole and in its order.
    size_t at = 0;
    for (const auto& line : foreign) {
      size_t found = after.find(line + st.eol, at);
      ASSERT_NE(found, std::string::npos) << line.substr(0, 40);
      at = found + line.size();
    }
    if (st.eol == "\r\n") {
      for (size_t i = 0; i < after.size(); ++i)
        if (after[i] == '\n') {
          ASSERT_TRUE(i > 0 && after[i - 1] == '\r') << i;
        }
    }
  }
}

TEST_F(MainWindowTest, EnabledRulesFollowTheDocument) {
  TfmMain& w = Start();
  auto runRules = [&] {
    w.miFileClick(w.miFile);
    w.miEditClick(w.miEdit);
    w.miBuildClick(w.miBuild);
    w.pmMainPopup(w.pmMain);
  };
  runRules();
  for (QAction* a : EnabledRuleItems(w)) EXPECT_FALSE(a->isEnabled()) << a->text().toStdString();
  for (QAction* a : {w.piUndo, w.piCut, w.piCopy, w.piPaste, w.piDelete, w.piSelectAll})
    EXPECT_FALSE(a->isEnabled());
  for (QAction* a : {w.miNew, w.miOpen, w.miExit, w.miRunOptions}) EXPECT_TRUE(a->isEnabled());

  w.miNewClick(w.miNew);
  runRules();
  for (QAction* a : EnabledRuleItems(w)) EXPECT_TRUE(a->isEnabled()) << a->text().toStdString();
  for (QAction* a : {w.piUndo, w.piCut, w.piCopy, w.piPaste, w.piDelete, w.piSelectAll})
    EXPECT_TRUE(a->isEnabled());
}

TEST_F(MainWindowTest, ContextMenuItemsActWhileTheEditRuleHasDisabledTheMenu) {
  TfmMain& w = Start();
  // The Edit menu opened with no document leaves its items disabled.
  w.miEditClick(w.miEdit);
  w.miNewClick(w.miNew);
  ASSERT_FALSE(w.miSelectAll->isEnabled());
  w.moCode->SetText("first\r\nsecond");
  w.pmMainPopup(w.pmMain);
  ASSERT_TRUE(w.piSelectAll->isEnabled());
  w.piSelectAll->trigger();
  EXPECT_EQ(w.moCode->SelectedText(), "first\r\nsecond");
  w.piDelete->trigger();
  EXPECT_EQ(w.moCode->Text(), "");
  w.piUndo->trigger();
  EXPECT_EQ(w.moCode->Text(), "first\r\nsecond");
}

TEST_F(MainWindowTest, AShortcutRunsItsMenuRuleFirst) {
  TfmMain& w = Start();
  int finds = 0;
  QObject::connect(w.miFind, &QAction::triggered, [&] { ++finds; });
  // Left enabled by an earlier rule: the rule must switch it off before dispatch.
  w.miFind->setEnabled(true);
  PressKey(Qt::Key_F, Qt::ControlModifier);
  EXPECT_EQ(finds, 0);
  EXPECT_FALSE(w.miFind->isEnabled());
  PressKey(Qt::Key_G, Qt::ControlModifier);
  EXPECT_TRUE(dialogs_->Inputs.empty());

  w.miNewClick(w.miNew);
  dialogs_->ModalAnswers.push_back([](QDialog&) { return mrCancel; });
  PressKey(Qt::Key_F, Qt::ControlModifier);
  EXPECT_EQ(finds, 1);
  EXPECT_EQ(dialogs_->ModalDialogs, std::vector<std::string>{"Search Text"});
  dialogs_->InputAnswers.push_back(std::nullopt);
  PressKey(Qt::Key_G, Qt::ControlModifier);
  ASSERT_EQ(dialogs_->Inputs.size(), 1u);
  EXPECT_EQ(dialogs_->Inputs[0], "Go to...|Enter line number:|0");
}

TEST_F(MainWindowTest, GoToPutsTheCaretAtTheStartOfTheLine) {
  WriteFile(root_ + "/ten.pwn", "a\nbb\nccc\ndddd\neeeee\nf\ng\nh\ni\nj\n");
  TfmMain& w = Start({root_ + "/ten.pwn"});
  struct Case {
    std::optional<std::string> answer;
    int line;
  } cases[] = {{"abc", 1}, {"4", 4}, {"-3", 1}, {"0", 1}, {"999", 10}, {"", 1}, {std::nullopt, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answer.value_or("<cancel>"));
    w.moCode->SetCaretPos({3, 5});
    dialogs_->InputAnswers.push_back(c.answer);
    w.miGotoClick(w.miGoto);
    if (!c.answer) {
      EXPECT_EQ(w.moCode->CaretLine(), 5);
      EXPECT_EQ(w.moCode->CaretChar(), 3);
    } else {
      EXPECT_EQ(w.moCode->CaretLine(), c.line);
      EXPECT_EQ(w.moCode->CaretChar(), 1);
    }
  }
}

TEST_F(MainWindowTest, StatusPanelShowsTheCaret) {
  std::string text;
  for (int i = 0; i < 14; ++i) text += "\tline\n";
  WriteFile(root_ + "/s.pwn", text);
  TfmMain& w = Start({root_ + "/s.pwn"});
  w.moCode->SetCaretPos({5, 12});
  EXPECT_EQ(w.StatusText(1), "Ln: 12   Col: 5");
  w.moCode->SetCaretPos({2, 3});
  EXPECT_EQ(w.StatusText(1), "Ln: 3   Col: 2");
}

TEST_F(MainWindowTest, StatusBarFitsItsFontAndTheLongestCaretTextAndMenusHaveMnemonics) {
  TfmMain& w = Start();
  for (QLabel* panel : w.sbMain->findChildren<QLabel*>()) {
    panel->setText(panel->text() + "Ln: 9999999   Col: 99999");
    EXPECT_GE(panel->contentsRect().height(), panel->fontMetrics().height());
    EXPECT_LE(panel->sizeHint().width(), panel->width());
  }
  QStringList menus;
  for (QAction* a : w.menuBar()->actions()) menus << a->text();
  EXPECT_EQ(menus, QStringList({"&File", "&Edit", "&Build", "&Options", "&Help"}));
  // Every item has a key of its own within its menu (Alt+F, then X exits).
  for (QMenu* menu : w.findChildren<QMenu*>()) {
    std::set<int> keys;
    for (QAction* a : menu->actions()) {
      if (a->isSeparator()) continue;
      QKeySequence key = QKeySequence::mnemonic(a->text());
      EXPECT_TRUE(!key.isEmpty() && keys.insert(key[0].toCombined()).second)
          << a->text().toStdString();
    }
  }
  EXPECT_EQ(QKeySequence::mnemonic(w.miExit->text()), QKeySequence(Qt::ALT | Qt::Key_X));
}

TEST_F(MainWindowTest, RedoIsOnTheEditMenuAndTheCaretPanelShowsFromTheStart) {
  TfmMain& w = Start();
  w.miNewClick(nullptr);
  EXPECT_EQ(w.StatusText(1), "Ln: 1   Col: 1");
  Type("a");
  w.miUndoClick(nullptr);
  EXPECT_EQ(w.moCode->Text(), "");
  PressKey(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(w.moCode->Text(), "a");
  EXPECT_TRUE(w.miEdit->actions().contains(w.miRedo));
  // Ctrl+Y stays the editor's key for deleting the line.
  PressKey(Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ(w.moCode->Text(), "");
}

TEST_F(MainWindowTest, FontCommandWritesBothKeysAlsoWhenCancelled) {
  TfmMain& w = Start();
  dialogs_->FontAnswers.push_back(std::nullopt);
  w.miFontClick(w.miFont);
  ASSERT_EQ(dialogs_->FontDialogs.size(), 1u);
  EXPECT_EQ(dialogs_->FontDialogs[0].Name, "Courier New");
  EXPECT_EQ(Ini("Display", "Font_Name"), "Courier New");
  EXPECT_EQ(Ini("Display", "Font_Size"), "10");

  TSynFont chosen;
  chosen.Name = "Liberation Mono";
  chosen.Size = 13;
  dialogs_->FontAnswers.push_back(chosen);
  w.miFontClick(w.miFont);
  EXPECT_EQ(w.moCode->Font().Name, "Liberation Mono");
  EXPECT_EQ(w.moCode->Font().Size, 13);
  EXPECT_EQ(w.lbFunctions->font().family().toStdString(), "Liberation Mono");
  EXPECT_EQ(w.lbFunctions->font().pointSize(), 13);
  EXPECT_TRUE(w.lbFunctions->font().bold());
  EXPECT_EQ(Ini("Display", "Font_Name"), "Liberation Mono");
  EXPECT_EQ(Ini("Display", "Font_Size"), "13");

  // The chosen style comes along; the dialog starts from the current one.
  for (TFontStyles style :
       {TFontStyles{fsBold}, TFontStyles{fsItalic}, TFontStyles{fsBold, fsItalic}, TFontStyles{}}) {
    TFontStyles before = w.moCode->Font().Style;
    chosen.Style = style;
    dialogs_->FontAnswers.push_back(chosen);
    w.miFontClick(w.miFont);
    EXPECT_EQ(dialogs_->FontDialogs.back().Style, before);
    EXPECT_EQ(w.moCode->Font().Style, style);
  }
}

TEST_F(MainWindowTest, ShowFunctionListTogglesListAndSetting) {
  TfmMain& w = Start();
  w.miShowFunctionList->trigger();
  EXPECT_FALSE(w.miShowFunctionList->isChecked());
  EXPECT_FALSE(w.lbFunctions->isVisible());
  EXPECT_EQ(Ini("Display", "ShowFuncList"), "0");
  w.miShowFunctionList->trigger();
  EXPECT_TRUE(w.miShowFunctionList->isChecked());
  EXPECT_TRUE(w.lbFunctions->isVisible());
  EXPECT_EQ(Ini("Display", "ShowFuncList"), "1");
  EXPECT_EQ(w.FunctionListWidth(), 185);
}

TEST_F(MainWindowTest, HelpTopicsOpensTheManualOrSaysWhereItLookedAndAboutNamesTheVersion) {
  TfmMain& w = Start();
  const std::string manual = programDir_ + "/pawn-lang.pdf";
  w.tbHelpTopics->trigger();
  EXPECT_TRUE(dialogs_->Documents.empty());
  ASSERT_EQ(dialogs_->Messages.size(), 1u);
  EXPECT_EQ(dialogs_->Messages[0].Text, "Help file '" + manual + "' not found.");
  WriteFile(manual, "%PDF");
  w.tbHelpTopics->trigger();
  ASSERT_EQ(dialogs_->Documents.size(), 1u);
  EXPECT_EQ(dialogs_->Documents[0], manual);
  w.miAbout->trigger();
  ASSERT_EQ(dialogs_->Abouts.size(), 1u);
  EXPECT_EQ(dialogs_->Abouts[0].rfind("About Ludra|Ludra\nVersion 1.0\n", 0), 0u);
  EXPECT_TRUE(dialogs_->Abouts[0].ends_with("\n\nSettings: " + programDir_ + "/settings.ini"));
}

TEST_F(MainWindowTest, UnwritableSettingsAreReportedAndStartUpGoesOn) {
  // A folder in the file's place: every write is refused, reads give defaults.
  std::filesystem::create_directory(programDir_ + "/settings.ini");
  WriteFile(root_ + "/a.pwn", "main() {}\n");
  TfmMain& w = Start({root_ + "/a.pwn"});
  const std::string error = "Unable to write to " + programDir_ + "/settings.ini.";
  // The association setting, then the recent-files list of the opened script.
  ASSERT_EQ(dialogs_->Errors.size(), 2u);
  EXPECT_EQ(dialogs_->Errors[0], error);
  EXPECT_EQ(dialogs_->Errors[1], error);
  EXPECT_EQ(w.StatusText(0), "Ludra is ready.");
  EXPECT_EQ(Caption(), "a.pwn - Ludra");
  // Status texts carry file names, shown as written even when they look like mark-up.
  for (QLabel* panel : w.sbMain->findChildren<QLabel*>())
    EXPECT_EQ(panel->textFormat(), Qt::PlainText);

  dialogs_->FontAnswers.push_back(std::nullopt);
  w.miFont->trigger();
  ASSERT_EQ(dialogs_->Errors.size(), 3u);
  EXPECT_EQ(dialogs_->Errors[2], error);
  // Closing still ends the program after reporting the refused write.
  EXPECT_TRUE(CloseWindow());
  EXPECT_EQ(dialogs_->Errors.size(), 4u);
}
