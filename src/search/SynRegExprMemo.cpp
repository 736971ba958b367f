// The failure memo: which states of the node walk were reached before in
// the searches of one input, so that none is explored twice and nested
// quantifiers stay linear in the input's length.
#include <algorithm>
#include <cstring>

#include "search/SynRegExpr.h"
#include "search/SynRegExprProgram.h"

namespace ludra {

using namespace regexpr;

namespace {

// Dense rows whose loops allow more count codes than this use the hash set.
constexpr size_t kMaxCodes = size_t{1} << 16;

uint64_t Mix(uint64_t key) {
  key ^= key >> 33;
  key *= 0xff51afd7ed558ccdULL;
  key ^= key >> 33;
  return key;
}

}  // namespace

// A row for every node where the walk chooses or repeats: branches (every
// loop built from branches passes one), simple repeats and counted loops.
// Unbounded simple repeats memoise the state after each repeat, so that a
// run is walked once however many starts reach it; bounded ones their entry.
void TRegExpr::BuildMemoRows() {
  const uint8_t* prog = program_.data();
  const int size = static_cast<int>(program_.size());
  memoIndex_.assign(program_.size(), 0);
  memoRows_.clear();
  memoLoops_.clear();
  refGroups_.clear();
  struct TSpan {
    int body, loop;
    TMemoLoop info;
  };
  std::vector<TSpan> loops;
  for (int node = 1; node < size; node += NodeSize(prog, node)) {
    const uint8_t op = prog[node];
    if (op == opBackref || op == opBackrefNoCase) {
      const int g = prog[node + kNodeSize];
      if (std::find(refGroups_.begin(), refGroups_.end(), g) == refGroups_.end())
        refGroups_.push_back(g);
    }
    if (op == opLoop || op == opLoopLazy) {
      const int min = Read32(prog + node + kNodeSize), max = Read32(prog + node + kNodeSize + 4);
      const bool unbounded = max >= kInfinite;
      loops.push_back({node + Read32(prog + node + kNodeSize + 8),
                       node,
                       {unbounded ? min + 1 : max + 1, unbounded}});
    }
  }
  // Outer loops begin first.
  std::sort(loops.begin(), loops.end(), [](const TSpan& a, const TSpan& b) {
    return a.body != b.body ? a.body < b.body : a.loop > b.loop;
  });
  for (int node = 1; node < size; node += NodeSize(prog, node)) {
    const uint8_t op = prog[node];
    if (!(op == opBranch || IsRepeat(op) || op == opLoop || op == opLoopLazy)) continue;
    if (memoRows_.size() >= 65535) break;
    TMemoRow row;
    row.firstLoop = static_cast<int>(memoLoops_.size());
    for (const TSpan& l : loops)
      if (node >= l.body && node <= l.loop) {
        memoLoops_.push_back(l.info);
        ++row.loops;
        const size_t radix = static_cast<size_t>(std::max(l.info.radix, 1));
        row.codes = row.codes > kMaxCodes / radix ? 0 : row.codes * radix;
      }
    if (!refGroups_.empty()) row.codes = 0;
    memoRows_.push_back(row);
    memoIndex_[node] = static_cast<uint16_t>(memoRows_.size());
  }
}

// Forgets every state; the memo starts again once the searches of this
// input have spent the threshold's work (searches that backtrack little
// never pay for it).
void TRegExpr::ResetMemo() {
  memoFloor_ = -1;
  memoSound_ = true;
  const int64_t after = memoThreshold_ >= 0 ? memoThreshold_ : 256 + 16 * int64_t{len_};
  memoAfter_ = memoRows_.empty() || after >= INT64_MAX - steps_ ? INT64_MAX : steps_ + after;
  if (!memoOn_) return;
  memoOn_ = false;
  memo_.clear();
  sparse_.clear();
  sparseCount_ = 0;
  contextSlots_.clear();
  contextAt_.clear();
  contextHash_.clear();
  contextStore_.clear();
}

// Turns the memo on for the rest of the input. States explored before are
// not in it and may be explored once more.
void TRegExpr::StartMemo() {
  memoAfter_ = INT64_MAX;
  if (memoRows_.empty()) return;
  memoStride_ = static_cast<size_t>(len_) + 1;
  memoBase_.assign(memoRows_.size(), SIZE_MAX);
  size_t bits = 0;
  for (size_t r = 0; r < memoRows_.size(); ++r) {
    const size_t codes = memoRows_[r].codes;
    if (codes == 0 || codes > (kMemoMaxBits - bits) / memoStride_) continue;
    memoBase_[r] = bits;
    bits += codes * memoStride_;
  }
  memo_.assign((bits + 63) / 64, 0);
  memoOn_ = true;
}

// The states of rows the bitmap cannot hold, above all those that depend
// on captured spans: each context (the row and what decides the rest of
// the walk) is numbered once, and (number, position) pairs are kept in an
// open-addressing set. When either table is full, new states are not
// remembered and the step budget guards. A look-up costs several steps, so
// the budget still bounds the time.
bool TRegExpr::SeenSparse(int index, int pos) {
  const TMemoRow& row = memoRows_[index - 1];
  if (loopIdx_ != row.loops) return false;
  steps_ += kSparseSteps;
  int32_t context[2 + 2 * kLoopMax + 2 * NSUBEXP];
  int n = 0;
  context[n++] = index;
  for (int s = 0; s < row.loops; ++s) {
    const TMemoLoop& l = memoLoops_[row.firstLoop + s];
    const int count = loopCount_[s];
    context[n++] = std::min(count, l.radix - 1);
    // An unbounded loop ends after an iteration that consumed nothing.
    if (l.unbounded) context[n++] = count > 0 && loopStart_[s] == pos;
  }
  for (int g : refGroups_) {
    context[n++] = startp_[g];
    context[n++] = endp_[g];
  }
  uint64_t hash = 0;
  for (int k = 0; k < n; ++k) hash = Mix(hash + static_cast<uint32_t>(context[k]) + k);
  const int id = ContextNumber(context, n, hash);
  if (id < 0) return false;
  return !InsertState(sparse_, sparseCount_,
                      uint64_t{static_cast<uint32_t>(id)} << 32 | static_cast<uint32_t>(pos));
}

// The number of a context, numbering a new one; -1 when the table is full.
int TRegExpr::ContextNumber(const int32_t* context, int n, uint64_t hash) {
  const uint64_t tag = hash & 0xFFFFFFFF00000000ULL;
  if (contextSlots_.empty()) contextSlots_.assign(1024, 0);
  size_t mask = contextSlots_.size() - 1;
  for (size_t i = hash & mask;; i = (i + 1) & mask) {
    const uint64_t slot = contextSlots_[i];
    if (slot == 0) break;
    if ((slot & 0xFFFFFFFF00000000ULL) != tag) continue;
    const uint32_t id = static_cast<uint32_t>(slot) - 1;
    const int32_t* stored = contextStore_.data() + contextAt_[id];
    if (stored[0] == n && std::memcmp(stored + 1, context, n * sizeof(int32_t)) == 0)
      return static_cast<int>(id);
  }
  if (contextAt_.size() >= kSparseMaxContexts) return -1;
  const auto id = static_cast<uint32_t>(contextAt_.size());
  contextAt_.push_back(static_cast<uint32_t>(contextStore_.size()));
  contextStore_.push_back(n);
  contextStore_.insert(contextStore_.end(), context, context + n);
  if (contextAt_.size() * 2 > contextSlots_.size()) {
    // Grow, then place every context again from its stored hash.
    std::vector<uint64_t> old = std::move(contextSlots_);
    contextSlots_.assign(old.size() * 2, 0);
    mask = contextSlots_.size() - 1;
    for (uint64_t slot : old)
      if (slot != 0) {
        const uint32_t k = static_cast<uint32_t>(slot) - 1;
        size_t i = contextHash_[k] & mask;
        while (contextSlots_[i] != 0) i = (i + 1) & mask;
        contextSlots_[i] = slot;
      }
  }
  contextHash_.push_back(hash);
  size_t i = hash & mask;
  while (contextSlots_[i] != 0) i = (i + 1) & mask;
  contextSlots_[i] = tag | (id + 1);
  return static_cast<int>(id);
}

// Adds a key to an open-addressing set of keys + 1 (0 marks a free slot);
// false when it was there already or the set is full.
bool TRegExpr::InsertState(std::vector<uint64_t>& set, size_t& count, uint64_t key) {
  ++key;
  if (count * 2 >= set.size()) {
    if (set.size() >= kSparseMaxSlots) {
      const size_t mask = set.size() - 1;
      for (size_t i = Mix(key) & mask; set[i] != 0; i = (i + 1) & mask)
        if (set[i] == key) return false;
      return true;  // full: not remembered
    }
    std::vector<uint64_t> old = std::move(set);
    set.assign(old.empty() ? 4096 : old.size() * 2, 0);
    const size_t mask = set.size() - 1;
    for (uint64_t k : old)
      if (k != 0) {
        size_t i = Mix(k) & mask;
        while (set[i] != 0) i = (i + 1) & mask;
        set[i] = k;
      }
  }
  const size_t mask = set.size() - 1;
  for (size_t i = Mix(key) & mask;; i = (i + 1) & mask) {
    if (set[i] == key) return false;
    if (set[i] == 0) {
      set[i] = key;
      ++count;
      return true;
    }
  }
}

}  // namespace ludra
