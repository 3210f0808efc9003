// On the desktop, offscreen: what the clerk types into a field replaces the value it shows, in
// every entry field of the editor however the focus got there, and in the quantities of the
// goods-place dialog, opened by the edit key or by typing. Delete in a text field edits its text and asks
// nothing.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QSettings>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "QtTestSupport.h"
#include "editor/FrmStoreAdjuctBill.h"
#include "lines/GoodsPlaceAllocation.h"
#include "qt/EditorView.h"
#include "qt/GoodsPlaceDialogView.h"
#include "qt/GoodsPlaceTableModel.h"
#include "qt/QtUserInterface.h"
#include "support/DemoGoodsPlaceRequest.h"
#include "support/ModuleSession.h"

namespace {

using storeadjust::FrmStoreAdjuctBill;
using storeadjust::GoodsPlaceAllocation;
using storeadjust::qt::EditorView;
using storeadjust::qt::GoodsPlaceDialogView;
using storeadjust::qt::GoodsPlaceTableModel;
using storeadjust::qt::QtUserInterface;

class EditorFieldsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(settingsDir.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    form.Load();
    view = std::make_unique<EditorView>(form);
    view->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(view.get()));
    QApplication::processEvents();
  }

  QLineEdit* Field(const char* name) const { return view->findChild<QLineEdit*>(QString::fromUtf8(name)); }
  // Keys only, as the clerk types: no select-all of the test's own.
  void Keys(const char* field, const char* text) {
    QTest::keyClicks(Field(field), QString::fromUtf8(text));
    QApplication::processEvents();
  }
  void Press(const char* field, Qt::Key key) {
    QTest::keyClick(Field(field), key);
    QApplication::processEvents();
  }
  void Click(const char* field) {
    QTest::mouseClick(Field(field), Qt::LeftButton, {}, Field(field)->rect().center());
    QApplication::processEvents();
  }

  QTemporaryDir settingsDir;
  testsupport::TempDatabase db{storeadjust::db::CreateDemoDatabase};
  QtUserInterface ui{QStringLiteral("StoreAdjustTest")};
  storeadjust::Session session = testsupport::OpenEditorSession(db, ui);
  FrmStoreAdjuctBill form{session, storeadjust::EditorRequest{}};
  std::unique_ptr<EditorView> view;
};

TEST_F(EditorFieldsTest, TypingReplacesWhatTheFieldShows) {
  // Focus moved by the editor: each Enter lands on a field whose text the next keys replace.
  Press("TxtBcCkID", Qt::Key_0);  // something in the field before the clerk types the id
  ASSERT_EQ(Field("TxtBcCkID")->text(), QStringLiteral("0"));
  Click("txtBrCKid");
  Click("TxtBcCkID");
  Keys("TxtBcCkID", "01");
  EXPECT_EQ(Field("TxtBcCkID")->text(), QStringLiteral("01"));
  Press("TxtBcCkID", Qt::Key_Return);
  Keys("txtBrCKid", "02");
  Press("txtBrCKid", Qt::Key_Return);
  ASSERT_EQ(QApplication::focusWidget(), Field("TxtHH"));
  Keys("TxtHH", "0006");
  Press("TxtHH", Qt::Key_Return);
  ASSERT_EQ(QApplication::focusWidget(), Field("TxtDj"));
  Keys("TxtDj", "30");
  EXPECT_EQ(Field("TxtDj")->text(), QStringLiteral("30"));
  Press("TxtDj", Qt::Key_Return);
  ASSERT_EQ(QApplication::focusWidget(), Field("TxtSl"));
  Keys("TxtSl", "50");
  EXPECT_EQ(Field("TxtSl")->text(), QStringLiteral("50"));
  EXPECT_EQ(form.Text("TxtSl"), "50");

  // Focus moved by the mouse, into fields the editor filled.
  for (const char* field : {"TxtDj", "TxtJe", "TxtBZ", "txtJl"}) {
    Click(field);
    Keys(field, "7");
    EXPECT_EQ(Field(field)->text(), QStringLiteral("7")) << field;
  }
}

class GoodsPlaceQuantityTest : public ::testing::Test {
 protected:
  static QLineEdit* CellEditor() { return qobject_cast<QLineEdit*>(QApplication::focusWidget()); }
  static void Commit(QLineEdit* editor) { QTest::keyClick(editor, Qt::Key_Return); }

  testsupport::TempDatabase db{storeadjust::db::CreateDemoDatabase};
};

// Line 1001 of the demo bill holds Y01 3.5 and Y02 2: the clerk retypes Y01 twice, and Y03.
TEST_F(GoodsPlaceQuantityTest, ACellOpenedByTheEditKeyOrByTypingIsReplacedByWhatIsTyped) {
  GoodsPlaceAllocation allocation(testsupport::DemoGoodsPlaceRequest(db, "1001", "0021", "8"));
  GoodsPlaceDialogView dialog(allocation);
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
  QTableView& grid = *dialog.Grid();
  const auto quantity = [&](int row) { return grid.model()->index(row, GoodsPlaceTableModel::kQuantity); };

  // Opened by the edit key: the 3.5 it holds is selected, and 5 replaces it.
  QTest::keyClick(&grid, Qt::Key_F2);
  QLineEdit* editor = CellEditor();
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->selectedText(), QStringLiteral("3.5"));
  QTest::keyClicks(editor, QStringLiteral("5"));
  Commit(editor);
  EXPECT_EQ(quantity(0).data().toString(), QStringLiteral("5"));

  // Opened again after a change: the 5 it now holds is selected too.
  grid.setCurrentIndex(quantity(0));
  QTest::keyClick(&grid, Qt::Key_F2);
  editor = CellEditor();
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->selectedText(), QStringLiteral("5"));
  QTest::keyClicks(editor, QStringLiteral("4.5"));
  Commit(editor);
  EXPECT_EQ(quantity(0).data().toString(), QStringLiteral("4.5"));

  // Opened by typing into a cell that holds a quantity: 20 typed is 20, not 320.
  ASSERT_TRUE(grid.model()->setData(quantity(2), QStringLiteral("3"), Qt::EditRole));
  grid.setCurrentIndex(quantity(2));
  QTest::keyClicks(&grid, QStringLiteral("2"));
  editor = CellEditor();
  ASSERT_NE(editor, nullptr);
  QTest::keyClicks(editor, QStringLiteral("0"));
  EXPECT_EQ(editor->text(), QStringLiteral("20"));
  QTest::keyClick(editor, Qt::Key_Escape);
}

}  // namespace
