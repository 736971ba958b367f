#include <gtest/gtest.h>

#include <vector>

#include "appcore/MainWindowSettings.h"
#include "editor/HeadlessSynEdit.h"

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

// The editor tests keep their own copy of these settings; it must give the
// editor the program shows.
TEST(MainWindowEditorSettings, TheEditorTestsCopyGivesTheSameEditor) {
  TCustomSynEdit program, copy;
  ApplyMainWindowEditorSettings(program);
  test::UseMainWindowSettings(copy);
  EXPECT_EQ(test::MainWindowOptions, MainWindowEditorOptions);
  EXPECT_EQ(copy.Options(), program.Options());
  EXPECT_EQ(copy.Color(), program.Color());
  EXPECT_EQ(copy.Font().Color, program.Font().Color);
  EXPECT_EQ(copy.Font().Name, program.Font().Name);
  EXPECT_EQ(copy.Font().Size, program.Font().Size);
  EXPECT_EQ(copy.TabWidth(), program.TabWidth());
  EXPECT_EQ(copy.WantTabs(), program.WantTabs());
  EXPECT_EQ(copy.SelectedColor().Background(), program.SelectedColor().Background());
  EXPECT_EQ(copy.SelectedColor().Foreground(), program.SelectedColor().Foreground());
  const TSynGutter &a = copy.Gutter(), &b = program.Gutter();
  EXPECT_EQ(a.AutoSize(), b.AutoSize());
  EXPECT_EQ(a.Color(), b.Color());
  EXPECT_EQ(a.Font().Size, b.Font().Size);
  EXPECT_EQ(a.Font().Color, b.Font().Color);
  EXPECT_EQ(a.LeftOffset(), b.LeftOffset());
  EXPECT_EQ(a.RightOffset(), b.RightOffset());
  EXPECT_EQ(a.Width(), b.Width());
  EXPECT_EQ(a.ShowLineNumbers(), b.ShowLineNumbers());
  EXPECT_EQ(copy.GutterPixels(), program.GutterPixels());
}
