#include "buffer/SynEditUndo.h"

#include <limits>
#include <stdexcept>

namespace ludra {

void TSynEditUndoList::AdvanceNextChangeNumber() {
  if (++nextChangeNumber_ == 0) nextChangeNumber_ = 1;
}

void TSynEditUndoList::RecordChange(TSynChangeKind kind, const TBufferCoord& startPos,
                                    const TBufferCoord& endPos, const std::string& changeText,
                                    TSynSelectionMode selMode) {
  if (lockCount_ > 0) return;
  auto item = std::make_unique<TSynEditUndoItem>();
  item->ChangeKind = kind;
  item->SelectionMode = selMode;
  item->StartPos = startPos;
  item->EndPos = endPos;
  item->ChangeText = changeText;
  if (blockChangeNumber_ != 0) {
    item->ChangeNumber = blockChangeNumber_;
  } else {
    item->ChangeNumber = nextChangeNumber_;
    if (blockCount_ == 0) AdvanceNextChangeNumber();
  }
  Append(std::move(item));
}

void TSynEditUndoList::PushItem(std::unique_ptr<TSynEditUndoItem> item) {
  // Putting a record back is not a new recording, so a lock does not stop it.
  if (item) Append(std::move(item));
}

void TSynEditUndoList::Append(std::unique_ptr<TSynEditUndoItem> item) {
  bool isBreak = item->ChangeKind == ckGroupBreak;
  items_.push_back(std::move(item));
  Trim();
  if (isBreak) return;
  // Inside a block the listener hears once, when the block closes.
  if (blockCount_ > 0)
    blockRecorded_ = true;
  else if (OnItemAdded)
    OnItemAdded(this);
}

void TSynEditUndoList::Trim() {
  if (static_cast<int>(items_.size()) <= maxEntries_) return;
  truncated_ = true;
  if (maxEntries_ == 0) {
    items_.clear();
  } else {
    // Whole steps go, oldest first; the newest step stays whole even when it
    // alone is over the limit, so an undo never reverts half of a step (a
    // replace-all of thousands of occurrences is one step).
    uint32_t newest = items_.back()->ChangeNumber;
    while (static_cast<int>(items_.size()) > maxEntries_ && items_.front()->ChangeNumber != newest) {
      uint32_t oldest = items_.front()->ChangeNumber;
      while (items_.front()->ChangeNumber == oldest) items_.pop_front();
    }
  }
  // The empty history no longer stands for the saved text once its oldest
  // change is gone; undoing everything must not look unmodified.
  if (savedChangeNumber_ == 0) savedChangeNumber_ = NoSavedPoint;
}

void TSynEditUndoList::OpenBlock() {
  if (blockCount_ == 0) {
    outerBlockChangeNumber_ = blockChangeNumber_;
    blockRecorded_ = false;
  }
  ++blockCount_;
  // A number set by the editor for a replay is kept, so that a command run
  // during the replay joins the replayed step.
  if (blockChangeNumber_ == 0) blockChangeNumber_ = nextChangeNumber_;
}

void TSynEditUndoList::CloseBlock() {
  if (blockCount_ <= 0) return;
  if (--blockCount_ > 0) return;
  if (outerBlockChangeNumber_ == 0) {
    blockChangeNumber_ = 0;
    AdvanceNextChangeNumber();
  } else {
    blockChangeNumber_ = outerBlockChangeNumber_;
    outerBlockChangeNumber_ = 0;
  }
  // One notice for the whole block, also when its records were trimmed away
  // at once (MaxEntries 0): the text did change.
  if (blockRecorded_) {
    blockRecorded_ = false;
    if (OnItemAdded) OnItemAdded(this);
  }
}

void TSynEditUndoList::AddBreak() {
  if (!items_.empty() && items_.back()->ChangeKind == ckGroupBreak) return;
  RecordChange(ckGroupBreak, TBufferCoord{0, 0}, TBufferCoord{0, 0}, std::string(), smNormal);
}

const TSynEditUndoItem* TSynEditUndoList::TopItem() const {
  return items_.empty() ? nullptr : items_.back().get();
}

std::unique_ptr<TSynEditUndoItem> TSynEditUndoList::TakeTopItem() {
  if (items_.empty()) return nullptr;
  std::unique_ptr<TSynEditUndoItem> item = std::move(items_.back());
  items_.pop_back();
  return item;
}

const TSynEditUndoItem& TSynEditUndoList::Items(int index) const {
  if (index < 0 || index >= ItemCount()) throw std::out_of_range("undo item index");
  return *items_[static_cast<size_t>(index)];
}

TSynChangeKind TSynEditUndoList::LastChangeKind() const {
  return items_.empty() ? ckNothing : items_.back()->ChangeKind;
}

void TSynEditUndoList::Clear() {
  items_.clear();
  truncated_ = false;
}

void TSynEditUndoList::SetMaxEntries(int value) {
  if (value < 0) value = 0;
  if (value == maxEntries_) return;
  maxEntries_ = value;
  Trim();
}

void TSynEditUndoList::SetSavedPoint(bool value) {
  if (value) {
    savedChangeNumber_ = items_.empty() ? 0 : items_.back()->ChangeNumber;
  } else if (AtSavedPoint()) {
    savedChangeNumber_ = NoSavedPoint;
  }
}

bool TSynEditUndoList::AtSavedPoint() const {
  if (items_.empty()) return savedChangeNumber_ == 0;
  return static_cast<int64_t>(items_.back()->ChangeNumber) == savedChangeNumber_;
}

void TSynEditUndoList::Assign(const TSynEditUndoList& source) {
  if (&source == this) return;
  items_.clear();
  for (const auto& item : source.items_)
    items_.push_back(std::make_unique<TSynEditUndoItem>(*item));
  maxEntries_ = source.maxEntries_;
  truncated_ = source.truncated_;
  nextChangeNumber_ = source.nextChangeNumber_;
  blockChangeNumber_ = source.blockChangeNumber_;
  outerBlockChangeNumber_ = source.outerBlockChangeNumber_;
  blockRecorded_ = source.blockRecorded_;
  blockCount_ = source.blockCount_;
  lockCount_ = source.lockCount_;
  savedChangeNumber_ = source.savedChangeNumber_;
}

void TSynEditUndoList::Check() const {
  auto fail = [](const char* what) { throw std::logic_error(what); };
  if (maxEntries_ < 0) fail("negative MaxEntries");
  if (static_cast<int>(items_.size()) > maxEntries_) {
    // Only the newest step may be over the limit on its own.
    for (const auto& item : items_)
      if (item && item->ChangeNumber != items_.back()->ChangeNumber)
        fail("more records than MaxEntries");
  }
  if (nextChangeNumber_ == 0) fail("next change number is 0");
  if (blockCount_ < 0) fail("negative block count");
  if (lockCount_ < 0) fail("negative lock count");
  if (blockCount_ > 0 && blockChangeNumber_ == 0) fail("open block without a number");
  if (blockCount_ == 0 && (outerBlockChangeNumber_ != 0 || blockRecorded_))
    fail("block state left over after the block closed");
  if (savedChangeNumber_ < NoSavedPoint ||
      savedChangeNumber_ > std::numeric_limits<uint32_t>::max())
    fail("saved change number out of range");
  for (const auto& item : items_) {
    if (!item) fail("missing record");
    if (item->ChangeKind > ckWhiteSpaceAdd || item->ChangeKind == ckNothing)
      fail("record of an unknown kind");
    if (item->SelectionMode > smColumn) fail("record with an unknown selection mode");
    if (item->ChangeNumber == 0) fail("record without a change number");
  }
}

}  // namespace ludra
