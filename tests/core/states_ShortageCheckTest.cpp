// The shortage check against stock the embedded database summed in binary floating point:
// quantities with decimals (kilograms of herbs) must never make a bill just audited impossible
// to un-audit, nor refuse a batch that holds exactly what the line needs, while a hundredth more
// than the stock is still short. With batches and without (then the balance is the stock
// checked), shortages not allowed.
#include <gtest/gtest.h>

#include "db/DatabaseFactory.h"
#include "lines/LineSaving.h"
#include "states/StateChange.h"
#include "support/ModuleSession.h"
#include "support/StateAnswers.h"
#include "support/TransferLine.h"

namespace storeadjust {
namespace {

class ShortageCheckTest : public ::testing::TestWithParam<bool> {};

TEST_P(ShortageCheckTest, DecimalQuantitiesAreShortOnlyWhenTheyExceedTheStock) {
  testsupport::TempDatabase db{db::CreateDemoDatabase};
  ScriptedUserInterface ui;
  Session session = testsupport::OpenEditorSession(db, ui);
  testsupport::StateAnswers answers;
  // A bill 05 -> 03 of batch 230422 of 0023, one line a quantity; 03 holds none of it.
  const auto bill = [&](std::initializer_list<double> quantities) {
    std::string lsh;
    for (double qty : quantities) {
      lsh = StoreLine(session, testsupport::TransferLine(lsh, "05", "03", "0023", "230422", "200231", qty)).lsh;
    }
    return lsh;
  };
  const auto change = [&](StateCommand command, const std::string& lsh) {
    return ChangeBillState(session, command, lsh, {!GetParam(), false, "", "系统管理员"}, answers);
  };
  const auto setStock = [&](const std::string& quantity) {
    db.Run({"update phk set sl=" + quantity + " where hh='0023' and stockid='05' and ph='230422' and dh='200231'",
            "update ywbalance set sjsl=" + quantity + " where hh='0023' and stockid='05' and fperiod=0"});
  };

  const std::string lsh = bill({0.3, 0.35});  // 03 holds 0.3 + 0.35 = 0.6499999999999999 after the audit
  ASSERT_EQ(change(StateCommand::Audit, lsh).result, StateResult::Done);
  const StateOutcome undone = change(StateCommand::UnAudit, lsh);
  EXPECT_EQ(undone.result, StateResult::Done) << undone.message;
  EXPECT_EQ(answers.shortagesAsked, 0);

  setStock("0.64");
  EXPECT_EQ(change(StateCommand::PreAudit, bill({0.65})).result, StateResult::Refused);
  setStock("0.3 + 0.35");
  const StateOutcome exact = change(StateCommand::PreAudit, bill({0.65}));
  EXPECT_EQ(exact.result, StateResult::Done) << exact.message;
  EXPECT_EQ(db.Count("select count(*) from phk where hh='0023' and stockid='05' and ph='230422' and sl<-0.0001"), 0);
}

INSTANTIATE_TEST_SUITE_P(BatchesAndBalances, ShortageCheckTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Batches" : "NoBatches"; });

}  // namespace
}  // namespace storeadjust
