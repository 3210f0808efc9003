// Enter in the two warehouse fields of the header: the typed id, a KM5 prefix or the whole list,
// never the other side's warehouse and only the warehouses the operator may use. Focus moves on
// whether or not a warehouse was found; a warehouse not found is said in the status line, and the
// save refuses it (BillWarehousesAllowed).
#include "adodb/TextCompare.h"
#include "editor/FrmStoreAdjuctBill.h"
#include "editor/WarehouseLookup.h"
#include "host/KeyCodes.h"
#include "host/OperatorScope.h"
#include "host/UserInterface.h"
#include "lines/LineSaving.h"
#include "lines/WarehouseCheck.h"

namespace storeadjust {

namespace {

constexpr const char* kSameWarehouse = "拨入仓库和拨出仓库不能为同一个仓库!";

}  // namespace

void FrmStoreAdjuctBill::TxtBcCkIDKeyDown(int keyCode) {
  if (keyCode == key::kReturn) EnterWarehouse(true);
}

void FrmStoreAdjuctBill::txtBrCKidKeyDown(int keyCode) {
  if (keyCode == key::kReturn) EnterWarehouse(false);
  if (keyCode == key::kUp) {
    SetFocus("TxtBcCkID");
    subTxtGotFocus("TxtBcCkID");
  }
}

// The two ids are compared as the database compares them, so "01 " is the warehouse 01.
void FrmStoreAdjuctBill::EnterWarehouse(bool outSide) {
  const std::string idField = outSide ? "TxtBcCkID" : "txtBrCKid";
  const std::string nameField = outSide ? "txtBcCkName" : "txtBrCkName";
  const std::string typed = Text(idField);
  const std::string other = Text(outSide ? "txtBrCKid" : "TxtBcCkID");
  if (!typed.empty() && !other.empty() && adodb::CompareValues(typed, other) == 0) {
    session_.Ui->MsgBox(kSameWarehouse, mb::kOkOnly, "系统提示");
    SetText(idField, "");
    SetText(nameField, "");
    return;
  }
  try {
    const std::string scope = OperatorScopeCondition(session_, "ID", kWarehouseScope);
    const WarehouseChoice choice =
        LookUpWarehouse(session_, outSide ? OutStockSelectSql : InStockSelectSql,
                        outSide ? WarehouseSide::Out : WarehouseSide::In, typed, other, scope);
    // A name left from an earlier warehouse would describe another id than the one shown.
    SetText(idField, choice.found ? choice.id : typed);
    SetText(nameField, choice.found ? choice.name : "");
    if (!choice.found && !typed.empty()) ShowStatusNote("没有找到符合“" + typed + "”的仓库");
    if (choice.found) TellWarehousesKept();
  } catch (const std::exception& error) {
    ShowLookupFailure(error);
  }
  // The panel's stocks are those of the warehouses in the fields.
  RefreshGoodsInfo();
  SetFocus(outSide ? "txtBrCKid" : "TxtHH");
}

// A bill with lines stored keeps its warehouses, which the save refuses to change: the status line
// tells the clerk before a line is entered. The field keeps what was found, so that the goods panel
// shows that warehouse's stock.
void FrmStoreAdjuctBill::TellWarehousesKept() {
  if (newBill_ || lsh_.empty() ||
      !WarehousesKeptByLines(session_, lsh_, Text("TxtBcCkID"), Text("txtBrCKid"), entry_.storedLine)) {
    return;
  }
  ShowStatusNote(kWarehousesKept);
}

// A line is stored only between two warehouses that exist and that the operator may use, however
// the ids got into the fields (typed without Enter, left from a lookup that found nothing).
bool FrmStoreAdjuctBill::BillWarehousesAllowed() {
  WarehouseVerdict verdict;
  try {
    verdict = CheckBillWarehouses(session_, Text("TxtBcCkID"), Text("txtBrCKid"));
  } catch (const std::exception& error) {
    ShowLookupFailure(error);
    return false;
  }
  const std::string field = verdict.outSide ? "TxtBcCkID" : "txtBrCKid";
  switch (verdict.fault) {
    case WarehouseFault::None:
      // The line names its warehouses as gl_stock does, not as they were typed ("01 ", "a1").
      SetText("TxtBcCkID", verdict.outId);
      SetText("txtBrCKid", verdict.inId);
      return true;
    case WarehouseFault::Missing: return RefuseUnder("提示:", "仓库编号不存在!", field);
    case WarehouseFault::OutsideScope: return RefuseUnder("提示:", "此仓库不在你的数据权限范围内!", field);
    case WarehouseFault::Same: return RefuseUnder("提示:", kSameWarehouse, field);
  }
  return false;
}

}  // namespace storeadjust
