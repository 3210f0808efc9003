// Storing lines on the demo database: a new bill's serial taken inside the save, a failure that
// leaves nothing behind, a bill audited meanwhile, and two processes saving new bills at once.
#include <gtest/gtest.h>
#include "adodb/Error.h"
#include "db/SqliteFile.h"
#include "lines/LineSaving.h"
#include "support/AtOnce.h"
#include "support/ModuleSession.h"
#include "support/TransferLine.h"

namespace storeadjust {
namespace {

// The first line of a new bill 01 -> 05, whose goods places take its 2 units.
LineToSave NewBillLine(const std::string& remark) {
  LineToSave line = testsupport::TransferLine("", "01", "05", "0023", "230422", "200231", 2);
  line.remark = remark;
  line.inWarehouseKeepsPlaces = true;
  line.goodsPlaces = {"P05Y01,x,Y01,1.5", "P05Y02,x,Y02,0.5"};
  return line;
}

class LineSavingTest : public ::testing::Test {
 protected:
  std::string Serial() const { return db_.Value("select FmaxNum from t_billnum where fid=75 and fused=1"); }

  testsupport::TempDatabase db_{db::CreateDemoDatabase};
  ScriptedUserInterface ui_;
  Session session_ = testsupport::OpenEditorSession(db_, ui_);
};

TEST_F(LineSavingTest, ASerialAnotherBillHoldsIsSkippedNotOverwritten) {
  for (const char* lsh : {"DBD202403050005", "DBD202403050006"}) {
    db_.Run({std::string("insert into ckdbdzk(lsh,kdrq,dcstockid,drstockid,bz,czry,shbz,shry,jzbz) values ('") + lsh +
             "','2024-03-05','01','02','other clerk','张三',0,'',0)"});
  }
  EXPECT_EQ(StoreLine(session_, NewBillLine("mine")).lsh, "DBD202403050007");
  EXPECT_EQ(db_.Count("select count(*) from ckdbdzk where bz='other clerk' and czry='张三'"), 2);
  EXPECT_EQ(Serial(), "8");
}

TEST_F(LineSavingTest, AFailedLineInsertLeavesNoHeaderNoPlacesAndTheCounterAsItWas) {
  db::SqliteFile(db_.Path()).Execute(
      "create trigger refuse_line before insert on ckdbdzkmx begin select raise(abort, 'line refused'); end");
  try {
    StoreLine(session_, NewBillLine("lost"));
    FAIL() << "the refused insert must reach the caller";
  } catch (const adodb::Error& error) {
    EXPECT_NE(error.Description().find("line refused"), std::string::npos);
  }
  EXPECT_EQ(db_.Count("select count(*) from ckdbdzk where bz='lost'"), 0);
  EXPECT_EQ(db_.Count("select count(*) from BillGoodsPlace where BillGuid='DBD202403050005'"), 0);
  EXPECT_EQ(Serial(), "5");
  EXPECT_FALSE(session_.Conn->InTransaction());
}

TEST_F(LineSavingTest, ABillAuditedMeanwhileTakesNoLine) {
  LineToSave line = NewBillLine("late");
  line.newBill = false;
  line.lsh = "DBD202403010002";
  db_.Run({"update ckdbdzk set PreShbz=1 where lsh='DBD202403010002'"});
  EXPECT_EQ(StoreLine(session_, line).outcome, LineSaveOutcome::BillAudited);
  EXPECT_EQ(db_.Count("select count(*) from ckdbdzkmx where lsh='DBD202403010002'"), 2);
  EXPECT_EQ(db_.Count("select count(*) from ckdbdzk where bz='late'"), 0) << "the header is not rewritten either";
}

// Two clerks' sessions, each in its own process, save the first line of a new bill at the same
// moment, round after round: every bill gets its own serial and keeps its own header.
TEST_F(LineSavingTest, TwoProcessesSavingNewBillsAtOnceNeverShareASerial) {
  constexpr int kRounds = 15;
  for (int round = 0; round < kRounds; ++round) {
    const std::vector<int> exits = testsupport::AtOnce(2, [&](int clerk) {
      ScriptedUserInterface ui;
      Session session = testsupport::OpenEditorSession(db_, ui);
      StoreLine(session, NewBillLine("r" + std::to_string(round) + "c" + std::to_string(clerk)));
      return 0;
    });
    EXPECT_EQ(exits, (std::vector<int>{0, 0})) << "round " << round;
  }
  const std::string mine = " from ckdbdzk where lsh like 'DBD20240305%'";
  EXPECT_EQ(db_.Count("select count(*)" + mine), 2 * kRounds);
  EXPECT_EQ(db_.Count("select count(distinct bz)" + mine), 2 * kRounds);
  EXPECT_EQ(db_.Count("select count(*) from ckdbdzkmx a inner join ckdbdzk b on a.lsh=b.lsh where b.lsh like "
                      "'DBD20240305%' and a.dh='1001'"),
            2 * kRounds);
  EXPECT_EQ(Serial(), std::to_string(5 + 2 * kRounds));
}

}  // namespace
}  // namespace storeadjust
