#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "base/SynHandlerList.h"

using namespace ludra;

namespace {

// An entry with an identity (what removal compares) and a tag that only
// tells equal entries apart.
struct TEntry {
  int id;
  int tag;
};
struct TSameId {
  bool operator()(const TEntry& a, const TEntry& b) const { return a.id == b.id; }
};

// The rules spelled out on a plain vector.
struct TModel {
  THandlerOrder order;
  THandlerRemoval removal;
  THandlerAdding adding;
  std::vector<TEntry> items;

  bool Add(TEntry e) {
    bool present = std::any_of(items.begin(), items.end(), [&](auto& x) { return x.id == e.id; });
    if (adding == THandlerAdding::Unique && present) return false;
    items.push_back(e);
    return true;
  }
  void Remove(TEntry e) {
    if (removal == THandlerRemoval::AllEqual) {
      std::erase_if(items, [&](auto& x) { return x.id == e.id; });
      return;
    }
    for (int i = static_cast<int>(items.size()) - 1; i >= 0; --i)
      if (items[i].id == e.id) {
        items.erase(items.begin() + i);
        return;
      }
  }
  std::vector<int> CallOrder() const {
    std::vector<int> tags;
    for (auto& e : items) tags.push_back(e.tag);
    if (order == THandlerOrder::NewestFirst) std::reverse(tags.begin(), tags.end());
    return tags;
  }
};

template <THandlerOrder O, THandlerRemoval R, THandlerAdding A>
void RandomRun(unsigned seed) {
  SCOPED_TRACE(seed);
  TSynHandlerList<TEntry, O, R, A, TSameId> list;
  TModel model{O, R, A, {}};
  std::mt19937 rng(seed);
  for (int step = 0; step < 500; ++step) {
    TEntry e{static_cast<int>(rng() % 5), step};
    if (rng() % 3 != 0)
      ASSERT_EQ(list.Add(e), model.Add(e));
    else
      list.Remove(e), model.Remove(e);
    ASSERT_EQ(list.Count(), static_cast<int>(model.items.size()));
    std::vector<int> called;
    list.Call([&](const TEntry& x) { called.push_back(x.tag); });
    ASSERT_EQ(called, model.CallOrder());
    for (int i = 0; i < list.Count(); ++i) ASSERT_EQ(list.Get(i).tag, model.items[i].tag);
  }
}

}  // namespace

TEST(SynHandlerListTest, EveryRuleSetAgreesWithItsModel) {
  using O = THandlerOrder;
  using R = THandlerRemoval;
  using A = THandlerAdding;
  for (unsigned seed = 1; seed <= 3; ++seed) {
    RandomRun<O::OldestFirst, R::AllEqual, A::Duplicates>(seed);
    RandomRun<O::OldestFirst, R::NewestEqual, A::Duplicates>(seed);
    RandomRun<O::NewestFirst, R::NewestEqual, A::Duplicates>(seed);
    RandomRun<O::NewestFirst, R::AllEqual, A::Duplicates>(seed);
    RandomRun<O::OldestFirst, R::AllEqual, A::Unique>(seed);
  }
}

// A handler may unhook itself and others, or hook a new one, while the list
// runs: the round still calls exactly the entries there when it began.
TEST(SynHandlerListTest, ARoundCallsTheEntriesPresentWhenItBegan) {
  TSynHandlerList<TEntry, THandlerOrder::OldestFirst, THandlerRemoval::AllEqual,
                  THandlerAdding::Duplicates, TSameId>
      list;
  for (int id = 0; id < 4; ++id) list.Add({id, id});
  std::vector<int> called;
  list.Call([&](const TEntry& e) {
    called.push_back(e.id);
    if (e.id == 0) {
      list.Remove({0, 0});
      list.Remove({2, 0});
      list.Add({9, 9});
    }
  });
  EXPECT_EQ(called, (std::vector<int>{0, 1, 2, 3}));
  called.clear();
  list.Call([&](const TEntry& e) { called.push_back(e.id); });
  EXPECT_EQ(called, (std::vector<int>{1, 3, 9}));

  // A handler that answers false ends the round.
  called.clear();
  list.Call([&](const TEntry& e) {
    called.push_back(e.id);
    return e.id != 3;
  });
  EXPECT_EQ(called, (std::vector<int>{1, 3}));
}

// Destruction notices keep one handler per owner (hooking again replaces it
// and moves it last), call each once, and leave the list empty, even when a
// handler unhooks others on the way.
TEST(SynHandlerListTest, FreeNotificationsKeepOneHandlerPerOwner) {
  std::mt19937 rng(5);
  int owners[4];
  for (int round = 0; round < 50; ++round) {
    TSynFreeNotifications<int> hooks;
    std::vector<std::pair<int*, int>> model;  // owner, tag; oldest first
    std::vector<int> called;
    for (int step = 0; step < 20; ++step) {
      int* owner = &owners[rng() % 4];
      std::erase_if(model, [&](auto& m) { return m.first == owner; });
      if (rng() % 4 == 0) {
        hooks.Remove(owner);
        continue;
      }
      hooks.Set(owner, [&called, &hooks, &owners, step](int* object) {
        called.push_back(step);
        EXPECT_EQ(*object, 42);
        hooks.Remove(&owners[0]);
      });
      model.emplace_back(owner, step);
    }
    ASSERT_EQ(hooks.Count(), static_cast<int>(model.size()));
    int object = 42;
    hooks.Notify(&object);
    std::vector<int> expected;
    for (auto& m : model) expected.push_back(m.second);
    EXPECT_EQ(called, expected);
    EXPECT_EQ(hooks.Count(), 0);
  }
}
