#pragma once
// A line keeps its price per the unit it was entered in (dj of one 中包 of ten boxes), and its
// quantity both as entered (srsl) and in the goods' base unit (sl). Lists that show the base unit
// and sl show the price per base unit, so that price x quantity is the line's amount on screen
// and on paper: 2 中包 at 79.60 lists as 20 盒 at 7.96, not 20 盒 at 79.60.
#include <string>

namespace storeadjust {

// True for a line entered in its base unit, or stored without its entered quantity (its price
// is then taken to be per base unit, as it always was).
std::string LineInBaseUnitSql(const std::string& lineAlias);

// The line's price per base unit. A quantity entered of the other sign than sl, which no unit
// gives, is taken as none, as F3 takes it: the price is then the base unit's.
std::string LinePriceInBaseUnitSql(const std::string& lineAlias);

}  // namespace storeadjust
