#pragma once
// The decimal places the editor's grids and the report grid show their numbers with, from what each number column
// holds as its caption names it: a quantity (数量) the quantity places of the settings, an amount
// (额: 金额, 零售总额 and their totals) two places, as amounts are stored rounded to cents, a
// price (价) the price places. Other number columns (packing counts and the like) show as stored.
// The grids' cells keep their plain text: only views pad the numbers.
#include <string>

#include "adodb/Recordset.h"
#include "host/GridModel.h"

namespace storeadjust {

// Amounts are stored rounded to cents.
inline constexpr int kAmountPlaces = 2;

struct NumberPlaces {
  int quantity = -1;  // sys_var SLWS
  int price = -1;     // sys_var wsjws
};

// The site's places from its sys_var row; a setting left NULL means no decimal places.
NumberPlaces SiteNumberPlaces(const adodb::Recordset& sysVar);

// -1 when the caption names none of the three.
int CaptionDecimals(const std::string& caption, NumberPlaces places);

// Sets the grid's decimals hint for its right-aligned (number) columns, by their captions in row 0.
void ShowNumberPlaces(GridModel& grid, NumberPlaces places);

}  // namespace storeadjust
