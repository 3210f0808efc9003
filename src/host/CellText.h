#pragma once
// How a stored value shows in a grid cell: numbers in plain decimal (at most 15 significant
// digits, no trailing zeros), bit flags as 1 or 0 (as check boxes read), NULL as empty text, and
// dates as YYYY-MM-DD, followed by the time of day when it is not midnight unless the grid shows
// the day only (the browser's list).
#include <string>

#include "adodb/Variant.h"

namespace storeadjust {

enum class CellDates { WithTimeOfDay, DayOnly };

std::string CellText(const adodb::Variant& value, CellDates dates = CellDates::WithTimeOfDay);

}  // namespace storeadjust
