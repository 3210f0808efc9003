#include "adodb/tsql/TextFunctions.h"

#include <sqlite3.h>

#include <cstdio>
#include <string>

#include "adodb/Error.h"

namespace adodb::tsql {
namespace {

void Concat(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  std::string out;
  for (int i = 0; i < argc; ++i) {
    switch (sqlite3_value_type(argv[i])) {
      case SQLITE_NULL:
        break;
      case SQLITE_FLOAT: {
        char buf[32];
        out += std::string(buf, static_cast<std::size_t>(std::snprintf(buf, sizeof buf, "%.15g", sqlite3_value_double(argv[i]))));
        break;
      }
      default: {
        const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(argv[i]));
        if (text) out.append(text, static_cast<std::size_t>(sqlite3_value_bytes(argv[i])));
      }
    }
  }
  sqlite3_result_text64(ctx, out.data(), out.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
}

}  // namespace

void RegisterTextFunctions(sqlite3* db) {
  if (sqlite3_create_function_v2(db, "tsql_concat", -1, SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS, nullptr,
                                 Concat, nullptr, nullptr, nullptr) != SQLITE_OK)
    throw Error::Provider(std::string("Registering CONCAT failed: ") + sqlite3_errmsg(db));
}

}  // namespace adodb::tsql
