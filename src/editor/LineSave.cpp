// 保 存: the entry row checked and stored as a line of the bill, then the bill reloaded. The
// checks speak here; the line stored is LineOf(header, entry row), written by StoreLine in one
// transaction. The save reads the figures the fields show, so what is stored is what the clerk
// saw.
#include "adodb/Date.h"
#include "adodb/Error.h"
#include "adodb/TextCompare.h"
#include "editor/FrmStoreAdjuctBill.h"
#include "host/DataHelpers.h"
#include "host/DataScopeProvider.h"
#include "host/ErrorText.h"
#include "host/LenientValues.h"
#include "host/MessageTitles.h"
#include "host/Rights.h"
#include "lines/GoodsPlaceRows.h"
#include "lines/LineOf.h"
#include "lines/LineSaving.h"

namespace storeadjust {

namespace {

constexpr const char* kBillAudited = "此单据已审核，不能再添加数据!";
constexpr const char* kHeldByApprovalOnSave = "单据已经审批，不能修改！";
constexpr const char* kNoSuchGoods = "没有此货号的品种请重新选择货号!";
constexpr const char* kNoBatch = "您没有选择批号,请重新选择批号!";
constexpr const char* kBatchOfAnotherWarehouse = "拨出仓库已改变,请重新选择批号!";
constexpr const char* kReturnOfAnotherWarehouse = "拨入仓库已改变,请重新选择批号!";
constexpr const char* kGoodsTypedOver = "货号已改变,请按回车键重新选择货号!";
constexpr const char* kQuantityChanged = "数量已改变,请按回车键重新选择批号!";
constexpr const char* kQuantityNotJudged = "数量没有确认,请在数量中按回车键!";
constexpr const char* kUnitTypedOver = "计量单位已改变,请按回车键重新选择计量单位!";
constexpr const char* kNowAmountOnly = "此商品已改为金额品种,请按回车键重新选择货号!";
constexpr const char* kNoLongerAmountOnly = "此商品已不再是金额品种,请按回车键重新选择货号!";

// The remark goes into the header's and the line's bz, nvarchar(255): a server refuses a longer one
// with its own words, and the embedded database would keep what the column cannot hold.
constexpr std::size_t kRemarkLength = 255;
constexpr const char* kRemarkTooLong = "备注不能超过255个字!";

// The bill date goes into a datetime column, which holds no day before 1753: a server refuses an
// earlier one with its own words, and so does the embedded database.
constexpr int kFirstStoredYear = 1753;
constexpr const char* kDateTooEarly = "开单日期不能早于1753-01-01!";

// Characters as an nvarchar column counts them: UTF-16 units, two for a character beyond the
// Basic Multilingual Plane (a four-byte UTF-8 sequence).
std::size_t RemarkUnits(const std::string& text) {
  std::size_t units = 0;
  for (unsigned char c : text) {
    if ((c & 0xC0) != 0x80) units += c >= 0xF0 ? 2 : 1;
  }
  return units;
}

}  // namespace

void FrmStoreAdjuctBill::SaveLine() {
  if (!RefuseViewOnly("保存")) return;
  if (!LineMayBeSaved()) return;
  if (!TakeFiguresFromFields()) return;
  const BillHeader header = HeaderOfBill();
  // A new bill's first line goes under a serial built afresh: what the approval flow holds under
  // the serial shown is another clerk's bill begun at the same moment.
  if (!newBill_ && !BillEditableInApproval(kHeldByApprovalOnSave)) return;
  if (LineCarriesBatch(header, entry_) && !BatchExpiryAcceptedOnBillDate()) return;
  if (header.inWarehouseKeepsPlaces) {
    std::vector<std::string> places = entry_.goodsPlaces;
    if (!ShowGoodsPlaces(false, header.inWarehouse, places)) {
      session_.Ui->MsgBox("没有选择货位，不能保存!", mb::kInformation, kSystemTitle);
      return;
    }
    entry_.goodsPlaces = places;
  }
  const LineToSave line = LineOf(header, entry_);
  if (header.inWarehouseKeepsPlaces &&
      !PlacesCoverLine({"", "", line.hh, line.inWarehouse, line.batchNo, line.batchLine, line.goodsPlaces},
                       line.figures.baseQty)) {
    return;
  }
  StoreEntryRow(line);
}

// Audited, perhaps by another clerk since it was opened here: after the refusal the editor shows
// the bill as stored.
void FrmStoreAdjuctBill::RefuseAuditedBill() {
  session_.Ui->MsgBox(kBillAudited, mb::kInformation, kSystemTitle);
  ShowBillAsStored();
}

// A bill opened to view only takes no change to its lines; the clerk is told which change.
bool FrmStoreAdjuctBill::RefuseViewOnly(const std::string& change) {
  if (!IsViewOnly()) return true;
  session_.Ui->MsgBox("您以查看方式进入,无法对此单据进行" + change + "!", mb::kExclamation, kSystemTitle);
  return false;
}

bool FrmStoreAdjuctBill::StoredBillAudited() {
  const adodb::BoundValues lsh = {adodb::BoundText(lsh_)};
  return FlagIsSet(GetFieldValue(session_, "Select top 1 isnull(preshbz,0) preshbz from ckdbdzk where lsh=?", "preshbz", lsh)) ||
         FlagIsSet(GetFieldValue(session_, "Select top 1 shbz from ckdbdzk where lsh=?", "shbz", lsh));
}

// The checks that refuse a line before anything is asked of the clerk. A bill not stored yet is
// audited by no one: the serial it shows may meanwhile name another clerk's bill, and its first
// line is stored under a serial built afresh. A goods number typed over without Enter is never
// saved: the price, amounts and panel on screen are the goods looked up before, so the clerk is
// sent back to take the goods typed; so is a unit code typed over.
bool FrmStoreAdjuctBill::LineMayBeSaved() {
  // A new bill's first line makes the bill. The editor also opens on a new bill for 修改 over an
  // empty list, where its own 新增 was refused: without the right no bill is made that way either.
  if (newBill_ && !HoldsModuleRight(session_, "新增")) return false;
  if (!newBill_ && StoredBillAudited()) {
    RefuseAuditedBill();
    return false;
  }
  if (Text("TxtHH").empty()) return RefuseUnder(kSystemTitle, "货号不能为空!", "TxtHH");
  auto goods = OpenRsReadOnly(session_, "select top 1 hh from yw_kck where hh=?", {adodb::BoundText(Text("TxtHH"))});
  if (!goods) return false;
  std::optional<GoodsFacts> typedOver;
  if (!entry_.HasGoods()) typedOver = ReadGoodsFacts(session_, Text("TxtHH"));
  if (goods->RecordCount() < 1 || (!entry_.HasGoods() && !typedOver)) {
    return RefuseUnder(kSystemTitle, kNoSuchGoods, "TxtHH");
  }
  for (const char* warehouse : {"TxtBcCkID", "txtBrCKid"}) {
    if (Text(warehouse).empty()) return RefuseUnder("提示:", "仓库编号不能为空!", warehouse);
  }
  if (!BillWarehousesAllowed()) return false;
  if (RemarkUnits(Text("TxtBZ")) > kRemarkLength) return RefuseUnder(kSystemTitle, kRemarkTooLong, "TxtBZ");
  if (const auto date = adodb::Date::Parse(Text("DTPKdrq")); date && date->year < kFirstStoredYear) {
    return RefuseUnder(kSystemTitle, kDateTooEarly, "DTPKdrq");
  }
  if (typedOver) {
    EntryRow typed;
    typed.facts = *typedOver;
    if (CarriesBatch(typed)) return RefuseUnder(kSystemTitle, kNoBatch, "TxtSl");
    return RefuseUnder(kSystemTitle, kGoodsTypedOver, "TxtHH");
  }
  // A unit code typed over without Enter is not the unit the row was entered in: the line would be
  // stored in the unit whose name and coefficient still stand beside the code typed.
  if (adodb::CompareValues(Text("txtJl"), entry_.unit.code) != 0) {
    return RefuseUnder(kSystemTitle, kUnitTypedOver, "txtJl");
  }
  if (!CarriesBatch(entry_)) {
    // Without batches Enter in the quantity is the only judge of the stock: a quantity or warehouse
    // changed after it, or a line saved without it, would be stored however far it went past what
    // bz3 allows.
    const std::optional<StockJudgement>& judged = entry_.stockJudged;
    const bool judgedAsShown = judged && SameQuantity(judged->baseQuantity, entry_.BaseQuantity()) &&
                               adodb::CompareValues(judged->outWarehouse, Text("TxtBcCkID")) == 0 &&
                               adodb::CompareValues(judged->inWarehouse, Text("txtBrCKid")) == 0;
    if (session_.isNotPh && !entry_.facts.amountOnly && !judgedAsShown) {
      return RefuseUnder(kSystemTitle, kQuantityNotJudged, "TxtSl");
    }
    return true;
  }
  if (!entry_.batch) return RefuseUnder(kSystemTitle, kNoBatch, "TxtSl");
  // A batch chosen before the out-warehouse was changed is one of the other warehouse's: the line
  // would leave from a batch its out-warehouse need not hold.
  if (adodb::CompareValues(entry_.batch->warehouse, Text("TxtBcCkID")) != 0) {
    return RefuseUnder(kSystemTitle, kBatchOfAnotherWarehouse, "TxtSl");
  }
  // A return takes its goods back out of the in-warehouse, whose stock and batch the quantity step
  // judged: another in-warehouse need hold neither, and bz3 would be passed by unasked.
  if (entry_.BaseQuantity() < 0 && adodb::CompareValues(entry_.batch->inWarehouse, Text("txtBrCKid")) != 0) {
    return RefuseUnder(kSystemTitle, kReturnOfAnotherWarehouse, "TxtSl");
  }
  // A quantity (or unit) changed after the batch was chosen was judged against neither the stock
  // nor the batch; turned negative, it would take goods back into a batch of the other warehouse.
  if (!SameQuantity(entry_.batch->chosenFor, entry_.BaseQuantity())) {
    return RefuseUnder(kSystemTitle, kQuantityChanged, "TxtSl");
  }
  return true;
}

// The batch's expiry was judged against the bill date it was chosen under: a date moved since may
// have passed it, and the batch would leave expired without the clerk's word. No leaves the row
// as it is, for the date to be put back or another batch chosen.
bool FrmStoreAdjuctBill::BatchExpiryAcceptedOnBillDate() {
  const adodb::Date billDate = BillDate();
  if (entry_.batch->expiryJudgedOn == billDate) return true;
  if (!ExpiredBatchAccepted(*entry_.batch)) {
    SetFocus("TxtSl");
    return false;
  }
  entry_.batch->expiryJudgedOn = billDate;
  return true;
}

bool FrmStoreAdjuctBill::RefuseUnder(const std::string& title, const std::string& text, const std::string& focus) {
  session_.Ui->MsgBox(text, mb::kExclamation, title);
  SetFocus(focus);
  return false;
}

bool FrmStoreAdjuctBill::BillEditableInApproval(const std::string& refusal) {
  bool editable = false;
  try {
    editable = TransferBillEditable(*CreateDataScopeProvider(), session_.ConnStr, Text("TxtLSH"));
  } catch (const std::exception& error) {
    session_.Ui->MsgBox(ErrorText(error), mb::kExclamation, kSystemTitle);
    return false;
  }
  if (!editable) session_.Ui->MsgBox(refusal, mb::kInformation, kSystemTitle);
  return editable;
}

// The places the dialog answered, for a line of lineQty base units: the save and the
// re-allocation of a pre-audited line refuse the same allocations in the same words, before
// anything is written. Goods going back leave each place only as much of the batch as it holds:
// the audit would refuse the bill for it later, with words that name no place.
bool FrmStoreAdjuctBill::PlacesCoverLine(const LineGoodsPlaces& placed, double lineQty) {
  const PlacesCheck check = CheckLinePlaces(placed.items, lineQty);
  switch (check.verdict) {
    case PlacesVerdict::Agree:
      break;
    case PlacesVerdict::QuantityNotNumber:
      session_.Ui->MsgBox("货位数量必须是数字!", mb::kInformation, kSystemTitle);
      return false;
    case PlacesVerdict::TotalDiffers:
      session_.Ui->MsgBox("货位数量合计" + adodb::FormatNumber(check.placed) + "与调拨数量" +
                              adodb::FormatNumber(lineQty) + "不符,不能保存!",
                          mb::kInformation, kSystemTitle);
      return false;
    case PlacesVerdict::SignDiffers:
      session_.Ui->MsgBox("货位数量不能与调拨数量异号!", mb::kInformation, kSystemTitle);
      return false;
  }
  std::optional<PlaceShortage> shortage;
  try {
    shortage = PlaceGivingMoreThanItHolds(session_, placed);
  } catch (const std::exception& error) {
    session_.Ui->MsgBox(ErrorText(error), mb::kExclamation, kSystemTitle);
    return false;
  }
  if (!shortage) return true;
  session_.Ui->MsgBox(PlaceShortageText(*shortage) + ",请重新选择货位!", mb::kInformation, kSystemTitle);
  return false;
}

// Another clerk moved the bill's date, which this clerk left as loaded, past the line's batch's
// expiry, or the batch's expiry into the past: the date is shown as stored, and the batch leaves on
// the clerk's word for that date, as when he moves the date himself. No leaves the row as it is.
void FrmStoreAdjuctBill::SaveOnStoredBillDate(LineToSave line, const std::string& storedDate) {
  if (storedDate != Text("DTPKdrq")) {
    SetText("DTPKdrq", storedDate);
    shownAsStored_["DTPKdrq"] = storedDate;
  }
  if (!entry_.batch || !ExpiredBatchAccepted(*entry_.batch)) {
    SetFocus("TxtSl");
    return;
  }
  entry_.batch->expiryJudgedOn = BillDate();
  line.billDate = storedDate;
  if (line.headerAsLoaded) line.headerAsLoaded->billDate = storedDate;
  line.expiryJudgedOn = storedDate;
  line.expiredAccepted = entry_.batch->expiredAccepted;
  StoreEntryRow(line);
}

// A save that another clerk's change made void wrote nothing: the entry row is emptied and the
// lines are listed as stored, however few are left (the bill's reload would fail on none).
void FrmStoreAdjuctBill::ShowVoidSave(const std::string& message, const std::string& note) {
  session_.Ui->MsgBox(message, mb::kExclamation, kSystemTitle);
  ClearEntryRow();
  ListLinesAsStored(note);
  SetFocus("TxtHH");
}

// Only a duplicate key is another clerk storing the same key at the same moment; a file that
// cannot be written just now is said in words; any other failure (a NOT NULL or CHECK
// constraint a site added, say) shows the database's own words.
void FrmStoreAdjuctBill::ShowSaveFailure(const adodb::Error& error) {
  if (error.IsDuplicateKey()) {
    session_.Ui->MsgBox(error.Description() + "\n有另一个操作员同时建立了信息,请再次点击“保存”按钮！", mb::kExclamation,
                        kSystemTitle);
  } else if (error.GetHindrance() != adodb::Error::Hindrance::None) {
    session_.Ui->MsgBox(ErrorText(error), mb::kExclamation, kSystemTitle);  // nothing wrong with the bill
  } else {
    session_.Ui->MsgBox(ErrorText(error), mb::kCritical, "错误:");
  }
}

void FrmStoreAdjuctBill::StoreEntryRow(const LineToSave& line) {
  SavedLine saved;
  try {
    saved = StoreLine(session_, line);
  } catch (const adodb::Error& error) {
    return ShowSaveFailure(error);
  }
  if (saved.outcome == LineSaveOutcome::BillAudited) return RefuseAuditedBill();
  if (saved.outcome == LineSaveOutcome::NoRight) return RefuseRightTakenAway();
  if (saved.outcome == LineSaveOutcome::OutsideScope) {
    RefuseUnder("提示:", "此仓库不在你的数据权限范围内!", saved.outWarehouse ? "TxtBcCkID" : "txtBrCKid");
    return;
  }
  if (saved.outcome == LineSaveOutcome::GoodsGone) {
    RefuseUnder(kSystemTitle, kNoSuchGoods, "TxtHH");
    return;
  }
  if (saved.outcome == LineSaveOutcome::UnitChanged) {
    RefuseUnder(kSystemTitle, kUnitTypedOver, "txtJl");
    return;
  }
  if (saved.outcome == LineSaveOutcome::KeepingChanged) {
    RefuseUnder(kSystemTitle,
                "货号: " + line.hh + "\r\n" + (line.amountOnly.value_or(false) ? kNoLongerAmountOnly : kNowAmountOnly),
                "TxtHH");
    return;
  }
  if (saved.outcome == LineSaveOutcome::PlacesNeeded) {
    session_.Ui->MsgBox("没有选择货位，不能保存!", mb::kInformation, kSystemTitle);
    return;
  }
  // The row keeps its places: the dialog, opened again by the next 保存, shows the one removed.
  if (saved.outcome == LineSaveOutcome::PlaceGone) {
    session_.Ui->MsgBox("货位[" + saved.placeNo + "]已不存在,请重新选择货位!", mb::kInformation, kSystemTitle);
    return;
  }
  if (saved.outcome == LineSaveOutcome::PlaceShort) {
    session_.Ui->MsgBox(PlaceShortageText(saved.shortage) + ",请重新选择货位!", mb::kInformation, kSystemTitle);
    return;
  }
  if (saved.outcome == LineSaveOutcome::BatchExpired) return SaveOnStoredBillDate(line, saved.billDate);
  // The date moved is the whole bill's: a stored line's batch expired on it leaves on the clerk's
  // word too. No leaves the bill as stored, for the date to be put back.
  if (saved.outcome == LineSaveOutcome::StoredLineExpired) {
    if (!Ask("批号 " + saved.expiredBatch + " 已过期 " + std::to_string(saved.expiredDays) + " 天，是否继续？[Y/N]")) {
      return SetFocus("DTPKdrq");
    }
    LineToSave accepted = line;
    accepted.expiredLinesAccepted.push_back(saved.expiredLine);
    return StoreEntryRow(accepted);
  }
  // Refused as the quantity step refuses a shortage the site forbids: the row stays, for the clerk
  // to enter a quantity the stock covers.
  if (saved.outcome == LineSaveOutcome::ShortageForbidden) return Refuse("库存数量不足!", "TxtSl");
  // Another clerk took the stock the line was judged covered by: asked as the quantity step asks,
  // now that nothing is open, and saved again on the clerk's word.
  if (saved.outcome == LineSaveOutcome::ShortageToAccept) {
    if (!Ask("库存数量不足,是否继续？[Y/N]")) return SetFocus("TxtSl");
    entry_.shortageAccepted = true;
    LineToSave accepted = line;
    accepted.shortageAccepted = true;
    return StoreEntryRow(accepted);
  }
  // The batch went or was taken from meanwhile: refused, or asked, as the quantity step does; a
  // batch gone, or a shortage declined, is chosen again.
  if (saved.outcome == LineSaveOutcome::BatchGone || saved.outcome == LineSaveOutcome::BatchShortToAccept) {
    if (saved.outcome == LineSaveOutcome::BatchGone) {
      session_.Ui->MsgBox("批号[" + line.batchNo + "]已不存在,请重新选择批号!", mb::kExclamation, kSystemTitle);
    } else if (Ask("批次数量小于用户输入数量,是否继续？[Y/N]")) {
      if (entry_.batch) entry_.batch->shortAccepted = true;
      LineToSave accepted = line;
      accepted.batchShortAccepted = true;
      return StoreEntryRow(accepted);
    }
    entry_.batch.reset();
    ShowBatch();
    return SetFocus("TxtSl");
  }
  if (saved.outcome == LineSaveOutcome::HeldByApproval) {
    session_.Ui->MsgBox(kHeldByApprovalOnSave, mb::kInformation, kSystemTitle);
    return;
  }
  if (saved.outcome == LineSaveOutcome::LineGone) {
    return ShowVoidSave("单号为[" + line.dh + "]的数据已被其他操作员删除,修改没有保存!", LineGoneNote(line.dh));
  }
  if (saved.outcome == LineSaveOutcome::LineChanged) {
    return ShowVoidSave("单号为[" + line.dh + "]的数据已被其他操作员修改,修改没有保存!",
                        "单号 " + line.dh + " 的明细已被其他操作员修改，已重新列出明细");
  }
  if (saved.outcome == LineSaveOutcome::WarehousesKept) {
    session_.Ui->MsgBox(kWarehousesKept, mb::kExclamation, kSystemTitle);
    // The entry row's goods and batch were looked up in the warehouses typed: it is entered again
    // against the bill's own. A remark or date typed goes on to the next save, as the clerk wrote it.
    const auto typedHeader = TypedHeaderFields();
    std::string lsh = saved.lsh;
    AmendAddNew(lsh);
    for (const auto& [field, text] : typedHeader) {
      if (field == "TxtBZ" || field == "DTPKdrq") SetText(field, text);
    }
    return;
  }
  if (saved.outcome == LineSaveOutcome::BillGone) {
    // A second 保存 of the same row would write the bill again with this line alone, as one the
    // clerk had emptied: the row is entered again only on purpose.
    return ShowVoidSave("流水号为[" + saved.lsh + "]的单据已被其他操作员删除,没有保存!",
                        "流水号为 " + saved.lsh + " 的单据已不存在");
  }
  ShowSerial(saved.lsh);
  std::string lsh = saved.lsh;
  AmendAddNew(lsh, saved.dh);  // the clerk goes on from the line he saved
}

}  // namespace storeadjust
