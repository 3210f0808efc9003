#include "db/SchemaCheck.h"

#include <sqlite3.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "adodb/Connection.h"
#include "adodb/Error.h"
#include "adodb/Recordset.h"
#include "adodb/SqliteFileOpening.h"
#include "adodb/TextCompare.h"
#include "db/Schema.h"

namespace storeadjust::db {

namespace {

constexpr const char* kTableNames = "select name from sqlite_master where type = 'table'";

std::string FirstMissing(const std::vector<std::string>& present) {
  for (const auto& table : SchemaTables()) {
    if (adodb::SameName(table.name, kPasswordTable)) continue;
    const bool found =
        std::any_of(present.begin(), present.end(), [&](const std::string& name) { return adodb::SameName(name, table.name); });
    if (!found) return table.name;
  }
  return {};
}

[[noreturn]] void ThrowFileError(sqlite3* db, int rc) {
  std::string message = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
  sqlite3_close(db);
  throw adodb::Error::Provider(std::move(message));
}

// A file with no WAL beside it holds all its content in itself; read as immutable it is read
// without the -wal and -shm a read-only open of a database in WAL mode would make, and leave,
// next to a file that may then be refused. With a WAL there, its content must be read too.
int OpenToLook(const std::string& path, sqlite3** db) {
  std::error_code error;
  if (!std::filesystem::exists(path + "-wal", error)) {
    return sqlite3_open_v2(adodb::ImmutableFileUri(path).c_str(), db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX,
                           nullptr);
  }
  return sqlite3_open_v2(path.c_str(), db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
}

}  // namespace

std::string MissingSchemaTable(adodb::Connection& connection) {
  auto tables = connection.OpenRecordset(kTableNames);
  std::vector<std::string> present;
  for (long i = 0; i < tables->RecordCount(); ++i) present.push_back(tables->RowAt(tables->RowIndexAt(i))[0].TextOrEmpty());
  return FirstMissing(present);
}

std::string MissingSchemaTableInFile(const std::string& path) {
  sqlite3* db = nullptr;
  int rc = OpenToLook(path, &db);
  if (rc != SQLITE_OK) ThrowFileError(db, rc);
  sqlite3_stmt* statement = nullptr;
  rc = sqlite3_prepare_v2(db, kTableNames, -1, &statement, nullptr);
  if (rc != SQLITE_OK) ThrowFileError(db, rc);
  std::vector<std::string> present;
  while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
    const auto* name = sqlite3_column_text(statement, 0);
    present.emplace_back(name ? reinterpret_cast<const char*>(name) : "");
  }
  sqlite3_finalize(statement);
  if (rc != SQLITE_DONE) ThrowFileError(db, rc);
  sqlite3_close(db);
  return FirstMissing(present);
}

std::string SchemaRefusal(const std::string& path, const std::string& missing) {
  return "数据库 " + path + " 中没有本模块的表 " + missing + "，它不是调拨单模块的数据库。";
}

void RequireModuleSchema(adodb::Connection& connection, const std::string& path) {
  const std::string missing = MissingSchemaTable(connection);
  if (!missing.empty()) throw adodb::Error::Provider(SchemaRefusal(path, missing));
}

void RequireModuleSchemaInFile(const std::string& path) {
  std::error_code error;
  if (!std::filesystem::exists(path, error)) return;
  const std::string missing = MissingSchemaTableInFile(path);
  if (!missing.empty()) throw adodb::Error::Provider(SchemaRefusal(path, missing));
}

}  // namespace storeadjust::db
