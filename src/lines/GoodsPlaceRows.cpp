#include "lines/GoodsPlaceRows.h"

#include <sstream>

#include "adodb/Variant.h"
#include "host/DataHelpers.h"
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

// Items come from the goods-place dialog, which writes the quantity as a number. Anything else
// goes to the server as the text it is, as it always did, and the server judges it.
adodb::Parameter PlaceQuantity(const std::string& text) {
  double quantity = 0;
  if (adodb::ParseNumber(text, quantity)) return BoundQuantity(quantity);
  return adodb::BoundText(text);
}

}  // namespace

void ReplaceInWarehousePlaces(Session& session, const LineGoodsPlaces& places) {
  session.Conn->Execute("Delete From BillGoodsPlace Where BillType='WarehouseIn' And BillGuid=? And BillDetailGuid=?",
                        {adodb::BoundText(places.lsh), adodb::BoundText(places.dh)});
  for (const std::string& item : places.items) {
    std::vector<std::string> parts = SplitAtCommas(item);
    if (parts.size() < 2) continue;
    parts.resize(4);
    session.Conn->Execute(
        "Insert Into BillGoodsPlace(BillType,BillGuid,BillDetailGuid,MaterielGuid,WarehouseGuid,BatchNo,BatchNumber,"
        "GoodsPlaceGuid,GoodsPlaceNo,Quantity,Notes) Values ('WarehouseIn',?,?,?,?,?,?,?,?,?,'')",
        {adodb::BoundText(places.lsh), adodb::BoundText(places.dh), adodb::BoundText(places.hh),
         adodb::BoundText(places.warehouseId), adodb::BoundText(places.batchNo), adodb::BoundText(places.batchLine),
         adodb::BoundText(parts[0]), adodb::BoundText(parts[2]), PlaceQuantity(parts[3])});
  }
}

PlacesCheck CheckLinePlaces(const std::vector<std::string>& items, double lineQty) {
  PlacesCheck check;
  for (const std::string& item : items) {
    std::vector<std::string> parts = SplitAtCommas(item);
    if (parts.size() < 2) continue;
    parts.resize(4);
    double quantity = 0;
    if (adodb::ParseNumber(parts[3], quantity)) check.placed += quantity;
  }
  if (!SameQuantity(check.placed, lineQty)) check.verdict = PlacesVerdict::TotalDiffers;
  return check;
}

bool SameQuantity(double a, double b) {
  constexpr std::int16_t kComparedPlaces = 6;
  return RoundTo(a, kComparedPlaces) == RoundTo(b, kComparedPlaces);
}

bool KeepsGoodsPlaces(Session& session, const std::string& warehouseId) {
  return FlagIsSet(
      GetFieldValue(session, "Select FDeleted From GL_Stock Where ID=?", "FDeleted", {adodb::BoundText(warehouseId)}));
}

}  // namespace storeadjust
