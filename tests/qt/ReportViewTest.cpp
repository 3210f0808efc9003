// The report's desktop window over the demo database: header clicks, Esc and 返回, and the filter
// command's dialog narrowing the grid.
#include <QComboBox>
#include <QListWidget>
#include <QToolButton>

#include "DemoDesktop.h"
#include "browse/FrmReport.h"
#include "host/ScriptedUserInterface.h"
#include "qt/ReportFilterDialog.h"
#include "qt/ReportView.h"

namespace {

using storeadjust::FrmReport;

constexpr int kQuantity = 2;

// The window's own commands ask nothing, so the report's model gets the scripted interface; the
// grid's dialogs are the desktop's.
class ReportViewTest : public qttest::DemoDesktop<storeadjust::ScriptedUserInterface> {
 protected:
  void SetUp() override {
    report.SetSession(session);
    report.SetConnectStr(db.ConnStr());
    report.SetDataSource(
        "select b.lsh as 流水号, b.hh as 货号, b.sl as 数量, a.czry as 操作人员 from ckdbdzk a "
        "inner join ckdbdzkmx b on a.lsh = b.lsh order by b.lsh, b.dh");
    report.SetReportName("仓库调拨单--浏览");
    report.SetStartDate("2024-03-05");
    report.SetEndDate("2024-03-05");
    report.Load();
    reportView = std::make_unique<storeadjust::qt::ReportView>(report);
    reportView->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(reportView.get()));
    table = reportView->findChild<QTableView*>(QStringLiteral("QvGrid1"));
    ASSERT_NE(table, nullptr);
  }
  QString Cell(int row, int col) const { return table->model()->index(row, col).data().toString(); }
  // The toolbar's button for the command `name`.
  QToolButton* Command(const QString& name) const {
    for (QToolButton* command : reportView->findChildren<QToolButton*>()) {
      if (command->defaultAction() != nullptr && command->defaultAction()->objectName() == name) return command;
    }
    return nullptr;
  }
  // Runs grid command `index` with `act` on the dialog it opens, which must be a `Dialog`.
  template <class Dialog>
  void RunCommandOnDialog(int index, std::function<void(Dialog&)> act) {
    qttest::WhenModalShows([act](QWidget& modal) {
      auto* dialog = qobject_cast<Dialog*>(&modal);
      ASSERT_NE(dialog, nullptr);
      act(*dialog);
    });
    desktop.RunReportCommand(report.ReportGrid(), index);
  }

  storeadjust::qt::QtUserInterface desktop{qttest::kOrganization};
  FrmReport report{ui};
  std::unique_ptr<storeadjust::qt::ReportView> reportView;
  QTableView* table = nullptr;
};

// Tab goes from the grid to the toolbar's commands; a header click sorts up, then down, and shows
// which; the filter command's dialog narrows the sorted grid to the values ticked in two columns; Esc in the grid
// and 返回 (Enter on it) close the window.
TEST_F(ReportViewTest, SortsByHeaderClicksFiltersThroughItsDialogAndClosesByEscOrReturn) {
  ASSERT_EQ(table->model()->rowCount(), 8);
  // Tab takes the keyboard from the grid to the toolbar's commands, the first of them first.
  table->setFocus();
  QTest::keyClick(table, Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), Command(QStringLiteral("预览")));

  EXPECT_EQ(Cell(0, 0), QStringLiteral("DBD202403010001"));
  qttest::ClickHeader(*table, kQuantity);
  EXPECT_EQ(Cell(0, kQuantity), QStringLiteral("4.00"));  // the site's quantity places, as in the editor
  EXPECT_EQ(table->horizontalHeader()->sortIndicatorSection(), kQuantity);
  EXPECT_EQ(table->horizontalHeader()->sortIndicatorOrder(), Qt::AscendingOrder);
  qttest::ClickHeader(*table, kQuantity);
  EXPECT_EQ(Cell(0, kQuantity), QStringLiteral("20.00"));
  EXPECT_EQ(Cell(1, kQuantity), QStringLiteral("20.00"));
  EXPECT_EQ(Cell(0, 0), QStringLiteral("DBD202403010001"));  // equal quantities keep the query's order
  EXPECT_EQ(table->horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);
  EXPECT_TRUE(ui.Boxes().empty());

  RunCommandOnDialog<storeadjust::qt::ReportFilterDialog>(4, [](auto& dialog) {
    dialog.Column()->setCurrentIndex(1);  // 货号: 0021 unticked stays so while another column is ticked
    dialog.Values()->findItems(QStringLiteral("0021"), Qt::MatchExactly).at(0)->setCheckState(Qt::Unchecked);
    dialog.Column()->setCurrentIndex(3);  // 操作人员
    ASSERT_EQ(dialog.Values()->count(), 3);
    dialog.TickAll(false);
    dialog.Values()->item(0)->setCheckState(Qt::Checked);  // 张三
    dialog.accept();
  });
  ASSERT_EQ(table->model()->rowCount(), 1);
  EXPECT_EQ(Cell(0, 3), QStringLiteral("张三"));
  EXPECT_EQ(Cell(0, 1), QStringLiteral("0022"));
  EXPECT_EQ(desktop.BusyDepth(), 0);

  table->setFocus();
  QTest::keyClick(table, Qt::Key_Escape);
  EXPECT_FALSE(report.IsOpen());
  report.Load();
  ASSERT_TRUE(report.IsOpen());
  // Enter presses the command Tab led to, as Space does.
  QToolButton* back = Command(QStringLiteral("返回"));
  ASSERT_NE(back, nullptr);
  back->setFocus();
  QTest::keyClick(back, Qt::Key_Return);
  EXPECT_FALSE(report.IsOpen());
}

}  // namespace
