#pragma once
// Changes to a stored line after it was saved: whether its bill still allows them, deleting it
// with its goods places, and the new in-warehouse goods places of a line whose bill is
// pre-audited (the one change such a bill allows). Nothing here moves stock.
#include <string>

#include "host/Session.h"
#include "lines/GoodsPlaceRows.h"

namespace storeadjust {

enum class BillStage {
  Missing,     // no such line
  Open,        // entered: neither audited nor pre-audited
  PreAudited,  // two-step flow: issued from the out-warehouse, not yet received
  Audited,     // audited (one-step) or confirmed (two-step)
};

struct StoredLine {
  BillStage stage = BillStage::Missing;
  std::string inWarehouse, hh, batchNo, batchLine;
  double baseQty = 0;
};

// The line with its bill's stage; read on the session connection. A failed read has shown its
// message and reads as Missing.
StoredLine ReadStoredLine(Session& session, const std::string& lsh, const std::string& dh);

// Deletes the line, and its goods-place rows when the line's in-warehouse keeps goods places, in
// one transaction; only while the bill is still
// open (false when it was audited meanwhile or the line is gone: nothing changed). Throws
// adodb::Error after rolling back.
bool DeleteStoredLine(Session& session, const std::string& lsh, const std::string& dh);

// Replaces the line's in-warehouse goods places in one transaction, only while the bill is still
// pre-audited and not confirmed and the line is still there, read again inside the transaction
// with the header under an update lock (a confirm books the rows it finds: rows replaced after it
// would be taken back by an un-confirm that never booked them). False when refused: nothing
// changed. Throws adodb::Error after rolling back.
bool ReallocateInWarehousePlaces(Session& session, const LineGoodsPlaces& places);

}  // namespace storeadjust
