#pragma once
// The embedded copy of the ERP's tables that the transfer-bill module reads and writes, plus the
// tables of the stand-ins for the ERP's outside components (data scope, approval flow, the audit
// procedure's verdicts, the goods-place master). Column types are SQL Server's declarations so
// that the data-access layer reports ADO types as SQL Server would; every text column carries the
// text collation. The statements are plain "create table" text that SQL Server and SQLite both
// read (apart from the collation's name).
#include <string>
#include <vector>

namespace storeadjust::db {

struct ColumnDefinition {
  const char* name;
  const char* type;         // SQL Server declaration: "varchar(20)", "money", "bit" ...
  const char* constraint;   // "not null", "default 0", "" ...
};

struct TableDefinition {
  const char* name;
  std::vector<ColumnDefinition> columns;
  const char* primaryKey;  // column list of the primary key, or "" when the table has none
};

// The launcher's password table. Files made before it existed lack it; the launcher and the
// database tool add it (EnsurePasswordTable), so the schema check does not ask for it. A server's
// database gets it from the database tool.
inline constexpr const char* kPasswordTable = "StoreAdjustPassword";

// Every table of the embedded database, in creation order.
const std::vector<TableDefinition>& SchemaTables();

// The "create index" statements of the secondary indexes the module's reads need, in creation
// order (after the tables).
const std::vector<std::string>& SchemaIndexes();

// The "create table" statement of one table, text columns collated with kTextCollation, or (not
// collated) in the collation of the database it is made in, a server's.
std::string CreateTableStatement(const TableDefinition& table, bool collated = true);

// The triggers that keep every datetime column of the table in the one stored form,
// 'YYYY-MM-DD HH:MM:SS': a value written in any form SQL Server accepts ('2024-3-5', '20240305')
// is rewritten to it, so ordering and ranges over the text find it; a date that does not exist
// fails the statement, and so does a number (its text is no date). They call the translator's
// tsql_datetime, which every connection holds.
std::vector<std::string> StoredDateTriggers(const TableDefinition& table);

// True for the declarations that hold text (varchar, nvarchar, char, nchar, text, ntext).
bool IsTextType(const char* declaredType);

}  // namespace storeadjust::db
