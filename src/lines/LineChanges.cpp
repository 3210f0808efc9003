#include "lines/LineChanges.h"

#include "adodb/BoundValues.h"
#include "adodb/Connection.h"
#include "adodb/Recordset.h"
#include "adodb/Error.h"
#include "host/DataHelpers.h"
#include "host/DataScopeProvider.h"
#include "host/LenientValues.h"
#include "host/Rights.h"
#include "lines/BillHeaderState.h"
#include "lines/GoodsPlaceRows.h"
#include "lines/LineSaving.h"
#include "lines/StoredBillLines.h"
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
                           "select isnull(b.shbz,0) shbz,isnull(b.preshbz,0) preshbz,isnull(a.drstockid,'') drstockid,"
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

LineDeletion DeleteStoredLine(Session& session, const std::string& lsh, const std::string& dh,
                              const std::optional<BillLineValues>& shown) {
  RequireConnection(session);
  adodb::TransactionGuard transaction(*session.Conn);
  const BillHeaderState header = ReadBillHeader(*session.Conn, lsh, true);
  // The right, as the approval below, may have been taken away while the clerk was asked.
  if (!HoldsRightNow(*session.Conn, session, "删除")) return LineDeletion::NoRight;
  if (!header.exists || header.preAudited || header.audited) return LineDeletion::NotOpen;
  // The flow may have taken the bill while the clerk was asked whether to delete the line.
  if (!TransferBillEditable(*CreateDataScopeProvider(), session.ConnStr, lsh)) return LineDeletion::HeldByApproval;
  if (shown) {
    const std::optional<BillLineValues> stored = ReadBillLine(*session.Conn, lsh, dh, shown->placesRead.kept);
    if (!stored) return LineDeletion::NotOpen;
    if (*stored != *shown) return LineDeletion::LineChanged;
  }
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
  if (deleted == 0) return LineDeletion::NotOpen;
  if (placesKept) {
    session.Conn->Execute(
        "Delete From BillGoodsPlace Where (BillType='WarehouseIn' Or BillType='WarehouseOut') And "
        "BillGuid=? And BillDetailGuid=?",
        line);
  }
  transaction.Commit();
  return LineDeletion::Deleted;
}

PlacesReallocation ReallocateInWarehousePlaces(Session& session, const LineGoodsPlaces& places, double lineQty,
                                               std::string* placeGone,
                                               const std::optional<BillLineValues>& shown,
                                               PlaceShortage* shortage) {
  RequireConnection(session);
  adodb::TransactionGuard transaction(*session.Conn);
  const BillHeaderState header = ReadBillHeader(*session.Conn, places.lsh, true);
  if (!HoldsRightNow(*session.Conn, session, "修改")) return PlacesReallocation::NoRight;
  if (!header.exists || !header.preAudited || header.audited || header.posted) {
    return PlacesReallocation::BillNotPreAudited;
  }
  auto line = session.Conn->OpenRecordset(
      "select isnull(hh,'') hh,isnull(ph,'') ph,isnull(pcdh,'') pcdh,isnull(drstockid,'') drstockid,isnull(sl,0) sl "
      "from ckdbdzkmx where lsh=? and dh=?",
      {adodb::BoundText(places.lsh), adodb::BoundText(places.dh)});
  if (line->RecordCount() < 1) return PlacesReallocation::LineGone;
  line->MoveFirst();
  if (line->Value("hh").TextOrEmpty() != places.hh || line->Value("ph").TextOrEmpty() != places.batchNo ||
      line->Value("pcdh").TextOrEmpty() != places.batchLine ||
      line->Value("drstockid").TextOrEmpty() != places.warehouseId ||
      !SameQuantity(NumberOrZero(line->Value("sl")), lineQty)) {
    return PlacesReallocation::LineChanged;
  }
  if (shown && ReadBillLine(*session.Conn, places.lsh, places.dh, shown->placesRead.kept) != shown) {
    return PlacesReallocation::LineChanged;
  }
  // Switched off while the clerk chose: the confirm books no place of such a warehouse, and rows
  // written now would only wait there for it to drop them (or stay for good, the line deleted).
  if (!KeepsGoodsPlacesNow(session, places.warehouseId)) return PlacesReallocation::PlacesNotKept;
  // The confirm would refuse a place removed while the dialog was answered.
  if (const std::optional<std::string> gone = PlaceNoLongerListed(session, places)) {
    if (placeGone) *placeGone = *gone;
    return PlacesReallocation::PlaceGone;
  }
  // Weighed by the editor before the transaction: another clerk may have emptied a place since.
  if (const std::optional<PlaceShortage> short_ = PlaceGivingMoreThanItHolds(session, places)) {
    if (shortage) *shortage = *short_;
    return PlacesReallocation::PlaceShort;
  }
  ReplaceInWarehousePlaces(session, places);
  transaction.Commit();
  return PlacesReallocation::Replaced;
}

}  // namespace storeadjust
