#include "editor/FrmStoreAdjuctBill.h"

#include "host/KeyCodes.h"

namespace storeadjust {

FrmStoreAdjuctBill::FrmStoreAdjuctBill(Session& session) : FormModel("FrmStoreAdjuctBill"), session_(session) {
  Caption = "仓库调拨单";
  AddControl("TxtLSH", ControlKind::TextBox);
}

void FrmStoreAdjuctBill::Click(const std::string& name) { (void)name; }

void FrmStoreAdjuctBill::FormKeyDown(int& keyCode, int shift) {
  (void)shift;
  if (keyCode == key::kEscape) {
    keyCode = 0;
    Close();
  }
}

}  // namespace storeadjust
