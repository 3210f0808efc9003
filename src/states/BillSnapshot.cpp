#include "states/BillSnapshot.h"

#include <algorithm>
#include <unordered_map>
#include <vector>

#include "adodb/BoundValues.h"
#include "adodb/Recordset.h"
#include "host/LenientValues.h"
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
  return SnapshotOf(header, ReadBillLines(connection, lsh, stateCondition));
}

std::vector<BillLineValues> ReadBillLines(adodb::Connection& connection, const std::string& lsh,
                                          const std::string& stateCondition) {
  std::vector<BillLineValues> values;
  const auto lines = OpenBillLines(connection, lsh, stateCondition);
  if (lines->RecordCount() < 1) return values;
  values.reserve(static_cast<std::size_t>(lines->RecordCount()));
  const BillLineValues::Columns columns(*lines);
  for (lines->MoveFirst(); !lines->EOF(); lines->MoveNext()) values.push_back(BillLineValues::FromRow(*lines, columns));
  // A receipt puts each line on the places stored for it, which another clerk may choose anew
  // without changing the line itself; an in-warehouse that keeps no places puts it on none.
  const auto places = connection.OpenRecordset(
      "select a.dh,p.GoodsPlaceGuid,p.GoodsPlaceNo,p.WarehouseGuid,p.MaterielGuid,p.BatchNo,p.BatchNumber,"
      "p.Quantity from BillGoodsPlace p inner join ckdbdzkmx a on a.lsh=p.BillGuid and a.dh=p.BillDetailGuid inner "
      "join gl_stock s on s.id=a.drstockid where p.BillType='WarehouseIn' and p.BillGuid=? and isnull(s.FDeleted,0)<>0",
      {adodb::BoundText(lsh)});
  if (places->RecordCount() < 1) return values;
  // The join names each place's line as the line query read it: a bill of many lines, each on
  // places, is matched by look-up rather than line by line.
  std::unordered_map<std::string, BillLineValues*> lineByDh;
  for (BillLineValues& line : values) lineByDh.emplace(line.dh, &line);
  for (places->MoveFirst(); !places->EOF(); places->MoveNext()) {
    const auto line = lineByDh.find(places->Value(std::size_t{0}).TextOrEmpty());
    if (line == lineByDh.end()) continue;  // a line the state condition left out
    line->second->places.push_back({places->Value(1).TextOrEmpty(), places->Value(2).TextOrEmpty(),
                                    places->Value(3).TextOrEmpty(), places->Value(4).TextOrEmpty(),
                                    places->Value(5).TextOrEmpty(), places->Value(6).TextOrEmpty(),
                                    NumberOrZero(places->Value(7))});
  }
  for (BillLineValues& line : values) std::sort(line.places.begin(), line.places.end());
  return values;
}

BillSnapshot SnapshotOf(const BillHeaderState& header, std::vector<BillLineValues> lines) {
  std::sort(lines.begin(), lines.end());
  return {header, std::move(lines)};
}

std::vector<BillLineValues> BillLinesAsListed(adodb::Connection& connection, const std::string& lsh) {
  return SnapshotOf({}, ReadBillLines(connection, lsh, "")).lines;
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
