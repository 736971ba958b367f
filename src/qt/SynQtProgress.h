#pragma once
// The progress of a long operation as a small window-modal progress box:
// while it shows, the owner window takes no input, so the operation runs
// on undisturbed while the box's Stop button or Escape asks it to end.
#include <QElapsedTimer>
#include <QPointer>
#include <QProgressDialog>

#include "platform/SynProgress.h"

namespace ludra {

class TSynQtProgress : public TSynProgressSink {
 public:
  explicit TSynQtProgress(QWidget* owner);
  ~TSynQtProgress() override;

  long long Now() override { return clock_.elapsed(); }
  bool Progress(TSynProgressKind kind, int percent) override;
  void Done() override;

  // Whether the user stopped the last operation shown; cleared by Reset.
  bool Stopped() const { return stopped_; }
  void Reset() { stopped_ = false; }

 private:
  QWidget* owner_;
  QElapsedTimer clock_;
  QPointer<QProgressDialog> box_;
  bool stopped_ = false;
};

}  // namespace ludra
