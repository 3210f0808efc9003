#include "lines/StoredEntryRow.h"

#include <cmath>

#include "adodb/Recordset.h"
#include "host/DataHelpers.h"
#include "host/LenientValues.h"
#include "host/NumberHelpers.h"
#include "host/RequireOpened.h"
#include "lines/BatchChoice.h"
#include "lines/BatchExpiry.h"
#include "lines/BoundColumns.h"
#include "lines/LineSaving.h"
#include "lines/StoredBillLines.h"

namespace storeadjust {

namespace {

std::optional<MeasureUnit> UnitNamed(Session& session, const std::string& hh, const std::string& name) {
  if (name.empty()) return std::nullopt;
  auto rs = RequireOpened(
      OpenRsReadOnly(session,
                     "select FMeasureUnitID,FName,FCoefficient,isnull(FDeleted,0) FDeleted from t_MeasureUnit where "
                     "hh=? and FName=? order by isnull(FDeleted,0),FMeasureUnitID",
                     {adodb::BoundText(hh), adodb::BoundText(name)}));
  if (rs->RecordCount() < 1) return std::nullopt;
  rs->MoveFirst();
  const double coefficient = NumberOrZero(rs->Value("FCoefficient"));
  return MeasureUnit{rs->Value("FMeasureUnitID").TextOrEmpty(), rs->Value("FName").TextOrEmpty(), coefficient,
                     !FlagIsSet(rs->Value("FDeleted")) && coefficient != 0};
}

std::optional<EntryBatch> StoredBatch(Session& session, const std::string& hh, const std::string& outWarehouse,
                                      const std::string& inWarehouse, const std::string& ph, const std::string& pcdh,
                                      double baseQty) {
  if (ph.empty() && pcdh.empty()) return std::nullopt;
  EntryBatch batch;
  batch.number = ph;
  batch.line = pcdh;
  batch.warehouse = outWarehouse;
  batch.inWarehouse = inWarehouse;
  batch.chosenFor = baseQty;
  batch.price = BatchPurchasePrice(session, hh, outWarehouse, ph, pcdh);
  batch.quantity = BatchQuantity(session, hh, outWarehouse, ph, pcdh).value_or(0);
  return batch;
}

std::vector<std::string> StoredPlaces(Session& session, const std::string& lsh, const std::string& dh) {
  auto rs = RequireOpened(
      OpenRsReadOnly(session,
                     "select GoodsPlaceGuid,WarehouseGuid,GoodsPlaceNo,Quantity from BillGoodsPlace where "
                     "BillType='WarehouseIn' and BillGuid=? and BillDetailGuid=?",
                     {adodb::BoundText(lsh), adodb::BoundText(dh)}));
  std::vector<std::string> items;
  for (rs->MoveFirst(); rs->RecordCount() > 0 && !rs->EOF(); rs->MoveNext()) {
    items.push_back(rs->Value("GoodsPlaceGuid").TextOrEmpty() + "," + rs->Value("WarehouseGuid").TextOrEmpty() + "," +
                    rs->Value("GoodsPlaceNo").TextOrEmpty() + "," +
                    adodb::FormatNumber(NumberOrZero(rs->Value("Quantity"))));
  }
  return items;
}

}  // namespace

MeasureUnit StoredUnit(const std::string& storedName, const std::optional<MeasureUnit>& unitOfThatName,
                       double baseQty, std::optional<double> enteredQty) {
  MeasureUnit unit = unitOfThatName.value_or(MeasureUnit{"", storedName, 1});
  if (!enteredQty || *enteredQty == 0) {
    // The row shows sl in the unit at 4 places: 10 盒 in 中包 of 12 show as 0.8333, which at 12
    // moves 9.9996, and the line saved unchanged took 0.0004 盒 less (or was refused for a quantity
    // changed after its batch). The line keeps the coefficient that gives its sl from what is shown.
    const double shown = unit.coefficient == 0 ? 0 : RoundTo(baseQty / unit.coefficient, kQuantityScale);
    if (shown != 0 && RoundTo(unit.coefficient * shown, kQuantityScale) != RoundTo(baseQty, kQuantityScale)) {
      unit.coefficient = baseQty / shown;
      unit.listed = false;
    }
    return unit;
  }
  const bool unitGivesStoredQty = std::fabs(RoundTo(unit.coefficient * *enteredQty, kQuantityScale) - baseQty) < 1e-9;
  // Stored with another coefficient than the unit's: the line keeps its own, which no list gives.
  if (!unitGivesStoredQty) {
    unit.coefficient = baseQty / *enteredQty;
    unit.listed = false;
  }
  return unit;
}

EntryRow WithGoodsLookedUpAgain(const EntryRow& loaded, const GoodsFacts& now) {
  EntryRow row = loaded;
  row.facts = now;
  row.facts.name = loaded.facts.name;
  row.facts.retailPrice = loaded.facts.retailPrice;
  return row;
}

std::optional<EntryRow> ReadStoredEntryRow(Session& session, const std::string& lsh, const std::string& dh) {
  auto rs = RequireOpened(OpenRsReadOnly(
      session,
      "select a.hh,a.pm,a.lsj,a.dj,a.sl,a.je,a.lsze,a.srsl,a.dw,a.ph,a.pcdh,b.dcstockid,b.drstockid,b.kdrq from ckdbdzkmx a "
      "inner join ckdbdzk b on a.lsh=b.lsh where a.lsh=? and a.dh=?",
      {adodb::BoundText(lsh), adodb::BoundText(dh)}));
  if (rs->RecordCount() < 1) return std::nullopt;
  rs->MoveFirst();
  EntryRow row;
  row.storedLine = dh;
  row.goods = rs->Value("hh").TextOrEmpty();
  const std::string outWarehouse = rs->Value("dcstockid").TextOrEmpty();
  // The name and retail price are the line's own, as stored with it, even when the goods master
  // has changed them since (or the goods is gone): the retail total stored goes with that price.
  row.facts = ReadGoodsFacts(session, row.goods).value_or(GoodsFacts{});
  row.facts.name = rs->Value("pm").TextOrEmpty();
  row.facts.retailPrice = NumberOrZero(rs->Value("lsj"));
  row.outStockQty = ReadOutStock(session, row.goods, outWarehouse).value_or(0);
  const double baseQty = NumberOrZero(rs->Value("sl"));
  // srsl 0 beside a quantity is the column's default, in lines other programs wrote: as unknown
  // as NULL. The quantity entered is then the base quantity in the line's unit.
  std::optional<double> entered;
  if (!IsMissing(rs->Value("srsl"))) entered = NumberOrZero(rs->Value("srsl"));
  if (entered == 0.0 && baseQty != 0) entered.reset();
  // No base quantity beside one entered (NULL or 0) moves nothing, as the grid shows it: taken as
  // entered, the row showed that quantity in a unit of coefficient 0, and any quantity typed over
  // it was zero. One entered of the other sign gave a coefficient below 0, under which a quantity
  // typed moved the goods the other way. The row shows what the line moves, in the line's unit.
  if (IsMissing(rs->Value("sl")) || (entered && (baseQty == 0 || *entered * baseQty < 0))) entered.reset();
  const std::string unitName = rs->Value("dw").TextOrEmpty();
  row.unit = StoredUnit(unitName, UnitNamed(session, row.goods, unitName), baseQty, entered);
  row.quantity = entered.value_or(row.unit.coefficient == 0 ? baseQty : baseQty / row.unit.coefficient);
  row.price = NumberOrZero(rs->Value("dj"));
  // Without its quantity as entered the line is priced per base unit, as the lists and the slip
  // read it (LinePriceInBaseUnit). The row shows the quantity in the line's unit, so it shows that
  // unit's price: 2 件 of 100 bottles at 3.20 a bottle showed 2 x 3.20 beside an amount of 640, and
  // saved unchanged the line was listed at 0.032 a bottle.
  if (!entered && baseQty != 0 && row.unit.coefficient != 0) row.price *= row.unit.coefficient;
  row.amount = NumberOrZero(rs->Value("je"));
  row.retailTotal = NumberOrZero(rs->Value("lsze"));
  row.stockJudged = StockJudgement{baseQty, outWarehouse, rs->Value("drstockid").TextOrEmpty()};
  row.batch = StoredBatch(session, row.goods, outWarehouse, rs->Value("drstockid").TextOrEmpty(), rs->Value("ph").TextOrEmpty(),
                          rs->Value("pcdh").TextOrEmpty(), baseQty);
  row.storedGoods = row.goods;
  row.storedUnitCode = row.unit.code;
  row.storedBatchNumber = rs->Value("ph").TextOrEmpty();
  row.storedBatchLine = rs->Value("pcdh").TextOrEmpty();
  if (row.batch && !rs->Value("kdrq").IsNull()) {
    const adodb::Date stored = rs->Value("kdrq").AsDate();
    row.batch->expiryJudgedOn = adodb::Date{stored.year, stored.month, stored.day};
    row.batch->expiredAccepted =
        JudgeExpiry(BatchExpiryDate(session, row.goods, outWarehouse, row.batch->number, row.batch->line),
                    *row.batch->expiryJudgedOn)
            .state == BatchExpiry::State::Expired;
  }
  rs->Close();
  row.goodsPlaces = StoredPlaces(session, lsh, dh);
  row.storedValues = ReadBillLine(*session.Conn, lsh, dh);
  return row;
}

}  // namespace storeadjust
