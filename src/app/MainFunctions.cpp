// The function list (the natives of the include folder, their status texts,
// the call a double click inserts), code completion of the natives and the
// parameter hint of a call.
#include <QListView>
#include <future>
#include <system_error>

#include "app/LudraApplication.h"
#include "app/Main.h"
#include "appcore/DocComment.h"
#include "appcore/HintText.h"
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
  includeFolder_ = IncludeFolder(programDir_, FindCompiler(programDir_, ProgramSearchPath()));
  TIncludeScan scan = ScanIncludeFolder(includeFolder_, TNativeListFill::Later);
  nativeRowCount_ += static_cast<int>(scan.Rows.size());
  for (int doc : scan.RowDocs)
    rowDocs_.push_back(doc < 0 ? std::string() : scan.Docs[static_cast<size_t>(doc)]);
  FunctionRows->Append(std::move(scan.Rows));
  *InfoList = std::move(scan.InfoList);
  StartFillingNatives(std::move(scan.NativeLines), std::move(scan.Docs));
  // Files that cannot be read are left out; all of them are named in one
  // report and start-up goes on.
  if (!scan.Errors.empty()) {
    std::string text;
    for (const std::string& error : scan.Errors)
      text += (text.empty() ? "" : "\n") + ErrorReportText(error);
    dialogs_->ReportError(this, text);
  }
}

void TfmMain::StartFillingNatives(std::string lines, std::vector<std::string> docs) {
  if (lines.empty()) return;
  TIncludeScan natives;
  natives.NativeLines = std::move(lines);
  natives.Docs = std::move(docs);
  // The entries are made beside the window, which waits for them only when
  // they are first used: hundreds of thousands of natives take seconds.
  // Without a thread to spare, they are made at that first use.
  auto fill = [natives = std::move(natives)]() mutable {
    FillNativeLists(natives);
    return std::move(natives);
  };
  try {
    pendingNatives_ = std::async(std::launch::async, std::move(fill));
  } catch (const std::system_error&) {
    pendingNatives_ = std::async(std::launch::deferred, std::move(fill));
  }
}

void TfmMain::EnsureNativeLists() {
  if (!pendingNatives_.valid()) return;
  TIncludeScan natives = pendingNatives_.get();
  std::vector<std::string> docs;
  docs.reserve(natives.NameDocs.size() + EntryDocs.size());
  for (int doc : natives.NameDocs)
    docs.push_back(doc < 0 ? std::string() : natives.Docs[static_cast<size_t>(doc)]);
  for (std::string& doc : EntryDocs) docs.push_back(std::move(doc));
  EntryDocs = std::move(docs);
  nativeKeys_ = std::move(natives.EntryKeys);
  // What the script's functions added so far follows the natives.
  auto putFirst = [](TStringList& front, TStringList& list) {
    for (int i = 0, n = list.Count(); i < n; ++i) front.Add(list.Get(i));
    list = std::move(front);
  };
  putFirst(natives.ItemList, scpCode->ItemList());
  putFirst(natives.InsertList, scpCode->InsertList());
  putFirst(natives.NameList, NameList);
  putFirst(natives.ParamList, ParamList);
  DropKnownEntries();
}

void TfmMain::lbFunctionsClick(QObject* sender) {
  (void)sender;
  int row = lbFunctions->currentIndex().row();
  if (row < 0) return;
  std::string text = InfoList->Get(row);
  // The declaration, then what its doc comment says of it.
  if (static_cast<size_t>(row) < rowDocs_.size() && !rowDocs_[static_cast<size_t>(row)].empty()) {
    std::string summary = DocSummary(rowDocs_[static_cast<size_t>(row)]);
    if (!summary.empty()) text += "  \x97  " + summary;
  }
  SetStatusText(CodePage().ToUtf8(text));
}

void TfmMain::lbFunctionsDblClick(QObject* sender) {
  (void)sender;
  int row = lbFunctions->currentIndex().row();
  // Natives of the include folder and of the files the script includes.
  if (!moCode->isEnabled() || row < 0 || row >= nativeRowCount_ + treeRowCount_) return;
  const int line = std::min(moCode->CaretLine(), std::max(1, moCode->Lines().Count()));
  // Past the line end the call follows the last character.
  const TBufferCoord at{std::min(moCode->CaretChar(), moCode->LineLength(line) + 1), line};
  const std::string name = FunctionRows->Text(row);
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
  EnsureNativeLists();
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
  const std::string paramHint = ParamList[hint.NameIndex];
  hint.ParamIndex = ParameterOfArgument(paramHint, hint.ParamIndex);
  THintLine line = FitHintToScreen(paramHint, hint.ParamIndex);
  std::vector<std::string> wanted{line.Hint};
  const std::string& doc = static_cast<size_t>(hint.NameIndex) < EntryDocs.size()
                               ? EntryDocs[static_cast<size_t>(hint.NameIndex)]
                               : std::string();
  if (!doc.empty()) {
    std::vector<std::string> params = HintParameters(paramHint);
    std::string current = hint.ParamIndex >= 0 && hint.ParamIndex < static_cast<int>(params.size())
                              ? params[static_cast<size_t>(hint.ParamIndex)]
                              : std::string();
    for (std::string& line : HintDocMarkup(doc, current)) wanted.push_back(std::move(line));
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
