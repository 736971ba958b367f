#pragma once
// The native declarations of the compiler's include files: which lines are
// natives, the names and texts taken from them, and the lists they fill (the
// function list with its file headings, the code-completion items, and the
// name and hint lists the parameter hints look up).
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/SynStrings.h"

namespace ludra {

// One native declaration line taken apart.
struct TNativeDeclaration {
  std::string RawName;         // after "native " up to the first "("
  std::string CompletionName;  // the raw name without its leading tag
  std::string ParamText;       // between the first "(" and the ")" that closes it
  std::string ItemText;        // the completion item, in item mark-up
  std::string HintString;      // the parameters as quoted comma text
  // The function-list name; none for operators, which are not listed.
  std::optional<std::string> ListName;
};

// The line with leading and trailing characters of code 32 or less removed.
std::string_view TrimLine(std::string_view line);
// A native line: its first blank-separated field is exactly "native".
std::optional<TNativeDeclaration> ParseNativeLine(std::string_view line);

// The pieces of a native declaration, each from the trimmed line s.
std::string NativeRawName(std::string_view s);
std::string NativeCompletionName(std::string_view rawName);
std::string NativeParamText(std::string_view s);
std::string NativeHintString(std::string_view paramText);
std::optional<std::string> NativeListName(std::string_view s);

// When a scan fills the completion and hint lists: during the scan, or later
// from the native lines it keeps (FillNativeLists), when they are first used.
enum class TNativeListFill { Now, Later };

// Everything the include files give, in scan order. All texts but the error
// messages are in the document's code page.
struct TIncludeScan {
  // Rows of the function list and, row for row, their status texts.
  std::vector<std::string> Rows;
  TStringList InfoList;
  // Items and insert texts of code completion.
  TStringList ItemList, InsertList;
  // Completion names and their hint strings, for the parameter hints.
  TStringList NameList, ParamList;
  // One message per include file (or folder) that could not be read.
  std::vector<std::string> Errors;
  // Files whose natives were taken, in scan order.
  int FileCount = 0;
  // With TNativeListFill::Later: the trimmed native lines, each ended by a
  // line feed, that the four lists above are still to be filled from.
  std::string NativeLines;
  // The raw doc comment above each native taken, in scan order (empty:
  // none); they are taken apart only when shown.
  std::vector<std::string> Docs;
  // Row for row and entry for entry of NameList: the index in Docs of the
  // comment, -1 for none.
  std::vector<int> RowDocs, NameDocs;
  // The entries of the lists by name and hint string, so that a function
  // declared in several files is offered once.
  std::unordered_map<std::string, int> EntryKeys;
};

// The key of an entry in EntryKeys.
std::string EntryKey(std::string_view name, std::string_view hint);
// Adds an entry to the four lists unless one with that name and hint is
// there already; false then.
bool AddEntry(TIncludeScan& scan, std::string name, std::string item, std::string hint, int doc);

// Adds one include file: its heading rows, then its natives, each with the
// doc comment directly above it; a native whose parameters go on over
// further lines is read to its closing parenthesis. fileName is the name
// without folder (in the code page); text the file's bytes, in any
// line-end style.
void AddIncludeFile(TIncludeScan& scan, const std::string& fileName, std::string_view text,
                    TNativeListFill fill = TNativeListFill::Now);

// Fills ItemList, InsertList, NameList and ParamList from the native lines a
// later-filling scan kept, appending them in scan order, exactly as the scan
// would have; NativeLines is then empty.
void FillNativeLists(TIncludeScan& scan);

// The names in folder matching *.inc, in name order with letter case
// ignored (ties in byte order); none when the folder does not exist. A
// folder that exists but cannot be listed adds a message to errors.
std::vector<std::string> ListIncludeFiles(const std::string& folder,
                                          std::vector<std::string>& errors);

// Scans folder/*.inc. A file that cannot be read is skipped with a message
// in Errors; the others are still scanned.
TIncludeScan ScanIncludeFolder(const std::string& folder,
                               TNativeListFill fill = TNativeListFill::Now);

// The whole file's bytes; raises EFOpenError or EReadError with the
// system's reason.
std::string ReadIncludeFile(const std::string& path);

// Inserting a function-list row's name as a call at the caret.
struct TCallInsertion {
  std::string Line;  // the caret line with the call inserted
  int CaretChar;     // the caret after the insertion
};
// None for rows that are not names (empty, or starting with a blank).
std::optional<TCallInsertion> InsertCall(std::string_view line, int caretChar,
                                         std::string_view rowText);

}  // namespace ludra
