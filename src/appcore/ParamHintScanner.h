#pragma once
// Finds, from the caret line, which native call the caret stands in and
// which of its parameters is being typed.
#include <string>
#include <string_view>

#include "base/SynStrings.h"

namespace ludra {

// Digits, ASCII letters, the underscore and the letters above 127 of the code
// page in use (in Windows-1252 192..255 except times and divide, in
// Windows-1251 all of 192..255).
bool IsHintIdentifierChar(unsigned char c);

struct TParamHint {
  bool Found = false;
  int NameIndex = -1;      // index in the name list
  int ParamIndex = 0;      // commas counted before the caret (0 = first parameter)
  std::string Identifier;  // the called name, upper-cased (a to z only)
};

// Reads line up to the character before caretChar (1-based) and finds the
// innermost parenthesis still open there whose identifier (blanks and other
// non-identifier characters between are skipped) is in names, letter case
// ignored. Its parameter is the count of commas at its own depth: commas
// inside nested brackets, strings, character literals and comments do not
// count, nor do those of an enclosed call of an unknown name.
TParamHint ScanParamHint(std::string_view line, int caretChar, const TStrings& names);

}  // namespace ludra
