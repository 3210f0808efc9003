#pragma once
// A grid bound to a record set, as the classic flex grid shows one: row 0 is the header row
// holding the column aliases, column 0 is the fixed row-header column (empty), and grid cell
// (r, c) for r, c >= 1 is column c-1 of the set's r-th row in its current order. Cells are
// formatted when asked for (GridCellText), so binding costs nothing beyond the set itself.
// Unbound, the grid has one header row and the fixed column only.
//
// A written cell keeps the written text on the screen only; the record set and the database are
// never changed through the grid. Binding again drops what was written.
#include <map>
#include <memory>
#include <string>
#include <utility>

#include "adodb/Recordset.h"
#include "host/GridModel.h"

namespace storeadjust {

class RecordsetGrid : public GridModel {
 public:
  // Shows the set's rows (null unbinds). The current row becomes the first data row, or the
  // header row when there is none.
  void Bind(std::shared_ptr<adodb::Recordset> rs);
  const std::shared_ptr<adodb::Recordset>& Bound() const { return rs_; }

  long Rows() const override;
  long Cols() const override;
  std::string TextMatrix(long row, long col) const override;
  void SetTextMatrix(long row, long col, const std::string& text) override;
  long ColWidth(long col) const override;

 private:
  void CheckCell(long row, long col) const;

  std::shared_ptr<adodb::Recordset> rs_;
  long rows_ = 1;
  long cols_ = 1;
  std::map<std::pair<long, long>, std::string> written_;
};

}  // namespace storeadjust
