#pragma once
// The clipboard as the editor sees it: text goes out twice, as plain text
// and as a private block that also carries the selection mode, so a line or
// column copy pastes back in its mode. Text here is code-page bytes; the
// platform side converts the plain text to and from the system's encoding.
#include <optional>
#include <string>
#include <string_view>

#include "base/SynEditTypes.h"

namespace ludra {

// The name the private block is registered under.
inline constexpr char SynClipboardFormatName[] = "SynEdit Control Block Type";

inline constexpr char SClipboardCopyFailed[] = "Clipboard copy operation failed";
inline constexpr char SClipboardPasteFailed[] = "Clipboard paste operation failed.";

struct TSynClipboardBlock {
  TSynSelectionMode Mode = smNormal;
  std::string Text;
};

// The private block: one mode byte (0 normal, 1 line, 2 column), the text,
// a terminating zero byte.
std::string EncodeClipboardBlock(TSynSelectionMode mode, std::string_view text);
// The block's mode and text: everything between the mode byte and the
// terminating zero (or the end when the zero is missing), NULs included.
// Nothing for an empty block or an unknown mode byte: the data may come
// from another program.
std::optional<TSynClipboardBlock> DecodeClipboardBlock(std::string_view data);

// What a paste inserts.
struct TSynClipboardContent {
  std::string Text;
  TSynSelectionMode Mode = smNormal;
  // True when the text came from the private block, so Mode applies; false
  // for plain text, which goes in in the editor's current mode.
  bool FromBlock = false;
};

class TSynClipboard {
 public:
  virtual ~TSynClipboard() = default;

  // Replaces the clipboard's content with text as plain text and as the
  // private block in the given mode. Raises ESynEditError
  // SClipboardCopyFailed when the clipboard cannot be written.
  virtual void SetText(const std::string& text, TSynSelectionMode mode) = 0;
  // True when there is plain text or a private block to paste.
  virtual bool HasText() const = 0;
  // The plain text as code-page bytes, or nothing when there is none.
  virtual std::optional<std::string> PlainText() const = 0;
  // The raw private block, or nothing when there is none. Raises
  // ESynEditError SClipboardPasteFailed when it cannot be read.
  virtual std::optional<std::string> BlockData() const = 0;

  // The private block when it is there and well formed (its text and mode
  // win over the plain text), else the plain text; nothing when neither.
  // What a paste asks, once per paste.
  virtual std::optional<TSynClipboardContent> PasteContent() const;
};

}  // namespace ludra
