#pragma once
// Values read from the database where a missing value counts as none of it: NULL, Empty and
// empty text (what a read of no row gives for a computed column) read as 0 and as false.
// Numbers and numeric text convert; other text throws adodb::Error (type mismatch) as the
// classic conversion does.
#include "adodb/Variant.h"

namespace storeadjust {

inline bool IsMissing(const adodb::Variant& value) {
  return value.IsNull() || value.IsEmpty() || (value.Type() == adodb::VariantType::Text && value.AsText().empty());
}

inline double NumberOrZero(const adodb::Variant& value) { return IsMissing(value) ? 0 : value.AsDouble(); }

// A 0/1 flag (bit, number or "True"/"False").
inline bool FlagIsSet(const adodb::Variant& value) { return !IsMissing(value) && value.AsBool(); }

}  // namespace storeadjust
