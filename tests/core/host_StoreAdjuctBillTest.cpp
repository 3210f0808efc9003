// Execute: the session connection, the settings, the operator look-up and the failure handler.
#include <gtest/gtest.h>

#include "adodb/Error.h"
#include "host/StoreAdjuctBill.h"
#include "host_support/TempDatabase.h"

namespace storeadjust {
namespace {

using hosttest::RecordingUserInterface;
using hosttest::TempDatabase;

class StoreAdjuctBillTest : public ::testing::Test {
 protected:
  void SetUp() override {
    db.Run({"create table sys_var (slws int, pfjws int, lsjws int, sjws int, hsjws int, wsjws int, cbjws int, "
            "jjbl int, ztdh int, bz1 bit, bz2 bit, bz3 bit, bz4 bit, bz5 bit, bz6 bit, bz7 bit, bz8 bit, bz9 bit, "
            "xz1 int, xz2 int, xz3 int, xz4 int, xz5 int, xz6 int, xz7 int, xz8 int, xz9 int, rkdsh bit, "
            "xhdsh bit, dcdsh bit, ykdsh bit, lsjz bit, ykfs int, glph bit, phzx bit, sf_tag varchar(10), "
            "zdxjbl int, ywjz int, jzyf int, ckperiod int, qyzt bit)",
            "insert into sys_var values (2,2,2,2,2,2,2,0,0,0,0,0,0,0,0,0,0,0,0,3,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,'',"
            "0,0,0,0,0)",
            "create table t_SystemProfile (FCategory varchar(20), FKey varchar(50), FValue varchar(100))",
            "insert into t_SystemProfile values ('GL', 'LengthOfMakeHH', '5')",
            "create table Operators (Code varchar(20), Guid varchar(40), name varchar(40))",
            "insert into Operators values ('001', 'G-001', 'Admin')",
            "insert into Operators values ('O''Neil', 'G-ONEIL', 'Quote')"});
    bill.SetConnStr(db.ConnStr());
    bill.SetOptCode("001");
    bill.SetSysDate(adodb::Date{2026, 5, 1});
  }

  TempDatabase db;
  RecordingUserInterface ui;
  StoreAdjuctBill bill{ui};
};

TEST_F(StoreAdjuctBillTest, ExecuteLoadsTheSessionShowsTheBrowserAndClosesConn) {
  int shown = 0;
  bill.ShowBrowser = [&](Session& session) {
    ++shown;
    ASSERT_NE(session.Conn, nullptr);
    EXPECT_EQ(session.Conn->State(), adodb::adStateOpen);
    EXPECT_EQ(session.OptGuid, "G-001");
    EXPECT_EQ(session.Settings.xz2, 5);
    EXPECT_EQ(session.Settings.LengthOfMakeHH, 5);
  };
  bill.Execute();
  EXPECT_EQ(shown, 1);
  EXPECT_EQ(bill.GetSession().Conn, nullptr);
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(StoreAdjuctBillTest, ASecondExecuteOpensAFreshConnection) {
  std::vector<adodb::Connection*> seen;
  bill.ShowBrowser = [&](Session& session) {
    seen.push_back(session.Conn.get());
    EXPECT_EQ(session.Conn->State(), adodb::adStateOpen);
  };
  bill.Execute();
  bill.SetOptCode("O'Neil");  // a property set between runs affects the next run
  bill.Execute();
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(bill.GetSession().OptGuid, "G-ONEIL");
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(StoreAdjuctBillTest, AnUnknownOperatorLeavesOptGuidEmptyAndTheBrowserStillOpens) {
  bool shown = false;
  bill.ShowBrowser = [&](Session& session) {
    shown = true;
    EXPECT_EQ(session.OptGuid, "");
  };
  bill.SetOptCode("999");
  bill.Execute();
  EXPECT_TRUE(shown);
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(StoreAdjuctBillTest, ARefusedConnectionStringIsShownAndNoBrowserAppears) {
  bool shown = false;
  bill.ShowBrowser = [&](Session&) { shown = true; };
  bill.SetConnStr("Provider=SQLite;Data Source=" + (db.Folder() / "no" / "such" / "dir" / "x.db").string());
  bill.Execute();
  EXPECT_FALSE(shown);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].title, "系统提示");
  EXPECT_EQ(ui.messages[0].buttons, mb::kExclamation);
  EXPECT_FALSE(ui.messages[0].text.empty());
  EXPECT_EQ(bill.GetSession().Conn, nullptr);
}

TEST_F(StoreAdjuctBillTest, AnErrorInsideTheBrowserHookEndsExecuteThroughTheHandler) {
  std::shared_ptr<adodb::Connection> conn;
  bill.ShowBrowser = [&](Session& session) {
    conn = session.Conn;
    throw adodb::Error::Provider("browser failed");
  };
  bill.Execute();
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "browser failed");
  ASSERT_NE(conn, nullptr);
  EXPECT_EQ(conn->State(), adodb::adStateClosed);
}

TEST_F(StoreAdjuctBillTest, DestroyingTheObjectClosesAnOpenConnection) {
  std::shared_ptr<adodb::Connection> conn;
  {
    StoreAdjuctBill other(ui);
    other.GetSession().Conn = std::make_shared<adodb::Connection>();
    other.GetSession().Conn->Open(db.ConnStr());
    conn = other.GetSession().Conn;
  }
  EXPECT_EQ(conn->State(), adodb::adStateClosed);
}

}  // namespace
}  // namespace storeadjust
