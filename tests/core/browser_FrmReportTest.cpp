// The report window: what it loads, which grid command each toolbar button runs, what the user sees when the report
// cannot be read, and the period the browser's 报表 gives it (the scenarios cannot see the period).
#include <gtest/gtest.h>

#include <string>

#include "browse/FrmReport.h"
#include "browse/FrmStoreAdjuctBillBrow.h"
#include "support/ModuleSession.h"

namespace storeadjust {
namespace {

class FrmReportTest : public ::testing::Test {
 protected:
  FrmReportTest() : db(db::CreateDemoDatabase), ui([this](const std::string& line) { transcript += line + "\n"; }),
                    form(ui) {
    form.SetConnectStr(db.ConnStr());
    form.SetDataSource("select lsh as 流水号, czry as 操作人员 from ckdbdzk where jzbz=0 order by lsh");
    form.SetDataFormat(0);
    form.SetReportCode("RC");
    form.SetReportName("仓库调拨单--浏览");
    form.SetStartDate("2024-03-05");
    form.SetEndDate("2024-03-06");
  }

  testsupport::TempDatabase db;
  std::string transcript;
  ScriptedUserInterface ui;
  FrmReport form;
};

// Rows the clerk filtered out do not pass for rows that are not there: the title band says the
// report is filtered until the filter is cleared. Scripts read the label's text, the name alone.
TEST_F(FrmReportTest, AFilteredReportSaysSoInItsTitleBand) {
  form.Load();
  EXPECT_EQ(transcript, "report \"RC\" \"仓库调拨单--浏览\" 2024-03-05 2024-03-06 4\n");
  EXPECT_EQ(form.Grid(FrmReport::kGrid)->Rows(), 5);
  EXPECT_EQ(form.Control(FrmReport::kTitleLabel).caption, "仓库调拨单--浏览");
  form.ReportGrid().SetFilter(1, {"张三"});  // what the filter dialog leaves after 过滤
  form.Click("过滤");
  EXPECT_EQ(form.Grid(FrmReport::kGrid)->Rows(), 2);
  EXPECT_EQ(form.Control(FrmReport::kTitleLabel).caption, "仓库调拨单--浏览（已过滤）");
  EXPECT_EQ(form.Text(FrmReport::kTitleLabel), "仓库调拨单--浏览");
  form.Click("刷新");
  EXPECT_EQ(form.Control(FrmReport::kTitleLabel).caption, "仓库调拨单--浏览（已过滤）");
  form.ReportGrid().ClearFilters();
  form.Click("过滤");
  EXPECT_EQ(form.Control(FrmReport::kTitleLabel).caption, "仓库调拨单--浏览");
}

TEST_F(FrmReportTest, AReportThatCannotBeReadIsShownAndTheWindowStaysOpen) {
  form.SetDataSource("select lsh from no_such_table");
  form.Load();
  EXPECT_NE(testsupport::ShownBoxes(ui).find("64 系统提示|"), std::string::npos) << testsupport::ShownBoxes(ui);
  EXPECT_NE(testsupport::ShownBoxes(ui).find("no_such_table"), std::string::npos) << testsupport::ShownBoxes(ui);
  EXPECT_TRUE(form.IsOpen());
  EXPECT_EQ(form.Grid(FrmReport::kGrid)->Rows(), 1);
  EXPECT_FALSE(ui.Busy());
}

TEST(BrowseReportTest, ThePeriodIsTheBusinessDayEvenWhenTheHostHandsATimeWithIt) {
  testsupport::TempDatabase db{db::CreateDemoDatabase};
  std::string transcript;
  ScriptedUserInterface ui{[&](const std::string& line) { transcript += line + "\n"; }};
  Session session = testsupport::OpenBrowserSession(db, ui);
  session.SysDate = adodb::Date{2024, 3, 5, 17, 45, 0};
  long shownRows = -1;
  ui.ModalLoop = [&](FormModel& form) {
    shownRows = static_cast<FrmReport&>(form).ReportGrid().Rows();
    form.Close();
  };
  FrmStoreAdjuctBillBrow browser(session);
  browser.Load();
  transcript.clear();
  browser.Click("报表");
  EXPECT_EQ(transcript,
            "report \"仓库调拨单--浏览\" \"仓库调拨单--浏览\" 2024-03-05 2024-03-05 8\nopen FrmReport\nclosed FrmReport\n");
  EXPECT_EQ(shownRows, 9);
}

}  // namespace
}  // namespace storeadjust
