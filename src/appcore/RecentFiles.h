#pragma once
// The list of recently opened or saved scripts behind File > Reopen: newest
// first, at most eight, each file once however it was named.
#include <string>
#include <string_view>
#include <vector>

#include "platform/SynProfileFile.h"

namespace ludra {

class TRecentFiles {
 public:
  static constexpr int MaxCount = 8;

  const std::vector<std::string>& Items() const { return items_; }
  int Count() const { return static_cast<int>(items_.size()); }

  // Puts the file first (an absolute path); an entry naming the same file
  // under another name goes, and the ninth falls off. True when the list
  // changed.
  bool Add(const std::string& path);
  // Drops the entries naming the same file. True when one went.
  bool Remove(const std::string& path);
  // The list as stored: empty names are skipped, repeats and the ones past
  // the eighth left out.
  void Assign(const std::vector<std::string>& paths);

 private:
  std::vector<std::string> items_;
};

// The form two names of one file share: absolute, with "." and ".." and
// symbolic links resolved as far as the file system allows.
std::string SameFileKey(const std::string& path);

// A name longer than maxChars characters (UTF-8) loses its middle to "...",
// keeping more of the end, where the file name is.
std::string ShortenMiddle(std::string_view name, size_t maxChars = 60);

// settings.ini "Recent" "File1".."File8".
TRecentFiles ReadRecentFiles(const TProfileFile& ini);
// Writes all eight keys in one replacement of the file; keys past the list's
// end are removed.
void WriteRecentFiles(TProfileFile& ini, const TRecentFiles& list);

}  // namespace ludra
