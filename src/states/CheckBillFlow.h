#pragma once
// The approval-workflow gate of the audit: asks the ERP's stored procedure (on the session
// connection) whether the bill may pass this step. ReturnValue 1 is a warning the user may
// override (Yes/No, No the default), 2 a refusal shown to the user, anything else a pass.
// Every failure (no such procedure, a refused call) is shown (64, "系统提示") and answers false,
// so the audit does not start.
#include <string>

#include "host/Session.h"

namespace storeadjust {

bool CheckBillFlow(Session& session, const std::string& billSerial, const std::string& procedureName);

// What the procedure answers, asked without a word to the user: ReturnValue and ReturnMsg.
// Failures throw adodb::Error.
struct ProcedureVerdict {
  int value = 0;
  std::string message;
};
ProcedureVerdict AskAuditProcedure(Session& session, const std::string& billSerial, const std::string& procedureName);

}  // namespace storeadjust
