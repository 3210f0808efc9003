#include "lines/GoodsPlaceRows.h"

#include <algorithm>
#include <optional>
#include <sstream>

#include "adodb/Error.h"
#include "adodb/TextCompare.h"
#include "adodb/Variant.h"
#include "host/DataHelpers.h"
#include "host/FirstValue.h"
#include "host/LenientValues.h"
#include "host/NumberHelpers.h"
#include "lines/BoundColumns.h"

namespace storeadjust {

namespace {

std::vector<std::string> SplitAtCommas(const std::string& item) {
  std::vector<std::string> parts;
  std::stringstream stream(item);
  for (std::string part; std::getline(stream, part, ',');) parts.push_back(part);
  if (!item.empty() && item.back() == ',') parts.emplace_back();
  return parts;
}

struct PlaceItem {
  std::string guid, number;        // parts 0 and 2
  std::optional<double> quantity;  // part 3, when it is a number
};

// The items that are written: two parts or more, missing parts empty.
std::vector<PlaceItem> WrittenItems(const std::vector<std::string>& items) {
  std::vector<PlaceItem> written;
  for (const std::string& item : items) {
    std::vector<std::string> parts = SplitAtCommas(item);
    if (parts.size() < 2) continue;
    parts.resize(4);
    written.push_back({parts[0], parts[2], PlaceQuantity(parts[3])});
  }
  return written;
}

bool SamePlace(const PlaceItem& a, const PlaceItem& b) {
  return adodb::CompareValues(a.guid, b.guid) == 0 && adodb::CompareValues(a.number, b.number) == 0;
}

// One item per place, holding the quantities of every item that names it (places compared as the
// database compares them): the booking adds each place's row once, so a place written twice
// would receive only one of its quantities. Every quantity is a number.
std::vector<PlaceItem> MergedPlaces(std::vector<PlaceItem> items) {
  std::vector<PlaceItem> merged;
  for (PlaceItem& item : items) {
    const auto same = std::find_if(merged.begin(), merged.end(), [&](const PlaceItem& m) { return SamePlace(m, item); });
    if (same == merged.end()) merged.push_back(std::move(item));
    else *same->quantity += *item.quantity;
  }
  return merged;
}

}  // namespace

void ReplaceInWarehousePlaces(Session& session, const LineGoodsPlaces& places) {
  std::vector<PlaceItem> items = WrittenItems(places.items);
  // The callers check the items first; a quantity that is no number never reaches the table,
  // where every later booking of the bill would fail on it.
  if (std::any_of(items.begin(), items.end(), [](const PlaceItem& item) { return !item.quantity; })) {
    throw adodb::Error::Provider("货位数量必须是数字!");
  }
  session.Conn->Execute("Delete From BillGoodsPlace Where BillType='WarehouseIn' And BillGuid=? And BillDetailGuid=?",
                        {adodb::BoundText(places.lsh), adodb::BoundText(places.dh)});
  for (const PlaceItem& place : MergedPlaces(std::move(items))) {
    session.Conn->Execute(
        "Insert Into BillGoodsPlace(BillType,BillGuid,BillDetailGuid,MaterielGuid,WarehouseGuid,BatchNo,BatchNumber,"
        "GoodsPlaceGuid,GoodsPlaceNo,Quantity,Notes) Values ('WarehouseIn',?,?,?,?,?,?,?,?,?,'')",
        {adodb::BoundText(places.lsh), adodb::BoundText(places.dh), adodb::BoundText(places.hh),
         adodb::BoundText(places.warehouseId), adodb::BoundText(places.batchNo), adodb::BoundText(places.batchLine),
         adodb::BoundText(place.guid), adodb::BoundText(place.number), BoundQuantity(*place.quantity)});
  }
}

std::string PlaceShortageText(const PlaceShortage& shortage) {
  return "货位[" + shortage.number + "]中本批号只有" + adodb::FormatNumber(RoundTo(shortage.held, kComparedPlaces)) +
         ",不够退回" + adodb::FormatNumber(RoundTo(shortage.taken, kComparedPlaces));
}

std::optional<PlaceShortage> PlaceGivingMoreThanItHolds(Session& session, const LineGoodsPlaces& places) {
  std::vector<PlaceItem> items = WrittenItems(places.items);
  if (std::any_of(items.begin(), items.end(), [](const PlaceItem& item) { return !item.quantity; })) return std::nullopt;
  for (const PlaceItem& place : MergedPlaces(std::move(items))) {
    if (*place.quantity >= 0) continue;
    const double held = NumberOrZero(FirstValue(
        *session.Conn,
        "Select Sum(IsNull(CurrQuantity,0)) From GoodsPlaceBalance Where GoodsPlaceGuid=? And GoodsPlaceNo=? And "
        "WarehouseGuid=? And MaterielGuid=? And BatchNo=? And BatchNumber=?",
        {adodb::BoundText(place.guid), adodb::BoundText(place.number), adodb::BoundText(places.warehouseId),
         adodb::BoundText(places.hh), adodb::BoundText(places.batchNo), adodb::BoundText(places.batchLine)}));
    if (held + *place.quantity < 0 && !SameQuantity(held, -*place.quantity)) {
      return PlaceShortage{place.number, held, -*place.quantity};
    }
  }
  return std::nullopt;
}

std::optional<std::string> PlaceNoLongerListed(Session& session, const LineGoodsPlaces& places) {
  for (const PlaceItem& place : WrittenItems(places.items)) {
    if (FirstValue(*session.Conn,
                   "Select 1 From GoodsPlace Where GoodsPlaceGuid=? And GoodsPlaceNo=? And WarehouseGuid=?",
                   {adodb::BoundText(place.guid), adodb::BoundText(place.number), adodb::BoundText(places.warehouseId)})
            .IsEmpty()) {
      return place.number;
    }
  }
  return std::nullopt;
}

// A blank quantity is no more 0 than letters are: the dialog writes a number, and an item
// that holds none was not made by it.
std::optional<double> PlaceQuantity(const std::string& text) {
  double quantity = 0;
  if (adodb::ParseNumber(text, quantity)) return quantity;
  return std::nullopt;
}

bool PlaceOfOtherSign(double place, double line) { return place != 0 && (line == 0 || (place < 0) != (line < 0)); }

// The total is taken as the rows will hold it, each place's quantity at its column's 4 places, and
// so is the line's: 2.00005 and 2.99995 make 5 as typed, but 5.0001 once stored, and the receipt
// would then refuse the bill for places that do not add up to its line.
PlacesCheck CheckLinePlaces(const std::vector<std::string>& items, double lineQty) {
  const std::vector<PlaceItem> written = WrittenItems(items);
  PlacesCheck check;
  for (const PlaceItem& item : written) {
    if (!item.quantity) return {PlacesVerdict::QuantityNotNumber, 0};
  }
  for (const PlaceItem& place : MergedPlaces(written)) check.placed += StoredQuantity(*place.quantity);
  if (!SameQuantity(check.placed, StoredQuantity(lineQty))) {
    check.verdict = PlacesVerdict::TotalDiffers;
  } else if (std::any_of(written.begin(), written.end(),
                         [&](const PlaceItem& item) { return PlaceOfOtherSign(*item.quantity, lineQty); })) {
    check.verdict = PlacesVerdict::SignDiffers;
  }
  return check;
}

bool SameQuantity(double a, double b) {
  return RoundTo(a, kComparedPlaces) == RoundTo(b, kComparedPlaces);
}

// A warehouse keeps goods places when its FDeleted is set.
constexpr const char* kGoodsPlaceSwitch = "Select FDeleted From GL_Stock Where ID=?";

bool KeepsGoodsPlaces(Session& session, const std::string& warehouseId) {
  return FlagIsSet(GetFieldValue(session, kGoodsPlaceSwitch, "FDeleted", {adodb::BoundText(warehouseId)}));
}

bool KeepsGoodsPlacesNow(Session& session, const std::string& warehouseId) {
  return FlagIsSet(FirstValue(*session.Conn, kGoodsPlaceSwitch, {adodb::BoundText(warehouseId)}));
}

}  // namespace storeadjust
