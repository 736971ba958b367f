#include "qt/SynQtTimer.h"

namespace ludra {

TSynQtTimer::TSynQtTimer() {
  timer_.setSingleShot(false);
  timer_.setInterval(interval_);
  QObject::connect(&timer_, &QTimer::timeout, [this] { Fire(); });
}

void TSynQtTimer::SetInterval(int milliseconds) {
  TSynTimer::SetInterval(milliseconds);
  timer_.setInterval(interval_);
}

void TSynQtTimer::SetEnabled(bool value) {
  if (value == enabled_) return;
  TSynTimer::SetEnabled(value);
  if (value)
    timer_.start();
  else
    timer_.stop();
}

}  // namespace ludra
