#pragma once
// What the parameter hint shows besides the bold parameter: the hint fitted
// into the screen's width, and the doc comment's lines under it and in the
// panel beside the completion list, as the proposal window's mark-up.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "appcore/DocComment.h"

namespace ludra {

// The name a parameter declares: "Float:x = 0.0" gives x, "const name[]"
// name, "&{Float,_}:v" v, "..." itself.
std::string ParamName(std::string_view param);

// The parameters of a hint string as declared (each but the last with its
// comma), backslashes and quotes as written.
std::vector<std::string> HintParameters(std::string_view hint);

// The parameter an argument (0-based) is given for: every argument from a
// variadic last parameter ("...") on is that parameter's.
int ParameterOfArgument(std::string_view hint, int argument);

// A hint string and the index of its bold parameter, for one line.
struct THintLine {
  std::string Hint;
  int Index = 0;
};
// The hint as it is when it is no wider than maxWidth; otherwise the
// parameters around the current one, with "…" standing for those left out
// on either side. width measures a shown line.
THintLine FitHint(std::string_view hint, int index,
                  const std::function<int(std::string_view)>& width, int maxWidth);

// How doc text is laid out: the width of a line of the proposal window's
// mark-up, the widest a line may be, the face code is shown in, and the
// most lines to show ("…" ends the last one when there is more).
struct TDocLayout {
  std::function<int(std::string_view markup)> Width;
  int MaxWidth = 400;
  std::string CodeFont = "Courier New";
  int MaxLines = 8;
};

// Styled runs as mark-up: styles and the code face as commands, the text
// escaped, so nothing a comment says is ever read as a command.
std::string DocMarkup(const std::vector<TDocRun>& runs, std::string_view codeFont);

// The doc lines under a hint: the summary, then the current parameter's
// text after its name ("x: The x coordinate."; "...: " for the variadic
// part); none without a comment.
std::vector<std::string> HintDocLines(const TDocComment& doc, std::string_view currentParam,
                                      const TDocLayout& layout);

// The doc panel beside the completion list: the summary, each parameter,
// "Returns: ", the remarks and "See also: ".
std::vector<std::string> PanelDocLines(const TDocComment& doc, const TDocLayout& layout);

}  // namespace ludra
