#include "lines/GoodsPlaceRows.h"

#include <sstream>

#include "host/DataHelpers.h"
#include "adodb/Variant.h"
#include "host/LenientValues.h"
#include "host/NumberHelpers.h"
#include "host/SqlLiterals.h"

namespace storeadjust {

namespace {

std::vector<std::string> SplitAtCommas(const std::string& item) {
  std::vector<std::string> parts;
  std::stringstream stream(item);
  for (std::string part; std::getline(stream, part, ',');) parts.push_back(part);
  if (!item.empty() && item.back() == ',') parts.emplace_back();
  return parts;
}

}  // namespace

void ReplaceInWarehousePlaces(Session& session, const LineGoodsPlaces& places) {
  session.Conn->Execute("Delete From BillGoodsPlace Where BillType='WarehouseIn' And BillGuid=" + SqlText(places.lsh) +
                        " And BillDetailGuid=" + SqlText(places.dh));
  for (const std::string& item : places.items) {
    std::vector<std::string> parts = SplitAtCommas(item);
    if (parts.size() < 2) continue;
    parts.resize(4);
    session.Conn->Execute(
        "Insert Into BillGoodsPlace(BillType,BillGuid,BillDetailGuid,MaterielGuid,WarehouseGuid,BatchNo,BatchNumber,"
        "GoodsPlaceGuid,GoodsPlaceNo,Quantity,Notes) Values ('WarehouseIn'," +
        SqlText(places.lsh) + "," + SqlText(places.dh) + "," + SqlText(places.hh) + "," + SqlText(places.warehouseId) +
        "," + SqlText(places.batchNo) + "," + SqlText(places.batchLine) + "," + SqlText(parts[0]) + "," +
        SqlText(parts[2]) + "," + SqlText(parts[3]) + ",'')");
  }
}

double PlacedQuantity(const std::vector<std::string>& items) {
  double placed = 0;
  for (const std::string& item : items) {
    std::vector<std::string> parts = SplitAtCommas(item);
    if (parts.size() < 2) continue;
    parts.resize(4);
    double quantity = 0;
    if (adodb::ParseNumber(parts[3], quantity)) placed += quantity;
  }
  return placed;
}

bool SameQuantity(double a, double b) {
  constexpr std::int16_t kComparedPlaces = 6;
  return RoundTo(a, kComparedPlaces) == RoundTo(b, kComparedPlaces);
}

bool KeepsGoodsPlaces(Session& session, const std::string& warehouseId) {
  return FlagIsSet(GetFieldValue(session, "Select FDeleted From GL_Stock Where ID=" + SqlText(warehouseId), "FDeleted"));
}

}  // namespace storeadjust
