// The function list: the natives of the include folder, their status texts,
// and the call a double click inserts.
#include <QListWidget>

#include "IncludeScanner.h"
#include "LudraApplication.h"
#include "Main.h"
#include "SynCodePage.h"

namespace ludra {

void TfmMain::ConnectFunctionList() {
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
  lbFunctions->setUpdatesEnabled(false);
  for (const std::string& row : scan.Rows) {
    auto* item = new QListWidgetItem(QString::fromStdString(CodePage().ToUtf8(row)));
    // The row's own bytes, for the call a double click inserts.
    item->setData(Qt::UserRole, QByteArray(row.data(), static_cast<qsizetype>(row.size())));
    lbFunctions->addItem(item);
  }
  lbFunctions->setUpdatesEnabled(true);
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
  QListWidgetItem* item = lbFunctions->currentItem();
  if (!moCode->isEnabled() || !item) return;
  QByteArray bytes = item->data(Qt::UserRole).toByteArray();
  std::string line = moCode->Lines().Get(moCode->CaretLine() - 1);
  std::optional<TCallInsertion> call =
      InsertCall(line, moCode->CaretChar(), std::string_view(bytes.constData(), bytes.size()));
  if (!call) return;
  moCode->setFocus();
  // Straight into the buffer: the insertion is neither undoable nor a change
  // of the document.
  moCode->Lines().Put(moCode->CaretLine() - 1, call->Line);
  moCode->SetCaretChar(call->CaretChar);
}

}  // namespace ludra
