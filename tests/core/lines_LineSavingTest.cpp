// Storing lines on the demo database: a failure that leaves nothing behind, a bill audited
// meanwhile, a bill's warehouses kept under its lines, two processes saving new bills at once, a
// duplicate key told from other refusals; and the goods places a line is allocated and may be
// stored with. A bill deleted meanwhile:
// scenarios/lines/bill_deleted_meanwhile.scn and the stock model.
#include <gtest/gtest.h>

#include <functional>

#include "adodb/Error.h"
#include "adodb/Variant.h"
#include "db/SqliteFile.h"
#include "editor/FrmStoreAdjuctBill.h"
#include "host/KeyCodes.h"
#include "lines/GoodsPlaceAllocation.h"
#include "lines/GoodsPlaceRows.h"
#include "lines/LineSaving.h"
#include "lines/StoredBillLines.h"
#include "support/DemoCopy.h"
#include "support/AtOnce.h"
#include "support/DemoGoodsPlaceRequest.h"
#include "support/ErrorOf.h"
#include "support/ModuleSession.h"
#include "support/SanitizedRuns.h"
#include "support/StockTables.h"
#include "support/TransferLine.h"

namespace storeadjust {
namespace {

// The first line of a new bill 01 -> 05, whose goods places take its 2 units.
LineToSave NewBillLine(const std::string& remark) {
  LineToSave line = testsupport::PlacedLine("", "01", "05", "0023", "230422", "200231", 2, {"P05Y01,x,Y01,1.5", "P05Y02,x,Y02,0.5"});
  line.remark = remark;
  return line;
}

class LineSavingTest : public ::testing::Test {
 protected:
  std::string Serial() const { return db_.Value("select FmaxNum from t_billnum where fid=75 and fused=1"); }
  GoodsPlaceRequest Request(const std::string& line, const std::string& goods, const std::string& quantity) const {
    return testsupport::DemoGoodsPlaceRequest(db_, line, goods, quantity);
  }

  testsupport::TempDatabase db_{testsupport::DemoCopy};
  ScriptedUserInterface ui_;
  Session session_ = testsupport::OpenEditorSession(db_, ui_);
};

// A save the database or the line's own places refuse rolls back whole: no header, no line, no
// goods-place row, the counter as it was, and no transaction left open. The editor refuses such
// places and warehouses before the save (scenarios/lines/goods_places.scn,
// scenarios/entry/warehouses_on_save.scn); one that reaches it all the same stores nothing, rather
// than a quantity every booking would fail on or a warehouse removed meanwhile.
TEST_F(LineSavingTest, ARefusedSaveLeavesNoHeaderNoLineNoPlacesAndTheCounterAsItWas) {
  struct Refusal {
    std::function<void()> meanwhile;
    LineToSave line;
    std::string words;
  };
  const Refusal refusals[] = {
      {[] {}, testsupport::PlacedLine("", "01", "05", "0023", "230422", "200231", 2, {"P05Y01,x,Y01,2", "P05Y02,x,Y02,abc"}),
       "货位数量必须是数字!"},
      {[&] { db_.Run({"delete from gl_stock where id='02'"}); },
       testsupport::TransferLine("", "01", "02", "0006", "230715", "200061", 2), "仓库编号不存在!"},
      {[&] {
         db::SqliteFile(db_.Path()).Execute(
             "create trigger refuse_line before insert on ckdbdzkmx begin select raise(abort, 'line refused'); end");
       },
       NewBillLine("lost"), "line refused"}};
  for (const Refusal& refusal : refusals) {
    refusal.meanwhile();
    const adodb::Error error = testsupport::ErrorOf([&] { StoreLine(session_, refusal.line); });
    EXPECT_NE(error.Description().find(refusal.words), std::string::npos) << error.Description();
    EXPECT_EQ(db_.Count("select count(*) from ckdbdzk where lsh like 'DBD20240305%'"), 0) << refusal.words;
    EXPECT_EQ(db_.Count("select count(*) from ckdbdzkmx where lsh like 'DBD20240305%'"), 0) << refusal.words;
    EXPECT_EQ(db_.Count("select count(*) from BillGoodsPlace where BillGuid like 'DBD20240305%'"), 0) << refusal.words;
    EXPECT_EQ(Serial(), "5") << refusal.words;
    EXPECT_FALSE(session_.Conn->InTransaction()) << refusal.words;
  }
}

TEST_F(LineSavingTest, ABillAuditedOrGoodsRemovedMeanwhileTakeNoLine) {
  LineToSave line = NewBillLine("late");
  line.newBill = false;
  line.lsh = "DBD202403010002";
  db_.Run({"update ckdbdzk set PreShbz=1 where lsh='DBD202403010002'"});
  EXPECT_EQ(StoreLine(session_, line).outcome, LineSaveOutcome::BillAudited);
  EXPECT_EQ(db_.Count("select count(*) from ckdbdzkmx where lsh='DBD202403010002'"), 2);
  EXPECT_EQ(db_.Count("select count(*) from ckdbdzk where bz='late'"), 0) << "the header is not rewritten either";
  db_.Run({"delete from yw_kck where hh='0023'"});
  EXPECT_EQ(StoreLine(session_, NewBillLine("gone")).outcome, LineSaveOutcome::GoodsGone);
  EXPECT_EQ(db_.Count("select count(*) from ckdbdzk where bz='gone'"), 0);
}

// Master data another clerk changed while the line was open, read again inside the save, which
// then writes nothing: a goods place removed, the goods switched to amount only, the in-warehouse
// switched to goods places. A unit changed meanwhile: the entry property test; a date moved past
// the batch's expiry: scenarios/entry/expired_batch.scn.
TEST_F(LineSavingTest, MasterDataChangedMeanwhileIsFoundByTheSave) {
  const std::string written = "select count(*) from ckdbdzkmx where hh in ('0023','0006')";
  const long before = db_.Count(written);
  db_.Run({"delete from GoodsPlace where GoodsPlaceGuid='P05Y02'"});
  const SavedLine placeGone = StoreLine(session_, NewBillLine("place"));
  EXPECT_EQ(placeGone.outcome, LineSaveOutcome::PlaceGone);
  EXPECT_EQ(placeGone.placeNo, "Y02");

  LineToSave byQuantity = testsupport::TransferLine("", "01", "02", "0006", "230715", "200061", 1);
  byQuantity.amountOnly = false;
  db_.Run({"update yw_kck set fonlymoney=1 where hh='0006'"});
  EXPECT_EQ(StoreLine(session_, byQuantity).outcome, LineSaveOutcome::KeepingChanged);
  db_.Run({"update yw_kck set fonlymoney=0 where hh='0006'"});
  db_.Run({"update gl_stock set FDeleted=1 where id='02'"});
  const LineToSave unplaced = testsupport::TransferLine("", "01", "02", "0006", "230715", "200061", 1);
  EXPECT_EQ(StoreLine(session_, unplaced).outcome, LineSaveOutcome::PlacesNeeded);
  EXPECT_EQ(db_.Count(written), before);
}

// A line taken with F3 and saved without its quantity weighed again was weighed when it was
// stored: the save weighs only what it takes beyond that, against the stock as it is now. A line
// weighed at entry: scenarios/entry/stock_taken_before_save.scn.
TEST_F(LineSavingTest, AnAmendedLineIsWeighedForWhatItTakesBeyondTheStoredLine) {
  const auto stockOf = [](const char* quantity) {
    return std::string("update ywbalance set sjsl=") + quantity + " where hh='0006' and stockid='01' and fperiod=0 and fyear=0";
  };
  db_.Run({"update sys_var set bz3=0", stockOf("10")});
  const SavedLine stored = StoreLine(session_, testsupport::TransferLine("", "01", "02", "0006", "230715", "200061", 8));
  ASSERT_EQ(stored.outcome, LineSaveOutcome::Saved);
  db_.Run({stockOf("3")});
  LineToSave amended = testsupport::TransferLine(stored.lsh, "01", "02", "0006", "230715", "200061", 8);
  amended.amend = true;
  amended.dh = stored.dh;
  amended.amendedAsLoaded = ReadBillLine(*session_.Conn, stored.lsh, stored.dh);
  amended.stockWeighed = LineToSave::StockWeighed::WhenStored;
  EXPECT_EQ(StoreLine(session_, amended).outcome, LineSaveOutcome::Saved);
  amended.figures = FiguresOf(12, 1, 120, 180, 120, 13);
  EXPECT_EQ(StoreLine(session_, amended).outcome, LineSaveOutcome::ShortageForbidden);
  db_.Run({stockOf("4")});
  EXPECT_EQ(StoreLine(session_, amended).outcome, LineSaveOutcome::Saved);
  EXPECT_EQ(db_.Value("select cast(sl as varchar) from ckdbdzkmx where lsh='" + stored.lsh + "'"), "12");
}

// Goods going back leave a place only what it holds of the batch. The editor weighs that before
// the save's transaction begins; another clerk who empties the place in between is found inside
// it, and nothing is written.
TEST_F(LineSavingTest, AReturnFromAPlaceAnotherClerkEmptiedMeanwhileWritesNothing) {
  const LineToSave back = testsupport::PlacedLine("", "01", "05", "0022", "240127", "200222", -2, {"P05Y01,x,Y01,-2"});
  ASSERT_FALSE(PlaceGivingMoreThanItHolds(session_, {"", "", "0022", "05", "240127", "200222", back.goodsPlaces}));
  db_.Run({"update GoodsPlaceBalance set CurrQuantity=1.5 where GoodsPlaceGuid='P05Y01' and MaterielGuid='0022'"});
  const SavedLine refused = StoreLine(session_, back);
  EXPECT_EQ(refused.outcome, LineSaveOutcome::PlaceShort);
  EXPECT_EQ(PlaceShortageText(refused.shortage), "货位[Y01]中本批号只有1.5,不够退回2");
  EXPECT_EQ(db_.Count("select count(*) from ckdbdzk where lsh like 'DBD20240305%'"), 0);
  EXPECT_EQ(db_.Count("select count(*) from BillGoodsPlace where BillGuid like 'DBD20240305%'"), 0);
  EXPECT_EQ(Serial(), "5");
}

// A bill's lines move stock between the warehouses they were stored with: while other lines are
// stored, a line naming other warehouses changes neither the header nor itself. The warehouses
// are compared as the database compares ids; a bill's only line may take the header along.
TEST_F(LineSavingTest, TheWarehousesOfABillWithOtherLinesStayAsStored) {
  const std::string before = db_.Value("select count(*) from ckdbdzkmx where lsh='DBD202403010001'");
  LineToSave added = testsupport::TransferLine("DBD202403010001", "01", "03", "0006", "230715", "200061", 1);
  added.billShowsLines = true;
  EXPECT_EQ(StoreLine(session_, added).outcome, LineSaveOutcome::WarehousesKept);
  LineToSave amended = added;
  amended.amend = true;
  amended.dh = "1001";
  EXPECT_EQ(StoreLine(session_, amended).outcome, LineSaveOutcome::WarehousesKept);
  EXPECT_EQ(db_.Value("select drstockid from ckdbdzk where lsh='DBD202403010001'"), "02");
  EXPECT_EQ(db_.Count("select count(*) from ckdbdzkmx where lsh='DBD202403010001' and drstockid<>'02'"), 0);
  EXPECT_EQ(db_.Value("select count(*) from ckdbdzkmx where lsh='DBD202403010001'"), before);

  added.outWarehouse = "01 ";
  added.inWarehouse = "02";
  EXPECT_EQ(StoreLine(session_, added).outcome, LineSaveOutcome::Saved);

  db_.Run({"delete from ckdbdzkmx where lsh='DBD202403010002' and dh<>'1001'"});
  LineToSave only = testsupport::TransferLine("DBD202403010002", "01", "03", "0006", "230715", "200061", 1);
  only.billShowsLines = only.amend = true;
  only.dh = "1001";
  EXPECT_EQ(StoreLine(session_, only).outcome, LineSaveOutcome::Saved);
  EXPECT_EQ(db_.Value("select h.drstockid + m.drstockid from ckdbdzk h join ckdbdzkmx m on m.lsh=h.lsh "
                      "where h.lsh='DBD202403010002'"),
            "0303");
}

// The booking adds each place's row once: a place the dialog names twice (also in another case or
// with trailing blanks, the same id to the database) is one row holding both quantities. Ids with
// quotes are stored as typed.
TEST_F(LineSavingTest, APlaceNamedTwiceIsStoredAsOneRowHoldingBoth) {
  db_.Run({"insert into GoodsPlace(GoodsPlaceGuid,GoodsPlaceNo,WarehouseGuid) values ('P05Y''02','Y''02','05')"});
  const SavedLine saved = StoreLine(
      session_, testsupport::PlacedLine("", "01", "05", "0023", "230422", "200231", 3,
                                        {"P05Y'02,x,Y'02,1", "P05Y01,x,Y01,0.5", "p05y'02 ,x,y'02,1", "P05Y01,x,Y01,0.5"}));
  EXPECT_EQ(testsupport::Rows(*db_.Open(), "select GoodsPlaceGuid, GoodsPlaceNo, Quantity from BillGoodsPlace where "
                                           "BillGuid='" + saved.lsh + "' order by GoodsPlaceGuid"),
            "P05Y'02|Y'02|2|\nP05Y01|Y01|1|\n");
}

// Two clerks' sessions, each in its own process, save the first line of a new bill at the same
// moment, round after round: every bill gets its own serial and keeps its own header.
TEST_F(LineSavingTest, TwoProcessesSavingNewBillsAtOnceNeverShareASerial) {
  const int rounds = testsupport::Rounds(15, 5);
  for (int round = 0; round < rounds; ++round) {
    const std::vector<int> exits = testsupport::AtOnce(2, [&](int clerk) {
      ScriptedUserInterface ui;
      Session session = testsupport::OpenEditorSession(db_, ui);
      StoreLine(session, NewBillLine("r" + std::to_string(round) + "c" + std::to_string(clerk)));
      return 0;
    });
    EXPECT_EQ(exits, (std::vector<int>{0, 0})) << "round " << round;
  }
  const std::string bills = std::to_string(2 * rounds);
  EXPECT_EQ(db_.Value("select cast(count(*) as varchar) + '/' + cast(count(distinct bz) as varchar) from ckdbdzk where "
                      "lsh like 'DBD20240305%'"), bills + "/" + bills);
  EXPECT_EQ(db_.Count("select count(*) from ckdbdzkmx a inner join ckdbdzk b on a.lsh=b.lsh where b.lsh like "
                      "'DBD20240305%' and a.dh='1001'"), 2 * rounds);
  EXPECT_EQ(Serial(), std::to_string(5 + 2 * rounds));
}

// A duplicate key is told from any other constraint, and a save the database refuses for another
// reason reaches the clerk in its own words. That the line stored is the line the screen showed,
// also after F3, is held by the entry property test.
TEST_F(LineSavingTest, OnlyADuplicateKeyIsTakenForAnotherClerkAtTheSameMoment) {
  auto connection = db_.Open();
  const adodb::Error taken = testsupport::ErrorOf([&] {
    connection->Execute("insert into ckdbdzk(lsh,kdrq,dcstockid,drstockid,shbz,jzbz) values "
                        "('DBD202403010001','2024-03-05','01','02',0,0)");
  });
  EXPECT_EQ(taken.Number(), adodb::errnum::kIntegrityViolation) << taken.Description();
  EXPECT_TRUE(taken.IsDuplicateKey());
  // A column a site added, NOT NULL without a default: every line save now fails on it.
  std::string ddl = db_.Value("select sql from sqlite_master where type='table' and name='ckdbdzkmx'");
  ddl.insert(ddl.find('(') + 1, "SiteCode varchar(10) not null, ");
  db::SqliteFile site(db_.Path());
  site.Execute("alter table ckdbdzkmx rename to ckdbdzkmx_site");
  site.Execute(ddl);
  site.Execute("insert into ckdbdzkmx select '', * from ckdbdzkmx_site");
  // Taken for a duplicate key, the clerk would be told to save again, forever.
  FrmStoreAdjuctBill form{session_, {EditorRequest::Mode::Amend, "DBD202403010001"}};
  form.Load();
  form.FireTimers();
  form.Type("TxtHH", "0012");
  form.KeyDown("TxtHH", key::kReturn);
  ui_.QueueChoice(1);
  form.Type("TxtSl", "1");
  form.KeyDown("TxtSl", key::kReturn);
  form.Click("Cmd_Save");
  EXPECT_EQ(testsupport::ShownBoxes(ui_), "16 错误:|NOT NULL constraint failed: ckdbdzkmx.SiteCode\n");
}

// The goods-place dialog's rules (its keys and totals are tested offscreen in
// GoodsPlaceDialogViewTest): the places of a warehouse with the goods' quantities, where the
// allocation starts from, and what may be confirmed.
// Each row as "number name current allocated", one a line.
using GoodsPlaceAllocationTest = LineSavingTest;

std::string Shown(const GoodsPlaceAllocation& allocation) {
  std::string text;
  for (const GoodsPlaceRow& row : allocation.Rows()) {
    text += row.number + " " + row.name + " " + adodb::FormatNumber(row.current) + " " +
            adodb::FormatNumber(row.allocated) + "\n";
  }
  return text;
}

// An allocation made for the in-warehouse the bill named before (the line's stored rows, or the
// dialog's earlier answer) is not carried into another warehouse's dialog, where confirmed unseen
// it would book goods into the other warehouse's places.
TEST_F(GoodsPlaceAllocationTest, PlacesOfAnotherWarehouseAreNotCarriedOver) {
  GoodsPlaceRequest request = Request("1001", "0001", "5.5");
  request.warehouseId = "09";  // line 1001 holds Y01 3.5 and Y02 2 of 05
  EXPECT_EQ(Shown(GoodsPlaceAllocation(request)), "B01 货架B01 15.5 0\nB02 货架B02 10.5 0\nB03 货架B03 0 0\n");
  request.items = {"P05Y01,05,Y01,3.5", "P05Y02,x,Y02,2"};
  EXPECT_TRUE(GoodsPlaceAllocation(request).Items().empty());
  // This warehouse's listed places stay; one it no longer lists (removed meanwhile) is named for
  // its quantity to be placed again.
  request.items = {"P09B01,x,B01,2", "P09NEW,09,NEW,1", "P05Y01,x,Y01,2.5"};
  const GoodsPlaceAllocation carried(request);
  EXPECT_EQ(carried.Items(), (std::vector<std::string>{"P09B01,09,B01,2"}));
  EXPECT_EQ(carried.Summary(), "合计 2.00 / 应分配 5.50：货位[NEW]已不存在,请重新选择货位!");
}

}  // namespace
}  // namespace storeadjust
