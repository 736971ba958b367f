// The compiler's messages in the main window: going to a message's line
// from the output window or with F8 / Shift+F8, the tool tip of a marked
// gutter line, and opening an include file a message is about.
#include <QApplication>
#include <QHelpEvent>
#include <QTextDocument>
#include <QToolTip>
#include <filesystem>

#include "app/Main.h"
#include "app/unitOutput.h"
#include "appcore/CompilerMessageList.h"
#include "platform/ProgramDirectory.h"

namespace ludra {

namespace {

// A message's text for the status bar: the compiler's bytes shown as the
// output window shows them.
std::string MessageSummary(const TCompilerMessage& message) {
  return CompilerLineText(CompilerMessageSummary(message)).toStdString();
}

}  // namespace

void TfmMain::CompilerMessagesArrived(std::vector<TCompilerMessage> messages,
                                      const std::string& scriptPath) {
  CompilerMessages->Assign(std::move(messages), scriptPath);
}

void TfmMain::ShowCompilerMessage(int index) {
  if (index < 0 || !CompilerMessages->Show(index)) return;
  SetStatusText(MessageSummary(CompilerMessages->Items(index)));
}

bool TfmMain::CompilerMessageChosen(int index) {
  if (index < 0 || index >= CompilerMessages->Count()) return false;
  if (CompilerMessages->InDocument(index)) {
    ShowCompilerMessage(index);
    return true;
  }
  // A message about another file (an include file): say which, and open it
  // only when the user wants to.
  const TCompilerMessage message = CompilerMessages->Items(index);
  const std::string path = CompilerLineText(CompilerMessages->PathOf(index)).toStdString();
  const std::string line = std::to_string(message.Line);
  SetStatusText("'" + path + "', line " + line + ": " + MessageSummary(message));
  std::error_code ec;
  if (!std::filesystem::is_regular_file(CompilerMessages->PathOf(index), ec)) return false;
  QWidget* parent = QApplication::activeModalWidget();
  if (dialogs_->MessageDlg(parent ? parent : this,
                           "The message is about '" + path + "'. Open it at line " + line + "?",
                           mtConfirmation, mbYesNo) != mrYes)
    return false;
  // The normal Open path: the modified-document prompt first.
  if (!QuerySaveChanges()) return false;
  const std::string fileName = CompilerMessages->PathOf(index);
  LoadDocument(fileName);
  SetStatusText("File '" + ExtractFileName(fileName) + "' opened.");
  SelectLines(*moCode, message.Line, message.LastLine);
  return true;
}

void TfmMain::miNextMessageClick(QObject* sender) {
  (void)sender;
  ShowCompilerMessage(CompilerMessages->Next());
}

void TfmMain::miPrevMessageClick(QObject* sender) {
  (void)sender;
  ShowCompilerMessage(CompilerMessages->Previous());
}

QString TfmMain::GutterHint(const QPoint& pos) const {
  if (pos.x() < 0 || pos.x() >= moCode->GutterPixels()) return {};
  int row = moCode->PixelsToRowColumn(pos.x(), pos.y()).Row;
  QString text;
  for (int index : CompilerMessages->MessagesOnLine(moCode->RowToLine(row))) {
    if (!text.isEmpty()) text += '\n';
    text += CompilerLineText(CompilerMessageSummary(CompilerMessages->Items(index)));
  }
  return text;
}

bool TfmMain::GutterToolTip(QHelpEvent& event) {
  QString text = GutterHint(event.pos());
  if (text.isEmpty()) return false;
  // A tool tip guesses its format; compiler messages quote the script, so
  // they go in escaped.
  QToolTip::showText(event.globalPos(), Qt::convertFromPlainText(text, Qt::WhiteSpaceNoWrap),
                     moCode->viewport());
  return true;
}

}  // namespace ludra
