#include "states/BillSnapshot.h"

#include <algorithm>
#include <vector>

#include "adodb/BoundValues.h"
#include "adodb/Recordset.h"
#include "states/BillLineValues.h"

namespace storeadjust {

std::shared_ptr<adodb::Recordset> OpenBillLines(adodb::Connection& connection, const std::string& lsh,
                                                const std::string& stateCondition) {
  return connection.OpenRecordset(
      "select *,a.hh,a.je,a.lsze from ckdbdzkmx a inner join ckdbdzk b on a.lsh=b.lsh where a.lsh=?" + stateCondition,
      {adodb::BoundText(lsh)});
}

BillSnapshot ReadBillSnapshot(adodb::Connection& connection, const std::string& lsh, const std::string& stateCondition,
                              bool locked) {
  const BillHeaderState header = ReadBillHeader(connection, lsh, locked);
  return SnapshotOf(header, ReadBillLines(*OpenBillLines(connection, lsh, stateCondition)));
}

std::vector<BillLineValues> ReadBillLines(adodb::Recordset& lines) {
  std::vector<BillLineValues> values;
  if (lines.RecordCount() < 1) return values;
  values.reserve(static_cast<std::size_t>(lines.RecordCount()));
  const BillLineValues::Columns columns(lines);
  for (lines.MoveFirst(); !lines.EOF(); lines.MoveNext()) values.push_back(BillLineValues::FromRow(lines, columns));
  return values;
}

BillSnapshot SnapshotOf(const BillHeaderState& header, std::vector<BillLineValues> lines) {
  std::sort(lines.begin(), lines.end());
  return {header, std::move(lines)};
}

std::vector<BillLineValues> BillLinesAsListed(adodb::Connection& connection, const std::string& lsh) {
  return SnapshotOf({}, ReadBillLines(*OpenBillLines(connection, lsh, ""))).lines;
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
