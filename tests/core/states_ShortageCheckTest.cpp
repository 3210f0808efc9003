// The shortage check against stock the embedded database summed in binary floating point:
// quantities with decimals (kilograms of herbs) must never make a bill just audited impossible
// to un-audit, nor refuse a batch that holds exactly what the line needs. With batches and
// without (then the balance is the stock checked), shortages not allowed.
#include <gtest/gtest.h>

#include "db/DatabaseFactory.h"
#include "lines/LineSaving.h"
#include "states/StateChange.h"
#include "support/ModuleSession.h"
#include "support/StateAnswers.h"
#include "support/TransferLine.h"

namespace storeadjust {
namespace {

using testsupport::TempDatabase;

class ShortageCheckTest : public ::testing::TestWithParam<bool> {
 protected:
  // A bill 05 -> 03 of batch 230422 of 0023, one line a quantity; 03 holds none of it.
  std::string Bill(std::initializer_list<double> quantities) {
    std::string lsh;
    for (double qty : quantities) {
      lsh = StoreLine(session_, testsupport::TransferLine(lsh, "05", "03", "0023", "230422", "200231", qty)).lsh;
    }
    return lsh;
  }

  StateOutcome Change(StateCommand command, const std::string& lsh) {
    StateSettings settings;
    settings.isNotPh = !GetParam();
    settings.operatorName = "系统管理员";
    return ChangeBillState(session_, command, lsh, settings, answers_);
  }

  TempDatabase db_{db::CreateDemoDatabase};
  ScriptedUserInterface ui_;
  Session session_ = testsupport::OpenEditorSession(db_, ui_);
  testsupport::StateAnswers answers_;
};

TEST_P(ShortageCheckTest, ABillJustAuditedCanBeUnAuditedWhateverDecimalsItsQuantitiesHave) {
  const std::string lsh = Bill({0.3, 0.35});  // 03 holds 0.3 + 0.35 = 0.6499999999999999 after the audit
  ASSERT_EQ(Change(StateCommand::Audit, lsh).result, StateResult::Done);
  const StateOutcome undone = Change(StateCommand::UnAudit, lsh);
  EXPECT_EQ(undone.result, StateResult::Done) << undone.message;
  EXPECT_EQ(answers_.shortagesAsked, 0);
}

TEST_P(ShortageCheckTest, AStockOfExactlyTheLinesQuantityIsNotShort) {
  db_.Run({"update phk set sl=0.3 + 0.35 where hh='0023' and stockid='05' and ph='230422' and dh='200231'",
           "update ywbalance set sjsl=0.3 + 0.35 where hh='0023' and stockid='05' and fperiod=0"});
  const StateOutcome audited = Change(StateCommand::PreAudit, Bill({0.65}));
  EXPECT_EQ(audited.result, StateResult::Done) << audited.message;
  EXPECT_EQ(db_.Count("select count(*) from phk where hh='0023' and stockid='05' and ph='230422' and sl<-0.0001"), 0);
}

TEST_P(ShortageCheckTest, OneHundredthMoreThanTheStockIsShort) {
  db_.Run({"update phk set sl=0.64 where hh='0023' and stockid='05' and ph='230422' and dh='200231'",
           "update ywbalance set sjsl=0.64 where hh='0023' and stockid='05' and fperiod=0"});
  EXPECT_EQ(Change(StateCommand::PreAudit, Bill({0.65})).result, StateResult::Refused);
}

INSTANTIATE_TEST_SUITE_P(BatchesAndBalances, ShortageCheckTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Batches" : "NoBatches"; });

}  // namespace
}  // namespace storeadjust
