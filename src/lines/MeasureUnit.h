#pragma once
// A measuring unit a line is entered in: the goods' base unit (no code or name, coefficient 1)
// or one of its alternative units in t_MeasureUnit, with its coefficient of base units per unit.
#include <string>

namespace storeadjust {

struct MeasureUnit {
  std::string code;        // FMeasureUnitID; empty for the base unit
  std::string name;        // FName; empty for the base unit
  double coefficient = 1;  // FCoefficient
  // Taken from the goods' units as t_MeasureUnit lists them, with the coefficient listed (counted):
  // the save finds the unit there still, so counted.
  bool listed = false;
};

// The coefficient a unit row gives a line. A row whose FCoefficient is 0 or NULL does not say how
// many base units it holds: it counts as one, as its price and the batch list count it, so that a
// quantity typed in it never moves nothing while its amount is priced for goods that move.
inline double CountedCoefficient(double stored) { return stored == 0 ? 1 : stored; }

}  // namespace storeadjust
