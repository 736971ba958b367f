#include <gtest/gtest.h>

#include <set>

#include "editor/SynEditKeyCmds.h"

using namespace ludra;

TEST(KeyStrokes, DefaultTableHasItsBindingsInOrder) {
  TSynEditKeyStrokes k;
  k.ResetDefaults();
  ASSERT_EQ(k.Count(), 82);
  EXPECT_EQ(k.Items(0).Command(), ecUp);
  EXPECT_EQ(k.Items(81).Command(), ecMatchBracket);
  struct Case {
    uint16_t key;
    TShiftState shift;
    TSynEditorCommand command;
  } cases[] = {
      {VK_TAB, {}, ecTab},
      {VK_TAB, {ssShift}, ecShiftTab},
      {VK_BACK, {ssAlt, ssShift}, ecRedo},
      {VK_BACK, {ssShift}, ecDeleteLastChar},
      {VK_INSERT, {ssCtrl}, ecCopy},
      {VK_DELETE, {ssShift}, ecCut},
      {VK_RETURN, {ssShift}, ecLineBreak},
      {'M', {ssCtrl}, ecLineBreak},
      {'Y', {ssCtrl, ssShift}, ecDeleteEOL},
      {'7', {ssCtrl}, ecGotoMarker7},
      {'0', {ssCtrl, ssShift}, ecSetMarker0},
      {VK_NEXT, {ssCtrl, ssShift}, ecSelPageBottom},
      {VK_HOME, {ssCtrl}, ecEditorTop},
  };
  for (const auto& c : cases) {
    int i = k.FindKeycode(c.key, c.shift);
    ASSERT_GE(i, 0) << c.key;
    EXPECT_EQ(k.Items(i).Command(), c.command) << c.key;
  }
  EXPECT_EQ(k.FindKeycode('Q', {ssCtrl}), -1);
  EXPECT_EQ(k.FindKeycode(VK_TAB, {ssCtrl}), -1);
  // No two default bindings share a shortcut pair.
  std::set<std::pair<TShortCut, TShortCut>> pairs;
  for (int i = 0; i < k.Count(); ++i)
    EXPECT_TRUE(pairs.insert({k.Items(i).ShortCut(), k.Items(i).ShortCut2()}).second);
}

TEST(KeyStrokes, DuplicateShortcutPairIsRefused) {
  TSynEditKeyStrokes k;
  k.ResetDefaults();
  try {
    k.AddKey(ecUserFirst, 'Z', {ssCtrl});
    FAIL() << "no error";
  } catch (const EKeyException& e) {
    EXPECT_STREQ(e.what(), "Shortcut already exists");
  }
  EXPECT_EQ(k.Count(), 82);
  // The same first key with a second key is a different pair.
  k.AddKey(ecUserFirst, 'K', {ssCtrl}, 'B', {ssCtrl});
  EXPECT_EQ(k.FindKeycode2('K', {ssCtrl}, 'B', {ssCtrl}), 82);
  EXPECT_EQ(k.FindKeycode('K', {ssCtrl}), -1);
  // Changing one part of a binding onto another binding's pair is refused too.
  k.AddKey(ecUserFirst + 1, 'K', {ssCtrl}, 'C', {ssCtrl});
  EXPECT_THROW(k.Items(83).SetKey2('B'), EKeyException);
  EXPECT_EQ(k.Items(83).Key2(), 'C');
}

TEST(KeyStrokes, StoredFormKeepsOnlyTheDifferences) {
  TSynEditKeyStrokes k;
  k.ResetDefaults();
  EXPECT_TRUE(k.RemovedKeystrokes().empty());
  EXPECT_TRUE(k.AddedKeystrokes().empty());
  k.Delete(k.FindKeycode('T', {ssCtrl}));
  k.AddKey(ecUserFirst + 1, VK_F2, {});
  auto removed = k.RemovedKeystrokes();
  auto added = k.AddedKeystrokes();
  ASSERT_EQ(removed.size(), 1u);
  EXPECT_EQ(removed[0].Command, ecDeleteWord);
  ASSERT_EQ(added.size(), 1u);
  TSynEditKeyStrokes copy;
  copy.ResetDefaults();
  copy.ReadRemovedKeystrokes(removed);
  copy.ReadAddedKeystrokes(added);
  EXPECT_EQ(copy.RemovedKeystrokes(), removed);
  EXPECT_EQ(copy.AddedKeystrokes(), added);
  TSynEditKeyStrokes assigned;
  assigned.Assign(copy);
  EXPECT_EQ(assigned.Count(), copy.Count());
}

TEST(KeyStrokes, CommandNamesAndDisplayNames) {
  EXPECT_EQ(EditorCommandNames().size(), 99u);
  EXPECT_EQ(EditorCommandToIdent(ecLineBreak), "ecLineBreak");
  EXPECT_EQ(EditorCommandToIdent(1234), "1234");
  TSynEditorCommand c = ecNone;
  EXPECT_TRUE(IdentToEditorCommand("ecSelWordRight", c));
  EXPECT_EQ(c, ecSelWordRight);
  EXPECT_FALSE(IdentToEditorCommand("ecNoSuchThing", c));
  std::set<TSynEditorCommand> unique;
  for (const auto& [cmd, name] : EditorCommandNames())
    EXPECT_TRUE(unique.insert(cmd).second) << name;
  TSynEditKeyStrokes k;
  k.ResetDefaults();
  EXPECT_EQ(k.Items(k.FindKeycode('Z', {ssCtrl, ssShift})).DisplayName(), "ecRedo - Shift+Ctrl+Z ");
}
