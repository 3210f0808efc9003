#pragma once
// The browser's list grid Vs, bound to the list record set: row 0 is the header row, grid row r
// is the record set's r-th row in its current sort order. Column 0 is the row-header column
// (headed by three blanks) carrying the mark "√"; columns 1.. show the query's columns. Cells are
// formatted when asked for, so a list of any length costs nothing beyond the record set itself.
// Marks belong to bills, not to row positions: they follow a row through sorting and are
// cleared when the rows are read again (Attach, Requery).
#include <memory>
#include <string>
#include <vector>

#include "adodb/Recordset.h"
#include "host/GridModel.h"

namespace storeadjust {

inline constexpr const char* kMark = "√";

class BillListGrid : public GridModel {
 public:
  // Binds the grid to a record set (null unbinds: only the header cell of column 0 remains).
  void Attach(std::shared_ptr<adodb::Recordset> rs);
  // The rows were read again: drops the marks and shows the new rows.
  void Reload();

  long Rows() const override;
  long Cols() const override;
  std::string TextMatrix(long row, long col) const override;
  // Column 0 of a data row takes the mark ("√") or clears it (any other text); the data columns
  // are read-only and refuse a write.
  void SetTextMatrix(long row, long col, const std::string& text) override;
  long ColWidth(long col) const override;

  bool IsMarked(long row) const;
  void SetMarked(long row, bool marked);

 private:
  std::size_t StorageIndex(long row) const;
  void CheckCell(long row, long col) const;

  std::shared_ptr<adodb::Recordset> rs_;
  std::vector<char> marks_;  // by storage index of the record set's rows
};

}  // namespace storeadjust
