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

}  // namespace storeadjust::db
