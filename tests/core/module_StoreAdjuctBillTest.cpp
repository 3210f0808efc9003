// Execute: the session connection, the settings, the operator look-up and the failure handler.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <cstdlib>
#include <iterator>

#include "adodb/Error.h"
#include "module/StoreAdjuctBill.h"
#include "support/Fields.h"
#include "support/ModuleSession.h"

namespace storeadjust {
namespace {

using testsupport::ShownBoxes;
using testsupport::TempDatabase;

class StoreAdjuctBillTest : public ::testing::Test {
 protected:
  void SetUp() override {
    db.Run({"insert into sys_var values (2,2,2,2,2,2,2,0,0,0,0,0,0,0,0,0,0,0,0,3,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,'',0,0,0,0,0)",
            "insert into t_SystemProfile (FCategory, FKey, FValue) values ('GL', 'LengthOfMakeHH', '5')",
            "insert into Operators values ('001', 'G-001', 'Admin')", "insert into Operators values ('O''Neil', 'G-ONEIL', 'Quote')"});
    bill.SetConnStr(db.ConnStr());
    bill.SetOptCode("O'Neil");
    bill.SetSysDate(adodb::Date{2026, 5, 1});
  }

  TempDatabase db{db::CreateEmptyDatabase};
  ScriptedUserInterface ui;
  StoreAdjuctBill bill{ui};
};

// The operator code holds a quote, which must not break the look-up.
TEST_F(StoreAdjuctBillTest, ExecuteLoadsTheSessionShowsTheBrowserAndClosesConn) {
  int shown = 0;
  bill.ShowBrowser = [&](Session& session) {
    ++shown;
    ASSERT_TRUE(session.Conn && session.Conn->State() == adodb::adStateOpen);
    EXPECT_EQ(testsupport::Fields(session.OptGuid, session.Settings.xz2, session.Settings.LengthOfMakeHH), "G-ONEIL|5|5|");
  };
  bill.Execute();
  EXPECT_EQ(shown, 1);
  EXPECT_EQ(bill.GetSession().Conn, nullptr);
  EXPECT_TRUE(ui.Boxes().empty());
}

// An error the browser lets escape ends Execute through the handler, which closes the connection.
TEST_F(StoreAdjuctBillTest, ABrowserFailureIsShownOnceAndLeavesNoConnectionOpen) {
  std::shared_ptr<adodb::Connection> conn;
  bill.ShowBrowser = [&](Session& session) {
    conn = session.Conn;
    throw adodb::Error::Provider("browser failed");
  };
  bill.Execute();
  EXPECT_EQ(ShownBoxes(ui), "48 系统提示|browser failed\n");
  ASSERT_NE(conn, nullptr);
  EXPECT_EQ(conn->State(), adodb::adStateClosed);
}

// The ERP opens a file an older version made, without a trigger that holds dates in their stored
// form: the module's own session brings it back before the browser shows (the launcher: LauncherOlderFile).
TEST_F(StoreAdjuctBillTest, AnOlderFileGetsTheTriggersThatHoldItsValuesBeforeTheBrowserShows) {
  sqlite3* raw = nullptr;
  sqlite3_open(db.Path().c_str(), &raw);
  sqlite3_exec(raw, "drop trigger ckdbdzk_kdrq_stored_form_on_insert", nullptr, nullptr, nullptr);
  sqlite3_close(raw);
  const std::string held = "select count(*) from sqlite_master where name = 'ckdbdzk_kdrq_stored_form_on_insert'";
  bill.ShowBrowser = [&](Session&) { EXPECT_EQ(db.Count(held), 1); };
  bill.Execute();
  EXPECT_TRUE(ui.Boxes().empty());
}

// Another program's SQLite file is refused once, naming the missing table, before the session
// opens it: its bytes stay as they were, no journal switched to WAL, no browser shown.
TEST_F(StoreAdjuctBillTest, AFileThatIsNotTheModulesIsRefusedUnchanged) {
  TempDatabase other([](const std::string& path) {
    sqlite3* raw = nullptr;
    sqlite3_open(path.c_str(), &raw);
    sqlite3_exec(raw, "create table ckdbdzk (lsh varchar(30))", nullptr, nullptr, nullptr);
    sqlite3_close(raw);
  });
  const auto bytes = [&] {
    std::ifstream in(other.Path(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  const std::string before = bytes();
  bill.ShowBrowser = [](Session&) { ADD_FAILURE() << "the browser was shown"; };
  bill.SetConnStr(other.ConnStr());
  bill.Execute();
  EXPECT_EQ(ShownBoxes(ui), "48 系统提示|数据库 " + other.Path() + " 中没有本模块的表 ckdbdzkmx，它不是调拨单模块的数据库。\n");
  EXPECT_EQ(bytes(), before);
  EXPECT_FALSE(std::filesystem::exists(other.Path() + "-wal"));
}

// A data source whose file is missing is refused before the SQLite ODBC driver makes it empty.
TEST_F(StoreAdjuctBillTest, ADataSourceWhoseFileIsMissingIsRefusedWithoutMakingIt) {
  const std::string missing = db.Path() + "-gone.db", odbcIni = db.Path() + "-odbc.ini";
  std::ofstream(odbcIni) << "[Gone]\nDriver=SQLite3\nDatabase=" << missing << "\n";
  setenv("ODBCINI", odbcIni.c_str(), 1);
  bill.SetConnStr("DSN=Gone;Dialect=SQLite");
  bill.Execute();
  unsetenv("ODBCINI");
  EXPECT_EQ(ShownBoxes(ui), "48 系统提示|数据库文件 " + missing + " 不存在，请检查 odbc.ini 中数据源 Gone 的 Database=；要新建一个请用 storeadjust-db empty 或 demo。\n");
  EXPECT_FALSE(std::filesystem::exists(missing));
}

}  // namespace
}  // namespace storeadjust
