// The desktop selection dialog on the demo database: filtering, choosing by Enter, cancelling by
// Esc, and the batch choice's first batch. Whether a dialog is shown at all is the
// selection's own choice (SelectionTest in core/rights_RightsTest.cpp).
#include "DemoDesktop.h"
#include "lines/BatchChoice.h"
#include "qt/FirstExpiringBatch.h"
#include "qt/RecordsetTableModel.h"
#include "qt/SelectDialogView.h"

namespace {

using storeadjust::qt::SelectDialogView;

using qttest::kOrganization;

using SelectDialogViewTest = qttest::DemoDesktop<>;  // the dialog keeps its size in the fixture's settings

// The demo's 40 goods, six of them 胶囊: 0001, 0003, 0005, 0015, 0035, 0036; 0040 kept by amount only.
TEST_F(SelectDialogViewTest, FilterNarrowsRowsAndEnterReturnsTheRowInQueryOrder) {
  auto rows = session.Conn->OpenRecordset("select hh as 货号, pm as 品名, fonlymoney as 金额品种 from yw_kck order by hh");
  SelectDialogView dialog(*rows, {}, nullptr, kOrganization);
  dialog.show();
  EXPECT_EQ(dialog.Model()->rowCount(), 40);
  // A yes/no column reads as the clerk says it, not as a programming language writes it.
  EXPECT_EQ(dialog.Model()->index(0, 2).data().toString() + dialog.Model()->index(39, 2).data().toString(), "否是");
  QTest::keyClick(dialog.FilterBox(), Qt::Key_PageDown);  // a page down the list from the box
  EXPECT_GT(dialog.Grid()->currentIndex().row(), 3);
  qttest::TypeText(*dialog.FilterBox(), QStringLiteral(" 胶囊 "));  // blanks around the word are not looked for
  ASSERT_EQ(dialog.Model()->rowCount(), 6);

  QTest::keyClick(dialog.FilterBox(), Qt::Key_Down);  // arrows in the box move through the rows
  QTest::keyClick(dialog.FilterBox(), Qt::Key_Return);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(dialog.ChosenRow(), 3);
}

// The batch choice on the bill date: the first batch still good is pre-selected (the expiry notes
// are the core's). Esc chooses nothing, whatever row is current.
TEST_F(SelectDialogViewTest, TheBatchChoiceStartsOnTheFirstGoodBatchAndEscChoosesNothing) {
  const storeadjust::BoundSql batches = storeadjust::BatchList("", "0010", "01", false, 1);
  auto rows = session.Conn->OpenRecordset(batches.text, batches.values);
  EXPECT_EQ(storeadjust::qt::FirstExpiringBatch(*rows, adodb::Date{2024, 5, 3}), 2);
  EXPECT_EQ(storeadjust::qt::FirstExpiringBatch(*rows), 1);
  SelectDialogView expired(*rows, storeadjust::SelectionSubject{"批号", adodb::Date{2024, 5, 3}}, nullptr, kOrganization);
  expired.show();
  expired.SelectPosition(1);
  QTest::keyClick(expired.Grid(), Qt::Key_Escape);
  EXPECT_FALSE(expired.isVisible());  // closed, not accepted: no row chosen
  EXPECT_EQ(expired.ChosenRow(), 0);
}

}  // namespace
