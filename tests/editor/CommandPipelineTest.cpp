// Keys and characters to commands, and the events and hooks around every
// command.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/EditorKeys.h"

namespace ludra::test {
namespace {

// Records what reached the pipeline's observers, in order.
struct TTrace {
  std::vector<std::string> log;
  void Attach(TCustomSynEdit& e) {
    e.OnProcessCommand = [this](TCustomSynEdit*, TSynEditorCommand& c, char&, void*) {
      log.push_back("process " + EditorCommandToIdent(c));
    };
    e.OnProcessUserCommand = [this](TCustomSynEdit*, TSynEditorCommand& c, char&, void*) {
      log.push_back("user " + EditorCommandToIdent(c));
    };
    e.OnCommandProcessed = [this](TCustomSynEdit*, TSynEditorCommand& c, char& ch, void*) {
      log.push_back("processed " + EditorCommandToIdent(c) +
                    (ch ? " " + std::string(1, ch) : std::string()));
    };
  }
};

struct THook {
  std::vector<std::string>* log;
  std::string name;
  bool handleBefore = false;
  bool handleAfter = false;
  static void Proc(void* object, TCustomSynEdit*, bool after, bool& handled,
                   TSynEditorCommand& command, char&, void*, void* data) {
    auto* h = static_cast<THook*>(object);
    h->log->push_back(h->name + (after ? " after " : " before ") + EditorCommandToIdent(command) +
                      (handled ? " handled" : "") + (data ? " data" : ""));
    if (!after && h->handleBefore) handled = true;
    if (after && h->handleAfter) handled = true;
  }
};

TEST(CommandPipelineTest, TabGivesExactlyOneCommandAndItsCharacterIsDropped) {
  THeadlessSynEdit e;
  UseMainWindowSettings(e);
  TTrace t;
  t.Attach(e);
  e.SetText("ab");
  e.SetCaretPos({3, 1});
  uint16_t key = VK_TAB;
  e.KeyDown(key, {});
  EXPECT_EQ(key, 0);  // consumed
  char c = '\t';
  e.KeyPress(c);
  EXPECT_EQ(t.log, (std::vector<std::string>{"process ecTab", "processed ecTab"}));
  // The flag only drops one character: the next one is typed.
  c = 'x';
  e.KeyPress(c);
  EXPECT_EQ(t.log.back(), "processed ecChar x");
}

TEST(CommandPipelineTest, EventsAndHooksRunInOrder) {
  THeadlessSynEdit e;
  TTrace t;
  t.Attach(e);
  int dummy = 0;
  THook a{&t.log, "a"}, b{&t.log, "b"};
  e.RegisterCommandHandler(THook::Proc, &a, &dummy);
  e.RegisterCommandHandler(THook::Proc, &b, nullptr);
  e.RegisterCommandHandler(THook::Proc, &a, nullptr);  // already there: ignored
  e.RegisterCommandHandler(nullptr, &a, nullptr);      // no procedure: ignored
  EXPECT_EQ(e.CommandHandlerCount(), 2);
  e.RunCommand(ecChar, 'q', nullptr);
  EXPECT_EQ(t.log, (std::vector<std::string>{"process ecChar", "a before ecChar data",
                                             "b before ecChar", "a after ecChar data",
                                             "b after ecChar", "processed ecChar q"}));
  EXPECT_EQ(e.Text(), "q");
  e.UnregisterCommandHandler(THook::Proc, &a);
  t.log.clear();
  e.RunCommand(ecLeft, 0, nullptr);
  EXPECT_EQ(t.log, (std::vector<std::string>{"process ecLeft", "b before ecLeft", "b after ecLeft",
                                             "processed ecLeft"}));
}

TEST(CommandPipelineTest, AHandledBeforeCallCancelsTheCommand) {
  THeadlessSynEdit e;
  TTrace t;
  t.Attach(e);
  THook a{&t.log, "a", true}, b{&t.log, "b"};
  e.RegisterCommandHandler(THook::Proc, &a, nullptr);
  e.RegisterCommandHandler(THook::Proc, &b, nullptr);
  e.RunCommand(ecChar, 'q', nullptr);
  // The flag is shared: b sees it set; nothing runs after.
  EXPECT_EQ(t.log, (std::vector<std::string>{"process ecChar", "a before ecChar",
                                             "b before ecChar handled", "processed ecNone q"}));
  EXPECT_EQ(e.Text(), "");
}

TEST(CommandPipelineTest, AHandledAfterCallReportsNoCommand) {
  THeadlessSynEdit e;
  TTrace t;
  t.Attach(e);
  THook a{&t.log, "a", false, true};
  e.RegisterCommandHandler(THook::Proc, &a, nullptr);
  e.RunCommand(ecChar, 'q', nullptr);
  EXPECT_EQ(e.Text(), "q");
  EXPECT_EQ(t.log.back(), "processed ecNone q");
}

TEST(CommandPipelineTest, ProcessCommandMayChangeOrCancel) {
  THeadlessSynEdit e;
  std::vector<std::string> log;
  THook a{&log, "a"};
  e.RegisterCommandHandler(THook::Proc, &a, nullptr);
  e.OnProcessCommand = [](TCustomSynEdit*, TSynEditorCommand& c, char& ch, void*) {
    if (ch == 'x') ch = 'y';
    if (ch == 'z') c = ecNone;
  };
  e.RunCommand(ecChar, 'x', nullptr);
  e.RunCommand(ecChar, 'z', nullptr);
  EXPECT_EQ(e.Text(), "y");
  // The cancelled command never reached the hooks.
  EXPECT_EQ(log, (std::vector<std::string>{"a before ecChar", "a after ecChar"}));
}

TEST(CommandPipelineTest, UserCommandsOnlyReachEventsAndHooks) {
  THeadlessSynEdit e;
  TTrace t;
  t.Attach(e);
  THook a{&t.log, "a"};
  e.RegisterCommandHandler(THook::Proc, &a, nullptr);
  e.SetText("abc");
  e.RunCommand(ecUserFirst + 5, 'x', nullptr);
  EXPECT_EQ(e.Text(), "abc");
  EXPECT_EQ(t.log, (std::vector<std::string>{"user 1006", "a before 1006", "a after 1006",
                                             "processed 1006 x"}));
}

struct TKeyHandlerRec {
  std::vector<std::string>* log;
  std::string name;
  bool consume = false;
  static void Down(void* object, TCustomSynEdit*, uint16_t& key, TShiftState) {
    auto* h = static_cast<TKeyHandlerRec*>(object);
    h->log->push_back(h->name);
    if (h->consume) key = 0;
  }
  static void Char(void* object, TCustomSynEdit*, char& key) {
    auto* h = static_cast<TKeyHandlerRec*>(object);
    h->log->push_back(h->name + " " + std::string(1, key));
    if (h->consume) key = 0;
  }
};

TEST(CommandPipelineTest, KeyDownChainRunsNewestFirstAndStopsAtAConsumedKey) {
  THeadlessSynEdit e;
  std::vector<std::string> log;
  e.OnKeyDown = [&](TCustomSynEdit*, uint16_t&, TShiftState) { log.push_back("event"); };
  TKeyHandlerRec older{&log, "older"}, newer{&log, "newer", true};
  e.HookKeyDown(TKeyHandlerRec::Down, &older);
  e.HookKeyDown(TKeyHandlerRec::Down, &newer);
  e.SetText("ab");
  e.SetCaretPos({1, 1});
  uint16_t key = VK_RIGHT;
  e.KeyDown(key, {});
  EXPECT_EQ(log, (std::vector<std::string>{"event", "newer"}));
  EXPECT_EQ(e.CaretPos(), (TBufferCoord{1, 1}));  // the editor never saw it
  e.UnhookKeyDown(TKeyHandlerRec::Down, &newer);
  log.clear();
  key = VK_RIGHT;
  e.KeyDown(key, {});
  EXPECT_EQ(log, (std::vector<std::string>{"event", "older"}));
  EXPECT_EQ(e.CaretPos(), (TBufferCoord{2, 1}));
}

TEST(CommandPipelineTest, RemovingAHandlerAddedTwiceRemovesOnlyOneEntry) {
  THeadlessSynEdit e;
  std::vector<std::string> log;
  TKeyHandlerRec h{&log, "h"};
  e.HookKeyPress(TKeyHandlerRec::Char, &h);
  e.HookKeyPress(TKeyHandlerRec::Char, &h);
  e.UnhookKeyPress(TKeyHandlerRec::Char, &h);
  char c = 'a';
  e.KeyPress(c);
  EXPECT_EQ(log, (std::vector<std::string>{"h a"}));
}

TEST(CommandPipelineTest, AConsumedCharacterStillRunsTheCharacterCommand) {
  THeadlessSynEdit e;
  TTrace t;
  t.Attach(e);
  std::vector<std::string> log;
  TKeyHandlerRec h{&log, "h", true};
  e.HookKeyPress(TKeyHandlerRec::Char, &h);
  char c = 'a';
  e.KeyPress(c);
  EXPECT_EQ(e.Text(), "");
  EXPECT_EQ(t.log.back(), "processed ecChar");
}

TEST(CommandPipelineTest, NestedKeyInAHandlerIsIgnoredByTheSameChain) {
  THeadlessSynEdit e;
  int calls = 0;
  struct TNested {
    int* calls;
    static void Down(void* object, TCustomSynEdit* sender, uint16_t&, TShiftState) {
      auto* n = static_cast<TNested*>(object);
      ++*n->calls;
      uint16_t inner = VK_RIGHT;
      sender->KeyDown(inner, {});  // the chain does not run again
    }
  } nested{&calls};
  e.HookKeyDown(TNested::Down, &nested);
  e.SetText("abc");
  uint16_t key = VK_RIGHT;
  e.KeyDown(key, {});
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(e.CaretPos(), (TBufferCoord{3, 1}));  // the inner key still moved the caret
}

TEST(CommandPipelineTest, InputMethodCharactersAreSkipped) {
  THeadlessSynEdit e;
  std::string ime = "\xE9t\xE9";
  e.RunCommand(ecImeStr, 0, ime.data());
  e.SetImeCharsToSkip(3);
  for (char c : ime) {
    char k = c;
    e.KeyPress(k);
  }
  EXPECT_EQ(e.ImeCharsToSkip(), 0);
  EXPECT_EQ(e.Text(), ime);
  Type(e, "s");
  EXPECT_EQ(e.Text(), ime + "s");
}

struct TTwoKeyCase {
  const char* name;
  std::vector<std::pair<uint16_t, TShiftState>> keys;
  std::vector<std::string> commands;  // what reached OnCommandProcessed
  uint16_t pendingAfter;
};

class TwoKeyBindingTest : public ::testing::TestWithParam<TTwoKeyCase> {};

TEST_P(TwoKeyBindingTest, FiresOnTheSecondKey) {
  const TTwoKeyCase& c = GetParam();
  THeadlessSynEdit e;
  // Ctrl+K, B: a bookmark-style two-key binding; Ctrl+K alone has none.
  e.Keystrokes().AddKey(ecUserFirst, 'K', {ssCtrl}, 'B', {});
  e.Keystrokes().AddKey(ecUserFirst + 1, VK_ESCAPE, {}, 'B', {});
  std::vector<std::string> seen;
  e.OnCommandProcessed = [&](TCustomSynEdit*, TSynEditorCommand& cmd, char&, void*) {
    seen.push_back(EditorCommandToIdent(cmd));
  };
  for (auto [key, shift] : c.keys) {
    uint16_t k = key;
    e.KeyDown(k, shift);
  }
  EXPECT_EQ(seen, c.commands);
  EXPECT_EQ(e.PendingKey(), c.pendingAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, TwoKeyBindingTest,
    ::testing::Values(
        TTwoKeyCase{"SecondKeyFires", {{'K', {ssCtrl}}, {'B', {}}}, {"ecUserFirst"}, 0},
        TTwoKeyCase{"FirstKeyWaits", {{'K', {ssCtrl}}}, {}, 'K'},
        // Another key in between starts over; B alone has no binding.
        TTwoKeyCase{"InterruptedByAnotherKey", {{'K', {ssCtrl}}, {'Q', {}}, {'B', {}}}, {}, 'B'},
        // A single-key binding clears the pending key.
        TTwoKeyCase{"SingleKeyBindingClears", {{'K', {ssCtrl}}, {VK_LEFT, {}}}, {"ecLeft"}, 0},
        // Escape (below 30) is never remembered as a first key.
        TTwoKeyCase{"LowCodeNeverPending", {{VK_ESCAPE, {}}, {'B', {}}}, {}, 'B'}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CommandPipelineTest, KeystrokesStartAsDefaultsAndAssigningCopies) {
  THeadlessSynEdit e;
  EXPECT_EQ(e.Keystrokes().Count(), 82);
  TSynEditKeyStrokes mine;
  mine.AddKey(ecUpperCase, 'U', {ssCtrl});
  e.SetKeystrokes(mine);
  mine.Clear();
  ASSERT_EQ(e.Keystrokes().Count(), 1);
  e.SetText("abc def");
  e.SetCaretPos({2, 1});
  Press(e, 'U', {ssCtrl}, 0x15);
  EXPECT_EQ(e.Text(), "ABC def");
  e.ResetKeystrokes();
  EXPECT_EQ(e.Keystrokes().Count(), 82);
}

}  // namespace
}  // namespace ludra::test
