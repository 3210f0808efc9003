#pragma once
// The browser's list grid Vs, bound to the list record set (a RecordsetGrid that shows dates as
// the day only): column 0, headed by three blanks, carries the mark "√"; the data columns are
// read-only. Marks belong to bills, kept by serial (column 1), not to row positions: they follow
// a bill through sorting, and when the rows are read again (Attach, Reload) they stay on the bills
// still listed and leave those no longer listed. Every row of a bill shown on several rows
// carries its mark. Unlike Bind, neither moves the current cell further than the new rows require.
#include <functional>
#include <memory>
#include <set>
#include <string>

#include "adodb/Recordset.h"
#include "host/RecordsetGrid.h"

namespace storeadjust {

inline constexpr const char* kMark = "√";

class BillListGrid : public RecordsetGrid {
 public:
  BillListGrid();

  // Binds the grid to a record set (null unbinds: only the header cell of column 0 remains).
  void Attach(std::shared_ptr<adodb::Recordset> rs);
  // The rows were read again: shows the new rows, the marks kept on the bills still listed.
  void Reload();

  // Column 0 of a data row takes the mark ("√") or clears it (any other text); the data columns
  // are read-only and refuse a write.
  void SetTextMatrix(long row, long col, const std::string& text) override;

  bool IsMarked(long row) const;
  // `tell`: false for a mark given back, whose bill keeps what it was told when first marked.
  void SetMarked(long row, bool marked, bool tell = true);
  // Marks the bills unmarked and unmarks the marked, each bill once however many rows it has.
  void InvertMarks();
  const std::set<std::string>& MarkedBills() const { return marked_; }
  // Told the serial of each bill as it becomes marked (not again while it stays marked).
  void WhenMarked(std::function<void(const std::string& serial)> told) { whenMarked_ = std::move(told); }

 private:
  std::string FixedCellText(long row) const override;
  std::string SerialAt(long row) const;
  void KeepMarksOfListedBills();

  std::set<std::string> marked_;  // serials of the marked bills
  std::function<void(const std::string&)> whenMarked_;
};

}  // namespace storeadjust
