#pragma once
// An empty module database with a session open on it, for the browser's tests. Raw runs a
// statement straight through SQLite (triggers that make a statement fail).
#include <string>

#include "db/DatabaseFactory.h"
#include "db/SqliteFile.h"
#include "support/ModuleSession.h"

namespace storeadjust::browsertest {

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

}  // namespace storeadjust::browsertest
