#pragma once
// The questions the document rules put to the user, without a window: the
// main window answers them through its dialogs, tests with scripted answers.
#include <optional>
#include <string>

namespace ludra {

// The answer of a message box or dialog; mrCancel also stands for one closed
// by Escape or its close box.
enum TModalResult { mrNone, mrOk, mrCancel, mrYes, mrNo, mrYesToAll };

// Confirmation ("Confirm", question mark), information ("Information") or
// error ("Error") box.
enum TMsgDlgType { mtConfirmation, mtInformation, mtError };

// The buttons of a message box. Enter answers OK when present, else Yes;
// Escape answers Cancel when present, else No, else OK.
enum TMsgDlgButtons { mbOK, mbYesNo, mbYesNoCancel };

class TDocumentPrompts {
 public:
  virtual ~TDocumentPrompts() = default;
  // A message box; texts are UTF-8, file names as the system gives them.
  virtual TModalResult MessageDlg(const std::string& text, TMsgDlgType type,
                                  TMsgDlgButtons buttons) = 0;
  // The file picked in a save dialog, or nothing when cancelled; the default
  // extension is added to a name typed without one.
  virtual std::optional<std::string> SaveFileName(const std::string& initialName,
                                                  const std::string& defaultExt) = 0;
};

}  // namespace ludra
