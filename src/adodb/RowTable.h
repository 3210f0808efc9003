#pragma once
// The rows of a query result. Rows live in row-major blocks of values, each block holding whole
// rows, so a row is one contiguous span and reading 100,000 rows costs a few hundred allocations
// rather than one per row. Blocks stay well under the allocator's mapping threshold, so memory
// freed by one result serves the next one's rows instead of being mapped and faulted in afresh.
#include <cstddef>
#include <iterator>
#include <span>
#include <stdexcept>
#include <vector>

#include "adodb/Variant.h"

namespace adodb {

// One row's values, in column order: a view, valid while the table that holds it is alive and
// no row is appended. at() checks the column as a vector's would.
class Row : public std::span<const Variant> {
 public:
  using std::span<const Variant>::span;
  const Variant& at(std::size_t column) const {
    if (column >= size()) throw std::out_of_range("Row::at: no such column");
    return (*this)[column];
  }
};
using MutableRow = std::span<Variant>;

class RowTable {
 public:
  // Rows of `width` values; without one, the first row fixes it.
  RowTable() = default;
  explicit RowTable(std::size_t width) { SetWidth(width); }

  std::size_t Width() const noexcept { return width_; }
  void SetWidth(std::size_t width);  // only while the table is empty

  std::size_t size() const noexcept { return rows_; }
  bool empty() const noexcept { return rows_ == 0; }
  Row operator[](std::size_t row) const { return {Start(row), width_}; }
  MutableRow MutableAt(std::size_t row) { return {Start(row), width_}; }
  Row front() const { return (*this)[0]; }
  Row back() const { return (*this)[rows_ - 1]; }

  // Appends a row of exactly Width() values (the first row of a table without width sets it).
  void push_back(const std::vector<Variant>& row);
  void push_back(std::vector<Variant>&& row);
  // Appends the next value of the row being filled; a row is complete after Width() values.
  void AppendValue(Variant&& value);

  class const_iterator {
   public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = Row;
    using difference_type = std::ptrdiff_t;
    using pointer = void;
    using reference = Row;
    const_iterator() = default;
    const_iterator(const RowTable* table, std::size_t row) : table_(table), row_(row) {}
    Row operator*() const { return (*table_)[row_]; }
    const_iterator& operator++() {
      ++row_;
      return *this;
    }
    const_iterator operator++(int) {
      const_iterator before = *this;
      ++row_;
      return before;
    }
    bool operator==(const const_iterator& other) const { return row_ == other.row_; }

   private:
    const RowTable* table_ = nullptr;
    std::size_t row_ = 0;
  };
  const_iterator begin() const { return {this, 0}; }
  const_iterator end() const { return {this, rows_}; }

 private:
  Variant* Start(std::size_t row) const {
    if (width_ == 0) return nullptr;
    return const_cast<Variant*>(blocks_[row / rowsPerBlock_].data()) + (row % rowsPerBlock_) * width_;
  }
  std::vector<Variant>& BlockForNextValue();

  std::size_t width_ = 0;
  std::size_t rowsPerBlock_ = 1;
  std::size_t rows_ = 0;
  std::size_t filled_ = 0;  // values of the row being filled
  std::vector<std::vector<Variant>> blocks_;
};

}  // namespace adodb
