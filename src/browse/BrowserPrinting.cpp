// 打印, 预览 and 重打 of the browser (and their menu items). Printing takes the marked bills in
// grid order and clears their marks as it goes, so a failed print leaves them cleared too.
#include <algorithm>
#include <exception>
#include <string>
#include <vector>

#include "browse/FrmStoreAdjuctBillBrow.h"
#include "host/ErrorText.h"
#include "host/MessageTitles.h"
#include "host/PrintRequests.h"
#include "host/UserInterface.h"

namespace storeadjust {

namespace {

// The serials of the marked rows joined by "|", the marks cleared. A bill marked on several rows
// (a list template may show a row per line) is printed once: the component prints a slip per
// serial it is handed.
std::string TakeMarkedSerialList(BillListGrid& grid) {
  std::vector<std::string> taken;
  std::string serials;
  for (long row = 1; row < grid.Rows(); ++row) {
    if (!grid.IsMarked(row)) continue;
    std::string serial = grid.TextMatrix(row, 1);
    grid.SetMarked(row, false);
    if (std::find(taken.begin(), taken.end(), serial) != taken.end()) continue;
    serials += serial + "|";
    taken.push_back(std::move(serial));
  }
  grid.NotifyContents();
  if (!serials.empty()) serials.pop_back();
  return serials;
}

void PrintMarked(Session& session, BillListGrid& grid, bool preview) {
  try {
    const std::string serials = TakeMarkedSerialList(grid);
    if (serials.empty()) {
      session.Ui->MsgBox("你没有选择任何需打印的单据！", mb::kInformation, kSystemTitle);
      return;
    }
    session.Ui->Print(MakePrintRequest(session, " CKDBDZK ", " CKDBDZKmx ", serials, preview));
  } catch (const std::exception& error) {
    session.Ui->MsgBox(ErrorText(error), mb::kInformation, kSystemTitle);
  }
}

}  // namespace

void FrmStoreAdjuctBillBrow::PrintMarkedBills() {
  if (!Allowed("打印")) return;
  PrintMarked(session_, grid_, false);
}

void FrmStoreAdjuctBillBrow::PreviewMarkedBills() {
  if (!Allowed("打印")) return;
  PrintMarked(session_, grid_, true);
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
