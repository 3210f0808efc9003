// The desktop selection dialog: filtering, choosing by Enter, cancelling by Esc, the size the
// clerk gives it, and the batch choice's expiry notes. Whether a dialog is shown at all is the
// selection's own choice (rights_SelectionTest).
#include <QBrush>

#include "DemoDesktop.h"
#include "lines/BatchChoice.h"
#include "qt/FirstExpiringBatch.h"
#include "qt/RecordsetTableModel.h"
#include "qt/SelectDialogView.h"

namespace {

using storeadjust::qt::SelectDialogView;

using qttest::kOrganization;

class SelectDialogViewTest : public ::testing::Test {
 protected:
  qttest::TemporarySettings settings;
};

TEST_F(SelectDialogViewTest, FilterNarrowsRowsAndEnterReturnsTheRowInQueryOrder) {
  qttest::GoodsDatabase db(50);
  auto rows = db.OpenGoods();
  SelectDialogView dialog(*rows, {}, nullptr, kOrganization);
  dialog.show();
  EXPECT_EQ(dialog.Model()->rowCount(), 50);
  qttest::TypeText(*dialog.FilterBox(), QStringLiteral("阿莫西林"));
  // Items 7, 14, 21, 28, 35, 42, 49.
  ASSERT_EQ(dialog.Model()->rowCount(), 7);
  qttest::TypeText(*dialog.FilterBox(), QStringLiteral("胶囊2"));  // 阿莫西林胶囊21, 阿莫西林胶囊28
  ASSERT_EQ(dialog.Model()->rowCount(), 2);
  EXPECT_EQ(dialog.Model()->index(1, 0).data().toString(), QStringLiteral("G000028"));

  QTest::keyClick(dialog.FilterBox(), Qt::Key_Down);  // arrows in the box move through the rows
  QTest::keyClick(dialog.FilterBox(), Qt::Key_Return);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(dialog.ChosenRow(), 28);
}

// A size the clerk gives is kept for the next choice of the same kind, not for other kinds. Esc
// chooses nothing, whatever row is current.
TEST_F(SelectDialogViewTest, KeepsTheSizeTheClerkGivesItPerKindOfChoiceAndEscChoosesNothing) {
  qttest::GoodsDatabase db(5);
  auto rows = db.OpenGoods();
  QSize fitted;
  {
    SelectDialogView dialog(*rows, {"商品"}, nullptr, kOrganization);
    fitted = dialog.size();
    dialog.resize(fitted + QSize(60, 80));
    dialog.reject();
  }
  for (int opening = 0; opening < 2; ++opening) {  // kept while the clerk leaves it as it is
    SelectDialogView dialog(*rows, {"商品"}, nullptr, kOrganization);
    EXPECT_EQ(dialog.size(), fitted + QSize(60, 80));
    dialog.reject();
  }
  SelectDialogView other(*rows, {"单位"}, nullptr, kOrganization);
  EXPECT_EQ(other.size(), fitted);
  other.show();
  other.SelectPosition(1);
  QTest::keyClick(other.Grid(), Qt::Key_Escape);
  EXPECT_FALSE(other.isVisible());  // closed, not accepted: no row chosen
  EXPECT_EQ(other.ChosenRow(), 0);
}

// The batch choice on the bill date: the expired batch in red with its days overdue, the first
// batch still good pre-selected; a batch near its expiry in another colour.
TEST_F(SelectDialogViewTest, TheBatchChoiceMarksExpiredAndNearlyExpiredBatches) {
  testsupport::TempDatabase db{storeadjust::db::CreateDemoDatabase};
  auto connection = db.Open();
  const storeadjust::BoundSql batches = storeadjust::BatchList("", "0010", "01", false, 1);
  auto rows = connection->OpenRecordset(batches.text, batches.values);
  SelectDialogView expired(*rows, {"批号", adodb::Date{2024, 5, 3}}, nullptr, kOrganization);
  const auto* model = expired.Model();
  ASSERT_EQ(model->columnCount(), 8);
  EXPECT_EQ(model->index(0, 0).data().toString(), QStringLiteral("230115"));
  EXPECT_EQ(model->index(0, 7).data().toString(), QStringLiteral("已过期 3 天"));
  const QColor red = model->index(0, 0).data(Qt::ForegroundRole).value<QBrush>().color();
  EXPECT_GT(red.red(), 150);
  EXPECT_EQ(red.green(), 0);
  EXPECT_EQ(model->index(1, 7).data().toString(), QString());
  EXPECT_FALSE(model->index(1, 0).data(Qt::ForegroundRole).isValid());
  EXPECT_EQ(storeadjust::qt::FirstExpiringBatch(*rows, adodb::Date{2024, 5, 3}), 2);
  EXPECT_EQ(storeadjust::qt::FirstExpiringBatch(*rows), 1);

  SelectDialogView near(*rows, {"批号", adodb::Date{2024, 4, 20}}, nullptr, kOrganization);
  EXPECT_EQ(near.Model()->index(0, 7).data().toString(), QStringLiteral("10 天后到期"));
  const QColor orange = near.Model()->index(0, 0).data(Qt::ForegroundRole).value<QBrush>().color();
  EXPECT_NE(orange, red);
  EXPECT_GT(orange.green(), 0);
  // The row returned is the set's own row: the note column is the view's alone.
  near.SelectPosition(1);
  near.accept();
  EXPECT_EQ(near.ChosenRow(), 1);
}

}  // namespace
