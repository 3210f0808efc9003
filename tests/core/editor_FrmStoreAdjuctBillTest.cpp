// The editor's load failures, which must reach the user. Loading bills, numbering and a new bill
// closed without lines are played in the editor scenarios.
#include <gtest/gtest.h>

#include "editor/FrmStoreAdjuctBill.h"
#include "support/ModuleSession.h"

namespace storeadjust {
namespace {

using testsupport::ShownBoxes;

class EditorFormTest : public ::testing::Test {
 protected:
  testsupport::TempDatabase db_{db::CreateDemoDatabase};
  ScriptedUserInterface ui_;
  Session session_ = testsupport::OpenEditorSession(db_, ui_);
  FrmStoreAdjuctBill form_{session_};
};

TEST_F(EditorFormTest, LoadFailuresShowTheirMessageAndPrepareNoBill) {
  const std::string noCurrentRecord = "16 错误:|Either BOF or EOF is True, or the current record has been deleted. "
                                      "Requested operation requires a current record.\n数据添加失败,请与管理员联系！\n";
  // A serial without lines, holding a quote, and a bill whose out-warehouse is gone.
  session_.IsNewBill = false;
  session_.CurrentLSH = "NO'SUCH";
  form_.Load();
  db_.Run({"update ckdbdzk set dcstockid='99' where lsh='DBD202403010001'"});
  std::string lsh = "DBD202403010001";
  form_.AmendAddNew(lsh);
  EXPECT_EQ(ShownBoxes(ui_), noCurrentRecord + noCurrentRecord);

  ScriptedUserInterface ui;
  Session session = testsupport::OpenEditorSession(db_, ui);
  session.SysVarRs.reset();
  session.IsNewBill = true;
  FrmStoreAdjuctBill form{session};
  form.Load();
  EXPECT_EQ(ShownBoxes(ui), "48 提示：|Operation is not allowed when the object is closed.\n读取数据失败失败,请与管理员联系！\n");
  EXPECT_TRUE(form.IsOpen());
  EXPECT_EQ(form.Text("TxtLSH"), "");
}

}  // namespace
}  // namespace storeadjust
