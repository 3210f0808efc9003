// The goods-place dialog as the editor runs it: to allocate the entry row's quantity over the
// in-warehouse's goods places before a save, or to view a line's places from the two "..."
// buttons (out-warehouse CmdGoodsPlace, in-warehouse Command1).
#include "editor/FrmStoreAdjuctBill.h"
#include "host/ErrorText.h"
#include "host/MessageTitles.h"
#include "lines/BoundColumns.h"
#include "lines/GoodsFacts.h"
#include "lines/GoodsPlaceAllocation.h"
#include "lines/GoodsPlaceRows.h"
#include "lines/LineChanges.h"
#include "lines/LineOf.h"

namespace storeadjust {

// The dialog's request, after the checks that refuse it; nothing when refused (the clerk was
// told why).
std::optional<GoodsPlaceRequest> FrmStoreAdjuctBill::GoodsPlaceRequestFor(bool viewFlag, const std::string& warehouseId) {
  const auto refuse = [&](const char* text) -> std::optional<GoodsPlaceRequest> {
    session_.Ui->MsgBox(text, mb::kInformation, kSystemTitle);
    return std::nullopt;
  };
  if (warehouseId.empty()) return refuse("查看货位前必须输入仓库编号!");
  if (Text("TxtLSH").empty()) return refuse("查看货位前必须输入流水号!");
  const std::string currentLine = vfgContent_.TextMatrix(vfgContent_.Row, 1);
  // Viewing shows the places of the line the grid points at. A grid that lists no line has only
  // its header row, whose caption is no line: the dialog would show the places of nothing.
  const bool gridLine = viewFlag && vfgContent_.Row >= 1 && vfgContent_.Rows() >= 2;
  if (currentLine.empty() || (viewFlag && !gridLine)) return refuse("查看货位前必须输入单号!");
  GoodsPlaceRequest request;
  request.connectionString = session_.ConnStr;
  request.warehouseId = warehouseId;
  request.billSerial = Text("TxtLSH");
  request.lineKey = gridLine ? currentLine : kNewLineKey;
  request.quantity = Text("TxtSl");
  if (gridLine) {
    // The line's own quantity in base units, as its places hold it: the entry row may hold
    // another line's, or nothing, and the dialog would set the places against that.
    const StoredLine line = ReadStoredLine(session_, Text("TxtLSH"), currentLine);
    if (line.stage == BillStage::Missing) {
      ListLinesAsStored(LineGoneNote(currentLine));
      return std::nullopt;
    }
    request.quantity = adodb::FormatNumber(line.baseQty);
    if (auto facts = ReadGoodsFacts(session_, line.hh)) request.unitName = facts->baseUnit;
    // Each place's quantity now is the line's batch's: summed over the goods' other batches it
    // showed more in a place than the line could take from it, or could have put there.
    if (!line.batchNo.empty()) {
      request.batchKnown = true;
      request.batchNo = line.batchNo, request.batchLine = line.batchLine;
    }
  }
  request.goodsNumber = gridLine ? vfgContent_.TextMatrix(vfgContent_.Row, 2) : Text("TxtHH");
  request.operatorCode = session_.OptCode;
  request.billType = warehouseId == Text("txtBrCKid") ? "WarehouseIn" : "WarehouseOut";
  request.viewOnly = viewFlag;
  return request;
}

// True when the clerk confirmed an allocation; places then holds it (they are handed in as
// where the allocation starts).
bool FrmStoreAdjuctBill::RunGoodsPlaceDialog(GoodsPlaceRequest request, std::vector<std::string>& places) {
  request.items = places;
  try {
    const GoodsPlaceAnswer answer = session_.Ui->ShowGoodsPlaces(request);
    if (answer.confirmed) places = answer.items;
    return answer.confirmed;
  } catch (const std::exception& error) {
    session_.Ui->MsgBox(ErrorText(error), mb::kInformation, kSystemTitle);
    return false;
  }
}

// Allocating the entry row: the dialog places the quantity that moves, in base units, labelled
// with the base unit, for the stored line the row amends or for a line not stored yet.
bool FrmStoreAdjuctBill::ShowGoodsPlaces(bool viewFlag, const std::string& warehouseId,
                                         std::vector<std::string>& places) {
  auto request = GoodsPlaceRequestFor(viewFlag, warehouseId);
  if (!request) return false;
  if (!viewFlag) {
    request->lineKey = entry_.IsAmendment() ? entry_.storedLine : kNewLineKey;
    request->quantity = adodb::FormatNumber(StoredQuantity(entry_.BaseQuantity()));  // as sl keeps it
    request->unitName = entry_.facts.baseUnit;
    if (entry_.HasGoods()) request->goodsNumber = entry_.goods;
    request->batchKnown = true;
    if (entry_.batch && LineCarriesBatch(HeaderOfBill(), entry_)) {
      request->batchNo = entry_.batch->number, request->batchLine = entry_.batch->line;
    }
  }
  return RunGoodsPlaceDialog(*request, places);
}

void FrmStoreAdjuctBill::CmdGoodsPlace_Click() { ViewGoodsPlaces(Text("TxtBcCkID")); }

void FrmStoreAdjuctBill::Command1_Click() { ViewGoodsPlaces(Text("txtBrCKid")); }

// A warehouse without goods places has none to show; the clerk is told so rather than left with
// a button that did nothing.
void FrmStoreAdjuctBill::ViewGoodsPlaces(const std::string& warehouseId) {
  if (warehouseId.empty() || KeepsGoodsPlaces(session_, warehouseId)) {
    std::vector<std::string> none;
    ShowGoodsPlaces(true, warehouseId, none);
    return;
  }
  session_.Ui->MsgBox("仓库[" + warehouseId + "]不按货位管理,没有货位可查看!", mb::kInformation, kSystemTitle);
}

}  // namespace storeadjust
