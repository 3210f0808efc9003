#include "adodb/tsql/Translator.h"

namespace adodb::tsql {

// Placeholder until the rewriter lands: passes the statement through.
std::string Translate(std::string_view tsql) { return std::string(tsql); }

}  // namespace adodb::tsql
