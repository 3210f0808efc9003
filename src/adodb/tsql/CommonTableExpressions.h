#pragma once
// WITH name [(columns)] AS (query), ... before SELECT, INSERT, UPDATE or DELETE. T-SQL finds out
// by itself that a common table refers to itself; SQLite must be told with WITH RECURSIVE.
//
// SQL Server stops a recursion after 100 levels (OPTION (MAXRECURSION n) sets n; 0 lifts the
// limit) with an error, where SQLite would run on for ever. So a recursive common table is read
// under another name, with the level of each row as an extra column that the function
// tsql_recursion_level checks, and the common table itself selects the columns without it:
//   WITH RECURSIVE "tsql_recursive_n" AS (SELECT 1 AS i, 0 AS tsql_level UNION ALL SELECT i + 1,
//     tsql_recursion_level("n".tsql_level + 1, 100) AS tsql_level FROM "tsql_recursive_n" AS "n"
//     WHERE i < 5 ORDER BY tsql_level DESC), n AS (SELECT i FROM "tsql_recursive_n")
// Without a limit (MAXRECURSION 0) the embedded database still stops at 32767 levels, the
// largest limit SQL Server takes, rather than hang the connection.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "adodb/tsql/Tokenizer.h"

namespace adodb::tsql {

inline constexpr std::string_view kRecursivePrefix = "tsql_recursive_";

struct RecursiveTableNames {
  std::string bareName;                  // the common table's name, unquoted
  std::string innerName;                 // the name the recursion runs under, as emitted
  std::string limit;                     // the recursion limit, a number
  std::vector<std::string> columnNames;  // from the first member, when no column list names them
};

struct CommonTable {
  std::string name;                  // as emitted
  std::vector<std::string> columns;  // the column list, as emitted; empty when there is none
  std::string query;                 // the translated query
  RecursiveTableNames recursion;     // bareName empty when the table does not refer to itself
};

// The index of the ')' that closes the '(' at tokens[open], or `end` when none does.
std::size_t ClosingParenthesis(const std::vector<Token>& tokens, std::size_t open, std::size_t end);

// True when a name among tokens [from, to) is `bare` (compared as the server compares names).
bool RefersToName(const std::vector<Token>& tokens, std::size_t from, std::size_t to, std::string_view bare);

// The recursion limit of the statement: OPTION (MAXRECURSION n) among tokens [from, end), or 100.
std::string RecursionLimit(const std::vector<Token>& tokens, std::size_t from, std::size_t end);

// The extra last column of an anchor member, and of a recursive member reading `reference`.
std::string AnchorLevel();
std::string RecursiveLevel(const std::string& reference, const RecursiveTableNames& table);

// The SQLite WITH clause for the tables, in the order written.
std::string WithClause(const std::vector<CommonTable>& tables);

}  // namespace adodb::tsql
