#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "buffer/SynEditUndo.h"

namespace ludra {
namespace {

constexpr TBufferCoord P(int ch, int line) { return TBufferCoord{ch, line}; }

void Rec(TSynEditUndoList& list, TSynChangeKind kind = ckInsert, const std::string& text = "") {
  list.RecordChange(kind, P(1, 1), P(2, 1), text, smNormal);
}

std::vector<uint32_t> Numbers(const TSynEditUndoList& list) {
  std::vector<uint32_t> out;
  for (int i = 0; i < list.ItemCount(); ++i) out.push_back(list.Items(i).ChangeNumber);
  return out;
}

// Counts notices and remembers whether one came while a block was open.
struct NoticeCounter {
  int count = 0;
  bool duringBlock = false;
  void Attach(TSynEditUndoList& list) {
    list.OnItemAdded = [this](TSynEditUndoList* sender) {
      ++count;
      if (sender->BlockCount() > 0) duringBlock = true;
    };
  }
};

TEST(UndoList, RecordStoresEveryField) {
  TSynEditUndoList list;
  list.RecordChange(ckUnindent, P(3, 4), P(7, 9), "  \r\n\t", smColumn);
  const TSynEditUndoItem* top = list.TopItem();
  ASSERT_NE(top, nullptr);
  EXPECT_EQ(top->ChangeKind, ckUnindent);
  EXPECT_EQ(top->SelectionMode, smColumn);
  EXPECT_EQ(top->StartPos, P(3, 4));
  EXPECT_EQ(top->EndPos, P(7, 9));
  EXPECT_EQ(top->ChangeText, "  \r\n\t");
  EXPECT_EQ(top->ChangeNumber, 1u);
  TSynEditUndoItem copy = *top;
  EXPECT_EQ(copy.ChangeText, top->ChangeText);
  EXPECT_EQ(copy.ChangeNumber, top->ChangeNumber);
}

TEST(UndoList, ChangeNumbersInAndOutOfBlocks) {
  TSynEditUndoList list;
  Rec(list);  // 1
  Rec(list);  // 2
  list.OpenBlock();
  Rec(list);
  list.OpenBlock();  // nested: still the same step
  Rec(list);
  list.CloseBlock();
  Rec(list);
  list.CloseBlock();
  Rec(list);
  list.OpenBlock();  // an empty block still uses up its number
  list.CloseBlock();
  Rec(list);
  EXPECT_EQ(Numbers(list), (std::vector<uint32_t>{1, 2, 3, 3, 3, 4, 6}));
  EXPECT_EQ(list.BlockChangeNumber(), 0u);
  EXPECT_EQ(list.BlockCount(), 0);
  list.Check();
}

TEST(UndoList, CloseWithoutOpenDoesNothing) {
  TSynEditUndoList list;
  list.CloseBlock();
  list.CloseBlock();
  EXPECT_EQ(list.BlockCount(), 0);
  EXPECT_EQ(list.NextChangeNumber(), 1u);
  list.OpenBlock();
  Rec(list);
  list.CloseBlock();
  list.CloseBlock();
  Rec(list);
  EXPECT_EQ(Numbers(list), (std::vector<uint32_t>{1, 2}));
  list.Check();
}

TEST(UndoList, ChangeNumbersSkipZeroWhenTheyWrap) {
  constexpr uint32_t kMax = std::numeric_limits<uint32_t>::max();
  TSynEditUndoList list;
  list.SetNextChangeNumber(kMax);
  Rec(list);
  Rec(list);
  EXPECT_EQ(Numbers(list), (std::vector<uint32_t>{kMax, 1}));

  list.SetNextChangeNumber(kMax);
  list.OpenBlock();
  Rec(list);
  list.CloseBlock();
  EXPECT_EQ(list.NextChangeNumber(), 1u);

  list.SetNextChangeNumber(0);
  EXPECT_EQ(list.NextChangeNumber(), 1u);
  list.Check();
}

TEST(UndoList, SavedPointNeverMatchesTheHighestChangeNumber) {
  // The "no saved point" mark must not equal a real number.
  TSynEditUndoList list;
  list.SetNextChangeNumber(std::numeric_limits<uint32_t>::max());
  Rec(list);
  list.SetSavedPoint(true);
  ASSERT_TRUE(list.AtSavedPoint());
  list.SetSavedPoint(false);
  EXPECT_EQ(list.SavedChangeNumber(), TSynEditUndoList::NoSavedPoint);
  EXPECT_FALSE(list.AtSavedPoint());
}

TEST(UndoList, BlockNumberSetByTheReplayIsKept) {
  // A replay pins the number; a command it runs opens its own block, whose
  // records must still join the replayed step.
  TSynEditUndoList list;
  Rec(list);  // 1
  list.SetBlockChangeNumber(42);
  Rec(list);
  list.OpenBlock();
  Rec(list);
  list.CloseBlock();
  EXPECT_EQ(list.BlockChangeNumber(), 42u);
  Rec(list);
  list.SetBlockChangeNumber(0);
  Rec(list);
  EXPECT_EQ(Numbers(list), (std::vector<uint32_t>{1, 42, 42, 42, 2}));
  list.Check();
}

TEST(UndoList, ItemAddedOncePerRecordOrBlockAndNeverForBreaks) {
  struct Case {
    const char* name;
    void (*steps)(TSynEditUndoList&);
    int notices;
  };
  const Case cases[] = {
      {"single record", [](TSynEditUndoList& l) { Rec(l); }, 1},
      {"three records", [](TSynEditUndoList& l) { Rec(l), Rec(l), Rec(l); }, 3},
      {"break", [](TSynEditUndoList& l) { l.AddBreak(); }, 0},
      {"record then break", [](TSynEditUndoList& l) { Rec(l), l.AddBreak(); }, 1},
      {"block of three",
       [](TSynEditUndoList& l) {
         l.OpenBlock();
         Rec(l), Rec(l), Rec(l);
         l.CloseBlock();
       },
       1},
      {"nested blocks",
       [](TSynEditUndoList& l) {
         l.OpenBlock();
         Rec(l);
         l.OpenBlock();
         Rec(l);
         l.CloseBlock();
         Rec(l);
         l.CloseBlock();
       },
       1},
      {"empty block",
       [](TSynEditUndoList& l) {
         Rec(l);
         l.OpenBlock();
         l.CloseBlock();
       },
       1},
      {"block with only a break",
       [](TSynEditUndoList& l) {
         Rec(l);
         l.OpenBlock();
         l.AddBreak();
         l.CloseBlock();
       },
       1},
      {"locked block",
       [](TSynEditUndoList& l) {
         l.Lock();
         l.OpenBlock();
         Rec(l);
         l.CloseBlock();
         l.Unlock();
       },
       0},
      {"two blocks",
       [](TSynEditUndoList& l) {
         for (int i = 0; i < 2; ++i) {
           l.OpenBlock();
           Rec(l), Rec(l);
           l.CloseBlock();
         }
       },
       2},
      {"block trimmed away at once",
       [](TSynEditUndoList& l) {
         l.SetMaxEntries(0);
         l.OpenBlock();
         Rec(l), Rec(l);
         l.CloseBlock();
       },
       1},
      {"put-back record",
       [](TSynEditUndoList& l) {
         Rec(l);
         l.PushItem(l.TakeTopItem());
       },
       2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TSynEditUndoList list;
    NoticeCounter counter;
    counter.Attach(list);
    c.steps(list);
    EXPECT_EQ(counter.count, c.notices);
    EXPECT_FALSE(counter.duringBlock);
    list.Check();
  }
}

TEST(UndoList, AddBreakIsNeverDoubled) {
  TSynEditUndoList list;
  list.AddBreak();  // an empty history takes a break too
  list.AddBreak();
  EXPECT_EQ(list.ItemCount(), 1);
  EXPECT_EQ(list.LastChangeKind(), ckGroupBreak);
  Rec(list);
  list.AddBreak();
  list.AddBreak();
  EXPECT_EQ(list.ItemCount(), 3);
  const TSynEditUndoItem* top = list.TopItem();
  EXPECT_EQ(top->ChangeKind, ckGroupBreak);
  EXPECT_TRUE(top->ChangeText.empty());
  // Breaks are numbered like any record, so a replay can carry them over.
  EXPECT_EQ(Numbers(list), (std::vector<uint32_t>{1, 2, 3}));
  TSynEditUndoList redo;
  redo.SetBlockChangeNumber(top->ChangeNumber);
  redo.AddBreak();
  redo.SetBlockChangeNumber(0);
  EXPECT_EQ(redo.TopItem()->ChangeNumber, 3u);
}

TEST(UndoList, LockIgnoresRecordsAndNests) {
  TSynEditUndoList list;
  NoticeCounter counter;
  counter.Attach(list);
  list.Lock();
  list.Lock();
  Rec(list);
  list.AddBreak();
  list.Unlock();
  Rec(list);
  EXPECT_FALSE(list.HasItems());
  EXPECT_EQ(list.NextChangeNumber(), 1u);
  list.Unlock();
  list.Unlock();  // never below zero
  EXPECT_EQ(list.LockCount(), 0);
  Rec(list);
  EXPECT_EQ(list.ItemCount(), 1);
  EXPECT_EQ(counter.count, 1);
  // Putting a taken record back is not a recording: the lock lets it through.
  list.Lock();
  list.PushItem(list.TakeTopItem());
  EXPECT_EQ(list.ItemCount(), 1);
  list.Unlock();
  list.Check();
}

TEST(UndoList, TopTakeAndLastKind) {
  TSynEditUndoList list;
  EXPECT_EQ(list.TopItem(), nullptr);
  EXPECT_EQ(list.TakeTopItem(), nullptr);
  EXPECT_EQ(list.LastChangeKind(), ckNothing);
  EXPECT_FALSE(list.HasItems());
  Rec(list, ckInsert, "a");
  Rec(list, ckDelete, "b");
  EXPECT_EQ(list.LastChangeKind(), ckDelete);
  std::unique_ptr<TSynEditUndoItem> taken = list.TakeTopItem();
  ASSERT_NE(taken, nullptr);
  EXPECT_EQ(taken->ChangeText, "b");
  EXPECT_EQ(list.ItemCount(), 1);
  EXPECT_EQ(list.LastChangeKind(), ckInsert);
  EXPECT_THROW(list.Items(1), std::out_of_range);
  EXPECT_THROW(list.Items(-1), std::out_of_range);
  // Pushed back, it keeps its number.
  list.PushItem(std::move(taken));
  EXPECT_EQ(Numbers(list), (std::vector<uint32_t>{1, 2}));
  list.PushItem(nullptr);
  EXPECT_EQ(list.ItemCount(), 2);
}

TEST(UndoList, TrimmingDropsTheOldestAndSetsTruncated) {
  TSynEditUndoList list;
  EXPECT_EQ(list.MaxEntries(), 1024);
  list.SetMaxEntries(2);
  Rec(list, ckInsert, "1");
  Rec(list, ckInsert, "2");
  EXPECT_FALSE(list.Truncated());
  Rec(list, ckInsert, "3");
  EXPECT_TRUE(list.Truncated());
  ASSERT_EQ(list.ItemCount(), 2);
  EXPECT_EQ(list.Items(0).ChangeText, "2");
  EXPECT_EQ(list.Items(1).ChangeText, "3");
  list.Check();

  list.SetMaxEntries(5);
  for (int i = 0; i < 4; ++i) Rec(list);
  EXPECT_EQ(list.ItemCount(), 5);
  list.SetMaxEntries(3);  // a smaller limit trims at once
  EXPECT_EQ(list.ItemCount(), 3);
  list.SetMaxEntries(-7);
  EXPECT_EQ(list.MaxEntries(), 0);
  EXPECT_FALSE(list.HasItems());
  Rec(list);
  EXPECT_FALSE(list.HasItems());
  list.Check();

  list.Clear();
  EXPECT_FALSE(list.Truncated());
}

TEST(UndoList, TrimmingTakesWholeStepsAndKeepsTheNewestWhole) {
  TSynEditUndoList list;
  list.SetMaxEntries(3);
  Rec(list, ckInsert, "a");
  list.OpenBlock();
  Rec(list, ckInsert, "b1");
  Rec(list, ckInsert, "b2");
  list.CloseBlock();
  Rec(list, ckInsert, "c");  // four records: "a" goes, the block stays whole
  ASSERT_EQ(list.ItemCount(), 3);
  EXPECT_EQ(list.Items(0).ChangeText, "b1");
  Rec(list, ckInsert, "d");  // the oldest step is the block: both records go
  ASSERT_EQ(list.ItemCount(), 2);
  EXPECT_EQ(list.Items(0).ChangeText, "c");
  // A step larger than the limit is kept whole while it is the newest.
  list.OpenBlock();
  for (int i = 0; i < 10; ++i) Rec(list, ckInsert, "e" + std::to_string(i));
  list.CloseBlock();
  EXPECT_EQ(list.ItemCount(), 10);
  EXPECT_EQ(list.Items(0).ChangeText, "e0");
  list.Check();
  Rec(list, ckInsert, "f");
  EXPECT_EQ(list.ItemCount(), 1);
  list.Check();
}

TEST(UndoList, SavedPointRules) {
  TSynEditUndoList list;
  // A new, empty history stands at the saved point.
  EXPECT_EQ(list.SavedChangeNumber(), 0);
  EXPECT_TRUE(list.AtSavedPoint());

  Rec(list);  // 1
  EXPECT_FALSE(list.AtSavedPoint());
  std::unique_ptr<TSynEditUndoItem> one = list.TakeTopItem();
  EXPECT_TRUE(list.AtSavedPoint());  // undone back to the empty history
  list.PushItem(std::move(one));

  list.SetSavedPoint(true);
  EXPECT_EQ(list.SavedChangeNumber(), 1);
  EXPECT_TRUE(list.AtSavedPoint());
  Rec(list);  // 2
  EXPECT_FALSE(list.AtSavedPoint());
  std::unique_ptr<TSynEditUndoItem> two = list.TakeTopItem();
  EXPECT_TRUE(list.AtSavedPoint());
  list.PushItem(std::move(two));  // redone: same number, modified again
  EXPECT_FALSE(list.AtSavedPoint());

  // Not at the saved point: clearing it changes nothing.
  list.SetSavedPoint(false);
  EXPECT_EQ(list.SavedChangeNumber(), 1);
  list.TakeTopItem();
  ASSERT_TRUE(list.AtSavedPoint());

  // At the saved point: afterwards no point counts as saved, not even the
  // empty history.
  list.SetSavedPoint(false);
  EXPECT_EQ(list.SavedChangeNumber(), TSynEditUndoList::NoSavedPoint);
  EXPECT_FALSE(list.AtSavedPoint());
  list.TakeTopItem();
  EXPECT_FALSE(list.HasItems());
  EXPECT_FALSE(list.AtSavedPoint());

  // Saving the empty history.
  list.SetSavedPoint(true);
  EXPECT_EQ(list.SavedChangeNumber(), 0);
  EXPECT_TRUE(list.AtSavedPoint());
}

TEST(UndoList, SavedPointOfABlockCoversTheWholeBlock) {
  TSynEditUndoList list;
  list.OpenBlock();
  Rec(list);
  Rec(list);
  list.CloseBlock();
  list.SetSavedPoint(true);
  Rec(list);
  EXPECT_FALSE(list.AtSavedPoint());
  list.TakeTopItem();
  EXPECT_TRUE(list.AtSavedPoint());
}

TEST(UndoList, SavedEmptyHistoryIsLostWhenOldRecordsAreDropped) {
  // Three changes with room for two: undoing both leaves the first change
  // in the text, so the empty history no longer matches the saved text.
  TSynEditUndoList list;
  list.SetMaxEntries(2);
  Rec(list), Rec(list), Rec(list);
  list.TakeTopItem();
  list.TakeTopItem();
  EXPECT_FALSE(list.HasItems());
  EXPECT_FALSE(list.AtSavedPoint());
  EXPECT_EQ(list.SavedChangeNumber(), TSynEditUndoList::NoSavedPoint);

  // A saved point on a record survives the dropping of older records.
  TSynEditUndoList other;
  other.SetMaxEntries(2);
  Rec(other);
  Rec(other);
  other.SetSavedPoint(true);
  Rec(other);
  other.TakeTopItem();
  EXPECT_TRUE(other.AtSavedPoint());
}

TEST(UndoList, ClearKeepsTheSavedPoint) {
  TSynEditUndoList list;
  Rec(list);
  list.SetSavedPoint(true);
  list.Clear();
  EXPECT_FALSE(list.HasItems());
  EXPECT_EQ(list.SavedChangeNumber(), 1);
  EXPECT_FALSE(list.AtSavedPoint());
}

TEST(UndoList, AssignCopiesRecordsAndCounters) {
  TSynEditUndoList source;
  source.SetMaxEntries(3);
  for (int i = 0; i < 4; ++i) Rec(source, ckInsert, std::to_string(i));
  source.SetSavedPoint(true);
  source.OpenBlock();
  source.Lock();
  TSynEditUndoList copy;
  int notices = 0;
  copy.OnItemAdded = [&](TSynEditUndoList*) { ++notices; };
  copy.Assign(source);
  EXPECT_EQ(Numbers(copy), Numbers(source));
  EXPECT_EQ(copy.Items(2).ChangeText, "3");
  EXPECT_EQ(copy.MaxEntries(), 3);
  EXPECT_TRUE(copy.Truncated());
  EXPECT_EQ(copy.NextChangeNumber(), source.NextChangeNumber());
  EXPECT_EQ(copy.BlockCount(), 1);
  EXPECT_EQ(copy.BlockChangeNumber(), source.BlockChangeNumber());
  EXPECT_EQ(copy.LockCount(), 1);
  EXPECT_TRUE(copy.AtSavedPoint());
  EXPECT_EQ(notices, 0);
  EXPECT_NE(&copy.Items(0), &source.Items(0));  // records are copies
  copy.Check();
}

TEST(UndoList, CheckReportsBrokenState) {
  TSynEditUndoList list;
  Rec(list);
  list.Check();
  // An open block without a number cannot happen through the block calls;
  // forcing one must be caught.
  list.OpenBlock();
  list.SetBlockChangeNumber(0);
  EXPECT_THROW(list.Check(), std::logic_error);
  list.SetBlockChangeNumber(5);
  list.Check();
  list.PushItem(std::make_unique<TSynEditUndoItem>());  // kind ckNothing, number 0
  EXPECT_THROW(list.Check(), std::logic_error);
}

// Random operations against a small model of the text: each record stands
// for one change of the text; undo takes the whole newest step, redo puts it
// back. The saved point must hold exactly when the applied changes equal
// those at the last save.
TEST(UndoList, RandomizedOperationsKeepTheInvariants) {
  for (unsigned seed = 1; seed <= 20; ++seed) {
    SCOPED_TRACE(seed);
    std::mt19937 rng(seed);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };

    TSynEditUndoList list;
    list.SetMaxEntries(1000000);  // no trimming: the model keeps every change
    int notices = 0;
    list.OnItemAdded = [&](TSynEditUndoList* sender) {
      EXPECT_EQ(sender, &list);
      EXPECT_EQ(sender->BlockCount(), 0);
      ++notices;
    };

    std::vector<int> applied;  // change ids in the text, oldest first
    std::vector<int> savedText;
    bool hasSaved = true;
    std::vector<std::vector<std::unique_ptr<TSynEditUndoItem>>> redo;
    int nextId = 1;
    int expectedNotices = 0;
    bool blockHasRecord = false;
    uint32_t blockNumber = 0;

    for (int step = 0; step < 3000; ++step) {
      int op = pick(12);
      bool inBlock = list.BlockCount() > 0;
      if (op <= 2) {  // a change
        int id = nextId++;
        list.RecordChange(static_cast<TSynChangeKind>(pick(2) ? ckInsert : ckDelete),
                          P(pick(50) + 1, pick(50) + 1), P(1, 1), std::to_string(id), smNormal);
        if (!list.IsLocked()) {
          applied.push_back(id);
          redo.clear();
          ASSERT_EQ(list.TopItem()->ChangeText, std::to_string(id));
          if (inBlock) {
            if (!blockHasRecord) blockNumber = list.TopItem()->ChangeNumber;
            EXPECT_EQ(list.TopItem()->ChangeNumber, blockNumber);
            blockHasRecord = true;
          } else {
            ++expectedNotices;
          }
        }
      } else if (op == 3) {
        if (!inBlock) blockHasRecord = false;
        list.OpenBlock();
      } else if (op == 4) {
        if (inBlock) {
          list.CloseBlock();
          if (list.BlockCount() == 0 && blockHasRecord) ++expectedNotices;
          if (list.BlockCount() == 0) blockHasRecord = false;
        }
      } else if (op == 5) {
        // The editor adds breaks only to a history that has items.
        if (list.HasItems()) {
          int before = list.ItemCount();
          bool topIsBreak = list.LastChangeKind() == ckGroupBreak;
          list.AddBreak();
          EXPECT_EQ(list.ItemCount(), before + (list.IsLocked() || topIsBreak ? 0 : 1));
        }
      } else if ((op == 6 || op == 7) &&
                 !inBlock) {  // undo one step, carrying a break on top along
        std::vector<std::unique_ptr<TSynEditUndoItem>> stepItems;
        if (list.LastChangeKind() == ckGroupBreak) stepItems.push_back(list.TakeTopItem());
        if (list.HasItems()) {
          uint32_t n = list.TopItem()->ChangeNumber;
          while (list.HasItems() && list.TopItem()->ChangeNumber == n) {
            if (list.LastChangeKind() != ckGroupBreak) applied.pop_back();
            stepItems.push_back(list.TakeTopItem());
          }
        }
        if (!stepItems.empty()) redo.push_back(std::move(stepItems));
      } else if ((op == 8 || op == 9) && !inBlock && !redo.empty()) {  // redo one step
        auto stepItems = std::move(redo.back());
        redo.pop_back();
        for (auto it = stepItems.rbegin(); it != stepItems.rend(); ++it) {
          if ((*it)->ChangeKind != ckGroupBreak) {
            applied.push_back(std::stoi((*it)->ChangeText));
            ++expectedNotices;
          }
          list.PushItem(std::move(*it));
        }
      } else if (op >= 10 && !inBlock) {
        switch (pick(4)) {
          case 0:
          case 1:
            if (list.IsLocked()) break;
            // As the editor does when the text is saved: a break first.
            if (list.HasItems()) list.AddBreak();
            list.SetSavedPoint(true);
            savedText = applied;
            hasSaved = true;
            break;
          case 2:
            if (list.AtSavedPoint()) hasSaved = false;
            list.SetSavedPoint(false);
            break;
          case 3:
            if (list.IsLocked())
              list.Unlock();
            else
              list.Lock();
            break;
        }
      }
      list.Check();
      EXPECT_EQ(notices, expectedNotices);
      // Only comparable while the history holds every applied change.
      if (!inBlock && list.BlockCount() == 0) {
        bool textSaved = hasSaved && applied == savedText;
        ASSERT_EQ(list.AtSavedPoint(), textSaved) << "step " << step;
      }
    }
  }
}

}  // namespace
}  // namespace ludra
