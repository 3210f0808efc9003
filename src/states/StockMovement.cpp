#include "states/StockMovement.h"

#include <cmath>
#include <sstream>
#include <utility>

#include "adodb/Connection.h"
#include "adodb/Recordset.h"
#include "adodb/TextCompare.h"
#include "host/FirstValue.h"
#include "host/LenientValues.h"
#include "host/SqlLiterals.h"
#include "states/RemoveListItem.h"

namespace storeadjust {

namespace {

std::string N(double value) { return SqlNumber(value); }

// Quantities are kept to 4 decimals (decimal(18,4) on the server) but summed in binary floating
// point by the embedded database: a batch that received 0.3 and 0.35 holds 0.6499999999999999.
// A line is short only when it needs more than the stock by more than half the last kept decimal,
// or a bill just audited could not be un-audited.
constexpr double kQuantitySlack = 0.00005;
const char* const kSlack = " + 0.00005";
const char* const kAnotherClerk = "提示:出现此情况可能是别人比你先调拨了!";

// The column's value as text when the set has such a column; empty otherwise.
const adodb::Variant* ColumnIfAny(const adodb::Recordset& rs, const std::string& name) {
  for (std::size_t i = 0; i < rs.FieldCount(); ++i) {
    if (adodb::SameName(rs.Column(i).name, name)) return &rs.Value(i);
  }
  return nullptr;
}

constexpr const char* kPlacesJoin =
    " From GoodsPlaceBalance A Inner Join BillGoodsPlace B On A.GoodsPlaceGuid=B.GoodsPlaceGuid And "
    "A.GoodsPlaceNo=B.GoodsPlaceNo And A.WarehouseGuid = B.WarehouseGuid And A.MaterielGuid = B.MaterielGuid And "
    "A.BatchNo=B.BatchNo And A.BatchNumber=B.BatchNumber ";

}  // namespace

StockMovement::StockMovement(Session& session, const StateSettings& settings,
                             const std::set<std::string>& acceptedShortages, StateOutcome& outcome, std::string lsh)
    : session_(session), settings_(settings), acceptedShortages_(acceptedShortages), outcome_(outcome),
      lsh_(std::move(lsh)) {}

bool StockMovement::MovesBatches(const BillLineValues& line) const { return !settings_.isNotPh && !line.moneyOnly; }

void StockMovement::ReadMoneyOnly(BillLineValues& line) {
  line.moneyOnly = FlagIsSet(FirstValue(*session_.Conn, "select fonlymoney from yw_kck where hh=" + SqlText(line.hh)));
  if (line.moneyOnly) line.sl = 0;
}

bool StockMovement::KeepsPlaces(const std::string& warehouse) {
  const auto known = keepsPlaces_.find(warehouse);
  if (known != keepsPlaces_.end()) return known->second;
  return keepsPlaces_[warehouse] =
             FlagIsSet(FirstValue(*session_.Conn, "Select FDeleted From GL_Stock Where ID=" + SqlText(warehouse)));
}

// Existence and the few columns a step reads are all that is selected: a record set of every
// column of phk or ywbalance per line costs more than the statement itself.
bool StockMovement::HasRow(const std::string& sql) { return session_.Conn->OpenRecordset(sql)->RecordCount() > 0; }

std::string StockMovement::BatchKey(const BillLineValues& line, const std::string& warehouse) const {
  return " where hh=" + SqlText(line.hh) + " and stockid =" + SqlText(warehouse) + " and ph=" + SqlText(line.ph) +
         " and dh=" + SqlText(line.pcdh);
}

// --- the stock check -----------------------------------------------------------------------------

std::string StockMovement::StockKey(const BillLineValues& line, const std::string& warehouse) const {
  return warehouse + "|" + line.hh + (MovesBatches(line) ? "|" + line.ph + "|" + line.pcdh : std::string());
}

// Another clerk is the likely cause of a shortage, unless the bill's own earlier lines on the same
// stock row took what this line lacks: then the row held enough for this line before the bill.
std::string StockMovement::ShortageCause(const BillLineValues& line, const std::string& warehouse, double held) const {
  const auto drawn = drawn_.find(StockKey(line, warehouse));
  if (drawn == drawn_.end()) return kAnotherClerk;
  double before = held;
  std::string lines;
  for (const auto& [dh, quantity] : drawn->second) {
    before += quantity;
    lines += dh + ",";
  }
  if (line.sl > before + kQuantitySlack) return kAnotherClerk;
  return "提示:本单据的明细 " + lines + line.dh + " 取自同一库存,合计数量超过库存!";
}

std::string StockMovement::ShortageText(const BillLineValues& line, const std::string& warehouse, const char* verdict,
                                        const std::string& cause) const {
  return "单号: " + line.dh + "  货号: " + line.hh + "  仓库编号: " + warehouse + "\r\n" + verdict + "\r\n" + cause;
}

LineStep StockMovement::RefuseShortage(const BillLineValues& line, const std::string& warehouse,
                                       const std::string& cause) {
  outcome_.result = StateResult::Refused;
  outcome_.refusal = StateRefusal::Shortage;
  outcome_.message = ShortageText(line, warehouse, "库存数量不足!", cause);
  return LineStep::Stop;
}

LineStep StockMovement::CheckStock(const BillLineValues& line, const std::string& warehouse, const std::string& query,
                                   bool issuing, StockRow& row) {
  auto rs = session_.Conn->OpenRecordset(query);
  if (rs->RecordCount() < 1) {
    if (!issuing) return LineStep::SkipLine;
    outcome_.result = StateResult::Refused;
    outcome_.refusal = StateRefusal::MissingStock;
    outcome_.message = "库存中没有相应的数据，请检查单据后再审核！";
    return LineStep::Stop;
  }
  rs->MoveFirst();
  row.sl = NumberOrZero(rs->Value("sl"));
  if (const adodb::Variant* kh = ColumnIfAny(*rs, "kh")) row.kh = kh->TextOrEmpty();
  if (const adodb::Variant* price = ColumnIfAny(*rs, "sellprice")) row.sellPrice = NumberOrZero(*price);
  const std::string stockKey = StockKey(line, warehouse);
  if (line.moneyOnly || line.sl <= row.sl + kQuantitySlack) {
    if (issuing && !line.moneyOnly) drawn_[stockKey].emplace_back(line.dh, line.sl);
    return LineStep::Go;
  }
  const std::string cause = ShortageCause(line, warehouse, row.sl);
  if (!settings_.shortageAllowed) return RefuseShortage(line, warehouse, cause);
  const std::string key = line.dh + "|" + stockKey + "|" + N(row.sl);
  if (acceptedShortages_.contains(key)) {
    if (issuing) drawn_[stockKey].emplace_back(line.dh, line.sl);
    return LineStep::Go;
  }
  pendingShortage_ = ShortageQuestion{key, ShortageText(line, warehouse, "库存数量不足,是否继续？[Y/N]", cause)};
  return LineStep::Stop;
}

// --- the out-warehouse -----------------------------------------------------------------------------

// Without shortages allowed, the issue takes only what the row holds when it runs: on a server
// whose transaction does not lock the checked row, another clerk may have taken the batch since
// the check, and the row count tells.
LineStep StockMovement::IssueBatch(const BillLineValues& line) {
  const bool guarded = !settings_.shortageAllowed && line.sl > 0;
  const long changed = session_.Conn->Execute("update phk set bcsl=isnull(bcsl,0) + " + N(line.sl) +
                                              ",sl=isnull(sl,0) - " + N(line.sl) + BatchKey(line, line.dcstockid) +
                                              (guarded ? " and sl" + std::string(kSlack) + " >= " + N(line.sl) : ""));
  return guarded && changed == 0 ? RefuseShortage(line, line.dcstockid, kAnotherClerk) : LineStep::Go;
}

LineStep StockMovement::IssueBalance(const BillLineValues& line) {
  const bool guarded = settings_.isNotPh && !settings_.shortageAllowed && line.sl > 0;
  const long changed = session_.Conn->Execute(
      "update ywbalance set bcsl=isnull(bcsl,0) + " + N(line.sl) + ",sjsl=isnull(sjsl,0) - " + N(line.sl) +
      ",sjje = isnull(sjje,0) - (" + N(line.je) + "),sjlsje=isnull(sjlsje,0) - (" + N(line.lsze) +
      ") where hh=" + SqlText(line.hh) + " and stockid=" + SqlText(line.dcstockid) + " and fperiod=0" +
      (guarded ? " and isnull(sjsl,0)" + std::string(kSlack) + " >= " + N(line.sl) : ""));
  return guarded && changed == 0 ? RefuseShortage(line, line.dcstockid, kAnotherClerk) : LineStep::Go;
}

// Largest stock first; what no place covers stays unallocated and is reported after the commit.
void StockMovement::AllocateOutPlaces(const BillLineValues& line) {
  auto places = session_.Conn->OpenRecordset(
      "Select * From GoodsPlaceBalance Where MaterielGuid=" + SqlText(line.hh) + " And WarehouseGuid=" +
      SqlText(line.dcstockid) + " And BatchNo=" + SqlText(line.ph) + " And BatchNumber=" + SqlText(line.pcdh) +
      " Order By CurrQuantity Desc ");
  double remaining = line.sl;
  for (places->MoveFirst(); places->RecordCount() > 0 && !places->EOF() && remaining != 0; places->MoveNext()) {
    const double held = NumberOrZero(places->Value("CurrQuantity"));
    if (held <= 0 && remaining > 0) break;  // sorted: no later place holds anything either
    const double given = held >= std::fabs(remaining) ? remaining : held;
    const std::string guid = places->Value("GoodsPlaceGuid").TextOrEmpty();
    const std::string number = places->Value("GoodsPlaceNo").TextOrEmpty();
    session_.Conn->Execute(
        "Insert Into BillGoodsPlace(BillType,BillGuid,BillDetailGuid,MaterielGuid,WarehouseGuid,BatchNo,BatchNumber,"
        "GoodsPlaceGuid,GoodsPlaceNo,Quantity,Notes)Values ('WarehouseOut'," +
        SqlText(lsh_) + "," + SqlText(line.dh) + "," + SqlText(line.hh) + "," + SqlText(line.dcstockid) + "," +
        SqlText(line.ph) + "," + SqlText(line.pcdh) + "," + SqlText(guid) + "," + SqlText(number) + "," +
        SqlText(N(given)) + ",'调拨出')");
    session_.Conn->Execute("update GoodsPlaceBalance set CurrQuantity=" + N(held - given) + " where GoodsPlaceGuid=" +
                           SqlText(guid) + " and GoodsPlaceNo=" + SqlText(number) + " and WarehouseGuid=" +
                           SqlText(line.dcstockid) + " and MaterielGuid=" + SqlText(line.hh) +
                           " and BatchNo=" + SqlText(line.ph) + " and BatchNumber=" + SqlText(line.pcdh));
    remaining -= given;
  }
  if (remaining > 0) outcome_.unplacedIssues.push_back(line.hh + " " + N(remaining));
}

void StockMovement::UnIssueBatch(const BillLineValues& line) {
  if (HasRow(" select hh from phk" + BatchKey(line, line.dcstockid))) {
    session_.Conn->Execute("update phk set bcsl=isnull(bcsl,0) - " + N(line.sl) + ",sl=isnull(sl,0)+" + N(line.sl) +
                           BatchKey(line, line.dcstockid));
    return;
  }
  CopyBatchRow(line, line.drstockid, line.dcstockid, "");
}

void StockMovement::UnIssueBalance(const BillLineValues& line, bool currentYearOnly) {
  const std::string where = " where hh=" + SqlText(line.hh) + " and stockid=" + SqlText(line.dcstockid);
  if (!HasRow(" select hh from ywbalance" + where + (currentYearOnly ? " and fyear=0 and fperiod=0" : " and fperiod=0"))) {
    return InsertBalance(line, line.dcstockid);
  }
  session_.Conn->Execute("update ywbalance set bcsl=isnull(bcsl,0) - " + N(line.sl) + ",sjsl=isnull(sjsl,0)+" +
                         N(line.sl) + ",sjje = isnull(sjje,0) + (" + N(line.je) + "),sjlsje=isnull(sjlsje,0) + (" +
                         N(line.lsze) + ")" + where + " and fperiod=0");
}

void StockMovement::UnIssuePlaces(const BillLineValues& line) {
  const std::string lineRows = " Where B.BillType='WarehouseOut' And B.BillGuid=" + SqlText(lsh_) +
                               " And B.BillDetailGuid=" + SqlText(line.dh);
  session_.Conn->Execute(std::string("Update A Set A.CurrQuantity = IsNull(A.CurrQuantity,0) + IsNull(B.Quantity,0)") +
                         kPlacesJoin + lineRows);
  session_.Conn->Execute("Delete From BillGoodsPlace Where BillType='WarehouseOut' And BillGuid=" + SqlText(lsh_) +
                         " And BillDetailGuid=" + SqlText(line.dh));
}

// --- the in-warehouse --------------------------------------------------------------------------------

// A row that holds stock and a location list gets the line's code appended; otherwise the list
// becomes the line's code.
void StockMovement::ReceiveBatch(const BillLineValues& line, std::optional<double> sellPrice) {
  auto rs = session_.Conn->OpenRecordset(" select sl,kh from phk" + BatchKey(line, line.drstockid));
  if (rs->RecordCount() < 1) return CopyBatchRow(line, line.dcstockid, line.drstockid, line.kh);
  rs->MoveFirst();
  const double held = NumberOrZero(rs->Value("sl"));
  const std::string list = rs->Value("kh").TextOrEmpty();
  const std::string head = sellPrice ? "update phk set SellPrice=" + N(*sellPrice) + ",brsl=isnull(brsl,0) + "
                                     : std::string("update phk set brsl=isnull(brsl,0) + ");
  const std::string kh = held != 0 && !list.empty()
                             ? "kh=kh + " + SqlText(line.kh.empty() ? "" : "," + line.kh)
                             : "kh=" + SqlText(line.kh);
  session_.Conn->Execute(head + N(line.sl) + ",sl=isnull(sl,0)+" + N(line.sl) + "," + kh +
                         BatchKey(line, line.drstockid));
}

void StockMovement::ReceiveBalance(const BillLineValues& line) {
  const std::string where = " where hh=" + SqlText(line.hh) + " and stockid=" + SqlText(line.drstockid) + " and fperiod=0";
  if (!HasRow(" select hh from ywbalance" + where)) return InsertBalance(line, line.drstockid);
  session_.Conn->Execute("update ywbalance set bRsl=isnull(bRsl,0) + " + N(line.sl) + ",sjsl=isnull(sjsl,0)+" +
                         N(line.sl) + ",sjje = isnull(sjje,0) + (" + N(line.je) + "),sjlsje=isnull(sjlsje,0) + (" +
                         N(line.lsze) + ")" + where);
}

void StockMovement::ReceivePlaces(const BillLineValues& line) {
  const std::string lineRows = " Where B.BillType='WarehouseIn' And B.BillGuid=" + SqlText(lsh_) +
                               " And B.BillDetailGuid=" + SqlText(line.dh);
  session_.Conn->Execute(
      "Insert Into GoodsPlaceBalance(GoodsPlaceGuid,GoodsPlaceNo,WarehouseGuid,MaterielGuid,BatchNo,BatchNumber,"
      "CurrQuantity,PInQuantity,POutQuantity,Notes)Select B.GoodsPlaceGuid,B.GoodsPlaceNo,B.WarehouseGuid,"
      "B.MaterielGuid,B.BatchNo,B.BatchNumber,0,0,0,'调拨入' From GoodsPlaceBalance A Right Join BillGoodsPlace B On "
      "A.GoodsPlaceGuid=B.GoodsPlaceGuid And A.GoodsPlaceNo=B.GoodsPlaceNo  And A.WarehouseGuid = B.WarehouseGuid "
      "And A.MaterielGuid = B.MaterielGuid And A.BatchNo=B.BatchNo And A.BatchNumber=B.BatchNumber " +
      lineRows + " And A.GoodsPlaceGuid Is Null");
  session_.Conn->Execute(std::string("Update A Set A.CurrQuantity = IsNull(A.CurrQuantity,0) + B.Quantity") +
                         kPlacesJoin + lineRows);
}

void StockMovement::UnReceiveBatch(const BillLineValues& line, const StockRow& row) {
  const std::string list = line.kh.empty() && row.kh.empty() ? "" : RemoveListItem(row.kh, line.kh);
  session_.Conn->Execute("update phk set brsl=isnull(brsl,0) - " + N(line.sl) + ",sl=isnull(sl,0) - " + N(line.sl) +
                         ",kh=" + SqlText(list) + BatchKey(line, line.drstockid));
}

void StockMovement::UnReceiveBalance(const BillLineValues& line) {
  session_.Conn->Execute("update ywbalance set brsl=isnull(brsl,0) - " + N(line.sl) + ",sjsl=isnull(sjsl,0) - " +
                         N(line.sl) + ",sjje = isnull(sjje,0) - (" + N(line.je) + "),sjlsje=isnull(sjlsje,0) - (" +
                         N(line.lsze) + ") where hh=" + SqlText(line.hh) + " and stockid=" +
                         SqlText(line.drstockid) + " and fperiod=0");
}

void StockMovement::UnReceivePlaces(const BillLineValues& line) {
  session_.Conn->Execute(std::string("Update A Set A.CurrQuantity = IsNull(A.CurrQuantity,0) - IsNull(B.Quantity,0)") +
                         kPlacesJoin + " Where B.BillType='WarehouseIn' And B.BillGuid=" + SqlText(lsh_) +
                         " And B.BillDetailGuid=" + SqlText(line.dh));
}

// --- rows created by a transfer ---------------------------------------------------------------------

// The further columns of the source row, except its issued count: what one warehouse issued is
// not the other's.
std::string StockMovement::CopiedPhkColumns() const {
  std::string copied;
  std::stringstream columns(settings_.phkColumnList);
  for (std::string column; std::getline(columns, column, ',');) {
    if (column.empty() || adodb::SameName(column, "BCSL")) continue;
    copied += "," + column;
  }
  return copied;
}

// A batch row created in `to` as a copy of `from`'s row of the same batch; where `from` has none
// either (goods in transit between the two steps), a bare row keeps the quantity from vanishing.
void StockMovement::CopyBatchRow(const BillLineValues& line, const std::string& from, const std::string& to,
                                 const std::string& kh) {
  const std::string further = CopiedPhkColumns();
  const long created = session_.Conn->Execute(
      "Insert Into PHK (HH,PH,DH,StockID,SL,xq,jhdj,scrq,yhrq,dwbh,dwmc,brsl,kh,LastPurchasePrice,qckc,jhsl,xhsl,qtsrsl,"
      "qtfcsl,thsl" + further + ")Select HH,PH,DH," + SqlText(to) + "," + N(line.sl) + ",xq,jhdj,scrq,yhrq,dwbh,dwmc," +
      N(line.sl) + "," + SqlText(kh) + ",LastPurchasePrice,0,0,0,0,0,0" + further + " From PHK Where HH = " +
      SqlText(line.hh) + " And ph = " + SqlText(line.ph) + " And DH = " + SqlText(line.pcdh) + " And stockid =" +
      SqlText(from));
  if (created > 0) return;
  session_.Conn->Execute("Insert Into PHK (HH,PH,DH,StockID,SL,brsl,kh) values (" + SqlText(line.hh) + "," +
                         SqlText(line.ph) + "," + SqlText(line.pcdh) + "," + SqlText(to) + "," + N(line.sl) + "," +
                         N(line.sl) + "," + SqlText(kh) + ")");
}

// A balance row created by a transfer carries the line's amounts with its quantity: the value
// that left one warehouse arrives in the other.
void StockMovement::InsertBalance(const BillLineValues& line, const std::string& warehouse) {
  session_.Conn->Execute(
      "Insert Into YwBalance (HH,STOCKID,FPERIOD,JJ,JJ_CKJ,PFJ,LSJ,SJ,CBJ,YCBJ,QCKC,JHSL,XHSL,QTSRSL,QTFCSL,SJSL,brsl,"
      "sjje,sjlsje)SELECT HH," + SqlText(warehouse) + ",0,JJ,JJ_CKJ,PFJ,LSJ,SJ,CBJ,YCBJ,0,0,0,0,0," + N(line.sl) + "," +
      N(line.sl) + "," + N(line.je) + "," + N(line.lsze) + " FROM YW_KCK WHERE HH=" + SqlText(line.hh));
}

}  // namespace storeadjust
