#pragma once
// Values bound at the scale of the stock columns they go into: quantities are decimal(18,4),
// prices and amounts money (4 decimals), so a value is rounded as the column would round it.
#include <algorithm>
#include <cmath>
#include <iterator>

#include "adodb/BoundValues.h"

namespace storeadjust {

constexpr int kQuantityScale = 4;
constexpr int kMoneyScale = 4;

inline adodb::Parameter BoundQuantity(double value) { return adodb::BoundDecimal(value, kQuantityScale); }
inline adodb::Parameter BoundMoney(double value) { return adodb::BoundDecimal(value, kMoneyScale); }
// A quantity as its column keeps it.
inline double StoredQuantity(double value) { return adodb::RoundedToScale(value, kQuantityScale); }
// A price as its money column keeps it.
inline double StoredMoney(double value) { return adodb::RoundedToScale(value, kMoneyScale); }
// Two figures equal but for a double's noise (a coefficient times a quantity, a price per unit
// worked back from the price per base unit).
inline bool SameFigure(double a, double b) { return std::fabs(a - b) <= 1e-9 * std::max(1.0, std::fabs(b)); }

// A line's figure bound with the places it holds, at least the column's: one kept from a stored
// line as another program stored it (a price of 6 places) goes back as it came, where binding it at
// the column's places would round it under a save that changed nothing.
inline adodb::Parameter BoundAsHeld(double value, int scale) {
  constexpr int kMostPlaces = 10;
  while (scale < kMostPlaces && adodb::RoundedToScale(value, scale) != value) ++scale;
  return adodb::BoundDecimal(value, scale);
}

// What the columns hold: decimal(18,4) keeps 14 places before the point, money ends at
// 922337203685477.5807 (the double nearest above it, ...477.625, is already beyond). A figure
// outside is refused by the database with the server's overflow words.
inline constexpr double kQuantityBeyond = 1e14;
inline constexpr double kMoneyBeyond = 922337203685477.5808;
inline bool QuantityFits(double value) { return std::fabs(StoredQuantity(value)) < kQuantityBeyond; }
inline bool MoneyFits(double value) { return std::fabs(StoredMoney(value)) < kMoneyBeyond; }

// The values of two pieces of one statement, in the order the pieces stand; the second piece's
// values are moved, not copied, as the engines join them for every line they move.
inline adodb::BoundValues Joined(adodb::BoundValues first, adodb::BoundValues then) {
  first.insert(first.end(), std::make_move_iterator(then.begin()), std::make_move_iterator(then.end()));
  return first;
}

}  // namespace storeadjust
