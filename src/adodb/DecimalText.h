#pragma once
// A decimal value written at a column's scale, as SQL Server rounds it (half away from zero),
// digit by digit so that no step passes through 15 significant digits: "123456789012345.6789"
// at scale 4 stays itself, "-2.675" at scale 2 is "-2.68".
#include <optional>
#include <string>
#include <string_view>

namespace adodb {

// Plain decimal text (blanks around it, an optional sign, digits with at most one point);
// nothing for other text.
std::optional<std::string> DecimalTextAtScale(std::string_view decimal, int scale);

// The decimal a double stands for: the value's 15 significant digits when they reach past the
// scale (so 2.6749999999999998, the binary neighbour of 2.675, rounds as 2.675 and
// 3674.3999999999996 as 3674.4), else every digit the double holds (its shortest exact text,
// up to 17 digits: 123456789012345.67 keeps its cents).
std::string DecimalTextAtScale(double value, int scale);

}  // namespace adodb
