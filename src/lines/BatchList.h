#pragma once
// The statement that lists the goods' batches in the out-warehouse for the batch dialog: the
// site's template (when not blank) with "[选择条件]" and "[系数]" filled, or the built-in list of
// phk. Batches without stock are listed only with showZeroStock. A unit coefficient of 0 is
// written as 1.
#include <string>

#include "adodb/BoundValues.h"

namespace storeadjust {

// The statement with the goods and the warehouse as ? marks, and their values in order (one
// pair for every "[选择条件]" of the template). The coefficient is the program's own number and
// stays in the text, where a template may use it in its select list.
struct BatchListQuery {
  std::string statement;
  adodb::BoundValues values;
};
BatchListQuery BoundBatchList(const std::string& batchSelectSql, const std::string& hh, const std::string& outWarehouse,
                              bool showZeroStock, double unitCoefficient);

// The same statement with the goods and the warehouse written into it as quoted literals, for
// the list dialog, which runs a statement without values.
std::string BatchListStatement(const std::string& batchSelectSql, const std::string& hh,
                               const std::string& outWarehouse, bool showZeroStock, double unitCoefficient);

}  // namespace storeadjust
