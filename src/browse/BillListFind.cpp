#include "browse/BillListFind.h"

namespace storeadjust {

namespace {

// A LIKE pattern that finds the text as typed anywhere, with \ as the escape character.
std::string ContainsPattern(const std::string& text) {
  std::string pattern = "%";
  for (char c : text) {
    if (c == '\\' || c == '%' || c == '_' || c == '[') pattern += '\\';
    pattern += c;
  }
  return pattern + "%";
}

adodb::Date NextDay(const adodb::Date& date) {
  const adodb::Date day{date.year, date.month, date.day};
  return adodb::Date::FromSerial(day.ToSerial() + 1);
}

}  // namespace

// The warehouses of the find go by a name no template gives its header table, whose columns are
// named beside them.
BoundSql FindCondition(const BillListFind& find, const std::string& header) {
  const std::string h = header.empty() ? std::string() : header + ".";
  BoundSql condition;
  if (!find.text.empty()) {
    condition.text += " and (" + h + "lsh like ? escape '\\' or " + h + "dcstockid like ? escape '\\' or " + h +
                      "drstockid like ? escape '\\' or " + h +
                      "bz like ? escape '\\' or exists (select 1 from gl_stock FoundStock where (FoundStock.id=" + h +
                      "dcstockid or FoundStock.id=" + h + "drstockid) and FoundStock.name like ? escape '\\'))";
    for (int mark = 0; mark < 5; ++mark) condition.values.push_back(adodb::BoundText(ContainsPattern(find.text)));
  }
  // A bill date may carry a time of day: the last day counts whole.
  if (find.from) {
    condition.text += " and " + h + "kdrq >= ?";
    condition.values.push_back(adodb::BoundDate({find.from->year, find.from->month, find.from->day}));
  }
  if (find.to) {
    condition.text += " and " + h + "kdrq < ?";
    condition.values.push_back(adodb::BoundDate(NextDay(*find.to)));
  }
  return condition;
}

}  // namespace storeadjust
