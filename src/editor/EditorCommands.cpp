// Clicks on the editor's buttons, each handed to the work it names.
#include "editor/FrmStoreAdjuctBill.h"
#include "host/Rights.h"

namespace storeadjust {

void FrmStoreAdjuctBill::Click(const std::string& name) {
  if (name == "Cmd_Add") return Cmd_Add_Click();
  if (name == "Cmd_Amend") return Cmd_Amend_Click();
  if (name == "Cmd_Delete") return Cmd_Delete_Click();
  if (name == "Cmd_Save") return Cmd_Save_Click();
  if (name == "Cmd_SaveReckoning") return Cmd_SaveReckoning_Click();
  if (name == "Cmd_Print") return Cmd_Print_Click();
  if (name == "CmdGoodsPlace") return CmdGoodsPlace_Click();
  if (name == "Command1") return Command1_Click();
  if (IsToolbarKey(name)) return Toolbar1_ButtonClick(name);
}

// Viewing covers the bill opened to view: a new bill the clerk starts here, holding the right to
// add bills, takes lines like any other, rather than being refused only at its first save. A
// clerk without that right is refused before he is asked to give up what he typed: the refusal
// keeps it.
void FrmStoreAdjuctBill::Cmd_Add_Click() {
  if (!HoldsModuleRight(session_, "新增") || !MayDropUnsavedInput("新增") || !AddNew()) return;
  request_ = {EditorRequest::Mode::New, {}};
  ShowSerial(lsh_);  // the title no longer says 查看
  ShowBillState();  // 保 存 and the line commands are no longer greyed as viewing
}

void FrmStoreAdjuctBill::Cmd_Save_Click() { SaveLine(); }

}  // namespace storeadjust
