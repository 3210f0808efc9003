#include "adodb/BoundValues.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace adodb {

Parameter BoundText(std::string text) {
  return Parameter({}, adVarWChar, adParamInput, static_cast<long>(text.size()), Variant(std::move(text)));
}

Parameter BoundInteger(std::int64_t value) {
  return Parameter({}, adBigInt, adParamInput, 0, Variant(static_cast<long long>(value)));
}

Parameter BoundDecimal(double value, int scale) {
  Parameter parameter({}, adDecimal, adParamInput, 0, Variant(value));
  parameter.SetNumericScale(scale);
  return parameter;
}

Parameter BoundDate(const Date& date) { return Parameter({}, adDBTimeStamp, adParamInput, 0, Variant(date)); }

Parameter BoundNull(DataType type) { return Parameter({}, type, adParamInput, 0, Variant::Null()); }

// Through the value's decimal text (FormatNumber's digits), so that 2.675, held in binary as
// 2.67499999..., rounds as the decimal the caller wrote and not as its binary neighbour.
double RoundedToScale(double value, int scale) {
  if (!std::isfinite(value) || scale < 0 || scale > 15) return value;
  std::string text = FormatNumber(value);
  const std::size_t point = text.find('.');
  if (point == std::string::npos || text.size() - point - 1 <= static_cast<std::size_t>(scale)) {
    return std::strtod(text.c_str(), nullptr);  // 3674.3999999999996 is the 3674.4 it stands for
  }
  const bool up = text[point + 1 + static_cast<std::size_t>(scale)] >= '5';
  text.resize(scale == 0 ? point : point + 1 + static_cast<std::size_t>(scale));
  double rounded = std::strtod(text.c_str(), nullptr);
  if (up) rounded += std::copysign(std::pow(10.0, -scale), value);
  char exact[64];
  std::snprintf(exact, sizeof exact, "%.*f", scale, rounded);
  return std::strtod(exact, nullptr);
}

}  // namespace adodb
