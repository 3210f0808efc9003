// On the desktop the browser's list keeps the arrow keys: after a toolbar button, a menu item, a
// message box, a window the command opened and the editor Enter opened, Down moves the
// highlighted bill on.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QTableView>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <memory>

#include "QtTestSupport.h"
#include "browse/FrmStoreAdjuctBillBrow.h"
#include "qt/BrowserView.h"
#include "qt/QtUserInterface.h"
#include "support/ModuleSession.h"

namespace {

using storeadjust::FrmStoreAdjuctBillBrow;

class BrowserKeyboardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    browser.Load();
    view = std::make_unique<storeadjust::qt::BrowserView>(browser);
    view->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(view.get()));
  }

  void ClickToolbar(const char* key) {
    auto* toolbar = view->findChild<QToolBar*>(QStringLiteral("Toolbar1"));
    auto* action = view->findChild<QAction*>(QString::fromUtf8(key));
    auto* button = qobject_cast<QToolButton*>(toolbar->widgetForAction(action));
    ASSERT_NE(button, nullptr) << key;
    QTest::mouseClick(button, Qt::LeftButton);
    QApplication::processEvents();
  }
  // Down as the keyboard sends it, once the window is active again: to whichever widget has the
  // focus.
  long RowAfterDown() {
    EXPECT_TRUE(QTest::qWaitForWindowActive(view.get()));
    QWidget* focused = QApplication::focusWidget();
    EXPECT_EQ(focused, view->ListView());
    if (focused != nullptr) QTest::keyClick(focused, Qt::Key_Down);
    return browser.ListGrid().Row;
  }

  testsupport::TempDatabase db{storeadjust::db::CreateDemoDatabase};
  storeadjust::qt::QtUserInterface ui;
  storeadjust::Session session = testsupport::OpenEditorSession(db, ui);
  FrmStoreAdjuctBillBrow browser{session};
  std::unique_ptr<storeadjust::qt::BrowserView> view;
};

TEST_F(BrowserKeyboardTest, ArrowsMoveTheRowAfterToolbarButtonsAndMenus) {
  ASSERT_EQ(browser.ListGrid().Row, 1);
  ClickToolbar("选择");
  EXPECT_EQ(RowAfterDown(), 2);

  qttest::ShownBox about;
  qttest::DismissNextBox(about);
  view->findChild<QAction*>(QStringLiteral("mnuAbout"))->trigger();
  EXPECT_EQ(about.title, QStringLiteral("系统提示"));
  EXPECT_EQ(RowAfterDown(), 3);

  qttest::ShownBox finance;
  qttest::DismissNextBox(finance);
  ClickToolbar("编码");
  EXPECT_TRUE(finance.text.contains(QStringLiteral("财务编码")));
  EXPECT_EQ(RowAfterDown(), 4);
}

TEST_F(BrowserKeyboardTest, ArrowsMoveTheRowAfterAWindowTheCommandOpenedHasClosed) {
  QString opened;
  qttest::WhenModalShows([&opened](QWidget& modal) {
    opened = modal.objectName();
    QTest::keyClick(modal.findChild<QTableView*>(QStringLiteral("VfgStock")), Qt::Key_Escape);
  });
  ClickToolbar("存量");
  EXPECT_EQ(opened, QStringLiteral("FrmStockDistribution"));
  EXPECT_EQ(RowAfterDown(), 2);

  qttest::WhenModalShows([&opened](QWidget& modal) {
    opened = modal.objectName();
    static_cast<QDialog&>(modal).reject();
  });
  ClickToolbar("查看");
  EXPECT_EQ(opened, QStringLiteral("FrmStoreAdjuctBill"));
  // The list was read again when the editor closed: the first bill is highlighted.
  EXPECT_EQ(RowAfterDown(), 2);
  EXPECT_EQ(RowAfterDown(), 3);
}

// Enter opens a new bill; once the editor has closed, the list takes the arrows again.
TEST_F(BrowserKeyboardTest, ArrowsMoveTheRowAfterTheEditorEnterOpenedHasClosed) {
  QString opened;
  qttest::WhenModalShows([&opened](QWidget& modal) {
    opened = modal.objectName();
    static_cast<QDialog&>(modal).reject();
  });
  QTest::keyClick(view->ListView(), Qt::Key_Return);
  EXPECT_EQ(opened, QStringLiteral("FrmStoreAdjuctBill"));
  EXPECT_EQ(RowAfterDown(), 2);
}

}  // namespace
