#pragma once
// An empty module database in a temporary folder with a session open on it, for the browser's
// tests. Raw runs statements straight through SQLite (triggers that make a statement fail).
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <initializer_list>
#include <random>
#include <string>

#include "adodb/Connection.h"
#include "db/DatabaseFactory.h"
#include "host/Session.h"
#include "host_support/RecordingUserInterface.h"

namespace storeadjust::browsertest {

class BrowserDatabase {
 public:
  BrowserDatabase() {
    std::random_device random;
    folder_ = std::filesystem::temp_directory_path() / ("storeadjust-brow-" + std::to_string(random()));
    std::filesystem::create_directories(folder_);
    path_ = (folder_ / "erp.db").string();
    db::CreateEmptyDatabase(path_);
    session.ConnStr = db::EmbeddedConnectionString(path_);
    session.Ui = &ui;
    session.Conn = std::make_shared<adodb::Connection>();
    session.Conn->Open(session.ConnStr);
  }
  ~BrowserDatabase() {
    session.Conn->Close();
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
  }
  BrowserDatabase(const BrowserDatabase&) = delete;
  BrowserDatabase& operator=(const BrowserDatabase&) = delete;

  void Run(std::initializer_list<std::string> statements) {
    for (const auto& sql : statements) session.Conn->Execute(sql);
  }
  void Raw(const std::string& sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path_.c_str(), &db), SQLITE_OK);
    char* error = nullptr;
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error), SQLITE_OK) << (error ? error : "");
    sqlite3_free(error);
    sqlite3_close(db);
  }
  long Count(const std::string& sql) {
    auto rs = session.Conn->OpenRecordset(sql);
    return static_cast<long>(rs->Value(std::size_t{0}).AsInt32());
  }

  // A bill with two lines and one goods-place row per line.
  void AddBill(const std::string& quotedLsh, int shbz) {
    Run({"insert into ckdbdzk (lsh, kdrq, dcstockid, drstockid, czry, shbz, jzbz) values ('" + quotedLsh +
             "', '2024-03-01', '01', '02', '系统管理员', " + std::to_string(shbz) + ", 0)",
         "insert into ckdbdzkmx (lsh, dh, hh, sl) values ('" + quotedLsh + "', '1001', '0001', 1)",
         "insert into ckdbdzkmx (lsh, dh, hh, sl) values ('" + quotedLsh + "', '1002', '0003', 2)",
         "insert into BillGoodsPlace (BillType, BillGuid, BillDetailGuid, Quantity) values ('WarehouseIn', '" +
             quotedLsh + "', '1001', 1)",
         "insert into BillGoodsPlace (BillType, BillGuid, BillDetailGuid, Quantity) values ('WarehouseOut', '" +
             quotedLsh + "', '1002', 2)"});
  }
  // Header, lines and goods-place rows of the bill, as "h/l/g".
  std::string Parts(const std::string& quotedLsh) {
    return std::to_string(Count("select count(*) from ckdbdzk where lsh='" + quotedLsh + "'")) + "/" +
           std::to_string(Count("select count(*) from ckdbdzkmx where lsh='" + quotedLsh + "'")) + "/" +
           std::to_string(Count("select count(*) from BillGoodsPlace where BillGuid='" + quotedLsh + "'"));
  }

  hosttest::RecordingUserInterface ui;
  Session session;

 private:
  std::filesystem::path folder_;
  std::string path_;
};

}  // namespace storeadjust::browsertest
