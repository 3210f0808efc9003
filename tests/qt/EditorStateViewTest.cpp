// The editor's window shows the bill's state as a stamp and its lines' totals under the grid,
// both following the model; a toolbar button the state rules out is grey and says why, and comes
// back when the state allows it again.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "editor/FrmStoreAdjuctBill.h"
#include "host/EmbeddedProcedures.h"
#include "host/ScriptedUserInterface.h"
#include "qt/EditorView.h"
#include "support/ModuleSession.h"

namespace {

TEST(EditorStateViewTest, StampTotalsAndGreyButtonsFollowTheBill) {
  storeadjust::RegisterEmbeddedProcedures();  // the approval gate's procedure, as the host registers it
  testsupport::TempDatabase db{storeadjust::db::CreateDemoDatabase};
  storeadjust::ScriptedUserInterface ui;
  storeadjust::Session session = testsupport::OpenEditorSession(db, ui);
  storeadjust::FrmStoreAdjuctBill form(session, {storeadjust::EditorRequest::Mode::Amend, "DBD202403010001"});
  form.Load();
  storeadjust::qt::EditorView view(form);
  view.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
  const auto label = [&](const char* name) { return view.findChild<QLabel*>(QString::fromUtf8(name))->text(); };
  auto* audit = view.findChild<QAction*>(QStringLiteral("审核"));
  auto* unAudit = view.findChild<QAction*>(QStringLiteral("反审"));
  auto* save = view.findChild<QPushButton*>(QStringLiteral("Cmd_Save"));

  EXPECT_EQ(label("LblBillState"), QStringLiteral("未审核"));
  EXPECT_EQ(label("LblSumSl"), QStringLiteral("42.00"));
  EXPECT_EQ(label("LblSumJe"), QStringLiteral("443.20"));
  EXPECT_EQ(label("LblSumLsze"), QStringLiteral("712.60"));
  EXPECT_TRUE(audit->isEnabled());
  EXPECT_EQ(audit->toolTip(), QStringLiteral("审核"));
  EXPECT_FALSE(unAudit->isEnabled());
  EXPECT_EQ(unAudit->toolTip(), QStringLiteral("单据未审核"));

  ui.QueueAnswer(storeadjust::mb::kYes);
  audit->trigger();
  EXPECT_EQ(label("LblBillState"), QStringLiteral("已审核"));
  EXPECT_FALSE(audit->isEnabled());
  EXPECT_EQ(audit->toolTip(), QStringLiteral("单据已审核"));
  EXPECT_TRUE(unAudit->isEnabled());
  EXPECT_FALSE(save->isEnabled());
  EXPECT_EQ(save->toolTip(), QStringLiteral("单据已审核，不能再添加数据"));
  view.grab().save(QDir::temp().filePath(QStringLiteral("storeadjust-editor.png")));

  ui.QueueAnswer(storeadjust::mb::kYes);
  unAudit->trigger();
  EXPECT_EQ(label("LblBillState"), QStringLiteral("未审核"));
  EXPECT_TRUE(save->isEnabled());
  EXPECT_EQ(save->toolTip(), QString());
  form.Close();
}

}  // namespace
