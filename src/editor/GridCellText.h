#pragma once
// How a stored value shows in one of the editor's grid cells: numbers in plain decimal (at most
// 15 significant digits, no trailing zeros), dates as YYYY-MM-DD (with the time of day when it
// is not midnight), bit flags as 1 or 0, NULL as empty text.
#include <string>

#include "adodb/Variant.h"

namespace storeadjust {

std::string GridCellText(const adodb::Variant& value);

}  // namespace storeadjust
