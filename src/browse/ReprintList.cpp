#include "browse/ReprintList.h"

#include <utility>

#include "adodb/BoundValues.h"
#include "adodb/Connection.h"
#include "adodb/Recordset.h"
#include "host/FirstValue.h"
#include "host/LenientValues.h"
#include "host/Settings.h"
#include "states/BillSnapshot.h"

namespace storeadjust {

namespace {

// A date the host left unset (day zero) means today.
adodb::Date BusinessDate(const std::string& text) {
  const std::optional<adodb::Date> parsed = adodb::Date::Parse(text);
  if (!parsed || !parsed->IsValid() || parsed->year < 1900) return adodb::Date::Today();
  return {parsed->year, parsed->month, parsed->day};
}

adodb::Date NextDay(const adodb::Date& date) {
  const adodb::Date next = adodb::Date::FromSerial(adodb::Date{date.year, date.month, date.day}.ToSerial() + 1);
  return {next.year, next.month, next.day};
}

// The typed text as a LIKE pattern that matches it literally anywhere: the pattern's own
// characters %, _ and [ are each put in a class of their own.
std::string ContainsPattern(const std::string& text) {
  std::string pattern = "%";
  for (char c : text) {
    if (c == '%' || c == '_' || c == '[') {
      pattern += '[';
      pattern += c;
      pattern += ']';
    } else {
      pattern += c;
    }
  }
  return pattern + "%";
}

std::string Warehouse(const adodb::Recordset& rs, const char* id, const char* name) {
  const std::string code = rs.Value(id).TextOrEmpty();
  const std::string text = rs.Value(name).TextOrEmpty();
  return text.empty() ? code : code + " " + text;
}

std::string DayText(const adodb::Variant& value) {
  if (IsMissing(value)) return {};
  const adodb::Date date = value.AsDate();
  return adodb::Date{date.year, date.month, date.day}.ToText();
}

}  // namespace

ReprintList::ReprintList(const ReprintRequest& request)
    : connection_(std::make_shared<adodb::Connection>()), dataScope_(request.dataScope) {
  connection_->Open(request.connectionString);
  const adodb::Date today = BusinessDate(request.sysDate);
  from_ = adodb::Date{today.year, today.month, 1};
  to_ = today;
  // A bill the clerk dated after the business date (a transfer made ready for tomorrow) is this
  // month's work too: the range reaches the last such bill the operator may see, or the clerk
  // would find it missing from the list and think it was never stored.
  const adodb::Variant latest =
      FirstValue(*connection_, "select max(a.kdrq) from ckdbdzk a where 1=1" + dataScope_.text, dataScope_.values);
  if (!IsMissing(latest)) {
    const adodb::Date day = latest.AsDate();
    if (adodb::Date{day.year, day.month, day.day} > today) to_ = adodb::Date{day.year, day.month, day.day};
  }
}

ReprintList::~ReprintList() {
  try {
    if (connection_->State() == adodb::adStateOpen) connection_->Close();
  } catch (...) {
  }
}

// Ends set the wrong way round (the clerk moved one past the other) still mean the days between
// them: an empty list would say there were no bills to reprint.
void ReprintList::SetDateRange(std::optional<adodb::Date> from, std::optional<adodb::Date> to) {
  if (from && to && adodb::Date{to->year, to->month, to->day} < adodb::Date{from->year, from->month, from->day}) {
    std::swap(from, to);
  }
  from_ = from;
  to_ = to;
}

BoundSql ReprintList::ListStatement() const {
  BoundSql statement;
  std::string& sql = statement.text;
  sql =
      "select a.lsh,a.kdrq,a.dcstockid,b.name as dcname,a.drstockid,d.name as drname,IsNull(a.PreShbz,0) as preshbz,"
      "IsNull(a.shbz,0) as shbz,IsNull(a.jzbz,0) as jzbz from ckdbdzk a left join gl_stock b on a.dcstockid=b.id "
      "left join gl_stock d on a.drstockid=d.id where 1=1" + dataScope_.text;
  statement.values = dataScope_.values;
  if (!serialFilter_.empty()) {
    sql += " and a.lsh like ?";
    statement.values.push_back(adodb::BoundText(ContainsPattern(serialFilter_)));
  }
  // Bill dates may carry a time: the range ends before the day after `to`. After the last day a
  // date can name (the picker's far end, typed to mean "from then on") there is nothing to bound.
  if (from_) {
    sql += " and a.kdrq>=?";
    statement.values.push_back(adodb::BoundDate({from_->year, from_->month, from_->day}));
  }
  if (to_ && NextDay(*to_).IsValid()) {
    sql += " and a.kdrq<?";
    statement.values.push_back(adodb::BoundDate(NextDay(*to_)));
  }
  sql += " order by a.lsh";
  return statement;
}

namespace {

// The list names a bill's state as the editor does, in the mode the site works in now: a bill
// received by a one-step audit after a two-step one is 已审核, one only issued 已出库.
bool ReprintTwoStep(adodb::Connection& connection) {
  return IsProfileFlagOn(FirstValue(connection, "Select FValue From t_SystemProfile Where FCategory=? And FKey=?",
                                    {adodb::BoundText("GL"), adodb::BoundText("StartStoreAdjustOK")})
                             .TextOrEmpty());
}

}  // namespace

void ReprintList::Refresh() {
  const bool twoStep = ReprintTwoStep(*connection_);
  const BoundSql statement = ListStatement();
  auto rs = connection_->OpenRecordset(statement.text, statement.values);
  std::vector<ReprintBill> bills;
  for (rs->MoveFirst(); !rs->EOF(); rs->MoveNext()) {
    const BillHeaderState header{true, FlagIsSet(rs->Value("preshbz")), FlagIsSet(rs->Value("shbz")),
                                 FlagIsSet(rs->Value("jzbz"))};
    bills.push_back({rs->Value("lsh").TextOrEmpty(), DayText(rs->Value("kdrq")), Warehouse(*rs, "dcstockid", "dcname"),
                     Warehouse(*rs, "drstockid", "drname"), BillStateName(header, twoStep)});
  }
  rs->Close();
  bills_ = std::move(bills);
  chosen_.assign(bills_.size(), false);
}

void ReprintList::Choose(const std::vector<std::size_t>& rows) {
  chosen_.assign(bills_.size(), false);
  for (std::size_t row : rows) {
    if (row < chosen_.size()) chosen_[row] = true;
  }
}

std::vector<std::string> ReprintList::ChosenSerials() const {
  std::vector<std::string> serials;
  for (std::size_t row = 0; row < bills_.size(); ++row) {
    if (chosen_[row]) serials.push_back(bills_[row].serial);
  }
  return serials;
}

std::vector<BillSlip> ReprintList::ReadChosenSlips() const {
  return ReadBillSlips(*connection_, "ckdbdzk", "ckdbdzkmx", ChosenSerials());
}

}  // namespace storeadjust
