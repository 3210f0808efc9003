#include "lines/BillHeaderState.h"

#include "adodb/BoundValues.h"
#include "adodb/Recordset.h"
#include "host/LenientValues.h"

namespace storeadjust {

BillHeaderState ReadBillHeader(adodb::Connection& connection, const std::string& lsh, bool locked) {
  auto rs = connection.OpenRecordset(
      std::string("select isnull(PreShbz,0) PreShbz,isnull(Shbz,0) Shbz,isnull(Jzbz,0) Jzbz from ckdbdzk") +
          (locked ? " with (updlock, rowlock)" : "") + " where lsh=?",
      {adodb::BoundText(lsh)});
  BillHeaderState header;
  if (rs->RecordCount() < 1) return header;
  rs->MoveFirst();
  header.exists = true;
  header.preAudited = FlagIsSet(rs->Value("PreShbz"));
  header.audited = FlagIsSet(rs->Value("Shbz"));
  header.posted = FlagIsSet(rs->Value("Jzbz"));
  return header;
}

}  // namespace storeadjust
