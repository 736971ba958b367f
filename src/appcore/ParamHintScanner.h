#pragma once
// Finds, from the text before the caret, which call the caret stands in and
// which of its parameters is being typed.
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "base/SynStrings.h"

namespace ludra {

// Digits, ASCII letters, the underscore and the letters above 127 of the code
// page in use (in Windows-1252 192..255 except times and divide, in
// Windows-1251 all of 192..255).
bool IsHintIdentifierChar(unsigned char c);

// How far back a call is looked for: lines above the caret's, and bytes.
inline constexpr int HintLinesBack = 50;
inline constexpr size_t HintBytesBack = 64 * 1024;

struct TParamHint {
  bool Found = false;
  int NameIndex = -1;      // what the lookup gave for the name
  int ParamIndex = 0;      // commas counted before the caret (0 = first parameter)
  std::string Identifier;  // the called name as written
};

// The index of a callable name (letter case counts), or -1.
using TNameLookup = std::function<int(std::string_view name)>;

// lines ends with the caret's line, after up to HintLinesBack lines above
// it; the text read ends just before caretChar (1-based) in that line. The
// result is the innermost parenthesis still open there that directly
// follows a name the lookup knows (blanks, line ends and comments may lie
// between). Its parameter is the count of commas at its own depth: commas
// inside nested brackets, strings, character literals and comments do not
// count, nor do those of an enclosed call of an unknown name. A closing
// bracket that closes nothing is passed over; a directive line's brackets
// stay on its line.
TParamHint ScanParamHint(std::span<const std::string_view> lines, int caretChar,
                         const TNameLookup& find);

// One line, names looked up in a list (the first equal entry).
TParamHint ScanParamHint(std::string_view line, int caretChar, const TStrings& names);

}  // namespace ludra
