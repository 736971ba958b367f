#pragma once
// Builds the function catalog on a thread of its own, so that reading a
// large include tree never holds the window up: the window hands it a
// request and takes the result when told it is ready. One build runs at a
// time; a request made meanwhile waits, and a newer one replaces it.
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "appcore/FunctionCatalog.h"

namespace ludra {

class TCatalogWorker {
 public:
  // onReady runs on the worker's thread after each build; it only has to
  // tell the window's thread to Take the result.
  explicit TCatalogWorker(std::function<void()> onReady);
  // A running build is stopped, not waited for to its end.
  ~TCatalogWorker();

  void Request(TCatalogRequest request);
  // The newest finished build, once; nothing when none is waiting.
  std::optional<TCatalogBuild> Take();
  // A build is running or waiting to run, or its result to be taken.
  bool Busy() const;
  // Waits until no build runs or waits to run.
  void Wait();
  // Lets go of a catalog (or lists) on the worker's thread: freeing tens of
  // thousands of entries would hold the window up.
  void Discard(std::shared_ptr<const void> garbage);
  // Counts the files read, for tests (called on the worker's thread).
  std::function<void(const std::string& path)>& OnRead() { return builder_.OnRead(); }

 private:
  void Run();

  TCatalogBuilder builder_;  // used on the worker's thread only
  std::function<void()> onReady_;
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::optional<TCatalogRequest> next_;
  std::optional<TCatalogBuild> ready_;
  std::vector<std::shared_ptr<const void>> garbage_;
  bool running_ = false, quit_ = false;
  std::thread thread_;
};

}  // namespace ludra
