#pragma once
// First expired, first out: which row of a batch list a clerk should take, so the goods that
// expire soonest leave the warehouse first. The expiry is the column named 效期 (the built-in
// batch list) or xq in any letter case (the batch column a list template shows); rows without a
// readable date are passed over, and of equal dates the first row in the list's order wins. A
// batch already expired on the bill date is passed over too: it leaves only when the clerk picks
// it himself. Needs no Qt: it only reads the set.
#include <optional>

#include "adodb/Date.h"

namespace adodb {
class Recordset;
}

namespace storeadjust::qt {

// The 1-based position, in the set's order, of the row that expires first (on or after billDate
// when given); 0 when the set has no expiry column or no such row.
long FirstExpiringBatch(const adodb::Recordset& rows, std::optional<adodb::Date> billDate = std::nullopt);

}  // namespace storeadjust::qt
