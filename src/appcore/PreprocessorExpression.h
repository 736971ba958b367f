#pragma once
// The value of an #if or #elseif expression, where it can be known from the
// expression alone: numbers (decimal, 0x, 0b, "_" separators), character
// literals, true and false, "defined NAME", and C's operators. Anything
// else (a constant of another file, sizeof, a tag) leaves it unknown, and
// the reader then reads every branch.
#include <functional>
#include <optional>
#include <string_view>

namespace ludra {

// defined: whether a name is defined; nothing when that is not known here.
std::optional<long long> EvaluatePreprocessorExpression(
    std::string_view expr, const std::function<std::optional<bool>(std::string_view)>& defined);

}  // namespace ludra
