#include "app/FunctionListModel.h"

#include <algorithm>

#include "base/SynCodePage.h"

namespace ludra {

namespace {

// Code-page text for the view; plain ASCII, the usual case, needs no mapping.
QString CodePageText(const std::string& text) {
  for (char c : text)
    if (static_cast<unsigned char>(c) >= 0x80)
      return QString::fromStdString(CodePage().ToUtf8(text));
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

int TFunctionListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : Count();
}

QVariant TFunctionListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= Count()) return QVariant();
  if (role == Qt::DisplayRole) return CodePageText(texts_[index.row()]);
  if (role == kLineRole) return lines_[index.row()];
  return QVariant();
}

void TFunctionListModel::Append(std::vector<std::string> texts) {
  if (texts.empty()) return;
  beginInsertRows(QModelIndex(), Count(), Count() + static_cast<int>(texts.size()) - 1);
  if (texts_.empty()) {
    texts_ = std::move(texts);
  } else {
    texts_.reserve(texts_.size() + texts.size());
    for (std::string& text : texts) texts_.push_back(std::move(text));
  }
  lines_.resize(texts_.size(), 0);
  endInsertRows();
}

void TFunctionListModel::Append(std::string text, int line) {
  beginInsertRows(QModelIndex(), Count(), Count());
  texts_.push_back(std::move(text));
  lines_.push_back(line);
  endInsertRows();
}

void TFunctionListModel::RemoveLast(int count) {
  count = std::min(count, Count());
  if (count <= 0) return;
  beginRemoveRows(QModelIndex(), Count() - count, Count() - 1);
  texts_.resize(texts_.size() - static_cast<size_t>(count));
  lines_.resize(texts_.size());
  endRemoveRows();
}

void TFunctionListModel::TextsChanged() {
  if (Count() > 0) emit dataChanged(index(0), index(Count() - 1), {Qt::DisplayRole});
}

}  // namespace ludra
