#include "states/BillLineValues.h"

#include "host/LenientValues.h"

namespace storeadjust {

BillLineValues BillLineValues::FromRow(const adodb::Recordset& rs) {
  BillLineValues line;
  line.kh = rs.Value("kh").TextOrEmpty();
  line.hh = rs.Value("hh").TextOrEmpty();
  line.dh = rs.Value("dh").TextOrEmpty();
  line.dcstockid = rs.Value("dcstockid").TextOrEmpty();
  line.drstockid = rs.Value("drstockid").TextOrEmpty();
  line.ph = rs.Value("ph").TextOrEmpty();
  line.pcdh = rs.Value("pcdh").TextOrEmpty();
  line.sl = NumberOrZero(rs.Value("sl"));
  line.je = NumberOrZero(rs.Value("je"));
  line.lsze = NumberOrZero(rs.Value("lsze"));
  return line;
}

}  // namespace storeadjust
