// Enter in the two warehouse fields of the header: the typed id, a KM5 prefix or the whole list,
// never the other side's warehouse and only the warehouses the operator may use. Focus moves on
// whether or not a warehouse was found.
#include "editor/FrmStoreAdjuctBill.h"
#include "editor/WarehouseLookup.h"
#include "host/KeyCodes.h"
#include "host/OperatorScope.h"
#include "host/UserInterface.h"

namespace storeadjust {

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

void FrmStoreAdjuctBill::EnterWarehouse(bool outSide) {
  const std::string idField = outSide ? "TxtBcCkID" : "txtBrCKid";
  const std::string nameField = outSide ? "txtBcCkName" : "txtBrCkName";
  const std::string typed = Text(idField);
  const std::string other = Text(outSide ? "txtBrCKid" : "TxtBcCkID");
  if (!typed.empty() && typed == other) {
    session_.Ui->MsgBox("拨入仓库和拨出仓库不能为同一个仓库!", mb::kOkOnly, "系统提示");
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
  } catch (const std::exception& error) {
    ShowLookupFailure(error);
  }
  SetFocus(outSide ? "txtBrCKid" : "TxtHH");
}

}  // namespace storeadjust
