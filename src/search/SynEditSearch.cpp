#include "search/SynEditSearch.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <utility>

#include "base/SynCodePage.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace ludra {

namespace {

// A rough frequency of a byte in source text and prose, to pick the pattern
// bytes that make the fewest false candidates.
int Commonness(unsigned char c) {
  static const char kByFrequency[] = " etaoinsrlhdcu\tmpfgywb(),;=._\"01v2k";
  if (const char* at = c ? std::strchr(kByFrequency, c) : nullptr)
    return 1000 - static_cast<int>(at - kByFrequency) * 10;
  if (c >= 'A' && c <= 'Z') return 300;
  if (c >= '0' && c <= '9') return 400;
  if (c >= 'a' && c <= 'z') return 200;  // x, j, q, z
  if (c < 128) return 250;
  return 50;
}

}  // namespace

TSynEditSearch::TSynEditSearch() { MakeCodePageTables(); }

void TSynEditSearch::MakeCodePageTables() {
  page_ = &CodePage();
  MakeFoldTable();
  for (int c = 0; c < 256; ++c) {
    auto b = static_cast<unsigned char>(c);
    delimiter_[b] = !(page_->IsAlnum(b) || b == '_');
  }
  shiftTableValid_ = false;
}

void TSynEditSearch::MakeFoldTable() {
  const TCodePage& page = CodePage();
  for (int c = 0; c < 256; ++c) {
    auto b = static_cast<unsigned char>(c);
    fold_[b] = sensitive_ ? b : page.LowerCase(b);
  }
}

void TSynEditSearch::SetPattern(const std::string& value) {
  // The editor sets the options and the pattern at the start of every
  // search: the tables follow a change of code page from there.
  if (page_ != &CodePage()) MakeCodePageTables();
  if (value != pattern_) {
    pattern_ = value;
    shiftTableValid_ = false;
  }
  foundCount_ = 0;
}

int TSynEditSearch::MatchLength(int /*index*/) const { return patLen_; }

int TSynEditSearch::MatchPosition(int index) const {
  return index >= 0 && index < MatchCount() ? results_[index] : 0;
}

void TSynEditSearch::SetSearchOptions(TSynSearchFlags options) {
  if (page_ != &CodePage()) MakeCodePageTables();
  bool sensitive = options.Contains(sfMatchCase);
  whole_ = options.Contains(sfWholeWord);
  if (sensitive != sensitive_) {
    sensitive_ = sensitive;
    MakeFoldTable();
    shiftTableValid_ = false;
  }
}

std::string TSynEditSearch::ReplacementText(const std::string& /*matched*/,
                                            const std::string& replaceWith) {
  return replaceWith;
}

void TSynEditSearch::InitShiftTable() {
  int m = static_cast<int>(pattern_.size());
  if (m == 0) throw ESynEditSearch("Pattern is empty");
  patLen_ = m;
  foldedPattern_.resize(m);
  for (int j = 0; j < m; ++j)
    foldedPattern_[j] = static_cast<char>(fold_[static_cast<unsigned char>(pattern_[j])]);
  auto p = [&](int j) { return static_cast<unsigned char>(foldedPattern_[j - 1]); };  // 1-based
  skip_.fill(m + 1);
  // A later occurrence overwrites an earlier one: each character gets the
  // distance from its last occurrence to one past the pattern's end.
  for (int j = 1; j <= m; ++j) skip_[p(j)] = m + 1 - j;
  // How far the window may move after a failed compare: to the previous
  // occurrence of the last character, or past it.
  lookAt_ = m;
  for (int d = 1; d < m; ++d)
    if (p(m - d) == p(m)) {
      lookAt_ = d;
      break;
    }
  ChooseProbes();
  shiftTableValid_ = true;
}

void TSynEditSearch::ChooseProbes() {
  // Every byte that folds to each pattern byte; the vector compare handles
  // at most two per probe (a letter and its other case).
  const int m = patLen_;
  auto preimage = [&](unsigned char folded, unsigned char out[2]) {
    int count = 0;
    for (int c = 0; c < 256; ++c)
      if (fold_[c] == folded) {
        if (count < 2) out[count] = static_cast<unsigned char>(c);
        ++count;
      }
    if (count == 1) out[1] = out[0];
    return count;
  };
  auto cost = [&](int offset) {
    unsigned char bytes[2];
    if (preimage(static_cast<unsigned char>(foldedPattern_[offset]), bytes) > 2) return -1;
    return Commonness(bytes[0]) + (bytes[1] != bytes[0] ? Commonness(bytes[1]) : 0);
  };
  int best = -1, second = -1, bestCost = 0, secondCost = 0;
  for (int j = 0; j < m; ++j) {
    int c = cost(j);
    if (c < 0) {
      probesUsable_ = false;
      return;
    }
    if (best < 0 || c < bestCost) {
      second = best;
      secondCost = bestCost;
      best = j;
      bestCost = c;
    } else if (foldedPattern_[j] != foldedPattern_[best] && (second < 0 || c < secondCost)) {
      second = j;
      secondCost = c;
    }
  }
  if (second < 0) second = m > 1 ? (best == m - 1 ? 0 : m - 1) : best;
  if (second < best) std::swap(best, second);
  probes_[0].Offset = best;
  probes_[1].Offset = second;
  for (TProbe& probe : probes_)
    preimage(static_cast<unsigned char>(foldedPattern_[probe.Offset]), probe.Bytes);
  probesUsable_ = true;
}

bool TSynEditSearch::IsWholeWord(const unsigned char* text, int first, int last) const {
  // Positions are 1-based; text[last] is the character after the window or
  // the line's terminating NUL, which is a delimiter.
  return (first == 1 || delimiter_[text[first - 2]]) && delimiter_[text[last]];
}

// `run` is the 1-based index of the window's last character: text[run - 1]
// is that character and text[run] the one after it.
template <bool Fold>
[[gnu::noinline]] void TSynEditSearch::Scan(const unsigned char* text, int length) {
  // Local copies keep the tables and sizes in registers in the loops below.
  const ptrdiff_t m = patLen_, n = length, lookAt = lookAt_;
  const bool whole = whole_;
  const int* skip = skip_.data();
  const unsigned char* foldTable = fold_.data();
  const auto* pat = reinterpret_cast<const unsigned char*>(foldedPattern_.data());
  const unsigned char last = pat[m - 1];
  auto fold = [foldTable](unsigned char c) { return Fold ? foldTable[c] : c; };
  ptrdiff_t run = 0;
  for (;;) {
    run += m;  // the next window starts right after the previous occurrence
    for (;;) {
      while (run <= n && fold(text[run - 1]) != last) run += skip[fold(text[run])];
      if (run > n) return;
      const unsigned char* window = text + run - m;
      ptrdiff_t i = 0;
      while (i < m && pat[i] == fold(window[i])) ++i;
      if (i == m &&
          (!whole || IsWholeWord(text, static_cast<int>(run - m + 1), static_cast<int>(run))))
        break;
      run += lookAt;
      if (run > n) return;
      run += skip[fold(text[run - 1])] - 1;
    }
    ++foundCount_;
    results_.push_back(static_cast<int>(run - m + 1));
  }
}

// The same occurrences as Scan, found faster. Every shift of the skip-table
// walk is safe (it never passes a window that matches), so that walk reports,
// from each start, the leftmost matching window the whole-word test accepts,
// and continues right after an occurrence or one past a rejected window. This
// scan reports exactly those windows: it filters the windows from the start
// sixteen at a time by the two probe bytes, compares each candidate left to
// right and moves past an occurrence the same way. `readable` bytes of text
// may be read (at least the probe's offset plus 16, and text[length] is the
// line's NUL).
template <bool Fold>
[[gnu::noinline]] void TSynEditSearch::ProbeScan(const unsigned char* text, int length,
                                                 int readable) {
#if defined(__SSE2__)
  const ptrdiff_t m = patLen_, lastStart = length - m;
  const ptrdiff_t lo = probes_[0].Offset, hi = probes_[1].Offset;
  const bool whole = whole_;
  const unsigned char* foldTable = fold_.data();
  const auto* pat = reinterpret_cast<const unsigned char*>(foldedPattern_.data());
  const __m128i a0 = _mm_set1_epi8(static_cast<char>(probes_[0].Bytes[0]));
  const __m128i b0 = _mm_set1_epi8(static_cast<char>(probes_[0].Bytes[1]));
  const __m128i a1 = _mm_set1_epi8(static_cast<char>(probes_[1].Bytes[0]));
  const __m128i b1 = _mm_set1_epi8(static_cast<char>(probes_[1].Bytes[1]));
  auto candidates = [&](ptrdiff_t block) {
    __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + block + lo));
    __m128i y = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + block + hi));
    __m128i first = _mm_cmpeq_epi8(x, a0), second = _mm_cmpeq_epi8(y, a1);
    if (Fold) {
      first = _mm_or_si128(first, _mm_cmpeq_epi8(x, b0));
      second = _mm_or_si128(second, _mm_cmpeq_epi8(y, b1));
    }
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(first, second)));
  };
  auto matches = [&](ptrdiff_t start) {
    const unsigned char* window = text + start;
    if (!Fold) return std::memcmp(window, pat, static_cast<size_t>(m)) == 0;
    for (ptrdiff_t i = 0; i < m; ++i)
      if (foldTable[window[i]] != pat[i]) return false;
    return true;
  };
  ptrdiff_t start = 0;
  while (start <= lastStart) {
    // The last block is moved back to end at the readable end; windows it
    // covers before `start` were filtered already.
    ptrdiff_t block = start + hi + 16 <= readable ? start : readable - hi - 16;
    unsigned mask = candidates(block) & (~0u << (start - block));
    ptrdiff_t next = block + 16;
    while (mask != 0) {
      ptrdiff_t at = block + __builtin_ctz(mask);
      if (at > lastStart) return;
      if (matches(at) &&
          (!whole || IsWholeWord(text, static_cast<int>(at + 1), static_cast<int>(at + m)))) {
        ++foundCount_;
        results_.push_back(static_cast<int>(at + 1));
        next = at + m;
        break;
      }
      mask &= mask - 1;
    }
    start = next;
  }
#else
  (void)readable;
  Scan<Fold>(text, length);
#endif
}

// The same occurrences for a line of at most 64 characters, with no copy and
// no loop over blocks: a few loads give, for each probe, a bit per position
// whose byte matches; a window start is a candidate when both of its probe
// positions are set. `readable` (at least 16 and more than `length`) bytes
// of text may be read; bits past the line are cut off with the last start.
template <bool Fold>
[[gnu::always_inline]] inline void TSynEditSearch::MaskScan(const unsigned char* text, int length,
                                                            int readable) {
#if defined(__SSE2__)
  const int m = patLen_, lastStart = length - m;
  const bool whole = whole_;
  const unsigned char* foldTable = fold_.data();
  const auto* pat = reinterpret_cast<const unsigned char*>(foldedPattern_.data());
  const __m128i a0 = _mm_set1_epi8(static_cast<char>(probes_[0].Bytes[0]));
  const __m128i b0 = _mm_set1_epi8(static_cast<char>(probes_[0].Bytes[1]));
  const __m128i a1 = _mm_set1_epi8(static_cast<char>(probes_[1].Bytes[0]));
  const __m128i b1 = _mm_set1_epi8(static_cast<char>(probes_[1].Bytes[1]));
  uint64_t first = 0, second = 0;
  for (int q = 0; q < length; q += 16) {
    // A load that would pass the readable end is moved back to end there.
    const int at = q + 16 <= readable ? q : readable - 16;
    const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + at));
    __m128i one = _mm_cmpeq_epi8(x, a0), two = _mm_cmpeq_epi8(x, a1);
    if (Fold) {
      one = _mm_or_si128(one, _mm_cmpeq_epi8(x, b0));
      two = _mm_or_si128(two, _mm_cmpeq_epi8(x, b1));
    }
    first |= static_cast<uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(one)) >> (q - at)) << q;
    second |= static_cast<uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(two)) >> (q - at)) << q;
  }
  uint64_t candidates = (first >> probes_[0].Offset) & (second >> probes_[1].Offset);
  if (lastStart < 63) candidates &= (uint64_t{2} << lastStart) - 1;
  while (candidates != 0) {
    const int at = __builtin_ctzll(candidates);
    const unsigned char* window = text + at;
    bool found;
    if (!Fold) {
      found = std::memcmp(window, pat, static_cast<size_t>(m)) == 0;
    } else {
      int i = 0;
      while (i < m && foldTable[window[i]] == pat[i]) ++i;
      found = i == m;
    }
    if (found && (!whole || IsWholeWord(text, at + 1, at + m))) {
      ++foundCount_;
      results_.push_back(at + 1);
      // Occurrences do not overlap: the next starts after this one.
      if (at + m > 63) return;
      candidates &= ~uint64_t{0} << (at + m);
    } else {
      candidates &= candidates - 1;
    }
  }
#else
  (void)readable;
  Scan<Fold>(text, length);
#endif
}

int TSynEditSearch::FindAllInLine(const std::string& line) {
  results_.clear();
  if (!shiftTableValid_) InitShiftTable();
  const int n = static_cast<int>(line.size());
  if (n < patLen_) return 0;
  // c_str() guarantees the NUL after the last character that the scans read;
  // nothing past it is read, since the string's spare capacity may never
  // have been written. A line too short for one vector load is copied into
  // a padded buffer.
  const auto* text = reinterpret_cast<const unsigned char*>(line.c_str());
  const int readable = n + 1;
  if (probesUsable_ && n <= 64) {
    if (readable >= 16) {
      if (sensitive_)
        MaskScan<false>(text, n, readable);
      else
        MaskScan<true>(text, n, readable);
    } else {
      unsigned char padded[16] = {};
      std::memcpy(padded, text, static_cast<size_t>(readable));
      if (sensitive_)
        MaskScan<false>(padded, n, 16);
      else
        MaskScan<true>(padded, n, 16);
    }
  } else if (probesUsable_ && readable >= probes_[1].Offset + 16) {
    if (sensitive_)
      ProbeScan<false>(text, n, readable);
    else
      ProbeScan<true>(text, n, readable);
  } else if (sensitive_) {
    Scan<false>(text, n);
  } else {
    Scan<true>(text, n);
  }
  return static_cast<int>(results_.size());
}

}  // namespace ludra
