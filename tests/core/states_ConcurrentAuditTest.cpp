// Two clerks, each in a process of their own, audit at the same moment two bills that draw the
// same batch, without shortages allowed. Round after round, with batches and without (then the
// balance is the stock checked):
//   - when both bills together need more than the batch holds, exactly one audit commits;
//   - when both fit, both commit and the batch holds what is left after both: no update is lost;
//   - the out-warehouse holds its start less what the committed audits took, never below zero,
//     and the in-warehouse got exactly that.
#include <gtest/gtest.h>
#include <array>

#include "db/DatabaseFactory.h"
#include "lines/LineSaving.h"
#include "states/StateChange.h"
#include "support/AtOnce.h"
#include "support/ModuleSession.h"
#include "support/SanitizedRuns.h"
#include "support/StateAnswers.h"
#include "support/TransferLine.h"

namespace storeadjust {
namespace {

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
