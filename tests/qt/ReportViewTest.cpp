// The report's desktop window and dialogs over the demo database: header clicks sort, Esc and
// 返回 close, the dialogs change what the grid shows, and the printout carries the report.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPrinter>
#include <QSpinBox>
#include <QTableView>
#include <QTest>
#include <cstdio>
#include <string>
#include <memory>

#include "QtTestSupport.h"
#include "browse/FrmReport.h"
#include "db/DatabaseFactory.h"
#include "host/ScriptedUserInterface.h"
#include "qt/CjkFont.h"
#include "qt/FormViewRegistry.h"
#include "qt/ReportColumnsDialog.h"
#include "qt/ReportFilterDialog.h"
#include "qt/ReportPrintout.h"
#include "qt/ReportPropertiesDialog.h"
#include "qt/ReportView.h"
#include "support/TempDatabase.h"

namespace {

using storeadjust::FrmReport;
using storeadjust::QvGrid;

constexpr int kQuantity = 2;

std::string Output(const std::string& command) {
  std::string text;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return text;
  char buffer[4096];
  for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, n);
  pclose(pipe);
  return text;
}

class ReportViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form.SetConnectStr(db.ConnStr());
    form.SetDataSource(
        "select b.lsh as 流水号, b.hh as 货号, b.sl as 数量, a.czry as 操作人员 from ckdbdzk a "
        "inner join ckdbdzkmx b on a.lsh = b.lsh order by b.lsh, b.dh");
    form.SetReportName("仓库调拨单--浏览");
    form.SetStartDate("2024-03-05");
    form.SetEndDate("2024-03-05");
    form.Load();
    storeadjust::qt::RegisterReportView();
    const auto* factory = storeadjust::qt::FindFormView(form.Name());
    ASSERT_NE(factory, nullptr);
    view = (*factory)(form, nullptr);
    view->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(view.get()));
    table = view->findChild<QTableView*>(QStringLiteral("QvGrid1"));
    ASSERT_NE(table, nullptr);
  }

  QString Cell(int row, int col) const { return table->model()->index(row, col).data().toString(); }
  void ClickHeader(int section) {
    QHeaderView* header = table->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(section) + 5, header->height() / 2));
  }

  testsupport::TempDatabase db{storeadjust::db::CreateDemoDatabase};
  storeadjust::ScriptedUserInterface ui;
  FrmReport form{ui};
  std::unique_ptr<storeadjust::qt::FormView> view;
  QTableView* table = nullptr;
};

TEST_F(ReportViewTest, ShowsTheNameTheToolbarAndTheRows) {
  EXPECT_EQ(view->findChild<QLabel*>(QStringLiteral("LblRptName"))->text(), QStringLiteral("仓库调拨单--浏览"));
  for (const auto& button : FrmReport::ToolbarButtons()) {
    auto* action = view->findChild<QAction*>(QString::fromUtf8(button.key));
    ASSERT_NE(action, nullptr) << button.key;
    EXPECT_EQ(action->toolTip(), QString::fromUtf8(button.toolTip));
  }
  EXPECT_EQ(table->model()->rowCount(), 8);
  EXPECT_EQ(table->model()->headerData(kQuantity, Qt::Horizontal).toString(), QStringLiteral("数量"));
  EXPECT_EQ(Cell(0, 0), QStringLiteral("DBD202403010001"));
  EXPECT_TRUE(table->horizontalHeader()->sectionResizeMode(0) == QHeaderView::Interactive);
}

TEST_F(ReportViewTest, AHeaderClickSortsUpThenDownAndShowsWhich) {
  ClickHeader(kQuantity);
  EXPECT_EQ(Cell(0, kQuantity), QStringLiteral("4"));
  EXPECT_EQ(table->horizontalHeader()->sortIndicatorSection(), kQuantity);
  EXPECT_EQ(table->horizontalHeader()->sortIndicatorOrder(), Qt::AscendingOrder);
  ClickHeader(kQuantity);
  EXPECT_EQ(Cell(0, kQuantity), QStringLiteral("20"));
  EXPECT_EQ(Cell(1, kQuantity), QStringLiteral("20"));
  EXPECT_EQ(Cell(0, 0), QStringLiteral("DBD202403010001"));  // equal quantities keep the query's order
  EXPECT_EQ(table->horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);
  EXPECT_EQ(table->model()->rowCount(), 8);
  EXPECT_TRUE(ui.Boxes().empty());
}

TEST_F(ReportViewTest, EscInTheGridClosesTheWindow) {
  table->setFocus();
  QTest::keyClick(table, Qt::Key_Escape);
  EXPECT_FALSE(form.IsOpen());
}

TEST_F(ReportViewTest, ReturnClosesTheWindowAndTheCommandsReachTheUserInterface) {
  view->findChild<QAction*>(QStringLiteral("过滤"))->trigger();
  EXPECT_TRUE(form.IsOpen());
  view->findChild<QAction*>(QStringLiteral("返回"))->trigger();
  EXPECT_FALSE(form.IsOpen());
}

TEST_F(ReportViewTest, TheDialogsFilterArrangeAndSetUpTheReport) {
  QvGrid& grid = form.ReportGrid();
  {
    storeadjust::qt::ReportFilterDialog filter(grid);
    filter.Column()->setCurrentIndex(3);  // 操作人员
    ASSERT_EQ(filter.Values()->count(), 3);
    filter.TickAll(false);
    filter.Values()->item(0)->setCheckState(Qt::Checked);  // 张三
    filter.Apply();
  }
  EXPECT_EQ(table->model()->rowCount(), 2);
  EXPECT_EQ(Cell(0, 3), QStringLiteral("张三"));
  {
    storeadjust::qt::ReportColumnsDialog columns(grid);
    columns.Columns()->setCurrentRow(kQuantity);
    columns.MoveCurrent(-1);
    columns.MoveCurrent(-1);
    columns.Columns()->item(3)->setCheckState(Qt::Unchecked);  // 操作人员
    columns.Apply();
  }
  EXPECT_EQ(table->model()->columnCount(), 3);
  EXPECT_EQ(table->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("数量"));
  {
    storeadjust::qt::ReportPropertiesDialog properties(grid);
    EXPECT_EQ(properties.Title()->text(), QStringLiteral("仓库调拨单--浏览"));
    properties.Title()->setText(QStringLiteral("三月调拨明细"));
    properties.Orientation()->setCurrentIndex(1);
    properties.FontSize()->setValue(12);
    properties.Apply();
  }
  EXPECT_EQ(grid.Title(), "三月调拨明细");
  EXPECT_EQ(grid.Properties().orientation, storeadjust::PageOrientation::Landscape);
  EXPECT_EQ(grid.Properties().fontSize, 12);
}

TEST_F(ReportViewTest, ThePrintoutCarriesTheTitleTheShownRowsAndTheOrientation) {
  storeadjust::qt::UseCjkFontFallback();
  QvGrid& grid = form.ReportGrid();
  storeadjust::ReportProperties properties;
  properties.title = "三月调拨明细";
  properties.orientation = storeadjust::PageOrientation::Landscape;
  grid.SetProperties(properties);
  grid.SetFilter(3, {"李四"});
  const std::string pdf = db.Folder().string() + "/report.pdf";
  {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(pdf));
    storeadjust::qt::SetUpReportPrinter(grid, printer);
    storeadjust::qt::PaintReport(grid, printer);
  }
  std::string text = Output("pdftotext -layout '" + pdf + "' - 2>/dev/null");
  std::erase(text, ' ');
  EXPECT_NE(text.find("三月调拨明细"), std::string::npos) << text;
  EXPECT_NE(text.find("DBD202403020004"), std::string::npos) << text;
  EXPECT_EQ(text.find("DBD202403010001"), std::string::npos) << text;
  EXPECT_NE(text.find("第1页共1页"), std::string::npos) << text;
  const std::string info = Output("pdfinfo '" + pdf + "' 2>/dev/null");
  EXPECT_NE(info.find("842 x 595"), std::string::npos) << info;  // A4 on its side
}

}  // namespace
