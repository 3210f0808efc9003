#pragma once
// The in-warehouse goods-place rows of one line in BillGoodsPlace: what the goods-place dialog
// answered, one row per place, written in place of the line's earlier rows. Runs on the session
// connection, inside the caller's transaction; failures throw adodb::Error.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "host/Session.h"

namespace storeadjust {

struct LineGoodsPlaces {
  std::string lsh, dh, hh, warehouseId;
  std::string batchNo, batchLine;  // empty texts for goods without batches, as the line stores them
  // Items "GoodsPlaceGuid,X,GoodsPlaceNo,Quantity" as the dialog answers them; items of fewer
  // than two parts are skipped, missing parts are empty.
  std::vector<std::string> items;
};

// A place named by several items is written once with their quantities summed. An item whose
// quantity is no number (CheckLinePlaces refuses it first) throws before anything is written.
void ReplaceInWarehousePlaces(Session& session, const LineGoodsPlaces& places);

// Whether the items may be stored as the goods places of a line of lineQty base units. They
// must place the quantity that moves, no more and no less, each place a number of the line's
// sign (0 is any): otherwise the booking leaves the in-warehouse's places out of step with its
// batch stock, a receipt taking goods off a shelf; a quantity that is no number would fail
// every later booking of the bill. Only items that are written (two parts or more) count.
enum class PlacesVerdict {
  Agree,
  QuantityNotNumber,  // an item's quantity is blank or no number
  TotalDiffers,       // the quantities add up to `placed`, not to the line's quantity
  SignDiffers,        // a place moves goods the other way than the line (or a line of 0 moves any)
};

struct PlacesCheck {
  PlacesVerdict verdict = PlacesVerdict::Agree;
  double placed = 0;  // the items' total, once every quantity is a number
};

PlacesCheck CheckLinePlaces(const std::vector<std::string>& items, double lineQty);

// A place the items take goods out of (a negative quantity: goods going back) that holds less of
// the line's batch than they take: the places' stock would go below zero while another place may
// hold the batch. Per goods, batch and place, as the booking changes it.
struct PlaceShortage {
  std::string number;  // GoodsPlaceNo
  double held = 0;     // what the place holds of the batch now
  double taken = 0;    // what the items take from it
};

// Place quantities are compared as the clerk sees them (so 0.1 + 0.2 places 0.3), and shown in a
// shortage, to this many places.
inline constexpr std::int16_t kComparedPlaces = 6;

// "货位[Y03]中本批号只有0,不够退回2": the dialog's summary and the save's refusal.
std::string PlaceShortageText(const PlaceShortage& shortage);

// The first such place, read now on the session connection; none when every place holds enough.
// The booking reads the places again inside its own transaction. Items whose quantity is no
// number are left to CheckLinePlaces.
std::optional<PlaceShortage> PlaceGivingMoreThanItHolds(Session& session, const LineGoodsPlaces& places);

// The number of the first place the items name that the warehouse's goods places (GoodsPlace) no
// longer list, read now on the session connection; none when every place is listed. A place
// removed from the master while the line was open would take goods no list of the warehouse shows.
std::optional<std::string> PlaceNoLongerListed(Session& session, const LineGoodsPlaces& places);

// A place quantity written as text: none when the text holds no number, blank included.
std::optional<double> PlaceQuantity(const std::string& text);

// A place quantity that moves goods the other way than the line's (any but 0 for a line of 0).
bool PlaceOfOtherSign(double place, double line);

// Quantities compared as the clerk sees them, to 6 places, so 0.1 + 0.2 places 0.3.
bool SameQuantity(double a, double b);

// True when the warehouse is managed by goods places (gl_stock.FDeleted); an unknown warehouse
// is not. A failed read has shown its message and counts as not managed.
bool KeepsGoodsPlaces(Session& session, const std::string& warehouseId);

// The same read for a command inside its transaction: the switch as it stands now, a failed read
// thrown (adodb::Error) rather than shown and taken for a warehouse without goods places.
bool KeepsGoodsPlacesNow(Session& session, const std::string& warehouseId);

}  // namespace storeadjust
