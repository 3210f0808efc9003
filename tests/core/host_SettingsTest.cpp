// Loading the system settings from sys_var and t_SystemProfile.
#include <gtest/gtest.h>

#include "host/Settings.h"
#include "support/ModuleSession.h"

namespace storeadjust {
namespace {

using testsupport::ShownBoxes;
using testsupport::TempDatabase;

std::string SysVarRow(int xz2) {
  return "insert into sys_var values (3, 2, 2, 2, 2, 4, 2, 1, 9, 1, 0, 1, 0, 0, 0, 0, 0, 1, 5, " + std::to_string(xz2) +
         ", 0, 0, 0, 0, 0, 0, 7, 1, 0, 1, 0, 1, 2, 1, 0, 'T', 0, 1, 12, 3, 1)";
}

class SettingsTest : public ::testing::Test {
 protected:
  void Profile(const std::string& key, const std::string& value, const std::string& category = "GL") {
    db.Run({"insert into t_SystemProfile (FCategory, FKey, FValue) values ('" + category + "', '" + key + "', '" + value + "')"});
  }

  SessionSettings Load() {
    Session session = testsupport::OpenSession(db, ui);
    LoadSystemSettings(session);
    return session.Settings;
  }

  TempDatabase db{db::CreateEmptyDatabase};
  ScriptedUserInterface ui;
};

TEST_F(SettingsTest, SysVarFillsItsFieldsInColumnOrderWithTheXz2Mapping) {
  db.Run({SysVarRow(2)});
  SessionSettings s = Load();
  EXPECT_TRUE(ui.Boxes().empty());
  EXPECT_EQ(s.slws, 3);
  EXPECT_EQ(s.wsjws, 4);
  EXPECT_EQ(s.ztdh, 9);
  EXPECT_TRUE(s.bz1);
  EXPECT_FALSE(s.bz2);
  EXPECT_TRUE(s.bz9);
  EXPECT_EQ(s.xz1, 5);
  EXPECT_EQ(s.xz2, 6);
  EXPECT_EQ(s.xz9, 7);
  EXPECT_TRUE(s.rkdsh);
  EXPECT_FALSE(s.ykdsh);
  EXPECT_TRUE(s.lsjz);
  EXPECT_EQ(s.ykfs, 2);
  EXPECT_EQ(s.sf_tag, "T");
  EXPECT_EQ(s.jzyf, 12);
  EXPECT_EQ(s.ckperiod, 3);
  EXPECT_TRUE(s.qyzt);
}

TEST_F(SettingsTest, NumberLengthRuleFallsBackOnWordsAndBlanks) {
  db.Run({SysVarRow(0)});
  for (const char* value : {"abc", "", "   "}) {
    db.Run({"delete from t_SystemProfile"});
    Profile("LengthOfMakeHH", value);
    EXPECT_EQ(Load().LengthOfMakeHH, 4) << "'" << value << "'";
  }
  db.Run({"delete from t_SystemProfile"});
  Profile("LengthOfMakeHH", "6");
  SessionSettings s = Load();
  EXPECT_EQ(s.LengthOfMakeHH, 6);
  EXPECT_EQ(s.LengthOfForeSuperID, 1);
  EXPECT_EQ(s.LengthOfMakeCustomID, 4);
}

TEST_F(SettingsTest, FlagRuleTakesTrueInAnyCaseAndOneOnly) {
  for (const char* on : {"true", "True", "TRUE", "1"}) EXPECT_TRUE(IsProfileFlagOn(on)) << on;
  for (const char* off : {"yes", "0", "", "2", "T"}) EXPECT_FALSE(IsProfileFlagOn(off)) << off;
  db.Run({SysVarRow(0)});
  Profile("AutoMakeHH", "True");
  Profile("CHKZHJJ", "1");
  Profile("AutoMakeSuperID", "yes");
  SessionSettings s = Load();
  EXPECT_EQ(s.AutoMakeHH, 1);
  EXPECT_TRUE(s.CHKZHJJ);
  EXPECT_EQ(s.AutoMakeSuperID, 0);
}

TEST_F(SettingsTest, AnUnconvertibleValueEndsLoadingButKeepsWhatWasLoaded) {
  db.Run({SysVarRow(2)});
  Profile("LengthOfMakeHH", "6");
  Profile("FCurrYear", "soon");
  Profile("FinanceCloseInit", "1");
  Session session = testsupport::OpenSession(db, ui);
  LoadSystemSettings(session);
  EXPECT_EQ(ShownBoxes(ui), "64 系统提示|Type mismatch\n");
  EXPECT_EQ(session.Settings.xz2, 6);
  EXPECT_EQ(session.Settings.LengthOfMakeHH, 6);
  EXPECT_FALSE(session.Settings.FinanceCloseInit);
}

TEST_F(SettingsTest, AMissingProfileTableIsShownPerKeyAndGivesTheDefaults) {
  db.Run({SysVarRow(0), "drop table t_SystemProfile"});
  SessionSettings s = Load();
  EXPECT_FALSE(ui.Boxes().empty());
  EXPECT_EQ(ui.Boxes()[0].title, "系统提示");
  EXPECT_EQ(ui.Boxes()[0].buttons, mb::kExclamation);
  EXPECT_EQ(s.LengthOfMakeHH, 4);
  EXPECT_EQ(s.FCurrYear, 0);
}

}  // namespace
}  // namespace storeadjust
