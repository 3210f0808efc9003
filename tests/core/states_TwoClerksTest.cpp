// Two clerks on one embedded file, each working from what his screen read when he last opened a
// bill: the lines his editor lists, the line he amends as it was loaded, the warehouses shown.
// Between his reading and his command the other clerk may have acted, and now and then does while
// a state change's question is open. Every command of either clerk (a state change from the editor
// or from the browser's marks, posting, saving a new or amended line with the warehouses on
// screen, deleting a line or the bill, re-allocating a line's goods places, and the browser's own
// 审核, 记账, 过账 and 删除 on marks set before the other clerk acted, the site's flow switched
// between one and two steps while bills wait and screens opened in the other flow ask their
// questions, approval switched on and off, bills approved, their approval withdrawn or the audit
// procedure set to refuse them, a warehouse's goods-place switch flipped (also while a clerk
// chooses a line's places), and, where batches are kept, the amount-only goods switched to
// quantity and back) is judged after it ran against the bills as they stand:
//   - every warehouse's batch stock, balance and goods places are the opening stock plus what the
//     bills move in their current states (issued when PreShbz or Shbz is set, received when Shbz
//     is; the places by the line's goods-place rows), a line without a batch by its amount alone;
//   - a command that did not act wrote nothing, and the browser names every marked bill it left
//     (one the other clerk posted or deleted first among them);
//   - an editor's command that acted acted on the lines its screen lists, and in the flow the site
//     runs (as did the browser's 审核); an audit that acted did so on a bill its approval passes,
//     and the browser's 删除 deleted only bills whose lines were as when they were marked;
//   - every line has its header and its warehouses, a posted bill is audited, and goods-place rows
//     belong to lines: issue rows to issued ones, receipt rows placing the whole of a line received
//     while its warehouse kept places (a line deleted while its warehouse kept none leaves its rows);
//   - a line saved, or whose places were re-allocated, has receipt rows placing the whole of it when
//     its in-warehouse keeps goods places as the command ends, and none when it keeps none.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <utility>

#include "browse/FrmStoreAdjuctBillBrow.h"
#include "host/EmbeddedProcedures.h"
#include "states/AuditGate.h"
#include "lines/BillDeletion.h"
#include "lines/LineChanges.h"
#include "lines/LineSaving.h"
#include "states/BillPosting.h"
#include "states/BillSnapshot.h"
#include "states/StateChange.h"
#include "states/StateRulesOut.h"
#include "support/ModuleSession.h"
#include "support/PropertyRuns.h"
#include "support/SanitizedRuns.h"
#include "support/SqlLiterals.h"
#include "support/StateAnswers.h"
#include "support/StockTables.h"

namespace storeadjust {
namespace {

using testsupport::Table;
using C = StateCommand;

bool IsSet(const std::string& flag) { return flag == "1" || flag == "True" || flag == "true"; }

// What a clerk's screen shows of the bill he opened, as read then.
struct View {
  std::string lsh, out, in;  // no serial: a new bill
  std::vector<BillLineValues> lines;
  BillHeaderState header;
  bool twoStep = false;  // the site's flow when the screen opened: its editor offers that flow's commands
  Table stored;  // per line: dh, hh, ph, pcdh, in-warehouse, quantity
  Table shown;   // every stored fact of the lines, and their in-warehouse goods places
};

struct Clerk {
  std::function<void()> whileAsked;  // run once while the next message box is shown, before its answer
  ScriptedUserInterface ui{[this](const std::string& line) {
    if (whileAsked && line.starts_with("msgbox")) std::exchange(whileAsked, {})();
  }};
  Session session;
  View view;
};

class TwoClerks : testsupport::RandomDraws, testsupport::StepRecord {
 public:
  explicit TwoClerks(unsigned seed) : RandomDraws(seed) {
    settings_ = {Chance(0.25), Chance(0.3), "bcsl,SellPrice", "系统管理员"};
    Log(std::string(settings_.isNotPh ? "no batches" : "batches") + (settings_.shortageAllowed ? ", shortages allowed" : ""));
    for (const auto& row : Rows("select id,isnull(FDeleted,0) from gl_stock")) {
      warehouses_.push_back(row[0]);
      keepsPlaces_[row[0]] = IsSet(row[1]);
    }
    for (const auto& row : Rows("select distinct WarehouseGuid from GoodsPlace")) placeWarehouses_.push_back(row[0]);
    // The browser takes these settings from the database and the session, the engine from settings_.
    check_->Execute(std::string("update sys_var set bz3=") + (settings_.shortageAllowed ? "1" : "0"));
    if (Chance(0.4)) SetFlow(true), Log("two steps");  // where bills wait pre-audited and their places are chosen again
    RegisterEmbeddedProcedures();
    for (Clerk* clerk : {&a_, &b_}) {
      clerk->session = testsupport::OpenEditorSession(db_, clerk->ui);
      clerk->session.isNotPh = settings_.isNotPh;
    }
    opening_ = testsupport::ReadFigures(*check_);
    for (const auto& [key, moved] : BillMovements()) opening_[key] -= moved;
  }

  std::string Run() {
    for (int step = 0; step < 32 && failure_.empty(); ++step) {
      const bool first = Chance(0.5);
      Clerk& clerk = first ? a_ : b_;
      prefix_ = first ? "A " : "B ";
      try {
        Clerk& other = first ? b_ : a_;
        if (!settings_.isNotPh && Chance(0.1)) {
          SwitchAmountOnly();
        } else if (Chance(0.05)) {
          SwitchGoodsPlaces();
        } else if (Chance(0.05)) {
          SwitchFlow();
        } else if (Chance(0.05)) {
          SwitchApproval();
        } else if (Chance(0.3)) {
          Open(clerk, other);
        } else {
          Act(clerk, other, true);
          // The editor lists the bill again after most of its own commands.
          if (Chance(0.6)) ReadView(clerk, clerk.view.lsh);
        }
        Check();
      } catch (const std::exception& error) {
        Fail(std::string("unexpected exception: ") + error.what());
      }
    }
    return Report("steps");
  }

 private:
  Table Rows(const std::string& sql) { return testsupport::TableOf(*check_, sql); }
  static double Quarters(double value) { return std::round(value * 4) / 4; }

  // The administrator keeps the amount-only goods by quantity from now on, or by amount again.
  void SwitchAmountOnly() {
    check_->Execute("update yw_kck set fonlymoney=1-isnull(fonlymoney,0) where hh='0040'");
    Log("the administrator switches 0040 to " + Rows("select isnull(fonlymoney,0) from yw_kck where hh='0040'")[0][0]);
  }

  // The administrator switches a warehouse that lists goods places to keeping none, or back.
  void SwitchGoodsPlaces() {
    NoteReceipts();
    const std::string warehouse = Pick(placeWarehouses_);
    check_->Execute("update gl_stock set FDeleted=1-isnull(FDeleted,0) where id=" + SqlText(warehouse));
    keepsPlaces_[warehouse] = IsSet(Rows("select isnull(FDeleted,0) from gl_stock where id=" + SqlText(warehouse))[0][0]);
    Log("the administrator switches warehouse " + warehouse + (keepsPlaces_[warehouse] ? " to" : " off") +
        " goods places");
  }

  bool SiteTwoStep() { return Rows("select FValue from t_SystemProfile where FCategory='GL' and FKey='StartStoreAdjustOK'")[0][0] == "1"; }
  void SetFlow(bool twoStep) {
    check_->Execute(std::string("update t_SystemProfile set FValue='") + (twoStep ? "1" : "0") +
                    "' where FCategory='GL' and FKey='StartStoreAdjustOK'");
  }
  // The administrator switches the site's flow; screens open keep the one they opened in.
  void SwitchFlow() {
    SetFlow(!SiteTwoStep());
    Log(std::string("the administrator switches the site to ") + (SiteTwoStep() ? "two steps" : "one step"));
  }
  static bool OfTwoSteps(C command) { return command != C::Audit && command != C::UnAudit; }

  bool ApprovalOn() { return !Rows("select BillTypeCode from BillApprovalSwitch where Enabled=1").empty(); }
  // The administrator switches approval of transfer bills on or off; or a bill is approved, its
  // approval withdrawn, or the audit procedure set to refuse it (or pass it again).
  void SwitchApproval() {
    const Table bills = Rows("select lsh from ckdbdzk");
    const std::size_t what = bills.empty() ? 0 : Index(5);
    const std::string lsh = bills.empty() ? "" : SqlText(Pick(bills)[0]);
    const bool on = ApprovalOn();
    if (what == 0) {
      check_->Execute("delete from BillApprovalSwitch");
      if (!on) check_->Execute("insert into BillApprovalSwitch (BillTypeCode,Enabled) values ('000022',1)");
    } else if (what < 4) {
      check_->Execute("delete from BillApproval where BillGuid=" + lsh);
      check_->Execute("insert into BillApproval (BillTypeCode,BillGuid,Status) values ('000022'," + lsh + ",'" +
                      (what < 3 ? "approved" : "pending") + "')");
    } else if (Rows("select BillGuid from AuditVerdict where BillGuid=" + lsh).empty()) {
      check_->Execute("insert into AuditVerdict (BillGuid,ReturnValue,ReturnMsg) values (" + lsh + ",2,'不许审核')");
    } else {
      check_->Execute("delete from AuditVerdict where BillGuid=" + lsh);
    }
    static constexpr const char* kDid[] = {"switches approval ", "approves ", "approves ", "withdraws the approval of ",
                                           "has the audit procedure refuse or pass "};
    Log(std::string("the administrator ") + kDid[what] + (what == 0 ? (on ? "off" : "on") : lsh));
  }
  // The approval flow holds the bill (submitted or approved): it is no longer to be changed or deleted.
  bool Held(const std::string& lsh) {
    return ApprovalOn() && !Rows("select BillGuid from BillApproval where Status in ('pending','approved') and BillGuid=" + SqlText(lsh)).empty();
  }
  // The approval flow passes the bill's audit now.
  bool ApprovalPasses(const std::string& lsh) {
    if (!Rows("select BillGuid from AuditVerdict where ReturnValue=2 and BillGuid=" + SqlText(lsh)).empty()) return false;
    return !ApprovalOn() || !Rows("select BillGuid from BillApproval where Status='approved' and BillGuid=" + SqlText(lsh)).empty();
  }

  // Mostly the bill the other clerk works on, else any bill, now and then a new one.
  void Open(Clerk& clerk, const Clerk& other) {
    const Table bills = Rows("select lsh from ckdbdzk");
    const double pick = Uniform(0, 1);
    ReadView(clerk, pick < 0.6 ? other.view.lsh : !bills.empty() && pick < 0.92 ? Pick(bills)[0] : "");
    Log(prefix_ + "opens " + (clerk.view.lsh.empty() ? "a new bill" : clerk.view.lsh));
  }

  void ReadView(Clerk& clerk, const std::string lsh) {
    clerk.view = {};
    const Table header = Rows("select dcstockid,drstockid from ckdbdzk where lsh=" + SqlText(lsh));
    if (header.empty()) return;
    clerk.view = {lsh, header[0][0], header[0][1], BillLinesAsListed(*clerk.session.Conn, lsh),
                  ReadBillHeader(*check_, lsh, false), SiteTwoStep(), {}, Shown(lsh)};
    clerk.view.stored = Rows("select dh,hh,ph,pcdh,drstockid,sl from ckdbdzkmx where lsh=" + SqlText(lsh));
  }

  // The line as the clerk's screen read it.
  static std::optional<BillLineValues> AsShown(const View& view, const std::string& dh) {
    for (const BillLineValues& line : view.lines) {
      if (line.dh == dh) return line;
    }
    return std::nullopt;
  }

  Table Shown(const std::string& lsh) {
    Table shown = Rows("select * from ckdbdzkmx where lsh=" + SqlText(lsh) + " order by dh");
    for (auto& row : Rows("select BillGuid,BillDetailGuid,GoodsPlaceGuid,GoodsPlaceNo,Quantity,WarehouseGuid from "
                          "BillGoodsPlace where BillType='WarehouseIn' and BillGuid=" + SqlText(lsh) + " order by 2,3,4,5")) {
      shown.push_back(row);
    }
    return shown;
  }
  // Without the place rows of warehouses that keep none now: a receipt into such a warehouse
  // drops them, booking none.
  Table WherePlacesKept(Table shown) {
    std::erase_if(shown, [&](const std::vector<std::string>& row) { return row.size() == 6 && !keepsPlaces_[row[5]]; });
    return shown;
  }
  static Table OfLine(const Table& shown, const std::string& dh) {
    Table rows;
    for (const auto& row : shown) if (row[1] == dh) rows.push_back(row);
    return rows;
  }

  // One command from the clerk's screen; with `mayNest`, the other clerk may act from his own
  // while a state change's question is open.
  void Act(Clerk& clerk, Clerk& other, bool mayNest) {
    const View& view = clerk.view;
    // A pre-audited bill on screen: now and then its line's places are chosen again (the last draw).
    const double pick = view.header.preAudited && !view.header.audited && Chance(0.25) ? 1 : Uniform(0, 1);
    std::string before = testsupport::FullDump(*check_);
    std::string did;
    bool acted = false;
    // The other clerk acts (or the administrator switches something) while this one is asked.
    const auto meanwhile = [&] {
      const std::string saved = prefix_;
      prefix_ = saved == "A " ? "  meanwhile B " : "  meanwhile A ";
      Meanwhile(other, clerk);
      prefix_ = saved;
      before = testsupport::FullDump(*check_);
    };
    if (view.lsh.empty() || pick < 0.3) {
      did = "saves ";
      acted = SaveLine(clerk, did, mayNest && Chance(0.3) ? std::function<void()>(meanwhile) : std::function<void()>());
    } else if (pick < 0.6) {
      static constexpr C kCommands[] = {C::Audit, C::UnAudit, C::PreAudit, C::UnPreAudit, C::Confirm, C::UnConfirm};
      static constexpr const char* kNames[] = {"audit", "un-audit", "pre-audit", "un-pre-audit", "confirm", "un-confirm"};
      // Mostly a command the screen offers for the bill's state as it shows it, in the flow it opened in.
      std::vector<C> offered;
      for (const C each : kCommands) {
        if ((StateRulesOut(each, view.header).empty() && OfTwoSteps(each) == view.twoStep) || Chance(0.1)) {
          offered.push_back(each);
        }
      }
      const C command = offered.empty() ? kCommands[Index(std::size(kCommands))] : Pick(offered);
      const bool fromEditor = Chance(0.7);
      if (!fromEditor && (command == C::Audit || command == C::PreAudit) && Chance(0.5)) {
        return Browse(clerk, other, mayNest, "审核", command == C::PreAudit);
      }
      // The editor's 审核 passes the approval gate before its question.
      const bool gated = fromEditor && (command == C::Audit || command == C::PreAudit);
      if (gated && PassAuditGate(clerk.session, view.lsh, [](const std::string&) { return false; }).result !=
                       AuditGateResult::Passed) {
        return Log(prefix_ + "audit (editor) " + view.lsh + " refused by its approval");
      }
      testsupport::StateAnswers answers;
      answers.acceptShortage = Chance(0.5);
      answers.watched = clerk.session.Conn.get();
      // The other clerk acts while the opening question is open, or while a shortage's is (then
      // the bill and the stock the clerk answered for may both have changed before the run again).
      if (mayNest && Chance(0.3)) answers.whileAsked = meanwhile;
      if (mayNest && settings_.shortageAllowed && Chance(0.5)) answers.whileShortageAsked = meanwhile;
      // The editor runs its flow's commands as the flow it opened in; an engine's caller any.
      StateSettings settings = settings_;
      if (fromEditor && OfTwoSteps(command) == view.twoStep) settings.shownTwoStep = view.twoStep;
      if (gated) settings.approval = ApprovalPassed{};
      const StateOutcome outcome =
          ChangeBillState(clerk.session, command, view.lsh, settings, answers, fromEditor ? &view.lines : nullptr);
      acted = outcome.result == StateResult::Done;
      if (acted && settings.shownTwoStep && SiteTwoStep() != view.twoStep) {
        Fail("an editor's command of the flow it opened in acted after the site switched to the other");
      }
      if (acted && gated && !ApprovalPasses(view.lsh)) Fail("an editor's audit acted on a bill its approval does not pass");
      did = std::string(kNames[static_cast<int>(command)]) + (fromEditor ? " (editor) " : " (browser) ") + view.lsh +
            " -> " + std::to_string(static_cast<int>(outcome.result)) + " " + outcome.message;
      if (answers.askedInTransaction) Fail("a state change asked with its transaction open");
      if (acted && fromEditor && WherePlacesKept(Shown(view.lsh)) != WherePlacesKept(view.shown)) {
        Fail("an editor's state change moved other lines than its screen lists");
      }
    } else if (pick < 0.68) {
      const bool fromEditor = Chance(0.6);
      if (!fromEditor && Chance(0.5)) return Browse(clerk, other, mayNest, Chance(0.5) ? "记账" : "过账", Chance(0.5));
      if (mayNest && fromEditor && Chance(0.3)) meanwhile();  // while asked 确实要记帐吗?
      const bool postedBefore = !Rows("select lsh from ckdbdzk where isnull(jzbz,0)=1 and lsh=" + SqlText(view.lsh)).empty();
      const PostingResult posted = PostBill(clerk.session, view.lsh, fromEditor ? &view.lines : nullptr);
      acted = posted == PostingResult::Posted && !postedBefore;
      did = std::string("posts") + (fromEditor ? " (editor) " : " (browser) ") + view.lsh + " -> " +
            std::to_string(static_cast<int>(posted));
      if (acted && fromEditor && WherePlacesKept(Shown(view.lsh)) != WherePlacesKept(view.shown)) {
        Fail("an editor's posting posted other lines than its screen lists");
      }
    } else if (pick < 0.83 && !view.stored.empty()) {
      const auto& line = Pick(view.stored);
      if (mayNest && Chance(0.3)) meanwhile();  // while asked whether to delete it
      const Table stored = OfLine(Shown(view.lsh), line[0]);
      if (Held(view.lsh)) did = "(held) ";
      acted = DeleteStoredLine(clerk.session, view.lsh, line[0], AsShown(view, line[0])) == LineDeletion::Deleted;
      did += "deletes line " + view.lsh + "/" + line[0] + " -> " + (acted ? "deleted" : "refused");
      if (acted && stored != OfLine(view.shown, line[0])) Fail("a line deletion deleted another line than the screen lists under its number");
    } else if (pick < 0.9) {
      if (Chance(0.3)) return Browse(clerk, other, mayNest, "删除", Chance(0.5));
      // 审批 and the deletion ask first; the other clerk may act before the answer.
      if (mayNest && Chance(0.3)) meanwhile();
      const bool withLines = Chance(0.6);
      const Table shownNow = WherePlacesKept(Shown(view.lsh));
      if (Held(view.lsh)) did = "(held) ";
      if (Chance(0.5)) {
        const Submission submitted = SubmitBillForApproval(clerk.session, view.lsh, withLines ? &view.lines : nullptr);
        acted = submitted.bar == SubmissionBar::None && submitted.answer.empty();
        did += "submits " + view.lsh + " -> " + std::to_string(static_cast<int>(submitted.bar)) + " " + submitted.answer;
        if (acted && !Rows("select lsh from ckdbdzk where (isnull(preshbz,0)<>0 or isnull(shbz,0)<>0) and lsh=" +
                           SqlText(view.lsh)).empty()) Fail("an audited bill was submitted for approval");
      } else {
        const BillDeletionResult result = DeleteBill(clerk.session, view.lsh, withLines ? &view.lines : nullptr);
        acted = result == BillDeletionResult::Deleted;
        did += "deletes bill " + view.lsh + " -> " + std::to_string(static_cast<int>(result));
      }
      if (acted && withLines && shownNow != WherePlacesKept(view.shown)) Fail("a bill was deleted or submitted with lines its screen never listed");
    } else if (!view.stored.empty()) {
      const auto& line = Pick(view.stored);
      const double qty = std::stod(line[5]);
      if (!keepsPlaces_[line[4]]) return;
      const std::vector<std::string> places = PlacesFor(line[4], qty);
      if (mayNest && Chance(0.3)) meanwhile();  // while the clerk chooses the places
      const bool fromDialog = Chance(0.7);  // the places the dialog opened on, as the screen read them
      const Table placedNow = OfLine(Shown(view.lsh), line[0]);
      const PlacesReallocation result = ReallocateInWarehousePlaces(
          clerk.session, {view.lsh, line[0], line[1], line[4], line[2], line[3], places}, qty, nullptr,
          fromDialog ? AsShown(view, line[0]) : std::nullopt);
      acted = result == PlacesReallocation::Replaced;
      if (acted && fromDialog && placedNow != OfLine(view.shown, line[0])) Fail("a re-allocation replaced places its screen never showed");
      did = "re-allocates places of " + view.lsh + "/" + line[0] + " -> " + std::to_string(static_cast<int>(result));
      if (acted) CheckPlacesOfLine(view.lsh, line[0], line[4], qty, "re-allocated");
    } else {
      return;
    }
    Log(prefix_ + did);
    if (!acted && testsupport::FullDump(*check_) != before) Fail("a command that did not act wrote something");
    if (acted && did.starts_with("(held) ") && did.find("submits") == std::string::npos) Fail("a bill its approval holds was changed");
  }

  // The other clerk acts, or the administrator switches the site's flow.
  void Meanwhile(Clerk& other, Clerk& clerk) {
    const double pick = Uniform(0, 1);
    if (pick < 0.15) SwitchFlow();
    else if (pick < 0.3) SwitchApproval();
    else if (pick < 0.45) SwitchGoodsPlaces();
    else Act(other, clerk, false);
    NoteReceipts();
  }

  // A marked command of the browser, loaded on the flow the site has switched to now (while bills
  // wait in every state): the bill on the clerk's screen marked, now and then others. A marked
  // bill the command left as it was, and that is still there, is named to the clerk; when it left
  // them all, nothing was written.
  void Browse(Clerk& clerk, Clerk& other, bool mayNest, const char* command, bool twoStep) {
    SetFlow(twoStep);
    // What the browser's refresh removes anyway: headers left without lines.
    const auto removeHeadersWithoutLines = [&] {
      check_->Execute("delete from ckdbdzk where isnull(shbz,0)=0 and lsh not in (select lsh from ckdbdzkmx)");
    };
    removeHeadersWithoutLines();
    FrmStoreAdjuctBillBrow browser{clerk.session};
    browser.Load();
    BillListGrid& grid = browser.ListGrid();
    std::vector<std::string> marked;
    std::map<std::string, Table> linesMarked;
    const auto linesOf = [&](const std::string& lsh) { return Rows("select * from ckdbdzkmx where lsh=" + SqlText(lsh) + " order by dh"); };
    std::string named;
    for (long row = 1; row < grid.Rows(); ++row) {
      if (grid.TextMatrix(row, 1) != clerk.view.lsh && !Chance(0.15)) continue;
      grid.SetMarked(row, true);
      marked.push_back(grid.TextMatrix(row, 1));
      linesMarked[marked.back()] = linesOf(marked.back());
      named += " " + marked.back();
    }
    if (marked.empty()) return;
    const std::string flags = "select lsh,isnull(preshbz,0),isnull(shbz,0),isnull(jzbz,0) from ckdbdzk where lsh=";
    std::map<std::string, Table> seen, lines;
    std::map<std::string, bool> held;
    std::string before;
    const auto read = [&] {
      for (const auto& lsh : marked) seen[lsh] = Rows(flags + SqlText(lsh)), lines[lsh] = linesOf(lsh), held[lsh] = Held(lsh);
      before = testsupport::FullDump(*check_);
    };
    // The other clerk acts after the marks, before the command or while its question is open.
    const bool asked = Chance(0.5);
    const auto meanwhile = [&] {
      const std::string saved = prefix_;
      prefix_ = saved == "A " ? "  meanwhile B " : "  meanwhile A ";
      Meanwhile(other, clerk);
      prefix_ = saved;
      if (!asked) removeHeadersWithoutLines();  // the other clerk may have deleted a bill's last line
      read();
    };
    read();
    if (mayNest && Chance(0.4)) asked ? void(clerk.whileAsked = meanwhile) : meanwhile();
    const std::size_t boxes = clerk.ui.Boxes().size();
    clerk.ui.QueueAnswer(mb::kYes);
    browser.Click(command);
    clerk.whileAsked = {};
    std::string told;
    for (std::size_t i = boxes; i < clerk.ui.Boxes().size(); ++i) told += clerk.ui.Boxes()[i].text + "|";
    bool acted = false;
    for (const auto& lsh : marked) {
      const Table now = Rows(flags + SqlText(lsh));
      acted = acted || now != seen[lsh];
      if (now != seen[lsh] && std::string(command) == "审核" && !now.empty() && !ApprovalPasses(lsh)) {
        Fail("the browser's 审核 audited " + lsh + ", which its approval does not pass");
      }
      if (now.empty() && !seen[lsh].empty() && !lines[lsh].empty() && lines[lsh] != linesMarked[lsh]) {
        Fail("the browser's 删除 took " + lsh + " with lines changed since it was marked");
      }
      if (now.empty() && !seen[lsh].empty() && held[lsh]) Fail("the browser's 删除 took " + lsh + ", which its approval holds");
      if (now != seen[lsh] && !now.empty() && lines[lsh] != linesMarked[lsh]) {
        Fail(std::string("the browser's ") + command + " acted on " + lsh + " with lines changed since it was marked");
      }
      // Posted or deleted by the other clerk meanwhile, it is named too: not this command's doing.
      if (now == seen[lsh] && told.find(lsh) == std::string::npos) {
        Fail(std::string("the browser's ") + command + " left " + lsh + " without a word");
      }
    }
    Log(prefix_ + "browser " + (twoStep ? "(two-step) " : "(one-step) ") + command + named +
        " -> " + told);
    if (!acted && testsupport::FullDump(*check_) != before) Fail("a browser command that did not act wrote something");
    if (acted && std::string(command) == "审核" && SiteTwoStep() != twoStep) {
      Fail("the browser's 审核 of the flow it opened in acted after the site switched to the other");
    }
  }

  // Goods places of the warehouse holding exactly the quantity, over one or two places.
  std::vector<std::string> PlacesFor(const std::string& warehouse, double qty) {
    const Table places = Rows("select GoodsPlaceGuid,GoodsPlaceNo from GoodsPlace where WarehouseGuid=" + SqlText(warehouse));
    std::vector<std::string> items;
    if (places.empty()) return items;
    const std::size_t first = Index(places.size());
    const double split = places.size() > 1 && Chance(0.5) ? Quarters(qty / 2) : qty;
    items.push_back(places[first][0] + ",x," + places[first][1] + "," + SqlNumber(split));
    if (split != qty) {
      const auto& second = places[(first + 1) % places.size()];
      items.push_back(second[0] + ",x," + second[1] + "," + SqlNumber(qty - split));
    }
    return items;
  }

  // A new line, or an amended one of the screen's lines, between the warehouses on screen (now and
  // then one changed there), of a batch the out-warehouse holds (a return: the in-warehouse). Now
  // and then an amendment keeps the line's warehouses, quantity and amounts as stored and changes
  // only its unit (盒 of 2), its price or its goods places.
  bool SaveLine(Clerk& clerk, std::string& did, const std::function<void()>& whileChoosingPlaces) {
    const View& view = clerk.view;
    LineToSave line;
    line.newBill = view.lsh.empty();
    line.lsh = view.lsh;
    line.billShowsLines = !view.lines.empty();
    line.billDate = "2024-03-05";
    line.operatorName = settings_.operatorName;
    line.outWarehouse = view.out, line.inWarehouse = view.in;
    if (line.newBill || Chance(0.1)) {
      if (line.newBill) line.outWarehouse = Pick(Rows("select distinct stockid from phk where sl>0"))[0];
      do line.inWarehouse = Pick(warehouses_); while (line.inWarehouse == line.outWarehouse);
    }
    const double sign = Chance(0.15) ? -1 : 1;
    std::size_t only = 0;  // 1: unit, 2: price, 3: goods places
    Table kept;
    if (!view.stored.empty() && Chance(0.5)) {
      const auto& amended = Pick(view.stored);
      line.amend = true, line.dh = amended[0], line.amendedAsLoaded = AsShown(view, amended[0]);
      line.hh = amended[1], line.batchNo = amended[2], line.batchLine = amended[3];
      if (Chance(0.5)) {
        kept = Rows("select isnull(sl,0),isnull(dj,0),isnull(je,0),isnull(lsze,0) from ckdbdzkmx where lsh=" +
                    SqlText(view.lsh) + " and dh=" + SqlText(line.dh));
        only = kept.empty() ? 0 : 1 + Index(3);
        line.outWarehouse = view.out, line.inWarehouse = view.in;
      }
    } else if ((line.outWarehouse == "01" || line.outWarehouse == "05") && Chance(0.4)) {
      line.hh = "0040";  // amount-only (or once so): no batch
    } else {
      Table batches = Rows("select hh,ph,dh from phk where stockid=" + SqlText(sign < 0 ? line.inWarehouse : line.outWarehouse));
      if (batches.empty()) batches = Rows("select hh,ph,dh from phk");
      const auto& batch = Pick(batches);
      line.hh = batch[0], line.batchNo = batch[1], line.batchLine = batch[2];
    }
    const double qty = only ? std::stod(kept[0][0]) : sign * Quarters(Uniform(0.25, 12));
    const double amount = only ? std::stod(kept[0][2]) : qty * 10, perUnit = only == 1 ? 2 : 1;
    line.unitName = only == 1 ? "盒" : "";
    line.price = (only ? std::stod(kept[0][1]) : 10) + (only == 2 ? 1 : 0), line.retailPrice = 15;
    line.figures = FiguresOf(qty / perUnit, perUnit, amount, only ? std::stod(kept[0][3]) : qty * 15, amount, 13);
    line.inWarehouseKeepsPlaces = keepsPlaces_[line.inWarehouse];
    if (line.inWarehouseKeepsPlaces && (only == 1 || only == 2)) {
      // The dialog opens on the line's places as stored; ones that do not place it (saved while
      // the warehouse kept none) the clerk must place again before he may confirm.
      double placed = 0;
      for (const auto& p : Rows("select GoodsPlaceGuid,GoodsPlaceNo,Quantity from BillGoodsPlace where BillType='WarehouseIn' "
                                "and BillGuid=" + SqlText(view.lsh) + " and BillDetailGuid=" + SqlText(line.dh))) {
        line.goodsPlaces.push_back(p[0] + ",x," + p[1] + "," + p[2]);
        placed += std::stod(p[2]);
      }
      if (std::fabs(placed - qty) > 0.00001) line.goodsPlaces = PlacesFor(line.inWarehouse, qty);
    } else if (line.inWarehouseKeepsPlaces) {
      line.goodsPlaces = PlacesFor(line.inWarehouse, qty);
    }
    if (whileChoosingPlaces) whileChoosingPlaces();
    const Table stored = OfLine(Shown(view.lsh), line.dh);
    const bool held = Held(view.lsh);
    const SavedLine saved = StoreLine(clerk.session, line);
    if (held && saved.outcome == LineSaveOutcome::Saved) Fail("a line was saved into a bill its approval holds");
    if (line.amend && saved.outcome == LineSaveOutcome::Saved && stored != OfLine(view.shown, line.dh)) {
      Fail("an amendment was saved over a line its screen never loaded");
    }
    did += (line.newBill ? std::string("a new bill") : view.lsh) + (line.amend ? " amending " + line.dh : "") +
           (only ? std::string(" only its ") + (only == 1 ? "unit" : only == 2 ? "price" : "places") : "") + " " +
           line.hh + " " + line.batchNo + "/" + line.batchLine + " x" + SqlNumber(qty) + " " + line.outWarehouse + "->" +
           line.inWarehouse + " -> " + std::to_string(static_cast<int>(saved.outcome)) + " " + saved.lsh + "/" + saved.dh;
    if (saved.outcome == LineSaveOutcome::Saved) CheckPlacesOfLine(saved.lsh, saved.dh, line.inWarehouse, qty, "saved");
    if (line.newBill && saved.outcome == LineSaveOutcome::Saved) ReadView(clerk, saved.lsh);  // the editor stays on it
    return saved.outcome == LineSaveOutcome::Saved;
  }

  // A line a command just wrote (or placed) is placed whole in a warehouse that keeps goods places
  // as it ends, and not at all in one that keeps none: rows of such a warehouse are booked by no
  // receipt, and a line deleted there leaves them for good.
  void CheckPlacesOfLine(const std::string& lsh, const std::string& dh, const std::string& warehouse, double qty,
                         const std::string& what) {
    const Table rows = Rows("select isnull(sum(Quantity),0),count(*) from BillGoodsPlace where BillType='WarehouseIn' and "
                            "BillGuid=" + SqlText(lsh) + " and BillDetailGuid=" + SqlText(dh));
    if (!keepsPlaces_[warehouse] && rows[0][1] != "0") {
      Fail("a line " + what + " into warehouse " + warehouse + ", which keeps no goods places, has goods-place rows");
    } else if (keepsPlaces_[warehouse] && std::fabs(std::stod(rows[0][0]) - qty) > 0.00001) {
      Fail("a line " + what + " into warehouse " + warehouse + ", which keeps goods places, is placed " + rows[0][0] +
           " of " + SqlNumber(qty));
    }
  }

  // Which received lines were received while their warehouse kept goods places (only they must
  // be placed whole), and which lines deleted while their warehouse kept none left place rows
  // behind. Noted after every command and before every switch, while the switch is as the
  // command read it.
  void NoteReceipts() {
    std::map<std::string, bool> received;
    for (const auto& l : Rows("select a.lsh,a.dh,a.drstockid from ckdbdzkmx a inner join ckdbdzk b on a.lsh=b.lsh "
                              "where isnull(b.shbz,0)<>0")) {
      const std::string key = l[0] + "|" + l[1] + "|" + l[2];
      const auto known = received_.find(key);
      received[key] = known != received_.end() ? known->second : keepsPlaces_[l[2]];
    }
    received_ = std::move(received);
    for (const auto& p : Rows("select distinct p.BillGuid,p.BillDetailGuid,p.WarehouseGuid from BillGoodsPlace p left join "
                              "ckdbdzkmx a on a.lsh=p.BillGuid and a.dh=p.BillDetailGuid where a.lsh is null")) {
      if (!keepsPlaces_[p[2]]) leftByDeletion_.insert(p[0] + "|" + p[1] + "|" + p[2]);
    }
  }

  // What the bills move in their current states, per stock figure. Where batches are kept a line
  // names none only when it was entered while its goods were kept by amount, and it moves by
  // amount whatever they are kept by since.
  std::string AmountOnlyLine() const {
    return settings_.isNotPh ? "isnull(k.fonlymoney,0)<>0" : "isnull(a.ph,'')=''";
  }
  testsupport::StockFigures BillMovements() {
    testsupport::StockFigures moved;
    const Table lines = Rows(
        "select a.lsh,a.dh,a.hh,a.ph,a.pcdh,a.dcstockid,a.drstockid,isnull(a.sl,0),isnull(a.je,0),isnull(a.lsze,0),"
        "case when " + AmountOnlyLine() + " then 1 else 0 end,case when isnull(b.PreShbz,0)<>0 or isnull(b.shbz,0)<>0 then 1 else 0 end,"
        "isnull(b.shbz,0) from ckdbdzkmx a inner join ckdbdzk b on a.lsh=b.lsh left join yw_kck k on a.hh=k.hh");
    for (const auto& l : lines) {
      const bool moneyOnly = IsSet(l[10]);
      const auto move = [&](const std::string& warehouse, double sign) {
        if (!settings_.isNotPh && !moneyOnly) moved["phk|" + warehouse + "|" + l[2] + "|" + l[3] + "|" + l[4]] += sign * std::stod(l[7]);
        const std::string goods = "|" + warehouse + "|" + l[2];
        moved["sjsl" + goods] += moneyOnly ? 0 : sign * std::stod(l[7]);
        moved["sjje" + goods] += sign * std::stod(l[8]);
        moved["sjlsje" + goods] += sign * std::stod(l[9]);
      };
      const auto movePlaces = [&](const char* type, double sign) {
        for (const auto& p : Rows("select WarehouseGuid,MaterielGuid,BatchNo,BatchNumber,isnull(Quantity,0) from BillGoodsPlace "
                                  "where BillType='" + std::string(type) + "' and BillGuid=" + SqlText(l[0]) +
                                  " and BillDetailGuid=" + SqlText(l[1]))) {
          moved["place|" + p[0] + "|" + p[1] + "|" + p[2] + "|" + p[3]] += sign * std::stod(p[4]);
        }
      };
      // Goods kept by amount lie on no place.
      if (IsSet(l[11])) move(l[5], -1), movePlaces(moneyOnly ? "" : "WarehouseOut", -1);
      if (IsSet(l[12])) move(l[6], +1), movePlaces(moneyOnly ? "" : "WarehouseIn", +1);
    }
    return moved;
  }

  void Check() {
    testsupport::StockFigures expected = opening_;
    for (const auto& [key, moved] : BillMovements()) expected[key] += moved;
    if (const std::string differences = testsupport::FigureDifferences(expected, testsupport::ReadFigures(*check_));
        !differences.empty()) {
      Fail("the stock is not the opening stock plus what the bills move in their states:\n" + differences);
    }
    if (!Rows("select a.lsh from ckdbdzkmx a left join ckdbdzk b on a.lsh=b.lsh where b.lsh is null or "
              "a.dcstockid<>b.dcstockid or a.drstockid<>b.drstockid").empty()) {
      Fail("a line without its header, or between other warehouses than its header names");
    }
    if (!Rows("select lsh from ckdbdzk where isnull(jzbz,0)<>0 and isnull(shbz,0)=0").empty()) Fail("a posted bill not audited");
    NoteReceipts();
    if (!Rows("select p.BillGuid from BillGoodsPlace p left join ckdbdzkmx a on a.lsh=p.BillGuid and a.dh=p.BillDetailGuid "
              "left join ckdbdzk b on b.lsh=a.lsh where a.lsh is not null and ((p.BillType='WarehouseOut' and "
              "isnull(b.PreShbz,0)=0 and isnull(b.shbz,0)=0) or (p.BillType='WarehouseIn' and (p.WarehouseGuid<>a.drstockid "
              "or p.MaterielGuid<>a.hh or p.BatchNo<>a.ph or p.BatchNumber<>a.pcdh)))").empty()) {
      Fail("issue rows of a bill not issued, or receipt rows of other goods or warehouse");
    }
    for (const auto& p : Rows("select distinct p.BillGuid,p.BillDetailGuid,p.WarehouseGuid from BillGoodsPlace p left join "
                              "ckdbdzkmx a on a.lsh=p.BillGuid and a.dh=p.BillDetailGuid where a.lsh is null")) {
      if (!leftByDeletion_.contains(p[0] + "|" + p[1] + "|" + p[2])) {
        Fail("goods-place rows of no line, in warehouse " + p[2] + ", which kept goods places when its line went");
      }
    }
    for (const auto& l : Rows("select a.lsh,a.dh,a.drstockid from ckdbdzkmx a inner join ckdbdzk b on a.lsh=b.lsh "
                              "inner join gl_stock s on s.id=a.drstockid left join yw_kck k on k.hh=a.hh where "
                              "isnull(b.shbz,0)<>0 and isnull(s.FDeleted,0)<>0 and not (" + AmountOnlyLine() + ") and "
                              "abs(a.sl-(select isnull(sum(Quantity),0) from BillGoodsPlace p where p.BillType='WarehouseIn' "
                              "and p.BillGuid=a.lsh and p.BillDetailGuid=a.dh))>0.00001")) {
      if (received_[l[0] + "|" + l[1] + "|" + l[2]]) {
        Fail("a line received while its warehouse kept goods places whose places do not hold the whole of it: " + l[0] +
             "/" + l[1]);
      }
    }
  }

  testsupport::TempDatabase db_{testsupport::DemoCopy};
  std::shared_ptr<adodb::Connection> check_ = db_.Open();
  Clerk a_, b_;
  StateSettings settings_;
  std::vector<std::string> warehouses_;
  std::map<std::string, bool> keepsPlaces_;
  std::vector<std::string> placeWarehouses_;  // the warehouses that list goods places
  std::map<std::string, bool> received_;      // lsh|dh|warehouse of received lines: whether it kept places then
  std::set<std::string> leftByDeletion_;      // lsh|dh|warehouse of rows a line deleted there left
  testsupport::StockFigures opening_;
  std::string prefix_;
};

TEST(TwoClerksTest, CommandsFromStaleScreensKeepTheStockEqualToWhatTheBillsMoveInTheirStates) {
  std::vector<unsigned> seeds;
  for (int i = 0; i + 1 < testsupport::Rounds(20, 3); ++i) seeds.push_back(20261208u + 104729u * static_cast<unsigned>(i));
  testsupport::RunSeeds(seeds, [](unsigned seed) { return TwoClerks(seed).Run(); });
}

}  // namespace
}  // namespace storeadjust
