#pragma once
// A grid bound to a record set, as the classic flex grid shows one: row 0 is the header row
// holding the column aliases, column 0 is the fixed row-header column (empty unless a derived
// grid puts something there), and grid cell (r, c) for r, c >= 1 is column c-1 of the set's r-th
// row in its current order. Cells are formatted when asked for (CellText), so binding costs
// nothing beyond the set itself. Unbound, the grid has one header row and the fixed column only.
// The row count is taken when the set is bound: a set read again is bound again.
//
// A written cell keeps the written text on the screen only; the record set and the database are
// never changed through the grid. Binding again drops what was written.
#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <utility>

#include "adodb/Recordset.h"
#include "host/CellText.h"
#include "host/GridModel.h"

namespace storeadjust {

class RecordsetGrid : public GridModel {
 public:
  explicit RecordsetGrid(long fixedColumnWidth = 250, CellDates dates = CellDates::WithTimeOfDay);

  // Shows the set's rows (null unbinds). The current row becomes the first data row, or the
  // header row when there is none.
  void Bind(std::shared_ptr<adodb::Recordset> rs);
  const std::shared_ptr<adodb::Recordset>& Bound() const { return rs_; }

  long Rows() const override;
  long Cols() const override;
  std::string TextMatrix(long row, long col) const override;
  void SetTextMatrix(long row, long col, const std::string& text) override;
  long ColWidth(long col) const override;
  // Right for the set's numeric columns (quantities, prices, amounts); codes kept as text stay left.
  Alignment ColAlignment(long col) const override;

 protected:
  // Binds and counts the set's rows and columns again, leaving the current cell where it is and
  // raising nothing.
  void Take(std::shared_ptr<adodb::Recordset> rs);
  // The text of column 0 in the given row; the plain grid leaves it empty.
  virtual std::string FixedCellText(long row) const;
  void CheckCell(long row, long col) const;
  // The record set's storage index of data row `row` (>= 1) in the current order.
  std::size_t StorageIndex(long row) const;

 private:
  const long fixedColumnWidth_;
  const CellDates dates_;
  std::shared_ptr<adodb::Recordset> rs_;
  long rows_ = 1;
  long cols_ = 1;
  std::map<std::pair<long, long>, std::string> written_;
};

}  // namespace storeadjust
