// The editor's window on the demo database with the desktop's own dialogs. The entry row tried
// from the keyboard alone: real key presses from the out-warehouse to the amount, the selection
// dialogs over the editor answered by keys, the batch dialog opening on the batch that expires
// first, and what is typed replacing what a field shows, whether Enter or the mouse moved the
// focus there. Then the window itself: every control under its own name, the grids' number
// places, the goods panel, the state stamp and the totals.
#include <QDateEdit>
#include <QToolTip>

#include "DemoDesktop.h"
#include "host/EmbeddedProcedures.h"
#include "host/KeyCodes.h"
#include "host/ScriptedUserInterface.h"

namespace {

// What a selection dialog showed when the test answered it (one that never shows is a failure of
// WhenModalShows).
struct DialogSeen {
  bool modal = false;
  QWidget* parent = nullptr;
  int rows = 0, currentRow = -1;
};

class EditorViewTest : public qttest::DemoDesktop<> {
 protected:
  static QWidget* Focused() { return QApplication::focusWidget(); }
  // A key, then what the event loop does before the clerk's next key.
  void Press(const char* field, Qt::Key key) {
    QTest::keyClick(Field(field), key);
    QApplication::processEvents();
  }
  // Keys only, as the clerk types: what a field shows must give way to them by itself.
  void Keys(const char* field, const char* text) { QTest::keyClicks(Field(field), QString::fromUtf8(text)); }
  // The keys, then Enter: a dialog the test answers must not be looked for before Enter opens it.
  void Enter(const char* field, const char* text) {
    Keys(field, text);
    Press(field, Qt::Key_Return);
  }
  void Click(const char* field) {
    QTest::mouseClick(Field(field), Qt::LeftButton, {}, Field(field)->rect().center());
    QApplication::processEvents();
  }

  // The next selection dialog: record what it shows, then press the keys in it.
  void AnswerDialog(DialogSeen& seen, std::vector<Qt::Key> keys) {
    qttest::WhenModalShows([&seen, keys](QWidget& modal) {
      auto* grid = modal.findChild<QTableView*>(QStringLiteral("Grid"));
      ASSERT_NE(grid, nullptr);
      seen = {modal.isModal(), modal.parentWidget(), grid->model()->rowCount(), grid->currentIndex().row()};
      for (Qt::Key key : keys) QTest::keyClick(modal.focusWidget(), key);
    });
  }
};

// The demo's batches of 0003 in 01 are listed by batch number; the later-numbered one is made to
// expire first. Whether the editor's Enter, a dialog closing or the mouse moved the focus, the
// keys replace the text the field shows.
TEST_F(EditorViewTest, FromTheOutWarehouseToTheAmountByKeysAlone) {
  db.Run({"update phk set xq='2025-01-31' where hh='0003' and stockid='01' and ph='230422'",
          "update phk set xq='2024-06-30' where hh='0003' and stockid='01' and ph='240207'"});
  OpenEditor();
  EXPECT_EQ(Focused(), Field("TxtBcCkID"));
  Press("TxtBcCkID", Qt::Key_0);  // something in the field before the clerk types the id
  Click("txtBrCKid");
  Click("TxtBcCkID");

  Enter("TxtBcCkID", "01");
  EXPECT_EQ(Field("TxtBcCkID")->text(), QStringLiteral("01"));
  EXPECT_EQ(Focused(), Field("txtBrCKid"));
  Enter("txtBrCKid", "02");
  EXPECT_EQ(Focused(), Field("TxtHH"));  // the remark is passed over

  // 0003 has three units: the unit dialog opens over the editor; Down and Enter take 中包.
  DialogSeen units;
  AnswerDialog(units, {Qt::Key_Down, Qt::Key_Return});
  Enter("TxtHH", "0003");
  EXPECT_TRUE(units.modal);
  EXPECT_EQ(units.parent, view.get());
  EXPECT_EQ(Field("txtDw")->text(), QStringLiteral("中包"));
  EXPECT_EQ(Focused(), Field("TxtDj"));
  // A 中包 of 12 boxes costs 12 x 15.2; the model keeps its plain text, only the view pads it.
  EXPECT_EQ(form->Text("TxtDj"), "182.4");
  // The price the dialog left in the box gives way to the clerk's keys, as after any other move.
  QApplication::processEvents();
  Keys("TxtDj", "190");
  EXPECT_EQ(Field("TxtDj")->text(), QStringLiteral("190"));
  Press("TxtDj", Qt::Key_Return);
  EXPECT_EQ(Focused(), Field("TxtSl"));
  EXPECT_EQ(Field("TxtDj")->text(), QStringLiteral("190.00"));  // left: with the price's two places
  // Two batches in stock: the batch dialog opens on the one that expires first, in the list's
  // order, and Enter takes it.
  DialogSeen batches;
  AnswerDialog(batches, {Qt::Key_Return});
  Enter("TxtSl", "5");
  EXPECT_EQ(batches.rows, 2);
  EXPECT_EQ(batches.currentRow, 1);
  ASSERT_TRUE(form->Entry().batch.has_value());
  EXPECT_EQ(form->Entry().batch->number, "240207");
  EXPECT_EQ(Focused(), Field("TxtJe"));
  EXPECT_EQ(Field("TxtSl")->text(), QStringLiteral("5.00"));

  Press("TxtJe", Qt::Key_Return);
  auto* save = view->findChild<QPushButton*>(QStringLiteral("Cmd_Save"));
  EXPECT_EQ(Focused(), save);
}

// A part the date cannot take was dropped unseen: 2024-02-30 became 2024-02-03. The clerk is
// told, and the part is his to type again.
TEST_F(EditorViewTest, ADayTheMonthHasNotIsToldAndTypedAgain) {
  OpenEditor();
  auto* date = view->findChild<QDateEdit*>(QStringLiteral("DTPKdrq"));
  date->setFocus();
  date->setSelectedSection(QDateTimeEdit::YearSection);
  QTest::keyClicks(date, QStringLiteral("2024-02-30"));
  EXPECT_EQ(QToolTip::text(), QStringLiteral("2024年2月没有30日，请重新输入"));
  QTest::keyClick(date, Qt::Key_Return);  // 2024-02-03 shown is no date he typed: Enter stays
  QApplication::processEvents();
  EXPECT_EQ(Focused(), date);
  QTest::keyClicks(date, QStringLiteral("29"));
  EXPECT_EQ(form->Text("DTPKdrq"), "2024-02-29");
}

// Shift+Tab from the out-warehouse left the date's day selected: 2023-02-28 typed went into it.
// Enter then goes on to the out-warehouse, as from the other header fields.
TEST_F(EditorViewTest, ADateReachedByShiftTabIsTypedFromItsYearAndEnterGoesOn) {
  OpenEditor();
  Field("TxtBcCkID")->setFocus();
  QTest::keyClick(Field("TxtBcCkID"), Qt::Key_Backtab);
  ASSERT_EQ(Focused()->objectName(), QStringLiteral("DTPKdrq"));
  QTest::keyClicks(Focused(), QStringLiteral("2023-02-28"));
  EXPECT_EQ(form->Text("DTPKdrq"), "2023-02-28");
  QTest::keyClick(Focused(), Qt::Key_Return);
  QApplication::processEvents();
  EXPECT_EQ(Focused(), Field("TxtBcCkID"));
  EXPECT_EQ(form->Text("DTPKdrq"), "2023-02-28");
}

// The window shows the bill as the model holds it. Every control of the model has its widget,
// so none is left unbound. Quantities with SLWS places, prices with wsjws (or all the places stored), amounts with the cents
// they are stored with; the model's cells stay as stored. The goods panel follows the line
// clicked or the arrows move to. The stamp, totals and grey buttons follow the bill from one state
// to the next (which button a state rules out, and its tool tip, is walked in CommandWalkTest).
class EditorBillViewTest : public qttest::DemoDesktop<storeadjust::ScriptedUserInterface> {};

TEST_F(EditorBillViewTest, ShowsTheBillAsTheModelHoldsItFromOneStateToTheNext) {
  storeadjust::RegisterEmbeddedProcedures();  // the approval gate's procedure, as the host registers it
  db.Run({"update sys_var set slws=3, wsjws=2", "update ckdbdzkmx set dj=7.6445 where lsh='DBD202403010001' and dh='1001'"});
  session.SysVarRs = session.Conn->OpenRecordset("select * from sys_var");
  session.SysVarRs->MoveFirst();
  OpenEditor("DBD202403010001");
  for (const std::string& name : form->ControlNames()) {
    const QString object = QString::fromStdString(name);
    const bool action = form->Control(name).kind == storeadjust::ControlKind::ToolbarButton;
    EXPECT_NE(action ? static_cast<QObject*>(view->findChild<QAction*>(object)) : view->findChild<QWidget*>(object), nullptr)
        << name;
  }
  EXPECT_TRUE(Field("TxtLSH")->isReadOnly());
  EXPECT_EQ(Field("TxtBZ")->cursorPosition(), 0);  // a remark longer than its box is read from its start
  const auto shown = [](QTableView* grid, int row, const char* caption) {
    for (int col = 0; col < grid->model()->columnCount(); ++col) {
      if (grid->model()->headerData(col, Qt::Horizontal).toString() == QString::fromUtf8(caption)) {
        return grid->model()->index(row, col).data().toString();
      }
    }
    return QStringLiteral("no column ") + QString::fromUtf8(caption);
  };
  auto* lines = view->findChild<QTableView*>(QStringLiteral("VfgContent"));
  EXPECT_EQ(shown(lines, 0, "单价"), QStringLiteral("7.6445"));  // the places stored, not hidden
  EXPECT_EQ(shown(lines, 1, "单价"), QStringLiteral("15.20"));
  EXPECT_EQ(shown(lines, 1, "数量"), QStringLiteral("12.000"));
  EXPECT_EQ(shown(lines, 1, "金额"), QStringLiteral("182.40"));
  EXPECT_EQ(form->Grid("VfgContent")->TextMatrix(2, 5), "15.2");
  auto* panel = view->findChild<QTableView*>(QStringLiteral("VfgSpxx"));
  EXPECT_EQ(shown(panel, 0, "零售价"), QStringLiteral("12.50"));
  EXPECT_EQ(shown(panel, 0, "拨出库存数量"), QStringLiteral("230.000"));

  const auto panelGoods = [&] { return panel->model()->index(0, 0).data().toString(); };
  lines->setFocus();
  ASSERT_EQ(lines->currentIndex().row(), 0);
  // The bill opens on its first line with its goods shown.
  EXPECT_EQ(panelGoods(), QStringLiteral("阿莫西林胶囊"));
  QTest::keyClick(lines, Qt::Key_Down);
  EXPECT_EQ(panelGoods(), QStringLiteral("布洛芬缓释胶囊"));
  EXPECT_TRUE(lines->hasFocus());
  QTest::keyClick(lines, Qt::Key_Tab);  // on to the next field: no cell cursor keeps Tab in the lines
  EXPECT_FALSE(lines->hasFocus());

  const auto label = [&](const char* name) { return view->findChild<QLabel*>(QString::fromUtf8(name))->text(); };
  auto* audit = view->findChild<QAction*>(QStringLiteral("审核"));
  auto* unAudit = view->findChild<QAction*>(QStringLiteral("反审"));
  auto* save = view->findChild<QPushButton*>(QStringLiteral("Cmd_Save"));
  EXPECT_EQ(label("LblBillState"), QStringLiteral("未审核"));
  EXPECT_EQ(label("LblSumSl") + " " + label("LblSumJe") + " " + label("LblSumLsze"), QStringLiteral("42.000 443.20 712.60"));

  ui.QueueAnswer(storeadjust::mb::kYes);
  audit->trigger();
  EXPECT_EQ(label("LblBillState"), QStringLiteral("已审核"));
  EXPECT_FALSE(save->isEnabled());

  ui.QueueAnswer(storeadjust::mb::kYes);
  unAudit->trigger();  // greyed until the audit, it would do nothing
  EXPECT_EQ(label("LblBillState"), QStringLiteral("未审核"));
  EXPECT_TRUE(save->isEnabled());
  EXPECT_EQ(save->toolTip(), QString());  // the reason it was grey is gone with it
  form->Close();
}

// The entry row shows its figures at the places the grid lists them with, amounts in cents, and
// the line saved is the line the row showed, to its last place: a price past the site's places, a
// sum binary fractions hold only nearly, a large price.
TEST_F(EditorBillViewTest, TheEntryRowShowsItsLineAtTheGridsPlacesAndSavesWhatItShows) {
  db.Run({"update sys_var set slws=3, wsjws=2"});
  session.SysVarRs = session.Conn->OpenRecordset("select * from sys_var");
  session.SysVarRs->MoveFirst();
  OpenEditor("DBD202403010001");
  const auto shownRow = [&] {
    QApplication::processEvents();
    QStringList row;
    for (const char* field : {"TxtDj", "TxtSl", "TxtJe", "TxtLsze"}) row << Field(field)->text();
    return row;
  };
  form->KeyDown("VfgContent", storeadjust::key::kF1 + 2);
  EXPECT_EQ(shownRow().join(' ').toStdString(), "7.64 20.000 152.80 250.00");
  for (const char* price : {"1.005", "0.1", "-0.7", "76543210.9876"}) {
    form->SetFocus("TxtDj");
    form->Type("TxtDj", price);
    form->SetFocus("TxtSl");  // the amount follows the price left
    const QStringList shown = shownRow();
    form->Click("Cmd_Save");
    const std::string stored[] = {"dj", "srsl", "je", "lsze"};
    for (int figure = 0; figure < 4; ++figure) {
      EXPECT_EQ(shown[figure].toDouble(),
                std::stod(db.Value("select " + stored[figure] + " from ckdbdzkmx where lsh='DBD202403010001' and dh='1001'")))
          << price << ": " << stored[figure] << " shown as " << shown[figure].toStdString();
    }
    EXPECT_EQ(shown[2], QString::number(shown[2].toDouble(), 'f', 2)) << price;
    form->KeyDown("VfgContent", storeadjust::key::kF1 + 2);
  }
}

// A figure field takes no group separator on a Chinese desktop: "1,000" typed is the
// 1000 the model reads, never text it refuses after the clerk has gone on.
TEST_F(EditorBillViewTest, AFigureFieldTakesNoGroupSeparator) {
  const QLocale desktop;
  QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
  OpenEditor("DBD202403010001");
  form->KeyDown("VfgContent", storeadjust::key::kF1 + 2);
  QApplication::processEvents();
  for (const char* field : {"TxtDj", "TxtSl"}) {
    Field(field)->setFocus();
    Field(field)->selectAll();
    QTest::keyClicks(Field(field), QStringLiteral("1,000.5"));
    EXPECT_EQ(form->Text(field), "1000.5") << field;
  }
  QLocale::setDefault(desktop);
}

// The window's close box, as Alt+F4, asks the editor first: No keeps the window and what was typed.
TEST_F(EditorBillViewTest, TheCloseBoxOverTypedInputNotSavedAsksFirst) {
  OpenEditor("DBD202403010001");
  QTest::keyClicks(Field("TxtBZ"), QStringLiteral("urgent"));
  const QString typed = Field("TxtBZ")->text();
  ui.QueueAnswer(storeadjust::mb::kNo);
  view->close();
  EXPECT_TRUE(view->isVisible());
  EXPECT_EQ(Field("TxtBZ")->text(), typed);
  ui.QueueAnswer(storeadjust::mb::kYes);
  view->close();
  EXPECT_FALSE(view->isVisible());
  EXPECT_FALSE(form->IsOpen());
}

}  // namespace
