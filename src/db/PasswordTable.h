#pragma once
// The launcher's password table, and the indexes, on an embedded module database made before
// they existed.
#include <string>

namespace adodb {
class Connection;
}

namespace storeadjust::db {

// Creates the password table in the embedded database when it does not hold it yet; a database
// that has it is left as it is. Throws adodb::Error when the database cannot be read or written.
void EnsurePasswordTable(adodb::Connection& connection);

// Creates the schema's indexes that the embedded database lacks: a file made before an index
// existed would otherwise read every row where the index finds a few. Throws adodb::Error when the
// database cannot be read or written.
void EnsureSchemaIndexes(adodb::Connection& connection);

}  // namespace storeadjust::db
