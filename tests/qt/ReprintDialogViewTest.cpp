// The desktop reprint dialog on the demo database: the choice of several rows reaching the printer
// in list order, printing offered only while a row is chosen, and a bill found by its serial and
// previewed by keys alone. The list's own filters and refusals are tested in the core.
#include <QDateEdit>
#include <QItemSelectionModel>

#include "DemoDesktop.h"
#include "browse/ReprintList.h"
#include "qt/ReprintDialogView.h"

namespace {

using storeadjust::BillSlip;
using storeadjust::ReprintList;
using storeadjust::qt::ReprintDialogView;

using ReprintDialogViewTest = qttest::DemoDesktop<>;

QStringList Serials(const ReprintDialogView& dialog) {
  QStringList serials;
  const QAbstractItemModel& model = *dialog.Grid()->model();
  for (int row = 0; row < model.rowCount(); ++row) serials << model.index(row, 0).data().toString();
  return serials;
}

TEST_F(ReprintDialogViewTest, TheChosenRowsArePrintedInListOrderOnlyWhileARowIsChosen) {
  storeadjust::ReprintRequest request;
  request.connectionString = db.ConnStr();
  request.sysDate = "2024-03-05";
  ReprintList list(request);
  ReprintDialogView dialog(list);
  std::vector<std::vector<std::string>> printed;
  std::vector<bool> previews;
  dialog.SetSlipPrinter([&](const storeadjust::qt::SlipReader& read, bool preview, QWidget*) {
    std::vector<std::string> serials;
    for (const BillSlip& slip : read()) serials.push_back(slip.serial + " " + slip.outWarehouseName);
    printed.push_back(serials);
    previews.push_back(preview);
  });
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));

  dialog.FromDate()->setDate(QDate(2024, 3, 1));
  ASSERT_EQ(Serials(dialog).size(), 4);
  EXPECT_FALSE(dialog.PrintButton()->isEnabled());
  QItemSelectionModel& selection = *dialog.Grid()->selectionModel();
  for (int row : {3, 1}) {
    selection.select(dialog.Grid()->model()->index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
  }
  EXPECT_TRUE(dialog.PrintButton()->isEnabled());
  dialog.PrintButton()->click();
  dialog.findChild<QPushButton*>(QStringLiteral("CmdAll"))->click();
  dialog.PreviewButton()->click();
  ASSERT_EQ(printed.size(), 2u);
  EXPECT_EQ(printed[0], (std::vector<std::string>{"DBD202403010002 总仓", "DBD202403020004 二号门店仓"}));
  EXPECT_EQ(previews, (std::vector<bool>{false, true}));
  EXPECT_EQ(printed[1].size(), 4u);

  // By keys alone: part of the serial, Enter to the list on its first bill, Enter to preview it.
  selection.clearSelection();
  dialog.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
  dialog.SerialFilter()->setFocus();
  QTest::keyClicks(dialog.SerialFilter(), QStringLiteral("0004"));
  QTest::keyClick(dialog.SerialFilter(), Qt::Key_Return);
  EXPECT_TRUE(dialog.Grid()->hasFocus());
  EXPECT_EQ(printed.size(), 2u) << "Enter in the serial field printed";
  QTest::keyClick(dialog.Grid(), Qt::Key_Return);
  ASSERT_EQ(printed.size(), 3u);
  EXPECT_EQ(printed[2], (std::vector<std::string>{"DBD202403020004 二号门店仓"}));
  EXPECT_TRUE(previews[2]);

  // Bills apart are chosen by the keys the dialog names under the list.
  auto* keys = dialog.findChild<QLabel*>(QStringLiteral("LblKeys"));
  ASSERT_NE(keys, nullptr);
  EXPECT_TRUE(keys->text().contains(QStringLiteral("Ctrl+↑/↓")) && keys->text().contains(QStringLiteral("Ctrl+空格")));
  dialog.SerialFilter()->clear();
  QTest::keyClick(dialog.SerialFilter(), Qt::Key_Return);  // to the list, on its first bill
  QTest::keyClick(dialog.Grid(), Qt::Key_Down, Qt::ShiftModifier);
  for (Qt::Key key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Space}) QTest::keyClick(dialog.Grid(), key, Qt::ControlModifier);
  QTest::keyClick(dialog.Grid(), Qt::Key_Return);
  EXPECT_EQ(printed.back(), (std::vector<std::string>{"DBD202403010001 总仓", "DBD202403010002 总仓", "DBD202403020004 二号门店仓"}));
  // Tabbed to, 打印 takes Enter as Space.
  QTest::keyClick(dialog.PrintButton(), Qt::Key_Return);
  EXPECT_FALSE(previews.back());

  // Narrowed as far as it goes, the list shows each serial whole ("DBD20240301…" it was): the
  // other columns give way. The keys are read on one line, not "回车 → " above "预览".
  dialog.resize(1, dialog.height());
  QApplication::processEvents();
  const QAbstractItemView& grid = *dialog.Grid();
  EXPECT_GE(dialog.Grid()->columnWidth(0), grid.sizeHintForColumn(0));
  EXPECT_GE(keys->contentsRect().width(), keys->fontMetrics().horizontalAdvance(keys->text()));
}

}  // namespace
