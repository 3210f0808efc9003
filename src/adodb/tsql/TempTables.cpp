#include "adodb/tsql/TempTables.h"

#include <sqlite3.h>

#include <algorithm>
#include <array>

#include "adodb/TextCompare.h"
#include "adodb/tsql/SqliteArguments.h"

namespace adodb::tsql {

bool IsTempTableName(std::string_view bare) { return !bare.empty() && bare[0] == '#'; }

std::string CreateTableAs(const std::string& emittedName, std::string_view bareName) {
  return std::string(IsTempTableName(bareName) ? "CREATE TEMP TABLE " : "CREATE TABLE ") + emittedName + " AS ";
}

namespace {

constexpr std::string_view kCollated = "temp.tsql_collated";

std::string QuotedName(std::string_view name, char quote) {
  std::string quoted(1, quote);
  for (char c : name) quoted += c == quote ? std::string(2, c) : std::string(1, c);
  return quoted + quote;
}

// tsql_collated_copy(name): makes temp.tsql_collated with the columns of the temp table `name`,
// of the same declared types, those of text and of no type with COLLATE TSQL. Only a CREATE runs
// here; the statements around it fill the table, drop the first and rename this one.
void CollatedCopy(sqlite3_context* ctx, int, sqlite3_value** argv) {
  sqlite3* db = sqlite3_context_db_handle(ctx);
  const std::string name = std::string(TextOf(argv[0]));
  sqlite3_stmt* columns = nullptr;
  const std::string pragma = "PRAGMA temp.table_info(" + QuotedName(name, '"') + ")";
  if (sqlite3_prepare_v2(db, pragma.c_str(), -1, &columns, nullptr) != SQLITE_OK)
    return sqlite3_result_error(ctx, sqlite3_errmsg(db), -1);
  std::string list;
  while (sqlite3_step(columns) == SQLITE_ROW) {
    const auto* column = reinterpret_cast<const char*>(sqlite3_column_text(columns, 1));
    const auto* type = reinterpret_cast<const char*>(sqlite3_column_text(columns, 2));
    const std::string declared = type ? type : "";
    const bool text = declared.empty() || sqlite3_strnicmp(declared.c_str(), "TEXT", 4) == 0;
    list += (list.empty() ? "" : ", ") + QuotedName(column ? column : "", '"') + (declared.empty() ? "" : " " + declared) +
            (text ? " COLLATE TSQL" : "");
  }
  sqlite3_finalize(columns);
  if (list.empty()) return sqlite3_result_error(ctx, ("no such table: " + name).c_str(), -1);
  const std::string create = "CREATE TABLE " + std::string(kCollated) + " (" + list + ")";
  char* error = nullptr;
  if (sqlite3_exec(db, create.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
    sqlite3_result_error(ctx, error ? error : "CREATE TABLE failed", -1);
    return sqlite3_free(error);
  }
  sqlite3_result_null(ctx);
}

}  // namespace

std::string CollateTempTableAs(const std::string& emittedName, std::string_view bareName) {
  const std::string collated(kCollated);
  return "; DROP TABLE IF EXISTS " + collated + "; SELECT tsql_collated_copy(" + QuotedName(bareName, '\'') +
         ") AS tsql_assignment; INSERT INTO " + collated + " SELECT * FROM temp." + emittedName +
         "; DROP TABLE temp." + emittedName + "; ALTER TABLE " + collated + " RENAME TO " + emittedName;
}

int RegisterCollatedCopy(sqlite3* db) {
  return sqlite3_create_function_v2(db, "tsql_collated_copy", 1, SQLITE_UTF8 | SQLITE_DIRECTONLY, nullptr,
                                    CollatedCopy, nullptr, nullptr, nullptr);
}

bool IsTextTypeName(std::string_view word) {
  static constexpr std::array<std::string_view, 6> kTextTypes = {"char", "varchar", "nchar", "nvarchar", "text", "ntext"};
  return std::any_of(kTextTypes.begin(), kTextTypes.end(), [&](std::string_view t) { return SameName(t, word); });
}

}  // namespace adodb::tsql
