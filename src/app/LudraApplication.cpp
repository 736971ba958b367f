#include "app/LudraApplication.h"

#include <QFontDatabase>
#include <QMessageBox>
#include <exception>

#include "app/LudraDialogs.h"

namespace ludra {

std::string ErrorReportText(const std::string& message) {
  if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') return message + ".";
  return message;
}

QFont FormFont() {
  // Asking for the face's styles looks up that one family; asking whether
  // it is among all the families would list every installed face.
  static const QString family = QFontDatabase::styles(QStringLiteral("MS Sans Serif")).isEmpty()
                                    ? QStringLiteral("Sans Serif")
                                    : QStringLiteral("MS Sans Serif");
  return QFont(family, 8);
}

TLudraApplication::TLudraApplication(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName("Ludra");
}

bool TLudraApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& e) {
    ShowException(e.what());
  } catch (...) {
    ShowException("Unknown error");
  }
  return false;
}

void TLudraApplication::ShowException(const std::string& message) {
  std::string text = ErrorReportText(message);
  if (OnShowException) {
    OnShowException(text);
    return;
  }
  QMessageBox box(QMessageBox::Critical, applicationName(), QString(), QMessageBox::Ok,
                  activeWindow());
  SetMessageBoxText(box, MessageText(text));
  box.exec();
}

}  // namespace ludra
