#include "db/DatabaseFactory.h"

#include <filesystem>
#include <functional>
#include <system_error>

#include "adodb/ConnectionString.h"
#include "adodb/Error.h"
#include "db/DecimalColumns.h"
#include "db/DemoData.h"
#include "db/Schema.h"
#include "db/SqliteFile.h"

namespace storeadjust::db {
namespace {

void RefuseExistingDatabase(const std::string& path) {
  std::error_code error;
  const auto size = std::filesystem::file_size(path, error);
  if (!error && size > 0) throw adodb::Error::Provider("Database file already exists: " + path);
}

void CreateSchema(SqliteFile& db) {
  for (const auto& table : SchemaTables()) {
    db.Execute(CreateTableStatement(table));
    for (const auto& trigger : StoredDateTriggers(table)) db.Execute(trigger);
    for (const auto& trigger : StoredDecimalTriggers(table)) db.Execute(trigger);
  }
  for (const auto& index : SchemaIndexes()) db.Execute(index);
}

// Writes the whole database in one transaction; on any failure removes the file again.
void BuildDatabase(const std::string& path, const std::function<void(SqliteFile&)>& fill) {
  RefuseExistingDatabase(path);
  try {
    SqliteFile db(path);
    db.Execute("begin");
    CreateSchema(db);
    fill(db);
    db.Execute("commit");
  } catch (...) {
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
    throw;
  }
}

}  // namespace

void CreateEmptyDatabase(const std::string& path) {
  BuildDatabase(path, [](SqliteFile&) {});
}

void CreateDemoDatabase(const std::string& path) {
  BuildDatabase(path, [](SqliteFile& db) {
    FillDemoCatalog(db);
    FillDemoSettings(db);
    FillDemoOperators(db);
    FillDemoStock(db);
  });
}

std::string EmbeddedConnectionString(const std::string& path) {
  return "Provider=SQLite;Data Source=" + adodb::ConnectionString::Quoted(path);
}

}  // namespace storeadjust::db
