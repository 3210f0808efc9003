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

// A folder, or a file with content, is someone's: it is refused before anything is opened.
void RefuseExistingDatabase(const std::string& path) {
  std::error_code error;
  if (std::filesystem::is_directory(path, error)) {
    throw adodb::Error::Provider(path + " 是目录，不是数据库文件。请在目录后面加上要建的文件名，例如 " +
                                 (std::filesystem::path(path) / "调拨单.db").string() + "。");
  }
  const auto size = std::filesystem::file_size(path, error);
  if (!error && size > 0) {
    throw adodb::Error::Provider("数据库文件 " + path + " 已经存在且有内容，没有覆盖它。请换一个新的文件名。");
  }
}

void CreateSchema(SqliteFile& db) {
  for (const auto& table : SchemaTables()) {
    db.Execute(CreateTableStatement(table));
    for (const auto& trigger : StoredDateTriggers(table)) db.Execute(trigger);
    for (const auto& trigger : StoredDecimalTriggers(table)) db.Execute(trigger);
  }
  for (const auto& index : SchemaIndexes()) db.Execute(index);
}

// Writes the whole database in one transaction; on any failure removes the file again, but only
// when this call made it: an empty file that was there before is the user's and stays.
void BuildDatabase(const std::string& path, const std::function<void(SqliteFile&)>& fill) {
  RefuseExistingDatabase(path);
  std::error_code error;
  const bool madeHere = !std::filesystem::exists(std::filesystem::symlink_status(path, error));
  try {
    SqliteFile db(path);
    db.Execute("begin");
    CreateSchema(db);
    fill(db);
    db.Execute("commit");
  } catch (...) {
    std::error_code ignored;
    if (madeHere) std::filesystem::remove(path, ignored);
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
