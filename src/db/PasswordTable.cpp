#include "db/PasswordTable.h"

#include <algorithm>

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

bool HoldsPasswordTable(adodb::Connection& connection) {
  auto tables = connection.OpenRecordset("select name from sqlite_master where type = 'table'");
  for (long i = 0; i < tables->RecordCount(); ++i) {
    if (adodb::SameName(tables->RowAt(tables->RowIndexAt(i))[0].TextOrEmpty(), kPasswordTable)) return true;
  }
  return false;
}

}  // namespace

void EnsurePasswordTable(adodb::Connection& connection) {
  if (!HoldsPasswordTable(connection)) connection.Execute(CreateTableStatement(PasswordTableDefinition()));
}

}  // namespace storeadjust::db
