// What one state change does to the stock tables beyond the totals StockConservationTest checks:
// the order of the goods-place allocation, places a line's rows name twice, the columns of batch
// and balance rows it creates, and shortages of quantities with decimals.
// Then the engine asking first, then acting (AskFirstTest): its questions come with no
// transaction open (every case checks it on tear-down). With it, behaviours no other test holds: a
// posted bill is not un-audited, a goods-place row of another batch line stays as it was, places
// of a confirmed bill are not re-allocated, negative lines are checked where the goods leave. A
// stopped audit rolling back the lines before the short one, and a shortage asked after that
// rollback, are held by the conservation test (a change that did not commit changed nothing; no
// question inside a transaction) and by scenarios/states/ask_first.scn and two_step.scn.
#include <gtest/gtest.h>

#include "lines/LineChanges.h"
#include "lines/LineSaving.h"
#include "states/BillPosting.h"
#include "states/RemoveListItem.h"
#include "states/StateChange.h"
#include "support/ModuleSession.h"
#include "support/StateAnswers.h"
#include "support/StockTables.h"
#include "support/TransferLine.h"

namespace storeadjust {
namespace {

class StockMovementTest : public ::testing::Test {
 protected:
  void SetUp() override { answers_.watched = session_.Conn.get(); }
  void TearDown() override { EXPECT_EQ(answers_.askedInTransaction, 0) << "a question was asked inside the transaction"; }

  // A bill out -> in of the given lines (goods, batch, batch line, quantity), stored as the editor stores it.
  std::string Bill(const std::string& out, const std::string& in,
                   std::initializer_list<std::tuple<const char*, const char*, const char*, double>> lines) {
    std::string lsh;
    for (const auto& [hh, ph, pcdh, qty] : lines) {
      lsh = StoreLine(session_, testsupport::TransferLine(lsh, out, in, hh, ph, pcdh, qty)).lsh;
    }
    return lsh;
  }
  // A bill of one line of goods hh, batch ph/pcdh, quantity sl, amounts je and lsze.
  void AddBill(const std::string& lsh, const std::string& out, const std::string& in, const std::string& hh,
               const std::string& ph, const std::string& pcdh, double sl, double je, double lsze,
               const std::string& kh = "") {
    db_.Run({"insert into ckdbdzk(lsh,kdrq,dcstockid,drstockid,bz,czry,shbz,shry,jzbz) values ('" + lsh +
                 "','2024-03-05','" + out + "','" + in + "','','系统管理员',0,'',0)",
             "insert into ckdbdzkmx(lsh,dh,hh,pm,ph,pcdh,dj,sl,je,lsj,lsze,kh,dcstockid,drstockid) values ('" + lsh +
                 "','1001','" + hh + "','','" + ph + "','" + pcdh + "',1," + std::to_string(sl) + "," +
                 std::to_string(je) + ",1," + std::to_string(lsze) + ",'" + kh + "','" + out + "','" + in + "')"});
  }
  StateOutcome Change(StateCommand command, const std::string& lsh) {
    return ChangeBillState(session_, command, lsh, {false, false, "bcsl,SellPrice", "系统管理员"}, answers_);
  }
  // Every row as its values each followed by a bar, one a line.
  std::string RowsOf(const std::string& sql) const { return testsupport::Rows(*db_.Open(), sql); }

  testsupport::TempDatabase db_{db::CreateDemoDatabase};
  ScriptedUserInterface ui_;
  Session session_ = testsupport::OpenEditorSession(db_, ui_);
  std::shared_ptr<adodb::Connection> check_ = db_.Open();
  testsupport::StateAnswers answers_;
};

// What no place covers is reported and checked by StockConservationTest; here the order.
TEST_F(StockMovementTest, IssueSplitsOverGoodsPlacesLargestFirstAndTheReversalGivesEachPlaceItsOwnBack) {
  db_.Run({"update GoodsPlaceBalance set CurrQuantity=10 where GoodsPlaceGuid='P09B01' and MaterielGuid='0001'",
           "update GoodsPlaceBalance set CurrQuantity=7 where GoodsPlaceGuid='P09B02' and MaterielGuid='0001'",
           "insert into GoodsPlaceBalance (GoodsPlaceGuid,GoodsPlaceNo,WarehouseGuid,MaterielGuid,BatchNo,BatchNumber,"
           "CurrQuantity) values ('P09B03','B03','09','0001','240212','200012',5)",
           "update phk set sl=100 where hh='0001' and stockid='09'"});
  AddBill("T1", "09", "02", "0001", "240212", "200012", 12, 10, 20);
  const StateOutcome audited = Change(StateCommand::Audit, "T1");
  ASSERT_EQ(audited.result, StateResult::Done) << audited.message;
  EXPECT_TRUE(audited.unplacedIssues.empty());
  EXPECT_EQ(RowsOf("select GoodsPlaceGuid + ':' + cast(Quantity as varchar) from BillGoodsPlace where BillGuid='T1' "
                   "and BillType='WarehouseOut' order by Quantity desc"),
            "P09B01:10|\nP09B02:2|\n");
  const std::string places = "select CurrQuantity from GoodsPlaceBalance where MaterielGuid='0001' and "
                             "WarehouseGuid='09' order by GoodsPlaceGuid";
  EXPECT_EQ(RowsOf(places), "0|\n5|\n5|\n");
  ASSERT_EQ(Change(StateCommand::UnAudit, "T1").result, StateResult::Done);
  EXPECT_EQ(RowsOf(places), "10|\n7|\n5|\n");
  EXPECT_EQ(db_.Value("select count(*) from BillGoodsPlace where BillType='WarehouseOut'"), "0");
}

// Stored goods-place rows may name a place twice (a split saved before the save merged such
// places): the booking adds every row's quantity, creates a place new to the batch once, and the
// reversals take all of it back, on both sides of the transfer.
TEST_F(StockMovementTest, APlaceTheLinesRowsNameTwiceIsBookedWithBothQuantities) {
  db_.Run({"insert into GoodsPlaceBalance (GoodsPlaceGuid,GoodsPlaceNo,WarehouseGuid,MaterielGuid,BatchNo,BatchNumber,"
           "CurrQuantity) values ('P05Y02','Y02','05','0001','240212','200012',1)"});
  AddBill("D1", "09", "05", "0001", "240212", "200012", 4, 10, 20);
  const std::string row =
      "insert into BillGoodsPlace (BillType,BillGuid,BillDetailGuid,MaterielGuid,WarehouseGuid,BatchNo,BatchNumber,"
      "GoodsPlaceGuid,GoodsPlaceNo,Quantity,Notes) values ('WarehouseIn','D1','1001','0001','05','240212','200012',";
  db_.Run({row + "'P05Y01','Y01',0.5,'')", row + "'P05Y01','Y01',0.5,'')", row + "'P05Y02','Y02',1.5,'')",
           row + "'P05Y02','Y02',1.5,'')"});
  const auto places = [this](const char* warehouse) {
    return RowsOf(std::string("select GoodsPlaceGuid, CurrQuantity from GoodsPlaceBalance where MaterielGuid='0001' "
                              "and WarehouseGuid='") + warehouse + "' order by GoodsPlaceGuid");
  };
  const std::string issuedFrom = places("09");
  ASSERT_EQ(Change(StateCommand::PreAudit, "D1").result, StateResult::Done);
  db_.Run({"update BillGoodsPlace set Quantity=Quantity/2 where BillGuid='D1' and BillType='WarehouseOut'",
           "insert into BillGoodsPlace select * from BillGoodsPlace where BillGuid='D1' and BillType='WarehouseOut'"});
  const StateOutcome confirmed = Change(StateCommand::Confirm, "D1");
  ASSERT_EQ(confirmed.result, StateResult::Done) << confirmed.message;
  EXPECT_EQ(places("05"), "P05Y01|1|\nP05Y02|4|\n");
  ASSERT_EQ(Change(StateCommand::UnConfirm, "D1").result, StateResult::Done);
  EXPECT_EQ(places("05"), "P05Y01|0|\nP05Y02|1|\n");
  ASSERT_EQ(Change(StateCommand::UnPreAudit, "D1").result, StateResult::Done);
  EXPECT_EQ(places("09"), issuedFrom);
}

TEST_F(StockMovementTest, RowsATransferCreatesCopyTheSourceButNotItsIssuedCountAndCarryTheAmounts) {
  db_.Run({"update phk set SellPrice=33, bcsl=40 where hh='0034' and stockid='01' and dh='200341'"});
  AddBill("T3", "01", "07", "0034", "230515", "200341", 4, 208, 352, "K9");
  ASSERT_EQ(Change(StateCommand::Audit, "T3").result, StateResult::Done);
  const std::string created = " from phk where hh='0034' and stockid='07'";
  EXPECT_EQ(RowsOf("select sl, brsl, isnull(bcsl,0), SellPrice" + created), "4|4|0|33|\n");
  EXPECT_EQ(db_.Value("select kh + '/' + convert(varchar(10), xq, 120)" + created),
            "K9/" + db_.Value("select convert(varchar(10), xq, 120) from phk where hh='0034' and stockid='01' and dh='200341'"));
  const std::string balance = "select sjsl, sjje, sjlsje from ywbalance where hh='0034' and stockid='07'";
  EXPECT_EQ(testsupport::Rows(*db_.Open(), balance), "4|208|352|\n");
  // The reversal takes the amounts back out of the new balance row.
  ASSERT_EQ(Change(StateCommand::UnAudit, "T3").result, StateResult::Done);
  EXPECT_EQ(testsupport::Rows(*db_.Open(), balance), "0|0|0|\n");
}

// Balances are held as the server's money column holds them: after audits and un-audits of
// amounts with cents, the balance is its decimal value exactly (5954.4 - 2280 is 3674.4, not
// 3674.3999999999996), and a sum that leaves the column's range is refused, changing nothing.
TEST_F(StockMovementTest, BalancesAfterAuditsAndUnAuditsOfCentsAreExactDecimals) {
  const std::string where = " from ywbalance where hh='0034' and stockid='01'";
  db_.Run({"update ywbalance set sjje=5954.4, sjlsje=0.3" + where.substr(std::string(" from ywbalance").size())});
  const auto balanceIs = [&](const std::string& sjje, const std::string& sjlsje) {
    return db_.Count("select count(*)" + where + " and sjje=" + sjje + " and sjlsje=" + sjlsje) == 1;
  };
  AddBill("C1", "01", "07", "0034", "230515", "200341", 1, 2280, 0.1);
  AddBill("C2", "01", "07", "0034", "230515", "200341", 1, 0.07, 0.2);
  AddBill("C3", "01", "07", "0034", "230515", "200341", 1, 1234.56, 1e-5);
  ASSERT_EQ(Change(StateCommand::Audit, "C1").result, StateResult::Done);
  EXPECT_TRUE(balanceIs("3674.4", "0.2")) << db_.Value("select cast(sjje as varchar(40))" + where);
  ASSERT_EQ(Change(StateCommand::Audit, "C2").result, StateResult::Done);
  ASSERT_EQ(Change(StateCommand::Audit, "C3").result, StateResult::Done);
  EXPECT_TRUE(balanceIs("2439.77", "0"));
  ASSERT_EQ(Change(StateCommand::UnAudit, "C2").result, StateResult::Done);
  EXPECT_TRUE(balanceIs("2439.84", "0.2"));
  ASSERT_EQ(Change(StateCommand::UnAudit, "C1").result, StateResult::Done);
  ASSERT_EQ(Change(StateCommand::UnAudit, "C3").result, StateResult::Done);
  EXPECT_TRUE(balanceIs("5954.4", "0.3"));
  EXPECT_EQ(db_.Value("select count(*) from ywbalance where hh='0034' and stockid='07' and sjje=0 and sjlsje=0"), "1");
}

// Texts with quotes and Chinese characters and a price with every digit its money column keeps
// go through saving, audit and un-audit as they are: the stored line, the auditor's name, the batch
// row created under a quoted batch number, and stock and amounts that add up exactly.
TEST_F(StockMovementTest, QuotedChineseTextsAndLongAmountsAreStoredAndMovedExactly) {
  db_.Run({"insert into phk(HH,PH,DH,StockID,SL,jhdj) values ('0023','23''04批','2''31号','05',100.1234,1)"});
  LineToSave line = testsupport::TransferLine("", "05", "03", "0023", "23'04批", "2'31号", 2.5);
  line.remark = "O'Neil 的备注 '; drop table phk; --";
  line.goodsName = "阿莫西林'胶囊";
  line.unitName = "盒'";
  line.price = 123456789.1234;
  line.figures = FiguresOf(2.5, 1, 2.5 * line.price, 2.5 * line.retailPrice, 2.5 * line.price, 13);
  const std::string lsh = StoreLine(session_, line).lsh;
  EXPECT_EQ(testsupport::TableOf(*db_.Open(), "select a.bz,a.pm,a.dw,a.ph,a.pcdh,b.bz from ckdbdzkmx a inner join ckdbdzk b on "
                                              "a.lsh=b.lsh where a.lsh='" + lsh + "'"),
            (testsupport::Table{{line.remark, line.goodsName, line.unitName, "23'04批", "2'31号", line.remark}}));
  EXPECT_EQ(db_.Count("select count(*) from ckdbdzkmx where dj=123456789.1234 and je=308641972.81 and sl=2.5"), 1);

  const testsupport::StockFigures before = testsupport::ReadFigures(*db_.Open());
  const StateSettings settings{false, false, "bcsl,SellPrice", "王'五"};
  ASSERT_EQ(ChangeBillState(session_, StateCommand::Audit, lsh, settings, answers_).result, StateResult::Done);
  EXPECT_EQ(db_.Value("select shry from ckdbdzk where lsh='" + lsh + "'"), "王'五");
  testsupport::StockFigures moved = before;
  moved["phk|05|0023|23'04批|2'31号"] -= 2.5;
  moved["phk|03|0023|23'04批|2'31号"] += 2.5;
  for (const auto& [warehouse, sign] : {std::pair{"05", -1.0}, std::pair{"03", 1.0}}) {
    moved["sjsl|" + std::string(warehouse) + "|0023"] += sign * 2.5;
    moved["sjje|" + std::string(warehouse) + "|0023"] += sign * 308641972.81;
    moved["sjlsje|" + std::string(warehouse) + "|0023"] += sign * 37.5;
  }
  EXPECT_EQ(testsupport::FigureDifferences(moved, testsupport::ReadFigures(*db_.Open())), "");
  ASSERT_EQ(ChangeBillState(session_, StateCommand::UnAudit, lsh, settings, answers_).result, StateResult::Done);
  const testsupport::StockFigures back = testsupport::ReadFigures(*db_.Open());
  for (const auto& [key, value] : before) EXPECT_EQ(back.at(key), value) << key;
  EXPECT_EQ(back.at("phk|03|0023|23'04批|2'31号"), 0);
}

// The location code a reversal takes out of the receiving batch row's list.
TEST(RemoveListItemTest, LocationListsLoseOneCode) {
  EXPECT_EQ(RemoveListItem("A1,B2,C3", "B2"), "A1,C3");
  EXPECT_EQ(RemoveListItem("B2,C3", "B2"), "C3");
  EXPECT_EQ(RemoveListItem("A1,B2,", "C3"), "A1,B2");
  EXPECT_EQ(RemoveListItem("A1,", ""), "A1") << "an empty code removes no comma";
  EXPECT_EQ(RemoveListItem("B2,A12", "A1"), "B2,A12") << "whole codes only";
  EXPECT_EQ(RemoveListItem("A12,A1", "A1"), "A12");
  EXPECT_EQ(RemoveListItem("A1,B2,A1", "A1"), "B2");
  EXPECT_EQ(RemoveListItem(",A1,,B2", "A1"), ",,B2") << "empty codes are kept where they stand";
  EXPECT_EQ(RemoveListItem("", "A1"), "");
}

// The shortage check against stock the embedded database summed in binary floating point:
// quantities with decimals (kilograms of herbs) must never make a bill just audited impossible to
// un-audit, nor refuse a batch that holds exactly what the line needs, while a hundredth more than
// the stock is still short. With batches and without (then the balance is the stock checked).
TEST_F(StockMovementTest, DecimalQuantitiesAreShortOnlyWhenTheyExceedTheStock) {
  // Bills 05 -> 03 of batch 230422 of 0023; 03 holds none of it.
  const auto setStock = [&](const std::string& quantity) {
    db_.Run({"update phk set sl=" + quantity + " where hh='0023' and stockid='05' and ph='230422' and dh='200231'",
             "update ywbalance set sjsl=" + quantity + " where hh='0023' and stockid='05' and fperiod=0"});
  };
  for (const bool batches : {true, false}) {
    SCOPED_TRACE(batches ? "batches" : "no batches");
    const auto change = [&](StateCommand command, const std::string& lsh) {
      return ChangeBillState(session_, command, lsh, {!batches, false, "", "系统管理员"}, answers_);
    };
    setStock("10");
    answers_.shortagesAsked = 0;
    // 03 holds 0.3 + 0.35 = 0.6499999999999999 after the audit
    const std::string lsh = Bill("05", "03", {{"0023", "230422", "200231", 0.3}, {"0023", "230422", "200231", 0.35}});
    ASSERT_EQ(change(StateCommand::Audit, lsh).result, StateResult::Done);
    const StateOutcome undone = change(StateCommand::UnAudit, lsh);
    EXPECT_EQ(undone.result, StateResult::Done) << undone.message;
    EXPECT_EQ(answers_.shortagesAsked, 0);

    setStock("0.64");
    const std::string tooMuch = Bill("05", "03", {{"0023", "230422", "200231", 0.65}});
    EXPECT_EQ(change(StateCommand::PreAudit, tooMuch).result, StateResult::Refused);
    setStock("0.3 + 0.35");
    const StateOutcome exact = change(StateCommand::PreAudit, Bill("05", "03", {{"0023", "230422", "200231", 0.65}}));
    EXPECT_EQ(exact.result, StateResult::Done) << exact.message;
    EXPECT_EQ(db_.Count("select count(*) from phk where hh='0023' and stockid='05' and ph='230422' and sl<-0.0001"), 0);
  }
}

using AskFirstTest = StockMovementTest;

// A negative line sends the goods back: the in-warehouse loses them, and the shortage check and
// its policy apply there.
TEST_F(AskFirstTest, ANegativeLineIsCheckedInTheWarehouseThatLosesTheGoods) {
  // 01 holds 45.75 of 0023 (batch 230422 among them); 05 is the out-warehouse, 01 gives.
  const std::string lsh = Bill("05", "01", {{"0023", "230422", "200231", -100}});
  const std::string before = testsupport::FullDump(*check_);
  const StateOutcome refused = Change(StateCommand::Audit, lsh);
  EXPECT_EQ(refused.refusal, StateRefusal::Shortage) << refused.message;
  EXPECT_NE(refused.message.find("仓库编号: 01"), std::string::npos) << refused.message;
  EXPECT_EQ(testsupport::FullDump(*check_), before);

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
  const std::string before = testsupport::FullDump(*check_);
  EXPECT_EQ(Change(StateCommand::UnAudit, oneStep).result, StateResult::NothingSelected);
  EXPECT_EQ(testsupport::FullDump(*check_), before);

  const std::string twoStep = Bill("05", "03", {{"0023", "230422", "200231", 3}});
  ASSERT_EQ(Change(StateCommand::PreAudit, twoStep).result, StateResult::Done);
  ASSERT_EQ(Change(StateCommand::Confirm, twoStep).result, StateResult::Done);
  ASSERT_EQ(PostBill(session_, twoStep), PostingResult::Posted);
  const std::string posted = testsupport::FullDump(*check_);
  EXPECT_EQ(Change(StateCommand::UnConfirm, twoStep).result, StateResult::NothingSelected);
  EXPECT_EQ(Change(StateCommand::UnPreAudit, twoStep).refusal, StateRefusal::Guard);
  EXPECT_EQ(testsupport::FullDump(*check_), posted);
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
  const std::string confirmed = testsupport::FullDump(*check_);
  EXPECT_FALSE(ReallocateInWarehousePlaces(session_, allOnA02));
  EXPECT_EQ(testsupport::FullDump(*check_), confirmed);
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
