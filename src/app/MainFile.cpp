// The document commands of the main window: New, Open, Save, Save As, Close,
// Exit, the modified-document prompt and the editor's change notice.
#include <unistd.h>

#include <QAction>
#include <QLabel>
#include <QListView>
#include <filesystem>

#include "app/Main.h"
#include "appcore/DocumentSession.h"
#include "base/SynBracket.h"
#include "editor/SynEditMiscClasses.h"
#include "platform/ProgramDirectory.h"

namespace ludra {

namespace {

// A confirmed file dialog leaves the current directory at the file's folder,
// once the command has succeeded.
void ChangeToFolderOf(const std::string& path) {
  // The bytes as they are: a folder name need not be valid UTF-8.
  if (::chdir(ExtractFileDir(path).c_str()) != 0) {
    // The folder went away meanwhile: the current directory stays.
  }
}

}  // namespace

bool TfmMain::QuerySaveChanges(bool* dropped) {
  if (!DocumentModified) return true;
  switch (
      dialogs_->MessageDlg(this, "File modified. Save changes?", mtConfirmation, mbYesNoCancel)) {
    case mrYes:
      // A failed save raises and so stops the asking command too.
      miSaveClick(this);
      return true;
    case mrNo:
      if (dropped) *dropped = true;
      return true;
    default:
      return false;
  }
}

void TfmMain::UpdateCaption() {
  setWindowTitle(QString::fromStdString(WindowTitle(CurrentFileName)));
}

void TfmMain::SetSaveEnabled(bool enabled) { tbSave->setEnabled(enabled); }

void TfmMain::SetDocumentButtons(bool enabled) {
  for (QAction* a : {tbFind, tbFindNext, tbFindPrev, tbReplace, tbCompile, tbCompileRun})
    a->setEnabled(enabled);
}

void TfmMain::DocumentOpened() {
  // A document opened before start-up finished: the natives go in first,
  // and neither the command line's script nor the last session opens.
  scriptPending_ = false;
  sessionPending_ = false;
  FinishStart();
  CompilerMessages->Clear();
  moCode->setEnabled(true);
  moCode->Gutter().SetShowLineNumbers(true);
  lbFunctions->setEnabled(true);
  DocumentModified = false;
  SetSaveEnabled(false);
  SetDocumentButtons(true);
  moCode->setFocus();
  // The caret panel shows the caret from the start, also where it stays put.
  moCodeStatusChange(moCode, {});
}

void TfmMain::SetDocumentName(const std::string& fileName, const std::string& path) {
  CurrentFileName = fileName;
  documentName_ = fileName;
  documentPath_ = path;
}

std::string TfmMain::DocumentPath() const {
  // The name was set from outside the document commands: take it as it is now.
  if (CurrentFileName != documentName_) return ResolvePath(CurrentFileName);
  return documentPath_;
}

void TfmMain::LoadDocument(const std::string& fileName) {
  // The lines are read first: a file that cannot be read raises here and
  // leaves the previous document, its name and caption as they were.
  std::string path = ResolvePath(fileName);
  moCode->Lines().LoadFromFile(path);
  SetDocumentName(fileName, path);
  UpdateCaption();
  DocumentOpened();
  RebuildCatalog();
  AddRecentFile(path);
}

void TfmMain::LoadScript(const std::string& fileName) { LoadDocument(fileName); }

void TfmMain::moCodeChange(TCustomSynEdit* sender) {
  (void)sender;
  DocumentModified = true;
  SetSaveEnabled(true);
  CompilerMessages->Unmark();
  ScheduleCatalog();
}

void TfmMain::miNewClick(QObject* sender) {
  (void)sender;
  if (!QuerySaveChanges()) return;
  SetDocumentName(kUntitled, std::string());
  UpdateCaption();
  moCode->Lines().Clear();
  DocumentOpened();
  SetStatusText("New file created.");
  // The template is read last: if it cannot be read the new document is
  // empty, but complete, and the error is reported.
  std::string templateFile = ProgramDir() + "/new.pwn";
  std::error_code ec;
  // The list follows the template, also when it cannot be read.
  try {
    if (std::filesystem::is_regular_file(templateFile, ec))
      moCode->Lines().LoadFromFile(templateFile);
  } catch (...) {
    RebuildCatalog();
    throw;
  }
  RebuildCatalog();
}

void TfmMain::miOpenClick(QObject* sender) {
  (void)sender;
  if (!QuerySaveChanges()) return;
  std::optional<std::string> fileName =
      dialogs_->OpenFileName(this, ExtractFileName(CurrentFileName));
  if (!fileName) return;
  LoadDocument(*fileName);
  ChangeToFolderOf(documentPath_);
  SetStatusText("File '" + ExtractFileName(*fileName) + "' opened.");
}

void TfmMain::miSaveClick(QObject* sender) {
  if (CurrentFileName.empty()) return;
  if (CurrentFileName == kUntitled) {
    miSaveAsClick(sender);
    return;
  }
  moCode->Lines().SaveToFile(DocumentPath());
  AddRecentFile(DocumentPath());
  RebuildCatalog();
  DocumentModified = false;
  SetSaveEnabled(false);
  SetStatusText("File '" + ExtractFileName(CurrentFileName) + "' saved.");
}

void TfmMain::miSaveAsClick(QObject* sender) {
  (void)sender;
  if (CurrentFileName.empty()) return;
  std::optional<std::string> fileName =
      dialogs_->SaveFileName(this, ExtractFileName(CurrentFileName), "pwn");
  if (!fileName) return;
  std::string path = ResolvePath(*fileName);
  std::error_code ec;
  if (std::filesystem::exists(path, ec) &&
      dialogs_->MessageDlg(this, "File exists. Overwrite?", mtConfirmation, mbYesNo) != mrYes)
    return;
  // Written before the document takes the new name, so a failed write leaves
  // the document under its old name, still modified.
  moCode->Lines().SaveToFile(path);
  SetDocumentName(*fileName, path);
  RebuildCatalog();
  AddRecentFile(path);
  ChangeToFolderOf(path);
  DocumentModified = false;
  SetSaveEnabled(false);
  UpdateCaption();
  SetStatusText("File saved as '" + ExtractFileName(*fileName) + "'.");
}

void TfmMain::miCloseClick(QObject* sender) {
  (void)sender;
  if (!QuerySaveChanges()) return;
  if (CurrentFileName != kUntitled)
    SetStatusText("File '" + ExtractFileName(CurrentFileName) + "' closed.");
  else
    SetStatusText("Ludra is ready.");
  SetDocumentName(std::string(), std::string());
  UpdateCaption();
  CompilerMessages->Clear();
  moCode->Lines().Clear();
  DocumentModified = false;
  SetSaveEnabled(false);
  moCode->setEnabled(false);
  moCode->Gutter().SetShowLineNumbers(false);
  lbFunctions->setEnabled(false);
  RebuildCatalog();
  statusPanels_[1]->clear();
  SetDocumentButtons(false);
}

void TfmMain::miExitClick(QObject* sender) {
  (void)sender;
  bool dropped = false;
  if (!QuerySaveChanges(&dropped)) return;
  // No is the answer for this document: the close query does not ask it
  // again. After a Yes whose save stored nothing it still asks.
  auto answered = TBracket([this] { changesDropped_ = false; });
  changesDropped_ = dropped;
  close();
}

}  // namespace ludra
