#include "lines/LineSaving.h"

#include <algorithm>
#include <cmath>

#include "adodb/BoundValues.h"
#include "adodb/Connection.h"
#include "adodb/Error.h"
#include "adodb/TextCompare.h"
#include "host/DataHelpers.h"
#include "host/DataScopeProvider.h"
#include "host/FirstValue.h"
#include "host/LenientValues.h"
#include "host/NumberHelpers.h"
#include "host/OperatorScope.h"
#include "host/RequireOpened.h"
#include "host/Rights.h"
#include "lines/BatchChoice.h"
#include "lines/BatchExpiry.h"
#include "lines/BillNumbering.h"
#include "lines/BoundColumns.h"
#include "lines/GoodsPlaceRows.h"
#include "lines/StoredBillLines.h"
#include "lines/WarehouseCheck.h"

namespace storeadjust {

namespace {

// Serials already taken are skipped; a rule without a running number gives one serial only.
constexpr int kMostSerialsSkipped = 1000;

// The editor's "YYYY-MM-DD" goes in as a date; a text that names no date goes as the text it is,
// for the server to judge as it always did.
adodb::Parameter BillDate(const std::string& text) {
  if (const auto date = adodb::Date::Parse(text)) return adodb::BoundDate(*date);
  return adodb::BoundText(text);
}

LineFigures Rounded(LineFigures figures) {
  figures.enteredQty = StoredQuantity(figures.enteredQty);
  figures.baseQty = StoredQuantity(figures.baseQty);
  figures.amount = RoundTo(figures.amount, 2);
  figures.retailTotal = RoundTo(figures.retailTotal, 2);
  figures.retailTotalNet = RoundTo(figures.retailTotalNet, 2);
  figures.taxDifference = RoundTo(figures.taxDifference, 2);
  return figures;
}

bool GoodsStillInMaster(Session& session, const std::string& hh) {
  return RequireOpened(OpenRsReadOnly(session, "select top 1 hh from yw_kck where hh=?", {adodb::BoundText(hh)}))
             ->RecordCount() > 0;
}

// The unit as the goods' units list it now counts as it did when the row took it.
bool UnitStillListed(Session& session, const LineToSave& line) {
  return !line.listedUnit ||
         KeptAsTaken(UnitKeptNow(session, line.hh, line.listedUnit->code), *line.listedUnit);
}

// The goods are kept as the row took them: a line of goods switched to amount only meanwhile
// would be stored with a batch and a quantity the audit no longer moves, and the bill's commands
// refused for it; one switched to quantity, without the batch every command then asks for.
bool KeptAsEntered(Session& session, const LineToSave& line) {
  if (!line.amountOnly) return true;
  const adodb::Variant now =
      FirstValue(*session.Conn, "select isnull(fonlymoney,0) from yw_kck where hh=?", {adodb::BoundText(line.hh)});
  return FlagIsSet(now) == *line.amountOnly;
}

// What the save weighs against the losing warehouse's stock, in base units: the whole line, or,
// for an amended line weighed when it was stored, what it takes beyond the stored line from the
// same goods, batch and warehouses.
double QuantityToWeigh(const LineToSave& line) {
  const double quantity = std::fabs(StoredQuantity(line.figures.baseQty));
  if (line.stockWeighed == LineToSave::StockWeighed::Never) return 0;
  if (line.stockWeighed != LineToSave::StockWeighed::WhenStored || !line.amendedAsLoaded) return quantity;
  const BillLineValues& stored = *line.amendedAsLoaded;
  const auto same = [](const std::string& a, const std::string& b) { return adodb::CompareValues(a, b) == 0; };
  const bool sameTake = same(stored.hh, line.hh) && same(stored.ph, line.batchNo) && same(stored.pcdh, line.batchLine) &&
                        same(stored.dcstockid, line.outWarehouse) && same(stored.drstockid, line.inWarehouse) &&
                        (stored.sl > 0) == (line.figures.baseQty > 0);
  return sameTake ? StoredQuantity(quantity - std::fabs(stored.sl)) : quantity;
}

// The stock the line was judged against when its quantity was entered, weighed again: another
// clerk's audit may have taken it since, and the administrator may have switched bz3. A shortage
// the clerk accepted stands while the site allows it; one he was never asked about is asked now.
// A stock below zero now is moved further down unasked, as the quantity step moves it; one that
// was below zero then and another clerk's receipt has lifted since is weighed as it stands.
struct StockWeighing {
  LineSaveOutcome outcome = LineSaveOutcome::Saved;
  bool belowZero = false;  // the line goes on without its batch weighed, as from the quantity step
};

StockWeighing StockWeighedAgain(Session& session, const LineToSave& line) {
  const double quantity = QuantityToWeigh(line);
  if (quantity <= 0) return {};
  const std::string& losing = line.figures.baseQty > 0 ? line.outWarehouse : line.inWarehouse;
  const double stock = NumberOrZero(
      FirstValue(*session.Conn, kCurrentStockSql, {adodb::BoundText(line.hh), adodb::BoundText(losing)}));
  switch (JudgeStock(quantity, stock, SiteAllowsShortages(*session.Conn))) {
    case StockVerdict::Covered:
      return {};
    case StockVerdict::Short:
      return {LineSaveOutcome::ShortageForbidden};
    case StockVerdict::AlreadyNegative:
      return {LineSaveOutcome::Saved, true};
    case StockVerdict::AskShortage:
      break;
  }
  return {line.shortageAccepted ? LineSaveOutcome::Saved : LineSaveOutcome::ShortageToAccept};
}

// The batch the quantity step weighed the line against, weighed again: another clerk may have
// taken it out of the out-warehouse, or taken from it, since. A line leaving from a batch row that
// is gone is stored for an audit that finds nothing to take it from; one the batch no longer
// covers is asked about as the quantity step asks, after what the bill's other lines take from it,
// unless the warehouse's stock is below zero, where the step asks nothing of the batch.
LineSaveOutcome BatchWeighedAgain(Session& session, const LineToSave& line, bool stockBelowZero) {
  if ((line.batchNo.empty() && line.batchLine.empty()) || QuantityToWeigh(line) <= 0) return LineSaveOutcome::Saved;
  const bool outLoses = line.figures.baseQty > 0;
  const std::optional<double> held = BatchQuantity(session, line.hh, outLoses ? line.outWarehouse : line.inWarehouse,
                                                   line.batchNo, line.batchLine);
  if (!held && outLoses) return LineSaveOutcome::BatchGone;
  if (line.batchShortAccepted || stockBelowZero) return LineSaveOutcome::Saved;
  const double taken = TakenByOtherLines(
      session, {line.newBill ? std::string() : line.lsh, line.dh, line.hh, line.batchNo, line.batchLine, outLoses});
  const double quantity = std::fabs(StoredQuantity(line.figures.baseQty));
  return BatchCovers(held.value_or(0), taken, quantity) ? LineSaveOutcome::Saved : LineSaveOutcome::BatchShortToAccept;
}

// On a server, the first statement of the transaction to touch the counter row holds it until
// commit, so a second clerk's save reads the counter only after the first has advanced it. (The
// embedded database holds the whole database from the transaction's start.)
void LockSerialCounter(Session& session) {
  session.Conn->Execute("update t_billnum set fmaxnum = fmaxnum where fid=75 and fused=1");
  session.Conn->Execute("update sys_dh set dblsh = dblsh where id=?", {adodb::BoundText(session.OptCode)});
}

std::string FreeSerial(Session& session) {
  LockSerialCounter(session);
  std::string serial = BuildNewSerial(session);
  for (int skipped = 0; SerialStored(session, serial); ++skipped) {
    AdvanceSerialCounter(session);
    const std::string next = BuildNewSerial(session);
    if (next == serial || skipped == kMostSerialsSkipped) {
      throw adodb::Error::DuplicateKey("流水号 " + serial + " 已被另一张单据使用");
    }
    serial = next;
  }
  return serial;
}

// Whether the bill may take lines: neither audited nor, in the two-step flow, pre-audited; and
// still there, since another clerk may have deleted it from the browser while it was open here.
enum class BillOpenness { Open, Audited, Gone };

// The bill's header as stored, read once inside the transaction: whether it may take lines, and
// the fields a save keeps where the clerk left them as loaded. Read under the update lock an audit
// takes on the same row, so that on a server an audit cannot commit between this check and the
// line's insert (the line would then sit in an audited bill whose stock never moved for it).
struct StoredHeader {
  BillOpenness openness = BillOpenness::Gone;
  HeaderFields fields;  // billDate empty when the header has none
};

StoredHeader ReadStoredHeader(Session& session, const std::string& lsh) {
  auto rs = RequireOpened(OpenRsReadOnly(
      session,
      "select isnull(preshbz,0) preshbz, isnull(shbz,0) shbz, kdrq, bz, czry from ckdbdzk with (updlock, rowlock) "
      "where lsh=?",
      {adodb::BoundText(lsh)}));
  if (rs->RecordCount() < 1) return {};
  rs->MoveFirst();
  StoredHeader header;
  header.openness = FlagIsSet(rs->Value("preshbz")) || FlagIsSet(rs->Value("shbz")) ? BillOpenness::Audited
                                                                                      : BillOpenness::Open;
  if (!rs->Value("kdrq").IsNull()) {
    const adodb::Date date = rs->Value("kdrq").AsDate();
    header.fields.billDate = adodb::Date{date.year, date.month, date.day}.ToText();
  }
  header.fields.remark = rs->Value("bz").TextOrEmpty();
  header.fields.operatorName = rs->Value("czry").TextOrEmpty();
  return header;
}


// Read inside the transaction, so that what other clerks committed meanwhile is seen: Saved when
// the line of a stored bill may be written.
LineSaveOutcome RefusalOf(Session& session, const LineToSave& line, const StoredHeader& stored) {
  const BillOpenness openness = stored.openness;
  if (openness == BillOpenness::Audited) return LineSaveOutcome::BillAudited;
  // The maker is written only when the header is made, and no screen types it: another maker under
  // the serial is another clerk's bill, made after the one on screen was deleted. The line would be
  // stored among lines the clerk never saw, and the bill he saw be gone.
  if (openness == BillOpenness::Open && line.headerAsLoaded &&
      stored.fields.operatorName != line.headerAsLoaded->operatorName) {
    return LineSaveOutcome::BillGone;
  }
  // A bill deleted with the lines the clerk saw is not made again with this line alone; a header
  // that went as one without lines is written again.
  if (openness == BillOpenness::Gone && (line.billShowsLines || line.amend)) return LineSaveOutcome::BillGone;
  // Submitted or approved while the clerk chose the goods places or answered a question: the flow
  // holds the bill as it was handed over.
  if (openness == BillOpenness::Open && !TransferBillEditable(*CreateDataScopeProvider(), session.ConnStr, line.lsh)) {
    return LineSaveOutcome::HeldByApproval;
  }
  // An amended line deleted since it was loaded: updating nothing and writing its goods places
  // would leave rows without a line. One changed since, by another clerk's amendment or as a new
  // line given the number again, would be written over unseen.
  if (line.amend) {
    // Its places read as they were when it was loaded: the switch flipped since is the save's to
    // follow, not a change of the line.
    const std::optional<BillLineValues> stored =
        ReadBillLine(*session.Conn, line.lsh, line.dh,
                     line.amendedAsLoaded ? std::optional<bool>(line.amendedAsLoaded->placesRead.kept) : std::nullopt);
    if (!stored) return LineSaveOutcome::LineGone;
    if (line.amendedAsLoaded && *stored != *line.amendedAsLoaded) return LineSaveOutcome::LineChanged;
  }
  if (WarehousesKeptByLines(session, line.lsh, line.outWarehouse, line.inWarehouse, line.dh)) {
    return LineSaveOutcome::WarehousesKept;
  }
  return LineSaveOutcome::Saved;
}

void InsertHeader(Session& session, const LineToSave& line, const std::string& lsh) {
  session.Conn->Execute(
      "insert into ckdbdzk(lsh,kdrq,dcstockid,drstockid,bz,czry,shbz,shry,jzbz) values "
      "(?,?,?,?,?,?,0,'',0)",
      {adodb::BoundText(lsh), BillDate(line.billDate), adodb::BoundText(line.outWarehouse),
       adodb::BoundText(line.inWarehouse), adodb::BoundText(line.remark), adodb::BoundText(line.operatorName)});
}

// The line with the header fields the clerk left as loaded taken from the stored header: saving
// a line puts back no field another clerk changed meanwhile, and the line takes the bill's remark
// as stored.
LineToSave WithStoredHeaderFields(const LineToSave& line, const HeaderFields& stored) {
  if (!line.headerAsLoaded) return line;
  LineToSave merged = line;
  const HeaderFields& loaded = *line.headerAsLoaded;
  if (line.billDate == loaded.billDate && !stored.billDate.empty()) merged.billDate = stored.billDate;
  if (line.remark == loaded.remark) merged.remark = stored.remark;
  if (line.operatorName == loaded.operatorName) merged.operatorName = stored.operatorName;
  return merged;
}

// The line's batch has expired on the date the bill is saved under, and the clerk's word was not
// given for that date: another clerk moved the bill's date since, or the batch's expiry into the
// past while the row waited.
bool ExpiredSinceJudged(Session& session, const LineToSave& line) {
  if (!line.expiryJudgedOn) return false;
  const std::optional<adodb::Date> billDate = adodb::Date::Parse(line.billDate);
  if (!billDate) return false;
  if (line.expiredAccepted && billDate == adodb::Date::Parse(*line.expiryJudgedOn)) return false;
  const adodb::Variant expiry = BatchExpiryDate(session, line.hh, line.outWarehouse, line.batchNo, line.batchLine);
  return JudgeExpiry(expiry, *billDate).state == BatchExpiry::State::Expired;
}

// A stored line of the bill whose batch had not expired on the date the bill was stored under and
// has on the date this save moves it to: the date is the whole bill's, and the line would leave
// expired on a word nobody gave. Lines the clerk let go so already are passed over.
std::optional<SavedLine> StoredLineExpiredOnNewDate(Session& session, const LineToSave& line,
                                                    const std::string& storedDate) {
  const std::optional<adodb::Date> billDate = adodb::Date::Parse(line.billDate);
  const std::optional<adodb::Date> before = adodb::Date::Parse(storedDate);
  if (!billDate || billDate == before) return std::nullopt;
  auto rs = RequireOpened(OpenRsReadOnly(
      session,
      "select m.dh, m.ph, p.xq from ckdbdzkmx m inner join phk p on p.hh=m.hh and p.stockid=m.dcstockid and "
      "p.ph=m.ph and p.dh=m.pcdh where m.lsh=? and m.dh<>? order by m.dh",
      {adodb::BoundText(line.lsh), adodb::BoundText(line.dh)}));
  for (rs->MoveFirst(); rs->RecordCount() > 0 && !rs->EOF(); rs->MoveNext()) {
    const std::string dh = rs->Value("dh").TextOrEmpty();
    const BatchExpiry now = JudgeExpiry(rs->Value("xq"), *billDate);
    if (now.state != BatchExpiry::State::Expired || std::ranges::count(line.expiredLinesAccepted, dh) > 0) continue;
    if (before && JudgeExpiry(rs->Value("xq"), *before).state == BatchExpiry::State::Expired) continue;
    SavedLine expired{LineSaveOutcome::StoredLineExpired, line.lsh, line.dh};
    expired.expiredLine = dh;
    expired.expiredBatch = rs->Value("ph").TextOrEmpty();
    expired.expiredDays = now.days;
    return expired;
  }
  return std::nullopt;
}

void UpdateHeader(Session& session, const LineToSave& line, const std::string& lsh) {
  session.Conn->Execute("update ckdbdzk set kdrq=?,bz=?,czry=?,dcstockid=?,drstockid=? where lsh=?",
                        {BillDate(line.billDate), adodb::BoundText(line.remark), adodb::BoundText(line.operatorName),
                         adodb::BoundText(line.outWarehouse), adodb::BoundText(line.inWarehouse),
                         adodb::BoundText(lsh)});
}

void InsertLine(Session& session, const LineToSave& line, const std::string& lsh, const std::string& dh) {
  const LineFigures& f = line.figures;
  session.Conn->Execute(
      "insert into ckdbdzkmx (lsh,dh,hh,pm,ph,pcdh,dj,sl,je,lsj,lsze,wslsze,cj,dw,srsl,kh,bz,dcstockid,drstockid) "
      "values(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,'',?,?,?)",
      {adodb::BoundText(lsh), adodb::BoundText(dh), adodb::BoundText(line.hh), adodb::BoundText(line.goodsName),
       adodb::BoundText(line.batchNo), adodb::BoundText(line.batchLine), BoundAsHeld(line.price, kMoneyScale),
       BoundAsHeld(f.baseQty, kQuantityScale), BoundAsHeld(f.amount, kMoneyScale),
       BoundAsHeld(line.retailPrice, kMoneyScale), BoundAsHeld(f.retailTotal, kMoneyScale),
       BoundAsHeld(f.retailTotalNet, kMoneyScale), BoundAsHeld(f.taxDifference, kMoneyScale),
       adodb::BoundText(line.unitName), BoundAsHeld(f.enteredQty, kQuantityScale), adodb::BoundText(line.remark),
       adodb::BoundText(line.outWarehouse), adodb::BoundText(line.inWarehouse)});
}

void UpdateLine(Session& session, const LineToSave& line, const std::string& lsh) {
  const LineFigures& f = line.figures;
  session.Conn->Execute(
      "Update ckdbdzkmx set dcstockid=?,drstockid=?,hh=?,pm=?,ph=?,pcdh=?,dj=?,sl=?,je=?,lsj=?,lsze=?,wslsze=?,cj=?,"
      "dw=?,srsl=?,Kh='',Bz=? where lsh=? and dh=?",
      {adodb::BoundText(line.outWarehouse), adodb::BoundText(line.inWarehouse), adodb::BoundText(line.hh),
       adodb::BoundText(line.goodsName), adodb::BoundText(line.batchNo), adodb::BoundText(line.batchLine),
       BoundAsHeld(line.price, kMoneyScale), BoundAsHeld(f.baseQty, kQuantityScale), BoundAsHeld(f.amount, kMoneyScale),
       BoundAsHeld(line.retailPrice, kMoneyScale), BoundAsHeld(f.retailTotal, kMoneyScale),
       BoundAsHeld(f.retailTotalNet, kMoneyScale), BoundAsHeld(f.taxDifference, kMoneyScale),
       adodb::BoundText(line.unitName),
       line.enteredQtyIsNull ? adodb::BoundNull(adodb::adDecimal) : BoundAsHeld(f.enteredQty, kQuantityScale),
       adodb::BoundText(line.remark), adodb::BoundText(lsh), adodb::BoundText(line.dh)});
}

}  // namespace

// The tax figures are worked from the retail total and amount as they are stored (2 places): so
// they agree with them, and a line amended with nothing changed, whose fields show the stored
// figures, keeps its tax figures too.
LineFigures FiguresOf(double enteredQty, double unitCoefficient, double lineAmount, double retailTotal,
                      double amountShown, double taxRate) {
  const double retail = RoundTo(retailTotal, 2);
  const double shown = RoundTo(amountShown, 2);
  return Rounded({enteredQty, unitCoefficient * enteredQty, lineAmount, retail, retail * 100 / (taxRate + 100),
                  retail - shown * (taxRate + 100) / 100});
}

bool KeptAsTaken(const std::optional<MeasureUnit>& now, const MeasureUnit& taken) {
  return now && (!taken.listed || now->coefficient == taken.coefficient);
}

std::optional<MeasureUnit> UnitKeptNow(Session& session, const std::string& hh, const std::string& code) {
  if (code.empty()) return std::nullopt;
  const adodb::ResultSet now = session.Conn->GetBackend().Query(
      "select FName,FCoefficient from t_MeasureUnit where hh=? and FMeasureUnitID=? and isnull(FDeleted,0)=0",
      {adodb::BoundText(hh), adodb::BoundText(code)});
  if (now.rows.empty() || now.rows[0].size() < 2) return std::nullopt;
  return MeasureUnit{code, now.rows[0][0].TextOrEmpty(), CountedCoefficient(NumberOrZero(now.rows[0][1])), true};
}

// Each line moves stock between the warehouses it was stored with, and the bill names them in its
// header: with lines stored besides the one saved, a header naming other warehouses would show a
// bill whose lines move stock elsewhere.
bool WarehousesKeptByLines(Session& session, const std::string& lsh, const std::string& outWarehouse,
                           const std::string& inWarehouse, const std::string& savedDh) {
  return RequireOpened(OpenRsReadOnly(session,
                                      "select b.lsh from ckdbdzk b where b.lsh=? and (b.dcstockid<>? or b.drstockid<>?) "
                                      "and exists (select 1 from ckdbdzkmx m where m.lsh=b.lsh and m.dh<>?)",
                                      {adodb::BoundText(lsh), adodb::BoundText(outWarehouse),
                                       adodb::BoundText(inWarehouse), adodb::BoundText(savedDh)}))
             ->RecordCount() > 0;
}

std::string NextLineNumber(Session& session, const std::string& lsh) {
  const double largest =
      NumberOrZero(GetFieldValue(session, "select max( (cast(dh as int)) ) as maxdh from ckdbdzkmx where lsh=?",
                                 "MaxDH", {adodb::BoundText(lsh)}));
  return adodb::FormatNumber((largest == 0 ? 1000 : largest) + 1);
}

SavedLine StoreLine(Session& session, const LineToSave& line) {
  if (!session.Conn) throw adodb::Error::Closed();
  adodb::TransactionGuard transaction(*session.Conn);
  // The right the editor found held, taken away while the clerk chose the goods places or answered
  // a question: a stored line is amended on 修改; a line is added on the right the clerk holds the
  // bill by, 新增 for one he began (its first line makes it), 修改 for one opened from the list.
  if (const char* right = !line.amend && (line.newBill || line.billBegunHere) ? "新增" : "修改";
      !HoldsRightNow(*session.Conn, session, right)) {
    return {LineSaveOutcome::NoRight, line.lsh, line.dh};
  }
  // Read again inside the transaction: a warehouse removed since the editor checked it is refused,
  // and so is one the administrator took out of the operator's data scope meanwhile (asked of the
  // component on its own connection, as the approval below).
  const WarehouseVerdict warehouses = CheckBillWarehouses(session, line.outWarehouse, line.inWarehouse,
                                                          OperatorScopeCondition(session, "ID", kWarehouseScope));
  if (warehouses.fault == WarehouseFault::OutsideScope) {
    return {LineSaveOutcome::OutsideScope, line.lsh, line.dh, "", "", warehouses.outSide};
  }
  if (!warehouses.Allowed()) throw adodb::Error::Provider("仓库编号不存在!");
  // So are goods removed from the master while the clerk chose the goods places or answered a
  // question: the line would name goods no list, audit or slip knows.
  if (!GoodsStillInMaster(session, line.hh)) return {LineSaveOutcome::GoodsGone, line.lsh, line.dh};
  if (!UnitStillListed(session, line)) return {LineSaveOutcome::UnitChanged, line.lsh, line.dh};
  if (!KeptAsEntered(session, line)) return {LineSaveOutcome::KeepingChanged, line.lsh, line.dh};
  // The in-warehouse's goods-place switch as it stands now: the administrator may have flipped it
  // while the clerk answered the goods-place dialog. Switched to goods places, the line would be
  // received into none of them; switched off, the places chosen are for a warehouse that keeps
  // none, and the line is stored as any line into it is, without them (rows written for it would
  // lie in the table until the audit drops them, and a deleted line would leave them for good).
  const bool keepsPlacesNow = KeepsGoodsPlacesNow(session, line.inWarehouse);
  if (keepsPlacesNow && !line.inWarehouseKeepsPlaces) return {LineSaveOutcome::PlacesNeeded, line.lsh, line.dh};
  // And so are goods places removed from the in-warehouse's places while the dialog was answered:
  // the receipt would book goods onto a place no list of the warehouse shows.
  const LineGoodsPlaces places{"", "", line.hh, line.inWarehouse, line.batchNo, line.batchLine,
                               keepsPlacesNow ? line.goodsPlaces : std::vector<std::string>{}};
  if (const std::optional<std::string> gone = PlaceNoLongerListed(session, places)) {
    return {LineSaveOutcome::PlaceGone, line.lsh, line.dh, *gone};
  }
  SavedLine saved;
  LineToSave merged = line;
  if (line.newBill) {
    if (ExpiredSinceJudged(session, line)) return {LineSaveOutcome::BatchExpired, line.lsh, line.dh, "", line.billDate};
    saved.lsh = FreeSerial(session);
    InsertHeader(session, line, saved.lsh);
    AdvanceSerialCounter(session);
  } else {
    saved.lsh = line.lsh;
    const StoredHeader stored = ReadStoredHeader(session, saved.lsh);
    const BillOpenness openness = stored.openness;
    if (const LineSaveOutcome refused = RefusalOf(session, line, stored); refused != LineSaveOutcome::Saved) {
      return {refused, saved.lsh, line.dh};
    }
    if (openness == BillOpenness::Gone) {
      InsertHeader(session, line, saved.lsh);
    } else {
      merged = WithStoredHeaderFields(line, stored.fields);
      if (ExpiredSinceJudged(session, merged)) {
        return {LineSaveOutcome::BatchExpired, saved.lsh, line.dh, "", merged.billDate};
      }
      if (auto expired = StoredLineExpiredOnNewDate(session, merged, stored.fields.billDate)) return *expired;
      UpdateHeader(session, merged, saved.lsh);
    }
  }
  // The editor weighed what each place holds of the batch before this transaction began; another
  // clerk's receipt or return may have emptied a place since, and the line would take from it goods
  // it no longer holds. Weighed after the bill's own state, so that a bill deleted or audited
  // meanwhile is told as such; a header written above goes back with the transaction.
  if (const std::optional<PlaceShortage> shortage = PlaceGivingMoreThanItHolds(session, places)) {
    SavedLine refused{LineSaveOutcome::PlaceShort, line.lsh, line.dh};
    refused.shortage = *shortage;
    return refused;
  }
  const StockWeighing stock = StockWeighedAgain(session, line);
  if (stock.outcome != LineSaveOutcome::Saved) return {stock.outcome, line.lsh, line.dh};
  if (const LineSaveOutcome batch = BatchWeighedAgain(session, line, stock.belowZero); batch != LineSaveOutcome::Saved) {
    return {batch, line.lsh, line.dh};
  }
  saved.dh = line.amend ? line.dh : NextLineNumber(session, saved.lsh);
  if (line.amend) {
    UpdateLine(session, merged, saved.lsh);
  } else {
    InsertLine(session, merged, saved.lsh, saved.dh);
  }
  // An amended line moved to a warehouse without goods places loses the places it had in the
  // old one: rows of a warehouse the line no longer enters would be booked by nobody.
  LineGoodsPlaces stored = places;
  stored.lsh = saved.lsh;
  stored.dh = saved.dh;
  ReplaceInWarehousePlaces(session, stored);
  transaction.Commit();
  return saved;
}

}  // namespace storeadjust
