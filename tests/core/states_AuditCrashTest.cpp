// A clerk's process that dies in the middle of a state change, after any one of its statements:
// a child process runs the change on its own copy of the database and _exit()s as SQLite is
// about to run its statement k+1 (SQLite's statement trace on the session's handle); the parent
// then opens the copy, which recovers from what the child left behind. For every k (every fifth
// under the sanitizers) before the commit the bill, its goods-place rows and the stock are
// exactly as before the change; once the commit ran, exactly as after it. On a bill between two
// goods-place warehouses, with batches split over places, a line no place fully covers and a
// money-only line.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "adodb/SqliteBackend.h"
#include "db/DatabaseFactory.h"
#include "lines/LineSaving.h"
#include "states/StateChange.h"
#include "support/AtOnce.h"
#include "support/ModuleSession.h"
#include "support/SanitizedRuns.h"
#include "support/StateAnswers.h"
#include "support/StockTables.h"
#include "support/TransferLine.h"

namespace storeadjust {
namespace {

constexpr int kDiedMidway = 42;
long statementsRun = 0;
long lastStatementAllowed = -1;  // -1: no limit

int CountStatement(unsigned, void*, void*, void*) {
  if (++statementsRun > lastStatementAllowed && lastStatementAllowed >= 0) _exit(kDiedMidway);
  return 0;
}

std::shared_ptr<adodb::Connection> OpenFile(const std::string& path) {
  auto connection = std::make_shared<adodb::Connection>();
  connection->Open(db::EmbeddedConnectionString(path));
  return connection;
}

StateOutcome Change(const std::string& path, StateCommand command, long allowedStatements) {
  ScriptedUserInterface ui;
  Session session;
  session.Ui = &ui;
  session.OptCode = "001";
  session.Conn = OpenFile(path);
  statementsRun = 0;
  lastStatementAllowed = allowedStatements;
  auto& backend = dynamic_cast<adodb::SqliteBackend&>(session.Conn->GetBackend());
  sqlite3_trace_v2(backend.Handle(), SQLITE_TRACE_STMT, CountStatement, nullptr);
  testsupport::StateAnswers answers;
  return ChangeBillState(session, command, "DBD202403050005", {false, false, "bcsl,SellPrice", "系统管理员"}, answers);
}

class AuditCrashTest : public ::testing::Test {
 protected:
  // One bill 05 -> 04 (both keep goods places), stored as the editor stores it. Batch 230501 of
  // 0024 keeps 5 of its 8.5 on a place: 3.5 of its issue stay unplaced.
  void SetUp() override {
    ScriptedUserInterface ui;
    Session session = testsupport::OpenEditorSession(db_, ui);
    std::string lsh;
    const auto store = [&](const char* hh, const char* ph, const char* dh, double qty, std::vector<std::string> places) {
      LineToSave line = testsupport::TransferLine(lsh, "05", "04", hh, ph, dh, qty);
      line.inWarehouseKeepsPlaces = true;
      line.goodsPlaces = std::move(places);
      lsh = StoreLine(session, line).lsh;
    };
    store("0021", "240216", "200212", 12, {"P04A01,x,A01,7", "P04A02,x,A02,5"});
    store("0024", "230501", "200241", 8.5, {"P04A02,x,A02,8.5"});
    store("0023", "230422", "200231", 15.25, {"P04A01,x,A01,15.25"});
    store("0040", "", "", 3, {});
    db_.Run({"update GoodsPlaceBalance set CurrQuantity=5 where MaterielGuid='0024' and BatchNo='230501'"});
  }

  // Runs the change dying after each of its statements in turn; leaves db_ as after the change.
  void DieAtEveryStatement(StateCommand command) {
    const std::filesystem::path base = db_.Folder() / "base.db", work = db_.Folder() / "work.db";
    std::filesystem::copy_file(db_.Path(), base, std::filesystem::copy_options::overwrite_existing);
    const std::string before = testsupport::FullDump(*OpenFile(base.string()));
    const StateOutcome outcome = Change(db_.Path(), command, -1);
    ASSERT_EQ(outcome.result, StateResult::Done) << outcome.message;
    const long statements = statementsRun;
    const std::string after = testsupport::FullDump(*OpenFile(db_.Path()));
    ASSERT_NE(after, before);
    ASSERT_GT(statements, 20);
    // Every fifth statement under the sanitizers, and always the last before the commit and the commit.
    const long stride = testsupport::kSanitized ? 5 : 1;
    for (long k = 0; k <= statements; k = k + stride < statements - 1 ? k + stride : std::max(k + 1, statements - 1)) {
      for (const char* suffix : {"", "-wal", "-shm"}) std::filesystem::remove(work.string() + suffix);
      std::filesystem::copy_file(base, work);
      const auto exits =
          testsupport::AtOnce(1, [&](int) { return Change(work.string(), command, k).result == StateResult::Done ? 0 : 1; });
      ASSERT_EQ(exits[0], k < statements ? kDiedMidway : 0) << "after statement " << k;
      EXPECT_EQ(testsupport::FullDump(*OpenFile(work.string())), k < statements ? before : after)
          << "died after statement " << k << " of " << statements;
    }
  }

  testsupport::TempDatabase db_{db::CreateDemoDatabase};
};

TEST_F(AuditCrashTest, OneStepAuditIsAllOrNothingWhereverTheProcessDies) {
  ASSERT_EQ(db_.Count("select count(*) from ckdbdzkmx where lsh='DBD202403050005'"), 4);
  DieAtEveryStatement(StateCommand::Audit);
  EXPECT_EQ(db_.Count("select count(*) from BillGoodsPlace where BillType='WarehouseOut'"), 5)
      << "two lines split over two places, one over the one place that holds part of it";
}

TEST_F(AuditCrashTest, TwoStepAuditAndConfirmAreEachAllOrNothingWhereverTheProcessDies) {
  DieAtEveryStatement(StateCommand::PreAudit);
  DieAtEveryStatement(StateCommand::Confirm);
  EXPECT_EQ(db_.Count("select count(*) from ckdbdzk where lsh='DBD202403050005' and PreShbz=1 and shbz=1"), 1);
}

}  // namespace
}  // namespace storeadjust
