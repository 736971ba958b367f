// The functions the open script defines and the natives and functions of
// the files it includes, listed under the include folder's natives and
// offered by completion and the parameter hints: rebuilt after Open, New
// and Save and a second after the typing stops, never on every keystroke.
// Included files are read again only when their size or time changed. A
// click shows a row's declaration, a double click on a script function
// goes to its definition.
#include <QLabel>
#include <QListView>
#include <QStatusBar>

#include "app/LudraApplication.h"
#include "app/Main.h"
#include "appcore/DefinitionScanner.h"
#include "appcore/IncludeScanner.h"
#include "appcore/IncludeTree.h"
#include "appcore/PawnDeclarations.h"
#include "base/SynCodePage.h"

namespace ludra {

namespace {

constexpr int kRebuildDelay = 1000;  // milliseconds after the last change

void DropLast(TStrings& list, int count) {
  for (int i = 0; i < count && list.Count() > 0; ++i) list.Delete(list.Count() - 1);
}

template <class T>
void DropLast(std::vector<T>& list, int count) {
  list.resize(list.size() - std::min(list.size(), static_cast<size_t>(std::max(count, 0))));
}

std::string FolderOf(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string(".") : slash == 0 ? "/" : path.substr(0, slash);
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
  std::vector<TIncludeDirective> includes;
  if (!CurrentFileName.empty()) {
    const TSynEditStringList& lines = moCode->Lines();
    for (int i = 0, n = lines.Count(); i < n; ++i) {
      const std::string line = lines.Get(i);
      scanner.AddLine(line);
      if (line.find('#') != std::string::npos)
        if (std::optional<TIncludeDirective> d = IncludeDirective(line))
          includes.push_back(std::move(*d));
    }
  }
  ScriptFunctions = scanner.Functions();
  const std::string path = DocumentPath();
  TIncludeTree::TWalk walk =
      includeTree_.Walk(includes, path.empty() ? std::string() : FolderOf(path), includeFolder_);
  // The included files that could not be read, in a status panel of their
  // own, so that the command's own message stays.
  if (walk.Changed) ShowIncludeNote(walk.Errors);

  // The natives' rows and entries stay as they are; only the part after
  // them (included files, then this script) is redone.
  lbFunctions->setUpdatesEnabled(false);
  FunctionRows->RemoveLast(scriptRowCount_);
  if (InfoList) DropLast(*InfoList, scriptRowCount_);
  DropLast(rowDocs_, scriptRowCount_);
  scriptRowCount_ = 0;
  treeRowCount_ = 0;
  DropLast(NameList, scriptNameCount_);
  DropLast(ParamList, scriptNameCount_);
  DropLast(EntryDocs, scriptNameCount_);
  DropLast(scpCode->ItemList(), scriptNameCount_);
  DropLast(scpCode->InsertList(), scriptNameCount_);
  scriptNameCount_ = 0;

  auto addRow = [this](const std::string& text, const std::string& info, int line,
                       std::string doc) {
    FunctionRows->Append(text, line);
    if (InfoList) InfoList->Add(info);
    rowDocs_.push_back(std::move(doc));
    ++scriptRowCount_;
  };
  // One entry per name and parameters over the natives, the included
  // files and the script.
  std::unordered_set<std::string> keys;
  auto addEntry = [&](const std::string& name, const std::string& item, const std::string& hint,
                      std::string doc) {
    std::string key = EntryKey(name, hint);
    if (nativeKeys_.count(key) || !keys.insert(std::move(key)).second) return;
    NameList.Add(name);
    ParamList.Add(hint);
    EntryDocs.push_back(std::move(doc));
    scpCode->ItemList().Add(item);
    scpCode->InsertList().Add(name);
    ++scriptNameCount_;
  };
  TIncludeScan tree = CombineTree(walk, nullptr);
  for (size_t r = 0; r < tree.Rows.size(); ++r) {
    if (r == 0 && FunctionRows->Count() > 0) addRow(" ", "", 0, {});
    int doc = tree.RowDocs[r];
    addRow(tree.Rows[r], tree.InfoList.Get(static_cast<int>(r)), 0,
           doc < 0 ? std::string() : tree.Docs[static_cast<size_t>(doc)]);
  }
  treeRowCount_ = scriptRowCount_;
  for (int k = 0; k < tree.NameList.Count(); ++k) {
    int doc = tree.NameDocs[static_cast<size_t>(k)];
    addEntry(tree.NameList.Get(k), tree.ItemList.Get(k), tree.ParamList.Get(k),
             doc < 0 ? std::string() : tree.Docs[static_cast<size_t>(doc)]);
  }

  if (!ScriptFunctions.empty()) {
    // Laid out like the heading of one more include file.
    if (FunctionRows->Count() > 0) addRow(" ", "", 0, {});
    addRow(" ", "", 0, {});
    addRow(" // this script", "Functions of this script", 0, {});
    addRow(" ", "", 0, {});
  }
  for (const TScriptFunction& f : ScriptFunctions) {
    addRow(f.Name, "Line " + std::to_string(f.Line) + ":  " + f.Text, f.Line, f.Doc);
    addEntry(f.Name, ScriptFunctionItem(f), ParamHintString(f.ParamText), f.Doc);
  }
  lbFunctions->setUpdatesEnabled(true);
  ApplyFunctionFilter();
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

void TfmMain::DropKnownEntries() {
  // Entries after the natives that the natives, filled late, now hold too.
  int first = NameList.Count() - scriptNameCount_;
  for (int k = NameList.Count() - 1; k >= first; --k) {
    if (!nativeKeys_.count(EntryKey(NameList.Get(k), ParamList.Get(k)))) continue;
    NameList.Delete(k);
    ParamList.Delete(k);
    EntryDocs.erase(EntryDocs.begin() + k);
    scpCode->ItemList().Delete(k);
    scpCode->InsertList().Delete(k);
    --scriptNameCount_;
  }
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
