// The report's desktop window over the demo database: header clicks, Esc and 返回, the filter
// command's dialog narrowing the grid, and the export asking before it replaces a workbook.
#include <QComboBox>
#include <QFile>
#include <QTimer>
#include <QListWidget>
#include <QToolButton>

#include "DemoDesktop.h"
#include "browse/FrmReport.h"
#include "host/ScriptedUserInterface.h"
#include "qt/ReportColumnsDialog.h"
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

// At the keyboard: a typed character moves nobody; Ctrl+Up and Ctrl+Down sort by the column the
// clerk stands on, and he stays on his line and in his column through the sort and 刷新, so the
// next key acts on the same column; after 刷新 the keys are the grid's again, and 过滤 and 页面
// open on that column.
TEST_F(ReportViewTest, CtrlUpAndDownSortByTheCurrentColumnAndTheColumnCommandsOpenOnIt) {
  table->setFocus();
  table->setCurrentIndex(table->model()->index(0, 1));
  QTest::keyClicks(table, QStringLiteral("0"));  // no jump to the next 货号 beginning with it
  EXPECT_EQ(table->currentIndex().row(), 0);
  table->setCurrentIndex(table->model()->index(3, kQuantity));
  const QString line = Cell(3, 0) + Cell(3, 1);
  QTest::keyClick(table, Qt::Key_Down, Qt::ControlModifier);
  EXPECT_EQ(Cell(0, kQuantity), QStringLiteral("20.00"));
  EXPECT_EQ(table->currentIndex().column(), kQuantity);
  EXPECT_EQ(Cell(table->currentIndex().row(), 0) + Cell(table->currentIndex().row(), 1), line);
  QToolButton* refresh = Command(QStringLiteral("刷新"));
  ASSERT_NE(refresh, nullptr);
  refresh->setFocus();
  QTest::keyClick(refresh, Qt::Key_Return);
  EXPECT_EQ(QApplication::focusWidget(), table);  // the keys walk the report again
  QTest::keyClick(table, Qt::Key_Up, Qt::ControlModifier);
  EXPECT_EQ(Cell(0, kQuantity), QStringLiteral("4.00"));
  EXPECT_EQ(table->currentIndex().column(), kQuantity);
  EXPECT_EQ(Cell(table->currentIndex().row(), 0) + Cell(table->currentIndex().row(), 1), line);
  EXPECT_TRUE(ui.Boxes().empty());
  RunCommandOnDialog<storeadjust::qt::ReportFilterDialog>(4, [](auto& dialog) {
    EXPECT_EQ(dialog.Column()->currentText(), QStringLiteral("数量"));
    dialog.reject();
  });
  RunCommandOnDialog<storeadjust::qt::ReportColumnsDialog>(5, [](auto& dialog) {
    EXPECT_EQ(dialog.Columns()->currentItem()->text(), QStringLiteral("数量"));
    dialog.reject();
  });
}

// 页面 with every column unticked: 确定 says why it cannot be taken and leaves the clerk in the
// dialog, the report unchanged.
TEST_F(ReportViewTest, TheColumnsDialogWithNoColumnTickedSaysSoAndStaysOpen) {
  QString shown;
  bool stillOpen = false;
  RunCommandOnDialog<storeadjust::qt::ReportColumnsDialog>(5, [&](auto& dialog) {
    for (int row = 0; row < dialog.Columns()->count(); ++row) dialog.Columns()->item(row)->setCheckState(Qt::Unchecked);
    qttest::DismissNextBox(shown);
    dialog.accept();
    stillOpen = dialog.isVisible();
    dialog.reject();
  });
  EXPECT_EQ(shown, QStringLiteral("至少要显示一列!"));
  EXPECT_TRUE(stillOpen);
  EXPECT_FALSE(table->isColumnHidden(0));
}

// 导出 with a name typed without .xlsx writes NAME.xlsx, which the file dialog never asked about:
// an existing one is replaced only after the clerk says Yes; the workbook written, he is told where.
TEST_F(ReportViewTest, ExportAsksBeforeReplacingTheWorkbookTheTypedNameLeadsToAndSaysWhereItWent) {
  const QString typed = QString::fromStdString((db.Folder() / "月报").string());
  QFile kept(typed + QStringLiteral(".xlsx"));
  ASSERT_TRUE(kept.open(QIODevice::WriteOnly));
  kept.write("kept");
  kept.close();
  const auto exportAnswering = [&](const QString& answer) {
    QStringList shown;
    QTimer waiting;
    qttest::WhenModalShows([&](QWidget& fileDialog) {
      auto* name = fileDialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
      ASSERT_NE(name, nullptr);
      name->setText(typed);
      // The boxes come once the file dialog has closed: the answer to the question, OK to a note.
      QObject::connect(&waiting, &QTimer::timeout, [&shown, answer] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) return;
        shown << box->text();
        const QList<QAbstractButton*> buttons = box->buttons();
        for (QAbstractButton* button : buttons) {
          if (buttons.size() == 1 || button->text() == answer) return button->click();
        }
      });
      waiting.start(10);
      QTest::keyClick(name, Qt::Key_Return);
    });
    desktop.RunReportCommand(report.ReportGrid(), 2);
    return shown;
  };
  const QString question = QStringLiteral("文件 %1.xlsx 已经存在，要替换它吗？").arg(typed);
  EXPECT_EQ(exportAnswering(QStringLiteral("否")), QStringList{question});
  ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
  EXPECT_EQ(kept.readAll(), QByteArray("kept"));
  kept.close();
  EXPECT_EQ(exportAnswering(QStringLiteral("是")), (QStringList{question, QStringLiteral("已保存到 %1.xlsx").arg(typed)}));
  ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
  EXPECT_EQ(kept.read(2), QByteArray("PK"));  // the workbook, a zip
}

}  // namespace
