// 修改 and 删除 on the lines grid: a stored line loaded back into the entry row for the next save
// to update, or deleted with its goods places; a pre-audited bill's line may only get new
// in-warehouse goods places. Bills past entry are refused with a word, never silently.
#include <algorithm>

#include "adodb/Error.h"
#include "editor/FrmStoreAdjuctBill.h"
#include "host/DataHelpers.h"
#include "host/ErrorText.h"
#include "host/MessageTitles.h"
#include "host/RequireOpened.h"
#include "host/Rights.h"
#include "lines/BillHeaderState.h"
#include "lines/GoodsFacts.h"
#include "lines/LineChanges.h"
#include "lines/LineSaving.h"
#include "lines/StoredBillLines.h"
#include "lines/StoredEntryRow.h"
#include "states/BillSnapshot.h"

namespace storeadjust {

namespace {

constexpr const char* kHeldByApprovalOnDelete = "单据已经审批，不能删除！";

}  // namespace

std::string FrmStoreAdjuctBill::LineGoneNote(const std::string& dh) {
  return "单号 " + dh + " 的明细已不在单据中，已重新列出明细";
}

void FrmStoreAdjuctBill::Cmd_Amend_Click() {
  if (!HoldsModuleRight(session_, "修改")) return;
  if (!ListsLines("修改") || vfgContent_.Row < 1) return;
  if (!RefuseViewOnly("修改")) return;
  AmendLine(Text("TxtLSH"), vfgContent_.TextMatrix(vfgContent_.Row, 1));
}

void FrmStoreAdjuctBill::AmendLine(const std::string& lsh, const std::string& dh) {
  const StoredLine line = ReadStoredLine(session_, lsh, dh);
  if (line.stage == BillStage::Missing) return ListLinesAsStored(LineGoneNote(dh));
  const bool preAuditedTwoStep = IsStartStoreAdjustOK && line.stage == BillStage::PreAudited;
  if (line.stage != BillStage::Open && !preAuditedTwoStep) {
    return RefuseLineChange("此单据已审核，不能修改!");
  }
  // The line taken into the entry row (or its quantity, for the places) replaces the row typed.
  if (!MayDropUnsavedInput("修改", false)) return;
  if (preAuditedTwoStep) return ReallocateLinePlaces(lsh, dh, line);
  LoadLineIntoEntryRow(lsh, dh);
}

// The goods have left the out-warehouse; only where they will lie in the in-warehouse may change,
// and only where that warehouse keeps goods places.
void FrmStoreAdjuctBill::ReallocateLinePlaces(const std::string& lsh, const std::string& dh, const StoredLine& line) {
  if (!KeepsGoodsPlaces(session_, line.inWarehouse)) {
    return RefuseLineChange("此单据已审核，不能修改!");
  }
  SetText("TxtSl", adodb::FormatNumber(line.baseQty));
  shownAsStored_["TxtSl"] = Text("TxtSl");  // put there for the dialog, not typed
  auto request = GoodsPlaceRequestFor(false, line.inWarehouse);
  if (!request) return;
  request->lineKey = dh;
  request->goodsNumber = line.hh;
  request->quantity = adodb::FormatNumber(line.baseQty);
  request->batchKnown = true;
  request->batchNo = line.batchNo, request->batchLine = line.batchLine;
  if (auto facts = ReadGoodsFacts(session_, line.hh)) request->unitName = facts->baseUnit;
  // The dialog opens on the line's places as stored now: the clerk chooses from those. It opened
  // for a warehouse that keeps places; switched off meanwhile, the line is still the one shown.
  std::optional<BillLineValues> shown;
  try {
    shown = ReadBillLine(*session_.Conn, lsh, dh, true);
  } catch (const std::exception& error) {
    session_.Ui->MsgBox(ErrorText(error), mb::kExclamation, kSystemTitle);
    return;
  }
  std::vector<std::string> places;
  const bool allocated = RunGoodsPlaceDialog(*request, places);
  if (!allocated) {
    session_.Ui->MsgBox("没有选择货位，修改取消!", mb::kInformation, kSystemTitle);
    return;
  }
  // Refused, the line keeps the places it has: the confirm books those.
  const LineGoodsPlaces placed{lsh, dh, line.hh, line.inWarehouse, line.batchNo, line.batchLine, places};
  if (!PlacesCoverLine(placed, line.baseQty)) return;
  PlacesReallocation done = PlacesReallocation::Replaced;
  std::string placeGone;
  PlaceShortage shortage;
  try {
    done = ReallocateInWarehousePlaces(session_, placed, line.baseQty, &placeGone, shown, &shortage);
  } catch (const std::exception& error) {
    session_.Ui->MsgBox(ErrorText(error), mb::kExclamation, kSystemTitle);
    return;
  }
  if (done == PlacesReallocation::BillNotPreAudited) return RefusePlacesOfBillMovedOn(lsh, dh);
  if (done == PlacesReallocation::NoRight) return RefuseRightTakenAway();
  // Refused as when the warehouse kept none as the clerk began: only its places could change.
  if (done == PlacesReallocation::PlacesNotKept) return RefuseLineChange("此单据已审核，不能修改!");
  if (done == PlacesReallocation::PlaceShort) {
    session_.Ui->MsgBox(PlaceShortageText(shortage) + ",请重新选择货位!", mb::kInformation, kSystemTitle);
    return;
  }
  if (done == PlacesReallocation::PlaceGone) {
    session_.Ui->MsgBox("货位[" + placeGone + "]已不存在,请重新选择货位!", mb::kInformation, kSystemTitle);
    return;
  }
  // Taken back, changed and audited again by another clerk while the places were being chosen:
  // the places were chosen for a line that is no more.
  if (done == PlacesReallocation::LineGone) {
    session_.Ui->MsgBox("单号为[" + dh + "]的数据已被其他操作员删除,修改没有保存!", mb::kExclamation, kSystemTitle);
    return ListLinesAsStored(LineGoneNote(dh));
  }
  if (done == PlacesReallocation::LineChanged) {
    session_.Ui->MsgBox("单号为[" + dh + "]的数据已被其他操作员修改,修改没有保存!", mb::kExclamation, kSystemTitle);
    return ListLinesAsStored("单号 " + dh + " 的明细已被其他操作员修改，已重新列出明细");
  }
  // The places are part of the line the grid lists, which a confirm compares with the stored one.
  FillLinesGrid(lsh);
}

// The stored line becomes the entry row whole: goods facts, unit and coefficient, price,
// amounts, batch and goods places; saving it unchanged stores it as it was. The header fields
// show the bill as stored, its remark too: the save writes 备注 into the header, where the
// line's own older remark would replace the bill's. A header field the clerk typed over and has
// not saved keeps his text: the header is saved with a line, and this line's save is his way to it.
void FrmStoreAdjuctBill::LoadLineIntoEntryRow(const std::string& lsh, const std::string& dh) {
  try {
    auto rs = RequireOpened(OpenRsReadOnly(
        session_, "select *,d.name as dcckname,e.name as drckname,a.hh,a.dj,a.sl,a.je,a.lsze,a.srsl,a.kh,b.bz "
                  "from ckdbdzkmx a inner join ckdbdzk b on a.lsh = b.lsh left join gl_stock d on b.dcstockid=d.id "
                  "left join gl_stock e on b.drstockid=e.id where b.lsh=? and a.dh=?",
        {adodb::BoundText(lsh), adodb::BoundText(dh)}));
    if (rs->RecordCount() < 1) return;
    rs->MoveFirst();
    std::optional<EntryRow> row = ReadStoredEntryRow(session_, lsh, dh);
    if (!row) return;
    const auto typedHeader = TypedHeaderFields();
    FillHeaderFields(*rs, lsh);
    for (const auto& [field, text] : typedHeader) SetText(field, text);
    rs->Close();
    // Leaving the price or quantity field works the amounts out of them: that happens to the row
    // given up, before the stored line's own figures are shown.
    SetFocus("TxtHH");
    lsh_ = lsh;
    newBill_ = false;
    entry_ = std::move(*row);
    ShowEntryRow();
    lineAsLoaded_ = entry_;
    lineAsLoadedLsh_ = lsh;
    EntryRowShownAsStored();
    // The panel shows the goods being amended, not those of the line highlighted before.
    ShowGoodsInfo(lsh, entry_.goods);
  } catch (const std::exception& error) {
    session_.Ui->MsgBox(ErrorText(error), mb::kExclamation, kSystemTitle);
  }
}

void FrmStoreAdjuctBill::Cmd_Delete_Click() {
  if (!HoldsModuleRight(session_, "删除")) return;
  if (!ListsLines("删除")) return;
  if (!RefuseViewOnly("删除")) return;
  if (!BillEditableInApproval(kHeldByApprovalOnDelete)) return;
  // The clerk stays on the line, or once it is deleted goes on to the one after it (the one before
  // the last): a second Delete must fall on a line next to the one he looked at.
  const long row = vfgContent_.Row;
  const auto lineAt = [this](long at) { return at >= 1 && at < vfgContent_.Rows() ? vfgContent_.TextMatrix(at, 1) : ""; };
  Delete(Text("TxtLSH"), lineAt(row));
  FillLinesGrid(Text("TxtLSH"), {lineAt(row), lineAt(row + 1), lineAt(row - 1)});
  ShowGoodsOfCurrentLine();
}

// A bill past entry, perhaps moved on by another clerk since it was opened here: after the
// refusal the editor shows it as stored.
void FrmStoreAdjuctBill::RefuseLineChange(const char* text) {
  session_.Ui->MsgBox(text, mb::kExclamation, kSystemTitle);
  ShowBillAsStored();
}

// The bill left the state the places were chosen for while the dialog was open. Confirmed or
// posted, it is past any change; taken back to entry or deleted by another clerk, it is not
// audited, and the clerk is told what it is now (the lines as stored when it is gone): 修改 then
// takes the line into the entry row as for any bill in entry.
void FrmStoreAdjuctBill::RefusePlacesOfBillMovedOn(const std::string& lsh, const std::string& dh) {
  const std::optional<BillHeaderState> header = StoredHeader(lsh);
  if (!header || header->preAudited || header->audited || header->posted) {
    return RefuseLineChange("此单据已审核，不能修改!");
  }
  if (!header->exists) {
    session_.Ui->MsgBox("单号为[" + dh + "]的数据已被其他操作员删除,修改没有保存!", mb::kExclamation, kSystemTitle);
    return ListLinesAsStored(LineGoneNote(dh));
  }
  session_.Ui->MsgBox("本单据的状态已被他人改变(现为" + BillStateName(*header, IsStartStoreAdjustOK) +
                          ")，本次操作未做任何改变！",
                      mb::kExclamation, kSystemTitle);
  ShowBillAsStored();
}

// A right the command found held when it began was taken away before it wrote: the clerk is told as
// for any right he lacks, and the commands grey out for want of it from now on.
void FrmStoreAdjuctBill::RefuseRightTakenAway() {
  ShowNoRightMsg(session_);
  ReadRights();
  ShowBillState();
}

// A line or bill another clerk deleted while the bill was open here: the grid shows the lines as
// stored, and the status line says why the key did nothing else.
void FrmStoreAdjuctBill::ListLinesAsStored(const std::string& note) {
  FillLinesGrid(Text("TxtLSH"));
  ShowGoodsOfCurrentLine();
  ShowStatusNote(note);
}

// The panel follows the line now highlighted, and its bill totals no longer count a deleted line;
// with no line left it keeps the goods it showed, at totals of 0.
void FrmStoreAdjuctBill::ShowGoodsOfCurrentLine() {
  if (vfgContent_.Rows() < 2 || vfgContent_.Row < 1 || vfgContent_.Cols() <= 2) return RefreshGoodsInfo();
  ShowGoodsInfo(Text("TxtLSH"), vfgContent_.TextMatrix(vfgContent_.Row, 2));
}

void FrmStoreAdjuctBill::Delete(const std::string& lsh, const std::string& dh) {
  if (!RefuseViewOnly("删除")) return;
  const StoredLine line = ReadStoredLine(session_, lsh, dh);
  // Cmd_Delete_Click lists the lines again whatever happened here.
  if (line.stage == BillStage::Missing) return ShowStatusNote(LineGoneNote(dh));
  if (line.stage != BillStage::Open) {
    return RefuseLineChange("此单据已审核，不能删除!");
  }
  // The question names the line by its number: the clerk answers it for the line his grid lists.
  // Read once, compared with the grid's line, it is then the line the clerk is asked about.
  // Its places are read as the grid's line was, whatever the goods-place switch says now.
  std::optional<BillLineValues> shown;
  try {
    shown = ReadBillLine(*session_.Conn, lsh, dh, PlacesKeptAsListed(dh));
  } catch (const std::exception& error) {
    session_.Ui->MsgBox(ErrorText(error), mb::kExclamation, kSystemTitle);
    return;
  }
  if (!LineListedAsStored(dh, shown)) {
    session_.Ui->MsgBox(kBillLinesChanged, mb::kInformation, kSystemTitle);
    return;
  }
  if (!Ask("您确实要删除流水号为[" + lsh + "],单号为[" + dh + "]的数据吗？")) return;
  try {
    const LineDeletion done = DeleteStoredLine(session_, lsh, dh, shown);
    if (done == LineDeletion::LineChanged) {
      session_.Ui->MsgBox(kBillLinesChanged, mb::kInformation, kSystemTitle);
    } else if (done == LineDeletion::Deleted) {
      // The line being amended went with it: the entry row would amend a line that is no more.
      if (entry_.storedLine == dh) ClearEntryRow();
    } else if (done == LineDeletion::HeldByApproval) {
      session_.Ui->MsgBox(kHeldByApprovalOnDelete, mb::kInformation, kSystemTitle);
    } else if (done == LineDeletion::NoRight) {
      RefuseRightTakenAway();
    } else if (ReadStoredLine(session_, lsh, dh).stage != BillStage::Missing) {
      RefuseLineChange("此单据已审核，不能删除!");
    } else {
      // Another clerk deleted it (or the bill) while the question was open: gone, but not by this Yes.
      ShowStatusNote(LineGoneNote(dh));
    }
  } catch (const std::exception& error) {
    session_.Ui->MsgBox(ErrorText(error) + "\n删除失败，请找管理员联系!", mb::kExclamation, "错误:");
  }
}

std::optional<bool> FrmStoreAdjuctBill::PlacesKeptAsListed(const std::string& dh) const {
  if (!linesListed_) return std::nullopt;
  const auto listed = std::find_if(linesListed_->begin(), linesListed_->end(),
                                   [&dh](const BillLineValues& line) { return line.dh == dh; });
  if (listed == linesListed_->end()) return std::nullopt;
  return listed->placesRead.kept;
}

// Another clerk may have amended the line since the grid listed it, or deleted it and saved a new
// line under its number. A grid whose lines could not be read compares nothing, as the state
// commands do.
bool FrmStoreAdjuctBill::LineListedAsStored(const std::string& dh, const std::optional<BillLineValues>& stored) const {
  if (!linesListed_) return true;
  const auto listed = std::find_if(linesListed_->begin(), linesListed_->end(),
                                   [&dh](const BillLineValues& line) { return line.dh == dh; });
  if (listed == linesListed_->end() || !stored) return false;
  BillLineValues line = *listed;
  line.header = {};  // the line alone, as ReadBillLine reads it
  return line == *stored;
}

}  // namespace storeadjust
