#include <gtest/gtest.h>

#include "appcore/HintText.h"
#include "completion/SynCompletionProposalMarkup.h"

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

TEST(HintText, ArgumentsPastAVariadicParameterAreIts) {
  const std::string variadic = R"("const f[],","{Float,_}:...")";
  const std::pair<int, int> cases[] = {{0, 0}, {1, 1}, {2, 1}, {9, 1}, {-1, -1}};
  for (const auto& [argument, param] : cases)
    EXPECT_EQ(ParameterOfArgument(variadic, argument), param) << argument;
  EXPECT_EQ(ParameterOfArgument(R"("a,","b")", 2), 2);
  EXPECT_EQ(ParameterOfArgument("", 0), 0);
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

TEST(HintText, DocMarkupEscapesTheTextAndSwitchesStyles) {
  const std::pair<std::vector<TDocRun>, const char*> cases[] = {
      {{{"a\\b{c}", {}}}, "a\\\\b{c}"},
      {{{"\\style{+B}", {}}}, "\\\\style{+B}"},
      {{{"x ", {dsBold}}, {"y", {dsBold, dsItalic}}, {"z", {}}},
       "\\style{+B}x \\style{+I}y\\style{-B}\\style{-I}z"},
      {{{"f(1)", {dsCode}}, {" ok", {}}}, "\\font{Mono}f(1)\\font{} ok"},
      {{}, ""},
  };
  for (const auto& [runs, want] : cases) EXPECT_EQ(DocMarkup(runs, "Mo}n\\o"), want) << want;
}

TEST(HintText, DocLinesWrapWithinTheirWidthAndBudget) {
  TDocLayout layout;
  layout.Width = [](std::string_view markup) { return Chars(StripMarkup(markup)); };
  layout.MaxWidth = 13;
  layout.CodeFont = "Mono";
  TDocComment doc = ParseDocComment(
      "/// <summary>Moves <b>it</b> far.</summary>\n"
      "/// <param name=\"x\">Where to <c>go</c>.</param><param name=\"\">Rest.</param>\n"
      "/// <returns>1</returns><remarks><ul><li>one two three</li></ul></remarks>\n"
      "/// <seealso name=\"a\"/><seealso name=\"b\"/>");
  EXPECT_EQ(
      HintDocLines(doc, "Float:x,", layout),
      (std::vector<std::string>{"Moves \\style{+B}it\\style{-B} far.",
                                "\\style{+B}x: \\style{-B}Where to", "\\font{Mono}go\\font{}."}));
  EXPECT_EQ(HintDocLines(doc, "{Float,_}:...", layout)[1], "\\style{+B}...: \\style{-B}Rest.");
  EXPECT_EQ(HintDocLines(doc, "y", layout).size(), 1u);
  EXPECT_TRUE(HintDocLines(TDocComment(), "x", layout).empty());
  layout.MaxLines = 20;
  std::vector<std::string> panel;
  for (const std::string& line : PanelDocLines(doc, layout)) panel.push_back(StripMarkup(line));
  // A list item's further lines line up after its bullet.
  EXPECT_EQ(panel, (std::vector<std::string>{"Moves it far.", "x: Where to", "go.", "...: Rest.",
                                             "Returns: 1", "Remarks:", "\x95 one two", "three",
                                             "See also: a,", "b"}));
  EXPECT_EQ(PanelDocLines(doc, layout)[7], "\\hspace{2}three");
  // Past the budget the last line shown ends in "…".
  layout.MaxLines = 3;
  panel = PanelDocLines(doc, layout);
  ASSERT_EQ(panel.size(), 3u);
  EXPECT_EQ(StripMarkup(panel[2]), "go.\x85");
  layout.MaxLines = 1;
  EXPECT_EQ(HintDocLines(doc, "x", layout),
            (std::vector<std::string>{"\\style{+B}x: \\style{-B}Where to\x85"}));
}
