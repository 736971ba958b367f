// The main window's session across starts and the files later starts hand
// over to it. One document at a time: of a saved session the active
// document opens, of handed-over files the first that exists.
#include <QAction>
#include <QApplication>
#include <QTimer>
#include <filesystem>

#include "app/Main.h"
#include "appcore/RecentFiles.h"
#include "appcore/SavedSession.h"
#include "platform/ProgramDirectory.h"

namespace ludra {

namespace {

// How often handed-over files look whether the dialog they wait for has
// closed.
constexpr int kModalRetryMs = 250;

}  // namespace

void TfmMain::StoreSession() {
  TSavedSession session;
  if (!CurrentFileName.empty() && CurrentFileName != "Untitled") {
    session.Documents.push_back({DocumentPath(), moCode->CaretLine()});
    session.Active = 0;
  }
  TProfileFile ini = Settings();
  WriteSavedSession(ini, session);
}

void TfmMain::RestoreSession() {
  const TRestorePlan plan = PlanRestore(ReadSavedSession(Settings()));
  if (plan.Open.Active >= 0) {
    const TSavedDocument& document = plan.Open.Documents[static_cast<size_t>(plan.Open.Active)];
    LoadDocument(document.Path);
    GoToLine(*moCode, document.CaretLine);
  }
  if (!plan.Missing.empty()) SetStatusText(MissingFilesNote(plan.Missing));
}

void TfmMain::miRestoreSessionClick(QObject* sender) {
  (void)sender;
  const bool restore = miRestoreSession->isChecked();
  try {
    Settings().WriteBool("General", "RestoreSession", restore);
  } catch (...) {
    miRestoreSession->setChecked(!restore);
    throw;
  }
}

void TfmMain::FilesHandedOver(const std::vector<std::string>& files) {
  if (isMinimized()) showNormal();
  raise();
  activateWindow();
  // A question or the output window is open: its answer comes first.
  if (QApplication::activeModalWidget()) {
    QTimer::singleShot(kModalRetryMs, this,
                       [this, files] { Guarded([&] { FilesHandedOver(files); }); });
    return;
  }
  for (const std::string& file : files) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) continue;
    // The document already open stays as it is.
    if (!CurrentFileName.empty() && SameFileKey(file) == SameFileKey(DocumentPath())) return;
    if (!QuerySaveChanges()) return;
    LoadDocument(file);
    SetStatusText("File '" + ExtractFileName(file) + "' opened.");
    return;
  }
}

}  // namespace ludra
