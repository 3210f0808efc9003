#pragma once
// A grid as the screens hold it (the classic flex grid): fixed header row 0, cells as text,
// a current row and column. Views and the scenario player read and drive it through this
// interface; a screen may back it with stored text (TextGrid) or with a record set.
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace storeadjust {

class GridModel {
 public:
  virtual ~GridModel() = default;
  virtual long Rows() const = 0;  // the header row included
  virtual long Cols() const = 0;
  virtual std::string TextMatrix(long row, long col) const = 0;
  virtual void SetTextMatrix(long row, long col, const std::string& text) = 0;
  virtual long ColWidth(long col) const = 0;  // 0 hides the column
  // Numbers read best right-aligned, as a clerk compares them digit by digit.
  enum class Alignment { Left, Right };
  virtual Alignment ColAlignment(long col) const {
    (void)col;
    return Alignment::Left;
  }
  // Decimal places a view shows a column's numbers with (-1: the cell's text as it is). The
  // screen sets them from its settings; the cells keep their plain text, which is what the
  // screen wrote and what scripts compare.
  int ColDecimals(long col) const;
  void SetColDecimals(std::vector<int> decimals) { colDecimals_ = std::move(decimals); }
  // A cell as views show and print it: a number padded to its column's places, which never hide
  // a place it is stored with (5.125 千克); anything else as TextMatrix gives it.
  std::string ShownText(long row, long col) const;
  long Row = 0;  // current row
  long Col = 0;  // current column

  // Raised after the rows or their contents changed (views reset), and after the current row
  // changed (views move their selection).
  std::function<void()> OnContentsChanged;
  std::function<void()> OnCurrentChanged;
  void NotifyContents() const {
    if (OnContentsChanged) OnContentsChanged();
  }
  void NotifyCurrent() const {
    if (OnCurrentChanged) OnCurrentChanged();
  }

 private:
  std::vector<int> colDecimals_;
};

// A grid holding its cells as text.
class TextGrid : public GridModel {
 public:
  long Rows() const override { return static_cast<long>(cells_.size()); }
  long Cols() const override { return cols_; }
  std::string TextMatrix(long row, long col) const override;
  void SetTextMatrix(long row, long col, const std::string& text) override;
  long ColWidth(long col) const override;
  void SetColWidth(long col, long width);
  Alignment ColAlignment(long col) const override;
  void SetColAlignment(long col, Alignment alignment);
  // Resizes, keeping existing cells; new cells are empty.
  void SetRows(long rows);
  void SetCols(long cols);
  void Clear();  // no rows, no columns
  std::vector<std::vector<std::string>>& Cells() { return cells_; }

 private:
  std::vector<std::vector<std::string>> cells_;
  std::vector<long> widths_;
  std::vector<Alignment> alignments_;
  long cols_ = 0;
};

}  // namespace storeadjust
