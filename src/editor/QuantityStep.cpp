// Enter in the quantity field: the row is checked against both warehouses and the stock of the
// warehouse that loses the goods, the clerk chooses the batch the goods leave from, and the
// amount and retail total follow. Quantities are compared in base units (coefficient x the
// quantity typed), as stock, batches and goods places count them. Nothing is written here.
#include <cmath>
#include <vector>

#include "editor/FrmStoreAdjuctBill.h"
#include "host/KeyCodes.h"
#include "host/LenientValues.h"
#include "host/SelectDialog.h"
#include "lines/BatchChoice.h"
#include "lines/BatchExpiry.h"
#include "lines/BoundColumns.h"

namespace storeadjust {

namespace {

// Positions in the batch dialog's row (the built-in list's order; a site's template keeps it).
constexpr std::size_t kBatchNumber = 1;
constexpr std::size_t kBatchLine = 2;
constexpr std::size_t kBatchQuantity = 4;
constexpr std::size_t kBatchExpiry = 5;

adodb::Variant Column(const std::vector<adodb::Variant>& row, std::size_t i) {
  return i < row.size() ? row[i] : adodb::Variant();
}

}  // namespace

// A site's batch template whose columns do not convert as the step reads them stops the step
// with the conversion's message. Locked (goods kept by amount only carry no quantity), the field
// passes the clerk on to the amount unjudged: the step opened the batch list for goods without
// batches and wrote price x 0 over the amount he had typed.
void FrmStoreAdjuctBill::TxtSlKeyDown(int keyCode) {
  if (keyCode == key::kUp) SetFocus("TxtDj");
  if (keyCode != key::kReturn) return;
  if (Control("TxtSl").locked) return SetFocus("TxtJe");
  try {
    QuantityStep();
  } catch (const std::exception& error) {
    ShowLookupFailure(error);
  }
}

// With transfers carrying no price the price field is not read; goods without batches go
// straight from the stock test to the amounts.
void FrmStoreAdjuctBill::QuantityStep() {
  if (Text("TxtHH").empty()) return Refuse("货号不能为空!", "TxtHH");
  if (!EntryWarehousesValid()) return;
  const auto typed = NumberInField("TxtSl");
  if (!typed) return;
  // The quantity goes on as the line keeps it, in the unit typed and in base units, each to 4
  // places: a quantity that rounds away there is stored as 0, and is asked about, and judged
  // against the stock, as a 0 typed is.
  ShowFigureAsKept("TxtSl");
  double quantity = StoredQuantity(*typed);
  adodb::ParseNumber(Text("TxtSl"), quantity);  // an amended line's quantity as it was stored
  if (!TakeTypedGoods()) return Refuse("没有此货号的品种请重新选择货号!", "TxtHH");
  const double storedQuantity = StoredQuantity(entry_.unit.coefficient * quantity);
  if (storedQuantity == 0 && !entry_.facts.amountOnly && !Ask("确定数量为零？")) return;
  if (!IsCkdbdDj && !NumberInField("TxtDj")) return;
  if (!AmountsOfQuantityFit(quantity)) return;
  TakeFigureFromField("TxtSl");
  const double baseQuantity = entry_.BaseQuantity();
  const auto verdict = StockVerdictFor(storedQuantity);
  if (!verdict) return;
  if (!session_.isNotPh) {
    if (!ChooseBatch()) return;
    // A stock already below zero is moved further down without a batch question; the save weighs
    // the batch should another clerk's receipt lift the stock meanwhile.
    if (*verdict != StockVerdict::AlreadyNegative && !BatchCoversQuantity(storedQuantity)) return;
  } else {
    entry_.stockJudged = StockJudgement{baseQuantity, Text("TxtBcCkID"), Text("txtBrCKid")};
  }
  PriceStep(quantity);
}

// The warehouse that loses the goods is judged under bz3: the out-warehouse for a positive
// quantity, the in-warehouse for a negative one (the goods go back). Nothing when the step
// stops: refused, or the shortage question answered No.
std::optional<StockVerdict> FrmStoreAdjuctBill::StockVerdictFor(double baseQuantity) {
  entry_.shortageAccepted = false;
  entry_.stockWeighed = true;
  if (baseQuantity == 0) return StockVerdict::Covered;
  const bool outLoses = baseQuantity > 0;
  // A warehouse without a balance row of the goods holds none: the figure kept from the warehouse
  // the goods were looked up in (typed over since) is not its stock, and one below zero there let
  // the line go on unasked.
  entry_.outStockQty = ReadOutStock(session_, Text("TxtHH"), Text("TxtBcCkID")).value_or(0);
  const double stock =
      outLoses ? entry_.outStockQty : ReadOutStock(session_, Text("TxtHH"), Text("txtBrCKid")).value_or(0);
  const StockVerdict verdict = JudgeStock(std::fabs(baseQuantity), stock, IsBz3);
  if (verdict == StockVerdict::Short) {
    Refuse("库存数量不足!");
    return std::nullopt;
  }
  if (verdict == StockVerdict::AskShortage && !Ask("库存数量不足,是否继续？[Y/N]")) return std::nullopt;
  // Only the clerk's Yes: a stock below zero was moved further down unasked, and one another
  // clerk lifts before the save is a shortage the clerk has not seen.
  entry_.shortageAccepted = verdict == StockVerdict::AskShortage;
  return verdict;
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

// The batch dialog over the out-warehouse's batches. The row taken becomes the row's batch, by
// name, with its purchase price and what it holds in the out-warehouse read from phk (the
// dialog's quantity column only when phk has no such row). False when the clerk closed the
// dialog without a choice (the batch held before stays) or declined an expired batch.
bool FrmStoreAdjuctBill::ChooseBatch() {
  const BoundSql batches =
      BatchList(BatchSelectSql, Text("TxtHH"), Text("TxtBcCkID"), Text("Chk1") == "1", entry_.unit.coefficient);
  // A line being amended offers its own batch first, not the one expiring soonest: passing
  // through the list to change the quantity keeps the batch the line was saved with.
  SelectionSubject subject{"批号", BillDate()};
  subject.places = GridNumberPlaces();
  if (entry_.AmendsLineOf(Text("TxtHH")) && !(entry_.storedBatchNumber.empty() && entry_.storedBatchLine.empty())) {
    subject.heldRow = {entry_.storedBatchNumber, entry_.storedBatchLine};
  }
  std::vector<adodb::Variant> row;
  try {
    row = SelectFromList(session_, batches.text, true, subject, nullptr, batches.values);
  } catch (const std::exception& error) {
    ShowLookupFailure(error);
    return false;
  }
  if (row.empty() || NumberOrZero(row[0]) <= 0) return false;
  EntryBatch batch;
  batch.number = Column(row, kBatchNumber).TextOrEmpty();
  batch.line = Column(row, kBatchLine).TextOrEmpty();
  batch.expiry = Column(row, kBatchExpiry).TextOrEmpty();
  if (!ExpiredBatchAccepted(batch)) {
    entry_.batch.reset();
    ShowBatch();
    return false;
  }
  batch.expiryJudgedOn = BillDate();
  batch.warehouse = Text("TxtBcCkID");
  batch.inWarehouse = Text("txtBrCKid");
  batch.chosenFor = entry_.BaseQuantity();
  batch.price = BatchPurchasePrice(session_, Text("TxtHH"), Text("TxtBcCkID"), batch.number, batch.line);
  batch.quantity = BatchQuantity(session_, Text("TxtHH"), Text("TxtBcCkID"), batch.number, batch.line)
                       .value_or(NumberOrZero(Column(row, kBatchQuantity)));
  entry_.batch = batch;
  ShowBatch();
  return true;
}

// The date on the bill, against which batches expire; the session's date while the picker holds
// none.
adodb::Date FrmStoreAdjuctBill::BillDate() const {
  return adodb::Date::Parse(Text("DTPKdrq")).value_or(session_.SysDate);
}

// An expired batch leaves only on the clerk's word, asked before anything else of the batch is
// read. No voids the choice, as for a batch too small: the batch held before may be the very one
// declined (the bill's date moved past its expiry), and the line cannot be saved until a batch is
// chosen again. The expiry is the batch's own in phk, whatever columns the list showed.
bool FrmStoreAdjuctBill::ExpiredBatchAccepted(EntryBatch& batch) {
  const BatchExpiry expiry =
      JudgeExpiry(BatchExpiryDate(session_, Text("TxtHH"), Text("TxtBcCkID"), batch.number, batch.line), BillDate());
  batch.expiredAccepted = false;
  if (expiry.state != BatchExpiry::State::Expired) return true;
  return batch.expiredAccepted =
             Ask("批号 " + batch.number + " 已过期 " + std::to_string(expiry.days) + " 天，是否继续？[Y/N]");
}

// The batch must hold the quantity that moves, after what the bill's other lines already take
// from it; otherwise the clerk's word is needed, and No voids the choice, so the line cannot be
// saved until a batch is chosen again. A negative quantity takes from the in-warehouse's row of
// the same batch.
bool FrmStoreAdjuctBill::BatchCoversQuantity(double baseQuantity) {
  if (baseQuantity == 0) return true;
  const bool outLoses = baseQuantity > 0;
  const double held = outLoses ? entry_.batch->quantity
                               : BatchQuantity(session_, Text("TxtHH"), Text("txtBrCKid"), entry_.batch->number,
                                               entry_.batch->line)
                                     .value_or(0);
  const double taken = TakenByOtherLines(
      session_, {newBill_ ? std::string() : lsh_, entry_.storedLine, Text("TxtHH"), entry_.batch->number,
                 entry_.batch->line, outLoses});
  if (BatchCovers(held, taken, std::fabs(baseQuantity))) return true;
  if (Ask("批次数量小于用户输入数量,是否继续？[Y/N]")) return entry_.batch->shortAccepted = true;
  entry_.batch.reset();
  ShowBatch();
  return false;
}

// Batch-priced goods take their batch's price for the row's unit. The amount is quantity x
// price; the retail total counts in base units.
// A line taken with F3 and passed through with its own quantity and batch keeps the price and
// amounts it was stored with: the batch's price may have moved since, and the clerk changed nothing.
void FrmStoreAdjuctBill::PriceStep(double quantity) {
  double price = 0;
  if (!IsCkdbdDj) adodb::ParseNumber(Text("TxtDj"), price);
  const EntryRow* unchanged = AmendedLineUnchanged(price, quantity);
  const double batchPrice = entry_.batch ? entry_.batch->price : 0;
  if (batchPrice > 0 && entry_.facts.batchPriced && !IsCkdbdDj && !unchanged) {
    ShowFigure("TxtDj", UnitPrice(batchPrice));
  }
  if (!IsCkdbdDj && adodb::ParseNumber(Text("TxtDj"), price)) {
    ShowFigure("TxtDj", price);  // as the line keeps it, like the amount worked from it
    adodb::ParseNumber(Text("TxtDj"), price);
  }
  if (unchanged) {
    ShowStoredAmounts(*unchanged);
  } else {
    ShowFigure("TxtJe", quantity * price);
    ShowFigure("TxtLsze", RetailTotalOf(quantity));
  }
  SetFocus("TxtJe");
}

}  // namespace storeadjust
