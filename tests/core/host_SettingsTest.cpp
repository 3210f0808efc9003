// Loading the system settings from sys_var and t_SystemProfile.
#include <gtest/gtest.h>

#include "host/Settings.h"
#include "support/Fields.h"
#include "support/ModuleSession.h"

namespace storeadjust {
namespace {

using testsupport::Fields;
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
  const SessionSettings s = Load();
  EXPECT_TRUE(ui.Boxes().empty());
  // sys_var's xz2 of 2 means 6.
  EXPECT_EQ(Fields(s.slws, s.ztdh, s.xz2, s.xz9, s.sf_tag, s.ckperiod, s.qyzt, s.LengthOfMakeHH, s.LengthOfMakeCustomID,
                   s.AutoMakeHH, s.CHKZHJJ, s.AutoMakeSuperID),
            "3|9|6|7|T|3|1|4|4|1|1|0|");
}

// An unconvertible value ends loading but keeps what was loaded; a missing profile table is shown
// and gives the defaults.
TEST_F(SettingsTest, AFailingProfileIsShownAndKeepsWhatWasLoadedOrTheDefaults) {
  Profile("LengthOfMakeHH", "6");
  Profile("FCurrYear", "soon");
  Profile("FinanceCloseInit", "1");
  SessionSettings s = Load();
  EXPECT_EQ(ShownBoxes(ui), "64 系统提示|Type mismatch\n");
  EXPECT_EQ(Fields(s.xz2, s.LengthOfMakeHH, s.FinanceCloseInit), "6|6|0|");
  db.Run({"drop table t_SystemProfile"});
  s = Load();
  EXPECT_NE(ShownBoxes(ui).find("64 系统提示|Type mismatch\n48 系统提示|"), std::string::npos) << ShownBoxes(ui);
  EXPECT_EQ(Fields(s.LengthOfMakeHH, s.FCurrYear), "4|0|");
}

}  // namespace
}  // namespace storeadjust
