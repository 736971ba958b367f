// Random bytes as settings.ini: every read gives a value or its default,
// values are never longer than the limit, a write either raises the settings
// error or stores the value (up to a line break), and a write keeps every
// other line of the file in its order. No other exception may come out.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "base/SynExceptions.h"
#include "base/SynStrings.h"
#include "platform/SynProfileFile.h"

using namespace ludra;

namespace {

void Require(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "settings invariant broken: %s\n", what);
  std::abort();
}

const std::string& FileName() {
  static const std::string name = [] {
    const char* dir = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    return std::string(dir) + "/ludra-fuzz-settings-" + std::to_string(getpid()) + ".ini";
  }();
  return name;
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// The file's lines, each with its line end, a leading BOM left out. Every
// line a write does not touch must come back byte for byte.
std::vector<std::string> Lines(std::string_view text) {
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  std::vector<std::string> lines;
  while (!text.empty()) {
    size_t lf = text.find('\n');
    size_t len = lf == std::string_view::npos ? text.size() : lf + 1;
    lines.emplace_back(text.substr(0, len));
    text.remove_prefix(len);
  }
  return lines;
}

// A line as it was, or the file's last line without an end that got one
// because a line was added after it.
bool SameLine(const std::string& before, bool lastWithoutEnd, const std::string& after) {
  if (after == before) return true;
  if (!lastWithoutEnd || !after.starts_with(before)) return false;
  std::string_view added = std::string_view(after).substr(before.size());
  return added == "\n" || added == "\r\n";
}

// True when `before`, with the line at `skip` left out, appears in order
// within `after`.
bool KeptInOrder(const std::vector<std::string>& before, const std::vector<std::string>& after,
                 size_t skip) {
  const bool openEnd = !before.empty() && !before.back().ends_with('\n');
  size_t j = 0;
  for (size_t i = 0; i < before.size(); ++i) {
    if (i == skip) continue;
    const bool last = openEnd && i + 1 == before.size();
    while (j < after.size() && !SameLine(before[i], last, after[j])) ++j;
    if (j == after.size()) return false;
    ++j;
  }
  return true;
}

// True when `before` with at most one line left out (the one the write
// replaced) appears in order within `after`. A write changes the file from
// one line on, so the only line it can have replaced is the first that
// differs.
bool KeptInOrder(const std::vector<std::string>& before, const std::vector<std::string>& after) {
  if (KeptInOrder(before, after, before.size())) return true;
  size_t first = 0;
  while (first < before.size() && first < after.size() && before[first] == after[first]) ++first;
  return KeptInOrder(before, after, first);
}

void Write(TProfileFile& ini, const std::string& section, const std::string& key,
           const std::string& value) {
  std::vector<std::string> before = Lines(ReadAll(FileName()));
  try {
    ini.WriteString(section, key, value);
  } catch (const EIniFileException&) {
    return;  // refused names: the file is left alone
  }
  std::vector<std::string> after = Lines(ReadAll(FileName()));
  // At most a blank line, a section header and the key.
  Require(after.size() <= before.size() + 3, "a write added more than a section and a key");
  Require(KeptInOrder(before, after), "a write lost or moved another line");
  std::string stored = ini.ReadString(section, key, "<default>");
  // A line break would start a new line: the value ends there.
  std::string expected = value.substr(0, value.find_first_of("\r\n"));
  expected = expected.substr(0, TProfileFile::MaxValueLength);
  // Blanks around a value do not count.
  size_t first = expected.find_first_not_of(" \t"), last = expected.find_last_not_of(" \t");
  expected = first == std::string::npos ? "" : expected.substr(first, last - first + 1);
  Require(stored == expected, "a written value reads back");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 65536) return 0;
  std::string text(reinterpret_cast<const char*>(data), size);
  {
    std::ofstream out(FileName(), std::ios::binary | std::ios::trunc);
    out << text;
  }
  TProfileFile ini(FileName());
  // What start-up reads.
  for (const char* key : {"WindowX", "WindowY", "WindowW", "WindowH", "Splitter", "Font_Size"})
    (void)ini.ReadInteger("Display", key, 7);
  (void)ini.ReadBool("Display", "WindowMax", false);
  Require(ini.ReadString("RunOpts", "CopyDir", "").size() <= TProfileFile::MaxValueLength,
          "value limit");

  // Every section and key the file holds.
  TStringList sections, keys;
  ini.ReadSections(sections);
  for (int s = 0; s < sections.Count() && s < 16; ++s) {
    ini.ReadSection(sections.Get(s), keys);
    Require(ini.SectionExists(sections.Get(s)), "a listed section exists");
    for (int k = 0; k < keys.Count() && k < 16; ++k) {
      Require(ini.ValueExists(sections.Get(s), keys.Get(k)), "a listed key exists");
      std::string value = ini.ReadString(sections.Get(s), keys.Get(k), "");
      Require(value.size() <= TProfileFile::MaxValueLength, "value limit");
      (void)ProfileStrToIntDef(value, 0);
    }
  }

  // Writes: a key of the program's, and names and values taken from the file.
  Write(ini, "Display", "WindowX", "123");
  if (sections.Count() > 0) {
    std::string section = sections.Get(sections.Count() - 1);
    Write(ini, section, keys.Count() > 0 ? keys.Get(0) : "Key", text.substr(0, 40));
    Write(ini, section, section, " padded value ");
  }
  std::remove(FileName().c_str());
  return 0;
}
