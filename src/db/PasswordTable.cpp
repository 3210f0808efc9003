#include "db/PasswordTable.h"

#include <algorithm>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "adodb/Backend.h"
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

std::string AddColumn(const ColumnDefinition& column) {
  return std::string("alter table ") + kPasswordTable + " add " + column.name + " " + column.type;
}

// What brings the password table of an embedded file up to date; nothing when it is. A table made
// before a column existed gets it: OperatorGuid, before passwords were tied to the operator's Guid
// (its rows keep NULL there until their passwords are set again), or the count of wrong passwords.
std::vector<std::string> FilePasswordTableChanges(adodb::Connection& connection) {
  if (!HoldsSchemaObject(connection, "table", kPasswordTable)) return {CreateTableStatement(PasswordTableDefinition())};
  auto created = connection.OpenRecordset("select sql from sqlite_master where type = 'table' and name = ?",
                                          {adodb::BoundText(kPasswordTable)});
  std::vector<std::string> changes;
  if (created->RecordCount() == 0) return changes;
  const std::string statement = adodb::LowerName(created->Value(std::size_t{0}).TextOrEmpty());
  for (const ColumnDefinition& column : PasswordTableDefinition().columns) {
    if (statement.find(adodb::LowerName(column.name)) == std::string::npos) changes.push_back(AddColumn(column));
  }
  return changes;
}

// The same for a database reached through ODBC, a server's above all: its catalog is not SQLite's,
// so the table is asked for the columns a query of it returns, and one that cannot be queried is
// made, its text columns in the database's own collation.
std::vector<std::string> ServerPasswordTableChanges(adodb::Connection& connection) {
  std::shared_ptr<adodb::Recordset> none;
  try {
    none = connection.OpenRecordset(std::string("select * from ") + kPasswordTable + " where 1 = 0");
  } catch (const adodb::Error&) {
    return {CreateTableStatement(PasswordTableDefinition(), false)};
  }
  std::vector<std::string> changes;
  for (const ColumnDefinition& column : PasswordTableDefinition().columns) {
    const auto& held = none->Columns();
    if (std::none_of(held.begin(), held.end(), [&](const auto& c) { return adodb::SameName(c.name, column.name); }))
      changes.push_back(AddColumn(column));
  }
  return changes;
}

std::vector<std::string> PasswordTableChanges(adodb::Connection& connection) {
  if (adodb::EmbeddedDatabaseFile(connection.ConnectionString())) return FilePasswordTableChanges(connection);
  return ServerPasswordTableChanges(connection);
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
