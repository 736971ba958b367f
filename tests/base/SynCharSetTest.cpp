#include <gtest/gtest.h>

#include <bitset>
#include <random>
#include <vector>

#include "base/SynCharSet.h"

using namespace ludra;

namespace {

using TModel = std::bitset<256>;

void ExpectSame(const TSynCharSet& set, const TModel& model) {
  for (int c = 0; c < 256; ++c) ASSERT_EQ(set.Contains(c), model.test(c)) << c;
  ASSERT_EQ(set.Count(), static_cast<int>(model.count()));
  ASSERT_EQ(set.Empty(), model.none());
  std::vector<int> members;
  set.ForEach([&](unsigned char c) { members.push_back(c); });
  ASSERT_EQ(members.size(), model.count());
  for (size_t i = 0; i < members.size(); ++i) {
    ASSERT_TRUE(model.test(members[i]));
    if (i > 0) {
      ASSERT_LT(members[i - 1], members[i]);
    }
  }
}

}  // namespace

// Random edits and combinations agree with a plain bit array, including the
// members at the word edges (63/64, 127/128, 191/192, 255).
TEST(SynCharSetTest, RandomOperationsAgreeWithABitArray) {
  std::mt19937 rng(16);
  std::uniform_int_distribution<int> byte(0, 255), op(0, 9);
  const int edges[] = {0, 63, 64, 127, 128, 191, 192, 255};
  TSynCharSet a, b;
  TModel ma, mb;
  for (int step = 0; step < 4000; ++step) {
    int c = step % 3 == 0 ? edges[byte(rng) % 8] : byte(rng);
    int d = byte(rng);
    switch (op(rng)) {
      case 0:
        a.Include(c), ma.set(c);
        break;
      case 1:
        a.Exclude(c), ma.reset(c);
        break;
      case 2:
        b.Include(c), mb.set(c);
        break;
      case 3: {
        int lo = std::min(c, d), hi = std::max(c, d);
        b.IncludeRange(lo, hi);
        for (int k = lo; k <= hi; ++k) mb.set(k);
        break;
      }
      case 4:
        a |= b, ma |= mb;
        break;
      case 5:
        a = a & ~b, ma &= ~mb;
        break;
      case 6:
        a -= SynCharRange(c, c), ma.reset(c);
        break;
      case 7:
        b = ~b, mb.flip();
        break;
      case 8:
        ASSERT_EQ(a.Intersects(b), (ma & mb).any());
        ASSERT_EQ(a == b, ma == mb);
        break;
      default:
        if (step % 50 == 0) b.Clear(), mb.reset();
        break;
    }
    ExpectSame(a, ma);
    ExpectSame(b, mb);
  }
}

TEST(SynCharSetTest, BuildersAndWholeSets) {
  constexpr TSynCharSet digits = SynCharRange('0', '9');
  static_assert(digits.Count() == 10 && digits.Contains('5') && !digits.Contains('a'));
  EXPECT_EQ(SynCharSet("0123456789"), digits);
  EXPECT_EQ(SynCharSet(""), TSynCharSet());
  EXPECT_TRUE(SynCharRange(9, 3).Empty());  // a reversed range adds nothing
  EXPECT_EQ(SynCharRange(0, 255).Count(), 256);
  EXPECT_EQ(TSynCharSet().IncludeAll(), SynCharRange(0, 255));
  EXPECT_EQ(~TSynCharSet(), SynCharRange(0, 255));
  EXPECT_EQ(SynCharRange(0, 255) - digits, ~digits);
  // Bytes above 127 come in as the same set members whether given signed or not.
  EXPECT_TRUE(SynCharSet("\xE9").Contains(0xE9));
  EXPECT_TRUE(SynCharSet("\xFF")[255]);
}
