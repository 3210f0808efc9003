#pragma once
// A stored line loaded back into the entry row for amending: the goods' facts, the line's unit
// and coefficient, its price and amounts, its batch and its in-warehouse goods places, so that
// saving it unchanged stores it as it was.
#include <optional>
#include <string>

#include "host/Session.h"
#include "lines/EntryRow.h"

namespace storeadjust {

// The unit a line was stored in: the goods' unit of that name when t_MeasureUnit has one,
// otherwise a unit of the stored name (coefficient 1). Its coefficient is the one the line was
// entered with: the unit's own when it gives the stored sl from srsl (sl is stored at 4 places, so
// sl / srsl need not be it: 0.25 克 of 0.001 are stored as 0.0003), otherwise sl / srsl, the unit
// having changed since. Without a known srsl (none, or 0 beside a quantity) the unit's own, unless
// the quantity it shows at 4 places does not give sl back: then sl over that quantity.
// Pure, so the rule is tested without a database.
MeasureUnit StoredUnit(const std::string& storedName, const std::optional<MeasureUnit>& unitOfThatName,
                       double baseQty, std::optional<double> enteredQty);

// The stored line, as loaded, with its goods looked up again (the facts the goods master gives
// now): the line keeps the name and retail price it was stored with, which its retail total goes
// with, and takes the rest of the facts, which steer the row (kept by amount only, priced by
// batch, the tax rate), as they are now.
EntryRow WithGoodsLookedUpAgain(const EntryRow& loaded, const GoodsFacts& now);

// Nothing when the line is not stored (any more). Reads on the session connection; a failing
// read throws adodb::Error.
std::optional<EntryRow> ReadStoredEntryRow(Session& session, const std::string& lsh, const std::string& dh);

}  // namespace storeadjust
