#pragma once
// The launcher's password table on an embedded module database made before the table existed.
#include <string>

namespace adodb {
class Connection;
}

namespace storeadjust::db {

// Creates the password table in the embedded database when it does not hold it yet; a database
// that has it is left as it is. Throws adodb::Error when the database cannot be read or written.
void EnsurePasswordTable(adodb::Connection& connection);

}  // namespace storeadjust::db
