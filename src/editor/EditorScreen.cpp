// The editor's controls, declared in the order a clerk meets them: the header, the entry row,
// the lines and the goods panel, the buttons, the toolbar and the status bar.
#include "editor/FrmStoreAdjuctBill.h"

namespace storeadjust {

void FrmStoreAdjuctBill::DeclareControls() {
  DeclareHeaderControls();
  DeclareEntryControls();
  AddControl("FraContent", ControlKind::Frame, "调拨明细");
  AddControl("VfgContent", ControlKind::Grid);
  DeclareStateAndTotals();
  AddControl("FraSpxx", ControlKind::Frame, "附加信息");
  AddControl("VfgSpxx", ControlKind::Grid);
  DeclareButtons();
  DeclareToolbar();
  AddControl("StatusBar1", ControlKind::StatusPanel);
  SetText("StatusBar1", kEditorKeyGuide);
}

void FrmStoreAdjuctBill::DeclareHeaderControls() {
  AddControl("LblLSH", ControlKind::Label, "流水号:");
  AddControl("TxtLSH", ControlKind::TextBox);
  AddControl("LblKdrq", ControlKind::Label, "开单日期:");
  AddControl("DTPKdrq", ControlKind::DatePicker);
  AddControl("LblBcCk", ControlKind::Label, "拨出仓库编号:");
  AddControl("TxtBcCkID", ControlKind::TextBox);
  AddControl("txtBcCkName", ControlKind::TextBox);
  AddControl("LblBrCk", ControlKind::Label, "拨入仓库编号:");
  AddControl("txtBrCKid", ControlKind::TextBox);
  AddControl("txtBrCkName", ControlKind::TextBox);
  AddControl("LblBZ", ControlKind::Label, "备注:");
  AddControl("TxtBZ", ControlKind::TextBox);
  AddControl("LblCzry", ControlKind::Label, "操作人员:");
  AddControl("TxtCzryName", ControlKind::TextBox);
  AddControl("LblSh", ControlKind::Label, "审核人员:");
  AddControl("TxtSh", ControlKind::TextBox);
  // Filled by the form, never typed: the serial, the names looked up and the people.
  for (const char* filled : {"TxtLSH", "txtBcCkName", "txtBrCkName", "TxtCzryName", "TxtSh"}) SetLocked(filled, true);
}

void FrmStoreAdjuctBill::DeclareEntryControls() {
  AddControl("LblHH", ControlKind::Label, "货号:");
  AddControl("TxtHH", ControlKind::TextBox);
  AddControl("LblJl", ControlKind::Label, "计量：");
  AddControl("txtJl", ControlKind::TextBox);
  AddControl("txtDw", ControlKind::TextBox);
  AddControl("txtXs", ControlKind::TextBox);
  AddControl("LblPh", ControlKind::Label, "批号:");
  AddControl("TxtPh", ControlKind::TextBox);
  AddControl("LblDj", ControlKind::Label, "单价:");
  AddControl("TxtDj", ControlKind::NumericEdit);
  AddControl("LblSl", ControlKind::Label, "数量:");
  AddControl("TxtSl", ControlKind::NumericEdit);
  AddControl("LblJe", ControlKind::Label, "金额:");
  AddControl("TxtJe", ControlKind::NumericEdit);
  AddControl("LblLsze", ControlKind::Label, "零售总额:");
  AddControl("TxtLsze", ControlKind::NumericEdit);
  AddControl("Chk1", ControlKind::CheckBox, "显示批次为零的批号");
  // The unit's name and coefficient follow the unit chosen in txtJl, the batch the one chosen in
  // the quantity step; the retail total follows the goods until goods kept by amount only are
  // taken.
  SetLocked("txtDw", true);
  SetLocked("TxtPh", true);
  SetLocked("txtXs", true);
  SetLocked("TxtLsze", true);
  SetText("txtXs", "1");
}

void FrmStoreAdjuctBill::DeclareButtons() {
  AddControl("Cmd_Add", ControlKind::Button, "新增[F2]");
  AddControl("Cmd_Amend", ControlKind::Button, "修改[F3]");
  AddControl("Cmd_Delete", ControlKind::Button, "删除[DEL]");
  AddControl("Cmd_Save", ControlKind::Button, "保 存");
  AddControl("Cmd_SaveReckoning", ControlKind::Button, "记帐[F8]");
  AddControl("Cmd_Print", ControlKind::Button, "打印[F9]");
  AddControl("CmdGoodsPlace", ControlKind::Button, "...");
  AddControl("Command1", ControlKind::Button, "...");
}

}  // namespace storeadjust
