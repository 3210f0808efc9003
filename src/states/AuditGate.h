#pragma once
// Whether a bill may be audited, asked of the approval flow before the state engine runs, in two
// ways: the ERP's audit procedure, which may warn or refuse, then the data-scope component's
// verdict. Nothing is shown here: the screen that asks decides what a warning means (the editor
// puts it to the clerk, the browser's marked-bill audit refuses the bill) and shows a refusal.
#include <functional>
#include <string>

#include "host/Session.h"

namespace storeadjust {

enum class AuditGateResult { Passed, WarningDeclined, Refused };

struct AuditGateVerdict {
  AuditGateResult result = AuditGateResult::Passed;
  std::string message;  // the warning declined, or the refusal (a failed call gives its error text)
};

// acceptWarning is asked only for the procedure's warning, and outside any trapping: what it
// throws reaches the caller. The data-scope component is asked only when the procedure passed
// the bill or its warning was accepted.
AuditGateVerdict PassAuditGate(Session& session, const std::string& billSerial,
                               const std::function<bool(const std::string& warning)>& acceptWarning);

}  // namespace storeadjust
