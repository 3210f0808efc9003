#include "lines/GoodsPlaceAllocation.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <numeric>

#include "adodb/BoundValues.h"
#include "adodb/Connection.h"
#include "adodb/Recordset.h"
#include "adodb/TextCompare.h"
#include "adodb/Variant.h"
#include "host/FirstValue.h"
#include "host/LenientValues.h"
#include "host/NumberHelpers.h"
#include "lines/BoundColumns.h"
#include "lines/GoodsPlaceRows.h"

namespace storeadjust {

namespace {

std::vector<std::string> ItemParts(const std::string& item) {
  std::vector<std::string> parts(1);
  for (char c : item) {
    if (c == ',') parts.emplace_back();
    else parts.back() += c;
  }
  return parts;
}

std::string Text(const adodb::Recordset& rows, const char* column) { return rows.Value(column).TextOrEmpty(); }

}  // namespace

GoodsPlaceAllocation::GoodsPlaceAllocation(const GoodsPlaceRequest& request)
    : warehouseId_(request.warehouseId),
      quantityToPlace_(request.quantity),
      required_(PlaceQuantity(request.quantity)),
      unitName_(request.unitName),
      viewOnly_(request.viewOnly),
      batchKnown_(request.batchKnown) {
  auto connection = std::make_shared<adodb::Connection>();
  connection->Open(request.connectionString);
  // The clerk compares the places with the line's 数量, which shows the site's quantity places:
  // "13.75 / 0 / 应分配 2" beside a 数量 of 2.00 reads as another quantity.
  const adodb::Variant places = FirstValue(*connection, "select SLWS from sys_var");
  quantityPlaces_ = IsMissing(places) ? 0 : places.AsInt16();
  ReadPlaces(*connection, request);
  if (!request.items.empty()) TakeItems(request.items);
  else if (request.lineKey != kNewLineKey) ReadStoredRows(*connection, request);
  connection->Close();
}

std::optional<double> GoodsPlaceAllocation::ReadQuantity(const std::string& text) const {
  if (text.find_first_not_of(' ') == std::string::npos) return 0.0;
  const std::optional<double> value = PlaceQuantity(text);
  if (!value || PlaceOfOtherSign(*value, required_.value_or(0))) return std::nullopt;
  return value;
}

// A place holds what its row's column keeps, 4 places: the cell shows that, and the total is
// compared with it.
bool GoodsPlaceAllocation::SetQuantity(std::size_t row, const std::string& text) {
  const std::optional<double> quantity = ReadQuantity(text);
  if (viewOnly_ || row >= rows_.size() || !rows_[row].listed || !quantity) return false;
  rows_[row].allocated = StoredQuantity(*quantity);
  return true;
}

double GoodsPlaceAllocation::Total() const {
  return std::accumulate(rows_.begin(), rows_.end(), 0.0,
                         [](double sum, const GoodsPlaceRow& row) { return sum + row.allocated; });
}

bool GoodsPlaceAllocation::TotalsAgree() const {
  return required_ && SameQuantity(Total(), *required_);
}

// A warehouse kept by goods places that has none leaves nothing to allocate: the clerk is told
// so, rather than only that the total falls short.
std::string GoodsPlaceAllocation::Summary() const {
  if (rows_.empty()) return "仓库 " + warehouseId_ + " 还没有货位，无法分配";
  std::string summary = "合计 " + Shown(RoundTo(Total(), kComparedPlaces)) + " / 应分配 " +
                        (required_ ? Shown(*required_) : quantityToPlace_);
  if (!unitName_.empty()) summary += " " + unitName_;
  if (!unlisted_.empty() && !TotalsAgree()) summary += "：货位[" + unlisted_.front() + "]已不存在,请重新选择货位!";
  else if (!viewOnly_ && !TotalsAgree()) summary += "：合计须等于应分配数量才能确定";
  else if (const GoodsPlaceRow* row = viewOnly_ ? nullptr : OverdrawnRow()) {
    summary += "：" + PlaceShortageText({row->number, row->current, -row->allocated});
  }
  return summary;
}

const GoodsPlaceRow* GoodsPlaceAllocation::OverdrawnRow() const {
  if (!batchKnown_) return nullptr;
  for (const GoodsPlaceRow& row : rows_) {
    if (row.allocated < 0 && row.current + row.allocated < 0 && !SameQuantity(row.current, -row.allocated)) return &row;
  }
  return nullptr;
}

std::string GoodsPlaceAllocation::Shown(double quantity) const {
  return NumberWithPlaces(quantity, quantityPlaces_);
}

std::vector<std::string> GoodsPlaceAllocation::Items() const {
  std::vector<std::string> items;
  for (const GoodsPlaceRow& row : rows_) {
    if (row.allocated == 0) continue;
    items.push_back(row.guid + "," + warehouseId_ + "," + row.number + "," + adodb::FormatNumber(row.allocated));
  }
  return items;
}

GoodsPlaceRow& GoodsPlaceAllocation::RowFor(const std::string& guid, const std::string& number) {
  auto found = std::find_if(rows_.begin(), rows_.end(), [&](const GoodsPlaceRow& row) { return row.guid == guid; });
  if (found != rows_.end()) return *found;
  return rows_.emplace_back(GoodsPlaceRow{guid, number, {}, 0, 0});
}

GoodsPlaceRow* GoodsPlaceAllocation::AllocatedRow(const std::string& guid, const std::string& number) {
  if (viewOnly_) return &RowFor(guid, number);
  auto found = std::find_if(rows_.begin(), rows_.end(), [&](const GoodsPlaceRow& row) { return row.guid == guid; });
  if (found != rows_.end()) return &*found;
  if (std::find(unlisted_.begin(), unlisted_.end(), number) == unlisted_.end()) unlisted_.push_back(number);
  return nullptr;
}

void GoodsPlaceAllocation::ReadPlaces(adodb::Connection& connection, const GoodsPlaceRequest& request) {
  const adodb::Parameter warehouse = adodb::BoundText(request.warehouseId);
  auto places = connection.OpenRecordset(
      "Select GoodsPlaceGuid, GoodsPlaceNo, Name From GoodsPlace Where WarehouseGuid=? Order By GoodsPlaceNo",
      {warehouse});
  for (places->MoveFirst(); !places->EOF(); places->MoveNext()) {
    GoodsPlaceRow& row = RowFor(Text(*places, "GoodsPlaceGuid"), Text(*places, "GoodsPlaceNo"));
    row.name = Text(*places, "Name");
    row.listed = true;
  }
  places->Close();
  adodb::BoundValues goods{warehouse, adodb::BoundText(request.goodsNumber)};
  if (request.batchKnown) goods.insert(goods.end(), {adodb::BoundText(request.batchNo), adodb::BoundText(request.batchLine)});
  auto balances = connection.OpenRecordset(
      std::string("Select GoodsPlaceGuid, GoodsPlaceNo, Sum(IsNull(CurrQuantity,0)) As Quantity From GoodsPlaceBalance "
                  "Where WarehouseGuid=? And MaterielGuid=?") +
          (request.batchKnown ? " And BatchNo=? And BatchNumber=?" : "") +
          " Group By GoodsPlaceGuid, GoodsPlaceNo Order By GoodsPlaceNo",
      goods);
  for (balances->MoveFirst(); !balances->EOF(); balances->MoveNext()) {
    const std::string guid = Text(*balances, "GoodsPlaceGuid");
    const bool listed = std::any_of(rows_.begin(), rows_.end(), [&](const GoodsPlaceRow& row) { return row.guid == guid; });
    if (!listed && !viewOnly_) continue;
    RowFor(guid, Text(*balances, "GoodsPlaceNo")).current += NumberOrZero(balances->Value("Quantity"));
  }
  balances->Close();
}

void GoodsPlaceAllocation::ReadStoredRows(adodb::Connection& connection, const GoodsPlaceRequest& request) {
  auto stored = connection.OpenRecordset(
      "Select GoodsPlaceGuid, GoodsPlaceNo, Quantity From BillGoodsPlace Where BillType=? And BillGuid=? And "
      "BillDetailGuid=? And WarehouseGuid=?",
      {adodb::BoundText(request.billType), adodb::BoundText(request.billSerial), adodb::BoundText(request.lineKey),
       adodb::BoundText(request.warehouseId)});
  for (stored->MoveFirst(); !stored->EOF(); stored->MoveNext()) {
    if (GoodsPlaceRow* row = AllocatedRow(Text(*stored, "GoodsPlaceGuid"), Text(*stored, "GoodsPlaceNo"))) {
      row->allocated += NumberOrZero(stored->Value("Quantity"));
    }
  }
  stored->Close();
}

// Items come from this dialog's own earlier answer; one that is not "ID,X,NO,QTY" with a
// quantity is not an allocation and is left out. So is a place of another warehouse: the answer
// may have been given for the in-warehouse the bill named before, and confirmed unseen here it
// would book this warehouse's goods into that one's place. A place is this warehouse's when the
// warehouse lists it or holds the goods in it, or when the item names this warehouse.
void GoodsPlaceAllocation::TakeItems(const std::vector<std::string>& items) {
  for (const std::string& item : items) {
    const std::vector<std::string> parts = ItemParts(item);
    if (parts.size() < 4) continue;
    const bool known =
        std::any_of(rows_.begin(), rows_.end(), [&](const GoodsPlaceRow& row) { return row.guid == parts[0]; });
    if (!known && adodb::CompareValues(parts[1], warehouseId_) != 0) continue;
    const std::optional<double> quantity = ReadQuantity(parts[3]);
    if (!quantity) continue;
    if (GoodsPlaceRow* row = AllocatedRow(parts[0], parts[2])) row->allocated += *quantity;
  }
}

}  // namespace storeadjust
