#include "app/RunningWindow.h"

#include <QDeadlineTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>
#include <memory>

#include "appcore/DocumentSession.h"
#include "platform/InstanceSocket.h"

namespace ludra {

namespace {

// A hand-over that stalls halfway is dropped after this long.
constexpr int kStalledMs = 10000;

// Waits for bytes until the deadline; false when none came.
bool ReadUntil(QLocalSocket& socket, QByteArray& got, std::string_view want,
               const QDeadlineTimer& deadline) {
  while (got.size() < static_cast<qsizetype>(want.size())) {
    if (!socket.bytesAvailable() && !socket.waitForReadyRead(deadline.remainingTime()))
      return false;
    got += socket.read(static_cast<qint64>(want.size()) - got.size());
  }
  return got.toStdString() == want;
}

bool WriteAll(QLocalSocket& socket, std::string_view bytes, const QDeadlineTimer& deadline) {
  if (socket.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
      static_cast<qint64>(bytes.size()))
    return false;
  while (socket.bytesToWrite() > 0)
    if (!socket.waitForBytesWritten(deadline.remainingTime())) return false;
  return true;
}

}  // namespace

TRunningWindow::TRunningWindow(std::string socketPath, QObject* parent)
    : QObject(parent), socketPath_(std::move(socketPath)) {}

TRunningWindow::~TRunningWindow() = default;

bool TRunningWindow::HandOver(const std::vector<std::string>& files, int timeoutMs) const {
  if (socketPath_.empty() || CheckSocketPath(socketPath_) != spOurs) return false;
  const QDeadlineTimer deadline(timeoutMs);
  QLocalSocket socket;
  socket.connectToServer(QString::fromStdString(socketPath_));
  if (!socket.waitForConnected(deadline.remainingTime()) ||
      !PeerIsSelf(static_cast<int>(socket.socketDescriptor())))
    return false;
  std::vector<std::string> paths;
  paths.reserve(files.size());
  // The running window has a current folder of its own.
  for (const std::string& file : files) paths.push_back(ResolvePath(file));
  QByteArray answer;
  if (!WriteAll(socket, EncodeHandOver(paths), deadline) ||
      !ReadUntil(socket, answer, kHandOverTaken, deadline))
    return false;
  // Past the deadline the window drops the files; said in time, they are its.
  if (deadline.hasExpired() || !WriteAll(socket, kHandOverDone, QDeadlineTimer(timeoutMs)))
    return false;
  socket.disconnectFromServer();
  return true;
}

bool TRunningWindow::Listen() {
  if (socketPath_.empty()) {
    error_ = "no private folder for the socket";
    return false;
  }
  if (!RemoveStaleSocket(socketPath_)) {
    error_ = "'" + socketPath_ + "' is not this user's socket";
    return false;
  }
  server_ = new QLocalServer(this);
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  if (!server_->listen(QString::fromStdString(socketPath_))) {
    error_ = server_->errorString().toStdString();
    delete server_;
    server_ = nullptr;
    return false;
  }
  connect(server_, &QLocalServer::newConnection, this, [this] { Accept(); });
  return true;
}

void TRunningWindow::Accept() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    if (!PeerIsSelf(static_cast<int>(socket->socketDescriptor()))) {
      socket->abort();
      socket->deleteLater();
      continue;
    }
    auto reader = std::make_shared<THandOverReader>();
    auto done = std::make_shared<QByteArray>();
    connect(socket, &QLocalSocket::readyRead, this, [this, socket, reader, done] {
      if (!reader->Complete()) {
        const QByteArray bytes = socket->readAll();
        if (reader->Feed(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size()))))
          socket->write(kHandOverTaken.data(), static_cast<qint64>(kHandOverTaken.size()));
        if (reader->Failed()) socket->abort();
        return;
      }
      *done += socket->readAll();
      if (done->size() < static_cast<qsizetype>(kHandOverDone.size())) return;
      const bool confirmed = done->toStdString() == kHandOverDone;
      socket->disconnectFromServer();
      if (confirmed)
        QTimer::singleShot(0, this, [this, files = reader->Files()] {
          if (OnFiles) OnFiles(files);
        });
    });
    QTimer::singleShot(kStalledMs, socket, [socket] { socket->abort(); });
  }
}

}  // namespace ludra
