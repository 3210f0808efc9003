// Random sequences of saves, audits, confirms, their reversals and outside changes on copies of
// the demo database, in both flows, with and without batches and shortages allowed, over plain and
// goods-place warehouses and money-only goods. After every command: one that did not commit
// changed nothing at all; a committed state change moved, per warehouse and goods (batch), exactly
// the quantities and amounts of its lines (batch stock, balance, goods places) and, without
// shortages allowed, took no stock below zero; saves moved no stock. Now and then the flow is
// switched with bills between steps: what a command moved is what the change of the header's flags
// says (issued: PreShbz or Shbz; received: Shbz). Now and then another clerk acts on the bill while
// a state change's question is open: a Yes over a bill changed meanwhile is refused. Stale screens,
// deleted bills, posting and the goods-place and amount-only switches are TwoClerksTest's.
//
// Then what one state change does beyond the totals the model checks (goods-place order, places
// named twice, columns of created rows, decimals, another clerk between check and update), and the
// engine asking first, then acting (AskFirstTest): no question with a transaction open (checked on
// every case's tear-down).
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <array>
#include <filesystem>
#include <set>

#include "adodb/Error.h"
#include "db/SqliteFile.h"
#include "host/ErrorText.h"
#include "host/FormModel.h"
#include "host/QvGrid.h"
#include "lines/BillDeletion.h"
#include "lines/LineChanges.h"
#include "lines/LineSaving.h"
#include "lines/StoredBillLines.h"
#include "states/BillPosting.h"
#include "states/StateChange.h"
#include "support/DatabaseFiles.h"
#include "support/ModuleSession.h"
#include "support/PropertyRuns.h"
#include "support/SanitizedRuns.h"
#include "support/StateAnswers.h"
#include "support/StockTables.h"
#include "support/SqlLiterals.h"
#include "support/TransferLine.h"

namespace storeadjust {
namespace {

using testsupport::FigureDifferences;
using testsupport::FullDump;
using testsupport::StockDump;
using testsupport::StockFigures;
using testsupport::TempDatabase;
using C = StateCommand;

constexpr const char* kNames[] = {"Audit", "UnAudit", "PreAudit", "UnPreAudit", "Confirm", "UnConfirm"};
bool IsTrue(const std::string& flag) { return flag == "1" || flag == "True" || flag == "true"; }

// What a bill's header says has moved, in either flow.
struct Moved {
  bool issued = false, received = false;
};
// Where a command leaves the bill, whichever flow it was begun in.
bool LeavesAsMeant(C c, const Moved& m) {
  switch (c) {
    case C::Audit:
    case C::Confirm: return m.issued && m.received;
    case C::PreAudit: return m.issued;
    case C::UnAudit:
    case C::UnPreAudit: return !m.issued && !m.received;
    case C::UnConfirm: return m.issued && !m.received;
  }
  return false;
}
struct StoredLine {
  std::string dh, hh, ph, pcdh, out, in;
  double sl = 0, je = 0, lsze = 0;
  bool moneyOnly = false;
};

// Goods-place rows of one bill: "dh|type" -> "place|<warehouse>|hh|ph|dh" -> quantity.
using PlaceRows = std::map<std::string, std::map<std::string, double>>;
using testsupport::Table;

class Sequence : testsupport::RandomDraws {
 public:
  explicit Sequence(unsigned seed) : RandomDraws(seed) {
    twoStep_ = Chance(0.5);
    settings_ = {Chance(0.25), Chance(0.3), "bcsl,SellPrice", "系统管理员"};
    Log(std::string(twoStep_ ? "two-step" : "one-step") + (settings_.isNotPh ? ", no batches" : ", batches") +
        (settings_.shortageAllowed ? ", shortages allowed" : ", no shortages"));
    check_->Execute(std::string("update sys_var set bz3=") + (settings_.shortageAllowed ? "1" : "0"));
    for (const auto& row : Rows("select id, case when isnull(FDeleted,0)<>0 then 1 else 0 end from gl_stock order by id")) {
      warehouses_.push_back(row[0]);
      keepsPlaces_[row[0]] = IsTrue(row[1]);
    }
  }

  // The first broken rule with the commands that led to it; empty when every command kept them.
  std::string Run() {
    for (int step = 0; step < 16 && failure_.empty(); ++step) {
      const double pick = Uniform(0, 1);
      try {
        if (pick < 0.27) SaveLine();
        else if (pick < 0.87) ChangeState();
        else if (pick < 0.92) SwitchFlow();
        else RemoveStockRow();
      } catch (const std::exception& error) {
        Fail(std::string("unexpected exception: ") + error.what());
      }
    }
    return failure_.empty() ? "" : failure_ + "\ncommands:\n" + log_;
  }

 private:
  static double Quarters(double value) { return std::round(value * 4) / 4; }
  void Log(const std::string& text) { log_ += "  " + text + "\n"; }
  void Fail(const std::string& text) { failure_ = failure_.empty() ? text : failure_; }
  Table Rows(const std::string& sql) { return testsupport::TableOf(*check_, sql); }

  // A line for a new bill or an open one, drawing a batch the out-warehouse holds (now and then
  // more than it holds, or one it does not hold at all), or the money-only goods; into a
  // goods-place warehouse with one or two places that now and then do not add up.
  void SaveLine() {
    LineToSave line;
    line.billDate = "2024-03-05";
    line.operatorName = settings_.operatorName;
    const Table bills = Rows("select lsh,dcstockid,drstockid from ckdbdzk where isnull(shbz,0)=0 and "
                             "isnull(PreShbz,0)=0 and isnull(jzbz,0)=0");
    line.newBill = bills.empty() || Chance(0.35);
    if (line.newBill) {
      line.outWarehouse = Pick(Rows("select distinct stockid from phk where sl>0"))[0];
      do line.inWarehouse = Pick(warehouses_); while (line.inWarehouse == line.outWarehouse);
    } else {
      const auto& bill = Pick(bills);
      line.lsh = bill[0], line.outWarehouse = bill[1], line.inWarehouse = bill[2];
      line.billShowsLines = !LinesOf(line.lsh).empty();
    }
    const double sign = Chance(0.2) ? -1 : 1;  // now and then goods going back, from the in-warehouse's batches
    double held = 10;
    if ((line.outWarehouse == "01" || line.outWarehouse == "05") && Chance(0.12)) {
      line.hh = "0040";  // money-only: no batch
    } else {
      Table batches = Rows("select hh,ph,dh,isnull(sl,0) from phk where stockid" +
                           std::string(Chance(0.04) ? "<>" : "=") + SqlText(sign < 0 ? line.inWarehouse : line.outWarehouse));
      if (batches.empty()) batches = Rows("select hh,ph,dh,isnull(sl,0) from phk");
      const auto& batch = Pick(batches);
      line.hh = batch[0], line.batchNo = batch[1], line.batchLine = batch[2], held = std::stod(batch[3]);
    }
    double qty = Quarters(Uniform(0.25, 4));
    const double pick = Uniform(0, 1);
    if (held > 0 && pick < 0.3) qty = held;  // the last units
    else if (held > 0 && pick < 0.6) qty = std::max(0.25, Quarters(held / 3));
    else if (pick < 0.7) qty = std::max(0.25, held) + 1;  // more than is there
    qty *= sign;
    line.price = std::round(Uniform(1, 200) * 100) / 100;
    line.retailPrice = std::round(line.price * 150) / 100;
    line.figures = FiguresOf(qty, 1, qty * line.price, qty * line.retailPrice, qty * line.price, 13);
    line.inWarehouseKeepsPlaces = keepsPlaces_[line.inWarehouse];
    const Table places = Rows("select GoodsPlaceGuid,GoodsPlaceNo from GoodsPlace where WarehouseGuid=" +
                              SqlText(line.inWarehouse));
    if (line.inWarehouseKeepsPlaces && !places.empty()) {
      const double first = places.size() > 1 && Chance(0.6) ? Quarters(qty / 2) : qty;
      const std::size_t a = Index(places.size());
      line.goodsPlaces.push_back(places[a][0] + ",x," + places[a][1] + "," + SqlNumber(first));
      if (first != qty && !Chance(0.15)) {
        const auto& b = places[(a + 1) % places.size()];
        line.goodsPlaces.push_back(b[0] + ",x," + b[1] + "," + SqlNumber(qty - first));
      }
    }

    const std::string stockBefore = StockDump(*check_), allBefore = FullDump(*check_);
    const SavedLine saved = StoreLine(session_, line);
    Log("save " + (line.newBill ? std::string("new bill") : line.lsh) + " " + line.hh + " " + line.batchNo + "/" + line.batchLine + " x" + SqlNumber(qty) + " " + line.outWarehouse +
        "->" + line.inWarehouse + " -> " +
        std::to_string(static_cast<int>(saved.outcome)) + (saved.outcome == LineSaveOutcome::Saved ? " " + saved.lsh + "/" + saved.dh : ""));
    if (StockDump(*check_) != stockBefore) Fail("a save changed the stock");
    if (saved.outcome != LineSaveOutcome::Saved && FullDump(*check_) != allBefore) {
      Fail("a refused save changed something");
    }
  }

  std::vector<StoredLine> LinesOf(const std::string& lsh) {
    std::vector<StoredLine> lines;
    for (const auto& r : Rows("select a.dh,a.hh,a.ph,a.pcdh,a.dcstockid,a.drstockid,isnull(a.sl,0),isnull(a.je,0),"
                              "isnull(a.lsze,0),isnull(k.fonlymoney,0) from ckdbdzkmx a left join yw_kck k on "
                              "a.hh=k.hh where a.lsh=" + SqlText(lsh))) {
      lines.push_back({r[0], r[1], r[2], r[3], r[4], r[5], std::stod(r[6]), std::stod(r[7]), std::stod(r[8]), IsTrue(r[9])});
    }
    return lines;
  }

  PlaceRows PlaceRowsOf(const std::string& lsh) {
    PlaceRows rows;
    for (const auto& r : Rows("select BillDetailGuid,BillType,WarehouseGuid,MaterielGuid,BatchNo,BatchNumber,"
                              "Quantity from BillGoodsPlace where BillGuid=" + SqlText(lsh))) {
      rows[r[0] + "|" + r[1]]["place|" + r[2] + "|" + r[3] + "|" + r[4] + "|" + r[5]] += r[6].empty() ? 0 : std::stod(r[6]);
    }
    return rows;
  }

  bool HasInStockRow(const StoredLine& line) {
    const std::string goods = " where hh=" + SqlText(line.hh) + " and stockid=" + SqlText(line.in);
    if (!settings_.isNotPh && !line.moneyOnly) {
      return !Rows("select sl from phk" + goods + " and ph=" + SqlText(line.ph) + " and dh=" + SqlText(line.pcdh)).empty();
    }
    return !Rows("select sjsl from ywbalance" + goods + " and fperiod=0").empty();
  }

  void ChangeState() {
    const Table bills = Rows("select lsh from ckdbdzk");
    if (bills.empty()) return;
    const std::string lsh = Pick(bills)[0];
    static constexpr C kTwoStep[] = {C::PreAudit, C::PreAudit, C::Confirm, C::Confirm, C::UnPreAudit, C::UnConfirm};
    const C command = !twoStep_ ? (Chance(0.6) ? C::Audit : C::UnAudit) : kTwoStep[Index(std::size(kTwoStep))];
    std::vector<StoredLine> lines = LinesOf(lsh);
    testsupport::StateAnswers answers;
    answers.confirm = !Chance(0.08);
    answers.acceptShortage = Chance(0.5);
    answers.watched = session_.Conn.get();
    if (!lines.empty() && Chance(0.06)) answers.failAtLine = static_cast<long>(1 + Index(lines.size()));
    // A trigger that refuses every write of one table the state changes write, until the command has run.
    static const std::vector<std::string> kWrites = {
        "update on phk", "insert on phk", "update on ywbalance", "insert on ywbalance", "update on GoodsPlaceBalance",
        "insert on BillGoodsPlace", "delete on BillGoodsPlace", "update on ckdbdzk"};
    const std::string injected = Chance(0.08) ? Pick(kWrites) : "";
    if (!injected.empty()) {
      db::SqliteFile(db_.Path()).Execute("create trigger injected_failure before " + injected +
                                         " begin select raise(abort, 'injected failure'); end");
    }

    std::string before, twoStepMarkBefore;
    Moved movedBefore;
    StockFigures figures;
    PlaceRows placesBefore;
    std::set<std::string> missingInRows;
    const auto readBefore = [&] {
      lines = LinesOf(lsh);
      before = FullDump(*check_);
      twoStepMarkBefore = TwoStepMarkOf(lsh);
      movedBefore = MovedOf(lsh);
      figures = testsupport::ReadFigures(*check_);
      placesBefore = PlaceRowsOf(lsh);
      missingInRows.clear();
      for (const StoredLine& line : lines) {
        if (!HasInStockRow(line)) missingInRows.insert(line.dh + " " + line.hh);
      }
    };
    readBefore();
    // Now and then another clerk runs another command on the bill while this clerk's question is
    // open; what follows is judged from where it left the bill.
    std::string otherClerk;
    bool changedMeanwhile = false;
    if (Chance(0.2)) {
      answers.whileAsked = [&] {
        const std::string bill = BillImageOf(lsh);
        otherClerk = OtherClerkActsOn(lsh);
        changedMeanwhile = BillImageOf(lsh) != bill;
        readBefore();
      };
    }

    const StateOutcome outcome = ChangeBillState(session_, command, lsh, settings_, answers);
    if (!injected.empty()) db::SqliteFile(db_.Path()).Execute("drop trigger injected_failure");
    Log(otherClerk + std::string(kNames[static_cast<int>(command)]) + " " + lsh + (answers.confirm ? "" : " [No]") +
        " [fails at line " + std::to_string(answers.failAtLine) + ", " + injected + "] -> " +
        std::to_string(static_cast<int>(outcome.result)) + " " + outcome.message);

    if (session_.Conn->InTransaction()) return Fail("the state change left its transaction open");
    if (answers.askedInTransaction > 0) return Fail("the state change asked with its transaction open");
    if (changedMeanwhile && answers.confirm && outcome.refusal != StateRefusal::StateChanged) {
      return Fail("a state change asked about a bill another clerk changed before the answer was not refused");
    }
    if (outcome.result != StateResult::Done) {
      if (FullDump(*check_) != before) Fail("a state change that did not commit changed something");
      return;
    }
    // (An injected failure of a write the change did not need lets it commit.)
    if (!answers.confirm || answers.failAtLine) return Fail("a state change committed although it was declined or failed");
    const Moved movedAfter = MovedOf(lsh);
    if (!LeavesAsMeant(command, movedAfter)) Fail("the change left the bill otherwise than the command means");
    // A reversal of a receipt skips exactly the lines whose in-warehouse stock row is missing.
    const std::set<std::string> skipped(outcome.skippedLines.begin(), outcome.skippedLines.end());
    if (skipped != (movedBefore.received && !movedAfter.received ? missingInRows : std::set<std::string>{})) {
      Fail("the change skipped other lines than the reversal's lines whose stock row is missing");
    }
    CheckMovedStock(movedBefore, movedAfter, lsh, lines, figures, placesBefore, outcome, skipped);
    const auto header = Rows("select isnull(shbz,0),isnull(PreShbz,0) from ckdbdzk where lsh=" + SqlText(lsh));
    const bool set = command == C::Audit || command == C::PreAudit || command == C::Confirm;
    const bool preFlag = command == C::PreAudit || command == C::UnPreAudit;
    if (IsTrue(header[0][preFlag ? 1 : 0]) != set) Fail("the header's flag is not what the change sets");
    if (!switched_ && (command == C::Audit || command == C::UnAudit) && TwoStepMarkOf(lsh) != twoStepMarkBefore) {
      Fail("a one-step command changed the two-step audit's mark of a bill that never saw a switch");
    }
  }

  // The bill as a state change decides on it: the header's flags and the lines.
  std::string BillImageOf(const std::string& lsh) {
    const std::string bill = SqlText(lsh);
    return testsupport::Rows(*check_, "select isnull(PreShbz,0),isnull(Shbz,0),isnull(Jzbz,0) from ckdbdzk where lsh=" + bill) +
           testsupport::Rows(*check_, "select dh,hh,ph,pcdh,sl,je,lsze,kh,dcstockid,drstockid from ckdbdzkmx where lsh=" +
                                          bill + " order by dh");
  }

  // Another clerk's command on the bill: a state change of the flow, posting, deleting the bill or
  // one of its lines. What he did, for the log.
  std::string OtherClerkActsOn(const std::string& lsh) {
    const double pick = Uniform(0, 1);
    std::string did;
    if (pick < 0.6) {
      static constexpr C kOneStep[] = {C::Audit, C::UnAudit};
      static constexpr C kTwoStep[] = {C::PreAudit, C::UnPreAudit, C::Confirm, C::UnConfirm};
      const C command = twoStep_ ? kTwoStep[Index(std::size(kTwoStep))] : kOneStep[Index(std::size(kOneStep))];
      testsupport::StateAnswers yes;
      yes.acceptShortage = Chance(0.5);
      did = kNames[static_cast<int>(command)] + std::string(" -> ") +
            std::to_string(static_cast<int>(ChangeBillState(other_, command, lsh, settings_, yes).result));
    } else if (pick < 0.75) {
      did = "post -> " + std::to_string(static_cast<int>(PostBill(other_, lsh)));
    } else if (pick < 0.9) {
      did = "delete bill -> " + std::to_string(static_cast<int>(storeadjust::DeleteBill(other_, lsh)));
    } else {
      const Table lines = Rows("select dh from ckdbdzkmx where lsh=" + SqlText(lsh));
      if (lines.empty()) return "";
      const std::string dh = Pick(lines)[0];
      did = "delete line " + dh + " -> " + std::to_string(DeleteStoredLine(other_, lsh, dh) == LineDeletion::Deleted);
    }
    return "[meanwhile another clerk: " + did + "] ";
  }

  Moved MovedOf(const std::string& lsh) {
    const Table header = Rows("select isnull(PreShbz,0),isnull(shbz,0) from ckdbdzk where lsh=" + SqlText(lsh));
    if (header.empty()) return {};
    const bool pre = IsTrue(header[0][0]), received = IsTrue(header[0][1]);
    return {pre || received, received};
  }
  std::string TwoStepMarkOf(const std::string& lsh) {
    return testsupport::Rows(*check_, "select PreShbz,PreShry from ckdbdzk where lsh=" + SqlText(lsh));
  }

  void Move(StockFigures& expected, const std::string& warehouse, const StoredLine& line, double sign) {
    if (!settings_.isNotPh && !line.moneyOnly) {
      expected["phk|" + warehouse + "|" + line.hh + "|" + line.ph + "|" + line.pcdh] += sign * line.sl;
    }
    const std::string goods = "|" + warehouse + "|" + line.hh;
    expected["sjsl" + goods] += sign * (line.moneyOnly ? 0 : line.sl);
    expected["sjje" + goods] += sign * line.je;
    expected["sjlsje" + goods] += sign * line.lsze;
  }

  // What the header's flags say moved: issued or taken back from the out-warehouse, received into
  // or taken back out of the in-warehouse.
  void CheckMovedStock(const Moved& before, const Moved& after, const std::string& lsh, const std::vector<StoredLine>& lines,
                       StockFigures expected, const PlaceRows& placesBefore, const StateOutcome& outcome,
                       const std::set<std::string>& skipped) {
    const bool issue = after.issued && !before.issued, unIssue = before.issued && !after.issued;
    const bool receive = after.received && !before.received, unReceive = before.received && !after.received;
    const PlaceRows placesAfter = PlaceRowsOf(lsh);
    const auto rowsOf = [](const PlaceRows& rows, const std::string& key) {
      const auto found = rows.find(key);
      return found == rows.end() ? std::map<std::string, double>{} : found->second;
    };
    const auto movePlaces = [&expected](const std::map<std::string, double>& rows, double sign, double* total) {
      for (const auto& [key, quantity] : rows) {
        expected[key] += sign * quantity;
        if (total) *total -= sign * quantity;
      }
    };
    StockFigures toPlace, placed;  // per goods: issued quantity, and what places or the remainder took
    for (const StoredLine& line : lines) {
      if (skipped.contains(line.dh + " " + line.hh)) continue;
      const std::string outRows = line.dh + "|WarehouseOut", inRows = line.dh + "|WarehouseIn";
      const bool outPlaces = !line.moneyOnly && keepsPlaces_[line.out], inPlaces = !line.moneyOnly && keepsPlaces_[line.in];
      if (issue) {
        Move(expected, line.out, line, -1);
        if (outPlaces) {
          toPlace[line.hh] += line.sl;
          movePlaces(rowsOf(placesAfter, outRows), -1, &placed[line.hh]);
          movePlaces(rowsOf(placesBefore, outRows), +1, &placed[line.hh]);
        }
      }
      if (unIssue) {
        Move(expected, line.out, line, +1);
        if (outPlaces) {
          movePlaces(rowsOf(placesBefore, outRows), +1, nullptr);
          if (!rowsOf(placesAfter, outRows).empty()) Fail("the reversal kept the out-warehouse's place rows of " + line.dh);
        }
      }
      if (receive || unReceive) {
        Move(expected, line.in, line, receive ? +1 : -1);
        if (inPlaces) movePlaces(rowsOf(placesBefore, inRows), receive ? +1 : -1, nullptr);
      }
    }
    for (const std::string& unplaced : outcome.unplacedIssues) {
      const auto space = unplaced.find(' ');
      placed[unplaced.substr(0, space)] += std::stod(unplaced.substr(space + 1));
    }
    if (const std::string differences = FigureDifferences(toPlace, placed); !differences.empty()) {
      Fail("the goods places and the reported remainder do not cover the issue:\n" + differences);
    }
    const StockFigures actual = testsupport::ReadFigures(*check_);
    if (const std::string differences = FigureDifferences(expected, actual); !differences.empty()) {
      Fail("the stock moved otherwise than the bill says:\n" + differences);
    }
    // The demo starts with nothing below zero and outside changes add nothing below zero.
    for (const auto& [key, value] : actual) {
      if (!settings_.shortageAllowed && key.starts_with(settings_.isNotPh ? "sjsl|" : "phk|") && value < -1e-9) {
        Fail("stock below zero without shortages allowed: " + key);
      }
    }
    if (!settings_.shortageAllowed && !Rows("select GoodsPlaceNo from GoodsPlaceBalance where CurrQuantity<-1e-9").empty()) {
      Fail("a goods place below zero without shortages allowed");
    }
  }

  // The administrator switches StartStoreAdjustOK: the editors opened from now on run the other
  // flow's commands on the bills as they stand.
  void SwitchFlow() {
    twoStep_ = !twoStep_;
    switched_ = true;
    Log(std::string("switch to ") + (twoStep_ ? "two-step" : "one-step"));
  }

  // Someone removes a stock row of a line, mostly the in-warehouse's of a received bill (its
  // reversal must skip the line), now and then the balance row beside a batch row, in either
  // warehouse (the goods still move, booked against a balance row made again).
  void RemoveStockRow() {
    const bool balanceOnly = !settings_.isNotPh && Chance(0.5);
    const Table lines = Rows("select a.hh,a.ph,a.pcdh,a.drstockid,a.dcstockid from ckdbdzkmx a inner join ckdbdzk b on "
                             "a.lsh=b.lsh" + std::string(balanceOnly ? "" : " where b.shbz=1"));
    if (lines.empty()) return;
    const auto& line = Pick(lines);
    const std::string& warehouse = balanceOnly && Chance(0.5) ? line[4] : line[3];
    const std::string goods = " where hh=" + SqlText(line[0]) + " and stockid=" + SqlText(warehouse);
    check_->Execute(settings_.isNotPh || balanceOnly ? "delete from ywbalance" + goods + " and fperiod=0"
                                                     : "delete from phk" + goods + " and ph=" + SqlText(line[1]) +
                                                           " and dh=" + SqlText(line[2]));
    Log("outside: remove the " + std::string(balanceOnly ? "balance" : "stock") + " row of " + line[0] + " " + line[1] +
        "/" + line[2] + " in " + warehouse);
  }

  TempDatabase db_{testsupport::DemoCopy};
  ScriptedUserInterface ui_;
  Session session_ = testsupport::OpenEditorSession(db_, ui_);
  ScriptedUserInterface otherUi_;
  Session other_ = testsupport::OpenEditorSession(db_, otherUi_);  // another clerk's
  std::shared_ptr<adodb::Connection> check_ = db_.Open();
  bool twoStep_ = false;
  bool switched_ = false;  // the flow was switched during the sequence
  StateSettings settings_;
  std::vector<std::string> warehouses_;
  std::map<std::string, bool> keepsPlaces_;
  std::string log_, failure_;
};

TEST(StockConservationTest, RandomCommandsMoveExactlyWhatTheyCommitAndNothingElse) {
  std::vector<unsigned> seeds;
  for (int i = 0; i + 1 < testsupport::Rounds(50, 6); ++i) seeds.push_back(20240305u + 7919u * static_cast<unsigned>(i));
  testsupport::RunSeeds(seeds, [](unsigned seed) { return Sequence(seed).Run(); });
}

// One bill between two goods-place warehouses (05 -> 04, two lines), taken through the commands
// of both flows with the flow switched between them. The stock of both warehouses (batches,
// balances, goods places) is compared after every command with what the plain two-step flow
// leaves: as entered, issued, or issued and received; the flags "PreShbz/Shbz" with what moved.
class FlowSwitchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    lsh_ = StoreLine(session_, testsupport::PlacedLine("", "05", "04", "0021", "240216", "200212", 10,
                                                       {"P04A01,x,A01,10"})).lsh;
    StoreLine(session_, testsupport::PlacedLine(lsh_, "05", "04", "0023", "230422", "200231", 2, {"P04A01,x,A01,2"}));
    entered_ = Figures();
    ASSERT_EQ(Run(C::PreAudit).result, StateResult::Done);
    issued_ = Figures();
    ASSERT_EQ(Run(C::Confirm).result, StateResult::Done);
    received_ = Figures();
    ASSERT_EQ(Run(C::UnConfirm).result, StateResult::Done);
    ASSERT_EQ(Run(C::UnPreAudit).result, StateResult::Done);
    ASSERT_EQ(FigureDifferences(entered_, Figures()), "");
  }

  StateOutcome Run(C command, const std::string& operatorName = "系统管理员") {
    return ChangeBillState(session_, command, lsh_, {false, false, "bcsl,SellPrice", operatorName}, answers_);
  }
  StockFigures Figures() { return testsupport::ReadFigures(*db_.Open()); }
  std::string Flags() {
    return db_.Value("select cast(isnull(PreShbz,0) as varchar) + '/' + cast(isnull(shbz,0) as varchar) from ckdbdzk "
                     "where lsh=" + SqlText(lsh_));
  }
  void Step(C command, StateResult result, const StockFigures& stock, const std::string& flags) {
    SCOPED_TRACE(std::string(kNames[static_cast<int>(command)]) + " to " + flags);
    const StateOutcome outcome = Run(command);
    EXPECT_EQ(outcome.result, result) << outcome.message;
    EXPECT_EQ(FigureDifferences(stock, Figures()), "");
    EXPECT_EQ(Flags(), flags);
  }

  TempDatabase db_{testsupport::DemoCopy};
  ScriptedUserInterface ui_;
  Session session_ = testsupport::OpenEditorSession(db_, ui_);
  testsupport::StateAnswers answers_;
  std::string lsh_;
  StockFigures entered_, issued_, received_;
};

TEST_F(FlowSwitchTest, AOneStepAuditIsNeverIssuedAgainAndIsTakenBackInTwoSteps) {
  ASSERT_EQ(Run(C::Audit, "张三").result, StateResult::Done);
  EXPECT_EQ(FigureDifferences(received_, Figures()), "");
  Step(C::PreAudit, StateResult::NothingSelected, received_, "0/1");
  Step(C::Confirm, StateResult::NothingSelected, received_, "0/1");
  Step(C::UnPreAudit, StateResult::Refused, received_, "0/1");  // un-confirm first
  Step(C::UnConfirm, StateResult::Done, issued_, "1/0");          // left issued, by its auditor
  EXPECT_EQ(db_.Value("select PreShry + '/' + isnull(Shry,'') from ckdbdzk where lsh=" + SqlText(lsh_)), "张三/");
  Step(C::Confirm, StateResult::Done, received_, "1/1");
  Step(C::UnConfirm, StateResult::Done, issued_, "1/0");
  Step(C::UnPreAudit, StateResult::Done, entered_, "0/0");
}

// A quantity or a warehouse another program left NULL is nothing to move: every command that would
// move the line is refused before its question, in words naming the line and what it lacks, and
// changes nothing. In the plain flows and across a switch.
TEST_F(FlowSwitchTest, ALineWithoutQuantityOrWarehouseIsRefusedByEveryCommandNamingItAndChangesNothing) {
  const std::vector<std::pair<C, std::vector<C>>> cases = {
      {C::Audit, {}},          {C::UnAudit, {C::Audit}},
      {C::PreAudit, {}},       {C::UnPreAudit, {C::PreAudit}},
      {C::Confirm, {C::PreAudit}}, {C::UnConfirm, {C::PreAudit, C::Confirm}},
      {C::Audit, {C::PreAudit}},   {C::UnAudit, {C::PreAudit}}, {C::UnConfirm, {C::Audit}},
  };
  const std::string secondLine = " where lsh=" + SqlText(lsh_) + " and hh='0023'";
  const std::vector<std::array<std::string, 3>> blanks = {
      {"sl", "2", "数量"}, {"dcstockid", "'05'", "拨出仓库"}, {"drstockid", "'04'", "拨入仓库"}};
  for (const auto& [column, stored, words] : blanks)
  for (const auto& [command, start] : cases) {
    SCOPED_TRACE(column + " " + kNames[static_cast<int>(command)] + " after " + std::to_string(start.size()) + " steps");
    for (C step : start) {
      ASSERT_EQ(Run(step).result, StateResult::Done);
    }
    db_.Run({"update ckdbdzkmx set " + column + "=null" + secondLine});
    const std::string before = FullDump(*db_.Open());
    answers_.confirm = false;  // asked, it would be declined
    const StateOutcome refused = Run(command);
    answers_.confirm = true;
    const std::string verb = command == C::Audit || command == C::PreAudit ? "审核" : command == C::Confirm ? "确认" : "";
    EXPECT_EQ(refused.result, StateResult::Refused);
    EXPECT_TRUE(refused.message.starts_with("单号: 1002  货号: 0023\r\n此明细的" + words + "为空(可能是其他程序写入的)，不能" + verb))
        << refused.message;
    EXPECT_EQ(FullDump(*db_.Open()), before);
    db_.Run({"update ckdbdzkmx set " + column + "=" + stored + secondLine});
    if (!start.empty()) {
      ASSERT_EQ(Run(C::UnAudit).result, StateResult::Done);  // from whatever moved, back to entered
    }
    ASSERT_EQ(FigureDifferences(entered_, Figures()), "");
  }
}

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
  std::string Dump() const { return testsupport::FullDump(*check_); }
  // A line of 0021 (batch 240216/200212) 05 -> 04 on the given places, stored as the editor stores it.
  std::string Placed(double qty, std::vector<std::string> places, const std::string& lsh = "") {
    return StoreLine(session_, testsupport::PlacedLine(lsh, "05", "04", "0021", "240216", "200212", qty, std::move(places))).lsh;
  }

  testsupport::TempDatabase db_{testsupport::DemoCopy};
  ScriptedUserInterface ui_;
  Session session_ = testsupport::OpenEditorSession(db_, ui_);
  std::shared_ptr<adodb::Connection> check_ = db_.Open();
  testsupport::StateAnswers answers_;
};

// A batch line another program left NULL selects no batch row: the refusal names the line and why.
TEST_F(StockMovementTest, AnAuditFindingNoStockRowNamesTheLineAndABatchWithoutItsBatchLine) {
  AddBill("T1", "09", "02", "0001", "240212", "200012", 1, 1, 1);
  db_.Run({"update ckdbdzkmx set pcdh=NULL where lsh='T1'"});
  const std::string before = Dump();
  EXPECT_EQ(Change(StateCommand::Audit, "T1").message, "单号: 1001  货号: 0001  仓库编号: 09\r\n此明细的批号 240212 "
                                                       "没有批次，库存中没有相应的数据，请检查单据后再审核！");
  EXPECT_EQ(Dump(), before);
}

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
  // The emptied place is cleared away before the reversal, which lays its 10 down there again.
  db_.Run({"delete from GoodsPlaceBalance where GoodsPlaceGuid='P09B01' and MaterielGuid='0001'"});
  ASSERT_EQ(Change(StateCommand::UnAudit, "T1").result, StateResult::Done);
  EXPECT_EQ(RowsOf(places), "10|\n7|\n5|\n");
  EXPECT_EQ(db_.Value("select count(*) from BillGoodsPlace where BillType='WarehouseOut'"), "0");
}

// 0.8 + 0.3 places 1.1 whole, though 1.1 - 0.8 - 0.3 is 5.6e-17 in binary: no empty row for a third
// place (the slip printed "Y01:0.00" among the places taken from), no "not enough places" box.
TEST_F(StockMovementTest, PlacesThatAddUpInDecimalsPlaceTheLineWholeAndNoMore) {
  const std::string ofBatch = " where MaterielGuid='0021' and BatchNumber='200212' and GoodsPlaceNo=";
  db_.Run({"update GoodsPlaceBalance set CurrQuantity=0.8" + ofBatch + "'Y02'",
           "update GoodsPlaceBalance set CurrQuantity=0.3" + ofBatch + "'Y03'",
           "insert into GoodsPlaceBalance (GoodsPlaceGuid,GoodsPlaceNo,WarehouseGuid,MaterielGuid,BatchNo,BatchNumber,"
           "CurrQuantity) values ('P05Y01','Y01','05','0021','240216','200212',0.25)"});
  AddBill("T1", "05", "01", "0021", "240216", "200212", 1.1, 132.4, 198);
  for (const char* third : {"with Y01", "without"}) {
    const StateOutcome audited = Change(StateCommand::Audit, "T1");
    ASSERT_EQ(audited.result, StateResult::Done) << audited.message;
    EXPECT_EQ(audited.unplacedIssues, std::vector<std::string>{}) << third;
    EXPECT_EQ(RowsOf("select GoodsPlaceNo from BillGoodsPlace where BillGuid='T1' order by 1"), "Y02|\nY03|\n") << third;
    ASSERT_EQ(Change(StateCommand::UnAudit, "T1").result, StateResult::Done);
    db_.Run({"delete from GoodsPlaceBalance" + ofBatch + "'Y01'"});
  }
}

// An un-audit that leaves a line as it is (the in-warehouse's batch row removed) ends the audit's
// record of places too: the next audit's reversal gives the places what that audit took, once.
TEST_F(StockMovementTest, ALineTheReversalLeavesKeepsNoPlaceRowsForTheNextOne) {
  const std::string lsh = Bill("05", "03", {{"0021", "240216", "200212", 2}});
  const std::string batch = "select cast(sl as varchar) from phk where hh='0021' and stockid='05' and dh='200212'";
  const std::string places = "select cast(sum(CurrQuantity) as varchar) from GoodsPlaceBalance where "
                             "MaterielGuid='0021' and WarehouseGuid='05' and BatchNumber='200212'";
  ASSERT_EQ(db_.Value(places), db_.Value(batch));
  ASSERT_EQ(Change(StateCommand::Audit, lsh).result, StateResult::Done);
  db_.Run({"delete from phk where hh='0021' and stockid='03' and dh='200212'"});
  ASSERT_EQ(Change(StateCommand::UnAudit, lsh).skippedLines.size(), 1u);
  ASSERT_EQ(Change(StateCommand::Audit, lsh).result, StateResult::Done);
  ASSERT_EQ(Change(StateCommand::UnAudit, lsh).result, StateResult::Done);
  EXPECT_EQ(db_.Value(places), db_.Value(batch));
}

// Keys another program stored padded, as the server's char columns keep them and its "=" reads
// them: the line's number, goods, batch and warehouses, in either flow. Its reversal takes the
// goods back from the places its audit put them on, as it takes them back from the batch.
TEST_F(StockMovementTest, KeysStoredWithTrailingBlanksAreTheKeysTheyPad) {
  const std::string lsh = Placed(12, {"P04A01,x,A01,7", "P04A02,x,A02,5"});
  db_.Run({"update ckdbdzkmx set dh=dh+' ',hh=hh+'  ',ph=ph+' ',pcdh=pcdh+' ',dcstockid=dcstockid+' ',"
           "drstockid=drstockid+' ' where lsh='" + lsh + "'"});
  const auto held = [&](const char* warehouse) {
    const std::string where = std::string(" where hh='0021' and stockid='") + warehouse + "'";
    return RowsOf("select (select cast(sum(sl) as varchar) from phk" + where + "),(select cast(sum(CurrQuantity) as "
                  "varchar) from GoodsPlaceBalance where MaterielGuid='0021' and WarehouseGuid='" + warehouse + "')");
  };
  const std::string out = held("05");
  std::string moved;
  for (StateCommand command : {StateCommand::Audit, StateCommand::UnAudit, StateCommand::PreAudit, StateCommand::Confirm,
                               StateCommand::UnConfirm, StateCommand::UnPreAudit}) {
    const StateOutcome outcome = Change(command, lsh);
    ASSERT_EQ(outcome.result, StateResult::Done) << outcome.message;
    moved += held("04");
  }
  EXPECT_EQ(moved, "12|12|\n0|0|\n0|0|\n12|12|\n0|0|\n0|0|\n");
  EXPECT_EQ(held("05"), out);
}

// Two lines on one batch row, the second's keys stored padded by another program: the shortage
// their sum makes is the bill's own, not another clerk's.
TEST_F(StockMovementTest, LinesWhoseKeysPadTheSameStockRowAreNamedTogetherWhenShort) {
  const std::string lsh = Bill("05", "03", {{"0023", "230422", "200231", 10}, {"0023", "230422", "200231", 10}});
  db_.Run({"update ckdbdzkmx set hh=hh+' ',ph=ph+'  ',pcdh=pcdh+' ',dcstockid=dcstockid+' ' where dh='1002'"});
  EXPECT_EQ(Change(StateCommand::Audit, lsh).message,
            "单号: 1002  货号: 0023   仓库编号: 05 \r\n库存数量不足!\r\n提示:本单据的明细 1001,1002 取自同一库存,合计数量超过库存!");
}

// Goods another program deleted from the goods master leave no balance row to be made for them:
// a line that needs one (the in-warehouse's, then the out-warehouse's) is refused in words naming
// it, and nothing moves, not even the batches.
TEST_F(StockMovementTest, GoodsGoneFromTheMasterAreNotBookedInOneBalanceOnly) {
  AddBill("T7", "01", "02", "0001", "230208", "200011", 5, 10, 20);
  db_.Run({"delete from yw_kck where hh='0001'"});
  for (const char* warehouse : {"02", "01"}) {
    db_.Run({std::string("delete from ywbalance where hh='0001' and stockid='") + warehouse + "'"});
    const std::string before = Dump();
    const StateOutcome refused = Change(StateCommand::Audit, "T7");
    EXPECT_EQ(refused.refusal, StateRefusal::MasterGone);
    EXPECT_EQ(refused.message, "货号: 0001\r\n单号为[1001]的明细的商品资料已不存在,本次操作未做任何改变！");
    EXPECT_EQ(Dump(), before);
  }
}

// Shortages forbidden by the administrator while the clerk answers one: his Yes moves nothing.
TEST_F(StockMovementTest, AShortageAcceptedAfterTheSiteForbadeShortagesMovesNothing) {
  AddBill("T6", "01", "07", "0034", "230515", "200341", 100000, 1, 1);
  db_.Run({"update sys_Var set bz3=1"});
  answers_.whileShortageAsked = [this] { db_.Run({"update sys_Var set bz3=0"}); };
  const std::string stock = "select sl from phk where hh='0034' and stockid='01' and dh='200341'";
  const std::string before = db_.Value(stock);
  const StateOutcome outcome = ChangeBillState(session_, StateCommand::Audit, "T6", {false, true, "", "系统管理员"}, answers_);
  EXPECT_EQ(outcome.refusal, StateRefusal::Shortage) << outcome.message;
  EXPECT_NE(outcome.message.find("库存数量不足!"), std::string::npos) << outcome.message;
  EXPECT_EQ(db_.Value(stock), before);
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

// Another clerk takes the stock a command is to take (sells what a receipt brought in) between
// its stock check and its update. A server that does not lock the row the check read lets him;
// here the session's statement trace takes the stock just before the command's update runs.
// Without shortages allowed the command is refused, as a short check refuses it, and overdraws
// nothing: a reversal taking back a receipt, with batches and without, and a negative line.
struct TakenMeanwhile {
  const char* update;  // the start of the command's statement, as it reaches SQLite
  std::string taking;  // the other clerk's statement
  bool taken = false;
};
int TakeBeforeTheUpdate(unsigned, void* context, void* statement, void* sql) {
  auto& meanwhile = *static_cast<TakenMeanwhile*>(context);
  if (!meanwhile.taken && std::string_view(static_cast<const char*>(sql)).starts_with(meanwhile.update)) {
    meanwhile.taken = true;
    sqlite3_exec(sqlite3_db_handle(static_cast<sqlite3_stmt*>(statement)), meanwhile.taking.c_str(), nullptr, nullptr,
                 nullptr);
  }
  return 0;
}

TEST_F(StockMovementTest, StockTakenBetweenTheCheckAndTheUpdateRefusesTheCommand) {
  const std::string batch = " where hh='0023' and ph='230422' and dh='200231' and stockid=";
  const struct {
    bool batches;
    double quantity;  // 05 -> 03 of 0023, batch 230422, audited and taken back; negative: 05 -> 01, audited
    const char* update;
    std::string taking;
  } cases[] = {
      {true, 3, "UPDATE phk SET brsl", "update phk set sl=0" + batch + "'03'"},
      {false, 3, "UPDATE ywbalance SET brsl", "update ywbalance set sjsl=0 where hh='0023' and stockid='03'"},
      {true, -2, "UPDATE phk SET brsl", "update phk set sl=0" + batch + "'01'"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.taking);
    const StateSettings settings{!c.batches, false, "", "系统管理员"};
    const bool returned = c.quantity < 0;
    const std::string lsh = Bill("05", returned ? "01" : "03", {{"0023", "230422", "200231", c.quantity}});
    if (!returned) {
      ASSERT_EQ(ChangeBillState(session_, StateCommand::Audit, lsh, settings, answers_).result, StateResult::Done);
    }
    TakenMeanwhile meanwhile{c.update, c.taking};
    sqlite3_trace_v2(testsupport::HandleOf(session_), SQLITE_TRACE_STMT, TakeBeforeTheUpdate, &meanwhile);
    const StateOutcome outcome =
        ChangeBillState(session_, returned ? StateCommand::Audit : StateCommand::UnAudit, lsh, settings, answers_);
    sqlite3_trace_v2(testsupport::HandleOf(session_), 0, nullptr, nullptr);
    EXPECT_TRUE(meanwhile.taken);
    EXPECT_EQ(outcome.refusal, StateRefusal::Shortage) << outcome.message;
    EXPECT_EQ(db_.Count("select count(*) from phk where sl<0") + db_.Count("select count(*) from ywbalance where sjsl<0"), 0);
  }
}

// Another clerk takes goods off the places between the issue reading them and changing them: the
// place loses both takings, and one the other clerk emptied refuses the issue whole.
TEST_F(StockMovementTest, APlaceAnotherClerkTookFromMeanwhileIsNotWrittenOver) {
  const std::string places = " where MaterielGuid='0023' and BatchNumber='200231' and WarehouseGuid='05'";
  for (const std::string taken : {"CurrQuantity-1", "0"}) {  // Y02 holds 9 of the batch, Y03 6.25
    const std::string lsh = Bill("05", "03", {{"0023", "230422", "200231", 3}});
    const std::string before = Dump();
    TakenMeanwhile meanwhile{"UPDATE GoodsPlaceBalance", "update GoodsPlaceBalance set CurrQuantity=" + taken + places};
    sqlite3_trace_v2(testsupport::HandleOf(session_), SQLITE_TRACE_STMT, TakeBeforeTheUpdate, &meanwhile);
    const StateOutcome outcome = Change(StateCommand::Audit, lsh);
    sqlite3_trace_v2(testsupport::HandleOf(session_), 0, nullptr, nullptr);
    ASSERT_TRUE(meanwhile.taken);
    if (taken == "0") {
      EXPECT_EQ(outcome.refusal, StateRefusal::Shortage) << outcome.message;
      EXPECT_TRUE(Dump() == before);
    } else {
      EXPECT_EQ(db_.Value("select sum(CurrQuantity) from GoodsPlaceBalance" + places), "10.25");
    }
  }
}

// Two clerks receive the same batch into a warehouse that has neither its batch row nor its
// balance row. On a server both may look for the rows before either makes them: the second then
// finds the first's rows when he comes to make his own (here the trace makes them just before) and
// adds to them, rather than failing on their key.
TEST_F(StockMovementTest, ARowAnotherClerkMadeSinceItWasLookedForIsAddedTo) {
  const struct {
    const char* insert;
    const char* in;
    std::string made, held;
  } cases[] = {
      {"INSERT INTO PHK", "08", "insert into phk(hh,ph,dh,stockid,sl,brsl,kh) values ('0023','230422','200231','08',5,5,'')",
       "select sl from phk where hh='0023' and stockid='08'"},
      {"INSERT INTO YwBalance", "07", "insert into ywbalance(hh,stockid,fperiod,fyear,sjsl,brsl) values ('0023','07',0,0,5,5)",
       "select sjsl from ywbalance where hh='0023' and stockid='07'"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.insert);
    const std::string lsh = Bill("05", c.in, {{"0023", "230422", "200231", 3}});
    TakenMeanwhile meanwhile{c.insert, c.made};
    sqlite3_trace_v2(testsupport::HandleOf(session_), SQLITE_TRACE_STMT, TakeBeforeTheUpdate, &meanwhile);
    const StateOutcome outcome = Change(StateCommand::Audit, lsh);
    sqlite3_trace_v2(testsupport::HandleOf(session_), 0, nullptr, nullptr);
    EXPECT_TRUE(meanwhile.taken);
    EXPECT_EQ(outcome.result, StateResult::Done) << outcome.message;
    EXPECT_EQ(db_.Value(c.held), "8");
  }
}

using AskFirstTest = StockMovementTest;

// A negative line sends the goods back: the in-warehouse loses them, and the shortage check and
// its policy apply there.
TEST_F(AskFirstTest, ANegativeLineIsCheckedInTheWarehouseThatLosesTheGoods) {
  // 01 holds 45.75 of 0023 (batch 230422 among them); 05 is the out-warehouse, 01 gives.
  const std::string lsh = Bill("05", "01", {{"0023", "230422", "200231", -100}});
  const std::string before = Dump();
  const StateOutcome refused = Change(StateCommand::Audit, lsh);
  EXPECT_EQ(refused.refusal, StateRefusal::Shortage) << refused.message;
  EXPECT_NE(refused.message.find("仓库编号: 01"), std::string::npos) << refused.message;
  EXPECT_EQ(Dump(), before);

  // The out-warehouse's batch row is removed before a one-step audit brings the goods back to it:
  // what 01 gives arrives in 05, and the un-audit takes it back from there.
  const std::string batch = "from phk where hh='0023' and ph='230422' and dh='200231'";
  const std::string back = Bill("05", "01", {{"0023", "230422", "200231", -2}});
  db_.Run({"delete " + batch + " and stockid='05'"});
  const std::string total = db_.Value("select sum(sl) " + batch);
  ASSERT_EQ(Change(StateCommand::Audit, back).result, StateResult::Done);
  EXPECT_EQ(db_.Value("select cast(sl as varchar) " + batch + " and stockid='05'"), "2");
  EXPECT_EQ(db_.Value("select sum(sl) " + batch), total);
  const StateOutcome undone = Change(StateCommand::UnAudit, back);
  EXPECT_TRUE(undone.result == StateResult::Done && undone.skippedLines.empty()) << undone.message;
  EXPECT_EQ(db_.Value("select sum(sl) " + batch), total);
}

// A stock its column cannot hold (decimal(18,4): 14 digits before the point) fails the audit in the
// clerk's words, not the database's, and nothing moves.
TEST_F(AskFirstTest, AStockBeyondItsColumnFailsTheAuditInWordsAndMovesNothing) {
  const std::string lsh = Bill("05", "03", {{"0023", "230422", "200231", 3}});
  db_.Run({"delete from phk where hh='0023' and ph='230422' and dh='200231' and stockid='03'",
           "insert into phk(HH,PH,DH,StockID,SL) values ('0023','230422','200231','03',99999999999999)"});
  const std::string before = Dump();
  const StateOutcome failed = Change(StateCommand::Audit, lsh);
  EXPECT_EQ(failed.result, StateResult::Failed);
  EXPECT_EQ(failed.message,
            "数字超出了数据库能存放的范围（数量的整数部分最多14位，金额的绝对值最大922337203685477），没有写入！");
  EXPECT_EQ(Dump(), before);
  // A server's column shorter than its text refuses it in English; the clerk reads it in his words.
  EXPECT_EQ(ErrorText(adodb::Error::Provider("String or binary data would be truncated.")),
            "文字超出了数据库中这一栏能存放的长度，没有写入！");
}

// A goods place holds the same batch number under two batch lines: the audit and its reversal
// book only the line's own batch line, in both warehouses.
TEST_F(AskFirstTest, GoodsPlacesOfAnotherBatchLineOfTheSameBatchAreLeftAlone) {
  const std::string twin = "insert into GoodsPlaceBalance(GoodsPlaceGuid,GoodsPlaceNo,WarehouseGuid,MaterielGuid,BatchNo,"
                           "BatchNumber,CurrQuantity,PInQuantity,POutQuantity,Notes) values ";
  db_.Run({twin + "('P05Y02','Y02','05','0021','240216','200299',40,0,0,'')",
           twin + "('P04A01','A01','04','0021','240216','200299',3,0,0,'')"});
  const std::string lsh = Placed(12, {"P04A01,x,A01,12"});
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

// A place gives only what it holds of the line's batch, whatever the batch holds in the warehouse:
// a return placed on a shelf whose goods were moved since the save, and a receipt taken back from
// it, are refused whole; so is the return placed there again after its pre-audit.
TEST_F(AskFirstTest, NoGoodsPlaceGivesMoreOfTheBatchThanItHolds) {
  const std::string lsh = Placed(12, {"P04A01,x,A01,12"});
  ASSERT_EQ(Change(StateCommand::Audit, lsh).result, StateResult::Done);
  const LineGoodsPlaces onA01{"", "1001", "0021", "04", "240216", "200212", {"P04A01,x,A01,-2"}};
  const std::string back = Placed(-2, onA01.items);
  db_.Run({"update GoodsPlaceBalance set CurrQuantity=CurrQuantity-11 where GoodsPlaceGuid='P04A01' and "
           "MaterielGuid='0021' and BatchNumber='200212'",
           "insert into GoodsPlaceBalance(GoodsPlaceGuid,GoodsPlaceNo,WarehouseGuid,MaterielGuid,BatchNo,BatchNumber,"
           "CurrQuantity) values ('P04A09','A09','04','0021','240216','200212',11)"});
  const std::string before = Dump();
  for (const auto& [command, bill] : {std::pair{StateCommand::Audit, back}, std::pair{StateCommand::UnAudit, lsh}}) {
    const StateOutcome refused = Change(command, bill);
    EXPECT_EQ(refused.refusal, StateRefusal::Shortage) << refused.message;
    EXPECT_NE(refused.message.find("仓库编号: 04\r\n库存数量不足!"), std::string::npos) << refused.message;
    EXPECT_EQ(Dump(), before);
  }
  ASSERT_EQ(Change(StateCommand::PreAudit, back).result, StateResult::Done);
  LineGoodsPlaces again = onA01;
  again.lsh = back;
  PlaceShortage shortage;
  EXPECT_EQ(ReallocateInWarehousePlaces(session_, again, -2, nullptr, std::nullopt, &shortage),
            PlacesReallocation::PlaceShort);
  EXPECT_EQ(PlaceShortageText(shortage), "货位[A01]中本批号只有1,不够退回2");
}

// Master data another clerk changed since the lines were saved, read again inside the command's
// transaction: a goods place the line receives into (or is re-allocated to), or a warehouse,
// removed refuses it whole.
TEST_F(AskFirstTest, MasterDataChangedSinceTheSaveIsFoundByTheCommand) {
  const std::string placed = Placed(12, {"P04A01,x,A01,7", "P04A02,x,A02,5"});
  const std::string intoGone = Bill("05", "03", {{"0023", "230422", "200231", 3}});
  db_.Run({"delete from GoodsPlace where GoodsPlaceGuid='P04A02'", "delete from gl_stock where id='03'"});
  std::string before = Dump();
  StateOutcome refused = Change(StateCommand::Audit, placed);
  EXPECT_EQ(refused.refusal, StateRefusal::MasterGone);
  EXPECT_EQ(refused.message, "单号为[1001]的货位[A02]已不存在,请重新选择货位!");
  EXPECT_EQ(Dump(), before);
  ASSERT_EQ(Change(StateCommand::PreAudit, placed).result, StateResult::Done);
  before = Dump();
  const LineGoodsPlaces allOnA02{placed, "1001", "0021", "04", "240216", "200212", {"P04A02,x,A02,12"}};
  EXPECT_EQ(ReallocateInWarehousePlaces(session_, allOnA02, 12), PlacesReallocation::PlaceGone);
  EXPECT_EQ(Change(StateCommand::Confirm, placed).refusal, StateRefusal::MasterGone);
  refused = Change(StateCommand::Audit, intoGone);
  EXPECT_EQ(refused.message, "仓库编号: 03\r\n仓库编号不存在!");
  EXPECT_EQ(Dump(), before);
  // Goods going back to the out-warehouse lie down on the listed place holding most of the batch.
  const std::string back = Bill("05", "01", {{"0023", "230422", "200231", -2}});  // on Y02 9, Y03 6.25
  db_.Run({"delete from GoodsPlace where GoodsPlaceGuid='P05Y02'"});
  ASSERT_EQ(Change(StateCommand::Audit, back).result, StateResult::Done);
  EXPECT_EQ(RowsOf("select GoodsPlaceNo from BillGoodsPlace where BillType='WarehouseOut' and BillGuid='" + back + "'"),
            "Y03|\n");
}

// Re-allocating a pre-audited line's in-warehouse goods places reads the bill's state and the
// line again in its transaction: once confirmed (the places booked), the rows stay as the confirm
// booked them; a line another clerk took back, changed and audited again since its places were
// chosen keeps its own.
TEST_F(AskFirstTest, GoodsPlacesOfAConfirmedBillOrOfALineChangedMeanwhileAreNotReallocated) {
  using R = PlacesReallocation;
  const std::string lsh = Placed(12, {"P04A01,x,A01,7", "P04A02,x,A02,5"});
  const LineGoodsPlaces allOnA02{lsh, "1001", "0021", "04", "240216", "200212", {"P04A02,x,A02,12"}};
  EXPECT_EQ(ReallocateInWarehousePlaces(session_, allOnA02, 12), R::BillNotPreAudited)
      << "an entered bill changes its places by a save";
  ASSERT_EQ(Change(StateCommand::PreAudit, lsh).result, StateResult::Done);
  EXPECT_EQ(ReallocateInWarehousePlaces(session_, allOnA02, 12), R::Replaced);
  ASSERT_EQ(Change(StateCommand::UnPreAudit, lsh).result, StateResult::Done);
  LineToSave amended = testsupport::PlacedLine(lsh, "05", "04", "0021", "240216", "200212", 5, {"P04A01,x,A01,5"});
  amended.amend = true;
  amended.dh = "1001";
  ASSERT_EQ(StoreLine(session_, amended).outcome, LineSaveOutcome::Saved);
  ASSERT_EQ(Change(StateCommand::PreAudit, lsh).result, StateResult::Done);
  const std::string audited = Dump();
  EXPECT_EQ(ReallocateInWarehousePlaces(session_, allOnA02, 12), R::LineChanged);
  EXPECT_EQ(ReallocateInWarehousePlaces(session_, {lsh, "1001", "0023", "04", "230422", "200231", {"P04A02,x,A02,5"}}, 5),
            R::LineChanged);
  EXPECT_EQ(ReallocateInWarehousePlaces(session_, {lsh, "1009", "0021", "04", "240216", "200212", {"P04A02,x,A02,5"}}, 5),
            R::LineGone);
  EXPECT_EQ(Dump(), audited);
  // Places another clerk chose while this clerk's dialog was open stay his.
  const std::optional<BillLineValues> shown = ReadBillLine(*session_.Conn, lsh, "1001");
  ASSERT_EQ(ReallocateInWarehousePlaces(session_, {lsh, "1001", "0021", "04", "240216", "200212", {"P04A02,x,A02,5"}}, 5),
            R::Replaced);
  EXPECT_EQ(ReallocateInWarehousePlaces(session_, {lsh, "1001", "0021", "04", "240216", "200212", {"P04A01,x,A01,5"}}, 5,
                                        nullptr, shown),
            R::LineChanged);
  EXPECT_EQ(ReallocateInWarehousePlaces(session_, {lsh, "1001", "0021", "04", "240216", "200212", {"P04A01,x,A01,5"}}, 5),
            R::Replaced);
  ASSERT_EQ(Change(StateCommand::Confirm, lsh).result, StateResult::Done);
  const std::string confirmed = Dump();
  EXPECT_EQ(ReallocateInWarehousePlaces(session_, allOnA02, 5), R::BillNotPreAudited);
  EXPECT_EQ(Dump(), confirmed);
}

// The administrator switches the in-warehouse off goods places while the clerk chooses a line's
// places: the save, and a pre-audited line's re-allocation, read the switch again in their
// transaction. The line is stored as any line into that warehouse is, without place rows; the
// re-allocation, which changes nothing but places, is refused and leaves the bill as it was.
TEST_F(AskFirstTest, PlacesChosenForAWarehouseSwitchedOffGoodsPlacesMeanwhileAreNotWritten) {
  const auto rowsOf = [&](const std::string& lsh) {
    return db_.Count("select count(*) from BillGoodsPlace where BillType='WarehouseIn' and BillGuid='" + lsh + "'");
  };
  const LineToSave line = testsupport::PlacedLine("", "05", "04", "0021", "240216", "200212", 12,
                                                  {"P04A01,x,A01,7", "P04A02,x,A02,5"});
  db_.Run({"update gl_stock set FDeleted=0 where id='04'"});
  const SavedLine unplaced = StoreLine(session_, line);
  ASSERT_EQ(unplaced.outcome, LineSaveOutcome::Saved);
  EXPECT_EQ(rowsOf(unplaced.lsh), 0);
  // An amended line keeps no places in a warehouse that keeps none, whatever it had before.
  db_.Run({"update gl_stock set FDeleted=1 where id='04'"});
  const std::string lsh = StoreLine(session_, line).lsh;
  ASSERT_EQ(rowsOf(lsh), 2);
  db_.Run({"update gl_stock set FDeleted=0 where id='04'"});
  LineToSave amended = testsupport::PlacedLine(lsh, "05", "04", "0021", "240216", "200212", 12, {"P04A02,x,A02,12"});
  amended.amend = true;
  amended.dh = "1001";
  ASSERT_EQ(StoreLine(session_, amended).outcome, LineSaveOutcome::Saved);
  EXPECT_EQ(rowsOf(lsh), 0);

  db_.Run({"update gl_stock set FDeleted=1 where id='04'"});
  amended.goodsPlaces = line.goodsPlaces;
  ASSERT_EQ(StoreLine(session_, amended).outcome, LineSaveOutcome::Saved);
  ASSERT_EQ(Change(StateCommand::PreAudit, lsh).result, StateResult::Done);
  db_.Run({"update gl_stock set FDeleted=0 where id='04'"});
  const std::string before = testsupport::FullDump(*check_);
  const LineGoodsPlaces allOnA02{lsh, "1001", "0021", "04", "240216", "200212", {"P04A02,x,A02,12"}};
  EXPECT_EQ(ReallocateInWarehousePlaces(session_, allOnA02, 12), PlacesReallocation::PlacesNotKept);
  EXPECT_EQ(testsupport::FullDump(*check_), before);
  // The confirm books no place of such a warehouse and drops the rows saved while it kept them.
  ASSERT_EQ(Change(StateCommand::Confirm, lsh).result, StateResult::Done);
  EXPECT_EQ(rowsOf(lsh), 0);
}

}  // namespace
}  // namespace storeadjust
