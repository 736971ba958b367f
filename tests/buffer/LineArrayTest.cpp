#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "buffer/SynEditLineArray.h"
#include "buffer/SynEditTextBuffer.h"

using namespace ludra;

namespace {

template <class A>
std::vector<int> Items(const A& a) {
  std::vector<int> v;
  a.ForEachBlock([&](const int* p, int n) { v.insert(v.end(), p, p + n); });
  return v;
}

// Random inserts and erases of every size, near the last change and far from
// it, against a plain vector; the index and every record are checked after
// each step, by block walk and by random access.
template <int BlockSize>
void RandomSession(unsigned seed, int steps) {
  std::mt19937 rng(seed);
  TLineArray<int, BlockSize> a;
  std::vector<int> model;
  int next = 0, last = 0;
  auto place = [&] {
    int count = static_cast<int>(model.size());
    // Half the changes land near the previous one, like typing does.
    if (rng() % 2 && count) return std::clamp(last + static_cast<int>(rng() % 7) - 3, 0, count);
    return static_cast<int>(rng() % (count + 1));
  };
  for (int step = 0; step < steps; ++step) {
    int count = static_cast<int>(model.size());
    unsigned op = rng() % 10;
    if (op < 5) {
      int i = place();
      // Mostly single records, sometimes more than a block at once.
      int n = rng() % 8 ? 1 : static_cast<int>(rng() % (3 * BlockSize));
      int fill = next++;
      a.Insert(i, n, fill);
      model.insert(model.begin() + i, n, fill);
      last = i;
    } else if (op < 9) {
      if (!count) continue;
      int i = std::min(place(), count - 1);
      int n = std::min(count - i, rng() % 8 ? 1 : static_cast<int>(rng() % (3 * BlockSize)));
      a.Erase(i, n);
      model.erase(model.begin() + i, model.begin() + i + n);
      last = i;
    } else {
      // A reserved run pushed in part, then edited: the unused room goes.
      int n = static_cast<int>(rng() % (2 * BlockSize));
      a.ReserveBack(n);
      int pushed = n ? static_cast<int>(rng() % (n + 1)) : 0;
      for (int k = 0; k < pushed; ++k) {
        a.PushBack(next);
        model.push_back(next++);
      }
    }
    ASSERT_NO_THROW(a.Check()) << "step " << step;
    ASSERT_EQ(a.Count(), static_cast<int>(model.size()));
    if (!model.empty()) {
      int i = static_cast<int>(rng() % model.size());
      ASSERT_EQ(a[i], model[static_cast<size_t>(i)]) << "step " << step;
      a[i] = model[static_cast<size_t>(i)] = next++;
    }
    if (step % 64 == 0) {
      ASSERT_EQ(Items(a), model) << "step " << step;
      for (size_t i = 0; i < model.size(); ++i) ASSERT_EQ(a[static_cast<int>(i)], model[i]);
    }
  }
  EXPECT_EQ(Items(a), model);
}

TEST(LineArray, RandomSessionsMatchAPlainVector) {
  RandomSession<4>(1, 3000);
  RandomSession<8>(2, 3000);
  RandomSession<64>(3, 3000);
  RandomSession<1024>(4, 600);
}

TEST(LineArray, TypingLineBreaksInOnePlaceKeepsBlocksFull) {
  // Enter typed again and again moves down one line each time; blocks must
  // not degrade into a chain of small ones.
  TLineArray<int, 64> a;
  a.ReserveBack(64 * 100);
  for (int i = 0; i < 64 * 100; ++i) a.PushBack(i);
  EXPECT_EQ(a.BlockCount(), 100);
  for (int i = 0; i < 20000; ++i) a.Insert(5000 + i, 1, -1);
  a.Check();
  EXPECT_LE(a.BlockCount(), 100 + 2 * 20000 / 32 + 1);
  // And deleting them again merges the half-empty blocks back.
  a.Erase(5000, 20000);
  a.Check();
  EXPECT_LE(a.BlockCount(), 110);
  std::vector<int> want(64 * 100);
  for (int i = 0; i < 64 * 100; ++i) want[static_cast<size_t>(i)] = i;
  EXPECT_EQ(Items(a), want);
}

TEST(LineArray, SwapAndClearLeaveNoStaleBlock) {
  TLineArray<int, 8> a, b;
  a.Insert(0, 20, 7);
  EXPECT_EQ(a[19], 7);  // remembers a block of a
  a.Swap(b);
  EXPECT_EQ(a.Count(), 0);
  EXPECT_EQ(b.Count(), 20);
  EXPECT_EQ(b[3], 7);
  a.Check();
  b.Check();
  b.Clear();
  b.Check();
  b.Insert(0, 1, 9);
  EXPECT_EQ(b[0], 9);
}

// Weighted records (the value is the weight, zero included): after random
// range inserts, erases and sets, the weight before any index and the index
// of any weight agree with prefix sums of a plain vector, probed at random
// places (tree walks) and in order (the walk inside the remembered block).
struct TValueWeight {
  static int64_t Of(int v) { return v; }
};

template <int BlockSize>
void WeightedSession(unsigned seed, int steps) {
  std::mt19937 rng(seed);
  TLineArray<int, BlockSize, TValueWeight> a;
  std::vector<int> model;
  auto weight = [&] { return rng() % 5 ? static_cast<int>(rng() % 4) : 0; };
  auto prefix = [&] {
    std::vector<int64_t> p{0};
    for (int v : model) p.push_back(p.back() + v);
    return p;
  };
  // The model's index of a weight position: the record whose span covers it.
  auto indexOf = [&](const std::vector<int64_t>& p, int64_t at) {
    auto it = std::upper_bound(p.begin(), p.end(), at);
    return at >= p.back() ? static_cast<int>(model.size()) : static_cast<int>(it - p.begin()) - 1;
  };
  for (int step = 0; step < steps; ++step) {
    int count = static_cast<int>(model.size());
    unsigned op = rng() % 10;
    if (op < 4) {
      int i = static_cast<int>(rng() % (count + 1));
      int n =
          rng() % 6 ? 1 + static_cast<int>(rng() % 3) : static_cast<int>(rng() % (3 * BlockSize));
      std::vector<int> items(static_cast<size_t>(n));
      for (int& v : items) v = weight();
      if (n == 1 && rng() % 2)
        a.Insert(i, 1, items[0]);
      else
        a.Insert(i, items.data(), n);
      model.insert(model.begin() + i, items.begin(), items.end());
    } else if (op < 7) {
      if (!count) continue;
      int i = static_cast<int>(rng() % count);
      int n = std::min(count - i, rng() % 6 ? 1 : static_cast<int>(rng() % (3 * BlockSize)));
      a.Erase(i, n);
      model.erase(model.begin() + i, model.begin() + i + n);
    } else if (count) {
      int i = static_cast<int>(rng() % count);
      int v = weight();
      a.Set(i, v);
      model[static_cast<size_t>(i)] = v;
    }
    ASSERT_NO_THROW(a.Check()) << "step " << step;
    std::vector<int64_t> p = prefix();
    ASSERT_EQ(a.TotalWeight(), p.back());
    for (int probe = 0; probe < 4; ++probe) {
      int i = static_cast<int>(rng() % (model.size() + 1));
      ASSERT_EQ(a.WeightBefore(i), p[static_cast<size_t>(i)]) << "step " << step << " index " << i;
      int64_t at = p.back() ? static_cast<int64_t>(rng() % (p.back() + 2)) : 0;
      ASSERT_EQ(a.IndexOfWeight(at), indexOf(p, at)) << "step " << step << " weight " << at;
      ASSERT_NO_THROW(a.Check());
    }
    if (step % 50 == 0) {
      // In order both ways, as painting walks lines and rows.
      for (size_t i = 0; i <= model.size(); ++i)
        ASSERT_EQ(a.WeightBefore(static_cast<int>(i)), p[i]);
      for (int64_t at = 0; at <= p.back(); ++at) ASSERT_EQ(a.IndexOfWeight(at), indexOf(p, at));
      for (size_t i = model.size() + 1; i-- > 0;)
        ASSERT_EQ(a.WeightBefore(static_cast<int>(i)), p[i]);
      ASSERT_NO_THROW(a.Check());
    }
  }
  EXPECT_EQ(Items(a), model);
  // Swapped into an empty array, the sums go along.
  TLineArray<int, BlockSize, TValueWeight> b;
  std::vector<int64_t> p = prefix();
  b.Swap(a);
  EXPECT_EQ(a.TotalWeight(), 0);
  EXPECT_EQ(b.TotalWeight(), p.back());
  if (!model.empty()) {
    EXPECT_EQ(b.WeightBefore(static_cast<int>(model.size() / 2)), p[model.size() / 2]);
  }
  a.Check();
  b.Check();
}

TEST(LineArray, WeightedSessionsMatchPrefixSumsOfAPlainVector) {
  WeightedSession<4>(11, 1500);
  WeightedSession<16>(12, 1500);
  WeightedSession<512>(13, 400);
}

// A loaded document keeps every line's text in the one block read from the
// file, with records packed into full blocks; lines changed later leave it.
TEST(LineBufferLoad, LinesPointIntoOneBlockAndRecordsAreFull) {
  std::string text;
  const int lines = 5000;
  for (int i = 0; i < lines; ++i) text += (i % 7 ? "line " + std::to_string(i) : "") + "\r\n";
  TSynEditStringList b;
  b.LoadFromBytes(text);
  ASSERT_EQ(b.Count(), lines);
  b.Check();
  for (int i = 0; i < lines; ++i) ASSERT_TRUE(b.TextInLoadBlock(i)) << i;
  EXPECT_EQ(b.RecordBlockCount(), (lines + 1023) / 1024);
  b.Put(10, "changed");
  b.Insert(20, "new");
  EXPECT_FALSE(b.TextInLoadBlock(10));
  EXPECT_FALSE(b.TextInLoadBlock(20));
  EXPECT_TRUE(b.TextInLoadBlock(21));
  EXPECT_EQ(b.Get(21), "line 20");
  b.Check();
}

// Edits far apart in a document of many blocks: the buffer stays equal to a
// vector of strings, and line notices report the same indices.
TEST(LineBufferRandomized, FarApartEditsInABigDocument) {
  std::mt19937 rng(99);
  std::vector<std::string> model;
  std::string text;
  for (int i = 0; i < 6000; ++i) {
    model.push_back("l" + std::to_string(i));
    text += model.back() + "\n";
  }
  TSynEditStringList b;
  b.LoadFromBytes(text);
  for (int step = 0; step < 1000; ++step) {
    int count = static_cast<int>(model.size());
    int i = static_cast<int>(rng() % (count + 1));
    switch (rng() % 4) {
      case 0:
        b.Insert(i, "i" + std::to_string(step));
        model.insert(model.begin() + i, "i" + std::to_string(step));
        break;
      case 1:
        if (i < count) {
          b.Delete(i);
          model.erase(model.begin() + i);
        }
        break;
      case 2: {
        int n = static_cast<int>(rng() % 1500);
        b.InsertLines(i, n);
        model.insert(model.begin() + i, static_cast<size_t>(n), std::string());
        break;
      }
      case 3: {
        int n = static_cast<int>(rng() % 1500);
        b.DeleteLines(i, n);
        model.erase(model.begin() + i, model.begin() + std::min(count, i + n));
        break;
      }
    }
    ASSERT_NO_THROW(b.Check()) << "step " << step;
    ASSERT_EQ(b.Count(), static_cast<int>(model.size()));
    if (!model.empty()) {
      size_t k = rng() % model.size();
      ASSERT_EQ(b.Get(static_cast<int>(k)), model[k]) << "step " << step;
    }
  }
  for (size_t k = 0; k < model.size(); ++k) ASSERT_EQ(b.Get(static_cast<int>(k)), model[k]);
}

}  // namespace
