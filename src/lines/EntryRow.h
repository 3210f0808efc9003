#pragma once
// The line being entered, as one value: the goods its facts belong to, the unit it is entered
// in, the batch it leaves from, the in-warehouse goods places it is spread over, and the price,
// quantity and amounts the entry fields show. The editor's fields show it; the line stored is a
// function of it and the bill header alone (LineOf), so nothing of an earlier goods, unit or
// line can reach a save.
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "adodb/Date.h"
#include "lines/BillLineValues.h"
#include "lines/GoodsFacts.h"
#include "lines/MeasureUnit.h"

namespace storeadjust {

// The batch chosen in the batch dialog, by name rather than by the dialog's column positions.
struct EntryBatch {
  std::string number;    // ph
  std::string line;      // phk.dh, stored as the line's pcdh
  double price = 0;      // the batch's purchase price in the out-warehouse (jhdj); 0 when none
  double quantity = 0;   // what the batch holds, in base units
  std::string expiry;    // xq, when the list shows it
  std::string warehouse;  // the out-warehouse it was chosen in, which holds it
  // The in-warehouse of the choice: a return (a negative quantity) takes the batch from it.
  std::string inWarehouse;
  // The row's quantity, in base units, the batch was chosen for: the stock and the batch were
  // judged against it (and the batch's warehouse follows its sign).
  double chosenFor = 0;
  // The bill date its expiry was judged against (for a stored line, the date it was stored
  // under); none when it never was.
  std::optional<adodb::Date> expiryJudgedOn;
  // The batch had expired on that date, and the clerk let it leave all the same (a stored line was
  // let leave when it was saved).
  bool expiredAccepted = false;
  // The clerk let the line take more than the batch held: the save asks again only without this
  // word (nor while the warehouse's stock is below zero, where the batch is not asked about).
  bool shortAccepted = false;
};

// The row's quantity in base units and the two warehouses the stock was judged in.
struct StockJudgement {
  double baseQuantity = 0;
  std::string outWarehouse, inWarehouse;
};

struct EntryRow {
  // The goods number the facts, unit, batch and places belong to; empty once the goods field
  // was typed over, until a goods is taken again.
  std::string goods;
  GoodsFacts facts;
  double outStockQty = 0;  // the goods' current stock in the out-warehouse
  MeasureUnit unit;
  std::optional<EntryBatch> batch;
  // For goods without batches (the host's goods carry none), what the quantity step judged the
  // stock for; none until it ran. A stored line was judged when it was saved.
  std::optional<StockJudgement> stockJudged;
  // The quantity step let the line move more than the losing warehouse holds on the site's leave
  // (bz3): the clerk accepted the shortage (a stock already below zero asks nothing, and gives no
  // word for a shortage found at the save).
  bool shortageAccepted = false;
  // The quantity step weighed the row against the stock. A row taken with F3 and saved without it
  // was weighed when its line was stored.
  bool stockWeighed = false;
  // In-warehouse goods places, "GoodsPlaceGuid,X,GoodsPlaceNo,Quantity" as the dialog answers.
  std::vector<std::string> goodsPlaces;
  // The stored line this row amends (its dh); empty for a new line. With it, the line as it was
  // stored when loaded, which the save finds unchanged or refuses.
  std::string storedLine;
  std::optional<BillLineValues> storedValues;
  // The amended line's goods, unit code and batch as stored (empty when none): kept while its goods
  // are looked up again, so the unit and batch lists offer the line's own first.
  std::string storedGoods, storedUnitCode, storedBatchNumber, storedBatchLine;

  // As the fields show them: price per unit entered, quantity in that unit, amount, retail total.
  double price = 0;
  double quantity = 0;
  double amount = 0;
  double retailTotal = 0;

  bool HasGoods() const { return !goods.empty(); }
  bool IsAmendment() const { return !storedLine.empty(); }
  // The row amends a stored line of goods hh.
  bool AmendsLineOf(const std::string& hh) const { return IsAmendment() && !hh.empty() && hh == storedGoods; }
  // Both rows leave from the same batch (or from none).
  bool SameBatchAs(const EntryRow& other) const {
    const auto key = [](const EntryRow& row) {
      return row.batch ? std::make_pair(row.batch->number, row.batch->line) : std::pair<std::string, std::string>();
    };
    return key(*this) == key(other);
  }
  // The quantity that moves, in base units.
  double BaseQuantity() const { return unit.coefficient * quantity; }
  // Everything that belonged to the goods: what a goods field typed over no longer has.
  void VoidGoods() {
    EntryRow voided;
    voided.storedLine = std::move(storedLine);
    voided.storedValues = std::move(storedValues);
    voided.storedGoods = std::move(storedGoods);
    voided.storedUnitCode = std::move(storedUnitCode);
    voided.storedBatchNumber = std::move(storedBatchNumber);
    voided.storedBatchLine = std::move(storedBatchLine);
    *this = std::move(voided);
  }
};

}  // namespace storeadjust
