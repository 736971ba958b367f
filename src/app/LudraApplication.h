#pragma once
// The application object: catches errors at the event boundary, so that none
// crosses Qt's event loop, and reports them in an error box captioned with
// the application title.
#include <QApplication>
#include <functional>
#include <string>

namespace ludra {

// The text of an error report: the message, with a full stop appended when
// its last character sorts after the full stop (a letter, a digit, "?").
std::string ErrorReportText(const std::string& message);

class TLudraApplication : public QApplication {
  Q_OBJECT
 public:
  TLudraApplication(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;

  // Shows an error report; tests replace it to collect the reports.
  std::function<void(const std::string& text)> OnShowException;
  void ShowException(const std::string& message);
};

}  // namespace ludra
