#pragma once
// The rows of the function list, as the function catalog lays them out: each
// file's heading and its callables, the script's own functions last. A row
// is kept as bytes of the document's code page in the catalog and shown
// through that page only when the view asks for it, so thousands of names
// cost neither an item object nor a converted text each.
#include <QAbstractListModel>
#include <memory>
#include <string>

#include "appcore/FunctionCatalog.h"

namespace ludra {

class TFunctionListModel : public QAbstractListModel {
 public:
  using QAbstractListModel::QAbstractListModel;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;

  int Count() const { return count_; }
  const std::string& Text(int row) const;

  // Shows a catalog's rows. The rows it shares at the top with the ones
  // shown stay in place, with the selection and the scroll position.
  // Returns the catalog shown before.
  std::shared_ptr<const TFunctionCatalog> SetCatalog(
      std::shared_ptr<const TFunctionCatalog> catalog);
  // The code page changed: every row is shown anew.
  void TextsChanged();

 private:
  std::shared_ptr<const TFunctionCatalog> catalog_;
  int count_ = 0;
};

}  // namespace ludra
