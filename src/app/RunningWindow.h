#pragma once
// One running window per user and display: the first start listens on the
// user's socket (platform/InstanceSocket.h); a later start hands the files
// named on its command line over to it and ends, and the running window
// opens them and comes forward. A window that does not answer within a
// second is given up on, and the later start opens a window of its own.
#include <QObject>
#include <functional>
#include <string>
#include <vector>

class QLocalServer;
class QLocalSocket;

namespace ludra {

class TRunningWindow : public QObject {
  Q_OBJECT
 public:
  // socketPath empty: no socket can be had, each start opens its own window.
  explicit TRunningWindow(std::string socketPath, QObject* parent = nullptr);
  ~TRunningWindow() override;

  const std::string& SocketPath() const { return socketPath_; }

  // Hands the files (relative names taken in the current folder) to the
  // window listening, waiting at most timeoutMs in all; true when it took
  // them. False when none listens, the path is not this user's socket, the
  // peer is another user, or the answer does not come in time.
  bool HandOver(const std::vector<std::string>& files, int timeoutMs = 1000) const;
  // Listens for later starts; a stale socket of this user is replaced, a
  // path that is anything else is left alone (false, with the reason in
  // Error()).
  bool Listen();
  const std::string& Error() const { return error_; }

  // Raised with the files of each hand-over, in their order, from the
  // event loop (never inside the socket's own notice, so it may ask the
  // user first).
  std::function<void(const std::vector<std::string>& files)> OnFiles;

 private:
  void Accept();

  std::string socketPath_, error_;
  QLocalServer* server_ = nullptr;
};

}  // namespace ludra
