#pragma once
// The approval-workflow gate of the audit: asks the ERP's stored procedure (on the session
// connection) whether the bill may pass this step. ReturnValue 1 is a warning the user may
// override, 2 a refusal with its text, anything else a pass. Asked without a word to the user:
// the screen that asks decides what to show.
#include <string>

#include "host/Session.h"

namespace storeadjust {

// What the procedure answers: ReturnValue and ReturnMsg. Failures (no such procedure, a refused
// call, no connection) throw adodb::Error with the database's description.
struct ProcedureVerdict {
  int value = 0;
  std::string message;
};
ProcedureVerdict AskAuditProcedure(Session& session, const std::string& billSerial, const std::string& procedureName);

}  // namespace storeadjust
