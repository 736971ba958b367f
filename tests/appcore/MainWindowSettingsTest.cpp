#include <gtest/gtest.h>

#include <vector>

#include "appcore/MainWindowSettings.h"

using namespace ludra;

TEST(MainWindowColors, AreAppliedWithOneChangeNotice) {
  TSynCppSyn hl;
  int owner = 0;
  std::vector<TSynPersistent*> senders;
  hl.HookAttrChangeEvent(&owner, [&](TSynPersistent* s) { senders.push_back(s); });
  ApplyMainWindowColors(hl);
  EXPECT_EQ(senders, std::vector<TSynPersistent*>{nullptr});
  EXPECT_FALSE(hl.Loading());

  struct {
    TSynHighlighterAttributes* attr;
    TColor fg;
    TFontStyles style;
  } want[] = {
      {hl.AsmAttri(), clNone, {fsBold}},   {hl.CommentAttri(), clGreen, {fsItalic}},
      {hl.IdentifierAttri(), clBlack, {}}, {hl.InvalidAttri(), clNone, {}},
      {hl.KeyAttri(), clBlue, {}},         {hl.NumberAttri(), clNavy, {}},
      {hl.CharAttri(), clNone, {}},        {hl.FloatAttri(), clNavy, {}},
      {hl.HexAttri(), clNavy, {}},         {hl.OctalAttri(), clNone, {}},
      {hl.SpaceAttri(), clWindow, {}},     {hl.StringAttri(), clNavy, {}},
      {hl.SymbolAttri(), clNone, {}},      {hl.DirecAttri(), clBlue, {}},
  };
  for (const auto& w : want) {
    EXPECT_EQ(w.attr->Foreground(), w.fg) << w.attr->Name();
    EXPECT_EQ(w.attr->Style(), w.style) << w.attr->Name();
    EXPECT_EQ(w.attr->Background(), clNone) << w.attr->Name();
  }
  EXPECT_EQ(clGreen, RGB(0, 128, 0));
  EXPECT_EQ(clBlue, RGB(0, 0, 255));
  EXPECT_EQ(clNavy, RGB(0, 0, 128));
  // Only what differs from the construction defaults would be stored.
  EXPECT_FALSE(hl.CommentAttri()->IsStyleStored());
  EXPECT_TRUE(hl.CommentAttri()->IsForegroundStored());
  EXPECT_TRUE(hl.KeyAttri()->IsStyleStored());
  EXPECT_FALSE(hl.SpaceAttri()->IsForegroundStored());
}

// The editor the program shows, the one the editor tests drive and the one
// the benchmarks measure all get these values from the same place.
TEST(MainWindowEditorSettings, GiveTheMainWindowsEditor) {
  TCustomSynEdit e;
  ApplyMainWindowEditorSettings(e);
  EXPECT_EQ(e.Color(), clWhite);
  EXPECT_EQ(e.Font().Color, clBlack);
  EXPECT_EQ(e.Font().Name, TSynFont().Name);
  EXPECT_EQ(e.TabWidth(), 4);
  EXPECT_TRUE(e.WantTabs());
  EXPECT_EQ(e.Options(), MainWindowEditorOptions);
  EXPECT_TRUE(e.Options().Contains(eoTrimTrailingSpaces));
  EXPECT_FALSE(e.Options().Contains(eoScrollPastEol));
  EXPECT_EQ(e.SelectedColor().Background(), RGB(10, 36, 106));
  EXPECT_EQ(e.SelectedColor().Foreground(), clWhite);
  const TSynGutter& g = e.Gutter();
  EXPECT_TRUE(g.AutoSize());
  EXPECT_EQ(g.Color(), RGB(212, 208, 200));
  EXPECT_EQ(g.Font().Size, 8);
  EXPECT_EQ(g.Font().Color, clBlack);
  EXPECT_EQ(g.LeftOffset(), 4);
  EXPECT_EQ(g.RightOffset(), 4);
  EXPECT_FALSE(g.ShowLineNumbers());

  // Applied again over other values, the same result.
  e.SetTabWidth(8);
  e.SetOptions({eoScrollPastEol});
  e.Gutter().SetShowLineNumbers(true);
  ApplyMainWindowEditorSettings(e);
  EXPECT_EQ(e.TabWidth(), 4);
  EXPECT_EQ(e.Options(), MainWindowEditorOptions);
  EXPECT_FALSE(e.Gutter().ShowLineNumbers());
}
