// The goods information panel VfgSpxx: the current goods with its stock in both warehouses and
// the bill's totals, and the decimal places of the entry row's numeric fields.
//
// The panel has no fixed column: row 0 holds the column captions followed by "金额合计" and
// "零售总额合计", row 1 the goods' values followed by the two totals.
#include "adodb/Error.h"
#include "editor/FrmStoreAdjuctBill.h"
#include "editor/LineTotals.h"
#include "host/CellText.h"
#include "host/DataHelpers.h"
#include "host/LenientValues.h"
#include "host/NumberHelpers.h"
#include "host/TypeGroups.h"

namespace storeadjust {

namespace {

constexpr const char* kDefaultGoodsColumns =
    " a.pm as 品名,a.gg as 规格,a.cd as 产地,a.mjl as 包装,a.zbzl as 中包装,a.pdw as 单位,a.lsj as 零售价,"
    " isnull(b.sjsl,0) as 拨出库存数量,isnull(c.sjsl,0) as 拨入库存数量 ";
constexpr const char* kAmountTotalCaption = "金额合计";
constexpr const char* kRetailTotalCaption = "零售总额合计";

}  // namespace

// Statement by statement: one that fails leaves its part of the panel as it was.
void FrmStoreAdjuctBill::ShowGoodsInfo(const std::string& lsh, const std::string& hh) {
  if (lsh.empty()) return;
  panelGoods_ = hh;
  ShowGoodsRow(hh);
  ShowBillTotals(lsh);
  ShowNumberPlaces(vfgSpxx_, GridNumberPlaces());
  vfgSpxx_.NotifyContents();
  NotifyChanged();
}

void FrmStoreAdjuctBill::ShowGoodsRow(const std::string& hh) {
  try {
    // The column list is used as stored (the operator code is not put into it).
    std::string columns =
        GetFieldValue(session_, "select fsql from glselect where fdh='仓库调拨单商品信息'", "fsql").TextOrEmpty();
    if (columns.empty()) columns = kDefaultGoodsColumns;
    const std::string sql =
        "select " + columns + " from yw_kck a left join " +
        "(select hh, sjsl from ywbalance where fperiod=0  and fyear=0 and hh=? and stockid=?) b on a.hh=b.hh left join " +
        "(select hh, sjsl from ywbalance where fperiod=0  and fyear=0 and hh=? and stockid=?) c " +
        "on a.hh=c.hh where a.hh = ?";
    const adodb::BoundValues values = {adodb::BoundText(hh), adodb::BoundText(Text("TxtBcCkID")), adodb::BoundText(hh),
                                       adodb::BoundText(Text("txtBrCKid")), adodb::BoundText(hh)};
    adodb::Recordset rs;
    rs.Open(sql, values, session_.Conn);
    const long fields = static_cast<long>(rs.FieldCount());
    vfgSpxx_.Clear();
    vfgSpxx_.SetCols(fields + 2);
    vfgSpxx_.SetRows(2);
    for (long col = 0; col < fields; ++col) {
      vfgSpxx_.SetTextMatrix(0, col, rs.Column(static_cast<std::size_t>(col)).name);
      if (IsNumberColumn(rs.Column(static_cast<std::size_t>(col)).type)) {
        vfgSpxx_.SetColAlignment(col, GridModel::Alignment::Right);
      }
      if (rs.RecordCount() >= 1) {
        rs.MoveFirst();
        vfgSpxx_.SetTextMatrix(1, col, CellText(rs.Value(static_cast<std::size_t>(col))));
      }
    }
    rs.Close();
  } catch (const std::exception&) {
  }
}

void FrmStoreAdjuctBill::ShowBillTotals(const std::string& lsh) {
  if (vfgSpxx_.Cols() < 2 || vfgSpxx_.Rows() < 2) return;
  const long amountCol = vfgSpxx_.Cols() - 2;
  const long retailCol = vfgSpxx_.Cols() - 1;
  try {
    vfgSpxx_.SetTextMatrix(0, amountCol, kAmountTotalCaption);
    vfgSpxx_.SetTextMatrix(0, retailCol, kRetailTotalCaption);
    vfgSpxx_.SetColAlignment(amountCol, GridModel::Alignment::Right);
    vfgSpxx_.SetColAlignment(retailCol, GridModel::Alignment::Right);
    // A bill no line was saved into from this screen totals nothing: the serial it shows may name
    // another clerk's bill begun at the same moment, whose totals would be read as this one's.
    // Where the grid lists the bill's amounts, the totals are those of the lines it lists, as its
    // 合计 row and the commands take them: read again from the table on every row change, a line
    // another clerk saved meanwhile counted here and not there, two totals of one bill disagreeing.
    const LineTotals listed = !newBill_ && linesSerial_ == lsh ? SumLines(vfgContent_) : LineTotals{};
    // The table is read only for a total the grid does not list (a line template without its column).
    adodb::Variant storedAmount, storedRetail;
    if (!listed.amount || !listed.retailTotal) {
      adodb::Recordset rs;
      if (!newBill_) {
        rs.Open("select sum(je) as je,sum(lsze) as lsze from ckdbdzkmx where lsh=? group by lsh",
                {adodb::BoundText(lsh)}, session_.Conn);
      }
      if (newBill_ || rs.RecordCount() < 1) {
        vfgSpxx_.SetTextMatrix(1, amountCol, "0");
        vfgSpxx_.SetTextMatrix(1, retailCol, "0");
        return;
      }
      rs.MoveFirst();
      storedAmount = rs.Value("je");
      storedRetail = rs.Value("lsze");
    }
    // To the four places money holds: an amount another program stored as 7.6445 totals as the
    // 合计 row shows it, not cut to cents here alone.
    const auto listedOr = [](const std::optional<double>& sum, const adodb::Variant& stored) {
      return sum ? CellText(adodb::Variant(RoundTo(*sum, 4))) : CellText(stored);
    };
    vfgSpxx_.SetTextMatrix(1, retailCol, listedOr(listed.retailTotal, storedRetail));
    vfgSpxx_.SetTextMatrix(1, amountCol,
                           ForbiddenViewBatchPrice != "1" ? listedOr(listed.amount, storedAmount) : std::string());
  } catch (const std::exception&) {
  }
}

// A state change moves the stock the panel shows: the same goods, read again.
void FrmStoreAdjuctBill::RefreshGoodsInfo() {
  if (!panelGoods_.empty()) ShowGoodsInfo(Text("TxtLSH"), panelGoods_);
}

// The grids show quantities and prices with the places the entry fields were given.
NumberPlaces FrmStoreAdjuctBill::GridNumberPlaces() const {
  return {Control("TxtSl").decimals, Control("TxtDj").decimals};
}

// A setting left NULL means no decimal places, as a NULL bz3 means the switch is off; it must not
// keep the editor from opening. The amount and retail total are stored in cents, and the grid and
// totals show them so: the row shows them at the same places (10.50, not 10.5), and the line
// listed after the save reads as the row did.
void FrmStoreAdjuctBill::ApplyDecimalPlaces() {
  if (!session_.SysVarRs) throw adodb::Error::Closed();
  const NumberPlaces places = SiteNumberPlaces(*session_.SysVarRs);
  SetDecimals("TxtSl", places.quantity);
  SetDecimals("TxtDj", places.price);
  for (const char* amount : {"TxtJe", "TxtLsze"}) SetDecimals(amount, kAmountPlaces);
}

}  // namespace storeadjust
