#pragma once
// A measuring unit a line is entered in: the goods' base unit (no code or name, coefficient 1)
// or one of its alternative units in t_MeasureUnit, with its coefficient of base units per unit.
#include <string>

namespace storeadjust {

struct MeasureUnit {
  std::string code;        // FMeasureUnitID; empty for the base unit
  std::string name;        // FName; empty for the base unit
  double coefficient = 1;  // FCoefficient
};

}  // namespace storeadjust
