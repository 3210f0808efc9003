#pragma once
// Window functions: ROW_NUMBER, RANK, DENSE_RANK, NTILE, LAG, LEAD, FIRST_VALUE, LAST_VALUE,
// PERCENT_RANK, CUME_DIST, and the aggregates with an OVER clause. SQLite computes them natively
// with the same window syntax and SQL Server's default frame (RANGE BETWEEN UNBOUNDED PRECEDING
// AND CURRENT ROW under an ORDER BY, the whole partition without one), so the rewriter only
// translates the expressions inside OVER (...). What SQL Server rejects is refused here too
// rather than computed: these functions without OVER, or OVER a window without ORDER BY.
#include <string_view>

namespace adodb::tsql {

// Functions that only exist over a window.
bool IsWindowOnlyFunction(std::string_view function);
// Functions SQL Server computes only over an ordered window (all of the above).
bool NeedsWindowOrder(std::string_view function);

}  // namespace adodb::tsql
