#include "platform/SynProfileFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdint>
#include <string_view>
#include <vector>

#include "base/SynExceptions.h"
#include "base/SynFiles.h"
#include "platform/AtomicFile.h"
#include "platform/ProgramDirectory.h"

namespace ludra {

namespace {

constexpr std::string_view kBlanks = " \t";
constexpr std::string_view kBom = "\xEF\xBB\xBF";

std::string_view Trim(std::string_view s) {
  size_t first = s.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  size_t last = s.find_last_not_of(kBlanks);
  return s.substr(first, last - first + 1);
}

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  return true;
}

struct TParsedLine {
  enum Kind { Blank, Comment, Section, Key, Other } kind = Blank;
  std::string_view name;   // section or key name, trimmed
  std::string_view value;  // key value, trimmed
};

TParsedLine ParseLine(std::string_view line) {
  TParsedLine p;
  std::string_view t = Trim(line);
  if (t.empty()) return p;
  if (t[0] == ';') {
    p.kind = TParsedLine::Comment;
  } else if (t[0] == '[') {
    size_t close = t.find(']');
    if (close == std::string_view::npos) {
      p.kind = TParsedLine::Other;
    } else {
      p.kind = TParsedLine::Section;
      p.name = Trim(t.substr(1, close - 1));
    }
  } else {
    size_t eq = t.find('=');
    if (eq == std::string_view::npos) {
      p.kind = TParsedLine::Other;
    } else {
      p.kind = TParsedLine::Key;
      p.name = Trim(t.substr(0, eq));
      p.value = Trim(t.substr(eq + 1));
    }
  }
  return p;
}

// One line of the file and the line end it came with ("" for a last line
// without one), so a line nobody changed is written back byte for byte.
struct TLine {
  std::string text;
  std::string_view end;
};

// The file split into lines, with what is needed to write it back in its own
// style.
struct TDocument {
  std::vector<TLine> lines;
  bool crlf = false;
  bool bom = false;

  std::string_view Eol() const { return crlf ? "\r\n" : "\n"; }
  // A line the program writes gets the file's own line end.
  void Insert(int at, std::string text) {
    lines.insert(lines.begin() + at, TLine{std::move(text), Eol()});
  }

  int FindSection(std::string_view section, int from = 0) const {
    for (int i = from; i < static_cast<int>(lines.size()); ++i) {
      TParsedLine p = ParseLine(lines[i].text);
      if (p.kind == TParsedLine::Section && SameName(p.name, section)) return i;
    }
    return -1;
  }
  // The line after the last line of the section whose header is at `header`.
  int SectionEnd(int header) const {
    int i = header + 1;
    while (i < static_cast<int>(lines.size()) &&
           ParseLine(lines[i].text).kind != TParsedLine::Section)
      ++i;
    return i;
  }
  int FindKey(int header, std::string_view key) const {
    int end = SectionEnd(header);
    for (int i = header + 1; i < end; ++i) {
      TParsedLine p = ParseLine(lines[i].text);
      if (p.kind == TParsedLine::Key && SameName(p.name, key)) return i;
    }
    return -1;
  }
};

enum class TLoad { Ok, Missing, Failed };

// Only a regular file is read, and opening it never waits: a settings file
// that is a FIFO or a device gives the defaults and refuses writes.
TLoad ReadWholeFile(const std::string& path, std::string& text) {
  std::string reason;
  bool missing = false;
  if (ReadRegularFile(path, text, reason, &missing)) return TLoad::Ok;
  return missing ? TLoad::Missing : TLoad::Failed;
}

// Calls f(line, end) for each line of text (a BOM already taken off): the
// line without its end, and the end it came with ("\n", "\r\n", a CR alone
// at the very end, or "" for a last line without one). A CR before the LF
// belongs to the line end. Stops when f answers false.
template <class F>
void ForEachLine(std::string_view rest, F&& f) {
  while (!rest.empty()) {
    size_t lf = rest.find('\n');
    std::string_view line = rest.substr(0, lf);
    std::string_view end = lf == std::string_view::npos ? "" : "\n";
    if (!line.empty() && line.back() == '\r') {
      line.remove_suffix(1);
      end = lf == std::string_view::npos ? "\r" : "\r\n";
    }
    if (!f(line, end) || lf == std::string_view::npos) return;
    rest.remove_prefix(lf + 1);
  }
}

TLoad LoadDocument(const std::string& path, TDocument& doc) {
  std::string text;
  TLoad result = ReadWholeFile(path, text);
  if (result != TLoad::Ok) return result;
  std::string_view rest = text;
  if (rest.starts_with(kBom)) {
    doc.bom = true;
    rest.remove_prefix(kBom.size());
  }
  size_t firstLf = rest.find('\n');
  doc.crlf = firstLf != std::string_view::npos && firstLf > 0 && rest[firstLf - 1] == '\r';
  // The line keeps which end it had, so one whose text ends in CR in a file
  // of LF line ends comes back as it was.
  ForEachLine(rest, [&doc](std::string_view line, std::string_view end) {
    doc.lines.push_back(TLine{std::string(line), end});
    return true;
  });
  return TLoad::Ok;
}

// The value of key in the first section of the file text named section, as
// LoadDocument, FindSection and FindKey would find it, without building the
// document.
std::optional<std::string_view> FindValue(std::string_view text, std::string_view section,
                                          std::string_view key) {
  if (text.starts_with(kBom)) text.remove_prefix(kBom.size());
  bool inSection = false;
  std::optional<std::string_view> value;
  ForEachLine(text, [&](std::string_view line, std::string_view) {
    TParsedLine p = ParseLine(line);
    if (p.kind == TParsedLine::Section) {
      // Only the first section of the name is looked in.
      if (inSection) return false;
      inSection = SameName(p.name, section);
    } else if (inSection && p.kind == TParsedLine::Key && SameName(p.name, key)) {
      value = p.value;
      return false;
    }
    return true;
  });
  return value;
}

[[noreturn]] void RaiseWriteError(const std::string& fileName) {
  throw EIniFileException(Format("Unable to write to %s", fileName));
}

// Writes the document back: the byte-order mark and every line with the end
// it had; a line that now has another after it but had no end gets the
// file's own. A failure at any step leaves the old file as it was.
void SaveDocument(const std::string& fileName, const TDocument& doc, bool makeFolder) {
  if (makeFolder && !MakeFolders(ExtractFileDir(fileName))) RaiseWriteError(fileName);
  std::string data;
  if (doc.bom) data += kBom;
  for (size_t i = 0; i < doc.lines.size(); ++i) {
    const TLine& line = doc.lines[i];
    data += line.text;
    bool last = i + 1 == doc.lines.size();
    if (!last && (line.end.empty() || line.end == "\r"))
      data += line.end == "\r" ? "\r" + std::string(doc.Eol()) : std::string(doc.Eol());
    else
      data += line.end;
  }
  if (!ReplaceFileAtomically(fileName, data)) RaiseWriteError(fileName);
}

// Loads the file for a change; a file that does not exist yet starts empty,
// one that exists but cannot be read is not replaced.
TDocument LoadForWrite(const std::string& fileName) {
  TDocument doc;
  if (LoadDocument(fileName, doc) == TLoad::Failed) RaiseWriteError(fileName);
  return doc;
}

// Names that would change the file's structure cannot be written.
void CheckNames(const std::string& fileName, std::string_view section, std::string_view key) {
  if (section.find_first_of("]\r\n") != std::string_view::npos) RaiseWriteError(fileName);
  if (key.empty() || key[0] == ';' || key[0] == '[' ||
      key.find_first_of("=\r\n") != std::string_view::npos)
    RaiseWriteError(fileName);
}

}  // namespace

int ProfileStrToIntDef(const std::string& text, int defaultValue) {
  auto hexDigit = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    // Up to 32 bits, so 0xFFFFFFFF is -1 as the writer of such a value meant.
    uint64_t value = 0;
    for (size_t i = 2; i < text.size(); ++i) {
      int d = hexDigit(text[i]);
      if (d < 0) return defaultValue;
      value = value * 16 + static_cast<uint64_t>(d);
      if (value > 0xFFFFFFFFu) return defaultValue;
    }
    return static_cast<int>(static_cast<uint32_t>(value));
  }
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i == text.size()) return defaultValue;
  int64_t value = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return defaultValue;
    value = value * 10 + (text[i] - '0');
    if (value > int64_t{INT_MAX} + 1) return defaultValue;
  }
  if (negative) value = -value;
  if (value > INT_MAX || value < INT_MIN) return defaultValue;
  return static_cast<int>(value);
}

void TProfileFile::Hold() {
  std::string text;
  held_ = true;
  heldText_.reset();
  if (ReadWholeFile(fileName_, text) == TLoad::Ok) heldText_ = std::move(text);
}

std::string TProfileFile::ReadString(const std::string& section, const std::string& key,
                                     const std::string& defaultValue) const {
  std::string value = ReadLongString(section, key, defaultValue);
  if (value.size() > MaxValueLength) value.resize(MaxValueLength);
  return value;
}

std::string TProfileFile::ReadLongString(const std::string& section, const std::string& key,
                                         const std::string& defaultValue) const {
  std::string read;
  const std::string* text = nullptr;
  if (held_) {
    text = heldText_ ? &*heldText_ : nullptr;
  } else if (ReadWholeFile(fileName_, read) == TLoad::Ok) {
    text = &read;
  }
  if (!text) return defaultValue;
  std::optional<std::string_view> value = FindValue(*text, Trim(section), Trim(key));
  if (!value) return defaultValue;
  return std::string(*value);
}

int TProfileFile::ReadInteger(const std::string& section, const std::string& key,
                              int defaultValue) const {
  return ProfileStrToIntDef(ReadString(section, key, ""), defaultValue);
}

bool TProfileFile::ReadBool(const std::string& section, const std::string& key,
                            bool defaultValue) const {
  return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

bool TProfileFile::SectionExists(const std::string& section) const {
  TDocument doc;
  return LoadDocument(fileName_, doc) == TLoad::Ok && doc.FindSection(Trim(section)) >= 0;
}

bool TProfileFile::ValueExists(const std::string& section, const std::string& key) const {
  TDocument doc;
  if (LoadDocument(fileName_, doc) != TLoad::Ok) return false;
  int header = doc.FindSection(Trim(section));
  return header >= 0 && doc.FindKey(header, Trim(key)) >= 0;
}

void TProfileFile::ReadSection(const std::string& section, TStrings& keys) const {
  keys.Clear();
  TDocument doc;
  if (LoadDocument(fileName_, doc) != TLoad::Ok) return;
  int header = doc.FindSection(Trim(section));
  if (header < 0) return;
  int end = doc.SectionEnd(header);
  for (int i = header + 1; i < end; ++i) {
    TParsedLine p = ParseLine(doc.lines[i].text);
    if (p.kind == TParsedLine::Key) keys.Add(std::string(p.name));
  }
}

void TProfileFile::ReadSections(TStrings& sections) const {
  sections.Clear();
  TDocument doc;
  if (LoadDocument(fileName_, doc) != TLoad::Ok) return;
  for (const auto& line : doc.lines) {
    TParsedLine p = ParseLine(line.text);
    if (p.kind == TParsedLine::Section) sections.Add(std::string(p.name));
  }
}

namespace {

void SetValue(const std::string& fileName, TDocument& doc, const std::string& section,
              const std::string& key, const std::string& value) {
  std::string_view sectionName = Trim(section);
  std::string_view keyName = Trim(key);
  CheckNames(fileName, sectionName, keyName);
  // A line break would start a new line of the file; the value ends there.
  std::string_view text = value;
  text = text.substr(0, text.find_first_of("\r\n"));

  int header = doc.FindSection(sectionName);
  if (header < 0) {
    int end = static_cast<int>(doc.lines.size());
    if (end > 0 && !Trim(doc.lines.back().text).empty()) doc.Insert(end++, "");
    doc.Insert(end++, "[" + std::string(sectionName) + "]");
    doc.Insert(end, std::string(keyName) + "=" + std::string(text));
  } else if (int line = doc.FindKey(header, keyName); line >= 0) {
    // The key keeps the spelling the file gave it.
    doc.lines[line].text =
        std::string(ParseLine(doc.lines[line].text).name) + "=" + std::string(text);
  } else {
    // After the section's last entry, before blank lines and comments that
    // lead into the next section.
    int at = header + 1;
    for (int i = header + 1, end = doc.SectionEnd(header); i < end; ++i) {
      TParsedLine::Kind kind = ParseLine(doc.lines[i].text).kind;
      if (kind != TParsedLine::Blank && kind != TParsedLine::Comment) at = i + 1;
    }
    doc.Insert(at, std::string(keyName) + "=" + std::string(text));
  }
}

}  // namespace

void TProfileFile::WriteString(const std::string& section, const std::string& key,
                               const std::string& value) {
  held_ = false;
  TDocument doc = LoadForWrite(fileName_);
  SetValue(fileName_, doc, section, key, value);
  SaveDocument(fileName_, doc, makeFolder_);
}

void TProfileFile::WriteStrings(
    const std::string& section,
    const std::vector<std::pair<std::string, std::optional<std::string>>>& values) {
  held_ = false;
  TDocument doc = LoadForWrite(fileName_);
  for (const auto& [key, value] : values) {
    if (value) {
      SetValue(fileName_, doc, section, key, *value);
    } else if (int header = doc.FindSection(Trim(section)); header >= 0) {
      if (int line = doc.FindKey(header, Trim(key)); line >= 0)
        doc.lines.erase(doc.lines.begin() + line);
    }
  }
  SaveDocument(fileName_, doc, makeFolder_);
}

void TProfileFile::WriteInteger(const std::string& section, const std::string& key, int value) {
  WriteString(section, key, std::to_string(value));
}

void TProfileFile::WriteBool(const std::string& section, const std::string& key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

void TProfileFile::DeleteKey(const std::string& section, const std::string& key) {
  held_ = false;
  TDocument doc = LoadForWrite(fileName_);
  int header = doc.FindSection(Trim(section));
  if (header < 0) return;
  int line = doc.FindKey(header, Trim(key));
  if (line < 0) return;
  doc.lines.erase(doc.lines.begin() + line);
  SaveDocument(fileName_, doc, makeFolder_);
}

void TProfileFile::UpdateEvery(
    const std::string& section, const std::string& key,
    const std::function<std::optional<std::string>(const std::optional<std::string>&)>& change) {
  held_ = false;
  TDocument doc = LoadForWrite(fileName_);
  std::string_view sectionName = Trim(section), keyName = Trim(key);
  CheckNames(fileName_, sectionName, keyName);
  bool changed = false;
  const int first = doc.FindSection(sectionName);
  const bool firstHolds = first >= 0 && doc.FindKey(first, keyName) >= 0;
  for (int header = first; header >= 0; header = doc.FindSection(sectionName, header + 1)) {
    int line = doc.FindKey(header, keyName);
    if (line < 0) continue;
    TParsedLine p = ParseLine(doc.lines[line].text);
    const std::string current(p.value);
    std::optional<std::string> value = change(current);
    if (value) *value = value->substr(0, value->find_first_of("\r\n"));
    if (value == current) continue;
    changed = true;
    if (value)
      doc.lines[line].text = std::string(p.name) + "=" + *value;
    else
      doc.lines.erase(doc.lines.begin() + line);
  }
  // The first section gets the key when it has none.
  if (!firstHolds)
    if (std::optional<std::string> value = change(std::nullopt)) {
      SetValue(fileName_, doc, section, key, *value);
      changed = true;
    }
  if (changed) SaveDocument(fileName_, doc, makeFolder_);
}

void TProfileFile::EraseSection(const std::string& section) {
  held_ = false;
  TDocument doc = LoadForWrite(fileName_);
  bool changed = false;
  for (int header = doc.FindSection(Trim(section)); header >= 0;
       header = doc.FindSection(Trim(section), header)) {
    doc.lines.erase(doc.lines.begin() + header, doc.lines.begin() + doc.SectionEnd(header));
    changed = true;
  }
  if (changed) SaveDocument(fileName_, doc, makeFolder_);
}

}  // namespace ludra
