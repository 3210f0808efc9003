#include "lines/StoredBillLines.h"

#include <algorithm>
#include <unordered_map>

#include "adodb/BoundValues.h"
#include "adodb/Recordset.h"
#include "host/LenientValues.h"

namespace storeadjust {
namespace {

// The lines the condition selects (after "a.lsh=?", its values after the serial's), with their
// goods places: the places query is narrowed by `placeCondition` over the same values.
std::vector<BillLineValues> ReadLinesWithPlaces(adodb::Connection& connection, const std::string& lineCondition,
                                                const std::string& placeCondition, const adodb::BoundValues& values) {
  std::vector<BillLineValues> lines;
  const auto rs = connection.OpenRecordset(
      "select *,a.hh,a.je,a.lsze,b.kdrq billkdrq,b.bz billbz,b.czry billczry from ckdbdzkmx a inner join ckdbdzk b on a.lsh=b.lsh where a.lsh=?" + lineCondition,
      values);
  if (rs->RecordCount() < 1) return lines;
  lines.reserve(static_cast<std::size_t>(rs->RecordCount()));
  const BillLineValues::Columns columns(*rs);
  for (rs->MoveFirst(); !rs->EOF(); rs->MoveNext()) lines.push_back(BillLineValues::FromRow(*rs, columns));
  // A receipt puts each line on the places stored for it, which another clerk may choose anew
  // without changing the line itself; an in-warehouse that keeps no places puts it on none.
  const auto places = connection.OpenRecordset(
      "select a.dh,p.GoodsPlaceGuid,p.GoodsPlaceNo,p.WarehouseGuid,p.MaterielGuid,p.BatchNo,p.BatchNumber,"
      "p.Quantity from BillGoodsPlace p inner join ckdbdzkmx a on a.lsh=p.BillGuid and a.dh=p.BillDetailGuid inner "
      "join gl_stock s on s.id=a.drstockid where p.BillType='WarehouseIn' and p.BillGuid=? and isnull(s.FDeleted,0)<>0" +
          placeCondition,
      values);
  if (places->RecordCount() < 1) return lines;
  // The join names each place's line as the line query read it: a bill of many lines, each on
  // places, is matched by look-up rather than line by line.
  std::unordered_map<std::string, BillLineValues*> lineByDh;
  for (BillLineValues& line : lines) lineByDh.emplace(line.dh, &line);
  for (places->MoveFirst(); !places->EOF(); places->MoveNext()) {
    const auto line = lineByDh.find(places->Value(std::size_t{0}).TextOrEmpty());
    if (line == lineByDh.end()) continue;  // a line the state condition left out
    line->second->places.push_back({places->Value(1).TextOrEmpty(), places->Value(2).TextOrEmpty(),
                                    places->Value(3).TextOrEmpty(), places->Value(4).TextOrEmpty(),
                                    places->Value(5).TextOrEmpty(), places->Value(6).TextOrEmpty(),
                                    NumberOrZero(places->Value(7))});
  }
  for (BillLineValues& line : lines) std::sort(line.places.begin(), line.places.end());
  return lines;
}

}  // namespace

std::vector<BillLineValues> ReadBillLines(adodb::Connection& connection, const std::string& lsh,
                                          const std::string& stateCondition) {
  return ReadLinesWithPlaces(connection, stateCondition, "", {adodb::BoundText(lsh)});
}

std::optional<BillLineValues> ReadBillLine(adodb::Connection& connection, const std::string& lsh,
                                             const std::string& dh) {
  std::vector<BillLineValues> lines =
      ReadLinesWithPlaces(connection, " and a.dh=?", " and p.BillDetailGuid=?", {adodb::BoundText(lsh), adodb::BoundText(dh)});
  if (lines.empty()) return std::nullopt;
  // A line is compared as itself: another clerk's new date or remark leaves it to be amended or
  // deleted, as a line save keeps the header fields this clerk left alone.
  lines.front().header = {};
  return std::move(lines.front());
}

std::vector<BillLineValues> BillLinesAsListed(adodb::Connection& connection, const std::string& lsh) {
  std::vector<BillLineValues> lines = ReadBillLines(connection, lsh, "");
  std::sort(lines.begin(), lines.end());
  return lines;
}

}  // namespace storeadjust
