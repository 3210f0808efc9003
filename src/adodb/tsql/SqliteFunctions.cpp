#include "adodb/tsql/SqliteFunctions.h"

#include <sqlite3.h>

namespace adodb::tsql {

void RegisterSqliteFunctions(sqlite3*) {}

}  // namespace adodb::tsql
