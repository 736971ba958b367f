#pragma once
// The settings file: an INI file of "[Section]" headers and "Key=Value"
// lines. Every call reads the file afresh and every write replaces it
// atomically, so several readers and writers never see a half-written file
// and nothing stays cached between operations, unless the caller asks an
// object to hold what it read for a run of reads at one moment (Hold).
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/SynStrings.h"

namespace ludra {

class TProfileFile {
 public:
  // Values longer than this are cut on reading.
  static constexpr size_t MaxValueLength = 2047;

  explicit TProfileFile(std::string fileName) : fileName_(std::move(fileName)) {}
  // makeFolder: a write first makes the file's folder when it is missing
  // (a per-user settings file appears on the first write).
  TProfileFile(std::string fileName, bool makeFolder)
      : fileName_(std::move(fileName)), makeFolder_(makeFolder) {}

  const std::string& FileName() const { return fileName_; }

  // Reads the file once now: this object's ReadString, ReadInteger and
  // ReadBool then look at what was read, not at the file, until it writes.
  // For a run of reads that belong together, such as the settings start-up
  // takes; another program's later changes are seen by a fresh object.
  void Hold();

  // Section and key names compare without regard to ASCII case; blanks around
  // key names and values do not count. A missing file, section or key gives
  // the default.
  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& defaultValue) const;
  // As ReadString, but the whole value however long: for files that other
  // programs share, whose values must be written back unchanged.
  std::string ReadLongString(const std::string& section, const std::string& key,
                             const std::string& defaultValue) const;
  // Decimal, or hexadecimal after "0x"/"0X"; anything else gives the default.
  int ReadInteger(const std::string& section, const std::string& key, int defaultValue) const;
  // Read as an integer: true when not 0.
  bool ReadBool(const std::string& section, const std::string& key, bool defaultValue) const;
  bool SectionExists(const std::string& section) const;
  bool ValueExists(const std::string& section, const std::string& key) const;
  // The key names of a section, in file order (cleared first).
  void ReadSection(const std::string& section, TStrings& keys) const;
  // The section names, in file order (cleared first).
  void ReadSections(TStrings& sections) const;

  // Writes replace the value of an existing key in place, append a new key at
  // the end of its section and a new section at the end of the file; a write
  // the system refuses raises EIniFileException.
  void WriteString(const std::string& section, const std::string& key, const std::string& value);
  void WriteInteger(const std::string& section, const std::string& key, int value);
  void WriteBool(const std::string& section, const std::string& key, bool value);
  // Several keys of one section in one replacement of the file: a key with a
  // value is written, one without is deleted.
  void WriteStrings(const std::string& section,
                    const std::vector<std::pair<std::string, std::optional<std::string>>>& values);
  void DeleteKey(const std::string& section, const std::string& key);
  // For files other programs share, in which a section may stand more than
  // once and readers differ on which one counts: change gives the new value
  // for a current one (nothing: the key goes), in every section of that name
  // that holds the key, and in the first (as WriteString writes) when that
  // one does not hold it. The file is written only when a value changed.
  void UpdateEvery(
      const std::string& section, const std::string& key,
      const std::function<std::optional<std::string>(const std::optional<std::string>&)>& change);
  void EraseSection(const std::string& section);
  // Every write is already on disk when it returns; kept for callers that
  // flush after a group of writes.
  void UpdateFile() {}

 private:
  std::string fileName_;
  bool makeFolder_ = false;
  // What Hold read; none when it could not read the file.
  std::optional<std::string> heldText_;
  bool held_ = false;
};

// The integer a settings value stands for, or defaultValue when it is none.
int ProfileStrToIntDef(const std::string& text, int defaultValue);

}  // namespace ludra
