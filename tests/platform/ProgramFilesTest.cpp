#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "base/SynExceptions.h"
#include "platform/FileAssociation.h"
#include "platform/ProgramFiles.h"
#include "platform/SynProfileFile.h"
#include "platform/Unprivileged.h"

using namespace ludra;
namespace fs = std::filesystem;

namespace {

class ProgramFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/ludra files XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = pattern;
    fs::permissions(root_, fs::perms::all);  // the unprivileged user works in it
  }
  void TearDown() override {
    std::ignore = system(("chmod -R u+rwx '" + root_ + "'; rm -rf '" + root_ + "'").c_str());
  }
  // A folder with the permissions given (octal), holding a file when named.
  std::string Folder(const std::string& name, int perms, const char* file = nullptr,
                     int filePerms = 0777) {
    std::string dir = root_ + "/" + name;
    fs::create_directories(dir);
    if (file) std::ofstream(dir + "/" + file) << "#!/bin/sh\n";
    if (file) fs::permissions(dir + "/" + file, fs::perms(filePerms));
    fs::permissions(dir, fs::perms(perms));
    return dir;
  }
  std::string root_;
};

}  // namespace

TEST_F(ProgramFilesTest, SettingsStayInTheProgramFolderUnlessItCannotTakeThem) {
  const std::string home = Folder("home", 0777), xdg = root_ + "/xdg";
  const std::string userFile = home + "/.config/ludra/settings.ini";
  struct {
    int folder;
    bool present;
    const char* xdgConfig;  // XDG_CONFIG_HOME, or none
    std::string perUser;    // empty: the program folder's
  } cases[] = {
      {0777, false, nullptr, ""},       {0777, true, xdg.c_str(), ""},
      {0555, true, xdg.c_str(), ""},    {0555, false, xdg.c_str(), xdg + "/ludra/settings.ini"},
      {0555, false, nullptr, userFile}, {0555, false, "relative/xdg", userFile},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    const auto& c = cases[i];
    std::string dir =
        Folder("prog" + std::to_string(i), c.folder, c.present ? "settings.ini" : nullptr);
    EXPECT_TRUE(RunUnprivileged([&] {
      setenv("HOME", home.c_str(), 1);
      c.xdgConfig ? setenv("XDG_CONFIG_HOME", c.xdgConfig, 1) : unsetenv("XDG_CONFIG_HOME");
      TSettingsLocation at = SettingsLocation(dir, UserDesktopDirs().ConfigHome);
      return at.FileName == (c.perUser.empty() ? dir + "/settings.ini" : c.perUser) &&
             at.PerUser == !c.perUser.empty();
    })) << i;
  }
  // The first write makes the user's folder; one the user may not make is
  // reported with the file's name.
  const std::string locked = Folder("locked", 0555) + "/.config/ludra/settings.ini";
  EXPECT_TRUE(RunUnprivileged([&] {
    TProfileFile(userFile, true).WriteBool("General", "FileAssoc", true);
    try {
      TProfileFile(locked, true).WriteBool("General", "FileAssoc", true);
    } catch (const EIniFileException& e) {
      return e.what() == "Unable to write to " + locked &&
             TProfileFile(userFile).ReadBool("General", "FileAssoc", false);
    }
    return false;
  }));
}

// Beside the program first, then the PATH in order; what stands in the way
// is named in the message when nothing is found.
TEST_F(ProgramFilesTest, TheCompilerIsSoughtBesideTheProgramThenOnThePath) {
  const std::string program = Folder("program", 0777), shut = Folder("shut", 0, "pawncc");
  const std::string plain = Folder("plain", 0777, "pawncc", 0644);
  const std::string good = Folder("pawn/bin", 0777, "pawncc");
  Folder("folder/pawncc", 0777);
  Folder("pawn/include", 0777, "a_samp.inc");
  const std::string path = shut + "::relative:" + plain + ":" + root_ + "/folder:" + good;
  EXPECT_TRUE(RunUnprivileged([&] {
    TCompilerSearch search = FindCompiler(program, path);
    TCompilerSearch none = FindCompiler(program, path.substr(0, path.rfind(':')));
    return search.Compiler == good + "/pawncc" && search.LibraryPath == good &&
           IncludeFolder(program, search) == root_ + "/pawn/include" &&
           IncludeFolder(program, none) == program + "/include" && none.Compiler.empty() &&
           CompilerNotFoundText(none) == "Unable to execute compiler: no pawncc found in " +
                                             program + ", " + shut + " (Permission denied), " +
                                             plain + " (pawncc is not executable), " + root_ +
                                             "/folder (pawncc is not a file).";
  }));
  // A compiler beside the program comes first; one linked there finds the
  // library and include folder of the file it links to.
  fs::create_symlink(good + "/pawncc", program + "/pawncc");
  TCompilerSearch linked = FindCompiler(program, good);
  EXPECT_EQ(linked.Compiler, program + "/pawncc");
  EXPECT_EQ(linked.LibraryPath, program + ":" + good);
  EXPECT_EQ(IncludeFolder(program, linked), root_ + "/pawn/include");
}

TEST_F(ProgramFilesTest, ProgramsAreSoughtInAbsoluteFoldersOnly) {
  // A tool of the same name in the current folder, below it and in "~".
  const std::string real = Folder("real", 0777, "tool");
  Folder("cwd/bin", 0777, "tool");
  Folder("cwd/~/bin", 0777, "tool");
  Folder("cwd/dir/tool", 0777);
  std::ofstream(root_ + "/cwd/tool") << "#!/bin/sh\n";
  fs::permissions(root_ + "/cwd/tool", fs::perms(0777));
  const std::string sys = "/usr/local/bin:/usr/bin:/bin";
  struct Case {
    const char* path;  // nullptr: unset
    std::string searched;
  } cases[] = {{nullptr, sys},
               {"", sys},
               {":", sys},
               {".", sys},
               {"bin:~/bin:./:dir", sys},
               {":/usr/bin:/bin", "/usr/bin:/bin"},
               {"::bin:/usr/bin::", "/usr/bin"}};
  const fs::path back = fs::current_path();
  fs::current_path(root_ + "/cwd");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path ? c.path : "unset");
    EXPECT_EQ(AbsoluteSearchPath(c.path), c.searched);
    // The current folder's tools are not found, even from an unfiltered value.
    EXPECT_EQ(FindProgram("tool", AbsoluteSearchPath(c.path)), "");
    EXPECT_EQ(FindProgram("tool", c.path ? c.path : ""), "");
    // A real folder after the bad entries is.
    std::string withReal = std::string(c.path ? c.path : "") + ":" + real;
    EXPECT_EQ(FindProgram("tool", AbsoluteSearchPath(withReal.c_str())), real + "/tool");
  }
  // A folder named like the program is passed over; a path is taken as it is.
  EXPECT_EQ(FindProgram("tool", root_ + "/cwd/dir:" + real), real + "/tool");
  EXPECT_EQ(FindProgram("./tool", sys), "./tool");
  EXPECT_EQ(FindProgram("", real), "");
  fs::current_path(back);
}
