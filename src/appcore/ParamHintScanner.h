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

// Scans line leftwards from the character before caretChar (1-based): commas
// count parameters, bracketed groups are skipped whole, and at an opening
// parenthesis the identifier before it (blanks and other non-identifier
// characters between are skipped) is looked up in names, ignoring case. A
// name that is not found leaves the count as it is and the scan goes on.
TParamHint ScanParamHint(std::string_view line, int caretChar, const TStrings& names);

}  // namespace ludra
