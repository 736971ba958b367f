// The functions the open script defines, listed under the natives and
// offered by completion and the parameter hints: rebuilt after Open, New and
// Save and a second after the typing stops, never on every keystroke. A
// click shows the definition's line, a double click goes there.
#include <QListView>
#include <cstring>

#include "app/LudraApplication.h"
#include "app/Main.h"
#include "appcore/DefinitionScanner.h"
#include "appcore/IncludeScanner.h"

namespace ludra {

namespace {

constexpr int kRebuildDelay = 1000;  // milliseconds after the last change

// The storage word a definition starts with, shown in completion's first
// column where natives show "native".
std::string StorageWord(const std::string& text) {
  for (const char* word : {"public", "stock", "static", "forward"})
    if (text.starts_with(word) && text.size() > std::strlen(word) &&
        (text[std::strlen(word)] == ' ' || text[std::strlen(word)] == '\t'))
      return word;
  return std::string();
}

void DropLast(TStrings& list, int count) {
  for (int i = 0; i < count && list.Count() > 0; ++i) list.Delete(list.Count() - 1);
}

}  // namespace

void TfmMain::ConnectScriptFunctions() {
  connect(lbFunctions, &QListView::doubleClicked, this,
          [this] { Guarded([this] { ScriptFunctionDblClick(); }); });
}

void TfmMain::ScheduleScriptFunctions() {
  if (!scriptScanTimer_) {
    scriptScanTimer_ = ProposalHost->CreateTimer();
    scriptScanTimer_->SetInterval(kRebuildDelay);
    scriptScanTimer_->OnTimer = [this] { Guarded([this] { RebuildScriptFunctions(); }); };
  }
  // Every change starts the wait afresh.
  scriptScanTimer_->SetEnabled(false);
  scriptScanTimer_->SetEnabled(true);
}

void TfmMain::RebuildScriptFunctions() {
  if (scriptScanTimer_) scriptScanTimer_->SetEnabled(false);
  TDefinitionScanner scanner;
  if (!CurrentFileName.empty()) {
    const TSynEditStringList& lines = moCode->Lines();
    for (int i = 0, n = lines.Count(); i < n; ++i) scanner.AddLine(lines.Get(i));
  }
  ScriptFunctions = scanner.Functions();

  // The natives' rows and entries stay as they are; only this script's
  // part after them is redone.
  lbFunctions->setUpdatesEnabled(false);
  FunctionRows->RemoveLast(scriptRowCount_);
  if (InfoList) DropLast(*InfoList, scriptRowCount_);
  scriptRowCount_ = 0;
  DropLast(NameList, scriptNameCount_);
  DropLast(ParamList, scriptNameCount_);
  DropLast(scpCode->ItemList(), scriptNameCount_);
  DropLast(scpCode->InsertList(), scriptNameCount_);
  scriptNameCount_ = 0;

  auto addRow = [this](const std::string& text, const std::string& info, int line) {
    FunctionRows->Append(text, line);
    if (InfoList) InfoList->Add(info);
    ++scriptRowCount_;
  };
  if (!ScriptFunctions.empty()) {
    // Laid out like the heading of one more include file.
    if (FunctionRows->Count() > 0) addRow(" ", "", 0);
    addRow(" ", "", 0);
    addRow(" // this script", "Functions of this script", 0);
    addRow(" ", "", 0);
  }
  for (const TScriptFunction& f : ScriptFunctions) {
    addRow(f.Name, "Line " + std::to_string(f.Line) + ":  " + f.Text, f.Line);
    NameList.Add(f.Name);
    ParamList.Add(NativeHintString(f.ParamText));
    scpCode->ItemList().Add(StorageWord(f.Text) + " \\column{}\\style{+B}" + f.Name +
                            "\\style{-B}(" + f.ParamText + ")");
    scpCode->InsertList().Add(f.Name);
    ++scriptNameCount_;
  }
  lbFunctions->setUpdatesEnabled(true);
}

void TfmMain::ScriptFunctionDblClick() {
  int row = lbFunctions->currentIndex().row();
  if (row < 0 || row >= FunctionRows->Count() || !moCode->isEnabled()) return;
  int line = FunctionRows->Line(row);
  if (line <= 0) return;
  moCode->setFocus();
  moCode->SetCaretPos({1, line});
}

}  // namespace ludra
