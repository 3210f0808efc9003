#include "adodb/tsql/TopClause.h"

#include <cstdlib>

#include "adodb/Error.h"
#include "adodb/tsql/Refusal.h"

namespace adodb::tsql {

namespace {

bool IsWholeNumber(std::string_view text) {
  return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

// The literal's value, when the text is a plain (possibly negative) number.
std::optional<double> NumberLiteralValue(std::string_view text) {
  std::string compact;
  for (char c : text)
    if (c != ' ' && c != '(' && c != ')') compact += c;
  if (compact.empty() || compact.find_first_not_of("-.0123456789") != std::string::npos) return std::nullopt;
  char* end = nullptr;
  const double value = std::strtod(compact.c_str(), &end);
  if (end != compact.c_str() + compact.size()) return std::nullopt;
  return value;
}

// SQL Server takes the count of TOP (expression) as a bigint; an expression it types as decimal
// fails there, which the translator cannot tell from the text: the fraction is cut off.
std::string RowCount(const TopRows& top) { return top.literal ? top.count : "CAST(" + top.count + " AS INTEGER)"; }

// SQL Server takes the given share of the rows and rounds up: 10 PERCENT of 11 rows is 2.
std::string PercentLimit(const TopRows& top, const LimitContext& context) {
  if (const auto value = NumberLiteralValue(top.count); value && (*value < 0 || *value > 100))
    throw Error::Syntax("Percent values must be between 0 and 100.");
  return "LIMIT (SELECT CAST(tsql_share AS INTEGER) + (tsql_share > CAST(tsql_share AS INTEGER)) FROM (SELECT "
         "count(*) * " + top.count + " / 100.0 AS tsql_share FROM (" + std::string(context.core) + ")))";
}

// The rows up to the n-th and every later row that ties with it in the ORDER BY: as many rows as
// rank no higher than n.
std::string WithTiesLimit(const TopRows& top, const LimitContext& context) {
  if (context.orderItems.empty()) Refuse("TOP ... WITH TIES without ORDER BY");
  if (context.orderByPosition) Refuse("TOP ... WITH TIES ordered by a column number");
  if (context.distinct) Refuse("TOP ... WITH TIES with DISTINCT");
  return "LIMIT (SELECT count(*) FROM (SELECT rank() OVER (ORDER BY " + std::string(context.orderItems) +
         ") AS tsql_rank " + std::string(context.sources) + ") WHERE tsql_rank <= " + RowCount(top) + ")";
}

}  // namespace

std::string TopLimit(const TopRows& top, const LimitContext& context) {
  if (top.literal && !top.percent && !IsWholeNumber(top.count))
    throw Error::Syntax("The number of rows provided for a TOP or FETCH clauses row count parameter must be an integer.");
  if (top.percent && top.withTies) Refuse("TOP ... PERCENT WITH TIES");
  if (top.percent) return PercentLimit(top, context);
  if (top.withTies) return WithTiesLimit(top, context);
  if (const auto value = NumberLiteralValue(top.count); value && *value < 0)
    throw Error::Syntax("A TOP or FETCH clause contains an invalid value.");
  return "LIMIT " + RowCount(top);
}

std::string OffsetFetchLimit(const std::string& offset, const std::optional<std::string>& fetch) {
  if (const auto value = NumberLiteralValue(offset); value && *value < 0)
    throw Error::Syntax("The offset specified in a OFFSET clause may not be negative.");
  if (!fetch) return "LIMIT -1 OFFSET " + offset;
  if (const auto value = NumberLiteralValue(*fetch); value && *value <= 0)
    throw Error::Syntax("The number of rows provided for a FETCH clause must be greater then zero.");
  return "LIMIT " + *fetch + " OFFSET " + offset;
}

}  // namespace adodb::tsql
