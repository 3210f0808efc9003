#pragma once
// The values of a statement's ? marks, in the order the marks stand. Each is a typed input
// Parameter, so a value never becomes statement text: a quote in it is just a character, a
// 64-bit integer keeps every digit, and a text reaches an ODBC server as wide characters.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "adodb/Date.h"
#include "adodb/Parameter.h"

namespace adodb {

using BoundValues = std::vector<Parameter>;

Parameter BoundText(std::string text);
Parameter BoundInteger(std::int64_t value);
// A decimal rounded (half away from zero) to `scale` digits after the point when it is bound.
Parameter BoundDecimal(double value, int scale);
// The same from its decimal text ("123456789012345.6789"), every digit kept: an ODBC server gets
// the text itself; the embedded database holds a whole number of up to 64 bits exactly and
// otherwise the nearest double. Text that is no plain decimal throws Error::TypeMismatch.
Parameter BoundDecimal(std::string_view digits, int scale);
Parameter BoundDate(const Date& date);
// A NULL of the given type (text unless said otherwise).
Parameter BoundNull(DataType type = adVarWChar);

// The value rounded to `scale` digits after the point, half away from zero, as a decimal
// column of that scale holds it (DecimalText.h says which digits count).
double RoundedToScale(double value, int scale);

}  // namespace adodb
