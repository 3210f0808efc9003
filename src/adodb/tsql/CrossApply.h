#pragma once
// CROSS APPLY / OUTER APPLY of a subquery that reads the tables before it only through equalities
// in its WHERE clause (inner expression = outer column), as sites write "the last price of each
// goods": the subquery becomes a derived table that carries the inner expressions as extra columns
// and is joined on them; its TOP n becomes a row number per correlation key:
//   CROSS APPLY (SELECT TOP 1 dj FROM phk p WHERE p.hh = a.hh ORDER BY p.rq DESC) x
//   INNER JOIN (SELECT dj, p.hh AS tsql_apply_key1, row_number() OVER (PARTITION BY p.hh
//     ORDER BY p.rq DESC) AS tsql_apply_row FROM phk p) AS x ON x.tsql_apply_key1 = a.hh
//     AND x.tsql_apply_row <= 1
// OUTER APPLY is the same with LEFT JOIN. Any other correlation, a grouped or aggregating
// subquery (whose one row per outer row a join cannot give) and a table-valued function are refused.
#include <cstddef>
#include <string>
#include <vector>

#include "adodb/tsql/Tokenizer.h"

namespace adodb::tsql {

struct ApplyKey {
  std::string inner;  // the subquery's expression, translated
  std::string outer;  // the outer column, translated
};

struct ApplyParts {
  bool outer = false;      // OUTER APPLY
  std::string items;       // the subquery's select list
  std::string sources;     // its FROM clause, without FROM
  std::vector<std::string> conditions;  // its WHERE conjuncts that stay inside
  std::vector<ApplyKey> keys;
  std::string rowCount;    // the TOP count, empty without TOP
  std::string orderItems;  // its ORDER BY items, empty without
  std::string alias;
};

// "CROSS APPLY" or "OUTER APPLY", for messages.
std::string ApplyName(bool outer);

// True when a column among tokens [from, to) is qualified by a table that is not one of
// `innerNames`, the subquery's own tables: it can only be a table outside the subquery.
bool QualifiesByOuter(const std::vector<Token>& tokens, std::size_t from, std::size_t to,
                      const std::vector<std::string>& innerNames);

// True when tokens [from, to) call an aggregate function.
bool CallsAggregate(const std::vector<Token>& tokens, std::size_t from, std::size_t to);

// The position of the '=' at the top level of tokens [from, to), or `to` when there is none.
std::size_t TopLevelEquals(const std::vector<Token>& tokens, std::size_t from, std::size_t to);

// The join that stands for the APPLY.
std::string ApplyJoin(const ApplyParts& parts);

}  // namespace adodb::tsql
