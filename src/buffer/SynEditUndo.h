#pragma once
// The undo and redo histories: a list of change records, numbered so that
// the records of one editing step (a block) share a number and are replayed
// together. The list also remembers which point of the history matches the
// saved document. Replaying the records on the editor is the editor's job.
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>

#include "base/SynEditTypes.h"

namespace ludra {

// The numbers are stored in the records and compared; keep them stable.
enum TSynChangeKind : uint8_t {
  ckInsert = 0,
  ckPaste = 1,
  ckDropInsert = 2,
  ckDeleteAfterCaret = 3,
  ckDelete = 4,
  ckLineBreak = 5,
  ckIndent = 6,
  ckUnindent = 7,
  ckDeleteQuiet = 8,
  ckDeleteAfterCaretQuiet = 9,
  ckMarker1Begin = 10,  // 10, 11 and 14..17: marker pairs like the paste pair, unused here
  ckMarker1End = 11,
  ckPasteBegin = 12,
  ckPasteEnd = 13,
  ckMarker2Begin = 14,
  ckMarker2End = 15,
  ckMarker3Begin = 16,
  ckMarker3End = 17,
  ckCaret = 18,
  ckSelection = 19,
  ckNothing = 20,  // never stored: the answer for an empty history
  ckGroupBreak = 21,
  ckReserved22 = 22,  // 22..24 are never recorded
  ckReserved23 = 23,
  ckReserved24 = 24,
  ckWhiteSpaceAdd = 25,
};

// The end markers (paste end and the other pairs) and the begin marker that
// closes each group when replaying backwards.
constexpr bool IsEndMarker(TSynChangeKind k) {
  return k == ckPasteEnd || k == ckMarker1End || k == ckMarker2End || k == ckMarker3End;
}
constexpr TSynChangeKind BeginMarkerOf(TSynChangeKind endMarker) {
  return static_cast<TSynChangeKind>(endMarker - 1);
}

struct TSynEditUndoItem {
  TSynChangeKind ChangeKind = ckNothing;
  TSynSelectionMode SelectionMode = smNormal;
  TBufferCoord StartPos;
  TBufferCoord EndPos;
  std::string ChangeText;  // what is needed to reverse the change
  uint32_t ChangeNumber = 0;
};

class TSynEditUndoList;
using TSynUndoListNotify = std::function<void(TSynEditUndoList* sender)>;

class TSynEditUndoList {
 public:
  // SavedChangeNumber when no point of the history matches the saved
  // document. Wider than the change numbers so it never equals one.
  static constexpr int64_t NoSavedPoint = -1;

  TSynEditUndoList() = default;
  TSynEditUndoList(const TSynEditUndoList&) = delete;
  TSynEditUndoList& operator=(const TSynEditUndoList&) = delete;

  // Appends a record (ignored while locked). Outside a block every record
  // gets a number of its own; inside one, the block's number.
  void RecordChange(TSynChangeKind kind, const TBufferCoord& startPos, const TBufferCoord& endPos,
                    const std::string& changeText, TSynSelectionMode selMode);
  // Appends a record as it is, keeping its number (also while locked: it
  // puts back what was taken, it records nothing new).
  void PushItem(std::unique_ptr<TSynEditUndoItem> item);
  // Nested blocks form one step with one number. A number set with
  // SetBlockChangeNumber before the outermost block opens is kept for it and
  // stays in force after it closes.
  void OpenBlock();
  void CloseBlock();
  // Stops grouping of same-kind records; never two breaks in a row.
  void AddBreak();

  const TSynEditUndoItem* TopItem() const;
  std::unique_ptr<TSynEditUndoItem> TakeTopItem();
  // The records oldest first; index 0..ItemCount()-1 (std::out_of_range
  // otherwise).
  const TSynEditUndoItem& Items(int index) const;
  TSynChangeKind LastChangeKind() const;
  bool HasItems() const { return !items_.empty(); }
  int ItemCount() const { return static_cast<int>(items_.size()); }
  // Frees all records and resets Truncated; the saved point is kept.
  void Clear();

  void Lock() { ++lockCount_; }
  void Unlock() {
    if (lockCount_ > 0) --lockCount_;
  }
  bool IsLocked() const { return lockCount_ > 0; }
  int LockCount() const { return lockCount_; }

  int MaxEntries() const { return maxEntries_; }
  // A negative value counts as 0; a smaller limit drops the oldest records.
  void SetMaxEntries(int value);
  // True once old records were dropped to keep within MaxEntries.
  bool Truncated() const { return truncated_; }

  // The number the next record outside a block gets (never 0).
  uint32_t NextChangeNumber() const { return nextChangeNumber_; }
  void SetNextChangeNumber(uint32_t value) { nextChangeNumber_ = value == 0 ? 1 : value; }
  // The number records get while it is nonzero. The editor sets it directly
  // while replaying, so that the replay's records share one number.
  uint32_t BlockChangeNumber() const { return blockChangeNumber_; }
  void SetBlockChangeNumber(uint32_t value) { blockChangeNumber_ = value; }
  int BlockCount() const { return blockCount_; }

  // true: the current point matches the saved document; false: when it did,
  // no point does any more.
  void SetSavedPoint(bool value);
  bool AtSavedPoint() const;
  // The newest record's number at the saved point, 0 for the empty
  // history, NoSavedPoint when there is none (also once the oldest records
  // were dropped while the saved point was the empty history).
  int64_t SavedChangeNumber() const { return savedChangeNumber_; }

  // Copies another list record by record, with all its counters (not the
  // notice).
  void Assign(const TSynEditUndoList& source);

  // Verifies the counters and records; throws std::logic_error when broken.
  void Check() const;

  // Raised for every record but a break; records made inside a block are
  // reported once, when the outermost block closes.
  TSynUndoListNotify OnItemAdded;

 private:
  void AdvanceNextChangeNumber();
  void Append(std::unique_ptr<TSynEditUndoItem> item);
  void Trim();

  std::deque<std::unique_ptr<TSynEditUndoItem>> items_;
  int maxEntries_ = 1024;
  bool truncated_ = false;
  uint32_t nextChangeNumber_ = 1;
  uint32_t blockChangeNumber_ = 0;
  // The block number in force when the outermost block opened (nonzero when
  // the editor had set one), given back when that block closes.
  uint32_t outerBlockChangeNumber_ = 0;
  bool blockRecorded_ = false;  // the open block has a record other than a break
  int blockCount_ = 0;
  int lockCount_ = 0;
  int64_t savedChangeNumber_ = 0;
};

}  // namespace ludra
