// The function list: the natives of the include folder, their status texts,
// and the call a double click inserts.
#include <QListWidget>

#include "IncludeScanner.h"
#include "LudraApplication.h"
#include "Main.h"
#include "SynCodePage.h"

namespace ludra {

void TfmMain::ConnectFunctionList() {
  // Every row has the same height, so thousands of natives are laid out
  // without measuring each one.
  lbFunctions->setUniformItemSizes(true);
  // A click selects; the arrow keys select too, and both show the status text.
  connect(lbFunctions, &QListWidget::currentRowChanged, this,
          [this] { Guarded([this] { lbFunctionsClick(lbFunctions); }); });
  connect(lbFunctions, &QListWidget::itemClicked, this,
          [this] { Guarded([this] { lbFunctionsClick(lbFunctions); }); });
  connect(lbFunctions, &QListWidget::itemDoubleClicked, this,
          [this] { Guarded([this] { lbFunctionsDblClick(lbFunctions); }); });
}

void TfmMain::ScanIncludes() {
  TIncludeScan scan = ScanIncludeFolder(programDir_ + "/include");
  QStringList rows;
  rows.reserve(static_cast<qsizetype>(scan.Rows.size()));
  for (const std::string& row : scan.Rows)
    rows.append(QString::fromStdString(CodePage().ToUtf8(row)));
  lbFunctions->addItems(rows);
  functionRows_ = std::move(scan.Rows);
  *InfoList = std::move(scan.InfoList);
  NameList = std::move(scan.NameList);
  ParamList = std::move(scan.ParamList);
  // Files that cannot be read are left out; all of them are named in one
  // report and start-up goes on.
  if (!scan.Errors.empty()) {
    std::string text;
    for (const std::string& error : scan.Errors)
      text += (text.empty() ? "" : "\n") + ErrorReportText(error);
    dialogs_->ReportError(this, text);
  }
}

void TfmMain::lbFunctionsClick(QObject* sender) {
  (void)sender;
  int row = lbFunctions->currentRow();
  if (row < 0) return;
  SetStatusText(CodePage().ToUtf8(InfoList->Get(row)));
}

void TfmMain::lbFunctionsDblClick(QObject* sender) {
  (void)sender;
  int row = lbFunctions->currentRow();
  if (!moCode->isEnabled() || row < 0 || row >= static_cast<int>(functionRows_.size())) return;
  std::string line = moCode->Lines().Get(moCode->CaretLine() - 1);
  std::optional<TCallInsertion> call = InsertCall(line, moCode->CaretChar(), functionRows_[row]);
  if (!call) return;
  moCode->setFocus();
  // Straight into the buffer: the insertion is neither undoable nor a change
  // of the document.
  moCode->Lines().Put(moCode->CaretLine() - 1, call->Line);
  moCode->SetCaretChar(call->CaretChar);
}

}  // namespace ludra
