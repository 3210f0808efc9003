#pragma once
// The collation every text column of the embedded schema is declared with. It compares the way
// the ERP's SQL Server database does: case-insensitively and blind to trailing blanks, so 'a01'
// equals 'A01 ' in keys, joins and filters. The translator of the data-access layer registers the
// real one on every connection it opens; a connection that creates tables must hold it too,
// because SQLite checks the collation of each column when the table is created.
struct sqlite3;

namespace storeadjust::db {

// The collation's name as the schema writes it ("COLLATE TSQL"); the one place it is spelled.
inline constexpr const char* kTextCollation = "TSQL";

// Registers the translator's functions and collation on a raw connection.
// Throws adodb::Error when SQLite refuses the registration.
void EnsureTextCollation(sqlite3* db);

}  // namespace storeadjust::db
