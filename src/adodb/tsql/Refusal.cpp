#include "adodb/tsql/Refusal.h"

#include "adodb/Error.h"

namespace adodb::tsql {

void Refuse(const std::string& construct) {
  throw Error::Unsupported("T-SQL translator: " + construct + " is not supported");
}

}  // namespace adodb::tsql
