#include "lines/BillLineValues.h"

#include <string_view>

#include "adodb/Error.h"
#include "adodb/TextCompare.h"
#include "host/LenientValues.h"

namespace storeadjust {

namespace {

// The first column of that name, as Recordset::Value(name) reads it.
std::size_t ColumnNamed(const adodb::Recordset& rs, std::string_view name) {
  const auto& columns = rs.Columns();
  for (std::size_t i = 0; i < columns.size(); ++i) {
    if (adodb::SameName(columns[i].name, name)) return i;
  }
  throw adodb::Error::ItemNotFound();
}

}  // namespace

BillLineValues::Columns::Columns(const adodb::Recordset& rs)
    : kh(ColumnNamed(rs, "kh")),
      hh(ColumnNamed(rs, "hh")),
      dh(ColumnNamed(rs, "dh")),
      dcstockid(ColumnNamed(rs, "dcstockid")),
      drstockid(ColumnNamed(rs, "drstockid")),
      ph(ColumnNamed(rs, "ph")),
      pcdh(ColumnNamed(rs, "pcdh")),
      sl(ColumnNamed(rs, "sl")),
      je(ColumnNamed(rs, "je")),
      lsze(ColumnNamed(rs, "lsze")),
      pm(ColumnNamed(rs, "pm")),
      dw(ColumnNamed(rs, "dw")),
      bz(ColumnNamed(rs, "bz")),
      dj(ColumnNamed(rs, "dj")),
      srsl(ColumnNamed(rs, "srsl")),
      lsj(ColumnNamed(rs, "lsj")),
      wslsze(ColumnNamed(rs, "wslsze")),
      cj(ColumnNamed(rs, "cj")),
      billDate(ColumnNamed(rs, "billkdrq")),
      billRemark(ColumnNamed(rs, "billbz")),
      billMaker(ColumnNamed(rs, "billczry")) {}

BillLineValues BillLineValues::FromRow(const adodb::Recordset& rs, const Columns& columns) {
  BillLineValues line;
  line.kh = rs.Value(columns.kh).TextOrEmpty();
  line.hh = rs.Value(columns.hh).TextOrEmpty();
  line.dh = rs.Value(columns.dh).TextOrEmpty();
  line.dcstockid = rs.Value(columns.dcstockid).TextOrEmpty();
  line.drstockid = rs.Value(columns.drstockid).TextOrEmpty();
  line.ph = rs.Value(columns.ph).TextOrEmpty();
  line.pcdh = rs.Value(columns.pcdh).TextOrEmpty();
  line.quantityIsNull = rs.Value(columns.sl).IsNull();
  line.sl = NumberOrZero(rs.Value(columns.sl));
  line.je = NumberOrZero(rs.Value(columns.je));
  line.lsze = NumberOrZero(rs.Value(columns.lsze));
  line.pm = rs.Value(columns.pm).TextOrEmpty();
  line.dw = rs.Value(columns.dw).TextOrEmpty();
  line.bz = rs.Value(columns.bz).TextOrEmpty();
  line.dj = NumberOrZero(rs.Value(columns.dj));
  line.srsl = NumberOrZero(rs.Value(columns.srsl));
  line.enteredIsNull = rs.Value(columns.srsl).IsNull();
  line.lsj = NumberOrZero(rs.Value(columns.lsj));
  line.wslsze = NumberOrZero(rs.Value(columns.wslsze));
  line.cj = NumberOrZero(rs.Value(columns.cj));
  line.header = {rs.Value(columns.billDate).TextOrEmpty(), rs.Value(columns.billRemark).TextOrEmpty(),
                 rs.Value(columns.billMaker).TextOrEmpty()};
  return line;
}

bool BillLineValues::MovesBetween(const std::string& out, const std::string& in) const {
  return adodb::CompareValues(dcstockid, out) == 0 && adodb::CompareValues(drstockid, in) == 0;
}

bool BillLineValues::LacksWarehouse() const {
  return adodb::Trimmed(dcstockid).empty() || adodb::Trimmed(drstockid).empty();
}

}  // namespace storeadjust
