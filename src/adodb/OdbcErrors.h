#pragma once
// ODBC diagnostics turned into adodb::Error: every failed ODBC call becomes an Error carrying the
// driver manager's or the driver's own diagnostic text, so the screens show what the data source
// said, with the error number that tells a refused statement from a broken constraint.
#include <string>
#include <vector>

#include "adodb/Error.h"
#include "adodb/OdbcHandle.h"

namespace adodb::odbc {

struct Diagnostic {
  std::string sqlState;
  SQLINTEGER nativeError = 0;
  std::string message;
};

// Every diagnostic record the last call on the handle left.
std::vector<Diagnostic> ReadDiagnostics(SQLSMALLINT type, SQLHANDLE handle);

// How a data source's native error numbers are read: SQLite's result codes or SQL Server's.
enum class NativeErrors { SqlServer, Sqlite };

// The Error the diagnostics describe: SQLSTATE class 23 (or SQLite's constraint code) is an
// integrity violation, a wait for another session's lock that ran out is hindered by
// LockedByOthers, class 42/37 (or SQLite's generic error) a refused statement, anything else a
// provider failure. Its description is the data source's own text, without the names of the ODBC
// components before it. `context` is used when the driver left no diagnostic at all.
Error ErrorFromDiagnostics(const std::vector<Diagnostic>& diagnostics, NativeErrors natives, const std::string& context);

// Throws the Error for the handle's last call unless `rc` reports success (with or without info).
void Check(SQLRETURN rc, const Handle& handle, NativeErrors natives, const std::string& context);

}  // namespace adodb::odbc
