#pragma once
// The launcher's password table on a module database made before it (or one of its columns)
// existed, and the indexes and stored-form triggers on an embedded one.
#include <string>
#include <vector>

namespace adodb {
class Connection;
}

namespace storeadjust::db {

// Creates the password table when the database does not hold it yet, or adds the columns it lacks;
// a database whose table is up to date is left as it is. Embedded files and databases reached
// through ODBC (a server's) alike. Throws adodb::Error when the database cannot be read or written.
void EnsurePasswordTable(adodb::Connection& connection);

// Creates the schema's indexes that the embedded database lacks: a file made before an index
// existed would otherwise read every row where the index finds a few. Throws adodb::Error when the
// database cannot be read or written.
void EnsureSchemaIndexes(adodb::Connection& connection);

// Brings an embedded file's triggers that keep dates in their stored form and decimals at their
// column's scale up to the schema's, and holds the values the file stored without them, in one
// transaction; a file already up to date, or read-only, is not written to. A value beyond its
// column's range is left as it was and the file still opens: gives one Chinese line naming each
// such value, for the administrator. Throws adodb::Error when the file cannot be read or written.
// Nothing for a database reached through ODBC.
std::vector<std::string> EnsureStoredFormTriggers(adodb::Connection& connection);

}  // namespace storeadjust::db
