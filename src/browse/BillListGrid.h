#pragma once
// The browser's list grid Vs, bound to the list record set (a RecordsetGrid that shows dates as
// the day only): column 0, headed by three blanks, carries the mark "√"; the data columns are
// read-only. Marks belong to bills, not to row positions: they follow a row through sorting and
// are cleared when the rows are read again (Attach, Reload). Unlike Bind, neither moves the
// current cell further than the new rows require.
#include <memory>
#include <string>
#include <vector>

#include "adodb/Recordset.h"
#include "host/RecordsetGrid.h"

namespace storeadjust {

inline constexpr const char* kMark = "√";

class BillListGrid : public RecordsetGrid {
 public:
  BillListGrid();

  // Binds the grid to a record set (null unbinds: only the header cell of column 0 remains).
  void Attach(std::shared_ptr<adodb::Recordset> rs);
  // The rows were read again: drops the marks and shows the new rows.
  void Reload();

  // Column 0 of a data row takes the mark ("√") or clears it (any other text); the data columns
  // are read-only and refuse a write.
  void SetTextMatrix(long row, long col, const std::string& text) override;

  bool IsMarked(long row) const;
  void SetMarked(long row, bool marked);

 private:
  std::string FixedCellText(long row) const override;

  std::vector<char> marks_;  // by storage index of the record set's rows
};

}  // namespace storeadjust
