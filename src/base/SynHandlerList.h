#pragma once
// The lists through which other objects hook a handler into an event. Lists
// differ only in the order the handlers are called in, which entry a removal
// takes and whether an entry may be added twice; those are parameters. All
// call over a snapshot, so that a handler may unhook itself or others.
#include <algorithm>
#include <functional>
#include <iterator>
#include <type_traits>
#include <vector>

namespace ludra {

enum class THandlerOrder { OldestFirst, NewestFirst };
enum class THandlerRemoval {
  AllEqual,     // every entry equal to the one given goes
  NewestEqual,  // only the newest equal entry goes
};
enum class THandlerAdding { Duplicates, Unique };

template <typename Entry, THandlerOrder Order, THandlerRemoval Removal,
          THandlerAdding Adding = THandlerAdding::Duplicates, typename Same = std::equal_to<Entry>>
class TSynHandlerList {
 public:
  // False when the list keeps its entries unique and an equal one is there.
  bool Add(const Entry& entry) {
    if constexpr (Adding == THandlerAdding::Unique) {
      if (Contains(entry)) return false;
    }
    items_.push_back(entry);
    return true;
  }

  void Remove(const Entry& entry) {
    if constexpr (Removal == THandlerRemoval::AllEqual) {
      std::erase_if(items_, [&](const Entry& e) { return Same()(e, entry); });
    } else {
      for (auto it = items_.rbegin(); it != items_.rend(); ++it)
        if (Same()(*it, entry)) {
          items_.erase(std::next(it).base());
          return;
        }
    }
  }

  bool Contains(const Entry& entry) const {
    return std::any_of(items_.begin(), items_.end(),
                       [&](const Entry& e) { return Same()(e, entry); });
  }
  int Count() const { return static_cast<int>(items_.size()); }
  // The entries in the order they were added.
  const Entry& Get(int index) const { return items_.at(static_cast<size_t>(index)); }

  // Calls f with each entry in calling order. When f returns a bool, false
  // stops the round.
  template <typename F>
  void Call(F&& f) const {
    const std::vector<Entry> items = items_;
    auto visit = [&f](const Entry& e) {
      if constexpr (std::is_void_v<std::invoke_result_t<F&, const Entry&>>) {
        f(e);
        return true;
      } else {
        return static_cast<bool>(f(e));
      }
    };
    if constexpr (Order == THandlerOrder::OldestFirst) {
      for (const Entry& e : items)
        if (!visit(e)) return;
    } else {
      for (auto it = items.rbegin(); it != items.rend(); ++it)
        if (!visit(*it)) return;
    }
  }

 private:
  std::vector<Entry> items_;
};

// The handlers told when an object is destroyed: one per owner (hooking
// again replaces the owner's handler), called oldest first.
template <typename T>
struct TSynFreeHook {
  const void* Owner;
  std::function<void(T*)> Handler;
};
struct TSynSameOwner {
  template <typename Hook>
  bool operator()(const Hook& a, const Hook& b) const {
    return a.Owner == b.Owner;
  }
};

template <typename T>
class TSynFreeNotifications {
 public:
  void Set(const void* owner, std::function<void(T*)> handler) {
    Remove(owner);
    list_.Add({owner, std::move(handler)});
  }
  void Remove(const void* owner) { list_.Remove({owner, {}}); }
  int Count() const { return list_.Count(); }
  // Tells every handler once and forgets them all; a handler may unhook
  // itself or others on the way.
  void Notify(T* object) {
    auto list = std::move(list_);
    list_ = {};
    list.Call([object](const TSynFreeHook<T>& hook) {
      if (hook.Handler) hook.Handler(object);
    });
  }

 private:
  TSynHandlerList<TSynFreeHook<T>, THandlerOrder::OldestFirst, THandlerRemoval::AllEqual,
                  THandlerAdding::Duplicates, TSynSameOwner>
      list_;
};

}  // namespace ludra
