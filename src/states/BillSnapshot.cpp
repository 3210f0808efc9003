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
  return SnapshotOf(header, *OpenBillLines(connection, lsh, stateCondition));
}

BillSnapshot SnapshotOf(const BillHeaderState& header, adodb::Recordset& lines) {
  BillSnapshot snapshot;
  snapshot.header = header;
  // Sorted: the query has no order of its own, and a server may return the same rows in another.
  std::vector<std::string> texts;
  const BillLineValues::Columns columns(lines);
  for (lines.MoveFirst(); lines.RecordCount() > 0 && !lines.EOF(); lines.MoveNext()) {
    const BillLineValues line = BillLineValues::FromRow(lines, columns);
    texts.push_back(line.dh + "|" + line.hh + "|" + line.ph + "|" + line.pcdh + "|" + adodb::FormatNumber(line.sl) +
                    "|" + adodb::FormatNumber(line.je) + "|" + adodb::FormatNumber(line.lsze) + "|" + line.kh + "|" +
                    line.dcstockid + "|" + line.drstockid + "\n");
  }
  std::sort(texts.begin(), texts.end());
  for (const std::string& text : texts) snapshot.lines += text;
  snapshot.lineCount = static_cast<long>(texts.size());
  return snapshot;
}

std::string BillStateName(const BillHeaderState& header, bool twoStep) {
  if (!header.exists) return "已删除";
  if (header.posted) return "已记帐";
  if (twoStep) return header.audited ? "已确认" : header.preAudited ? "已审核" : "未审核";
  return header.audited ? "已审核" : "未审核";
}

}  // namespace storeadjust
