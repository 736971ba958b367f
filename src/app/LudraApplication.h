#pragma once
// The application object: catches errors at the event boundary, so that none
// crosses Qt's event loop, and reports them in an error box captioned with
// the application title.
#include <QApplication>
#include <QFont>
#include <functional>
#include <string>

namespace ludra {

// The text of an error report: the message, with a full stop appended when
// its last character sorts after the full stop (a letter, a digit, "?").
std::string ErrorReportText(const std::string& message);

// The forms' font, "MS Sans Serif" 8 pt. Where that face is not installed,
// the desktop's sans-serif face stands in, as font matching would choose
// it, without sorting every installed face to find the substitute.
QFont FormFont();

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
