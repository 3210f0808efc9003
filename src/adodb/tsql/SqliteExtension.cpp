// A loadable SQLite extension holding the functions and the collation translated statements call.
// The SQLite ODBC driver owns its own sqlite3 handle and cannot be reached from here, so the ODBC
// backend asks it to load this library (LoadExt=) when a SQLite data source is used with the
// module's dialect. The driver and this library share the system libsqlite3, so the ordinary
// sqlite3_* entry points are used directly and the routine table the loader passes is not needed.
#include <sqlite3.h>

#include <exception>

#include "adodb/TextLengths.h"
#include "adodb/tsql/SqliteFunctions.h"

namespace {

// The driver only prints a failed load to stderr and connects anyway; the backend calls this
// function right after connecting to learn that the load really happened.
void Loaded(sqlite3_context* context, int, sqlite3_value**) { sqlite3_result_int(context, 1); }

// tsql_hold_writes(): the driver's connection holds what a statement writes to the lengths and
// types of its tables' columns, as the embedded backend's does (TextLengths.h). The backend calls
// it before each statement that may write, which the driver runs out of this library's sight.
void HoldWrites(sqlite3_context* context, int, sqlite3_value**) {
  auto* checks = static_cast<adodb::TextLengthChecks*>(sqlite3_user_data(context));
  if (checks->BeforeWrite() != SQLITE_OK)
    return sqlite3_result_error(context, sqlite3_errmsg(sqlite3_context_db_handle(context)), -1);
  sqlite3_result_null(context);
}

}  // namespace

extern "C" __attribute__((visibility("default"))) int sqlite3_extension_init(sqlite3* db, char** errorMessage,
                                                                           const sqlite3_api_routines*) {
  try {
    adodb::tsql::RegisterSqliteFunctions(db);
    // Held as long as the connection: the function's destructor lets it go.
    auto* checks = new adodb::TextLengthChecks(db);
    if (const int rc = sqlite3_create_function_v2(db, "tsql_hold_writes", 0, SQLITE_UTF8 | SQLITE_DIRECTONLY, checks,
                                                  HoldWrites, nullptr, nullptr,
                                                  [](void* p) { delete static_cast<adodb::TextLengthChecks*>(p); }))
      return rc;
    return sqlite3_create_function(db, "storeadjust_tsql_loaded", 0, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, Loaded,
                                   nullptr, nullptr);
  } catch (const std::exception& error) {
    if (errorMessage) *errorMessage = sqlite3_mprintf("%s", error.what());
    return SQLITE_ERROR;
  }
}
