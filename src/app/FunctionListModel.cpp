#include "app/FunctionListModel.h"

#include "base/SynCodePage.h"

namespace ludra {

namespace {

// Code-page text for the view; plain ASCII, the usual case, needs no mapping.
QString CodePageText(const std::string& text) {
  for (char c : text)
    if (static_cast<unsigned char>(c) >= 0x80) return QString::fromStdString(CodePage().ToUtf8(text));
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

int TFunctionListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : Count();
}

QVariant TFunctionListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= Count()) return QVariant();
  const TRow& row = rows_[index.row()];
  if (role == Qt::DisplayRole) return CodePageText(row.Text);
  if (role == kLineRole) return row.Line;
  return QVariant();
}

void TFunctionListModel::Append(std::vector<std::string> texts) {
  if (texts.empty()) return;
  beginInsertRows(QModelIndex(), Count(), Count() + static_cast<int>(texts.size()) - 1);
  rows_.reserve(rows_.size() + texts.size());
  for (std::string& text : texts) rows_.push_back({std::move(text), 0});
  endInsertRows();
}

void TFunctionListModel::Append(std::string text, int line) {
  beginInsertRows(QModelIndex(), Count(), Count());
  rows_.push_back({std::move(text), line});
  endInsertRows();
}

void TFunctionListModel::RemoveLast(int count) {
  count = std::min(count, Count());
  if (count <= 0) return;
  beginRemoveRows(QModelIndex(), Count() - count, Count() - 1);
  rows_.resize(rows_.size() - static_cast<size_t>(count));
  endRemoveRows();
}

void TFunctionListModel::TextsChanged() {
  if (Count() > 0) emit dataChanged(index(0), index(Count() - 1), {Qt::DisplayRole});
}

}  // namespace ludra
