#include "editor/LineTotals.h"

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

}  // namespace

LineTotals SumLines(const GridModel& lines) {
  return {SumColumn(lines, "数量"), SumColumn(lines, "金额"), SumColumn(lines, "零售总额")};
}

std::string TotalText(const std::optional<double>& total, int places) {
  return total ? NumberWithPlaces(*total, places) : std::string();
}

}  // namespace storeadjust
