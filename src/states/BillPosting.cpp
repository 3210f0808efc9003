#include "states/BillPosting.h"

#include <memory>

#include "adodb/Connection.h"
#include "adodb/Error.h"
#include "adodb/Recordset.h"
#include "host/DataScopeProvider.h"
#include "host/LenientValues.h"
#include "host/FirstValue.h"
#include "host/Rights.h"
#include "lines/BillHeaderState.h"
#include "states/BillSnapshot.h"

namespace storeadjust {

namespace {

void RequireConnection(Session& session) {
  if (!session.Conn) throw adodb::Error::Closed();
}

// What keeps the bill from its approval flow as it stands now (see SubmissionBar).
SubmissionBar BarOf(adodb::Connection& connection, const std::string& lsh,
                    const std::vector<BillLineValues>* shownLines) {
  const BillHeaderState header = ReadBillHeader(connection, lsh, true);
  if (!header.exists) return SubmissionBar::NotSaved;
  if (header.preAudited || header.audited || header.posted) return SubmissionBar::Audited;
  if (shownLines && BillLinesAsListed(connection, lsh, shownLines) != *shownLines) return SubmissionBar::LinesChanged;
  return SubmissionBar::None;
}

}  // namespace

bool PostedLinesChanged(adodb::Connection& connection, const std::string& lsh, bool audited,
                        const std::vector<BillLineValues>* shownLines) {
  return shownLines && audited && BillLinesAsListed(connection, lsh, shownLines) != *shownLines;
}

PostingResult PostBill(Session& session, const std::string& lsh, const std::vector<BillLineValues>* shownLines,
                       bool readUnaudited) {
  RequireConnection(session);
  const adodb::BoundValues serial{adodb::BoundText(lsh)};
  adodb::TransactionGuard transaction(*session.Conn);
  // The right is read again after the clerk's Yes: it may have been taken away while he answered.
  if (!HoldsRightNow(*session.Conn, session, "记帐")) return PostingResult::NoRight;
  const BillHeaderState header = ReadBillHeader(*session.Conn, lsh, true);
  if (header.posted) return PostingResult::PostedBefore;
  if (readUnaudited && header.audited) return PostingResult::AuditedSinceRead;
  if (PostedLinesChanged(*session.Conn, lsh, header.audited, shownLines)) return PostingResult::LinesChanged;
  session.Conn->Execute("Update ckdbdzk Set Jzbz=1 Where Lsh=? and shbz=1", serial);
  const bool notPosted = NumberOrZero(FirstValue(
                             *session.Conn, "Select Count(*) As Bs From ckdbdzk Where Lsh=? And IsNull(Jzbz,0)=0", serial)) > 0;
  // No unposted header is also what a serial never stored leaves: that posted nothing.
  const bool stored =
      NumberOrZero(FirstValue(*session.Conn, "Select Count(*) From ckdbdzk Where Lsh=?", serial)) > 0;
  transaction.Commit();
  // What the bill still waits for: in the two-step flow an issued bill is audited, and is short
  // of its confirmation only.
  if (notPosted) return header.preAudited ? PostingResult::NotConfirmed : PostingResult::NotAudited;
  return stored ? PostingResult::Posted : PostingResult::NotSaved;
}

Submission SubmitBillForApproval(Session& session, const std::string& lsh,
                                 const std::vector<BillLineValues>* shownLines) {
  RequireConnection(session);
  adodb::Connection& connection = *session.Conn;
  // Made before the bill is read: nothing of the component's own comes between the bars and its
  // answer.
  const std::unique_ptr<DataScopeProvider> provider = CreateDataScopeProvider();
  std::string answer;
  {
    // A read transaction: the component writes on its own connection, which a write lock held
    // here would keep waiting on the embedded database.
    adodb::ReadSnapshot snapshot(connection);
    if (const SubmissionBar bar = BarOf(connection, lsh, shownLines); bar != SubmissionBar::None) return {bar, {}};
    const adodb::BoundValues serial{adodb::BoundText(lsh)};
    const double total = NumberOrZero(
        FirstValue(connection, "Select round(Sum(Isnull(je,0)),2) as je from ckdbdzkmx where lsh=?", serial));
    const double largest = NumberOrZero(
        FirstValue(connection, "Select round(Max(Isnull(je,0)),2) as je from ckdbdzkmx where lsh=?", serial));
    const std::string maker =
        FirstValue(connection,
                   "Select B.Guid Guid from ckdbdzk a inner join operators b on a.czry=b.name where "
                   "a.lsh=?",
                   serial)
            .TextOrEmpty();
    // The bars again, where the component can ask them as it records: the amounts it is handed
    // do not show a line changed at the same amount, or an audit, after the reading here.
    answer = provider->SubmitBillAsRead(
        session.ConnStr, kTransferBillTypeCode, lsh, maker, session.OptGuid, total, largest,
        [&lsh, shownLines](adodb::Connection& own) { return BarOf(own, lsh, shownLines) == SubmissionBar::None; });
  }
  // Refused because another clerk deleted, changed or audited the bill after it was read here:
  // told as 记帐 and any change since the clerk looked are.
  if (answer.empty()) return {SubmissionBar::None, answer};
  const SubmissionBar bar = BarOf(connection, lsh, shownLines);
  return {bar, bar == SubmissionBar::None ? answer : std::string()};
}

}  // namespace storeadjust
