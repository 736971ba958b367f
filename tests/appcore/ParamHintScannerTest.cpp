#include <gtest/gtest.h>

#include <random>

#include "appcore/ParamHintScanner.h"

using namespace ludra;

namespace {

const TStringList& Names() {
  static const TStringList names{"SetTimer", "beep", "Text:make", "\xC9T\xC9", "BEEP"};
  return names;
}

struct TAnswer {
  int NameIndex = -1;  // -1: nothing found
  int Param = 0;
  friend bool operator==(const TAnswer&, const TAnswer&) = default;
};

// The text before "|" (or all of it) as lines, the caret after the last.
TAnswer Scan(std::string_view text) {
  size_t caret = std::min(text.find('|'), text.size());
  std::vector<std::string_view> lines;
  size_t start = 0;
  for (size_t nl; (nl = text.find('\n', start)) < caret; start = nl + 1)
    lines.push_back(text.substr(start, nl - start));
  lines.push_back(text.substr(start));
  TParamHint hint =
      ScanParamHint(lines, static_cast<int>(caret - start) + 1,
                    [](std::string_view n) { return Names().IndexOf(std::string(n)); });
  if (!hint.Found) return {};
  EXPECT_EQ(hint.Identifier, Names()[hint.NameIndex]);
  return {hint.NameIndex, hint.ParamIndex};
}

}  // namespace

TEST(ParamHintScan, FindsTheCalledNameAndTheParameterBeingTyped) {
  const std::pair<const char*, TAnswer> cases[] = {
      {"beep(", {1, 0}},
      {"beep(440, ", {1, 1}},
      {"x = beep(min(a, b), ", {1, 1}},  // the group and its comma are skipped
      {"beep((a), ", {1, 1}},
      {"beep(1, other(2, ", {1, 1}},  // commas of an unknown call do not count
      {"beep (", {1, 0}},
      {"  beep\t/* c */ (", {1, 0}},
      {"beep(\"a,b\", ", {1, 1}},  // nor those in strings, literals and comments
      {"beep('\\,', ',', \"\\\",\", ", {1, 3}},
      {"beep(1, /* , */ 2, ", {1, 2}},
      {"beep(a[1], {1, 2}, ", {1, 2}},
      {"beep(a[1, ", {1, 0}},
      {"beep(1, \"a, b", {1, 1}},  // the caret inside a string of the call
      {"beep(1, 2) // beep(", {}},
      {"beep(x]", {1, 0}},
      {"x(", {}},
      {"|beep(", {}},  // nothing before the caret
      {"", {}},
      // Letter case counts, in 8-bit letters too; tags are part of a name.
      {"BEEP(", {4, 0}},
      {"Beep(1,", {}},
      {"settimer(a, ", {}},
      {"SetTimer(a, b, ", {0, 2}},
      {"\xC9T\xC9(1, ", {3, 1}},
      {"\xE9t\xE9(1, ", {}},
      {"make(", {}},
      // Where the caret stands in a closed call; just before a line-ending ")".
      {"beep(1, 2) + z", {}},
      {"beep(1|, 2) + z", {1, 0}},
      {"beep(1, |2) + z", {1, 1}},
      {"beep(1, 2|)", {1, 1}},
      {"beep(1, 2)|", {}},
      // The name directly before "(": never one inside brackets, a string or
      // a number, nor one behind other punctuation.
      {"\"beep\" (1, ", {}},
      {"(beep) (1, ", {}},
      {"a[beep] (", {}},
      {"beep(1) (2, ", {}},
      {"f(beep(2), 3, ", {}},
      {"beep\xD7(", {}},
      {"2beep(", {}},
      // Closers without a pair close nothing: the depth never goes below zero.
      {"))) beep(1, ", {1, 1}},
      {"}) ] beep(1, ", {1, 1}},
      {"))),,((", {}},
      {"beep(1)), 2, ", {}},
  };
  for (const auto& [text, want] : cases) EXPECT_EQ(Scan(text), want) << text;
}

TEST(ParamHintScan, CallsGoOnAcrossLines) {
  const std::pair<const char*, TAnswer> cases[] = {
      {"SetTimer(\"t\",\n    1000,\n    ", {0, 2}},
      {"beep(1,\n  2, // c, (\n  ", {1, 2}},
      {"beep(1, /* a,\n b, ( */ 2, ", {1, 2}},
      {"beep\n(1, ", {1, 1}},
      {"beep(1,\n  2|)", {1, 1}},
      {"beep(1,\n  2)\n|", {}},
      {"}\n}\nbeep(", {1, 0}},
      {"main()\n{\n\tbeep(1,\n\t\tx[2], ", {1, 2}},
      // A directive's brackets stay on its line, unless it goes on.
      {"#define X beep(\nx = ", {}},
      {"#define X beep( /* c\n */ x = ", {}},
      {"#define X beep(\\\n  1, ", {1, 1}},
      {"  #define X beep(", {1, 0}},
      {"\"beep(\"\nx = ", {}},  // a string ends with its line
  };
  for (const auto& [text, want] : cases) EXPECT_EQ(Scan(text), want) << text;
}

TEST(ParamHintScan, LooksBackFiftyLinesAndNotIntoAnEarlierComment) {
  for (int blank : {HintLinesBack - 1, HintLinesBack}) {
    std::string text = "beep(1,\n" + std::string(static_cast<size_t>(blank), '\n');
    EXPECT_EQ(Scan(text), (blank < HintLinesBack ? TAnswer{1, 1} : TAnswer{})) << blank;
  }
  // The lines read begin inside a comment: its end shows what came before
  // was no code.
  std::string text = "/*\nbeep(1,\n" + std::string(HintLinesBack - 2, '\n') + "*/ x = ";
  EXPECT_EQ(Scan(text), TAnswer{});
}

// Random nested calls whose answer is known from how they were made, not
// from reading them back: every position records the innermost open call
// of a known name and the commas at its own depth.
class TCallMaker {
 public:
  explicit TCallMaker(unsigned seed) : rng_(seed) {}
  std::string Text;
  std::vector<TAnswer> Want;  // Want[k]: the answer with the caret after k characters

  void Make() {
    Emit(Pick({")) ", "} ", "", "x = "}), {});
    Call(0, {});
  }

 private:
  size_t Roll(size_t n) { return rng_() % n; }
  std::string Pick(std::initializer_list<const char*> options) {
    return *(options.begin() + static_cast<long>(Roll(options.size())));
  }
  void Emit(std::string_view s, TAnswer answer) {
    for (char c : s) {
      Text += c;
      Want.push_back(answer);
    }
  }
  // Blanks, a line end or a comment: nothing a call is read from.
  void Gap(TAnswer answer) { Emit(Pick({"", "", " ", "\n\t", "/* (, */", " // ),(\n"}), answer); }
  void Call(int depth, TAnswer outer) {
    // Names the lookup knows (by index) and ones it does not.
    static const char* const names[] = {"SetTimer", "beep", "BEEP", "Beep", "other", "if"};
    size_t n = Roll(6);
    int index = n == 0 ? 0 : n == 1 ? 1 : n == 2 ? 4 : -1;
    Emit(names[n], outer);
    if (Roll(3) == 0) Gap(outer);
    TAnswer inside = index >= 0 ? TAnswer{index, 0} : outer;
    Emit("(", inside);
    for (size_t arg = 0, count = Roll(4); arg < count; ++arg) {
      if (arg > 0) {
        if (index >= 0) ++inside.Param;
        Emit(",", inside);
      }
      Gap(inside);
      Argument(depth, inside);
      Gap(inside);
    }
    Emit(")", outer);
  }
  void Argument(int depth, TAnswer at) {
    switch (Roll(depth < 3 ? 7 : 4)) {
      case 0:
        return Emit("440", at);
      case 1:
        return Emit(Pick({"\"a, (b\"", "\"q\\\",(\"", "''"}), at);
      case 2:
        return Emit(Pick({"','", "'('", "'\\''"}), at);
      case 3:
        return Emit("x", at);
      case 4:
        return Call(depth + 1, at);
      case 5: {
        size_t kind = Roll(3);
        Emit(std::string_view("a[{(").substr(kind + (kind > 0), 1 + (kind == 0)), at);
        Argument(depth + 1, at);
        Emit(", ", at);
        Argument(depth + 1, at);
        return Emit(std::string_view("]})").substr(kind, 1), at);
      }
      default:
        Emit("1 + (", at);
        Argument(depth + 1, at);
        return Emit(")", at);
    }
  }
  std::mt19937 rng_;
};

TEST(ParamHintScan, AgreesWithHowRandomCallsWereMade) {
  for (unsigned seed = 0; seed < 400; ++seed) {
    TCallMaker maker(seed);
    maker.Make();
    std::string text = maker.Text;
    for (size_t k = 0; k <= text.size(); ++k) {
      TAnswer want = k == 0 ? TAnswer{} : maker.Want[k - 1];
      ASSERT_EQ(Scan(text.substr(0, k)), want) << seed << ": " << text.substr(0, k) << "|";
    }
  }
}
