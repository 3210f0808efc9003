#include "adodb/BoundValues.h"

#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>

#include "adodb/DecimalText.h"
#include "adodb/Error.h"

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

Parameter BoundDecimal(std::string_view digits, int scale) {
  if (!DecimalTextAtScale(digits, scale)) throw Error::TypeMismatch();
  Parameter parameter({}, adDecimal, adParamInput, 0, Variant(digits));
  parameter.SetNumericScale(scale);
  return parameter;
}

Parameter BoundDate(const Date& date) { return Parameter({}, adDBTimeStamp, adParamInput, 0, Variant(date)); }

Parameter BoundNull(DataType type) { return Parameter({}, type, adParamInput, 0, Variant::Null()); }

namespace {

// The value when it already is (up to a rounding error far below its 15th digit) a decimal of at
// most `scale` fraction digits and 15 digits in all: that decimal's nearest double, the very
// double its decimal text would give. Every amount and quantity read from a decimal column, and
// most sums of them, are such values; the others go the way of the text.
std::optional<double> NearbyDecimal(double value, int scale) {
  constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  if (scale > 15) return std::nullopt;
  const double unit = kPowersOfTen[scale];
  const double units = std::nearbyint(value * unit);
  if (!(std::fabs(units) < 1e15)) return std::nullopt;
  const double decimal = units / unit;  // correctly rounded: the decimal's nearest double
  // A quarter of the 15th digit's unit: the value's 15-digit and shortest texts both round to the decimal.
  if (std::fabs(value - decimal) > std::fabs(decimal) * 0.25e-15) return std::nullopt;
  return decimal + 0.0;  // no negative zero, as the text "0.00" gives none
}

}  // namespace

double RoundedToScale(double value, int scale) {
  if (!std::isfinite(value) || scale < 0) return value;
  if (const auto decimal = NearbyDecimal(value, scale)) return *decimal;
  return std::strtod(DecimalTextAtScale(value, scale).c_str(), nullptr);
}

}  // namespace adodb
