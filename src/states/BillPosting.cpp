#include "states/BillPosting.h"

#include "adodb/Connection.h"
#include "adodb/Error.h"
#include "adodb/Recordset.h"
#include "host/DataScopeProvider.h"
#include "host/LenientValues.h"
#include "host/SqlLiterals.h"

namespace storeadjust {

namespace {

adodb::Variant FirstValue(Session& session, const std::string& sql) {
  auto rs = session.Conn->OpenRecordset(sql);
  if (rs->RecordCount() < 1) return {};
  rs->MoveFirst();
  return rs->Value(std::size_t{0});
}

void RequireConnection(Session& session) {
  if (!session.Conn) throw adodb::Error::Closed();
}

}  // namespace

bool PostBill(Session& session, const std::string& lsh) {
  RequireConnection(session);
  session.Conn->Execute("Update ckdbdzk Set Jzbz=1 Where Lsh=" + SqlText(lsh) + " and shbz=1");
  return NumberOrZero(FirstValue(session, "Select Count(*) As Bs From ckdbdzk Where Lsh=" + SqlText(lsh) +
                                              " And Jzbz=0")) == 0;
}

std::string SubmitForApproval(Session& session, const std::string& lsh) {
  RequireConnection(session);
  const double total = NumberOrZero(
      FirstValue(session, "Select round(Sum(Isnull(je,0)),2) as je from ckdbdzkmx where lsh=" + SqlText(lsh)));
  const double largest = NumberOrZero(
      FirstValue(session, "Select round(Max(Isnull(je,0)),2) as je from ckdbdzkmx where lsh=" + SqlText(lsh)));
  const std::string maker = FirstValue(session, "Select B.Guid Guid from ckdbdzk a inner join operators b on "
                                                "a.czry=b.name where a.lsh=" + SqlText(lsh)).TextOrEmpty();
  return CreateDataScopeProvider()->SubmitBill(session.ConnStr, kTransferBillTypeCode, lsh, maker, session.OptGuid,
                                               total, largest);
}

}  // namespace storeadjust
