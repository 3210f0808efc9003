// What the screens' models grey out and why, against the demo database through the scripted
// interface: the editor's commands over every state of a two-step bill and the states a switch of
// the flow leaves, the browser's 修改 as the current row moves, and rights read quietly from a
// broken rights row.
#include <gtest/gtest.h>

#include <algorithm>

#include "browse/FrmStoreAdjuctBillBrow.h"
#include "editor/EditorCommandReasons.h"
#include "support/BrowserOnDemo.h"

namespace storeadjust {
namespace {

HeldRights AllRights(Session& session) {
  return HeldRights::Read(session, {"新增", "修改", "删除", "打印", "重打", "审核", "反审", "确认", "反确认", "记帐"});
}

// A two-step bill walked through entered, audited, confirmed and posted: at every state exactly
// the command that moves it on (or back) is free, and the posted bill takes none.
TEST(ButtonsTest, TwoStepStatesLeaveOnlyTheNextMovesFreeAndRightsAreReadQuietly) {
  testsupport::TempDatabase db{db::CreateDemoDatabase};
  ScriptedUserInterface ui;
  Session session = testsupport::OpenEditorSession(db, ui);
  const HeldRights rights = AllRights(session);
  struct Step {
    BillHeaderState header;
    std::vector<EditorCommand> free;
  };
  const std::vector<EditorCommand> states = {EditorCommand::Audit, EditorCommand::UnAudit, EditorCommand::Confirm,
                                             EditorCommand::UnConfirm, EditorCommand::Post, EditorCommand::Save,
                                             EditorCommand::Amend, EditorCommand::Delete};
  const Step steps[] = {
      {{true, false, false, false}, {EditorCommand::Audit, EditorCommand::Save, EditorCommand::Amend, EditorCommand::Delete}},
      {{true, true, false, false}, {EditorCommand::UnAudit, EditorCommand::Confirm, EditorCommand::Amend}},
      {{true, true, true, false}, {EditorCommand::UnConfirm, EditorCommand::Post}},
      {{true, true, true, true}, {}},
  };
  // A bill begun in the other flow before the administrator switched it: only the moves still
  // due are offered (a bill issued in two steps is received or taken back in one; one audited in
  // one step is not issued again in two, only un-confirmed and posted).
  struct Switched {
    bool twoStep;  // the flow now
    Step step;
  };
  const Switched switched[] = {
      {false, {{true, true, false, false}, {EditorCommand::Audit, EditorCommand::UnAudit}}},
      {false, {{true, true, true, false}, {EditorCommand::UnAudit, EditorCommand::Post}}},
      {true, {{true, false, true, false}, {EditorCommand::UnConfirm, EditorCommand::Post}}},
  };
  const auto check = [&](const Step& step, bool twoStep) {
    const EditorBillFacts bill{step.header, true, false, twoStep};
    for (EditorCommand command : states) {
      const bool free = std::find(step.free.begin(), step.free.end(), command) != step.free.end();
      EXPECT_EQ(EditorCommandReason(command, bill, rights).empty(), free)
          << static_cast<int>(command) << " at " << step.header.preAudited << step.header.audited << step.header.posted
          << (twoStep ? " in two steps" : " in one step");
    }
  };
  for (const Step& step : steps) check(step, true);
  for (const auto& [twoStep, step] : switched) check(step, twoStep);
  // The right comes first, as in the commands; a view-only bill takes no line change.
  EXPECT_EQ(EditorCommandReason(EditorCommand::Audit, {{}, false, false, true}, HeldRights{}), "没有审核权限");
  EXPECT_EQ(EditorCommandReason(EditorCommand::Save, {{true}, true, true, false}, rights), "以查看方式进入，不能保存");

  // A rights row that cannot be read (a value that is no number) greys the command without a
  // word; the command itself, when reached, still shows what went wrong.
  db.Run({"update rights set RightValue2='x,x,x,x,x' where operatorGuid='{9E4A7C21-1B3D-4F5E-8A01-000000000001}'"});
  const HeldRights broken = AllRights(session);
  EXPECT_FALSE(broken.Holds("审核"));
  EXPECT_TRUE(broken.Holds("新增"));
  EXPECT_TRUE(ui.Boxes().empty());
}

using BrowserButtonsTest = testsupport::BrowserOnDemo<>;

// 修改 is greyed on the audited bill and free again on the next row, wherever a sort puts it.
TEST_F(BrowserButtonsTest, AmendFollowsTheCurrentRow) {
  const char* grid = FrmStoreAdjuctBillBrow::kGrid;
  browser.SelectRow(grid, 3);
  ASSERT_EQ(browser.ListGrid().TextMatrix(3, 1), "DBD202403020003");
  EXPECT_FALSE(browser.Enabled("修改"));
  EXPECT_EQ(browser.DisabledReason("mnuNew"), "单据已审核，不能修改");
  browser.SelectRow(grid, 4);
  EXPECT_TRUE(browser.Enabled("修改"));
  EXPECT_TRUE(browser.Enabled("mnuNew"));

  // A sort keeps the current bill, now on row 1; row 2 is the audited one.
  browser.RightClick(grid, 0, 1);
  EXPECT_EQ(browser.ListGrid().Row, 1);
  EXPECT_TRUE(browser.Enabled("修改"));
  browser.SelectRow(grid, 2);
  EXPECT_EQ(browser.DisabledReason("修改"), "单据已审核，不能修改");
  EXPECT_TRUE(ui.Boxes().empty());
  browser.Close();
}

}  // namespace
}  // namespace storeadjust
