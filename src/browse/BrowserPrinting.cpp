// 打印, 预览 and 重打 of the browser (and their menu items). Printing takes the marked bills in
// grid order, each once however many of its rows are marked (the component prints a slip per
// serial it is handed), and clears their marks first, so a failed print leaves them cleared too.
#include <exception>
#include <string>
#include <vector>

#include "browse/FrmStoreAdjuctBillBrow.h"
#include "browse/SerialList.h"
#include "host/ErrorText.h"
#include "host/MessageTitles.h"
#include "host/PrintRequests.h"
#include "host/UserInterface.h"

namespace storeadjust {

namespace {

void PrintMarked(Session& session, const std::vector<std::string>& serials, bool preview) {
  try {
    if (serials.empty()) {
      session.Ui->MsgBox("你没有选择任何需打印的单据！", mb::kInformation, kSystemTitle);
      return;
    }
    session.Ui->Print(MakePrintRequest(session, " CKDBDZK ", " CKDBDZKmx ", SerialList(serials, "|"), preview));
  } catch (const std::exception& error) {
    session.Ui->MsgBox(ErrorText(error), mb::kInformation, kSystemTitle);
  }
}

}  // namespace

void FrmStoreAdjuctBillBrow::PrintMarkedBills() {
  if (!Allowed("打印")) return;
  PrintMarked(session_, TakeMarkedSerials(), false);
}

void FrmStoreAdjuctBillBrow::PreviewMarkedBills() {
  if (!Allowed("打印")) return;
  PrintMarked(session_, TakeMarkedSerials(), true);
}

void FrmStoreAdjuctBillBrow::ReprintBills() {
  if (!Allowed("重打")) return;
  try {
    session_.Ui->Reprint(MakeReprintRequest(session_));
  } catch (const std::exception& error) {
    session_.Ui->MsgBox(ErrorText(error), mb::kCritical, kSystemTitle);
  }
}

}  // namespace storeadjust
