// State changes across processes: a clerk's process that dies in the middle of one, and two
// clerks auditing at once.
//
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
#include <array>
#include <filesystem>

#include "db/DatabaseFactory.h"
#include "lines/LineSaving.h"
#include "states/StateChange.h"
#include "support/AtOnce.h"
#include "support/DatabaseFiles.h"
#include "support/ModuleSession.h"
#include "support/SanitizedRuns.h"
#include "support/StateAnswers.h"
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

StateOutcome Change(const std::string& path, StateCommand command, long allowedStatements) {
  ScriptedUserInterface ui;
  Session session = testsupport::OpenBrowserSession(db::EmbeddedConnectionString(path), ui);
  statementsRun = 0;
  lastStatementAllowed = allowedStatements;
  sqlite3_trace_v2(testsupport::HandleOf(session), SQLITE_TRACE_STMT, CountStatement, nullptr);
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
      lsh = StoreLine(session, testsupport::PlacedLine(lsh, "05", "04", hh, ph, dh, qty, std::move(places))).lsh;
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
    const std::string before = testsupport::FullDumpOf(base);
    const StateOutcome outcome = Change(db_.Path(), command, -1);
    ASSERT_EQ(outcome.result, StateResult::Done) << outcome.message;
    const long statements = statementsRun;
    const std::string after = testsupport::FullDumpOf(db_.Path());
    ASSERT_NE(after, before);
    ASSERT_GT(statements, 20);
    // Every fifth statement under the sanitizers, and always the last before the commit and the commit.
    const long stride = testsupport::kSanitized ? 5 : 1;
    for (long k = 0; k <= statements; k = k + stride < statements - 1 ? k + stride : std::max(k + 1, statements - 1)) {
      testsupport::CopyDatabaseFile(base, work);
      const auto exits =
          testsupport::AtOnce(1, [&](int) { return Change(work.string(), command, k).result == StateResult::Done ? 0 : 1; });
      ASSERT_EQ(exits[0], k < statements ? kDiedMidway : 0) << "after statement " << k;
      EXPECT_EQ(testsupport::FullDumpOf(work), k < statements ? before : after)
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

// Two clerks, each in a process of their own, audit at the same moment two bills that draw the
// same batch, without shortages allowed. Round after round, with batches and without (then the
// balance is the stock checked):
//   - when both bills together need more than the batch holds, exactly one audit commits;
//   - when both fit, both commit and the batch holds what is left after both: no update is lost;
//   - the out-warehouse holds its start less what the committed audits took, never below zero,
//     and the in-warehouse got exactly that.
constexpr double kStart = 15.25;
constexpr const char* kBatch = " where hh='0023' and ph='230422' and dh='200231' and stockid=";
constexpr const char* kBalance = " where hh='0023' and fperiod=0 and stockid=";
enum Exit { kDone = 0, kRefused = 1, kOther = 2 };

TEST(ConcurrentAuditTest, TwoAuditsDrawingTheLastUnitsOfABatchNeverBothTakeThemAndLoseNoUpdate) {
  testsupport::TempDatabase db{db::CreateDemoDatabase};
  // The stock the audit checks in a warehouse: the batch row, or the balance without batches.
  const auto stock = [&db](bool batches, const char* warehouse) {
    const std::string value = db.Value(std::string(batches ? "select sl from phk" : "select sjsl from ywbalance") +
                                       (batches ? kBatch : kBalance) + "'" + warehouse + "'");
    return value.empty() ? 0 : std::stod(value);
  };
  const int rounds = testsupport::Rounds(24, 8);
  for (int round = 0; round < rounds; ++round) {
    const bool batches = round % 4 < 2, bothFit = round % 2 == 1;
    const std::array<double, 2> qty = bothFit ? std::array<double, 2>{7.5, 7.75} : std::array<double, 2>{10, 10};
    std::array<std::string, 2> bills;
    for (int clerk = 0; clerk < 2; ++clerk) {
      ScriptedUserInterface ui;
      Session session = testsupport::OpenEditorSession(db, ui);
      bills[clerk] = StoreLine(session, testsupport::TransferLine("", "05", "03", "0023", "230422", "200231", qty[clerk])).lsh;
    }
    db.Run({"update phk set sl=" + std::to_string(kStart) + kBatch + "'05'",
            "update ywbalance set sjsl=" + std::to_string(kStart) + kBalance + "'05'"});
    const double inBefore = stock(batches, "03");

    // Both audits start together; the exit status of each child says how its audit ended.
    const std::vector<int> exits = testsupport::AtOnce(2, [&](int clerk) {
      ScriptedUserInterface ui;
      Session session = testsupport::OpenEditorSession(db, ui);
      testsupport::StateAnswers answers;
      const StateOutcome outcome =
          ChangeBillState(session, StateCommand::Audit, bills[clerk], {!batches, false, "", "系统管理员"}, answers);
      return outcome.result == StateResult::Done ? kDone : outcome.result == StateResult::Refused ? kRefused : kOther;
    });
    SCOPED_TRACE("round " + std::to_string(round) + (batches ? ", batches" : ", no batches"));
    double taken = 0;
    for (int clerk = 0; clerk < 2; ++clerk) {
      ASSERT_TRUE(exits[clerk] == kDone || exits[clerk] == kRefused) << "clerk " << clerk << ": " << exits[clerk];
      if (exits[clerk] == kDone) taken += qty[clerk];
      EXPECT_EQ(db.Count("select count(*) from ckdbdzk where shbz=1 and lsh='" + bills[clerk] + "'"),
                exits[clerk] == kDone ? 1 : 0);
    }
    if (bothFit) EXPECT_EQ(exits, (std::vector<int>{kDone, kDone}));
    else EXPECT_EQ(exits[0] + exits[1], kRefused) << "exactly one audit takes the last units";
    EXPECT_DOUBLE_EQ(stock(batches, "05"), kStart - taken);
    EXPECT_GE(stock(batches, "05"), 0);
    EXPECT_DOUBLE_EQ(stock(batches, "03"), inBefore + taken);
  }
}

}  // namespace
}  // namespace storeadjust
