#include <QAction>
#include <cstdlib>

#include "app/MainWindowTestSupport.h"
#include "platform/FileAssociation.h"

using namespace ludra;
namespace fs = std::filesystem;

namespace {

// The main window with desktop directories of the test's own.
class FileAssocMainTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    for (const char* name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME"})
      saved_.emplace_back(name, std::getenv(name) ? std::getenv(name) : "");
    UseDesktopDirs(root_ + "/data", root_ + "/config");
  }
  void TearDown() override {
    MainWindowTest::TearDown();
    for (const auto& [name, value] : saved_) setenv(name.c_str(), value.c_str(), 1);
  }
  void UseDesktopDirs(const std::string& data, const std::string& config) {
    setenv("XDG_DATA_HOME", data.c_str(), 1);
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
  }
  TFileAssociation Association(const std::string& programDir) const {
    return TFileAssociation(programDir + "/app_tests", UserDesktopDirs());
  }
  // Which of the four items exist.
  std::vector<bool> Items(const TFileAssociation& a) const {
    return {fs::exists(a.IconPath()), fs::exists(a.DesktopEntryPath()),
            fs::exists(a.MimePackagePath()),
            ReadFile(a.MimeAppsPath()).find("text/x-pawn=ludra.desktop;") != std::string::npos};
  }
  const std::vector<bool> all_{true, true, true, true}, none_{false, false, false, false};
  std::vector<std::pair<std::string, std::string>> saved_;
};

TEST_F(FileAssocMainTest, StartUpAssociatesAndTheMenuItemTogglesIt) {
  TfmMain& w = Start();
  TFileAssociation a = Association(programDir_);
  EXPECT_EQ(w.ProgramFile(), programDir_ + "/app_tests");
  EXPECT_EQ(Items(a), all_);
  EXPECT_TRUE(a.OwnsDesktopEntry());
  EXPECT_EQ(Ini("General", "FileAssoc"), "1");
  const std::vector<std::string> refreshes{
      "update-mime-database " + root_ + "/data/mime",
      "update-desktop-database " + root_ + "/data/applications"};
  EXPECT_EQ(dialogs_->Detached, refreshes);

  w.miAssoc->trigger();
  EXPECT_FALSE(w.miAssoc->isChecked());
  EXPECT_EQ(Ini("General", "FileAssoc"), "0");
  EXPECT_EQ(Items(a), none_);
  EXPECT_EQ(dialogs_->Detached.size(), 4u);

  w.miAssoc->trigger();
  EXPECT_TRUE(w.miAssoc->isChecked());
  EXPECT_EQ(Ini("General", "FileAssoc"), "1");
  EXPECT_EQ(Items(a), all_);
  EXPECT_TRUE(dialogs_->Errors.empty());
}

TEST_F(FileAssocMainTest, EachStartAppliesTheStoredSetting) {
  // Moving the program and starting it again re-points the entry.
  std::string before = programDir_;
  Start();
  programDir_ = root_ + "/moved";
  fs::create_directories(programDir_);
  fs::copy_file(before + "/settings.ini", programDir_ + "/settings.ini");
  Start();
  EXPECT_TRUE(Association(programDir_).OwnsDesktopEntry());
  EXPECT_FALSE(Association(before).OwnsDesktopEntry());

  // Switched off in the settings: the next start removes it.
  WriteIni("[General]\nFileAssoc=0\n");
  TfmMain& w = Start();
  EXPECT_FALSE(w.miAssoc->isChecked());
  EXPECT_EQ(Items(Association(programDir_)), none_);
  EXPECT_EQ(Ini("General", "FileAssoc"), "0");
}

TEST_F(FileAssocMainTest, AnotherProgramsAssociationSurvivesSwitchingOff) {
  TFileAssociation other("/opt/other/ludra", UserDesktopDirs());
  other.RunTool = [](const std::vector<std::string>&) {};
  other.Register();
  WriteIni("[General]\nFileAssoc=0\n");
  TfmMain& w = Start();
  EXPECT_TRUE(other.OwnsDesktopEntry());
  EXPECT_EQ(Items(other), all_);
  w.miAssoc->trigger();  // on: ours now
  w.miAssoc->trigger();  // off: ours removed
  EXPECT_EQ(Items(other), none_);
  EXPECT_TRUE(dialogs_->Errors.empty());
}

TEST_F(FileAssocMainTest, RefusedDesktopWriteIsReportedAndStartUpGoesOn) {
  // A data directory that cannot be made (a file is in its place; this
  // holds for root too).
  WriteFile(root_ + "/data", "");
  std::string script = root_ + "/game.pwn";
  WriteFile(script, "main()\n{\n}\n");
  TfmMain& w = Start({script});
  EXPECT_EQ(
      dialogs_->Errors,
      (std::vector<std::string>{"Failed to set data for '" + root_ +
                                "/data/icons/hicolor/scalable/apps/ludra.svg'. Not a directory."}));
  EXPECT_EQ(Ini("General", "FileAssoc"), "1");
  EXPECT_TRUE(w.miAssoc->isChecked());
  EXPECT_EQ(w.CurrentFileName, script);
  EXPECT_NE(w.Catalog(), nullptr);  // the include folder was read

  // The mark follows the user, whatever the desktop says; the setting is
  // written before the desktop is asked.
  w.miAssoc->trigger();
  EXPECT_FALSE(w.miAssoc->isChecked());
  EXPECT_EQ(Ini("General", "FileAssoc"), "0");
  EXPECT_EQ(dialogs_->Errors.size(), 1u);
  w.miAssoc->trigger();
  EXPECT_TRUE(w.miAssoc->isChecked());
  EXPECT_EQ(Ini("General", "FileAssoc"), "1");
  EXPECT_EQ(dialogs_->Errors.size(), 2u);
}

TEST_F(FileAssocMainTest, RefusedSettingsWriteLeavesTheDesktopUntouched) {
  // settings.ini cannot be written (a directory has its name): the setting is
  // written first, so its error stops the association before it starts.
  fs::create_directories(programDir_ + "/settings.ini");
  Start();
  EXPECT_EQ(dialogs_->Errors,
            (std::vector<std::string>{"Unable to write to " + programDir_ + "/settings.ini."}));
  EXPECT_FALSE(fs::exists(root_ + "/data"));
  EXPECT_FALSE(fs::exists(root_ + "/config"));
}

}  // namespace
