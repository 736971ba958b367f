#include <gtest/gtest.h>
#include <signal.h>

#include <QThread>
#include <deque>

#include "app/CompileTestSupport.h"
#include "app/Main.h"
#include "app/unitOutput.h"
#include "app/unitRunOpts.h"

using namespace ludra;
using namespace ludra::test;

namespace {

// Save dialogs answer from a list (cancelled when it is empty); every other
// question is recorded and answered No or OK.
class ScriptedDialogs : public TLudraDialogs {
 public:
  std::deque<std::optional<std::string>> saveAnswers;
  std::vector<std::string> messages;
  std::vector<std::string> reports;

  TModalResult MessageDlg(QWidget*, const std::string& text, TMsgDlgType,
                          TMsgDlgButtons buttons) override {
    messages.push_back(text);
    return buttons == mbOK ? mrOk : mrNo;
  }
  std::optional<std::string> OpenFileName(QWidget*, const std::string&) override { return {}; }
  std::optional<std::string> SaveFileName(QWidget*, const std::string&,
                                          const std::string&) override {
    if (saveAnswers.empty()) return {};
    auto answer = saveAnswers.front();
    saveAnswers.pop_front();
    return answer;
  }
  std::optional<TSynFont> ChooseFont(QWidget*, const TSynFont&) override { return {}; }
  std::optional<std::string> InputQuery(QWidget*, const std::string&, const std::string&,
                                        const std::string&) override {
    return {};
  }
  void AboutBox(QWidget*, const std::string&, const std::string&) override {}
  void ReportError(QWidget*, const std::string& text) override { reports.push_back(text); }
  void OpenDocument(const std::string&, const std::string&) override {}
  void RunDetached(const std::vector<std::string>&) override {}
};

class CompileMainTest : public QtAppFixture {
 protected:
  void SetUp() override {
    QtAppFixture::SetUp();
    cwd_ = std::filesystem::current_path();
    WriteFile(script, "main() {}\n");
    InstallCompiler(
        programDir,
        kCompilerSucceeds + std::string("cat \"$3\" > \"$(dirname \"$0\")/compiled.txt\"\n"));
    WriteScript(runDir + "/server",
                "printf '%s\\n' \"$@\" > launched.tmp && mv launched.tmp launched.log\n");
    auto d = std::make_unique<ScriptedDialogs>();
    dialogs = d.get();
    main = std::make_unique<TfmMain>(programDir, std::vector<std::string>{}, std::move(d));
    main->FinishStart();
  }
  void TearDown() override {
    main.reset();
    std::filesystem::current_path(cwd_);  // Save As moves into the script's folder
    QtAppFixture::TearDown();
  }

  // Runs a command of the main window; the output window it opens is closed
  // once its compile has ended, and a Run Options dialog is handed to
  // `runOptions` (which saves or cancels it).
  void Run(void (TfmMain::*command)(QObject*),
           const std::function<void(TfmRunOptions&)>& runOptions = {}) {
    DriveModal([&] { (main.get()->*command)(nullptr); },
               [&](QWidget* modal) {
                 if (auto* out = qobject_cast<TfmOutput*>(modal)) {
                   if (!out->CompileDone()) return;
                   ++outputWindows;
                   outputText = out->moOutput->toPlainText().toStdString();
                   out->close();
                 } else if (auto* opts = qobject_cast<TfmRunOptions*>(modal)) {
                   ++runOptionsDialogs;
                   if (runOptions)
                     runOptions(*opts);
                   else
                     opts->bnCancelClick();
                 }
               });
  }

  TempDir tmp;
  std::string programDir = tmp / "program";
  std::string script = tmp / "scripts/a.pwn";
  std::string runDir = tmp / "run";
  std::string copyDir = tmp / "copy/";
  ScriptedDialogs* dialogs = nullptr;
  std::unique_ptr<TfmMain> main;
  int outputWindows = 0, runOptionsDialogs = 0;
  std::string outputText;

 private:
  std::filesystem::path cwd_;
};

TEST_F(CompileMainTest, CompileWithoutADocumentDoesNothing) {
  std::string status = main->StatusText(0);
  Run(&TfmMain::miCompileClick);
  EXPECT_EQ(outputWindows, 0);
  EXPECT_EQ(main->StatusText(0), status);
  EXPECT_FALSE(Exists(programDir + "/compiler.log"));
}

TEST_F(CompileMainTest, ANewDocumentIsSavedAsFirstAndACancelledSaveAsCompilesNothing) {
  main->miNewClick(nullptr);
  Run(&TfmMain::miCompileClick);
  EXPECT_EQ(outputWindows, 0);
  EXPECT_EQ(main->StatusText(0), "New file created.");
  EXPECT_EQ(main->CurrentFileName, "Untitled");

  std::string saved = tmp / "scripts/new one.pwn";
  dialogs->saveAnswers.push_back(saved);
  Run(&TfmMain::miCompileClick);
  EXPECT_EQ(outputWindows, 1);
  EXPECT_EQ(main->CurrentFileName, saved);
  EXPECT_TRUE(Exists(tmp / "scripts/new one.amx"));
  EXPECT_EQ(main->StatusText(0), "File 'new one.pwn' has been compiled to 'new one.amx'.");
  EXPECT_EQ(outputText, "Pawn compiler\n1 Warning.\n");
}

TEST_F(CompileMainTest, AModifiedDocumentIsSavedBeforeTheCompilerReadsIt) {
  main->LoadScript(script);
  main->moCode->Lines().Add("// added");
  main->DocumentModified = true;
  Run(&TfmMain::miCompileClick);
  EXPECT_EQ(ReadFile(programDir + "/compiled.txt"), "main() {}\n// added\n");
  EXPECT_FALSE(main->DocumentModified);
  EXPECT_EQ(main->StatusText(0), "File 'a.pwn' has been compiled to 'a.amx'.");
}

TEST_F(CompileMainTest, AScriptOpenedByARelativeNameIsCompiledWhereverTheCurrentDirectoryIs) {
  std::filesystem::current_path(tmp / "scripts");
  main->LoadScript("a.pwn");
  std::filesystem::create_directories(runDir);
  std::filesystem::current_path(runDir);
  Run(&TfmMain::miCompileClick);
  EXPECT_EQ(ReadFile(programDir + "/compiled.txt"), "main() {}\n");
  EXPECT_TRUE(Exists(tmp / "scripts/a.amx"));
  EXPECT_EQ(main->StatusText(0), "File 'a.pwn' has been compiled to 'a.amx'.");
}

TEST_F(CompileMainTest, AScriptPathThatIsNotUtf8ReachesTheCompilerAsItsBytes) {
  std::string folder = tmp / "scripts/caf\xe9";
  std::filesystem::create_directories(folder);
  WriteFile(folder + "/b\xff.pwn", "main() { /* bytes */ }\n");
  main->LoadScript(folder + "/b\xff.pwn");
  Run(&TfmMain::miCompileClick);
  EXPECT_TRUE(dialogs->messages.empty());
  EXPECT_EQ(ReadFile(programDir + "/compiled.txt"), "main() { /* bytes */ }\n");
  EXPECT_TRUE(Exists(folder + "/b\xff.amx"));
}

TEST_F(CompileMainTest, ACompileRunStoppedAtSaveAsDoesNotCarryOverToAPlainCompile) {
  main->ExeFile = runDir + "/server";
  main->CopyDir = copyDir;
  main->miNewClick(nullptr);
  Run(&TfmMain::miCompileRunClick);  // Save As cancelled
  EXPECT_EQ(outputWindows, 0);
  EXPECT_FALSE(main->RunAfterCompile);

  dialogs->saveAnswers.push_back(tmp / "scripts/b.pwn");
  Run(&TfmMain::miCompileClick);
  EXPECT_EQ(outputWindows, 1);
  EXPECT_TRUE(Exists(tmp / "scripts/b.amx"));
  EXPECT_FALSE(Exists(copyDir + "b.amx"));
  EXPECT_FALSE(main->RunAfterCompile);
}

TEST_F(CompileMainTest, CompileRunWithoutAProgramAsksForTheRunOptionsFirst) {
  main->LoadScript(script);
  // Cancelled: nothing is compiled.
  Run(&TfmMain::miCompileRunClick);
  EXPECT_EQ(runOptionsDialogs, 1);
  EXPECT_EQ(outputWindows, 0);
  EXPECT_FALSE(Exists(programDir + "/compiler.log"));

  // Saved with an empty program: still nothing.
  Run(&TfmMain::miCompileRunClick, [&](TfmRunOptions& fm) { fm.bnSaveClick(); });
  EXPECT_EQ(runOptionsDialogs, 2);
  EXPECT_EQ(outputWindows, 0);
  EXPECT_EQ(main->CopyDir, "/");

  // Saved with a program: the compile runs, copies and launches it.
  std::filesystem::create_directories(copyDir);
  Run(&TfmMain::miCompileRunClick, [&](TfmRunOptions& fm) {
    fm.edCopyDir->setText(QString::fromStdString(tmp / "copy"));
    fm.edExeFile->setText(QString::fromStdString(runDir + "/server"));
    fm.bnSaveClick();
  });
  EXPECT_EQ(runOptionsDialogs, 3);
  EXPECT_EQ(outputWindows, 1);
  EXPECT_EQ(main->CopyDir, copyDir);
  EXPECT_EQ(main->Settings().ReadString("RunOpts", "ExeFile", ""), runDir + "/server");
  EXPECT_TRUE(Exists(copyDir + "a.amx"));
  EXPECT_FALSE(main->RunAfterCompile);
  for (int i = 0; i < 2000 && !Exists(runDir + "/launched.log"); ++i) QThread::msleep(5);
  EXPECT_TRUE(Exists(runDir + "/launched.log"));
}

TEST_F(CompileMainTest, AMissingCompilerIsReportedInTheStatusAndAnErrorBox) {
  main->LoadScript(script);
  std::filesystem::remove(programDir + "/pawncc");
  Run(&TfmMain::miCompileClick);
  EXPECT_EQ(outputWindows, 1);
  EXPECT_EQ(outputText, "");
  // The message names where the compiler was looked for: here, then the PATH.
  ASSERT_EQ(dialogs->messages.size(), 1u);
  EXPECT_TRUE(dialogs->messages[0].starts_with("Unable to execute compiler: no pawncc found in " +
                                               programDir + ", /"))
      << dialogs->messages[0];
  EXPECT_EQ(main->StatusText(0), "Unable to compile 'a.pwn'.");
}

TEST_F(CompileMainTest, ClosingTheMainWindowDuringACompileEndsTheCompilerAndThenTheProgram) {
  InstallCompiler(programDir,
                  // The id file appears whole, by a rename.
                  "echo $$ > \"$(dirname \"$0\")/compiler.pid.new\"\n"
                  "mv \"$(dirname \"$0\")/compiler.pid.new\" \"$(dirname \"$0\")/compiler.pid\"\n"
                  "exec sleep 1000\n");
  main->LoadScript(script);
  main->show();
  bool closed = false;
  DriveModal([&] { main->miCompileClick(nullptr); },
             [&](QWidget* modal) {
               auto* out = qobject_cast<TfmOutput*>(modal);
               if (!out || !out->Busy() || closed || !Exists(programDir + "/compiler.pid")) return;
               closed = true;
               main->close();
             });
  EXPECT_TRUE(closed);
  pid_t pid = static_cast<pid_t>(std::atoi(ReadFile(programDir + "/compiler.pid").c_str()));
  EXPECT_TRUE(pid > 0 && kill(pid, 0) != 0);
  for (int i = 0; i < 100 && main->isVisible(); ++i) QApplication::processEvents();
  EXPECT_FALSE(main->isVisible());
  EXPECT_TRUE(main->Settings().ValueExists("Display", "WindowX"));  // the close ran to its end
  EXPECT_TRUE(dialogs->messages.empty());  // no "Stop the compiler?" for a closing program
}

TEST_F(CompileMainTest, ARefusedSettingsWriteIsReportedAndTheRunOptionsStayOpen) {
  std::string settings = programDir + "/settings.ini";
  std::filesystem::remove(settings);
  std::filesystem::create_directories(settings);  // a directory cannot be replaced by a file
  bool stayedOpen = false;
  Run(&TfmMain::miRunOptionsClick, [&](TfmRunOptions& fm) {
    if (!dialogs->reports.empty()) return;
    fm.edExeFile->setText("/srv/server");
    fm.bnSave->click();
    stayedOpen = fm.isVisible();
    fm.bnCancelClick();
  });
  ASSERT_EQ(dialogs->reports.size(), 1u);
  EXPECT_EQ(dialogs->reports[0], "Unable to write to " + settings + ".");
  EXPECT_TRUE(stayedOpen);
  EXPECT_EQ(main->ExeFile, "/srv/server");  // the options in memory were already updated
}

}  // namespace
