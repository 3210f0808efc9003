#pragma once
// The operator's data scope as a condition to append to a where clause: empty text, or a
// continuation that begins with " and ". Asked of a data-scope component created for the call,
// through the session's connection string, operator Guid and code. A failing component throws
// adodb::Error: a caller must not go on to list items unrestricted.
#include <string>

#include "host/Session.h"

namespace storeadjust {

inline constexpr const char* kWarehouseScope = "0007";
inline constexpr const char* kGoodsScope = "0003";

std::string OperatorScopeCondition(Session& session, const std::string& column, const std::string& scopeCode);

}  // namespace storeadjust
