#pragma once
// The moment a start-up benchmark's window has painted its first frame,
// taken the same way in both programs: the window's first expose or update
// request paints it, and a call posted then runs once it is done. The
// moment goes to standard output as nanoseconds of the monotonic clock.
#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <QWindow>
#include <chrono>
#include <cstdio>

namespace ludra::bench {

class TFirstFrame : public QObject {
 public:
  explicit TFirstFrame(QWidget& window) : window_(window) { qApp->installEventFilter(this); }
  ~TFirstFrame() override { qApp->removeEventFilter(this); }
  bool Done() const { return done_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (!posted_ && watched == window_.windowHandle() &&
        (event->type() == QEvent::Expose || event->type() == QEvent::UpdateRequest) &&
        window_.windowHandle()->isExposed()) {
      posted_ = true;
      QMetaObject::invokeMethod(
          this,
          [this] {
            auto now = std::chrono::steady_clock::now().time_since_epoch();
            std::printf("%lld\n",
                        static_cast<long long>(
                            std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
            std::fflush(stdout);
            done_ = true;
          },
          Qt::QueuedConnection);
    }
    return false;
  }

 private:
  QWidget& window_;
  bool posted_ = false, done_ = false;
};

// Shows the window and returns once its first frame is on the screen.
inline void ShowFirstFrame(QWidget& window) {
  // Installed before the window shows, and after the window's own filters,
  // so this one sees the first expose first.
  TFirstFrame frame(window);
  window.show();
  while (!frame.Done()) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

}  // namespace ludra::bench
