#pragma once
// Whether the quantities a total adds up are all in one unit: 5 克 and 2 千克 add up to no
// quantity of anything, so such a total is left blank. A quantity of 0 (goods kept by amount only,
// stored in whatever unit) adds nothing and so cannot make the units differ.
#include <optional>
#include <string>

#include "adodb/TextCompare.h"

namespace storeadjust {

class QuantityUnits {
 public:
  void Add(double quantity, const std::string& unit) {
    if (quantity == 0) return;
    if (!first_) first_ = unit;
    else if (adodb::CompareValues(*first_, unit) != 0) differ_ = true;
  }
  bool Differ() const { return differ_; }

 private:
  std::optional<std::string> first_;  // of the first quantity added
  bool differ_ = false;
};

}  // namespace storeadjust
