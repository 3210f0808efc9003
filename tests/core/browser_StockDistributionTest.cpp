// Where a bill's goods are kept: batches with stock, goods without batches from their current
// balance, the goods places of each batch, and nothing of goods the bill does not move.
#include <gtest/gtest.h>

#include "browse/StockDistribution.h"
#include "browser_support.h"

namespace storeadjust {
namespace {

class StockDistributionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    db.Run({"insert into gl_stock (id, name, FDeleted) values ('01', '总仓', 0)",
            "insert into gl_stock (id, name, FDeleted) values ('05', '中药饮片仓', 1)",
            "insert into yw_kck (hh, pm) values ('0021', '当归')",
            "insert into yw_kck (hh, pm) values ('0040', '零货')",
            "insert into yw_kck (hh, pm) values ('0099', '别的货')",
            "insert into ckdbdzk (lsh, kdrq, dcstockid, drstockid, czry, shbz, jzbz) values "
            "('O''Neil', '2024-03-01', '01', '05', '系统管理员', 0, 0)",
            "insert into ckdbdzkmx (lsh, dh, hh, sl) values ('O''Neil', '1001', '0021', 1)",
            "insert into ckdbdzkmx (lsh, dh, hh, sl) values ('O''Neil', '1002', '0040', 1)",
            "insert into ckdbdzkmx (lsh, dh, hh, sl) values ('O''Neil', '1003', '0021', 2)",
            // 0021: a later batch in 05 on two places, an earlier one in 05, one in 01, an empty one.
            "insert into phk (HH, PH, DH, StockID, SL, xq) values ('0021', '240216', '200212', '05', 15.75, '2026-02-16')",
            "insert into phk (HH, PH, DH, StockID, SL, xq) values ('0021', '230208', '200211', '05', 4, '2025-02-08')",
            "insert into phk (HH, PH, DH, StockID, SL, xq) values ('0021', '230208', '200211', '01', 13.5, '2025-02-08')",
            "insert into phk (HH, PH, DH, StockID, SL, xq) values ('0021', '220101', '200210', '01', 0, '2024-01-01')",
            "insert into phk (HH, PH, DH, StockID, SL, xq) values ('0099', '230101', '200991', '01', 7, '2025-01-01')",
            "insert into GoodsPlaceBalance (GoodsPlaceGuid, GoodsPlaceNo, WarehouseGuid, MaterielGuid, BatchNo,"
            " BatchNumber, CurrQuantity) values ('P2', 'Y02', '05', '0021', '240216', '200212', 9.25)",
            "insert into GoodsPlaceBalance (GoodsPlaceGuid, GoodsPlaceNo, WarehouseGuid, MaterielGuid, BatchNo,"
            " BatchNumber, CurrQuantity) values ('P1', 'Y01', '05', '0021', '240216', '200212', 6.5)",
            "insert into GoodsPlaceBalance (GoodsPlaceGuid, GoodsPlaceNo, WarehouseGuid, MaterielGuid, BatchNo,"
            " BatchNumber, CurrQuantity) values ('P3', 'Y03', '05', '0021', '230208', '200211', 0)",
            // 0040 has no batch rows: its current balance counts, its February row does not.
            "insert into ywbalance (hh, stockid, fperiod, fyear, sjsl) values ('0040', '01', 0, 0, 12)",
            "insert into ywbalance (hh, stockid, fperiod, fyear, sjsl) values ('0040', '05', 2, 2024, 30)",
            "insert into ywbalance (hh, stockid, fperiod, fyear, sjsl) values ('0021', '01', 0, 0, 13.5)"});
  }

  static std::string Row(const StockHolding& h) {
    return h.goodsNumber + "|" + h.goodsName + "|" + h.warehouseId + "|" + h.warehouseName + "|" + h.batch + "|" +
           h.batchLine + "|" + adodb::FormatNumber(h.quantity) + "|" + h.expiry.TextOrEmpty().substr(0, 10) + "|" +
           h.goodsPlaces;
  }

  browsertest::BrowserDatabase db;
};

TEST_F(StockDistributionTest, ListsTheStockOfTheBillsGoodsOnce) {
  const StockDistribution distribution = ReadStockDistribution(*db.session.Conn, "O'Neil");
  ASSERT_TRUE(distribution.billHasLines);
  std::vector<std::string> rows;
  for (const StockHolding& holding : distribution.holdings) rows.push_back(Row(holding));
  EXPECT_EQ(rows, (std::vector<std::string>{
                      "0021|当归|01|总仓|230208|200211|13.5|2025-02-08|",
                      "0021|当归|05|中药饮片仓|230208|200211|4|2025-02-08|",
                      "0021|当归|05|中药饮片仓|240216|200212|15.75|2026-02-16|Y01:6.5 Y02:9.25",
                      "0040|零货|01|总仓|||12||",
                  }));
}

TEST_F(StockDistributionTest, TellsABillWithoutLinesFromOneWithoutStock) {
  db.Run({"insert into ckdbdzk (lsh, kdrq, dcstockid, drstockid, czry, shbz, jzbz) values "
          "('DBD0002', '2024-03-01', '01', '05', '系统管理员', 1, 0)"});
  EXPECT_FALSE(ReadStockDistribution(*db.session.Conn, "DBD0002").billHasLines);

  db.Run({"delete from phk", "delete from ywbalance"});
  const StockDistribution none = ReadStockDistribution(*db.session.Conn, "O'Neil");
  EXPECT_TRUE(none.billHasLines);
  EXPECT_TRUE(none.holdings.empty());
}

}  // namespace
}  // namespace storeadjust
