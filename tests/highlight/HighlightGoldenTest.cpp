// The PAWN-like sample under data/ against its expected token listing, and
// the same listing reached by scanning line by line, in any order, and after
// edits that keep the stored end-of-line states up to date.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "highlight/HighlightTestUtil.h"
#include "highlight/SynHighlighterCpp.h"

using namespace ludra;
using namespace ludra::test;

namespace {

std::filesystem::path DataDir() { return std::filesystem::path(__FILE__).parent_path() / "data"; }

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

// Lines of an LF-ended file.
std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t from = 0;
  while (from < text.size()) {
    size_t eol = text.find('\n', from);
    if (eol == std::string::npos) eol = text.size();
    lines.push_back(text.substr(from, eol - from));
    from = eol + 1;
  }
  return lines;
}

std::vector<std::string> SampleLines() { return SplitLines(ReadFile(DataDir() / "sample.pwn")); }

// Lines with their stored end states, kept current the way the editor keeps
// them: after a change, rescan from the changed line until a stored state
// stops changing.
class StateDoc {
 public:
  StateDoc(TSynCustomHighlighter& hl, std::vector<std::string> lines)
      : hl_(hl), lines_(std::move(lines)), states_(lines_.size(), NullRange) {
    hl_.ResetRangeState();
    for (size_t i = 0; i < lines_.size(); ++i) {
      hl_.StartLine(lines_[i], static_cast<int>(i));
      hl_.ScanToLineEnd();
      states_[i] = hl_.GetRangeState();
    }
  }

  void Insert(int index, const std::vector<std::string>& lines) {
    lines_.insert(lines_.begin() + index, lines.begin(), lines.end());
    states_.insert(states_.begin() + index, lines.size(), NullRange);
    int last = ScanFrom(index);
    while (last + 1 < index + static_cast<int>(lines.size())) last = ScanFrom(last + 1);
  }
  void Delete(int index, int count) {
    lines_.erase(lines_.begin() + index, lines_.begin() + index + count);
    states_.erase(states_.begin() + index, states_.begin() + index + count);
    if (!lines_.empty()) ScanFrom(index);
  }
  void Change(int index, const std::string& text) {
    lines_[static_cast<size_t>(index)] = text;
    ScanFrom(index);
  }

  int Count() const { return static_cast<int>(lines_.size()); }
  const std::vector<std::string>& Lines() const { return lines_; }
  const std::vector<TSynRange>& States() const { return states_; }
  int scanned = 0;

 private:
  int ScanFrom(int n) {
    if (n >= Count()) return n;
    if (n == 0)
      hl_.ResetRangeState();
    else
      hl_.SetRangeState(states_[static_cast<size_t>(n - 1)]);
    for (int i = n;; ++i) {
      hl_.StartLine(lines_[static_cast<size_t>(i)], i);
      hl_.ScanToLineEnd();
      ++scanned;
      TSynRange state = hl_.GetRangeState();
      if (state == states_[static_cast<size_t>(i)] || i + 1 == Count()) {
        states_[static_cast<size_t>(i)] = state;
        return i;
      }
      states_[static_cast<size_t>(i)] = state;
    }
  }

  TSynCustomHighlighter& hl_;
  std::vector<std::string> lines_;
  std::vector<TSynRange> states_;
};

// Scans each line on its own, seeded with the stored state of the line before
// (as painting does), in the given order, and lists them in document order.
std::vector<LineScan> ScanSeeded(const std::vector<std::string>& lines,
                                 const std::vector<TSynRange>& states,
                                 const std::vector<int>& order) {
  TSynCppSyn hl;
  std::vector<LineScan> scans(lines.size());
  for (int i : order) {
    if (i == 0)
      hl.ResetRangeState();
    else
      hl.SetRangeState(states[static_cast<size_t>(i - 1)]);
    scans[static_cast<size_t>(i)] = ScanLine(hl, lines[static_cast<size_t>(i)], i);
  }
  return scans;
}

std::vector<TSynRange> EndStates(const std::vector<LineScan>& scans) {
  std::vector<TSynRange> states;
  for (const auto& s : scans) states.push_back(s.endState);
  return states;
}

}  // namespace

TEST(HighlightGolden, TheSampleGivesItsExpectedListing) {
  std::vector<std::string> lines = SampleLines();
  ASSERT_GT(lines.size(), 40u);
  TSynCppSyn hl;
  std::string listing = Listing(ScanDocument(hl, lines));
  const auto golden = DataDir() / "sample.tokens";
  if (std::getenv("LUDRA_UPDATE_GOLDEN")) {
    std::ofstream(golden, std::ios::binary) << listing;
    GTEST_SKIP() << "golden listing rewritten";
  }
  std::string want = ReadFile(golden);
  ASSERT_FALSE(want.empty()) << "missing " << golden;
  EXPECT_EQ(listing, want);
}

TEST(HighlightGolden, LinesScannedAloneInAnyOrderGiveTheSameListing) {
  std::vector<std::string> lines = SampleLines();
  TSynCppSyn hl;
  std::vector<LineScan> whole = ScanDocument(hl, lines);
  std::vector<TSynRange> states = EndStates(whole);
  std::vector<int> order(lines.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
  std::mt19937 rng(7);
  for (int round = 0; round < 3; ++round) {
    EXPECT_EQ(Listing(ScanSeeded(lines, states, order)), Listing(whole)) << "round " << round;
    if (round == 0) std::reverse(order.begin(), order.end());
    if (round == 1) std::shuffle(order.begin(), order.end(), rng);
  }
}

TEST(HighlightGolden, StatesKeptAcrossEditsMatchAFreshScan) {
  const std::vector<std::string> original = SampleLines();
  const std::vector<std::string> pieces = {"/*", "*/", "\"",      "\\", "#define X \\", "//",   "'",
                                           "x",  " ",  "/* a */", "#",  "0x1F",         "\"a\\"};
  TSynCppSyn hl;
  StateDoc doc(hl, original);
  std::mt19937 rng(12345);
  auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  for (int step = 0; step < 400; ++step) {
    int what = pick(4);
    if (doc.Count() == 0) what = 0;
    if (what == 0) {
      doc.Insert(pick(doc.Count() + 1), {pieces[pick(static_cast<int>(pieces.size()))],
                                         original[pick(static_cast<int>(original.size()))]});
    } else if (what == 1) {
      int at = pick(doc.Count());
      doc.Delete(at, std::min(1 + pick(2), doc.Count() - at));
    } else {
      int at = pick(doc.Count());
      std::string line = doc.Lines()[static_cast<size_t>(at)];
      if (what == 2 || line.empty())
        line.insert(static_cast<size_t>(pick(static_cast<int>(line.size()) + 1)),
                    pieces[pick(static_cast<int>(pieces.size()))]);
      else
        line.erase(static_cast<size_t>(pick(static_cast<int>(line.size()))), 1 + pick(3));
      doc.Change(at, line);
    }
    TSynCppSyn fresh;
    ASSERT_EQ(doc.States(), EndStates(ScanDocument(fresh, doc.Lines()))) << "after step " << step;
  }
}

TEST(HighlightGolden, UndoingAnEditRestoresTheListing) {
  const std::vector<std::string> original = SampleLines();
  TSynCppSyn hl;
  std::string golden = Listing(ScanDocument(hl, original));
  StateDoc doc(hl, original);
  doc.Insert(7, {"/* opened"});
  doc.Change(22, "\"\\");  // a string continued onto the next line
  EXPECT_EQ(doc.States()[7], rsInComment);
  EXPECT_EQ(doc.States()[22], rsStringContinues);
  doc.Change(22, original[21]);
  doc.Delete(7, 1);
  std::vector<int> order(original.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
  EXPECT_EQ(doc.Lines(), original);
  EXPECT_EQ(Listing(ScanSeeded(doc.Lines(), doc.States(), order)), golden);
}

TEST(HighlightRescan, OnlyLinesWhoseEndStateChangesAreRescanned) {
  std::vector<std::string> lines(1000, "x = y + 1; // note");
  TSynCppSyn hl;

  StateDoc doc(hl, lines);
  doc.Change(9, "/* x = y + 1;");  // line 10 opens a comment: every later end state changes
  EXPECT_EQ(doc.scanned, 991);
  EXPECT_EQ(doc.States().back(), rsInComment);

  StateDoc typing(hl, lines);
  typing.Change(499, "x = y + 1; // notes");  // inside a line comment: only that line
  EXPECT_EQ(typing.scanned, 1);

  // Deleting the line that closes a block comment rescans until the states agree.
  std::vector<std::string> block = lines;
  block[100] = "/* start";
  block[105] = "end */";
  StateDoc closing(hl, block);
  closing.Delete(105, 1);
  EXPECT_EQ(closing.scanned, 999 - 105);
  EXPECT_EQ(closing.States().back(), rsInComment);

  std::vector<std::string> twoComments = lines;
  twoComments[100] = "/* start";
  twoComments[105] = "end */";
  twoComments[200] = "/* again";
  twoComments[210] = "done */";
  StateDoc agree(hl, twoComments);
  // Now open until the line that opened the later comment, whose end state
  // was already "in comment".
  agree.Delete(105, 1);
  EXPECT_EQ(agree.scanned, 199 - 105 + 1);
  EXPECT_EQ(agree.States()[198], rsInComment);
  EXPECT_EQ(agree.States()[209], rsNone);
}
