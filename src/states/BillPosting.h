#pragma once
// Posting (记帐) one bill from the editor, and handing it to its approval flow (审批). Neither
// moves stock. Failures throw adodb::Error for the caller to show.
#include <string>

#include "host/Session.h"

namespace storeadjust {

// Sets the posted flag of the bill when it is audited (confirmed, in the two-step flow), in one
// statement. True when no unposted header of that serial remains (posted now or before, or no
// such header); false when the bill is not yet audited.
bool PostBill(Session& session, const std::string& lsh);

// Submits the bill with its total and largest line amount (rounded to 2 places), its maker's and
// the current operator's Guids to the data-scope component's approval flow. Empty text when
// submitted; otherwise the component's message for the user.
std::string SubmitForApproval(Session& session, const std::string& lsh);

}  // namespace storeadjust
