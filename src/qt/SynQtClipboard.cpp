#include "qt/SynQtClipboard.h"

#include <QGuiApplication>
#include <QMimeData>
#include <memory>

#include "base/SynCodePage.h"
#include "base/SynExceptions.h"

namespace ludra {

namespace {

QClipboard* SystemClipboard() {
  return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? QGuiApplication::clipboard()
                                                                      : nullptr;
}

}  // namespace

TSynQtClipboard::TSynQtClipboard(QClipboard::Mode mode) : mode_(mode) {}

QString TSynQtClipboard::BlockFormat() {
#ifdef Q_OS_WIN
  // There the block is a clipboard format registered by this name.
  return QStringLiteral("application/x-qt-windows-mime;value=\"%1\"")
      .arg(QLatin1String(SynClipboardFormatName));
#else
  return QLatin1String(SynClipboardFormatName);
#endif
}

void TSynQtClipboard::SetText(const std::string& text, TSynSelectionMode mode) {
  QClipboard* clipboard = SystemClipboard();
  if (!clipboard) throw ESynEditError(SClipboardCopyFailed);
  auto data = std::make_unique<QMimeData>();
  data->setText(QString::fromStdString(CodePage().ToUtf8(text)));
  std::string block = EncodeClipboardBlock(mode, text);
  data->setData(BlockFormat(), QByteArray(block.data(), static_cast<qsizetype>(block.size())));
  clipboard->setMimeData(data.release(), mode_);  // the clipboard owns it now
}

bool TSynQtClipboard::HasText() const {
  QClipboard* clipboard = SystemClipboard();
  const QMimeData* data = clipboard ? clipboard->mimeData(mode_) : nullptr;
  return data && (data->hasText() || data->hasFormat(BlockFormat()));
}

std::optional<std::string> TSynQtClipboard::PlainText() const {
  QClipboard* clipboard = SystemClipboard();
  const QMimeData* data = clipboard ? clipboard->mimeData(mode_) : nullptr;
  if (!data || !data->hasText()) return std::nullopt;
  QByteArray utf8 = data->text().toUtf8();
  return CodePage().FromUtf8(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())));
}

std::optional<std::string> TSynQtClipboard::BlockData() const {
  QClipboard* clipboard = SystemClipboard();
  const QMimeData* data = clipboard ? clipboard->mimeData(mode_) : nullptr;
  if (!data || !data->hasFormat(BlockFormat())) return std::nullopt;
  QByteArray bytes = data->data(BlockFormat());
  return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

std::optional<TSynClipboardContent> TSynQtClipboard::PasteContent() const {
  QClipboard* clipboard = SystemClipboard();
  if (!clipboard) return std::nullopt;
  const bool primary = mode_ == QClipboard::Selection;
  const bool ours = primary ? clipboard->ownsSelection() : clipboard->ownsClipboard();
  if (!ours && QGuiApplication::platformName() == QLatin1String("xcb")) {
    std::optional<TSynClipboardContent> content;
    if (PasteFromX11(primary, content)) return content;
  }
  // Our own copy, or a system whose clipboard Qt reads without waiting on X.
  return TSynClipboard::PasteContent();
}

}  // namespace ludra
