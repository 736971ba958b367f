// Resuming a line scan inside the line: from every token boundary of random
// lines, in every starting state, the tokens after the point are those of a
// scan from the line start.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "highlight/SynHighlighterCpp.h"

using namespace ludra;

namespace {

struct Tok {
  int start, kind;
  TSynRange state;  // after the token
  bool operator==(const Tok&) const = default;
};

std::vector<Tok> Rest(TSynCppSyn& hl) {
  std::vector<Tok> toks;
  while (!hl.AtLineEnd()) {
    toks.push_back({hl.TokenStart(), hl.TokenKind(), hl.GetRangeState()});
    hl.NextToken();
  }
  return toks;
}

std::string RandomLine(std::mt19937& rng, int pieces) {
  static const char* kPieces[] = {
      " ",  "\t", "#",    "#define X", "  #if",      "/*", "*/",   "//",   "\"", "\\", "'",  "'a'",
      "0x", "1e", ".5",   "..",        "1.",         "07", "name", "for",  "(",  ")",  "<<", ">>=",
      "@",  "$",  "\xE9", "e",         "\"a\\\"b\"", "x",  "0",    "9.e+", "->", "&&", "/",  "*"};
  std::string line;
  std::uniform_int_distribution<size_t> pick(0, std::size(kPieces) - 1);
  for (int i = 0; i < pieces; ++i) line += kPieces[pick(rng)];
  return line;
}

TEST(ScanPointTest, AScanResumedInsideAnyTokenGivesTheSameTokensFromThere) {
  std::mt19937 rng(14);
  const TSynRange states[] = {rsNone, rsInComment, rsInDirectiveComment, rsStringContinues,
                              rsDirectiveContinues};
  TSynCppSyn whole, resumed;
  int points = 0;
  for (int round = 0; round < 400; ++round) {
    std::string line = RandomLine(rng, 1 + round % 40);
    for (TSynRange state : states) {
      whole.SetRangeState(state);
      whole.StartLine(line, 3);
      std::vector<Tok> all;
      std::vector<std::pair<TSynScanPoint, size_t>> at;  // a point and its token's index
      while (!whole.AtLineEnd()) {
        const int start = whole.TokenStart();
        // Points at the token's start, in its middle and on its last byte.
        for (int pos : {start, start + 1, start + 3, start + 40})
          if (TSynScanPoint p; whole.GetScanPoint(pos, p)) at.push_back({p, all.size()});
        all.push_back({start, whole.TokenKind(), whole.GetRangeState()});
        whole.NextToken();
      }
      TSynScanPoint outside;
      EXPECT_FALSE(whole.GetScanPoint(0, outside));  // at the line end
      for (const auto& [p, token] : at) {
        SCOPED_TRACE(line + " @" + std::to_string(p.Position));
        resumed.SetRangeState(rsNone);  // the point carries the state
        resumed.StartLineAt(line, 3, p);
        std::vector<Tok> expected{{p.Position, all[token].kind, all[token].state}};
        expected.insert(expected.end(), all.begin() + static_cast<long>(token) + 1, all.end());
        ASSERT_EQ(Rest(resumed), expected);
        EXPECT_EQ(resumed.GetRangeState(), whole.GetRangeState());
        ++points;
      }
    }
  }
  EXPECT_GT(points, 5000);
}

TEST(ScanPointTest, PointsLieOnlyInsideTheCurrentToken) {
  TSynCppSyn hl;
  hl.StartLine("abc  // comment", 0);
  TSynScanPoint p;
  EXPECT_TRUE(hl.GetScanPoint(0, p));
  EXPECT_TRUE(hl.GetScanPoint(2, p));
  EXPECT_EQ(p.TokenEnd, 3);
  EXPECT_FALSE(hl.GetScanPoint(3, p));
  hl.NextToken();
  hl.NextToken();
  EXPECT_FALSE(hl.GetScanPoint(4, p));
  EXPECT_TRUE(hl.GetScanPoint(14, p));
  EXPECT_EQ(p.TokenEnd, 15);
  hl.StartLine("", 0);
  EXPECT_FALSE(hl.GetScanPoint(0, p));
}

}  // namespace
