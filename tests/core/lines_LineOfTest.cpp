// The line to save as a function of the bill header and the entry row alone, with no form: what
// the entry row holds is what is stored. Also the small rules the entry row's checks lean on: the
// unit a stored line was entered in, a batch that other lines of the bill already draw from, and
// goods places that must add up to the line.
#include <gtest/gtest.h>

#include "lines/BatchChoice.h"
#include "lines/GoodsPlaceRows.h"
#include "lines/LineOf.h"
#include "lines/StoredEntryRow.h"

namespace storeadjust {
namespace {

BillHeader StoredBill() {
  BillHeader header;
  header.lsh = "DBD202403010001";
  header.billDate = "2024-03-05";
  header.outWarehouse = "01";
  header.inWarehouse = "09";
  header.remark = "补货";
  header.operatorName = "系统管理员";
  return header;
}

// 2 中包 (10 boxes each) of 0001 from batch 230208/200011, priced per 中包.
EntryRow TwoMiddlePacks() {
  EntryRow row;
  row.goods = "0001";
  row.facts.name = "阿莫西林胶囊";
  row.facts.baseUnit = "盒";
  row.facts.retailPrice = 12.5;
  row.facts.taxRate = 13;
  row.unit = {"02", "中包", 10};
  row.batch = EntryBatch{"230208", "200011", 7.64, 77, ""};
  row.goodsPlaces = {"P09B01,09,B01,15", "P09B02,09,B02,5"};
  row.price = 76.4;
  row.quantity = 2;
  row.amount = 152.8;
  row.retailTotal = 250;
  return row;
}

TEST(LineOfTest, TheLineIsTheGoodsOwnFactsTheUnitAndTheFiguresTheRowHolds) {
  const LineToSave line = LineOf(StoredBill(), TwoMiddlePacks());
  EXPECT_FALSE(line.newBill);
  EXPECT_FALSE(line.amend);
  EXPECT_EQ(line.lsh, "DBD202403010001");
  EXPECT_EQ(line.hh + "|" + line.goodsName + "|" + line.unitName, "0001|阿莫西林胶囊|中包");
  EXPECT_EQ(line.batchNo + "/" + line.batchLine, "230208/200011");
  EXPECT_DOUBLE_EQ(line.figures.enteredQty, 2);
  EXPECT_DOUBLE_EQ(line.figures.baseQty, 20) << "sl = coefficient x quantity entered";
  EXPECT_DOUBLE_EQ(line.price, 76.4);
  EXPECT_DOUBLE_EQ(line.figures.amount, 152.8);
  EXPECT_DOUBLE_EQ(line.retailPrice, 12.5);
  EXPECT_DOUBLE_EQ(line.figures.retailTotal, 250);
  EXPECT_DOUBLE_EQ(line.figures.retailTotalNet, 221.24);
  EXPECT_DOUBLE_EQ(line.figures.taxDifference, 77.34) << "250 - 152.8 x 1.13, rounded";
  EXPECT_FALSE(line.inWarehouseKeepsPlaces);
  EXPECT_TRUE(line.goodsPlaces.empty()) << "places are stored only where the in-warehouse keeps them";
}

TEST(LineOfTest, AmountsAreRoundedToTwoPlacesAndAPricelessTransferStoresZero) {
  EntryRow row = TwoMiddlePacks();
  row.unit = {};
  row.price = 10.0 / 3;
  row.quantity = 1;
  row.amount = 10.0 / 3;
  row.retailTotal = 12.5 / 3;
  LineToSave line = LineOf(StoredBill(), row);
  EXPECT_DOUBLE_EQ(line.figures.amount, 3.33);
  EXPECT_DOUBLE_EQ(line.figures.retailTotal, 4.17);

  BillHeader priceless = StoredBill();
  priceless.transfersCarryPrices = false;
  line = LineOf(priceless, row);
  EXPECT_EQ(line.price, 0);
  EXPECT_EQ(line.figures.amount, 0);
  EXPECT_DOUBLE_EQ(line.figures.retailTotal, 4.17);
}

TEST(LineOfTest, OnlyGoodsThatCarryBatchesStoreOneAndOnlyPlacesOfAPlaceKeepingWarehouseAreStored) {
  EntryRow amountOnly = TwoMiddlePacks();
  amountOnly.facts.amountOnly = true;
  EXPECT_EQ(LineOf(StoredBill(), amountOnly).batchNo, "");
  EXPECT_FALSE(LineCarriesBatch(StoredBill(), amountOnly));

  BillHeader noBatches = StoredBill();
  noBatches.goodsCarryBatches = false;
  EXPECT_EQ(LineOf(noBatches, TwoMiddlePacks()).batchLine, "");
  EXPECT_FALSE(LineCarriesBatch(noBatches, TwoMiddlePacks()));

  BillHeader places = StoredBill();
  places.inWarehouseKeepsPlaces = true;
  const LineToSave line = LineOf(places, TwoMiddlePacks());
  EXPECT_TRUE(line.inWarehouseKeepsPlaces);
  EXPECT_EQ(line.goodsPlaces.size(), 2u);
  EXPECT_TRUE(SameQuantity(PlacedQuantity(line.goodsPlaces), line.figures.baseQty));
}

TEST(LineOfTest, AnAmendedRowKeepsItsLineAndANewBillTakesAFreshSerialOnlyForANewLine) {
  EntryRow row = TwoMiddlePacks();
  BillHeader fresh = StoredBill();
  fresh.newBill = true;
  EXPECT_TRUE(LineOf(fresh, row).newBill);
  row.storedLine = "1002";
  const LineToSave line = LineOf(fresh, row);
  EXPECT_FALSE(line.newBill);
  EXPECT_TRUE(line.amend);
  EXPECT_EQ(line.dh, "1002");
}

TEST(LineOfTest, AStoredLinesUnitIsItsNamedUnitOrElseSlOverSrsl) {
  EXPECT_EQ(StoredUnit("件", MeasureUnit{"03", "件", 100}, 1200, 12).coefficient, 100);
  const MeasureUnit unknown = StoredUnit("箱", std::nullopt, 120, 12);
  EXPECT_EQ(unknown.name, "箱");
  EXPECT_EQ(unknown.code, "");
  EXPECT_EQ(unknown.coefficient, 10);
  EXPECT_EQ(StoredUnit("", std::nullopt, 0, 0).coefficient, 1);
}

TEST(BatchCoversTest, WhatOtherLinesTakeCountsAndQuantitiesCompareAsShown) {
  EXPECT_TRUE(BatchCovers(50, 0, 50));
  EXPECT_FALSE(BatchCovers(50, 50, 5)) << "two lines drawing 50 and 5 from a batch of 50";
  EXPECT_TRUE(BatchCovers(0.3, 0.1, 0.2));
  EXPECT_FALSE(BatchCovers(77, 0, 90)) << "9 中包 of 10 against a batch of 77 boxes";
}

}  // namespace
}  // namespace storeadjust
