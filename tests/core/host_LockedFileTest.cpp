// Clerks on one database file, each in a process of his own, while another clerk's process holds
// the file's write lock: a clerk who waits is told so while he waits; a command whose wait runs
// out says so in words and leaves the file as it was; the bill list is read again without
// waiting for the clerk who writes.
#include <gtest/gtest.h>

#include <chrono>
#include <ctime>

#include "browse/FrmStoreAdjuctBillBrow.h"
#include "editor/FrmStoreAdjuctBill.h"
#include "host/EmbeddedProcedures.h"
#include "host/KeyCodes.h"
#include "host/OperatorPassword.h"
#include "support/DatabaseFiles.h"
#include "support/ModuleSession.h"

namespace storeadjust {
namespace {

using testsupport::ShownBoxes;

// The demo file as the module leaves it once opened: in WAL mode, its readers never wait for a writer.
void DemoOpenedOnce(const std::string& path) {
  db::CreateDemoDatabase(path);
  adodb::Connection().Open(db::EmbeddedConnectionString(path));
}

class LockedFileTest : public ::testing::Test {
 protected:
  // The wait has run out at once: the test need not sit through it.
  void GiveUpWaiting() { sqlite3_busy_timeout(testsupport::HandleOf(session_), 0); }

  testsupport::TempDatabase db_{DemoOpenedOnce};
  testsupport::WriteLockHolder holder_{db_.Path()};
  // The other clerk lets go once this one has been told, a second time, that he waits.
  ScriptedUserInterface ui_{[this](const std::string& line) {
    if (line.starts_with("status") && ui_.WaitStatuses().size() == 2) holder_.Release();
  }};
  Session session_ = testsupport::OpenEditorSession(db_, ui_);
};

TEST_F(LockedFileTest, AClerkWhoWaitsIsToldSoEachSecondUntilTheLockIsFreeThenTheCommandGoesOn) {
  RegisterEmbeddedProcedures();
  const long lines = db_.Count("select count(*) from ckdbdzkmx where lsh='DBD202403010001'");
  FrmStoreAdjuctBill form(session_, EditorRequest{EditorRequest::Mode::Amend, "DBD202403010001"});
  form.Load();
  form.SelectRow("VfgContent", 1);
  ui_.QueueAnswer(mb::kYes);
  form.KeyDown("VfgContent", key::kDelete);
  EXPECT_EQ(ui_.WaitStatuses(), (std::vector<std::string>{"数据库正被其他操作员占用，正在等候…",
                                                          "数据库正被其他操作员占用，正在等候…（已等候2秒）", ""}));
  EXPECT_EQ(ShownBoxes(ui_), "292 提示:|您确实要删除流水号为[DBD202403010001],单号为[1001]的数据吗？\n");
  EXPECT_EQ(db_.Count("select count(*) from ckdbdzkmx where lsh='DBD202403010001'"), lines - 1);
}

TEST_F(LockedFileTest, ACommandWhoseWaitRanOutSaysSoAndChangesNothing) {
  ASSERT_TRUE(holder_.Held());
  GiveUpWaiting();
  const std::string before = testsupport::FullDumpOf(db_.Path());
  RegisterEmbeddedProcedures();
  FrmStoreAdjuctBill form(session_, EditorRequest{EditorRequest::Mode::Amend, "DBD202403010001"});
  form.Load();
  form.SelectRow("VfgContent", 1);
  form.KeyDown("VfgContent", key::kF1 + 2);
  form.Click("Cmd_Save");
  ui_.QueueAnswer(mb::kYes);
  form.KeyDown("VfgContent", key::kDelete);
  ui_.QueueAnswer(mb::kYes);
  form.Click("审核");
  const std::string words = "数据库正被其他操作员占用，等候超时，本次操作未做任何改变，请稍后再试！";
  EXPECT_EQ(ShownBoxes(ui_), "48 系统提示|" + words + "\n292 提示:|您确实要删除流水号为[DBD202403010001],单号为[1001]的数据吗？\n"
                             "48 错误:|" + words + "\n删除失败，请找管理员联系!\n324 系统提示|确实要审核此单据吗?\n48 系统提示|" + words + "\n");
  EXPECT_EQ(testsupport::FullDumpOf(db_.Path()), before);
}

// Refreshing only reads, unless a header without lines is left to remove: the list never waits
// for a writer, and is read again where that header cannot be removed just now (kept for later).
TEST_F(LockedFileTest, TheBillListIsReadAgainWithoutWaitingForTheClerkWhoWritesOrOnAReadOnlyFile) {
  GiveUpWaiting();
  FrmStoreAdjuctBillBrow browser{session_};
  browser.Load();
  const long rows = browser.ListGrid().Rows();
  browser.Click("刷新");
  EXPECT_EQ(browser.ListGrid().Rows(), rows);
  holder_.Release();
  session_.Conn->Execute("insert into ckdbdzk(lsh,kdrq,dcstockid,drstockid,shbz,jzbz) values ('EMPTY01','2024-03-04','01','02',0,0)");
  sqlite3_exec(testsupport::HandleOf(session_), "PRAGMA query_only=1", nullptr, nullptr, nullptr);
  browser.Click("刷新");
  EXPECT_EQ(ShownBoxes(ui_), "");
  EXPECT_EQ(browser.ListGrid().Rows(), rows + 1);
  EXPECT_EQ(db_.Count("select count(*) from ckdbdzk where lsh='EMPTY01'"), 1);
}

// Signing in while another program holds the write lock is answered in moments, not after the
// half minute a command waits: a wrong password, which cannot be counted, is refused without
// being confirmed and leaves the file as it was; the right one signs in, its count left to stand.
TEST(LockedFileSignIn, AWrongPasswordThatCannotBeCountedIsRefusedAtOnceAndTheRightOneSignsIn) {
  const testsupport::TempDatabase db{DemoOpenedOnce};
  db.Run({"update StoreAdjustPassword set FailedTries = 1, LastFailedAt = " + std::to_string(std::time(nullptr) - 5) +
          " where OperatorCode = '002'"});
  const auto conn = db.Open();
  const testsupport::WriteLockHolder holder{db.Path()};
  ASSERT_TRUE(holder.Held());
  const std::string before = testsupport::FullDumpOf(db.Path());
  const auto started = std::chrono::steady_clock::now();
  const SignInResult wrong = CheckOperatorPassword(*conn, "002", "guess");
  EXPECT_EQ(SignInRefusal(wrong, "002"), "操作员 002（张三）没有登录：数据库正被其他程序使用，请稍后再试。");
  EXPECT_EQ(CheckOperatorPassword(*conn, "002", "demo002").outcome, SignInOutcome::kSignedIn);
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(15));
  EXPECT_EQ(testsupport::FullDumpOf(db.Path()), before);
}

}  // namespace
}  // namespace storeadjust
