#include <gtest/gtest.h>

#include "appcore/HintText.h"

using namespace ludra;

namespace {

// One pixel a character.
int Chars(std::string_view s) { return static_cast<int>(s.size()); }

}  // namespace

TEST(HintText, ParameterNames) {
  const std::pair<const char*, const char*> cases[] = {
      {"Float:x = 0.0,", "x"},
      {"const name[],", "name"},
      {" &{Float,_}:v", "v"},
      {"{Float,_}:...", "..."},
      {"Text: t", "t"},
      {"const s[] = \"a, b\"", "s"},
      {"", ""},
      {"/* No parameters expected */", ""},
  };
  for (const auto& [param, name] : cases) EXPECT_EQ(ParamName(param), name) << param;
}

TEST(HintText, WideHintsShowTheParametersAroundTheCurrentOne) {
  const std::string hint = R"("alpha,","beta,","gamma,","delta,","epsilon")";
  // Wide enough: unchanged.
  THintLine line = FitHint(hint, 2, Chars, 100);
  EXPECT_EQ(line.Hint, hint);
  EXPECT_EQ(line.Index, 2);
  // The ellipsis is the code page's one character.
  line = FitHint(hint, 2, Chars, 20);
  EXPECT_EQ(line.Hint, "\"\x85\",\"gamma,\",\"delta,\",\"\x85\"");
  EXPECT_EQ(line.Index, 1);
  EXPECT_EQ(HintParameters(line.Hint)[static_cast<size_t>(line.Index)], "gamma,");
  line = FitHint(hint, 0, Chars, 18);
  EXPECT_EQ(line.Hint, "\"alpha,\",\"beta,\",\"\x85\"");
  EXPECT_EQ(line.Index, 0);
  // Quotes inside a parameter survive the refit.
  line = FitHint(R"("a,","f[] = "","",","c")", 1, Chars, 14);
  EXPECT_EQ(HintParameters(line.Hint)[static_cast<size_t>(line.Index)], "f[] = \",\",");
}

TEST(HintText, DocLinesAndWrapping) {
  TDocComment doc =
      ParseDocComment("/// <summary>Moves it.</summary>\n/// <param name=\"x\">Where to.</param>");
  EXPECT_EQ(HintDocLines(doc, "Float:x,"), (std::vector<std::string>{"Moves it.", "x: Where to."}));
  EXPECT_EQ(HintDocLines(doc, "y"), (std::vector<std::string>{"Moves it."}));
  EXPECT_TRUE(HintDocLines(TDocComment(), "x").empty());
  EXPECT_EQ(WrapText("one two three  four fivesixseven", Chars, 9),
            (std::vector<std::string>{"one two", "three", "four", "fivesixseven"}));
}
