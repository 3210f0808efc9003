#pragma once
// The SQLite extension that gives a SQLite ODBC data source the T-SQL functions and the collation
// translated statements call. The SQLite ODBC driver loads it itself (LoadExt=), on its own
// sqlite3 handle, so the session's connection string must name it.
#include <string>

namespace adodb::odbc {

// Where the extension is: STOREADJUST_TSQL_EXT when set, else beside the module or the program
// (also in the installed layout), else where this build made it. Throws adodb::Error when it is
// nowhere.
std::string TsqlExtensionPath();

// The connection string with the extension to load; throws adodb::Error for a path the driver
// cannot take.
std::string WithTsqlExtension(const std::string& connectionString, const std::string& extensionPath);

// A statement that succeeds only when the extension was loaded.
extern const char* const kExtensionProbe;

}  // namespace adodb::odbc
