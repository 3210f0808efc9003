#pragma once
// Posting the bills a user marked in the browser: each serial is posted as the editor posts one
// bill (its posted flag set, only while the bill is audited), all of them in one transaction on
// the session connection, so a failure half-way posts none.
#include <map>
#include <string>
#include <vector>

#include "host/Session.h"
#include "lines/BillLineValues.h"

namespace storeadjust {

// The marked bills that were not posted, each in the order given.
struct BillsNotPosted {
  std::vector<std::string> notAudited;  // stored, but not audited: unchanged
  std::vector<std::string> notConfirmed;  // two-step flow: audited (issued) but not confirmed: unchanged
  std::vector<std::string> gone;        // no longer stored (another clerk deleted them)
  std::vector<std::string> postedBefore;  // posted already (by another clerk since they were listed): unchanged
  std::vector<std::string> linesChanged;  // audited, but with lines other than those marked: unchanged
  bool noRight = false;                 // the operator no longer holds 记帐: none was posted
  bool empty() const {
    return notAudited.empty() && notConfirmed.empty() && gone.empty() && postedBefore.empty() &&
           linesChanged.empty() && !noRight;
  }
};

// `twoStep`: the list shows the two-step flow, where an issued bill waits for its confirmation
// (in the one-step flow its 审核 receives it). `markedLines`: each marked bill's lines as they
// were at the mark (BillLinesAsListed), by serial; a bill without an entry is posted uncompared.
// Throws adodb::Error after rolling everything back.
using MarkedBillLines = std::map<std::string, std::vector<BillLineValues>>;
BillsNotPosted PostMarkedBills(Session& session, const std::vector<std::string>& serials, bool twoStep = false,
                               const MarkedBillLines* markedLines = nullptr);

// "流水号为:A,B的单据记帐不成功,可能的原因是单据还没有审核!", the same of the bills not yet confirmed,
// and a line each naming the bills gone, those posted already and those whose lines changed.
std::string NotPostedMessage(const BillsNotPosted& bills);

}  // namespace storeadjust
