#include "states/StateRulesOut.h"

namespace storeadjust {

std::string StateRulesOut(StateCommand command, const BillHeaderState& header) {
  if (!header.exists) return "单据不存在";
  if (header.posted) return "单据已记帐";
  switch (command) {
    case StateCommand::Audit:
      return header.audited ? "单据已审核" : "";
    case StateCommand::UnAudit:
      return header.audited || header.preAudited ? "" : "单据未审核";
    case StateCommand::PreAudit:
      if (header.preAudited) return "单据已审核";
      return header.audited ? "单据已确认" : "";
    case StateCommand::UnPreAudit:
      if (header.audited) return "单据还未反确认";
      return header.preAudited ? "" : "单据未审核";
    case StateCommand::Confirm:
      if (header.audited) return "单据已确认";
      return header.preAudited ? "" : "单据未审核";
    case StateCommand::UnConfirm:
      return header.audited ? "" : "单据未确认";
  }
  return "";
}

std::string WhyStateUnchanged(StateCommand command, const BillHeaderState& header) {
  const std::string ruledOut = StateRulesOut(command, header);
  return ruledOut.empty() ? "单据没有明细" : ruledOut;
}

}  // namespace storeadjust
