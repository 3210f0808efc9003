#include "qt/GridTableModel.h"

#include <algorithm>

#include "host/GridModel.h"

namespace storeadjust::qt {

GridTableModel::GridTableModel(GridModel& grid, QObject* parent)
    : ChunkedTableModel(parent), grid_(grid), previousContents_(grid.OnContentsChanged),
      previousCurrent_(grid.OnCurrentChanged) {
  RestartFetching();
  cols_ = static_cast<int>(grid_.Cols());
  grid_.OnContentsChanged = [this] {
    if (previousContents_) previousContents_();
    Reload();
  };
  grid_.OnCurrentChanged = [this] {
    if (previousCurrent_) previousCurrent_();
    emit CurrentRowChanged(CurrentModelRow());
  };
}

GridTableModel::~GridTableModel() {
  grid_.OnContentsChanged = previousContents_;
  grid_.OnCurrentChanged = previousCurrent_;
}

int GridTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : cols_; }

QVariant GridTableModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole && role != Qt::TextAlignmentRole) return {};
  if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) return {};
  if (role == Qt::TextAlignmentRole) {
    const bool right = grid_.ColAlignment(index.column()) == GridModel::Alignment::Right;
    return static_cast<int>(Qt::AlignVCenter | (right ? Qt::AlignRight : Qt::AlignLeft));
  }
  // A grid that changed without telling shows blanks rather than reading past its end.
  if (index.row() + 1 >= grid_.Rows() || index.column() >= grid_.Cols()) return {};
  return QString::fromStdString(grid_.ShownText(index.row() + 1, index.column()));
}

QVariant GridTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole || section < 0) return {};
  if (orientation == Qt::Vertical) return section + 1;
  if (section >= cols_ || grid_.Rows() == 0) return {};
  return QString::fromStdString(grid_.TextMatrix(0, section));
}

int GridTableModel::CurrentModelRow() {
  const long row = grid_.Row;
  if (row < 1 || row > AvailableRows()) return -1;
  const int wanted = static_cast<int>(row - 1);
  FetchThrough(wanted);
  return wanted;
}

void GridTableModel::Reload() {
  beginResetModel();
  cols_ = static_cast<int>(grid_.Cols());
  RestartFetching();
  endResetModel();
}

long GridTableModel::AvailableRows() const { return std::max(0L, grid_.Rows() - 1); }

}  // namespace storeadjust::qt
