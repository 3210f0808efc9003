#include "db/PasswordTable.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "adodb/Connection.h"
#include "adodb/Recordset.h"
#include "adodb/TextCompare.h"
#include "db/Schema.h"

namespace storeadjust::db {

namespace {

const TableDefinition& PasswordTableDefinition() {
  const auto& tables = SchemaTables();
  return *std::find_if(tables.begin(), tables.end(),
                       [](const TableDefinition& table) { return adodb::SameName(table.name, kPasswordTable); });
}

bool HoldsSchemaObject(adodb::Connection& connection, const char* type, const std::string& name) {
  auto objects = connection.OpenRecordset(std::string("select name from sqlite_master where type = '") + type + "'");
  for (long i = 0; i < objects->RecordCount(); ++i) {
    if (adodb::SameName(objects->RowAt(objects->RowIndexAt(i))[0].TextOrEmpty(), name)) return true;
  }
  return false;
}

// "create index NAME on ..." names NAME.
std::string IndexName(const std::string& statement) {
  const std::size_t start = std::string_view("create index ").size();
  return statement.substr(start, statement.find(' ', start) - start);
}

}  // namespace

void EnsurePasswordTable(adodb::Connection& connection) {
  if (!HoldsSchemaObject(connection, "table", kPasswordTable)) connection.Execute(CreateTableStatement(PasswordTableDefinition()));
}

void EnsureSchemaIndexes(adodb::Connection& connection) {
  for (const std::string& statement : SchemaIndexes()) {
    if (!HoldsSchemaObject(connection, "index", IndexName(statement))) connection.Execute(statement);
  }
}

}  // namespace storeadjust::db
