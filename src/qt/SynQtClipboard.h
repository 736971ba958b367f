#pragma once
// The editor's clipboard on the system clipboard: plain text as Unicode for
// every program, plus the private block (mode byte, code-page bytes) under
// its own format, which other Ludra processes read back.
#include <QClipboard>
#include <QString>

#include "platform/SynClipboard.h"

namespace ludra {

class TSynQtClipboard : public TSynClipboard {
 public:
  // Uses the running application's clipboard (a QGuiApplication must exist).
  explicit TSynQtClipboard(QClipboard::Mode mode = QClipboard::Clipboard);

  void SetText(const std::string& text, TSynSelectionMode mode) override;
  bool HasText() const override;
  std::optional<std::string> PlainText() const override;
  std::optional<std::string> BlockData() const override;
  // Asks the clipboard once. What another program holds on X is read over
  // a connection of our own, waiting at most PasteWaitMs in all while the
  // window keeps painting (keys and clicks wait for the paste).
  std::optional<TSynClipboardContent> PasteContent() const override;

  // The format name the private block travels under on this platform.
  static QString BlockFormat();

  static constexpr int PasteWaitMs = 3000;

 private:
  // False when no connection to the X server could be made.
  static bool PasteFromX11(bool primary, std::optional<TSynClipboardContent>& content);

  QClipboard::Mode mode_;
};

}  // namespace ludra
