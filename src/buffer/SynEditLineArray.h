#pragma once
// Per-line records in blocks of at most BlockSize. Inserting or deleting
// lines moves the records of the blocks it touches only, never those of the
// whole document; a line is found through a Fenwick tree over the block
// sizes (O(log blocks)), and the block of the last access is remembered, so
// walking the lines in order or editing near the last change costs O(1).
// T must be trivially copyable: records move with memmove.
//
// With a Weight (a type with a static int64_t Of(const T&)), every block also
// keeps the sum of its records' weights, under a second Fenwick tree: the
// array then answers the weight before an index and the index where a given
// weight falls (the word-wrap table's rows per line: line to row and back),
// both in O(log blocks) plus a walk inside one block, O(1) in order. The
// records of a weighted array change through Set only, so the sums follow.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <stdexcept>
#include <type_traits>
#include <utility>
#include <vector>

namespace ludra {

// The weight of an array that only counts its records.
struct TNoWeight {};

// Fenwick trees over per-block figures, 1-based (tree[0] unused): the block
// sizes and, in weighted arrays, the block weights.
namespace fenwick {

inline size_t LowBit(size_t i) { return i & (~i + 1); }

template <class V>
void Add(std::vector<V>& tree, size_t block, std::type_identity_t<V> delta) {
  for (size_t i = block + 1; i < tree.size(); i += LowBit(i)) tree[i] += delta;
}

// The sum of the figures of the blocks before block.
template <class V>
V Before(const std::vector<V>& tree, size_t block) {
  V sum = 0;
  for (size_t i = block; i > 0; i -= LowBit(i)) sum += tree[i];
  return sum;
}

// Turns the figures in tree[1..] into the tree over them.
template <class V>
void Build(std::vector<V>& tree) noexcept {
  for (size_t i = 1; i < tree.size(); ++i) {
    size_t parent = i + LowBit(i);
    if (parent < tree.size()) tree[parent] += tree[i];
  }
}

// The block, of the first n, where the running sum of figures passes rest;
// rest becomes what is left of it at that block's start. taken(node) is
// called for every tree node the descent steps over.
template <class V, class Taken>
size_t Descend(const std::vector<V>& tree, size_t n, V& rest, Taken&& taken) {
  size_t pos = 0;
  size_t step = 1;
  while (step * 2 <= n) step *= 2;
  for (; step; step >>= 1) {
    if (pos + step <= n && tree[pos + step] <= rest) {
      pos += step;
      rest -= tree[pos];
      taken(pos);
    }
  }
  return pos;
}

}  // namespace fenwick

template <class T, int BlockSize = 1024, class Weight = TNoWeight>
class TLineArray {
  static_assert(std::is_trivially_copyable_v<T>);
  static_assert(BlockSize >= 4);
  static constexpr bool Weighted = !std::is_same_v<Weight, TNoWeight>;

 public:
  TLineArray() = default;
  ~TLineArray() { Clear(); }
  TLineArray(const TLineArray&) = delete;
  TLineArray& operator=(const TLineArray&) = delete;
  void Swap(TLineArray& other) noexcept {
    blocks_.swap(other.blocks_);
    tree_.swap(other.tree_);
    weightTree_.swap(other.weightTree_);
    std::swap(totalWeight_, other.totalWeight_);
    std::swap(count_, other.count_);
    std::swap(reservedBack_, other.reservedBack_);
    std::swap(pushBlock_, other.pushBlock_);
    Forget();
    other.Forget();
  }

  int Count() const { return count_; }
  int BlockCount() const { return static_cast<int>(blocks_.size()); }

  // The record at index (0 <= index < Count()).
  T& operator[](int index) requires(!Weighted) { return *Find(index); }
  const T& operator[](int index) const { return *Find(index); }
  void Set(int index, const T& value);

  // Inserts n copies of fill, or the n records of items (which must not lie
  // in this array), before index (0 <= index <= Count()). Throws
  // std::bad_alloc before anything changes when memory runs out.
  void Insert(int index, int n, const T& fill) {
    const T copy = fill;  // fill may be one of the records that move
    InsertWith(index, n, [&copy](T* to, int, int count) { std::fill_n(to, count, copy); });
  }
  void Insert(int index, const T* items, int n) {
    InsertWith(index, n, [items](T* to, int from, int count) {
      std::memcpy(static_cast<void*>(to), items + from, static_cast<size_t>(count) * sizeof(T));
    });
  }
  // Removes the records [index, index + n), which must exist. Never throws.
  void Erase(int index, int n) noexcept;
  void Clear() noexcept;

  // Allocates room for n more records at the end, so that the next n
  // PushBack calls cannot fail. Loading a file fills its blocks this way.
  void ReserveBack(int n);
  void PushBack(const T& value) noexcept;

  // The total weight of the records before index (0 <= index <= Count()).
  int64_t WeightBefore(int index) const;
  // The index of the record whose weight covers position at, that is the
  // last one with WeightBefore(index) <= at among those of non-zero weight;
  // Count() when at is past the total weight.
  int IndexOfWeight(int64_t at) const;
  int64_t TotalWeight() const { return totalWeight_; }

  // Calls f(T* records, int count) for each block in order.
  template <class F>
  void ForEachBlock(F&& f) const {
    for (const Block& b : blocks_) f(b.items, b.count);
  }

  // Throws std::logic_error when the blocks, their sizes or the index
  // disagree.
  void Check() const;

 private:
  struct Block {
    T* items;
    int32_t count;
    int32_t capacity;
    int64_t weight = 0;
  };

  static int64_t WeightOf(const T& item) {
    if constexpr (Weighted)
      return Weight::Of(item);
    else
      return 0;
  }
  static int64_t SumOf(const T* items, int n) {
    int64_t sum = 0;
    if constexpr (Weighted)
      for (int i = 0; i < n; ++i) sum += Weight::Of(items[i]);
    return sum;
  }
  // src(to, k, count) writes the new records k .. k + count - 1 to to.
  template <class Src>
  void InsertWith(int index, int n, Src src);

  static T* Allocate(int capacity) {
    void* p = std::malloc(static_cast<size_t>(capacity) * sizeof(T));
    if (!p) throw std::bad_alloc();
    return static_cast<T*>(p);
  }
  void Forget() const {
    cur_.count = prev_.count = 0;
    cur_.weightStart = prev_.weightStart = -1;
  }
  // Makes the block holding index the remembered one.
  void Remember(int index) const {
    if (static_cast<unsigned>(index - cur_.start) < static_cast<unsigned>(cur_.count)) return;
    if (static_cast<unsigned>(index - prev_.start) < static_cast<unsigned>(prev_.count)) {
      std::swap(cur_, prev_);
      return;
    }
    int start;
    int i = Locate(index, start);
    const Block& b = blocks_[static_cast<size_t>(i)];
    prev_ = cur_;
    cur_.block = i;
    cur_.items = b.items;
    cur_.start = start;
    cur_.count = b.count;
    cur_.weightStart = -1;
  }
  // The weight before the remembered block, and the first remembered
  // position in it with the weight before that position.
  void RememberWeight() const {
    if (cur_.weightStart >= 0) return;
    int64_t sum = fenwick::Before(weightTree_, static_cast<size_t>(cur_.block));
    cur_.weightStart = sum;
    cur_.at = 0;
    cur_.atWeight = sum;
  }
  // Index of the block holding index, and that block's first index.
  int Locate(int index, int& start) const;
  T* Find(int index) const {
    Remember(index);
    return cur_.items + (index - cur_.start);
  }
  void TreeAdd(int block, int delta) { fenwick::Add(tree_, static_cast<size_t>(block), delta); }
  void WeightAdd(size_t block, int64_t delta) {
    if constexpr (Weighted) {
      blocks_[block].weight += delta;
      totalWeight_ += delta;
      fenwick::Add(weightTree_, block, delta);
    }
  }
  // Room in both trees for n blocks, so RebuildTree cannot fail.
  void ReserveTrees(size_t n) {
    tree_.reserve(n + 1);
    if constexpr (Weighted) weightTree_.reserve(n + 1);
  }
  // Rebuilds the tree after blocks were added or removed; tree_ must have
  // room for blocks_.size() + 1 entries.
  void RebuildTree() noexcept;
  // Frees the blocks ReserveBack made that were never filled.
  void DropReserve() noexcept;

  std::vector<Block> blocks_;
  // Fenwick tree over the block sizes, 1-based (tree_[0] unused).
  std::vector<int32_t> tree_;
  // The same over the block weights (weighted arrays only).
  std::vector<int64_t> weightTree_;
  int64_t totalWeight_ = 0;
  int count_ = 0;
  // Records reserved by ReserveBack and not yet pushed, and the block the
  // next one goes to.
  int reservedBack_ = 0;
  size_t pushBlock_ = 0;
  // A remembered block: its records, index and first index; with weights,
  // the weight before it (-1: not known yet) and one position in it with
  // the weight before that position.
  struct Remembered {
    T* items = nullptr;
    int block = 0;
    int start = 0;
    int count = 0;
    int64_t weightStart = -1;
    int at = 0;
    int64_t atWeight = 0;
  };
  // The blocks of the last two accesses, the latest first: an edit that
  // also reads the top of the document does not lose its own block.
  mutable Remembered cur_, prev_;
};

template <class T, int BlockSize, class Weight>
int TLineArray<T, BlockSize, Weight>::Locate(int index, int& start) const {
  int32_t rest = index;
  size_t pos = fenwick::Descend(tree_, blocks_.size(), rest, [](size_t) {});
  start = index - rest;
  return static_cast<int>(pos);
}

template <class T, int BlockSize, class Weight>
void TLineArray<T, BlockSize, Weight>::RebuildTree() noexcept {
  tree_.resize(blocks_.size() + 1);
  tree_[0] = 0;
  for (size_t i = 1; i < tree_.size(); ++i) tree_[i] = blocks_[i - 1].count;
  fenwick::Build(tree_);
  if constexpr (Weighted) {
    weightTree_.resize(blocks_.size() + 1);
    weightTree_[0] = 0;
    totalWeight_ = 0;
    for (size_t i = 1; i < weightTree_.size(); ++i) {
      weightTree_[i] = blocks_[i - 1].weight;
      totalWeight_ += weightTree_[i];
    }
    fenwick::Build(weightTree_);
  }
}

template <class T, int BlockSize, class Weight>
void TLineArray<T, BlockSize, Weight>::Clear() noexcept {
  for (Block& b : blocks_) std::free(b.items);
  blocks_.clear();
  blocks_.shrink_to_fit();
  tree_.clear();
  tree_.shrink_to_fit();
  weightTree_.clear();
  weightTree_.shrink_to_fit();
  totalWeight_ = 0;
  count_ = 0;
  reservedBack_ = 0;
  Forget();
}

template <class T, int BlockSize, class Weight>
void TLineArray<T, BlockSize, Weight>::DropReserve() noexcept {
  while (!blocks_.empty() && blocks_.back().count == 0) {
    std::free(blocks_.back().items);
    blocks_.pop_back();
  }
  reservedBack_ = 0;
  RebuildTree();
}

template <class T, int BlockSize, class Weight>
template <class Src>
void TLineArray<T, BlockSize, Weight>::InsertWith(int index, int n, Src src) {
  if (n <= 0) return;
  Forget();
  if (reservedBack_ > 0) DropReserve();
  if (static_cast<long long>(count_) + n > INT32_MAX) throw std::bad_alloc();
  size_t b = 0;
  int offset = 0;
  if (index == count_ && !blocks_.empty()) {
    b = blocks_.size() - 1;
    offset = blocks_[b].count;
  } else if (!blocks_.empty()) {
    int start;
    b = static_cast<size_t>(Locate(index, start));
    offset = index - start;
  }
  if (!blocks_.empty() && blocks_[b].count + n <= BlockSize) {
    // The common case: room in the block, after growing it if need be.
    Block& blk = blocks_[b];
    if (blk.count + n > blk.capacity) {
      int capacity = std::min(BlockSize, std::max(blk.count + n, blk.capacity * 2));
      void* p = std::realloc(blk.items, static_cast<size_t>(capacity) * sizeof(T));
      if (!p) throw std::bad_alloc();
      blk.items = static_cast<T*>(p);
      blk.capacity = capacity;
    }
    std::memmove(static_cast<void*>(blk.items + offset + n), blk.items + offset,
                 static_cast<size_t>(blk.count - offset) * sizeof(T));
    src(blk.items + offset, 0, n);
    blk.count += n;
    count_ += n;
    TreeAdd(static_cast<int>(b), n);
    WeightAdd(b, SumOf(blk.items + offset, n));
    return;
  }
  if (!blocks_.empty() && n <= BlockSize / 2 && offset < blocks_[b].count) {
    // A full block splits in halves, each with room to grow; then the
    // records go into the half they belong to. (At a block's end they go
    // into a block of their own below.)
    blocks_.reserve(blocks_.size() + 1);
    ReserveTrees(blocks_.size() + 1);
    Block& blk = blocks_[b];
    int half = blk.count / 2;
    Block second{Allocate(BlockSize), blk.count - half, BlockSize};
    if (blk.capacity < BlockSize) {
      void* p = std::realloc(blk.items, static_cast<size_t>(BlockSize) * sizeof(T));
      if (!p) {
        std::free(second.items);
        throw std::bad_alloc();
      }
      blk.items = static_cast<T*>(p);
      blk.capacity = BlockSize;
    }
    std::memcpy(static_cast<void*>(second.items), blk.items + half,
                static_cast<size_t>(second.count) * sizeof(T));
    blk.count = half;
    second.weight = SumOf(second.items, second.count);
    blk.weight -= second.weight;
    blocks_.insert(blocks_.begin() + static_cast<std::ptrdiff_t>(b) + 1, second);
    RebuildTree();
    InsertWith(index, n, src);
    return;
  }
  // Many records: they and the tail of the block after them go into fresh
  // full blocks; the block keeps its head (or goes, when the head is
  // empty). Everything is allocated before anything changes.
  int tail = blocks_.empty() ? 0 : blocks_[b].count - offset;
  long long total = static_cast<long long>(n) + tail;
  size_t fresh = static_cast<size_t>((total + BlockSize - 1) / BlockSize);
  std::vector<Block> made;
  try {
    made.reserve(fresh);
    blocks_.reserve(blocks_.size() + fresh);
    ReserveTrees(blocks_.size() + fresh);
    for (size_t k = 0; k < fresh; ++k) {
      int c = static_cast<int>(
          std::min<long long>(BlockSize, total - static_cast<long long>(k) * BlockSize));
      made.push_back(Block{Allocate(c), c, c});
    }
  } catch (...) {
    for (Block& m : made) std::free(m.items);
    throw;
  }
  long long at = 0;
  const T* tailItems = blocks_.empty() ? nullptr : blocks_[b].items + offset;
  for (Block& m : made) {
    int i = static_cast<int>(std::min<long long>(m.count, std::max<long long>(n - at, 0)));
    if (i > 0) src(m.items, static_cast<int>(at), i);
    at += i;
    if (i < m.count) {
      std::memcpy(static_cast<void*>(m.items + i), tailItems + (at - n),
                  static_cast<size_t>(m.count - i) * sizeof(T));
      at += m.count - i;
    }
    m.weight = SumOf(m.items, m.count);
  }
  size_t insertAt = b;
  if (!blocks_.empty()) {
    blocks_[b].weight -= SumOf(tailItems, tail);
    blocks_[b].count = offset;
    if (offset == 0) {
      std::free(blocks_[b].items);
      blocks_.erase(blocks_.begin() + static_cast<std::ptrdiff_t>(b));
    } else {
      insertAt = b + 1;
    }
  }
  blocks_.insert(blocks_.begin() + static_cast<std::ptrdiff_t>(insertAt), made.begin(), made.end());
  count_ += n;
  RebuildTree();
}

template <class T, int BlockSize, class Weight>
void TLineArray<T, BlockSize, Weight>::Erase(int index, int n) noexcept {
  if (n <= 0) return;
  Forget();
  if (reservedBack_ > 0) DropReserve();
  int start;
  size_t b = static_cast<size_t>(Locate(index, start));
  int offset = index - start;
  int left = n;
  bool structural = false;
  size_t first = b;
  while (left > 0) {
    Block& blk = blocks_[b];
    int take = std::min(left, blk.count - offset);
    int64_t gone = SumOf(blk.items + offset, take);
    std::memmove(static_cast<void*>(blk.items + offset), blk.items + offset + take,
                 static_cast<size_t>(blk.count - offset - take) * sizeof(T));
    blk.count -= take;
    left -= take;
    if (blk.count == 0) {
      structural = true;
      blk.weight = 0;
    } else if (!structural) {
      TreeAdd(static_cast<int>(b), -take);
      WeightAdd(b, -gone);
    } else {
      blk.weight -= gone;
    }
    offset = 0;
    ++b;
  }
  count_ -= n;
  size_t last = b;  // one past the last block touched
  if (structural) {
    size_t w = first;
    for (size_t r = first; r < last; ++r) {
      if (blocks_[r].count == 0)
        std::free(blocks_[r].items);
      else
        blocks_[w++] = blocks_[r];
    }
    blocks_.erase(blocks_.begin() + static_cast<std::ptrdiff_t>(w),
                  blocks_.begin() + static_cast<std::ptrdiff_t>(last));
    last = w;
  }
  // Small neighbours are merged, so blocks stay at least a quarter full on
  // average; a merge that would need memory is simply left out.
  size_t from = first > 0 ? first - 1 : 0;
  for (size_t i = from; i + 1 < blocks_.size() && i <= last;) {
    Block& a = blocks_[i];
    Block& c = blocks_[i + 1];
    if (a.count + c.count > BlockSize / 2) {
      ++i;
      continue;
    }
    if (a.count + c.count > a.capacity) {
      void* p = std::realloc(a.items, static_cast<size_t>(BlockSize) * sizeof(T));
      if (!p) {
        ++i;
        continue;
      }
      a.items = static_cast<T*>(p);
      a.capacity = BlockSize;
    }
    std::memcpy(static_cast<void*>(a.items + a.count), c.items,
                static_cast<size_t>(c.count) * sizeof(T));
    a.count += c.count;
    a.weight += c.weight;
    std::free(c.items);
    blocks_.erase(blocks_.begin() + static_cast<std::ptrdiff_t>(i) + 1);
    structural = true;
  }
  if (structural) RebuildTree();
}

template <class T, int BlockSize, class Weight>
void TLineArray<T, BlockSize, Weight>::ReserveBack(int n) {
  if (n <= 0) return;
  Forget();
  // Fill the last block's room first, then whole blocks of exactly the
  // size needed.
  if (reservedBack_ > 0) DropReserve();
  int room = blocks_.empty() ? 0 : blocks_.back().capacity - blocks_.back().count;
  int rest = n - std::min(room, n);
  size_t fresh = static_cast<size_t>((static_cast<long long>(rest) + BlockSize - 1) / BlockSize);
  std::vector<Block> made;
  made.reserve(fresh);
  try {
    blocks_.reserve(blocks_.size() + fresh);
    ReserveTrees(blocks_.size() + fresh);
    for (size_t k = 0; k < fresh; ++k) {
      int c = std::min(BlockSize, rest - static_cast<int>(k) * BlockSize);
      made.push_back(Block{Allocate(c), 0, c});
    }
  } catch (...) {
    for (Block& m : made) std::free(m.items);
    throw;
  }
  pushBlock_ = room > 0 ? blocks_.size() - 1 : blocks_.size();
  blocks_.insert(blocks_.end(), made.begin(), made.end());
  RebuildTree();
  reservedBack_ = n;
}

template <class T, int BlockSize, class Weight>
void TLineArray<T, BlockSize, Weight>::PushBack(const T& value) noexcept {
  while (blocks_[pushBlock_].count == blocks_[pushBlock_].capacity) ++pushBlock_;
  Block& blk = blocks_[pushBlock_];
  blk.items[blk.count++] = value;
  ++count_;
  --reservedBack_;
  TreeAdd(static_cast<int>(pushBlock_), 1);
  WeightAdd(pushBlock_, WeightOf(value));
  Forget();
}

template <class T, int BlockSize, class Weight>
void TLineArray<T, BlockSize, Weight>::Set(int index, const T& value) {
  T* p = Find(index);
  int64_t delta = WeightOf(value) - WeightOf(*p);
  *p = value;
  if (delta == 0) return;
  WeightAdd(static_cast<size_t>(cur_.block), delta);
  if (prev_.block > cur_.block) prev_.weightStart = -1;
  // The weight before the block stays; positions inside it may not.
  cur_.at = 0;
  cur_.atWeight = cur_.weightStart;
}

template <class T, int BlockSize, class Weight>
int64_t TLineArray<T, BlockSize, Weight>::WeightBefore(int index) const {
  static_assert(Weighted);
  if (index >= count_) return totalWeight_;
  Remember(index);
  RememberWeight();
  // Walk from the remembered position, or from the block's start when that
  // is nearer.
  int offset = index - cur_.start;
  if (offset < cur_.at - offset) {
    cur_.at = 0;
    cur_.atWeight = cur_.weightStart;
  }
  for (; cur_.at < offset; ++cur_.at) cur_.atWeight += Weight::Of(cur_.items[cur_.at]);
  for (; cur_.at > offset;) cur_.atWeight -= Weight::Of(cur_.items[--cur_.at]);
  return cur_.atWeight;
}

template <class T, int BlockSize, class Weight>
int TLineArray<T, BlockSize, Weight>::IndexOfWeight(int64_t at) const {
  static_assert(Weighted);
  if (at < 0) return 0;
  if (at >= totalWeight_) return count_;
  bool inCache = false;
  if (cur_.count > 0) {
    RememberWeight();
    inCache = at >= cur_.weightStart &&
              at < cur_.weightStart + blocks_[static_cast<size_t>(cur_.block)].weight;
  }
  if (!inCache && prev_.count > 0 && prev_.weightStart >= 0 && at >= prev_.weightStart &&
      at < prev_.weightStart + blocks_[static_cast<size_t>(prev_.block)].weight) {
    std::swap(cur_, prev_);
    inCache = true;
  }
  if (!inCache) {
    // Down the weight tree to the block, counting its first index on the way.
    int64_t rest = at;
    int start = 0;
    size_t pos = fenwick::Descend(weightTree_, blocks_.size(), rest,
                                  [&](size_t node) { start += tree_[node]; });
    const Block& b = blocks_[pos];
    prev_ = cur_;
    cur_.block = static_cast<int>(pos);
    cur_.items = b.items;
    cur_.start = start;
    cur_.count = b.count;
    cur_.weightStart = at - rest;
    cur_.at = 0;
    cur_.atWeight = cur_.weightStart;
  }
  // Inside the block: walk from the remembered position.
  while (cur_.at > 0 && cur_.atWeight > at) cur_.atWeight -= Weight::Of(cur_.items[--cur_.at]);
  for (;;) {
    int64_t w = Weight::Of(cur_.items[cur_.at]);
    if (at < cur_.atWeight + w) return cur_.start + cur_.at;
    cur_.atWeight += w;
    ++cur_.at;
  }
}

template <class T, int BlockSize, class Weight>
void TLineArray<T, BlockSize, Weight>::Check() const {
  auto fail = [](const char* what) { throw std::logic_error(what); };
  if (tree_.size() != (blocks_.empty() ? tree_.size() : blocks_.size() + 1))
    fail("line index has the wrong size");
  long long total = 0;
  for (size_t i = 0; i < blocks_.size(); ++i) {
    const Block& b = blocks_[i];
    if (!b.items || b.capacity <= 0 || b.capacity > BlockSize) fail("bad line block");
    if (b.count < 0 || b.count > b.capacity) fail("line block count outside its capacity");
    if (b.count == 0 && reservedBack_ == 0) fail("empty line block");
    int start;
    if (b.count > 0 &&
        (Locate(static_cast<int>(total), start) != static_cast<int>(i) || start != total))
      fail("line index disagrees with the blocks");
    total += b.count;
  }
  if (total != count_) fail("line count disagrees with the blocks");
  if constexpr (Weighted) {
    if (weightTree_.size() != tree_.size()) fail("weight index has the wrong size");
    int64_t weight = 0;
    for (size_t i = 0; i < blocks_.size(); ++i) {
      if (blocks_[i].weight != SumOf(blocks_[i].items, blocks_[i].count))
        fail("block weight disagrees with its records");
      if (fenwick::Before(weightTree_, i) != weight) fail("weight index disagrees with the blocks");
      weight += blocks_[i].weight;
    }
    if (weight != totalWeight_) fail("total weight disagrees with the blocks");
  }
  for (const Remembered* r : {&cur_, &prev_}) {
    if (r->count <= 0) continue;
    int start;
    int i = Locate(r->start, start);
    if (start != r->start || i != r->block || blocks_[static_cast<size_t>(i)].items != r->items ||
        blocks_[static_cast<size_t>(i)].count != r->count)
      fail("stale remembered line block");
    int64_t before = 0;
    for (int k = 0; k < i; ++k) before += blocks_[static_cast<size_t>(k)].weight;
    if (Weighted && r->weightStart >= 0 &&
        (r->at < 0 || r->at >= r->count || r->weightStart != before ||
         r->atWeight != r->weightStart + SumOf(r->items, r->at)))
      fail("stale remembered weight");
  }
}

}  // namespace ludra
