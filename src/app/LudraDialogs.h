#pragma once
// The questions and pickers the main window puts to the user. The window only
// talks to this interface, so tests hand it scripted answers; TQtDialogs is
// the real one.
#include <optional>
#include <string>
#include <vector>

#include "appcore/DocumentPrompts.h"
#include "platform/SynCanvas.h"

class QDialog;
class QMessageBox;
class QString;
class QWidget;

namespace ludra {

// A message for the user as Qt shows it. Messages are UTF-8 throughout: file
// names go in as the system gives them, document text is converted from its
// code page (CodePage().ToUtf8) when the message is built.
QString MessageText(const std::string& text);
// Sets a message box's text as plain text: file names, document lines and
// compiler output must never be read as mark-up (an image tag would make Qt
// open the file it names). Unbroken runs longer than a line, such as deep
// paths, may wrap, so the box stays within the screen.
void SetMessageBoxText(QMessageBox& box, const QString& text);

class TLudraDialogs {
 public:
  virtual ~TLudraDialogs() = default;

  virtual TModalResult MessageDlg(QWidget* parent, const std::string& text, TMsgDlgType type,
                                  TMsgDlgButtons buttons) = 0;
  // The file picked in an open dialog ("PAWN Scripts (*.pwn)", "All Files"),
  // or nothing when cancelled. The file need not exist.
  virtual std::optional<std::string> OpenFileName(QWidget* parent,
                                                  const std::string& initialName) = 0;
  // The file picked in a save dialog; the default extension is added to a
  // name typed without one. The dialog asks nothing about existing files.
  virtual std::optional<std::string> SaveFileName(QWidget* parent, const std::string& initialName,
                                                  const std::string& defaultExt) = 0;
  // The font picked (name, size, bold and italic; no effects), or nothing.
  virtual std::optional<TSynFont> ChooseFont(QWidget* parent, const TSynFont& initial) = 0;
  // The text entered in a one-line input box, or nothing when cancelled.
  virtual std::optional<std::string> InputQuery(QWidget* parent, const std::string& caption,
                                                const std::string& prompt,
                                                const std::string& initial) = 0;
  // A box with the program's icon, a caption and text, and an OK button.
  virtual void AboutBox(QWidget* parent, const std::string& caption, const std::string& text) = 0;
  // The error report of a failed command: caption "Ludra", error icon, the
  // message with its full stop rule already applied.
  virtual void ReportError(QWidget* parent, const std::string& text) = 0;
  // Opens a document (the help file) with the desktop's default application;
  // the outcome is not examined.
  virtual void OpenDocument(const std::string& fileName, const std::string& directory) = 0;
  // Shows one of the program's own dialogs modally; its buttons close it with
  // a TModalResult, and Escape or the close box count as mrCancel. Tests
  // answer through the dialog's controls instead. (Not abstract, so that
  // fakes that never show such a dialog need not override it.)
  virtual TModalResult ShowModal(QDialog& dialog);
  // The desktop's information beep.
  virtual void Beep();
  // Starts a helper program (a desktop cache refresh) detached, its output
  // discarded; a program that is not installed is skipped. Tests record
  // instead.
  virtual void RunDetached(const std::vector<std::string>& argv);
};

// The document rules' questions, put through a window's dialogs.
class TDialogPrompts : public TDocumentPrompts {
 public:
  TDialogPrompts(TLudraDialogs& dialogs, QWidget* parent) : dialogs_(dialogs), parent_(parent) {}
  TModalResult MessageDlg(const std::string& text, TMsgDlgType type,
                          TMsgDlgButtons buttons) override {
    return dialogs_.MessageDlg(parent_, text, type, buttons);
  }
  std::optional<std::string> SaveFileName(const std::string& initialName,
                                          const std::string& defaultExt) override {
    return dialogs_.SaveFileName(parent_, initialName, defaultExt);
  }

 private:
  TLudraDialogs& dialogs_;
  QWidget* parent_;
};

// The dialogs on screen, through Qt.
class TQtDialogs : public TLudraDialogs {
 public:
  TModalResult MessageDlg(QWidget* parent, const std::string& text, TMsgDlgType type,
                          TMsgDlgButtons buttons) override;
  std::optional<std::string> OpenFileName(QWidget* parent, const std::string& initialName) override;
  std::optional<std::string> SaveFileName(QWidget* parent, const std::string& initialName,
                                          const std::string& defaultExt) override;
  std::optional<TSynFont> ChooseFont(QWidget* parent, const TSynFont& initial) override;
  std::optional<std::string> InputQuery(QWidget* parent, const std::string& caption,
                                        const std::string& prompt,
                                        const std::string& initial) override;
  void AboutBox(QWidget* parent, const std::string& caption, const std::string& text) override;
  void ReportError(QWidget* parent, const std::string& text) override;
  void OpenDocument(const std::string& fileName, const std::string& directory) override;
};

}  // namespace ludra
