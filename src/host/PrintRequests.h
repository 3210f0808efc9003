#pragma once
// The values the print commands hand to the print and reprint components, built in one place
// so the editor's and the browser's commands cannot drift apart.
#include <string>

#include "host/Session.h"
#include "host/UserInterface.h"

namespace storeadjust {

// The transfer bill's kind, as the print component knows it.
inline constexpr int kTransferBillKind = 60;
// The reprint function of the component, as it is started.
inline constexpr int kReprintStartCode = 13;

// The request for the bills `serials` (one serial, or several joined by "|"), read from the header
// and line tables as named (the component is handed them with a blank before and after):
// the session's connection, the mode flag true, parameters 0, 1 and 5 (header table, line table,
// operator code), the operator code again and bill kind 60.
PrintRequest MakePrintRequest(const Session& session, const std::string& headerTable, const std::string& lineTable,
                              const std::string& serials, bool preview);

// Category, command time-out, connection string, operator code and name, the business date
// (YYYY-MM-DD), the start code 13 and the operator's data scope (GetDataScopeFilter, whose
// adodb::Error reaches the caller).
ReprintRequest MakeReprintRequest(Session& session);

}  // namespace storeadjust
