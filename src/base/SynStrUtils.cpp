#include "base/SynStrUtils.h"

#include <cstdio>

#include "base/SynExceptions.h"

namespace ludra {

std::string GetToken(std::string_view text, int n, std::string_view delimiter) {
  if (text.empty() || n < 1) return {};
  if (delimiter.empty()) return n == 1 ? std::string(text) : std::string();
  size_t start = 0;
  for (int piece = 1;; ++piece) {
    size_t end = text.find(delimiter, start);
    if (piece == n) return std::string(text.substr(start, end == std::string_view::npos ? text.size() - start : end - start));
    if (end == std::string_view::npos) return {};
    start = end + delimiter.size();
  }
}

std::string Tkn(std::string_view text, int n) { return GetToken(text, n, " "); }

std::string Format(const char* fmt, int value) {
  char buf[256];
  std::snprintf(buf, sizeof buf, fmt, value);
  return buf;
}

std::string Format(const char* fmt, const std::string& value) {
  std::string out;
  for (const char* p = fmt; *p; ++p) {
    if (p[0] == '%' && p[1] == 's') {
      out += value;
      ++p;
    } else {
      out += *p;
    }
  }
  return out;
}

}  // namespace ludra
