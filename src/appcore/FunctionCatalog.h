#pragma once
// The function catalog: everything a script can call or name (natives,
// functions, #define constants and function-like macros, enumerations and
// their members, global variables and constants), in one section per file:
// the include folder's files, the other files the script includes, and the
// script. The main window only shows it: the function list's rows, the
// completion items (each kind shown), the parameter hints' lookup, the doc
// comments. It is built whole off the window's thread and never changed.
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "appcore/DeclarationReader.h"
#include "appcore/IncludeTree.h"
#include "base/SynStrings.h"

namespace ludra {

struct TCatalogSection {
  std::string Heading;  // the file's name as its heading shows it
  std::string Path;
  bool Script = false;  // the open script's own declarations
  std::shared_ptr<const TFileDeclarations> File;
};

// One entry as completion offers it: every name once per parameter list.
struct TCatalogItem {
  const TDeclaration* Entry = nullptr;  // a definition rather than its forward
  int Section = -1;
  std::string Name;  // as the compiler names it ("cmd_x" for "CMD:x")
  // For a callable, the doc of each of its declarations in reading order,
  // joined by "<p/>", as the compiler joins them. It stays while the
  // catalog does.
  std::string_view Doc;
};

// A row of the function list: a blank row (Section -1), a file's heading
// (Item -1) or a callable's name.
struct TCatalogRow {
  std::string Text;
  int Section = -1;
  int Item = -1;
  const TDeclaration* Entry = nullptr;
};

bool IsCallable(TEntryKind kind);

class TFunctionCatalog {
 public:
  explicit TFunctionCatalog(std::vector<TCatalogSection> sections);
  TFunctionCatalog(const TFunctionCatalog&) = delete;
  TFunctionCatalog& operator=(const TFunctionCatalog&) = delete;

  const std::vector<TCatalogSection>& Sections() const { return sections_; }
  const std::vector<TCatalogItem>& Items() const { return items_; }
  const std::vector<TCatalogRow>& Rows() const { return rows_; }
  // The item of a native, function or macro by its exact name; -1 for none.
  int CallableIndex(std::string_view name) const;
  // The status text of a row: the file and declaration, or the line in the
  // script; "Functions from file: F" for a heading; empty for a blank row.
  std::string RowStatus(int row) const;

 private:
  std::vector<TCatalogSection> sections_;
  std::vector<TCatalogItem> items_;
  std::vector<TCatalogRow> rows_;
  // Views of the entries' names or of names_.
  std::unordered_map<std::string_view, int> callables_;
  // Names made by prefix macros, and docs joined from several declarations.
  std::deque<std::string> names_;
};

// The word completion shows before a name: native, public, stock, forward,
// function, macro, define, enum, member, new, const, or a macro word.
std::string KindWord(const TDeclaration& d);
// The completion item in item mark-up: the kind word, the name in bold,
// then the parameters (a #define: its value).
std::string CompletionItemText(const TCatalogItem& item);
// The widest kind word, for completion's first column.
inline constexpr char kWidestKindWord[] = "function";

struct TCatalogRequest {
  // The compiler's include folders, in order; the first one's *.inc files
  // are listed whether the script includes them or not.
  std::vector<std::string> IncludeFolders;
  bool HasScript = false;
  std::string ScriptPath;  // empty for a script without a file
  std::string ScriptText;
};

struct TCatalogBuild {
  std::shared_ptr<const TFunctionCatalog> Catalog;
  // Completion's item and insert lists, item for item of the catalog's.
  TStringList ItemList, InsertList;
  // The include folder's files that could not be read; the includes that
  // were not found or could not be read.
  std::vector<std::string> FolderErrors, IncludeErrors;
  bool IncludesChanged = false;
};

// Builds catalogs, reading again only the files that changed since the last.
class TCatalogBuilder {
 public:
  // stop, when set and true, ends the build early (its result is then
  // incomplete and meant to be dropped).
  TCatalogBuild Build(const TCatalogRequest& request, const std::function<bool()>& stop = nullptr);
  // Raised after a file was read.
  std::function<void(const std::string& path)>& OnRead() { return tree_.OnRead; }

 private:
  TIncludeTree tree_;
};

// Inserting a function-list row's name as a call at the caret.
struct TCallInsertion {
  std::string Line;  // the caret line with the call inserted
  int CaretChar;     // the caret after the insertion
};
// None for rows that are not names (empty, or starting with a blank).
std::optional<TCallInsertion> InsertCall(std::string_view line, int caretChar,
                                         std::string_view rowText);

// The script's folder, the one the compiler runs in; empty for none.
std::string ScriptFolder(const std::string& scriptPath);

}  // namespace ludra
