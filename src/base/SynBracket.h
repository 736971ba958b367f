#pragma once
// Closes a begin/end pair (paint lock, undo block, buffer update, a switched
// option) on every path out of a scope. On the normal path the closing runs
// as it is and may throw: ends deliver notices, and a notice handler may
// fail. While an exception unwinds the closing still runs, so counters and
// switches come back, but whatever it throws is dropped: the first error is
// the one the caller sees.
#include <exception>
#include <utility>

namespace ludra {

template <typename Close>
class [[nodiscard]] TBracket {
 public:
  explicit TBracket(Close close) : close_(std::move(close)) {}
  TBracket(const TBracket&) = delete;
  TBracket& operator=(const TBracket&) = delete;
  // The normal path asks nothing of the exception machinery: only a close
  // that fails looks whether another exception is already on its way.
  ~TBracket() noexcept(false) {
    try {
      close_();
    } catch (...) {
      if (std::uncaught_exceptions() > 0) return;
      throw;
    }
  }

 private:
  Close close_;
};

// Runs open now and close when the scope ends.
template <typename Open, typename Close>
TBracket<Close> Bracket(Open&& open, Close close) {
  open();
  return TBracket<Close>(std::move(close));
}

// Puts a variable back to its value at this point when the scope ends.
template <typename T>
auto Preserve(T& variable) {
  return TBracket([&variable, saved = variable] { variable = saved; });
}

}  // namespace ludra
