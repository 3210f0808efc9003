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
  KeepMarksOfListedBills();
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

// A bill another clerk deleted, or one a find now hides, leaves no mark behind to come back later.
void BillListGrid::KeepMarksOfListedBills() {
  if (marked_.empty()) return;
  std::set<std::string> kept;
  for (long row = 1; row < Rows(); ++row) {
    if (marked_.count(SerialAt(row)) != 0) kept.insert(SerialAt(row));
  }
  marked_ = std::move(kept);
}

std::string BillListGrid::SerialAt(long row) const { return Bound()->RowAt(StorageIndex(row))[0].TextOrEmpty(); }

bool BillListGrid::IsMarked(long row) const {
  CheckCell(row, 0);
  return row > 0 && Cols() > 1 && marked_.count(SerialAt(row)) != 0;
}

void BillListGrid::SetMarked(long row, bool marked, bool tell) {
  CheckCell(row, 0);
  if (row == 0 || Cols() < 2) return;
  if (marked) {
    const std::string serial = SerialAt(row);
    if (marked_.insert(serial).second && tell && whenMarked_) whenMarked_(serial);
  } else {
    marked_.erase(SerialAt(row));
  }
}

void BillListGrid::InvertMarks() {
  std::set<std::string> inverted;
  for (long row = 1; row < Rows(); ++row) {
    std::string serial = SerialAt(row);
    if (marked_.count(serial) == 0) inverted.insert(std::move(serial));
  }
  marked_ = std::move(inverted);
  if (whenMarked_) {
    for (const std::string& serial : marked_) whenMarked_(serial);
  }
}

}  // namespace storeadjust
