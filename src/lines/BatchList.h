#pragma once
// The statement that lists the goods' batches in the out-warehouse for the batch dialog: the
// site's template (when not blank) with "[选择条件]" and "[系数]" filled, or the built-in list of
// phk. Batches without stock are listed only with showZeroStock. A unit coefficient of 0 is
// written as 1.
#include <string>

#include "host/BoundSql.h"

namespace storeadjust {

// The goods and the warehouse stand as ? marks, a pair for every "[选择条件]" of the template.
// The coefficient is the program's own number and stays in the text, where a template may use it
// in its select list.
BoundSql BatchList(const std::string& batchSelectSql, const std::string& hh, const std::string& outWarehouse,
                   bool showZeroStock, double unitCoefficient);

}  // namespace storeadjust
