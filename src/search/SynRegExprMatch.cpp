// The matcher: picks candidate start positions quickly, then walks the node
// program with an explicit stack of choice points and undo records, so the
// depth of a match never touches the machine stack.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "search/SynRegExpr.h"
#include "search/SynRegExprProgram.h"

namespace ludra {

using namespace regexpr;

namespace {

// Backtracking entries: choice points first, then undo records.
enum : int32_t {
  kAlt = 0,
  kStarGreedy,
  kStarLazy,
  kLoopExit,
  kLoopIterate,
  kUndoStart,
  kUndoEnd,
  kUndoLoop,
};

inline bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }

}  // namespace

void TRegExpr::Push(int kind, int node, int pos, int extra) {
  if (stack_.size() >= kMaxBacktrack) Raise(reeBacktrackStackExceeded);
  stack_.push_back({kind, node, pos, extra});
  ++choices_;
}

void TRegExpr::PushUndoEntry(int kind, int node, int pos, int extra) {
  if (stack_.size() >= kMaxBacktrack) Raise(reeBacktrackStackExceeded);
  stack_.push_back({kind, node, pos, extra});
}

void TRegExpr::LogLoop(int slot) {
  PushUndo(kUndoLoop | (loopIdx_ << 8), slot, loopCount_[slot], loopStart_[slot]);
}

bool TRegExpr::IsWordAt(int pos) const { return pos >= 0 && pos < len_ && isWord_[in_[pos]]; }

// The head of the paired separator followed by its tail.
bool TRegExpr::IsLineBreakHead(int pos) const {
  return pairHead_ >= 0 && pos + 1 < len_ && in_[pos] == pairHead_ && in_[pos + 1] == pairTail_;
}

bool TRegExpr::LineStartAt(int pos) const {
  if (pos == 0) return true;
  const unsigned char c = in_[pos - 1];
  if (pairTail_ >= 0 && c == pairTail_ && pos >= 2 && in_[pos - 2] == pairHead_) return true;
  if (!isLineBreak_[c]) return false;
  // Not between the head and the tail of a pair.
  return !(pairHead_ >= 0 && c == pairHead_ && pos < len_ && in_[pos] == pairTail_);
}

bool TRegExpr::LineEndAt(int pos) const {
  if (pos >= len_) return true;
  const unsigned char c = in_[pos];
  if (IsLineBreakHead(pos)) return true;
  if (!isLineBreak_[c]) return false;
  return !(pairTail_ >= 0 && c == pairTail_ && pos > 0 && in_[pos - 1] == pairHead_);
}

// One match of a simple node at pos.
bool TRegExpr::MatchOne(int operand, int pos, int& newPos) {
  const uint8_t* prog = program_.data();
  const uint8_t* arg = prog + operand + kNodeSize;
  const uint8_t op = prog[operand];
  if (op == opBackref || op == opBackrefNoCase) {
    int g = arg[0];
    int s = startp_[g], e = endp_[g];
    if (s < 0 || e < s) return false;
    int n = e - s;
    if (len_ - pos < n) return false;
    steps_ += n >> 4;  // long compares count as work too
    if (op == opBackref) {
      if (std::memcmp(in_ + pos, in_ + s, n) != 0) return false;
    } else {
      for (int k = 0; k < n; ++k) {
        unsigned char a = in_[pos + k], b = in_[s + k];
        if (a != b && a != swapCase_[b]) return false;
      }
    }
    newPos = pos + n;
    return true;
  }
  if (pos >= len_) return false;
  const unsigned char c = in_[pos];
  bool ok;
  switch (op) {
    case opAny:
      ok = true;
      break;
    case opAnyButLineBreak:
      ok = !isLineBreak_[c] && !IsLineBreakHead(pos);
      break;
    case opLiteral:
      ok = c == arg[1];
      break;
    case opLiteralNoCase:
      ok = c == arg[1] || c == swapCase_[arg[1]];
      break;
    case opDigit:
      ok = IsDigit(c);
      break;
    case opNonDigit:
      ok = !IsDigit(c);
      break;
    case opSmallSet:
      ok = c == arg[0] || c == arg[1] || c == arg[2];
      break;
    case opSmallSetNot:
      ok = c != arg[0] && c != arg[1] && c != arg[2];
      break;
    case opFullSet:
      ok = (arg[c >> 3] >> (c & 7)) & 1;
      break;
    default:
      Raise(reeRegRepeatCalledInappropriately);
  }
  if (ok) newPos = pos + 1;
  return ok;
}

// How many times (up to max) the simple operand matches from pos on. An
// empty back-reference counts as min repeats.
int TRegExpr::RepeatCount(int operand, int pos, int max) {
  const uint8_t* prog = program_.data();
  const uint8_t* arg = prog + operand + kNodeSize;
  const uint8_t op = prog[operand];
  const int avail = len_ - pos;
  const int limit = max < avail ? max : avail;
  const unsigned char* p = in_ + pos;
  int n = 0;
  switch (op) {
    case opAny:
      n = limit;
      break;
    case opAnyButLineBreak:
      while (n < limit && !isLineBreak_[p[n]] && !IsLineBreakHead(pos + n)) ++n;
      break;
    case opLiteral: {
      const unsigned char a = arg[1];
      while (n < limit && p[n] == a) ++n;
      break;
    }
    case opLiteralNoCase: {
      const unsigned char a = arg[1], b = swapCase_[arg[1]];
      while (n < limit && (p[n] == a || p[n] == b)) ++n;
      break;
    }
    case opDigit:
      while (n < limit && IsDigit(p[n])) ++n;
      break;
    case opNonDigit:
      while (n < limit && !IsDigit(p[n])) ++n;
      break;
    case opSmallSet:
      while (n < limit && (p[n] == arg[0] || p[n] == arg[1] || p[n] == arg[2])) ++n;
      break;
    case opSmallSetNot:
      while (n < limit && p[n] != arg[0] && p[n] != arg[1] && p[n] != arg[2]) ++n;
      break;
    case opFullSet:
      while (n < limit && ((arg[p[n] >> 3] >> (p[n] & 7)) & 1)) ++n;
      break;
    case opBackref:
    case opBackrefNoCase: {
      int at = pos, next;
      while (n < max && MatchOne(operand, at, next)) {
        if (next == at) return max;  // empty: repeats without end
        at = next;
        ++n;
      }
      break;
    }
    default:
      Raise(reeRegRepeatCalledInappropriately);
  }
  steps_ += n;
  return n;
}

namespace {

struct TRepeat {
  int operand, min, max;
};

TRepeat RepeatOf(const uint8_t* prog, int node) {
  switch (prog[node]) {
    case opStar:
    case opStarLazy:
      return {node + kNodeSize, 0, kInfinite};
    case opPlus:
    case opPlusLazy:
      return {node + kNodeSize, 1, kInfinite};
    default:
      return {node + kNodeSize + 8, Read32(prog + node + kNodeSize),
              Read32(prog + node + kNodeSize + 4)};
  }
}

}  // namespace

// The length of one repeat of a simple operand: a back-reference repeats
// its group's text.
int TRegExpr::UnitOf(int operand) const {
  const uint8_t* prog = program_.data();
  if (prog[operand] != opBackref && prog[operand] != opBackrefNoCase) return 1;
  const int g = prog[operand + kNodeSize];
  return endp_[g] - startp_[g];
}

// How many repeats a greedy unbounded repeat entered at pos tries while the
// memo is on: the minimum, then one at a time until the operand fails or the
// state after a repeat was reached before (everything from there on has been
// tried). -1 when the state after the minimum was reached before.
int TRegExpr::ChainCount(int node, int operand, int min, int max, int pos) {
  int count = RepeatCount(operand, pos, min);
  if (count < min) return count;
  const int unit = UnitOf(operand);
  int at = pos + count * unit, next;
  if (Seen(node, at)) return -1;
  if (unit <= 0) return count;
  while (count < max && MatchOne(operand, at, next)) {
    ++steps_;
    if (Seen(node, next)) break;
    at = next;
    ++count;
  }
  return count;
}

bool TRegExpr::Run(int pos) {
  const uint8_t* prog = program_.data();
  const int progSize = static_cast<int>(program_.size());
  int scan = startNode_;
  for (;;) {
    if (++steps_ > stepBudget_) Raise(reeStepBudgetExceeded);
    const uint8_t op = prog[scan];
    const uint8_t* arg = prog + scan + kNodeSize;
    int next = NextNode(prog, scan);
    switch (op) {
      case opEnd:
        matchEnd_ = pos;
        return true;
      case opInputStart:
        if (pos != 0) goto fail;
        break;
      case opInputEnd:
        if (pos != len_) goto fail;
        break;
      case opLineStart:
        if (!LineStartAt(pos)) goto fail;
        break;
      case opLineEnd:
        if (!LineEndAt(pos)) goto fail;
        break;
      case opWordBoundary:
        if (IsWordAt(pos - 1) == IsWordAt(pos)) goto fail;
        break;
      case opNotWordBoundary:
        if (IsWordAt(pos - 1) != IsWordAt(pos)) goto fail;
        break;
      case opNothing:
      case opComment:
      case opBack:
        break;
      case opLiteral: {
        const int n = arg[0];
        if (len_ - pos < n || in_[pos] != arg[1]) goto fail;
        if (n > 1 && std::memcmp(in_ + pos + 1, arg + 2, n - 1) != 0) goto fail;
        pos += n;
        break;
      }
      case opLiteralNoCase: {
        const int n = arg[0];
        if (len_ - pos < n) goto fail;
        for (int k = 0; k < n; ++k) {
          unsigned char c = in_[pos + k], p = arg[1 + k];
          if (c != p && c != swapCase_[p]) goto fail;
        }
        pos += n;
        break;
      }
      case opAny:
      case opAnyButLineBreak:
      case opDigit:
      case opNonDigit:
      case opSmallSet:
      case opSmallSetNot:
      case opFullSet:
      case opBackref:
      case opBackrefNoCase:
        if (!MatchOne(scan, pos, pos)) goto fail;
        break;
      case opBranch: {
        if (memoOn_ && Seen(scan, pos)) goto fail;
        if (next >= 0 && prog[next] == opBranch) {
          // Remember the next alternative that can start here.
          int alt = next;
          while (alt >= 0) {
            int o = Operand(alt);
            if (prog[o] != opLiteral || (pos < len_ && in_[pos] == prog[o + kNodeSize + 1])) break;
            int after = NextNode(prog, alt);
            alt = (after >= 0 && prog[after] == opBranch) ? after : -1;
          }
          if (alt >= 0) Push(kAlt, alt, pos, 0);
        }
        next = Operand(scan);
        break;
      }
      case opStar:
      case opPlus:
      case opRepeat: {
        const TRepeat r = RepeatOf(prog, scan);
        // Unbounded repeats remember the state after each repeat, bounded
        // ones (whose count matters) their entry.
        const bool chain = memoOn_ && r.max >= kInfinite;
        if (memoOn_ && !chain && Seen(scan, pos)) goto fail;
        int count = chain ? ChainCount(scan, r.operand, r.min, r.max, pos)
                          : RepeatCount(r.operand, pos, r.max);
        if (count < r.min) goto fail;
        const int unit = UnitOf(r.operand);
        if (unit == 0) count = r.min;
        const uint16_t fi = followIndex_[scan];
        if (fi) {
          const TFollow& f = followSets_[fi - 1];
          if (f.possessive) {
            int p = pos + count * unit;
            if (p >= len_ || !f.set.Contains(in_[p])) goto fail;
            pos = p;
            break;
          }
          while (count >= r.min) {
            int p = pos + count * unit;
            if (p < len_ && f.set.Contains(in_[p])) break;
            --count;
          }
          if (count < r.min) goto fail;
        }
        if (count > r.min) Push(kStarGreedy, scan, pos, count);
        pos += count * unit;
        break;
      }
      case opStarLazy:
      case opPlusLazy:
      case opRepeatLazy: {
        const TRepeat r = RepeatOf(prog, scan);
        const bool chain = memoOn_ && r.max >= kInfinite;
        if (memoOn_ && !chain && Seen(scan, pos)) goto fail;
        int count = RepeatCount(r.operand, pos, r.min);
        if (count < r.min) goto fail;
        pos += count * UnitOf(r.operand);
        if (chain && Seen(scan, pos)) goto fail;
        if (!LazyExtend(scan, pos, count)) goto fail;
        break;
      }
      case opLoopEntry:
        if (loopIdx_ >= kLoopMax) Raise(reeLoopStackExceeded);
        LogLoop(loopIdx_);
        loopCount_[loopIdx_] = 0;
        loopStart_[loopIdx_] = -1;
        ++loopIdx_;
        break;
      case opLoop:
      case opLoopLazy: {
        if (loopIdx_ <= 0) Raise(reeLoopWithoutEntry);
        if (memoOn_ && Seen(scan, pos)) goto fail;
        const int slot = loopIdx_ - 1;
        const int min = Read32(arg), max = Read32(arg + 4);
        const int body = scan + Read32(arg + 8);
        const int count = loopCount_[slot];
        if (count < min) {
          LogLoop(slot);
          loopCount_[slot] = count + 1;
          loopStart_[slot] = pos;
          next = body;
          break;
        }
        // An unbounded loop ends after an iteration that consumed nothing,
        // which would repeat forever; a bounded one runs out by itself.
        const bool more =
            count < max && !(max >= kInfinite && count > 0 && loopStart_[slot] == pos);
        if (op == opLoop && more) {
          Push(kLoopExit, scan, pos, 0);
          LogLoop(slot);
          loopCount_[slot] = count + 1;
          loopStart_[slot] = pos;
          next = body;
          break;
        }
        if (op == opLoopLazy && more) Push(kLoopIterate, scan, pos, 0);
        LogLoop(slot);
        --loopIdx_;
        break;
      }
      default:
        if (op >= kOpenFirst && op <= kOpenLast) {
          const int g = op - opOpen;
          PushUndo(kUndoStart, g, startp_[g], 0);
          startp_[g] = pos;
        } else if (op >= kCloseFirst && op <= kCloseLast) {
          const int g = op - opClose;
          PushUndo(kUndoEnd, g, endp_[g], 0);
          endp_[g] = pos;
        } else {
          Raise(reeMatchPrimMemoryCorruption);
        }
        break;
    }
    if (next <= 0 || next >= progSize) Raise(reeMatchPrimCorruptedPointers);
    scan = next;
    continue;
  fail:
    if (!Backtrack(scan, pos)) return false;
  }
}

// Grows a lazy repeat from `count` repeats ending at pos until the rest of
// the pattern may start there; remembers the choice to grow it further.
bool TRegExpr::LazyExtend(int node, int& pos, int count) {
  const uint8_t* prog = program_.data();
  const TRepeat r = RepeatOf(prog, node);
  const uint16_t fi = followIndex_[node];
  const TFollow* f = fi ? &followSets_[fi - 1] : nullptr;
  const bool any = prog[r.operand] == opAny;
  // With the memo on, an unbounded repeat marks the state after each
  // repeat, so it grows one repeat at a time.
  const bool chain = memoOn_ && r.max >= kInfinite;
  for (;;) {
    if (!f || (pos < len_ && f->set.Contains(in_[pos]))) {
      if (count < r.max) Push(kStarLazy, node, pos, count);
      return true;
    }
    if (count >= r.max) return false;
    if (any && f->single >= 0 && !chain) {
      // Jump straight to the next character the rest can begin with.
      // The rest may start after up to max - count more repeats.
      const int64_t room = std::min<int64_t>(int64_t{r.max} - count + 1, len_ - pos);
      const void* hit = std::memchr(in_ + pos, f->single, static_cast<size_t>(room));
      if (!hit) return false;
      int p = static_cast<int>(static_cast<const unsigned char*>(hit) - in_);
      steps_ += p - pos;
      count += p - pos;
      pos = p;
      continue;
    }
    int np;
    if (!MatchOne(r.operand, pos, np) || np == pos) return false;
    ++steps_;
    if (chain && Seen(node, np)) return false;
    pos = np;
    ++count;
  }
}

// Returns to the most recent choice point, undoing the state changes made
// since; false when none is left.
bool TRegExpr::Backtrack(int& scan, int& pos) {
  const uint8_t* prog = program_.data();
  if (steps_ > memoAfter_) StartMemo();
  while (!stack_.empty()) {
    const TBacktrack e = stack_.back();
    stack_.pop_back();
    switch (e.kind & 0xFF) {
      case kUndoStart:
        startp_[e.node] = e.pos;
        continue;
      case kUndoEnd:
        endp_[e.node] = e.pos;
        continue;
      case kUndoLoop:
        loopIdx_ = e.kind >> 8;
        loopCount_[e.node] = e.pos;
        loopStart_[e.node] = e.extra;
        continue;
      default:
        break;
    }
    --choices_;
    ++steps_;
    switch (e.kind) {
      case kAlt:
        scan = e.node;
        pos = e.pos;
        return true;
      case kStarGreedy: {
        const TRepeat r = RepeatOf(prog, e.node);
        const int unit = UnitOf(r.operand);
        const uint16_t fi = followIndex_[e.node];
        int count = e.extra - 1;
        if (fi) {
          const TFollow& f = followSets_[fi - 1];
          while (count >= r.min) {
            int p = e.pos + count * unit;
            if (p < len_ && f.set.Contains(in_[p])) break;
            --count;
          }
        }
        if (count < r.min) continue;
        if (count > r.min) Push(kStarGreedy, e.node, e.pos, count);
        pos = e.pos + count * unit;
        scan = NextNode(prog, e.node);
        return true;
      }
      case kStarLazy: {
        const TRepeat r = RepeatOf(prog, e.node);
        int np;
        if (!MatchOne(r.operand, e.pos, np) || np == e.pos) continue;
        if (memoOn_ && r.max >= kInfinite && Seen(e.node, np)) continue;
        int p = np;
        if (!LazyExtend(e.node, p, e.extra + 1)) continue;
        pos = p;
        scan = NextNode(prog, e.node);
        return true;
      }
      case kLoopExit: {
        const int slot = loopIdx_ - 1;
        LogLoop(slot);
        --loopIdx_;
        pos = e.pos;
        scan = NextNode(prog, e.node);
        return true;
      }
      case kLoopIterate: {
        const int slot = loopIdx_ - 1;
        LogLoop(slot);
        ++loopCount_[slot];
        loopStart_[slot] = e.pos;
        pos = e.pos;
        scan = e.node + Read32(prog + e.node + kNodeSize + 8);
        return true;
      }
      default:
        Raise(reeMatchPrimMemoryCorruption);
    }
  }
  return false;
}

bool TRegExpr::TryAt(int pos) {
  for (int i = 0; i <= groupCount_; ++i) startp_[i] = endp_[i] = -1;
  loopIdx_ = 0;
  stack_.clear();
  choices_ = 0;
  if (!Run(pos)) return false;
  startp_[0] = pos;
  endp_[0] = matchEnd_;
  return true;
}

namespace {

// The first occurrence of a string at or after `from`, or -1. Lines are short,
// so a memchr for the first byte and a compare beat a general substring search.
int FindString(const unsigned char* in, int len, int from, const unsigned char* s, int n) {
  const unsigned char* p = in + from;
  const unsigned char* const last = in + len - n;
  while (p <= last) {
    const void* hit = std::memchr(p, s[0], static_cast<size_t>(last - p) + 1);
    if (!hit) return -1;
    p = static_cast<const unsigned char*>(hit);
    if (n == 1 || std::memcmp(p + 1, s + 1, n - 1) == 0) return static_cast<int>(p - in);
    ++p;
  }
  return -1;
}

}  // namespace

// The last occurrence of the must string, or -1.
int TRegExpr::FindLastMust() const {
  const auto* m = reinterpret_cast<const unsigned char*>(must_.data());
  const int n = static_cast<int>(must_.size());
  for (int end = len_ - n + 1; end > 0;) {
    const void* hit = memrchr(in_, m[0], static_cast<size_t>(end));
    if (!hit) return -1;
    const int p = static_cast<int>(static_cast<const unsigned char*>(hit) - in_);
    if (n == 1 || std::memcmp(in_ + p + 1, m + 1, n - 1) == 0) return p;
    end = p;
  }
  return -1;
}

bool TRegExpr::SearchFrom(int from) {
  // A search from before the end of the last match could pass states on
  // that match's path, which the memo holds as reached.
  if (newInput_ || !memoSound_ || from < memoFloor_) ResetMemo();
  if (newInput_) lastMust_ = -2;
  newInput_ = false;
  memoSound_ = false;  // until the search ends without an error
  const bool found = TryStarts(from);
  memoSound_ = true;
  if (found) memoFloor_ = std::max(memoFloor_, endp_[0]);
  return found;
}

bool TRegExpr::TryStarts(int from) {
  // A match contains the must string, so it starts at or before its last
  // occurrence.
  int last = len_;
  if (!must_.empty()) {
    if (lastMust_ == -2) lastMust_ = FindLastMust();
    if (lastMust_ < from) return false;
    last = lastMust_;
  }
  if (anchored_) return TryAt(from);
  if (firstLiteral_ >= 0) {
    const uint8_t* lit = program_.data() + firstLiteral_ + kNodeSize;
    const int n = lit[0];
    int p = from;
    for (;;) {
      p = FindString(in_, len_, p, lit + 1, n);
      if (p < 0 || p > last) return false;
      if (TryAt(p)) return true;
      ++p;
    }
  }
  if (canBeEmpty_) {
    for (int p = from; p <= last; ++p)
      if (TryAt(p)) return true;
    return false;
  }
  if (firstSetCount_ == 1 || firstSetCount_ == 2) {
    // The next occurrence of each of the (one or two) start characters.
    const bool two = firstSetCount_ == 2;
    int nextA = -1, nextB = two ? -1 : len_;
    int p = from;
    for (;;) {
      if (nextA < p) {
        const void* hit = std::memchr(in_ + p, firstA_, len_ - p);
        nextA = hit ? static_cast<int>(static_cast<const unsigned char*>(hit) - in_) : len_;
      }
      if (nextB < p) {
        const void* hit = std::memchr(in_ + p, firstB_, len_ - p);
        nextB = hit ? static_cast<int>(static_cast<const unsigned char*>(hit) - in_) : len_;
      }
      p = nextA < nextB ? nextA : nextB;
      if (p >= len_ || p > last) return false;
      if (TryAt(p)) return true;
      ++p;
    }
  }
  for (int p = from; p < len_ && p <= last; ++p)
    if (firstSet_.Contains(in_[p]) && TryAt(p)) return true;
  return false;
}

}  // namespace ludra
