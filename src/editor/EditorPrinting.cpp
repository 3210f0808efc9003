// 打印 (the button Cmd_Print, the toolbar and F9) and 重打 of the editor. A print that fails is
// told, as the browser tells it: the slip the clerk waits for does not come, and the bill may be
// gone (deleted by another clerk), so that the browser cannot print it either. The reprint
// component is a window of its own; a failure to start it ends the command without a word.
#include <exception>

#include "editor/FrmStoreAdjuctBill.h"
#include "host/ErrorText.h"
#include "host/MessageTitles.h"
#include "host/PrintRequests.h"
#include "host/Rights.h"

namespace storeadjust {

void FrmStoreAdjuctBill::Cmd_Print_Click() {
  if (!HoldsModuleRight(session_, "打印")) return;
  // A bill without lines has nothing stored to print.
  if (!ListsLines("打印")) return;
  try {
    session_.Ui->Print(MakePrintRequest(session_, " ckdbdzk ", " ckdbdzkmx ", Text("TxtLSH"), false));
  } catch (const std::exception& error) {
    session_.Ui->MsgBox(ErrorText(error), mb::kInformation, kSystemTitle);
  }
}

void FrmStoreAdjuctBill::Reprint() {
  if (!HoldsModuleRight(session_, "重打")) return;
  try {
    session_.Ui->Reprint(MakeReprintRequest(session_));
  } catch (const std::exception&) {
  }
}

}  // namespace storeadjust
