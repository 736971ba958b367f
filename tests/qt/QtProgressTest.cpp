#include <gtest/gtest.h>

#include <QProgressDialog>
#include <QWidget>

#include "qt/SynQtProgress.h"

namespace ludra {
namespace {

TEST(QtProgress, AStopEndsOnlyTheOperationItWasGivenFor) {
  QWidget owner;
  TSynQtProgress progress(&owner);
  EXPECT_FALSE(progress.Progress(pkUndo, 10));
  auto* box = owner.findChild<QProgressDialog*>();
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->labelText(), "Undoing...");
  box->cancel();  // as Escape and the Stop button do
  EXPECT_TRUE(progress.Progress(pkUndo, 20));
  progress.Done();
  EXPECT_TRUE(progress.Stopped());
  // The next operation runs on.
  EXPECT_FALSE(progress.Progress(pkRedo, 5));
  EXPECT_EQ(owner.findChild<QProgressDialog*>()->labelText(), "Redoing...");
  progress.Done();
}

}  // namespace
}  // namespace ludra
