// 存量 on the desktop: the browser opens the stock window over itself for the highlighted bill;
// the window shows the holdings read-only and closes with Esc or 关闭.
#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <functional>

#include "QtTestSupport.h"
#include "browse/FrmStockDistribution.h"
#include "browse/FrmStoreAdjuctBillBrow.h"
#include "qt/QtUserInterface.h"
#include "support/ModuleSession.h"

namespace {

class StockDistributionViewTest : public ::testing::Test {
 protected:
  // Runs 存量 on grid row `row` of the browser; `look` sees the window while it is open.
  void ShowStockOfRow(long row, const std::function<void(QWidget& window)>& look) {
    browser.SelectRow(storeadjust::FrmStoreAdjuctBillBrow::kGrid, row);
    qttest::WhenModalShows([&look](QWidget& window) { look(window); });
    browser.Click("存量");
  }

  testsupport::TempDatabase db{storeadjust::db::CreateDemoDatabase};
  storeadjust::qt::QtUserInterface ui;
  storeadjust::Session session = testsupport::OpenEditorSession(db, ui);
  storeadjust::FrmStoreAdjuctBillBrow browser{session};
  void SetUp() override { browser.Load(); }
};

TEST_F(StockDistributionViewTest, ShowsTheBillsStockReadOnlyAndClosesWithEsc) {
  bool looked = false;
  ShowStockOfRow(2, [&](QWidget& window) {
    looked = true;
    EXPECT_EQ(window.objectName(), QStringLiteral("FrmStockDistribution"));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("库存分布"));
    auto* serial = window.findChild<QLineEdit*>(QStringLiteral("TxtLSH"));
    ASSERT_NE(serial, nullptr);
    EXPECT_EQ(serial->text(), QStringLiteral("DBD202403010002"));
    EXPECT_TRUE(serial->isReadOnly());
    auto* grid = window.findChild<QTableView*>(QStringLiteral("VfgStock"));
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->model()->rowCount(), 8);
    EXPECT_EQ(grid->model()->headerData(8, Qt::Horizontal).toString(), QStringLiteral("货位"));
    EXPECT_EQ(grid->model()->index(2, 8).data().toString(), QStringLiteral("Y01:6.25 Y02:4.5"));
    EXPECT_EQ(grid->editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_EQ(window.findChild<QLabel*>(QStringLiteral("StatusBar1"))->text(), QStringLiteral("共 8 条库存记录"));
    QTest::keyClick(grid, Qt::Key_Escape);
  });
  EXPECT_TRUE(looked);
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  EXPECT_TRUE(browser.IsOpen());
}

TEST_F(StockDistributionViewTest, TheCloseButtonClosesIt) {
  bool looked = false;
  ShowStockOfRow(1, [&](QWidget& window) {
    looked = true;
    QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("Cmd_Close")), Qt::LeftButton);
  });
  EXPECT_TRUE(looked);
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

}  // namespace
