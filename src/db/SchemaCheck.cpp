#include "db/SchemaCheck.h"

#include <algorithm>

#include "adodb/Connection.h"
#include "adodb/Error.h"
#include "adodb/Recordset.h"
#include "adodb/TextCompare.h"
#include "db/Schema.h"

namespace storeadjust::db {

std::string MissingSchemaTable(adodb::Connection& connection) {
  auto tables = connection.OpenRecordset("select name from sqlite_master where type = 'table'");
  std::vector<std::string> present;
  for (long i = 0; i < tables->RecordCount(); ++i) present.push_back(tables->RowAt(tables->RowIndexAt(i))[0].TextOrEmpty());
  for (const auto& table : SchemaTables()) {
    if (adodb::SameName(table.name, kPasswordTable)) continue;
    const bool found =
        std::any_of(present.begin(), present.end(), [&](const std::string& name) { return adodb::SameName(name, table.name); });
    if (!found) return table.name;
  }
  return {};
}

void RequireModuleSchema(adodb::Connection& connection, const std::string& path) {
  const std::string missing = MissingSchemaTable(connection);
  if (!missing.empty())
    throw adodb::Error::Provider("数据库 " + path + " 中没有本模块的表 " + missing + "，它不是调拨单模块的数据库。");
}

}  // namespace storeadjust::db
