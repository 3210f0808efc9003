// The report's export read back out of the .xlsx file (unzip): a spreadsheet user must get
// numbers he can add up, dates he can sort, the columns he chose in his order and the rows he
// filtered, and no broken file when the export cannot be written.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "adodb/Error.h"
#include "browse/QvGrid.h"
#include "browse/ReportXlsxExport.h"
#include "db/DatabaseFactory.h"
#include "host/ScriptedUserInterface.h"
#include "support/TempDatabase.h"

namespace storeadjust {
namespace {

std::string Unzipped(const std::filesystem::path& file, const std::string& member) {
  const std::string command = "unzip -p '" + file.string() + "' " + member + " 2>/dev/null";
  std::string text;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return text;
  char buffer[4096];
  for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, n);
  pclose(pipe);
  return text;
}

// The XML of one cell ("<c r="B4" ...>...</c>"), or empty text when the sheet has none there.
std::string CellXml(const std::string& sheet, const std::string& ref) {
  const std::size_t start = sheet.find("<c r=\"" + ref + "\"");
  if (start == std::string::npos) return {};
  const std::size_t tagEnd = sheet.find('>', start);
  if (tagEnd == std::string::npos) return {};
  if (sheet[tagEnd - 1] == '/') return sheet.substr(start, tagEnd + 1 - start);
  const std::size_t end = sheet.find("</c>", tagEnd);
  return end == std::string::npos ? std::string() : sheet.substr(start, end + 4 - start);
}

class ReportXlsxExportTest : public ::testing::Test {
 protected:
  ReportXlsxExportTest() : db(db::CreateEmptyDatabase), grid(ui) {
    db.Run({"insert into ckdbdzk (lsh, kdrq, dcstockid, drstockid, bz, czry, shbz, jzbz) values "
            "('B1', '2024-03-01', '01', '02', 'O''Neil & <Sons>', '张三', 0, 0), "
            "('B2', '2024-03-02 13:30:00', '01', '03', '补货', '李四', 0, 0)",
            "insert into ckdbdzkmx (lsh, dh, hh, sl, dj, je) values "
            "('B1', '1001', '0001', 20, 7.64, 152.8), ('B1', '1002', '0003', 12, 15.2, 182.4), "
            "('B2', '1001', '0014', 10, 10.8, 108)"});
    grid.SetConnectStr(db.ConnStr());
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

  testsupport::TempDatabase db;
  ScriptedUserInterface ui;
  QvGrid grid;
  std::filesystem::path file = db.Folder() / "report.xlsx";
};

TEST_F(ReportXlsxExportTest, NumbersAreNumbersDatesCarryADateStyleAndTextsAreEscaped) {
  const std::string sheet = Export();
  EXPECT_NE(CellXml(sheet, "A1").find("仓库调拨单--浏览"), std::string::npos);
  EXPECT_NE(CellXml(sheet, "A2").find("2024-03-05 至 2024-03-05"), std::string::npos);
  EXPECT_NE(CellXml(sheet, "A3").find("流水号"), std::string::npos);
  EXPECT_NE(CellXml(sheet, "F3").find("金额"), std::string::npos);

  const std::string quantity = CellXml(sheet, "E4");
  EXPECT_NE(quantity.find("<v>20</v>"), std::string::npos) << quantity;
  EXPECT_EQ(quantity.find(" t=\""), std::string::npos) << quantity;
  EXPECT_NE(CellXml(sheet, "F5").find("<v>182.4</v>"), std::string::npos);

  // 2024-03-01 is day 45352 of the spreadsheet's calendar; a time of day is the fraction.
  const std::string day = CellXml(sheet, "B4");
  EXPECT_NE(day.find("<v>45352</v>"), std::string::npos) << day;
  EXPECT_NE(day.find(" s=\""), std::string::npos) << day;
  EXPECT_NE(CellXml(sheet, "B6").find("<v>45353.5625</v>"), std::string::npos);
  const std::string styles = Unzipped(file, "xl/styles.xml");
  EXPECT_NE(styles.find("formatCode=\"yyyy-mm-dd\""), std::string::npos);

  EXPECT_NE(CellXml(sheet, "C4").find("O'Neil &amp; &lt;Sons&gt;"), std::string::npos);
  EXPECT_NE(CellXml(sheet, "D4").find("0001"), std::string::npos);  // a code stays text: no leading zero lost
  EXPECT_EQ(CellXml(sheet, "A7"), "");
}

TEST_F(ReportXlsxExportTest, OnlyTheShownColumnsInTheirOrderAndTheShownRowsInTheirOrder) {
  grid.SetColumnVisible(2, false);             // 备注
  grid.MoveColumn(5, -5);                      // 金额 first
  grid.SortBy(5, QvGrid::SortOrder::Descending);
  grid.SetFilter(0, {"B1"});
  grid.SetIsShowOrder(true);
  const std::string sheet = Export();
  EXPECT_NE(CellXml(sheet, "A3").find("序号"), std::string::npos);
  EXPECT_NE(CellXml(sheet, "B3").find("金额"), std::string::npos);
  EXPECT_NE(CellXml(sheet, "C3").find("流水号"), std::string::npos);
  EXPECT_EQ(sheet.find("备注"), std::string::npos);
  EXPECT_EQ(sheet.find("O'Neil"), std::string::npos);
  EXPECT_NE(CellXml(sheet, "A4").find("<v>1</v>"), std::string::npos);
  EXPECT_NE(CellXml(sheet, "B4").find("<v>182.4</v>"), std::string::npos);
  EXPECT_NE(CellXml(sheet, "B5").find("<v>152.8</v>"), std::string::npos);
  EXPECT_EQ(CellXml(sheet, "A6"), "");
}

TEST_F(ReportXlsxExportTest, AFileThatCannotBeWrittenIsAnErrorAndLeavesNothing) {
  const std::filesystem::path missing = db.Folder() / "no such folder" / "report.xlsx";
  try {
    ExportReportToXlsx(grid, missing.string());
    FAIL() << "no error";
  } catch (const adodb::Error& error) {
    EXPECT_NE(error.Description().find(missing.string()), std::string::npos) << error.Description();
  }
  EXPECT_FALSE(std::filesystem::exists(missing));
}

}  // namespace
}  // namespace storeadjust
