// Keys and characters to commands, and the events and hooks around every
// command.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "editor/EditorKeys.h"

namespace ludra::test {
namespace {

// Records every command before ("process", "user" for user commands) and
// after it runs; added first, it hears each round first.
struct TTrace : TSynEditListener {
  std::vector<std::string> log;
  TCustomSynEdit* editor = nullptr;
  void Attach(TCustomSynEdit& e) {
    editor = &e;
    e.AddListener(this);
  }
  ~TTrace() {
    if (editor) editor->RemoveListener(this);
  }
  void EditorDestroyed(TCustomSynEdit*) override { editor = nullptr; }
  void CommandHook(TCustomSynEdit*, bool after, bool&, TSynEditorCommand& c, char& ch,
                   void*) override {
    if (!after)
      log.push_back((c >= ecUserFirst ? "user " : "process ") + EditorCommandToIdent(c));
    else
      log.push_back("processed " + EditorCommandToIdent(c) +
                    (ch ? " " + std::string(1, ch) : std::string()));
  }
};

// A listener that logs the commands and keys it sees, and may handle a
// command or consume a key.
struct THook : TSynEditListener {
  THook(std::vector<std::string>* log, std::string name, bool handleBefore = false,
        bool handleAfter = false)
      : log(log), name(std::move(name)), handleBefore(handleBefore), handleAfter(handleAfter) {}
  std::vector<std::string>* log;
  std::string name;
  bool handleBefore = false;
  bool handleAfter = false;
  bool consume = false;
  void CommandHook(TCustomSynEdit*, bool after, bool& handled, TSynEditorCommand& command, char&,
                   void* data) override {
    log->push_back(name + (after ? " after " : " before ") + EditorCommandToIdent(command) +
                   (handled ? " handled" : "") + (data ? " data" : ""));
    if (!after && handleBefore) handled = true;
    if (after && handleAfter) handled = true;
  }
  void KeyDownHook(TCustomSynEdit*, uint16_t& key, TShiftState) override {
    log->push_back(name);
    if (consume) key = 0;
  }
  void KeyPressHook(TCustomSynEdit*, char& key) override {
    log->push_back(name + " " + std::string(1, key));
    if (consume) key = 0;
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
  TTrace t;
  THook a{&t.log, "a"}, b{&t.log, "b"};
  THeadlessSynEdit e;
  t.Attach(e);
  e.AddListener(&a);
  e.AddListener(&b);
  e.AddListener(&a);       // already there: ignored
  e.AddListener(nullptr);  // ignored
  TBufferCoord target{1, 1};
  e.RunCommand(ecGotoXY, 0, &target);
  e.RunCommand(ecChar, 'q', nullptr);
  EXPECT_EQ(t.log, (std::vector<std::string>{
                       "process ecGotoXY", "a before ecGotoXY data", "b before ecGotoXY data",
                       "processed ecGotoXY", "a after ecGotoXY data", "b after ecGotoXY data",
                       "process ecChar", "a before ecChar", "b before ecChar", "processed ecChar q",
                       "a after ecChar", "b after ecChar"}));
  EXPECT_EQ(e.Text(), "q");
  e.RemoveListener(&a);
  t.log.clear();
  e.RunCommand(ecLeft, 0, nullptr);
  EXPECT_EQ(t.log, (std::vector<std::string>{"process ecLeft", "b before ecLeft",
                                             "processed ecLeft", "b after ecLeft"}));
}

TEST(CommandPipelineTest, AHandledBeforeCallCancelsTheCommand) {
  TTrace t;
  THook a{&t.log, "a", true}, b{&t.log, "b"};
  THeadlessSynEdit e;
  t.Attach(e);
  e.AddListener(&a);
  e.AddListener(&b);
  e.RunCommand(ecChar, 'q', nullptr);
  // The flag is shared: b sees it set; nothing runs after.
  EXPECT_EQ(t.log, (std::vector<std::string>{"process ecChar", "a before ecChar",
                                             "b before ecChar handled"}));
  EXPECT_EQ(e.Text(), "");
}

TEST(CommandPipelineTest, ProcessCommandMayChangeOrCancel) {
  struct TChanger : TSynEditListener {
    void CommandHook(TCustomSynEdit*, bool after, bool& handled, TSynEditorCommand&, char& ch,
                     void*) override {
      if (after) return;
      if (ch == 'x') ch = 'y';
      if (ch == 'z') handled = true;
    }
  } changer;
  std::vector<std::string> log;
  THook a{&log, "a"};
  THeadlessSynEdit e;
  e.AddListener(&changer);
  e.AddListener(&a);
  e.RunCommand(ecChar, 'x', nullptr);
  e.RunCommand(ecChar, 'z', nullptr);
  EXPECT_EQ(e.Text(), "y");
  // The cancelled command never ran.
  EXPECT_EQ(log, (std::vector<std::string>{"a before ecChar", "a after ecChar",
                                           "a before ecChar handled"}));
}

TEST(CommandPipelineTest, UserCommandsOnlyReachEventsAndHooks) {
  TTrace t;
  THook a{&t.log, "a"};
  THeadlessSynEdit e;
  t.Attach(e);
  e.AddListener(&a);
  e.SetText("abc");
  e.RunCommand(ecUserFirst + 5, 'x', nullptr);
  EXPECT_EQ(e.Text(), "abc");
  EXPECT_EQ(t.log, (std::vector<std::string>{"user 1006", "a before 1006", "processed 1006 x",
                                             "a after 1006"}));
}

TEST(CommandPipelineTest, KeyDownChainRunsNewestFirstAndStopsAtAConsumedKey) {
  std::vector<std::string> log;
  THook older{&log, "older"}, newer{&log, "newer"};
  THeadlessSynEdit e;
  newer.consume = true;
  e.AddListener(&older);
  e.AddListener(&newer);
  e.SetText("ab");
  e.SetCaretPos({1, 1});
  uint16_t key = VK_RIGHT;
  e.KeyDown(key, {});
  EXPECT_EQ(log, (std::vector<std::string>{"newer"}));
  EXPECT_EQ(e.CaretPos(), (TBufferCoord{1, 1}));  // the editor never saw it
  e.RemoveListener(&newer);
  log.clear();
  key = VK_RIGHT;
  e.KeyDown(key, {});
  EXPECT_EQ(log,
            (std::vector<std::string>{"older", "older before ecRight", "older after ecRight"}));
  EXPECT_EQ(e.CaretPos(), (TBufferCoord{2, 1}));
}

TEST(CommandPipelineTest, AListenerAddedTwiceHearsOnceAndGoesAtOnce) {
  std::vector<std::string> log;
  THook h{&log, "h"};
  THeadlessSynEdit e;
  e.AddListener(&h);
  e.AddListener(&h);
  char c = 'a';
  e.KeyPress(c);
  EXPECT_EQ(log, (std::vector<std::string>{"h a", "h before ecChar", "h after ecChar"}));
  e.RemoveListener(&h);
  log.clear();
  e.KeyPress(c);
  EXPECT_TRUE(log.empty());
}

TEST(CommandPipelineTest, AConsumedCharacterStillRunsTheCharacterCommand) {
  TTrace t;
  std::vector<std::string> log;
  THook h{&log, "h"};
  THeadlessSynEdit e;
  t.Attach(e);
  h.consume = true;
  e.AddListener(&h);
  char c = 'a';
  e.KeyPress(c);
  EXPECT_EQ(e.Text(), "");
  EXPECT_EQ(t.log.back(), "processed ecChar");
}

TEST(CommandPipelineTest, NestedKeyInAHandlerIsIgnoredByTheSameChain) {
  int calls = 0;
  struct TNested : TSynEditListener {
    int* calls;
    explicit TNested(int* calls) : calls(calls) {}
    void KeyDownHook(TCustomSynEdit* sender, uint16_t&, TShiftState) override {
      ++*calls;
      uint16_t inner = VK_RIGHT;
      sender->KeyDown(inner, {});  // the listeners do not see it again
    }
  } nested{&calls};
  THeadlessSynEdit e;
  e.AddListener(&nested);
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
  std::vector<std::string> commands;  // what ran
  uint16_t pendingAfter;
};

class TwoKeyBindingTest : public ::testing::TestWithParam<TTwoKeyCase> {};

TEST_P(TwoKeyBindingTest, FiresOnTheSecondKey) {
  const TTwoKeyCase& c = GetParam();
  THeadlessSynEdit e;
  // Ctrl+K, B: a bookmark-style two-key binding; Ctrl+K alone has none.
  e.Keystrokes().AddKey(ecUserFirst, 'K', {ssCtrl}, 'B', {});
  e.Keystrokes().AddKey(ecUserFirst + 1, VK_ESCAPE, {}, 'B', {});
  TTrace trace;
  trace.Attach(e);
  for (auto [key, shift] : c.keys) {
    uint16_t k = key;
    e.KeyDown(k, shift);
  }
  std::vector<std::string> seen;
  for (const std::string& s : trace.log)
    if (s.starts_with("processed ")) seen.push_back(s.substr(10));
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
