#include "qt/GoodsPlaceTableModel.h"

#include "adodb/Variant.h"
#include "lines/GoodsPlaceAllocation.h"

namespace storeadjust::qt {

GoodsPlaceTableModel::GoodsPlaceTableModel(GoodsPlaceAllocation& allocation, QObject* parent)
    : QAbstractTableModel(parent), allocation_(allocation) {}

int GoodsPlaceTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(allocation_.Rows().size());
}

int GoodsPlaceTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumnCount; }

QVariant GoodsPlaceTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  if (role == Qt::DisplayRole || role == Qt::EditRole) return CellText(index.row(), index.column(), role);
  if (role == Qt::TextAlignmentRole && index.column() >= kCurrent) {
    return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
  }
  return {};
}

QVariant GoodsPlaceTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, orientation, role);
  switch (section) {
    case kNumber: return QStringLiteral("货位编号");
    case kName: return QStringLiteral("货位名称");
    case kCurrent: return QStringLiteral("当前数量");
    case kQuantity: return QStringLiteral("分配数量");
    default: return {};
  }
}

Qt::ItemFlags GoodsPlaceTableModel::flags(const QModelIndex& index) const {
  Qt::ItemFlags flags = QAbstractTableModel::flags(index);
  if (index.column() == kQuantity && !allocation_.ViewOnly()) flags |= Qt::ItemIsEditable;
  return flags;
}

bool GoodsPlaceTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::EditRole || index.column() != kQuantity) return false;
  if (!allocation_.SetQuantity(static_cast<std::size_t>(index.row()), value.toString().toStdString())) return false;
  emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
  return true;
}

// Shown at the site's quantity places; a cell opened for typing holds the quantity as kept.
QString GoodsPlaceTableModel::CellText(int row, int column, int role) const {
  const GoodsPlaceRow& place = allocation_.Rows().at(static_cast<std::size_t>(row));
  const auto shown = [&](double quantity) {
    return QString::fromStdString(role == Qt::EditRole ? adodb::FormatNumber(quantity) : allocation_.Shown(quantity));
  };
  switch (column) {
    case kNumber: return QString::fromStdString(place.number);
    case kName: return QString::fromStdString(place.name);
    case kCurrent: return shown(place.current);
    case kQuantity: return place.allocated == 0 ? QString() : shown(place.allocated);
    default: return {};
  }
}

}  // namespace storeadjust::qt
