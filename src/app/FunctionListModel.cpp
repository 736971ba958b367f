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
  if (role == Qt::DisplayRole) return CodePageText(Text(index.row()));
  return QVariant();
}

const std::string& TFunctionListModel::Text(int row) const {
  return catalog_->Rows()[static_cast<size_t>(row)].Text;
}

std::shared_ptr<const TFunctionCatalog> TFunctionListModel::SetCatalog(
    std::shared_ptr<const TFunctionCatalog> catalog) {
  std::shared_ptr<const TFunctionCatalog> before = catalog_;
  const int count = catalog ? static_cast<int>(catalog->Rows().size()) : 0;
  int same = 0;
  while (same < count_ && same < count &&
         catalog->Rows()[static_cast<size_t>(same)].Text == Text(same))
    ++same;
  if (same < count_) {
    beginRemoveRows(QModelIndex(), same, count_ - 1);
    count_ = same;
    endRemoveRows();
  }
  if (same < count) {
    beginInsertRows(QModelIndex(), same, count - 1);
    catalog_ = std::move(catalog);
    count_ = count;
    endInsertRows();
  } else {
    catalog_ = std::move(catalog);
  }
  return before;
}

void TFunctionListModel::TextsChanged() {
  if (Count() > 0) emit dataChanged(index(0), index(Count() - 1), {Qt::DisplayRole});
}

}  // namespace ludra
