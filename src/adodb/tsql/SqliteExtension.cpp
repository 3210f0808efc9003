// A loadable SQLite extension holding the functions and the collation translated statements call.
// The SQLite ODBC driver owns its own sqlite3 handle and cannot be reached from here, so the ODBC
// backend asks it to load this library (LoadExt=) when a SQLite data source is used with the
// module's dialect. The driver and this library share the system libsqlite3, so the ordinary
// sqlite3_* entry points are used directly and the routine table the loader passes is not needed.
#include <sqlite3.h>

#include <exception>

#include "adodb/tsql/SqliteFunctions.h"

namespace {

// The driver only prints a failed load to stderr and connects anyway; the backend calls this
// function right after connecting to learn that the load really happened.
void Loaded(sqlite3_context* context, int, sqlite3_value**) { sqlite3_result_int(context, 1); }

}  // namespace

extern "C" __attribute__((visibility("default"))) int sqlite3_extension_init(sqlite3* db, char** errorMessage,
                                                                           const sqlite3_api_routines*) {
  try {
    adodb::tsql::RegisterSqliteFunctions(db);
    return sqlite3_create_function(db, "storeadjust_tsql_loaded", 0, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, Loaded,
                                   nullptr, nullptr);
  } catch (const std::exception& error) {
    if (errorMessage) *errorMessage = sqlite3_mprintf("%s", error.what());
    return SQLITE_ERROR;
  }
}
