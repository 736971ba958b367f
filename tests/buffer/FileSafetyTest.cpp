// Loading and saving never lose text: a failed load leaves the lines, a
// failed save leaves the old file (or its named copy), special files are
// refused without blocking, and a save keeps links, bytes and line ends.
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "base/SynExceptions.h"
#include "base/SynFiles.h"
#include "buffer/SynEditTextBuffer.h"

using namespace ludra;
namespace fs = std::filesystem;

namespace {

std::vector<std::string> Lines(const TSynEditStringList& b) {
  std::vector<std::string> v;
  for (int i = 0; i < b.Count(); ++i) v.push_back(b.Get(i));
  return v;
}

std::string ReadFile(const std::string& name) {
  std::ifstream f(name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), {});
}

void WriteFile(const std::string& name, const std::string& bytes) {
  std::ofstream f(name, std::ios::binary);
  f << bytes;
}

// A folder that an unprivileged user can reach, removed with its contents.
struct OpenDir {
  fs::path path;
  OpenDir() {
    std::string t = (fs::temp_directory_path() / "ludra-files-XXXXXX").string();
    path = mkdtemp(t.data());
    ::chmod(path.c_str(), 0777);
  }
  ~OpenDir() {
    std::error_code ec;
    for (auto& e : fs::recursive_directory_iterator(path, ec))
      if (e.is_directory(ec)) fs::permissions(e.path(), fs::perms::all, ec);
    fs::remove_all(path, ec);
  }
  std::string File(const std::string& name) const { return (path / name).string(); }
  size_t Entries(const std::string& sub = "") const {
    return static_cast<size_t>(std::distance(fs::directory_iterator(path / sub), {}));
  }
};

struct Account {
  uid_t uid;
  gid_t gid;
};

// The account the permission tests run as: ourselves when we are not root,
// else the project's test user or the system's "nobody".
std::optional<Account> UnprivilegedAccount() {
  if (geteuid() != 0) return Account{geteuid(), getegid()};
  for (const char* name : {"ludratest", "nobody"})
    if (const passwd* pw = getpwnam(name); pw && pw->pw_uid != 0)
      return Account{pw->pw_uid, pw->pw_gid};
  return std::nullopt;
}

// Runs the check as the unprivileged account (in a child process when we
// are root) and returns what it reports: empty when all went as expected.
std::string AsUnprivileged(const Account& who, const std::function<std::string()>& check) {
  if (geteuid() != 0) return check();
  int fds[2];
  if (pipe(fds) != 0) return "no pipe";
  pid_t pid = fork();
  if (pid == 0) {
    ::close(fds[0]);
    std::string result;
    if (setgroups(0, nullptr) != 0 || setgid(who.gid) != 0 || setuid(who.uid) != 0)
      result = "cannot become the unprivileged user";
    else
      result = check();
    if (write(fds[1], result.data(), result.size()) < 0) _exit(2);
    _exit(0);
  }
  ::close(fds[1]);
  std::string result;
  char buf[512];
  ssize_t n;
  while ((n = read(fds[0], buf, sizeof buf)) > 0) result.append(buf, static_cast<size_t>(n));
  ::close(fds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return "the check did not finish";
  return result;
}

// What a save raises, or "" when it succeeds.
std::string SaveError(TSynEditStringList& b, const std::string& name) {
  try {
    b.SaveToFile(name);
  } catch (const std::exception& e) {
    return e.what();
  }
  return "";
}

ino_t Inode(const std::string& name) {
  struct stat st;
  return ::stat(name.c_str(), &st) == 0 ? st.st_ino : 0;
}

}  // namespace

TEST(LoadAtomicity, ALoadBeyondTheLimitsChangesNothing) {
  struct Case {
    TSynLoadLimits limits;
    bool terminateLastLine;
    std::string data, message;
  } cases[] = {
      {{2, SIZE_MAX}, true, "a\nb\nc\n", "Too many lines to load"},
      {{2, SIZE_MAX}, true, "a\rb\rc", "Too many lines to load"},
      {{2, SIZE_MAX}, false, "a\nb\n", "Too many lines to load"},  // the empty last line counts
      {{SIZE_MAX, 3}, true, "abc\r\nabcd\r\n", "Line too long to load"},
      {{SIZE_MAX, 3}, true, "ab\rabcd", "Line too long to load"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.data);
    TSynEditStringList b;
    b.Add("kept one");
    b.Add("kept two");
    b.SetLineEndStyle(leCr);
    b.SetTerminateLastLine(c.terminateLastLine);
    b.SetLoadLimits(c.limits);
    int notices = 0;
    b.OnCleared = [&](TSynEditStringList*) { ++notices; };
    b.OnLinesInserted = [&](TSynEditStringList*, int, int) { ++notices; };
    try {
      b.LoadFromBytes(c.data);
      ADD_FAILURE() << "the load was not refused";
    } catch (const EReadError& e) {
      EXPECT_EQ(std::string(e.what()), c.message);
    }
    EXPECT_EQ(Lines(b), (std::vector<std::string>{"kept one", "kept two"}));
    EXPECT_EQ(b.LineEndStyle(), leCr);
    EXPECT_EQ(notices, 0);
    EXPECT_EQ(b.UpdateCount(), 0);
    b.Check();
    // Without the lowered limits the same load goes through.
    b.SetLoadLimits({});
    b.LoadFromBytes(c.data);
    EXPECT_GT(b.Count(), 0);
    b.Check();
  }
}

TEST(SaveRoundTrip, EveryByteValueAndLineEndStyleComesBackExactly) {
  std::mt19937 rng(14);
  OpenDir dir;
  std::string name = dir.File("bytes.pwn");
  for (const char* le : {"\r\n", "\n", "\r"}) {
    // Every byte but the line ends, in order, then in random lines.
    std::string text;
    for (int c = 0; c < 256; ++c)
      if (c != '\r' && c != '\n') text += static_cast<char>(c);
    text += le;
    for (int line = 0; line < 200; ++line) {
      int len = static_cast<int>(rng() % 40);
      for (int i = 0; i < len; ++i) {
        char c = static_cast<char>(rng() % 256);
        if (c != '\r' && c != '\n') text += c;
      }
      text += le;
    }
    WriteFile(name, text);
    TSynEditStringList b;
    b.LoadFromFile(name);
    b.SaveToFile(name);
    EXPECT_EQ(ReadFile(name), text) << "line end " << int(le[0]);
  }
}

TEST(SaveLinks, SymbolicLinksStayLinksAndTheirTargetsGetTheText) {
  OpenDir dir;
  fs::create_directories(dir.path / "real");
  fs::create_directories(dir.path / "links");
  struct Case {
    std::string link, pointsTo, written;  // written: the file that gets the text
  } cases[] = {
      {"links/relative.pwn", "../real/a.pwn", "real/a.pwn"},
      {"links/absolute.pwn", dir.File("real/b.pwn"), "real/b.pwn"},
      {"links/chain.pwn", "relative.pwn", "real/a.pwn"},
      {"links/dangling.pwn", "../real/missing.pwn", "real/missing.pwn"},
  };
  WriteFile(dir.File("real/a.pwn"), "old a\n");
  WriteFile(dir.File("real/b.pwn"), "old b\n");
  for (const Case& c : cases) fs::create_symlink(c.pointsTo, dir.File(c.link));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.link);
    TSynEditStringList b;
    b.Add("via " + c.link);
    b.SaveToFile(dir.File(c.link));
    EXPECT_TRUE(fs::is_symlink(dir.File(c.link)));
    EXPECT_EQ(fs::read_symlink(dir.File(c.link)).string(), c.pointsTo);
    EXPECT_EQ(ReadFile(dir.File(c.written)), "via " + c.link + "\r\n");
  }
  EXPECT_EQ(dir.Entries("links"), 4u);  // nothing left beside the links
  EXPECT_EQ(dir.Entries("real"), 3u);
}

TEST(SaveLinks, HardLinksKeepSharingTheFile) {
  OpenDir dir;
  std::string first = dir.File("first.pwn"), second = dir.File("second.pwn");
  WriteFile(first, "old\n");
  ASSERT_EQ(::link(first.c_str(), second.c_str()), 0);
  ino_t inode = Inode(first);
  TSynEditStringList b;
  b.LoadFromFile(first);
  b.Put(0, "new");
  b.SaveToFile(first);
  EXPECT_EQ(ReadFile(second), "new\n");
  EXPECT_EQ(Inode(first), inode);
  EXPECT_EQ(Inode(second), inode);
  EXPECT_EQ(dir.Entries(), 2u);
}

// A file-size limit makes a write fail partway, as a full disk does.
class FullDisk {
 public:
  explicit FullDisk(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &old_);
    handler_ = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old_;
    small.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &small);
  }
  ~FullDisk() {
    setrlimit(RLIMIT_FSIZE, &old_);
    std::signal(SIGXFSZ, handler_);
  }

 private:
  struct rlimit old_;
  void (*handler_)(int);
};

TEST(SaveFullDisk, TheOldFileStaysAndNoTemporaryFileIsLeft) {
  // Replaced by rename (one name), and written in place (two hard links).
  for (bool linked : {false, true}) {
    SCOPED_TRACE(linked ? "in place" : "rename");
    OpenDir dir;
    std::string name = dir.File("keep.pwn");
    WriteFile(name, "old contents\n");
    if (linked) {
      ASSERT_EQ(::link(name.c_str(), dir.File("other.pwn").c_str()), 0);
    }
    TSynEditStringList b;
    for (int i = 0; i < 2000; ++i) b.Add("a line of new text that will not fit");
    std::string message;
    {
      FullDisk full(20000);
      message = SaveError(b, name);
    }
    // The message names the user's file, never a temporary one.
    EXPECT_EQ(message.rfind("Cannot write file \"" + name + "\". ", 0), 0u) << message;
    EXPECT_EQ(message.find(".ludra"), std::string::npos) << message;
    EXPECT_EQ(ReadFile(name), "old contents\n");
    EXPECT_EQ(dir.Entries(), linked ? 2u : 1u);
    if (linked) {
      EXPECT_EQ(ReadFile(dir.File("other.pwn")), "old contents\n");
    }
  }
}

TEST(SavePermissions, AsAnUnprivilegedUser) {
  std::optional<Account> who = UnprivilegedAccount();
  if (!who) GTEST_SKIP() << "no unprivileged user to run as (root ignores permissions)";
  OpenDir dir;
  auto own = [&](const std::string& path, mode_t mode) {
    ASSERT_EQ(::chown(path.c_str(), who->uid, who->gid), 0);
    ASSERT_EQ(::chmod(path.c_str(), mode), 0);
  };
  fs::create_directories(dir.path / "mine");
  fs::create_directories(dir.path / "closed");
  fs::create_directories(dir.path / "sticky");
  WriteFile(dir.File("mine/protected.pwn"), "old\n");
  WriteFile(dir.File("closed/open.pwn"), "old\n");
  WriteFile(dir.File("closed/protected.pwn"), "old\n");
  WriteFile(dir.File("sticky/theirs.pwn"), "old\n");
  if (geteuid() == 0) {
    own(dir.File("mine"), 0755);
    own(dir.File("mine/protected.pwn"), 0444);
    own(dir.File("closed/open.pwn"), 0644);
    own(dir.File("closed/protected.pwn"), 0444);
    own(dir.File("closed"), 0555);
    // Root's file, writable by all, in a folder where only owners rename.
    ::chmod(dir.File("sticky/theirs.pwn").c_str(), 0666);
    ::chmod(dir.File("sticky").c_str(), 01777);
  } else {
    ::chmod(dir.File("mine/protected.pwn").c_str(), 0444);
    ::chmod(dir.File("closed/protected.pwn").c_str(), 0444);
    ::chmod(dir.File("closed").c_str(), 0555);
  }
  const bool asRoot = geteuid() == 0;
  std::string report = AsUnprivileged(*who, [&] {
    std::string out;
    auto expect = [&](bool ok, const std::string& what) {
      if (!ok) out += what + "\n";
    };
    TSynEditStringList b;
    b.Add("new");
    b.SetLineEndStyle(leLf);
    // A write-protected file is refused as a direct write would refuse it.
    for (const char* name : {"mine/protected.pwn", "closed/protected.pwn"}) {
      std::string file = dir.File(name);
      std::string error = SaveError(b, file);
      expect(error == "Cannot create file \"" + file + "\". " + std::strerror(EACCES),
             std::string(name) + ": " + error);
      expect(ReadFile(file) == "old\n", std::string(name) + " changed");
    }
    // A writable file in a folder that takes no new file is written in place.
    std::string open = dir.File("closed/open.pwn");
    expect(SaveError(b, open).empty(), "closed/open.pwn: " + SaveError(b, open));
    expect(ReadFile(open) == "new\n", "closed/open.pwn not written");
    // Someone else's file in a sticky folder (only when root made one).
    std::string theirs = dir.File("sticky/theirs.pwn");
    if (asRoot) {
      ino_t inode = Inode(theirs);
      std::string error = SaveError(b, theirs);
      expect(error.empty(), "sticky/theirs.pwn: " + error);
      expect(ReadFile(theirs) == "new\n", "sticky/theirs.pwn not written");
      expect(Inode(theirs) == inode, "sticky/theirs.pwn replaced");
    }
    return out;
  });
  EXPECT_EQ(report, "");
  EXPECT_EQ(dir.Entries("mine"), 1u);  // no temporary or kept copy left
  EXPECT_EQ(dir.Entries("closed"), 2u);
  EXPECT_EQ(dir.Entries("sticky"), 1u);
  struct stat st;
  ASSERT_EQ(::stat(dir.File("sticky/theirs.pwn").c_str(), &st), 0);
  EXPECT_EQ(st.st_uid, geteuid());  // still its owner's
}

TEST(SpecialFiles, AreRefusedWithoutWaiting) {
  OpenDir dir;
  std::string fifo = dir.File("pipe.pwn");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  // Should an open ever wait for a writer, this one lets it go on (and the
  // test fail) instead of hanging.
  std::atomic<bool> done{false};
  std::thread rescue([&] {
    while (!done) {
      int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
      if (fd >= 0) {
        ::close(fd);
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  });
  TSynEditStringList b;
  b.Add("kept");
  for (const std::string& name : {fifo, std::string("/dev/zero")}) {
    try {
      b.LoadFromFile(name);
      ADD_FAILURE() << name << " was loaded";
    } catch (const EFOpenError& e) {
      EXPECT_EQ(std::string(e.what()), "Cannot open file \"" + name + "\". Not a regular file");
    }
  }
  EXPECT_EQ(SaveError(b, fifo), "Cannot create file \"" + fifo + "\". Not a regular file");
  done = true;
  rescue.join();
  EXPECT_EQ(b.Get(0), "kept");
  std::string bytes, reason;
  EXPECT_FALSE(ReadRegularFile(fifo, bytes, reason));
  EXPECT_EQ(reason, kNotARegularFile);
}
