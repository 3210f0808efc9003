// The browser's report command as the report window receives it: the period the clerk sees, and
// what he is told when the report cannot be read.
#include <gtest/gtest.h>

#include <string>

#include "browse/FrmReport.h"
#include "browse/FrmStoreAdjuctBillBrow.h"
#include "db/SqliteFile.h"
#include "support/ModuleSession.h"

namespace storeadjust {
namespace {

class BrowseReportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    session.OptCode = "001";
    session.OptName = "系统管理员";
    ui.ModalLoop = [this](FormModel& form) {
      auto& report = static_cast<FrmReport&>(form);
      shownRows = report.ReportGrid().Rows();
      form.Close();
    };
  }

  testsupport::TempDatabase db{db::CreateDemoDatabase};
  std::string transcript;
  ScriptedUserInterface ui{[this](const std::string& line) { transcript += line + "\n"; }};
  Session session = testsupport::OpenSession(db, ui);
  long shownRows = -1;
};

TEST_F(BrowseReportTest, ThePeriodIsTheBusinessDayEvenWhenTheHostHandsATimeWithIt) {
  session.SysDate = adodb::Date{2024, 3, 5, 17, 45, 0};
  FrmStoreAdjuctBillBrow browser(session);
  browser.Load();
  transcript.clear();
  browser.Click("报表");
  EXPECT_EQ(transcript,
            "report \"仓库调拨单--浏览\" \"仓库调拨单--浏览\" 2024-03-05 2024-03-05 8\nopen FrmReport\nclosed FrmReport\n");
  EXPECT_EQ(shownRows, 9);
  EXPECT_TRUE(ui.Boxes().empty());
}

TEST_F(BrowseReportTest, AReportTheDatabaseRefusesIsShownInAnEmptyWindow) {
  session.SysDate = adodb::Date{2024, 3, 5};
  FrmStoreAdjuctBillBrow browser(session);
  browser.Load();
  db::SqliteFile(db.Path()).Execute("drop table KCLB");
  browser.Click("报表");
  EXPECT_EQ(testsupport::ShownBoxes(ui).rfind("64 系统提示|", 0), 0u) << testsupport::ShownBoxes(ui);
  EXPECT_NE(testsupport::ShownBoxes(ui).find("KCLB"), std::string::npos) << testsupport::ShownBoxes(ui);
  EXPECT_EQ(shownRows, 1);
  EXPECT_FALSE(ui.Busy());
}

}  // namespace
}  // namespace storeadjust
