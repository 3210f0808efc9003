// The frame every stock-moving state change runs in, and the six changes built from the
// per-line blocks of StockMovement:
//   1. before anything is locked: the command's guard, the header and the lines it selects (none:
//      nothing to do), and the opening question; No ends it;
//   2. one transaction on the session connection (the embedded database takes its write lock
//      here; on a server the header is read first with an update lock), in which the header and
//      the lines are read again: when they differ from what the question was about, nothing is
//      changed and the outcome names the state found;
//   3. every line's steps; a step that stops rolls everything back;
//   4. the header's flags, and the commit.
// A shortage the clerk may accept rolls back at 3, is asked with nothing open, and on Yes the
// whole of 2 to 4 runs again with that answer carried.
// The flow (one-step or two-step) is a site setting the administrator may change while bills are
// between steps, so a command does not take the bill's state from the flow it belongs to but from
// the header's flags, which say what has moved in either flow: the goods have left the
// out-warehouse when PreShbz or Shbz is set, and reached the in-warehouse when Shbz is. Every
// command moves only what is still due and leaves the flags saying so.
#include <algorithm>
#include <optional>
#include <set>

#include "adodb/BoundValues.h"
#include "adodb/Connection.h"
#include "adodb/Error.h"
#include "adodb/Recordset.h"
#include "adodb/TextCompare.h"
#include "host/ErrorText.h"
#include "host/FirstValue.h"
#include "host/LenientValues.h"
#include "host/Rights.h"
#include "host/Settings.h"
#include "lines/BatchChoice.h"
#include "states/AuditGate.h"
#include "states/BillSnapshot.h"
#include "states/StateChange.h"
#include "states/StateRulesOut.h"
#include "states/StockMovement.h"

namespace storeadjust {

namespace {

struct Handler {
  const char* stateCondition;  // appended to "where a.lsh=<serial>"
  const char* question;
  // The header's flags after the change: "Shry=?,Shbz=1" and the like (the operator's name is
  // bound to the mark when setsName).
  const char* headerSet;
  bool setsName;
  const char* right;  // the operator's right the command needs
};

Handler HandlerOf(StateCommand command) {
  switch (command) {
    case StateCommand::Audit:
      return {" and IsNull(shbz,0)=0", "确实要审核此单据吗?", "Shry=?,Shbz=1", true, "审核"};
    case StateCommand::UnAudit:
      return {" and (IsNull(Shbz,0)=1 or IsNull(PreShbz,0)=1) and IsNull(Jzbz,0)=0", "确实要反审核此单据吗?",
              "Shry=null,Shbz=0", false, "反审"};
    case StateCommand::PreAudit:
      return {" and IsNull(PreShbz,0)=0 and IsNull(Shbz,0)=0", "确实要审核此单据吗?", "PreShry=?,PreShbz=1", true, "审核"};
    case StateCommand::UnPreAudit:
      return {" and IsNull(PreShbz,0)=1 and IsNull(Jzbz,0)=0", "确实要反审核此单据吗?", "PreShry=null,PreShbz=0", false, "反审"};
    case StateCommand::Confirm:
      return {" and IsNull(shbz,0)=0", "确实要确认此单据吗?", "Shry=?,Shbz=1", true, "确认"};
    case StateCommand::UnConfirm:
      return {" and shbz=1 and IsNull(Jzbz,0)=0", "确实要反确认此单据吗?", "Shry=null,Shbz=0", false, "反确认"};
  }
  throw adodb::Error::Provider("unknown state command");
}

bool IsTwoStep(StateCommand command) {
  return command != StateCommand::Audit && command != StateCommand::UnAudit;
}

// The header's flags after the change, for a bill in the state `header` (the handler's flags but
// for a bill begun in the other flow): a one-step un-audit of a bill a two-step audit issued
// clears that issue's mark too, and a two-step un-confirm of a bill audited in one step leaves
// it issued, by the auditor who issued it, for 反审 to bring the goods back.
std::string HeaderFlagsAfter(StateCommand command, const BillHeaderState& header) {
  const std::string flags = HandlerOf(command).headerSet;
  if (command == StateCommand::UnAudit && header.preAudited) return flags + ",PreShry=null,PreShbz=0";
  if (command == StateCommand::UnConfirm && !header.preAudited) return "PreShry=Shry,PreShbz=1," + flags;
  return flags;
}

// The guard of a command on the header's flags: the refusal's words, or none when it may run.
std::optional<std::string> GuardRefusal(StateCommand command, const BillHeaderState& header) {
  if (command == StateCommand::UnPreAudit && header.audited) return "对不起，本单据还未反确认，不能反审核！";
  // A bill received in one step is past confirming, not short of an audit: it selects no line.
  if (command == StateCommand::Confirm && header.exists && !header.preAudited && !header.audited) {
    return "对不起，本单据未审核，不能确认！";
  }
  return std::nullopt;
}

// A line another program stored without its base quantity (sl NULL) has no number to move: moved
// as 0, its amounts would leave one warehouse without the goods, and its entered quantity times
// the unit's coefficient now need not be what was meant. Without a warehouse it has nowhere to
// move from or to, and was told as a header changed or a warehouse missing, naming none. Refused
// before the question, naming the line; on a bill not yet audited 修改 (F3) mends it.
std::optional<std::string> LineWithoutFigures(StateCommand command, const std::vector<BillLineValues>& lines) {
  const auto line = std::find_if(lines.begin(), lines.end(), [](const BillLineValues& each) {
    return each.quantityIsNull || each.LacksWarehouse();
  });
  if (line == lines.end()) return std::nullopt;
  const bool audits = command == StateCommand::Audit || command == StateCommand::PreAudit;
  const char* verb = audits ? "审核"
                     : command == StateCommand::Confirm   ? "确认"
                     : command == StateCommand::UnConfirm ? "反确认"
                                                          : "反审核";
  const char* missing = line->quantityIsNull                        ? "数量"
                        : adodb::Trimmed(line->dcstockid).empty() ? "拨出仓库"
                                                                  : "拨入仓库";
  const char* mend = line->quantityIsNull ? "输入数量后再审核" : "保存后再审核";
  return "单号: " + line->dh + "  货号: " + line->hh + "\r\n此明细的" + missing + "为空(可能是其他程序写入的)，不能" +
         verb + "！本次操作未做任何改变。" + (audits ? std::string("\r\n请在单据中按F3修改此明细，") + mend + "。" : "");
}

// What the clerk is told when the bill changed between the question and the transaction: the
// guard's own words where the state found has them, else the state found.
std::string ChangedStateText(StateCommand command, const BillSnapshot& seen, const BillSnapshot& found) {
  if (const auto guard = GuardRefusal(command, found.header)) return *guard;
  if (found.header == seen.header) return kBillLinesChanged;
  return "本单据的状态已被他人改变(现为" + BillStateName(found.header, IsTwoStep(command)) +
         ")，本次操作未做任何改变！";
}

// The flow the site runs now, read on the session connection (inside the transaction, under its
// lock): the administrator may switch it while a screen that chose its commands by the old one
// is open.
bool SiteRunsTwoSteps(adodb::Connection& connection) {
  return IsProfileFlagOn(
      FirstValue(connection, "Select FValue From t_SystemProfile Where FCategory='GL' And FKey='StartStoreAdjustOK'")
          .TextOrEmpty());
}

// A command of the flow the site has left: a one-step audit would receive goods the in-warehouse
// now confirms (on the right to confirm), a one-step un-audit take back a receipt without it; a
// two-step audit would leave goods on their way that the one-step screens show as not audited.
std::string FlowChangedText(bool siteTwoStep) {
  return std::string("调拨单已被改为") +
         (siteTwoStep ? "两步处理(审核出库后再确认入库)" : "一步处理(审核即出库并入库)") +
         "，本次操作未做任何改变，请按新的处理方式重新操作！";
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
              StateQuestions& questions, const std::vector<BillLineValues>* shownLines,
              const ShownWarehouses* shownWarehouses)
      : session_(session), command_(command), handler_(HandlerOf(command)), lsh_(std::move(lsh)), settings_(settings),
        questions_(questions), shownLines_(shownLines), shownWarehouses_(shownWarehouses) {}

  StateOutcome Run() {
    try {
      if (!session_.Conn) throw adodb::Error::Closed();
      if (session_.Conn->InTransaction()) {
        throw adodb::Error::Provider("a state change needs a connection outside any transaction");
      }
      if (FlowLeft()) return outcome_;
      const BillSnapshot seen = ReadBillSnapshot(*session_.Conn, lsh_, handler_.stateCondition, false);
      if (const auto guard = GuardRefusal(command_, seen.header)) return Refused(StateRefusal::Guard, *guard);
      // Read here, before the opening question, the state is the one the transaction acts on
      // only if it finds it unchanged: a change after this read is refused there as StateChanged.
      if (settings_.readRuledOut && StateRulesOut(command_, seen.header).empty()) {
        return Refused(StateRefusal::AllowedSinceRead, "");
      }
      if (const auto unmovable = LineWithoutFigures(command_, seen.lines)) {
        return Refused(StateRefusal::Guard, *unmovable);
      }
      if (seen.lines.empty()) {
        outcome_.result = StateResult::NothingSelected;
        return outcome_;
      }
      // The question names no line: the clerk answers it for the lines on his screen. (A command
      // selects all of a bill's lines or none, as its condition is on the header alone.)
      // Compared as the screen read them: a goods-place switch flipped since is no one's change to
      // the lines, and the command moves them as their warehouses keep places now.
      if (shownLines_) {
        const BillSnapshot shown = SnapshotOf(seen.header, *shownLines_);
        if (shown != seen &&
            shown != SnapshotOf(seen.header, ReadBillLines(*session_.Conn, lsh_, handler_.stateCondition, shownLines_))) {
          return Refused(StateRefusal::StateChanged, kBillLinesChanged);
        }
      }
      if (!questions_.ConfirmChange(handler_.question)) {
        outcome_.result = StateResult::Declined;
        return outcome_;
      }
      RunUntilAnswered(seen);
    } catch (const std::exception& error) {
      outcome_ = {};
      outcome_.result = StateResult::Failed;
      outcome_.message = ErrorText(error);
    }
    return outcome_;
  }

 private:
  StateOutcome& Refused(StateRefusal refusal, const std::string& message) {
    outcome_.result = StateResult::Refused;
    outcome_.refusal = refusal;
    outcome_.message = message;
    return outcome_;
  }

  // Runs the change; each shortage the clerk accepts (asked with the transaction rolled back)
  // runs it again from the start, with every earlier Yes carried.
  void RunUntilAnswered(const BillSnapshot& seen) {
    std::set<std::string> accepted;
    for (;;) {
      outcome_ = {};
      const std::optional<ShortageQuestion> question = RunInTransaction(seen, accepted);
      if (!question) return;
      outcome_ = {};
      if (!questions_.AcceptShortage(question->text)) {
        outcome_.result = StateResult::Declined;
        return;
      }
      accepted.insert(question->key);
    }
  }

  // One run of the change in its own transaction; a shortage still to be asked rolls it back and
  // is handed out.
  std::optional<ShortageQuestion> RunInTransaction(const BillSnapshot& seen, const std::set<std::string>& accepted) {
    adodb::TransactionGuard transaction(*session_.Conn);
    // The header first: its update lock is what makes a second command on the bill wait.
    const BillHeaderState header = ReadBillHeader(*session_.Conn, lsh_, true);
    // The right the screen found when it opened, or the command when it began, may have been taken
    // away since, while the clerk answered the question.
    if (!HoldsRightNow(*session_.Conn, session_, handler_.right)) {
      Refused(StateRefusal::NoRight, kNoRightMessage);
      return std::nullopt;
    }
    // So may the site's flow have been switched.
    if (FlowLeft()) return std::nullopt;
    const std::vector<BillLineValues> lines = ReadBillLines(*session_.Conn, lsh_, handler_.stateCondition);
    const BillSnapshot found = SnapshotOf(header, lines);
    // The same for a switch flipped while the clerk answered the question.
    if (found != seen &&
        SnapshotOf(header, ReadBillLines(*session_.Conn, lsh_, handler_.stateCondition, &seen.lines)) != seen) {
      Refused(StateRefusal::StateChanged, ChangedStateText(command_, seen, found));
      return std::nullopt;
    }
    if (const auto unmovable = LineWithoutFigures(command_, lines)) {
      Refused(StateRefusal::Guard, *unmovable);
      return std::nullopt;
    }
    if (ApprovalWithdrawn()) return std::nullopt;
    // Read in the transaction that applies it: the administrator may switch it while the clerk
    // answers a question, the opening one or a shortage's before the run again.
    copySellPrice_ = command_ == StateCommand::Audit && CopiesBatchSellPrice(session_);
    if (MovesBetweenOthersThanShown(lines)) {
      Refused(StateRefusal::StateChanged, kBillLinesChanged);
      return std::nullopt;
    }
    if (const std::optional<std::string> gone = WarehouseGone(lines)) {
      Refused(StateRefusal::MasterGone, "仓库编号: " + *gone + "\r\n仓库编号不存在!");
      return std::nullopt;
    }
    // A shortage is the clerk's to accept only while the site allows it as the goods move: the
    // screen read the switch when it opened, and the administrator may turn it off while the
    // screen stays open or while the clerk answers the shortage's question.
    StateSettings current = settings_;
    current.shortageAllowed = settings_.shortageAllowed && SiteAllowsShortages(*session_.Conn);
    StockMovement move(session_, current, accepted, outcome_, lsh_);
    move_ = &move;
    header_ = header;
    const long count = static_cast<long>(lines.size());
    long number = 0;
    for (BillLineValues line : InMovingOrder(lines)) {
      questions_.LineReached(++number, count, line.hh);
      if (MoveLine(line) == LineStep::Stop) {
        outcome_.skippedLines.clear();
        outcome_.unplacedIssues.clear();
        return move.PendingShortage();
      }
    }
    if (TakesBack()) std::reverse(outcome_.skippedLines.begin(), outcome_.skippedLines.end());
    UpdateHeader();
    transaction.Commit();
    outcome_.result = StateResult::Done;
    return std::nullopt;
  }

  // The screen chose the command by a flow the site no longer runs: refused.
  bool FlowLeft() {
    if (!settings_.shownTwoStep) return false;
    const bool siteTwoStep = SiteRunsTwoSteps(*session_.Conn);
    if (siteTwoStep == *settings_.shownTwoStep) return false;
    Refused(StateRefusal::FlowChanged, FlowChangedText(siteTwoStep));
    return true;
  }

  // The approval flow's gate, passed before the question, asked again under the transaction's lock
  // (after the bill's state, so a bill audited meanwhile is named as such): approval switched on or
  // withdrawn, or the audit procedure turned to refusing, while the clerk answered refuses the
  // audit. A warning he has not accepted is his to answer first: refused, to be asked next time.
  bool ApprovalWithdrawn() {
    if (!settings_.approval || (command_ != StateCommand::Audit && command_ != StateCommand::PreAudit)) return false;
    const std::optional<std::string>& accepted = settings_.approval->acceptedWarning;
    const AuditGateVerdict verdict = PassAuditGate(
        session_, lsh_, [&accepted](const std::string& warning) { return accepted && *accepted == warning; });
    if (verdict.result == AuditGateResult::Passed) return false;
    Refused(StateRefusal::NotApproved, verdict.result == AuditGateResult::WarningDeclined
                                           ? verdict.message + "\r\n本次操作未做任何改变，请重新操作！"
                                           : verdict.message);
    return true;
  }

  // The list showed the bill between two warehouses; its lines move the goods between those only.
  bool MovesBetweenOthersThanShown(const std::vector<BillLineValues>& lines) const {
    if (!shownWarehouses_) return false;
    return std::any_of(lines.begin(), lines.end(), [this](const BillLineValues& line) {
      return !line.MovesBetween(shownWarehouses_->out, shownWarehouses_->in);
    });
  }

  // A warehouse of the bill's lines that gl_stock no longer lists, removed while the bill waited:
  // stock moved in it would lie in a warehouse no list, stock check or report knows.
  std::optional<std::string> WarehouseGone(const std::vector<BillLineValues>& lines) {
    std::set<std::string> listed;
    for (const BillLineValues& line : lines) {
      for (const std::string& warehouse : {line.dcstockid, line.drstockid}) {
        if (listed.contains(warehouse)) continue;
        if (FirstValue(*session_.Conn, "select id from gl_stock where id=?", {adodb::BoundText(warehouse)}).IsEmpty()) {
          return warehouse;
        }
        listed.insert(warehouse);
      }
    }
    return std::nullopt;
  }

  bool TakesBack() const {
    return command_ == StateCommand::UnAudit || command_ == StateCommand::UnPreAudit ||
           command_ == StateCommand::UnConfirm;
  }

  // A reversal takes the lines back last first: each line then meets the stock as it left it, so
  // a bill its audit could move can be taken back as long as no one else moved that stock (a
  // return line before an issue of the same batch, checked first, found the batch still short).
  std::vector<BillLineValues> InMovingOrder(std::vector<BillLineValues> lines) const {
    if (TakesBack()) std::reverse(lines.begin(), lines.end());
    return lines;
  }

  void UpdateHeader() {
    adodb::BoundValues values;
    if (handler_.setsName) values.push_back(adodb::BoundText(settings_.operatorName));
    values.push_back(adodb::BoundText(lsh_));
    session_.Conn->Execute("Update ckdbdzk Set " + HeaderFlagsAfter(command_, header_) + " where lsh=?", values);
    outcome_.shownName = handler_.setsName ? settings_.operatorName : "";
  }

  LineStep MoveLine(BillLineValues& line) {
    if (move_->ReadMoneyOnly(line, Issued()) == LineStep::Stop) return LineStep::Stop;
    switch (command_) {
      case StateCommand::Audit: return Issued() ? ReceiveIssued(line) : Audit(line);
      case StateCommand::UnAudit: return header_.audited ? UnAudit(line) : UnIssue(line, false);
      case StateCommand::PreAudit: return PreAudit(line);
      case StateCommand::UnPreAudit: return UnIssue(line, true);
      case StateCommand::Confirm: return Receive(line, std::nullopt);
      case StateCommand::UnConfirm: return UnConfirm(line);
    }
    return LineStep::Stop;
  }

  // The stock check of a line: the batch row, or the balance where the line moves no batch.
  // batchColumns and balancePeriod are this file's own fragments.
  LineStep CheckStockOf(const BillLineValues& line, const std::string& warehouse, const char* batchColumns,
                        const char* balancePeriod, bool issuing, StockRow& row) {
    if (move_->MovesBatches(line)) return move_->CheckBatchStock(line, warehouse, batchColumns, issuing, row);
    return move_->CheckStock(
        line, warehouse,
        std::string("select isnull(sjsl,0) as sl from ywbalance where hh=? and stockid =?") + balancePeriod,
        {adodb::BoundText(line.hh), adodb::BoundText(warehouse)}, issuing, row);
  }

  // A reversal takes back from the in-warehouse what it received: its stock row must still be
  // there (else the line is left as it is, both sides, and named after the commit) and hold the
  // quantity. A line kept by amount only is checked on its balance row.
  LineStep CheckInWarehouseStillHolds(const BillLineValues& line, StockRow& row) {
    const LineStep checked = CheckStockOf(line, line.drstockid, "sl,kh", " and fperiod=0", false, row);
    if (checked == LineStep::SkipLine) outcome_.skippedLines.push_back(line.dh + " " + line.hh);
    return checked;
  }

  // A negative line moves its goods the other way: the in-warehouse loses them, and is checked
  // as an out-warehouse would be (the stock row must be there and hold what it gives).
  LineStep CheckReturnedGoods(const BillLineValues& line, const char* batchColumns, StockRow& row) {
    BillLineValues returned = line;
    returned.sl = -line.sl;
    return CheckStockOf(returned, line.drstockid, batchColumns, " and fperiod=0", true, row);
  }
  static bool ReturnsGoods(const BillLineValues& line) { return line.sl < 0 && !line.moneyOnly; }

  // The reversal of a negative line takes back from the out-warehouse what it received: its stock
  // row must still be there (else the line is left as it is, both sides, and named after the
  // commit) and hold the quantity, as the in-warehouse's must for a positive line.
  LineStep CheckOutWarehouseGivesBack(const BillLineValues& line, const char* balancePeriod) {
    if (!ReturnsGoods(line)) return LineStep::Go;
    BillLineValues returned = line;
    returned.sl = -line.sl;
    StockRow row;
    const LineStep checked = CheckStockOf(returned, line.dcstockid, "sl", balancePeriod, false, row);
    if (checked == LineStep::SkipLine) outcome_.skippedLines.push_back(line.dh + " " + line.hh);
    return checked;
  }

  // One-step audit: both warehouses, each statement pair out then in.
  LineStep Audit(const BillLineValues& line) {
    StockRow row;
    const char* batchColumns = "sl,isnull(sellprice,0) sellprice";
    const LineStep checked = ReturnsGoods(line)
                                 ? CheckReturnedGoods(line, batchColumns, row)
                                 : CheckStockOf(line, line.dcstockid, batchColumns, " and fperiod=0", true, row);
    if (checked != LineStep::Go) return checked;
    if (move_->MovesBatches(line)) {
      if (move_->IssueBatch(line) == LineStep::Stop) return LineStep::Stop;
      if (move_->ReceiveBatch(line, copySellPrice_ ? std::optional<double>(row.sellPrice) : std::nullopt) ==
          LineStep::Stop) {
        return LineStep::Stop;
      }
    }
    if (move_->IssueBalance(line) == LineStep::Stop || move_->ReceiveBalance(line) == LineStep::Stop) {
      return LineStep::Stop;
    }
    if (line.moneyOnly) return LineStep::Go;
    if (move_->KeepsPlaces(line.dcstockid) &&
        move_->AllocateOutPlaces(line) == LineStep::Stop) {
      return LineStep::Stop;
    }
    return move_->ReceivePlaces(line);
  }

  // A reversal of the issue that leaves a line as it is (a stock row gone, named after the commit)
  // still ends the audit that issued it: the line's out-warehouse place rows, the record of what
  // that issue took from each place, go with it. Kept, the next audit's rows would be added to
  // them, and its reversal would give the places both issues while the batch gets one back.
  LineStep LeftAsItIs(const BillLineValues& line, LineStep checked) {
    if (checked != LineStep::SkipLine) return checked;
    move_->ForgetIssuedPlaces(line);
    return LineStep::Go;
  }

  // One-step un-audit: both warehouses, each statement pair in then out.
  LineStep UnAudit(const BillLineValues& line) {
    StockRow row;
    LineStep checked = CheckInWarehouseStillHolds(line, row);
    if (checked == LineStep::Go) checked = CheckOutWarehouseGivesBack(line, " and fperiod=0");
    if (checked != LineStep::Go) return LeftAsItIs(line, checked);
    if (move_->MovesBatches(line) &&
        (move_->UnReceiveBatch(line, row) == LineStep::Stop || move_->UnIssueBatch(line) == LineStep::Stop)) {
      return LineStep::Stop;
    }
    if (move_->UnReceiveBalance(line) == LineStep::Stop || move_->UnIssueBalance(line, false) == LineStep::Stop) {
      return LineStep::Stop;
    }
    if (line.moneyOnly) return LineStep::Go;
    if (move_->UnReceivePlaces(line) == LineStep::Stop) return LineStep::Stop;
    return move_->UnIssuePlaces(line);
  }

  // Two-step audit: the out-warehouse only.
  LineStep PreAudit(const BillLineValues& line) {
    StockRow row;
    const LineStep checked = CheckStockOf(line, line.dcstockid, "sl", " and fyear=0 and fperiod=0", true, row);
    if (checked != LineStep::Go) return checked;
    if (move_->MovesBatches(line) && move_->IssueBatch(line) == LineStep::Stop) return LineStep::Stop;
    if (move_->IssueBalance(line) == LineStep::Stop) return LineStep::Stop;
    if (!line.moneyOnly && move_->KeepsPlaces(line.dcstockid)) return move_->AllocateOutPlaces(line);
    return LineStep::Go;
  }

  // Two-step un-audit, and one-step un-audit of a bill issued but not received: the goods come
  // back to the out-warehouse, which is checked only when a negative line takes them from it.
  LineStep UnIssue(const BillLineValues& line, bool currentYearOnly) {
    const LineStep checked =
        CheckOutWarehouseGivesBack(line, currentYearOnly ? " and fyear=0 and fperiod=0" : " and fperiod=0");
    if (checked != LineStep::Go) return LeftAsItIs(line, checked);
    if (move_->MovesBatches(line) && move_->UnIssueBatch(line) == LineStep::Stop) return LineStep::Stop;
    if (move_->UnIssueBalance(line, currentYearOnly) == LineStep::Stop) return LineStep::Stop;
    if (!line.moneyOnly) return move_->UnIssuePlaces(line);
    return LineStep::Go;
  }

  // Two-step confirm: the in-warehouse receives what the audit issued; nothing to check unless
  // the line returns goods. A sell price given goes with the batch.
  LineStep Receive(const BillLineValues& line, std::optional<double> sellPrice) {
    if (ReturnsGoods(line)) {
      StockRow row;
      const LineStep checked = CheckReturnedGoods(line, "sl", row);
      if (checked != LineStep::Go) return checked;
    }
    if (move_->MovesBatches(line) && move_->ReceiveBatch(line, sellPrice) == LineStep::Stop) return LineStep::Stop;
    if (move_->ReceiveBalance(line) == LineStep::Stop) return LineStep::Stop;
    if (!line.moneyOnly) return move_->ReceivePlaces(line);
    return LineStep::Go;
  }

  // One-step audit of a bill a two-step audit already issued: the goods are on their way, and the
  // in-warehouse receives them as a confirm would, with the batch's sell price as in any one-step
  // audit.
  LineStep ReceiveIssued(const BillLineValues& line) {
    const bool copiesPrice = copySellPrice_ && move_->MovesBatches(line);
    return Receive(line, copiesPrice ? move_->BatchSellPrice(line, line.dcstockid) : std::nullopt);
  }

  // The goods have left the out-warehouse (see the top of this file).
  bool Issued() const { return header_.preAudited || header_.audited; }

  // Two-step un-confirm: the in-warehouse gives back what it received.
  LineStep UnConfirm(const BillLineValues& line) {
    StockRow row;
    const LineStep checked = CheckInWarehouseStillHolds(line, row);
    if (checked != LineStep::Go) return checked == LineStep::SkipLine ? LineStep::Go : checked;
    if (move_->MovesBatches(line) && move_->UnReceiveBatch(line, row) == LineStep::Stop) return LineStep::Stop;
    if (move_->UnReceiveBalance(line) == LineStep::Stop) return LineStep::Stop;
    if (!line.moneyOnly) return move_->UnReceivePlaces(line);
    return LineStep::Go;
  }

  Session& session_;
  const StateCommand command_;
  const Handler handler_;
  const std::string lsh_;
  const StateSettings& settings_;
  StateQuestions& questions_;
  const std::vector<BillLineValues>* const shownLines_;
  const ShownWarehouses* const shownWarehouses_;
  StateOutcome outcome_;
  StockMovement* move_ = nullptr;  // the current run's
  BillHeaderState header_;         // the current run's, read under its lock
  bool copySellPrice_ = false;
};

}  // namespace

StateOutcome ChangeBillState(Session& session, StateCommand command, const std::string& lsh,
                             const StateSettings& settings, StateQuestions& questions,
                             const std::vector<BillLineValues>* shownLines, const ShownWarehouses* shownWarehouses) {
  return StateChange(session, command, lsh, settings, questions, shownLines, shownWarehouses).Run();
}

}  // namespace storeadjust
