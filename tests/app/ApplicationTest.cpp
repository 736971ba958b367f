#include <gtest/gtest.h>

#include <QMessageBox>
#include <QTimer>

#include "app/LudraApplication.h"
#include "app/LudraDialogs.h"
#include "base/SynCodePage.h"
#include "base/SynExceptions.h"

using namespace ludra;

TEST(ErrorReport, FullStopOnlyAfterCharactersThatSortAfterIt) {
  struct Case {
    const char* message;
    const char* text;
  } cases[] = {
      {"Invalid stringlist index 6", "Invalid stringlist index 6."},
      {"Pattern is empty", "Pattern is empty."},
      {"Overwrite?", "Overwrite?."},
      {"Done.", "Done."},
      {"Unable to write to /x/settings.ini", "Unable to write to /x/settings.ini."},
      {"(pos 3)", "(pos 3)"},
      {"ends in blank ", "ends in blank "},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(ErrorReportText(c.message), c.text);
}

TEST(ErrorReport, AnErrorInAnEventHandlerIsReportedAndTheLoopGoesOn) {
  auto* application = qobject_cast<TLudraApplication*>(QApplication::instance());
  ASSERT_NE(application, nullptr);
  TLudraApplication& app = *application;
  EXPECT_EQ(QApplication::applicationName(), "Ludra");
  std::vector<std::string> reports;
  app.OnShowException = [&](const std::string& text) { reports.push_back(text); };
  QTimer::singleShot(0, [] { throw ESynEditError("No search engine has been assigned"); });
  QTimer::singleShot(10, [&] { app.quit(); });
  app.exec();
  app.OnShowException = nullptr;
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0], "No search engine has been assigned.");
}

namespace {

// Shows a report and returns what its box said; the box is closed at once.
template <class F>
QString ShownBoxText(F&& show) {
  QString shown;
  QTimer::singleShot(0, [&] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      shown = box->text();
      box->done(0);
    }
  });
  show();
  return shown;
}

}  // namespace

TEST(ErrorReport, FileNamesAndDocumentTextReadTheSameOnEveryPath) {
  auto* app = qobject_cast<TLudraApplication*>(QApplication::instance());
  ASSERT_NE(app, nullptr);
  // A file name as the system gives it (UTF-8), and a word of document text
  // in the code page ("caf\xe9" in Windows-1252) converted into the message.
  const std::string message =
      "Cannot open file \"/tmp/Gr\xc3\xbc\xc3\x9f"
      "e.pwn\" near " +
      CodePage().ToUtf8("caf\xe9");
  const QString expected = QString::fromUtf8("Cannot open file \"/tmp/Grüße.pwn\" near café.");
  EXPECT_EQ(ShownBoxText([&] { app->ShowException(message); }), expected);
  TQtDialogs dialogs;
  EXPECT_EQ(ShownBoxText([&] { dialogs.ReportError(nullptr, ErrorReportText(message)); }),
            expected);
  EXPECT_EQ(ShownBoxText([&] { dialogs.MessageDlg(nullptr, message + ".", mtError, mbOK); }),
            expected);
}
