#pragma once
// WITH name [(columns)] AS (query), ... before SELECT, INSERT, UPDATE or DELETE. T-SQL finds out
// by itself that a common table refers to itself; SQLite must be told with WITH RECURSIVE.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "adodb/tsql/Tokenizer.h"

namespace adodb::tsql {

struct CommonTable {
  std::string name;     // as emitted
  std::string columns;  // "(a, b)" or empty
  std::string query;    // the translated query
  bool recursive = false;
};

// True when a name among tokens [from, to) is `bare` (compared as the server compares names).
bool RefersToName(const std::vector<Token>& tokens, std::size_t from, std::size_t to, std::string_view bare);

// The SQLite WITH clause for the tables, in the order written.
std::string WithClause(const std::vector<CommonTable>& tables);

}  // namespace adodb::tsql
