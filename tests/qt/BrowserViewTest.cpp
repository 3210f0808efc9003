// The browser's desktop window: its widgets carry the model's names, keys and header clicks in
// the list reach the model, and the model's focus and status text show in the window.
#include <gtest/gtest.h>

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTest>
#include <memory>

#include "QtTestSupport.h"
#include "browse/FrmStoreAdjuctBillBrow.h"
#include "qt/BrowserView.h"
#include "qt/FormViewRegistry.h"
#include "support/ModuleSession.h"

namespace {

using storeadjust::FrmStoreAdjuctBillBrow;

class BrowserViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    session.OptCode = "001";
    form = std::make_unique<FrmStoreAdjuctBillBrow>(session);
    form->Load();
    storeadjust::qt::RegisterBrowserView();
    const auto* factory = storeadjust::qt::FindFormView(form->Name());
    ASSERT_NE(factory, nullptr);
    view = (*factory)(*form, nullptr);
    view->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(view.get()));
    list = view->findChild<QTableView*>(QStringLiteral("Vs"));
    ASSERT_NE(list, nullptr);
  }

  QString StatusText() const {
    auto* panel = view->findChild<QLabel*>(QStringLiteral("StatusBar1"));
    return panel ? panel->text() : QStringLiteral("<none>");
  }
  QString Cell(int row, int col) const { return list->model()->index(row, col).data().toString(); }

  testsupport::TempDatabase db{storeadjust::db::CreateDemoDatabase};
  storeadjust::ScriptedUserInterface ui;  // the commands under test ask nothing: a Yes/No box would throw
  storeadjust::Session session = testsupport::OpenSession(db, ui);
  std::unique_ptr<FrmStoreAdjuctBillBrow> form;
  std::unique_ptr<storeadjust::qt::FormView> view;
  QTableView* list = nullptr;
};

TEST_F(BrowserViewTest, OpensWithTheModelsNamesCaptionsAndList) {
  EXPECT_TRUE(view->windowTitle().startsWith(QStringLiteral("仓库调拨单--浏览")));
  for (const auto& button : FrmStoreAdjuctBillBrow::ToolbarButtons()) {
    auto* action = view->findChild<QAction*>(QString::fromUtf8(button.key));
    ASSERT_NE(action, nullptr) << button.key;
    EXPECT_EQ(action->text(), QString::fromUtf8(button.key));
    EXPECT_EQ(action->toolTip(), QString::fromUtf8(button.toolTip));
  }
  for (const char* item : {"mnuNew", "mnuExit", "mnuBrowInput", "mnuReport", "mnuPrint", "mnuCd", "mnuAbout"}) {
    auto* action = view->findChild<QAction*>(QString::fromLatin1(item));
    ASSERT_NE(action, nullptr) << item;
    EXPECT_EQ(action->text().toStdString(), form->Control(item).caption);
  }
  EXPECT_EQ(list->model()->rowCount(), 4);
  EXPECT_EQ(list->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("   "));
  EXPECT_EQ(list->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("流水号"));
  EXPECT_EQ(Cell(0, 1), QStringLiteral("DBD202403010001"));
  EXPECT_EQ(StatusText(), QStringLiteral("总记录:4:当前记录: 1"));
}

TEST_F(BrowserViewTest, TheListHasTheFocusAndItsKeysAndRowsReachTheModel) {
  EXPECT_EQ(form->Focus(), "Vs");
  EXPECT_TRUE(list->hasFocus());

  list->setCurrentIndex(list->model()->index(2, 1));
  EXPECT_EQ(form->ListGrid().Row, 3);
  EXPECT_EQ(StatusText(), QStringLiteral("总记录:4:当前记录: 3"));

  QTest::keyClick(list, Qt::Key_Space);
  EXPECT_TRUE(form->ListGrid().IsMarked(3));
  EXPECT_EQ(Cell(2, 0), QStringLiteral("√"));

  QTest::keyClick(list, Qt::Key_Escape);
  EXPECT_FALSE(form->IsOpen());
  EXPECT_TRUE(ui.Boxes().empty());
}

TEST_F(BrowserViewTest, ARightClickOnAHeaderSortsTheList) {
  auto* header = list->horizontalHeader();
  const QPoint onSerial(header->sectionViewportPosition(1) + 5, header->height() / 2);
  emit header->customContextMenuRequested(onSerial);
  EXPECT_EQ(Cell(0, 1), QStringLiteral("DBD202403020004"));
  emit header->customContextMenuRequested(onSerial);
  EXPECT_EQ(Cell(0, 1), QStringLiteral("DBD202403010001"));
  EXPECT_TRUE(ui.Boxes().empty());
}

TEST_F(BrowserViewTest, EscFromAWidgetTheModelDoesNotKnowClosesTheBrowser) {
  auto* stray = new QLineEdit(view.get());
  stray->show();
  stray->setFocus();
  QTest::keyClick(stray, Qt::Key_Escape);
  EXPECT_FALSE(form->IsOpen());
  EXPECT_FALSE(view->isVisible());
}

}  // namespace
