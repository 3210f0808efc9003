#pragma once
// The totals row under the editor's lines: quantity, amount and retail total summed over the
// lines the grid shows, found by their column captions (数量, 金额, 零售总额) so a configured
// line template sums the same columns. A column the grid does not have sums to nothing, nor does
// 数量 over lines whose units of quantity differ: those of `quantityUnits` (one a listed line) when
// given, else the 单位 column's.
#include <optional>
#include <string>
#include <vector>

#include "host/GridModel.h"

namespace storeadjust {

struct LineTotals {
  std::optional<double> quantity, amount, retailTotal;
};

LineTotals SumLines(const GridModel& lines, const std::vector<std::string>& quantityUnits = {});

// The unit, as SQL over the lines `a`, that a site's line columns give 数量 in: the goods' base
// unit for `sl`, the line's own unit for `srsl` (entered in it); nothing for another expression.
// A site showing the entered unit `a.dw` beside `sl` would otherwise see 盒 and 瓶 of one goods,
// both counted in 瓶, left without a total.
std::optional<std::string> QuantityUnitSql(const std::string& columnList);

// A total as the row shows it: `places` decimals, or whole when they would hide some of it (-1: as
// summed); empty for none.
std::string TotalText(const std::optional<double>& total, int places);

}  // namespace storeadjust
