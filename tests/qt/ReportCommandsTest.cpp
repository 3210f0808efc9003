// The report grid's commands on the desktop: the desktop's user interface opens the dialog a
// command names, and what the clerk does there reaches the grid or the file.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QFileDialog>
#include <QListWidget>
#include <cstdio>
#include <filesystem>
#include <string>

#include "QtTestSupport.h"
#include "browse/QvGrid.h"
#include "db/DatabaseFactory.h"
#include "qt/QtUserInterface.h"
#include "qt/ReportFilterDialog.h"
#include "support/TempDatabase.h"

namespace {

using storeadjust::QvGrid;

class ReportCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    grid.SetConnectStr(db.ConnStr());
    grid.SetDataSource("select lsh as 流水号, czry as 操作人员, kdrq as 开单日期 from ckdbdzk order by lsh");
    grid.SetReportName("仓库调拨单--浏览");
    grid.Reload();
  }

  testsupport::TempDatabase db{storeadjust::db::CreateDemoDatabase};
  storeadjust::qt::QtUserInterface ui{QStringLiteral("StoreAdjustTest")};
  QvGrid grid{ui};
};

TEST_F(ReportCommandsTest, TheFilterCommandOpensTheFilterDialogOnTheGrid) {
  qttest::WhenModalShows([](QWidget& modal) {
    auto* dialog = qobject_cast<storeadjust::qt::ReportFilterDialog*>(&modal);
    ASSERT_NE(dialog, nullptr);
    dialog->Column()->setCurrentIndex(1);
    dialog->TickAll(false);
    dialog->Values()->item(0)->setCheckState(Qt::Checked);  // 张三
    dialog->accept();
  });
  ui.RunReportCommand(grid, 4);
  EXPECT_EQ(grid.ShownRowCount(), 1u);
  EXPECT_EQ(grid.TextMatrix(1, 0), "DBD202403010002");
}

TEST_F(ReportCommandsTest, TheExportCommandWritesTheFileTheClerkNamesAsAWorkbook) {
  const std::filesystem::path file = db.Folder() / "三月调拨";
  qttest::WhenModalShows([&file](QWidget& modal) {
    auto* dialog = qobject_cast<QFileDialog*>(&modal);
    ASSERT_NE(dialog, nullptr);
    dialog->selectFile(QString::fromStdString(file.string()));
    QMetaObject::invokeMethod(dialog, "accept");  // what its save button does
  });
  ui.RunReportCommand(grid, 2);
  const std::filesystem::path written = file.string() + ".xlsx";
  ASSERT_TRUE(std::filesystem::exists(written));
  std::string sheet;
  FILE* pipe = popen(("unzip -p '" + written.string() + "' xl/worksheets/sheet1.xml").c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  char buffer[4096];
  for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) sheet.append(buffer, n);
  pclose(pipe);
  EXPECT_NE(sheet.find("DBD202403020004"), std::string::npos);
  EXPECT_EQ(ui.BusyDepth(), 0);
}

}  // namespace
