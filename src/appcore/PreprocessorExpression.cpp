#include "appcore/PreprocessorExpression.h"

#include <string>

namespace ludra {

namespace {

using TValue = std::optional<long long>;

bool IsNameChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
         c == '@' || static_cast<unsigned char>(c) >= 128;
}

// Precedence climbing over the expression; an unknown operand makes the
// result unknown, except where the other side decides it (0 && x, 1 || x).
class TParser {
 public:
  TParser(std::string_view s, const std::function<std::optional<bool>(std::string_view)>& defined)
      : s_(s), defined_(defined) {}

  TValue Whole() {
    TValue v = Conditional();
    Blanks();
    return ok_ && p_ == s_.size() ? v : std::nullopt;
  }

 private:
  void Blanks() {
    while (p_ < s_.size() && static_cast<unsigned char>(s_[p_]) <= ' ') ++p_;
  }
  bool Take(std::string_view op) {
    Blanks();
    if (s_.substr(p_, op.size()) != op) return false;
    p_ += op.size();
    return true;
  }

  TValue Conditional() {
    TValue c = Binary(0);
    if (!Take("?")) return c;
    TValue a = Conditional();
    if (!Take(":")) return Fail();
    TValue b = Conditional();
    if (!c) return a && b && *a == *b ? a : std::nullopt;
    return *c ? a : b;
  }

  static int Precedence(std::string_view op) {
    static constexpr std::pair<std::string_view, int> kOps[] = {
        {"||", 1}, {"&&", 2}, {"|", 3},  {"^", 4},  {"&", 5},  {"==", 6},
        {"!=", 6}, {"<=", 7}, {">=", 7}, {"<", 7},  {">", 7},  {"<<", 8},
        {">>", 8}, {"+", 9},  {"-", 9},  {"*", 10}, {"/", 10}, {"%", 10}};
    for (auto [o, p] : kOps)
      if (o == op) return p;
    return 0;
  }

  std::string_view PeekOperator() {
    Blanks();
    for (std::string_view op : {"||", "&&", "==", "!=", "<=", ">=", "<<", ">>"})
      if (s_.substr(p_, 2) == op) return op;
    if (p_ < s_.size() && std::string_view("|^&<>+-*/%").find(s_[p_]) != std::string_view::npos)
      return s_.substr(p_, 1);
    return {};
  }

  TValue Binary(int minPrecedence) {
    TValue left = Unary();
    for (;;) {
      std::string_view op = PeekOperator();
      int prec = Precedence(op);
      if (prec == 0 || prec <= minPrecedence) return left;
      p_ += op.size();
      TValue right = Binary(prec);
      left = Apply(op, left, right);
    }
  }

  TValue Apply(std::string_view op, TValue a, TValue b) {
    if (op == "&&") {
      if ((a && !*a) || (b && !*b)) return 0;
      return a && b ? TValue(1) : std::nullopt;
    }
    if (op == "||") {
      if ((a && *a) || (b && *b)) return 1;
      return a && b ? TValue(0) : std::nullopt;
    }
    if (!a || !b) return std::nullopt;
    long long x = *a, y = *b;
    if (op == "|") return x | y;
    if (op == "^") return x ^ y;
    if (op == "&") return x & y;
    if (op == "==") return x == y;
    if (op == "!=") return x != y;
    if (op == "<=") return x <= y;
    if (op == ">=") return x >= y;
    if (op == "<") return x < y;
    if (op == ">") return x > y;
    if (op == "<<") return y >= 0 && y < 63 ? x << y : 0;
    if (op == ">>") return y >= 0 && y < 63 ? x >> y : 0;
    if (op == "+") return x + y;
    if (op == "-") return x - y;
    if (op == "*") return x * y;
    if (y == 0) return std::nullopt;
    return op == "/" ? x / y : x % y;
  }

  TValue Unary() {
    Blanks();
    if (Take("!")) {
      TValue v = Unary();
      return v ? TValue(!*v) : std::nullopt;
    }
    if (Take("-")) {
      TValue v = Unary();
      return v ? TValue(-*v) : std::nullopt;
    }
    if (Take("~")) {
      TValue v = Unary();
      return v ? TValue(~*v) : std::nullopt;
    }
    if (Take("+")) return Unary();
    if (Take("(")) {
      TValue v = Conditional();
      return Take(")") ? v : Fail();
    }
    return Primary();
  }

  TValue Primary() {
    Blanks();
    if (p_ >= s_.size()) return Fail();
    char c = s_[p_];
    if (c >= '0' && c <= '9') return Number();
    if (c == '\'') {
      // 'a' and the simple escapes.
      if (p_ + 2 < s_.size() && s_[p_ + 1] != '\\' && s_[p_ + 2] == '\'') {
        long long v = static_cast<unsigned char>(s_[p_ + 1]);
        p_ += 3;
        return v;
      }
      return Fail();
    }
    size_t start = p_;
    while (p_ < s_.size() && IsNameChar(s_[p_])) ++p_;
    std::string_view name = s_.substr(start, p_ - start);
    if (name.empty()) return Fail();
    if (name == "true") return 1;
    if (name == "false") return 0;
    if (name == "defined") {
      bool paren = Take("(");
      Blanks();
      size_t n = p_;
      while (p_ < s_.size() && IsNameChar(s_[p_])) ++p_;
      std::string_view what = s_.substr(n, p_ - n);
      if (what.empty() || (paren && !Take(")"))) return Fail();
      std::optional<bool> d = defined_(what);
      return d ? TValue(*d) : std::nullopt;
    }
    // A tag before a value, a constant or a call: not known here.
    if (Take(":")) Unary();
    if (Take("(")) {
      for (int depth = 1; p_ < s_.size() && depth > 0; ++p_)
        depth += s_[p_] == '(' ? 1 : s_[p_] == ')' ? -1 : 0;
    }
    return std::nullopt;
  }

  TValue Number() {
    long long v = 0;
    int base = 10;
    if (s_.substr(p_, 2) == "0x" || s_.substr(p_, 2) == "0b") {
      base = s_[p_ + 1] == 'x' ? 16 : 2;
      p_ += 2;
    }
    size_t start = p_;
    for (; p_ < s_.size(); ++p_) {
      char c = s_[p_];
      int d = c >= '0' && c <= '9'   ? c - '0'
              : c >= 'a' && c <= 'f' ? c - 'a' + 10
              : c >= 'A' && c <= 'F' ? c - 'A' + 10
              : c == '_'             ? -2
                                     : -1;
      if (d == -2) continue;
      if (d < 0 || d >= base) break;
      v = v * base + d;
    }
    // A rational number (1.5) or a word stuck to the digits: not known.
    if (p_ < s_.size() && (s_[p_] == '.' || IsNameChar(s_[p_]))) {
      while (p_ < s_.size() && (s_[p_] == '.' || IsNameChar(s_[p_]))) ++p_;
      return std::nullopt;
    }
    return p_ > start ? TValue(v) : Fail();
  }

  TValue Fail() {
    ok_ = false;
    return std::nullopt;
  }

  std::string_view s_;
  const std::function<std::optional<bool>(std::string_view)>& defined_;
  size_t p_ = 0;
  bool ok_ = true;
};

}  // namespace

std::optional<long long> EvaluatePreprocessorExpression(
    std::string_view expr, const std::function<std::optional<bool>(std::string_view)>& defined) {
  return TParser(expr, defined).Whole();
}

}  // namespace ludra
