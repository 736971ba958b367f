#include "appcore/RecentFiles.h"

#include <algorithm>
#include <filesystem>
#include <optional>

namespace ludra {

namespace {

bool IsContinuationByte(unsigned char c) { return (c & 0xC0) == 0x80; }

// Byte offsets of the character starts of a UTF-8 text; invalid bytes count
// as one character each.
std::vector<size_t> CharStarts(std::string_view s) {
  std::vector<size_t> starts;
  for (size_t i = 0; i < s.size(); ++i)
    if (!IsContinuationByte(static_cast<unsigned char>(s[i])) || starts.empty() ||
        i - starts.back() >= 4)
      starts.push_back(i);
  return starts;
}

}  // namespace

std::string SameFileKey(const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::path p = fs::absolute(fs::path(path), ec);
  if (ec) p = fs::path(path);
  fs::path canonical = fs::weakly_canonical(p, ec);
  return (ec ? p.lexically_normal() : canonical).string();
}

bool TRecentFiles::Add(const std::string& path) {
  std::string key = SameFileKey(path);
  std::string entry = std::filesystem::path(path).lexically_normal().string();
  if (!items_.empty() && items_.front() == entry) return false;
  std::erase_if(items_, [&](const std::string& item) { return SameFileKey(item) == key; });
  items_.insert(items_.begin(), entry);
  if (Count() > MaxCount) items_.resize(MaxCount);
  return true;
}

bool TRecentFiles::Remove(const std::string& path) {
  std::string key = SameFileKey(path);
  return std::erase_if(items_, [&](const std::string& item) { return SameFileKey(item) == key; }) >
         0;
}

void TRecentFiles::Assign(const std::vector<std::string>& paths) {
  items_.clear();
  std::vector<std::string> keys;
  for (const std::string& path : paths) {
    if (path.empty() || Count() == MaxCount) continue;
    std::string key = SameFileKey(path);
    if (std::find(keys.begin(), keys.end(), key) != keys.end()) continue;
    keys.push_back(key);
    items_.push_back(path);
  }
}

std::string ShortenMiddle(std::string_view name, size_t maxChars) {
  std::vector<size_t> starts = CharStarts(name);
  if (starts.size() <= maxChars || maxChars <= 3) return std::string(name);
  size_t keep = maxChars - 3;
  size_t head = keep * 2 / 5;
  size_t tail = keep - head;
  std::string result(name.substr(0, starts[head]));
  result += "...";
  result += name.substr(starts[starts.size() - tail]);
  return result;
}

TRecentFiles ReadRecentFiles(const TProfileFile& ini) {
  std::vector<std::string> paths;
  for (int i = 1; i <= TRecentFiles::MaxCount; ++i)
    paths.push_back(ini.ReadString("Recent", "File" + std::to_string(i), ""));
  TRecentFiles list;
  list.Assign(paths);
  return list;
}

void WriteRecentFiles(TProfileFile& ini, const TRecentFiles& list) {
  std::vector<std::pair<std::string, std::optional<std::string>>> values;
  for (int i = 0; i < TRecentFiles::MaxCount; ++i) {
    std::optional<std::string> value;
    if (i < list.Count()) value = list.Items()[static_cast<size_t>(i)];
    values.emplace_back("File" + std::to_string(i + 1), value);
  }
  ini.WriteStrings("Recent", values);
}

}  // namespace ludra
