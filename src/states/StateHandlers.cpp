// The frame every stock-moving state change runs in, and the six changes built from the
// per-line blocks of StockMovement:
//   1. the command's guard, read before anything else;
//   2. one transaction on the session connection (the embedded database takes its write lock
//      here, so a second clerk's change waits and then sees this one's stock);
//   3. the bill's lines that meet the command's state condition; none: nothing to do;
//   4. the opening question, asked with the transaction open; No rolls back;
//   5. every line's steps; a step that stops rolls everything back;
//   6. the header's flags, and the commit.
#include <functional>
#include <optional>

#include "adodb/Connection.h"
#include "adodb/Error.h"
#include "adodb/Recordset.h"
#include "adodb/TextCompare.h"
#include "host/FirstValue.h"
#include "host/LenientValues.h"
#include "host/SqlLiterals.h"
#include "host/UserInterface.h"
#include "states/StateChange.h"
#include "states/StockMovement.h"

namespace storeadjust {

namespace {

struct Handler {
  const char* stateCondition;  // appended to "where a.lsh=<serial>"
  const char* question;
  // The header's flags after the change: "Shry=<name>,Shbz=1" and the like (the name goes in
  // where {name} stands, quoted).
  const char* headerSet;
  bool setsName;
};

Handler HandlerOf(StateCommand command) {
  switch (command) {
    case StateCommand::Audit:
      return {" and shbz=0", "确实要审核此单据吗?", "Shry={name},Shbz=1", true};
    case StateCommand::UnAudit:
      return {" and IsNull(Shbz,0)=1 and IsNull(Jzbz,0)=0", "确实要反审核此单据吗?", "Shry=null,Shbz=0", false};
    case StateCommand::PreAudit:
      return {" and IsNull(PreShbz,0)=0", "确实要审核此单据吗?", "PreShry={name},PreShbz=1", true};
    case StateCommand::UnPreAudit:
      return {" and IsNull(PreShbz,0)=1 and IsNull(Jzbz,0)=0", "确实要反审核此单据吗?", "PreShry=null,PreShbz=0", false};
    case StateCommand::Confirm:
      return {" and shbz=0", "确实要确认此单据吗?", "Shry={name},Shbz=1", true};
    case StateCommand::UnConfirm:
      return {" and shbz=1 and IsNull(Jzbz,0)=0", "确实要反确认此单据吗?", "Shry=null,Shbz=0", false};
  }
  throw adodb::Error::Provider("unknown state command");
}

bool HeaderFlag(Session& session, const std::string& sql) { return FlagIsSet(FirstValue(*session.Conn, sql)); }

// The guard of a command, read before its transaction; false when refused (the outcome says why).
bool PassesGuard(Session& session, StateCommand command, const std::string& lsh, StateOutcome& outcome) {
  const auto refuse = [&outcome](const char* text) {
    outcome.result = StateResult::Refused;
    outcome.message = text;
    outcome.buttons = mb::kInformation;
    outcome.title = "系统提示";
    return false;
  };
  if (command == StateCommand::UnPreAudit &&
      HeaderFlag(session, "Select IsNull(SHBZ,0) SHBZ From CKDBDZK Where LSH=" + SqlText(lsh))) {
    return refuse("对不起，本单据还未反确认，不能反审核！");
  }
  if (command == StateCommand::Confirm &&
      !HeaderFlag(session, "Select IsNull(PreSHBZ,0) PreSHBZ From CKDBDZK Where LSH=" + SqlText(lsh))) {
    return refuse("对不起，本单据未审核，不能确认！");
  }
  return true;
}

// The batch's sell price follows the goods into the in-warehouse when the site says so.
bool CopiesBatchSellPrice(Session& session) {
  const std::string value =
      FirstValue(*session.Conn, "Select IsNull(FValue,'') FValue From t_SystemProfile Where FKey='UpdateBatchSellPrice'")
          .TextOrEmpty();
  return value == "1" || adodb::SameName(value, "TRUE");
}

class StateChange {
 public:
  StateChange(Session& session, StateCommand command, std::string lsh, const StateSettings& settings,
              StateQuestions& questions)
      : session_(session), command_(command), lsh_(std::move(lsh)), settings_(settings), questions_(questions),
        move_(session, settings, questions, outcome_, lsh_) {}

  StateOutcome Run() {
    try {
      if (!session_.Conn) throw adodb::Error::Closed();
      if (!PassesGuard(session_, command_, lsh_, outcome_)) return outcome_;
      copySellPrice_ = command_ == StateCommand::Audit && CopiesBatchSellPrice(session_);
      RunInTransaction();
    } catch (const std::exception& error) {
      outcome_ = {};
      outcome_.result = StateResult::Failed;
      outcome_.message = error.what();
      outcome_.buttons = mb::kExclamation;
      outcome_.title = "系统提示";
    }
    return outcome_;
  }

 private:
  void RunInTransaction() {
    const Handler handler = HandlerOf(command_);
    adodb::TransactionGuard transaction(*session_.Conn);
    auto lines = session_.Conn->OpenRecordset(
        "select *,a.hh,a.je,a.lsze from ckdbdzkmx a inner join ckdbdzk b on a.lsh=b.lsh where a.lsh=" +
        SqlText(lsh_) + handler.stateCondition);
    if (lines->RecordCount() < 1) {
      transaction.Commit();
      outcome_.result = StateResult::NothingSelected;
      return;
    }
    if (!questions_.ConfirmChange(handler.question)) {
      outcome_.result = StateResult::Declined;
      return;
    }
    const long count = lines->RecordCount();
    long number = 0;
    for (lines->MoveFirst(); !lines->EOF(); lines->MoveNext()) {
      BillLineValues line = BillLineValues::FromRow(*lines);
      questions_.LineReached(++number, count, line.hh);
      if (MoveLine(line) == LineStep::Stop) {
        outcome_.skippedLines.clear();
        outcome_.unplacedIssues.clear();
        return;
      }
    }
    UpdateHeader(handler);
    transaction.Commit();
    outcome_.result = StateResult::Done;
  }

  void UpdateHeader(const Handler& handler) {
    const std::string name = SqlText(settings_.operatorName);
    std::string set = handler.headerSet;
    const auto at = set.find("{name}");
    if (at != std::string::npos) set.replace(at, 6, name);
    session_.Conn->Execute("Update ckdbdzk Set " + set + " where lsh=" + SqlText(lsh_));
    outcome_.shownName = handler.setsName ? settings_.operatorName : "";
  }

  LineStep MoveLine(BillLineValues& line) {
    move_.ReadMoneyOnly(line);
    switch (command_) {
      case StateCommand::Audit: return Audit(line);
      case StateCommand::UnAudit: return UnAudit(line);
      case StateCommand::PreAudit: return PreAudit(line);
      case StateCommand::UnPreAudit: return UnPreAudit(line);
      case StateCommand::Confirm: return Confirm(line);
      case StateCommand::UnConfirm: return UnConfirm(line);
    }
    return LineStep::Stop;
  }

  // The stock query of a check: the batch row, or the balance where the line moves no batch.
  std::string StockQuery(const BillLineValues& line, const std::string& warehouse, const char* batchColumns,
                         const char* balancePeriod) const {
    if (move_.MovesBatches(line)) {
      return std::string("select ") + batchColumns + " from phk where hh=" + SqlText(line.hh) + " and stockid =" +
             SqlText(warehouse) + " and ph=" + SqlText(line.ph) + " and dh=" + SqlText(line.pcdh);
    }
    return "select isnull(sjsl,0) as sl from ywbalance where hh=" + SqlText(line.hh) + " and stockid =" +
           SqlText(warehouse) + balancePeriod;
  }

  // A reversal takes back from the in-warehouse what it received: its stock row must still be
  // there (else the line is left as it is, both sides, and named after the commit) and hold the
  // quantity. A line kept by amount only is checked on its balance row.
  LineStep CheckInWarehouseStillHolds(const BillLineValues& line, StockRow& row) {
    const LineStep checked = move_.CheckStock(
        line, line.drstockid, StockQuery(line, line.drstockid, "sl,kh", " and fperiod=0"), false, row);
    if (checked == LineStep::SkipLine) outcome_.skippedLines.push_back(line.dh + " " + line.hh);
    return checked;
  }

  // One-step audit: both warehouses, each statement pair out then in.
  LineStep Audit(const BillLineValues& line) {
    StockRow row;
    const LineStep checked = move_.CheckStock(
        line, line.dcstockid, StockQuery(line, line.dcstockid, "sl,isnull(sellprice,0) sellprice", " and fperiod=0"),
        true, row);
    if (checked != LineStep::Go) return checked;
    if (move_.MovesBatches(line)) {
      if (move_.IssueBatch(line) == LineStep::Stop) return LineStep::Stop;
      move_.ReceiveBatch(line, copySellPrice_ ? std::optional<double>(row.sellPrice) : std::nullopt);
    }
    if (move_.IssueBalance(line) == LineStep::Stop) return LineStep::Stop;
    move_.ReceiveBalance(line);
    if (line.moneyOnly) return LineStep::Go;
    if (move_.KeepsPlaces(line.dcstockid)) move_.AllocateOutPlaces(line);
    if (move_.KeepsPlaces(line.drstockid)) move_.ReceivePlaces(line);
    return LineStep::Go;
  }

  // One-step un-audit: both warehouses, each statement pair in then out.
  LineStep UnAudit(const BillLineValues& line) {
    StockRow row;
    const LineStep checked = CheckInWarehouseStillHolds(line, row);
    if (checked != LineStep::Go) return checked == LineStep::SkipLine ? LineStep::Go : checked;
    if (move_.MovesBatches(line)) {
      move_.UnReceiveBatch(line, row);
      move_.UnIssueBatch(line);
    }
    move_.UnReceiveBalance(line);
    move_.UnIssueBalance(line, false);
    if (line.moneyOnly) return LineStep::Go;
    if (move_.KeepsPlaces(line.drstockid)) move_.UnReceivePlaces(line);
    if (move_.KeepsPlaces(line.dcstockid)) move_.UnIssuePlaces(line);
    return LineStep::Go;
  }

  // Two-step audit: the out-warehouse only.
  LineStep PreAudit(const BillLineValues& line) {
    StockRow row;
    const LineStep checked = move_.CheckStock(
        line, line.dcstockid, StockQuery(line, line.dcstockid, "sl", " and fyear=0 and fperiod=0"), true, row);
    if (checked != LineStep::Go) return checked;
    if (move_.MovesBatches(line) && move_.IssueBatch(line) == LineStep::Stop) return LineStep::Stop;
    if (move_.IssueBalance(line) == LineStep::Stop) return LineStep::Stop;
    if (!line.moneyOnly && move_.KeepsPlaces(line.dcstockid)) move_.AllocateOutPlaces(line);
    return LineStep::Go;
  }

  // Two-step un-audit: the goods come back to the out-warehouse; nothing to check.
  LineStep UnPreAudit(const BillLineValues& line) {
    if (move_.MovesBatches(line)) move_.UnIssueBatch(line);
    move_.UnIssueBalance(line, true);
    if (!line.moneyOnly && move_.KeepsPlaces(line.dcstockid)) move_.UnIssuePlaces(line);
    return LineStep::Go;
  }

  // Two-step confirm: the in-warehouse receives what the audit issued; nothing to check.
  LineStep Confirm(const BillLineValues& line) {
    if (move_.MovesBatches(line)) move_.ReceiveBatch(line, std::nullopt);
    move_.ReceiveBalance(line);
    if (!line.moneyOnly && move_.KeepsPlaces(line.drstockid)) move_.ReceivePlaces(line);
    return LineStep::Go;
  }

  // Two-step un-confirm: the in-warehouse gives back what it received.
  LineStep UnConfirm(const BillLineValues& line) {
    StockRow row;
    const LineStep checked = CheckInWarehouseStillHolds(line, row);
    if (checked != LineStep::Go) return checked == LineStep::SkipLine ? LineStep::Go : checked;
    if (move_.MovesBatches(line)) move_.UnReceiveBatch(line, row);
    move_.UnReceiveBalance(line);
    if (!line.moneyOnly && move_.KeepsPlaces(line.drstockid)) move_.UnReceivePlaces(line);
    return LineStep::Go;
  }

  Session& session_;
  const StateCommand command_;
  const std::string lsh_;
  const StateSettings& settings_;
  StateQuestions& questions_;
  StateOutcome outcome_;
  StockMovement move_;
  bool copySellPrice_ = false;
};

}  // namespace

StateOutcome ChangeBillState(Session& session, StateCommand command, const std::string& lsh,
                             const StateSettings& settings, StateQuestions& questions) {
  return StateChange(session, command, lsh, settings, questions).Run();
}

}  // namespace storeadjust
