#pragma once
// A value read from the database as a number, where a missing value counts as none of it: NULL
// and Empty give 0, numbers and numeric text convert, other text throws adodb::Error
// (type mismatch) as the classic conversion does.
#include "adodb/Variant.h"

namespace storeadjust {

inline double NumberOrZero(const adodb::Variant& value) {
  return value.IsNull() || value.IsEmpty() ? 0 : value.AsDouble();
}

}  // namespace storeadjust
