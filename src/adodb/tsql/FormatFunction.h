#pragma once
// FORMAT(value, pattern[, culture]) as SQL Server computes it with .NET's en-US formatting, for
// the patterns templates use:
//   numbers   standard N, F, P, C, D, X, G with an optional precision (N2, P0, D5 ...) and custom
//             patterns of 0 # . , % with literal text before and after ('#,##0.00', '0.0 kg')
//   dates     standard d D t T f F g G M Y s u and custom patterns of yyyy MM MMM MMMM dd ddd
//             dddd HH hh mm ss fff tt and literal text ('yyyy-MM-dd HH:mm:ss', 'dd.MM.yyyy')
// A date is text SQL Server reads as a datetime (the form the database stores them in); other
// text is SQL Server's error. A pattern .NET rejects gives NULL, as in SQL Server; a pattern or
// culture outside the above is refused with an error naming it rather than formatted differently.
struct sqlite3;

namespace adodb::tsql {

void RegisterFormatFunction(sqlite3* db);

}  // namespace adodb::tsql
