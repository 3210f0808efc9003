#pragma once
// Changes to a stored line after it was saved: whether its bill still allows them, deleting it
// with its goods places, and the new in-warehouse goods places of a line whose bill is
// pre-audited (the one change such a bill allows). Nothing here moves stock.
#include <optional>
#include <string>

#include "host/Session.h"
#include "lines/BillLineValues.h"
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
  std::string inWarehouse;  // the line's own: where its goods are received, and its places kept
  std::string hh, batchNo, batchLine;
  double baseQty = 0;
};

// The line with its bill's stage; read on the session connection. A failed read has shown its
// message and reads as Missing.
StoredLine ReadStoredLine(Session& session, const std::string& lsh, const std::string& dh);

enum class LineDeletion {
  Deleted,
  NotOpen,         // the bill was audited meanwhile, or the line is gone: nothing changed
  HeldByApproval,  // the bill was submitted or approved meanwhile: nothing changed
  LineChanged,     // the line is no longer `shown`: nothing changed
  NoRight,         // the operator no longer holds 删除 (taken away while he was asked): nothing changed
};

// Deletes the line, and its goods-place rows when the line's in-warehouse keeps goods places, in
// one transaction; only while the bill is still open and its approval flow does not hold it, both
// read inside the transaction. `shown` (ReadBillLine, read no later than the clerk's
// question) is the line the clerk was asked about: another clerk may have amended it since, or
// deleted it and saved a new line under its number, which would then go unseen. Empty deletes the
// line whatever it holds. Throws adodb::Error after rolling back.
LineDeletion DeleteStoredLine(Session& session, const std::string& lsh, const std::string& dh,
                              const std::optional<BillLineValues>& shown = std::nullopt);

// How a re-allocation of a line's in-warehouse goods places went.
enum class PlacesReallocation {
  Replaced,
  BillNotPreAudited,  // the bill is not (or no longer) pre-audited and unconfirmed: nothing changed
  LineGone,           // the line is no longer in the bill: nothing changed
  LineChanged,        // the line is no longer the line the places were chosen for: nothing changed
  PlaceGone,          // a place chosen was removed from the in-warehouse's places meanwhile: nothing changed
  PlacesNotKept,      // the in-warehouse was switched to keep no goods places meanwhile: nothing changed
  PlaceShort,         // goods going back would leave a place more of the batch than it now holds
  NoRight,            // the operator no longer holds 修改 (taken away while he chose): nothing changed
};

// Replaces the line's in-warehouse goods places in one transaction, only while the bill is still
// pre-audited and not confirmed and the line still moves the goods, batch and in-warehouse that
// `places` names, `lineQty` base units of them, as it did when the places were chosen: another
// clerk may have taken the audit back, changed the line and audited it again meanwhile, and places
// for the old line would leave the confirm booking other goods, or another quantity, on the shelves
// than it puts into the batch. All read again inside the transaction, the header under an update
// lock (a confirm books the rows it finds: rows replaced after it would be taken back by an
// un-confirm that never booked them). A place the in-warehouse no longer lists is named in
// `placeGone`, a place that holds less of the batch than the line takes back in `shortage`.
// `shown` (ReadBillLine, read when the clerk's dialog opened on the places) is the line with the
// places the clerk started from: places another clerk chose meanwhile would be replaced unseen. Empty replaces them whatever they are. Throws adodb::Error after rolling back.
PlacesReallocation ReallocateInWarehousePlaces(Session& session, const LineGoodsPlaces& places, double lineQty,
                                               std::string* placeGone = nullptr,
                                               const std::optional<BillLineValues>& shown = std::nullopt,
                                               PlaceShortage* shortage = nullptr);

}  // namespace storeadjust
