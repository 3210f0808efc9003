#pragma once
// The measuring units a goods item may be entered in (t_MeasureUnit): the base unit, or one of
// its alternative units with a coefficient of base units per unit.
#include <optional>
#include <string>

#include "host/Session.h"
#include "lines/MeasureUnit.h"

namespace storeadjust {

// Offers the goods' units when it has two or more that are not deleted: the selection dialog
// lists those, with the default unit first. A deleted unit is never offered: a line entered in
// it would name a unit the goods master no longer keeps. Nothing when the base unit is to
// be used: one unit or none, or the dialog was cancelled (*cancelled, when given, then true). A
// failed count has shown its message and counts as none; a failing dialog throws adodb::Error.
// heldUnit, when given, is the code of the unit the dialog offers first (the amended line's).
std::optional<MeasureUnit> ChooseMeasureUnit(Session& session, const std::string& hh, bool* cancelled = nullptr,
                                             const std::string& heldUnit = {});

}  // namespace storeadjust
