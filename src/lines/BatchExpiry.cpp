#include "lines/BatchExpiry.h"

#include <cmath>
#include <exception>

#include "adodb/BoundValues.h"
#include "adodb/Recordset.h"
#include "host/DataHelpers.h"

namespace storeadjust {

namespace {

bool IsExpiryColumnName(const std::string& name) {
  if (name == "效期") return true;
  return name.size() == 2 && (name[0] == 'x' || name[0] == 'X') && (name[1] == 'q' || name[1] == 'Q');
}

adodb::Date DayOf(const adodb::Date& date) { return adodb::Date{date.year, date.month, date.day}; }

long DaysFrom(const adodb::Date& from, const adodb::Date& to) {
  return std::lround(DayOf(to).ToSerial() - DayOf(from).ToSerial());
}

}  // namespace

std::optional<adodb::Date> ExpiryDay(const adodb::Variant& value) {
  if (value.IsNull() || value.IsEmpty()) return std::nullopt;
  try {
    const adodb::Date date = value.AsDate();
    if (!date.IsValid()) return std::nullopt;
    return DayOf(date);
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

BatchExpiry JudgeExpiry(const adodb::Variant& expiry, const adodb::Date& billDate) {
  const std::optional<adodb::Date> day = ExpiryDay(expiry);
  if (!day) return {};
  const long left = DaysFrom(billDate, *day);
  if (left < 0) return {BatchExpiry::State::Expired, -left};
  if (left <= kNearExpiryDays) return {BatchExpiry::State::Near, left};
  return {BatchExpiry::State::Fresh, left};
}

std::string ExpiryNote(const BatchExpiry& expiry) {
  switch (expiry.state) {
    case BatchExpiry::State::Expired: return "已过期 " + std::to_string(expiry.days) + " 天";
    case BatchExpiry::State::Near:
      return expiry.days == 0 ? "今天到期" : std::to_string(expiry.days) + " 天后到期";
    default: return {};
  }
}

std::optional<std::size_t> ExpiryColumn(const adodb::Recordset& rows) {
  if (rows.State() == 0) return std::nullopt;
  for (std::size_t column = 0; column < rows.FieldCount(); ++column) {
    if (IsExpiryColumnName(rows.Column(column).name)) return column;
  }
  return std::nullopt;
}

// Not GetFieldValue: it reads a NULL date as 1900-01-01, which would make a batch without an
// expiry look long expired.
adodb::Variant BatchExpiryDate(Session& session, const std::string& hh, const std::string& warehouse,
                               const std::string& ph, const std::string& dh) {
  auto rs = OpenRsReadOnly(session, "select xq from phk where hh=? and stockid=? and ph=? and dh=?",
                           {adodb::BoundText(hh), adodb::BoundText(warehouse), adodb::BoundText(ph), adodb::BoundText(dh)});
  if (!rs || rs->RecordCount() < 1) return {};
  rs->MoveFirst();
  return rs->Value("xq");
}

}  // namespace storeadjust
