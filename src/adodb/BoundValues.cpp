#include "adodb/BoundValues.h"

#include <cmath>
#include <cstdlib>
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

double RoundedToScale(double value, int scale) {
  if (!std::isfinite(value) || scale < 0) return value;
  return std::strtod(DecimalTextAtScale(value, scale).c_str(), nullptr);
}

}  // namespace adodb
