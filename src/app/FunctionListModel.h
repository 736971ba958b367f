#pragma once
// The rows of the function list: the include files' headings and natives,
// then the script's own functions. A row is kept as bytes of the document's
// code page and shown through that page only when the view asks for it, so
// thousands of natives cost neither an item object nor a converted text each.
#include <QAbstractListModel>
#include <string>
#include <vector>

namespace ludra {

class TFunctionListModel : public QAbstractListModel {
 public:
  // A script function's 1-based line; 0 for every other row.
  static constexpr int kLineRole = Qt::UserRole + 2;

  using QAbstractListModel::QAbstractListModel;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;

  int Count() const { return static_cast<int>(texts_.size()); }
  const std::string& Text(int row) const { return texts_[row]; }
  int Line(int row) const { return lines_[row]; }

  // Appends rows whose texts are given, with no line; the first rows are
  // taken over without a copy.
  void Append(std::vector<std::string> texts);
  void Append(std::string text, int line);
  // Removes the last count rows (all when there are fewer).
  void RemoveLast(int count);
  // The code page changed: every row is shown anew.
  void TextsChanged();

 private:
  // Row for row.
  std::vector<std::string> texts_;
  std::vector<int> lines_;
};

}  // namespace ludra
