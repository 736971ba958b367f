#pragma once
// The longest line of a buffer, kept from the line notices so that scroll
// limits need no pass over the text per edit. Beside it a bound for every
// other line (the second longest), so that shortening the longest line
// needs no scan while the second one is known.
#include <algorithm>

namespace ludra {

class TSynLongestLine {
 public:
  bool Known() const { return longestKnown_; }
  // The longest line's index, or -1 when it is not known (or every line is empty).
  int Index() const { return longestKnown_ ? longest_.Index : -1; }
  void Forget() { longestKnown_ = secondKnown_ = false; }

  // The longest length. When it is not known, scan(note) calls note(length)
  // for every line in order: one pass, where among equal lengths the first
  // line wins.
  template <typename Scan>
  int Length(Scan&& scan) {
    if (!longestKnown_) {
      longest_ = second_ = {};
      int i = 0;
      scan([&](int len) {
        if (len > longest_.Length) {
          second_ = longest_;
          longest_ = {i, len};
        } else if (len > second_.Length) {
          second_ = {i, len};
        }
        ++i;
      });
      longestKnown_ = secondKnown_ = true;
    }
    return longest_.Length;
  }

  template <typename F>
  void Inserted(int index, int count, F&& lengthOf) {
    if (!longestKnown_) return;
    if (longest_.Index >= index) longest_.Index += count;
    if (second_.Index >= index) second_.Index += count;
    for (int i = index; i < index + count; ++i) Changed(i, lengthOf(i));
  }

  void Deleted(int index, int count) {
    if (!longestKnown_) return;
    if (secondKnown_) {
      if (second_.Index >= index + count)
        second_.Index -= count;
      else if (second_.Index >= index)
        secondKnown_ = false;
    }
    if (longest_.Index >= index + count) {
      longest_.Index -= count;
    } else if (longest_.Index >= index) {
      longestKnown_ = secondKnown_;
      longest_ = second_;
      secondKnown_ = false;
    }
  }

  // Line index has length now.
  void Changed(int index, int length) {
    if (!longestKnown_) return;
    if (index == longest_.Index) {
      if (length >= longest_.Length || (secondKnown_ && length >= second_.Length)) {
        longest_.Length = length;
      } else if (secondKnown_) {
        longest_ = second_;
        secondKnown_ = false;
      } else {
        longestKnown_ = false;
      }
    } else if (secondKnown_ && index == second_.Index) {
      if (length > longest_.Length) {
        second_ = longest_;
        longest_ = {index, length};
      } else if (length >= second_.Length) {
        second_.Length = length;
      } else {
        secondKnown_ = false;
      }
    } else if (length > longest_.Length) {
      second_ = longest_;
      secondKnown_ = true;
      longest_ = {index, length};
    } else if (secondKnown_ && length > second_.Length) {
      second_ = {index, length};
    }
  }

  void Exchanged(int a, int b) {
    auto swap = [&](int& i) { i = i == a ? b : i == b ? a : i; };
    swap(longest_.Index);
    swap(second_.Index);
  }

  // Whether the kept lengths agree with lines 0 .. count - 1.
  template <typename F>
  bool Agrees(int count, F&& lengthOf) const {
    if (!longestKnown_) return true;
    if (longest_.Index >= count) return false;
    int longest = 0;
    for (int i = 0; i < count; ++i) {
      int len = lengthOf(i);
      longest = std::max(longest, len);
      if (secondKnown_ && i != longest_.Index && len > second_.Length) return false;
    }
    return longest == longest_.Length &&
           (longest_.Index < 0 || lengthOf(longest_.Index) == longest_.Length);
  }

 private:
  struct TLineWidth {
    int Index = -1;
    int Length = 0;
  };
  TLineWidth longest_;
  TLineWidth second_;
  bool longestKnown_ = false;
  bool secondKnown_ = false;
};

}  // namespace ludra
