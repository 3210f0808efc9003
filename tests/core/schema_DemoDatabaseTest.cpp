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

std::vector<std::string> Split(const std::string& text) {
  std::vector<std::string> parts;
  std::stringstream stream(text);
  for (std::string part; std::getline(stream, part, ',');) parts.push_back(part);
  return parts;
}

TEST_F(DemoDatabase, HasTheCatalogueAClerkExpects) {
  EXPECT_EQ(db_.QueryNumber("select count(*) from gl_stock"), 12);
  EXPECT_EQ(db_.QueryNumber("select count(*) from gl_stock where FDeleted=1"), 3);
  EXPECT_EQ(db_.QueryNumber("select count(*) from yw_kck"), 40);
  EXPECT_GE(db_.QueryNumber("select count(*) from yw_kck where jjff=5"), 2);
  EXPECT_EQ(db_.QueryNumber("select count(*) from yw_kck where fonlymoney=1"), 1);
  EXPECT_EQ(db_.QueryNumber("select count(*) from yw_kck a left join KCLB b on a.lb=b.ID where b.ID is null"), 0);
  EXPECT_EQ(db_.QueryNumber("select count(*) from sys_var"), 1);
  EXPECT_EQ(RawText(db_, "select FValue from t_SystemProfile where FCategory='GL' and FKey='StartStoreAdjustOK'"), "0");
  EXPECT_EQ(RawText(db_, "select fprefix || fdteformat || Fnumdigit from t_billnum where fid=75 and fused=1"), "DBD[日期]4");
  EXPECT_EQ(db_.QueryNumber("select count(*) from GLSelect"), 0);
}

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

TEST_F(DemoDatabase, TheAdministratorHoldsEveryRightOfTheModule) {
  const std::string model = RawText(db_, "select guid from RightModel where OldRightModel='A10402'");
  ASSERT_FALSE(model.empty());
  const std::string admin = RawText(db_, "select Guid from Operators where Code='001'");
  ASSERT_FALSE(admin.empty());
  const std::vector<std::string> rights = {"新增", "修改", "删除", "打印", "重打", "报表", "记帐",
                                           "审核", "反审", "确认", "反确认", "查看所有用户", "查看本组用户"};
  for (const auto& right : rights) {
    bool found = false;
    for (int list = 1; list <= 3 && !found; ++list) {
      const auto names = Split(RawText(db_, "select RightInfo" + std::to_string(list) + " from RightModel where guid='" + model + "'"));
      const auto values = Split(RawText(db_, "select RightValue" + std::to_string(list) + " from rights where RightModelGuid='" +
                                         model + "' and operatorGuid='" + admin + "'"));
      for (std::size_t i = 0; i < names.size(); ++i) {
        if (names[i] != right) continue;
        found = true;
        ASSERT_LT(i, values.size()) << right;
        EXPECT_EQ(values[i], "1") << right;
      }
    }
    EXPECT_TRUE(found) << right << " is not listed in RightInfo1..3";
  }
}

TEST_F(DemoDatabase, EveryRightsValueListIsAsLongAsItsNameList) {
  for (int list = 1; list <= 3; ++list) {
    const std::string n = std::to_string(list);
    const std::string names = RawText(db_, "select RightInfo" + n + " from RightModel where OldRightModel='A10402'");
    for (const char* table : {"rights", "RightGroup"}) {
      EXPECT_EQ(db_.QueryNumber(std::string("select count(*) from ") + table + " r inner join RightModel m on "
                           "r.RightModelGuid=m.guid where m.OldRightModel='A10402' and "
                           "length(RightValue" + n + ") - length(replace(RightValue" + n + ", ',', '')) <> " +
                           std::to_string(Split(names).size() - 1)),
                0)
          << table << " RightValue" << n;
    }
  }
}

}  // namespace
