// The editor's state commands as the clerk meets them: an approval procedure that fails,
// confirmation outside the two-step flow, and a long bill whose audit shows the line it is moving.
// The procedure's warning and refusal are played in dispatch.scn.
#include <gtest/gtest.h>

#include "editor/FrmStoreAdjuctBill.h"
#include "host/EmbeddedProcedures.h"
#include "support/ModuleSession.h"

namespace storeadjust {
namespace {

using testsupport::ShownBoxes;

struct ProgressRecorder : ScriptedUserInterface {
  void ShowProgress(const std::string& text, long done, long total) override {
    steps.push_back(text + "|" + std::to_string(done) + "/" + std::to_string(total));
  }
  std::vector<std::string> steps;
};

class StateCommandsTest : public ::testing::Test {
 protected:
  void Open(const std::string& lsh) {
    RegisterEmbeddedProcedures();  // the audit's approval procedure, as Execute registers it
    session_.IsNewBill = false;
    session_.CurrentLSH = lsh;
    form_.Load();
  }

  testsupport::TempDatabase db_{db::CreateDemoDatabase};
  ProgressRecorder ui_;
  Session session_ = testsupport::OpenEditorSession(db_, ui_);
  FrmStoreAdjuctBill form_{session_};
};

TEST_F(StateCommandsTest, AFailingApprovalProcedureOrAConfirmationOutsideTheTwoStepFlowIsRefusedWithAWord) {
  Open("DBD202403010001");
  db_.Run({"drop table AuditVerdict"});
  form_.Click("审核");
  form_.Click("确认");
  EXPECT_EQ(ShownBoxes(ui_), "64 系统提示|no such table: AuditVerdict\n64 系统提示|对不起，未启用确认，不能确认单据!\n");
  EXPECT_EQ(db_.Value("select cast(shbz as int) from ckdbdzk where lsh='DBD202403010001'"), "0");
}

TEST_F(StateCommandsTest, ALongBillShowsTheLineItMovesAndEndsTheDisplay) {
  db_.Run({"update phk set sl=1000 where hh='0001' and stockid='01' and dh='200011'"});
  auto conn = db_.Open();
  conn->BeginTrans();
  for (int line = 1; line <= 201; ++line) {
    conn->Execute("insert into ckdbdzkmx(lsh,dh,hh,pm,ph,pcdh,dj,sl,je,lsj,lsze,kh,dcstockid,drstockid) values "
                  "('DBD202403010001','" + std::to_string(2000 + line) + "','0001','','230208','200011',1,1,1,1,1,'',"
                  "'01','02')");
  }
  conn->CommitTrans();
  Open("DBD202403010001");
  ui_.QueueAnswer(mb::kYes);
  form_.Click("审核");
  ASSERT_EQ(ui_.steps.size(), 205u) << ShownBoxes(ui_);
  EXPECT_EQ(ui_.steps.front(), "正在处理第 1 行 (货号 0001)|1/204");
  EXPECT_EQ(ui_.steps.back(), "|0/0");
  EXPECT_EQ(db_.Value("select cast(shbz as int) from ckdbdzk where lsh='DBD202403010001'"), "1");
  EXPECT_FALSE(ui_.Busy());
}

}  // namespace
}  // namespace storeadjust
