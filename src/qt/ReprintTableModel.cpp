#include "qt/ReprintTableModel.h"

#include "browse/ReprintList.h"

namespace storeadjust::qt {

ReprintTableModel::ReprintTableModel(ReprintList& list, QObject* parent) : QAbstractTableModel(parent), list_(list) {}

int ReprintTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(list_.Bills().size());
}

int ReprintTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumnCount; }

QVariant ReprintTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || role != Qt::DisplayRole || index.row() >= rowCount()) return {};
  const ReprintBill& bill = list_.Bills()[static_cast<std::size_t>(index.row())];
  switch (index.column()) {
    case kSerial: return QString::fromStdString(bill.serial);
    case kDate: return QString::fromStdString(bill.date);
    case kOutWarehouse: return QString::fromStdString(bill.outWarehouse);
    case kInWarehouse: return QString::fromStdString(bill.inWarehouse);
    case kState: return QString::fromStdString(bill.state);
    default: return {};
  }
}

QVariant ReprintTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, orientation, role);
  switch (section) {
    case kSerial: return QStringLiteral("流水号");
    case kDate: return QStringLiteral("开单日期");
    case kOutWarehouse: return QStringLiteral("拨出仓库");
    case kInWarehouse: return QStringLiteral("拨入仓库");
    case kState: return QStringLiteral("状态");
    default: return {};
  }
}

void ReprintTableModel::Refresh() {
  beginResetModel();
  try {
    list_.Refresh();
  } catch (...) {
    endResetModel();
    throw;
  }
  endResetModel();
}

}  // namespace storeadjust::qt
