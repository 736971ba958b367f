#include "appcore/CatalogWorker.h"

namespace ludra {

TCatalogWorker::TCatalogWorker(std::function<void()> onReady) : onReady_(std::move(onReady)) {
  thread_ = std::thread([this] { Run(); });
}

TCatalogWorker::~TCatalogWorker() {
  {
    std::lock_guard lock(mutex_);
    quit_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

void TCatalogWorker::Request(TCatalogRequest request) {
  {
    std::lock_guard lock(mutex_);
    next_ = std::move(request);
  }
  changed_.notify_all();
}

std::optional<TCatalogBuild> TCatalogWorker::Take() {
  std::lock_guard lock(mutex_);
  std::optional<TCatalogBuild> build = std::move(ready_);
  ready_.reset();
  return build;
}

bool TCatalogWorker::Busy() const {
  std::lock_guard lock(mutex_);
  return running_ || next_.has_value() || ready_.has_value();
}

void TCatalogWorker::Wait() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return !running_ && !next_; });
}

void TCatalogWorker::Discard(std::shared_ptr<const void> garbage) {
  if (!garbage) return;
  {
    std::lock_guard lock(mutex_);
    garbage_.push_back(std::move(garbage));
  }
  changed_.notify_all();
}

void TCatalogWorker::Run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return quit_ || next_.has_value() || !garbage_.empty(); });
    if (!garbage_.empty()) {
      std::vector<std::shared_ptr<const void>> garbage = std::move(garbage_);
      garbage_.clear();
      lock.unlock();
      garbage.clear();
      lock.lock();
      continue;
    }
    if (quit_) return;
    TCatalogRequest request = std::move(*next_);
    next_.reset();
    running_ = true;
    lock.unlock();
    // A build a newer request makes stale, or the end of the program,
    // stops early; its result is dropped.
    auto stop = [this] {
      std::lock_guard guard(mutex_);
      return quit_ || next_.has_value();
    };
    TCatalogBuild build = builder_.Build(request, stop);
    lock.lock();
    running_ = false;
    bool stale = quit_ || next_.has_value();
    if (!stale) ready_ = std::move(build);
    changed_.notify_all();
    if (stale) continue;
    lock.unlock();
    if (onReady_) onReady_();
    lock.lock();
  }
}

}  // namespace ludra
