// The desktop selection dialog: filtering, choosing by Enter, cancelling by Esc, and the choices
// the selection dialog makes before showing anything.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QSettings>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include "QtTestSupport.h"
#include "host/SelectDialog.h"
#include "qt/QtUserInterface.h"
#include "qt/RecordsetTableModel.h"
#include "qt/SelectDialogView.h"

namespace {

using storeadjust::qt::QtUserInterface;
using storeadjust::qt::SelectDialogView;

const QString kOrganization = QStringLiteral("StoreAdjustTest");

class SelectDialogViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(settingsDir_.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir_.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir_.path());
  }

  QTemporaryDir settingsDir_;
};

TEST_F(SelectDialogViewTest, FilterNarrowsRowsAndEnterReturnsTheRowInQueryOrder) {
  qttest::GoodsDatabase db(50);
  auto rows = db.OpenGoods();
  SelectDialogView dialog(*rows, nullptr, kOrganization);
  dialog.show();
  EXPECT_EQ(dialog.Model()->rowCount(), 50);
  EXPECT_EQ(dialog.Model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("名称"));
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

// The choices made before anything is shown, with the desktop dialog behind them.
TEST_F(SelectDialogViewTest, SelectDialogShowsTheDesktopDialogOnlyWhenTheUserMustChoose) {
  qttest::GoodsDatabase db(3);
  QtUserInterface ui(kOrganization);
  storeadjust::SelectDialog select(ui);
  select.ConnectionString = db.ConnStr();
  // A lone row with mode false: taken without a window (a window would stay open: nothing closes it).
  select.Query = "select code, name from goods where code = 'G000002'";
  select.ModeFlag = false;
  select.Show();
  EXPECT_EQ(select.Result().at(0).AsInt32(), 1);
  EXPECT_EQ(select.Result().at(1).AsText(), "G000002");
  select.Query = "select code, name from goods where code = 'none'";
  select.Show();
  EXPECT_EQ(select.Result().at(0).AsInt32(), 0);

  // The batch choice shows even a lone row, so the user confirms it.
  bool shown = false;
  qttest::WhenModalShows([&](QWidget& modal) {
    shown = qobject_cast<SelectDialogView*>(&modal) != nullptr;
    QTest::keyClick(&modal, Qt::Key_Escape);
  });
  select.Query = "select code, name from goods where code = 'G000003'";
  select.ModeFlag = true;
  select.Show();
  EXPECT_TRUE(shown);
  EXPECT_EQ(select.Result().at(0).AsInt32(), 0);
}

}  // namespace
