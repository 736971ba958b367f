#pragma once
// Timers for the editor and its helpers (auto-scroll, caret blink, delayed
// triggers). The core only sees this interface; the Qt side runs it on
// QTimer, tests on a manual clock they advance by hand.
#include <functional>
#include <memory>
#include <vector>

namespace ludra {

class TSynTimer {
 public:
  virtual ~TSynTimer() = default;
  int Interval() const { return interval_; }
  // Takes effect at the next start (or at once when running).
  virtual void SetInterval(int milliseconds);
  bool Enabled() const { return enabled_; }
  virtual void SetEnabled(bool value) { enabled_ = value; }

  // Raised on every tick while enabled, on the owner's thread.
  std::function<void()> OnTimer;

 protected:
  void Fire() {
    if (enabled_ && OnTimer) OnTimer();
  }
  int interval_ = 1000;
  bool enabled_ = false;
};

// A clock that only moves when told to. Timers made by it fire when
// Advance() passes their due times, in time order, so tests replay ticks
// exactly without waiting.
class TSynManualClock {
 public:
  TSynManualClock() = default;
  TSynManualClock(const TSynManualClock&) = delete;
  TSynManualClock& operator=(const TSynManualClock&) = delete;
  ~TSynManualClock();

  long long Now() const { return now_; }
  std::unique_ptr<TSynTimer> CreateTimer();
  // Moves the clock on, firing every tick that falls due on the way.
  void Advance(int milliseconds);

 private:
  class TManualTimer;
  friend class TManualTimer;
  long long now_ = 0;
  std::vector<TManualTimer*> timers_;
};

}  // namespace ludra
