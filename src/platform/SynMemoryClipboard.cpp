#include "platform/SynMemoryClipboard.h"

#include "base/SynExceptions.h"

namespace ludra {

void TSynMemoryClipboard::SetText(const std::string& text, TSynSelectionMode mode) {
  if (failing_) throw ESynEditError(SClipboardCopyFailed);
  plainText_ = text;
  blockData_ = EncodeClipboardBlock(mode, text);
  ++writeCount_;
}

std::optional<std::string> TSynMemoryClipboard::BlockData() const {
  if (blockData_ && failing_) throw ESynEditError(SClipboardPasteFailed);
  return blockData_;
}

void TSynMemoryClipboard::SetPlainText(const std::string& text) {
  plainText_ = text;
  blockData_.reset();
}

void TSynMemoryClipboard::Clear() {
  plainText_.reset();
  blockData_.reset();
}

}  // namespace ludra
