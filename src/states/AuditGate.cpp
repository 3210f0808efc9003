#include "states/AuditGate.h"

#include <exception>

#include "host/DataScopeProvider.h"
#include "host/EmbeddedProcedures.h"
#include "host/ErrorText.h"
#include "states/AuditProcedure.h"

namespace storeadjust {

namespace {

AuditGateVerdict Refusal(std::string message) { return {AuditGateResult::Refused, std::move(message)}; }

}  // namespace

AuditGateVerdict PassAuditGate(Session& session, const std::string& billSerial,
                               const std::function<bool(const std::string& warning)>& acceptWarning) {
  ProcedureVerdict verdict;
  try {
    verdict = AskAuditProcedure(session, billSerial, kAuditProcedureName);
  } catch (const std::exception& error) {
    return Refusal(ErrorText(error));
  }
  if (verdict.value == 1 && !acceptWarning(verdict.message)) return {AuditGateResult::WarningDeclined, verdict.message};
  if (verdict.value == 2) return Refusal(verdict.message);
  bool approved = false;
  try {
    approved = CreateDataScopeProvider()->IsApproved(session.ConnStr, kTransferBillTypeCode, billSerial);
  } catch (const std::exception& error) {
    return Refusal(ErrorText(error));
  }
  if (!approved) return Refusal("审批未通过，不能审核！");
  return {};
}

}  // namespace storeadjust
