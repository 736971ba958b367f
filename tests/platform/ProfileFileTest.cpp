#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>

#include "base/SynExceptions.h"
#include "platform/SynProfileFile.h"
#include "platform/Unprivileged.h"

using namespace ludra;
namespace fs = std::filesystem;

namespace {

class ProfileFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/ludra-profile-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    // Reachable by the unprivileged user some tests switch to.
    fs::permissions(dir_, fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec |
                              fs::perms::group_read | fs::perms::others_read);
    path_ = dir_ + "/settings.ini";
  }
  void TearDown() override {
    std::error_code ec;
    for (const auto& entry : fs::recursive_directory_iterator(dir_, ec))
      if (!entry.is_symlink()) fs::permissions(entry.path(), fs::perms::owner_all, ec);
    fs::remove_all(dir_, ec);
  }

  static void Put(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
  }
  static std::string Get(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  std::vector<std::string> Entries(const std::string& dir) const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  std::string dir_;
  std::string path_;
};

// True when the write raises the refused-write error naming the file.
bool WriteIsRefused(const std::string& path) {
  try {
    TProfileFile(path).WriteString("RunOpts", "ExeFile", "server");
  } catch (const EIniFileException& e) {
    return std::string(e.what()) == "Unable to write to " + path;
  }
  return false;
}

const char* const kSample =
    "; written by hand\n"
    "[RunOpts]\n"
    "  CopyDir = /srv/game dir  \n"
    "ExeFile=\n"
    "\n"
    "[display]\n"
    "Font_Name=Courier New\n"
    "font_size=10\n"
    "Hex=0x1F\n"
    "HexUpper=0X10\n"
    "HexOnlyPrefix=0x\n"
    "HexBad=0x1G\n"
    "HexAll=0xFFFFFFFF\n"
    "HexTooBig=0x100000000\n"
    "Bad=12abc\n"
    "Neg=-5\n"
    "Plus=+7\n"
    "Sign=-\n"
    "Big=2147483648\n"
    "Min=-2147483648\n"
    "Spaced=\t42 \n"
    "Zero=0\n"
    "Empty=\n"
    "NoEquals\n"
    "Dup=first\n"
    "Dup=second\n"
    "Path=a=b\n"
    "[ Padded ]\n"
    "k=v\n"
    "[Display]\n"
    "Late=in a second section of the same name\n";

TEST_F(ProfileFileTest, ReadStringIgnoresCaseAndBlanksAndGivesDefaults) {
  Put(path_, kSample);
  TProfileFile ini(path_);
  struct Case {
    const char* section;
    const char* key;
    const char* want;
  } cases[] = {
      {"runopts", "copydir", "/srv/game dir"},
      {"RunOpts", "ExeFile", ""},  // present but empty: not the default
      {"RunOpts", "Params", "default"},
      {"Missing", "CopyDir", "default"},
      {"DISPLAY", "FONT_NAME", "Courier New"},
      {"Display", "Dup", "first"},
      {"Display", "Path", "a=b"},
      {"Display", "NoEquals", "default"},
      {"Padded", "k", "v"},
      {" Padded ", " k ", "v"},
      {"Display", "Late", "default"},  // only the first section of a name counts
      {"Display", "written by hand", "default"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ini.ReadString(c.section, c.key, "default"), c.want) << c.section << "/" << c.key;
}

TEST_F(ProfileFileTest, ReadIntegerAndReadBoolAcceptDecimalAndHexOnly) {
  Put(path_, kSample);
  TProfileFile ini(path_);
  struct Case {
    const char* key;
    int want;
  } cases[] = {
      {"font_size", 10}, {"Hex", 31},       {"HexUpper", 16}, {"HexOnlyPrefix", -3}, {"HexBad", -3},
      {"HexAll", -1},    {"HexTooBig", -3}, {"Bad", -3},      {"Neg", -5},           {"Plus", 7},
      {"Sign", -3},      {"Big", -3},       {"Min", INT_MIN}, {"Spaced", 42},        {"Empty", -3},
      {"Font_Name", -3}, {"Missing", -3},   {"Zero", 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ini.ReadInteger("Display", c.key, -3), c.want) << c.key;
    // A boolean is an integer that is not 0.
    EXPECT_EQ(ini.ReadBool("Display", c.key, true), c.want != 0) << c.key;
  }
  EXPECT_FALSE(ini.ReadBool("Display", "Bad", false));
}

TEST_F(ProfileFileTest, MissingFileGivesDefaultsAndIsCreatedByTheFirstWrite) {
  TProfileFile ini(path_);
  EXPECT_EQ(ini.ReadString("RunOpts", "CopyDir", "d"), "d");
  EXPECT_EQ(ini.ReadInteger("Display", "WindowW", 744), 744);
  EXPECT_TRUE(ini.ReadBool("General", "FileAssoc", true));
  EXPECT_FALSE(ini.SectionExists("RunOpts"));
  EXPECT_FALSE(ini.ValueExists("RunOpts", "CopyDir"));
  EXPECT_FALSE(fs::exists(path_));
  ini.WriteBool("General", "FileAssoc", true);
  EXPECT_EQ(Get(path_), "[General]\nFileAssoc=1\n");
}

TEST_F(ProfileFileTest, WritesKeepTheRestOfTheFileInPlace) {
  Put(path_,
      "; settings\n"
      "[RunOpts]\n"
      "copydir = old\n"
      "; params follow\n"
      "Params=-d3\n"
      "\n"
      "; display settings\n"
      "[Display]\n"
      "Font_Size=10\n");
  TProfileFile ini(path_);
  ini.WriteString("RUNOPTS", "CopyDir", "/srv/new");
  ini.WriteString("RunOpts", "ExeFile", "server");
  ini.WriteInteger("Display", "WindowX", -12);
  ini.WriteBool("General", "FileAssoc", true);
  ini.WriteBool("General", "Other", false);
  EXPECT_EQ(Get(path_),
            "; settings\n"
            "[RunOpts]\n"
            "copydir=/srv/new\n"
            "; params follow\n"
            "Params=-d3\n"
            "ExeFile=server\n"
            "\n"
            "; display settings\n"
            "[Display]\n"
            "Font_Size=10\n"
            "WindowX=-12\n"
            "\n"
            "[General]\n"
            "FileAssoc=1\n"
            "Other=0\n");
  EXPECT_EQ(ini.ReadString("RunOpts", "COPYDIR", ""), "/srv/new");
}

TEST_F(ProfileFileTest, LineEndsAndByteOrderMarkAreReadAndKeptOnWrite) {
  Put(path_, "[A]\r\nx= 1 \r\n\r\n[B]\r\ny=2");
  TProfileFile ini(path_);
  EXPECT_EQ(ini.ReadString("A", "x", ""), "1");
  EXPECT_EQ(ini.ReadInteger("B", "y", 0), 2);
  ini.WriteString("B", "z", "3");
  EXPECT_EQ(Get(path_), "[A]\r\nx= 1 \r\n\r\n[B]\r\ny=2\r\nz=3\r\n");

  Put(path_, "\xEF\xBB\xBF[A]\nx=1\n");
  EXPECT_EQ(ini.ReadInteger("A", "x", 0), 1);
  ini.WriteString("A", "y", "2");
  EXPECT_EQ(Get(path_), "\xEF\xBB\xBF[A]\nx=1\ny=2\n");
}

TEST_F(ProfileFileTest, EveryLineAWriteDoesNotTouchKeepsItsOwnLineEnd) {
  struct Case {
    const char* before;
    const char* section;
    const char* key;
    const char* after;
  };
  const Case cases[] = {
      // A line whose text ends in CR, in a file of LF line ends.
      {"[A]\nv=1\nnote\r\n", "A", "v", "[A]\nv=2\nnote\r\n"},
      {"[A]\nnote\r\r\n", "A", "v", "[A]\nnote\r\r\nv=2\n"},
      // Mixed ends: new lines take the first line's style, old ones keep theirs.
      {"[A]\nx=1\r\n;c\r\n[B]\ny=2\n", "A", "v", "[A]\nx=1\r\nv=2\n;c\r\n[B]\ny=2\n"},
      {"[A]\r\nv=1\n[B]\r\n", "A", "v", "[A]\r\nv=2\n[B]\r\n"},
      {"\xEF\xBB\xBF[A]\r\n\r\n;c\n", "A", "v", "\xEF\xBB\xBF[A]\r\nv=2\r\n\r\n;c\n"},
      // A last line without an end keeps it so, until a line follows it.
      {"[A]\r\nv=1", "A", "v", "[A]\r\nv=2"},
      {"[A]\nx=1\r", "A", "v", "[A]\nx=1\r\nv=2\n"},
      {"[A]\nx=1", "B", "v", "[A]\nx=1\n\n[B]\nv=2\n"},
  };
  TProfileFile ini(path_);
  for (const Case& c : cases) {
    Put(path_, c.before);
    ini.WriteInteger(c.section, c.key, 2);
    EXPECT_EQ(Get(path_), c.after) << testing::PrintToString(std::string(c.before));
  }
}

TEST_F(ProfileFileTest, AKeyWrittenAndDeletedAgainLeavesRandomFilesByteForByte) {
  const std::vector<std::string> texts = {
      "[S]", "k=1", "a", "; c", " ",  "",     "x\r",
      "\r",  "=",   "[", "k",   "\t", "\xFF", std::string(1, '\0')};
  const char* ends[] = {"\n", "\r\n", "\r\r\n"};
  std::mt19937 random(1418);
  TProfileFile ini(path_);
  for (int round = 0; round < 300; ++round) {
    std::string file = random() % 4 == 0 ? "\xEF\xBB\xBF[S]\n" : "[S]\r\n";
    for (int n = random() % 12; n > 0; --n)
      file += texts[random() % texts.size()] + ends[random() % 3];
    Put(path_, file);
    ini.WriteString("S", "NewKey", "value");
    ASSERT_EQ(ini.ReadString("S", "NewKey", ""), "value") << testing::PrintToString(file);
    ini.DeleteKey("S", "NewKey");
    ASSERT_EQ(Get(path_), file);
  }
}

TEST_F(ProfileFileTest, LongValuesAreStoredWholeAndReadUpTo2047Characters) {
  TProfileFile ini(path_);
  std::string value(3000, 'v');
  value[2046] = 'e';
  ini.WriteString("RunOpts", "Params", value);
  EXPECT_NE(Get(path_).find(value), std::string::npos);
  std::string read = ini.ReadString("RunOpts", "Params", "");
  EXPECT_EQ(read.size(), 2047u);
  EXPECT_EQ(read, value.substr(0, 2047));
}

TEST_F(ProfileFileTest, NothingIsCachedBetweenOperations) {
  TProfileFile reader(path_), writer(path_);
  EXPECT_EQ(reader.ReadString("RunOpts", "ExeFile", "none"), "none");
  writer.WriteString("RunOpts", "ExeFile", "a");
  EXPECT_EQ(reader.ReadString("RunOpts", "ExeFile", "none"), "a");
  Put(path_, "[RunOpts]\nExeFile=b\n");
  EXPECT_EQ(reader.ReadString("RunOpts", "ExeFile", "none"), "b");
  writer.WriteString("RunOpts", "CopyDir", "c");  // reads the changed file first
  EXPECT_EQ(Get(path_), "[RunOpts]\nExeFile=b\nCopyDir=c\n");
}

// Random files with repeated and differently cased sections and keys, blanks,
// comments and odd lines: a read finds what the writer's look-up finds (a
// key written there reads back; a key it says exists is found), a held
// object reads the same as a fresh one, and a held object sees no change
// until it writes.
TEST_F(ProfileFileTest, ReadsAgreeWithTheWritersLookUpAndHeldReadsWithFreshOnes) {
  const std::vector<std::string> texts = {"[S]",  "[s ]", "[T]",     "[ t]",  "k=1",   " K = 2 ",
                                          "k==3", "j=",   "=x",      "[",     "; k=4", "k",
                                          " ",    "",     "\t[S]\t", "j=5\r", "[S"};
  const char* ends[] = {"\n", "\r\n", "\r\r\n"};
  const char* sections[] = {"S", "s", " T ", "U"};
  const char* keys[] = {"k", "K ", "j", "x"};
  std::mt19937 random(1818);
  for (int round = 0; round < 300; ++round) {
    std::string file = random() % 5 == 0 ? "\xEF\xBB\xBF" : "";
    for (int n = random() % 14; n > 0; --n)
      file += texts[random() % texts.size()] + ends[random() % 3];
    if (random() % 2) file += texts[random() % texts.size()];
    Put(path_, file);
    TProfileFile fresh(path_), held(path_);
    held.Hold();
    for (const char* section : sections)
      for (const char* key : keys) {
        std::string value = fresh.ReadString(section, key, "<none>");
        EXPECT_EQ(value != "<none>", fresh.ValueExists(section, key))
            << testing::PrintToString(file) << section << key;
        EXPECT_EQ(held.ReadString(section, key, "<none>"), value);
      }
    const char* section = sections[random() % 4];
    const char* key = keys[random() % 4];
    std::string before = fresh.ReadString(section, key, "<none>");
    Put(path_, "[S]\nk=changed\n");
    EXPECT_EQ(fresh.ReadString("S", "k", ""), "changed");
    // The held object still reads the file as it was when it read it.
    EXPECT_EQ(held.ReadString(section, key, "<none>"), before);
    Put(path_, file);
    held.WriteString(section, key, "w");
    EXPECT_EQ(held.ReadString(section, key, ""), "w") << testing::PrintToString(file);
    EXPECT_EQ(fresh.ReadString(section, key, ""), "w");
  }
  // Holding a missing file gives the defaults until a write.
  fs::remove(path_);
  TProfileFile missing(path_);
  missing.Hold();
  Put(path_, "[A]\nb=1\n");
  EXPECT_EQ(missing.ReadString("A", "b", "none"), "none");
  missing.WriteString("A", "c", "2");
  EXPECT_EQ(missing.ReadString("A", "b", "none"), "1");
}

TEST_F(ProfileFileTest, LineBreaksInAValueCannotAddLines) {
  TProfileFile ini(path_);
  ini.WriteString("RunOpts", "Params", "-d3\n[General]\nFileAssoc=0");
  ini.WriteString("RunOpts", "ExeFile", "srv\rx");
  EXPECT_EQ(ini.ReadString("RunOpts", "Params", ""), "-d3");
  EXPECT_EQ(ini.ReadString("RunOpts", "ExeFile", ""), "srv");
  EXPECT_FALSE(ini.SectionExists("General"));
}

TEST_F(ProfileFileTest, NamesThatWouldBreakTheFileAreRefused) {
  TProfileFile ini(path_);
  for (auto [section, key] : std::vector<std::pair<std::string, std::string>>{{"A]", "k"},
                                                                              {"A\nB", "k"},
                                                                              {"A", "k=v"},
                                                                              {"A", ""},
                                                                              {"A", " "},
                                                                              {"A", "[k"},
                                                                              {"A", ";k"}})
    EXPECT_THROW(ini.WriteString(section, key, "v"), EIniFileException) << section << "/" << key;
  EXPECT_FALSE(fs::exists(path_));
}

TEST_F(ProfileFileTest, SectionsAndKeysAreListedDeletedAndErased) {
  Put(path_, "[A]\nx=1\n;c\ny=2\n[b]\nz=3\n[a]\nw=4\n");
  TProfileFile ini(path_);
  TStringList list;
  ini.ReadSections(list);
  EXPECT_EQ(list.Count(), 3);
  EXPECT_EQ(list[1], "b");
  ini.ReadSection("a", list);
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list[0], "x");
  EXPECT_EQ(list[1], "y");
  EXPECT_TRUE(ini.ValueExists("a", "Y"));
  EXPECT_TRUE(ini.SectionExists("B"));

  ini.DeleteKey("A", "X");
  EXPECT_EQ(Get(path_), "[A]\n;c\ny=2\n[b]\nz=3\n[a]\nw=4\n");
  ini.EraseSection("a");  // every section of that name
  EXPECT_EQ(Get(path_), "[b]\nz=3\n");
  ini.DeleteKey("b", "missing");
  ini.EraseSection("missing");
  EXPECT_EQ(Get(path_), "[b]\nz=3\n");
}

TEST_F(ProfileFileTest, WritesLeaveNoTemporaryFilesAndKeepPermissions) {
  Put(path_, "[A]\nx=1\n");
  fs::permissions(path_, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  TProfileFile ini(path_);
  ini.WriteInteger("A", "x", 2);
  ini.WriteInteger("A", "y", 3);
  EXPECT_EQ(Entries(dir_), std::vector<std::string>{"settings.ini"});
  EXPECT_EQ(fs::status(path_).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(ProfileFileTest, WritingThroughASymlinkUpdatesItsTarget) {
  fs::create_directory(dir_ + "/real");
  std::string target = dir_ + "/real/settings.ini";
  Put(target, "[A]\nx=1\n");
  fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write);
  fs::create_symlink("real/settings.ini", path_);  // relative to the link's directory

  TProfileFile ini(path_);
  ini.WriteInteger("A", "x", 2);
  EXPECT_TRUE(fs::is_symlink(path_));
  EXPECT_EQ(Get(target), "[A]\nx=2\n");
  EXPECT_EQ(fs::status(target).permissions(), fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(Entries(dir_ + "/real"), std::vector<std::string>{"settings.ini"});

  // A link whose target does not exist yet gets its target created.
  std::string dangling = dir_ + "/dangling.ini";
  fs::create_symlink(dir_ + "/real/new.ini", dangling);
  TProfileFile(dangling).WriteBool("General", "FileAssoc", false);
  EXPECT_TRUE(fs::is_symlink(dangling));
  EXPECT_EQ(Get(dir_ + "/real/new.ini"), "[General]\nFileAssoc=0\n");
}

TEST_F(ProfileFileTest, RefusedWritesRaiseAndLeaveTheFileAlone) {
  // No such directory; a parent that is a file; a loop of links.
  EXPECT_TRUE(WriteIsRefused(dir_ + "/missing/settings.ini"));
  Put(dir_ + "/plain", "x");
  EXPECT_TRUE(WriteIsRefused(dir_ + "/plain/settings.ini"));
  fs::create_symlink(dir_ + "/loop2", dir_ + "/loop1");
  fs::create_symlink(dir_ + "/loop1", dir_ + "/loop2");
  EXPECT_TRUE(WriteIsRefused(dir_ + "/loop1"));
  fs::create_directory(dir_ + "/adir");
  EXPECT_TRUE(WriteIsRefused(dir_ + "/adir"));

  // A directory the user may not write to.
  std::string locked = dir_ + "/locked";
  fs::create_directory(locked);
  Put(locked + "/settings.ini", "[RunOpts]\nExeFile=old\n");
  fs::permissions(locked + "/settings.ini", fs::perms::all);
  fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::others_read |
                              fs::perms::others_exec | fs::perms::group_read |
                              fs::perms::group_exec);
  EXPECT_TRUE(RunUnprivileged([&] { return WriteIsRefused(locked + "/settings.ini"); }));
  EXPECT_EQ(Get(locked + "/settings.ini"), "[RunOpts]\nExeFile=old\n");

  // A read-only file in a directory the user may write to.
  std::string writable = dir_ + "/open";
  fs::create_directory(writable);
  fs::permissions(writable, fs::perms::all);
  Put(writable + "/settings.ini", "[RunOpts]\nExeFile=old\n");
  fs::permissions(writable + "/settings.ini",
                  fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  EXPECT_TRUE(RunUnprivileged([&] { return WriteIsRefused(writable + "/settings.ini"); }));
  EXPECT_EQ(Get(writable + "/settings.ini"), "[RunOpts]\nExeFile=old\n");
  EXPECT_EQ(Entries(writable), std::vector<std::string>{"settings.ini"});
}

}  // namespace

TEST_F(ProfileFileTest, ASettingsFileThatIsAFifoGivesTheDefaultsWithoutWaiting) {
  ASSERT_EQ(mkfifo(path_.c_str(), 0600), 0);
  TProfileFile ini(path_);
  EXPECT_EQ(ini.ReadString("Display", "Font_Name", "Courier New"), "Courier New");
  EXPECT_EQ(ini.ReadInteger("Display", "Font_Size", 10), 10);
  EXPECT_THROW(ini.WriteString("Display", "Font_Name", "x"), EIniFileException);
  struct stat st;
  ASSERT_EQ(lstat(path_.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));  // not replaced
}
