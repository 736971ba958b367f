#pragma once
// The parts of a function declaration or call that the function list,
// completion and the parameter hints take apart: a leading tag, the
// parameter list and where its parameters part. Commas count only at
// nesting depth zero and outside strings, character literals and comments,
// so defaults such as "Arial, Bold", {Float,_}: tags and '\,' stay whole.
#include <string>
#include <string_view>
#include <vector>

namespace ludra {

// The position just past a string or character literal that starts at
// s[i] (a double or single quote); a backslash escapes the next character.
// An unterminated literal ends with s.
size_t SkipLiteral(std::string_view s, size_t i);

// name without one leading tag: an identifier followed by ":" and the
// blanks after it ("Text:Create" and "Text: Create" give "Create").
std::string_view DropLeadingTag(std::string_view name);

// The position of the ")" that closes the "(" at s[open]; npos when the
// text ends first.
size_t MatchingParenthesis(std::string_view s, size_t open);

// The parameters of a parameter text, each with its blanks (line ends and
// comments too) folded to single blanks and trimmed. The list ends before
// the first empty parameter.
std::vector<std::string> SplitParameters(std::string_view paramText);

// The hint string of a parameter text: every parameter in double quotes,
// each but the last keeping its comma inside them ("a,","b"); a double
// quote inside is doubled and a backslash written as two, so the hint
// line shows the text as declared. No parameters give the quoted text
// /* No parameters expected */, a text starting with an empty parameter
// an empty hint.
std::string ParamHintString(std::string_view paramText);

}  // namespace ludra
