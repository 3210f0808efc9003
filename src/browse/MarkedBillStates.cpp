// 审核 and 过账 of the browser: the marked bills, in grid order, each through the same engine as
// the editor's single bill and in a transaction of its own, after one question; at the end one
// message names the bills that were refused and why, and the list is read again on the bill that
// was current. No bill asks anything further: what would need the clerk's word (an approval
// warning, a shortage to accept) refuses that bill, which the clerk can then take up in the editor.
#include <algorithm>
#include <map>
#include <optional>

#include "adodb/Error.h"
#include "adodb/Recordset.h"
#include "browse/FrmStoreAdjuctBillBrow.h"
#include "browse/SerialList.h"
#include "host/BusyPointer.h"
#include "host/ErrorText.h"
#include "host/LenientValues.h"
#include "host/MessageTitles.h"
#include "host/Rights.h"
#include "host/UserInterface.h"
#include "lines/BillHeaderState.h"
#include "states/AuditGate.h"
#include "states/BillPosting.h"
#include "states/BillSnapshot.h"
#include "states/PhkColumns.h"
#include "states/StateChange.h"
#include "states/StateRulesOut.h"

namespace storeadjust {

namespace {

// The one question has been asked for all bills; a shortage needs a word per bill, so it refuses.
class MarkedBillQuestions : public StateQuestions {
 public:
  bool ConfirmChange(const std::string&) override { return true; }
  bool AcceptShortage(const std::string&) override { return false; }
};

// Why a marked bill's audit changed nothing: the bill changed under the clerk's marks. With
// `beforeAudit`, what its state rules out before anything is asked of it (empty: it may go on).
std::string WhyNothingAudited(Session& session, const std::string& lsh, StateCommand command, bool beforeAudit = false) {
  if (!session.Conn) return ErrorText(adodb::Error::Closed());
  try {
    const BillHeaderState header = ReadBillHeader(*session.Conn, lsh, false);
    return beforeAudit ? StateRulesOut(command, header) : WhyStateUnchanged(command, header);
  } catch (const std::exception& error) {
    return ErrorText(error);
  }
}

// The grid column the list's template heads so, if it shows one.
std::optional<long> ColumnHeaded(const BillListGrid& grid, const char* heading) {
  for (long col = 1; col < grid.Cols(); ++col) {
    if (grid.TextMatrix(0, col) == heading) return col;
  }
  return std::nullopt;
}

std::string OneLine(std::string text) {
  for (const char* breakText : {"\r\n", "\n"}) {
    for (auto at = text.find(breakText); at != std::string::npos; at = text.find(breakText)) {
      text.replace(at, std::char_traits<char>::length(breakText), " ");
    }
  }
  return text;
}

}  // namespace

// Each bill once, however many of its rows are marked: a list template may show a row per line,
// and a bill taken a second time would be named among the refused ("单据已审核") by the very
// command that has just audited it.
std::vector<std::string> FrmStoreAdjuctBillBrow::TakeMarkedSerials() {
  std::vector<std::string> serials;
  for (long row : MarkedRows()) {
    std::string serial = grid_.TextMatrix(row, 1);
    if (std::find(serials.begin(), serials.end(), serial) == serials.end()) serials.push_back(std::move(serial));
    grid_.SetMarked(row, false);
  }
  grid_.NotifyContents();
  return serials;
}

// The warehouses the marked rows show each bill moving its goods between, where the list's
// template shows both: the clerk audits the bills as listed, and another clerk may since have
// amended a bill's one line into other warehouses.
std::map<std::string, ShownWarehouses> FrmStoreAdjuctBillBrow::MarkedBillsWarehouses() const {
  std::map<std::string, ShownWarehouses> shown;
  const std::optional<long> out = ColumnHeaded(grid_, "拨出仓库编号"), in = ColumnHeaded(grid_, "拨入仓库编号");
  if (!out || !in) return shown;
  for (long row : MarkedRows()) {
    shown.try_emplace(grid_.TextMatrix(row, 1), ShownWarehouses{grid_.TextMatrix(row, *out), grid_.TextMatrix(row, *in)});
  }
  return shown;
}

bool FrmStoreAdjuctBillBrow::AskMarkedBillsQuestion(const char* question) {
  return session_.Ui->MsgBox(question, mb::kYesNo + mb::kInformation + mb::kDefaultButton2, kSystemTitle) == mb::kYes;
}

// With no bill marked the clerk is told so, as printing tells him, rather than asked a question
// whose Yes would then do nothing.
bool FrmStoreAdjuctBillBrow::AskForMarkedBills(const std::string& command, const char* question) {
  if (MarkedRows().empty()) {
    TellNothingMarked(command);
    return false;
  }
  return AskMarkedBillsQuestion(question);
}

void FrmStoreAdjuctBillBrow::TellNothingMarked(const std::string& command) {
  session_.Ui->MsgBox("你没有选择任何需" + command + "的单据！", mb::kInformation, kSystemTitle);
}

// Shown over the list as it now stands, so that the bills named are seen beside the others' new state.
void FrmStoreAdjuctBillBrow::ShowRefusedBills(const char* heading, const std::vector<std::string>& refusals) {
  if (refusals.empty()) return;
  session_.Ui->MsgBox(RefusedBillsText(heading, refusals), mb::kExclamation, kSystemTitle);
}

// The approval flow's verdict without a question: the marked bills are audited without one, so a
// warning the clerk would have to accept leaves the bill for the editor, where it is asked, as a
// shortage the settings let the clerk accept does.
std::string FrmStoreAdjuctBillBrow::ApprovalRefusal(const std::string& lsh) {
  const AuditGateVerdict verdict = PassAuditGate(session_, lsh, [](const std::string&) { return false; });
  if (verdict.result == AuditGateResult::WarningDeclined) return verdict.message + "(需在单据中逐一确认)";
  return verdict.result == AuditGateResult::Passed ? std::string() : verdict.message;
}

void FrmStoreAdjuctBillBrow::AuditMarkedBills() {
  if (!Allowed("审核")) return;
  if (!AskForMarkedBills("审核", "确实要审核所选单据吗?")) return;
  // Settings that cannot be read audit nothing: the marks stay for the clerk to try again.
  StateSettings settings;
  try {
    settings.isNotPh = session_.isNotPh;
    settings.shortageAllowed = session_.SysVarRs && FlagIsSet(session_.SysVarRs->Value("bz3"));
    settings.phkColumnList = ReadPhkColumnList(session_.ConnStr);
    settings.operatorName = session_.OptName;
    settings.shownTwoStep = layout_ == BrowserLayout::TwoStep;
    settings.approval = ApprovalPassed{};  // each bill passes ApprovalRefusal first, warnings refused
  } catch (const std::exception& error) {
    ShowInformation(ErrorText(error));
    return;
  }
  const std::string current = CurrentSerial();
  const std::map<std::string, ShownWarehouses> warehouses = MarkedBillsWarehouses();
  const std::vector<std::string> serials = TakeMarkedSerials();  // some: AskForMarkedBills saw them
  std::vector<std::string> refusals;
  // Audited all the same: goods issued from a warehouse's stock that no goods place held, which the
  // clerk is told of as the editor tells him, or the places would lag the stock unnoticed.
  std::vector<std::string> unplaced;
  const StateCommand command = layout_ == BrowserLayout::TwoStep ? StateCommand::PreAudit : StateCommand::Audit;
  BusyPointer busy(*session_.Ui);
  for (const std::string& lsh : serials) {
    // A bill another clerk audited, posted or deleted since it was marked is named as it now is:
    // its approval flow, asked first, would have the clerk chase an approval it no longer needs.
    if (const std::string ruledOut = WhyNothingAudited(session_, lsh, command, true); !ruledOut.empty()) {
      refusals.push_back(lsh + ": " + OneLine(ruledOut));
      continue;
    }
    const std::string approval = ApprovalRefusal(lsh);
    if (!approval.empty()) {
      refusals.push_back(lsh + ": " + OneLine(approval));
      continue;
    }
    MarkedBillQuestions questions;
    // The bill is audited as the clerk marked it: with its lines as they were at the mark.
    const auto lines = markedLines_.find(lsh);
    const auto shown = warehouses.find(lsh);
    const StateOutcome outcome =
        ChangeBillState(session_, command, lsh, settings, questions, lines == markedLines_.end() ? nullptr : &lines->second,
                        shown == warehouses.end() ? nullptr : &shown->second);
    for (const std::string& goods : outcome.unplacedIssues) unplaced.push_back(lsh + ": " + goods);
    if (outcome.refusal == StateRefusal::FlowChanged) {
      refusals.push_back(lsh + ": " + outcome.message + "请关闭浏览窗口后重新打开。");
    } else if (outcome.result == StateResult::Refused || outcome.result == StateResult::Failed) {
      refusals.push_back(lsh + ": " + OneLine(outcome.message));
    } else if (outcome.result == StateResult::Declined) {
      refusals.push_back(lsh + ": 库存数量不足,需在单据中逐一确认");
    } else if (outcome.result == StateResult::NothingSelected) {
      refusals.push_back(lsh + ": " + OneLine(WhyNothingAudited(session_, lsh, command)));
    }
  }
  RefreshOnBill(current, "");
  ShowRefusedBills("以下单据未能审核:", refusals);
  if (unplaced.empty()) return;
  session_.Ui->MsgBox(RefusedBillsText("以下单据已审核,出库数量没有足够的货位可分配(流水号: 货号 未分配数量):", unplaced, "项"),
                      mb::kInformation, kSystemTitle);
}

void FrmStoreAdjuctBillBrow::PostMarkedBillsOneByOne() {
  if (!Allowed("记帐")) return;
  if (!AskForMarkedBills("过账", "确实要过账所选单据吗?")) return;
  const std::string current = CurrentSerial();
  const std::vector<std::string> serials = TakeMarkedSerials();  // some: AskForMarkedBills saw them
  std::vector<std::string> refusals;
  // Two-step bills are posted once confirmed: one only audited is told so, not sent back to 审核;
  // in the one-step flow its 审核 is what receives it.
  const char* notConfirmed = layout_ == BrowserLayout::TwoStep ? ": 单据还没有确认" : ": 单据还没有审核";
  BusyPointer busy(*session_.Ui);
  for (const std::string& lsh : serials) {
    try {
      // Posted as the clerk marked it: with its lines as they were at the mark.
      const auto lines = markedLines_.find(lsh);
      const PostingResult posted = PostBill(session_, lsh, lines == markedLines_.end() ? nullptr : &lines->second);
      if (posted == PostingResult::NotAudited) refusals.push_back(lsh + ": 单据还没有审核");
      if (posted == PostingResult::NotConfirmed) refusals.push_back(lsh + notConfirmed);
      if (posted == PostingResult::NotSaved) refusals.push_back(lsh + ": 单据不存在");
      if (posted == PostingResult::PostedBefore) refusals.push_back(lsh + ": 单据已记帐");
      if (posted == PostingResult::NoRight) refusals.push_back(lsh + ": " + kNoRightMessage);
      if (posted == PostingResult::LinesChanged) refusals.push_back(lsh + ": " + kBillLinesChanged);
    } catch (const std::exception& error) {
      refusals.push_back(lsh + ": " + OneLine(ErrorText(error)));
    }
  }
  RefreshOnBill(current, "");
  ShowRefusedBills("以下单据未能过账:", refusals);
}

}  // namespace storeadjust
