#include "browse/MarkedBillPosting.h"

#include "adodb/BoundValues.h"
#include "adodb/Connection.h"
#include "adodb/Error.h"

namespace storeadjust {

std::vector<std::string> PostMarkedBills(Session& session, const std::vector<std::string>& serials) {
  if (!session.Conn) throw adodb::Error::Closed();
  std::vector<std::string> notPosted;
  adodb::TransactionGuard transaction(*session.Conn);
  for (const std::string& serial : serials) {
    if (session.Conn->Execute("Update ckdbdzk Set Jzbz=1 Where Lsh=? and shbz=1", {adodb::BoundText(serial)}) == 0) {
      notPosted.push_back(serial);
    }
  }
  transaction.Commit();
  return notPosted;
}

std::string NotPostedMessage(const std::vector<std::string>& serials) {
  std::string joined;
  for (const std::string& serial : serials) joined += (joined.empty() ? "" : ",") + serial;
  return "流水号为:" + joined + "的单据记帐不成功,可能的原因是单据还没有审核!";
}

}  // namespace storeadjust
