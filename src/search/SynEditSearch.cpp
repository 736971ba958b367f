#include "SynEditSearch.h"

#include <cstddef>

#include "SynCodePage.h"

namespace ludra {

TSynEditSearch::TSynEditSearch() {
  MakeFoldTable();
  const TCodePage& page = CodePage();
  for (int c = 0; c < 256; ++c) {
    auto b = static_cast<unsigned char>(c);
    delimiter_[b] = !(page.IsAlnum(b) || b == '_');
  }
}

void TSynEditSearch::MakeFoldTable() {
  const TCodePage& page = CodePage();
  for (int c = 0; c < 256; ++c) {
    auto b = static_cast<unsigned char>(c);
    fold_[b] = sensitive_ ? b : page.LowerCase(b);
  }
}

void TSynEditSearch::SetPattern(const std::string& value) {
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
  shiftTableValid_ = true;
}

bool TSynEditSearch::IsWholeWord(const unsigned char* text, int first, int last) const {
  // Positions are 1-based; text[last] is the character after the window or
  // the line's terminating NUL, which is a delimiter.
  return (first == 1 || delimiter_[text[first - 2]]) && delimiter_[text[last]];
}

// `run` is the 1-based index of the window's last character: text[run - 1]
// is that character and text[run] the one after it.
template <bool Fold>
[[gnu::always_inline]] inline void TSynEditSearch::Scan(const unsigned char* text, int length) {
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

int TSynEditSearch::FindAllInLine(const std::string& line) {
  results_.clear();
  if (!shiftTableValid_) InitShiftTable();
  int n = static_cast<int>(line.size());
  if (n < patLen_) return 0;
  // c_str() guarantees the NUL after the last character that the scan reads.
  const auto* text = reinterpret_cast<const unsigned char*>(line.c_str());
  if (sensitive_)
    Scan<false>(text, n);
  else
    Scan<true>(text, n);
  return MatchCount();
}

}  // namespace ludra
