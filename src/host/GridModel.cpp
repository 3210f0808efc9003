#include "host/GridModel.h"

#include "adodb/Error.h"
#include "adodb/Variant.h"
#include "host/NumberHelpers.h"

namespace storeadjust {

namespace {
void CheckCell(long row, long col, long rows, long cols) {
  if (row < 0 || col < 0 || row >= rows || col >= cols) throw adodb::Error::SubscriptOutOfRange();
}
}  // namespace

int GridModel::ColDecimals(long col) const {
  return col >= 0 && col < static_cast<long>(colDecimals_.size()) ? colDecimals_[static_cast<size_t>(col)] : -1;
}

std::string GridModel::ShownText(long row, long col) const {
  std::string text = TextMatrix(row, col);
  const int decimals = row > 0 ? ColDecimals(col) : -1;
  double number = 0;
  if (decimals >= 0 && adodb::ParseNumber(text, number)) text = NumberWithPlaces(number, decimals);
  return text;
}

std::string TextGrid::TextMatrix(long row, long col) const {
  CheckCell(row, col, Rows(), cols_);
  return cells_[static_cast<size_t>(row)][static_cast<size_t>(col)];
}

void TextGrid::SetTextMatrix(long row, long col, const std::string& text) {
  CheckCell(row, col, Rows(), cols_);
  cells_[static_cast<size_t>(row)][static_cast<size_t>(col)] = text;
}

long TextGrid::ColWidth(long col) const {
  if (col < 0 || col >= cols_) throw adodb::Error::SubscriptOutOfRange();
  return widths_[static_cast<size_t>(col)];
}

void TextGrid::SetColWidth(long col, long width) {
  if (col < 0 || col >= cols_) throw adodb::Error::SubscriptOutOfRange();
  widths_[static_cast<size_t>(col)] = width;
}

GridModel::Alignment TextGrid::ColAlignment(long col) const {
  if (col < 0 || col >= cols_) return Alignment::Left;
  return alignments_[static_cast<size_t>(col)];
}

void TextGrid::SetColAlignment(long col, Alignment alignment) {
  if (col < 0 || col >= cols_) throw adodb::Error::SubscriptOutOfRange();
  alignments_[static_cast<size_t>(col)] = alignment;
}

void TextGrid::SetRows(long rows) {
  cells_.resize(static_cast<size_t>(rows < 0 ? 0 : rows), std::vector<std::string>(static_cast<size_t>(cols_)));
  if (Row >= Rows()) Row = Rows() - 1;
  if (Row < 0) Row = 0;
}

void TextGrid::SetCols(long cols) {
  cols_ = cols < 0 ? 0 : cols;
  for (auto& r : cells_) r.resize(static_cast<size_t>(cols_));
  widths_.resize(static_cast<size_t>(cols_), 1000);
  alignments_.resize(static_cast<size_t>(cols_), Alignment::Left);
}

void TextGrid::Clear() {
  cells_.clear();
  widths_.clear();
  alignments_.clear();
  SetColDecimals({});
  cols_ = 0;
  Row = Col = 0;
}

}  // namespace storeadjust
