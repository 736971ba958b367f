#pragma once
// An array with a gap: the free room sits where the last change was, so a
// change next to it moves nothing but the records between the two places.
// T must be trivially copyable: records move with memmove.
#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>
#include <stdexcept>
#include <type_traits>

namespace ludra {

template <class T>
class TGapArray {
  static_assert(std::is_trivially_copyable_v<T>);

 public:
  TGapArray() = default;
  ~TGapArray() { std::free(data_); }
  TGapArray(const TGapArray&) = delete;
  TGapArray& operator=(const TGapArray&) = delete;

  size_t Size() const { return capacity_ - gapLength_; }
  bool Empty() const { return Size() == 0; }
  const T& operator[](size_t i) const { return data_[i < gapStart_ ? i : i + gapLength_]; }
  T& operator[](size_t i) { return data_[i < gapStart_ ? i : i + gapLength_]; }

  // Replaces the records [at, at + oldCount) by the n records of items.
  // Throws std::bad_alloc before anything changes when memory runs out.
  void Replace(size_t at, size_t oldCount, const T* items, size_t n) {
    if (n > gapLength_ + oldCount) Grow(Size() - oldCount + n, at);
    MoveGapTo(at);
    gapLength_ += oldCount;
    if (n) std::memcpy(static_cast<void*>(data_ + gapStart_), items, n * sizeof(T));
    gapStart_ += n;
    gapLength_ -= n;
  }
  void PushBack(const T& value) { Replace(Size(), 0, &value, 1); }
  // Replaces everything by the n records of items, with the gap after them.
  void Assign(const T* items, size_t n) {
    size_t capacity = n + n / 8 + 16;
    T* fresh = static_cast<T*>(std::malloc(capacity * sizeof(T)));
    if (!fresh) throw std::bad_alloc();
    if (n) std::memcpy(static_cast<void*>(fresh), items, n * sizeof(T));
    std::free(data_);
    data_ = fresh;
    capacity_ = capacity;
    gapStart_ = n;
    gapLength_ = capacity - n;
  }
  void Clear() {
    std::free(data_);
    data_ = nullptr;
    capacity_ = gapStart_ = gapLength_ = 0;
  }
  void Reserve(size_t n) {
    if (n > capacity_) Grow(n, Size());
  }

  void Check() const {
    if (gapStart_ + gapLength_ > capacity_ || (capacity_ && !data_))
      throw std::logic_error("gap outside the array");
  }

 private:
  void MoveGapTo(size_t at) {
    if (at < gapStart_)
      std::memmove(static_cast<void*>(data_ + at + gapLength_), data_ + at,
                   (gapStart_ - at) * sizeof(T));
    else if (at > gapStart_)
      std::memmove(static_cast<void*>(data_ + gapStart_), data_ + gapStart_ + gapLength_,
                   (at - gapStart_) * sizeof(T));
    gapStart_ = at;
  }
  // Reallocates for at least n records with the gap at position at.
  void Grow(size_t n, size_t at) {
    size_t capacity = std::max(n, capacity_ + capacity_ / 2 + 16);
    T* fresh = static_cast<T*>(std::malloc(capacity * sizeof(T)));
    if (!fresh) throw std::bad_alloc();
    size_t size = Size();
    size_t after = size - at;
    for (size_t i = 0; i < at; ++i) fresh[i] = (*this)[i];
    for (size_t i = 0; i < after; ++i) fresh[capacity - after + i] = (*this)[at + i];
    std::free(data_);
    data_ = fresh;
    capacity_ = capacity;
    gapStart_ = at;
    gapLength_ = capacity - size;
  }

  T* data_ = nullptr;
  size_t capacity_ = 0;
  size_t gapStart_ = 0;
  size_t gapLength_ = 0;
};

}  // namespace ludra
