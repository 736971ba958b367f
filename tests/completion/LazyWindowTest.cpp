// A proposal window made at its first use: nothing is made while the engine
// is set up, and once made it is in the state a window made at once is in,
// through random runs of opening, typing, moving and closing.
#include <gtest/gtest.h>

#include <random>

#include "completion/ProposalTestSupport.h"

namespace ludra::test {
namespace {

void AddNatives(TProposalFixture& f) {
  for (const char* name : {"print", "printf", "strlen", "Pricey", "pow", "p1", "p2", "p3", "p4",
                           "p5", "p6", "p7", "p8", "p9", "p10"})
    f.AddNative(name, "a, b");
}

TEST(LazyProposalWindow, NotMadeBySetUpAndLikeAWindowMadeAtOnceWhenUsed) {
  struct TStep {
    uint16_t key;
    TShiftState shift;
    char ch;
  };
  const std::vector<TStep> steps = {
      {VK_SPACE, {ssCtrl}, ' '}, {0, {}, 'p'},   {0, {}, 'r'},     {VK_DOWN, {}, 0},
      {VK_NEXT, {}, 0},          {VK_UP, {}, 0}, {VK_BACK, {}, 0}, {VK_ESCAPE, {}, 0},
      {VK_RETURN, {}, 0},        {0, {}, '.'},   {0, {}, 'x'},     {VK_SPACE, {ssCtrl}, ' '}};
  std::mt19937 rng(2318);
  int made = 0;
  for (int round = 0; round < 40; ++round) {
    TProposalFixture eager(ctCode), lazy(ctCode, true);
    AddNatives(eager);
    AddNatives(lazy);
    EXPECT_EQ(lazy.host.window, nullptr);
    for (TProposalFixture* f : {&eager, &lazy}) {
      f->editor.SetText("x ");
      f->editor.SetCaretPos({3, 1});
    }
    EXPECT_EQ(lazy.host.window, nullptr);
    for (int n = 0, count = 1 + static_cast<int>(rng() % 25); n < count; ++n) {
      const TStep& step = steps[rng() % steps.size()];
      int wait = rng() % 3 == 0 ? 1000 : 0;
      for (TProposalFixture* f : {&eager, &lazy}) {
        f->Key(step.key, step.shift, step.ch);
        f->host.clock.Advance(wait);
      }
      ASSERT_EQ(lazy.editor.Text(), eager.editor.Text()) << round << " " << n;
      ASSERT_EQ(lazy.form().Visible(), eager.form().Visible()) << round << " " << n;
      if (!lazy.host.window) {
        // Never made means never shown.
        EXPECT_FALSE(eager.window().shown) << round << " " << n;
        continue;
      }
      EXPECT_EQ(lazy.window().shown, eager.window().shown) << round << " " << n;
      EXPECT_EQ(lazy.window().bounds, eager.window().bounds) << round << " " << n;
      EXPECT_EQ(lazy.window().bar, eager.window().bar) << round << " " << n;
      EXPECT_EQ(lazy.form().Position(), eager.form().Position()) << round << " " << n;
    }
    made += lazy.host.window != nullptr;
  }
  // Most runs open the list at some point, some never do.
  EXPECT_GT(made, 20);
  EXPECT_LT(made, 40);
}

// A hint is made when it first shows, as a tool tip from the start.
TEST(LazyProposalWindow, HintWindowMadeWhenTheHintFirstShows) {
  TProposalFixture f(ctParams, true);
  f.engine->OnExecute = [](SynCompletionType, TSynBaseCompletionProposal* sender, std::string&,
                           int&, int&, bool& canExecute) {
    sender->ItemList().Clear();
    sender->ItemList().Add("\"a,\",\"b\"");
    canExecute = true;
  };
  f.editor.SetText("");
  f.TypeText("f(");
  f.host.clock.Advance(1199);
  EXPECT_EQ(f.host.window, nullptr);
  f.host.clock.Advance(1);
  ASSERT_NE(f.host.window, nullptr);
  EXPECT_TRUE(f.window().shown);
  EXPECT_EQ(f.form().ShownKind(), ctParams);
  EXPECT_GT(f.window().bounds.Right - f.window().bounds.Left, 0);
}

}  // namespace
}  // namespace ludra::test
