// The readers, openers and statement helpers, and the loading of the system settings, against a
// real SQLite database.
#include <gtest/gtest.h>

#include "adodb/Error.h"
#include "host/DataHelpers.h"
#include "host/NumberHelpers.h"
#include "support/Fields.h"
#include "support/ModuleSession.h"
#include "host/Settings.h"

namespace storeadjust {
namespace {

using testsupport::Fields;
using testsupport::ShownBoxes;
using testsupport::TempDatabase;

class DataHelpersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    db.Run({"create table goods (hh varchar(20) primary key, pm varchar(40), dj money, sl int, kdrq datetime)",
            "insert into goods values ('A1', 'Bolt', 2.5, 3, '2026-01-02')",
            "insert into goods values ('A2', null, null, null, null)",
            "insert into goods values ('A3', 'Nut', 1, 7, '2026-03-04')"});
    session = testsupport::OpenSession(db, ui);
  }

  TempDatabase db;
  ScriptedUserInterface ui;
  Session session;
};

// A box left open inside a transaction would keep the database locked for every other clerk:
// there the helpers hand the failure to the command that opened the transaction, which rolls back.
TEST_F(DataHelpersTest, InsideATransactionAFailureIsThrownNotShown) {
  adodb::TransactionGuard transaction(*session.Conn);
  session.Conn->Execute("insert into goods values ('A4', 'Washer', 1, 1, null)");
  EXPECT_THROW(GetFieldValue(session, "select nothing from goods", "nothing"), adodb::Error);
  EXPECT_THROW(OpenRsReadOnly(session, "select * from no_such_table"), adodb::Error);
  EXPECT_TRUE(ui.Boxes().empty());
}

// Without a row a reader gives the default of the column's type group; a missing column or a
// refused statement is shown, each with its own icon and title, and reads empty, zero or nothing.
TEST_F(DataHelpersTest, ReadersGiveDefaultsShowWhatFailsAndSeparateReadsSeeOnlyCommittedRows) {
  const std::string none = "select * from goods where hh='none'";
  EXPECT_EQ(GetFieldValue(session, none, "dj").AsDouble(), 0);
  EXPECT_EQ(GetFieldValue(session, none, "kdrq").AsDate(), (adodb::Date{1900, 1, 1}));
  EXPECT_EQ(GetFieldValue(session, none, "pm").AsText(), "");
  EXPECT_EQ(CountRecords(session, "select * from goods"), 3);
  EXPECT_TRUE(ui.Boxes().empty());
  EXPECT_TRUE(GetFieldValue(session, "select hh from goods", "nosuch").IsEmpty());
  EXPECT_EQ(CountRecords(session, "select * from no_such_table"), 0);
  EXPECT_EQ(OpenRsReadOnly(session, "select * from no_such_table"), nullptr);
  EXPECT_EQ(OpenRsEditable(session, "select * from no_such_table"), nullptr);
  EXPECT_EQ(OpenRsWithConnStr(session, "select * from no_such_table", db.ConnStr()), nullptr);
  const std::string refused = "|no such table: no_such_table\n";
  EXPECT_EQ(ShownBoxes(ui),
            "48 系统提示|Item cannot be found in the collection corresponding to the requested name or ordinal.\n"
            "48 系统提示" + refused + "16 Error:" + refused + "16 Error:" + refused + "64 系统提示" + refused);
  // A separate read does not see the open transaction on Conn.
  session.Conn->BeginTrans();
  session.Conn->Execute("update goods set pm='Changed' where hh='A1'");
  auto own = OpenRsSeparate(session, "select pm from goods where hh='A1'");
  session.Conn->RollbackTrans();
  ASSERT_NE(own, nullptr);
  EXPECT_EQ(own->Value("pm").AsText(), "Bolt");
}

// Money rounds as a person expects: the decimal shown, halves away from zero, never -0.
TEST(NumberHelpersTest, RoundToRoundsTheShownDecimal) {
  EXPECT_EQ(RoundTo(2.675, 2), 2.68);
  EXPECT_EQ(RoundTo(1.005, 2), 1.01);
  EXPECT_EQ(RoundTo(-2.5, 0), -3);
  EXPECT_EQ(RoundTo(123456.7891234, 3), 123456.789);
  EXPECT_EQ(RoundTo(-0.0004, 3), 0);
  EXPECT_EQ(RoundTo(12.5, 7), 0);
  EXPECT_EQ(RoundTo(12.5, -1), 0);
}

// Loading the system settings from sys_var (read by GetSqlValue) and t_SystemProfile. Which field
// each column fills is the scenarios' daily bread: they run on those settings. An unconvertible value ends loading but
// keeps what was loaded; a missing profile table is shown and gives the defaults.
TEST(SettingsTest, AFailingProfileIsShownAndKeepsWhatWasLoadedOrTheDefaults) {
  TempDatabase db{db::CreateEmptyDatabase};
  // sys_var's xz2 of 2 means 6: the row is read before the profile fails.
  db.Run({"insert into sys_var values (3, 2, 2, 2, 2, 4, 2, 1, 9, 1, 0, 1, 0, 0, 0, 0, 0, 1, 5, 2, 0, 0, 0, 0, 0, 0, 7, 1, 0, 1, "
          "0, 1, 2, 1, 0, 'T', 0, 1, 12, 3, 1)",
          "insert into t_SystemProfile (FCategory, FKey, FValue) values ('GL', 'LengthOfMakeHH', '6'), "
          "('GL', 'FCurrYear', 'soon'), ('GL', 'FinanceCloseInit', '1')"});
  ScriptedUserInterface ui;
  const auto load = [&] {
    Session session = testsupport::OpenSession(db, ui);
    LoadSystemSettings(session);
    return session.Settings;
  };
  SessionSettings s = load();
  EXPECT_EQ(ShownBoxes(ui), "64 系统提示|Type mismatch\n");
  EXPECT_EQ(Fields(s.xz2, s.LengthOfMakeHH, s.FinanceCloseInit), "6|6|0|");
  db.Run({"drop table t_SystemProfile"});
  s = load();
  EXPECT_NE(ShownBoxes(ui).find("64 系统提示|Type mismatch\n48 系统提示|"), std::string::npos) << ShownBoxes(ui);
  EXPECT_EQ(Fields(s.LengthOfMakeHH, s.FCurrYear), "4|0|");
}

}  // namespace
}  // namespace storeadjust
