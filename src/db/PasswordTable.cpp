#include "db/PasswordTable.h"

#include <sqlite3.h>

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
#include "adodb/SqliteBackend.h"
#include "adodb/TextCompare.h"
#include "db/DecimalColumns.h"
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

namespace {

struct StaleTrigger {
  std::string table, name, statement;
};

// The schema's triggers the file lacks or holds with another body. SQLite keeps a trigger's text
// as it was written but for the leading "CREATE TRIGGER", which it spells its own way.
std::vector<StaleTrigger> StaleStoredFormTriggers(adodb::Connection& connection) {
  auto held = connection.OpenRecordset("select name, sql from sqlite_master where type = 'trigger'");
  std::vector<std::pair<std::string, std::string>> bodies;
  for (long i = 0; i < held->RecordCount(); ++i) {
    const auto& row = held->RowAt(held->RowIndexAt(i));
    bodies.emplace_back(adodb::LowerName(row[0].TextOrEmpty()), row[1].TextOrEmpty());
  }
  const std::size_t keywords = std::string_view("create trigger").size();
  std::vector<StaleTrigger> stale;
  for (const auto& table : SchemaTables()) {
    auto statements = StoredDateTriggers(table);
    for (auto& statement : StoredDecimalTriggers(table)) statements.push_back(std::move(statement));
    for (auto& statement : statements) {
      const std::string name = statement.substr(keywords + 1, statement.find(' ', keywords + 1) - keywords - 1);
      const auto found = std::find_if(bodies.begin(), bodies.end(), [&](const auto& b) { return b.first == adodb::LowerName(name); });
      if (found == bodies.end() || found->second.substr(std::min(keywords, found->second.size())) != statement.substr(keywords))
        stale.push_back({table.name, name, std::move(statement)});
    }
  }
  return stale;
}

// A trigger body holds ';', which the T-SQL translator reads as the end of a statement: these go
// to SQLite as written.
void ExecuteOnFile(sqlite3* db, const std::string& sql) {
  char* error = nullptr;
  const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
  const std::string message = error ? error : "";
  sqlite3_free(error);
  if (rc != SQLITE_OK) throw adodb::Error::Provider(message + " [" + sql.substr(0, 200) + "]");
}

// The rows of a column, each rowid with its value as text.
std::vector<std::pair<sqlite3_int64, std::string>> ColumnRows(sqlite3* db, const std::string& table, const std::string& column) {
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(db, ("select rowid, " + column + " from " + table).c_str(), -1, &statement, nullptr) != SQLITE_OK) {
    throw adodb::Error::Provider(sqlite3_errmsg(db));
  }
  std::vector<std::pair<sqlite3_int64, std::string>> rows;
  while (sqlite3_step(statement) == SQLITE_ROW) {
    const auto* text = sqlite3_column_text(statement, 1);
    rows.emplace_back(sqlite3_column_int64(statement, 0), text ? reinterpret_cast<const char*>(text) : "");
  }
  sqlite3_finalize(statement);
  return rows;
}

// Writes the column's values again through its triggers. A value outside the column's range,
// stored before its trigger refused such values, aborts the whole statement: the column is then
// written row by row, so that only such values stay as they were, each one named.
void HoldColumn(sqlite3* db, const TableDefinition& table, const ColumnDefinition& column, std::vector<std::string>& unheld) {
  const std::string update = std::string("update ") + table.name + " set " + column.name + " = " + column.name;
  if (sqlite3_exec(db, update.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK) return;
  if ((sqlite3_extended_errcode(db) & 0xff) != SQLITE_CONSTRAINT) ExecuteOnFile(db, update);  // throws its words
  sqlite3_stmt* row = nullptr;
  if (sqlite3_prepare_v2(db, (update + " where rowid = ?").c_str(), -1, &row, nullptr) != SQLITE_OK) {
    throw adodb::Error::Provider(sqlite3_errmsg(db));
  }
  for (const auto& [rowid, value] : ColumnRows(db, table.name, column.name)) {
    sqlite3_bind_int64(row, 1, rowid);
    const int rc = sqlite3_step(row);
    sqlite3_reset(row);
    if (rc == SQLITE_DONE) continue;
    if ((rc & 0xff) != SQLITE_CONSTRAINT) {
      const std::string message = sqlite3_errmsg(db);
      sqlite3_finalize(row);
      throw adodb::Error::Provider(message + " [" + update + "]");
    }
    unheld.push_back(std::string(table.name) + " 表 rowid 为 " + std::to_string(rowid) + " 的行，" + column.name +
                     " 的值 " + value + " 超出了 " + column.type + " 的范围，没有改动，请改正它。");
  }
  sqlite3_finalize(row);
}

}  // namespace

std::vector<std::string> EnsureStoredFormTriggers(adodb::Connection& connection) {
  auto* backend = dynamic_cast<adodb::SqliteBackend*>(&connection.GetBackend());
  // A read-only file cannot be written by the module either: it opens as it is, and is brought up
  // to date the first time it is opened for writing.
  if (!backend || sqlite3_db_readonly(backend->Handle(), "main") == 1 || StaleStoredFormTriggers(connection).empty()) return {};
  adodb::TransactionGuard transaction(connection);
  std::vector<std::string> rewritten, unheld;
  for (const StaleTrigger& trigger : StaleStoredFormTriggers(connection)) {
    ExecuteOnFile(backend->Handle(), "drop trigger if exists " + trigger.name);
    ExecuteOnFile(backend->Handle(), trigger.statement);
    rewritten.push_back(trigger.name);
  }
  // What the file stored without the triggers is written again through them, column by column.
  for (const auto& table : SchemaTables()) {
    for (const auto& column : table.columns) {
      const std::string prefix = adodb::LowerName(std::string(table.name) + "_" + column.name + "_");
      const bool held = std::any_of(rewritten.begin(), rewritten.end(), [&](const std::string& name) {
        const std::string lower = adodb::LowerName(name);
        return lower.rfind(prefix + "declared_scale_on_", 0) == 0 || lower.rfind(prefix + "stored_form_on_", 0) == 0;
      });
      if (held) HoldColumn(backend->Handle(), table, column, unheld);
    }
  }
  transaction.Commit();
  return unheld;
}

}  // namespace storeadjust::db
