#include "editor/LineTotals.h"

#include "adodb/TextCompare.h"
#include "adodb/Variant.h"
#include "host/NumberHelpers.h"

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

// Whether the lines differ in their 单位 column (none: nothing to tell them apart by).
bool UnitsDiffer(const GridModel& lines) {
  for (long col = 0; col < lines.Cols(); ++col) {
    if (lines.Rows() < 1 || lines.TextMatrix(0, col) != "单位") continue;
    for (long row = 2; row < lines.Rows(); ++row) {
      if (adodb::CompareValues(lines.TextMatrix(row, col), lines.TextMatrix(1, col)) != 0) return true;
    }
  }
  return false;
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
