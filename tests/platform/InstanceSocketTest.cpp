#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "platform/InstanceSocket.h"

using namespace ludra;
namespace fs = std::filesystem;

namespace {

// A socket file with no one listening: what a window that was killed leaves.
void MakeStaleSocket(const std::string& path) {
  int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", path.c_str());
  ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  ::close(fd);
}

}  // namespace

TEST(InstanceSocket, NamePerDisplay) {
  EXPECT_EQ(InstanceSocketName(":0"), "ludra-_0.socket");
  EXPECT_EQ(InstanceSocketName("localhost:10.0"), "ludra-localhost_10.0.socket");
  EXPECT_EQ(InstanceSocketName("wayland-1"), "ludra-wayland-1.socket");
  EXPECT_EQ(InstanceSocketName("../x/y"), "ludra-.._x_y.socket");
  EXPECT_EQ(InstanceSocketName(""), "ludra-.socket");
}

// Only this user's socket is used or removed; a private folder is a real
// folder of this user that no one else may enter.
TEST(InstanceSocket, PathsThatAreNotThisUsersSocketAreLeftAlone) {
  char pattern[] = "/tmp/ludra-socket-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  const std::string dir = pattern;
  EXPECT_TRUE(PrivateFolder(dir));
  fs::create_directory_symlink(dir, dir + "-link");
  EXPECT_FALSE(PrivateFolder(dir + "-link"));
  fs::create_directory(dir + "/open");
  fs::permissions(dir + "/open", fs::perms::owner_all | fs::perms::others_exec);
  EXPECT_FALSE(PrivateFolder(dir + "/open"));

  const std::string socket = dir + "/s", file = dir + "/f", link = dir + "/l";
  EXPECT_EQ(CheckSocketPath(socket), spFree);
  EXPECT_TRUE(RemoveStaleSocket(socket));
  MakeStaleSocket(socket);
  EXPECT_EQ(CheckSocketPath(socket), spOurs);
  std::ofstream(file) << "not a socket";
  fs::create_symlink(socket, link);
  for (const std::string& other : {file, link, dir + "/open"}) {
    EXPECT_EQ(CheckSocketPath(other), spForeign) << other;
    EXPECT_FALSE(RemoveStaleSocket(other)) << other;
    EXPECT_TRUE(fs::exists(fs::symlink_status(other))) << other;
  }
  if (::getuid() == 0) {  // only root can give a socket to another user
    const std::string theirs = dir + "/theirs";
    MakeStaleSocket(theirs);
    ASSERT_EQ(::lchown(theirs.c_str(), 65534, 65534), 0);
    EXPECT_EQ(CheckSocketPath(theirs), spForeign);
    EXPECT_FALSE(RemoveStaleSocket(theirs));
    EXPECT_TRUE(fs::exists(fs::symlink_status(theirs)));
  }
  EXPECT_TRUE(RemoveStaleSocket(socket));
  EXPECT_EQ(CheckSocketPath(socket), spFree);

  fs::remove_all(dir);
  fs::remove(dir + "-link");
}

// 1,000 names of every kind of byte, read back from pieces of every size.
TEST(InstanceSocket, HandOverRoundTripInAnyPieces) {
  std::mt19937 random(41);
  std::vector<std::string> files;
  for (int i = 0; i < 1000; ++i) {
    std::string name = "/s/" + std::to_string(i);
    for (int n = random() % 40; n > 0; --n) name += static_cast<char>(1 + random() % 255);
    files.push_back(name);
  }
  files.push_back("");
  const std::string message = EncodeHandOver(files);
  for (size_t piece : {size_t{1}, size_t{3}, size_t{4096}, message.size()}) {
    THandOverReader reader;
    bool complete = false;
    for (size_t at = 0; at < message.size(); at += piece) {
      EXPECT_FALSE(complete);
      complete = reader.Feed(std::string_view(message).substr(at, piece));
    }
    EXPECT_TRUE(complete);
    EXPECT_FALSE(reader.Failed());
    EXPECT_EQ(reader.Files(), files);
  }

  std::string tooMany = EncodeHandOver({});
  tooMany[13 + 2] = 0x10;  // over a million names
  std::string longName = EncodeHandOver({std::string(THandOverReader::kMaxNameBytes + 1, 'x')});
  for (const std::string& bad :
       {std::string("GET / HTTP/1.0\r\n\r\n"), tooMany, longName, EncodeHandOver({"/a"}) + "x"}) {
    THandOverReader reader;
    EXPECT_FALSE(reader.Feed(bad));
    EXPECT_TRUE(reader.Failed());
    EXPECT_FALSE(reader.Feed(EncodeHandOver({"/a"})));
  }
}
