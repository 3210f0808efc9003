// The report grid over a real embedded database: a reload keeps the clerk's view and line, and an
// export that cannot be written leaves no broken file. Then the report window over it: what the
// user sees when the report cannot be read, and the period the browser's 报表 gives it.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "adodb/Error.h"
#include "browse/FrmReport.h"
#include "browse/FrmStoreAdjuctBillBrow.h"
#include "browse/ReportXlsxExport.h"
#include "db/DatabaseFactory.h"
#include "host/KeyCodes.h"
#include "host/QvGrid.h"
#include "host/ScriptedUserInterface.h"
#include "support/DemoCopy.h"
#include "support/ErrorOf.h"
#include "support/Fields.h"
#include "support/ModuleSession.h"
#include "support/TempDatabase.h"

namespace storeadjust {
namespace {

// Six bill lines: two serials share a day and a quantity, so a stable sort shows whether ties
// keep the query's order; one line has no quantity, one remark holds XML's special characters and
// one date a time of day.
struct ReportDatabase : testsupport::TempDatabase {
  ReportDatabase() : TempDatabase(db::CreateEmptyDatabase) {
    Run({"insert into ckdbdzk (lsh, kdrq, dcstockid, drstockid, bz, czry, shbz, jzbz) values "
         "('B1', '2024-03-02', '01', '02', 'O''Neil & <Sons>', '张三', 0, 0), "
         "('B2', '2024-03-01 13:30:00', '01', '03', '补货', '李四', 0, 0), "
         "('B3', '2024-03-02', '02', '03', '补货', '张三', 0, 0)",
         "insert into ckdbdzkmx (lsh, dh, hh, sl, dj, je) values "
         "('B1', '1001', '0001', 5, 1.5, 7.5), ('B1', '1002', '0002', 12, 2, 24), ('B2', '1001', '0003', 5, 3, 15), "
         "('B3', '1001', '0004', NULL, 4, NULL), ('B3', '1002', '0005', 5, 0.25, 1.25), "
         "('B3', '1003', '0006', 7, 8, 56)"});
  }
};

constexpr const char* kQuery =
    "select a.lsh as 流水号, a.kdrq as 开单日期, a.czry as 操作人员, b.dh as 单号, b.sl as 数量, a.bz as 备注 "
    "from ckdbdzk a inner join ckdbdzkmx b on a.lsh = b.lsh order by a.lsh, b.dh";
enum Col : std::size_t { kLsh, kDay, kMaker, kLine, kQty, kRemark };

class QvGridTest : public ::testing::Test {
 protected:
  QvGridTest() : ui([this](const std::string& line) { transcript += line + "\n"; }), grid(ui) {
    grid.SetDataFormat(0);
    grid.SetConnectStr(db.ConnStr());
    grid.SetDataSource(kQuery);
    grid.Reload();
  }

  // The serial and line of every shown row, "B1/1001 B1/1002 ...".
  std::string ShownLines() const {
    std::string lines;
    for (std::size_t row = 0; row < grid.ShownRowCount(); ++row) {
      lines += (lines.empty() ? "" : " ") + grid.Value(row, kLsh).AsText() + "/" + grid.Value(row, kLine).AsText();
    }
    return lines;
  }
  ReportDatabase db;
  std::string transcript;
  ScriptedUserInterface ui;
  QvGrid grid;
};

// The clerk stays on his line (B3/1002) as new lines come in above it and the order changes.
TEST_F(QvGridTest, ReloadKeepsTheViewAndTheClerksLineSeesNewRowsAndSurvivesAFailure) {
  grid.SortBy(kLine, QvGrid::SortOrder::Descending);
  grid.SetFilter(kMaker, {"张三"});
  grid.SetColumnVisible(kRemark, false);
  grid.Row = 3;
  const auto lineOfRow = [this] {
    return grid.Value(grid.Row - 1, kLsh).AsText() + "/" + grid.Value(grid.Row - 1, kLine).AsText();
  };
  db.Run({"insert into ckdbdzkmx (lsh, dh, hh, sl) values ('B1', '1009', '0009', 1)"});
  grid.Reload();
  EXPECT_EQ(ShownLines(), "B1/1009 B3/1003 B1/1002 B3/1002 B1/1001 B3/1001");
  EXPECT_EQ(grid.Cols(), 5);
  EXPECT_EQ(lineOfRow(), "B3/1002");
  grid.SortBy(kLine, QvGrid::SortOrder::Ascending);
  EXPECT_EQ(lineOfRow(), "B3/1002");

  // A query that fails keeps the rows shown and reports no load.
  transcript.clear();
  grid.SetDataSource("select nothing from nowhere");
  EXPECT_THROW(grid.Reload(), adodb::Error);
  EXPECT_EQ(grid.ShownRowCount(), 6u);
  EXPECT_EQ(transcript, "");
}

using ReportXlsxExportTest = QvGridTest;

TEST_F(ReportXlsxExportTest, AFileThatCannotBeWrittenIsAnErrorAndLeavesNothing) {
  const std::filesystem::path missing = db.Folder() / "no such folder" / "report.xlsx";
  const adodb::Error error = testsupport::ErrorOf([&] { ExportReportToXlsx(grid, missing.string()); });
  EXPECT_NE(error.Description().find(missing.string()), std::string::npos) << error.Description();
  EXPECT_NE(error.Description().find("文件夹 " + missing.parent_path().string() + " 不存在"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(missing));

  // The database itself, chosen by its name while a session works in it, stays as it was.
  auto session = db.Open();
  const auto size = std::filesystem::file_size(db.Path());
  const adodb::Error inUse = testsupport::ErrorOf([&] { ExportReportToXlsx(grid, db.Path()); });
  EXPECT_EQ(inUse.Description(), "导出失败：" + db.Path() + "：它是本程序正在使用的文件（打开着的数据库），没有覆盖它");
  EXPECT_EQ(std::filesystem::file_size(db.Path()), size);
}

// 5 克 and 12 千克 add up to no quantity: the export totals the amounts, and the quantity only of
// rows in one unit (the report narrowed to 克, which takes in a '克 ' another program stored).
TEST_F(ReportXlsxExportTest, QuantitiesInDifferentUnitsGetNoTotal) {
  db.Run({"insert into yw_kck (hh, pdw) values ('0001', '克'), ('0002', '千克'), ('0003', '克 ')"});
  grid.SetDataSource("select c.pdw as 单位, b.sl as 数量, b.je as 金额 from ckdbdzkmx b inner join yw_kck c "
                     "on c.hh=b.hh order by b.lsh, b.dh");
  grid.Reload();
  const auto sums = [&](const std::string& name) {
    const std::string file = (db.Folder() / name).string();
    ExportReportToXlsx(grid, file);
    FILE* pipe = popen(("unzip -p '" + file + "' xl/worksheets/sheet1.xml").c_str(), "r");
    std::string sheet, found;
    char chunk[4096];
    for (std::size_t n; (n = fread(chunk, 1, sizeof chunk, pipe)) > 0;) sheet.append(chunk, n);
    pclose(pipe);
    for (auto at = sheet.find("<f>"); at != std::string::npos; at = sheet.find("<f>", at + 1)) {
      found += sheet.substr(at + 3, sheet.find("</f>", at) - at - 3) + " ";
    }
    return found;
  };
  EXPECT_EQ(sums("all.xlsx"), "SUM(C4:C6) ");
  EXPECT_EQ(grid.DistinctValues(0), (std::vector<std::string>{"克", "千克"}));
  grid.SetFilter(0, {"克"});
  EXPECT_EQ(sums("g.xlsx"), "SUM(B4:B5) SUM(C4:C5) ");
}

class FrmReportTest : public ::testing::Test {
 protected:
  FrmReportTest() : db(testsupport::DemoCopy), ui([this](const std::string& line) { transcript += line + "\n"; }),
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

TEST_F(FrmReportTest, AReportThatCannotBeReadIsShownAndTheWindowStaysOpen) {
  form.SetDataSource("select lsh from no_such_table");
  form.Load();
  EXPECT_NE(testsupport::ShownBoxes(ui).find("64 系统提示|"), std::string::npos) << testsupport::ShownBoxes(ui);
  EXPECT_NE(testsupport::ShownBoxes(ui).find("no_such_table"), std::string::npos) << testsupport::ShownBoxes(ui);
  EXPECT_TRUE(form.IsOpen());
  EXPECT_EQ(form.Grid(FrmReport::kGrid)->Rows(), 1);
  EXPECT_FALSE(ui.Busy());
}

// The band over the grid shows the title given in 属性 (its dialog sets the grid's properties),
// as the printout and the export do.
TEST_F(FrmReportTest, TheTitleBandShowsTheTitleGivenInProperties) {
  form.Load();
  form.ReportGrid().SetProperties({"三月份调拨"});
  form.Click("属性");
  EXPECT_EQ(form.Control(FrmReport::kTitleLabel).caption, "三月份调拨");
}

// A bill another program stored with its posted flag NULL is not posted: listed and reported.
TEST(BrowseReportTest, ThePeriodIsTheBusinessDayEvenWhenTheHostHandsATimeWithItAndUnpostedBillsAreAllIn) {
  testsupport::TempDatabase db{testsupport::DemoCopy};
  db.Run({"update ckdbdzk set jzbz=NULL where lsh='DBD202403020004'"});
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
  EXPECT_EQ(browser.ListGrid().Rows(), 5);
  transcript.clear();
  browser.Click("报表");
  EXPECT_EQ(transcript,
            "report \"仓库调拨单--浏览\" \"仓库调拨单--浏览\" 2024-03-05 2024-03-05 8\nopen FrmReport\nclosed FrmReport\n");
  EXPECT_EQ(shownRows, 9);
  // The list found down to the two bills of 1 March: the report has their five lines, and says so.
  browser.Type(FrmStoreAdjuctBillBrow::kFind, "DBD20240301");
  browser.KeyDown(FrmStoreAdjuctBillBrow::kFind, key::kReturn);
  transcript.clear();
  browser.Click("报表");
  EXPECT_EQ(transcript.substr(0, transcript.find(" 2024")), "report \"仓库调拨单--浏览\" \"仓库调拨单--浏览（已过滤）\"");
  EXPECT_EQ(shownRows, 6);
  // Typed in a Chinese input method's full-width mode, the serial still finds those bills.
  browser.Type(FrmStoreAdjuctBillBrow::kFind, "ＤＢＤ２０２４０３０１");
  browser.KeyDown(FrmStoreAdjuctBillBrow::kFind, key::kReturn);
  EXPECT_EQ(browser.ListGrid().Rows(), 3);
}

}  // namespace
}  // namespace storeadjust
