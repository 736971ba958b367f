// The function catalog behind the function list, completion and the hints:
// built from the include folder, the files the script includes and the
// script on a thread of its own, after Open, New and Save and a second after
// the typing stops, never on every keystroke. Included files are read again
// only when their size or time changed. The window only puts a finished
// catalog on show.
#include <QLabel>
#include <QListView>
#include <QStatusBar>
#include <utility>

#include "app/LudraApplication.h"
#include "app/Main.h"

namespace ludra {

namespace {

constexpr int kRebuildDelay = 1000;  // milliseconds after the last change

}  // namespace

void TfmMain::ConnectCatalog() {
  catalogWorker_ = std::make_unique<TCatalogWorker>([this] {
    // On the worker's thread: the window takes the result on its own.
    QMetaObject::invokeMethod(
        this, [this] { Guarded([this] { TakeCatalog(); }); }, Qt::QueuedConnection);
  });
  connect(lbFunctions, &QListView::doubleClicked, this,
          [this] { Guarded([this] { ScriptFunctionDblClick(); }); });
}

bool TfmMain::StartPending() const {
  return includesPending_ || scriptPending_ || sessionPending_ ||
         (catalogWorker_ && catalogWorker_->Busy());
}

void TfmMain::ScheduleCatalog() {
  if (!catalogTimer_) {
    catalogTimer_ = ProposalHost->CreateTimer();
    catalogTimer_->SetInterval(kRebuildDelay);
    catalogTimer_->OnTimer = [this] { Guarded([this] { RebuildCatalog(); }); };
  }
  // Every change starts the wait afresh.
  catalogTimer_->SetEnabled(false);
  catalogTimer_->SetEnabled(true);
}

void TfmMain::RebuildCatalog() {
  if (catalogTimer_) catalogTimer_->SetEnabled(false);
  TCatalogRequest request;
  request.IncludeFolders = includeFolders_;
  request.HasScript = !CurrentFileName.empty();
  if (request.HasScript) {
    request.ScriptPath = DocumentPath();
    request.ScriptText = moCode->Lines().Text();
  }
  catalogWorker_->Request(std::move(request));
}

void TfmMain::WaitForCatalog() {
  catalogWorker_->Wait();
  TakeCatalog();
}

void TfmMain::TakeCatalog() {
  if (std::optional<TCatalogBuild> build = catalogWorker_->Take()) ApplyCatalog(std::move(*build));
}

void TfmMain::ApplyCatalog(TCatalogBuild build) {
  // What is let go of is freed on the worker's thread.
  catalogWorker_->Discard(std::exchange(catalog_, build.Catalog));
  catalogWorker_->Discard(FunctionRows->SetCatalog(catalog_));
  // The include folder's unreadable files are named once, in one report.
  if (!build.FolderErrors.empty() && !folderErrorsReported_) {
    folderErrorsReported_ = true;
    std::string text;
    for (const std::string& error : build.FolderErrors)
      text += (text.empty() ? "" : "\n") + ErrorReportText(error);
    dialogs_->ReportError(this, text);
  }
  // The included files that could not be read, in a status panel of their
  // own, so that the command's own message stays.
  if (build.IncludesChanged) ShowIncludeNote(build.IncludeErrors);
  pendingCompletion_ = std::move(build);
  ApplyCompletionItems();
  ApplyFunctionFilter();
}

void TfmMain::ApplyCompletionItems() {
  // An open list keeps the items it was opened with.
  if (!pendingCompletion_ || scpCode->Visible()) return;
  auto old = std::make_shared<TCatalogBuild>();
  old->Catalog = std::exchange(completionCatalog_, pendingCompletion_->Catalog);
  old->ItemList = std::exchange(scpCode->ItemList(), std::move(pendingCompletion_->ItemList));
  old->InsertList = std::exchange(scpCode->InsertList(), std::move(pendingCompletion_->InsertList));
  pendingCompletion_.reset();
  catalogWorker_->Discard(std::move(old));
}

void TfmMain::ShowIncludeNote(const std::vector<std::string>& errors) {
  if (!lblIncludeNote) {
    if (errors.empty()) return;
    lblIncludeNote = new QLabel();
    lblIncludeNote->setObjectName("lblIncludeNote");
    lblIncludeNote->setTextFormat(Qt::PlainText);
    sbMain->addWidget(lblIncludeNote);
  }
  std::string text = errors.empty() ? std::string() : errors.front();
  if (errors.size() > 1) text += " (and " + std::to_string(errors.size() - 1) + " more)";
  lblIncludeNote->setText(QString::fromStdString(text));
  lblIncludeNote->setVisible(!errors.empty());
}

void TfmMain::ScriptFunctionDblClick() {
  int row = lbFunctions->currentIndex().row();
  if (!catalog_ || row < 0 || row >= static_cast<int>(catalog_->Rows().size()) ||
      !moCode->isEnabled())
    return;
  const TCatalogRow& r = catalog_->Rows()[static_cast<size_t>(row)];
  if (!r.Entry || !catalog_->Sections()[static_cast<size_t>(r.Section)].Script) return;
  moCode->setFocus();
  moCode->SetCaretPos({1, r.Entry->Line});
}

}  // namespace ludra
