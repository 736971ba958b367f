#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "appcore/RecentFiles.h"

using namespace ludra;
namespace fs = std::filesystem;

namespace {

class RecentFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/ludra-recent-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string File(const std::string& name) {
    std::string path = dir_ + "/" + name;
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path) << "main() {}\n";
    return path;
  }
  std::string dir_;
};

}  // namespace

TEST_F(RecentFilesTest, NewestFirstAtMostEightEachFileOnce) {
  TRecentFiles list;
  std::vector<std::string> files;
  for (int i = 1; i <= 10; ++i) files.push_back(File("s" + std::to_string(i) + ".pwn"));
  for (const std::string& f : files) EXPECT_TRUE(list.Add(f));
  ASSERT_EQ(list.Count(), 8);
  EXPECT_EQ(list.Items().front(), files[9]);
  EXPECT_EQ(list.Items().back(), files[2]);  // s1 and s2 fell off

  // Opening an older one again moves it to the top; the top one changes nothing.
  EXPECT_TRUE(list.Add(files[5]));
  EXPECT_EQ(list.Items()[0], files[5]);
  EXPECT_EQ(list.Items()[1], files[9]);
  EXPECT_EQ(list.Count(), 8);
  EXPECT_FALSE(list.Add(files[5]));

  EXPECT_TRUE(list.Remove(files[9]));
  EXPECT_FALSE(list.Remove(files[9]));
  EXPECT_EQ(list.Count(), 7);
  EXPECT_EQ(list.Items()[1], files[8]);
}

TEST_F(RecentFilesTest, OneFileUnderOtherNamesCountsOnce) {
  std::string a = File("sub/a.pwn");
  fs::create_directories(dir_ + "/other");
  fs::create_symlink(dir_ + "/sub", dir_ + "/link");
  TRecentFiles list;
  list.Add(a);
  list.Add(File("b.pwn"));
  // The same file by a detour through "..", by "." and through a linked folder.
  for (const std::string& alias :
       {dir_ + "/other/../sub/a.pwn", dir_ + "/./sub/./a.pwn", dir_ + "/link/a.pwn"}) {
    list.Add(dir_ + "/b.pwn");
    EXPECT_TRUE(list.Add(alias)) << alias;
    EXPECT_EQ(list.Count(), 2) << alias;
    EXPECT_EQ(SameFileKey(list.Items()[0]), SameFileKey(a));
  }
  // A name with a detour is listed in its plain form.
  list.Add(dir_ + "/other/../sub/a.pwn");
  EXPECT_EQ(list.Items()[0], dir_ + "/sub/a.pwn");
  // A relative name means the file in the current directory.
  std::string saved = fs::current_path();
  fs::current_path(dir_ + "/sub");
  EXPECT_EQ(SameFileKey("a.pwn"), SameFileKey(a));
  EXPECT_EQ(SameFileKey("../sub/a.pwn"), SameFileKey(a));
  fs::current_path(saved);
  // Files that do not exist compare by their plain form.
  EXPECT_EQ(SameFileKey(dir_ + "/gone/../x.pwn"), SameFileKey(dir_ + "/x.pwn"));
}

TEST_F(RecentFilesTest, StoredInEightKeysAndReadBackCleaned) {
  TProfileFile ini(dir_ + "/settings.ini");
  std::ofstream(ini.FileName()) << "[Display]\nFont_Size=12\n[Recent]\nFile1=/x/a.pwn\n"
                                   "File2=\nFile3=/x/../x/a.pwn\nFile4=/x/b.pwn\nFile9=/x/z.pwn\n";
  TRecentFiles list = ReadRecentFiles(ini);
  // Empty keys and repeats are skipped; keys past File8 are not read.
  EXPECT_EQ(list.Items(), (std::vector<std::string>{"/x/a.pwn", "/x/b.pwn"}));

  for (int i = 0; i < 9; ++i) list.Add("/y/f" + std::to_string(i) + ".pwn");
  WriteRecentFiles(ini, list);
  EXPECT_EQ(ReadRecentFiles(ini).Items(), list.Items());
  EXPECT_EQ(ini.ReadString("Recent", "File1", ""), "/y/f8.pwn");
  EXPECT_EQ(ini.ReadString("Recent", "File8", ""), "/y/f1.pwn");
  EXPECT_EQ(ini.ReadInteger("Display", "Font_Size", 0), 12);

  // A shorter list removes the keys past its end.
  TRecentFiles two;
  two.Assign({"/y/a.pwn", "/y/b.pwn"});
  WriteRecentFiles(ini, two);
  EXPECT_FALSE(ini.ValueExists("Recent", "File3"));
  EXPECT_FALSE(ini.ValueExists("Recent", "File8"));
  EXPECT_EQ(ReadRecentFiles(ini).Items(), two.Items());
}

TEST(ShortenMiddle, LongNamesLoseTheirMiddleOnCharacterBoundaries) {
  EXPECT_EQ(ShortenMiddle(""), "");
  std::string sixty(60, 'a');
  EXPECT_EQ(ShortenMiddle(sixty), sixty);
  std::string name = "/home/user/projects/gamemodes/" + std::string(40, 'x') + "/mode.pwn";
  std::string shortened = ShortenMiddle(name);
  EXPECT_EQ(shortened.size(), 60u);
  EXPECT_EQ(shortened.substr(0, 22), name.substr(0, 22));
  EXPECT_NE(shortened.find("..."), std::string::npos);
  EXPECT_TRUE(shortened.ends_with("/mode.pwn"));

  // Characters, not bytes: 61 two-byte letters are shortened to 60 letters'
  // worth, never cut inside one.
  std::string cyrillic;
  for (int i = 0; i < 61; ++i) cyrillic += "\xD0\xB6";
  std::string s = ShortenMiddle(cyrillic);
  EXPECT_EQ(s, std::string(cyrillic.substr(0, 22 * 2)) + "..." + cyrillic.substr(0, 35 * 2));
  for (int i = 0; i < 60; ++i)
    EXPECT_EQ(ShortenMiddle(cyrillic.substr(0, 2 * i)), cyrillic.substr(0, 2 * i));
}
