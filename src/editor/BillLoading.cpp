// Loading a stored bill into the editor, and the lines grid that always shows what is stored.

#include "adodb/Error.h"
#include "adodb/TextCompare.h"
#include "editor/FrmStoreAdjuctBill.h"
#include "editor/LineTotals.h"
#include "host/DataHelpers.h"
#include "host/ErrorText.h"
#include "host/LenientValues.h"
#include "host/LinePriceInBaseUnit.h"
#include "host/RequireOpened.h"
#include "host/UserInterface.h"
#include "states/BillSnapshot.h"

namespace storeadjust {

namespace {

// Put before the stored name of a line whose goods are no longer in the goods master.
constexpr const char* kGoodsGoneMark = "[商品已删除]";

// The header query joins lines, header and warehouses with "select *", so the line table's bz,
// dcstockid and drstockid come first and the header's columns of the same names after them.
// The header fields take the header's value: the last column of the name.
const adodb::Variant& HeaderValue(const adodb::Recordset& rs, std::string_view name) {
  const auto& columns = rs.Columns();
  for (std::size_t i = columns.size(); i-- > 0;) {
    if (adodb::SameName(columns[i].name, name)) return rs.Value(i);
  }
  throw adodb::Error::ItemNotFound();
}

// 审核人员 names whoever last moved the bill on. In the two-step flow a bill that is only
// pre-audited has no confirmer yet: its pre-auditor is shown, as the audit itself showed him.
std::string ShownAuditor(const adodb::Recordset& rs, bool twoStep) {
  const std::string confirmer = HeaderValue(rs, "SHRY").TextOrEmpty();
  if (!twoStep || !confirmer.empty()) return confirmer;
  return FlagIsSet(HeaderValue(rs, "PRESHBZ")) ? HeaderValue(rs, "PRESHRY").TextOrEmpty() : std::string();
}

// A bill stored without a date (by another program) shows the session's business date, as a new
// bill does: the computer's clock may be days off the date the clerk is booking on.
std::string DatePickerText(const adodb::Variant& value, const adodb::Date& businessDate) {
  const adodb::Date date = value.IsNull() ? businessDate : value.AsDate();
  return adodb::Date{date.year, date.month, date.day}.ToText();
}

}  // namespace

void FrmStoreAdjuctBill::AmendAddNew(std::string& id, const std::string& currentDh) {
  try {
    newBill_ = false;
    lsh_ = id;
    entry_ = EntryRow{};
    FillLinesGrid(id, {currentDh});
    SetLocked("TxtLsze", true);
    auto rs = RequireOpened(OpenRsReadOnly(
        session_, "select *,c.name as dcckname,d.name as drckname,a.hh from ckdbdzkmx a inner join ckdbdzk b "
                  "on a.lsh = b.lsh inner join gl_stock c on b.dcstockid=c.id left join gl_stock d on "
                  "b.drstockid=d.id " " where b.lsh=?",
        {adodb::BoundText(id)}));
    if (rs->RecordCount() >= 1) {
      rs->MoveFirst();
      FillHeaderFields(*rs, id);
    }
    rs->MoveLast();
    const std::string lastGoods = rs->Value("hh").TextOrEmpty();  // a bill that reads no line fails here
    std::string lsh = Text("TxtLSH");
    // The panel shows the goods of the grid's current line, which F3 and Del act on: the line the
    // clerk goes on from after a save, the first line of a bill just opened (whose panel showed the
    // last line's goods beside the first line highlighted).
    const bool rowListed = vfgContent_.Row >= 1 && vfgContent_.Row < vfgContent_.Rows() && vfgContent_.Cols() > 2;
    ShowGoodsInfo(lsh, rowListed ? vfgContent_.TextMatrix(vfgContent_.Row, 2) : lastGoods);
    ClearEntryRow();
    rs->Close();
    EnableTimer(Timer::Tmr);
  } catch (const std::exception& error) {
    session_.Ui->MsgBox(ErrorText(error) + "\n数据添加失败,请与管理员联系！", mb::kCritical, "错误:");
  }
}

void FrmStoreAdjuctBill::FillHeaderFields(adodb::Recordset& rs, const std::string& id) {
  ShowSerial(id);
  SetText("TxtBZ", HeaderValue(rs, "BZ").TextOrEmpty());
  SetText("TxtCzryName", HeaderValue(rs, "CZRY").TextOrEmpty());
  SetText("TxtSh", ShownAuditor(rs, IsStartStoreAdjustOK));
  SetText("DTPKdrq", DatePickerText(HeaderValue(rs, "KDRQ"), session_.SysDate));
  SetText("txtBrCKid", HeaderValue(rs, "drstockid").TextOrEmpty());
  SetText("txtBrCkName", rs.Value("drckname").TextOrEmpty());
  SetText("TxtBcCkID", HeaderValue(rs, "dcstockid").TextOrEmpty());
  SetText("txtBcCkName", rs.Value("dcckname").TextOrEmpty());
  HeaderShownAsStored();
}

// 审核人员 as stored, for a bill whose state another clerk changed while it was open here. A read
// that fails, or finds the bill gone, leaves the field as it was.
void FrmStoreAdjuctBill::ShowStoredAuditor() {
  try {
    auto rs = OpenRsReadOnly(session_, "select SHRY, PRESHBZ, PRESHRY from ckdbdzk where lsh=?",
                             {adodb::BoundText(Text("TxtLSH"))});
    if (!rs || rs->RecordCount() < 1) return;
    rs->MoveFirst();
    SetText("TxtSh", ShownAuditor(*rs, IsStartStoreAdjustOK));
  } catch (const std::exception&) {
  }
}

// The template's column list, used as stored (the operator code is not put into it); empty when
// there is none or it cannot be read.
std::string FrmStoreAdjuctBill::LinesColumnList() {
  try {
    auto rs = OpenRsReadOnly(session_, "select fsql from glselect where fdh='仓库调拨单'");
    if (!rs || rs->RecordCount() < 1) return {};
    rs->MoveFirst();
    std::string columns = rs->Value("fsql").TextOrEmpty();
    rs->Close();
    return columns;
  } catch (const std::exception&) {
    return {};
  }
}

// Every stored line is listed, since the audit moves every one: a line whose goods have left the
// goods master is kept (left join) and its name marked, so the clerk sees what he would audit.
// The row shows the base unit and the quantity in it, so its price is the one per base unit.
std::string FrmStoreAdjuctBill::DefaultLinesStatement() const {
  const std::string price = IsCkdbdDj ? "0" : LinePriceInBaseUnitSql("a");
  const std::string amount = IsCkdbdDj ? "0" : "a.je";
  return std::string("select dh as 单号,a.hh as 货号,case when c.hh is null then '") + kGoodsGoneMark +
         "' + isnull(a.PM,'') else a.PM end as 品名,c.pdw as 单位," + price + " as 单价,a.sl as 数量," + amount +
         " as 金额,a.lsze as 零售总额,a.bz as 备注 from CKDBDZKmx a inner join CKDBDZK  b on a.lsh=b.lsh left join "
         "yw_kck c on a.hh=c.hh where a.lsh=? order by a.dh";
}

// The unit each listed line's 数量 is in, where a site's columns show another unit beside it (the
// entered unit beside the base quantity); empty: the 单位 shown is it. Read in the grid's order; a
// line saved between the two reads leaves the counts apart, and the shown unit is taken.
std::vector<std::string> FrmStoreAdjuctBill::QuantityUnitsListed(const std::string& columns,
                                                                 const std::string& lsh) const {
  std::vector<std::string> units;
  const std::optional<std::string> unit = columns.empty() ? std::nullopt : QuantityUnitSql(columns);
  if (!unit) return units;
  try {
    adodb::Recordset rs;
    rs.Open("select " + *unit +
                " as unit from CKDBDZKmx a inner join CKDBDZK b on a.lsh=b.lsh where a.lsh=? order by a.dh",
            {adodb::BoundText(lsh)}, session_.Conn);
    for (long row = 0; row < rs.RecordCount(); ++row) units.push_back(rs.RowAt(rs.RowIndexAt(row))[0].TextOrEmpty());
  } catch (const std::exception&) {
    units.clear();
  }
  return units;
}

// The first of the lines asked for that the grid lists, 0 for none. Keys such as Del and F3 act
// on the current row, and the view shows it.
long FrmStoreAdjuctBill::ListedLineRow(const std::vector<std::string>& lines) const {
  if (vfgContent_.Cols() <= 1) return 0;
  for (const std::string& dh : lines) {
    for (long row = 1; !dh.empty() && row < vfgContent_.Rows(); ++row) {
      if (vfgContent_.TextMatrix(row, 1) == dh) return row;
    }
  }
  return 0;
}

// Never reports: a template that cannot be read gives the default columns, a statement that
// fails leaves the grid as it was.
void FrmStoreAdjuctBill::FillLinesGrid(const std::string& lsh, std::vector<std::string> linesToShow) {
  const std::string columns = LinesColumnList();
  const std::string sql =
      columns.empty() ? DefaultLinesStatement()
                      : "select " + columns + " from CKDBDZKmx a inner join CKDBDZK b on a.lsh=b.lsh where a.lsh=? order by a.dh";
  // The lines the state commands compare are read before the grid's: a line another clerk changes
  // in between then leaves them older than the grid, so a command refuses and lists the bill again,
  // rather than move a line the grid never listed.
  std::optional<std::vector<BillLineValues>> listed;
  try {
    listed = BillLinesAsListed(*session_.Conn, lsh);
  } catch (const std::exception&) {
  }
  // Listed again, the grid stays on the line the clerk was on (a line just saved is asked for).
  // Another bill, or a line gone, starts on the first line with the last, the newest, in view.
  const long here = vfgContent_.Row;
  if (linesSerial_ == lsh && here >= 1 && here < vfgContent_.Rows() && vfgContent_.Cols() > 1) {
    linesToShow.push_back(vfgContent_.TextMatrix(here, 1));
  }
  try {
    auto rs = std::make_shared<adodb::Recordset>();
    rs->Open(sql, {adodb::BoundText(lsh)}, session_.Conn);
    vfgContent_.Bind(std::move(rs));
    linesSerial_ = lsh;
    quantityUnits_ = QuantityUnitsListed(columns, lsh);
    const long listedRow = ListedLineRow(linesToShow);
    if (listedRow >= 1) vfgContent_.Row = listedRow;
    linesShownRow_ = listedRow >= 1 ? listedRow : vfgContent_.Rows() - 1;
    ShowNumberPlaces(vfgContent_, GridNumberPlaces());
    vfgContent_.NotifyContents();  // views fit the columns to the numbers as padded, and show the row
    NotifyChanged();
    linesListed_ = std::move(listed);  // a grid left as it was keeps the lines it lists
    if (linesListed_) {
      linesSeen_[lsh] = *linesListed_;
    } else {
      linesSeen_.erase(lsh);
    }
  } catch (const std::exception&) {
  }
  ShowBillState();
}

}  // namespace storeadjust
