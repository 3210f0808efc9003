#include "adodb/tsql/DeclaredColumnValue.h"

#include <sqlite3.h>

#include <string_view>

#include "adodb/Error.h"
#include "adodb/TextCompare.h"

namespace adodb::tsql {
namespace {

// True when every table holding a column of this name declares it a decimal, money or floating
// type; false for no such column, text, whole-number types, or tables that disagree.
bool DeclaredDecimal(sqlite3* db, const char* column) {
  constexpr const char* kQuery =
      "select p.type from (select name from sqlite_schema where type = 'table' union all "
      "select name from sqlite_temp_schema where type = 'table') s, pragma_table_info(s.name) p "
      "where p.name = ?1 collate nocase";
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v2(db, kQuery, -1, &stmt, nullptr) != SQLITE_OK) return false;
  sqlite3_bind_text(stmt, 1, column, -1, SQLITE_STATIC);
  int decimals = 0, others = 0;
  while (sqlite3_step(stmt) == SQLITE_ROW) {
    const auto* declared = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
    const std::string type = declared ? LowerName(declared) : "";
    const bool decimal = type.find("int") == std::string::npos &&
                         (type.rfind("decimal", 0) == 0 || type.rfind("numeric", 0) == 0 ||
                          type.find("money") != std::string::npos || type == "float" || type == "real" ||
                          type.rfind("double", 0) == 0);
    ++(decimal ? decimals : others);
  }
  sqlite3_finalize(stmt);
  return decimals > 0 && others == 0;
}

void ColumnValue(sqlite3_context* ctx, int, sqlite3_value** argv) {
  const auto* cached = static_cast<const bool*>(sqlite3_get_auxdata(ctx, 1));
  bool decimal = cached && *cached;
  if (!cached) {
    const auto* column = reinterpret_cast<const char*>(sqlite3_value_text(argv[1]));
    decimal = column && DeclaredDecimal(sqlite3_context_db_handle(ctx), column);
    sqlite3_set_auxdata(ctx, 1, new bool(decimal), [](void* p) { delete static_cast<bool*>(p); });
  }
  if (decimal && sqlite3_value_type(argv[0]) == SQLITE_INTEGER)
    return sqlite3_result_double(ctx, static_cast<double>(sqlite3_value_int64(argv[0])));
  sqlite3_result_value(ctx, argv[0]);
}

bool IsNameCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '#' ||
         c == '$' || static_cast<unsigned char>(c) >= 0x80;
}

// The column's own name when a translated expression is a column reference (a, t.a, "a b"); empty
// otherwise.
std::string ColumnNameOf(std::string_view expr) {
  std::string name;
  for (std::size_t i = 0; i < expr.size();) {
    name.clear();
    if (expr[i] == '"') {
      const std::size_t close = expr.find('"', i + 1);
      if (close == std::string_view::npos || (close + 1 < expr.size() && expr[close + 1] == '"')) return "";
      name = expr.substr(i + 1, close - i - 1);
      i = close + 1;
    } else {
      while (i < expr.size() && IsNameCharacter(expr[i])) name += expr[i++];
      if (name.empty() || (name[0] >= '0' && name[0] <= '9')) return "";
    }
    if (i == expr.size()) break;
    if (expr[i++] != '.') return "";
  }
  return name.find('\'') == std::string::npos ? name : "";
}

}  // namespace

std::string DeclaredColumnValue(const std::string& expr) {
  const std::string column = ColumnNameOf(expr);
  return column.empty() ? expr : "tsql_column_value(" + expr + ", '" + column + "')";
}

void RegisterDeclaredColumnValue(sqlite3* db) {
  constexpr int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
  if (sqlite3_create_function_v2(db, "tsql_column_value", 2, flags, nullptr, ColumnValue, nullptr, nullptr, nullptr) !=
      SQLITE_OK)
    throw Error::Provider(std::string("Registering tsql_column_value failed: ") + sqlite3_errmsg(db));
}

}  // namespace adodb::tsql
