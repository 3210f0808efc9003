// The toolbar's state commands (审核, 反审, 确认, 反确认), posting (记帐, F8) and approval
// submission (审批): the right, the bill's lines and the approval gate are checked here, the work
// is the state engine's, and what it answers is shown here.
#include <algorithm>

#include "adodb/Error.h"
#include "editor/FrmStoreAdjuctBill.h"
#include "host/BusyPointer.h"
#include "host/ErrorText.h"
#include "host/MessageTitles.h"
#include "host/Rights.h"
#include "states/AuditGate.h"
#include "states/BillPosting.h"
#include "states/BillSnapshot.h"
#include "states/StateChange.h"
#include "states/StateRulesOut.h"

namespace storeadjust {

namespace {

// The button a state command was given by.
const char* CaptionOf(StateCommand command) {
  switch (command) {
    case StateCommand::Audit:
    case StateCommand::PreAudit:
      return "审核";
    case StateCommand::UnAudit:
    case StateCommand::UnPreAudit:
      return "反审";
    case StateCommand::Confirm:
      return "确认";
    case StateCommand::UnConfirm:
      return "反确认";
  }
  return "";
}

// Bills longer than this show which line is being moved.
constexpr long kLinesShownInProgress = 200;

// The engine's questions, asked through the session's user interface.
class EditorQuestions : public StateQuestions {
 public:
  explicit EditorQuestions(UserInterface& ui) : ui_(ui) {}
  ~EditorQuestions() override {
    if (showing_) ui_.ShowProgress("", 0, 0);
  }
  bool ConfirmChange(const std::string& question) override {
    return ui_.MsgBox(question, mb::kYesNo + mb::kInformation + mb::kDefaultButton2, kSystemTitle) == mb::kYes;
  }
  // Asked after the rollback: the progress of the run that found the shortage is over.
  bool AcceptShortage(const std::string& text) override {
    if (showing_) ui_.ShowProgress("", 0, 0);
    showing_ = false;
    return ui_.MsgBox(text, mb::kYesNo + mb::kQuestion + mb::kDefaultButton2, "提示:") == mb::kYes;
  }
  void LineReached(long line, long lines, const std::string& hh) override {
    if (lines <= kLinesShownInProgress) return;
    showing_ = true;
    ui_.ShowProgress("正在处理第 " + std::to_string(line) + " 行 (货号 " + hh + ")", line, lines);
  }

 private:
  UserInterface& ui_;
  bool showing_ = false;
};

struct StateBox {
  int buttons;
  const char* title;
};

// How each kind of refusal is shown: the guards and a bill changed meanwhile inform, a missing
// stock row and a failure warn, a shortage warns under its own title.
StateBox StateBoxOf(const StateOutcome& outcome) {
  if (outcome.result == StateResult::Failed) return {mb::kExclamation, kSystemTitle};
  switch (outcome.refusal) {
    case StateRefusal::Guard:
    case StateRefusal::StateChanged:
    case StateRefusal::MasterGone:
    case StateRefusal::PlacesUnchosen:
    case StateRefusal::FlowChanged:
    case StateRefusal::NotApproved:  // as the gate shows it before the question
      return {mb::kInformation, kSystemTitle};
    case StateRefusal::Shortage:
      return {mb::kExclamation, "提示:"};
    case StateRefusal::MissingStock:
    case StateRefusal::NoRight:  // as ShowNoRightMsg shows it
    case StateRefusal::AllowedSinceRead:  // never shown: the editor asks and runs the command again
    case StateRefusal::None:
      break;
  }
  return {mb::kExclamation, kSystemTitle};
}

std::string NothingPostedText(const std::string& lsh) {
  return "流水号为:" + lsh + "的单据还没有保存,没有记帐任何单据!";
}

std::string Joined(const std::vector<std::string>& items) {
  std::string joined;
  for (const std::string& item : items) joined += "\n" + item;
  return joined;
}

}  // namespace

bool FrmStoreAdjuctBill::MayRunStateCommand(const std::string& rightName) {
  if (!HoldsModuleRight(session_, rightName)) return false;
  return ListsLines(rightName) && WarehousesShownAreTheLines(rightName);
}

// The stock moves between the warehouses of the lines as stored. Warehouses typed over the
// header's and not yet saved with a line would have the clerk answer for a move between those he
// sees while the goods go between others; the typed text stays for him to put back or save.
bool FrmStoreAdjuctBill::WarehousesShownAreTheLines(const std::string& command) {
  if (!linesListed_ || linesListed_->empty()) return true;
  const std::string out = Text("TxtBcCkID"), in = Text("txtBrCKid");
  // Lines another program stored between other warehouses than their header's are left as before;
  // so are lines stored without a warehouse, which the command refuses naming them.
  const bool same = std::all_of(linesListed_->begin(), linesListed_->end(),
                                [](const BillLineValues& line) { return line.LacksWarehouse(); }) ||
                    std::any_of(linesListed_->begin(), linesListed_->end(),
                                [&](const BillLineValues& line) { return line.MovesBetween(out, in); });
  if (!same) {
    session_.Ui->MsgBox("表头的仓库已改动，与已保存明细的仓库(" + linesListed_->front().dcstockid + " → " +
                            linesListed_->front().drstockid + ")不同，没有" + command + "。请先改回原仓库。",
                        mb::kInformation, kSystemTitle);
  }
  return same;
}

// A command that acts on the bill's lines does nothing while the grid lists none (a new bill, or
// one whose last line was deleted); the status line says so, where it interrupts nothing, rather
// than leaving the clerk to wonder whether the key was taken.
bool FrmStoreAdjuctBill::ListsLines(const std::string& command) {
  if (vfgContent_.Rows() >= 2) return true;
  const std::string lsh = Text("TxtLSH");
  ShowStatusNote((lsh.empty() ? std::string("单据") : "流水号为 " + lsh + " 的单据") + "没有明细，没有" + command);
  return false;
}

// A warning is the clerk's to override; a refusal or a failure of a call stops the audit before
// it starts. Passed, the gate goes with the audit, which asks it again inside its transaction.
std::optional<ApprovalPassed> FrmStoreAdjuctBill::ApprovalAllowsAudit() {
  ApprovalPassed passed;
  const AuditGateVerdict verdict = PassAuditGate(session_, Text("TxtLSH"), [&](const std::string& warning) {
    const bool accepted =
        session_.Ui->MsgBox(warning, mb::kYesNo + mb::kInformation + mb::kDefaultButton2, kSystemTitle) == mb::kYes;
    if (accepted) passed.acceptedWarning = warning;
    return accepted;
  });
  if (verdict.result == AuditGateResult::Refused) session_.Ui->MsgBox(verdict.message, mb::kInformation, kSystemTitle);
  if (verdict.result != AuditGateResult::Passed) return std::nullopt;
  return passed;
}

// Audited, the bill takes no line and no header any more: what the clerk typed and has not saved
// never would be, the date he moved included, while the stock moves on the stored one. (Confirmed
// bills were audited first, and took nothing typed since.)
// A bill another clerk moved on meanwhile is refused, the typed input kept: nothing to ask about
// losing then.
void FrmStoreAdjuctBill::Audit() {
  const StateCommand command = IsStartStoreAdjustOK ? StateCommand::PreAudit : StateCommand::Audit;
  if (!MayRunStateCommand("审核")) return;
  const std::optional<BillHeaderState> stored = StoredHeader(Text("TxtLSH"));
  const bool refused = stored && !StateRulesOut(command, *stored).empty();
  if (!refused && !MayDropUnsavedInput("审核")) return;
  const std::optional<ApprovalPassed> approval = ApprovalAllowsAudit();
  // Taken back by another clerk while the approval's warning was open, the bill would be audited,
  // and what the clerk typed dropped, without the question he was spared.
  if (approval) RunStateChange(command, approval, refused && !UnsavedInput(true).empty());
}

void FrmStoreAdjuctBill::UnAudit() {
  if (!MayRunStateCommand("反审")) return;
  RunStateChange(IsStartStoreAdjustOK ? StateCommand::UnPreAudit : StateCommand::UnAudit);
}

void FrmStoreAdjuctBill::Confirm() {
  if (!MayRunStateCommand("确认")) return;
  if (!IsStartStoreAdjustOK) {
    session_.Ui->MsgBox("对不起，未启用确认，不能确认单据!", mb::kInformation, kSystemTitle);
    return;
  }
  RunStateChange(StateCommand::Confirm);
}

void FrmStoreAdjuctBill::UnConfirm() {
  if (MayRunStateCommand("反确认")) RunStateChange(StateCommand::UnConfirm);
}

void FrmStoreAdjuctBill::RunStateChange(StateCommand command, const std::optional<ApprovalPassed>& approval,
                                        bool readRuledOut) {
  StateSettings settings{session_.isNotPh, IsBz3, PhkColumnList, session_.OptName, IsStartStoreAdjustOK, approval};
  settings.readRuledOut = readRuledOut;
  const auto change = [&] {
    EditorQuestions questions(*session_.Ui);
    BusyPointer busy(*session_.Ui);
    return ChangeBillState(session_, command, Text("TxtLSH"), settings, questions,
                           linesListed_ ? &*linesListed_ : nullptr);
  };
  StateOutcome outcome = change();
  if (outcome.refusal == StateRefusal::AllowedSinceRead) {
    // No leaves the typed input, and the bill as another clerk left it, on the screen.
    if (!MayDropUnsavedInput(CaptionOf(command))) {
      ShowBillState();
      return;
    }
    settings.readRuledOut = false;
    outcome = change();
  }
  ShowStateOutcome(outcome);
  const bool audited = command == StateCommand::Audit || command == StateCommand::PreAudit;
  if (outcome.result == StateResult::Done && audited) {
    DropUnsavedInput();  // given up on the clerk's Yes
    // Audited, the bill takes no line: a stored line taken with F3 and left as it was would go on
    // standing in the entry row as if it could still be amended.
    if (entry_.IsAmendment()) ClearEntryRow();
  }
  // Changed by another clerk: the lines as stored now, for the clerk to look at before he tries again.
  // Done: the lines as the command left them (a receipt drops the place rows of a line whose
  // warehouse keeps none now), which the next command from this screen is compared with.
  if (outcome.result == StateResult::Done || outcome.refusal == StateRefusal::StateChanged) {
    FillLinesGrid(Text("TxtLSH"));
  }
  // A right taken away while the editor was open greys its commands from now on.
  if (outcome.refusal == StateRefusal::NoRight) ReadRights();
  // The flow switched while the editor was open: its commands follow the site's from now on.
  if (outcome.refusal == StateRefusal::FlowChanged) FollowSiteFlow();
  RefreshGoodsInfo();
  const std::optional<BillHeaderState> stored = ShowBillState();
  if (outcome.result == StateResult::NothingSelected && stored) ShowStateUnchanged(command, *stored);
}

void FrmStoreAdjuctBill::ShowStateOutcome(const StateOutcome& outcome) {
  switch (outcome.result) {
    case StateResult::Done:
      SetText("TxtSh", outcome.shownName);
      // A confirmation taken back leaves the bill audited: 审核人员 names its auditor again, as
      // the bill shows when it is opened, rather than no one beside the stamp 已审核.
      if (outcome.shownName.empty()) ShowStoredAuditor();
      if (!outcome.skippedLines.empty()) {
        session_.Ui->MsgBox("以下明细的库存记录已不存在,未冲回(单号 货号):" + Joined(outcome.skippedLines),
                            mb::kExclamation, kSystemTitle);
      }
      if (!outcome.unplacedIssues.empty()) {
        session_.Ui->MsgBox("以下商品的出库数量没有足够的货位可分配(货号 未分配数量):" + Joined(outcome.unplacedIssues),
                            mb::kInformation, kSystemTitle);
      }
      return;
    case StateResult::Refused:
    case StateResult::Failed: {
      const StateBox box = StateBoxOf(outcome);
      session_.Ui->MsgBox(outcome.message, box.buttons, box.title);
      return;
    }
    case StateResult::NothingSelected:  // said once the header is read again (ShowStateUnchanged)
    case StateResult::Declined:
      return;
  }
}

// The command selected no line: another clerk moved the bill on or deleted it while it was open
// here, or the bill is not ready for the step (F6 on a posted bill). With the stamp already
// showing the header as stored, 审核人员 does too, and the status line says why nothing changed;
// a bill gone is listed as stored (no lines).
void FrmStoreAdjuctBill::ShowStateUnchanged(StateCommand command, const BillHeaderState& header) {
  const std::string lsh = Text("TxtLSH");
  if (!header.exists) return ListLinesAsStored("流水号为 " + lsh + " 的单据已不存在");
  ShowStoredAuditor();
  ShowStatusNote("流水号为 " + lsh + " 的" + WhyStateUnchanged(command, header) + "，没有" + CaptionOf(command));
}

void FrmStoreAdjuctBill::Cmd_SaveReckoning_Click() {
  if (!HoldsModuleRight(session_, "记帐")) return;
  // Posted, the bill leaves the screen for a new one (or the editor closes). A bill stored neither
  // audited nor posted is refused, the typed input kept: nothing to ask about losing then. A read
  // that fails asks, as the posting may go ahead.
  const std::string lsh = Text("TxtLSH");
  // A new bill no line was saved into yet has no stored header of its own: another clerk who began
  // a bill under the same prepared serial may have stored his by now, which is not this clerk's to
  // post (his first line goes under the next serial).
  const std::optional<BillHeaderState> stored = newBill_ ? BillHeaderState{} : StoredHeader(lsh);
  const bool refusedUnposted = stored && !stored->audited && !stored->posted;
  if (!refusedUnposted && !MayDropUnsavedInput("记帐")) return;
  if (session_.Ui->MsgBox("确实要记帐吗?", mb::kYesNo + mb::kInformation + mb::kDefaultButton2, kSystemTitle) != mb::kYes) {
    return;
  }
  if (newBill_) {
    session_.Ui->MsgBox(NothingPostedText(lsh), mb::kInformation, kSystemTitle);
    return;
  }
  // Audited by another clerk while the clerk answered, the bill would be posted, and what he typed
  // dropped, without the question he was spared: he is asked it now, before anything is posted.
  const bool unasked = refusedUnposted && !UnsavedInput(true).empty();
  PostingResult posted = PostingResult::NotAudited;
  try {
    posted = PostBill(session_, lsh, linesListed_ ? &*linesListed_ : nullptr, unasked);
    if (posted == PostingResult::AuditedSinceRead) {
      if (!MayDropUnsavedInput("记帐")) return;
      posted = PostBill(session_, lsh, linesListed_ ? &*linesListed_ : nullptr);
    }
  } catch (const std::exception& error) {
    session_.Ui->MsgBox(ErrorText(error), mb::kInformation, kSystemTitle);
    return;
  }
  // Posted meanwhile, the bill is where the clerk meant to take it: the editor goes on as after
  // his own posting, and the status line says the bill is posted.
  if (posted == PostingResult::PostedBefore) posted = PostingResult::Posted;
  if (posted == PostingResult::NotAudited || posted == PostingResult::NotConfirmed) {
    // Audited when it was opened, another clerk may have taken it back since: the stamp and
    // 审核人员 say so behind the message. An audited two-step bill waits for its confirmation, not
    // for the 审核 the clerk can see it has had.
    ShowBillAsStored();
    const bool awaitsConfirm = posted == PostingResult::NotConfirmed && IsStartStoreAdjustOK;
    session_.Ui->MsgBox("流水号为:" + lsh + "的单据记帐不成功,可能的原因是单据还没有" +
                            (awaitsConfirm ? "确认!" : "审核!"),
                        mb::kInformation, kSystemTitle);
    return;
  }
  if (posted == PostingResult::NoRight) return RefuseRightTakenAway();
  if (posted == PostingResult::LinesChanged) {
    session_.Ui->MsgBox(kBillLinesChanged, mb::kInformation, kSystemTitle);
    FillLinesGrid(lsh);
    return;
  }
  if (posted == PostingResult::NotSaved) {
    // A bill stored once and gone now was deleted meanwhile, not left unsaved.
    session_.Ui->MsgBox("流水号为[" + lsh + "]的单据已被其他操作员删除,没有记帐!", mb::kInformation, kSystemTitle);
    return ListLinesAsStored("流水号为 " + lsh + " 的单据已不存在");
  }
  DropUnsavedInput();
  if (HasRight(session_, session_.ModuleRightGuid, true, session_.OptCode, "新增", session_.ConnStr)) {
    Cmd_Add_Click();
    // The posted bill leaves the screen for a new one: the status line says where it went.
    ShowStatusNote("流水号为 " + lsh + " 的单据已记帐");
  } else {
    Close();
  }
}

void FrmStoreAdjuctBill::SubmitApproval() {
  if (session_.Ui->MsgBox("确实要提交审批到审批流中吗？", mb::kYesNo + mb::kInformation + mb::kDefaultButton2,
                          kSystemTitle) != mb::kYes) {
    return;
  }
  const std::string lsh = Text("TxtLSH");
  // Not yet saved from here: a bill stored under the serial is another clerk's (see 记帐).
  if (newBill_) {
    session_.Ui->MsgBox("流水号为:" + lsh + "的单据还没有保存,不能提交审批!", mb::kInformation, kSystemTitle);
    return;
  }
  try {
    const Submission submitted = SubmitBillForApproval(session_, lsh, linesListed_ ? &*linesListed_ : nullptr);
    const SubmissionBar bar = submitted.bar;
    if (bar == SubmissionBar::LinesChanged) {
      // Read after the question: what the clerk hands over is what he looked at when he said Yes.
      session_.Ui->MsgBox(kBillLinesChanged, mb::kInformation, kSystemTitle);
      FillLinesGrid(lsh);
      return;
    }
    // A bill saved or opened here and stored no more was deleted by another clerk, as 记帐 says.
    if (bar == SubmissionBar::NotSaved) {
      session_.Ui->MsgBox("流水号为[" + lsh + "]的单据已被其他操作员删除,没有提交审批!", mb::kInformation, kSystemTitle);
      return ListLinesAsStored("流水号为 " + lsh + " 的单据已不存在");
    }
    if (bar != SubmissionBar::None) {
      session_.Ui->MsgBox("流水号为:" + lsh + "的单据已审核,不能提交审批!", mb::kInformation, kSystemTitle);
      return;
    }
    session_.Ui->MsgBox(submitted.answer.empty() ? "审批提交成功!" : submitted.answer, mb::kInformation, kSystemTitle);
  } catch (const std::exception& error) {
    session_.Ui->MsgBox(ErrorText(error), mb::kInformation, kSystemTitle);
  }
}

}  // namespace storeadjust
