#pragma once
// A bound parameter's value in the form an SQLite database keeps it, whether it reaches SQLite
// directly or through the SQLite ODBC driver: a decimal or money value rounded to its scale (a
// whole number that fits 64 bits stays an integer, else the nearest double), a date as the
// 'YYYY-MM-DD HH:MM:SS' text dates are stored and compared as. Throws Error::TypeMismatch for a
// decimal given as text that is no number.
#include "adodb/Parameter.h"
#include "adodb/StatementTrace.h"

namespace adodb {

SqliteValue SqliteValueOf(const Parameter& parameter);

}  // namespace adodb
