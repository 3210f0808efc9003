// What the editor shows of the bill beyond its fields: a stamp with its state (未审核, 已审核,
// 已确认, 已记帐), the totals of its lines, and which commands are greyed out and why. All three
// follow the bill: after it is loaded or started, after every line change and every state command.
#include "editor/EditorCommandReasons.h"
#include "editor/FrmStoreAdjuctBill.h"
#include "editor/LineTotals.h"
#include "states/BillSnapshot.h"

namespace storeadjust {

namespace {

struct CommandControl {
  const char* control;
  EditorCommand command;
};

// Each button and the toolbar button of the same command.
constexpr CommandControl kCommandControls[] = {
    {"新增", EditorCommand::New},           {"Cmd_Add", EditorCommand::New},
    {"修改", EditorCommand::Amend},         {"Cmd_Amend", EditorCommand::Amend},
    {"删除", EditorCommand::Delete},        {"Cmd_Delete", EditorCommand::Delete},
    {"Cmd_Save", EditorCommand::Save},      {"打印", EditorCommand::Print},
    {"Cmd_Print", EditorCommand::Print},    {"重打", EditorCommand::Reprint},
    {"审核", EditorCommand::Audit},         {"反审", EditorCommand::UnAudit},
    {"确认", EditorCommand::Confirm},       {"反确认", EditorCommand::UnConfirm},
    {"记帐", EditorCommand::Post},          {"Cmd_SaveReckoning", EditorCommand::Post},
};

}  // namespace

void FrmStoreAdjuctBill::DeclareStateAndTotals() {
  AddControl("LblBillState", ControlKind::StatusPanel);
  AddControl("LblSum", ControlKind::Label, "合计");
  AddControl("LblSumSl", ControlKind::StatusPanel);
  AddControl("LblSumJe", ControlKind::StatusPanel);
  AddControl("LblSumLsze", ControlKind::StatusPanel);
  SetText("LblBillState", "未审核");
}

// A bill not stored yet is one not audited; a header that cannot be read leaves it so too, and
// the commands then refuse for themselves when reached. Returns the header read, if it was.
std::optional<BillHeaderState> FrmStoreAdjuctBill::ShowBillState() {
  const std::optional<BillHeaderState> stored = lsh_.empty() ? std::nullopt : StoredHeader(lsh_);
  const BillHeaderState header = stored.value_or(BillHeaderState{});
  SetText("LblBillState", header.exists ? BillStateName(header, IsStartStoreAdjustOK) : "未审核");
  ShowLineTotals();
  ShowCommandAvailability(header);
  return stored;
}

std::optional<BillHeaderState> FrmStoreAdjuctBill::StoredHeader(const std::string& lsh) const {
  try {
    if (session_.Conn) return ReadBillHeader(*session_.Conn, lsh, false);
  } catch (const std::exception&) {
  }
  return std::nullopt;
}

// The stamp, 审核人员 and the grey buttons as stored, for a bill another clerk may have moved on
// since it was opened here.
void FrmStoreAdjuctBill::ShowBillAsStored() {
  ShowBillState();
  ShowStoredAuditor();
}

// Amounts are stored rounded to cents; quantities show the places of the quantity field. A site
// that hides the bill's amount total from the goods panel hides it here too, beside it.
void FrmStoreAdjuctBill::ShowLineTotals() {
  const LineTotals totals = SumLines(vfgContent_, quantityUnits_);
  SetText("LblSumSl", TotalText(totals.quantity, Control("TxtSl").decimals));
  SetText("LblSumJe", ForbiddenViewBatchPrice != "1" ? TotalText(totals.amount, 2) : std::string());
  SetText("LblSumLsze", TotalText(totals.retailTotal, 2));
}

void FrmStoreAdjuctBill::ShowCommandAvailability(const BillHeaderState& header) {
  const EditorBillFacts bill{header, vfgContent_.Rows() >= 2, IsViewOnly(), IsStartStoreAdjustOK};
  for (const CommandControl& entry : kCommandControls) {
    SetAvailable(entry.control, EditorCommandReason(entry.command, bill, rights_));
  }
  // A button greyed out under the clerk's focus (保 存 refused for a bill audited meanwhile,
  // 删除 after F4) would hand the keys to the next widget in the chain, the bill date, where a
  // digit typed changes it. The lines take them: every key of the editor works there.
  if (!Focus().empty() && !Enabled(Focus())) SetFocus("VfgContent");
}

}  // namespace storeadjust
