#pragma once
// A main window on a temporary program directory with scripted dialogs.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QKeyEvent>
#include <QListView>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "app/Main.h"
#include "app/ScriptedDialogs.h"
#include "platform/SynProfileFile.h"

// Qt's own test library sends keys through the shortcut map with this.
Q_GUI_EXPORT bool qt_sendShortcutOverrideEvent(QObject* o, ulong timestamp, int k,
                                               Qt::KeyboardModifiers mods,
                                               const QString& text = QString(),
                                               bool autorep = false, ushort count = 1);

namespace ludra {

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/ludra-app-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = pattern;
    programDir_ = root_ + "/program";
    std::filesystem::create_directories(programDir_);
    savedCwd_ = QDir::currentPath();
  }
  void TearDown() override {
    window_.reset();
    QDir::setCurrent(savedCwd_);
    std::filesystem::remove_all(root_);
  }

  TfmMain& Start(const std::vector<std::string>& params = {}) {
    window_.reset();
    auto dialogs = std::make_unique<TScriptedDialogs>();
    dialogs_ = dialogs.get();
    window_ =
        std::make_unique<TfmMain>(programDir_, params, std::move(dialogs), nullptr, triggerClock_);
    window_->show();
    QApplication::processEvents();
    // What start-up leaves for after the first frame runs as the event loop
    // goes idle.
    QDeadlineTimer deadline(5000);
    while (window_->StartPending() && !deadline.hasExpired())
      QApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_FALSE(window_->StartPending());
    return *window_;
  }
  // Closes the window as its close button does; true when it closed.
  bool CloseWindow() {
    bool closed = window_->close();
    QApplication::processEvents();
    return closed;
  }

  std::string Ini(const std::string& section, const std::string& key) const {
    return TProfileFile(programDir_ + "/settings.ini").ReadString(section, key, "<none>");
  }
  void WriteIni(const std::string& text) const { WriteFile(programDir_ + "/settings.ini", text); }
  static void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
  }
  static std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  // Types into the editor as the keyboard does.
  void Type(const std::string& text) {
    for (char c : text) window_->moCode->KeyPress(c);
  }
  // A key as the window receives it: shortcuts first, then the focus widget.
  void PressKey(int key, Qt::KeyboardModifiers modifiers) {
    QWidget* target = QApplication::focusWidget();
    if (!target || target->window() != window_.get()) target = window_.get();
    if (qt_sendShortcutOverrideEvent(target, 0, key, modifiers)) return;
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(target, &press);
  }
  std::string Caption() const { return window_->windowTitle().toStdString(); }

  std::string root_, programDir_;
  QString savedCwd_;
  std::unique_ptr<TfmMain> window_;
  TScriptedDialogs* dialogs_ = nullptr;
  // When set before Start, the completion engines' trigger timers run on it.
  TSynManualClock* triggerClock_ = nullptr;
};

// The function list's rows as shown.
inline std::vector<std::string> ListRows(const QListView& list) {
  std::vector<std::string> rows;
  for (int i = 0, n = list.model()->rowCount(); i < n; ++i)
    rows.push_back(list.model()->index(i, 0).data().toString().toStdString());
  return rows;
}

// Makes row the list's current row, as a click or an arrow key does.
inline void SelectRow(QListView& list, int row) {
  list.setCurrentIndex(list.model()->index(row, 0));
}

// The double-click signal for the current row.
inline void DoubleClickCurrentRow(QListView& list) { emit list.doubleClicked(list.currentIndex()); }

}  // namespace ludra
