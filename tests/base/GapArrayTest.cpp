#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "base/SynGapArray.h"

namespace ludra {
namespace {

// Replacements of random runs, near the last one and far from it, against a
// plain vector.
TEST(GapArray, RandomReplacementsMatchAPlainVector) {
  std::mt19937 rng(17);
  TGapArray<int> a;
  std::vector<int> model;
  size_t last = 0;
  int next = 0;
  for (int step = 0; step < 5000; ++step) {
    size_t size = model.size();
    size_t at = rng() % 2 ? std::min(size, last + rng() % 3) : rng() % (size + 1);
    size_t old = std::min(size - at, static_cast<size_t>(rng() % 4));
    std::vector<int> items(rng() % (step % 100 == 0 ? 300 : 5));
    for (int& v : items) v = next++;
    a.Replace(at, old, items.data(), items.size());
    model.erase(model.begin() + static_cast<std::ptrdiff_t>(at),
                model.begin() + static_cast<std::ptrdiff_t>(at + old));
    model.insert(model.begin() + static_cast<std::ptrdiff_t>(at), items.begin(), items.end());
    last = at;
    ASSERT_NO_THROW(a.Check());
    ASSERT_EQ(a.Size(), model.size());
    if (!model.empty()) {
      size_t k = rng() % model.size();
      ASSERT_EQ(a[k], model[k]) << "step " << step;
    }
  }
  for (size_t k = 0; k < model.size(); ++k) ASSERT_EQ(a[k], model[k]);
  std::vector<int> some{4, 5, 6};
  a.Assign(some.data(), some.size());
  a.Replace(1, 1, nullptr, 0);
  EXPECT_EQ(a.Size(), 2u);
  EXPECT_EQ(a[1], 6);
  a.Clear();
  EXPECT_TRUE(a.Empty());
  a.PushBack(3);
  EXPECT_EQ(a[0], 3);
}

}  // namespace
}  // namespace ludra
