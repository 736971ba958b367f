// The function list (the natives of the include folder, their status texts,
// the call a double click inserts), code completion of the natives and the
// parameter hint of a call.
#include <QListView>

#include "app/LudraApplication.h"
#include "app/Main.h"
#include "appcore/IncludeScanner.h"
#include "appcore/ParamHintScanner.h"
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
  columns.Add().BiggestWord = "native";
  scpCode->SetColumns(columns);
  scpCode->SetFont(ProposalFont(false));
  scpCode->SetTitleFont(ProposalFont(true));
  scpCode->OnExecute = [this](SynCompletionType, TSynBaseCompletionProposal*, std::string&, int&,
                              int&, bool&) { EnsureNativeLists(); };
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
  TIncludeScan scan =
      ScanIncludeFolder(IncludeFolder(programDir_, FindCompiler(programDir_, ProgramSearchPath())),
                        TNativeListFill::Later);
  nativeRowCount_ += static_cast<int>(scan.Rows.size());
  FunctionRows->Append(std::move(scan.Rows));
  *InfoList = std::move(scan.InfoList);
  pendingNatives_ = std::move(scan.NativeLines);
  // Files that cannot be read are left out; all of them are named in one
  // report and start-up goes on.
  if (!scan.Errors.empty()) {
    std::string text;
    for (const std::string& error : scan.Errors)
      text += (text.empty() ? "" : "\n") + ErrorReportText(error);
    dialogs_->ReportError(this, text);
  }
}

void TfmMain::EnsureNativeLists() {
  if (pendingNatives_.empty()) return;
  TIncludeScan natives;
  natives.NativeLines = std::move(pendingNatives_);
  pendingNatives_.clear();
  FillNativeLists(natives);
  // What the script's functions added so far follows the natives.
  auto putFirst = [](TStringList& front, TStringList& list) {
    for (int i = 0, n = list.Count(); i < n; ++i) front.Add(list.Get(i));
    list = std::move(front);
  };
  putFirst(natives.ItemList, scpCode->ItemList());
  putFirst(natives.InsertList, scpCode->InsertList());
  putFirst(natives.NameList, NameList);
  putFirst(natives.ParamList, ParamList);
}

void TfmMain::lbFunctionsClick(QObject* sender) {
  (void)sender;
  int row = lbFunctions->currentIndex().row();
  if (row < 0) return;
  SetStatusText(CodePage().ToUtf8(InfoList->Get(row)));
}

void TfmMain::lbFunctionsDblClick(QObject* sender) {
  (void)sender;
  int row = lbFunctions->currentIndex().row();
  if (!moCode->isEnabled() || row < 0 || row >= nativeRowCount_) return;
  std::string line = moCode->Lines().Get(moCode->CaretLine() - 1);
  std::optional<TCallInsertion> call =
      InsertCall(line, moCode->CaretChar(), FunctionRows->Text(row));
  if (!call) return;
  moCode->setFocus();
  // Straight into the buffer: the insertion is neither undoable nor a change
  // of the document.
  moCode->Lines().Put(moCode->CaretLine() - 1, call->Line);
  moCode->SetCaretChar(call->CaretChar);
}

void TfmMain::scpParamsExecute(SynCompletionType kind, TSynBaseCompletionProposal* sender,
                               std::string& currentInput, int& x, int& y, bool& canExecute) {
  (void)kind, (void)currentInput, (void)x, (void)y;
  EnsureNativeLists();
  auto* engine = static_cast<TSynCompletionProposal*>(sender);
  TCustomSynEdit* editor = engine->Editor();
  TParamHint hint =
      editor ? ScanParamHint(editor->LineAtCaret(), editor->CaretChar(), NameList) : TParamHint();
  canExecute = hint.Found;
  TStringList& items = engine->ItemList();
  if (!hint.Found) {
    items.Clear();
    return;
  }
  engine->SetCurrentIndex(hint.ParamIndex);
  // The list is left alone only when it already holds this call's hint; an
  // upper-case name equal to the word before the caret must not keep another
  // call's parameters (or none) on show.
  const std::string paramHint = ParamList[hint.NameIndex];
  if (items.Count() != 1 || items[0] != paramHint) {
    items.Clear();
    items.Add(paramHint);
  }
}

}  // namespace ludra
