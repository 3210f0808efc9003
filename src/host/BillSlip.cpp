#include "host/BillSlip.h"

#include <algorithm>
#include <map>

#include "adodb/BoundValues.h"
#include "adodb/Connection.h"
#include "adodb/Error.h"
#include "adodb/Recordset.h"
#include "host/CollatedKeys.h"
#include "host/FirstValue.h"
#include "host/LinePriceInBaseUnit.h"
#include "host/NumberHelpers.h"
#include "host/QuantityUnits.h"
#include "host/Settings.h"

namespace storeadjust {

namespace {

// The component is told table names, not values, so they cannot be quoted: anything but a plain
// name is refused rather than spliced into a statement.
std::string TableName(const std::string& given) {
  const auto first = given.find_first_not_of(' ');
  const auto last = given.find_last_not_of(' ');
  const std::string name = first == std::string::npos ? std::string() : given.substr(first, last - first + 1);
  const bool plain = !name.empty() && std::all_of(name.begin(), name.end(), [](unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
  });
  if (!plain) throw adodb::Error(adodb::errnum::kArgumentOutOfRange, "打印的表名无效: " + given, "PrintComponent");
  return name;
}

std::string DayText(const adodb::Variant& value) {
  if (value.IsNull() || value.IsEmpty()) return {};
  const adodb::Date date = value.AsDate();
  return adodb::Date{date.year, date.month, date.day}.ToText();
}

double Number(const adodb::Variant& value) { return value.IsNull() || value.IsEmpty() ? 0 : value.AsDouble(); }

adodb::Error BillGone(const std::string& serial) {
  return adodb::Error(adodb::errnum::kBofOrEof, "流水号为:" + serial + "的单据不存在!", "PrintComponent");
}

std::string Text(const adodb::Recordset& rs, const char* name) { return rs.Value(name).TextOrEmpty(); }

void ReadHeader(adodb::Connection& connection, const std::string& headerTable, BillSlip& slip) {
  auto rs = connection.OpenRecordset(
      "select a.lsh,a.kdrq,a.dcstockid,b.name as dcckname,a.drstockid,d.name as drckname,a.bz,a.czry,"
      "IsNull(a.PreShry,'') as PreShry,IsNull(a.shry,'') as shry from " + headerTable +
      " a left join gl_stock b on a.dcstockid=b.id left join gl_stock d on a.drstockid=d.id where a.lsh=?",
      {adodb::BoundText(slip.serial)});
  if (rs->RecordCount() < 1) throw BillGone(slip.serial);
  rs->MoveFirst();
  slip.date = DayText(rs->Value("kdrq"));
  slip.outWarehouseId = Text(*rs, "dcstockid");
  slip.outWarehouseName = Text(*rs, "dcckname");
  slip.inWarehouseId = Text(*rs, "drstockid");
  slip.inWarehouseName = Text(*rs, "drckname");
  slip.remark = Text(*rs, "bz");
  slip.maker = Text(*rs, "czry");
  const std::string preAuditor = Text(*rs, "PreShry");
  slip.auditor = preAuditor.empty() ? Text(*rs, "shry") : preAuditor;
}

// Lines in the order they were numbered: line numbers are text, and a bill past line 9999 would
// otherwise print 10000 between 1000 and 1001.
// The expiry is the batch's in the out-warehouse, where the goods came from. The quantity is in
// the base unit: a line entered in another unit shows the goods' base unit and the price per it.
void ReadLines(adodb::Connection& connection, const std::string& headerTable, const std::string& lineTable,
               BillSlip& slip) {
  auto rs = connection.OpenRecordset(
      "select a.dh,a.hh,IsNull(a.pm,'') as linepm,IsNull(g.pm,'') as goodspm,IsNull(g.gg,'') as gg,"
      "case when " + LineInBaseUnitSql("a") + " then IsNull(a.dw,'') else '' end as linedw,IsNull(g.pdw,'') as pdw,"
      "a.ph,p.xq,a.sl," + LinePriceInBaseUnitSql("a") + " as dj,a.je,a.lsze from " + lineTable +
      " a inner join " + headerTable + " b on a.lsh=b.lsh left join yw_kck g on a.hh=g.hh "
      "left join phk p on p.hh=a.hh and p.ph=a.ph and p.dh=a.pcdh and p.stockid=b.dcstockid where a.lsh=? "
      "order by len(a.dh),a.dh",
      {adodb::BoundText(slip.serial)});
  slip.lines.reserve(static_cast<std::size_t>(std::max(0L, rs->RecordCount())));
  for (rs->MoveFirst(); !rs->EOF(); rs->MoveNext()) {
    BillSlipLine line;
    line.lineNumber = Text(*rs, "dh");
    line.goodsNumber = Text(*rs, "hh");
    line.goodsName = Text(*rs, "linepm");
    if (line.goodsName.empty()) line.goodsName = Text(*rs, "goodspm");
    line.packSize = Text(*rs, "gg");
    line.unit = Text(*rs, "linedw");
    if (line.unit.empty()) line.unit = Text(*rs, "pdw");
    line.batch = Text(*rs, "ph");
    line.expiry = DayText(rs->Value("xq"));
    line.quantity = Number(rs->Value("sl"));
    line.price = Number(rs->Value("dj"));
    line.amount = Number(rs->Value("je"));
    line.retailTotal = Number(rs->Value("lsze"));
    slip.lines.push_back(std::move(line));
  }
}

// The goods places of each line (by line number), issue first: the audit's 'WarehouseOut' rows
// exist from the audit until its reversal, the 'WarehouseIn' rows from the line's save.
// Each place's quantity reads as the line's 数量 beside it does (12.00, not 12), so the two add up
// to the eye. Only rows of the line's own goods and batch: a line deleted while its warehouse kept
// no places leaves its rows under its number, which the next line saved takes. Places planned in
// an in-warehouse that keeps none now are where the goods will not be laid (the receipt drops
// them); once received, the rows left are where they were laid.
void ReadGoodsPlaces(adodb::Connection& connection, const std::string& headerTable, const std::string& lineTable,
                     BillSlip& slip) {
  auto rs = connection.OpenRecordset(
      "select p.BillDetailGuid,p.BillType,IsNull(p.GoodsPlaceNo,'') as GoodsPlaceNo,IsNull(p.Quantity,0) as Quantity "
      "from BillGoodsPlace p inner join " + lineTable + " a on a.lsh=p.BillGuid and a.dh=p.BillDetailGuid "
      "inner join " + headerTable + " b on b.lsh=a.lsh left join gl_stock s on s.id=a.drstockid "
      "where p.BillGuid=? and IsNull(p.MaterielGuid,'')=IsNull(a.hh,'') and IsNull(p.BatchNo,'')=IsNull(a.ph,'') "
      "and IsNull(p.BatchNumber,'')=IsNull(a.pcdh,'') and (p.BillType='WarehouseOut' or (p.BillType='WarehouseIn' "
      "and (IsNull(b.shbz,0)=1 or IsNull(s.FDeleted,0)=1))) "
      "order by p.BillDetailGuid,p.BillType desc,p.GoodsPlaceNo",
      {adodb::BoundText(slip.serial)});
  // By line number as the join matched it: a line stored as '1001 ' has the places of '1001'.
  std::map<std::string, std::string, CollatedLess> places;
  std::map<std::string, std::string, CollatedLess> sideOf;
  for (rs->MoveFirst(); !rs->EOF(); rs->MoveNext()) {
    const std::string dh = Text(*rs, "BillDetailGuid");
    const std::string side = adodb::SameName(Text(*rs, "BillType"), "WarehouseOut") ? "出" : "入";
    std::string& text = places[dh];
    if (sideOf[dh] != side) text += (text.empty() ? "" : " ") + side;
    sideOf[dh] = side;
    text += " " + Text(*rs, "GoodsPlaceNo") + ":" +
            NumberWithPlaces(Number(rs->Value("Quantity")), slip.places.quantity);
  }
  for (BillSlipLine& line : slip.lines) {
    const auto found = places.find(line.lineNumber);
    if (found != places.end()) line.goodsPlaces = found->second;
  }
}

NumberPlaces ReadSitePlaces(adodb::Connection& connection) {
  auto rs = connection.OpenRecordset("select slws,wsjws from sys_var");
  if (rs->RecordCount() < 1) return {};
  rs->MoveFirst();
  return SiteNumberPlaces(*rs);
}

bool ReadHidesAmountTotal(adodb::Connection& connection) {
  return IsProfileFlagOn(FirstValue(connection,
                                    "Select FValue From t_SystemProfile Where FCategory='GL' And "
                                    "FKey='ForbiddenViewBatchPrice'")
                             .TextOrEmpty());
}

}  // namespace

BillSlipTotals SlipTotals(const BillSlip& slip, std::size_t first, std::size_t count) {
  BillSlipTotals totals;
  const std::size_t end = first + std::min(count, slip.lines.size() - std::min(first, slip.lines.size()));
  QuantityUnits units;
  for (std::size_t i = first; i < end; ++i) {
    totals.quantity += slip.lines[i].quantity;
    units.Add(slip.lines[i].quantity, slip.lines[i].unit);
    totals.amount += slip.lines[i].amount;
    totals.retailTotal += slip.lines[i].retailTotal;
  }
  totals.oneUnit = !units.Differ();
  return totals;
}

std::vector<std::string> SplitSerials(const std::string& serials) {
  std::vector<std::string> split;
  std::size_t start = 0;
  while (start <= serials.size()) {
    const std::size_t bar = std::min(serials.find('|', start), serials.size());
    if (bar > start) split.push_back(serials.substr(start, bar - start));
    start = bar + 1;
  }
  return split;
}

std::vector<BillSlip> ReadBillSlips(adodb::Connection& connection, const std::string& headerTable,
                                    const std::string& lineTable, const std::vector<std::string>& serials) {
  const std::string header = TableName(headerTable);
  const std::string lines = TableName(lineTable);
  std::vector<BillSlip> slips;
  slips.reserve(serials.size());
  const adodb::ReadSnapshot snapshot(connection);
  const NumberPlaces places = ReadSitePlaces(connection);
  const bool hidesAmountTotal = ReadHidesAmountTotal(connection);
  for (const std::string& serial : serials) {
    BillSlip slip;
    slip.serial = serial;
    slip.places = places;
    slip.hidesAmountTotal = hidesAmountTotal;
    ReadHeader(connection, header, slip);
    ReadLines(connection, header, lines, slip);
    ReadGoodsPlaces(connection, header, lines, slip);
    // A header whose lines are gone is a bill being deleted, not one to print empty.
    if (slip.lines.empty()) throw BillGone(serial);
    slips.push_back(std::move(slip));
  }
  return slips;
}

}  // namespace storeadjust
