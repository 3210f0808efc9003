// What the browser does to whole bills, at the level the scenarios cannot reach: deleting and
// posting in one transaction when the database fails, serials holding a quote, and the stock of
// goods kept without batches. A bill audited by another clerk between the deletion's check and its
// transaction keeping its lines is held by the two-command matrix (delete bill against audit).
#include <gtest/gtest.h>

#include "adodb/Error.h"
#include "browse/MarkedBillPosting.h"
#include "browse/StockDistribution.h"
#include "db/SqliteFile.h"
#include "lines/BillDeletion.h"
#include "support/ErrorOf.h"
#include "support/ModuleSession.h"

namespace storeadjust {
namespace {

// An empty module database with a session open on it. Raw runs a statement straight through
// SQLite (triggers that make a statement fail).
struct BrowserDatabase : testsupport::TempDatabase {
  BrowserDatabase() : TempDatabase(db::CreateEmptyDatabase) {}

  void Raw(const std::string& sql) const { db::SqliteFile(Path()).Execute(sql); }

  // A bill with two lines and one goods-place row per line.
  void AddBill(const std::string& quotedLsh, int shbz) const {
    const std::string bill = "'" + quotedLsh + "'";
    Run({"insert into ckdbdzk (lsh, kdrq, dcstockid, drstockid, czry, shbz, jzbz) values (" + bill +
             ", '2024-03-01', '01', '02', '系统管理员', " + std::to_string(shbz) + ", 0)",
         "insert into ckdbdzkmx (lsh, dh, hh, sl) values (" + bill + ", '1001', '0001', 1)",
         "insert into ckdbdzkmx (lsh, dh, hh, sl) values (" + bill + ", '1002', '0003', 2)",
         "insert into BillGoodsPlace (BillType, BillGuid, BillDetailGuid, Quantity) values ('WarehouseIn', " + bill +
             ", '1001', 1)",
         "insert into BillGoodsPlace (BillType, BillGuid, BillDetailGuid, Quantity) values ('WarehouseOut', " + bill +
             ", '1002', 2)"});
  }
  // Header, lines and goods-place rows of the bill, as "h/l/g".
  std::string Parts(const std::string& quotedLsh) const {
    const std::string is = "='" + quotedLsh + "'";
    return std::to_string(Count("select count(*) from ckdbdzk where lsh" + is)) + "/" +
           std::to_string(Count("select count(*) from ckdbdzkmx where lsh" + is)) + "/" +
           std::to_string(Count("select count(*) from BillGoodsPlace where BillGuid" + is));
  }

  ScriptedUserInterface ui;
  Session session = testsupport::OpenSession(*this, ui);
};

class BillActionsTest : public ::testing::Test {
 protected:
  long Posted(const std::string& quotedLsh) {
    return db.Count("select count(*) from ckdbdzk where jzbz=1 and lsh='" + quotedLsh + "'");
  }
  BrowserDatabase db;
};

TEST_F(BillActionsTest, DeletionTakesTheWholeBillAndNeverAnAuditedOne) {
  db.AddBill("DBD0001", 0);
  db.AddBill("O''Neil", 0);  // a serial holding a quote is one literal, not a broken statement
  db.AddBill("DBD0003", 1);
  db.AddBill("DBD0006", 0);
  // Pre-audited in the two-step flow: its issued stock is accounted, so it is audited too.
  db.Raw("update ckdbdzk set PreShbz=1, PreShry='系统管理员' where lsh='DBD0006'");

  EXPECT_EQ(DeleteBill(db.session, "O'Neil"), BillDeletionResult::Deleted);
  EXPECT_EQ(DeleteBill(db.session, "DBD0003"), BillDeletionResult::Audited);
  EXPECT_EQ(DeleteBill(db.session, "DBD0006"), BillDeletionResult::Audited);
  EXPECT_EQ(DeleteBill(db.session, "DBD9999"), BillDeletionResult::NotFound);

  EXPECT_EQ(db.Parts("O''Neil"), "0/0/0");
  for (const char* kept : {"DBD0001", "DBD0003", "DBD0006"}) EXPECT_EQ(db.Parts(kept), "1/2/2") << kept;
  EXPECT_TRUE(db.ui.Boxes().empty());
}

TEST_F(BillActionsTest, PostingTakesAuditedBillsAndNamesTheOthersInOrder) {
  db.AddBill("DBD0001", 1);
  db.AddBill("DBD0002", 0);
  db.AddBill("O''Neil", 1);
  db.AddBill("DBD0004", 0);

  auto notPosted = PostMarkedBills(db.session, {"DBD0004", "DBD0001", "O'Neil", "DBD0002", "GONE"});

  EXPECT_EQ(notPosted, (std::vector<std::string>{"DBD0004", "DBD0002", "GONE"}));
  EXPECT_EQ(Posted("DBD0001"), 1);
  EXPECT_EQ(Posted("O''Neil"), 1);
  EXPECT_EQ(Posted("DBD0002") + Posted("DBD0004"), 0);
  EXPECT_EQ(NotPostedMessage(notPosted), "流水号为:DBD0004,DBD0002,GONE的单据记帐不成功,可能的原因是单据还没有审核!");
}

TEST_F(BillActionsTest, AFailureInsideRollsTheWholeDeletionOrPostingBack) {
  db.AddBill("DBD0001", 1);
  db.AddBill("DBD0002", 1);
  db.AddBill("DBD0004", 0);
  db.Raw("create trigger keep_places before delete on BillGoodsPlace begin select raise(abort, 'places locked'); end");
  db.Raw("create trigger stop_second before update on ckdbdzk when old.lsh='DBD0002' "
         "begin select raise(abort, 'bill locked'); end");

  const adodb::Error error = testsupport::ErrorOf([&] { DeleteBill(db.session, "DBD0004"); });
  EXPECT_NE(error.Description().find("places locked"), std::string::npos) << error.Description();
  EXPECT_EQ(db.Parts("DBD0004"), "1/2/2");
  EXPECT_TRUE(db.ui.Boxes().empty());  // the browser shows it, once

  EXPECT_THROW(PostMarkedBills(db.session, {"DBD0001", "DBD0002"}), adodb::Error);
  EXPECT_EQ(Posted("DBD0001"), 0);
  EXPECT_FALSE(db.session.Conn->InTransaction());
}

// Goods kept without batches count from their current balance only; goods twice on the bill are
// listed once, empty batches and goods the bill does not move not at all.
TEST_F(BillActionsTest, StockDistributionListsTheBillsGoodsOnceWithAndWithoutBatches) {
  db.Run({"insert into gl_stock (id, name, FDeleted) values ('01', '总仓', 0)",
          "insert into yw_kck (hh, pm) values ('0021', '当归')", "insert into yw_kck (hh, pm) values ('0040', '零货')",
          "insert into ckdbdzk (lsh, kdrq, dcstockid, drstockid) values ('O''Neil', '2024-03-01', '01', '05')",
          "insert into ckdbdzkmx (lsh, dh, hh, sl) values ('O''Neil', '1001', '0021', 1), ('O''Neil', '1002', '0040', "
          "1), ('O''Neil', '1003', '0021', 2)",
          "insert into phk (HH, PH, DH, StockID, SL, xq) values ('0021', '230208', '200211', '01', 13.5, '2025-02-08'), "
          "('0021', '220101', '200210', '01', 0, '2024-01-01'), ('0099', '230101', '200991', '01', 7, '2025-01-01')",
          "insert into ywbalance (hh, stockid, fperiod, fyear, sjsl) values ('0040', '01', 0, 0, 12), "
          "('0040', '05', 2, 2024, 30), ('0021', '01', 0, 0, 13.5)"});
  const StockDistribution distribution = ReadStockDistribution(*db.session.Conn, "O'Neil");
  ASSERT_TRUE(distribution.billHasLines);
  std::vector<std::string> rows;
  for (const StockHolding& h : distribution.holdings) {
    rows.push_back(h.goodsNumber + "|" + h.goodsName + "|" + h.warehouseId + "|" + h.warehouseName + "|" + h.batch +
                   "|" + adodb::FormatNumber(h.quantity) + "|" + h.expiry.TextOrEmpty().substr(0, 10));
  }
  EXPECT_EQ(rows, (std::vector<std::string>{"0021|当归|01|总仓|230208|13.5|2025-02-08", "0040|零货|01|总仓||12|"}));
}

}  // namespace
}  // namespace storeadjust
