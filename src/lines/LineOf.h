#pragma once
// The line to save, as a function of the bill header and the entry row alone: the goods' own
// facts, the unit's name, sl = coefficient x quantity entered, the price and amounts the row
// holds (0 when transfers carry no price), the batch only for goods that carry one, and the
// goods places only where the in-warehouse keeps them.
#include "lines/BillHeader.h"
#include "lines/EntryRow.h"
#include "lines/LineSaving.h"

namespace storeadjust {

// True when a line of these goods is stored with a batch (and cannot be saved without one).
bool LineCarriesBatch(const BillHeader& header, const EntryRow& row);

LineToSave LineOf(const BillHeader& header, const EntryRow& row);

}  // namespace storeadjust
