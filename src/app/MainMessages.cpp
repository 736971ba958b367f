// The compiler's messages in the main window: going to a message's line
// from the output window or with F8 / Shift+F8, the tool tip of a marked
// gutter line, and opening an include file a message is about.
#include <QApplication>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QScreen>
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

// The tool tip of plain text, escaped, its lines as wide as they are: a
// rich-text tip would otherwise wrap after a few words. Lines wider than
// `width` pixels are broken at blanks (a longer word at any character).
QString ToolTipText(const QString& plain, const QFontMetrics& metrics, int width) {
  QStringList rows;
  for (const QString& line : plain.split('\n')) {
    QString row;
    int rowWidth = 0;
    for (const QString& word : line.split(' ')) {
      const int blank = row.isEmpty() ? 0 : metrics.horizontalAdvance(' ');
      const int wordWidth = metrics.horizontalAdvance(word);
      if (!row.isEmpty() && rowWidth + blank + wordWidth > width) {
        rows << row;
        row.clear();
        rowWidth = 0;
      } else if (!row.isEmpty()) {
        row += ' ';
        rowWidth += blank;
      }
      for (QChar c : word) {
        const int w = metrics.horizontalAdvance(c);
        if (!row.isEmpty() && rowWidth + w > width) {
          rows << row;
          row.clear();
          rowWidth = 0;
        }
        row += c;
        rowWidth += w;
      }
    }
    rows << row;
  }
  return Qt::convertFromPlainText(rows.join('\n').replace(' ', QChar::Nbsp), Qt::WhiteSpaceNormal);
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
  GoToLine(*moCode, message.Line);
  CompilerMessages->MarkCaretLine();
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
  QScreen* screen = QGuiApplication::screenAt(event.globalPos());
  const int width = (screen ? screen->availableGeometry().width() : 800) - 32;
  QToolTip::showText(event.globalPos(),
                     ToolTipText(text, QFontMetrics(QToolTip::font()), std::max(width, 200)),
                     moCode->viewport());
  return true;
}

}  // namespace ludra
