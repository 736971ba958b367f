#include "platform/SynTimer.h"

#include <algorithm>
#include <climits>

namespace ludra {

void TSynTimer::SetInterval(int milliseconds) { interval_ = std::max(milliseconds, 1); }

class TSynManualClock::TManualTimer : public TSynTimer {
 public:
  explicit TManualTimer(TSynManualClock* clock) : clock_(clock) { clock_->timers_.push_back(this); }
  ~TManualTimer() override {
    if (!clock_) return;
    auto& v = clock_->timers_;
    v.erase(std::remove(v.begin(), v.end(), this), v.end());
  }
  void SetInterval(int milliseconds) override {
    TSynTimer::SetInterval(milliseconds);
    if (clock_) due_ = clock_->now_ + interval_;
  }
  void SetEnabled(bool value) override {
    // Starting (again) counts a whole interval from now, like a restarted timer.
    if (value && !enabled_ && clock_) due_ = clock_->now_ + interval_;
    TSynTimer::SetEnabled(value);
  }

  TSynManualClock* clock_;
  long long due_ = 0;
  using TSynTimer::Fire;
};

TSynManualClock::~TSynManualClock() {
  for (TManualTimer* t : timers_) t->clock_ = nullptr;
}

std::unique_ptr<TSynTimer> TSynManualClock::CreateTimer() {
  return std::make_unique<TManualTimer>(this);
}

void TSynManualClock::Advance(int milliseconds) {
  long long end = now_ + std::max(milliseconds, 0);
  for (;;) {
    // The earliest enabled timer due by the end; a handler may stop, start
    // or destroy timers, so the search is repeated after every tick.
    TManualTimer* next = nullptr;
    for (TManualTimer* t : timers_)
      if (t->Enabled() && t->due_ <= end && (!next || t->due_ < next->due_)) next = t;
    if (!next) break;
    now_ = std::max(now_, next->due_);
    next->due_ += next->Interval();
    next->Fire();
  }
  now_ = end;
}

}  // namespace ludra
