// The desktop goods-place dialog on the demo database: the total against the quantity to place,
// no confirmation while they differ by key or click, Enter through the rows and confirming on
// whichever row the total agrees, what is typed replacing a cell's quantity (typed at once or
// after the edit key), negatives, Esc cancelling, viewing read-only, and what QtUserInterface
// answers the editor.

#include "DemoDesktop.h"
#include "lines/GoodsPlaceAllocation.h"
#include "qt/GoodsPlaceDialogView.h"
#include "qt/GoodsPlaceTableModel.h"
#include "support/DemoGoodsPlaceRequest.h"

namespace {

using storeadjust::GoodsPlaceAllocation;
using storeadjust::GoodsPlaceRequest;
using storeadjust::qt::GoodsPlaceDialogView;
using storeadjust::qt::GoodsPlaceTableModel;

class GoodsPlaceDialogViewTest : public qttest::DemoDesktop<> {
 protected:
  // Goods 0021 on the demo bill's in-warehouse side.
  GoodsPlaceRequest Request(const std::string& lineKey, const std::string& quantity, bool viewOnly = false) const {
    GoodsPlaceRequest request = testsupport::DemoGoodsPlaceRequest(db, lineKey, "0021", quantity);
    request.viewOnly = viewOnly;
    return request;
  }
  // The dialog over `request`'s allocation, shown and active so that keys reach the widget that
  // has the focus, as on the desktop.
  GoodsPlaceDialogView& Open(const GoodsPlaceRequest& request) {
    allocation = std::make_unique<GoodsPlaceAllocation>(request);
    opened = std::make_unique<GoodsPlaceDialogView>(*allocation);
    opened->show();
    EXPECT_TRUE(QTest::qWaitForWindowActive(opened.get()));
    return *opened;
  }
  static QLineEdit* CellEditor() { return qobject_cast<QLineEdit*>(QApplication::focusWidget()); }
  // Types into the current quantity cell as the clerk does, then Enter in the cell's editor.
  static void EnterQuantity(GoodsPlaceDialogView& dialog, const QString& text) {
    QTest::keyClicks(dialog.Grid(), text.left(1));
    QLineEdit* editor = CellEditor();
    ASSERT_NE(editor, nullptr) << "typing in the grid opens the cell";
    QTest::keyClicks(editor, text.mid(1));
    QTest::keyClick(editor, Qt::Key_Return);
  }

  std::unique_ptr<GoodsPlaceAllocation> allocation;
  std::unique_ptr<GoodsPlaceDialogView> opened;
};

// Line 1001 holds Y01 3.5 and Y02 2, to be 8 boxes: what the clerk types replaces a cell's
// quantity, whether he just types or opens the cell by the edit key first.
TEST_F(GoodsPlaceDialogViewTest, EnterMovesThroughTheRowsUntilTheTotalAgrees) {
  GoodsPlaceRequest request = Request("1001", "8");
  request.unitName = "盒";  // the dialog allocates base units and says which
  GoodsPlaceDialogView& dialog = Open(request);
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("货位分配（单位：盒）"));
  QTableView& grid = *dialog.Grid();
  const auto quantity = [&](int row) {
    return grid.model()->index(row, GoodsPlaceTableModel::kQuantity).data().toString();
  };

  EnterQuantity(dialog, QStringLiteral("5"));
  EXPECT_EQ(quantity(0), QStringLiteral("5.00"));  // not 3.55; at the site's places, as the line's 数量
  EXPECT_EQ(dialog.Totals()->text(), QStringLiteral("合计 7.00 / 应分配 8.00 盒：合计须等于应分配数量才能确定"));
  QTest::keyClick(&grid, Qt::Key_F2);
  QLineEdit* editor = CellEditor();
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->selectedText(), QStringLiteral("2"));
  QTest::keyClicks(editor, QStringLiteral("2.5"));
  QTest::keyClick(editor, Qt::Key_Return);
  // The last row with a total of 7.5: the dialog stays, and neither Enter nor accepting confirms.
  EXPECT_FALSE(dialog.ConfirmButton()->isEnabled());
  QTest::keyClick(&grid, Qt::Key_Enter);
  dialog.accept();
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_NE(dialog.result(), QDialog::Accepted);

  EnterQuantity(dialog, QStringLiteral("0.5"));
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(allocation->Items(), (std::vector<std::string>{"P05Y01,05,Y01,5", "P05Y02,05,Y02,2.5", "P05Y03,05,Y03,0.5"}));
}

// Tab leaves the grid for the dialog's buttons and Shift+Tab comes back to the quantity the clerk
// stood on: walking the cells put him on a place's code or name, where what he typed went nowhere.
TEST_F(GoodsPlaceDialogViewTest, TabGoesToTheButtonsAndShiftTabBackToTheQuantity) {
  GoodsPlaceDialogView& dialog = Open(Request("1001", "8"));
  QTableView& grid = *dialog.Grid();
  QTest::keyClick(&grid, Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), dialog.CloseButton());
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
  EXPECT_EQ(QApplication::focusWidget(), &grid);
  // With Y02's 2, the 8 to place: Enter confirms on the first row, without walking the rest.
  EnterQuantity(dialog, QStringLiteral("6"));
  EXPECT_EQ(allocation->Items(), (std::vector<std::string>{"P05Y01,05,Y01,6", "P05Y02,05,Y02,2"}));
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

// A warehouse kept by goods places that has none: the dialog says so and confirms nothing.
TEST_F(GoodsPlaceDialogViewTest, AWarehouseWithoutGoodsPlacesSaysSo) {
  GoodsPlaceRequest request = Request(storeadjust::kNewLineKey, "12");
  request.warehouseId = "02";
  GoodsPlaceDialogView& dialog = Open(request);
  EXPECT_EQ(dialog.Totals()->text(), QStringLiteral("仓库 02 还没有货位，无法分配"));
  EXPECT_FALSE(dialog.ConfirmButton()->isEnabled());
}

TEST_F(GoodsPlaceDialogViewTest, ViewingIsReadOnlyAndOnlyCloses) {
  GoodsPlaceDialogView& dialog = Open(Request("1001", "5.5", true));
  QAbstractItemModel& model = *dialog.Grid()->model();
  QTest::keyClicks(dialog.Grid(), QStringLiteral("9"));
  EXPECT_EQ(model.index(0, GoodsPlaceTableModel::kQuantity).data().toString(), QStringLiteral("3.50"));
  EXPECT_FALSE(dialog.ConfirmButton()->isVisible());
  EXPECT_EQ(dialog.Totals()->text(), QStringLiteral("合计 5.50 / 应分配 5.50"));

  dialog.accept();  // the totals agree, but viewing confirms nothing
  EXPECT_TRUE(dialog.isVisible());
  QTest::keyClick(dialog.Grid(), Qt::Key_Return);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

// Through the user interface the editor calls, modally. Goods going back are placed by keys
// alone in negatives, as the line's quantity is.
TEST_F(GoodsPlaceDialogViewTest, TheEditorGetsTheConfirmedItemsAndNothingAfterEsc) {
  qttest::WhenModalShows([](QWidget& modal) {
    auto* dialog = qobject_cast<GoodsPlaceDialogView*>(&modal);
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
    EnterQuantity(*dialog, QStringLiteral("-2"));
    QTest::keyClick(dialog->Grid(), Qt::Key_Return);  // nothing for Y02
    EnterQuantity(*dialog, QStringLiteral("-1"));
  });
  storeadjust::GoodsPlaceAnswer answer = ui.ShowGoodsPlaces(Request(storeadjust::kNewLineKey, "-3"));
  EXPECT_TRUE(answer.confirmed);
  EXPECT_EQ(answer.items, (std::vector<std::string>{"P05Y01,05,Y01,-2", "P05Y03,05,Y03,-1"}));

  // Esc inside a cell that is being typed cancels the whole dialog.
  qttest::WhenModalShows([](QWidget& modal) {
    auto* dialog = qobject_cast<GoodsPlaceDialogView*>(&modal);
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
    QTest::keyClicks(dialog->Grid(), QStringLiteral("5"));
    ASSERT_NE(qobject_cast<QLineEdit*>(QApplication::focusWidget()), nullptr);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
  });
  answer = ui.ShowGoodsPlaces(Request(storeadjust::kNewLineKey, "5"));
  EXPECT_FALSE(answer.confirmed);
  EXPECT_TRUE(answer.items.empty());
}

// Closed, the dialog hands the keyboard back to the editor it was over: without a window manager
// to do it, the clerk's next keys after saving a line reached no window at all.
TEST_F(GoodsPlaceDialogViewTest, TheEditorHasTheKeyboardAgainOnceTheDialogCloses) {
  QWidget editor;
  editor.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&editor));
  qttest::WhenModalShows([](QWidget& modal) { static_cast<QDialog&>(modal).reject(); });
  EXPECT_FALSE(ui.ShowGoodsPlaces(Request(storeadjust::kNewLineKey, "5")).confirmed);
  EXPECT_TRUE(QTest::qWaitForWindowActive(&editor, 1000));
}

}  // namespace
