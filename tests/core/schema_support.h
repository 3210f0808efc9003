#pragma once
// Raw reads for the schema tests: SQLite's own answer, with no T-SQL translation in between.
#include <sqlite3.h>

#include <string>
#include <vector>

#include "db/SqliteFile.h"

namespace schema_test {

// The first column of the first row as text: "NULL" for NULL, "" when there is no row.
inline std::string RawText(storeadjust::db::SqliteFile& file, const std::string& sql) {
  sqlite3_stmt* statement = nullptr;
  sqlite3_prepare_v2(file.Handle(), sql.c_str(), -1, &statement, nullptr);
  std::string text;
  if (sqlite3_step(statement) == SQLITE_ROW) {
    const auto* value = sqlite3_column_text(statement, 0);
    text = value ? reinterpret_cast<const char*>(value) : "NULL";
  }
  sqlite3_finalize(statement);
  return text;
}

// Column `column` of every row, as text.
inline std::vector<std::string> RawColumn(storeadjust::db::SqliteFile& file, const std::string& sql, int column) {
  sqlite3_stmt* statement = nullptr;
  sqlite3_prepare_v2(file.Handle(), sql.c_str(), -1, &statement, nullptr);
  std::vector<std::string> values;
  while (sqlite3_step(statement) == SQLITE_ROW) {
    const auto* value = sqlite3_column_text(statement, column);
    values.emplace_back(value ? reinterpret_cast<const char*>(value) : "");
  }
  sqlite3_finalize(statement);
  return values;
}

}  // namespace schema_test
