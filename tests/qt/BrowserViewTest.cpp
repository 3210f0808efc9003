// The browser's desktop window: its widgets carry the model's names, keys and header clicks in
// the list reach the model, the model's focus and status text show in the window, and the list
// keeps the arrow keys after toolbar buttons, menus, message boxes and the windows they opened.
#include <QHelpEvent>
#include <QTextLayout>
#include <QToolBar>
#include <QToolTip>
#include <QToolButton>

#include "DemoDesktop.h"
#include "browse/FrmStoreAdjuctBillBrow.h"
#include "qt/BrowserView.h"

namespace {

using storeadjust::FrmStoreAdjuctBillBrow;

class BrowserViewTest : public qttest::DemoDesktop<> {
 protected:
  void SetUp() override {
    browser.Load();
    browserView = std::make_unique<storeadjust::qt::BrowserView>(browser);
    browserView->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(browserView.get()));
    list = browserView->ListView();
  }

  QString StatusText() const { return browserView->findChild<QLabel*>(QStringLiteral("StatusBar1"))->text(); }
  QString Cell(int row, int col) const { return list->model()->index(row, col).data().toString(); }
  void ClickToolbar(const char* key) {
    auto* toolbar = browserView->findChild<QToolBar*>(QStringLiteral("Toolbar1"));
    auto* button = qobject_cast<QToolButton*>(toolbar->widgetForAction(browserView->findChild<QAction*>(key)));
    ASSERT_NE(button, nullptr) << key;
    QTest::mouseClick(button, Qt::LeftButton);
    QApplication::processEvents();
  }
  // Down as the keyboard sends it, once the window is active again: to the widget with the focus.
  long RowAfterDown() {
    EXPECT_TRUE(QTest::qWaitForWindowActive(browserView.get()));
    QWidget* focused = QApplication::focusWidget();
    EXPECT_EQ(focused, list);
    if (focused != nullptr) QTest::keyClick(focused, Qt::Key_Down);
    return browser.ListGrid().Row;
  }
  // The next modal window: note its name and close it with `close`.
  void CloseNextWindow(QString& opened, std::function<void(QWidget&)> close) {
    qttest::WhenModalShows([&opened, close](QWidget& modal) {
      opened = modal.objectName();
      close(modal);
    });
  }

  FrmStoreAdjuctBillBrow browser{session};
  std::unique_ptr<storeadjust::qt::BrowserView> browserView;
  QTableView* list = nullptr;
};

// The rows and the status text come from the model; the list keeps the arrow keys after every
// kind of thing a clerk opens from it, and Space and Esc in it reach the model. The toolbar's and
// menus' names are walked in CommandWalkTest, header clicks below.
TEST_F(BrowserViewTest, ArrowsMoveTheRowAfterToolbarMenusBoxesAndWindowsAndKeysReachTheModel) {
  ASSERT_EQ(list->model()->rowCount(), 4);
  ASSERT_EQ(browser.ListGrid().Row, 1);
  ClickToolbar("选择");
  EXPECT_EQ(RowAfterDown(), 2);

  QString box;
  qttest::DismissNextBox(box);
  browserView->findChild<QAction*>(QStringLiteral("mnuAbout"))->trigger();
  EXPECT_EQ(RowAfterDown(), 3);

  // 存量 shows the highlighted bill's stock, its last column (单位) as wide as a unit however wide
  // the window; Esc closes it. The report names its sort keys where they are read.
  QString opened;
  int unitWidth = 0;
  CloseNextWindow(opened, [&unitWidth](QWidget& modal) {
    auto* stock = modal.findChild<QTableView*>(QStringLiteral("VfgStock"));
    modal.resize(1200, modal.height());  // wider than its columns
    QApplication::processEvents();
    unitWidth = stock->columnWidth(stock->model()->columnCount() - 1);
    QTest::keyClick(stock, Qt::Key_Escape);
  });
  ClickToolbar("存量");
  EXPECT_EQ(opened, QStringLiteral("FrmStockDistribution"));
  EXPECT_LE(unitWidth, 120);
  CloseNextWindow(opened, [](QWidget& modal) {
    auto* keys = modal.findChild<QLabel*>(QStringLiteral("LblSortKeys"));
    EXPECT_TRUE(keys != nullptr && keys->isVisible() && keys->text().contains(QStringLiteral("Ctrl+↑/↓")));
    QTest::keyClick(modal.findChild<QTableView*>(QStringLiteral("QvGrid1")), Qt::Key_Escape);
  });
  ClickToolbar("报表");
  EXPECT_EQ(opened, QStringLiteral("FrmReport"));
  EXPECT_EQ(browserView->findChild<QAction*>(QStringLiteral("mnuPrint"))->shortcut(), QKeySequence(Qt::Key_F9));
  EXPECT_EQ(RowAfterDown(), 4);  // on from the bill it showed
  // A double click opens the bill clicked; once the editor has closed by its close box, the list
  // is read again on the bill that was open and takes the arrows.
  QString lsh;
  CloseNextWindow(opened, [&lsh](QWidget& modal) {
    auto* serial = modal.findChild<QLineEdit*>(QStringLiteral("TxtLSH"));
    lsh = serial != nullptr ? serial->text() : modal.objectName();
    modal.close();
  });
  const QPoint onSecond = list->visualRect(list->model()->index(1, 1)).center();
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, onSecond);
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, onSecond);
  EXPECT_EQ(lsh, QStringLiteral("DBD202403010002"));
  EXPECT_EQ(RowAfterDown(), 3);
  EXPECT_EQ(StatusText(), QStringLiteral("总记录:4:当前记录: 3"));

  // 选择 marked every bill, and the marks outlived the list read again: Space takes row 3's off.
  QTest::keyClick(list, Qt::Key_Space);
  EXPECT_FALSE(browser.ListGrid().IsMarked(3));
  EXPECT_EQ(Cell(2, 0), QString());
  EXPECT_EQ(Cell(1, 0), QStringLiteral("√"));
  // End and Home go to the last and first bill, not to the row's last and first column.
  QTest::keyClick(list, Qt::Key_End);
  EXPECT_EQ(StatusText(), QStringLiteral("总记录:4:当前记录: 4"));
  QTest::keyClick(list, Qt::Key_Home);
  EXPECT_EQ(StatusText(), QStringLiteral("总记录:4:当前记录: 1"));
  QTest::keyClick(list, Qt::Key_Escape);
  EXPECT_FALSE(browser.IsOpen());
}

// At the window's own width the key guide is read whole, the record count beside it, and the sort
// keys beside the find row; a window made narrow wraps the guide between its entries rather than
// cutting its last keys off.
TEST_F(BrowserViewTest, TheKeyGuideIsReadWholeBesideTheRecordCount) {
  browserView->resize(1100, 640);
  QApplication::processEvents();
  auto* keys = browserView->findChild<QLabel*>(QStringLiteral("StatusBar1Keys"));
  EXPECT_GE(keys->width(), keys->fontMetrics().horizontalAdvance(keys->text()));
  // The sort keys, for which the guide has no room, are read beside the find row.
  auto* sortKeys = browserView->findChild<QLabel*>(QStringLiteral("LblSortKeys"));
  ASSERT_NE(sortKeys, nullptr);
  EXPECT_TRUE(sortKeys->isVisible() && sortKeys->text().contains(QStringLiteral("Ctrl+↑/↓")));
  EXPECT_GE(sortKeys->width(), sortKeys->fontMetrics().horizontalAdvance(sortKeys->text()));
  browserView->resize(500, 350);
  QApplication::processEvents();
  const QRect text = keys->contentsRect();
  EXPECT_GE(text.height(), keys->fontMetrics().boundingRect(text, Qt::TextWordWrap, keys->text()).height());
  QTextLayout lines(keys->text(), keys->font());  // and only between entries: never "退" / "出"
  lines.beginLayout();
  for (QTextLine line = lines.createLine(); line.isValid(); line = lines.createLine()) {
    line.setLineWidth(text.width());
    EXPECT_TRUE(line.textStart() == 0 || keys->text().mid(line.textStart() - 2, 2) == "| ") << line.textStart();
  }
  lines.endLayout();
}

// Ctrl+F reaches the find box from the list, Enter finds, Esc gives the whole list back, still
// sorted as the header clicks left it; Ctrl+Up and Ctrl+Down sort by the column the clerk
// stands on, as in the report.
TEST_F(BrowserViewTest, TheFindRowNarrowsTheListByKeys) {
  qttest::ClickHeader(*list, 5);  // 拨入仓库编号 ascending, then descending: 05 02 02 03
  qttest::ClickHeader(*list, 5);
  ASSERT_EQ(Cell(0, 5), QStringLiteral("05"));
  auto* find = browserView->findChild<QLineEdit*>(QStringLiteral("TxtFind"));
  list->setFocus();
  QTest::keyClick(list, Qt::Key_Tab);  // Tab leaves the list for the find row
  EXPECT_FALSE(list->hasFocus());
  list->setFocus();
  QTest::keyClick(list, Qt::Key_F, Qt::ControlModifier);
  EXPECT_TRUE(find->hasFocus());
  qttest::TypeText(*find, QStringLiteral("中药"));
  EXPECT_EQ(list->model()->rowCount(), 4);
  QTest::keyClick(find, Qt::Key_Return);
  EXPECT_EQ(list->model()->rowCount(), 1);
  EXPECT_TRUE(browser.IsOpen());
  QTest::keyClick(find, Qt::Key_Escape);
  EXPECT_EQ(find->text(), QString());
  EXPECT_EQ(list->model()->rowCount(), 4);
  EXPECT_EQ(Cell(0, 5), QStringLiteral("05"));  // still sorted as it was
  list->setCurrentIndex(list->model()->index(0, 5));
  QTest::keyClick(list, Qt::Key_Up, Qt::ControlModifier);
  EXPECT_EQ(Cell(0, 5) + Cell(3, 5), QStringLiteral("0205"));
  QTest::keyClick(list, Qt::Key_Down, Qt::ControlModifier);
  EXPECT_EQ(Cell(0, 5), QStringLiteral("05"));
}

// A remark cut short by its column is read whole in the cell's tool tip; one shown whole has none.
TEST_F(BrowserViewTest, ARemarkCutShortIsReadWholeInItsTip) {
  const std::string remark(150, 'x');
  db.Run({"update ckdbdzk set bz='" + remark + "' where lsh='DBD202403010002'"});
  browser.Click("刷新");
  const auto tipOf = [&](int row) {
    const QPoint at = list->visualRect(list->model()->index(row, 7)).center();
    QHelpEvent help(QEvent::ToolTip, at, list->viewport()->mapToGlobal(at));
    QApplication::sendEvent(list->viewport(), &help);
    return QToolTip::isVisible() ? QToolTip::text() : QString();
  };
  EXPECT_EQ(tipOf(0), QString());
  EXPECT_EQ(tipOf(1), QString::fromStdString(remark));
}

}  // namespace
