// Loading the system settings from sys_var and t_SystemProfile.
#include <gtest/gtest.h>

#include "host/Settings.h"
#include "support/ModuleSession.h"

namespace storeadjust {
namespace {

using testsupport::ShownBoxes;
using testsupport::TempDatabase;

class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    db.Run({"insert into sys_var values (3, 2, 2, 2, 2, 4, 2, 1, 9, 1, 0, 1, 0, 0, 0, 0, 0, 1, 5, 2, 0, 0, 0, 0, 0, 0, 7, 1, 0, 1, "
            "0, 1, 2, 1, 0, 'T', 0, 1, 12, 3, 1)"});
  }
  void Profile(const std::string& key, const std::string& value) {
    db.Run({"insert into t_SystemProfile (FCategory, FKey, FValue) values ('GL', '" + key + "', '" + value + "')"});
  }
  SessionSettings Load() {
    Session session = testsupport::OpenSession(db, ui);
    LoadSystemSettings(session);
    return session.Settings;
  }

  TempDatabase db{db::CreateEmptyDatabase};
  ScriptedUserInterface ui;
};

// Fields are read by column position, so a column out of place shifts every later field. Profile
// numbers fall back on their default for words and blanks; flags are on only for true or 1.
TEST_F(SettingsTest, SysVarFillsItsFieldsInColumnOrderAndProfileValuesFallBack) {
  Profile("LengthOfMakeHH", "   ");
  Profile("LengthOfMakeCustomID", "abc");
  Profile("AutoMakeHH", "True");
  Profile("CHKZHJJ", "1");
  Profile("AutoMakeSuperID", "yes");
  SessionSettings s = Load();
  EXPECT_TRUE(ui.Boxes().empty());
  EXPECT_EQ(s.slws, 3);
  EXPECT_EQ(s.ztdh, 9);
  EXPECT_EQ(s.xz2, 6);  // sys_var's 2 means 6
  EXPECT_EQ(s.xz9, 7);
  EXPECT_EQ(s.sf_tag, "T");
  EXPECT_EQ(s.ckperiod, 3);
  EXPECT_TRUE(s.qyzt);
  EXPECT_EQ(s.LengthOfMakeHH, 4);
  EXPECT_EQ(s.LengthOfMakeCustomID, 4);
  EXPECT_EQ(s.AutoMakeHH, 1);
  EXPECT_TRUE(s.CHKZHJJ);
  EXPECT_EQ(s.AutoMakeSuperID, 0);
}

// An unconvertible value ends loading but keeps what was loaded; a missing profile table is shown
// and gives the defaults.
TEST_F(SettingsTest, AFailingProfileIsShownAndKeepsWhatWasLoadedOrTheDefaults) {
  Profile("LengthOfMakeHH", "6");
  Profile("FCurrYear", "soon");
  Profile("FinanceCloseInit", "1");
  SessionSettings s = Load();
  EXPECT_EQ(ShownBoxes(ui), "64 系统提示|Type mismatch\n");
  EXPECT_EQ(s.xz2, 6);
  EXPECT_EQ(s.LengthOfMakeHH, 6);
  EXPECT_FALSE(s.FinanceCloseInit);
  db.Run({"drop table t_SystemProfile"});
  s = Load();
  EXPECT_NE(ShownBoxes(ui).find("64 系统提示|Type mismatch\n48 系统提示|"), std::string::npos) << ShownBoxes(ui);
  EXPECT_EQ(s.LengthOfMakeHH, 4);
  EXPECT_EQ(s.FCurrYear, 0);
}

}  // namespace
}  // namespace storeadjust
