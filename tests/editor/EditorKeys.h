#pragma once
// Driving an editor as the window does: key-down messages, then the
// character message a key produces.
#include <cctype>
#include <ostream>
#include <string>

#include "editor/HeadlessSynEdit.h"

namespace ludra {
inline void PrintTo(const TBufferCoord& p, std::ostream* os) {
  *os << "(" << p.Char << ", " << p.Line << ")";
}
}  // namespace ludra

namespace ludra::test {

// A key press with the character it produces (none when ch is 0).
inline void Press(TCustomSynEdit& e, uint16_t key, TShiftState shift = {}, char ch = 0) {
  uint16_t k = key;
  e.KeyDown(k, shift);
  if (ch != 0) {
    char c = ch;
    e.KeyPress(c);
  }
}

// Typing text: letters and digits go through their keys, everything else
// through a key without binding.
inline void Type(TCustomSynEdit& e, const std::string& text) {
  for (char c : text) {
    uint16_t key = std::isalnum(static_cast<unsigned char>(c))
                       ? static_cast<uint16_t>(std::toupper(static_cast<unsigned char>(c)))
                       : uint16_t{0xBA};
    bool upper = std::isupper(static_cast<unsigned char>(c));
    if (c == ' ') key = VK_SPACE;
    if (c == '\t') key = VK_TAB;
    Press(e, key, upper ? TShiftState{ssShift} : TShiftState{}, c);
  }
}

inline void Tab(TCustomSynEdit& e) { Press(e, VK_TAB, {}, '\t'); }
inline void Enter(TCustomSynEdit& e) { Press(e, VK_RETURN, {}, '\r'); }
inline void Backspace(TCustomSynEdit& e) { Press(e, VK_BACK, {}, '\b'); }

}  // namespace ludra::test
