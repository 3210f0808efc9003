#pragma once
// A read-only table model whose rows reach the view in chunks (canFetchMore/fetchMore), so a
// grid or a record set of 100,000 rows opens without building 100,000 view rows. A subclass
// says how many rows it could show (AvailableRows); this class keeps how many the view has and
// is the one place that fetches: a chunk at a time as the view scrolls, or whole chunks through
// a row that code moves to.
#include <QAbstractTableModel>

namespace storeadjust::qt {

class ChunkedTableModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  static constexpr int kFetchChunk = 200;

  using QAbstractTableModel::QAbstractTableModel;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  bool canFetchMore(const QModelIndex& parent) const override;
  void fetchMore(const QModelIndex& parent) override;

  // Fetches whole chunks until modelRow is among the view's rows, or every row is.
  void FetchThrough(int modelRow);

 protected:
  virtual long AvailableRows() const = 0;
  // Back to the first chunk: in the constructor, and between beginResetModel and endResetModel.
  void RestartFetching();
  int FetchedRows() const { return fetched_; }

 private:
  void FetchUpTo(long rows);

  int fetched_ = 0;
};

}  // namespace storeadjust::qt
