// The report window over the demo database: what it hands its grid, its toolbar, and what the
// user sees when the report cannot be read.
#include <gtest/gtest.h>

#include <string>

#include "browse/FrmReport.h"
#include "db/DatabaseFactory.h"
#include "host/KeyCodes.h"
#include "host/ScriptedUserInterface.h"
#include "support/ShownBoxes.h"
#include "support/TempDatabase.h"

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
    form.SetUserDefStr1("free");
  }

  testsupport::TempDatabase db;
  std::string transcript;
  ScriptedUserInterface ui;
  FrmReport form;
};

TEST_F(FrmReportTest, LoadingHandsTheGridItsParametersShowsTheNameAndLoadsTheRows) {
  form.Load();
  const QvGrid& grid = form.ReportGrid();
  EXPECT_EQ(grid.ConnectStr(), db.ConnStr());
  EXPECT_EQ(grid.UserDefStr1(), "free");
  EXPECT_FALSE(grid.IsShowOrder());
  EXPECT_EQ(form.Control(FrmReport::kTitleLabel).caption, "仓库调拨单--浏览");
  EXPECT_EQ(form.Control("导出").toolTip, "数据导出至Excel");
  EXPECT_EQ(transcript, "report \"RC\" \"仓库调拨单--浏览\" 2024-03-05 2024-03-06 4\n");
  EXPECT_EQ(form.Grid(FrmReport::kGrid)->Rows(), 5);
  EXPECT_FALSE(ui.Busy());
  EXPECT_EQ(form.Focus(), FrmReport::kGrid);
}

TEST_F(FrmReportTest, TheToolbarRunsTheGridCommandsRefreshesAndCloses) {
  form.Load();
  transcript.clear();
  for (const char* button : {"预览", "导出", "属性", "过滤", "页面"}) form.Click(button);
  EXPECT_EQ(transcript, "reportcommand 1\nreportcommand 2\nreportcommand 3\nreportcommand 4\nreportcommand 5\n");

  db.Run({"update ckdbdzk set jzbz=1 where lsh='DBD202403010001'"});
  form.Click("刷新");
  EXPECT_EQ(form.Grid(FrmReport::kGrid)->Rows(), 4);
  EXPECT_TRUE(form.IsOpen());
  form.Click("返回");
  EXPECT_FALSE(form.IsOpen());
}

TEST_F(FrmReportTest, EscInTheGridCloses) {
  form.Load();
  form.KeyDown(FrmReport::kGrid, key::kEscape);
  EXPECT_FALSE(form.IsOpen());
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

}  // namespace
}  // namespace storeadjust
