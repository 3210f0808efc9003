#include "db/PasswordTable.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

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

namespace {

// What brings the password table up to date; nothing when it is. A table made before a column
// existed gets it: OperatorGuid, before passwords were tied to the operator's Guid (its rows keep
// NULL there until their passwords are set again), or the count of wrong passwords.
std::vector<std::string> PasswordTableChanges(adodb::Connection& connection) {
  if (!HoldsSchemaObject(connection, "table", kPasswordTable)) return {CreateTableStatement(PasswordTableDefinition())};
  auto created = connection.OpenRecordset("select sql from sqlite_master where type = 'table' and name = ?",
                                          {adodb::BoundText(kPasswordTable)});
  std::vector<std::string> changes;
  if (created->RecordCount() == 0) return changes;
  const std::string statement = adodb::LowerName(created->Value(std::size_t{0}).TextOrEmpty());
  for (const ColumnDefinition& column : PasswordTableDefinition().columns) {
    if (statement.find(adodb::LowerName(column.name)) == std::string::npos)
      changes.push_back(std::string("alter table ") + kPasswordTable + " add " + column.name + " " + column.type);
  }
  return changes;
}

}  // namespace

// A file that needs nothing is not written to (it may be read-only). Two launchers opening an
// older file at once would both make the change and the second be refused ("duplicate column
// name"): what is missing is read again under the write lock.
void EnsurePasswordTable(adodb::Connection& connection) {
  if (PasswordTableChanges(connection).empty()) return;
  adodb::TransactionGuard transaction(connection);
  for (const std::string& change : PasswordTableChanges(connection)) connection.Execute(change);
  transaction.Commit();
}

void EnsureSchemaIndexes(adodb::Connection& connection) {
  for (const std::string& statement : SchemaIndexes()) {
    if (!HoldsSchemaObject(connection, "index", IndexName(statement))) connection.Execute(statement);
  }
}

}  // namespace storeadjust::db
