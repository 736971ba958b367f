#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>

#include "base/SynExceptions.h"
#include "platform/FileAssociation.h"
#include "platform/Unprivileged.h"

extern char** environ;

using namespace ludra;
namespace fs = std::filesystem;

namespace {

std::string Get(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void Put(const std::string& path, const std::string& text) {
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

// Runs a program and waits for it; its exit status, or -1.
int RunAndWait(const std::vector<std::string>& argv) {
  std::vector<char*> args;
  for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  pid_t pid;
  if (posix_spawnp(&pid, args[0], nullptr, nullptr, args.data(), environ) != 0) return -1;
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Output(const std::string& command) {
  std::string out;
  if (FILE* p = popen(command.c_str(), "r")) {
    char buf[256];
    while (fgets(buf, sizeof buf, p)) out += buf;
    pclose(p);
  }
  while (!out.empty() && out.back() == '\n') out.pop_back();
  return out;
}

// The arguments of an Exec value as a desktop reads them: the string
// escapes, then quoting, then "%%" as '%'.
std::vector<std::string> ParseExec(const std::string& value) {
  std::string s;
  for (size_t i = 0; i < value.size(); ++i) {
    if (value[i] == '\\' && i + 1 < value.size()) {
      char c = value[++i];
      s += c == 'n' ? '\n' : c == 't' ? '\t' : c == 'r' ? '\r' : c == 's' ? ' ' : c;
    } else {
      s += value[i];
    }
  }
  std::vector<std::string> args;
  std::string arg;
  bool inArg = false;
  for (size_t i = 0; i < s.size(); ++i) {
    char c = s[i];
    if (c == '"') {
      inArg = true;
      for (++i; i < s.size() && s[i] != '"'; ++i) {
        if (s[i] == '\\' && i + 1 < s.size()) ++i;
        arg += s[i];
      }
    } else if (c == ' ') {
      if (inArg) args.push_back(arg);
      arg.clear();
      inArg = false;
    } else {
      inArg = true;
      arg += c;
    }
  }
  if (inArg) args.push_back(arg);
  for (auto& a : args) {
    std::string plain;
    for (size_t i = 0; i < a.size(); ++i) {
      plain += a[i];
      if (a[i] == '%' && i + 1 < a.size() && a[i + 1] == '%') ++i;
    }
    a = plain;
  }
  return args;
}

class FileAssociationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/ludra-assoc-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = pattern;
    // Reachable by the unprivileged user some tests switch to.
    fs::permissions(root_, fs::perms::owner_all | fs::perms::others_exec | fs::perms::group_exec);
    dirs_ = {root_ + "/data", root_ + "/config"};
  }
  void TearDown() override {
    std::error_code ec;
    for (const auto& entry : fs::recursive_directory_iterator(root_, ec))
      if (!entry.is_symlink()) fs::permissions(entry.path(), fs::perms::owner_all, ec);
    fs::permissions(root_, fs::perms::owner_all, ec);
    fs::remove_all(root_, ec);
  }

  TFileAssociation Association(const std::string& program) {
    TFileAssociation a(program, dirs_);
    a.RunTool = [this](const std::vector<std::string>& argv) {
      std::string line;
      for (const auto& arg : argv) line += (line.empty() ? "" : " ") + arg;
      tools_.push_back(line);
    };
    return a;
  }
  // Every file under the desktop directories with its contents.
  std::map<std::string, std::string> Snapshot() const {
    std::map<std::string, std::string> files;
    std::error_code ec;
    for (const auto& entry : fs::recursive_directory_iterator(root_, ec))
      if (entry.is_regular_file()) files[entry.path().string()] = Get(entry.path().string());
    return files;
  }

  std::string root_;
  TDesktopDirs dirs_;
  std::vector<std::string> tools_;
};

TEST_F(FileAssociationTest, RegisterWritesTheFourItemsOnceAndRefreshesTheCaches) {
  TFileAssociation a = Association("/opt/ludra/ludra");
  a.Register();
  EXPECT_EQ(Get(dirs_.DataHome + "/icons/hicolor/scalable/apps/ludra.svg"), kLudraIconSvg);
  EXPECT_NE(std::string(kLudraIconSvg).find("<svg"), std::string::npos);
  std::string entry = Get(dirs_.DataHome + "/applications/ludra.desktop");
  EXPECT_TRUE(entry.starts_with("[Desktop Entry]\nType=Application\nName=Ludra\n")) << entry;
  for (const char* line : {"\nExec=/opt/ludra/ludra %f\n", "\nIcon=ludra\n",
                           "\nMimeType=text/x-pawn;\n", "\nTerminal=false\n"})
    EXPECT_NE(entry.find(line), std::string::npos) << line;
  std::string mime = Get(dirs_.DataHome + "/mime/packages/ludra-pawn.xml");
  for (const char* part : {"<mime-type type=\"text/x-pawn\">", "<comment>PAWN Script</comment>",
                           "<glob pattern=\"*.pwn\"/>", "<icon name=\"ludra\"/>"})
    EXPECT_NE(mime.find(part), std::string::npos) << part;
  EXPECT_EQ(Get(dirs_.ConfigHome + "/mimeapps.list"),
            "[Default Applications]\ntext/x-pawn=ludra.desktop;\n");
  EXPECT_EQ(tools_, (std::vector<std::string>{
                        "update-mime-database " + dirs_.DataHome + "/mime",
                        "update-desktop-database " + dirs_.DataHome + "/applications"}));
  EXPECT_TRUE(a.OwnsDesktopEntry());

  // Again: every item already holds what would be written; no file is
  // replaced (same inode) and no cache refreshed.
  std::map<std::string, ino_t> inodes;
  for (const auto& [path, text] : Snapshot()) {
    struct stat st;
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    inodes[path] = st.st_ino;
  }
  tools_.clear();
  auto before = Snapshot();
  Association("/opt/ludra/ludra").Register();
  EXPECT_EQ(Snapshot(), before);
  EXPECT_TRUE(tools_.empty());
  for (const auto& [path, inode] : inodes) {
    struct stat st;
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_ino, inode) << path << " was rewritten";
  }
}

TEST_F(FileAssociationTest, ExecValueQuotesWhatTheEntryRulesReserve) {
  struct Case {
    std::string program, exec;
  } cases[] = {
      {"/opt/ludra/ludra", "/opt/ludra/ludra %f"},
      {"/home/ann/PAWN Tools/ludra", "\"/home/ann/PAWN Tools/ludra\" %f"},
      {"/srv/100%/ludra", "/srv/100%%/ludra %f"},
      {"/srv/a\"b$c`d/ludra", "\"/srv/a\\\\\"b\\\\$c\\\\`d/ludra\" %f"},
      {"/srv/back\\slash/ludra", "\"/srv/back\\\\\\\\slash/ludra\" %f"},
      {"/srv/tab\there/ludra", "\"/srv/tab\\there/ludra\" %f"},
      {"/srv/it's (mine)/ludra", "\"/srv/it's (mine)/ludra\" %f"},
      {"/srv/na\xC3\xAFve=1,2/ludra", "/srv/na\xC3\xAFve=1,2/ludra %f"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DesktopExecValue(c.program), c.exec) << c.program;
    EXPECT_EQ(ParseExec(c.exec), (std::vector<std::string>{c.program, "%f"})) << c.exec;
  }
  // Any path comes back whole from the value a desktop reads.
  std::mt19937 random(20);
  const std::string alphabet = "ab/ _-.%\"'\\$`~|&;*?#()<>\t\n=\xC3\xA9";
  for (int round = 0; round < 2000; ++round) {
    std::string program = "/";
    for (int n = random() % 20; n > 0; --n) program += alphabet[random() % alphabet.size()];
    std::string exec = DesktopExecValue(program);
    ASSERT_EQ(ParseExec(exec), (std::vector<std::string>{program, "%f"})) << exec;
    EXPECT_EQ(exec.find('\n'), std::string::npos);
  }
}

TEST_F(FileAssociationTest, MovingTheProgramRepointsTheEntry) {
  Association("/old/place/ludra").Register();
  tools_.clear();
  // A path that needs quoting is run through the launcher, whose does not.
  TFileAssociation moved = Association("/new place/it's/ludra");
  moved.Register();
  EXPECT_NE(Get(moved.DesktopEntryPath()).find("\nExec=" + moved.LauncherPath() + " %f\n"),
            std::string::npos);
  EXPECT_EQ(LinkTarget(moved.LauncherPath()), "/new place/it's/ludra");
  EXPECT_TRUE(moved.OwnsDesktopEntry());
  EXPECT_FALSE(Association("/old/place/ludra").OwnsDesktopEntry());
  EXPECT_FALSE(Association("/other place/ludra").OwnsDesktopEntry());
  EXPECT_EQ(tools_, (std::vector<std::string>{"update-desktop-database " + dirs_.DataHome +
                                              "/applications"}));
  Association("/other place/ludra").Unregister();
  EXPECT_TRUE(moved.OwnsDesktopEntry());
  moved.Unregister();
  EXPECT_FALSE(fs::exists(dirs_.DataHome + "/ludra"));
  // Where the launcher's own path would need quoting, the entry quotes the program.
  dirs_.DataHome = root_ + "/my data";
  Association("/new place/ludra").Register();
  EXPECT_NE(
      Get(dirs_.DataHome + "/applications/ludra.desktop").find("\nExec=\"/new place/ludra\" %f\n"),
      std::string::npos);
  EXPECT_FALSE(fs::exists(dirs_.DataHome + "/ludra"));
}

TEST_F(FileAssociationTest, AUsersFileInTheLaunchersPlaceIsKept) {
  TFileAssociation a = Association("/new place/ludra");
  Put(a.LauncherPath(), "the user's own");
  EXPECT_EQ(a.Register(), a.LauncherPath() +
                              " was kept: it is not a link to Ludra. The desktop entry names the "
                              "program itself, which some openers cannot start.");
  EXPECT_EQ(Get(a.LauncherPath()), "the user's own");
  EXPECT_NE(Get(a.DesktopEntryPath()).find("\nExec=\"/new place/ludra\" %f\n"), std::string::npos);
  a.Unregister();
  EXPECT_FALSE(fs::exists(a.DesktopEntryPath()));
  EXPECT_EQ(Get(a.LauncherPath()), "the user's own");
  // Once the place is free, the link is made again.
  fs::remove(a.LauncherPath());
  EXPECT_EQ(a.Register(), "");
  EXPECT_EQ(LinkTarget(a.LauncherPath()), "/new place/ludra");
}

TEST_F(FileAssociationTest, UnregisterRemovesOurItemsAndKeepsEveryOtherLine) {
  const std::string others =
      "# chosen by hand\n"
      "[Added Associations]\n"
      "text/x-pawn=other.desktop;\n"
      "[Default Applications]\n"
      "text/plain=gedit.desktop\n"
      "\n"
      "[Removed Associations]\n"
      "image/png=viewer.desktop;\n";
  Put(dirs_.ConfigHome + "/mimeapps.list", others);
  TFileAssociation a = Association("/opt/ludra/ludra");
  a.Register();
  EXPECT_EQ(Get(a.MimeAppsPath()),
            "# chosen by hand\n[Added Associations]\ntext/x-pawn=other.desktop;\n"
            "[Default Applications]\ntext/plain=gedit.desktop\ntext/x-pawn=ludra.desktop;\n\n"
            "[Removed Associations]\nimage/png=viewer.desktop;\n");
  tools_.clear();
  a.Unregister();
  EXPECT_EQ(Get(a.MimeAppsPath()), others);
  for (const std::string& path : {a.IconPath(), a.DesktopEntryPath(), a.MimePackagePath()})
    EXPECT_FALSE(fs::exists(path)) << path;
  EXPECT_EQ(tools_, (std::vector<std::string>{
                        "update-mime-database " + dirs_.DataHome + "/mime",
                        "update-desktop-database " + dirs_.DataHome + "/applications"}));
  // Nothing of ours is left: a second removal changes nothing.
  tools_.clear();
  a.Unregister();
  EXPECT_EQ(Get(a.MimeAppsPath()), others);
  EXPECT_TRUE(tools_.empty());
}

TEST_F(FileAssociationTest, UnregisterLeavesAnotherProgramsAssociationAlone) {
  Association("/other/copy/ludra").Register();
  auto before = Snapshot();
  tools_.clear();
  Association("/opt/ludra/ludra").Unregister();
  EXPECT_EQ(Snapshot(), before);
  EXPECT_TRUE(tools_.empty());

  // Our entry, but the user chose another default for the type since: our
  // files go, the user's default stays.
  TFileAssociation a = Association("/opt/ludra/ludra");
  a.Register();
  Put(a.MimeAppsPath(), "[Default Applications]\ntext/x-pawn=other.desktop;ludra.desktop;\n");
  a.Unregister();
  EXPECT_EQ(Get(a.MimeAppsPath()), "[Default Applications]\ntext/x-pawn=other.desktop;\n");
  EXPECT_FALSE(fs::exists(a.DesktopEntryPath()));
}

TEST_F(FileAssociationTest, DefaultsKeepOtherProgramsAndAnyLength) {
  std::string many;  // far longer than a settings value may be
  for (int i = 0; i < 200; ++i) many += "program-number-" + std::to_string(i) + ".desktop;";
  // The value before, after registering (twice, as at every start) and
  // after removal; "-" for no key.
  const std::string cases[][3] = {
      {"-", "ludra.desktop;", "-"},
      {"o.desktop;", "ludra.desktop;o.desktop;", "o.desktop;"},
      {"ludra.desktop;a.desktop;", "ludra.desktop;a.desktop;", "a.desktop;"},
      {many, "ludra.desktop;" + many, many},
      {many + "ludra.desktop;", "ludra.desktop;" + many, many}};
  auto line = [](const std::string& value) {
    return "[Default Applications]\n" + (value != "-" ? "text/x-pawn=" + value + "\n" : "");
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c[0]);
    TFileAssociation a = Association("/opt/ludra/ludra");
    Put(a.MimeAppsPath(), line(c[0]));
    a.Register();
    a.Register();
    EXPECT_EQ(Get(a.MimeAppsPath()), line(c[1]));
    a.Unregister();
    EXPECT_EQ(Get(a.MimeAppsPath()), line(c[2]));
    // A second group of defaults, which readers may merge, is kept in step.
    Put(a.MimeAppsPath(), line(c[0]) + line("x.desktop;"));
    a.Register();
    EXPECT_EQ(Get(a.MimeAppsPath()), line(c[1]) + line("ludra.desktop;x.desktop;"));
    a.Unregister();
    EXPECT_EQ(Get(a.MimeAppsPath()), line(c[2]) + line("x.desktop;"));
  }
}

TEST_F(FileAssociationTest, RefusedWritesRaiseTheRegistryErrorAsAnUnprivilegedUser) {
  // The message names the file under the refusing directory and the reason.
  auto refused = [this](const std::function<void()>& step) {
    try {
      step();
    } catch (const ERegistryException& e) {
      std::string what = e.what();
      return what.starts_with("Failed to set data for '" + root_ + "/") &&
             what.ends_with("'. Permission denied");
    }
    return false;
  };
  // A data directory the user cannot write to: nothing is written anywhere.
  fs::create_directories(dirs_.DataHome);
  fs::permissions(dirs_.DataHome, fs::perms::owner_all | fs::perms::others_read |
                                      fs::perms::others_exec | fs::perms::group_read |
                                      fs::perms::group_exec);
  fs::create_directories(dirs_.ConfigHome);
  fs::permissions(dirs_.ConfigHome, fs::perms::all);
  TFileAssociation a = Association("/opt/ludra/ludra");
  EXPECT_TRUE(RunUnprivileged([&] { return refused([&] { a.Register(); }); }));
  EXPECT_TRUE(Snapshot().empty());
  EXPECT_TRUE(tools_.empty());

  // A config directory the user cannot write to: the data items are written
  // and their caches refreshed, then the default entry fails.
  fs::permissions(dirs_.DataHome, fs::perms::all);
  fs::permissions(dirs_.ConfigHome, fs::perms::owner_all);
  EXPECT_TRUE(RunUnprivileged([&] {
    std::vector<std::string> ran;
    TFileAssociation b("/opt/ludra/ludra", {root_ + "/data", root_ + "/config"});
    b.RunTool = [&](const std::vector<std::string>& argv) { ran.push_back(argv[0]); };
    return refused([&] { b.Register(); }) && fs::exists(b.MimePackagePath()) &&
           ran == std::vector<std::string>{"update-mime-database", "update-desktop-database"};
  }));

  // Removal from a directory the user cannot change: the entry stays, so the
  // removal can be done again.
  fs::permissions(dirs_.ConfigHome, fs::perms::all);
  EXPECT_TRUE(RunUnprivileged([&] {
    TFileAssociation b("/opt/ludra/ludra", {root_ + "/data", root_ + "/config"});
    b.RunTool = [](const std::vector<std::string>&) {};
    b.Register();
    chmod((root_ + "/data/applications").c_str(), 0555);
    return refused([&] { b.Unregister(); }) && b.OwnsDesktopEntry() &&
           !fs::exists(b.MimePackagePath());
  }));
}

TEST_F(FileAssociationTest, AFifoInTheEntrysPlaceIsNeitherReadNorReplaced) {
  TFileAssociation a = Association("/opt/ludra/ludra");
  fs::create_directories(dirs_.DataHome + "/applications");
  ASSERT_EQ(mkfifo(a.DesktopEntryPath().c_str(), 0600), 0);
  EXPECT_FALSE(a.OwnsDesktopEntry());
  a.Unregister();
  EXPECT_THROW(a.Register(), ERegistryException);
  EXPECT_TRUE(fs::is_fifo(a.DesktopEntryPath()));
}

TEST_F(FileAssociationTest, UserDirectoriesFollowTheEnvironment) {
  struct Case {
    const char *home, *data, *config;
    std::string dataHome, configHome;
  } cases[] = {
      {"/home/ann", nullptr, nullptr, "/home/ann/.local/share", "/home/ann/.config"},
      {"/home/ann", "/srv/data", "/srv/conf", "/srv/data", "/srv/conf"},
      {"/home/ann", "", "relative/conf", "/home/ann/.local/share", "/home/ann/.config"},
  };
  std::string saved[3];
  const char* names[3] = {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME"};
  bool had[3];
  for (int i = 0; i < 3; ++i)
    if ((had[i] = std::getenv(names[i]) != nullptr)) saved[i] = std::getenv(names[i]);
  for (const Case& c : cases) {
    const char* values[3] = {c.home, c.data, c.config};
    for (int i = 0; i < 3; ++i) values[i] ? setenv(names[i], values[i], 1) : unsetenv(names[i]);
    TDesktopDirs dirs = UserDesktopDirs();
    EXPECT_EQ(dirs.DataHome, c.dataHome);
    EXPECT_EQ(dirs.ConfigHome, c.configHome);
  }
  for (int i = 0; i < 3; ++i) had[i] ? setenv(names[i], saved[i].c_str(), 1) : unsetenv(names[i]);
}

// The desktop's own tools read what Register wrote: the entry is valid, the
// MIME database maps *.pwn to text/x-pawn, and the default application for it
// is Ludra.
TEST_F(FileAssociationTest, TheDesktopToolsSeeLudraAsTheHandler) {
  for (const char* tool : {"xdg-mime", "update-mime-database", "desktop-file-validate", "mimetype"})
    if (Output(std::string("command -v ") + tool).empty())
      GTEST_SKIP() << tool << " is not installed (scripts/deps.sh installs it)";
  std::string program = root_ + "/program/ludra";
  Put(program, "#!/bin/sh\n");
  fs::permissions(program, fs::perms::owner_all);
  TFileAssociation a(program, dirs_);
  a.RunTool = [](const std::vector<std::string>& argv) { RunAndWait(argv); };
  // The refresh tools look for the data directory in the environment.
  std::string savedData = std::getenv("XDG_DATA_HOME") ? std::getenv("XDG_DATA_HOME") : "";
  setenv("XDG_DATA_HOME", dirs_.DataHome.c_str(), 1);
  a.Register();
  EXPECT_EQ(RunAndWait({"desktop-file-validate", a.DesktopEntryPath()}), 0);
  Put(root_ + "/work/game.pwn", "main()\n{\n}\n");
  std::string env = "env -u XDG_CURRENT_DESKTOP -u DESKTOP_SESSION HOME=" + root_ +
                    " XDG_DATA_HOME=" + dirs_.DataHome + " XDG_CONFIG_HOME=" + dirs_.ConfigHome +
                    " ";
  EXPECT_EQ(Output(env + "xdg-mime query default text/x-pawn"), "ludra.desktop");
  EXPECT_EQ(Output(env + "xdg-mime query filetype " + root_ + "/work/game.pwn"), "text/x-pawn");
  a.Unregister();
  EXPECT_EQ(Output(env + "xdg-mime query default text/x-pawn"), "");
  EXPECT_EQ(Output(env + "xdg-mime query filetype " + root_ + "/work/game.pwn"), "text/plain");
  savedData.empty() ? unsetenv("XDG_DATA_HOME") : setenv("XDG_DATA_HOME", savedData.c_str(), 1);
}

}  // namespace
