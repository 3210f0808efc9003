#include "states/StockMovement.h"

#include <cctype>
#include <cmath>
#include <set>
#include <sstream>
#include <utility>

#include "adodb/Backend.h"
#include "adodb/BoundValues.h"
#include "adodb/Connection.h"
#include "adodb/Recordset.h"
#include "adodb/TextCompare.h"
#include "host/LenientValues.h"
#include "lines/BoundColumns.h"
#include "host/FirstValue.h"
#include "states/RemoveListItem.h"

namespace storeadjust {

namespace {

using adodb::BoundText;

// The batch row of a line in a warehouse: its values are BatchKey's.
constexpr const char* kBatchKey = " where hh=? and stockid =? and ph=? and dh=?";

// Quantities are kept to 4 decimals (decimal(18,4) on the server) but summed in binary floating
// point by the embedded database: a batch that received 0.3 and 0.35 holds 0.6499999999999999.
// A line is short only when it needs more than the stock by more than half the last kept decimal,
// or a bill just audited could not be un-audited.
constexpr double kQuantitySlack = 0.00005;
const char* const kSlack = " + 0.00005";
const char* const kAnotherClerk = "提示:出现此情况可能是别人比你先调拨了!";

// A column name taken into a statement as it is: the phk columns a transfer copies are read
// from the table's own definition, and only plain names are copied, so nothing else can become
// statement text.
bool IsPlainColumnName(const std::string& name) {
  if (name.empty() || std::isdigit(static_cast<unsigned char>(name.front()))) return false;
  for (unsigned char c : name) {
    if (!std::isalnum(c) && c != '_') return false;
  }
  return true;
}

// The named column of the first row; nullptr when the query has no such column.
const adodb::Variant* FirstRowColumnIfAny(const adodb::ResultSet& result, const std::string& name) {
  for (std::size_t i = 0; i < result.columns.size(); ++i) {
    if (adodb::SameName(result.columns[i].name, name)) return &result.rows[0].at(i);
  }
  return nullptr;
}

const adodb::Variant& FirstRowColumn(const adodb::ResultSet& result, const std::string& name) {
  const adodb::Variant* value = FirstRowColumnIfAny(result, name);
  if (!value) throw adodb::Error::ItemNotFound();
  return *value;
}

// A line's goods-place rows of one bill type (its values: LinePlaceRows), one per place with the
// quantities of every row that names it. Rows stored before the save merged a place named twice
// may hold it twice: joined row by row, a place's balance is updated from one of them only and
// the other quantity is lost, and a place new to the batch is inserted twice.
constexpr const char* kLinePlaces =
    "(Select GoodsPlaceGuid,GoodsPlaceNo,WarehouseGuid,MaterielGuid,BatchNo,BatchNumber,"
    "Sum(IsNull(Quantity,0)) As Quantity From BillGoodsPlace Where BillType=? And BillGuid=? And BillDetailGuid=? "
    "Group By GoodsPlaceGuid,GoodsPlaceNo,WarehouseGuid,MaterielGuid,BatchNo,BatchNumber) B On "
    "A.GoodsPlaceGuid=B.GoodsPlaceGuid And A.GoodsPlaceNo=B.GoodsPlaceNo And A.WarehouseGuid = B.WarehouseGuid And "
    "A.MaterielGuid = B.MaterielGuid And A.BatchNo=B.BatchNo And A.BatchNumber=B.BatchNumber";

}  // namespace

StockMovement::StockMovement(Session& session, const StateSettings& settings,
                             const std::set<std::string>& acceptedShortages, StateOutcome& outcome, std::string lsh)
    : session_(session), settings_(settings), acceptedShortages_(acceptedShortages), outcome_(outcome),
      lsh_(std::move(lsh)) {}

bool StockMovement::MovesBatches(const BillLineValues& line) const { return !settings_.isNotPh && !line.moneyOnly; }

LineStep StockMovement::ReadMoneyOnly(BillLineValues& line, bool issued) {
  auto known = moneyOnly_.find(line.hh);
  if (known == moneyOnly_.end()) {
    const bool moneyOnly =
        FlagIsSet(FirstValue(*session_.Conn, "select fonlymoney from yw_kck where hh=?", {BoundText(line.hh)}));
    known = moneyOnly_.emplace(line.hh, moneyOnly).first;
  }
  line.moneyOnly = known->second;
  // Goods kept by amount carry no batch: a line that names one was entered, and may have been
  // audited, while its goods were kept by quantity.
  if (line.moneyOnly && !settings_.isNotPh && !adodb::Trimmed(line.ph).empty()) {
    outcome_.result = StateResult::Refused;
    outcome_.refusal = StateRefusal::MasterGone;
    outcome_.message = "货号: " + line.hh + "\r\n此商品已改为金额品种，而单号为[" + line.dh +
                       "]的明细带有批号，本次操作未做任何改变！";
    return LineStep::Stop;
  }
  // A line of goods kept by quantity names its batch where batches are kept, from its entry on;
  // one that names none was entered while its goods were kept by amount only. Not yet issued, the
  // audit finds it no stock row.
  if (issued && !line.moneyOnly && !settings_.isNotPh && adodb::Trimmed(line.ph).empty()) {
    outcome_.result = StateResult::Refused;
    outcome_.refusal = StateRefusal::MasterGone;
    outcome_.message = "货号: " + line.hh + "\r\n此商品已不再是金额品种，而单号为[" + line.dh +
                       "]的明细没有批号，本次操作未做任何改变！";
    return LineStep::Stop;
  }
  if (line.moneyOnly) line.sl = 0;
  return LineStep::Go;
}

bool StockMovement::KeepsPlaces(const std::string& warehouse) {
  const auto known = keepsPlaces_.find(warehouse);
  if (known != keepsPlaces_.end()) return known->second;
  return keepsPlaces_[warehouse] = FlagIsSet(
             FirstValue(*session_.Conn, "Select FDeleted From GL_Stock Where ID=?", {BoundText(warehouse)}));
}

// Existence and the few columns a step reads are all that is selected: a record set of every
// column of phk or ywbalance per line costs more than the statement itself. The per-line reads
// take the backend's rows themselves: a record set (cursor, kept text and values for a requery)
// would be built and dropped for them once per line.
adodb::ResultSet StockMovement::Rows(const std::string& sql, const adodb::BoundValues& values) {
  return session_.Conn->GetBackend().Query(sql, values);
}

bool StockMovement::HasRow(const std::string& sql, const adodb::BoundValues& values) { return !Rows(sql, values).rows.empty(); }

adodb::BoundValues StockMovement::LinePlaceRows(const char* billType, const BillLineValues& line) const {
  return {BoundText(billType), BoundText(lsh_), BoundText(line.dh)};
}

bool StockMovement::HoldsPlaceRows(const char* billType, const BillLineValues& line) {
  if (!placeRows_) {
    placeRows_.emplace();
    const adodb::ResultSet rows =
        Rows("Select Distinct BillType,BillDetailGuid From BillGoodsPlace Where BillGuid=?", {BoundText(lsh_)});
    for (const auto& row : rows.rows) placeRows_->emplace(row[0].TextOrEmpty(), row[1].TextOrEmpty());
  }
  return placeRows_->contains({billType, line.dh});
}

// A place the line's rows name that holds none of the batch gets its balance row first, empty:
// the in-warehouse's places are new to the batch, and a place the out-warehouse emptied may have
// been cleared away before the reversal gives it its goods back (updated, a missing row would
// lose them, and the places would no longer add up to the batch).
//
// The batch's stock was checked as a whole, but a place gives only what it holds of the batch: a
// return placed on a shelf that holds none of it, or a receipt taken back from a shelf another
// issue has emptied since, would leave that place below zero while another holds the goods.
LineStep StockMovement::ChangePlaceBalances(const char* billType, const BillLineValues& line, const char* sign) {
  if (!settings_.shortageAllowed &&
      HasRow(std::string("Select B.GoodsPlaceNo From GoodsPlaceBalance A Right Join ") + kLinePlaces +
                 " Where 0 " + sign + " B.Quantity < 0 And IsNull(A.CurrQuantity,0) " + sign + " B.Quantity" + kSlack +
                 " < 0",
             LinePlaceRows(billType, line))) {
    return RefuseShortage(line, std::string(billType) == "WarehouseIn" ? line.drstockid : line.dcstockid,
                          kAnotherClerk);
  }
  session_.Conn->Execute(
      std::string("Insert Into GoodsPlaceBalance(GoodsPlaceGuid,GoodsPlaceNo,WarehouseGuid,MaterielGuid,BatchNo,"
                  "BatchNumber,CurrQuantity,PInQuantity,POutQuantity,Notes)Select B.GoodsPlaceGuid,B.GoodsPlaceNo,"
                  "B.WarehouseGuid,B.MaterielGuid,B.BatchNo,B.BatchNumber,0,0,0,'调拨入' From GoodsPlaceBalance A Right "
                  "Join ") +
          kLinePlaces + " Where A.GoodsPlaceGuid Is Null",
      LinePlaceRows(billType, line));
  session_.Conn->Execute(std::string("Update A Set A.CurrQuantity = IsNull(A.CurrQuantity,0) ") + sign +
                             " B.Quantity From GoodsPlaceBalance A Inner Join " + kLinePlaces,
                         LinePlaceRows(billType, line));
  return LineStep::Go;
}

adodb::BoundValues StockMovement::BatchKey(const BillLineValues& line, const std::string& warehouse) const {
  return {BoundText(line.hh), BoundText(warehouse), BoundText(line.ph), BoundText(line.pcdh)};
}

// --- the stock check -----------------------------------------------------------------------------

StockMovement::RowKey StockMovement::StockKey(const BillLineValues& line, const std::string& warehouse) const {
  if (MovesBatches(line)) return {warehouse, line.hh, line.ph, line.pcdh};
  return {warehouse, line.hh, "", ""};
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

namespace {

// Where a refusal of a line's stock starts: the line and the warehouse, for the clerk to find them.
std::string LineHeading(const BillLineValues& line, const std::string& warehouse) {
  return "单号: " + line.dh + "  货号: " + line.hh + "  仓库编号: " + warehouse + "\r\n";
}

}  // namespace

std::string StockMovement::ShortageText(const BillLineValues& line, const std::string& warehouse, const char* verdict,
                                        const std::string& cause) const {
  return LineHeading(line, warehouse) + verdict + "\r\n" + cause;
}

LineStep StockMovement::RefuseShortage(const BillLineValues& line, const std::string& warehouse,
                                       const std::string& cause) {
  outcome_.result = StateResult::Refused;
  outcome_.refusal = StateRefusal::Shortage;
  outcome_.message = ShortageText(line, warehouse, "库存数量不足!", cause);
  return LineStep::Stop;
}

// A line of batch-kept goods without its batch or batch line (another program stored them empty
// or NULL) selects no batch row however much the warehouse holds: that is said, not missing stock.
std::string StockMovement::MissingStockText(const BillLineValues& line, const std::string& warehouse) const {
  std::string cause;
  if (MovesBatches(line) && adodb::Trimmed(line.ph).empty()) {
    cause = "此明细没有批号，";
  } else if (MovesBatches(line) && adodb::Trimmed(line.pcdh).empty()) {
    cause = "此明细的批号 " + line.ph + " 没有批次，";
  }
  return LineHeading(line, warehouse) + cause +
         "库存中没有相应的数据，请检查单据后再审核！";
}

LineStep StockMovement::CheckStock(const BillLineValues& line, const std::string& warehouse, const std::string& query,
                                   const adodb::BoundValues& values, bool issuing, StockRow& row) {
  const adodb::ResultSet stock = Rows(query, values);
  if (stock.rows.empty()) {
    if (!issuing) return LineStep::SkipLine;
    outcome_.result = StateResult::Refused;
    outcome_.refusal = StateRefusal::MissingStock;
    outcome_.message = MissingStockText(line, warehouse);
    return LineStep::Stop;
  }
  row.sl = NumberOrZero(FirstRowColumn(stock, "sl"));
  if (const adodb::Variant* kh = FirstRowColumnIfAny(stock, "kh")) row.kh = kh->TextOrEmpty();
  if (const adodb::Variant* price = FirstRowColumnIfAny(stock, "sellprice")) row.sellPrice = NumberOrZero(*price);
  const RowKey stockKey = StockKey(line, warehouse);
  if (line.moneyOnly || line.sl <= row.sl + kQuantitySlack) {
    if (issuing && !line.moneyOnly) drawn_[stockKey].emplace_back(line.dh, line.sl);
    return LineStep::Go;
  }
  const std::string cause = ShortageCause(line, warehouse, row.sl);
  if (!settings_.shortageAllowed) return RefuseShortage(line, warehouse, cause);
  const auto& [id, hh, ph, pcdh] = stockKey;
  const std::string key = line.dh + "|" + id + "|" + hh + "|" + ph + "|" + pcdh + "|" + adodb::FormatNumber(row.sl);
  if (acceptedShortages_.contains(key)) {
    if (issuing) drawn_[stockKey].emplace_back(line.dh, line.sl);
    return LineStep::Go;
  }
  pendingShortage_ = ShortageQuestion{key, ShortageText(line, warehouse, "库存数量不足,是否继续？[Y/N]", cause)};
  return LineStep::Stop;
}

LineStep StockMovement::CheckBatchStock(const BillLineValues& line, const std::string& warehouse, const char* columns,
                                        bool issuing, StockRow& row) {
  return CheckStock(line, warehouse, std::string("select ") + columns + " from phk" + kBatchKey, BatchKey(line, warehouse),
                    issuing, row);
}

// --- taking stock a check has read ----------------------------------------------------------------

// Without shortages allowed, a statement that takes stock from a row the stock check has just
// read takes only what the row holds when it runs: on a server whose transaction does not lock
// the checked row, another clerk may have taken the stock since the check, and the row count
// tells. That is every statement that lowers a warehouse's stock: the issue and the reversal of a
// receipt, and for a negative line the receipt and the reversal of an issue. `taken` is what the
// statement takes from `column` (negative when it gives); the balance row is the stock checked
// only where the line moves no batch.
bool StockMovement::Guarded(double taken) const { return !settings_.shortageAllowed && taken > 0; }

std::string StockMovement::TakeGuard(double taken, const char* column, adodb::BoundValues& values) const {
  if (!Guarded(taken)) return {};
  values.push_back(BoundQuantity(taken));
  return std::string(" and isnull(") + column + ",0)" + kSlack + " >= ?";
}

double StockMovement::BalanceTaken(const BillLineValues& line, double taken) const {
  return MovesBatches(line) ? 0 : taken;
}

// Runs a change of a stock row, guarded: one that finds no row holding enough is refused. The
// rows it changed in `changed`.
LineStep StockMovement::TakeStock(const BillLineValues& line, const std::string& warehouse, const std::string& update,
                                  adodb::BoundValues values, double taken, const char* column, long* changed) {
  const std::string guard = TakeGuard(taken, column, values);
  const long rows = session_.Conn->Execute(update + guard, values);
  if (changed) *changed = rows;
  return !guard.empty() && rows == 0 ? RefuseShortage(line, warehouse, kAnotherClerk) : LineStep::Go;
}

// The same of a balance row, which is made first when there is none (UpdateBalanceOf) unless it is
// the stock checked: the check found it.
LineStep StockMovement::TakeBalance(const BillLineValues& line, const std::string& warehouse, const std::string& update,
                                    const adodb::BoundValues& values, double taken) {
  const double checked = BalanceTaken(line, taken);
  if (Guarded(checked)) return TakeStock(line, warehouse, update, values, checked, "sjsl");
  return UpdateBalanceOf(line, warehouse, update, values);
}

// --- the out-warehouse -----------------------------------------------------------------------------

LineStep StockMovement::IssueBatch(const BillLineValues& line) {
  long changed = 0;
  if (TakeStock(line, line.dcstockid,
                std::string("update phk set bcsl=isnull(bcsl,0) + ?,sl=isnull(sl,0) - ?") + kBatchKey,
                Joined({BoundQuantity(line.sl), BoundQuantity(line.sl)}, BatchKey(line, line.dcstockid)), line.sl, "sl",
                &changed) == LineStep::Stop) {
    return LineStep::Stop;
  }
  // A negative line brings the goods back, into a batch row the one-step audit does not check: one
  // removed since the line was saved (a batch that reached zero) is made again, as a reversal
  // makes the row it gives goods back to.
  if (changed == 0 && line.sl < 0) {
    BillLineValues returned = line;
    returned.sl = -line.sl;
    if (!CopyBatchRow(returned, line.drstockid, line.dcstockid, "")) return IssueBatch(line);
  }
  return LineStep::Go;
}

LineStep StockMovement::IssueBalance(const BillLineValues& line) {
  return TakeBalance(line, line.dcstockid,
                     "update ywbalance set bcsl=isnull(bcsl,0) + ?,sjsl=isnull(sjsl,0) - ?,sjje = isnull(sjje,0) - (?),"
                     "sjlsje=isnull(sjlsje,0) - (?) where hh=? and stockid=? and fperiod=0",
                     {BoundQuantity(line.sl), BoundQuantity(line.sl), BoundMoney(line.je), BoundMoney(line.lsze),
                      BoundText(line.hh), BoundText(line.dcstockid)},
                     line.sl);
}

// Largest stock first; what no place covers stays unallocated and is reported after the commit
// (goods the warehouse held before it was switched to goods places lie on no place: issuing them
// brings the places and the stock back in step, so it is not refused).
LineStep StockMovement::AllocateOutPlaces(const BillLineValues& line) {
  auto places = session_.Conn->OpenRecordset(
      "Select B.GoodsPlaceGuid,B.GoodsPlaceNo,B.CurrQuantity,(Select Count(*) From GoodsPlace P Where "
      "P.GoodsPlaceGuid=B.GoodsPlaceGuid And P.GoodsPlaceNo=B.GoodsPlaceNo And P.WarehouseGuid=B.WarehouseGuid) As "
      "Listed From GoodsPlaceBalance B Where B.MaterielGuid=? And B.WarehouseGuid=? And B.BatchNo=? And "
      "B.BatchNumber=? Order By B.CurrQuantity Desc ",
      {BoundText(line.hh), BoundText(line.dcstockid), BoundText(line.ph), BoundText(line.pcdh)});
  // What is left is kept as the column keeps quantities: 1.1 taken as 0.8 and 0.3 left 5.6e-17 in
  // binary, which gave a third place a row of 0 and was reported as goods no place covered.
  double remaining = StoredQuantity(line.sl);
  for (places->MoveFirst(); places->RecordCount() > 0 && !places->EOF() && remaining != 0; places->MoveNext()) {
    const double onPlace = StoredQuantity(NumberOrZero(places->Value("CurrQuantity")));
    if (onPlace <= 0 && remaining > 0) break;  // sorted: no later place holds anything either
    // Goods going back (a negative line) lie down whole on the listed place holding most of the
    // batch: a place removed from the warehouse's places since keeps what it holds until it is
    // taken off, but gets nothing more, as no list of the warehouse shows it.
    if (remaining < 0 && NumberOrZero(places->Value("Listed")) == 0) continue;
    const double given = remaining < 0 || onPlace >= remaining ? remaining : onPlace;
    const std::string guid = places->Value("GoodsPlaceGuid").TextOrEmpty();
    const std::string number = places->Value("GoodsPlaceNo").TextOrEmpty();
    session_.Conn->Execute(
        "Insert Into BillGoodsPlace(BillType,BillGuid,BillDetailGuid,MaterielGuid,WarehouseGuid,BatchNo,BatchNumber,"
        "GoodsPlaceGuid,GoodsPlaceNo,Quantity,Notes)Values ('WarehouseOut',?,?,?,?,?,?,?,?,?,'调拨出')",
        {BoundText(lsh_), BoundText(line.dh), BoundText(line.hh), BoundText(line.dcstockid), BoundText(line.ph),
         BoundText(line.pcdh), BoundText(guid), BoundText(number), BoundQuantity(given)});
    // The place gives what it holds when the change runs, not what it held when read: on a
    // server the read locks nothing, and another clerk's taking since would be written over.
    adodb::BoundValues values{BoundQuantity(given), BoundText(guid), BoundText(number), BoundText(line.dcstockid),
                              BoundText(line.hh), BoundText(line.ph), BoundText(line.pcdh)};
    const std::string guard = TakeGuard(given, "CurrQuantity", values);
    if (session_.Conn->Execute("update GoodsPlaceBalance set CurrQuantity=isnull(CurrQuantity,0) - ? where "
                               "GoodsPlaceGuid=? and GoodsPlaceNo=? and WarehouseGuid=? and MaterielGuid=? and "
                               "BatchNo=? and BatchNumber=?" + guard,
                               values) == 0 &&
        !guard.empty()) {
      return RefuseShortage(line, line.dcstockid, kAnotherClerk);
    }
    remaining = StoredQuantity(remaining - given);
  }
  if (remaining != 0) outcome_.unplacedIssues.push_back(line.hh + " " + adodb::FormatNumber(remaining));
  return LineStep::Go;
}

LineStep StockMovement::UnIssueBatch(const BillLineValues& line) {
  if (!HasRow(std::string(" select hh from phk") + kBatchKey, BatchKey(line, line.dcstockid)) &&
      CopyBatchRow(line, line.drstockid, line.dcstockid, "")) {
    return LineStep::Go;
  }
  return TakeStock(line, line.dcstockid,
                   std::string("update phk set bcsl=isnull(bcsl,0) - ?,sl=isnull(sl,0)+?") + kBatchKey,
                   Joined({BoundQuantity(line.sl), BoundQuantity(line.sl)}, BatchKey(line, line.dcstockid)), -line.sl,
                   "sl");
}

LineStep StockMovement::UnIssueBalance(const BillLineValues& line, bool currentYearOnly) {
  const std::string where = " where hh=? and stockid=?";
  const adodb::BoundValues balance{BoundText(line.hh), BoundText(line.dcstockid)};
  if (!HasRow(" select hh from ywbalance" + where + (currentYearOnly ? " and fyear=0 and fperiod=0" : " and fperiod=0"),
              balance)) {
    if (const std::optional<LineStep> made = InsertBalance(line, line.dcstockid)) return *made;
  }
  return TakeStock(
      line, line.dcstockid,
      "update ywbalance set bcsl=isnull(bcsl,0) - ?,sjsl=isnull(sjsl,0)+?,sjje = isnull(sjje,0) + (?),"
      "sjlsje=isnull(sjlsje,0) + (?)" + where + " and fperiod=0",
      Joined({BoundQuantity(line.sl), BoundQuantity(line.sl), BoundMoney(line.je), BoundMoney(line.lsze)}, balance),
      BalanceTaken(line, -line.sl), "sjsl");
}

LineStep StockMovement::UnIssuePlaces(const BillLineValues& line) {
  if (!HoldsPlaceRows("WarehouseOut", line)) return LineStep::Go;
  if (ChangePlaceBalances("WarehouseOut", line, "+") == LineStep::Stop) return LineStep::Stop;
  ForgetIssuedPlaces(line);
  return LineStep::Go;
}

void StockMovement::ForgetIssuedPlaces(const BillLineValues& line) {
  session_.Conn->Execute("Delete From BillGoodsPlace Where BillType='WarehouseOut' And BillGuid=? And BillDetailGuid=?",
                         {BoundText(lsh_), BoundText(line.dh)});
}

// --- the in-warehouse --------------------------------------------------------------------------------

// A row that holds stock and a location list gets the line's code appended; otherwise the list
// becomes the line's code.
LineStep StockMovement::ReceiveBatch(const BillLineValues& line, std::optional<double> sellPrice) {
  const adodb::ResultSet batch = Rows(std::string(" select sl,kh from phk") + kBatchKey, BatchKey(line, line.drstockid));
  if (batch.rows.empty()) {
    if (CopyBatchRow(line, line.dcstockid, line.drstockid, line.kh)) return LineStep::Go;
    return ReceiveBatch(line, sellPrice);  // another clerk's row, made since it was read
  }
  const double held = NumberOrZero(FirstRowColumn(batch, "sl"));
  const std::string list = FirstRowColumn(batch, "kh").TextOrEmpty();
  adodb::BoundValues values;
  if (sellPrice) values.push_back(BoundMoney(*sellPrice));
  const std::string head = sellPrice ? "update phk set SellPrice=?,brsl=isnull(brsl,0) + "
                                     : std::string("update phk set brsl=isnull(brsl,0) + ");
  const bool appends = held != 0 && !list.empty();
  values.insert(values.end(), {BoundQuantity(line.sl), BoundQuantity(line.sl),
                               BoundText(appends ? (line.kh.empty() ? "" : "," + line.kh) : line.kh)});
  return TakeStock(line, line.drstockid, head + "?,sl=isnull(sl,0)+?," + (appends ? "kh=kh + ?" : "kh=?") + kBatchKey,
                   Joined(std::move(values), BatchKey(line, line.drstockid)), -line.sl, "sl");
}

std::optional<double> StockMovement::BatchSellPrice(const BillLineValues& line, const std::string& warehouse) {
  const adodb::ResultSet batch =
      Rows(std::string("select isnull(sellprice,0) sellprice from phk") + kBatchKey, BatchKey(line, warehouse));
  if (batch.rows.empty()) return std::nullopt;
  return NumberOrZero(FirstRowColumn(batch, "sellprice"));
}

LineStep StockMovement::ReceiveBalance(const BillLineValues& line) {
  const std::string where = " where hh=? and stockid=? and fperiod=0";
  const adodb::BoundValues balance{BoundText(line.hh), BoundText(line.drstockid)};
  if (!HasRow(" select hh from ywbalance" + where, balance)) {
    if (const std::optional<LineStep> made = InsertBalance(line, line.drstockid)) return *made;
  }
  return TakeStock(
      line, line.drstockid,
      "update ywbalance set bRsl=isnull(bRsl,0) + ?,sjsl=isnull(sjsl,0)+?,sjje = isnull(sjje,0) + (?),"
      "sjlsje=isnull(sjlsje,0) + (?)" + where,
      Joined({BoundQuantity(line.sl), BoundQuantity(line.sl), BoundMoney(line.je), BoundMoney(line.lsze)}, balance),
      BalanceTaken(line, -line.sl), "sjsl");
}

// Every place receives what the line's rows give it; a place removed from the warehouse's places
// since the line was saved receives nothing, nor does the rest of the bill: the goods would lie on
// a place no list of the warehouse shows. The line's places are chosen again by amending it.
LineStep StockMovement::ReceivePlaces(const BillLineValues& line) {
  if (!KeepsPlaces(line.drstockid)) {
    if (HoldsPlaceRows("WarehouseIn", line)) {
      session_.Conn->Execute("Delete From BillGoodsPlace Where BillType='WarehouseIn' And BillGuid=? And BillDetailGuid=?",
                             {BoundText(lsh_), BoundText(line.dh)});
    }
    return LineStep::Go;
  }
  // One statement for the two checks every line into such a warehouse makes: a place removed from
  // the warehouse's places, and what the line's rows place there in all.
  const adodb::ResultSet found = Rows(
      "Select (Select Top 1 B.GoodsPlaceNo From BillGoodsPlace B Where B.BillType='WarehouseIn' And B.BillGuid=? And "
      "B.BillDetailGuid=? And Not Exists (Select 1 From GoodsPlace P Where P.GoodsPlaceGuid=B.GoodsPlaceGuid And "
      "P.GoodsPlaceNo=B.GoodsPlaceNo And P.WarehouseGuid=B.WarehouseGuid)) As Unlisted, (Select "
      "Sum(IsNull(Quantity,0)) From BillGoodsPlace Where BillType='WarehouseIn' And BillGuid=? And BillDetailGuid=? "
      "And WarehouseGuid=?) As Placed",
      {BoundText(lsh_), BoundText(line.dh), BoundText(lsh_), BoundText(line.dh), BoundText(line.drstockid)});
  if (!found.rows[0][0].IsNull()) {
    outcome_.result = StateResult::Refused;
    outcome_.refusal = StateRefusal::MasterGone;
    outcome_.message = "单号为[" + line.dh + "]的货位[" + found.rows[0][0].TextOrEmpty() + "]已不存在,请重新选择货位!";
    return LineStep::Stop;
  }
  // A line saved before the warehouse was switched to goods places has none (nor, stored by an
  // older save, all of them): received, the batch would hold goods that lie on no place.
  const double placed = NumberOrZero(found.rows[0][1]);
  if (std::fabs(placed - line.sl) > kQuantitySlack) {
    outcome_.result = StateResult::Refused;
    outcome_.refusal = StateRefusal::PlacesUnchosen;
    outcome_.message = "单号为[" + line.dh + "]的明细" +
                       (placed == 0 ? std::string("没有选择货位")
                                    : "货位数量合计" + adodb::FormatNumber(placed) + "不等于数量" +
                                          adodb::FormatNumber(line.sl)) +
                       ",请重新选择货位!";
    return LineStep::Stop;
  }
  return ChangePlaceBalances("WarehouseIn", line, "+");
}

LineStep StockMovement::UnReceiveBatch(const BillLineValues& line, const StockRow& row) {
  const std::string list = line.kh.empty() && row.kh.empty() ? "" : RemoveListItem(row.kh, line.kh);
  return TakeStock(line, line.drstockid,
                   std::string("update phk set brsl=isnull(brsl,0) - ?,sl=isnull(sl,0) - ?,kh=?") + kBatchKey,
                   Joined({BoundQuantity(line.sl), BoundQuantity(line.sl), BoundText(list)},
                          BatchKey(line, line.drstockid)),
                   line.sl, "sl");
}

LineStep StockMovement::UnReceiveBalance(const BillLineValues& line) {
  return TakeBalance(line, line.drstockid,
                     "update ywbalance set brsl=isnull(brsl,0) - ?,sjsl=isnull(sjsl,0) - ?,sjje = isnull(sjje,0) - "
                     "(?),sjlsje=isnull(sjlsje,0) - (?) where hh=? and stockid=? and fperiod=0",
                     {BoundQuantity(line.sl), BoundQuantity(line.sl), BoundMoney(line.je), BoundMoney(line.lsze),
                      BoundText(line.hh), BoundText(line.drstockid)},
                     line.sl);
}

LineStep StockMovement::UnReceivePlaces(const BillLineValues& line) {
  if (!HoldsPlaceRows("WarehouseIn", line)) return LineStep::Go;
  return ChangePlaceBalances("WarehouseIn", line, "-");
}

// --- rows created by a transfer ---------------------------------------------------------------------

// The further columns of the source row, except its issued count: what one warehouse issued is
// not the other's.
std::string StockMovement::CopiedPhkColumns() const {
  std::string copied;
  std::stringstream columns(settings_.phkColumnList);
  for (std::string column; std::getline(columns, column, ',');) {
    if (!IsPlainColumnName(column) || adodb::SameName(column, "BCSL")) continue;
    copied += "," + column;
  }
  return copied;
}

// The rows a transfer makes are made only where there is still none: another clerk moving the same
// goods into the same warehouse may have made the row since this one looked for it (on a server the
// look does not lock a row that is not there). His row is then changed as any other, so that the
// command goes on instead of failing on the row's key. The lock hint keeps a second look waiting on
// the first clerk's row until his transaction ends.
constexpr const char* kNoSuchBatchRow =
    " Not Exists (Select HH From PHK With (UpdLock, HoldLock) Where HH = ? And ph = ? And DH = ? And stockid =?)";
constexpr const char* kNoSuchBalanceRow =
    " And Not Exists (Select hh From ywbalance With (UpdLock, HoldLock) Where hh=? and stockid=? and fperiod=0 and "
    "fyear=0)";

// A batch row created in `to` as a copy of `from`'s row of the same batch; where `from` has none
// either (goods in transit between the two steps), a bare row keeps the quantity from vanishing.
// False when `to` has the row already.
bool StockMovement::CopyBatchRow(const BillLineValues& line, const std::string& from, const std::string& to,
                                 const std::string& kh) {
  const std::string further = CopiedPhkColumns();
  const adodb::BoundValues made{BoundText(line.hh), BoundText(line.ph), BoundText(line.pcdh), BoundText(to)};
  const long created = session_.Conn->Execute(
      "Insert Into PHK "
      "(HH,PH,DH,StockID,SL,xq,jhdj,scrq,yhrq,dwbh,dwmc,brsl,kh,LastPurchasePrice,qckc,jhsl,xhsl,qtsrsl,"
      "qtfcsl,thsl" +
          further + ")Select HH,PH,DH,?,?,xq,jhdj,scrq,yhrq,dwbh,dwmc,?,?,LastPurchasePrice,0,0,0,0,0,0" + further +
          " From PHK Where HH = ? And ph = ? And DH = ? And stockid =? And" + kNoSuchBatchRow,
      Joined({BoundText(to), BoundQuantity(line.sl), BoundQuantity(line.sl), BoundText(kh), BoundText(line.hh),
              BoundText(line.ph), BoundText(line.pcdh), BoundText(from)},
             made));
  if (created > 0) return true;
  return session_.Conn->Execute(std::string("Insert Into PHK (HH,PH,DH,StockID,SL,brsl,kh) Select ?,?,?,?,?,?,? Where") +
                                    kNoSuchBatchRow,
                                Joined({BoundText(line.hh), BoundText(line.ph), BoundText(line.pcdh), BoundText(to),
                                        BoundQuantity(line.sl), BoundQuantity(line.sl), BoundText(kh)},
                                       made)) > 0;
}

// The warehouse a line's goods leave may have no balance row for them where batches are kept
// (its batch row is what the stock check reads): the row is made, empty and at the goods' prices,
// and then changed as any other, so what the warehouse gives is booked against it. Updating no
// row instead would leave the goods counted in both warehouses, and the reversal, which makes a
// missing row to give them back, would then count them twice.
LineStep StockMovement::UpdateBalanceOf(const BillLineValues& line, const std::string& warehouse,
                                        const std::string& update, const adodb::BoundValues& values) {
  if (session_.Conn->Execute(update, values) > 0) return LineStep::Go;
  session_.Conn->Execute(
      std::string("Insert Into YwBalance (HH,STOCKID,FPERIOD,JJ,JJ_CKJ,PFJ,LSJ,SJ,CBJ,YCBJ,QCKC,JHSL,XHSL,QTSRSL,"
                  "QTFCSL,SJSL,brsl,bcsl,sjje,sjlsje)SELECT HH,?,0,JJ,JJ_CKJ,PFJ,LSJ,SJ,CBJ,YCBJ,0,0,0,0,0,0,0,0,0,0 "
                  "FROM YW_KCK WHERE HH=?") + kNoSuchBalanceRow,
      {BoundText(warehouse), BoundText(line.hh), BoundText(line.hh), BoundText(warehouse)});
  return session_.Conn->Execute(update, values) > 0 ? LineStep::Go : RefuseGoodsGone(line);
}

// A balance row created by a transfer carries the line's amounts with its quantity: the value
// that left one warehouse arrives in the other. Nothing when the warehouse has the row already.
std::optional<LineStep> StockMovement::InsertBalance(const BillLineValues& line, const std::string& warehouse) {
  const long inserted = session_.Conn->Execute(
             std::string("Insert Into YwBalance (HH,STOCKID,FPERIOD,JJ,JJ_CKJ,PFJ,LSJ,SJ,CBJ,YCBJ,QCKC,JHSL,XHSL,"
                         "QTSRSL,QTFCSL,SJSL,brsl,sjje,sjlsje)SELECT HH,?,0,JJ,JJ_CKJ,PFJ,LSJ,SJ,CBJ,YCBJ,0,0,0,0,0,?,?,?,"
                         "? FROM YW_KCK WHERE HH=?") + kNoSuchBalanceRow,
             {BoundText(warehouse), BoundQuantity(line.sl), BoundQuantity(line.sl), BoundMoney(line.je),
              BoundMoney(line.lsze), BoundText(line.hh), BoundText(line.hh), BoundText(warehouse)});
  if (inserted > 0) return LineStep::Go;
  if (HasRow(" select hh from ywbalance where hh=? and stockid=? and fperiod=0 and fyear=0",
             {BoundText(line.hh), BoundText(warehouse)})) {
    return std::nullopt;
  }
  return RefuseGoodsGone(line);
}

// Goods another program deleted from the goods master get no balance row (it is made from the
// master's prices): moved on, the goods would leave one warehouse's balance and arrive in no
// other's, though the batches moved.
LineStep StockMovement::RefuseGoodsGone(const BillLineValues& line) {
  outcome_.result = StateResult::Refused;
  outcome_.refusal = StateRefusal::MasterGone;
  outcome_.message = "货号: " + line.hh + "\r\n单号为[" + line.dh + "]的明细的商品资料已不存在,本次操作未做任何改变！";
  return LineStep::Stop;
}

}  // namespace storeadjust
