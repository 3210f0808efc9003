// The toolbar's buttons and the dispatcher that turns a button into a command. The state,
// posting, approval and print commands arrive with their own work; until then their buttons are
// present and do nothing.
#include "editor/EditorToolbar.h"

#include "adodb/TextCompare.h"
#include "editor/FrmStoreAdjuctBill.h"

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
void FrmStoreAdjuctBill::ShowApprovalButton() { SetVisible("审批", adodb::UpperName(session_.Category) == "EP"); }

// Two-step mode brings confirmation and its reversal.
void FrmStoreAdjuctBill::ShowTwoStepButtons() {
  if (!IsStartStoreAdjustOK) return;
  SetVisible("反确认", true);
  SetVisible("确认", true);
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
  if (key == "记帐") return Cmd_SaveReckoning_Click();
  if (key == "退出") return Close();
  // 重打, 审核, 反审, 确认, 反确认 and 审批 come with reprinting, the bill states and approval;
  // 反过, 过帐, 合计 and the hidden buttons do nothing.
}

}  // namespace storeadjust
