#pragma once
// What the parameter hint shows besides the bold parameter: the hint fitted
// into the screen's width, and the doc comment's lines under it.
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

// Words of text in lines no wider than maxWidth (a word wider than that
// gets a line of its own).
std::vector<std::string> WrapText(std::string_view text,
                                  const std::function<int(std::string_view)>& width, int maxWidth);

// The doc lines under a hint: the summary, then the current parameter's
// text after its name ("x: The x coordinate."); none without a comment.
std::vector<std::string> HintDocLines(const TDocComment& doc, std::string_view currentParam);

}  // namespace ludra
