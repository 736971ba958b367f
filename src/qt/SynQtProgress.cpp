#include "qt/SynQtProgress.h"

#include <QCoreApplication>

namespace ludra {

TSynQtProgress::TSynQtProgress(QWidget* owner) : owner_(owner) { clock_.start(); }

TSynQtProgress::~TSynQtProgress() { delete box_.data(); }

bool TSynQtProgress::Progress(TSynProgressKind kind, int percent) {
  if (!box_) {
    // A new operation: an earlier one's stop does not carry over.
    stopped_ = false;
    const QString label = kind == pkUndo   ? QStringLiteral("Undoing...")
                          : kind == pkRedo ? QStringLiteral("Redoing...")
                                           : QStringLiteral("Replacing...");
    box_ = new QProgressDialog(label, QStringLiteral("Stop"), 0, 100,
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
