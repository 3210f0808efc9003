// The goods-place dialog as the editor runs it: to allocate the entry row's quantity over the
// in-warehouse's goods places before a save, or to view a line's places from the two "..."
// buttons (out-warehouse CmdGoodsPlace, in-warehouse Command1).
#include "editor/FrmStoreAdjuctBill.h"
#include "host/ErrorText.h"
#include "lines/GoodsPlaceAllocation.h"
#include "lines/GoodsPlaceRows.h"

namespace storeadjust {

namespace {

constexpr const char* kSystemTitle = "系统提示";

}  // namespace

// True when the clerk confirmed an allocation; GoodsPlaceList then holds it.
bool FrmStoreAdjuctBill::ShowGoodsPlaces(bool viewFlag, const std::string& warehouseId) {
  const auto refuse = [&](const char* text) {
    session_.Ui->MsgBox(text, mb::kInformation, kSystemTitle);
    return false;
  };
  if (warehouseId.empty()) return refuse("查看货位前必须输入仓库编号!");
  if (Text("TxtLSH").empty()) return refuse("查看货位前必须输入流水号!");
  const std::string currentLine = vfgContent_.TextMatrix(vfgContent_.Row, 1);
  if (currentLine.empty()) return refuse("查看货位前必须输入单号!");
  GoodsPlaceRequest request;
  request.connectionString = session_.ConnStr;
  request.warehouseId = warehouseId;
  request.billSerial = Text("TxtLSH");
  // Viewing shows the places of the line the grid points at; allocating is for the entry row,
  // which is that line only while it is being amended.
  const bool storedLine = (viewFlag || session_.IsAmendLine) && vfgContent_.Row >= 1;
  request.lineKey = storedLine ? currentLine : kNewLineKey;
  request.quantity = Text("TxtSl");
  request.goodsNumber = viewFlag && vfgContent_.Row >= 1 ? vfgContent_.TextMatrix(vfgContent_.Row, 2) : Text("TxtHH");
  request.operatorCode = session_.OptCode;
  request.billType = warehouseId == Text("txtBrCKid") ? "WarehouseIn" : "WarehouseOut";
  request.viewOnly = viewFlag;
  GoodsPlaceList.clear();
  try {
    const GoodsPlaceAnswer answer = session_.Ui->ShowGoodsPlaces(request);
    GoodsPlaceList = answer.items;
    return answer.confirmed;
  } catch (const std::exception& error) {
    session_.Ui->MsgBox(ErrorText(error), mb::kInformation, kSystemTitle);
    return false;
  }
}

void FrmStoreAdjuctBill::CmdGoodsPlace_Click() { ViewGoodsPlaces(Text("TxtBcCkID")); }

void FrmStoreAdjuctBill::Command1_Click() { ViewGoodsPlaces(Text("txtBrCKid")); }

// A warehouse without goods places has none to show; the clerk is told so rather than left with
// a button that did nothing.
void FrmStoreAdjuctBill::ViewGoodsPlaces(const std::string& warehouseId) {
  if (warehouseId.empty() || KeepsGoodsPlaces(session_, warehouseId)) {
    ShowGoodsPlaces(true, warehouseId);
    return;
  }
  session_.Ui->MsgBox("仓库[" + warehouseId + "]不按货位管理,没有货位可查看!", mb::kInformation, kSystemTitle);
}

}  // namespace storeadjust
