#include "browse/MarkedBillPosting.h"

#include "adodb/BoundValues.h"
#include "adodb/Connection.h"
#include "adodb/Error.h"
#include "browse/SerialList.h"
#include "host/Rights.h"
#include "lines/BillHeaderState.h"
#include "states/BillPosting.h"
#include "states/BillSnapshot.h"

namespace storeadjust {

namespace {

const std::vector<BillLineValues>* MarkedLinesOf(const MarkedBillLines* markedLines, const std::string& serial) {
  if (!markedLines) return nullptr;
  const auto marked = markedLines->find(serial);
  return marked == markedLines->end() ? nullptr : &marked->second;
}

}  // namespace

// A bill another clerk deleted after it was marked changes no row either: it is told apart, since
// "not audited yet" would send the clerk looking for a bill that is no more.
BillsNotPosted PostMarkedBills(Session& session, const std::vector<std::string>& serials, bool twoStep,
                               const MarkedBillLines* markedLines) {
  if (!session.Conn) throw adodb::Error::Closed();
  BillsNotPosted notPosted;
  adodb::TransactionGuard transaction(*session.Conn);
  // Read again after the clerk's Yes: the right may have been taken away while he answered.
  if (!HoldsRightNow(*session.Conn, session, "记帐")) {
    notPosted.noRight = true;
    return notPosted;
  }
  for (const std::string& serial : serials) {
    const BillHeaderState header = ReadBillHeader(*session.Conn, serial, true);
    if (!header.exists) {
      notPosted.gone.push_back(serial);
    } else if (header.posted) {
      // Posted since the list was read, the bill would be counted as posted now: it is named instead.
      notPosted.postedBefore.push_back(serial);
    } else if (PostedLinesChanged(*session.Conn, serial, header.audited, MarkedLinesOf(markedLines, serial))) {
      notPosted.linesChanged.push_back(serial);
    } else if (session.Conn->Execute("Update ckdbdzk Set Jzbz=1 Where Lsh=? and shbz=1", {adodb::BoundText(serial)}) == 0) {
      (twoStep && header.preAudited ? notPosted.notConfirmed : notPosted.notAudited).push_back(serial);
    }
  }
  transaction.Commit();
  return notPosted;
}

std::string NotPostedMessage(const BillsNotPosted& bills) {
  std::string text;
  if (!bills.notAudited.empty()) {
    text = "流水号为:" + NamedSerials(bills.notAudited) + "的单据记帐不成功,可能的原因是单据还没有审核!";
  }
  if (!bills.notConfirmed.empty()) {
    text += (text.empty() ? "" : "\n") + std::string("流水号为:") + NamedSerials(bills.notConfirmed) +
            "的单据记帐不成功,可能的原因是单据还没有确认!";
  }
  if (!bills.gone.empty()) {
    text += (text.empty() ? "" : "\n") + std::string("流水号为:") + NamedSerials(bills.gone) + "的单据已不存在,没有记帐!";
  }
  if (!bills.postedBefore.empty()) {
    text += (text.empty() ? "" : "\n") + std::string("流水号为:") + NamedSerials(bills.postedBefore) + "的单据已被他人记帐!";
  }
  if (!bills.linesChanged.empty()) {
    text += (text.empty() ? "" : "\n") + std::string("流水号为:") + NamedSerials(bills.linesChanged) + "\n" +
            kBillLinesChanged;
  }
  return text;
}

}  // namespace storeadjust
