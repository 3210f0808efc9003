#include "lines/GoodsPlaceRows.h"

#include <algorithm>
#include <optional>
#include <sstream>

#include "adodb/Error.h"
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

// A blank quantity is no more 0 than letters are: the dialog writes a number, and an item
// that holds none was not made by it.
std::optional<double> PlaceQuantity(const std::string& text) {
  double quantity = 0;
  if (adodb::ParseNumber(text, quantity)) return quantity;
  return std::nullopt;
}

bool OppositeSigns(double place, double line) { return place != 0 && (line == 0 || (place < 0) != (line < 0)); }

}  // namespace

void ReplaceInWarehousePlaces(Session& session, const LineGoodsPlaces& places) {
  session.Conn->Execute("Delete From BillGoodsPlace Where BillType='WarehouseIn' And BillGuid=? And BillDetailGuid=?",
                        {adodb::BoundText(places.lsh), adodb::BoundText(places.dh)});
  for (const std::string& item : places.items) {
    std::vector<std::string> parts = SplitAtCommas(item);
    if (parts.size() < 2) continue;
    parts.resize(4);
    // The callers check the items first; a quantity that is no number never reaches the table,
    // where every later booking of the bill would fail on it.
    const std::optional<double> quantity = PlaceQuantity(parts[3]);
    if (!quantity) throw adodb::Error::Provider("货位数量必须是数字!");
    session.Conn->Execute(
        "Insert Into BillGoodsPlace(BillType,BillGuid,BillDetailGuid,MaterielGuid,WarehouseGuid,BatchNo,BatchNumber,"
        "GoodsPlaceGuid,GoodsPlaceNo,Quantity,Notes) Values ('WarehouseIn',?,?,?,?,?,?,?,?,?,'')",
        {adodb::BoundText(places.lsh), adodb::BoundText(places.dh), adodb::BoundText(places.hh),
         adodb::BoundText(places.warehouseId), adodb::BoundText(places.batchNo), adodb::BoundText(places.batchLine),
         adodb::BoundText(parts[0]), adodb::BoundText(parts[2]), BoundQuantity(*quantity)});
  }
}

PlacesCheck CheckLinePlaces(const std::vector<std::string>& items, double lineQty) {
  std::vector<double> quantities;
  for (const std::string& item : items) {
    std::vector<std::string> parts = SplitAtCommas(item);
    if (parts.size() < 2) continue;
    parts.resize(4);
    const std::optional<double> quantity = PlaceQuantity(parts[3]);
    if (!quantity) return {PlacesVerdict::QuantityNotNumber, 0};
    quantities.push_back(*quantity);
  }
  PlacesCheck check;
  for (double quantity : quantities) check.placed += quantity;
  if (!SameQuantity(check.placed, lineQty)) {
    check.verdict = PlacesVerdict::TotalDiffers;
  } else if (std::any_of(quantities.begin(), quantities.end(), [&](double q) { return OppositeSigns(q, lineQty); })) {
    check.verdict = PlacesVerdict::SignDiffers;
  }
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
