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

}  // namespace storeadjust::db
