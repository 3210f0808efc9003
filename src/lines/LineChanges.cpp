#include "lines/LineChanges.h"

#include "adodb/Connection.h"
#include "adodb/Error.h"
#include "host/DataHelpers.h"
#include "host/LenientValues.h"
#include "lines/BillHeaderState.h"
#include "host/FirstValue.h"

namespace storeadjust {

namespace {

constexpr const char* kBillStillOpen = "isnull(shbz,0)=0 and isnull(preshbz,0)=0";

void RequireConnection(Session& session) {
  if (!session.Conn) throw adodb::Error::Closed();
}

}  // namespace

StoredLine ReadStoredLine(Session& session, const std::string& lsh, const std::string& dh) {
  auto rs = OpenRsReadOnly(session,
                           "select isnull(b.shbz,0) shbz,isnull(b.preshbz,0) preshbz,isnull(b.drstockid,'') drstockid,"
                           "a.hh,a.ph,a.pcdh,isnull(a.sl,0) sl from ckdbdzkmx a inner join ckdbdzk b on a.lsh=b.lsh "
                           "where a.lsh=? and a.dh = ?",
                           {adodb::BoundText(lsh), adodb::BoundText(dh)});
  StoredLine line;
  if (!rs || rs->RecordCount() < 1) return line;
  rs->MoveFirst();
  if (FlagIsSet(rs->Value("shbz"))) {
    line.stage = BillStage::Audited;
  } else {
    line.stage = FlagIsSet(rs->Value("preshbz")) ? BillStage::PreAudited : BillStage::Open;
  }
  line.inWarehouse = rs->Value("drstockid").TextOrEmpty();
  line.hh = rs->Value("hh").TextOrEmpty();
  line.batchNo = rs->Value("ph").TextOrEmpty();
  line.batchLine = rs->Value("pcdh").TextOrEmpty();
  line.baseQty = NumberOrZero(rs->Value("sl"));
  return line;
}

bool DeleteStoredLine(Session& session, const std::string& lsh, const std::string& dh) {
  RequireConnection(session);
  adodb::TransactionGuard transaction(*session.Conn);
  const BillHeaderState header = ReadBillHeader(*session.Conn, lsh, true);
  if (!header.exists || header.preAudited || header.audited) return false;
  // The line's own in-warehouse decides, not the header's: a later line may have changed that.
  const adodb::BoundValues line{adodb::BoundText(lsh), adodb::BoundText(dh)};
  const bool placesKept = FlagIsSet(FirstValue(
      *session.Conn,
      "Select IsNull(s.FDeleted,0) As FDeleted From ckdbdzkmx a inner join GL_Stock s on s.ID=a.drstockid "
      "Where a.lsh=? and a.dh=?",
      line));
  const long deleted = session.Conn->Execute(
      std::string("delete ckdbdzkmx where lsh=? and dh = ? and exists (select lsh from ckdbdzk where lsh=? and ") +
          kBillStillOpen + ")",
      {adodb::BoundText(lsh), adodb::BoundText(dh), adodb::BoundText(lsh)});
  if (deleted == 0) return false;
  if (placesKept) {
    session.Conn->Execute(
        "Delete From BillGoodsPlace Where (BillType='WarehouseIn' Or BillType='WarehouseOut') And "
        "BillGuid=? And BillDetailGuid=?",
        line);
  }
  transaction.Commit();
  return true;
}

bool ReallocateInWarehousePlaces(Session& session, const LineGoodsPlaces& places) {
  RequireConnection(session);
  adodb::TransactionGuard transaction(*session.Conn);
  const BillHeaderState header = ReadBillHeader(*session.Conn, places.lsh, true);
  if (!header.exists || !header.preAudited || header.audited || header.posted) return false;
  if (FirstValue(*session.Conn, "select dh from ckdbdzkmx where lsh=? and dh=?",
                      {adodb::BoundText(places.lsh), adodb::BoundText(places.dh)})
          .IsEmpty()) {
    return false;
  }
  ReplaceInWarehousePlaces(session, places);
  transaction.Commit();
  return true;
}

}  // namespace storeadjust
