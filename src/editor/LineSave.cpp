// 保 存: the entry row checked and stored as a line of the bill, then the bill reloaded. The
// checks speak here; the writing is StoreLine's, in one transaction.
#include "adodb/Error.h"
#include "editor/FrmStoreAdjuctBill.h"
#include "host/DataHelpers.h"
#include "host/DataScopeProvider.h"
#include "host/ErrorText.h"
#include "host/LenientValues.h"
#include "host/SqlLiterals.h"
#include "lines/GoodsPlaceRows.h"
#include "lines/LineSaving.h"

namespace storeadjust {

namespace {

constexpr const char* kSystemTitle = "系统提示";
constexpr const char* kBillAudited = "此单据已审核，不能再添加数据!";
constexpr const char* kNoBatch = "您没有选择批号,请重新选择批号!";

}  // namespace

void FrmStoreAdjuctBill::SaveLine() {
  if (IsViewOnly) {
    session_.Ui->MsgBox("您以查看方式进入,无法对此单据进行保存!", mb::kExclamation, kSystemTitle);
    return;
  }
  if (!LineMayBeSaved()) return;
  std::optional<LineToSave> line = LineFromEntryRow();
  if (!line) return;
  if (!BillEditableInApproval("单据已经审批，不能修改！")) return;
  if (line->inWarehouseKeepsPlaces) {
    if (!ShowGoodsPlaces(false, Text("txtBrCKid"))) {
      session_.Ui->MsgBox("没有选择货位，不能保存!", mb::kInformation, kSystemTitle);
      return;
    }
    line->goodsPlaces = GoodsPlaceList;
  }
  StoreEntryRow(*line);
}

// The checks that refuse a line before anything is asked of the clerk.
bool FrmStoreAdjuctBill::LineMayBeSaved() {
  const std::string lsh = SqlText(session_.CurrentLSH);
  if (FlagIsSet(GetFieldValue(session_, "Select top 1 isnull(preshbz,0) preshbz from ckdbdzk where lsh=" + lsh, "preshbz")) ||
      FlagIsSet(GetFieldValue(session_, "Select top 1 shbz from ckdbdzk where lsh=" + lsh, "shbz"))) {
    session_.Ui->MsgBox(kBillAudited, mb::kInformation, kSystemTitle);
    return false;
  }
  if (Text("TxtHH").empty()) return RefuseUnder(kSystemTitle, "货号不能为空!", "TxtHH");
  auto goods = OpenRsReadOnly(session_, "select top 1 hh from yw_kck where hh=" + SqlText(Text("TxtHH")));
  if (!goods) return false;
  if (goods->RecordCount() < 1) return RefuseUnder(kSystemTitle, "没有此货号的品种请重新选择货号!", "TxtHH");
  for (const char* warehouse : {"TxtBcCkID", "txtBrCKid"}) {
    if (Text(warehouse).empty()) return RefuseUnder("提示:", "仓库编号不能为空!", warehouse);
  }
  if (!BillWarehousesAllowed()) return false;
  if (LineCarriesBatch() && !entry_.HasChosenBatch()) return RefuseUnder(kSystemTitle, kNoBatch, "TxtSl");
  return true;
}

bool FrmStoreAdjuctBill::LineCarriesBatch() const { return !session_.isNotPh && !entry_.IsAmountOnly; }

bool FrmStoreAdjuctBill::RefuseUnder(const std::string& title, const std::string& text, const std::string& focus) {
  session_.Ui->MsgBox(text, mb::kExclamation, title);
  SetFocus(focus);
  return false;
}

bool FrmStoreAdjuctBill::BillEditableInApproval(const std::string& refusal) {
  bool editable = false;
  try {
    CreateDataScopeProvider()->IsBillEditable(session_.ConnStr, kTransferBillTypeCode, Text("TxtLSH"), editable);
  } catch (const std::exception& error) {
    session_.Ui->MsgBox(ErrorText(error), mb::kExclamation, kSystemTitle);
    return false;
  }
  if (!editable) session_.Ui->MsgBox(refusal, mb::kInformation, kSystemTitle);
  return editable;
}

// What the line will be stored as: the header fields, the goods and batch, and the figures the
// fields show (each field that must hold a number is refused when it does not).
std::optional<LineToSave> FrmStoreAdjuctBill::LineFromEntryRow() {
  const auto quantity = NumberInField("TxtSl");
  if (!quantity) return std::nullopt;
  const auto retailTotal = NumberInField("TxtLsze");
  if (!retailTotal) return std::nullopt;
  const auto amountShown = NumberInField("TxtJe");
  if (!amountShown) return std::nullopt;
  LineToSave line;
  line.newBill = session_.IsNewBill && !session_.IsAmendLine;
  line.lsh = Text("TxtLSH");
  line.billDate = Text("DTPKdrq");
  line.outWarehouse = Text("TxtBcCkID");
  line.inWarehouse = Text("txtBrCKid");
  line.remark = Text("TxtBZ");
  line.operatorName = Text("TxtCzryName");
  line.amend = session_.IsAmendLine;
  line.dh = CurrentDH;
  line.hh = Text("TxtHH");
  line.goodsName = entry_.GoodsName;
  line.unitName = entry_.UnitName;
  if (LineCarriesBatch()) {
    line.batchNo = entry_.BatchColumn(1).TextOrEmpty();
    line.batchLine = entry_.BatchColumn(2).TextOrEmpty();
  }
  line.price = entry_.LinePrice;
  line.retailPrice = entry_.RetailPrice;
  line.figures = FiguresOf(*quantity, entry_.UnitCoefficient, entry_.LineAmount, *retailTotal, *amountShown,
                           entry_.TaxRate);
  line.inWarehouseKeepsPlaces = KeepsGoodsPlaces(session_, line.inWarehouse);
  return line;
}

void FrmStoreAdjuctBill::StoreEntryRow(const LineToSave& line) {
  SavedLine saved;
  try {
    saved = StoreLine(session_, line);
  } catch (const adodb::Error& error) {
    if (error.Number() == adodb::errnum::kIntegrityViolation) {
      session_.Ui->MsgBox(error.Description() + "\n有另一个操作员同时建立了信息,请再次点击“保存”按钮！", mb::kExclamation,
                          kSystemTitle);
    } else {
      session_.Ui->MsgBox(error.Description(), mb::kCritical, "错误:");
    }
    return;
  }
  if (saved.outcome == LineSaveOutcome::BillAudited) {
    session_.Ui->MsgBox(kBillAudited, mb::kInformation, kSystemTitle);
    return;
  }
  if (LineCarriesBatch()) entry_.VoidBatchChoice();
  session_.CurrentLSH = saved.lsh;
  CurrentDH = saved.dh;
  ShowSerial(saved.lsh);
  std::string lsh = saved.lsh;
  AmendAddNew(lsh);
}

}  // namespace storeadjust
