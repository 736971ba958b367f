#pragma once
// The document's line buffer: one 32-byte record per line, kept in blocks so
// that a line break costs the same near the top of a big document as at its
// end, with the highlighter's range state, a cached expanded length and tab
// flags per line, change notices, and file loading/saving that keeps the
// file's line-end style.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/SynBracket.h"
#include "base/SynCodePage.h"
#include "base/SynEditTypes.h"
#include "base/SynSet.h"
#include "base/SynStrings.h"
#include "buffer/SynEditLineArray.h"
#include "buffer/SynEditLongestLine.h"

namespace ludra {

enum TSynLineEndStyle : uint8_t { leCrLf = 0, leLf = 1, leCr = 2 };

enum TSynEditStringFlag : uint8_t { lfHasTabs = 0, lfHasNoTabs = 1, lfExpandedLengthUnknown = 2 };
using TSynEditStringFlags = TSet<TSynEditStringFlag>;

class TSynEditStringList;
using TStringListNotify = std::function<void(TSynEditStringList* sender)>;
using TStringListChangeEvent =
    std::function<void(TSynEditStringList* sender, int index, int count)>;

// What a load accepts; a file beyond either limit is refused before the
// current lines are touched.
struct TSynLoadLimits {
  size_t MaxLines = SIZE_MAX;
  size_t MaxLineLength = SIZE_MAX;
};

class TSynEditStringList : public TStrings {
 public:
  TSynEditStringList();
  ~TSynEditStringList() override;
  TSynEditStringList(const TSynEditStringList&) = delete;
  TSynEditStringList& operator=(const TSynEditStringList&) = delete;

  // The string-list interface. Indices are 0-based; a bad index raises
  // ESynEditStringList "Invalid stringlist index %d" before anything changes.
  int Count() const override { return lines_.Count(); }
  std::string Get(int index) const override;
  // The line's bytes without copying; valid until the line changes.
  std::string_view GetView(int index) const {
    if (static_cast<unsigned>(index) >= static_cast<unsigned>(Count())) return {};
    return RecText(lines_[index]);
  }
  // Calls f(view) for every line in order: a whole-document pass without
  // looking each line up.
  template <class F>
  void ForEachView(F&& f) const {
    lines_.ForEachBlock([&f](const Rec* recs, int n) {
      for (int i = 0; i < n; ++i) f(RecText(recs[i]));
    });
  }
  void Put(int index, const std::string& s) override;
  intptr_t GetObject(int index) const override;
  void PutObject(int index, intptr_t value) override;
  int Add(const std::string& s) override;
  void Insert(int index, const std::string& s) override;
  void Delete(int index) override;
  void Clear() override;
  void BeginUpdate() override;
  void EndUpdate() override;
  int UpdateCount() const { return updateCount_; }
  // BeginUpdate now, EndUpdate when the returned bracket goes.
  [[nodiscard]] auto Updating() {
    return Bracket([this] { BeginUpdate(); }, [this] { EndUpdate(); });
  }

  void InsertLines(int index, int numLines);
  void DeleteLines(int index, int numLines);
  void Exchange(int index1, int index2);
  void AddStrings(const TStrings& strings);

  // The string-list interface's capacity: it grows by the interface's rule
  // (by 16 up to 64, then by a quarter) and never below Count; the records
  // themselves live in blocks that grow on their own.
  int Capacity() const { return capacity_; }
  void SetCapacity(int value);

  TSynRange LineRange(int index) const;
  void SetLineRange(int index, TSynRange value);

  // Tab expansion: each tab becomes tab bytes up to the next stop, so the
  // result has the display width and the painter can tell filler from text.
  std::string ExpandedLine(int index);
  int ExpandedLineLength(int index);
  int LongestLineLength();
  int TabWidth() const { return tabWidth_; }
  void SetTabWidth(int value);

  // The whole text, each line followed by CR LF; setting it splits at CR LF,
  // CR or LF (a NUL ends it) without changing LineEndStyle.
  std::string Text() const;
  void SetText(std::string_view value);

  // A load either replaces every line or, when it fails (the file cannot be
  // read, is beyond the limits, memory runs out), changes nothing at all.
  void LoadFromFile(const std::string& fileName);
  void LoadFromStream(std::istream& stream);
  // Loads from bytes already in memory.
  void LoadFromBytes(std::string_view data);
  // Saves without ever losing the old file: see SaveFileSafely.
  void SaveToFile(const std::string& fileName);
  void SaveToStream(std::ostream& stream);

  // The system's own limits (2^31 lines and bytes in a line) always apply;
  // these can only lower them.
  const TSynLoadLimits& LoadLimits() const { return loadLimits_; }
  void SetLoadLimits(const TSynLoadLimits& value) { loadLimits_ = value; }

  TSynLineEndStyle LineEndStyle() const { return lineEndStyle_; }
  void SetLineEndStyle(TSynLineEndStyle value) { lineEndStyle_ = value; }
  // The code page of the text's bytes, which belongs to the document like
  // its line ends: how they are shown, typed and case-converted. A buffer
  // given none reads in the process's page (ludra::CodePage()). Another
  // page never changes the bytes.
  const TCodePage& CodePage() const { return codePage_ ? *codePage_ : ludra::CodePage(); }
  const TCodePage* OwnCodePage() const { return codePage_; }
  void SetCodePage(const TCodePage* page) { codePage_ = page; }
  bool TerminateLastLine() const { return terminateLastLine_; }
  void SetTerminateLastLine(bool value) { terminateLastLine_ = value; }

  // Per-line cache state, for tests and invariant checks.
  TSynEditStringFlags LineFlags(int index) const;
  int CachedExpandedLength(int index) const;
  int LongestLineIndexCache() const { return longest_.Index(); }
  // Verifies the record invariants and the block structure; throws
  // std::logic_error when broken.
  void Check() const;
  // How many blocks hold the records, and whether every line's text lies in
  // the block of the last load (for tests of the loader).
  int RecordBlockCount() const { return lines_.BlockCount(); }
  bool TextInLoadBlock(int index) const;

  TStringListNotify OnChange;
  TStringListNotify OnChanging;
  TStringListNotify OnCleared;
  TStringListChangeEvent OnLinesDeleted;
  TStringListChangeEvent OnLinesInserted;
  TStringListChangeEvent OnLineChanged;

 private:
  // Fixed-size and trivially copyable, so records move with memmove. Text
  // either points into a load arena (owned == false) or is a malloc'd block.
  struct Rec {
    const char* text;
    int32_t length;
    TSynRange range;
    int32_t expandedLength;
    uint8_t flags;
    bool owned;
    intptr_t object;
  };
  static_assert(sizeof(void*) != 8 || sizeof(Rec) == 32);
  void Grow();
  void InsertItem(int index, std::string_view s);
  void ListIndexOutOfBounds(int index) const;
  void SetUpdateState(bool updating);
  void FreeText(Rec& r);
  void SetRecText(Rec& r, std::string_view s);
  static std::string_view RecText(const Rec& r) {
    return r.length ? std::string_view(r.text, static_cast<size_t>(r.length)) : std::string_view();
  }
  int ExpandRec(Rec& r, std::string* out);
  void FreeAllText();
  void LoadFromArena(std::unique_ptr<char[]> arena, size_t size);

  TLineArray<Rec> lines_;
  int capacity_ = 0;
  int updateCount_ = 0;
  int tabWidth_ = 8;
  // Follows the edits; forgotten on loads, clears and a new tab width.
  TSynLongestLine longest_;
  TSynLineEndStyle lineEndStyle_ = leCrLf;
  const TCodePage* codePage_ = nullptr;
  bool terminateLastLine_ = true;
  TSynLoadLimits loadLimits_;
  // Blocks holding the text of loaded files; lines point into them until
  // they change. Freed when the buffer is cleared or destroyed.
  std::vector<std::unique_ptr<char[]>> arenas_;
  size_t lastArenaSize_ = 0;
};

// Buffered writer for saving a file: a 16 KB buffer, grown to fit a line
// longer than it; flushed and closed on destruction.
class TSynEditFileWriter {
 public:
  // Creates or truncates the file; errors name shownName when it is given
  // (the user's file, when the writer writes a temporary one).
  explicit TSynEditFileWriter(const std::string& fileName, const std::string& shownName = {});
  // Writes from the descriptor's position on, without truncating; the
  // writer owns the descriptor from here on.
  TSynEditFileWriter(int fd, const std::string& shownName);
  ~TSynEditFileWriter();
  TSynEditFileWriter(const TSynEditFileWriter&) = delete;
  TSynEditFileWriter& operator=(const TSynEditFileWriter&) = delete;

  TSynLineEndStyle LineEndStyle() const { return lineEndStyle_; }
  void SetLineEndStyle(TSynLineEndStyle value) { lineEndStyle_ = value; }
  void WriteText(std::string_view s);
  void WriteLine(std::string_view s);
  void Flush();
  // Flushes and cuts the file off after what was written.
  void TruncateHere();
  // Flushes, syncs to disk and closes; raises EWriteError on any failure.
  void Close();
  int BufferSize() const { return static_cast<int>(buffer_.size()); }

 private:
  void Append(std::string_view s, bool lineEnd);
  std::string fileName_;
  int fd_ = -1;
  std::vector<char> buffer_;
  size_t filePos_ = 0;
  size_t written_ = 0;
  TSynLineEndStyle lineEndStyle_ = leCrLf;
};

}  // namespace ludra
