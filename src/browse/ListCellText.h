#pragma once
// How a value of the browser's list shows in a grid cell: numbers in plain decimal (at most 15
// significant digits, no trailing zeros), dates as YYYY-MM-DD, bit flags as 1 or 0 (as check
// boxes read), NULL as empty text.
#include <string>

#include "adodb/Variant.h"

namespace storeadjust {

std::string ListCellText(const adodb::Variant& value);

}  // namespace storeadjust
