#include "platform/SynClipboard.h"

namespace ludra {

std::string EncodeClipboardBlock(TSynSelectionMode mode, std::string_view text) {
  std::string data;
  data.reserve(text.size() + 2);
  data.push_back(static_cast<char>(mode));
  data.append(text);
  data.push_back('\0');
  return data;
}

std::optional<TSynClipboardBlock> DecodeClipboardBlock(std::string_view data) {
  if (data.empty()) return std::nullopt;
  auto mode = static_cast<unsigned char>(data[0]);
  if (mode > smColumn) return std::nullopt;
  // The block's own length bounds the text, so a NUL inside it stays; only
  // the terminating zero goes.
  std::string_view text = data.substr(1);
  if (!text.empty() && text.back() == '\0') text.remove_suffix(1);
  return TSynClipboardBlock{static_cast<TSynSelectionMode>(mode), std::string(text)};
}

std::optional<TSynClipboardContent> TSynClipboard::PasteContent() const {
  if (std::optional<std::string> data = BlockData()) {
    if (std::optional<TSynClipboardBlock> block = DecodeClipboardBlock(*data))
      return TSynClipboardContent{std::move(block->Text), block->Mode, true};
  }
  if (std::optional<std::string> text = PlainText())
    return TSynClipboardContent{std::move(*text), smNormal, false};
  return std::nullopt;
}

}  // namespace ludra
