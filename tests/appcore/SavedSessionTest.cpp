#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "appcore/SavedSession.h"

using namespace ludra;
namespace fs = std::filesystem;

namespace {

class SavedSessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/ludra-saved-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string File(const std::string& name) {
    std::ofstream(dir_ + "/" + name) << "main() {}\n";
    return dir_ + "/" + name;
  }
  std::string dir_;
};

}  // namespace

TEST_F(SavedSessionTest, RoundTripThroughTheSettingsFile) {
  TProfileFile ini(dir_ + "/settings.ini");
  EXPECT_TRUE(RestoreSessionEnabled(ini));
  EXPECT_EQ(ReadSavedSession(ini), TSavedSession{});
  std::ofstream(ini.FileName()) << "[General]\nRestoreSession=0\n[session]\nfile9=/old\n";
  EXPECT_FALSE(RestoreSessionEnabled(ini));
  // Names with blanks, quotes, "=" and non-UTF-8 bytes come back as they were; one with a line
  // break cannot be stored and is left out; a shorter session drops the old keys.
  std::vector<TSavedSession> sessions = {
      {{{"/g/a b.pwn", 12}, {"/g/x=\"y\";z.pwn", 1}, {"/g/\xE9t\xE9.pwn", 40000}}, 2},
      {{{"/g/one.pwn", 3}}, 0},
      {{}, -1},
  };
  for (const TSavedSession& session : sessions) {
    WriteSavedSession(ini, session);
    EXPECT_EQ(ReadSavedSession(ini), session);
  }
  WriteSavedSession(ini, {{{"/g/a\nb.pwn", 2}, {"/g/c.pwn", 5}}, 1});
  EXPECT_EQ(ReadSavedSession(ini), (TSavedSession{{{"/g/c.pwn", 5}}, 0}));
  EXPECT_FALSE(RestoreSessionEnabled(ini));  // other sections untouched

  // A hand-edited section: a bad line reads as 1, a bad active index as the first.
  std::ofstream(ini.FileName()) << "[Session]\nActive=7\nFile1=/g/a.pwn\nLine1=x\nFile2=\n";
  EXPECT_EQ(ReadSavedSession(ini), (TSavedSession{{{"/g/a.pwn", 1}}, 0}));
}

TEST_F(SavedSessionTest, FilesGoneAreDroppedWithANote) {
  const std::string a = File("a.pwn"), c = File("c.pwn");
  const std::string gone = dir_ + "/gone.pwn", folder = dir_;
  struct TRow {
    TSavedSession saved;
    TSavedSession open;
    std::string note;
  } rows[] = {
      {{{{a, 3}, {gone, 9}, {c, 5}}, 2},
       {{{a, 3}, {c, 5}}, 1},
       "'gone.pwn' of the last session was not found."},
      {{{{a, 3}, {gone, 9}}, 1}, {{{a, 3}}, 0}, "'gone.pwn' of the last session was not found."},
      {{{{gone, 1}, {folder, 1}, {gone + "2", 1}, {gone + "3", 1}}, 0},
       {{}, -1},
       "4 files of the last session were not found: 'gone.pwn', '" +
           fs::path(dir_).filename().string() + "', 'gone.pwn2' and 1 more."},
      {{{{c, 1}}, 0}, {{{c, 1}}, 0}, ""},
  };
  for (const TRow& row : rows) {
    TRestorePlan plan = PlanRestore(row.saved);
    EXPECT_EQ(plan.Open, row.open);
    EXPECT_EQ(MissingFilesNote(plan.Missing), row.note);
  }
}
