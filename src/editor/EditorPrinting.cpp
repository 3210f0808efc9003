// 打印 (the button Cmd_Print, the toolbar and F9) and 重打 of the editor. Whatever goes wrong in
// the print or reprint component ends the command without a word: the clerk still has the bill
// on screen and can print it from the browser.
#include <exception>

#include "editor/FrmStoreAdjuctBill.h"
#include "host/PrintRequests.h"
#include "host/Rights.h"

namespace storeadjust {

void FrmStoreAdjuctBill::Cmd_Print_Click() {
  if (!HasRight(session_, session_.ModuleRightGuid, true, session_.OptCode, "打印", session_.ConnStr)) {
    ShowNoRightMsg(session_);
    return;
  }
  // A bill without lines has nothing stored to print.
  if (vfgContent_.Rows() <= 1) return;
  try {
    session_.Ui->Print(MakePrintRequest(session_, " ckdbdzk ", " ckdbdzkmx ", Text("TxtLSH"), false));
  } catch (const std::exception&) {
  }
}

void FrmStoreAdjuctBill::Reprint() {
  if (!HasRight(session_, session_.ModuleRightGuid, true, session_.OptCode, "重打", session_.ConnStr)) {
    ShowNoRightMsg(session_);
    return;
  }
  try {
    session_.Ui->Reprint(MakeReprintRequest(session_));
  } catch (const std::exception&) {
  }
}

}  // namespace storeadjust
