#include "db/PasswordTable.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "adodb/BoundValues.h"
#include "adodb/Connection.h"
#include "adodb/Error.h"
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

const char* OperatorGuidType() {
  for (const ColumnDefinition& column : PasswordTableDefinition().columns) {
    if (adodb::SameName(column.name, "OperatorGuid")) return column.type;
  }
  throw adodb::Error::ItemNotFound();
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

// A table made before passwords were tied to the operator's Guid gets the column; its rows keep
// NULL there until their passwords are set again.
void EnsurePasswordTable(adodb::Connection& connection) {
  if (!HoldsSchemaObject(connection, "table", kPasswordTable)) {
    connection.Execute(CreateTableStatement(PasswordTableDefinition()));
    return;
  }
  auto created = connection.OpenRecordset("select sql from sqlite_master where type = 'table' and name = ?",
                                          {adodb::BoundText(kPasswordTable)});
  if (created->RecordCount() > 0 && adodb::LowerName(created->Value(std::size_t{0}).TextOrEmpty()).find("operatorguid") == std::string::npos)
    connection.Execute(std::string("alter table ") + kPasswordTable + " add OperatorGuid " + OperatorGuidType());
}

void EnsureSchemaIndexes(adodb::Connection& connection) {
  for (const std::string& statement : SchemaIndexes()) {
    if (!HoldsSchemaObject(connection, "index", IndexName(statement))) connection.Execute(statement);
  }
}

}  // namespace storeadjust::db
