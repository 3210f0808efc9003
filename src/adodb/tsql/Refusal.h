#pragma once
// The one way a rewrite rule refuses a construct, so that every refusal reads alike and the
// translator caches it as unsupported: "T-SQL translator: <construct> is not supported".
#include <string>

namespace adodb::tsql {

[[noreturn]] void Refuse(const std::string& construct);

}  // namespace adodb::tsql
