// The state engine asks first, then acts: its questions come with no transaction open (every
// case checks it on tear-down). With it, behaviours no other test holds: a posted bill is not
// un-audited, a goods-place row of another batch line stays as it was, places of a confirmed
// bill are not re-allocated, negative lines are checked where the goods leave. A stopped audit
// rolling back the lines before the short one, and a shortage asked after that rollback, are
// held by the conservation test (a change that did not commit changed nothing; no question
// inside a transaction) and by scenarios/states/ask_first.scn and two_step.scn.
#include <gtest/gtest.h>

#include "lines/LineChanges.h"
#include "lines/LineSaving.h"
#include "states/BillPosting.h"
#include "states/StateChange.h"
#include "support/ModuleSession.h"
#include "support/StateAnswers.h"
#include "support/StockTables.h"
#include "support/TransferLine.h"

namespace storeadjust {
namespace {

using testsupport::FullDump;

class AskFirstTest : public ::testing::Test {
 protected:
  void SetUp() override { answers_.watched = session_.Conn.get(); }

  // A bill out -> in of the given lines (goods, batch, batch line, quantity), stored as the editor stores it.
  std::string Bill(const std::string& out, const std::string& in,
                   std::initializer_list<std::tuple<const char*, const char*, const char*, double>> lines) {
    std::string lsh;
    for (const auto& [hh, ph, pcdh, qty] : lines) {
      lsh = StoreLine(session_, testsupport::TransferLine(lsh, out, in, hh, ph, pcdh, qty)).lsh;
    }
    return lsh;
  }
  StateOutcome Change(StateCommand command, const std::string& lsh) {
    return ChangeBillState(session_, command, lsh, {false, false, "bcsl,SellPrice", "系统管理员"}, answers_);
  }
  void TearDown() override { EXPECT_EQ(answers_.askedInTransaction, 0) << "a question was asked inside the transaction"; }

  testsupport::TempDatabase db_{db::CreateDemoDatabase};
  ScriptedUserInterface ui_;
  Session session_ = testsupport::OpenEditorSession(db_, ui_);
  std::shared_ptr<adodb::Connection> check_ = db_.Open();
  testsupport::StateAnswers answers_;
};

// A negative line sends the goods back: the in-warehouse loses them, and the shortage check and
// its policy apply there.
TEST_F(AskFirstTest, ANegativeLineIsCheckedInTheWarehouseThatLosesTheGoods) {
  // 01 holds 45.75 of 0023 (batch 230422 among them); 05 is the out-warehouse, 01 gives.
  const std::string lsh = Bill("05", "01", {{"0023", "230422", "200231", -100}});
  const std::string before = FullDump(*check_);
  const StateOutcome refused = Change(StateCommand::Audit, lsh);
  EXPECT_EQ(refused.refusal, StateRefusal::Shortage) << refused.message;
  EXPECT_NE(refused.message.find("仓库编号: 01"), std::string::npos) << refused.message;
  EXPECT_EQ(FullDump(*check_), before);

  const std::string fits = Bill("05", "01", {{"0023", "230422", "200231", -2}});
  const std::string held = db_.Value("select sl from phk where hh='0023' and stockid='01' and ph='230422' and dh='200231'");
  ASSERT_EQ(Change(StateCommand::PreAudit, fits).result, StateResult::Done);
  const StateOutcome confirmed = Change(StateCommand::Confirm, fits);
  EXPECT_EQ(confirmed.result, StateResult::Done) << confirmed.message;
  EXPECT_DOUBLE_EQ(std::stod(db_.Value("select sl from phk where hh='0023' and stockid='01' and ph='230422' and dh='200231'")),
                   std::stod(held) - 2);
}

// Posted bills are frozen: neither flow's reversal changes anything.
TEST_F(AskFirstTest, APostedBillIsNotUnAudited) {
  const std::string oneStep = Bill("05", "03", {{"0023", "230422", "200231", 3}});
  ASSERT_EQ(Change(StateCommand::Audit, oneStep).result, StateResult::Done);
  ASSERT_EQ(PostBill(session_, oneStep), PostingResult::Posted);
  const std::string before = FullDump(*check_);
  EXPECT_EQ(Change(StateCommand::UnAudit, oneStep).result, StateResult::NothingSelected);
  EXPECT_EQ(FullDump(*check_), before);

  const std::string twoStep = Bill("05", "03", {{"0023", "230422", "200231", 3}});
  ASSERT_EQ(Change(StateCommand::PreAudit, twoStep).result, StateResult::Done);
  ASSERT_EQ(Change(StateCommand::Confirm, twoStep).result, StateResult::Done);
  ASSERT_EQ(PostBill(session_, twoStep), PostingResult::Posted);
  const std::string posted = FullDump(*check_);
  EXPECT_EQ(Change(StateCommand::UnConfirm, twoStep).result, StateResult::NothingSelected);
  EXPECT_EQ(Change(StateCommand::UnPreAudit, twoStep).refusal, StateRefusal::Guard);
  EXPECT_EQ(FullDump(*check_), posted);
  EXPECT_EQ(PostBill(session_, "DBD209912310001"), PostingResult::NotSaved);
}

// A goods place holds the same batch number under two batch lines: the audit and its reversal
// book only the line's own batch line, in both warehouses.
TEST_F(AskFirstTest, GoodsPlacesOfAnotherBatchLineOfTheSameBatchAreLeftAlone) {
  const std::string twin = "insert into GoodsPlaceBalance(GoodsPlaceGuid,GoodsPlaceNo,WarehouseGuid,MaterielGuid,BatchNo,"
                           "BatchNumber,CurrQuantity,PInQuantity,POutQuantity,Notes) values ";
  db_.Run({twin + "('P05Y02','Y02','05','0021','240216','200299',40,0,0,'')",
           twin + "('P04A01','A01','04','0021','240216','200299',3,0,0,'')"});
  const std::string lsh =
      StoreLine(session_, testsupport::PlacedLine("", "05", "04", "0021", "240216", "200212", 12, {"P04A01,x,A01,12"})).lsh;
  // The twin batch line's places in 05 and 04, then the line's own batch line's in 05.
  const auto places = [&] {
    const std::string sum = "select sum(CurrQuantity) from GoodsPlaceBalance where BatchNumber=";
    return db_.Value(sum + "'200299' and WarehouseGuid='05'") + "/" + db_.Value(sum + "'200299' and WarehouseGuid='04'") +
           "/" + db_.Value(sum + "'200212' and WarehouseGuid='05'");
  };
  ASSERT_EQ(Change(StateCommand::Audit, lsh).result, StateResult::Done);
  EXPECT_EQ(places(), "40/3/3.75");
  ASSERT_EQ(Change(StateCommand::UnAudit, lsh).result, StateResult::Done);
  EXPECT_EQ(places(), "40/3/15.75");
}

// Re-allocating a pre-audited line's in-warehouse goods places reads the bill's state again in
// its transaction: once confirmed (the places booked), the rows stay as the confirm booked them.
TEST_F(AskFirstTest, GoodsPlacesOfAConfirmedBillAreNotReallocated) {
  const std::string lsh = StoreLine(session_, testsupport::PlacedLine("", "05", "04", "0021", "240216", "200212", 12,
                                                                     {"P04A01,x,A01,7", "P04A02,x,A02,5"})).lsh;
  const LineGoodsPlaces allOnA02{lsh, "1001", "0021", "04", "240216", "200212", {"P04A02,x,A02,12"}};
  EXPECT_FALSE(ReallocateInWarehousePlaces(session_, allOnA02)) << "an entered bill changes its places by a save";
  ASSERT_EQ(Change(StateCommand::PreAudit, lsh).result, StateResult::Done);
  EXPECT_TRUE(ReallocateInWarehousePlaces(session_, allOnA02));
  EXPECT_TRUE(ReallocateInWarehousePlaces(session_, {lsh, "1001", "0021", "04", "240216", "200212", {"P04A01,x,A01,12"}}));
  ASSERT_EQ(Change(StateCommand::Confirm, lsh).result, StateResult::Done);
  const std::string confirmed = FullDump(*check_);
  EXPECT_FALSE(ReallocateInWarehousePlaces(session_, allOnA02));
  EXPECT_EQ(FullDump(*check_), confirmed);
  ASSERT_EQ(Change(StateCommand::UnConfirm, lsh).result, StateResult::Done);
  EXPECT_EQ(db_.Value("select sum(CurrQuantity) from GoodsPlaceBalance where WarehouseGuid='04' and MaterielGuid='0021' and "
                      "GoodsPlaceGuid='P04A01'"), "0");
}

// The scripted interface refuses to be asked anything while the connection it watches is inside
// a transaction, so a screen that asks with a transaction open fails its test loudly.
TEST_F(AskFirstTest, TheScriptedInterfaceRefusesToAskWhileItsConnectionIsInsideATransaction) {
  ui_.QueueAnswer(mb::kYes);
  EXPECT_EQ(ui_.MsgBox("确实要审核此单据吗?", mb::kYesNo, "系统提示"), mb::kYes);
  adodb::TransactionGuard transaction(*session_.Conn);
  EXPECT_THROW(ui_.MsgBox("确实要审核此单据吗?", mb::kYesNo, "系统提示"), ScriptError);
  EXPECT_THROW(ui_.ShowGoodsPlaces({}), ScriptError);
}

}  // namespace
}  // namespace storeadjust
