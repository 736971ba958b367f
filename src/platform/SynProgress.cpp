#include "platform/SynProgress.h"

#include <algorithm>

namespace ludra {

TSynProgressGate::TSynProgressGate(TSynProgressSink* sink, TSynProgressKind kind)
    : sink_(sink), kind_(kind) {
  if (sink_) nextCheck_ = sink_->Now() + ShowAfterMs;
}

TSynProgressGate::~TSynProgressGate() {
  if (shown_) sink_->Done();
}

bool TSynProgressGate::Step(long long done, long long total) {
  if (!sink_ || stopped_) return stopped_;
  long long now = sink_->Now();
  if (now < nextCheck_) return false;
  nextCheck_ = now + UpdateMs;
  shown_ = true;
  int percent = total > 0 ? static_cast<int>(std::clamp(done * 100 / total, 0LL, 100LL)) : 0;
  stopped_ = sink_->Progress(kind_, percent);
  return stopped_;
}

bool TSynProgressGate::Due() const { return sink_ && !stopped_ && sink_->Now() >= nextCheck_; }

}  // namespace ludra
