#include "adodb/tsql/RecursionGuard.h"

#include <sqlite3.h>

#include <string>

#include "adodb/Error.h"

namespace adodb::tsql {

namespace {

void RecursionLevel(sqlite3_context* context, int, sqlite3_value** argv) {
  const sqlite3_int64 level = sqlite3_value_int64(argv[0]);
  const sqlite3_int64 limit = sqlite3_value_int64(argv[1]);
  if (level <= limit) return sqlite3_result_int64(context, level);
  const std::string message = "The statement terminated. The maximum recursion " + std::to_string(limit) +
                              " has been exhausted before statement completion.";
  sqlite3_result_error(context, message.c_str(), -1);
}

}  // namespace

void RegisterRecursionGuard(sqlite3* db) {
  const int rc = sqlite3_create_function_v2(db, "tsql_recursion_level", 2,
                                            SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS, nullptr,
                                            RecursionLevel, nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) throw Error::Provider(sqlite3_errmsg(db));
}

}  // namespace adodb::tsql
