#pragma once
// The goods-place dialog's grid over its allocation: one row a goods place, headed 货位编号,
// 货位名称, 当前数量, 分配数量. Only the quantity column can be edited, and not while viewing;
// what is typed goes through the allocation, which refuses text that is no quantity (the cell
// then keeps its value). An empty quantity cell places nothing. The allocation must outlive it.
#include <QAbstractTableModel>

namespace storeadjust {
class GoodsPlaceAllocation;
}

namespace storeadjust::qt {

class GoodsPlaceTableModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum Column { kNumber, kName, kCurrent, kQuantity, kColumnCount };

  explicit GoodsPlaceTableModel(GoodsPlaceAllocation& allocation, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

 private:
  QString CellText(int row, int column, int role) const;

  GoodsPlaceAllocation& allocation_;
};

}  // namespace storeadjust::qt
