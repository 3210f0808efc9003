// The demo database is ready to use: its stock adds up across batches, balances and goods places,
// its open bills can be audited from the stock there is, and its administrator holds every right.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "db/DatabaseFactory.h"
#include "schema_support.h"
#include "support/TempDatabase.h"

namespace {

using schema_test::RawText;
using storeadjust::db::SqliteFile;
using testsupport::TempDatabase;

class DemoDatabase : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { file_ = new TempDatabase(storeadjust::db::CreateDemoDatabase); }
  static void TearDownTestSuite() {
    delete file_;
    file_ = nullptr;
  }
  SqliteFile db_{file_->Path()};
  static TempDatabase* file_;
};

TempDatabase* DemoDatabase::file_ = nullptr;

TEST_F(DemoDatabase, CurrentBalancesEqualTheSumOfTheirBatches) {
  // Both directions: every batch group has its balance row, and every balance row its batches.
  EXPECT_EQ(db_.QueryNumber("select count(*) from (select HH, StockID, sum(SL) q from phk group by HH, StockID) p "
                       "left join ywbalance b on b.hh=p.HH and b.stockid=p.StockID and b.fperiod=0 and b.fyear=0 "
                       "where b.hh is null or abs(b.sjsl - p.q) > 0.00001"),
            0);
  EXPECT_EQ(db_.QueryNumber("select count(*) from ywbalance b where b.fperiod=0 and b.fyear=0 and abs(b.sjsl - "
                       "(select ifnull(sum(SL),0) from phk p where p.HH=b.hh and p.StockID=b.stockid)) > 0.00001"),
            0);
  EXPECT_EQ(db_.QueryNumber("select count(*) from phk where SL < 0"), 0);
  // Every batch row balances: received plus transferred in minus transferred out.
  EXPECT_EQ(db_.QueryNumber("select count(*) from phk where abs(qckc + jhsl - xhsl + qtsrsl - qtfcsl - thsl + brsl - bcsl - SL)"
                       " > 0.00001"),
            0);
}

TEST_F(DemoDatabase, GoodsPlaceBalancesAddUpToTheBatchesOfTheirWarehouses) {
  EXPECT_EQ(db_.QueryNumber("select count(*) from phk p inner join gl_stock w on p.StockID=w.id and w.FDeleted=1 "
                       "where abs(p.SL - (select ifnull(sum(CurrQuantity),0) from GoodsPlaceBalance g where "
                       "g.WarehouseGuid=p.StockID and g.MaterielGuid=p.HH and g.BatchNo=p.PH and g.BatchNumber=p.DH)) > 0.00001"),
            0);
  EXPECT_EQ(db_.QueryNumber("select count(*) from GoodsPlaceBalance g inner join gl_stock w on g.WarehouseGuid=w.id "
                       "where ifnull(w.FDeleted,0)=0"),
            0);
  EXPECT_EQ(db_.QueryNumber("select count(*) from GoodsPlaceBalance g left join GoodsPlace p on g.GoodsPlaceGuid=p.GoodsPlaceGuid "
                       "and g.WarehouseGuid=p.WarehouseGuid where p.GoodsPlaceGuid is null"),
            0);
  EXPECT_GT(db_.QueryNumber("select count(*) from GoodsPlaceBalance"), 10);
}

TEST_F(DemoDatabase, OpenBillsCanBeAuditedFromTheStockThereIs) {
  EXPECT_EQ(db_.QueryNumber("select count(*) from ckdbdzk"), 4);
  EXPECT_EQ(db_.QueryNumber("select count(*) from ckdbdzk where shbz=1"), 1);
  EXPECT_EQ(db_.QueryNumber("select count(*) from ckdbdzk a left join ckdbdzkmx b on a.lsh=b.lsh where b.lsh is null"), 0);
  EXPECT_EQ(db_.QueryNumber("select count(*) from ckdbdzkmx m inner join ckdbdzk h on m.lsh=h.lsh where h.shbz=0 and "
                       "m.sl > (select ifnull(sum(SL),0) from phk p where p.HH=m.hh and p.StockID=h.dcstockid "
                       "and p.PH=m.ph and p.DH=m.pcdh)"),
            0);
  // Lines copy their header's warehouses, as the line save writes them.
  EXPECT_EQ(db_.QueryNumber("select count(*) from ckdbdzkmx m inner join ckdbdzk h on m.lsh=h.lsh "
                       "where m.dcstockid<>h.dcstockid or m.drstockid<>h.drstockid"),
            0);
  // The audited bill's goods arrived in its in-warehouse.
  EXPECT_EQ(db_.QueryNumber("select count(*) from ckdbdzkmx m inner join ckdbdzk h on m.lsh=h.lsh where h.shbz=1 and "
                       "not exists (select 1 from phk p where p.HH=m.hh and p.StockID=h.drstockid and p.PH=m.ph "
                       "and p.DH=m.pcdh and p.brsl >= m.sl)"),
            0);
  // An open bill into a goods-place warehouse already has its places, adding up to each line.
  EXPECT_EQ(db_.QueryNumber("select count(*) from ckdbdzkmx m inner join ckdbdzk h on m.lsh=h.lsh inner join gl_stock w "
                       "on h.drstockid=w.id and w.FDeleted=1 where abs(m.sl - (select ifnull(sum(Quantity),0) from "
                       "BillGoodsPlace g where g.BillType='WarehouseIn' and g.BillGuid=m.lsh and g.BillDetailGuid=m.dh)) > 0.00001"),
            0);
}

}  // namespace
