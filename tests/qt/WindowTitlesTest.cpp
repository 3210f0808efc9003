// The desktop windows say whose session they belong to and, in the editor, which bill they hold;
// the screens' own captions stay as the models set them.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "QtTestSupport.h"
#include "browse/FrmStoreAdjuctBillBrow.h"
#include "editor/FrmStoreAdjuctBill.h"
#include "qt/BrowserView.h"
#include "qt/EditorView.h"
#include "qt/WindowTitles.h"
#include "support/ModuleSession.h"

namespace {

class WindowTitlesTest : public ::testing::Test {
 protected:
  testsupport::TempDatabase db{storeadjust::db::CreateDemoDatabase};
  storeadjust::ScriptedUserInterface ui;
  storeadjust::Session session = testsupport::OpenEditorSession(db, ui);
};

TEST_F(WindowTitlesTest, TheBrowserNamesTheOperator) {
  storeadjust::FrmStoreAdjuctBillBrow browser(session);
  browser.Load();
  storeadjust::qt::BrowserView view(browser);
  EXPECT_EQ(view.windowTitle(), QStringLiteral("仓库调拨单--浏览  操作员: 系统管理员(001)"));
  EXPECT_EQ(browser.Caption, "仓库调拨单--浏览");
}

TEST_F(WindowTitlesTest, TheEditorNamesItsBillAndFollowsANewOne) {
  session.CurrentLSH = "DBD202403010001";
  storeadjust::FrmStoreAdjuctBill editor(session);
  editor.Load();
  storeadjust::qt::EditorView view(editor);
  EXPECT_EQ(view.windowTitle(), QStringLiteral("仓库调拨单 - DBD202403010001  操作员: 系统管理员(001)"));

  view.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
  QTest::mouseClick(view.findChild<QPushButton*>(QStringLiteral("Cmd_Add")), Qt::LeftButton);
  EXPECT_EQ(view.windowTitle(), QStringLiteral("仓库调拨单 - DBD202403050005  操作员: 系统管理员(001)"));
  EXPECT_EQ(editor.Caption, "仓库调拨单 - DBD202403050005");
}

TEST_F(WindowTitlesTest, AnOperatorWithoutANameIsNamedByCode) {
  session.OptName.clear();
  EXPECT_EQ(storeadjust::qt::OperatorText(session), QStringLiteral("操作员: 001"));
  // A caption that already carries the serial does not get it twice.
  EXPECT_EQ(storeadjust::qt::EditorTitle("仓库调拨单", "DBD0001", session),
            QStringLiteral("仓库调拨单 - DBD0001  操作员: 001"));
  EXPECT_EQ(storeadjust::qt::EditorTitle("仓库调拨单 - DBD0001", "DBD0001", session),
            QStringLiteral("仓库调拨单 - DBD0001  操作员: 001"));
}

}  // namespace
