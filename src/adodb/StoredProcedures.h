#pragma once
// Stored procedures of the embedded backend: C++ handlers registered by name (case-insensitive),
// process-wide. A handler runs on the calling connection's backend (inside its transaction, if
// one is open) and sets the output parameters. Calling a name that is not registered fails with
// SQL Server's own message: "Could not find stored procedure 'NAME'."
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "adodb/Backend.h"
#include "adodb/Parameter.h"

namespace adodb {

using ProcedureHandler = std::function<void(Backend& backend, std::vector<std::shared_ptr<Parameter>>& parameters)>;

void RegisterStoredProcedure(const std::string& name, ProcedureHandler handler);
// Null when not registered.
const ProcedureHandler* FindStoredProcedure(const std::string& name);

}  // namespace adodb
