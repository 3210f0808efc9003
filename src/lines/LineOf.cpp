#include "lines/LineOf.h"

namespace storeadjust {

bool LineCarriesBatch(const BillHeader& header, const EntryRow& row) {
  return header.goodsCarryBatches && !row.facts.amountOnly;
}

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
  if (LineCarriesBatch(header, row) && row.batch) {
    line.batchNo = row.batch->number;
    line.batchLine = row.batch->line;
    if (row.batch->expiryJudgedOn) line.expiryJudgedOn = row.batch->expiryJudgedOn->ToText();
  }
  const double price = header.transfersCarryPrices ? row.price : 0;
  const double amount = header.transfersCarryPrices ? row.amount : 0;
  line.price = price;
  line.retailPrice = row.facts.retailPrice;
  line.figures = FiguresOf(row.quantity, row.unit.coefficient, amount, row.retailTotal, amount, row.facts.taxRate);
  line.inWarehouseKeepsPlaces = header.inWarehouseKeepsPlaces;
  if (header.inWarehouseKeepsPlaces) line.goodsPlaces = row.goodsPlaces;
  return line;
}

}  // namespace storeadjust
