#include "browse/BillListGrid.h"

#include "adodb/Error.h"
#include "browse/ListCellText.h"

namespace storeadjust {

namespace {
constexpr long kMarkColumnWidth = 300;
constexpr long kDataColumnWidth = 1200;
}  // namespace

void BillListGrid::Attach(std::shared_ptr<adodb::Recordset> rs) {
  rs_ = std::move(rs);
  Reload();
}

void BillListGrid::Reload() {
  marks_.assign(rs_ && rs_->State() == adodb::adStateOpen ? static_cast<std::size_t>(rs_->RecordCount()) : 0, 0);
  if (Row >= Rows()) Row = Rows() - 1;
  if (Col >= Cols()) Col = Cols() - 1;
  NotifyContents();
}

long BillListGrid::Rows() const { return 1 + static_cast<long>(marks_.size()); }

long BillListGrid::Cols() const {
  if (!rs_ || rs_->State() != adodb::adStateOpen) return 1;
  return 1 + static_cast<long>(rs_->FieldCount());
}

void BillListGrid::CheckCell(long row, long col) const {
  if (row < 0 || col < 0 || row >= Rows() || col >= Cols()) throw adodb::Error::SubscriptOutOfRange();
}

std::size_t BillListGrid::StorageIndex(long row) const { return rs_->RowIndexAt(row - 1); }

std::string BillListGrid::TextMatrix(long row, long col) const {
  CheckCell(row, col);
  if (row == 0) return col == 0 ? std::string("   ") : rs_->Column(static_cast<std::size_t>(col - 1)).name;
  if (col == 0) return IsMarked(row) ? kMark : "";
  return ListCellText(rs_->RowAt(StorageIndex(row))[static_cast<std::size_t>(col - 1)]);
}

void BillListGrid::SetTextMatrix(long row, long col, const std::string& text) {
  CheckCell(row, col);
  if (row == 0 || col != 0) {
    throw adodb::Error(adodb::errnum::kNotUpdatable, "The list shows the bills as stored; its cells are read-only.",
                       "Vs");
  }
  SetMarked(row, text == kMark);
}

long BillListGrid::ColWidth(long col) const {
  if (col < 0 || col >= Cols()) throw adodb::Error::SubscriptOutOfRange();
  return col == 0 ? kMarkColumnWidth : kDataColumnWidth;
}

bool BillListGrid::IsMarked(long row) const {
  CheckCell(row, 0);
  return row > 0 && marks_[StorageIndex(row)] != 0;
}

void BillListGrid::SetMarked(long row, bool marked) {
  CheckCell(row, 0);
  if (row == 0) return;
  marks_[StorageIndex(row)] = marked ? 1 : 0;
}

}  // namespace storeadjust
