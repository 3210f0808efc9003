#pragma once
// The reprint dialog's table over a ReprintList: one row per listed bill with its serial, date,
// out- and in-warehouse and state; read-only. Refresh reads the list again under a model reset.
#include <QAbstractTableModel>

namespace storeadjust {
class ReprintList;
}

namespace storeadjust::qt {

class ReprintTableModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum ColumnIndex { kSerial, kDate, kOutWarehouse, kInWarehouse, kState, kColumnCount };

  // The list must outlive the model.
  explicit ReprintTableModel(ReprintList& list, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

  // Reads the list again with its current filters; throws adodb::Error, leaving the rows as read.
  void Refresh();

 private:
  ReprintList& list_;
};

}  // namespace storeadjust::qt
