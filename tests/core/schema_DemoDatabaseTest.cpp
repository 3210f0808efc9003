// The demo database's stock adds up across batches, balances and goods places. That its open
// bills can be audited from the stock there is, the state engine's tests and scenarios show by
// auditing them.
#include <gtest/gtest.h>

#include "db/DatabaseFactory.h"
#include "db/SqliteFile.h"
#include "support/TempDatabase.h"

namespace {

using storeadjust::db::SqliteFile;

TEST(DemoDatabase, BalancesBatchesAndGoodsPlacesAddUp) {
  const testsupport::TempDatabase file(storeadjust::db::CreateDemoDatabase);
  SqliteFile db(file.Path());
  // Both directions: every batch group has its balance row, and every balance row its batches.
  EXPECT_EQ(db.QueryNumber("select count(*) from (select HH, StockID, sum(SL) q from phk group by HH, StockID) p "
                           "left join ywbalance b on b.hh=p.HH and b.stockid=p.StockID and b.fperiod=0 and b.fyear=0 "
                           "where b.hh is null or abs(b.sjsl - p.q) > 0.00001"),
            0);
  EXPECT_EQ(db.QueryNumber("select count(*) from ywbalance b where b.fperiod=0 and b.fyear=0 and abs(b.sjsl - "
                           "(select ifnull(sum(SL),0) from phk p where p.HH=b.hh and p.StockID=b.stockid)) > 0.00001"),
            0);
  EXPECT_EQ(db.QueryNumber("select count(*) from phk where SL < 0"), 0);
  // Every batch row balances: received plus transferred in minus transferred out.
  EXPECT_EQ(db.QueryNumber("select count(*) from phk where abs(qckc + jhsl - xhsl + qtsrsl - qtfcsl - thsl + brsl - bcsl - SL)"
                           " > 0.00001"),
            0);
  // Goods places hold exactly the batches of the warehouses kept by place, and only those.
  EXPECT_EQ(db.QueryNumber("select count(*) from phk p inner join gl_stock w on p.StockID=w.id and w.FDeleted=1 "
                           "where abs(p.SL - (select ifnull(sum(CurrQuantity),0) from GoodsPlaceBalance g where "
                           "g.WarehouseGuid=p.StockID and g.MaterielGuid=p.HH and g.BatchNo=p.PH and g.BatchNumber=p.DH)) > 0.00001"),
            0);
  EXPECT_EQ(db.QueryNumber("select count(*) from GoodsPlaceBalance g inner join gl_stock w on g.WarehouseGuid=w.id "
                           "where ifnull(w.FDeleted,0)=0"),
            0);
  EXPECT_EQ(db.QueryNumber("select count(*) from GoodsPlaceBalance g left join GoodsPlace p on g.GoodsPlaceGuid=p.GoodsPlaceGuid "
                           "and g.WarehouseGuid=p.WarehouseGuid where p.GoodsPlaceGuid is null"),
            0);
  EXPECT_GT(db.QueryNumber("select count(*) from GoodsPlaceBalance"), 10);
}

}  // namespace
