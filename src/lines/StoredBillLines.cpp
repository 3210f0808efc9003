#include "lines/StoredBillLines.h"

#include <algorithm>
#include <optional>
#include <unordered_map>

#include "adodb/BoundValues.h"
#include "adodb/Recordset.h"
#include "host/LenientValues.h"

namespace storeadjust {
namespace {

// The lines the condition selects (after "a.lsh=?", its values after the serial's), with their
// goods places: the places query is narrowed by `placeCondition` over the same values. Each line
// gets its place rows when its in-warehouse keeps places (read with the line, so both come from one
// reading of the switch), or when `placesKept` says so whatever the switch.
std::vector<BillLineValues> ReadLinesWithPlaces(adodb::Connection& connection, const std::string& lineCondition,
                                                const std::string& placeCondition, const adodb::BoundValues& values,
                                                std::optional<bool> placesKept = std::nullopt,
                                                const std::vector<BillLineValues>* asRead = nullptr) {
  std::unordered_map<std::string, bool> keptAsRead;
  if (asRead) {
    for (const BillLineValues& line : *asRead) keptAsRead.emplace(line.dh, line.placesRead.kept);
  }
  std::vector<BillLineValues> lines;
  const auto rs = connection.OpenRecordset(
      "select *,a.hh,a.je,a.lsze,b.kdrq billkdrq,b.bz billbz,b.czry billczry,(select isnull(s.FDeleted,0) from "
      "gl_stock s where s.id=a.drstockid) billplaceskept from ckdbdzkmx a inner join ckdbdzk b on a.lsh=b.lsh "
      "where a.lsh=?" + lineCondition,
      values);
  if (rs->RecordCount() < 1) return lines;
  lines.reserve(static_cast<std::size_t>(rs->RecordCount()));
  const BillLineValues::Columns columns(*rs);
  const std::size_t keptColumn = rs->FieldCount() - 1;
  for (rs->MoveFirst(); !rs->EOF(); rs->MoveNext()) {
    lines.push_back(BillLineValues::FromRow(*rs, columns));
    lines.back().placesRead.kept = placesKept.value_or(FlagIsSet(rs->Value(keptColumn)));
    if (const auto read = keptAsRead.find(lines.back().dh); read != keptAsRead.end()) {
      lines.back().placesRead.kept = read->second;
    }
  }
  // A receipt puts each line on the places stored for it, which another clerk may choose anew
  // without changing the line itself; an in-warehouse that keeps no places puts it on none.
  const auto places = connection.OpenRecordset(
      "select a.dh,p.GoodsPlaceGuid,p.GoodsPlaceNo,p.WarehouseGuid,p.MaterielGuid,p.BatchNo,p.BatchNumber,"
      "p.Quantity from BillGoodsPlace p inner join ckdbdzkmx a on a.lsh=p.BillGuid and a.dh=p.BillDetailGuid "
      "where p.BillType='WarehouseIn' and p.BillGuid=?" +
          placeCondition,
      values);
  if (places->RecordCount() < 1) return lines;
  // The join names each place's line as the line query read it: a bill of many lines, each on
  // places, is matched by look-up rather than line by line.
  std::unordered_map<std::string, BillLineValues*> lineByDh;
  for (BillLineValues& line : lines) {
    if (line.placesRead.kept) lineByDh.emplace(line.dh, &line);
  }
  for (places->MoveFirst(); !places->EOF(); places->MoveNext()) {
    const auto line = lineByDh.find(places->Value(std::size_t{0}).TextOrEmpty());
    if (line == lineByDh.end()) continue;  // a line the state condition left out, or one placed nowhere
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
                                          const std::string& stateCondition, const std::vector<BillLineValues>* asRead) {
  return ReadLinesWithPlaces(connection, stateCondition, "", {adodb::BoundText(lsh)}, std::nullopt, asRead);
}

std::optional<BillLineValues> ReadBillLine(adodb::Connection& connection, const std::string& lsh,
                                             const std::string& dh, std::optional<bool> placesKept) {
  std::vector<BillLineValues> lines = ReadLinesWithPlaces(connection, " and a.dh=?", " and p.BillDetailGuid=?",
                                                          {adodb::BoundText(lsh), adodb::BoundText(dh)}, placesKept);
  if (lines.empty()) return std::nullopt;
  // A line is compared as itself: another clerk's new date or remark leaves it to be amended or
  // deleted, as a line save keeps the header fields this clerk left alone.
  lines.front().header = {};
  return std::move(lines.front());
}

std::vector<BillLineValues> BillLinesAsListed(adodb::Connection& connection, const std::string& lsh,
                                              const std::vector<BillLineValues>* asRead) {
  std::vector<BillLineValues> lines = ReadBillLines(connection, lsh, "", asRead);
  std::sort(lines.begin(), lines.end());
  return lines;
}

}  // namespace storeadjust
