#include <algorithm>
#include <stdexcept>

#include "adodb/RowTable.h"

namespace adodb {

namespace {

// Well under glibc's smallest mapping threshold (128 KiB): blocks come from the heap, and a
// result's blocks freed on close serve the next result's rows.
constexpr std::size_t kBlockBytes = 64 * 1024;

}  // namespace

void RowTable::SetWidth(std::size_t width) {
  if (rows_ != 0 || filled_ != 0) throw std::logic_error("RowTable: the width of a filled table cannot change");
  width_ = width;
  rowsPerBlock_ = width == 0 ? 1 : std::max<std::size_t>(1, kBlockBytes / (width * sizeof(Variant)));
}

// The first block grows with the result, so a one-row result stays small; the ones after it are
// allocated at full size and never move.
std::vector<Variant>& RowTable::BlockForNextValue() {
  const std::size_t blockValues = rowsPerBlock_ * width_;
  if (blocks_.empty() || (filled_ == 0 && blocks_.back().size() == blockValues)) {
    blocks_.emplace_back();
    blocks_.back().reserve(blocks_.size() == 1 ? std::min(width_ * 4, blockValues) : blockValues);
  }
  std::vector<Variant>& block = blocks_.back();
  if (block.size() == block.capacity()) block.reserve(std::min(block.capacity() * 2, blockValues));
  return block;
}

void RowTable::AppendValue(Variant&& value) {
  if (width_ == 0) throw std::logic_error("RowTable: a value appended to a table without columns");
  BlockForNextValue().push_back(std::move(value));
  if (++filled_ == width_) {
    filled_ = 0;
    ++rows_;
  }
}

void RowTable::push_back(std::vector<Variant>&& row) {
  if (rows_ == 0 && width_ == 0) SetWidth(row.size());
  if (row.size() != width_ || filled_ != 0) throw std::invalid_argument("RowTable: a row of the wrong width");
  if (width_ == 0) {
    ++rows_;
    return;
  }
  for (Variant& value : row) AppendValue(std::move(value));
}

void RowTable::push_back(const std::vector<Variant>& row) { push_back(std::vector<Variant>(row)); }

}  // namespace adodb
