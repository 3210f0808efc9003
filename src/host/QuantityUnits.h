#pragma once
// Whether the quantities a total adds up are all in one unit: 5 克 and 2 千克 add up to no
// quantity of anything, so such a total is left blank. A quantity of 0 (goods kept by amount only,
// stored in whatever unit) adds nothing and so cannot make the units differ.
#include <string>

#include "adodb/TextCompare.h"

namespace storeadjust {

class QuantityUnits {
 public:
  void Add(double quantity, const std::string& unit) {
    if (quantity == 0) return;
    if (!any_) first_ = unit;
    else if (adodb::CompareValues(first_, unit) != 0) differ_ = true;
    any_ = true;
  }
  bool Differ() const { return differ_; }

 private:
  // A plain string beside a flag: an optional one here draws GCC's false "may be used
  // uninitialized" under the sanitizers' optimisation.
  std::string first_;  // the unit of the first quantity added
  bool any_ = false;
  bool differ_ = false;
};

}  // namespace storeadjust
