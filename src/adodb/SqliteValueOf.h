#pragma once
// A bound parameter's value in the form an SQLite database keeps it, whether it reaches SQLite
// directly or through the SQLite ODBC driver: a decimal or money value rounded to its scale (a
// whole number that fits 64 bits stays an integer, else the nearest double), a date as the
// 'YYYY-MM-DD HH:MM:SS' text dates are stored and compared as. Throws Error::TypeMismatch for a
// decimal given as text that is no number.
#include <cstddef>

#include "adodb/Parameter.h"
#include "adodb/ResultSet.h"
#include "adodb/StatementTrace.h"

namespace adodb {

SqliteValue SqliteValueOf(const Parameter& parameter);

// An expression's column of a SQLite database (getdate(), dateadd(...), max(kdrq)) has no declared
// type, and its dates arrive as the stored text: when every value is such text or NULL, and one
// is there, the column is made a timestamp column of dates, as the server would type it. True
// when it was.
bool ReadAsTimestamps(ResultSet& result, std::size_t column);

}  // namespace adodb
