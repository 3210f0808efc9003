#include "browse/StockDistribution.h"

#include <algorithm>
#include <map>
#include <memory>
#include <tuple>

#include "adodb/BoundValues.h"
#include "adodb/Recordset.h"
#include "adodb/TextCompare.h"
#include "host/CollatedKeys.h"
#include "host/FirstValue.h"

namespace storeadjust {

namespace {

using PlaceKey = std::tuple<std::string, std::string, std::string, std::string>;  // goods, warehouse, batch, line
// Keyed as the database compares: a place row stored with the warehouse '05 ' lies in warehouse 05.
using PlacesByKey = std::map<PlaceKey, std::string, CollatedLess>;

// The bill's goods; its one mark takes the serial (BySerial).
constexpr const char* kBillGoods = "(Select hh From ckdbdzkmx Where lsh=?)";

adodb::BoundValues BySerial(const std::string& lsh) { return {adodb::BoundText(lsh)}; }

std::string Text(const adodb::Recordset& rs, const char* field) { return rs.Value(field).TextOrEmpty(); }

bool HasLines(adodb::Connection& connection, const std::string& lsh) {
  return FirstValue(connection, "Select Count(*) From ckdbdzkmx Where lsh=?", BySerial(lsh)).AsInt32() > 0;
}

std::vector<StockHolding> BatchHoldings(adodb::Connection& connection, const std::string& lsh) {
  auto rs = connection.OpenRecordset(
      "Select p.HH, IsNull(k.pm,'') pm, IsNull(k.pdw,'') pdw, p.StockID, IsNull(s.name,'') sname, IsNull(p.PH,'') PH, IsNull(p.DH,'') DH,"
      " p.SL, p.xq From phk p Left Join yw_kck k On k.hh=p.HH Left Join gl_stock s On s.id=p.StockID"
      " Where p.HH In " + std::string(kBillGoods) + " And IsNull(p.SL,0)<>0 Order By p.HH, p.StockID, p.xq, p.PH, p.DH",
      BySerial(lsh));
  std::vector<StockHolding> holdings;
  for (rs->MoveFirst(); !rs->EOF(); rs->MoveNext()) {
    holdings.push_back({Text(*rs, "HH"), Text(*rs, "pm"), Text(*rs, "StockID"), Text(*rs, "sname"), Text(*rs, "PH"),
                        Text(*rs, "DH"), rs->Value("SL").AsDouble(), rs->Value("xq"), {}, std::nullopt, Text(*rs, "pdw")});
  }
  return holdings;
}

// Where goods are kept without batch numbers there are no batch rows: the stock is the current
// balance of each warehouse that holds no batch of the goods (the row of period 0 and year 0, as the
// goods panel reads it: a year's closing row also has period 0). Goods kept by amount only hold an
// amount there and no quantity: a window that left them out said a bill of them had no stock
// anywhere.
std::vector<StockHolding> BalanceHoldings(adodb::Connection& connection, const std::string& lsh) {
  auto rs = connection.OpenRecordset(
      "Select b.hh, IsNull(k.pm,'') pm, IsNull(k.pdw,'') pdw, b.stockid, IsNull(s.name,'') sname, b.sjsl, IsNull(b.sjje,0) sjje,"
      " IsNull(k.fonlymoney,0) onlymoney From ywbalance b"
      " Left Join yw_kck k On k.hh=b.hh Left Join gl_stock s On s.id=b.stockid"
      " Where b.hh In " + std::string(kBillGoods) + " And IsNull(b.fperiod,0)=0 And IsNull(b.fyear,0)=0"
      " And (IsNull(b.sjsl,0)<>0 Or (IsNull(k.fonlymoney,0)=1 And IsNull(b.sjje,0)<>0))"
      " And Not Exists (Select 1 From phk p Where p.HH=b.hh And p.StockID=b.stockid And IsNull(p.SL,0)<>0)"
      " Order By b.hh, b.stockid",
      BySerial(lsh));
  std::vector<StockHolding> holdings;
  for (rs->MoveFirst(); !rs->EOF(); rs->MoveNext()) {
    StockHolding holding{Text(*rs, "hh"), Text(*rs, "pm"), Text(*rs, "stockid"), Text(*rs, "sname"), {}, {},
                         rs->Value("sjsl").AsDouble(), adodb::Variant::Null(), {}, std::nullopt,
                         Text(*rs, "pdw")};
    if (rs->Value("onlymoney").AsInt32() != 0) holding.amount = rs->Value("sjje").AsDouble();
    holdings.push_back(std::move(holding));
  }
  return holdings;
}

// "A01:18.5 A02:12.5" for each batch that lies on goods places, in goods-place order. Only in a
// warehouse that keeps places now: rows of one that stopped keeping them are no longer where the
// stock lies, and nothing moves them any more.
PlacesByKey GoodsPlaces(adodb::Connection& connection, const std::string& lsh) {
  auto rs = connection.OpenRecordset(
      "Select g.MaterielGuid, g.WarehouseGuid, IsNull(g.BatchNo,'') BatchNo, IsNull(g.BatchNumber,'') BatchNumber,"
      " g.GoodsPlaceNo, g.CurrQuantity From GoodsPlaceBalance g Inner Join gl_stock s On s.id=g.WarehouseGuid"
      " Where g.MaterielGuid In " + std::string(kBillGoods) +
          " And IsNull(g.CurrQuantity,0)<>0 And IsNull(s.FDeleted,0)<>0 Order By g.GoodsPlaceNo",
      BySerial(lsh));
  PlacesByKey places;
  for (rs->MoveFirst(); !rs->EOF(); rs->MoveNext()) {
    std::string& text = places[{Text(*rs, "MaterielGuid"), Text(*rs, "WarehouseGuid"), Text(*rs, "BatchNo"),
                                Text(*rs, "BatchNumber")}];
    if (!text.empty()) text += ' ';
    text += Text(*rs, "GoodsPlaceNo") + ":" + adodb::FormatNumber(rs->Value("CurrQuantity").AsDouble());
  }
  return places;
}

// Whether each holding's warehouse is one of those the scope lets the operator use.
void KeepWarehousesInScope(adodb::Connection& connection, const std::string& warehouseScope,
                           std::vector<StockHolding>& holdings) {
  if (warehouseScope.empty()) return;
  auto rs = connection.OpenRecordset("Select ID From gl_stock Where 1=1 " + warehouseScope, {});
  std::vector<std::string> allowed;
  for (rs->MoveFirst(); !rs->EOF(); rs->MoveNext()) allowed.push_back(Text(*rs, "ID"));
  std::erase_if(holdings, [&](const StockHolding& holding) {
    return std::none_of(allowed.begin(), allowed.end(),
                        [&](const std::string& id) { return adodb::CompareValues(id, holding.warehouseId) == 0; });
  });
}

}  // namespace

StockDistribution ReadStockDistribution(adodb::Connection& connection, const std::string& lsh,
                                        const std::string& warehouseScope) {
  // Batches, balances and places as they stood at one moment: read apart, another clerk's audit
  // between them showed a batch's quantity beside places that no longer added up to it.
  const adodb::ReadSnapshot snapshot(connection);
  StockDistribution distribution;
  distribution.billHasLines = HasLines(connection, lsh);
  if (!distribution.billHasLines) return distribution;
  distribution.holdings = BatchHoldings(connection, lsh);
  std::vector<StockHolding> balances = BalanceHoldings(connection, lsh);
  distribution.holdings.insert(distribution.holdings.end(), balances.begin(), balances.end());
  KeepWarehousesInScope(connection, warehouseScope, distribution.holdings);
  std::stable_sort(distribution.holdings.begin(), distribution.holdings.end(),
                   [](const StockHolding& a, const StockHolding& b) {
                     return std::tie(a.goodsNumber, a.warehouseId) < std::tie(b.goodsNumber, b.warehouseId);
                   });
  const PlacesByKey places = GoodsPlaces(connection, lsh);
  for (StockHolding& holding : distribution.holdings) {
    auto found = places.find({holding.goodsNumber, holding.warehouseId, holding.batch, holding.batchLine});
    if (found != places.end()) holding.goodsPlaces = found->second;
  }
  return distribution;
}

}  // namespace storeadjust
