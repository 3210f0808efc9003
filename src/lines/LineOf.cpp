#include "lines/LineOf.h"

#include "lines/BoundColumns.h"

namespace storeadjust {

bool LineCarriesBatch(const BillHeader& header, const EntryRow& row) {
  return header.goodsCarryBatches && !row.facts.amountOnly;
}

namespace {

// An amended line keeps each figure the clerk left as it was stored, to the last place stored (a
// price another program stored with 6 places, an amount that is not quantity x price, tax figures
// worked at a rate the goods no longer have): saved with nothing changed, it stays as it was.
void KeepStoredFigures(const BillLineValues& stored, const EntryRow& row, bool pricesCarried, LineToSave& line) {
  LineFigures& figures = line.figures;
  if (pricesCarried && row.price == stored.dj) line.price = stored.dj;
  if (row.quantity == stored.srsl) figures.enteredQty = stored.srsl;
  if (StoredQuantity(row.BaseQuantity()) == StoredQuantity(stored.sl)) figures.baseQty = stored.sl;
  const bool amountKept = pricesCarried && row.amount == stored.je;
  if (amountKept) figures.amount = stored.je;
  const bool retailKept = row.retailTotal == stored.lsze;
  if (retailKept) figures.retailTotal = stored.lsze;
  if (amountKept && retailKept) {
    figures.retailTotalNet = stored.wslsze;
    figures.taxDifference = stored.cj;
  }
  // Stored without its quantity as entered (srsl 0 or NULL), the line's price is the base unit's;
  // the row shows sl in its unit at that unit's price. Saved with all four as shown it keeps srsl
  // and dj as stored: another program reads dj beside no srsl as the price per base unit, and the
  // line saved unchanged would have been rewritten under it. The unit's price is shown at the
  // places the price column keeps: 7.1235 per base unit shows as 3.5618 per half, which is still
  // the price as stored.
  const double coefficient = row.unit.coefficient;
  const double unitPrice = stored.dj * coefficient;
  const bool priceAsShown = SameFigure(row.price, unitPrice) || SameFigure(row.price, StoredMoney(unitPrice));
  const bool enteredUnknown = (stored.srsl == 0 || stored.enteredIsNull) && stored.sl != 0 && coefficient != 0;
  if (enteredUnknown && figures.baseQty == stored.sl && retailKept && StoredQuantity(row.quantity) == StoredQuantity(stored.sl / coefficient) &&
      (!pricesCarried || (amountKept && priceAsShown))) {
    figures.enteredQty = stored.srsl;
    line.enteredQtyIsNull = stored.enteredIsNull;
    if (pricesCarried) line.price = stored.dj;
  }
}

}  // namespace

LineToSave LineOf(const BillHeader& header, const EntryRow& row) {
  LineToSave line;
  line.newBill = header.newBill && !row.IsAmendment();
  line.billBegunHere = header.begunHere;
  line.lsh = header.lsh;
  line.billShowsLines = header.showsLines;
  line.billDate = header.billDate;
  line.outWarehouse = header.outWarehouse;
  line.inWarehouse = header.inWarehouse;
  line.remark = header.remark;
  line.operatorName = header.operatorName;
  line.headerAsLoaded = header.asLoaded;
  line.amend = row.IsAmendment();
  line.dh = row.storedLine;
  line.amendedAsLoaded = row.storedValues;
  line.hh = row.goods;
  line.goodsName = row.facts.name;
  line.unitName = row.unit.name;
  if (row.unit.listed) line.listedUnit = row.unit;
  if (row.HasGoods()) line.amountOnly = row.facts.amountOnly;
  line.shortageAccepted = row.shortageAccepted;
  if (row.stockWeighed) {
    line.stockWeighed = LineToSave::StockWeighed::AtEntry;
  } else if (row.IsAmendment() && row.goods == row.storedGoods) {
    line.stockWeighed = LineToSave::StockWeighed::WhenStored;
  }
  if (LineCarriesBatch(header, row) && row.batch) {
    line.batchNo = row.batch->number;
    line.batchLine = row.batch->line;
    if (row.batch->expiryJudgedOn) line.expiryJudgedOn = row.batch->expiryJudgedOn->ToText();
    line.expiredAccepted = row.batch->expiredAccepted;
    line.batchShortAccepted = row.batch->shortAccepted;
  }
  const double price = header.transfersCarryPrices ? row.price : 0;
  const double amount = header.transfersCarryPrices ? row.amount : 0;
  line.price = StoredMoney(price);
  line.retailPrice = row.facts.retailPrice;
  line.figures = FiguresOf(row.quantity, row.unit.coefficient, amount, row.retailTotal, amount, row.facts.taxRate);
  // Goods kept by amount only move their amount alone at the audit: a quantity typed with the line
  // was listed, printed and totalled beside a stock it never moved. A stored line keeps its own.
  if (row.HasGoods() && row.facts.amountOnly) line.figures.enteredQty = line.figures.baseQty = 0;
  if (row.storedValues && row.goods == row.storedGoods) {
    KeepStoredFigures(*row.storedValues, row, header.transfersCarryPrices, line);
  }
  line.inWarehouseKeepsPlaces = header.inWarehouseKeepsPlaces;
  if (header.inWarehouseKeepsPlaces) line.goodsPlaces = row.goodsPlaces;
  return line;
}

}  // namespace storeadjust
