// The report grid over a real embedded database: sorting, filtering and arranging columns show
// the right rows in the right order without losing any; and its export read back out of the .xlsx
// file (unzip): a spreadsheet user must get numbers he can add up, dates he can sort, the columns
// he chose in his order and the rows he filtered, and no broken file when it cannot be written.
// Then the report window over it: what the user sees when the report cannot be read, the title band
// of a filtered report, and the period the browser's 报表 gives it (the scenarios cannot see the period).
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
#include "host/QvGrid.h"
#include "host/ScriptedUserInterface.h"
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

TEST_F(QvGridTest, FiltersOnSeveralColumnsKeepTheSortAndLoseNoRowWhenCleared) {
  EXPECT_EQ(grid.DistinctValues(kMaker), (std::vector<std::string>{"张三", "李四"}));
  EXPECT_EQ(grid.DistinctValues(kQty), (std::vector<std::string>{"", "5", "7", "12"}));
  grid.SortBy(kQty, QvGrid::SortOrder::Descending);
  grid.SetFilter(kMaker, {"张三"});
  EXPECT_EQ(ShownLines(), "B1/1002 B3/1003 B1/1001 B3/1002 B3/1001");
  grid.SetFilter(kQty, {"5", ""});
  EXPECT_EQ(ShownLines(), "B1/1001 B3/1002 B3/1001");
  grid.SetFilter(kMaker, {"王五"});
  EXPECT_EQ(grid.Rows(), 1);
  EXPECT_EQ(grid.Row, 0);  // nothing left to stand on but the header
  grid.ClearFilter(kMaker);
  EXPECT_EQ(ShownLines(), "B1/1001 B2/1001 B3/1002 B3/1001");
  grid.ClearFilters();
  EXPECT_EQ(grid.ShownRowCount(), 6u);
}

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

TEST_F(QvGridTest, ARecordSetIsShownInItsOwnOrderAndLeftWhereItWas) {
  auto rs = db.Open()->OpenRecordset("select lsh, bz from ckdbdzk");
  rs->Sort("lsh DESC");
  rs->MoveLast();
  grid.SetDataFormat(1);
  grid.SetRecoreSet(rs);
  grid.Reload();
  EXPECT_EQ(testsupport::Fields(grid.Rows(), grid.TextMatrix(1, 0), grid.TextMatrix(3, 1), rs->AbsolutePosition()),
            "4|B3|O'Neil & <Sons>|3|");
}
// Quantities and prices show at the site's places on screen and on paper, as in the editor's
// grid, while the cells keep the figures as stored (what scripts compare); a bill date another
// program stored with a time of day shows as its day, as in the list and on the slip.
TEST_F(QvGridTest, FiguresShowAtTheSitesPlacesAndADateAsItsDay) {
  grid.SetNumberPlaces({2, 3});
  grid.SetDataSource("select a.kdrq as 开单日期, b.sl as 数量, b.dj as 单价, b.je as 金额 from ckdbdzk a "
                     "inner join ckdbdzkmx b on a.lsh = b.lsh where a.lsh = 'B2'");
  grid.Reload();
  EXPECT_EQ(testsupport::Fields(grid.ShownText(1, 0), grid.ShownText(1, 1), grid.ShownText(1, 2), grid.ShownText(1, 3),
                                grid.TextMatrix(1, 1)),
            "2024-03-01|5.00|3.000|15.00|5|");
}

std::string Unzipped(const std::filesystem::path& file, const std::string& member) {
  std::string text;
  FILE* pipe = popen(("unzip -p '" + file.string() + "' " + member + " 2>/dev/null").c_str(), "r");
  char buffer[4096];
  for (std::size_t n; pipe && (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, n);
  if (pipe) pclose(pipe);
  return text;
}

// The XML of one cell ("<c r="B4" ...>...</c>"), or empty text when the sheet has none there.
std::string CellXml(const std::string& sheet, const std::string& ref) {
  const std::size_t start = sheet.find("<c r=\"" + ref + "\"");
  const std::size_t tagEnd = sheet.find('>', start);
  if (start == std::string::npos || tagEnd == std::string::npos) return {};
  if (sheet[tagEnd - 1] == '/') return sheet.substr(start, tagEnd + 1 - start);
  const std::size_t end = sheet.find("</c>", tagEnd);
  return end == std::string::npos ? std::string() : sheet.substr(start, end + 4 - start);
}

// Whether each cell's XML holds its text; a list of (cell, text) pairs reads as the sheet does.
::testing::AssertionResult CellsHave(const std::string& sheet,
                                     std::initializer_list<std::pair<const char*, std::string>> cells) {
  for (const auto& [ref, text] : cells) {
    const std::string cell = CellXml(sheet, ref);
    if (cell.find(text) == std::string::npos) return ::testing::AssertionFailure() << ref << " lacks " << text << ": " << cell;
  }
  return ::testing::AssertionSuccess();
}

class ReportXlsxExportTest : public QvGridTest {
 protected:
  ReportXlsxExportTest() {
    grid.SetDataSource(
        "select a.lsh as 流水号, a.kdrq as 开单日期, a.bz as 备注, b.hh as 货号, b.sl as 数量, b.je as 金额 "
        "from ckdbdzk a inner join ckdbdzkmx b on a.lsh = b.lsh order by a.lsh, b.dh");
    grid.SetReportName("仓库调拨单--浏览");
    grid.SetStartDate("2024-03-05");
    grid.SetEndDate("2024-03-05");
    grid.Reload();
  }
  std::string Export() {
    ExportReportToXlsx(grid, file.string());
    return Unzipped(file, "xl/worksheets/sheet1.xml") + Unzipped(file, "xl/sharedStrings.xml");
  }

  std::filesystem::path file = db.Folder() / "report.xlsx";
};

// The totals row: "合计" and, per numeric column, a SUM over exactly the data rows with its value
// cached ("<f>SUM(E4:E9)</f><v>34</v>"); the line without a quantity or amount adds nothing; text
// and date columns are not summed.
TEST_F(ReportXlsxExportTest, NumbersAndDatesAreNumbersAndTextsAreEscaped) {
  const std::string sheet = Export();
  // 2024-03-02 is day 45353 of the spreadsheet's calendar; a time of day is the fraction. A code
  // stays text: no leading zero lost.
  EXPECT_TRUE(CellsHave(sheet, {{"A1", "仓库调拨单--浏览"}, {"A2", "2024-03-05 至 2024-03-05"}, {"F3", "金额"},
                                {"E5", "<v>12</v>"}, {"F9", "<v>56</v>"}, {"F8", "<v>1.25</v>"}, {"B4", "<v>45353</v>"},
                                {"B6", "<v>45352.5625</v>"}, {"C4", "O'Neil &amp; &lt;Sons&gt;"}, {"D4", "0001"},
                                {"A10", "合计"}, {"E10", "<f>SUM(E4:E9)</f>"}, {"E10", "<v>34</v>"},
                                {"F10", "<f>SUM(F4:F9)</f>"}, {"F10", "<v>103.75</v>"}}));
  EXPECT_EQ(CellXml(sheet, "E5").find(" t=\""), std::string::npos) << CellXml(sheet, "E5");
  // Numbers show cents and every further place they are stored with (to six), not 2 alone.
  EXPECT_NE(Unzipped(file, "xl/styles.xml").find("formatCode=\"#,##0.00####\""), std::string::npos);
  EXPECT_EQ(CellXml(sheet, "B10") + CellXml(sheet, "D10") + CellXml(sheet, "A11"), "");
}

// The totals add up the filtered rows only, under the columns where they now stand; the title
// says the report is filtered.
TEST_F(ReportXlsxExportTest, OnlyTheShownColumnsInTheirOrderAndTheShownRowsInTheirOrder) {
  grid.SetColumnVisible(2, false);  // 备注
  grid.MoveColumn(5, -5);           // 金额 first
  grid.SortBy(5, QvGrid::SortOrder::Descending);
  grid.SetFilter(0, {"B1"});
  grid.SetIsShowOrder(true);
  const std::string sheet = Export();
  EXPECT_TRUE(CellsHave(sheet, {{"A1", "仓库调拨单--浏览（已过滤）"}, {"A3", "序号"}, {"B3", "金额"}, {"C3", "流水号"}, {"A4", "<v>1</v>"}, {"B4", "<v>24</v>"},
                                {"B5", "<v>7.5</v>"}, {"A6", "合计"}, {"B6", "<f>SUM(B4:B5)</f>"}, {"B6", "<v>31.5</v>"},
                                {"F6", "<f>SUM(F4:F5)</f>"}, {"F6", "<v>17</v>"}}));
  EXPECT_EQ(sheet.find("备注"), std::string::npos);
  EXPECT_EQ(sheet.find("O'Neil"), std::string::npos);
  EXPECT_EQ(CellXml(sheet, "A7"), "");
}

// Unit prices get no total: what they add up to is no figure of the report. The total a reader
// sees without calculating is the sum of the figures, not of their binary forms.
TEST_F(ReportXlsxExportTest, UnitPricesAreNotSummedAndATotalCarriesNoBinaryNoise) {
  grid.SetDataSource("select b.hh as 货号, b.dj as 单价, b.je as 金额 from ckdbdzkmx b order by b.lsh, b.dh");
  grid.Reload();
  const std::string sheet = Export();
  EXPECT_TRUE(CellsHave(sheet, {{"B4", "<v>1.5</v>"}, {"A10", "合计"}, {"C10", "<f>SUM(C4:C9)</f>"}}));
  EXPECT_EQ(CellXml(sheet, "B10"), "");
  db.Run({"update ckdbdzkmx set je=0.5 where lsh='B1' and dh='1001'",
          "update ckdbdzkmx set je=0.07 where lsh='B1' and dh='1002'"});
  grid.SetDataSource("select b.je as 金额 from ckdbdzkmx b where b.lsh='B1'");
  grid.Reload();
  EXPECT_TRUE(CellsHave(Export(), {{"A6", "<f>SUM(A4:A5)</f><v>0.57</v>"}}));
  // Figures that cancel out total 0, not a trace below it that reads -0.000000.
  grid.SetDataSource("select 0.3 as 金额 union all select -0.1 union all select -0.2");
  grid.Reload();
  EXPECT_TRUE(CellsHave(Export(), {{"A7", "<f>SUM(A4:A6)</f><v>0</v>"}}));
}

// The number format of a cell: its format code, or the id of a built-in one.
std::string NumberFormatOf(const std::string& sheet, const std::string& styles, const std::string& ref) {
  const std::string cell = CellXml(sheet, ref);
  const std::size_t style = cell.find(" s=\"");
  if (style == std::string::npos) return {};
  std::size_t xf = styles.find("<cellXfs");
  for (int n = std::stoi(cell.substr(style + 4)); n >= 0; --n) xf = styles.find("<xf ", xf + 1);
  const std::size_t idAt = styles.find("numFmtId=\"", xf) + 10;
  const std::string id = styles.substr(idAt, styles.find('"', idAt) - idAt);
  const std::size_t code = styles.find("<numFmt numFmtId=\"" + id + "\" formatCode=\"");
  if (code == std::string::npos) return id;
  const std::size_t codeAt = styles.find("formatCode=\"", code) + 12;
  return styles.substr(codeAt, styles.find('"', codeAt) - codeAt);
}

// A site keeping whole quantities reads 12 boxes in the workbook, not 12.00 as money; a quantity
// stored with places keeps them; amounts keep their cents.
TEST_F(ReportXlsxExportTest, QuantitiesHaveTheirOwnNumberFormat) {
  db.Run({"update ckdbdzkmx set sl=7.25 where lsh='B3' and dh='1003'"});
  grid.SetNumberPlaces({0, 2});
  grid.Reload();
  const std::string sheet = Export();
  const std::string styles = Unzipped(file, "xl/styles.xml");
  EXPECT_EQ(testsupport::Fields(NumberFormatOf(sheet, styles, "E5"), NumberFormatOf(sheet, styles, "E9"),
                                NumberFormatOf(sheet, styles, "E10"), NumberFormatOf(sheet, styles, "F9")),
            "#,##0|#,##0.00|#,##0.00|#,##0.00|");
}

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
