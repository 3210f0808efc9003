#pragma once
// What the editor knows about the line being entered, beyond the text of its fields: the goods
// facts the goods lookup read, the unit chosen for the row, the batch chosen in the quantity
// step, and the price and amount the line will be stored with. One value, owned by the editor,
// filled by the goods, unit and quantity steps and handed whole to the saving of the line.
#include <cstddef>
#include <string>
#include <vector>

#include "adodb/Variant.h"
#include "host/LenientValues.h"

namespace storeadjust {

struct EntryRow {
  // The row taken in the batch dialog, as the dialog hands it: element 0 greater than 0 when a
  // row was taken, then its columns in select-list order. With the built-in batch list:
  // 1 ph, 2 dh, 3 jhdj (replaced by the batch's price in the out-warehouse), 4 sl, 5 xq, 6 scrq,
  // 7 YHRQ. Empty until the first choice.
  std::vector<adodb::Variant> ChosenBatch;
  double OutStockQty = 0;  // ywbalance.sjsl of the goods in the out-warehouse, current period
  double RetailPrice = 0;  // yw_kck.lsj
  double TaxRate = 0;      // yw_kck.zzsl
  std::string GoodsName;   // yw_kck.pm
  std::string UnitCode;    // FMeasureUnitID of the row's unit; empty for the base unit
  std::string UnitName;    // FName of the row's unit; empty for the base unit
  double UnitCoefficient = 1;  // base units per unit of the row
  bool IsAmountOnly = false;   // the goods are kept by amount only (yw_kck.fonlymoney)
  bool IsBatchPriced = false;  // costing method 5: a line's price is its batch's purchase price
  double LinePrice = 0;        // price stored with the line
  double LineAmount = 0;       // amount stored with the line

  // True when a batch row was taken and not voided since.
  bool HasChosenBatch() const { return !ChosenBatch.empty() && NumberOrZero(ChosenBatch[0]) > 0; }
  // Voids the choice (element 0 set to 0): the line cannot be saved until a batch is chosen again.
  void VoidBatchChoice() {
    if (!ChosenBatch.empty()) ChosenBatch[0] = adodb::Variant(0);
  }
  // Element i of the choice; Empty when the choice has no such element.
  adodb::Variant BatchColumn(std::size_t i) const { return i < ChosenBatch.size() ? ChosenBatch[i] : adodb::Variant(); }
};

}  // namespace storeadjust
