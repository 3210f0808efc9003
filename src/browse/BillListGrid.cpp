#include "browse/BillListGrid.h"

#include "adodb/Error.h"

namespace storeadjust {

namespace {
constexpr long kMarkColumnWidth = 300;
}  // namespace

BillListGrid::BillListGrid() : RecordsetGrid(kMarkColumnWidth, CellDates::DayOnly) {}

void BillListGrid::Attach(std::shared_ptr<adodb::Recordset> rs) {
  Take(std::move(rs));
  Reload();
}

void BillListGrid::Reload() {
  Take(Bound());
  marks_.assign(static_cast<std::size_t>(Rows() - 1), 0);
  if (Row >= Rows()) Row = Rows() - 1;
  if (Col >= Cols()) Col = Cols() - 1;
  NotifyContents();
}

std::string BillListGrid::FixedCellText(long row) const {
  if (row == 0) return "   ";
  return IsMarked(row) ? kMark : "";
}

void BillListGrid::SetTextMatrix(long row, long col, const std::string& text) {
  CheckCell(row, col);
  if (row == 0 || col != 0) {
    throw adodb::Error(adodb::errnum::kNotUpdatable, "The list shows the bills as stored; its cells are read-only.",
                       "Vs");
  }
  SetMarked(row, text == kMark);
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
