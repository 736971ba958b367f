#pragma once
// Dialogs with scripted answers: each question takes the next answer of its
// queue and is recorded; a question nobody scripted fails the test.
#include <gtest/gtest.h>

#include <QDialog>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "app/LudraDialogs.h"

namespace ludra {

class TScriptedDialogs : public TLudraDialogs {
 public:
  struct TMessage {
    std::string Text;
    TMsgDlgType Type;
    TMsgDlgButtons Buttons;
  };

  std::deque<TModalResult> MessageAnswers;
  std::deque<std::optional<std::string>> FileAnswers;
  std::deque<std::optional<TSynFont>> FontAnswers;
  std::deque<std::optional<std::string>> InputAnswers;
  // Answers for the program's own dialogs: each may set the dialog's
  // controls and returns the button that closes it.
  std::deque<std::function<TModalResult(QDialog&)>> ModalAnswers;

  std::vector<TMessage> Messages;
  // "open <initial name>" or "save <initial name> <default extension>".
  std::vector<std::string> FileDialogs;
  std::vector<TSynFont> FontDialogs;
  std::vector<std::string> Inputs;  // caption|prompt|initial
  std::vector<std::string> Abouts;  // caption|text
  std::vector<std::string> Errors;
  std::vector<std::string> Documents;     // directory/file
  std::vector<std::string> ModalDialogs;  // window titles
  int Beeps = 0;
  // Helper programs started, each as its arguments joined by blanks.
  std::vector<std::string> Detached;

  TModalResult MessageDlg(QWidget*, const std::string& text, TMsgDlgType type,
                          TMsgDlgButtons buttons) override {
    Messages.push_back({text, type, buttons});
    if (buttons == mbOK) return mrOk;
    return Next(MessageAnswers, mrCancel, "message \"" + text + "\"");
  }
  std::optional<std::string> OpenFileName(QWidget*, const std::string& initialName) override {
    FileDialogs.push_back("open " + initialName);
    return Next(FileAnswers, std::optional<std::string>(), "open dialog");
  }
  std::optional<std::string> SaveFileName(QWidget*, const std::string& initialName,
                                          const std::string& defaultExt) override {
    FileDialogs.push_back("save " + initialName + " " + defaultExt);
    return Next(FileAnswers, std::optional<std::string>(), "save dialog");
  }
  std::optional<TSynFont> ChooseFont(QWidget*, const TSynFont& initial) override {
    FontDialogs.push_back(initial);
    return Next(FontAnswers, std::optional<TSynFont>(), "font dialog");
  }
  std::optional<std::string> InputQuery(QWidget*, const std::string& caption,
                                        const std::string& prompt,
                                        const std::string& initial) override {
    Inputs.push_back(caption + "|" + prompt + "|" + initial);
    return Next(InputAnswers, std::optional<std::string>(), "input box");
  }
  void AboutBox(QWidget*, const std::string& caption, const std::string& text) override {
    Abouts.push_back(caption + "|" + text);
  }
  void ReportError(QWidget*, const std::string& text) override { Errors.push_back(text); }
  void OpenDocument(const std::string& fileName, const std::string& directory) override {
    Documents.push_back(directory + "/" + fileName);
  }
  void RunDetached(const std::vector<std::string>& argv) override {
    std::string line;
    for (const auto& arg : argv) line += (line.empty() ? "" : " ") + arg;
    Detached.push_back(line);
  }

  TModalResult ShowModal(QDialog& dialog) override {
    std::string title = dialog.windowTitle().toStdString();
    ModalDialogs.push_back(title);
    auto answer =
        Next(ModalAnswers, std::function<TModalResult(QDialog&)>(), "dialog \"" + title + "\"");
    TModalResult result = answer ? answer(dialog) : mrCancel;
    // Closes it as its button would, close query included.
    dialog.done(result);
    return result;
  }
  void Beep() override { ++Beeps; }

  // Every scripted answer was asked for.
  bool AllAnswered() const {
    return MessageAnswers.empty() && FileAnswers.empty() && FontAnswers.empty() &&
           InputAnswers.empty() && ModalAnswers.empty();
  }

 private:
  template <class T>
  static T Next(std::deque<T>& queue, T fallback, const std::string& what) {
    if (queue.empty()) {
      ADD_FAILURE() << "unscripted " << what;
      return fallback;
    }
    T answer = queue.front();
    queue.pop_front();
    return answer;
  }
};

}  // namespace ludra
