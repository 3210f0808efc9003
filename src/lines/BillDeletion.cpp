#include "lines/BillDeletion.h"

#include <memory>
#include <optional>

#include "adodb/Connection.h"
#include "adodb/Error.h"
#include "host/DataHelpers.h"
#include "host/DataScopeProvider.h"
#include "host/RequireOpened.h"
#include "host/Rights.h"
#include "lines/StoredBillLines.h"

namespace storeadjust {

namespace {

// Only a bill that has moved no stock may go: neither audited (SHBZ) nor, in the two-step flow,
// pre-audited (PreShbz), whose goods have already left the out-warehouse. Deleting a
// pre-audited bill would leave that stock issued with no bill to bring it back.
constexpr const char* kStillOpen = " AND IsNull(SHBZ,0)=0 AND IsNull(PreShbz,0)=0";

// Deleted, or HeldByApproval when the flow took the bill after it was asked; nothing when the
// header was audited or deleted between the check and the deletion (another user): the lines then
// stay, rolled back with the rest.
std::optional<BillDeletionResult> DeleteInOneTransaction(Session& session, DataScopeProvider& approval,
                                                         const std::string& lsh,
                                                         const std::vector<BillLineValues>* shownLines) {
  const adodb::BoundValues serial{adodb::BoundText(lsh)};
  adodb::TransactionGuard transaction(*session.Conn);
  // Read again after the clerk's Yes: the right may have been taken away while he answered.
  if (!HoldsRightNow(*session.Conn, session, "删除")) return BillDeletionResult::NoRight;
  if (!TransferBillEditable(approval, session.ConnStr, lsh)) return BillDeletionResult::HeldByApproval;
  if (shownLines) {
    const std::vector<BillLineValues> stored = BillLinesAsListed(*session.Conn, lsh, shownLines);
    // Lines only deleted since take nothing of another clerk's work with the bill (nor does a bill
    // deleted meanwhile, told as gone below): it goes as the clerk meant.
    if (!stored.empty() && stored != *shownLines) return BillDeletionResult::LinesChanged;
  }
  if (session.Conn->Execute(std::string("DELETE FROM ckdbdzk WHERE LSH=?") + kStillOpen, serial) == 0) {
    return std::nullopt;
  }
  session.Conn->Execute("Delete From ckdbdzkMX WHERE LSH=?", serial);
  session.Conn->Execute("Delete From BillGoodsPlace Where BillGuid=?", serial);
  transaction.Commit();
  return BillDeletionResult::Deleted;
}

// Tells an audited bill from one that is no longer there, so the caller can name the audited
// ones to the user.
BillDeletionResult WhyNotOpen(Session& session, const std::string& lsh) {
  auto rs = RequireOpened(OpenRsSeparate(session, "select LSH from ckdbdzk where lsh=?", {adodb::BoundText(lsh)}));
  if (rs->RecordCount() == 0) return BillDeletionResult::NotFound;
  return BillDeletionResult::Audited;
}

}  // namespace

BillDeletionResult DeleteBill(Session& session, const std::string& lsh, const std::vector<BillLineValues>* shownLines) {
  auto open = RequireOpened(OpenRsSeparate(
      session, std::string("select LSH,shbz from ckdbdzk where lsh=?") + kStillOpen, {adodb::BoundText(lsh)}));
  const bool deletable = open->RecordCount() > 0;
  open->Close();
  if (!deletable) return WhyNotOpen(session, lsh);
  const std::unique_ptr<DataScopeProvider> approval = CreateDataScopeProvider();
  if (!TransferBillEditable(*approval, session.ConnStr, lsh)) return BillDeletionResult::HeldByApproval;
  if (!session.Conn) throw adodb::Error::Closed();
  // Audited or deleted by another clerk while the approval flow was asked: told apart again.
  const std::optional<BillDeletionResult> done = DeleteInOneTransaction(session, *approval, lsh, shownLines);
  return done ? *done : WhyNotOpen(session, lsh);
}

}  // namespace storeadjust
