// The function list (the catalog's callables by file, their status texts,
// the call a double click inserts), code completion of everything the
// catalog holds and the parameter hint of a call.
#include <QListView>

#include "app/LudraApplication.h"
#include "app/Main.h"
#include "appcore/DocComment.h"
#include "appcore/HintText.h"
#include "appcore/ParamHintScanner.h"
#include "appcore/PawnDeclarations.h"
#include "base/SynCodePage.h"
#include "completion/SynLazyProposalWindow.h"
#include "qt/SynCompletionProposalWindow.h"

namespace ludra {

namespace {

// The Qt services, with the trigger timers on a test's clock when one is
// given; the pop-up windows are made when completion or a hint first shows.
class TMainProposalHost : public TSynQtProposalHost {
 public:
  explicit TMainProposalHost(TSynManualClock* clock) : clock_(clock) {}
  std::unique_ptr<TSynProposalWindow> CreateProposalWindow(
      TSynBaseCompletionProposalForm& form) override {
    return std::make_unique<TSynLazyProposalWindow>(
        [this, &form] { return TSynQtProposalHost::CreateProposalWindow(form); });
  }
  std::unique_ptr<TSynTimer> CreateTimer() override {
    return clock_ ? clock_->CreateTimer() : TSynQtProposalHost::CreateTimer();
  }

 private:
  TSynManualClock* clock_;
};

// The proposal windows' fonts: "MS Sans Serif" 8 pt, the title bold.
TSynFont ProposalFont(bool title) {
  TSynFont font;
  font.Name = "MS Sans Serif";
  font.Size = 8;
  font.Color = title ? clBtnText : clWindowText;
  if (title) font.Style = {fsBold};
  return font;
}

}  // namespace

void TfmMain::CreateCompletion(TSynManualClock* triggerClock) {
  ProposalHost = std::make_unique<TMainProposalHost>(triggerClock);

  scpCode = std::make_unique<TSynCompletionProposal>(*ProposalHost);
  scpCode->SetOptions({scoLimitToMatchedText, scoUseInsertList, scoUsePrettyText,
                       scoUseBuiltInTimer, scoEndCharCompletion, scoCompleteWithTab,
                       scoCompleteWithEnter});
  scpCode->SetWidth(262);
  scpCode->SetEndOfTokenChr("()[]. ");
  scpCode->SetTriggerChars(".");
  scpCode->SetShortCut(scCtrl | VK_SPACE);
  TProposalColumns columns;
  // Wide enough for every kind word.
  columns.Add().BiggestWord = kWidestKindWord;
  scpCode->SetColumns(columns);
  scpCode->SetFont(ProposalFont(false));
  scpCode->SetTitleFont(ProposalFont(true));
  scpCode->OnNoMatch = [this](TSynBaseCompletionProposal*) { ShowPassingStatus("No completions"); };
  scpCode->SetEditor(moCode);

  scpParams = std::make_unique<TSynCompletionProposal>(*ProposalHost);
  scpParams->SetDefaultType(ctParams);
  scpParams->SetOptions({scoLimitToMatchedText, scoUsePrettyText, scoUseBuiltInTimer});
  scpParams->SetClBackground(clInfoBk);
  scpParams->SetWidth(262);
  scpParams->SetEndOfTokenChr("()[]. ");
  scpParams->SetTriggerChars("(");
  scpParams->SetTimerInterval(1200);
  scpParams->SetShortCut(scNone);
  scpParams->SetColumns(TProposalColumns());
  scpParams->SetFont(ProposalFont(false));
  scpParams->SetTitleFont(ProposalFont(true));
  scpParams->OnExecute = [this](SynCompletionType kind, TSynBaseCompletionProposal* sender,
                                std::string& currentInput, int& x, int& y, bool& canExecute) {
    scpParamsExecute(kind, sender, currentInput, x, y, canExecute);
  };
  scpParams->SetEditor(moCode);
  ConnectCompletionDocs();
}

void TfmMain::ShowPassingStatus(const std::string& text) {
  if (!statusTimer_) {
    statusTimer_ = ProposalHost->CreateTimer();
    statusTimer_->SetInterval(2500);
    statusTimer_->OnTimer = [this] {
      statusTimer_->SetEnabled(false);
      // A text set meanwhile stays.
      if (StatusText(0) == passingStatus_) SetStatusText(statusBefore_);
    };
  }
  if (!statusTimer_->Enabled()) statusBefore_ = StatusText(0);
  passingStatus_ = text;
  SetStatusText(text);
  statusTimer_->SetEnabled(false);
  statusTimer_->SetEnabled(true);
}

void TfmMain::ConnectFunctionList() {
  // Every row has the same height, so thousands of natives are laid out
  // without measuring each one.
  lbFunctions->setUniformItemSizes(true);
  // A click selects; the arrow keys select too, and both show the status text.
  connect(lbFunctions->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this] { Guarded([this] { lbFunctionsClick(lbFunctions); }); });
  connect(lbFunctions, &QListView::clicked, this,
          [this] { Guarded([this] { lbFunctionsClick(lbFunctions); }); });
  connect(lbFunctions, &QListView::doubleClicked, this,
          [this] { Guarded([this] { lbFunctionsDblClick(lbFunctions); }); });
}

void TfmMain::ScanIncludes() {
  // Files that cannot be read are left out; all of them are named in one
  // report and start-up goes on.
  includeFolders_ = {IncludeFolder(programDir_, FindCompiler(programDir_, ProgramSearchPath()))};
  RebuildCatalog();
}

void TfmMain::lbFunctionsClick(QObject* sender) {
  (void)sender;
  int row = lbFunctions->currentIndex().row();
  if (row < 0 || !catalog_) return;
  std::string text = catalog_->RowStatus(row);
  // The declaration, then what its doc comment says of it.
  const TCatalogRow& r = catalog_->Rows()[static_cast<size_t>(row)];
  if (r.Item >= 0) {
    std::string summary = DocSummary(catalog_->Items()[static_cast<size_t>(r.Item)].Doc);
    if (!summary.empty()) text += "  \x97  " + summary;
  }
  SetStatusText(CodePage().ToUtf8(text));
}

void TfmMain::lbFunctionsDblClick(QObject* sender) {
  (void)sender;
  int row = lbFunctions->currentIndex().row();
  // The script's own functions are gone to, not called (ScriptFunctionDblClick).
  if (!moCode->isEnabled() || !catalog_ || row < 0 ||
      row >= static_cast<int>(catalog_->Rows().size()))
    return;
  const TCatalogRow& r = catalog_->Rows()[static_cast<size_t>(row)];
  if (r.Entry && catalog_->Sections()[static_cast<size_t>(r.Section)].Script) return;
  const int line = std::min(moCode->CaretLine(), std::max(1, moCode->Lines().Count()));
  // Past the line end the call follows the last character.
  const TBufferCoord at{std::min(moCode->CaretChar(), moCode->LineLength(line) + 1), line};
  const std::string name = r.Text;
  std::optional<TCallInsertion> call = InsertCall(moCode->LineAtCaret(), at.Char, name);
  if (!call) return;
  moCode->setFocus();
  // Through the editor's own insertion, at the caret (a selection gives way):
  // one undo step of its own, and the document is modified.
  moCode->SetCaretAndSelection(at, at, at);
  moCode->BreakUndoStep();
  moCode->SetSelectedText(name + "()");
  moCode->BreakUndoStep();
  moCode->SetCaretPos({call->CaretChar, line});
}

void TfmMain::scpParamsExecute(SynCompletionType kind, TSynBaseCompletionProposal* sender,
                               std::string& currentInput, int& x, int& y, bool& canExecute) {
  (void)kind, (void)currentInput, (void)x, (void)y;
  auto* engine = static_cast<TSynCompletionProposal*>(sender);
  TCustomSynEdit* editor = engine->Editor();
  if (editor) hintPlace_ = {editor->CaretPos(), editor->TopRow(), editor->FirstVisibleColumn()};
  TParamHint hint = editor ? ScanCallAtCaret(*editor) : TParamHint();
  canExecute = hint.Found;
  TStringList& items = engine->ItemList();
  if (!hint.Found) {
    items.Clear();
    return;
  }
  // The hint kept inside the screen, then the doc comment's lines.
  const TCatalogItem& called = catalog_->Items()[static_cast<size_t>(hint.NameIndex)];
  const std::string paramHint = ParamHintString(called.Entry->Params);
  hint.ParamIndex = ParameterOfArgument(paramHint, hint.ParamIndex);
  THintLine line = FitHintToScreen(paramHint, hint.ParamIndex);
  std::vector<std::string> wanted{line.Hint};
  std::string_view doc = called.Doc;
  if (!doc.empty()) {
    std::vector<std::string> params = HintParameters(paramHint);
    std::string current = hint.ParamIndex >= 0 && hint.ParamIndex < static_cast<int>(params.size())
                              ? params[static_cast<size_t>(hint.ParamIndex)]
                              : std::string();
    for (std::string& line : HintDocMarkup(std::string(doc), current))
      wanted.push_back(std::move(line));
  }
  engine->SetCurrentIndex(line.Index);
  // The list is left alone only when it already holds this call's hint; an
  // upper-case name equal to the word before the caret must not keep another
  // call's parameters (or none) on show.
  bool same = items.Count() == static_cast<int>(wanted.size());
  for (int i = 0; same && i < items.Count(); ++i) same = items[i] == wanted[static_cast<size_t>(i)];
  if (!same) {
    items.Clear();
    for (const std::string& text : wanted) items.Add(text);
  }
}

// The hint follows the caret however it moved (a click, a search, the scroll
// bars): to the call it is now in, or away; out of view it goes.
void TfmMain::FollowCaretWithHint(TSynStatusChanges changes) {
  if (!scpParams || !scpParams->Visible() || scpParams->Form().ShownKind() != ctParams) return;
  if ((changes * TSynStatusChanges{scCaretX, scCaretY, scTopLine, scLeftChar}).Empty()) return;
  const THintPlace now{moCode->CaretPos(), moCode->TopRow(), moCode->FirstVisibleColumn()};
  if (now == hintPlace_) return;
  const TDisplayCoord caret = moCode->DisplayCaretPos();
  if (caret.Row < moCode->TopRow() || caret.Row >= moCode->TopRow() + moCode->VisibleRows() ||
      caret.Column < moCode->FirstVisibleColumn() ||
      caret.Column > moCode->FirstVisibleColumn() + moCode->VisibleColumns())
    scpParams->HideProposal();
  else
    scpParams->ActivateFor(moCode);
}

}  // namespace ludra
