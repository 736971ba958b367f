#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "base/SynExceptions.h"
#include "buffer/SynEditTextBuffer.h"

using namespace ludra;
namespace fs = std::filesystem;

namespace {

// Records every notice of a buffer as a line of text, in order.
struct NoticeLog {
  std::vector<std::string> events;
  explicit NoticeLog(TSynEditStringList& b) {
    b.OnChanging = [this](TSynEditStringList*) { events.push_back("changing"); };
    b.OnChange = [this](TSynEditStringList*) { events.push_back("change"); };
    b.OnCleared = [this](TSynEditStringList*) { events.push_back("cleared"); };
    b.OnLinesInserted = [this](TSynEditStringList*, int i, int n) {
      events.push_back("inserted " + std::to_string(i) + " " + std::to_string(n));
    };
    b.OnLinesDeleted = [this](TSynEditStringList*, int i, int n) {
      events.push_back("deleted " + std::to_string(i) + " " + std::to_string(n));
    };
    b.OnLineChanged = [this](TSynEditStringList*, int i, int n) {
      events.push_back("changed " + std::to_string(i) + " " + std::to_string(n));
    };
  }
  using V = std::vector<std::string>;
};

void Fill(TSynEditStringList& b, int n) {
  for (int i = 0; i < n; ++i) b.Add("line " + std::to_string(i));
}

std::vector<std::string> Lines(const TSynEditStringList& b) {
  std::vector<std::string> v;
  for (int i = 0; i < b.Count(); ++i) v.push_back(b.Get(i));
  return v;
}

// A temporary directory removed with everything in it.
struct TempDir {
  fs::path path;
  TempDir() {
    std::string t = (fs::temp_directory_path() / "ludra-buffer-XXXXXX").string();
    path = mkdtemp(t.data());
  }
  ~TempDir() {
    std::error_code ec;
    fs::permissions(path, fs::perms::owner_all, ec);
    fs::remove_all(path, ec);
  }
  std::string File(const std::string& name) const { return (path / name).string(); }
};

std::string ReadFile(const std::string& name) {
  std::ifstream f(name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), {});
}

void WriteFile(const std::string& name, const std::string& bytes) {
  std::ofstream f(name, std::ios::binary);
  f << bytes;
}

std::string MessageOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const Exception& e) {
    return e.what();
  }
  return "(no error)";
}

}  // namespace

TEST(LineBufferNotices, EachCallBracketsItsChangeAndLineNotice) {
  TSynEditStringList b;
  NoticeLog log(b);
  b.Add("a");
  b.Insert(0, "b");
  b.Put(1, "c");
  b.Delete(0);
  EXPECT_EQ(log.events, (NoticeLog::V{"changing", "inserted 0 1", "change", "changing", "inserted 0 1",
                                      "change", "changing", "changed 1 1", "change", "changing",
                                      "deleted 0 1", "change"}));
}

TEST(LineBufferNotices, OuterBracketGivesOneChangingAndOneChange) {
  TSynEditStringList b;
  NoticeLog log(b);
  b.BeginUpdate();
  b.Add("a");
  b.Add("b");
  b.SetLineRange(0, 5);
  b.PutObject(1, 7);
  b.EndUpdate();
  EXPECT_EQ(log.events, (NoticeLog::V{"changing", "inserted 0 1", "inserted 1 1", "change"}));
}

TEST(LineBufferNotices, DeleteLinesBracketsOnlyTheMoveAndNotifiesAfterIt) {
  TSynEditStringList b;
  Fill(b, 5);
  NoticeLog log(b);
  b.DeleteLines(1, 2);
  EXPECT_EQ(log.events, (NoticeLog::V{"changing", "change", "deleted 1 2"}));
  log.events.clear();
  b.DeleteLines(2, 10);  // the last line: nothing follows, so no bracket
  EXPECT_EQ(log.events, (NoticeLog::V{"deleted 2 1"}));
  log.events.clear();
  b.DeleteLines(2, 1);  // index == Count deletes nothing
  b.DeleteLines(0, 0);
  EXPECT_TRUE(log.events.empty());
  EXPECT_EQ(Lines(b), (std::vector<std::string>{"line 0", "line 3"}));
}

TEST(LineBufferNotices, ClearNotifiesOnlyWhenThereWereLines) {
  TSynEditStringList b;
  NoticeLog log(b);
  b.Clear();
  EXPECT_TRUE(log.events.empty());
  Fill(b, 2);
  log.events.clear();
  b.Clear();
  EXPECT_EQ(log.events, (NoticeLog::V{"changing", "cleared", "change"}));
  EXPECT_EQ(b.Capacity(), 0);
}

TEST(LineBufferNotices, InsertLinesAndAddStringsRaiseOneNotice) {
  TSynEditStringList b;
  Fill(b, 2);
  NoticeLog log(b);
  b.InsertLines(1, 3);
  TStringList src{"x", "y"};
  src.PutObject(1, 42);
  b.AddStrings(src);
  b.AddStrings(TStringList{});
  EXPECT_EQ(log.events, (NoticeLog::V{"changing", "inserted 1 3", "change", "changing", "inserted 5 2",
                                      "change"}));
  EXPECT_EQ(b.GetObject(6), 42);
  EXPECT_EQ(b.Count(), 7);
}

TEST(LineBufferNotices, LineNoticesSeeTheNewState) {
  TSynEditStringList b;
  Fill(b, 3);
  std::string seen;
  b.OnLineChanged = [&](TSynEditStringList* s, int i, int) { seen = s->Get(i); };
  b.OnLinesDeleted = [&](TSynEditStringList* s, int, int) { seen = std::to_string(s->Count()); };
  b.Put(1, "new");
  EXPECT_EQ(seen, "new");
  b.DeleteLines(0, 2);
  EXPECT_EQ(seen, "1");
}

TEST(LineBufferIndices, InvalidIndicesRaiseBeforeAnythingChanges) {
  TSynEditStringList b;
  Fill(b, 5);
  NoticeLog log(b);
  struct Case {
    std::function<void()> call;
    const char* message;
  } cases[] = {
      {[&] { b.Put(6, "s"); }, "Invalid stringlist index 6"},
      {[&] { b.Put(-1, "s"); }, "Invalid stringlist index -1"},
      {[&] { b.Insert(6, "s"); }, "Invalid stringlist index 6"},
      {[&] { b.Delete(5); }, "Invalid stringlist index 5"},
      {[&] { b.InsertLines(7, 1); }, "Invalid stringlist index 7"},
      {[&] { b.DeleteLines(6, 1); }, "Invalid stringlist index 6"},
      {[&] { b.Exchange(0, 9); }, "Invalid stringlist index 9"},
      {[&] { b.Exchange(-2, 9); }, "Invalid stringlist index -2"},
      {[&] { b.PutObject(5, 1); }, "Invalid stringlist index 5"},
      {[&] { b.SetLineRange(-1, 1); }, "Invalid stringlist index -1"},
  };
  for (const auto& c : cases) EXPECT_EQ(MessageOf(c.call), c.message);
  EXPECT_TRUE(log.events.empty());
  EXPECT_EQ(b.Count(), 5);
  // Reads outside the lines are harmless.
  EXPECT_EQ(b.Get(-1), "");
  EXPECT_EQ(b.Get(5), "");
  EXPECT_EQ(b.LineRange(5), 0);
  EXPECT_EQ(b.GetObject(-1), 0);
  EXPECT_EQ(b.ExpandedLine(5), "");
  EXPECT_EQ(b.ExpandedLineLength(-1), 0);
}

TEST(LineBufferIndices, PutAtCountAppends) {
  TSynEditStringList b;
  b.Put(0, "first");
  Fill(b, 4);
  b.Put(5, "sixth");
  EXPECT_EQ(b.Count(), 6);
  EXPECT_EQ(b.Get(5), "sixth");
}

TEST(LineBufferRecords, NewLinesDifferByHowTheyWereMade) {
  TSynEditStringList b;
  b.Add("a");
  b.InsertLines(1, 1);
  EXPECT_EQ(b.LineRange(0), NullRange);
  EXPECT_EQ(b.CachedExpandedLength(0), -1);
  EXPECT_EQ(b.LineFlags(0), TSynEditStringFlags{lfExpandedLengthUnknown});
  EXPECT_EQ(b.LineRange(1), 0);
  EXPECT_EQ(b.CachedExpandedLength(1), 0);
  EXPECT_TRUE(b.LineFlags(1).Empty());
  EXPECT_EQ(b.Get(1), "");
}

TEST(LineBufferRecords, PutKeepsRangeAndObjectButForgetsTheCache) {
  TSynEditStringList b;
  b.Add("a\tb");
  b.SetLineRange(0, 3);
  b.PutObject(0, 9);
  EXPECT_EQ(b.ExpandedLineLength(0), 9);
  b.Put(0, "xyz");
  EXPECT_EQ(b.LineRange(0), 3);
  EXPECT_EQ(b.GetObject(0), 9);
  EXPECT_EQ(b.LineFlags(0), TSynEditStringFlags{lfExpandedLengthUnknown});
  EXPECT_EQ(b.ExpandedLineLength(0), 3);
}

TEST(LineBufferRecords, ExchangeSwapsWholeRecordsAndMovesTheLongestLineCache) {
  TSynEditStringList b;
  b.Add("short");
  b.Add("the longest line");
  b.SetLineRange(1, 4);
  EXPECT_EQ(b.LongestLineLength(), 16);
  EXPECT_EQ(b.LongestLineIndexCache(), 1);
  b.Exchange(0, 1);
  EXPECT_EQ(b.Get(0), "the longest line");
  EXPECT_EQ(b.LineRange(0), 4);
  EXPECT_EQ(b.LongestLineIndexCache(), 0);
  b.Check();
}

TEST(LineBufferCapacity, GrowsBySixteenThenByAQuarter) {
  TSynEditStringList b;
  std::vector<int> capacities;
  for (int i = 0; i < 100; ++i) {
    b.Add("x");
    if (capacities.empty() || capacities.back() != b.Capacity()) capacities.push_back(b.Capacity());
  }
  EXPECT_EQ(capacities, (std::vector<int>{16, 32, 48, 64, 80, 100}));
  b.InsertLines(0, 3);
  EXPECT_EQ(b.Capacity(), 103);
  b.AddStrings(TStringList{"a"});
  EXPECT_EQ(b.Capacity(), 112);  // next multiple of 16
}

TEST(LineBufferCapacity, CannotShrinkBelowCount) {
  TSynEditStringList b;
  Fill(b, 20);
  EXPECT_EQ(MessageOf([&] { b.SetCapacity(19); }), "Stringlist capacity cannot be smaller than count");
  EXPECT_THROW(b.SetCapacity(19), EListError);
  b.SetCapacity(20);
  EXPECT_EQ(b.Capacity(), 20);
  EXPECT_EQ(b.Get(19), "line 19");
}

TEST(LineBufferTabs, ExpansionKeepsTabBytesAsFiller) {
  struct Case {
    int tabWidth;
    const char* line;
    const char* expanded;
  } cases[] = {
      {4, "\tab", "\t\t\t\tab"}, {4, "x\ty", "x\t\t\ty"},   {1, "\tab", " ab"},
      {0, "\tab", " ab"},        {3, "ab\t\tc", "ab\t\t\t\tc"}, {8, "abc", "abc"},
      {5, "", ""},               {6, "abcdef\t", "abcdef\t\t\t\t\t\t"},
  };
  for (const auto& c : cases) {
    TSynEditStringList b;
    b.SetTabWidth(c.tabWidth);
    b.Add(c.line);
    EXPECT_EQ(b.ExpandedLine(0), c.expanded) << c.line << " tab width " << c.tabWidth;
    EXPECT_EQ(b.ExpandedLineLength(0), static_cast<int>(std::string(c.expanded).size()));
    b.Check();
  }
}

TEST(LineBufferTabs, CacheFlagsFollowTheLastExpansion) {
  TSynEditStringList b;
  b.SetTabWidth(4);
  b.Add("a\tb");
  b.Add("plain");
  b.Add("");
  EXPECT_EQ(b.ExpandedLineLength(0), 5);
  EXPECT_EQ(b.LineFlags(0), TSynEditStringFlags{lfHasTabs});
  b.ExpandedLine(1);
  EXPECT_EQ(b.LineFlags(1), TSynEditStringFlags{lfHasNoTabs});
  b.ExpandedLine(2);
  EXPECT_EQ(b.LineFlags(2), TSynEditStringFlags{lfHasNoTabs});
  EXPECT_EQ(b.CachedExpandedLength(2), 0);
  // A new tab width invalidates every cached length but keeps "has tabs".
  b.SetTabWidth(8);
  EXPECT_EQ(b.LineFlags(0), (TSynEditStringFlags{lfHasTabs, lfExpandedLengthUnknown}));
  EXPECT_EQ(b.LineFlags(1), TSynEditStringFlags{lfExpandedLengthUnknown});
  EXPECT_EQ(b.CachedExpandedLength(1), -1);
  EXPECT_EQ(b.ExpandedLineLength(0), 9);
  b.Check();
}

TEST(LineBufferLongestLine, FirstOfEqualLinesWinsAndEmptyBuffersAreRescanned) {
  TSynEditStringList b;
  b.SetTabWidth(4);
  b.Add("abc");
  b.Add("\tx");   // 5
  b.Add("abcde");  // 5 as well
  EXPECT_EQ(b.LongestLineLength(), 5);
  EXPECT_EQ(b.LongestLineIndexCache(), 1);
  b.Put(0, "abcdefgh");  // the kept longest line follows the edit
  EXPECT_EQ(b.LongestLineIndexCache(), 0);
  EXPECT_EQ(b.LongestLineLength(), 8);
  EXPECT_EQ(b.LongestLineIndexCache(), 0);
  b.Delete(0);
  EXPECT_EQ(b.LongestLineLength(), 5);

  TSynEditStringList empty;
  empty.Add("");
  empty.Add("");
  EXPECT_EQ(empty.LongestLineLength(), 0);
  EXPECT_EQ(empty.LongestLineIndexCache(), -1);
}

TEST(LineBufferLongestLine, FollowsEditsAndFallsBackToTheSecondLongest) {
  TSynEditStringList b;
  for (const char* s : {"ab", "abcdef", "abcd", "a"}) b.Add(s);
  EXPECT_EQ(b.LongestLineLength(), 6);
  b.Put(1, "x");  // shorter than the second longest: that one takes over
  EXPECT_EQ(b.LongestLineIndexCache(), 2);
  b.Insert(0, "abcdefghij");
  EXPECT_EQ(b.LongestLineIndexCache(), 0);
  b.Exchange(0, 4);
  EXPECT_EQ(b.LongestLineIndexCache(), 4);
  b.DeleteLines(3, 2);  // the longest and the second go: not known until asked
  EXPECT_EQ(b.LongestLineIndexCache(), -1);
  EXPECT_EQ(b.LongestLineLength(), 2);
  b.Check();
}

TEST(LineBufferText, ReadsWithCrLfAndSplitsAtEveryLineEnd) {
  TSynEditStringList b;
  b.SetLineEndStyle(leLf);
  b.SetText("a\r\nb\rc\nd\n\re");
  EXPECT_EQ(Lines(b), (std::vector<std::string>{"a", "b", "c", "d", "", "e"}));
  EXPECT_EQ(b.LineEndStyle(), leLf);  // writing Text does not change the style
  b.SetText(std::string("x\ny\0z", 5));
  EXPECT_EQ(Lines(b), (std::vector<std::string>{"x", "y"}));
  EXPECT_EQ(b.Text(), "x\r\ny\r\n");
  b.SetText("");
  EXPECT_EQ(b.Count(), 0);
  EXPECT_EQ(b.Text(), "");
  b.SetText("one\r\n");
  EXPECT_EQ(b.Count(), 1);
}

TEST(LineBufferFiles, LineEndsAreDetectedAndKept) {
  struct Case {
    std::string in;
    std::vector<std::string> lines;
    TSynLineEndStyle style;
    std::string saved;
  } cases[] = {
      {"a\r\nb\r\n", {"a", "b"}, leCrLf, "a\r\nb\r\n"},
      {"a\nb", {"a", "b"}, leLf, "a\nb\n"},
      {"a\rb\r", {"a", "b"}, leCr, "a\rb\r"},
      {"a\n\rb", {"a", "", "b"}, leCrLf, "a\r\n\r\nb\r\n"},
      {"", {}, leCrLf, ""},
      {"single", {"single"}, leCrLf, "single\r\n"},
      {"\n", {""}, leLf, "\n"},
      {std::string("n\0l\nx", 5), {std::string("n\0l", 3), "x"}, leLf, std::string("n\0l\nx\n", 6)},
  };
  TempDir dir;
  for (const auto& c : cases) {
    std::string name = dir.File("f.pwn");
    WriteFile(name, c.in);
    TSynEditStringList b;
    b.LoadFromFile(name);
    EXPECT_EQ(Lines(b), c.lines);
    EXPECT_EQ(b.LineEndStyle(), c.style);
    b.SaveToFile(name);
    EXPECT_EQ(ReadFile(name), c.saved);
    std::ostringstream out;
    b.SaveToStream(out);
    EXPECT_EQ(out.str(), c.saved);
    std::istringstream in(c.in);
    TSynEditStringList s;
    s.LoadFromStream(in);
    EXPECT_EQ(Lines(s), c.lines);
    b.Check();
  }
}

TEST(LineBufferFiles, UnterminatedLastLineOption) {
  TSynEditStringList b;
  b.SetTerminateLastLine(false);
  b.LoadFromBytes("a\nb\n");
  EXPECT_EQ(Lines(b), (std::vector<std::string>{"a", "b", ""}));
  std::ostringstream out;
  b.SaveToStream(out);
  EXPECT_EQ(out.str(), "a\nb\n");
}

TEST(LineBufferFiles, LoadNotifiesPerLineInsideOneBracketAndEditsAfterLoadWork) {
  TSynEditStringList b;
  Fill(b, 2);
  NoticeLog log(b);
  b.LoadFromBytes("x\ny\n");
  EXPECT_EQ(log.events, (NoticeLog::V{"changing", "cleared", "inserted 0 1", "inserted 1 1", "change"}));
  // Lines that point into the loaded block can be changed, moved and deleted.
  b.Put(0, "changed");
  b.Insert(1, "new");
  b.Delete(2);
  b.Add("tail");
  EXPECT_EQ(Lines(b), (std::vector<std::string>{"changed", "new", "tail"}));
  b.Check();
}

TEST(LineBufferFiles, AFiveMegabyteLineLoadsAndSavesIntact) {
  TempDir dir;
  std::string line(5 * 1024 * 1024, 'q');
  for (size_t i = 0; i < line.size(); i += 4099) line[i] = static_cast<char>('a' + i % 26);
  std::string name = dir.File("long.pwn");
  WriteFile(name, "start\n" + line + "\nend\n");
  TSynEditStringList b;
  b.LoadFromFile(name);
  ASSERT_EQ(b.Count(), 3);
  EXPECT_EQ(b.GetView(1), line);
  EXPECT_EQ(b.LongestLineLength(), static_cast<int>(line.size()));
  b.SaveToFile(name);
  EXPECT_EQ(ReadFile(name), "start\n" + line + "\nend\n");
}

TEST(LineBufferFiles, AFailedLoadLeavesTheOldLines) {
  TempDir dir;
  TSynEditStringList b;
  Fill(b, 3);
  EXPECT_THROW(b.LoadFromFile(dir.File("missing.pwn")), EFOpenError);
  EXPECT_THROW(b.LoadFromFile(dir.path.string()), EFOpenError);  // a directory
  // States no size and reads on through the whole address space.
  EXPECT_THROW(b.LoadFromFile("/proc/self/pagemap"), EReadError);
  EXPECT_EQ(b.Count(), 3);
  EXPECT_EQ(b.UpdateCount(), 0);
}

TEST(LineBufferSave, AWriteFailingHalfwayLeavesTheOldFileUntouched) {
  // A file-size limit makes the write fail partway, as a full disk would.
  TempDir dir;
  std::string name = dir.File("keep.pwn");
  WriteFile(name, "old contents\n");
  TSynEditStringList b;
  for (int i = 0; i < 2000; ++i) b.Add("a line of new text that will not fit");
  struct rlimit old;
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = old;
  small.rlim_cur = 20000;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  EXPECT_THROW(b.SaveToFile(name), EWriteError);
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(ReadFile(name), "old contents\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path), {}), 1);  // no temporary left
}

TEST(LineBufferSave, AFullDiskIsReported) {
  if (!fs::exists("/dev/full")) GTEST_SKIP();
  // Writing to /dev/full fails with "no space left"; the writer must say so.
  TSynEditFileWriter w("/dev/full");
  w.WriteLine("some text");
  EXPECT_THROW(w.Close(), EWriteError);
}

TEST(LineBufferSave, KeepsPermissionsAndWritesThroughSymlinks) {
  TempDir dir;
  std::string target = dir.File("real.pwn");
  std::string link = dir.File("link.pwn");
  WriteFile(target, "old\n");
  ::chmod(target.c_str(), 0640);
  fs::create_symlink("real.pwn", link);
  TSynEditStringList b;
  b.Add("new");
  b.SaveToFile(link);
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(ReadFile(target), "new\r\n");
  struct stat st;
  ASSERT_EQ(stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path), {}), 2);
}

TEST(LineBufferSave, NewFileGetsTheUsualPermissions) {
  TempDir dir;
  std::string name = dir.File("new.pwn");
  mode_t mask = umask(022);
  TSynEditStringList b;
  b.Add("x");
  b.SaveToFile(name);
  umask(mask);
  struct stat st;
  ASSERT_EQ(stat(name.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0644u);
}

TEST(FileWriter, LongLinesGrowTheBufferToFit) {
  TempDir dir;
  std::string name = dir.File("w.txt");
  {
    TSynEditFileWriter w(name);
    w.SetLineEndStyle(leCr);
    EXPECT_EQ(w.BufferSize(), 16384);
    w.WriteText("abc");
    w.WriteLine(std::string(20000, 'z'));
    EXPECT_EQ(w.BufferSize(), 20001);
    w.WriteLine("");
  }
  EXPECT_EQ(ReadFile(name), "abc" + std::string(20000, 'z') + "\r\r");
}

TEST(LineBufferRandomized, RandomEditsKeepTheRecordsConsistent) {
  std::mt19937 rng(1234);
  TSynEditStringList b;
  std::vector<std::string> model;
  b.LoadFromBytes("alpha\n\tbeta\ngamma\tdelta\n");
  model = {"alpha", "\tbeta", "gamma\tdelta"};
  auto randomText = [&] {
    std::string s;
    int n = static_cast<int>(rng() % 12);
    for (int i = 0; i < n; ++i) s += "ab\tc "[rng() % 5];
    return s;
  };
  for (int step = 0; step < 4000; ++step) {
    int count = static_cast<int>(model.size());
    switch (rng() % 9) {
      case 0: {
        std::string s = randomText();
        b.Add(s);
        model.push_back(s);
        break;
      }
      case 1: {
        int i = static_cast<int>(rng() % (count + 1));
        std::string s = randomText();
        b.Insert(i, s);
        model.insert(model.begin() + i, s);
        break;
      }
      case 2:
        if (count) {
          int i = static_cast<int>(rng() % count);
          b.Delete(i);
          model.erase(model.begin() + i);
        }
        break;
      case 3:
        if (count) {
          int i = static_cast<int>(rng() % count);
          std::string s = randomText();
          b.Put(i, s);
          model[i] = s;
        }
        break;
      case 4: {
        int i = static_cast<int>(rng() % (count + 1));
        int n = static_cast<int>(rng() % 4);
        b.InsertLines(i, n);
        model.insert(model.begin() + i, n, std::string());
        break;
      }
      case 5: {
        int i = static_cast<int>(rng() % (count + 1));
        int n = static_cast<int>(rng() % 4);
        b.DeleteLines(i, n);
        model.erase(model.begin() + i, model.begin() + std::min(count, i + n));
        break;
      }
      case 6:
        if (count) {
          int i = static_cast<int>(rng() % count), j = static_cast<int>(rng() % count);
          b.Exchange(i, j);
          std::swap(model[i], model[j]);
        }
        break;
      case 7:
        b.SetTabWidth(1 + static_cast<int>(rng() % 8));
        break;
      case 8: {
        int longest = b.LongestLineLength();
        int want = 0;
        for (int i = 0; i < count; ++i) want = std::max(want, b.ExpandedLineLength(i));
        ASSERT_EQ(longest, want);
        break;
      }
    }
    ASSERT_EQ(b.Count(), static_cast<int>(model.size()));
    ASSERT_NO_THROW(b.Check()) << "step " << step;
  }
  EXPECT_EQ(Lines(b), model);
}
