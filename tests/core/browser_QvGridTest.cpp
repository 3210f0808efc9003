// The report grid over a real embedded database: what it loads, and that sorting, filtering and
// arranging columns show the right rows in the right order without losing any.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "adodb/Error.h"
#include "browse/QvGrid.h"
#include "db/DatabaseFactory.h"
#include "host/ScriptedUserInterface.h"
#include "support/TempDatabase.h"

namespace storeadjust {
namespace {

// Six bill lines: two serials share a day and a quantity, so a stable sort shows whether ties
// keep the query's order; one line has no quantity and one remark holds a quote.
struct ReportDatabase : testsupport::TempDatabase {
  ReportDatabase() : TempDatabase(db::CreateEmptyDatabase) {
    Run({"insert into ckdbdzk (lsh, kdrq, dcstockid, drstockid, bz, czry, shbz, jzbz) values "
         "('B1', '2024-03-02', '01', '02', 'O''Neil', '张三', 0, 0), "
         "('B2', '2024-03-01', '01', '03', '补货', '李四', 0, 0), "
         "('B3', '2024-03-02', '02', '03', '补货', '张三', 0, 0)",
         "insert into ckdbdzkmx (lsh, dh, hh, sl, dj) values "
         "('B1', '1001', '0001', 5, 1.5), ('B1', '1002', '0002', 12, 2), ('B2', '1001', '0003', 5, 3), "
         "('B3', '1001', '0004', NULL, 4), ('B3', '1002', '0005', 5, 0.25), ('B3', '1003', '0006', 7, 8)"});
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
    grid.SetReportCode("RC");
    grid.SetReportName("调拨明细");
    grid.SetStartDate("2024-03-01");
    grid.SetEndDate("2024-03-31");
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
  std::string Header() const {
    std::string names;
    for (long col = 0; col < grid.Cols(); ++col) names += (col ? "|" : "") + grid.TextMatrix(0, col);
    return names;
  }

  ReportDatabase db;
  std::string transcript;
  ScriptedUserInterface ui;
  QvGrid grid;
};

TEST_F(QvGridTest, LoadsTheQueryWithNumbersDatesAndTextsAndReportsTheLoad) {
  EXPECT_EQ(transcript, "report \"RC\" \"调拨明细\" 2024-03-01 2024-03-31 6\n");
  ASSERT_EQ(grid.Columns().size(), 6u);
  EXPECT_EQ(grid.Columns()[kDay].type, ReportColumnType::Date);
  EXPECT_EQ(grid.Columns()[kQty].type, ReportColumnType::Number);
  EXPECT_EQ(grid.Columns()[kLsh].type, ReportColumnType::Text);
  EXPECT_EQ(grid.Rows(), 7);
  EXPECT_EQ(Header(), "流水号|开单日期|操作人员|单号|数量|备注");
  EXPECT_EQ(grid.TextMatrix(1, kRemark), "O'Neil");
  EXPECT_EQ(grid.TextMatrix(1, kDay), "2024-03-02");
  EXPECT_EQ(grid.TextMatrix(4, kQty), "");  // NULL quantity
  EXPECT_EQ(grid.ColAlignment(kQty), GridModel::Alignment::Right);
  EXPECT_THROW(grid.SetTextMatrix(1, kRemark, "x"), adodb::Error);
}

TEST_F(QvGridTest, SortingIsStableBothWaysAndStartsFromTheQueryOrderEachTime) {
  grid.SortBy(kQty, QvGrid::SortOrder::Ascending);
  EXPECT_EQ(ShownLines(), "B3/1001 B1/1001 B2/1001 B3/1002 B3/1003 B1/1002");  // NULL first, ties in query order
  grid.SortBy(kQty, QvGrid::SortOrder::Descending);
  EXPECT_EQ(ShownLines(), "B1/1002 B3/1003 B1/1001 B2/1001 B3/1002 B3/1001");
  grid.SortBy(kDay, QvGrid::SortOrder::Descending);
  EXPECT_EQ(ShownLines(), "B1/1001 B1/1002 B3/1001 B3/1002 B3/1003 B2/1001");
  grid.ClearSort();
  EXPECT_EQ(ShownLines(), "B1/1001 B1/1002 B2/1001 B3/1001 B3/1002 B3/1003");
}

TEST_F(QvGridTest, FiltersOnSeveralColumnsKeepTheSortAndLoseNoRowWhenCleared) {
  EXPECT_EQ(grid.DistinctValues(kMaker), (std::vector<std::string>{"张三", "李四"}));
  EXPECT_EQ(grid.DistinctValues(kQty), (std::vector<std::string>{"", "12", "5", "7"}));
  grid.SortBy(kQty, QvGrid::SortOrder::Descending);
  grid.SetFilter(kMaker, {"张三"});
  EXPECT_EQ(ShownLines(), "B1/1002 B3/1003 B1/1001 B3/1002 B3/1001");
  grid.SetFilter(kQty, {"5", ""});
  EXPECT_EQ(ShownLines(), "B1/1001 B3/1002 B3/1001");
  EXPECT_EQ(grid.Rows(), 4);
  grid.SetFilter(kMaker, {"王五"});
  EXPECT_EQ(grid.Rows(), 1);
  EXPECT_EQ(grid.Row, 0);  // nothing left to stand on but the header
  grid.ClearFilter(kMaker);
  EXPECT_EQ(ShownLines(), "B1/1001 B2/1001 B3/1002 B3/1001");
  grid.ClearFilters();
  EXPECT_EQ(grid.ShownRowCount(), 6u);
  EXPECT_EQ(grid.LoadedRowCount(), 6u);
}

TEST_F(QvGridTest, HiddenAndMovedColumnsChangeWhatTheGridShowsNotTheValues) {
  grid.SetColumnVisible(kDay, false);
  grid.MoveColumn(kRemark, -10);
  grid.MoveColumn(kLsh, 2);  // past the hidden day too
  EXPECT_EQ(Header(), "备注|操作人员|流水号|单号|数量");
  EXPECT_EQ(grid.TextMatrix(1, 2), "B1");
  EXPECT_EQ(grid.ColumnAtGridCol(4), std::optional<std::size_t>(kQty));
  EXPECT_THROW(grid.SetColumnOrder({0, 1, 2, 3, 4, 4}), adodb::Error);
  grid.SetColumnOrder({5, 4, 3, 2, 1, 0});
  grid.SetColumnVisible(kDay, true);
  EXPECT_EQ(Header(), "备注|数量|单号|操作人员|开单日期|流水号");
  grid.SetIsShowOrder(true);
  EXPECT_EQ(grid.Cols(), 7);
  EXPECT_EQ(grid.TextMatrix(0, 0), "序号");
  EXPECT_EQ(grid.TextMatrix(3, 0), "3");
  EXPECT_EQ(grid.ColumnAtGridCol(0), std::nullopt);
  EXPECT_EQ(grid.TextMatrix(3, 1), "补货");
}

TEST_F(QvGridTest, ReloadKeepsTheViewOfTheSameColumnsAndSeesNewRows) {
  grid.SortBy(kLine, QvGrid::SortOrder::Descending);
  grid.SetFilter(kMaker, {"张三"});
  grid.SetColumnVisible(kRemark, false);
  db.Run({"insert into ckdbdzkmx (lsh, dh, hh, sl) values ('B1', '1009', '0009', 1)"});
  grid.Reload();
  EXPECT_EQ(ShownLines(), "B1/1009 B3/1003 B1/1002 B3/1002 B1/1001 B3/1001");
  EXPECT_EQ(grid.Cols(), 5);

  grid.SetDataSource("select lsh as 流水号 from ckdbdzk order by lsh");
  grid.Reload();
  EXPECT_EQ(grid.Rows(), 4);
  EXPECT_TRUE(grid.Filters().empty());
  EXPECT_FALSE(grid.SortColumn().has_value());
}

TEST_F(QvGridTest, AFailedReloadKeepsTheRowsShownAndReportsNothing) {
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
  EXPECT_EQ(grid.Rows(), 4);
  EXPECT_EQ(grid.TextMatrix(1, 0), "B3");
  EXPECT_EQ(grid.TextMatrix(3, 1), "O'Neil");
  EXPECT_EQ(rs->AbsolutePosition(), 3);
  rs->Close();
  EXPECT_THROW(grid.Reload(), adodb::Error);
}

TEST_F(QvGridTest, CommandsOneToFiveGoToTheUserInterfaceAndChangeNothing) {
  transcript.clear();
  for (int command = 0; command <= 6; ++command) grid.Command(command);
  EXPECT_EQ(transcript, "reportcommand 1\nreportcommand 2\nreportcommand 3\nreportcommand 4\nreportcommand 5\n");
  EXPECT_EQ(ShownLines(), "B1/1001 B1/1002 B2/1001 B3/1001 B3/1002 B3/1003");
}

}  // namespace
}  // namespace storeadjust
