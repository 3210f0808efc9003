#include "states/BillSnapshot.h"

#include <algorithm>
#include <vector>

#include "lines/StoredBillLines.h"

namespace storeadjust {

BillSnapshot ReadBillSnapshot(adodb::Connection& connection, const std::string& lsh, const std::string& stateCondition,
                              bool locked) {
  const BillHeaderState header = ReadBillHeader(connection, lsh, locked);
  return SnapshotOf(header, ReadBillLines(connection, lsh, stateCondition));
}

BillSnapshot SnapshotOf(const BillHeaderState& header, std::vector<BillLineValues> lines) {
  std::sort(lines.begin(), lines.end());
  return {header, std::move(lines)};
}

std::string BillStateName(const BillHeaderState& header, bool twoStep) {
  if (!header.exists) return "已删除";
  if (header.posted) return "已记帐";
  if (twoStep) return header.audited ? "已确认" : header.preAudited ? "已审核" : "未审核";
  if (header.audited) return "已审核";
  // Issued by a two-step audit before the site went over to one step: not audited in this flow's
  // words, but no longer as entered either; 审核 receives it, 反审 takes the issue back.
  return header.preAudited ? "已出库" : "未审核";
}

}  // namespace storeadjust
