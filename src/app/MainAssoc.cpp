// The association of *.pwn files with this program on the desktop.
#include <QAction>

#include "app/Main.h"
#include "platform/FileAssociation.h"
#include "platform/ProgramDirectory.h"

namespace ludra {

void TfmMain::miAssocClick(QObject* sender) {
  (void)sender;
  // The mark is the user's choice: it stays as set even when the desktop
  // refuses the change.
  bool associate = !miAssoc->isChecked();
  miAssoc->setChecked(associate);
  MakeAssoc(associate);
}

void TfmMain::MakeAssoc(bool associate) {
  // Every write goes to disk before it returns, which costs more than the
  // rest of start-up; a value already stored as written is left alone.
  TProfileFile ini = Settings();
  if (ini.ReadString("General", "FileAssoc", "") != (associate ? "1" : "0"))
    ini.WriteBool("General", "FileAssoc", associate);
  TFileAssociation association(ProgramFile(), UserDesktopDirs());
  association.RunTool = [this](const std::vector<std::string>& argv) {
    dialogs_->RunDetached(argv);
  };
  if (associate) {
    std::string note = association.Register();
    if (!note.empty()) SetStatusText(note);
  } else {
    association.Unregister();
  }
}

std::string TfmMain::ProgramFile() const {
  return ProgramDir() + "/" + ExtractFileName(ProgramPath());
}

}  // namespace ludra
