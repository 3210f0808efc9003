#pragma once
// Where the goods of one bill are kept: for each goods on the bill's lines, every warehouse and
// batch holding some of it, with the goods places the quantity lies on. A clerk looks here before
// choosing the out-warehouse or a batch, so rows without stock are left out.
#include <optional>
#include <string>
#include <vector>

#include "adodb/Connection.h"
#include "adodb/Variant.h"

namespace storeadjust {

// One batch of a goods in one warehouse. Goods a warehouse holds without batch rows appear once
// for that warehouse, from its current balance, with no batch, batch line or expiry. Goods kept
// by amount only have no quantity and so no row.
struct StockHolding {
  std::string goodsNumber;
  std::string goodsName;
  std::string warehouseId;
  std::string warehouseName;
  std::string batch;
  std::string batchLine;
  double quantity = 0;
  adodb::Variant expiry;    // a date, or NULL when the batch records none
  std::string goodsPlaces;  // "A01:18.5 A02:12.5"; empty when the warehouse keeps no places
  // Goods kept by amount only (金额品种) have no quantity to speak of: their stock is the
  // balance's amount (sjje). Nothing for goods kept by quantity.
  std::optional<double> amount;
  std::string unit;  // the goods' base unit (pdw), which batch and balance quantities are kept in
};

struct StockDistribution {
  bool billHasLines = false;
  // By goods number, then warehouse id; inside one warehouse the batch expiring first comes first.
  std::vector<StockHolding> holdings;
};

// Reads the stock of the goods on bill `lsh` in the warehouses the operator may use:
// warehouseScope is the operator's warehouse scope as a condition on gl_stock's column ID (empty
// for every warehouse). Throws adodb::Error when a statement fails.
StockDistribution ReadStockDistribution(adodb::Connection& connection, const std::string& lsh,
                                        const std::string& warehouseScope = {});

}  // namespace storeadjust
