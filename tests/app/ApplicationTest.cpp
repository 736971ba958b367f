#include <gtest/gtest.h>

#include <QTimer>

#include "LudraApplication.h"
#include "SynExceptions.h"

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
