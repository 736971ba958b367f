// File > Reopen: the scripts opened or saved last, kept in settings.ini.
#include <QAction>
#include <QMenu>
#include <filesystem>

#include "app/LudraApplication.h"
#include "app/Main.h"
#include "platform/ProgramDirectory.h"

namespace ludra {

namespace {

// A menu caption shows "&" only when doubled; a single one would mark the
// next character as the accelerator.
QString MenuText(const std::string& text) {
  return QString::fromStdString(text).replace('&', "&&");
}

}  // namespace

void TfmMain::CreateReopenMenu() {
  miReopen = new QMenu("&Reopen", this);
  miReopen->setObjectName("miReopen");
  miFile->insertMenu(miClose, miReopen);
  RebuildReopenMenu();
}

void TfmMain::RebuildReopenMenu() {
  miReopen->clear();
  const std::vector<std::string>& items = recentFiles_.Items();
  for (size_t i = 0; i < items.size(); ++i) {
    auto* action =
        new QAction(QString("&%1 ").arg(i + 1) + MenuText(ShortenMiddle(items[i])), miReopen);
    action->setObjectName(QString("miReopen%1").arg(i + 1));
    action->setStatusTip(QString::fromStdString(items[i]));
    int index = static_cast<int>(i);
    connect(action, &QAction::triggered, this,
            [this, index] { Guarded([this, index] { miReopenItemClick(index); }); });
    miReopen->addAction(action);
  }
  miReopen->setEnabled(!items.empty());
}

void TfmMain::LoadRecentFiles(const TProfileFile& ini) {
  recentFiles_ = ReadRecentFiles(ini);
  RebuildReopenMenu();
}

void TfmMain::StoreRecentFiles() {
  RebuildReopenMenu();
  try {
    TProfileFile ini = Settings();
    WriteRecentFiles(ini, recentFiles_);
    recentWriteReported_ = false;
  } catch (const std::exception& e) {
    // The list lives on in memory; a folder that stays read-only is not
    // reported again on every open and save.
    if (recentWriteReported_) return;
    recentWriteReported_ = true;
    ReportException(e.what());
  }
}

void TfmMain::AddRecentFile(const std::string& path) {
  if (recentFiles_.Add(path)) StoreRecentFiles();
}

void TfmMain::miReopenItemClick(int index) {
  if (index < 0 || index >= recentFiles_.Count()) return;
  std::string path = recentFiles_.Items()[static_cast<size_t>(index)];
  if (!QuerySaveChanges()) return;
  try {
    LoadDocument(path);
  } catch (...) {
    // A script that is gone leaves the list; one that is only unreadable
    // for now stays.
    std::error_code ec;
    if (!std::filesystem::exists(path, ec) && !ec && recentFiles_.Remove(path)) StoreRecentFiles();
    throw;
  }
  SetStatusText("File '" + ExtractFileName(path) + "' opened.");
}

}  // namespace ludra
