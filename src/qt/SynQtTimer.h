#pragma once
// The timer interface on a QTimer: ticks come from the Qt event loop.
#include <QTimer>

#include "platform/SynTimer.h"

namespace ludra {

class TSynQtTimer : public TSynTimer {
 public:
  TSynQtTimer();
  void SetInterval(int milliseconds) override;
  void SetEnabled(bool value) override;

 private:
  QTimer timer_;
};

}  // namespace ludra
