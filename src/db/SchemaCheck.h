#pragma once
// Whether an embedded database holds the module's schema, so that a session on some other
// SQLite file stops with one refusal naming what is missing instead of failing at every read.
#include <string>

namespace adodb {
class Connection;
}

namespace storeadjust::db {

// The first table of the module's schema the database does not hold; empty when it holds all.
// Throws adodb::Error when the database cannot be read.
std::string MissingSchemaTable(adodb::Connection& connection);

// Throws adodb::Error naming the file and its first missing table when the database at path
// lacks the module's schema.
void RequireModuleSchema(adodb::Connection& connection, const std::string& path);

// The same question asked of the file itself, opened read-only: nothing is written to it (no
// journal switched to WAL, no -wal or -shm made beside it) before it is known to be the module's
// database. Throws adodb::Error with SQLite's words when the file cannot be read as a database.
std::string MissingSchemaTableInFile(const std::string& path);

// Throws adodb::Error naming the file and its first missing table when the existing file at path
// lacks the module's schema, asked of the file opened read-only (see MissingSchemaTableInFile); a
// missing file is left to the opening, which words its own refusal.
void RequireModuleSchemaInFile(const std::string& path);

// The refusal of a database at path that lacks the module's table `missing`.
std::string SchemaRefusal(const std::string& path, const std::string& missing);

}  // namespace storeadjust::db
