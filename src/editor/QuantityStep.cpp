// Enter in the quantity field: the row is checked against both warehouses and the out-
// warehouse's stock, the clerk chooses the batch the goods leave from, and the amount and retail
// total follow. Nothing is written to the database here.
#include <vector>

#include "editor/FrmStoreAdjuctBill.h"
#include "host/KeyCodes.h"
#include "host/LenientValues.h"
#include "host/SelectDialog.h"
#include "lines/BatchChoice.h"

namespace storeadjust {

namespace {

// Positions in the batch dialog's row (the built-in list's order; a site's template keeps it).
constexpr std::size_t kBatchNumber = 1;
constexpr std::size_t kBatchLine = 2;
constexpr std::size_t kBatchPrice = 3;
constexpr std::size_t kBatchQuantity = 4;

}  // namespace

// A site's batch template whose columns do not convert as the step reads them stops the step
// with the conversion's message.
void FrmStoreAdjuctBill::TxtSlKeyDown(int keyCode) {
  if (keyCode == key::kUp) SetFocus("TxtDj");
  if (keyCode != key::kReturn) return;
  try {
    QuantityStep();
  } catch (const std::exception& error) {
    ShowLookupFailure(error);
  }
}

void FrmStoreAdjuctBill::QuantityStep() {
  if (Text("TxtHH").empty()) return Refuse("货号不能为空!", "TxtHH");
  if (!EntryWarehousesValid()) return;
  const auto quantity = NumberInField("TxtSl");
  if (!quantity) return;
  if (*quantity == 0 && !entry_.IsAmountOnly && !Ask("确定数量为零？")) return;
  const auto price = NumberInField("TxtDj");
  if (!price) return;
  if (!IsCkdbdDj) entry_.LinePrice = *price;
  entry_.LineAmount = entry_.LinePrice * *quantity;
  if (auto stock = ReadOutStock(session_, Text("TxtHH"), Text("TxtBcCkID"))) entry_.OutStockQty = *stock;
  switch (JudgeStock(*quantity, entry_.OutStockQty, IsBz3)) {
    case StockVerdict::Short:
      return Refuse("库存数量不足!");
    case StockVerdict::AskShortage:
      if (!Ask("库存数量不足,是否继续？[Y/N]")) return;
      if (!ChooseBatch() || !BatchCoversQuantity(*quantity)) return;
      break;
    case StockVerdict::AlreadyNegative:
      if (!ChooseBatch()) return;
      break;
    case StockVerdict::Covered:
      if (!ChooseBatch() || !BatchCoversQuantity(*quantity)) return;
      break;
  }
  PriceStep(*quantity);
}

// Both warehouses typed and known; otherwise the clerk is sent to the one to mend.
bool FrmStoreAdjuctBill::EntryWarehousesValid() {
  for (const char* field : {"TxtBcCkID", "txtBrCKid"}) {
    if (Text(field).empty()) {
      Refuse("仓库编号不能为空!", field);
      return false;
    }
  }
  for (const char* field : {"TxtBcCkID", "txtBrCKid"}) {
    const auto exists = WarehouseExists(session_, Text(field));
    if (!exists) return false;
    if (!*exists) {
      Refuse("仓库编号不存在!", field);
      return false;
    }
  }
  return true;
}

// The batch dialog, unless goods carry no batches; then the batch held is kept. False when the
// clerk closed the dialog without a choice: nothing further changes.
bool FrmStoreAdjuctBill::ChooseBatch() {
  if (session_.isNotPh) {
    LookUpBatchPrice();
    return true;
  }
  const std::string statement = BatchListStatement(BatchSelectSql, Text("TxtHH"), Text("TxtBcCkID"),
                                                   Text("Chk1") == "1", entry_.UnitCoefficient);
  try {
    entry_.ChosenBatch = SelectFromList(session_, statement, true);
  } catch (const std::exception& error) {
    ShowLookupFailure(error);
    return false;
  }
  if (!entry_.HasChosenBatch()) return false;
  LookUpBatchPrice();
  return true;
}

// A batch that holds less than the quantity needs the clerk's word; No voids the choice, so the
// line cannot be saved until a batch is chosen again.
bool FrmStoreAdjuctBill::BatchCoversQuantity(double quantity) {
  if (NumberOrZero(entry_.BatchColumn(kBatchQuantity)) >= quantity) return true;
  if (Ask("批次数量小于用户输入数量,是否继续？[Y/N]")) return true;
  entry_.VoidBatchChoice();
  return false;
}

// The chosen batch's purchase price in the out-warehouse replaces the dialog's price column.
void FrmStoreAdjuctBill::LookUpBatchPrice() {
  if (entry_.ChosenBatch.size() <= kBatchPrice) return;  // no batch held (goods without batches)
  entry_.ChosenBatch[kBatchPrice] = adodb::Variant(
      BatchPurchasePrice(session_, Text("TxtHH"), Text("TxtBcCkID"), entry_.ChosenBatch[kBatchNumber].TextOrEmpty(),
                         entry_.ChosenBatch[kBatchLine].TextOrEmpty()));
}

// Batch-priced goods take their batch's price, and the line is stored with that price and the
// amount the field shows. The amount is quantity x price; the retail total counts in base units.
void FrmStoreAdjuctBill::PriceStep(double quantity) {
  const double batchPrice = NumberOrZero(entry_.BatchColumn(kBatchPrice));
  if (batchPrice > 0 && entry_.IsBatchPriced) {
    SetText("TxtDj", adodb::FormatNumber(batchPrice));
    entry_.LinePrice = batchPrice;
    entry_.LineAmount = quantity * batchPrice;
  }
  double price = 0;
  adodb::ParseNumber(Text("TxtDj"), price);
  SetText("TxtJe", adodb::FormatNumber(quantity * price));
  SetText("TxtLsze", adodb::FormatNumber(entry_.RetailPrice * quantity * entry_.UnitCoefficient));
  SetFocus("TxtJe");
}

}  // namespace storeadjust
