#pragma once
// What a bill's state rules out of a state command. The command's lines are selected by the
// header's state, so a bill that is not in the state the command starts from selects none and
// the command changes nothing: another clerk moved it on or deleted it meanwhile, or it is not
// ready for the step (反审 of a posted bill). The editor greys its buttons by the same rule. The
// state is the header's flags whatever the flow: a bill begun in the other flow may be finished
// or taken back (a one-step 审核 receives what a two-step one issued), never moved twice.
#include <string>

#include "lines/BillHeaderState.h"
#include "states/StateChange.h"

namespace storeadjust {

// "单据不存在", "单据已记帐", "单据已审核", "单据未审核" and the like; empty when the header is in
// the command's starting state.
std::string StateRulesOut(StateCommand command, const BillHeaderState& header);

// Why a command that selected no line changed nothing: what the state rules out, or, with the
// header in the command's starting state, that the bill has no lines.
std::string WhyStateUnchanged(StateCommand command, const BillHeaderState& header);

}  // namespace storeadjust
