#include "host/RecordsetGrid.h"

#include "adodb/Error.h"
#include "host/TypeGroups.h"

namespace storeadjust {

namespace {
constexpr long kDataColumnWidth = 1200;
}  // namespace

RecordsetGrid::RecordsetGrid(long fixedColumnWidth, CellDates dates)
    : fixedColumnWidth_(fixedColumnWidth), dates_(dates) {}

void RecordsetGrid::Take(std::shared_ptr<adodb::Recordset> rs) {
  rs_ = std::move(rs);
  const bool open = rs_ && rs_->State() == adodb::adStateOpen;
  rows_ = 1 + (open ? rs_->RecordCount() : 0);
  cols_ = 1 + (open ? static_cast<long>(rs_->FieldCount()) : 0);
  written_.clear();
}

void RecordsetGrid::Bind(std::shared_ptr<adodb::Recordset> rs) {
  Take(std::move(rs));
  Row = rows_ > 1 ? 1 : 0;
  Col = cols_ > 1 ? 1 : 0;
  NotifyContents();
}

long RecordsetGrid::Rows() const { return rows_; }

long RecordsetGrid::Cols() const { return cols_; }

void RecordsetGrid::CheckCell(long row, long col) const {
  if (row < 0 || col < 0 || row >= rows_ || col >= cols_) throw adodb::Error::SubscriptOutOfRange();
}

std::size_t RecordsetGrid::StorageIndex(long row) const { return rs_->RowIndexAt(row - 1); }

std::string RecordsetGrid::FixedCellText(long) const { return {}; }

std::string RecordsetGrid::TextMatrix(long row, long col) const {
  CheckCell(row, col);
  if (!written_.empty()) {
    auto it = written_.find({row, col});
    if (it != written_.end()) return it->second;
  }
  if (col == 0) return FixedCellText(row);
  const auto field = static_cast<std::size_t>(col - 1);
  if (row == 0) return rs_->Column(field).name;
  return CellText(rs_->RowAt(StorageIndex(row))[field], dates_);
}

void RecordsetGrid::SetTextMatrix(long row, long col, const std::string& text) {
  CheckCell(row, col);
  written_[{row, col}] = text;
}

long RecordsetGrid::ColWidth(long col) const {
  if (col < 0 || col >= cols_) throw adodb::Error::SubscriptOutOfRange();
  return col == 0 ? fixedColumnWidth_ : kDataColumnWidth;
}

GridModel::Alignment RecordsetGrid::ColAlignment(long col) const {
  if (!rs_ || col < 1 || col >= cols_) return Alignment::Left;
  return IsNumberColumn(rs_->Column(static_cast<std::size_t>(col - 1)).type) ? Alignment::Right : Alignment::Left;
}

}  // namespace storeadjust
