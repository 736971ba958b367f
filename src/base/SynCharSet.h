#pragma once
// A set of byte values: identifier and word-break characters, the places a
// wrapped line may break, and the character classes of regular expressions.
// Four machine words, so membership is one shift and a whole set is copied,
// compared or combined in a few instructions.
#include <array>
#include <bit>
#include <cstdint>
#include <string_view>

namespace ludra {

class TSynCharSet {
 public:
  constexpr TSynCharSet() = default;

  constexpr bool Contains(unsigned char c) const { return (words_[c >> 6] >> (c & 63)) & 1; }
  constexpr bool operator[](unsigned char c) const { return Contains(c); }

  constexpr TSynCharSet& Include(unsigned char c) {
    words_[c >> 6] |= Bit(c);
    return *this;
  }
  constexpr TSynCharSet& Exclude(unsigned char c) {
    words_[c >> 6] &= ~Bit(c);
    return *this;
  }
  // Adds first..last (inclusive); nothing when last < first.
  constexpr TSynCharSet& IncludeRange(unsigned char first, unsigned char last) {
    for (unsigned c = first; c <= last; ++c) Include(static_cast<unsigned char>(c));
    return *this;
  }
  constexpr TSynCharSet& IncludeAll() {
    words_.fill(~uint64_t{0});
    return *this;
  }
  constexpr TSynCharSet& Clear() {
    words_.fill(0);
    return *this;
  }

  constexpr int Count() const {
    int n = 0;
    for (uint64_t w : words_) n += std::popcount(w);
    return n;
  }
  constexpr bool Empty() const { return (words_[0] | words_[1] | words_[2] | words_[3]) == 0; }
  constexpr bool Intersects(const TSynCharSet& o) const { return !(*this & o).Empty(); }

  // Calls f(c) for each member, in ascending order.
  template <typename F>
  constexpr void ForEach(F&& f) const {
    for (int w = 0; w < 4; ++w)
      for (uint64_t bits = words_[w]; bits != 0; bits &= bits - 1)
        f(static_cast<unsigned char>(w * 64 + std::countr_zero(bits)));
  }

  constexpr TSynCharSet& operator|=(const TSynCharSet& o) {
    for (int w = 0; w < 4; ++w) words_[w] |= o.words_[w];
    return *this;
  }
  constexpr TSynCharSet& operator&=(const TSynCharSet& o) {
    for (int w = 0; w < 4; ++w) words_[w] &= o.words_[w];
    return *this;
  }
  // Removes the members of o.
  constexpr TSynCharSet& operator-=(const TSynCharSet& o) {
    for (int w = 0; w < 4; ++w) words_[w] &= ~o.words_[w];
    return *this;
  }
  friend constexpr TSynCharSet operator|(TSynCharSet a, const TSynCharSet& b) { return a |= b; }
  friend constexpr TSynCharSet operator&(TSynCharSet a, const TSynCharSet& b) { return a &= b; }
  friend constexpr TSynCharSet operator-(TSynCharSet a, const TSynCharSet& b) { return a -= b; }
  // Every byte value not in the set.
  friend constexpr TSynCharSet operator~(TSynCharSet a) {
    for (uint64_t& w : a.words_) w = ~w;
    return a;
  }
  friend constexpr bool operator==(const TSynCharSet&, const TSynCharSet&) = default;

 private:
  static constexpr uint64_t Bit(unsigned char c) { return uint64_t{1} << (c & 63); }
  std::array<uint64_t, 4> words_{};
};

// The set of the given bytes.
constexpr TSynCharSet SynCharSet(std::string_view chars) {
  TSynCharSet set;
  for (char c : chars) set.Include(static_cast<unsigned char>(c));
  return set;
}

// The set of the bytes first..last (inclusive).
constexpr TSynCharSet SynCharRange(unsigned char first, unsigned char last) {
  return TSynCharSet().IncludeRange(first, last);
}

}  // namespace ludra
