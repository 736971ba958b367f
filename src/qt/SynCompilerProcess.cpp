#include "qt/SynCompilerProcess.h"

#include <fcntl.h>
#include <unistd.h>

#include <QEventLoop>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSocketNotifier>
#include <QStringList>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/ProgramFiles.h"

namespace ludra {

namespace {

QString Path(const std::string& s) { return QString::fromStdString(s); }

// How long output is still awaited from what the compiler started, once
// the compiler itself has ended.
constexpr int kLateOutputGraceMs = 1000;

QStringList ToStringList(const std::vector<std::string>& words) {
  QStringList list;
  for (const auto& w : words) list << QString::fromStdString(w);
  return list;
}

}  // namespace

std::optional<TSynProcessOutput> RunCollectingOutput(const TSynProcessRun& run,
                                                     TSynProcessControl* control,
                                                     size_t maxOutput) {
  // File names are bytes, not always valid UTF-8, and would not survive
  // Qt's text arguments: the child starts the program from the bytes
  // themselves, right where Qt would (its own start stays the fallback).
  std::vector<std::string> argBytes{run.Program};
  argBytes.insert(argBytes.end(), run.Arguments.begin(), run.Arguments.end());
  std::vector<char*> argv;
  for (std::string& a : argBytes) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::vector<std::string> envBytes;
  for (char** e = environ; *e; ++e)
    if (run.LibraryDirectory.empty() || std::strncmp(*e, "LD_LIBRARY_PATH=", 16) != 0)
      envBytes.emplace_back(*e);
  if (!run.LibraryDirectory.empty()) {
    const char* paths = std::getenv("LD_LIBRARY_PATH");
    envBytes.push_back("LD_LIBRARY_PATH=" + run.LibraryDirectory +
                       (paths && *paths ? std::string(":") + paths : std::string()));
  }
  std::vector<char*> envp;
  for (std::string& e : envBytes) envp.push_back(e.data());
  envp.push_back(nullptr);
  const std::string& directory = run.WorkingDirectory;

  // The output comes through a pipe of our own rather than Qt's, which is
  // no longer read once the compiler exits: a program the compiler started
  // may still be writing. It is read until every writer has closed it, or
  // for a short grace time after the compiler ended.
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) return std::nullopt;
  struct TFd {
    int fd;
    ~TFd() { Close(); }
    void Close() {
      if (fd >= 0) ::close(fd);
      fd = -1;
    }
  } readEnd{fds[0]}, writeEnd{fds[1]};
  const int writeFd = fds[1];
  ::fcntl(readEnd.fd, F_SETFL, O_NONBLOCK);

  QProcess process;
  process.setChildProcessModifier([&] {
    if (::dup2(writeFd, STDOUT_FILENO) < 0 || ::dup2(writeFd, STDERR_FILENO) < 0) ::_exit(127);
    if (!directory.empty() && ::chdir(directory.c_str()) != 0) ::_exit(127);
    ::execve(argv[0], argv.data(), envp.data());
  });
  process.setProgram(Path(run.Program));
  process.setArguments(ToStringList(run.Arguments));
  process.setStandardOutputFile(QProcess::nullDevice());
  process.setStandardErrorFile(QProcess::nullDevice());
  // A compiler that asks for input gets an end of file rather than waiting
  // on whatever the program itself was started with.
  process.setStandardInputFile(QProcess::nullDevice());
  if (!run.LibraryDirectory.empty()) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    QString paths = env.value("LD_LIBRARY_PATH");
    env.insert("LD_LIBRARY_PATH", paths.isEmpty() ? Path(run.LibraryDirectory)
                                                  : Path(run.LibraryDirectory) + ":" + paths);
    process.setProcessEnvironment(env);
  }

  TSynProcessOutput result;
  std::string& output = result.Text;
  // Older bytes are dropped in large steps, so a flood costs no more than
  // copying each byte a few times.
  auto keepLast = [&](size_t limit) {
    if (output.size() <= limit) return;
    output.erase(0, output.size() - limit);
    result.Cut = true;
  };
  bool eof = false;
  // Reads what is there, a bounded amount at a time so that a flood still
  // leaves the windows their turn.
  auto collect = [&] {
    char buffer[65536];
    for (int i = 0; i < 16 && !eof; ++i) {
      ssize_t n = ::read(readEnd.fd, buffer, sizeof buffer);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
      if (n <= 0) {
        eof = true;
        return;
      }
      output.append(buffer, static_cast<size_t>(n));
      if (output.size() > 2 * maxOutput) keepLast(maxOutput);
    }
  };
  QEventLoop loop;
  bool finished = false, done = false;
  auto finishIfDone = [&] {
    if (finished && (eof || result.Stopped) && !done) {
      done = true;
      loop.quit();
    }
  };
  QSocketNotifier notifier(readEnd.fd, QSocketNotifier::Read);
  QObject::connect(&notifier, &QSocketNotifier::activated, &loop, [&] {
    collect();
    if (eof) notifier.setEnabled(false);
    finishIfDone();
  });
  QTimer grace;
  grace.setSingleShot(true);
  QObject::connect(&grace, &QTimer::timeout, &loop, [&] {
    done = true;
    loop.quit();
  });
  QObject::connect(&process, &QProcess::finished, &loop, [&] {
    finished = true;
    collect();
    if (!eof) grace.start(kLateOutputGraceMs);
    finishIfDone();
  });
  process.start(QIODevice::ReadOnly);
  if (!process.waitForStarted(-1)) return std::nullopt;
  // Only the children hold the writing end now: its end of file is theirs.
  writeEnd.Close();
  struct ControlEnd {
    TSynProcessControl* control;
    ~ControlEnd() {
      if (control) control->stop_ = nullptr;
    }
  } controlEnd{control};
  if (control) {
    control->stop_ = [&] {
      result.Stopped = true;
      process.kill();
    };
  }
  // The windows are painted and take input while the compiler runs.
  if (!done) loop.exec();
  collect();
  keepLast(maxOutput);
  if (result.Cut) {
    // Begin at a line start rather than in the middle of a message.
    size_t lineEnd = output.find('\n');
    if (lineEnd != std::string::npos && lineEnd < 4096) output.erase(0, lineEnd + 1);
  }
  std::erase(output, '\0');
  return result;
}

std::vector<std::string> SplitShellWords(const std::string& text) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false;
  size_t i = 0, n = text.size();
  auto isBlank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
  while (i < n) {
    char c = text[i];
    if (isBlank(c)) {
      if (inWord) words.push_back(std::move(word));
      word.clear();
      inWord = false;
      ++i;
    } else if (c == '\'') {
      inWord = true;
      size_t close = text.find('\'', i + 1);
      if (close == std::string::npos) close = n;  // an open quote runs to the end
      word.append(text, i + 1, close - i - 1);
      i = close + 1;
    } else if (c == '"') {
      inWord = true;
      ++i;
      while (i < n && text[i] != '"') {
        if (text[i] == '\\' && i + 1 < n) {
          char next = text[i + 1];
          if (next == '$' || next == '`' || next == '"' || next == '\\') {
            word += next;
            i += 2;
            continue;
          }
          if (next == '\n') {
            i += 2;
            continue;
          }
        }
        word += text[i++];
      }
      ++i;
    } else if (c == '\\') {
      if (i + 1 < n && text[i + 1] == '\n') {  // a line continuation is removed
        i += 2;
        continue;
      }
      inWord = true;
      word += i + 1 < n ? text[i + 1] : c;
      i += 2;
    } else {
      inWord = true;
      word += c;
      ++i;
    }
  }
  if (inWord) words.push_back(std::move(word));
  return words;
}

bool LaunchDetached(const std::string& program, const std::string& params,
                    const std::string& workingDirectory) {
  // A bare name is looked up here, in the absolute folders of PATH only; a
  // path is the user's, taken from the working directory.
  const bool bare = program.find('/') == std::string::npos;
  const std::string file = bare ? FindProgram(program, ProgramSearchPath()) : program;
  if (file.empty()) return false;
  return QProcess::startDetached(Path(file), ToStringList(SplitShellWords(params)),
                                 Path(workingDirectory));
}

}  // namespace ludra
