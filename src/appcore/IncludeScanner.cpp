#include "appcore/IncludeScanner.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "appcore/DocComment.h"
#include "appcore/PawnDeclarations.h"
#include "base/SynCodePage.h"
#include "base/SynExceptions.h"
#include "base/SynFiles.h"

namespace ludra {

namespace {

unsigned char LowerAscii(char c) {
  auto b = static_cast<unsigned char>(c);
  return b >= 'A' && b <= 'Z' ? static_cast<unsigned char>(b + 32) : b;
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
  if (s.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i)
    if (LowerAscii(s[i]) != static_cast<unsigned char>(prefix[i])) return false;
  return true;
}

// Name order with letter case ignored; byte order breaks ties.
bool NameBefore(std::string_view a, std::string_view b) {
  auto [i, j] = std::mismatch(a.begin(), a.end(), b.begin(), b.end(),
                              [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
  if (i != a.end() && j != b.end()) return LowerAscii(*i) < LowerAscii(*j);
  if (i != a.end() || j != b.end()) return i == a.end();
  return a < b;
}

bool EqualsNoCase(std::string_view s, std::string_view lower) {
  return s.size() == lower.size() && StartsWithNoCase(s, lower);
}

// A trimmed line is a native when its first blank-separated field is exactly
// "native": the line is that word alone or it and a blank.
bool IsNativeLine(std::string_view s) {
  return s.substr(0, 6) == "native" && (s.size() == 6 || s[6] == ' ');
}

std::string SystemReason(int err) { return std::strerror(err); }

// Field n (1-based) of s split at every single blank, as Tkn splits it,
// without copying.
std::string_view Field(std::string_view s, int n) {
  size_t start = 0;
  for (int field = 1;; ++field) {
    size_t end = s.find(' ', start);
    if (field == n)
      return s.substr(start, end == std::string_view::npos ? s.size() - start : end - start);
    if (end == std::string_view::npos) return {};
    start = end + 1;
  }
}

}  // namespace

std::string_view TrimLine(std::string_view line) {
  size_t b = 0, e = line.size();
  while (b < e && static_cast<unsigned char>(line[b]) <= 32) ++b;
  while (e > b && static_cast<unsigned char>(line[e - 1]) <= 32) --e;
  return line.substr(b, e - b);
}

std::string NativeRawName(std::string_view s) {
  size_t p = s.find("native");
  size_t open = s.find('(');
  if (p == std::string_view::npos || open == std::string_view::npos || open < p + 7) return {};
  return std::string(s.substr(p + 7, open - p - 7));
}

std::string NativeCompletionName(std::string_view rawName) {
  return std::string(DropLeadingTag(rawName));
}

std::string NativeParamText(std::string_view s) {
  size_t open = s.find('(');
  if (open == std::string_view::npos) {
    size_t close = s.find(')');
    return close == std::string_view::npos ? std::string() : std::string(s.substr(0, close));
  }
  // The parenthesis that closes the list, not the first one: defaults
  // may hold brackets and quoted parentheses.
  size_t close = MatchingParenthesis(s, open);
  if (close == std::string_view::npos) return {};
  return std::string(s.substr(open + 1, close - open - 1));
}

std::string NativeHintString(std::string_view paramText) { return ParamHintString(paramText); }

std::optional<std::string> NativeListName(std::string_view s) {
  std::string_view field = Field(s, 2);
  // A tag standing alone ("Text: Create(") is followed by the name.
  if (!field.empty() && field.back() == ':' && DropLeadingTag(field).empty()) field = Field(s, 3);
  size_t open = field.find('(');
  std::string_view name =
      open == std::string_view::npos ? std::string_view() : field.substr(0, open);
  size_t colon = name.find(':');
  if (colon != std::string_view::npos) name.remove_prefix(colon + 1);
  if (name.find("operator") != std::string_view::npos) return std::nullopt;
  return std::string(name);
}

std::optional<TNativeDeclaration> ParseNativeLine(std::string_view line) {
  std::string_view s = TrimLine(line);
  if (!IsNativeLine(s)) return std::nullopt;
  TNativeDeclaration d;
  d.RawName = NativeRawName(s);
  d.CompletionName = NativeCompletionName(d.RawName);
  d.ParamText = NativeParamText(s);
  static constexpr std::string_view head = "native \\column{}\\style{+B}", middle = "\\style{-B}(";
  d.ItemText.reserve(head.size() + d.CompletionName.size() + middle.size() + d.ParamText.size() +
                     1);
  d.ItemText.append(head).append(d.CompletionName).append(middle).append(d.ParamText).append(")");
  d.HintString = NativeHintString(d.ParamText);
  d.ListName = NativeListName(s);
  return d;
}

std::string EntryKey(std::string_view name, std::string_view hint) {
  std::string key;
  key.reserve(name.size() + hint.size() + 1);
  key.append(name).push_back('\x01');
  key.append(hint);
  return key;
}

bool AddEntry(TIncludeScan& scan, std::string name, std::string item, std::string hint, int doc) {
  auto [at, added] = scan.EntryKeys.try_emplace(EntryKey(name, hint), scan.NameList.Count());
  if (!added) {
    // A later file that documents the same declaration lends its comment.
    int& kept = scan.NameDocs[static_cast<size_t>(at->second)];
    if (kept < 0 && doc >= 0) kept = doc;
    return false;
  }
  scan.InsertList.Add(name);
  scan.ItemList.Add(std::move(item));
  scan.NameList.Add(std::move(name));
  scan.ParamList.Add(std::move(hint));
  scan.NameDocs.push_back(doc);
  return true;
}

namespace {

// Declarations whose parameters go on over further lines are read up to
// the closing parenthesis, within these bounds.
constexpr int kMaxDeclarationLines = 64;
constexpr size_t kMaxDeclarationBytes = 16384;

bool Unclosed(std::string_view s) {
  size_t open = s.find('(');
  return open != std::string_view::npos && MatchingParenthesis(s, open) == std::string_view::npos;
}

}  // namespace

void AddIncludeFile(TIncludeScan& scan, const std::string& fileName, std::string_view text,
                    TNativeListFill fill) {
  auto row = [&scan](std::string text, std::string info, int doc) {
    scan.Rows.push_back(std::move(text));
    scan.InfoList.Add(std::move(info));
    scan.RowDocs.push_back(doc);
  };
  if (scan.FileCount > 0) row(" ", "", -1);
  row(" ", "", -1);
  row(" // " + fileName, "Functions from file: " + fileName, -1);
  row(" ", "", -1);
  ++scan.FileCount;

  // Lines end at CR LF, LF or CR; every other byte, NUL included, is text.
  // The next CR and the next LF are each looked up again only once passed.
  auto next = [text](size_t from, char c) {
    const void* found = std::memchr(text.data() + from, c, text.size() - from);
    return found ? static_cast<size_t>(static_cast<const char*>(found) - text.data()) : text.size();
  };
  size_t cr = next(0, '\r'), lf = next(0, '\n');
  size_t p = 0;
  // The next line, from p on; p moves past its end.
  auto nextLine = [&](size_t& begin, size_t& end) {
    if (cr < p) cr = next(p, '\r');
    if (lf < p) lf = next(p, '\n');
    begin = p;
    end = std::min(cr, lf);
    size_t e = end;
    if (e < text.size() && text[e] == '\r') ++e;
    if (e < text.size() && text[e] == '\n') ++e;
    p = e;
  };
  TDocTracker docs;
  std::string joined;
  while (p < text.size()) {
    size_t begin, end;
    nextLine(begin, end);
    std::string_view trimmed = TrimLine(text.substr(begin, end - begin));
    TDocTracker::TSpan doc = docs.Next(trimmed, begin, end);
    if (!IsNativeLine(trimmed)) continue;
    if (Unclosed(trimmed)) {
      // Parameters over several lines: one declaration, blanks between.
      joined.assign(trimmed);
      for (int n = 1; n < kMaxDeclarationLines && p < text.size() && Unclosed(joined) &&
                      joined.size() < kMaxDeclarationBytes;
           ++n) {
        nextLine(begin, end);
        std::string_view more = TrimLine(text.substr(begin, end - begin));
        if (!more.empty()) joined.append(" ").append(more);
      }
      trimmed = joined;
    }
    int docIndex = -1;
    scan.Docs.emplace_back();
    if (!doc.Empty()) {
      scan.Docs.back().assign(text.substr(doc.Begin, doc.End - doc.Begin));
      docIndex = static_cast<int>(scan.Docs.size()) - 1;
    }
    std::optional<std::string> listName;
    if (fill == TNativeListFill::Now) {
      TNativeDeclaration d = *ParseNativeLine(trimmed);
      AddEntry(scan, std::move(d.CompletionName), std::move(d.ItemText), std::move(d.HintString),
               docIndex);
      listName = std::move(d.ListName);
    } else {
      // A trimmed line holds no line end, so a line feed parts them.
      scan.NativeLines.append(trimmed).push_back('\n');
      listName = NativeListName(trimmed);
    }
    if (listName) {
      std::string info;
      info.reserve(fileName.size() + trimmed.size() + 4);
      info.append("[").append(fileName).append("]  ").append(trimmed);
      row(std::move(*listName), std::move(info), docIndex);
    }
  }
}

void FillNativeLists(TIncludeScan& scan) {
  std::string_view lines = scan.NativeLines;
  // The natives still to fill are the last ones taken, line for line.
  size_t count = 0;
  for (char c : lines) count += c == '\n';
  size_t native = scan.Docs.size() - std::min(count, scan.Docs.size());
  for (size_t p = 0; p < lines.size(); ++native) {
    size_t e = lines.find('\n', p);
    if (e == std::string_view::npos) e = lines.size();
    if (std::optional<TNativeDeclaration> d = ParseNativeLine(lines.substr(p, e - p))) {
      int doc =
          native < scan.Docs.size() && !scan.Docs[native].empty() ? static_cast<int>(native) : -1;
      AddEntry(scan, std::move(d->CompletionName), std::move(d->ItemText), std::move(d->HintString),
               doc);
    }
    p = e + 1;
  }
  scan.NativeLines.clear();
  scan.NativeLines.shrink_to_fit();
}

std::vector<std::string> ListIncludeFiles(const std::string& folder,
                                          std::vector<std::string>& errors) {
  std::vector<std::string> names;
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) {
    // No include folder is an empty function list, not an error.
    if (errno != ENOENT && errno != ENOTDIR)
      errors.push_back("Cannot read folder \"" + folder + "\". " + SystemReason(errno));
    return names;
  }
  while (const dirent* entry = ::readdir(dir)) {
    std::string_view name = entry->d_name;
    if (name.size() >= 4 && EqualsNoCase(name.substr(name.size() - 4), ".inc"))
      names.emplace_back(name);
  }
  ::closedir(dir);
  // The system's listing order is arbitrary here; users look for a file by
  // its name, so the files come in name order, letter case aside.
  std::sort(names.begin(), names.end(), NameBefore);
  return names;
}

namespace {

// The bytes of the file name in the folder dirFd (or AT_FDCWD), whose name
// is folder (empty for AT_FDCWD) in messages. Only a regular file is opened,
// and without waiting: a FIFO or a device named like an include file cannot
// hold up the start-up.
std::string ReadIncludeFileAt(int dirFd, const std::string& folder, const std::string& name) {
  std::string data, reason;
  TFileRead read = ReadRegularFileAt(dirFd, name, data, reason);
  if (read == TFileRead::Ok) return data;
  const std::string path = folder.empty() ? name : folder + "/" + name;
  if (read == TFileRead::NotRead) throw EReadError("Cannot read file \"" + path + "\". " + reason);
  throw EFOpenError("Cannot open file \"" + path + "\". " + reason);
}

}  // namespace

std::string ReadIncludeFile(const std::string& path) {
  return ReadIncludeFileAt(AT_FDCWD, std::string(), path);
}

TIncludeScan ScanIncludeFolder(const std::string& folder, TNativeListFill fill) {
  TIncludeScan scan;
  std::vector<std::string> names = ListIncludeFiles(folder, scan.Errors);
  if (names.empty()) return scan;
  // The files are opened relative to the folder, which is looked up once.
  int dirFd = ::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  for (const std::string& name : names) {
    std::string text;
    try {
      text = dirFd >= 0 ? ReadIncludeFileAt(dirFd, folder, name)
                        : ReadIncludeFile(folder + "/" + name);
    } catch (const EStreamError& e) {
      scan.Errors.push_back(e.what());
      continue;
    }
    // The name joins text of the document's code page in the list and the
    // status texts, so it is carried in that page too.
    AddIncludeFile(scan, CodePage().FromUtf8(name), text, fill);
  }
  if (dirFd >= 0) ::close(dirFd);
  return scan;
}

std::optional<TCallInsertion> InsertCall(std::string_view line, int caretChar,
                                         std::string_view rowText) {
  if (rowText.empty() || rowText.front() == ' ') return std::nullopt;
  size_t before = caretChar > 1 ? static_cast<size_t>(caretChar - 1) : 0;
  if (before > line.size()) before = line.size();
  TCallInsertion result;
  result.Line.reserve(line.size() + rowText.size() + 2);
  result.Line.append(line.substr(0, before))
      .append(rowText)
      .append("()")
      .append(line.substr(before));
  result.CaretChar = caretChar + static_cast<int>(rowText.size()) + 1;
  return result;
}

}  // namespace ludra
