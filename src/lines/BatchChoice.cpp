#include "lines/BatchChoice.h"

#include "adodb/Variant.h"
#include "host/DataHelpers.h"
#include "host/FirstValue.h"
#include "host/LenientValues.h"
#include "host/NumberHelpers.h"

namespace storeadjust {

// A stock already below zero is moved further down without a question when shortages are
// allowed; a stock that is merely too small asks first.
StockVerdict JudgeStock(double quantity, double stock, bool shortageAllowed) {
  if (stock < 0) return quantity > 0 && !shortageAllowed ? StockVerdict::Short : StockVerdict::AlreadyNegative;
  if (quantity > stock) return shortageAllowed ? StockVerdict::AskShortage : StockVerdict::Short;
  return StockVerdict::Covered;
}

bool SiteAllowsShortages(adodb::Connection& connection) {
  return FlagIsSet(FirstValue(connection, "select bz3 from sys_Var"));
}

std::optional<double> ReadOutStock(Session& session, const std::string& hh, const std::string& warehouse) {
  auto rs = OpenRsReadOnly(session, kCurrentStockSql,
                           {adodb::BoundText(hh), adodb::BoundText(warehouse)});
  if (!rs || rs->RecordCount() < 1) return std::nullopt;
  rs->MoveFirst();
  return NumberOrZero(rs->Value("sjsl"));
}

std::optional<bool> WarehouseExists(Session& session, const std::string& id) {
  auto rs = OpenRsReadOnly(session, "select * from gl_stock where id =?", {adodb::BoundText(id)});
  if (!rs) return std::nullopt;
  return rs->RecordCount() > 0;
}

double BatchPurchasePrice(Session& session, const std::string& hh, const std::string& outWarehouse,
                          const std::string& ph, const std::string& dh) {
  return NumberOrZero(GetFieldValue(
      session, "select isnull(jhdj,0) jhdj from phk where hh =? and stockid =? and ph=? and dh=?", "jhdj",
      {adodb::BoundText(hh), adodb::BoundText(outWarehouse), adodb::BoundText(ph), adodb::BoundText(dh)}));
}

std::optional<double> BatchQuantity(Session& session, const std::string& hh, const std::string& warehouse,
                                    const std::string& ph, const std::string& dh) {
  auto rs =
      OpenRsReadOnly(session, "select isnull(sl,0) sl from phk where hh=? and stockid=? and ph=? and dh=?",
                     {adodb::BoundText(hh), adodb::BoundText(warehouse), adodb::BoundText(ph), adodb::BoundText(dh)});
  if (!rs || rs->RecordCount() < 1) return std::nullopt;
  rs->MoveFirst();
  return NumberOrZero(rs->Value("sl"));
}

double TakenByOtherLines(Session& session, const BatchTake& take) {
  if (take.lsh.empty()) return 0;
  const std::string taken = take.fromOutWarehouse ? "sum(case when sl>0 then sl else 0 end)"
                                                  : "sum(case when sl<0 then -sl else 0 end)";
  return NumberOrZero(GetFieldValue(
      session,
      "select isnull(" + taken + ",0) as taken from ckdbdzkmx where lsh=? and dh<>? and hh=? and ph=? and pcdh=?",
      "taken",
      {adodb::BoundText(take.lsh), adodb::BoundText(take.exceptDh), adodb::BoundText(take.hh),
       adodb::BoundText(take.ph), adodb::BoundText(take.dh)}));
}

bool BatchCovers(double batchQuantity, double takenByOthers, double quantity) {
  constexpr std::int16_t kComparedPlaces = 6;
  return RoundTo(batchQuantity - takenByOthers, kComparedPlaces) >= RoundTo(quantity, kComparedPlaces);
}

}  // namespace storeadjust
