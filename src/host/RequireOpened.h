#pragma once
// For a caller of the record-set openers (host/DataHelpers.h) that cannot go on without the set:
// the opener that failed has already shown its own message, and going on with no set is the
// classic "object not set" error (91), thrown as adodb::Error for the caller to trap like any
// other. A set that was opened is handed through.
#include <memory>

#include "adodb/Recordset.h"

namespace storeadjust {

std::shared_ptr<adodb::Recordset> RequireOpened(std::shared_ptr<adodb::Recordset> rs);

}  // namespace storeadjust
