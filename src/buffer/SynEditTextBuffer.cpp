#include "buffer/SynEditTextBuffer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <istream>
#include <ostream>
#include <stdexcept>

#include "base/SynExceptions.h"
#include "base/SynFiles.h"
#include "buffer/SynEditFileSave.h"

namespace ludra {

namespace {

constexpr uint8_t FlagBit(TSynEditStringFlag f) { return static_cast<uint8_t>(1u << f); }
constexpr uint8_t kHasTabs = FlagBit(lfHasTabs);
constexpr uint8_t kHasNoTabs = FlagBit(lfHasNoTabs);
constexpr uint8_t kExpandedLengthUnknown = FlagBit(lfExpandedLengthUnknown);

std::string SysErrorMessage(int err) { return std::strerror(err); }

// Display width of a line after tab expansion; expands into *out when given.
int ExpandTabs(std::string_view s, int tabWidth, std::string* out, bool& hasTabs) {
  const char* tab =
      s.empty() ? nullptr : static_cast<const char*>(std::memchr(s.data(), '\t', s.size()));
  hasTabs = tab != nullptr;
  if (!hasTabs) {
    if (out) out->assign(s);
    return static_cast<int>(s.size());
  }
  if (tabWidth <= 1) {
    if (out) {
      out->assign(s);
      for (char& c : *out)
        if (c == '\t') c = ' ';
    }
    return static_cast<int>(s.size());
  }
  size_t column = static_cast<size_t>(tab - s.data());
  if (out) {
    out->clear();
    out->reserve(s.size() + static_cast<size_t>(tabWidth) * 2);
    out->append(s.data(), column);
  }
  for (size_t i = column; i < s.size(); ++i) {
    if (s[i] == '\t') {
      size_t k = static_cast<size_t>(tabWidth) - column % static_cast<size_t>(tabWidth);
      if (out) out->append(k, '\t');
      column += k;
    } else {
      if (out) out->push_back(s[i]);
      ++column;
    }
  }
  return static_cast<int>(column);
}

}  // namespace

TSynEditStringList::TSynEditStringList() = default;

TSynEditStringList::~TSynEditStringList() {
  OnChange = nullptr;
  OnChanging = nullptr;
  FreeAllText();
}

void TSynEditStringList::FreeAllText() {
  lines_.ForEachBlock([this](Rec* r, int n) {
    for (int i = 0; i < n; ++i) FreeText(r[i]);
  });
  arenas_.clear();
  lastArenaSize_ = 0;
}

void TSynEditStringList::FreeText(Rec& r) {
  if (r.owned) std::free(const_cast<char*>(r.text));
  r.text = nullptr;
  r.length = 0;
  r.owned = false;
}

void TSynEditStringList::SetRecText(Rec& r, std::string_view s) {
  FreeText(r);
  if (s.empty()) return;
  char* p = static_cast<char*>(std::malloc(s.size()));
  if (!p) throw std::bad_alloc();
  std::memcpy(p, s.data(), s.size());
  r.text = p;
  r.length = static_cast<int32_t>(s.size());
  r.owned = true;
}

void TSynEditStringList::ListIndexOutOfBounds(int index) const {
  throw ESynEditStringList(Format("Invalid stringlist index %d", index));
}

void TSynEditStringList::SetUpdateState(bool updating) {
  if (updating) {
    if (OnChanging) OnChanging(this);
  } else {
    if (OnChange) OnChange(this);
  }
}

void TSynEditStringList::BeginUpdate() {
  if (updateCount_++ == 0) SetUpdateState(true);
}

void TSynEditStringList::EndUpdate() {
  if (updateCount_ > 0 && --updateCount_ == 0) SetUpdateState(false);
}

std::string TSynEditStringList::Get(int index) const { return std::string(GetView(index)); }

void TSynEditStringList::Put(int index, const std::string& s) {
  if (index == Count()) {
    Add(s);
    return;
  }
  if (index < 0 || index > Count()) ListIndexOutOfBounds(index);
  auto update = Updating();
  Rec& r = lines_[index];
  SetRecText(r, s);
  r.flags = kExpandedLengthUnknown;
  if (longest_.Known()) longest_.Changed(index, ExpandRec(r, nullptr));
  if (OnLineChanged) OnLineChanged(this, index, 1);
}

intptr_t TSynEditStringList::GetObject(int index) const {
  return index >= 0 && index < Count() ? lines_[index].object : 0;
}

void TSynEditStringList::PutObject(int index, intptr_t value) {
  if (index < 0 || index >= Count()) ListIndexOutOfBounds(index);
  auto update = Updating();
  lines_[index].object = value;
}

TSynRange TSynEditStringList::LineRange(int index) const {
  return index >= 0 && index < Count() ? lines_[index].range : 0;
}

void TSynEditStringList::SetLineRange(int index, TSynRange value) {
  if (index < 0 || index >= Count()) ListIndexOutOfBounds(index);
  auto update = Updating();
  lines_[index].range = value;
}

void TSynEditStringList::Grow() {
  SetCapacity(capacity_ > 64 ? capacity_ + capacity_ / 4 : capacity_ + 16);
}

void TSynEditStringList::SetCapacity(int value) {
  if (value < Count()) throw EListError("Stringlist capacity cannot be smaller than count");
  if (value == 0) lines_.Clear();
  capacity_ = value;
}

void TSynEditStringList::InsertItem(int index, std::string_view s) {
  if (Count() == capacity_) Grow();
  Rec r{nullptr, 0, NullRange, -1, kExpandedLengthUnknown, false, 0};
  SetRecText(r, s);
  try {
    lines_.Insert(index, 1, r);
  } catch (...) {
    FreeText(r);
    throw;
  }
  longest_.Inserted(index, 1, [this](int i) { return ExpandedLineLength(i); });
}

int TSynEditStringList::Add(const std::string& s) {
  auto update = Updating();
  int index = Count();
  InsertItem(index, s);
  if (OnLinesInserted) OnLinesInserted(this, index, 1);
  return index;
}

void TSynEditStringList::Insert(int index, const std::string& s) {
  if (index < 0 || index > Count()) ListIndexOutOfBounds(index);
  auto update = Updating();
  InsertItem(index, s);
  if (OnLinesInserted) OnLinesInserted(this, index, 1);
}

void TSynEditStringList::Delete(int index) {
  if (index < 0 || index >= Count()) ListIndexOutOfBounds(index);
  auto update = Updating();
  FreeText(lines_[index]);
  lines_.Erase(index, 1);
  longest_.Deleted(index, 1);
  if (OnLinesDeleted) OnLinesDeleted(this, index, 1);
}

void TSynEditStringList::InsertLines(int index, int numLines) {
  if (index < 0 || index > Count()) ListIndexOutOfBounds(index);
  if (numLines <= 0) return;
  auto update = Updating();
  if (static_cast<long long>(Count()) + numLines > INT32_MAX) throw std::bad_alloc();
  lines_.Insert(index, numLines, Rec{nullptr, 0, 0, 0, 0, false, 0});
  capacity_ = Count();
  longest_.Inserted(index, numLines, [](int) { return 0; });  // empty lines
  if (OnLinesInserted) OnLinesInserted(this, index, numLines);
}

void TSynEditStringList::DeleteLines(int index, int numLines) {
  if (numLines <= 0) return;
  if (index < 0 || index > Count()) ListIndexOutOfBounds(index);
  if (numLines > Count() - index) numLines = Count() - index;
  if (numLines == 0) return;
  for (int i = index; i < index + numLines; ++i) FreeText(lines_[i]);
  int linesAfter = Count() - index - numLines;
  if (linesAfter > 0) {
    // Only moving the following records is bracketed.
    auto update = Updating();
    lines_.Erase(index, numLines);
  } else {
    lines_.Erase(index, numLines);
  }
  longest_.Deleted(index, numLines);
  if (OnLinesDeleted) OnLinesDeleted(this, index, numLines);
}

void TSynEditStringList::Exchange(int index1, int index2) {
  if (index1 < 0 || index1 >= Count()) ListIndexOutOfBounds(index1);
  if (index2 < 0 || index2 >= Count()) ListIndexOutOfBounds(index2);
  auto update = Updating();
  std::swap(lines_[index1], lines_[index2]);
  longest_.Exchanged(index1, index2);
}

void TSynEditStringList::AddStrings(const TStrings& strings) {
  int n = strings.Count();
  if (n <= 0) return;
  auto update = Updating();
  int first = Count();
  if (first + n > capacity_) SetCapacity((first + n + 15) / 16 * 16);
  for (int i = 0; i < n; ++i) {
    InsertItem(Count(), strings.Get(i));
    lines_[Count() - 1].object = strings.GetObject(i);
  }
  if (OnLinesInserted) OnLinesInserted(this, first, n);
}

void TSynEditStringList::Clear() {
  if (Count() == 0 && capacity_ == 0) {
    arenas_.clear();
    lastArenaSize_ = 0;
    return;
  }
  auto update = Updating();
  bool hadLines = Count() != 0;
  FreeAllText();
  lines_.Clear();
  capacity_ = 0;
  longest_.Forget();
  if (hadLines && OnCleared) OnCleared(this);
}

int TSynEditStringList::ExpandRec(Rec& r, std::string* out) {
  bool hasTabs;
  int len = ExpandTabs(RecText(r), tabWidth_, out, hasTabs);
  r.expandedLength = len;
  r.flags = hasTabs ? kHasTabs : kHasNoTabs;
  return len;
}

std::string TSynEditStringList::ExpandedLine(int index) {
  if (index < 0 || index >= Count()) return {};
  Rec& r = lines_[index];
  if (r.flags & kHasNoTabs) return std::string(RecText(r));
  std::string out;
  ExpandRec(r, &out);
  return out;
}

int TSynEditStringList::ExpandedLineLength(int index) {
  if (index < 0 || index >= Count()) return 0;
  Rec& r = lines_[index];
  if (r.flags & kExpandedLengthUnknown) return ExpandRec(r, nullptr);
  return r.expandedLength;
}

int TSynEditStringList::LongestLineLength() {
  return longest_.Length([&](auto note) {
    lines_.ForEachBlock([&](Rec* r, int n) {
      for (int i = 0; i < n; ++i)
        note(r[i].flags & kExpandedLengthUnknown ? ExpandRec(r[i], nullptr) : r[i].expandedLength);
    });
  });
}

void TSynEditStringList::SetTabWidth(int value) {
  if (value == tabWidth_) return;
  tabWidth_ = value;
  longest_.Forget();
  lines_.ForEachBlock([](Rec* r, int n) {
    for (int i = 0; i < n; ++i) {
      r[i].expandedLength = -1;
      r[i].flags = static_cast<uint8_t>((r[i].flags & ~kHasNoTabs) | kExpandedLengthUnknown);
    }
  });
}

TSynEditStringFlags TSynEditStringList::LineFlags(int index) const {
  if (index < 0 || index >= Count()) return {};
  return TSynEditStringFlags::FromBits(lines_[index].flags);
}

int TSynEditStringList::CachedExpandedLength(int index) const {
  return index >= 0 && index < Count() ? lines_[index].expandedLength : 0;
}

bool TSynEditStringList::TextInLoadBlock(int index) const {
  if (index < 0 || index >= Count() || arenas_.empty()) return false;
  const Rec& r = lines_[index];
  const char* block = arenas_.back().get();
  return !r.owned &&
         (r.length == 0 || (r.text >= block && r.text + r.length <= block + lastArenaSize_));
}

void TSynEditStringList::Check() const {
  auto fail = [](const char* what) { throw std::logic_error(what); };
  lines_.Check();
  if (Count() > capacity_) fail("count above capacity");
  std::vector<int> lengths;
  lengths.reserve(static_cast<size_t>(Count()));
  lines_.ForEachBlock([&](const Rec* recs, int n) {
    for (int i = 0; i < n; ++i) {
      bool hasTabs;
      lengths.push_back(ExpandTabs(RecText(recs[i]), tabWidth_, nullptr, hasTabs));
    }
  });
  if (!longest_.Agrees(Count(), [&](int i) { return lengths[static_cast<size_t>(i)]; }))
    fail("longest line out of date");
  lines_.ForEachBlock([&](const Rec* recs, int n) {
    for (int i = 0; i < n; ++i) {
      const Rec& r = recs[i];
      if (r.length < 0 || (r.length > 0 && !r.text)) fail("bad text record");
      if (r.owned && r.length == 0) fail("owned empty text");
      bool unknown = (r.flags & kExpandedLengthUnknown) != 0;
      if (!unknown && (r.flags & (kHasTabs | kHasNoTabs))) {
        bool hasTabs;
        int len = ExpandTabs(RecText(r), tabWidth_, nullptr, hasTabs);
        if (len != r.expandedLength) fail("stale expanded length");
        if (hasTabs != ((r.flags & kHasTabs) != 0)) fail("stale tab flags");
      }
    }
  });
}

std::string TSynEditStringList::Text() const {
  size_t size = 0;
  lines_.ForEachBlock([&](const Rec* r, int n) {
    for (int i = 0; i < n; ++i) size += static_cast<size_t>(r[i].length) + 2;
  });
  std::string s;
  s.reserve(size);
  lines_.ForEachBlock([&](const Rec* r, int n) {
    for (int i = 0; i < n; ++i) {
      s.append(RecText(r[i]));
      s.append("\r\n");
    }
  });
  return s;
}

void TSynEditStringList::SetText(std::string_view value) {
  auto update = Updating();
  Clear();
  size_t nul = value.find('\0');
  if (nul != std::string_view::npos) value = value.substr(0, nul);
  size_t p = 0;
  while (p < value.size()) {
    size_t e = p;
    while (e < value.size() && value[e] != '\r' && value[e] != '\n') ++e;
    Add(std::string(value.substr(p, e - p)));
    if (e < value.size() && value[e] == '\r') ++e;
    if (e < value.size() && value[e] == '\n') ++e;
    p = e;
  }
}

void TSynEditStringList::LoadFromArena(std::unique_ptr<char[]> arena, size_t size) {
  const char* data = arena.get();
  // Everything that can fail comes before the old lines are cleared: the
  // limits are checked and the record array is allocated first, so a load
  // that fails leaves the document (and the editor's undo history) intact.
  size_t lines = 0, longest = 0;
  // The next CR and LF are each searched for only once they are passed, so
  // a file of one kind of line end is not rescanned for the other.
  auto next = [&](char c, size_t from) {
    const char* q = static_cast<const char*>(std::memchr(data + from, c, size - from));
    return q ? static_cast<size_t>(q - data) : size;
  };
  size_t nextCr = size > 0 ? next('\r', 0) : 0, nextLf = size > 0 ? next('\n', 0) : 0;
  for (size_t p = 0; p < size;) {
    if (nextCr < p) nextCr = next('\r', p);
    if (nextLf < p) nextLf = next('\n', p);
    size_t e = std::min(nextCr, nextLf);
    longest = std::max(longest, e - p);
    ++lines;
    if (e < size && data[e] == '\r') ++e;
    if (e < size && data[e] == '\n') ++e;
    p = e;
  }
  bool extraLine =
      !terminateLastLine_ && size > 0 && (data[size - 1] == '\r' || data[size - 1] == '\n');
  if (lines + extraLine > std::min(loadLimits_.MaxLines, static_cast<size_t>(INT32_MAX - 1)))
    throw EReadError("Too many lines to load");
  if (longest > std::min(loadLimits_.MaxLineLength, static_cast<size_t>(INT32_MAX)))
    throw EReadError("Line too long to load");
  size_t records = lines + extraLine;
  TLineArray<Rec> fresh;
  fresh.ReserveBack(static_cast<int>(records));
  std::vector<std::unique_ptr<char[]>> arenas;
  if (size > 0) arenas.push_back(std::move(arena));

  auto update = Updating();
  Clear();
  // Nothing below allocates: the new records and text are already in place.
  lines_.Swap(fresh);
  capacity_ = static_cast<int>(records);
  arenas_.swap(arenas);
  lastArenaSize_ = size;
  bool sawCR = false, sawLF = false;
  size_t p = 0;
  while (p < size) {
    size_t e = p;
    while (e < size && data[e] != '\r' && data[e] != '\n') ++e;
    auto lineUpdate = Updating();
    int index = Count();
    lines_.PushBack(Rec{e > p ? data + p : nullptr, static_cast<int32_t>(e - p), NullRange, -1,
                        kExpandedLengthUnknown, false, 0});
    if (OnLinesInserted) OnLinesInserted(this, index, 1);
    if (e < size && data[e] == '\r') {
      sawCR = true;
      ++e;
    }
    if (e < size && data[e] == '\n') {
      sawLF = true;
      ++e;
    }
    p = e;
  }
  if (extraLine) Add(std::string());
  longest_.Forget();
  if (sawCR && !sawLF)
    lineEndStyle_ = leCr;
  else if (sawLF && !sawCR)
    lineEndStyle_ = leLf;
  else
    lineEndStyle_ = leCrLf;
}

void TSynEditStringList::LoadFromBytes(std::string_view data) {
  std::unique_ptr<char[]> arena(new char[data.size() ? data.size() : 1]);
  if (!data.empty()) std::memcpy(arena.get(), data.data(), data.size());
  LoadFromArena(std::move(arena), data.size());
}

void TSynEditStringList::LoadFromFile(const std::string& fileName) {
  std::string reason;
  int fd = OpenRegularFile(fileName, reason);
  if (fd < 0) throw EFOpenError("Cannot open file \"" + fileName + "\". " + reason);
  struct FdCloser {
    int fd;
    ~FdCloser() { ::close(fd); }
  } closer{fd};
  auto readError = [&](const std::string& why) {
    return EReadError("Cannot read file \"" + fileName + "\". " + why);
  };
  std::unique_ptr<char[]> arena;
  size_t size = 0;
  try {
    struct stat st;
    if (fstat(fd, &st) != 0) throw readError(SysErrorMessage(errno));
    // The whole file is read before the buffer is touched, so a failed read
    // leaves the old lines in place.
    size_t capacity = st.st_size > 0 ? static_cast<size_t>(st.st_size) : 0;
    arena.reset(new char[capacity ? capacity : 1]);
    for (;;) {
      if (size == capacity) {
        // The file grew while reading, or reports no size (/proc): read on,
        // within a bound for the latter, as some of them never end.
        if (st.st_size <= 0 && size >= kMaxUnsizedFileBytes) throw readError(kFileTooLarge);
        size_t bigger = capacity ? capacity * 2 : 65536;
        std::unique_ptr<char[]> next(new char[bigger]);
        if (size) std::memcpy(next.get(), arena.get(), size);
        arena = std::move(next);
        capacity = bigger;
      }
      ssize_t n = ::read(fd, arena.get() + size, capacity - size);
      if (n < 0) {
        if (errno == EINTR) continue;
        throw readError(SysErrorMessage(errno));
      }
      if (n == 0) break;
      size += static_cast<size_t>(n);
    }
  } catch (const std::bad_alloc&) {
    throw readError(SysErrorMessage(ENOMEM));
  }
  try {
    LoadFromArena(std::move(arena), size);
  } catch (const EReadError& e) {
    throw readError(e.what());
  } catch (const std::bad_alloc&) {
    throw readError(SysErrorMessage(ENOMEM));
  }
}

void TSynEditStringList::LoadFromStream(std::istream& stream) {
  stream.seekg(0, std::ios::end);
  std::streamoff end = stream.tellg();
  stream.seekg(0, std::ios::beg);
  if (!stream || end < 0) throw EReadError("Stream read error");
  size_t size = static_cast<size_t>(end);
  std::unique_ptr<char[]> arena(new char[size ? size : 1]);
  if (size && !stream.read(arena.get(), static_cast<std::streamsize>(size)))
    throw EReadError("Stream read error");
  LoadFromArena(std::move(arena), size);
}

namespace {

std::string_view LineEndBytes(TSynLineEndStyle style) {
  switch (style) {
    case leLf:
      return "\n";
    case leCr:
      return "\r";
    default:
      return "\r\n";
  }
}

}  // namespace

void TSynEditStringList::SaveToFile(const std::string& fileName) {
  SaveFileSafely(fileName, [this](TSynEditFileWriter& writer) {
    writer.SetLineEndStyle(lineEndStyle_);
    int index = 0, count = Count();
    lines_.ForEachBlock([&](const Rec* r, int n) {
      for (int i = 0; i < n; ++i, ++index) {
        if (index < count - 1 || terminateLastLine_)
          writer.WriteLine(RecText(r[i]));
        else
          writer.WriteText(RecText(r[i]));
      }
    });
  });
}

void TSynEditStringList::SaveToStream(std::ostream& stream) {
  std::string_view le = LineEndBytes(lineEndStyle_);
  size_t size = 0;
  int count = Count();
  lines_.ForEachBlock([&](const Rec* r, int n) {
    for (int i = 0; i < n; ++i) size += static_cast<size_t>(r[i].length) + le.size();
  });
  if (!terminateLastLine_ && count > 0) size -= le.size();
  std::string image;
  image.reserve(size);
  int index = 0;
  lines_.ForEachBlock([&](const Rec* r, int n) {
    for (int i = 0; i < n; ++i, ++index) {
      image.append(RecText(r[i]));
      if (index < count - 1 || terminateLastLine_) image.append(le);
    }
  });
  if (!stream.write(image.data(), static_cast<std::streamsize>(image.size())))
    throw EWriteError("Stream write error");
}

TSynEditFileWriter::TSynEditFileWriter(const std::string& fileName, const std::string& shownName)
    : fileName_(shownName.empty() ? fileName : shownName), buffer_(16384) {
  fd_ = ::open(fileName.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd_ < 0) {
    int err = errno;
    throw EFCreateError("Cannot create file \"" + fileName_ + "\". " + SysErrorMessage(err));
  }
}

TSynEditFileWriter::TSynEditFileWriter(int fd, const std::string& shownName)
    : fileName_(shownName), fd_(fd), buffer_(16384) {}

void TSynEditFileWriter::TruncateHere() {
  Flush();
  if (::ftruncate(fd_, static_cast<off_t>(written_)) != 0) {
    int err = errno;
    throw EWriteError("Cannot write file \"" + fileName_ + "\". " + SysErrorMessage(err));
  }
}

TSynEditFileWriter::~TSynEditFileWriter() {
  if (fd_ < 0) return;
  try {
    Flush();
  } catch (...) {
    // The destructor cannot report; Close() is the checked path.
  }
  ::close(fd_);
}

void TSynEditFileWriter::Append(std::string_view s, bool lineEnd) {
  std::string_view le = lineEnd ? LineEndBytes(lineEndStyle_) : std::string_view();
  size_t m = s.size() + le.size();
  if (filePos_ + m <= buffer_.size()) {
    // The common case: the line fits in what is left of the buffer.
    char* out = buffer_.data() + filePos_;
    if (!s.empty()) std::memcpy(out, s.data(), s.size());
    if (!le.empty()) std::memcpy(out + s.size(), le.data(), le.size());
    filePos_ += m;
    return;
  }
  while (filePos_ + m > buffer_.size()) {
    Flush();
    if (buffer_.size() < m) buffer_.resize(m);
  }
  if (!s.empty()) std::memcpy(buffer_.data() + filePos_, s.data(), s.size());
  if (!le.empty()) std::memcpy(buffer_.data() + filePos_ + s.size(), le.data(), le.size());
  filePos_ += m;
}

void TSynEditFileWriter::WriteText(std::string_view s) { Append(s, false); }
void TSynEditFileWriter::WriteLine(std::string_view s) { Append(s, true); }

void TSynEditFileWriter::Flush() {
  size_t done = 0;
  while (done < filePos_) {
    ssize_t n = ::write(fd_, buffer_.data() + done, filePos_ - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      int err = errno;
      // Keep the unwritten rest out of a later flush.
      filePos_ = 0;
      throw EWriteError("Cannot write file \"" + fileName_ + "\". " + SysErrorMessage(err));
    }
    done += static_cast<size_t>(n);
    written_ += static_cast<size_t>(n);
  }
  filePos_ = 0;
}

void TSynEditFileWriter::Close() {
  if (fd_ < 0) return;
  Flush();
  int fd = fd_;
  fd_ = -1;
  bool synced = ::fsync(fd) == 0;
  int err = errno;
  bool closed = ::close(fd) == 0;
  if (!closed) err = errno;
  if (!synced || !closed)
    throw EWriteError("Cannot write file \"" + fileName_ + "\". " + SysErrorMessage(err));
}

}  // namespace ludra
