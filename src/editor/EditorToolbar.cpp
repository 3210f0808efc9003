// The toolbar's buttons and the dispatcher that turns a button into a command (the state commands
// themselves are in StateCommands.cpp).
#include "editor/EditorToolbar.h"

#include "adodb/TextCompare.h"
#include "editor/FrmStoreAdjuctBill.h"
#include "host/Settings.h"

namespace storeadjust {

void FrmStoreAdjuctBill::DeclareToolbar() {
  AddControl("Toolbar1", ControlKind::Frame);
  for (const EditorToolbarItem& item : kEditorToolbar) {
    if (item.kind != ToolbarItemKind::Button) continue;
    AddControl(item.key, ControlKind::ToolbarButton, item.key);
    MutableControl(item.key).toolTip = item.toolTip;
    SetVisible(item.key, item.shown);
  }
}

// The EP edition submits bills for approval.
void FrmStoreAdjuctBill::ShowApprovalButton() {
  SetVisible("审批", adodb::UpperName(session_.Category) == "EP");
  RestoreKeyGuide();
}

// Two-step mode brings confirmation and its reversal.
void FrmStoreAdjuctBill::ShowTwoStepButtons() {
  if (!IsStartStoreAdjustOK) return;
  SetVisible("反确认", true);
  SetVisible("确认", true);
  RestoreKeyGuide();
}

// The administrator switched the site's flow while the editor was open: the commands, their keys
// and the bill's state name follow the flow the site runs now.
void FrmStoreAdjuctBill::FollowSiteFlow() {
  IsStartStoreAdjustOK = IsProfileFlagOn(GetProfileValue(session_, "GL", "StartStoreAdjustOK"));
  SetVisible("反确认", IsStartStoreAdjustOK);
  SetVisible("确认", IsStartStoreAdjustOK);
  RestoreKeyGuide();
}

bool FrmStoreAdjuctBill::IsToolbarKey(const std::string& name) const {
  if (name.empty()) return false;
  for (const EditorToolbarItem& item : kEditorToolbar) {
    if (item.kind == ToolbarItemKind::Button && name == item.key) return true;
  }
  return false;
}

void FrmStoreAdjuctBill::Toolbar1_ButtonClick(const std::string& key) {
  if (key == "新增") return Cmd_Add_Click();
  if (key == "修改") return Cmd_Amend_Click();
  if (key == "删除") return Cmd_Delete_Click();
  if (key == "打印") return Cmd_Print_Click();
  if (key == "重打") return Reprint();
  if (key == "审核") return Audit();
  if (key == "反审") return UnAudit();
  if (key == "确认") return Confirm();
  if (key == "反确认") return UnConfirm();
  if (key == "记帐") return Cmd_SaveReckoning_Click();
  if (key == "审批") return SubmitApproval();
  if (key == "退出") return Close();
  // 反过, 过帐, 合计 and the other hidden buttons are never shown, so never clicked.
}

}  // namespace storeadjust
