#pragma once
// Small string helpers shared by the application and the components.
#include <string>
#include <string_view>

namespace ludra {

// The n-th piece (1-based) of text split at each occurrence of delimiter;
// consecutive delimiters give empty pieces, nothing is trimmed, and the
// result is empty when there are fewer than n pieces.
std::string GetToken(std::string_view text, int n, std::string_view delimiter);
// GetToken with a single blank as the delimiter.
std::string Tkn(std::string_view text, int n);

// A blank within a line: a space or a tab.
constexpr bool IsBlank(char c) { return c == ' ' || c == '\t'; }
// True when the text is empty or holds only blanks.
constexpr bool IsBlank(std::string_view text) {
  for (char c : text)
    if (!IsBlank(c)) return false;
  return true;
}

}  // namespace ludra
