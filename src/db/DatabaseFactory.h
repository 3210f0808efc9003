#pragma once
// Builds embedded (SQLite) databases for the module: an empty one holding every table the module
// and its outside components' stand-ins use, or the demo database with a ready set of
// warehouses, goods, stock, operators and bills (described in src/db/DEMO.md).
//
// Both refuse to touch an existing database: when PATH names a folder or a file with any content
// they throw adodb::Error and leave it as it was. A missing file or an empty (zero-byte) file is
// filled. When building fails half-way a file the call made is removed, so a failure never
// leaves a database that looks usable; a file that was there before is never removed. A file the
// call makes appears whole or not at all, also to another program making the same file.
#include <string>

namespace storeadjust::db {

void CreateEmptyDatabase(const std::string& path);
void CreateDemoDatabase(const std::string& path);

// The connection string a session uses for an embedded database file.
std::string EmbeddedConnectionString(const std::string& path);

}  // namespace storeadjust::db
