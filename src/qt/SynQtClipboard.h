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

  // The format name the private block travels under on this platform.
  static QString BlockFormat();

 private:
  QClipboard::Mode mode_;
};

}  // namespace ludra
