#include "qt/SynQtProgress.h"

#include <QCoreApplication>
#include <utility>

namespace ludra {

TSynQtProgress::TSynQtProgress(QWidget* owner, QString label)
    : owner_(owner), label_(std::move(label)) {
  clock_.start();
}

TSynQtProgress::~TSynQtProgress() { delete box_.data(); }

bool TSynQtProgress::Progress(int percent) {
  if (!box_) {
    box_ = new QProgressDialog(label_, QStringLiteral("Stop"), 0, 100,
                               owner_ ? owner_->window() : nullptr);
    box_->setWindowTitle(QCoreApplication::applicationName());
    box_->setWindowModality(Qt::WindowModal);
    box_->setMinimumDuration(0);
    box_->setAutoReset(false);
    box_->setAutoClose(false);
    box_->show();
  }
  box_->setValue(percent);
  // Delivers the box's own input (Escape, Stop) and repaints; the owner
  // window is blocked by the box meanwhile.
  QCoreApplication::processEvents();
  if (box_->wasCanceled()) stopped_ = true;
  return stopped_;
}

void TSynQtProgress::Done() { delete box_.data(); }

}  // namespace ludra
