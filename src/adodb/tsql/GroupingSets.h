#pragma once
// GROUP BY ROLLUP (a, b), CUBE (a, b), GROUPING SETS ((a, b), (a), ()), GROUP BY a, b WITH ROLLUP
// (or WITH CUBE), and GROUPING (a) / GROUPING_ID (a, b) in the select list, HAVING and ORDER BY.
// SQLite groups by one set of columns only, so each such select is written, still in T-SQL, as one
// grouped select per grouping set joined by UNION ALL, and the rewriter then translates that:
//
//   SELECT [DISTINCT] [TOP n] tsql_c1 AS a, tsql_c2 AS [sum(x)] [INTO t]
//   FROM (SELECT a AS tsql_c1, sum(x) AS tsql_c2, ..., count(*) AS tsql_rows FROM ... GROUP BY a
//         UNION ALL SELECT NULL AS tsql_c1, sum(x) AS tsql_c2, ..., count(*) AS tsql_rows FROM ...)
//        AS tsql_grouping_sets [WHERE tsql_having = 1] ORDER BY ...
//
// In each member a grouping column the set leaves out is NULL wherever it stands outside an
// aggregate's argument (also inside an expression over it, `isnull(a, '合计')`), GROUPING() of it
// is 1 and of the others 0. Aggregates, DISTINCT ones included, are computed afresh per set. The
// COUNT(*) makes the member of the empty set one aggregate row even over no rows, as the grand
// total is on SQL Server. HAVING is evaluated in each member and the outer select keeps the rows
// that pass it. The query's ORDER BY is applied to the whole result, its items that are not select
// items computed in each member; without one, the rows come in SQL Server's ROLLUP order: by each
// grouping column in turn, its subtotal after its detail rows, the grand total last.
//
// Refused, naming the construct: `*`, a subquery or a window function in the select list, HAVING or
// ORDER BY (their columns could not be told from the grouped ones), a variable assignment, GROUPING()
// of an expression the GROUP BY does not group, ROLLUP or CUBE nested in a composite column, and
// more than 64 grouping sets.
#include <optional>
#include <string>
#include <vector>

#include "adodb/tsql/Tokenizer.h"

namespace adodb::tsql {

// The batch with every select that groups by grouping sets (or calls GROUPING) written out as
// above; nullopt when it has none. Called only when the rewriter has refused the batch, so the
// statements that use none of this never pass here.
std::optional<std::string> ExpandedGroupingSets(const std::vector<Token>& tokens);

}  // namespace adodb::tsql
