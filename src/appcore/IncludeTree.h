#pragma once
// The files a script includes and the files those include in turn, with the
// natives and functions they declare. A name is resolved as the compiler
// resolves it: the including file's folder, the script's folder, then the
// program's include folder, with ".inc" added to a name that has no
// extension. Every file is read once per walk, cycles end where they meet a
// file already read, and a later walk reads again only the files whose
// size or modification time changed.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "appcore/DefinitionScanner.h"
#include "appcore/IncludeScanner.h"

namespace ludra {

struct TIncludeDirective {
  std::string Name;
  bool Angle = false;  // <name> rather than "name"
  bool Try = false;    // #tryinclude: a missing file is no error
};

// The #include or #tryinclude directive of a line, if it holds one.
std::optional<TIncludeDirective> IncludeDirective(std::string_view line);

struct TTreeFile {
  std::string Path;     // as opened
  std::string Heading;  // the name its heading shows, in the code page
  // Its natives and its own functions as one include file's rows and
  // entries (lists filled, heading first).
  TIncludeScan Scan;
  std::vector<TIncludeDirective> Includes;
  // Already listed by the scan of the include folder at start-up.
  bool Listed = false;
  // What tells a changed file.
  uint64_t Device = 0, Inode = 0;
  int64_t Size = -1, MTime = 0;
};

class TIncludeTree {
 public:
  using TFilePtr = std::shared_ptr<const TTreeFile>;
  struct TWalk {
    // In reading order; a walk holds its files, so a file changed or
    // forgotten by a later walk stays readable here.
    std::vector<TFilePtr> Files;
    // One message per include that was not found or could not be read.
    std::vector<std::string> Errors;
    // The files, their contents or the errors differ from the last walk.
    bool Changed = false;
  };
  // directives are the script's own; scriptFolder is empty for a script
  // that has no file yet. A path is looked at once per walk: a file that
  // changes while the walk goes on keeps the contents first read, and is
  // read again at the next walk.
  TWalk Walk(const std::vector<TIncludeDirective>& directives, const std::string& scriptFolder,
             const std::string& includeFolder);

  // Raised after a file was read, before the walk goes on.
  std::function<void(const std::string& path)> OnRead;

  // Larger include files are not read (nor the files they include).
  static constexpr int64_t kMaxFileBytes = int64_t{16} << 20;

 private:
  // The file at path: the one this walk already has, else the cached one
  // when unchanged, else read afresh.
  TFilePtr Load(const std::string& path, const std::string& heading, bool listed,
                std::string& error);

  struct TCached {
    TFilePtr File;
    uint64_t Walk = 0;  // the last walk that used it
  };
  std::unordered_map<std::string, TCached> cache_;  // by path
  uint64_t walk_ = 0;
  std::string lastSignature_;
};

// The rows and entries of a walk's files that the include folder's scan
// has not listed: a heading per file, then its natives and functions; an
// entry already in known (EntryKeys of the start-up scan) is left out.
TIncludeScan CombineTree(const TIncludeTree::TWalk& walk,
                         const std::unordered_map<std::string, int>* known);

}  // namespace ludra
