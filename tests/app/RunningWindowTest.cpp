#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QCoreApplication>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <thread>

#include "app/MainWindowTestSupport.h"
#include "app/RunningWindow.h"
#include "platform/InstanceSocket.h"

using namespace ludra;
namespace fs = std::filesystem;

namespace {

class RunningWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/ludra-running-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    path_ = dir_ + "/" + InstanceSocketName(":77");
  }
  void TearDown() override { fs::remove_all(dir_); }

  // Hands over from another thread while this one runs the window's events;
  // true when the window took the files.
  bool HandOverFromThread(const TRunningWindow& client, const std::vector<std::string>& files) {
    std::atomic<int> result{-1};
    std::thread thread([&] { result = client.HandOver(files) ? 1 : 0; });
    while (result < 0) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    thread.join();
    // The files are raised from the event loop after the confirmation.
    for (int i = 0; i < 20; ++i) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return result == 1;
  }
  sockaddr_un Address() const {
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", path_.c_str());
    return addr;
  }
  // A listening socket that takes connections but never answers.
  int SilentListener() {
    int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr = Address();
    EXPECT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    EXPECT_EQ(::listen(fd, 4), 0);
    return fd;
  }

  std::string dir_, path_;
  std::vector<std::vector<std::string>> received_;
};

}  // namespace

TEST_F(RunningWindowTest, ThousandFilesReachTheRunningWindowAbsolute) {
  TRunningWindow window(path_), second(path_);
  window.OnFiles = [this](const std::vector<std::string>& files) { received_.push_back(files); };
  EXPECT_FALSE(second.HandOver({"a.pwn"}));  // nobody listens yet
  ASSERT_TRUE(window.Listen()) << window.Error();
  std::vector<std::string> files;
  for (int i = 0; i < 1000; ++i) files.push_back(dir_ + "/m" + std::to_string(i) + " \xE9.pwn");
  files.push_back("relative.pwn");
  EXPECT_TRUE(HandOverFromThread(second, files));
  files.back() = fs::current_path().string() + "/relative.pwn";
  ASSERT_EQ(received_.size(), 1u);
  EXPECT_EQ(received_[0], files);
}

TEST_F(RunningWindowTest, StaleSocketIsReplacedForeignPathsNeverUsed) {
  TRunningWindow window(path_), second(path_);
  window.OnFiles = [this](const std::vector<std::string>& files) { received_.push_back(files); };
  // Left by a window that was killed: nobody answers, the next window takes its place.
  ::close(SilentListener());
  EXPECT_EQ(CheckSocketPath(path_), spOurs);
  EXPECT_FALSE(second.HandOver({"/a.pwn"}));
  ASSERT_TRUE(window.Listen()) << window.Error();
  EXPECT_TRUE(HandOverFromThread(second, {"/a.pwn"}));
  EXPECT_EQ(received_.size(), 1u);

  // A file in the socket's place is neither used nor removed.
  const std::string other = dir_ + "/" + InstanceSocketName(":78");
  std::ofstream(other) << "keep";
  TRunningWindow third(other);
  EXPECT_FALSE(third.HandOver({"/a.pwn"}));
  EXPECT_FALSE(third.Listen());
  EXPECT_EQ(third.Error(), "'" + other + "' is not this user's socket");
  EXPECT_TRUE(fs::is_regular_file(other));
}

TEST_F(RunningWindowTest, NoAnswerInTimeMeansAWindowOfItsOwn) {
  const int fd = SilentListener();
  TRunningWindow second(path_);
  EXPECT_FALSE(second.HandOver({"/a.pwn"}, 100));
  ::close(fd);

  // A sender that gives up after the window's answer never confirms: the
  // window drops its files, as the sender opened them itself.
  TRunningWindow window(path_);
  window.OnFiles = [this](const std::vector<std::string>& files) { received_.push_back(files); };
  ASSERT_TRUE(window.Listen());
  std::atomic<bool> done{false};
  std::thread quitter([&] {
    int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr = Address();
    if (::connect(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) {
      const std::string message = EncodeHandOver({"/dropped.pwn"});
      EXPECT_EQ(::write(s, message.data(), message.size()), ssize_t(message.size()));
      char answer[8] = {};
      EXPECT_EQ(::read(s, answer, kHandOverTaken.size()), ssize_t(kHandOverTaken.size()));
    }
    ::close(s);
    done = true;
  });
  while (!done) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  quitter.join();
  for (int i = 0; i < 20; ++i) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  EXPECT_TRUE(received_.empty());
}

// The window opens what it is handed as Open does, and keeps the session
// across starts.
TEST_F(MainWindowTest, HandedOverFileOpensAndTheSessionComesBack) {
  const std::string a = root_ + "/a.pwn", b = root_ + "/b.pwn";
  std::string text;
  for (int i = 1; i <= 50; ++i) text += "line " + std::to_string(i) + "\n";
  WriteFile(a, text);
  WriteFile(b, text);
  TfmMain& w = Start({a});
  Type("x");
  dialogs_->MessageAnswers = {mrNo};
  w.FilesHandedOver({root_ + "/missing.pwn", b, a});
  EXPECT_EQ(Caption(), "b.pwn - Ludra");
  EXPECT_EQ(w.StatusText(0), "File 'b.pwn' opened.");
  EXPECT_EQ(dialogs_->Messages.size(), 1u);
  w.FilesHandedOver({b});  // already open: stays
  EXPECT_EQ(dialogs_->Messages.size(), 1u);

  w.moCode->SetCaretLine(30);
  ASSERT_TRUE(CloseWindow());
  EXPECT_EQ(Ini("Session", "File1"), b);
  EXPECT_EQ(Ini("Session", "Line1"), "30");
  Start();
  EXPECT_EQ(Caption(), "b.pwn - Ludra");
  EXPECT_EQ(window_->moCode->CaretLine(), 30);
  // A named file wins over the session; a session whose file is gone
  // leaves a note.
  Start({a});
  EXPECT_EQ(Caption(), "a.pwn - Ludra");
  fs::remove(b);
  Start();
  EXPECT_EQ(Caption(), "Ludra");
  EXPECT_EQ(window_->StatusText(0), "'b.pwn' of the last session was not found.");
  // Off: nothing opens.
  WriteFile(b, text);
  EXPECT_TRUE(window_->miRestoreSession->isChecked());
  window_->miRestoreSession->trigger();
  EXPECT_EQ(Ini("General", "RestoreSession"), "0");
  Start();
  EXPECT_FALSE(window_->miRestoreSession->isChecked());
  EXPECT_EQ(Caption(), "Ludra");
}
