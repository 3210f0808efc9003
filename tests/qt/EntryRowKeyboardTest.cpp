// The editor's entry row tried from the keyboard alone, on the demo database with the desktop's
// own dialogs: real key presses from the out-warehouse to the amount, the selection dialogs over
// the editor answered by keys, the arrows that move back and forth, Tab passing over the boxes
// a clerk cannot type in, and the batch dialog opening on the batch that expires first.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include "QtTestSupport.h"
#include "editor/FrmStoreAdjuctBill.h"
#include "qt/EditorView.h"
#include "qt/QtUserInterface.h"
#include "support/ModuleSession.h"

namespace {

using storeadjust::FrmStoreAdjuctBill;
using storeadjust::qt::EditorView;
using storeadjust::qt::QtUserInterface;

// What a selection dialog showed when the test answered it.
struct DialogSeen {
  bool shown = false;
  bool modal = false;
  QWidget* parent = nullptr;
  int rows = 0;
  int currentRow = -1;
};

class EntryRowKeyboardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(settingsDir.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
  }

  void OpenNewBill() {
    session.IsNewBill = true;
    form.Load();
    view = std::make_unique<EditorView>(form);
    view->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(view.get()));
    QApplication::processEvents();  // the deferred focus move into the out-warehouse
  }

  QLineEdit* Field(const char* name) const { return view->findChild<QLineEdit*>(QString::fromUtf8(name)); }
  QWidget* Focused() const { return QApplication::focusWidget(); }
  // A key, then what the event loop does before the clerk's next key.
  void Press(const char* field, Qt::Key key) {
    QTest::keyClick(Field(field), key);
    QApplication::processEvents();
  }
  // Replaces the field's text as a clerk does: select all, then type.
  void Type(const char* field, const char* text) {
    QTest::keyClick(Field(field), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(Field(field), QString::fromUtf8(text));
  }

  // The next selection dialog: record what it shows, then press the keys in it.
  void AnswerDialog(DialogSeen& seen, std::vector<Qt::Key> keys) {
    qttest::WhenModalShows([&seen, keys](QWidget& modal) {
      auto* grid = modal.findChild<QTableView*>(QStringLiteral("Grid"));
      ASSERT_NE(grid, nullptr);
      seen = {true, modal.isModal(), modal.parentWidget(), grid->model()->rowCount(), grid->currentIndex().row()};
      for (Qt::Key key : keys) QTest::keyClick(modal.focusWidget(), key);
    });
  }

  // Out-warehouse 01 and in-warehouse 02, each taken by Enter.
  void EnterWarehouses() {
    Type("TxtBcCkID", "01");
    Press("TxtBcCkID", Qt::Key_Return);
    Type("txtBrCKid", "02");
    Press("txtBrCKid", Qt::Key_Return);
  }
  void EnterGoods(const char* goods) {
    Type("TxtHH", goods);
    Press("TxtHH", Qt::Key_Return);
  }

  QTemporaryDir settingsDir;
  testsupport::TempDatabase db{storeadjust::db::CreateDemoDatabase};
  QtUserInterface ui{QStringLiteral("StoreAdjustTest")};
  storeadjust::Session session = testsupport::OpenEditorSession(db, ui);
  FrmStoreAdjuctBill form{session};
  std::unique_ptr<EditorView> view;
};

TEST_F(EntryRowKeyboardTest, FromTheOutWarehouseToTheAmountByKeysAlone) {
  OpenNewBill();
  EXPECT_EQ(Focused(), Field("TxtBcCkID"));

  Type("TxtBcCkID", "01");
  Press("TxtBcCkID", Qt::Key_Return);
  EXPECT_EQ(Field("txtBcCkName")->text(), QStringLiteral("总仓"));
  EXPECT_EQ(Focused(), Field("txtBrCKid"));

  Type("txtBrCKid", "02");
  Press("txtBrCKid", Qt::Key_Return);
  EXPECT_EQ(Field("txtBrCkName")->text(), QStringLiteral("一号门店仓"));
  EXPECT_EQ(Focused(), Field("TxtHH"));  // the remark is passed over

  // 0003 has three units: the unit dialog opens over the editor; Down and Enter take 中包.
  DialogSeen units;
  AnswerDialog(units, {Qt::Key_Down, Qt::Key_Return});
  Type("TxtHH", "0003");
  Press("TxtHH", Qt::Key_Return);
  ASSERT_TRUE(units.shown);
  EXPECT_TRUE(units.modal);
  EXPECT_EQ(units.parent, view.get());
  EXPECT_EQ(units.rows, 3);
  EXPECT_EQ(Field("txtDw")->text(), QStringLiteral("中包"));
  EXPECT_EQ(Field("txtXs")->text(), QStringLiteral("12"));
  EXPECT_EQ(Focused(), Field("TxtDj"));
  EXPECT_EQ(form.Text("TxtDj"), "15.2");  // the model keeps its plain text; only the view pads it

  Press("TxtDj", Qt::Key_Return);
  EXPECT_EQ(Focused(), Field("TxtSl"));
  EXPECT_EQ(Field("TxtDj")->text(), QStringLiteral("15.20"));  // left: with the price's two places

  // Two batches in stock: the batch dialog opens, Enter takes the one it offers.
  DialogSeen batches;
  AnswerDialog(batches, {Qt::Key_Return});
  Type("TxtSl", "5");
  Press("TxtSl", Qt::Key_Return);
  ASSERT_TRUE(batches.shown);
  EXPECT_EQ(batches.parent, view.get());
  EXPECT_EQ(batches.rows, 2);
  EXPECT_TRUE(form.Entry().HasChosenBatch());
  EXPECT_EQ(Focused(), Field("TxtJe"));
  EXPECT_EQ(Field("TxtJe")->text(), QStringLiteral("76"));
  EXPECT_EQ(Field("TxtLsze")->text(), QStringLiteral("1488"));  // 24.8 x 5 x 12 per 中包
  EXPECT_EQ(Field("TxtSl")->text(), QStringLiteral("5.00"));

  Press("TxtJe", Qt::Key_Return);
  EXPECT_EQ(Focused(), view->findChild<QPushButton*>(QStringLiteral("Cmd_Save")));
}

TEST_F(EntryRowKeyboardTest, TabPassesOverTheBoxesAClerkCannotTypeIn) {
  OpenNewBill();
  const auto nextByTab = [&](const char* from) {
    auto* widget = view->findChild<QWidget*>(QString::fromUtf8(from));
    widget->setFocus();
    QTest::keyClick(widget, Qt::Key_Tab);
    return Focused() == nullptr ? QString() : Focused()->objectName();
  };
  EXPECT_EQ(nextByTab("TxtBcCkID"), QStringLiteral("CmdGoodsPlace"));  // not the name beside it
  EXPECT_EQ(nextByTab("txtBrCKid"), QStringLiteral("Command1"));
  EXPECT_NE(nextByTab("Command1"), QStringLiteral("TxtSh"));
  EXPECT_EQ(nextByTab("txtJl"), QStringLiteral("TxtDj"));  // unit name and coefficient passed over
  EXPECT_EQ(nextByTab("TxtJe"), QStringLiteral("Chk1"));    // the retail total follows the goods
  for (const char* name : {"TxtLSH", "txtBcCkName", "txtBrCkName", "TxtCzryName", "TxtSh", "txtDw", "txtXs"}) {
    EXPECT_FALSE(Field(name)->focusPolicy() & Qt::TabFocus) << name;
  }
  // Goods kept by amount only: the retail total is typed, so Tab reaches it.
  EnterWarehouses();
  EnterGoods("0040");
  EXPECT_EQ(nextByTab("TxtJe"), QStringLiteral("TxtLsze"));
}

// The demo's batches of 0003 in 01 are listed by batch number; the later-numbered one is made to
// expire first.
TEST_F(EntryRowKeyboardTest, TheBatchDialogOffersTheBatchThatExpiresFirst) {
  db.Run({"update phk set xq='2025-01-31' where hh='0003' and stockid='01' and ph='230422'",
          "update phk set xq='2024-06-30' where hh='0003' and stockid='01' and ph='240207'"});
  OpenNewBill();
  EnterWarehouses();
  DialogSeen units;
  AnswerDialog(units, {Qt::Key_Return});
  EnterGoods("0003");
  Press("TxtDj", Qt::Key_Return);
  DialogSeen batches;
  AnswerDialog(batches, {Qt::Key_Return});
  Type("TxtSl", "2");
  Press("TxtSl", Qt::Key_Return);
  ASSERT_TRUE(batches.shown);
  EXPECT_EQ(batches.currentRow, 1);  // rows stay in the list's order
  EXPECT_EQ(form.Entry().BatchColumn(1).TextOrEmpty(), "240207");
  EXPECT_EQ(form.Entry().BatchColumn(5).AsDate(), (adodb::Date{2024, 6, 30}));
}

}  // namespace
