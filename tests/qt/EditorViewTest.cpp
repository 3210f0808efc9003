// The editor's window on the demo database: it opens with the model's controls under their own
// names, keys reach the model and the focus follows it, deferred focus moves land once shown,
// and numeric fields show the decimals the settings give.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCalendarWidget>
#include <QDateEdit>
#include <QToolButton>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include "QtTestSupport.h"
#include "editor/FrmStoreAdjuctBill.h"
#include "qt/EditorView.h"
#include "support/ModuleSession.h"

namespace {

using storeadjust::ControlKind;
using storeadjust::FrmStoreAdjuctBill;
using storeadjust::qt::EditorView;

class EditorViewTest : public ::testing::Test {
 protected:
  void Open(const std::string& lsh) {
    session.IsNewBill = lsh.empty();
    session.CurrentLSH = lsh;
    form.Load();
    view = std::make_unique<EditorView>(form);
    view->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(view.get()));
    QApplication::processEvents();
  }
  template <typename T>
  T* Widget(const std::string& name) const {
    return view->findChild<T*>(QString::fromStdString(name));
  }

  testsupport::TempDatabase db{storeadjust::db::CreateDemoDatabase};
  storeadjust::ScriptedUserInterface ui;
  storeadjust::Session session = testsupport::OpenEditorSession(db, ui);
  FrmStoreAdjuctBill form{session};
  std::unique_ptr<EditorView> view;
};

TEST_F(EditorViewTest, EveryControlHasAWidgetOfItsNameWithItsCaption) {
  Open("");
  for (const std::string& name : form.ControlNames()) {
    const auto kind = form.Control(name).kind;
    QObject* object = kind == ControlKind::ToolbarButton ? static_cast<QObject*>(Widget<QAction>(name))
                                                         : static_cast<QObject*>(Widget<QWidget>(name));
    EXPECT_NE(object, nullptr) << name;
  }
  EXPECT_EQ(Widget<QPushButton>("Cmd_Save")->text(), QStringLiteral("保 存"));
  EXPECT_EQ(Widget<QLabel>("LblJl")->text(), QStringLiteral("计量："));
  EXPECT_EQ(Widget<QGroupBox>("FraContent")->title(), QStringLiteral("调拨明细"));
  EXPECT_EQ(Widget<QLabel>("StatusBar1")->text().toStdString(), storeadjust::kEditorKeyGuide);
  EXPECT_FALSE(Widget<QAction>("确认")->isVisible());
  EXPECT_EQ(Widget<QLineEdit>("TxtLSH")->text(), QStringLiteral("DBD202403050005"));
  EXPECT_TRUE(Widget<QLineEdit>("TxtLSH")->isReadOnly());
}

// Quantities with SLWS places, prices with wsjws, amounts with the cents they are stored with,
// all on the right; the model's cells stay as stored.
TEST_F(EditorViewTest, GridNumbersShowTheirPlacesOnTheRight) {
  db.Run({"update sys_var set slws=3, wsjws=2"});
  session.SysVarRs = session.Conn->OpenRecordset("select * from sys_var");
  session.SysVarRs->MoveFirst();
  Open("DBD202403010001");
  const auto shown = [](QTableView* grid, int row, const char* caption) {
    for (int col = 0; col < grid->model()->columnCount(); ++col) {
      if (grid->model()->headerData(col, Qt::Horizontal).toString() != QString::fromUtf8(caption)) continue;
      const QModelIndex cell = grid->model()->index(row, col);
      const bool right = cell.data(Qt::TextAlignmentRole).toInt() & Qt::AlignRight;
      return (right ? QStringLiteral("right ") : QStringLiteral("left ")) + cell.data().toString();
    }
    return QStringLiteral("no column ") + QString::fromUtf8(caption);
  };
  auto* lines = Widget<QTableView>("VfgContent");
  EXPECT_EQ(shown(lines, 1, "单价"), QStringLiteral("right 15.20"));
  EXPECT_EQ(shown(lines, 1, "数量"), QStringLiteral("right 12.000"));
  EXPECT_EQ(shown(lines, 1, "金额"), QStringLiteral("right 182.40"));
  EXPECT_EQ(shown(lines, 1, "货号"), QStringLiteral("left 0003"));
  EXPECT_EQ(form.Grid("VfgContent")->TextMatrix(2, 5), "15.2");
  auto* panel = Widget<QTableView>("VfgSpxx");
  EXPECT_EQ(shown(panel, 0, "零售价"), QStringLiteral("right 16.50"));
  EXPECT_EQ(shown(panel, 0, "拨出库存数量"), QStringLiteral("right 310.000"));
  EXPECT_EQ(shown(panel, 0, "包装"), QStringLiteral("right 100"));
  EXPECT_EQ(shown(panel, 0, "金额合计"), QStringLiteral("right 443.20"));
  EXPECT_EQ(shown(panel, 0, "品名"), QStringLiteral("left 感冒灵颗粒"));
}

TEST_F(EditorViewTest, TheGoodsPanelFollowsTheLineTheArrowsMoveTo) {
  Open("DBD202403010001");
  auto* lines = Widget<QTableView>("VfgContent");
  const auto panelGoods = [&] { return Widget<QTableView>("VfgSpxx")->model()->index(0, 0).data().toString(); };
  lines->setFocus();
  ASSERT_EQ(lines->currentIndex().row(), 0);
  QTest::keyClick(lines, Qt::Key_Down);
  EXPECT_EQ(panelGoods(), QStringLiteral("布洛芬缓释胶囊"));
  QTest::keyClick(lines, Qt::Key_Down);
  EXPECT_EQ(panelGoods(), QStringLiteral("感冒灵颗粒"));
  QTest::keyClick(lines, Qt::Key_Up);
  QTest::keyClick(lines, Qt::Key_Up);
  EXPECT_EQ(panelGoods(), QStringLiteral("阿莫西林胶囊"));
  EXPECT_TRUE(lines->hasFocus());
}

TEST_F(EditorViewTest, TheDatePickerAndItsCalendarSpeakChinese) {
  Open("");
  auto* picker = Widget<QDateEdit>("DTPKdrq");
  EXPECT_EQ(picker->text(), QStringLiteral("2024-03-05"));
  QCalendarWidget* calendar = picker->calendarWidget();
  ASSERT_NE(calendar, nullptr);
  EXPECT_EQ(calendar->locale().language(), QLocale::Chinese);
  EXPECT_EQ(calendar->findChild<QToolButton*>(QStringLiteral("qt_calendar_monthbutton"))->text(), QStringLiteral("三月"));
}

// Light yellow while the retail total follows the goods, white once goods kept by amount only
// let the clerk type it.
TEST_F(EditorViewTest, TheRetailTotalIsYellowWhileReadOnlyAndWhiteWhenTyped) {
  Open("");
  auto* retail = Widget<QLineEdit>("TxtLsze");
  const auto background = [&] { return retail->grab().toImage().pixelColor(6, retail->height() / 2).name(); };
  EXPECT_EQ(background(), QStringLiteral("#ffffc0"));
  for (const auto& [field, text] : {std::pair{"TxtBcCkID", "01"}, std::pair{"txtBrCKid", "02"}, std::pair{"TxtHH", "0040"}}) {
    form.Type(field, text);
  }
  form.KeyDown("TxtHH", 13);
  ASSERT_FALSE(retail->isReadOnly());
  EXPECT_EQ(background(), QStringLiteral("#ffffff"));
  form.Type("TxtHH", "0006");
  form.KeyDown("TxtHH", 13);
  EXPECT_EQ(background(), QStringLiteral("#ffffc0"));
}

// Every control shows as the model says, and no two visible fields, labels or buttons cover
// each other: a clerk can read and reach each of them.
TEST_F(EditorViewTest, EveryShownControlIsVisibleAndNoneCoversAnother) {
  Open("DBD202403010001");
  std::vector<std::pair<std::string, QRect>> placed;
  for (const std::string& name : form.ControlNames()) {
    const auto& state = form.Control(name);
    if (state.kind == ControlKind::ToolbarButton) {
      EXPECT_EQ(Widget<QAction>(name)->isVisible(), state.visible) << name;
      continue;
    }
    auto* widget = Widget<QWidget>(name);
    EXPECT_EQ(widget->isVisible(), state.visible) << name;
    if (!widget->isVisible() || state.kind == ControlKind::Frame) continue;
    EXPECT_GT(widget->width(), 0) << name;
    placed.emplace_back(name, QRect(widget->mapTo(view.get(), QPoint(0, 0)), widget->size()));
  }
  for (std::size_t a = 0; a < placed.size(); ++a) {
    for (std::size_t b = a + 1; b < placed.size(); ++b) {
      EXPECT_FALSE(placed[a].second.intersects(placed[b].second)) << placed[a].first << " / " << placed[b].first;
    }
  }
}

}  // namespace
