#include "adodb/tsql/CommonTableExpressions.h"

#include "adodb/Error.h"
#include "adodb/TextCompare.h"

namespace adodb::tsql {

namespace {

// The largest limit SQL Server takes, and the embedded database's when the statement lifts it.
constexpr std::string_view kHighestLimit = "32767";

std::string_view Unquoted(const Token& t) {
  if (t.kind == TokenKind::BracketName || t.kind == TokenKind::QuotedName) return t.text().substr(1, t.text().size() - 2);
  return t.text();
}

bool IsOperator(const Token& t, std::string_view op) { return t.kind == TokenKind::Operator && t.text() == op; }

std::string JoinedNames(const std::vector<std::string>& names) {
  std::string joined;
  for (const std::string& n : names) joined += (joined.empty() ? "" : ", ") + n;
  return joined;
}

}  // namespace

std::size_t ClosingParenthesis(const std::vector<Token>& tokens, std::size_t open, std::size_t end) {
  int depth = 0;
  for (std::size_t i = open; i < end; ++i) {
    if (IsOperator(tokens[i], "(")) ++depth;
    if (IsOperator(tokens[i], ")") && --depth == 0) return i;
  }
  return end;
}

bool RefersToName(const std::vector<Token>& tokens, std::size_t from, std::size_t to, std::string_view bare) {
  for (std::size_t i = from; i < to; ++i) {
    const Token& t = tokens[i];
    const bool name = t.kind == TokenKind::Word || t.kind == TokenKind::BracketName || t.kind == TokenKind::QuotedName;
    if (name && SameName(Unquoted(t), bare)) return true;
  }
  return false;
}

std::string RecursionLimit(const std::vector<Token>& tokens, std::size_t from, std::size_t end) {
  for (std::size_t i = end; i > from + 1; --i) {
    const Token& word = tokens[i - 2];
    const Token& number = tokens[i - 1];
    if (word.kind != TokenKind::Word || !SameName(word.text(), "MAXRECURSION") || number.kind != TokenKind::Number)
      continue;
    // SQL Server takes a whole number from 0 to 32767 only: a limit read as "1e308" would let a
    // recursion that never ends run for ever here.
    const std::string_view digits = number.text();
    const std::size_t first = digits.find_first_not_of('0');
    if (first == std::string_view::npos) return std::string(kHighestLimit);
    const std::string_view value = digits.substr(first);
    if (value.find_first_not_of("0123456789") != std::string_view::npos || value.size() > kHighestLimit.size() ||
        (value.size() == kHighestLimit.size() && value > kHighestLimit))
      throw Error::Unsupported("MAXRECURSION " + std::string(digits) + " is not supported");
    return std::string(value);
  }
  return "100";
}

std::string AnchorLevel() { return ", 0 AS tsql_level"; }

std::string RecursiveLevel(const std::string& reference, const RecursiveTableNames& table) {
  return ", tsql_recursion_level(" + reference + ".tsql_level + 1, " + table.limit + ") AS tsql_level";
}

std::string WithClause(const std::vector<CommonTable>& tables) {
  bool recursive = false;
  for (const CommonTable& t : tables) recursive = recursive || !t.recursion.bareName.empty();
  std::string clause = recursive ? "WITH RECURSIVE " : "WITH ";
  for (std::size_t i = 0; i < tables.size(); ++i) {
    const CommonTable& t = tables[i];
    if (i > 0) clause += ", ";
    const std::string columns = t.columns.empty() ? "" : "(" + JoinedNames(t.columns) + ")";
    if (t.recursion.bareName.empty()) {
      clause += t.name + columns + " AS (" + t.query + ")";
      continue;
    }
    const std::string inner = t.columns.empty() ? "" : "(" + JoinedNames(t.columns) + ", tsql_level)";
    const std::vector<std::string>& names = t.columns.empty() ? t.recursion.columnNames : t.columns;
    // Deepest rows first, as SQL Server's recursion works from a stack: a recursion whose members
    // each add a row per row read meets its limit after that many steps, not after every row of
    // every level below it has been made, which SQLite's default queue would take for ever to do.
    clause += t.recursion.innerName + inner + " AS (" + t.query + " ORDER BY tsql_level DESC), " + t.name + columns +
              " AS (SELECT " + JoinedNames(names) + " FROM " + t.recursion.innerName + ")";
  }
  return clause;
}

}  // namespace adodb::tsql
