// Loads random bytes as a document and saves them again: the saved bytes are
// the loaded ones with every line end (CR LF, lone CR, lone LF) written in
// the style the loader chose, and a line end after the last line. Loading
// the saved bytes again gives the same lines.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>

#include "buffer/SynEditTextBuffer.h"

using namespace ludra;

namespace {

void Require(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "loader round trip broken: %s\n", what);
  std::abort();
}

// What saving the loaded bytes must give, worked out apart from the loader:
// one style throughout when the file used one, CR LF when it mixed them.
std::string Expected(std::string_view bytes) {
  bool onlyCr = true, onlyLf = true, anyEnd = false;
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
      onlyCr = onlyLf = false;
      anyEnd = true;
      ++i;
    } else if (bytes[i] == '\r') {
      onlyLf = false;
      anyEnd = true;
    } else if (bytes[i] == '\n') {
      onlyCr = false;
      anyEnd = true;
    }
  }
  std::string eol = !anyEnd ? "\r\n" : onlyCr ? "\r" : onlyLf ? "\n" : "\r\n";
  std::string out;
  bool lineOpen = false;
  for (size_t i = 0; i < bytes.size(); ++i) {
    char c = bytes[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
      out += eol;
      lineOpen = false;
    } else {
      out += c;
      lineOpen = true;
    }
  }
  if (lineOpen) out += eol;
  return out;
}

std::string Save(TSynEditStringList& lines) {
  std::ostringstream out;
  lines.SaveToStream(out);
  return out.str();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  TSynEditStringList lines;
  lines.LoadFromBytes(bytes);
  lines.Check();
  std::string saved = Save(lines);
  Require(saved == Expected(bytes), "saved bytes");

  // The saved file loads to the same lines and saves to itself.
  TSynEditStringList again;
  again.LoadFromBytes(saved);
  again.Check();
  Require(again.Count() == lines.Count(), "line count after reload");
  for (int i = 0; i < lines.Count(); ++i) Require(again.Get(i) == lines.Get(i), "line text");
  Require(Save(again) == saved, "second save");
  return 0;
}
