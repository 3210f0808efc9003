#include "states/StateUnchangedReason.h"

namespace storeadjust {

std::string StateUnchangedReason(StateCommand command, const BillHeaderState& header) {
  if (!header.exists) return "单据不存在";
  if (header.posted) return "单据已记帐";
  switch (command) {
    case StateCommand::Audit:
      if (header.audited) return "单据已审核";
      break;
    case StateCommand::UnAudit:
      if (!header.audited) return "单据还没有审核";
      break;
    case StateCommand::PreAudit:
      if (header.preAudited) return "单据已审核";
      break;
    case StateCommand::UnPreAudit:
      if (header.audited) return "单据已确认";
      if (!header.preAudited) return "单据还没有审核";
      break;
    case StateCommand::Confirm:
      if (header.audited) return "单据已确认";
      if (!header.preAudited) return "单据还没有审核";
      break;
    case StateCommand::UnConfirm:
      if (!header.audited) return "单据还没有确认";
      break;
  }
  return "单据没有明细";
}

}  // namespace storeadjust
