// The desktop selection dialog: filtering, choosing by Enter and double click, cancelling, large
// lists, remembered layout, and the choices the selection dialog makes before showing anything.
#include <gtest/gtest.h>

#include <QHeaderView>
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
using storeadjust::qt::RecordsetTableModel;
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

QString CellText(const SelectDialogView& dialog, int row, int column) {
  return dialog.Model()->index(row, column).data().toString();
}

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
  EXPECT_EQ(CellText(dialog, 1, 0), QStringLiteral("G000028"));

  QTest::keyClick(dialog.FilterBox(), Qt::Key_Down);  // arrows in the box move through the rows
  QTest::keyClick(dialog.FilterBox(), Qt::Key_Return);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(dialog.ChosenRow(), 28);
}

TEST_F(SelectDialogViewTest, DoubleClickTakesTheRowAndEscCancels) {
  qttest::GoodsDatabase db(20);
  auto rows = db.OpenGoods();
  {
    SelectDialogView dialog(*rows, nullptr, kOrganization);
    dialog.show();
    const QModelIndex fifth = dialog.Model()->index(4, 1);
    const QRect cell = dialog.Grid()->visualRect(fifth);
    QTest::mouseClick(dialog.Grid()->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(dialog.Grid()->viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(dialog.ChosenRow(), 5);
  }
  {
    SelectDialogView dialog(*rows, nullptr, kOrganization);
    dialog.show();
    QTest::keyClick(dialog.Grid(), Qt::Key_Down);
    QTest::keyClick(dialog.FilterBox(), Qt::Key_Escape);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(dialog.ChosenRow(), 0);
  }
}

TEST_F(SelectDialogViewTest, SizeAndColumnWidthsAreRememberedPerColumnSet) {
  qttest::GoodsDatabase db(5);
  auto rows = db.OpenGoods();
  {
    SelectDialogView dialog(*rows, nullptr, kOrganization);
    dialog.show();
    dialog.resize(733, 455);
    dialog.Grid()->horizontalHeader()->resizeSection(1, 211);
    dialog.reject();
  }
  {
    SelectDialogView dialog(*rows, nullptr, kOrganization);
    dialog.show();
    EXPECT_EQ(dialog.size(), QSize(733, 455));
    EXPECT_EQ(dialog.Grid()->horizontalHeader()->sectionSize(1), 211);
  }
  // Other aliases make another column set, with a layout of its own.
  std::shared_ptr<adodb::Connection> connection = std::make_shared<adodb::Connection>();
  connection->Open(db.ConnStr());
  auto renamed = connection->OpenRecordset("select code as 代码, name as 品名 from goods");
  SelectDialogView dialog(*renamed, nullptr, kOrganization);
  dialog.show();
  EXPECT_NE(dialog.Grid()->horizontalHeader()->sectionSize(1), 211);
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

  qttest::WhenModalShows([](QWidget& modal) {
    auto* dialog = qobject_cast<SelectDialogView*>(&modal);
    ASSERT_NE(dialog, nullptr);
    QTest::keyClicks(dialog->FilterBox(), QStringLiteral("G000003"));
    QTest::keyClick(dialog->FilterBox(), Qt::Key_Return);
  });
  select.Query = "select code, name from goods order by code";
  select.Show();
  EXPECT_EQ(select.Result().at(0).AsInt32(), 3);
  EXPECT_EQ(select.Result().at(2).AsText(), "维生素C片3");
}

}  // namespace
