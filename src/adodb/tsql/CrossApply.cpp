#include "adodb/tsql/CrossApply.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "adodb/TextCompare.h"

namespace adodb::tsql {

namespace {

constexpr std::array<std::string_view, 13> kAggregates = {
    "AVG", "CHECKSUM_AGG", "COUNT", "COUNT_BIG", "GROUPING", "MAX", "MIN", "STDEV", "STDEVP", "STRING_AGG", "SUM", "VAR", "VARP",
};

std::string BareText(const Token& t) {
  if (t.kind == TokenKind::BracketName || t.kind == TokenKind::QuotedName)
    return std::string(t.text().substr(1, t.text().size() - 2));
  return std::string(t.text());
}

bool IsNameToken(const Token& t) {
  return t.kind == TokenKind::Word || t.kind == TokenKind::BracketName || t.kind == TokenKind::QuotedName;
}

bool IsOp(const Token& t, std::string_view op) { return t.kind == TokenKind::Operator && t.text() == op; }

bool Holds(const std::vector<std::string>& names, const std::string& name) {
  return std::any_of(names.begin(), names.end(), [&](const std::string& n) { return SameName(n, name); });
}

}  // namespace

std::string ApplyName(bool outer) { return outer ? "OUTER APPLY" : "CROSS APPLY"; }

bool QualifiesByOuter(const std::vector<Token>& tokens, std::size_t from, std::size_t to,
                      const std::vector<std::string>& innerNames) {
  for (std::size_t i = from; i + 1 < to; ++i) {
    if (!IsNameToken(tokens[i]) || !IsOp(tokens[i + 1], ".") || (i > from && IsOp(tokens[i - 1], "."))) continue;
    // In a.b.c the table is b: the part before the column.
    std::size_t last = i;
    while (last + 2 < to && IsOp(tokens[last + 1], ".") && IsNameToken(tokens[last + 2])) last += 2;
    if (last == i) continue;  // a name before '.*' or a dangling '.'
    if (!Holds(innerNames, BareText(tokens[last - 2]))) return true;
  }
  return false;
}

bool CallsAggregate(const std::vector<Token>& tokens, std::size_t from, std::size_t to) {
  for (std::size_t i = from; i + 1 < to; ++i) {
    if (tokens[i].kind != TokenKind::Word || !IsOp(tokens[i + 1], "(")) continue;
    const std::string_view word = tokens[i].text();
    if (std::any_of(kAggregates.begin(), kAggregates.end(), [&](std::string_view a) { return SameName(a, word); }))
      return true;
  }
  return false;
}

std::size_t TopLevelEquals(const std::vector<Token>& tokens, std::size_t from, std::size_t to) {
  int depth = 0;
  for (std::size_t i = from; i < to; ++i) {
    if (IsOp(tokens[i], "(")) ++depth;
    if (IsOp(tokens[i], ")")) --depth;
    if (depth == 0 && IsOp(tokens[i], "=")) return i;
  }
  return to;
}

std::string ApplyJoin(const ApplyParts& parts) {
  std::string derived = "(SELECT " + parts.items;
  std::string partition;
  std::string on;
  for (std::size_t i = 0; i < parts.keys.size(); ++i) {
    const std::string column = "tsql_apply_key" + std::to_string(i + 1);
    derived += ", " + parts.keys[i].inner + " AS " + column;
    partition += (i ? ", " : "PARTITION BY ") + parts.keys[i].inner;
    on += (i ? " AND " : "") + parts.alias + "." + column + " = " + parts.keys[i].outer;
  }
  if (!parts.rowCount.empty()) {
    const std::string order = parts.orderItems.empty() ? "" : "ORDER BY " + parts.orderItems;
    derived += ", row_number() OVER (" + partition + (partition.empty() || order.empty() ? "" : " ") + order +
               ") AS tsql_apply_row";
    on += (on.empty() ? "" : " AND ") + parts.alias + ".tsql_apply_row <= " + parts.rowCount;
  }
  derived += " FROM " + parts.sources;
  for (std::size_t i = 0; i < parts.conditions.size(); ++i)
    derived += (i ? " AND " : " WHERE ") + parts.conditions[i];
  derived += ")";
  return std::string(parts.outer ? "LEFT JOIN " : "INNER JOIN ") + derived + " AS " + parts.alias + " ON " +
         (on.empty() ? "1 = 1" : on);
}

}  // namespace adodb::tsql
