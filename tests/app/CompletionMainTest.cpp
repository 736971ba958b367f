#include <QListView>
#include <QMouseEvent>
#include <QScrollBar>

#include "app/MainWindowTestSupport.h"
#include "platform/SynTimer.h"
#include "qt/SynCompletionProposalWindow.h"

using namespace ludra;

namespace {

std::vector<std::string> Items(const TStrings& list) {
  std::vector<std::string> out;
  for (int i = 0; i < list.Count(); ++i) out.push_back(list[i]);
  return out;
}

// The bold part of a parameter hint line, or "" when nothing is bold.
std::string BoldParameter(TSynCompletionProposal& engine) {
  if (engine.ItemList().Count() != 1) return "<no hint>";
  std::string line = MarkCurrentParameter(engine.ItemList()[0], engine.CurrentIndex());
  const std::string mark = "\\style{~B}";
  size_t a = line.find(mark);
  if (a == std::string::npos) return "";
  size_t b = line.find(mark, a + mark.size());
  return line.substr(a + mark.size(), b - a - mark.size());
}

}  // namespace

class CompletionMainTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    triggerClock_ = &clock_;
    std::filesystem::create_directories(programDir_ + "/include");
    WriteFile(programDir_ + "/include/sound.inc",
              "native beep(freq, ms);\nnative bell();\nnative BEEP2(Float:volume);\n");
    WriteFile(programDir_ + "/include/text.inc", "native Text:make(a, b, c);\n");
  }
  // A script with an empty indented line, the caret at its end.
  TfmMain& StartEditing() {
    std::string script = root_ + "/x.pwn";
    WriteFile(script, "main()\n{\n\t\n}\n");
    TfmMain& w = Start({script});
    w.activateWindow();
    QApplication::processEvents();
    w.moCode->SetCaretPos(TBufferCoord{2, 3});
    return w;
  }
  void KeyDown(uint16_t key, TShiftState shift = {}) { window_->moCode->KeyDown(key, shift); }
  TSynManualClock clock_;
};

TEST_F(CompletionMainTest, EnginesAreSetUpForNativesAndHints) {
  TfmMain& w = Start();
  TSynCompletionProposal& code = *w.scpCode;
  EXPECT_EQ(code.DefaultType(), ctCode);
  EXPECT_EQ(code.Options(),
            TSynCompletionOptions({scoLimitToMatchedText, scoUseInsertList, scoUsePrettyText,
                                   scoUseBuiltInTimer, scoEndCharCompletion, scoCompleteWithTab,
                                   scoCompleteWithEnter}));
  EXPECT_EQ(code.Width(), 262);
  EXPECT_EQ(code.EndOfTokenChr(), "()[]. ");
  EXPECT_EQ(code.TriggerChars(), ".");
  EXPECT_EQ(code.ShortCut(), 16416);
  EXPECT_EQ(code.TimerInterval(), 1000);
  ASSERT_EQ(code.Columns().Count(), 1);
  EXPECT_EQ(code.Columns()[0].BiggestWord, "function");
  EXPECT_EQ(code.Font().Name, "MS Sans Serif");
  EXPECT_EQ(code.Font().Size, 8);
  EXPECT_TRUE(code.TitleFont().Style.Contains(fsBold));
  EXPECT_EQ(code.Editor(), w.moCode);
  EXPECT_EQ(Items(code.InsertList()), (std::vector<std::string>{"beep", "bell", "BEEP2", "make"}));
  ASSERT_EQ(code.ItemList().Count(), 4);

  TSynCompletionProposal& params = *w.scpParams;
  EXPECT_EQ(params.DefaultType(), ctParams);
  EXPECT_EQ(params.Options(),
            TSynCompletionOptions({scoLimitToMatchedText, scoUsePrettyText, scoUseBuiltInTimer}));
  EXPECT_EQ(params.ClBackground(), clInfoBk);
  EXPECT_EQ(params.Width(), 262);
  EXPECT_EQ(params.EndOfTokenChr(), "()[]. ");
  EXPECT_EQ(params.TriggerChars(), "(");
  EXPECT_EQ(params.TimerInterval(), 1200);
  EXPECT_EQ(params.ShortCut(), 0);
  EXPECT_EQ(params.Columns().Count(), 0);
  EXPECT_EQ(params.Font().Name, "MS Sans Serif");
  EXPECT_TRUE(params.OnExecute != nullptr);
  EXPECT_EQ(params.Editor(), w.moCode);
  EXPECT_EQ(params.ItemList().Count(), 0);
}

TEST_F(CompletionMainTest, HintOpensAfterTheDelayAndBoldsTheParameterAfterEachComma) {
  TfmMain& w = StartEditing();
  Type("x = beep(");
  clock_.Advance(1199);
  EXPECT_FALSE(w.scpParams->Visible());
  clock_.Advance(1);
  ASSERT_TRUE(w.scpParams->Visible());
  EXPECT_EQ(Items(w.scpParams->ItemList()), (std::vector<std::string>{R"("freq,","ms")"}));
  EXPECT_EQ(BoldParameter(*w.scpParams), "freq,");
  Type("min(a, b), ");
  EXPECT_TRUE(w.scpParams->Visible());
  EXPECT_EQ(BoldParameter(*w.scpParams), "ms");
  Type("3, ");
  EXPECT_TRUE(w.scpParams->Visible());
  EXPECT_EQ(BoldParameter(*w.scpParams), "");  // past the last parameter
  Type(")");
  EXPECT_FALSE(w.scpParams->Visible());  // the call is closed
  EXPECT_EQ(w.moCode->Lines()[2], "\tx = beep(min(a, b), 3, )");
  EXPECT_TRUE(w.DocumentModified);
}

TEST_F(CompletionMainTest, UpperCaseNativeGetsItsOwnHintNotTheOneShownBefore) {
  TfmMain& w = StartEditing();
  Type("beep(");
  clock_.Advance(1200);
  ASSERT_TRUE(w.scpParams->Visible());
  // Typed right before the caret, the upper-case name equals the preceding word.
  Type("BEEP2(");
  ASSERT_TRUE(w.scpParams->Visible());
  EXPECT_EQ(Items(w.scpParams->ItemList()), (std::vector<std::string>{R"("Float:volume")"}));
  EXPECT_EQ(BoldParameter(*w.scpParams), "Float:volume");
}

TEST_F(CompletionMainTest, NothingShowsOutsideAKnownCall) {
  TfmMain& w = StartEditing();
  for (const char* text : {"x(", "beep(1) + y("}) {
    w.moCode->Lines().Put(w.moCode->CaretLine() - 1, "\t");
    w.moCode->SetCaretPos(TBufferCoord{2, 3});
    Type(text);
    clock_.Advance(1200);
    EXPECT_FALSE(w.scpParams->Visible()) << text;
    EXPECT_EQ(w.scpParams->ItemList().Count(), 0) << text;
  }
  // A tagged native is called by its name without the tag.
  w.moCode->Lines().Put(w.moCode->CaretLine() - 1, "\t");
  w.moCode->SetCaretPos(TBufferCoord{2, 3});
  Type("make(");
  clock_.Advance(1200);
  ASSERT_TRUE(w.scpParams->Visible());
  Type("\"1, 2\", ");
  EXPECT_EQ(BoldParameter(*w.scpParams), "b,");
}

TEST_F(CompletionMainTest, CtrlSpaceListsMatchingNativesAndEnterInsertsOne) {
  TfmMain& w = StartEditing();
  Type("be");
  KeyDown(VK_SPACE, {ssCtrl});
  Type(" ");  // the chord's own character is swallowed
  ASSERT_TRUE(w.scpCode->Visible());
  TSynBaseCompletionProposalForm& list = w.scpCode->Form();
  ASSERT_EQ(list.MatchedCount(), 3);  // beep, bell, BEEP2
  uint16_t down = VK_DOWN, enter = VK_RETURN;
  list.KeyDown(down, {});
  list.KeyDown(enter, {});
  EXPECT_FALSE(w.scpCode->Visible());
  EXPECT_EQ(w.moCode->Lines()[2], "\tbell");
  EXPECT_EQ(w.moCode->CaretChar(), 6);
  w.miUndoClick(w.miUndo);
  EXPECT_EQ(w.moCode->Lines()[2], "\tbe");
}

// A prefix nothing matches shows no list that would hold the keys: the
// status bar says so for a moment, and the next keys act in the editor.
TEST_F(CompletionMainTest, CtrlSpaceOnAPrefixNothingMatchesSaysSoAndHoldsNoKeys) {
  TfmMain& w = StartEditing();
  w.SetStatusText("before");
  Type("COLOR_G");
  KeyDown(VK_SPACE, {ssCtrl});
  Type(" x");  // the chord's own character is swallowed
  EXPECT_FALSE(w.scpCode->Visible());
  EXPECT_EQ(w.StatusText(0), "No completions");
  EXPECT_EQ(w.moCode->Lines()[2], "\tCOLOR_Gx");
  PressKey(Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(w.StatusText(0), "File 'x.pwn' saved.");
  clock_.Advance(5000);
  EXPECT_EQ(w.StatusText(0), "File 'x.pwn' saved.");  // a later text stays
  KeyDown(VK_SPACE, {ssCtrl});
  clock_.Advance(2499);
  EXPECT_EQ(w.StatusText(0), "No completions");
  clock_.Advance(1);
  EXPECT_EQ(w.StatusText(0), "File 'x.pwn' saved.");
}

// Completion offers every kind the catalog holds, each with its kind word
// in the first column; a function-like macro gets a hint like a function.
TEST_F(CompletionMainTest, EveryKindIsOfferedWithItsKindShown) {
  WriteFile(programDir_ + "/include/kinds.inc",
            "#define COLOR_GREEN 0x00FF00FF\n#define COLOR_MIX(%0,%1) ((%0)|(%1))\n"
            "enum COLOR_SET { COLOR_RED, COLOR_BLUE }\nnew COLOR_COUNT;\nconst COLOR_MAX = 3;\n"
            "forward COLOR_Changed(id);\nnative COLOR_Set(id, c);\n");
  TfmMain& w = StartEditing();
  Type("x = COLOR_MIX(");
  clock_.Advance(1200);
  ASSERT_TRUE(w.scpParams->Visible());
  Type("a, ");
  EXPECT_EQ(BoldParameter(*w.scpParams), "%1");

  w.moCode->Lines().Put(w.moCode->CaretLine() - 1, "\t");
  w.moCode->SetCaretPos(TBufferCoord{2, 3});
  Type("COLOR_");
  KeyDown(VK_SPACE, {ssCtrl});
  Type(" ");
  ASSERT_TRUE(w.scpCode->Visible());
  TSynBaseCompletionProposalForm& list = w.scpCode->Form();
  std::vector<std::string> shown;
  for (int i = 0; i < list.MatchedCount(); ++i)
    shown.push_back(w.scpCode->ItemList()[list.MatchedIndex(i)]);
  auto item = [](const char* word, const char* name, const char* rest) {
    return std::string(word) + " \\column{}\\style{+B}" + name + "\\style{-B}" + rest;
  };
  EXPECT_EQ(shown,
            (std::vector<std::string>{
                item("define", "COLOR_GREEN", " 0x00FF00FF"), item("macro", "COLOR_MIX", "(%0,%1)"),
                item("enum", "COLOR_SET", ""), item("member", "COLOR_RED", " (COLOR_SET)"),
                item("member", "COLOR_BLUE", " (COLOR_SET)"), item("new", "COLOR_COUNT", ""),
                item("const", "COLOR_MAX", ""), item("forward", "COLOR_Changed", "(id)"),
                item("native", "COLOR_Set", "(id, c)")}));
}

// The pop-up windows are made when they first show, not at start-up.
TEST_F(CompletionMainTest, PopUpWindowsAreMadeWhenTheyFirstShow) {
  auto popUps = [] {
    std::vector<TSynQtProposalWindow*> found;
    for (QWidget* top : QApplication::topLevelWidgets())
      if (auto* window = qobject_cast<TSynQtProposalWindow*>(top)) found.push_back(window);
    return found;
  };
  TfmMain& w = StartEditing();
  EXPECT_TRUE(popUps().empty());
  Type("be");
  KeyDown(VK_SPACE, {ssCtrl});
  Type(" ");
  ASSERT_TRUE(w.scpCode->Visible());
  ASSERT_EQ(popUps().size(), 1u);
  EXPECT_TRUE(popUps()[0]->isVisible());
  EXPECT_TRUE(popUps()[0]->windowFlags().testFlag(Qt::Tool));
  uint16_t escape = VK_ESCAPE;
  w.scpCode->Form().KeyDown(escape, {});
  ASSERT_FALSE(w.scpCode->Visible());
  Type("ep(");
  clock_.Advance(1200);
  ASSERT_TRUE(w.scpParams->Visible());
  ASSERT_EQ(popUps().size(), 2u);
  int hints = 0;
  for (TSynQtProposalWindow* window : popUps())
    if ((window->windowFlags() & Qt::WindowType_Mask) == Qt::ToolTip && window->isVisible())
      ++hints;
  EXPECT_EQ(hints, 1);
}

TEST_F(CompletionMainTest, TheHintGoesWhenAClickAScrollOrASearchMovesTheCaret) {
  TfmMain& w = StartEditing();
  w.moCode->SetSearchEngine(w.SynEditSearch.get());
  QPoint at(w.moCode->GutterPixels() + 2, 2);
  QMouseEvent click(QEvent::MouseButtonPress, at, w.moCode->viewport()->mapToGlobal(at),
                    Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  const std::function<void()> moves[] = {
      [&] { QApplication::sendEvent(w.moCode->viewport(), &click); },
      [&] { w.moCode->verticalScrollBar()->triggerAction(QAbstractSlider::SliderToMaximum); },
      [&] { w.moCode->SearchAndReplace("main", "", {sfEntireScope}); }};
  for (const auto& move : moves) {
    w.moCode->SetText("main()\n{\n\tx = beep" + std::string(300, '\n') + "}\n");
    w.moCode->SetCaretPos({10, 3});
    Type("(");
    clock_.Advance(1200);
    ASSERT_TRUE(w.scpParams->Visible());
    move();
    EXPECT_FALSE(w.scpParams->Visible());
  }
}
