#pragma once
// Opens the report window on a query and returns when the user has closed it: the window's grid
// runs the query on a connection of its own opened from the session's ConnStr, so it does not
// see a transaction open on Conn; the query's values are bound to its ? marks. The dates are
// texts, handed to the grid as they are.
// A failure is shown with its description (64, "系统提示"); nothing is thrown.
#include <string>

#include "host/BoundSql.h"
#include "host/Session.h"

namespace storeadjust {

void ShowReport(Session& session, const BoundSql& query, const std::string& reportCode,
                const std::string& reportName, const std::string& startDate, const std::string& endDate);

}  // namespace storeadjust
