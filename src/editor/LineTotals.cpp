#include "editor/LineTotals.h"

#include "adodb/Variant.h"
#include "host/NumberHelpers.h"
#include "host/QuantityUnits.h"

namespace storeadjust {

namespace {

std::optional<double> SumColumn(const GridModel& lines, const char* caption) {
  for (long col = 0; col < lines.Cols(); ++col) {
    if (lines.Rows() < 1 || lines.TextMatrix(0, col) != caption) continue;
    double sum = 0;
    for (long row = 1; row < lines.Rows(); ++row) {
      double value = 0;
      if (adodb::ParseNumber(lines.TextMatrix(row, col), value)) sum += value;
    }
    return sum;
  }
  return std::nullopt;
}

// Whether the lines that move a quantity differ in their 单位 column (none: nothing to tell them
// apart by).
bool UnitsDiffer(const GridModel& lines) {
  long unitCol = -1, quantityCol = -1;
  for (long col = 0; col < lines.Cols() && lines.Rows() > 0; ++col) {
    if (lines.TextMatrix(0, col) == "单位") unitCol = col;
    if (lines.TextMatrix(0, col) == "数量") quantityCol = col;
  }
  if (unitCol < 0 || quantityCol < 0) return false;
  QuantityUnits units;
  for (long row = 1; row < lines.Rows(); ++row) {
    double quantity = 0;
    if (adodb::ParseNumber(lines.TextMatrix(row, quantityCol), quantity)) units.Add(quantity, lines.TextMatrix(row, unitCol));
  }
  return units.Differ();
}

}  // namespace

// 5 克 and 2 千克 add up to no quantity: lines in different units get no quantity total.
LineTotals SumLines(const GridModel& lines) {
  return {UnitsDiffer(lines) ? std::nullopt : SumColumn(lines, "数量"), SumColumn(lines, "金额"),
          SumColumn(lines, "零售总额")};
}

std::string TotalText(const std::optional<double>& total, int places) {
  return total ? NumberWithPlaces(*total, places) : std::string();
}

}  // namespace storeadjust
