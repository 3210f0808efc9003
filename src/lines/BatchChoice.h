#pragma once
// The reads of the quantity step: whether the out-warehouse's stock lets a quantity leave, the
// statement that lists the goods' batches in the out-warehouse, and a batch's purchase price.
// Nothing here writes; values are bound to the statements' ? marks.
#include <optional>
#include <string>

#include "host/Session.h"
#include "lines/BatchList.h"

namespace storeadjust {

// What the out-warehouse's stock says about a quantity.
enum class StockVerdict {
  Short,          // more than the stock and shortages are not allowed: refuse
  AskShortage,    // more than a non-negative stock, shortages allowed: ask, then choose a batch
  AlreadyNegative,  // the stock is below zero and shortages are allowed (or nothing leaves)
  Covered,        // the stock covers the quantity
};

// shortageAllowed is the system flag bz3 (0 forbids moving more than the warehouse holds).
StockVerdict JudgeStock(double quantity, double stock, bool shortageAllowed);

// bz3 as it stands now: read where the stock moves, since the administrator may switch it while a
// screen that read it at opening stays open.
bool SiteAllowsShortages(adodb::Connection& connection);

// The current-period stock of the goods in the warehouse; nothing when it has no balance row
// (or the read failed, which its opener has shown).
std::optional<double> ReadOutStock(Session& session, const std::string& hh, const std::string& warehouse);
// The statement it reads with (the goods and the warehouse bound), for a caller inside a
// transaction, where a failed read must throw rather than be shown.
inline constexpr const char* kCurrentStockSql = "select sjsl from ywbalance where hh=? and stockid=? and fperiod=0";

// What batch ph / line dh of the goods holds in the warehouse (phk.sl, base units); nothing when
// the warehouse has no such batch row.
std::optional<double> BatchQuantity(Session& session, const std::string& hh, const std::string& warehouse,
                                    const std::string& ph, const std::string& dh);

// What the bill's other lines (all but exceptDh) already take from batch ph / line dh of the
// goods, in base units: from the out-warehouse the positive lines, from the in-warehouse the
// negative ones (which send goods back).
struct BatchTake {
  std::string lsh, exceptDh, hh, ph, dh;
  bool fromOutWarehouse = true;
};
double TakenByOtherLines(Session& session, const BatchTake& take);

// True when a batch holding batchQuantity, of which the bill's other lines take takenByOthers,
// still covers quantity (all base units); quantities are compared to 6 places, so 0.1 + 0.2
// covers 0.3.
bool BatchCovers(double batchQuantity, double takenByOthers, double quantity);

// Whether the warehouse id is in gl_stock; nothing when the read failed (its opener has shown why).
std::optional<bool> WarehouseExists(Session& session, const std::string& id);

// The purchase price of batch ph / line dh of the goods in the warehouse; 0 when it has none.
double BatchPurchasePrice(Session& session, const std::string& hh, const std::string& outWarehouse,
                          const std::string& ph, const std::string& dh);

}  // namespace storeadjust
