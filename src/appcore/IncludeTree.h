#pragma once
// The files a script includes and the files those include in turn, found
// where the compiler finds them, each read by the declaration reader. A
// name is tried as written, then with ".inc", ".p" and ".pawn" ("\" and "/"
// both part folders; a folder of that name is passed over). "name" is
// looked for in the folder the compiler runs in (the script's), then in the
// including file's folder, then in each include folder in order; <name> in
// the include folders only. Every file is read once per walk, cycles end
// where they meet a file already read, and a later walk reads again only
// the files whose size or modification time changed.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "appcore/DeclarationReader.h"

namespace ludra {

struct TTreeFile {
  std::string Path;     // as opened
  std::string Heading;  // the name its heading shows, in the code page
  TFileDeclarations Declarations;
  // One of the include folder's own files (listed whether included or not).
  bool Listed = false;
  // What tells a changed file.
  uint64_t Device = 0, Inode = 0;
  int64_t Size = -1, MTime = 0;
};

// Where the compiler looks for an include: the folder it runs in and the
// include folders (its -i folders, in order).
struct TIncludePaths {
  std::string WorkingFolder;  // the script's folder; empty for a script without a file
  std::vector<std::string> Folders;
};

// The paths tried for a directive in the file at includer, in order, each
// before the extensions are tried.
std::vector<std::string> IncludeCandidates(const TIncludeDirective& d, const std::string& includer,
                                           const TIncludePaths& paths);

class TIncludeTree {
 public:
  using TFilePtr = std::shared_ptr<const TTreeFile>;
  struct TWalk {
    // The listed files, then the others in reading order; a walk holds its
    // files, so a file changed or forgotten by a later walk stays readable.
    std::vector<TFilePtr> Files;
    // One message per listed file or include that could not be read, and
    // per include that was not found.
    std::vector<std::string> ListErrors, Errors;
    // The files, their contents or the errors differ from the last walk.
    bool Changed = false;
  };
  // listed are the include folder's own files; directives the script's,
  // read after the compiler's implicit <default> (null: no script, so
  // nothing is followed). A path is looked at once
  // per walk: a file that changes while the walk goes on keeps the contents
  // first read, and is read again at the next walk. stop, when set, ends
  // the walk early.
  TWalk Walk(const std::vector<std::string>& listed,
             const std::vector<TIncludeDirective>* directives, const TIncludePaths& paths,
             const std::function<bool()>& stop = nullptr);

  // Raised after a file was read, before the walk goes on.
  std::function<void(const std::string& path)> OnRead;

  // Larger include files are not read (nor the files they include).
  static constexpr int64_t kMaxFileBytes = int64_t{16} << 20;

 private:
  // The file at path: the one this walk already has, else the cached one
  // when unchanged, else read afresh. Nothing, with error empty, when there
  // is no such file (or a folder is there).
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

// The names in folder matching *.inc, in name order with letter case
// ignored (ties in byte order); none when the folder does not exist. A
// folder that exists but cannot be listed adds a message to errors.
std::vector<std::string> ListIncludeFiles(const std::string& folder,
                                          std::vector<std::string>& errors);

}  // namespace ludra
