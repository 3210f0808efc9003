#pragma once
// The ODBC backend: a session through the ODBC driver manager. Statements pass through unchanged
// unless translateAsSqlite is set (an ODBC data source that speaks SQLite).
#include <memory>
#include <string>

#include "adodb/Backend.h"

namespace adodb {

// Opens the ODBC session the connection string names (without any "Dialect" key). Throws
// adodb::Error with the driver manager's description on failure.
std::unique_ptr<Backend> OpenOdbcBackend(const std::string& connStrWithoutDialect, bool translateAsSqlite);

}  // namespace adodb
