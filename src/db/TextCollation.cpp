#include "db/TextCollation.h"

#include "adodb/tsql/SqliteFunctions.h"

namespace storeadjust::db {

void EnsureTextCollation(sqlite3* db) { adodb::tsql::RegisterSqliteFunctions(db); }

}  // namespace storeadjust::db
