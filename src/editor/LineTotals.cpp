#include "editor/LineTotals.h"

#include <cctype>
#include <set>
#include <string_view>

#include "adodb/TextCompare.h"
#include "adodb/Variant.h"
#include "host/NumberHelpers.h"
#include "host/QuantityUnits.h"

namespace storeadjust {

namespace {

std::optional<double> SumColumn(const GridModel& lines, const char* caption) {
  for (long col = 0; col < lines.Cols(); ++col) {
    if (lines.Rows() < 1 || lines.TextMatrix(0, col) != caption) continue;
    double sum = 0;
    for (long row = 1; row < lines.Rows(); ++row) {
      double value = 0;
      if (adodb::ParseNumber(lines.TextMatrix(row, col), value)) sum += value;
    }
    return sum;
  }
  return std::nullopt;
}

// Whether the lines that move a quantity differ in their unit (no 单位 column: nothing shows them
// apart). The unit is the one given for the quantity, else the 单位 shown.
bool UnitsDiffer(const GridModel& lines, const std::vector<std::string>& quantityUnits) {
  long unitCol = -1, quantityCol = -1;
  for (long col = 0; col < lines.Cols() && lines.Rows() > 0; ++col) {
    if (lines.TextMatrix(0, col) == "单位") unitCol = col;
    if (lines.TextMatrix(0, col) == "数量") quantityCol = col;
  }
  const bool given = lines.Rows() >= 1 && quantityUnits.size() == static_cast<std::size_t>(lines.Rows() - 1);
  if (unitCol < 0 || quantityCol < 0) return false;
  QuantityUnits units;
  for (long row = 1; row < lines.Rows(); ++row) {
    double quantity = 0;
    if (!adodb::ParseNumber(lines.TextMatrix(row, quantityCol), quantity)) continue;
    units.Add(quantity, given ? quantityUnits[static_cast<std::size_t>(row - 1)] : lines.TextMatrix(row, unitCol));
  }
  return units.Differ();
}

// The select list's items, split at the commas outside brackets and quotes.
std::vector<std::string_view> SelectItems(std::string_view list) {
  std::vector<std::string_view> items;
  int depth = 0;
  char quote = 0;
  std::size_t start = 0;
  for (std::size_t i = 0; i < list.size(); ++i) {
    const char c = list[i];
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == '\'' || c == '"') {
      quote = c;
    } else if (c == '(' || c == '[') {
      ++depth;
    } else if ((c == ')' || c == ']') && depth > 0) {
      --depth;
    } else if (c == ',' && depth == 0) {
      items.push_back(list.substr(start, i - start));
      start = i + 1;
    }
  }
  items.push_back(list.substr(start));
  return items;
}

// The expression an item names 数量 ("x as 数量", "x 数量", "x as [数量]", "数量 = x"), else empty.
std::string_view QuantityExpression(std::string_view item) {
  item = adodb::Trimmed(item);
  for (std::string_view alias : {"[数量]", "'数量'", "\"数量\"", "数量"}) {
    if (item.starts_with(alias) && adodb::Trimmed(item.substr(alias.size())).starts_with("=")) {
      return adodb::Trimmed(adodb::Trimmed(item.substr(alias.size())).substr(1));
    }
    if (!item.ends_with(alias)) continue;
    std::string_view expression = item.substr(0, item.size() - alias.size());
    const bool partOfAName = !expression.empty() && !std::isspace(static_cast<unsigned char>(expression.back()));
    if (alias == "数量" && partOfAName) continue;  // "x as 件数量" names another column
    expression = adodb::Trimmed(expression);
    const std::size_t blank = expression.find_last_of(" \t\r\n");
    if (blank != std::string_view::npos && adodb::SameName(expression.substr(blank + 1), "as")) {
      expression = adodb::Trimmed(expression.substr(0, blank));
    }
    return expression;
  }
  return {};
}

}  // namespace

// 5 克 and 2 千克 add up to no quantity: lines in different units get no quantity total.
LineTotals SumLines(const GridModel& lines, const std::vector<std::string>& quantityUnits) {
  return {UnitsDiffer(lines, quantityUnits) ? std::nullopt : SumColumn(lines, "数量"), SumColumn(lines, "金额"),
          SumColumn(lines, "零售总额")};
}

std::string TotalText(const std::optional<double>& total, int places) {
  return total ? NumberWithPlaces(*total, places) : std::string();
}

std::optional<std::string> QuantityUnitSql(const std::string& columnList) {
  for (std::string_view item : SelectItems(columnList)) {
    const std::string_view expression = QuantityExpression(item);
    if (expression.empty()) continue;
    // The line's columns the expression reads, past its table name and functions (isnull(a.sl,0)).
    std::set<std::string> read;
    for (std::size_t i = 0; i < expression.size();) {
      std::size_t end = expression.find_first_not_of(
          "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_", i);
      if (end == std::string_view::npos) end = expression.size();
      if (end == i) {
        ++i;
        continue;
      }
      const std::string word = adodb::LowerName(expression.substr(i, end - i));
      const bool column = !std::isdigit(static_cast<unsigned char>(word[0])) &&
                          (end == expression.size() || (expression[end] != '.' && expression[end] != '('));
      if (column) read.insert(word);
      i = end;
    }
    if (read == std::set<std::string>{"sl"}) return std::string("(select c.pdw from yw_kck c where c.hh=a.hh)");
    if (read == std::set<std::string>{"srsl"}) return std::string("a.dw");
    return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace storeadjust
