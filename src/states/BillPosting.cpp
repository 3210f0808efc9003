#include "states/BillPosting.h"

#include "adodb/Connection.h"
#include "adodb/Error.h"
#include "adodb/Recordset.h"
#include "host/DataScopeProvider.h"
#include "host/FirstValue.h"
#include "host/LenientValues.h"
#include "host/SqlLiterals.h"

namespace storeadjust {

namespace {

void RequireConnection(Session& session) {
  if (!session.Conn) throw adodb::Error::Closed();
}

}  // namespace

PostingResult PostBill(Session& session, const std::string& lsh) {
  RequireConnection(session);
  session.Conn->Execute("Update ckdbdzk Set Jzbz=1 Where Lsh=" + SqlText(lsh) + " and shbz=1");
  if (NumberOrZero(FirstValue(*session.Conn, "Select Count(*) As Bs From ckdbdzk Where Lsh=" + SqlText(lsh) +
                                                 " And Jzbz=0")) > 0) {
    return PostingResult::NotAudited;
  }
  // No unposted header is also what a serial never stored leaves: that posted nothing.
  const bool stored =
      NumberOrZero(FirstValue(*session.Conn, "Select Count(*) From ckdbdzk Where Lsh=" + SqlText(lsh))) > 0;
  return stored ? PostingResult::Posted : PostingResult::NotSaved;
}

std::string SubmitForApproval(Session& session, const std::string& lsh) {
  RequireConnection(session);
  const double total = NumberOrZero(
      FirstValue(*session.Conn, "Select round(Sum(Isnull(je,0)),2) as je from ckdbdzkmx where lsh=" + SqlText(lsh)));
  const double largest = NumberOrZero(
      FirstValue(*session.Conn, "Select round(Max(Isnull(je,0)),2) as je from ckdbdzkmx where lsh=" + SqlText(lsh)));
  const std::string maker = FirstValue(*session.Conn, "Select B.Guid Guid from ckdbdzk a inner join operators b on "
                                                "a.czry=b.name where a.lsh=" + SqlText(lsh)).TextOrEmpty();
  return CreateDataScopeProvider()->SubmitBill(session.ConnStr, kTransferBillTypeCode, lsh, maker, session.OptGuid,
                                               total, largest);
}

}  // namespace storeadjust
