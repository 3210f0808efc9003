#include "browse/BillListFind.h"

#include <utility>
#include <vector>

#include "adodb/TextCompare.h"

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

// The text found in the serial, either warehouse's code or name, or the remark.
std::string ContainsCondition(const std::string& h) {
  return "(" + h + "lsh like ? escape '\\' or " + h + "dcstockid like ? escape '\\' or " + h +
         "drstockid like ? escape '\\' or " + h +
         "bz like ? escape '\\' or exists (select 1 from gl_stock FoundStock where (FoundStock.id=" + h +
         "dcstockid or FoundStock.id=" + h + "drstockid) and FoundStock.name like ? escape '\\'))";
}
constexpr int kContainsMarks = 5;

adodb::Date DayOf(const adodb::Date& date) { return {date.year, date.month, date.day}; }

adodb::Date NextDay(const adodb::Date& day) { return adodb::Date::FromSerial(day.ToSerial() + 1); }

}  // namespace

// The warehouses of the find go by a name no template gives its header table, whose columns are
// named beside them.
BoundSql FindCondition(const BillListFind& find, const std::string& header) {
  const std::string h = header.empty() ? std::string() : header + ".";
  BoundSql condition;
  // As typed, and in plain characters where it was typed full-width: a serial or a warehouse code
  // typed in that mode is stored in plain ones, a remark may hold either.
  std::vector<std::string> terms;
  if (!find.text.empty()) terms.push_back(find.text);
  if (const std::string narrow = adodb::HalfWidthForms(find.text); narrow != find.text) terms.push_back(narrow);
  for (std::size_t i = 0; i < terms.size(); ++i) {
    condition.text += (i == 0 ? " and (" : " or ") + ContainsCondition(h);
    for (int mark = 0; mark < kContainsMarks; ++mark) {
      condition.values.push_back(adodb::BoundText(ContainsPattern(terms[i])));
    }
  }
  if (!terms.empty()) condition.text += ")";
  // The pickers' ends set the wrong way round (the one stepped past the other) still mean the
  // days between them, rather than a list that looks as if there were no bills.
  std::optional<adodb::Date> from = find.from ? std::optional(DayOf(*find.from)) : std::nullopt;
  std::optional<adodb::Date> to = find.to ? std::optional(DayOf(*find.to)) : std::nullopt;
  if (from && to && *to < *from) std::swap(from, to);
  if (from) {
    condition.text += " and " + h + "kdrq >= ?";
    condition.values.push_back(adodb::BoundDate(*from));
  }
  // A bill date may carry a time of day: the last day counts whole. After the last day a date
  // can name (a picker's far end) there is nothing to bound.
  if (to && NextDay(*to).IsValid()) {
    condition.text += " and " + h + "kdrq < ?";
    condition.values.push_back(adodb::BoundDate(NextDay(*to)));
  }
  return condition;
}

}  // namespace storeadjust
