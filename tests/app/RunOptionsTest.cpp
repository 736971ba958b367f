#include <gtest/gtest.h>

#include <QKeyEvent>

#include "app/CompileTestSupport.h"
#include "app/unitRunOpts.h"
#include "base/SynExceptions.h"
#include "platform/SynProfileFile.h"

using namespace ludra;
using namespace ludra::test;

namespace {

class RunOptionsTest : public QtAppFixture {
 protected:
  TempDir tmp;
  std::string settings = tmp / "settings.ini";
  std::string copyDir = "/srv/old/", exeFile = "/srv/old/server", params = "-old";
};

TEST_F(RunOptionsTest, TheDialogShowsTheRunOptionsInThreeLabelledEdits) {
  TfmRunOptions fm(nullptr, copyDir, exeFile, params, TProfileFile(settings));
  EXPECT_EQ(fm.windowTitle(), "Run Options");
  EXPECT_EQ(fm.size(), QSize(376, 202));
  EXPECT_EQ(fm.minimumSize(), fm.maximumSize());  // fixed size
  EXPECT_EQ(fm.lblCopyDir->text(), "Copy script to directory:");
  EXPECT_EQ(fm.lblExeFile->text(), "Execute this file:");
  EXPECT_EQ(fm.lblParams->text(), "With these parameters:");
  EXPECT_EQ(fm.edCopyDir->text(), "/srv/old/");
  EXPECT_EQ(fm.edExeFile->text(), "/srv/old/server");
  EXPECT_EQ(fm.edParams->text(), "-old");
  EXPECT_EQ(fm.edCopyDir->width(), 337);
  EXPECT_EQ(fm.bnSave->text(), "Save");
  EXPECT_EQ(fm.bnCancel->text(), "Cancel");
  EXPECT_GT(fm.bnCancel->x(), fm.bnSave->x());
  for (QPushButton* b : {fm.bnSave, fm.bnCancel}) {
    EXPECT_FALSE(b->isDefault());
    EXPECT_FALSE(b->autoDefault());
  }
}

TEST_F(RunOptionsTest, TabGoesThroughCopyDirExeFileSaveCancelThenParams) {
  TfmRunOptions fm(nullptr, copyDir, exeFile, params, TProfileFile(settings));
  std::vector<QWidget*> expected = {fm.edCopyDir, fm.edExeFile, fm.bnSave,
                                    fm.bnCancel,  fm.edParams,  fm.edCopyDir};
  QWidget* w = fm.edCopyDir;
  for (size_t i = 1; i < expected.size(); ++i) {
    do w = w->nextInFocusChain();
    while (!(w->focusPolicy() & Qt::TabFocus));
    EXPECT_EQ(w, expected[i]) << "step " << i << ": " << w->objectName().toStdString();
  }
}

TEST_F(RunOptionsTest, SaveEndsTheDirectoryWithASeparatorAndWritesTheThreeKeysInOrder) {
  struct Case {
    const char* typed;
    const char* stored;
  } cases[] = {
      {"", "/"},
      {"/srv/scripts", "/srv/scripts/"},
      {"/srv/scripts/", "/srv/scripts/"},
      {"relative dir", "relative dir/"},
      {"/a/b//", "/a/b//"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    std::filesystem::remove(settings);
    TfmRunOptions fm(nullptr, copyDir, exeFile, params, TProfileFile(settings));
    fm.edCopyDir->setText(c.typed);
    fm.edExeFile->setText("/srv/my server");
    fm.edParams->setText(" -x 'a b' ");
    fm.bnSaveClick();
    EXPECT_EQ(fm.result(), QDialog::Accepted);
    EXPECT_EQ(copyDir, c.stored);
    EXPECT_EQ(exeFile, "/srv/my server");
    EXPECT_EQ(params, " -x 'a b' ");  // untrimmed in memory
    std::string file = ReadFile(settings);
    size_t section = file.find("[RunOpts]"), k1 = file.find("CopyDir="), k2 = file.find("ExeFile="),
           k3 = file.find("Params=");
    ASSERT_NE(section, std::string::npos);
    EXPECT_TRUE(section < k1 && k1 < k2 && k2 < k3 && k3 != std::string::npos) << file;
    TProfileFile ini(settings);
    EXPECT_EQ(ini.ReadString("RunOpts", "CopyDir", "?"), c.stored);
    EXPECT_EQ(ini.ReadString("RunOpts", "ExeFile", "?"), "/srv/my server");
  }
}

TEST_F(RunOptionsTest, CancelAndTheCloseBoxStoreNothing) {
  WriteFile(settings, "[RunOpts]\nCopyDir=/srv/old/\n");
  for (int viaCloseBox = 0; viaCloseBox < 2; ++viaCloseBox) {
    TfmRunOptions fm(nullptr, copyDir, exeFile, params, TProfileFile(settings));
    fm.show();
    fm.edCopyDir->setText("/elsewhere");
    fm.edExeFile->setText("");
    fm.edParams->setText("-new");
    if (viaCloseBox)
      fm.close();
    else
      fm.bnCancel->click();
    EXPECT_FALSE(fm.isVisible());
    EXPECT_EQ(fm.result(), QDialog::Rejected);
    EXPECT_EQ(copyDir, "/srv/old/");
    EXPECT_EQ(exeFile, "/srv/old/server");
    EXPECT_EQ(params, "-old");
    EXPECT_EQ(ReadFile(settings), "[RunOpts]\nCopyDir=/srv/old/\n");
  }
}

TEST_F(RunOptionsTest, EnterPressesNeitherButtonAndEscapeCancels) {
  for (QWidget* (*in)(TfmRunOptions&) : {+[](TfmRunOptions& f) -> QWidget* { return f.edCopyDir; },
                                         +[](TfmRunOptions& f) -> QWidget* { return f.edParams; },
                                         +[](TfmRunOptions& f) -> QWidget* { return &f; }}) {
    TfmRunOptions fm(nullptr, copyDir, exeFile, params, TProfileFile(settings));
    fm.show();
    fm.edCopyDir->setText("/new");
    for (int key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
      EXPECT_TRUE(fm.isVisible());
      QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
      QApplication::sendEvent(in(fm), &press);
    }
    EXPECT_FALSE(fm.isVisible());
    EXPECT_EQ(fm.result(), QDialog::Rejected);
    EXPECT_EQ(copyDir, "/srv/old/");
    EXPECT_FALSE(Exists(settings));
  }
}

TEST_F(RunOptionsTest, ARefusedWriteKeepsTheDialogOpenWithTheOptionsAlreadyInMemory) {
  std::string unwritable = tmp / "no such dir/settings.ini";
  TfmRunOptions fm(nullptr, copyDir, exeFile, params, TProfileFile(unwritable));
  fm.show();
  fm.edCopyDir->setText("/srv/new");
  fm.edExeFile->setText("/srv/new/server");
  try {
    fm.bnSaveClick();
    FAIL() << "no error";
  } catch (const EIniFileException& e) {
    EXPECT_EQ(std::string(e.what()), "Unable to write to " + unwritable);
  }
  EXPECT_TRUE(fm.isVisible());
  EXPECT_EQ(copyDir, "/srv/new/");
  EXPECT_EQ(exeFile, "/srv/new/server");

  // Through the button, the error goes to the owner's report.
  std::vector<std::string> reports;
  fm.OnSaveError = [&](const std::string& m) { reports.push_back(m); };
  fm.bnSave->click();
  EXPECT_EQ(reports, std::vector<std::string>{"Unable to write to " + unwritable});
  EXPECT_TRUE(fm.isVisible());
}

}  // namespace
