#pragma once
// The totals row under the editor's lines: quantity, amount and retail total summed over the
// lines the grid shows, found by their column captions (数量, 金额, 零售总额) so a configured
// line template sums the same columns. A column the grid does not have sums to nothing, nor does
// 数量 over lines whose 单位 differ.
#include <optional>
#include <string>

#include "host/GridModel.h"

namespace storeadjust {

struct LineTotals {
  std::optional<double> quantity, amount, retailTotal;
};

LineTotals SumLines(const GridModel& lines);

// A total as the row shows it: `places` decimals, or whole when they would hide some of it (-1: as
// summed); empty for none.
std::string TotalText(const std::optional<double>& total, int places);

}  // namespace storeadjust
