#pragma once
// Why a state command changed nothing. Its lines are selected by the header's state, so a bill
// that is not in the state the command starts from selects none: another clerk moved it on or
// deleted it meanwhile, or it is not ready for the step (反审 of a posted bill).
#include <string>

#include "lines/BillHeaderState.h"
#include "states/StateChange.h"

namespace storeadjust {

// "单据不存在", "单据已记帐", "单据已审核", "单据还没有审核" and the like, read from the header as
// stored; "单据没有明细" when the header is in the command's starting state.
std::string StateUnchangedReason(StateCommand command, const BillHeaderState& header);

}  // namespace storeadjust
