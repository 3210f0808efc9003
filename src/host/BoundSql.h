#pragma once
// A piece of statement text with the values of its ? marks, in the order the marks stand: how a
// condition built in one place (a lookup's typed text, the operator's data scope) reaches the
// statement that runs it without any value becoming statement text.
#include <string>

#include "adodb/BoundValues.h"

namespace storeadjust {

struct BoundSql {
  std::string text;
  adodb::BoundValues values;
};

// The texts one after the other, the values in the same order.
BoundSql operator+(BoundSql first, const BoundSql& second);

}  // namespace storeadjust
