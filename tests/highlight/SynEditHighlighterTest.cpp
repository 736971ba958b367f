#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "base/SynExceptions.h"
#include "highlight/SynEditHighlighter.h"

using namespace ludra;

namespace {

// The smallest concrete highlighter: every line is one token; it keeps its
// sample text so that copying between highlighters can be observed.
class TOneTokenSyn : public TSynCustomHighlighter {
 public:
  explicit TOneTokenSyn(std::vector<std::string> names = {}) {
    for (const auto& n : names) AddAttribute(std::make_unique<TSynHighlighterAttributes>(n));
    FinishConstruction();
  }
  TSynHighlighterAttributes* DefaultAttribute(int index) const override {
    return AttributeAt(index);
  }
  std::string SampleSource() const override { return sample_; }
  void SetSampleSource(const std::string& value) override { sample_ = value; }
  bool AtLineEnd() const override { return done_; }
  std::string TokenText() const override { return done_ ? "" : line_; }
  TSynHighlighterAttributes* TokenAttribute() const override { return nullptr; }
  int TokenKind() const override { return 0; }
  int TokenStart() const override { return done_ ? static_cast<int>(line_.size()) : 0; }
  void NextToken() override {
    ++calls;
    done_ = true;
  }
  void StartLine(std::string_view text, int) override {
    line_ = text;
    done_ = text.empty();
  }
  TSynHighlighterAttributes* Find(const std::string& name) const {
    for (int i = 0; i < AttributeCount(); ++i)
      if (AttributeAt(i)->Name() == name) return AttributeAt(i);
    return nullptr;
  }
  int calls = 0;

 private:
  std::string line_;
  std::string sample_;
  bool done_ = true;
};

class TOtherSyn : public TOneTokenSyn {
 public:
  using TOneTokenSyn::TOneTokenSyn;
};

// Records what the change chain delivered, by sender.
struct ChainLog {
  std::vector<TSynPersistent*> senders;
  TSynNotifyEvent Handler() {
    return [this](TSynPersistent* s) { senders.push_back(s); };
  }
};

}  // namespace

TEST(HighlighterAttributes, SettersNotifyOnlyOnRealChanges) {
  TSynHighlighterAttributes a("Comment");
  EXPECT_EQ(a.Background(), clNone);
  EXPECT_EQ(a.Foreground(), clNone);
  EXPECT_TRUE(a.Style().Empty());
  int changes = 0;
  TSynHighlighterAttributes* sender = nullptr;
  a.OnChange = [&](TSynHighlighterAttributes* s) {
    ++changes;
    sender = s;
  };
  a.SetForeground(clNone);
  a.SetBackground(clNone);
  a.SetStyle({});
  EXPECT_EQ(changes, 0);
  a.SetForeground(clGreen);
  a.SetBackground(clWindow);
  a.SetStyle({fsBold, fsItalic});
  EXPECT_EQ(changes, 3);
  EXPECT_EQ(sender, &a);
  EXPECT_EQ(a.Foreground(), clGreen);
  EXPECT_EQ(a.Background(), clWindow);
  EXPECT_EQ(a.Style(), (TFontStyles{fsBold, fsItalic}));
}

TEST(HighlighterAttributes, AssignTakesNameAndValuesAndNotifiesOnce) {
  TSynHighlighterAttributes src("String"), dst("Other");
  src.SetForeground(clNavy);
  src.SetStyle({fsUnderline});
  src.SetBackground(clYellow);
  int changes = 0;
  dst.OnChange = [&](TSynHighlighterAttributes*) { ++changes; };
  dst.Assign(src);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(dst.Name(), "String");
  EXPECT_EQ(dst.Foreground(), clNavy);
  EXPECT_EQ(dst.Background(), clYellow);
  EXPECT_EQ(dst.Style(), TFontStyles{fsUnderline});
  dst.Assign(src);  // nothing differs now
  EXPECT_EQ(changes, 1);
}

TEST(HighlighterAttributes, ValuesAreStoredOnlyWhenTheyDifferFromTheDefaults) {
  TSynHighlighterAttributes a("Space");
  a.SetForeground(clWindow);
  a.InternalSaveDefaultValues();
  EXPECT_EQ(a.ForegroundDefault(), clWindow);
  EXPECT_FALSE(a.IsForegroundStored());
  EXPECT_FALSE(a.IsBackgroundStored());
  EXPECT_FALSE(a.IsStyleStored());
  a.SetForeground(clRed);
  a.SetStyle({fsBold});
  EXPECT_TRUE(a.IsForegroundStored());
  EXPECT_TRUE(a.IsStyleStored());
  EXPECT_FALSE(a.IsBackgroundStored());
  a.SetForeground(clWindow);
  EXPECT_FALSE(a.IsForegroundStored());
}

TEST(CustomHighlighter, BaseOperationsHaveTheirDefaultAnswers) {
  TOneTokenSyn hl;
  EXPECT_EQ(hl.AttributeCount(), 0);
  EXPECT_EQ(hl.AttributeAt(0), nullptr);
  EXPECT_EQ(hl.LanguageName(), "<Unknown>");
  EXPECT_EQ(hl.GetRangeState(), 0);
  EXPECT_EQ(hl.DefaultFilter(), "");
  EXPECT_TRUE(hl.IsFilterStored());
  EXPECT_FALSE(hl.UseUserSettings(0));
  EXPECT_TRUE(hl.Enabled());
  EXPECT_EQ(hl.Capabilities(), TSynHighlighterCapabilities{hcRegistry});
  TSynCharSet ident = hl.IdentifierChars();
  EXPECT_EQ(ident.Count(), 223);
  EXPECT_FALSE(ident.Contains(32));
  EXPECT_TRUE(ident.Contains(33));
  EXPECT_TRUE(ident.Contains(255));
  hl.SetDefaultFilter("Scripts|*.pwn");
  EXPECT_EQ(hl.DefaultFilter(), "Scripts|*.pwn");
  hl.SetRangeState(5);  // the base highlighter keeps no state
  EXPECT_EQ(hl.GetRangeState(), 0);
}

TEST(CustomHighlighter, WordBreakCharactersStartAsThePunctuationSetAndCanBeReplaced) {
  TOneTokenSyn hl;
  const std::string breaks = "!\"'()*+,-./:;=?[\\]^{|}";
  EXPECT_EQ(hl.WordBreakChars(), SynCharSet(breaks));
  EXPECT_EQ(hl.WordBreakChars().Count(), static_cast<int>(breaks.size()));
  for (char c : std::string("<>&%~#@$_ aZ0"))
    EXPECT_FALSE(hl.WordBreakChars().Contains(static_cast<unsigned char>(c))) << c;
  hl.SetWordBreakChars(SynCharSet(" ,"));
  EXPECT_EQ(hl.WordBreakChars(), SynCharSet(", "));
}

TEST(CustomHighlighter, AttributesAreKeptInNameOrderAndOutOfRangeGivesNone) {
  TOneTokenSyn hl({"String", "comment", "Assembler", "Number"});
  ASSERT_EQ(hl.AttributeCount(), 4);
  std::vector<std::string> names;
  for (int i = 0; i < hl.AttributeCount(); ++i) names.push_back(hl.AttributeAt(i)->Name());
  EXPECT_EQ(names, (std::vector<std::string>{"Assembler", "comment", "Number", "String"}));
  EXPECT_EQ(hl.AttributeAt(-1), nullptr);
  EXPECT_EQ(hl.AttributeAt(hl.AttributeCount()), nullptr);
}

TEST(CustomHighlighter, ADuplicateAttributeNameIsRefused) {
  for (const char* dup : {"Comment", "COMMENT"}) {
    TOneTokenSyn hl({"Comment", "Number"});
    try {
      hl.AddAttribute(std::make_unique<TSynHighlighterAttributes>(dup));
      ADD_FAILURE() << "no error for " << dup;
    } catch (const EListError& e) {
      EXPECT_STREQ(e.what(), "String list does not allow duplicates");
    }
    EXPECT_EQ(hl.AttributeCount(), 2);
  }
}

TEST(CustomHighlighter, ConstructionRecordsDefaultsAndRoutesAttributeChangesToTheChain) {
  TOneTokenSyn hl({"Comment", "Number"});
  TSynHighlighterAttributes* comment = hl.Find("Comment");
  EXPECT_FALSE(comment->IsStyleStored());
  ChainLog a, b;
  int editorA = 0, editorB = 0;
  hl.HookAttrChangeEvent(&editorA, a.Handler());
  hl.HookAttrChangeEvent(&editorB, b.Handler());
  comment->SetForeground(clGreen);
  EXPECT_EQ(a.senders, std::vector<TSynPersistent*>{comment});
  EXPECT_EQ(b.senders, std::vector<TSynPersistent*>{comment});
  EXPECT_TRUE(comment->IsForegroundStored());

  hl.UnhookAttrChangeEvent(&editorA);
  hl.HighlightChanged(&hl);
  EXPECT_EQ(a.senders.size(), 1u);
  ASSERT_EQ(b.senders.size(), 2u);
  EXPECT_EQ(b.senders[1], &hl);
  EXPECT_NE(dynamic_cast<TSynCustomHighlighter*>(b.senders[1]), nullptr);
  EXPECT_EQ(dynamic_cast<TSynCustomHighlighter*>(b.senders[0]), nullptr);
}

TEST(CustomHighlighter, EnabledChangesNotifyWithoutSender) {
  TOneTokenSyn hl;
  ChainLog log;
  int owner = 0;
  hl.HookAttrChangeEvent(&owner, log.Handler());
  hl.SetEnabled(true);
  EXPECT_TRUE(log.senders.empty());
  hl.SetEnabled(false);
  EXPECT_FALSE(hl.Enabled());
  EXPECT_EQ(log.senders, std::vector<TSynPersistent*>{nullptr});
}

TEST(CustomHighlighter, LoadingSilencesTheChainUntilItEnds) {
  TOneTokenSyn hl({"Comment"});
  ChainLog log;
  int owner = 0;
  hl.HookAttrChangeEvent(&owner, log.Handler());
  hl.BeginLoading();
  hl.Find("Comment")->SetForeground(clGreen);
  hl.Find("Comment")->SetStyle({fsItalic});
  hl.SetEnabled(false);
  EXPECT_TRUE(log.senders.empty());
  hl.EndLoading();
  EXPECT_EQ(log.senders, std::vector<TSynPersistent*>{nullptr});
}

TEST(CustomHighlighter, AHandlerMayUnhookItselfWhileTheChainRuns) {
  TOneTokenSyn hl;
  int first = 0, second = 0, calls = 0;
  hl.HookAttrChangeEvent(&first, [&](TSynPersistent*) {
    ++calls;
    hl.UnhookAttrChangeEvent(&first);
  });
  hl.HookAttrChangeEvent(&second, [&](TSynPersistent*) { ++calls; });
  hl.HighlightChanged(nullptr);
  EXPECT_EQ(calls, 2);
  hl.HighlightChanged(nullptr);
  EXPECT_EQ(calls, 3);
}

TEST(CustomHighlighter, DestructionTellsTheRegisteredOwners) {
  int editorA = 0, editorB = 0;
  std::vector<TSynCustomHighlighter*> told;
  TSynCustomHighlighter* address = nullptr;
  {
    TOneTokenSyn hl;
    address = &hl;
    hl.FreeNotification(&editorA, [&](TSynCustomHighlighter* h) {
      told.push_back(h);
      h->UnhookAttrChangeEvent(&editorA);  // what a detaching editor does
      h->RemoveFreeNotification(&editorA);
    });
    hl.FreeNotification(&editorB, [&](TSynCustomHighlighter* h) { told.push_back(h); });
    hl.RemoveFreeNotification(&editorB);
  }
  EXPECT_EQ(told, std::vector<TSynCustomHighlighter*>{address});
}

TEST(CustomHighlighter, ScanToLineEndRunsTheTokensOfTheLine) {
  TOneTokenSyn hl;
  hl.StartLine("abc", 0);
  EXPECT_FALSE(hl.AtLineEnd());
  hl.ScanToLineEnd();
  EXPECT_TRUE(hl.AtLineEnd());
  EXPECT_EQ(hl.calls, 1);
  hl.StartLine("", 1);
  hl.ScanToLineEnd();
  EXPECT_EQ(hl.calls, 1);
}

TEST(CustomHighlighter, AssignCopiesSameNamedAttributesAndSettings) {
  TOneTokenSyn src({"Comment", "Number", "Extra"});
  src.Find("Comment")->SetForeground(clGreen);
  src.Find("Number")->SetStyle({fsBold});
  src.Find("Extra")->SetBackground(clRed);
  src.SetDefaultFilter("Scripts|*.pwn");
  src.SetEnabled(false);
  src.SetWordBreakChars(SynCharSet(";"));
  src.SetSampleSource("sample");

  TOneTokenSyn same({"Comment", "number"});
  same.Assign(src);
  EXPECT_EQ(same.Find("Comment")->Foreground(), clGreen);
  EXPECT_TRUE(same.Find("number")->Style().Empty());  // names compare exactly
  EXPECT_EQ(same.AttributeCount(), 2);
  EXPECT_EQ(same.DefaultFilter(), "Scripts|*.pwn");
  EXPECT_FALSE(same.Enabled());
  EXPECT_EQ(same.WordBreakChars(), SynCharSet(";"));
  EXPECT_EQ(same.SampleSource(), "sample");

  TOtherSyn other({"Comment"});
  other.Assign(src);
  EXPECT_EQ(other.Find("Comment")->Foreground(), clGreen);
  EXPECT_EQ(other.SampleSource(), "");  // a different class keeps its own sample
}
