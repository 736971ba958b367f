#pragma once
// A clipboard held in memory, for tests: it can also play another program
// (plain text only, or a block of its own making) and a clipboard that
// refuses to be written or read.
#include <optional>
#include <string>

#include "platform/SynClipboard.h"

namespace ludra {

class TSynMemoryClipboard : public TSynClipboard {
 public:
  void SetText(const std::string& text, TSynSelectionMode mode) override;
  bool HasText() const override { return plainText_.has_value() || blockData_.has_value(); }
  std::optional<std::string> PlainText() const override { return plainText_; }
  std::optional<std::string> BlockData() const override;

  // As another program would: replaces everything with plain text only.
  void SetPlainText(const std::string& text);
  // Puts raw private-block bytes beside whatever plain text is there.
  void SetBlockData(const std::string& data) { blockData_ = data; }
  void Clear();

  // While failing, SetText raises the copy error and leaves the content
  // alone, and reading a private block raises the paste error.
  void SetFailing(bool value) { failing_ = value; }
  // How many times SetText succeeded.
  int WriteCount() const { return writeCount_; }

 private:
  std::optional<std::string> plainText_;
  std::optional<std::string> blockData_;
  bool failing_ = false;
  int writeCount_ = 0;
};

}  // namespace ludra
