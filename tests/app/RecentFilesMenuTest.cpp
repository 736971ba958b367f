#include <QAction>
#include <QMenu>

#include "app/MainWindowTestSupport.h"

using namespace ludra;

class RecentFilesMenuTest : public MainWindowTest {
 protected:
  std::string Script(const std::string& name, const std::string& text = "main() {}\n") {
    std::string path = root_ + "/" + name;
    WriteFile(path, text);
    return path;
  }
  void Open(const std::string& path) {
    dialogs_->FileAnswers.push_back(path);
    window_->miOpen->trigger();
  }
  std::vector<std::string> MenuCaptions() const {
    std::vector<std::string> captions;
    for (QAction* a : window_->miReopen->actions()) captions.push_back(a->text().toStdString());
    return captions;
  }
};

TEST_F(RecentFilesMenuTest, OpenedAndSavedScriptsAreListedNewestFirstAndSurviveARestart) {
  std::string a = Script("a.pwn"), b = Script("b.pwn"), c = Script("c&d.pwn");
  TfmMain& w = Start({a});
  EXPECT_FALSE(w.miReopen->actions().isEmpty());
  Open(b);
  Open(c);
  // Saving a listed script moves it to the top; Save As lists the new name.
  Open(b);
  EXPECT_EQ(MenuCaptions(),
            (std::vector<std::string>{"&1 " + b, "&2 " + root_ + "/c&&d.pwn", "&3 " + a}));
  dialogs_->FileAnswers.push_back(root_ + "/e.pwn");
  w.miSaveAs->trigger();
  EXPECT_EQ(w.RecentFiles().Items()[0], root_ + "/e.pwn");
  EXPECT_EQ(w.miReopen->actions()[0]->statusTip().toStdString(), root_ + "/e.pwn");
  EXPECT_EQ(Ini("Recent", "File1"), root_ + "/e.pwn");
  EXPECT_EQ(Ini("Recent", "File4"), a);
  EXPECT_EQ(Ini("Recent", "File5"), "<none>");

  // A restart lists the same; choosing the second entry opens it as Open does.
  Start();
  EXPECT_EQ(window_->RecentFiles().Items(), (std::vector<std::string>{root_ + "/e.pwn", b, c, a}));
  window_->miReopen->actions()[1]->trigger();
  EXPECT_EQ(window_->CurrentFileName, b);
  EXPECT_EQ(Caption(), "b.pwn - Ludra");
  EXPECT_EQ(window_->StatusText(0), "File 'b.pwn' opened.");
  EXPECT_EQ(window_->RecentFiles().Items()[0], b);
  EXPECT_TRUE(dialogs_->Errors.empty());
}

TEST_F(RecentFilesMenuTest, ReopenAsksAboutChangesAndCancelKeepsTheDocument) {
  std::string a = Script("a.pwn", "first\n"), b = Script("b.pwn", "second\n");
  TfmMain& w = Start({a});
  Open(b);
  Type("X");
  dialogs_->MessageAnswers.push_back(mrCancel);
  w.miReopen->actions()[1]->trigger();
  EXPECT_EQ(dialogs_->Messages.back().Text, "File modified. Save changes?");
  EXPECT_EQ(w.CurrentFileName, b);
  EXPECT_EQ(w.moCode->Lines()[0], "Xsecond");

  dialogs_->MessageAnswers.push_back(mrNo);
  w.miReopen->actions()[1]->trigger();
  EXPECT_EQ(w.CurrentFileName, a);
  EXPECT_EQ(w.moCode->Lines()[0], "first");
  EXPECT_EQ(ReadFile(b), "second\n");
}

TEST_F(RecentFilesMenuTest, AMissingScriptGivesTheOpenErrorAndLeavesTheList) {
  std::string a = Script("a.pwn", "first\n"), b = Script("b.pwn"), c = Script("c.pwn");
  TfmMain& w = Start({a});
  Open(b);
  Open(c);
  std::filesystem::remove(b);
  w.miReopen->actions()[1]->trigger();
  ASSERT_EQ(dialogs_->Errors.size(), 1u);
  EXPECT_EQ(dialogs_->Errors[0].rfind("Cannot open file \"" + b + "\". ", 0), 0u);
  // The document stays as it was and the entry is gone, also from the file.
  EXPECT_EQ(w.CurrentFileName, c);
  EXPECT_EQ(w.RecentFiles().Items(), (std::vector<std::string>{c, a}));
  EXPECT_EQ(Ini("Recent", "File2"), a);
  EXPECT_EQ(Ini("Recent", "File3"), "<none>");
  EXPECT_EQ(MenuCaptions().size(), 2u);
}

TEST_F(RecentFilesMenuTest, LongNamesAreShortenedInTheMenuAndWholeInTheStatusTip) {
  std::string dir = root_ + "/" + std::string(30, 'd') + "/" + std::string(30, 'e');
  std::filesystem::create_directories(dir);
  std::string path = dir + "/long.pwn";
  WriteFile(path, "x\n");
  Start({path});
  QAction* item = window_->miReopen->actions()[0];
  std::string caption = item->text().toStdString();
  EXPECT_EQ(caption, "&1 " + ShortenMiddle(path));
  EXPECT_EQ(caption.size(), 3u + 60u);
  EXPECT_TRUE(caption.ends_with("/long.pwn"));
  EXPECT_EQ(item->statusTip().toStdString(), path);
}

TEST_F(RecentFilesMenuTest, ARefusedSettingsWriteIsReportedOnceAndTheListLivesOn) {
  std::string a = Script("a.pwn"), b = Script("b.pwn");
  // A folder in the file's place refuses every write.
  std::filesystem::create_directory(programDir_ + "/settings.ini");
  TfmMain& w = Start();
  size_t before = dialogs_->Errors.size();  // the association setting's report
  Open(a);
  Open(b);
  dialogs_->FileAnswers.push_back(root_ + "/c.pwn");
  w.miSaveAs->trigger();
  ASSERT_EQ(dialogs_->Errors.size(), before + 1);
  EXPECT_EQ(dialogs_->Errors.back(), "Unable to write to " + programDir_ + "/settings.ini.");
  EXPECT_EQ(w.RecentFiles().Items(), (std::vector<std::string>{root_ + "/c.pwn", b, a}));
  EXPECT_EQ(w.StatusText(0), "File saved as 'c.pwn'.");
  EXPECT_EQ(MenuCaptions().size(), 3u);
}
